// The component handler a host with an open editor gives the controller:
// every edit the editor performs is passed on, to reach the processor with
// the next block.
#pragma once

#include "plugin/vst3componenthandler.h"

#include <functional>

namespace Quorvane
{

class EditRelay : public Vst3ComponentHandler
{
public:
    using EditFunction = std::function<void(Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue)>;

    explicit EditRelay(EditFunction onEdit) : onEdit(std::move(onEdit)) {}

    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue value) override
    {
        if (onEdit)
            onEdit(id, value);
        return Steinberg::kResultOk;
    }

private:
    EditFunction onEdit;
};

} // namespace Quorvane
