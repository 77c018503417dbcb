#pragma once
// The drawing types of the GDI+ back end: a GDI+ graphics object and a 32-bit premultiplied ARGB
// bitmap.

#include <windows.h>
// gdiplus.h wants the min/max templates in scope.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

namespace VSTGUI {

using NativeContext = Gdiplus::Graphics;
using NativeImage = Gdiplus::Bitmap;

} // namespace VSTGUI
