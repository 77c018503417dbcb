// The controller's setComponentState and setState fed arbitrary bytes, optionally with an editor
// open that follows every parameter change.
//
// Input: one mode byte (bit 0: the stream reports short reads as success; bit 1: the bytes are
// the controller's own state rather than a processor state; bits 2 and 3 both set: an editor is
// open, drawing off-screen, and follows every parameter change), then the stream's bytes.
#include "fuzzcheck.h"
#include "fuzzplugin.h"

#include "againeditorview.h"

using namespace Steinberg;
using namespace Quorvane::Fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool lenient = data[0] & 1;
    const bool ownState = data[0] & 2;
    const bool withEditor = (data[0] & 12) == 12;

    // Opening an editor takes long, so one controller keeps one open for all inputs that want it;
    // every other input gets a fresh controller.
    static ControllerHandle* withOpenEditor = nullptr;
    if (withEditor && !withOpenEditor)
    {
        withOpenEditor = new ControllerHandle;
        auto* editor =
            static_cast<Quorvane::againEditorView*>((*withOpenEditor)->createView("editor"));
        check(editor && editor->openOffscreen() == kResultOk, "editor did not open off-screen");
    }
    ControllerHandle fresh;
    ControllerHandle& controller = withEditor ? *withOpenEditor : fresh;

    BoundedStream stream(data + 1, size - 1, lenient);
    if (ownState)
    {
        const tresult result = controller->setState(&stream);
        check(stream.furthestRead() <= kControllerStateSize, "controller read past its 257 bytes");
        if (!lenient && stream.size() < kControllerStateSize)
            check(result != kResultOk, "controller accepted a truncated state");
    }
    else
    {
        const tresult result = controller->setComponentState(&stream);
        check(stream.furthestRead() <= kProcessorStateSize,
              "controller read past the processor's 68 bytes");
        if (!lenient && stream.size() < kProcessorStateSize)
            check(result != kResultOk, "controller accepted a truncated processor state");
    }

    checkControllerState(*controller);
    return 0;
}
