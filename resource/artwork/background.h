// The editor's 320 x 390 background: title bar, panels, the threshold scale, and the
// wells, slots and bezels that the controls sit in.
#pragma once

#include "paint.h"

namespace Quorvane::Artwork
{

Image drawBackground();

} // namespace Quorvane::Artwork
