// The host's side of IComponentHandler: the controller reports edits and
// restart requests here. A command-line host has no automation to record,
// so it accepts them and keeps count of restart requests.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace Quorvane
{

class Vst3ComponentHandler : public Steinberg::Vst::IComponentHandler
{
public:
    Vst3ComponentHandler() = default;
    virtual ~Vst3ComponentHandler() = default;

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID) override;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID,
                                              Steinberg::Vst::ParamValue) override;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID) override;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override;
    Steinberg::uint32 PLUGIN_API release() override;

    int restartRequests() const { return restarts; }

private:
    Steinberg::uint32 references = 1;
    int restarts = 0;
};

} // namespace Quorvane
