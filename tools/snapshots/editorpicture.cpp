#include "editorpicture.h"

#include "againcontroller.h"
#include "againeditorview.h"
#include "paramids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "vstgui/cframe.h"
#include "vstgui/cvstguitimer.h"

namespace Quorvane
{

bool writeEditorPicture(const std::string& path, double scale)
{
    Steinberg::Vst::HostApplication host;
    auto* controller = new againController;
    controller->initialize(&host);
    auto* editor = static_cast<againEditorView*>(controller->createView("editor"));
    // Drawn at the scale itself (the artwork painted for it, text at its size), not enlarged.
    bool ok = editor &&
              editor->setContentScaleFactor(static_cast<float>(scale)) == Steinberg::kResultTrue &&
              editor->openOffscreen() == Steinberg::kResultOk;
    if (ok)
    {
        // A gate held open by a signal peaking around -12 dB.
        controller->setParamNormalized(kMaxVuId, 1.0 - 12.0 / 76.0);
        controller->setParamNormalized(kMinVuId, 1.0 - 30.0 / 76.0);
        controller->setParamNormalized(kMaxGateId, 1.0);
        controller->setParamNormalized(kMinGateId, 1.0);
        editor->getIdleTimer()->fire();
        ok = editor->getFrame()->writePNG(path.c_str());
        editor->removed();
    }
    if (editor)
        editor->release();
    controller->terminate();
    controller->release();
    return ok;
}

} // namespace Quorvane
