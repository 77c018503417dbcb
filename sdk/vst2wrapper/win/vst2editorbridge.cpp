// The VST 2 editor opcodes on Windows, which has no editor yet: the effect claims none, and the
// opcodes answer that there is nothing to show.
#include "vst2editorbridge.h"

namespace Steinberg {
namespace Vst {

Vst2EditorBridge::Vst2EditorBridge (IEditController& controller, AEffect*, audioMasterCallback)
: controller (controller)
{
}

Vst2EditorBridge::~Vst2EditorBridge () = default;

bool Vst2EditorBridge::ensureView () { return false; }
bool Vst2EditorBridge::getRect (ERect**) { return false; }
bool Vst2EditorBridge::open (void*) { return false; }
void Vst2EditorBridge::idle () {}
void Vst2EditorBridge::close () {}

} // namespace Vst
} // namespace Steinberg
