// Renders the editor off-screen with its default values and a few meter readings, and writes
// it as a PNG: editor_snapshot OUT.png
#include "againcontroller.h"
#include "againeditorview.h"
#include "paramids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "vstgui/cframe.h"
#include "vstgui/cvstguitimer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: editor_snapshot OUT.png\n");
        return 2;
    }
    Steinberg::Vst::HostApplication host;
    auto* controller = new Quorvane::againController;
    controller->initialize(&host);
    auto* editor = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
    bool ok = editor && editor->openOffscreen() == Steinberg::kResultOk;
    if (ok)
    {
        // A gate that is open on a signal peaking around −12 dB, quietest channel at −30 dB.
        controller->setParamNormalized(Quorvane::kMaxVuId, 1.0 - 12.0 / 76.0);
        controller->setParamNormalized(Quorvane::kMinVuId, 1.0 - 30.0 / 76.0);
        controller->setParamNormalized(Quorvane::kMaxGateId, 1.0);
        controller->setParamNormalized(Quorvane::kMinGateId, 1.0);
        editor->getIdleTimer()->fire();
        ok = editor->getFrame()->writePNG(argv[1]);
        editor->removed();
    }
    if (editor)
        editor->release();
    controller->terminate();
    controller->release();
    if (!ok)
    {
        std::fprintf(stderr, "editor_snapshot: could not render the editor to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
