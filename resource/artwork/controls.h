// Two-frame controls: the on/off switches and the Bypass and Listen buttons.
#pragma once

#include "paint.h"

#include <string>

namespace Quorvane::Artwork
{

// 40 x 30: the off frame over the on frame, or (flipped) the on frame over the off frame.
Image drawOnOffSwitch(bool onFirst);

// 60 x 40: the released frame over the engaged frame; the engaged button lights in its
// colour.
Image drawButton(const std::string& caption, Colour engaged, Colour engagedText);

// 40 x 20: the threshold handle, two grips joined by a line across the level meters.
Image drawSliderHandle();

} // namespace Quorvane::Artwork
