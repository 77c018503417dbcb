// The plug-in's editor window.
//
// Until the view layer is in place the editor only keeps what the controller hands it (the
// pending meter readings); the controller offers no view to hosts yet.
#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Quorvane {

class againEditorView : public Steinberg::Vst::EditorView
{
public:
    explicit againEditorView(Steinberg::Vst::EditController* controller);

    // What the controller's createView("editor") returns.
    static Steinberg::IPlugView* create(Steinberg::Vst::EditController* controller);

    // Called by the controller for every parameter value it is given.
    void updateParameter(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue value);

    // The last reading received for meter 0..4 (Max Vu, Min Vu, Max Gate, Min Gate, Side Chain).
    float pendingMeterValue(int meter) const { return meterPending[meter]; }

private:
    float meterPending[5] = {};
};

} // namespace Quorvane
