// The window a view made in the host's parent window: an X11 UI answers it as its widget.
#pragma once

#include <cstdint>

namespace Steinberg {
namespace Vst {
namespace Lv2UiWindow {

/** The topmost child of parent (the view's window, just made), or 0. */
uintptr_t newestChild (void* parent);

} // namespace Lv2UiWindow
} // namespace Vst
} // namespace Steinberg
