#include "editorstate.h"

#include "againcontroller.h"
#include "againeditorview.h"
#include "paramids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "vstgui/cframe.h"
#include "vstgui/cvstguitimer.h"

namespace QuorvaneTest
{

void applyEditorState(Quorvane::againController& controller, EditorState state)
{
    using namespace Quorvane;
    if (state == EditorState::Varied)
    {
        const double switches[] = {1.0, 1.0, 1.0, 0.0, 1.0}; // IDs 0 to 4
        for (Steinberg::Vst::ParamID id = kBypassId; id <= kGradualAttEnvelopeId; ++id)
            controller.setParamNormalized(id, switches[id]);
        // Spread over the film strips' 80 frames, no two knobs alike.
        for (Steinberg::Vst::ParamID id = kFirstContinuousId; id <= kLastContinuousId; ++id)
            controller.setParamNormalized(id, 0.07 + 0.071 * (id - kFirstContinuousId));
        controller.setParamNormalized(kMaxVuId, 1.0 - 6.0 / 76.0);
        controller.setParamNormalized(kMinVuId, 1.0 - 40.0 / 76.0);
        controller.setParamNormalized(kMaxGateId, 0.7);
        controller.setParamNormalized(kMinGateId, 0.3);
        controller.setParamNormalized(kSideChainMonitorId, 1.0);
        return;
    }
    // A gate that is open on a signal peaking around −12 dB, quietest channel at −30 dB.
    controller.setParamNormalized(kMaxVuId, 1.0 - 12.0 / 76.0);
    controller.setParamNormalized(kMinVuId, 1.0 - 30.0 / 76.0);
    controller.setParamNormalized(kMaxGateId, 1.0);
    controller.setParamNormalized(kMinGateId, 1.0);
}

bool renderEditorState(EditorState state, const char* pngPath, double scale)
{
    Steinberg::Vst::HostApplication host;
    auto* controller = new Quorvane::againController;
    controller->initialize(&host);
    auto* editor = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
    bool ok = editor &&
              editor->setContentScaleFactor(static_cast<float>(scale)) == Steinberg::kResultTrue &&
              editor->openOffscreen() == Steinberg::kResultOk;
    if (ok)
    {
        applyEditorState(*controller, state);
        editor->getIdleTimer()->fire();
        ok = editor->getFrame()->writePNG(pngPath);
        editor->removed();
    }
    if (editor)
        editor->release();
    controller->terminate();
    controller->release();
    return ok;
}

} // namespace QuorvaneTest
