// The level column and the lamps: images the editor's meters light from the bottom up.
#pragma once

#include "paint.h"

namespace Quorvane::Artwork
{

constexpr int meterWidth = 16;
constexpr int meterHeight = 265;

// Opaque: green at the bottom through yellow to orange at the top.
Image drawMeterLit();
// Opaque grey: the unlit column, also the lower meter's lit image.
Image drawMeterUnlit();
// A fully transparent image of the given size.
Image drawTransparent(int width, int height);

// 20 x 20 gate lamp, open (lit green) or closed (dark).
Image drawGateLamp(bool open);

// 40 x 15 side-chain indicator, lit or dark.
Image drawSideChainLamp(bool lit);

} // namespace Quorvane::Artwork
