// The 320 x 390 splash image: name, vendor, credits and licence over a gated waveform.
#pragma once

#include "paint.h"

namespace Quorvane::Artwork
{

Image drawSplash();

} // namespace Quorvane::Artwork
