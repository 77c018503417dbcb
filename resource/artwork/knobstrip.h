// The film strip of a rotary knob: 80 frames of 40 x 40, stacked top to bottom.
#pragma once

#include "paint.h"

namespace Quorvane::Artwork
{

constexpr int knobFrames = 80;
constexpr int knobFrameSize = 40;

// The pointer's angle in frame i, in degrees clockwise from straight up: -135 in the
// first frame to +135 in the last.
double knobAngle(int frame);

// Draws the whole strip; the value arc and the pointer's tip take the accent colour.
Image drawKnobStrip(Colour accent);

} // namespace Quorvane::Artwork
