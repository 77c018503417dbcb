#pragma once
// The drawing types of the cairo back end: a cairo context and an ARGB32 (premultiplied) image
// surface.

#include <cairo.h>

namespace VSTGUI {

using NativeContext = cairo_t;
using NativeImage = cairo_surface_t;

} // namespace VSTGUI
