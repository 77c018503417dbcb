// Where the editor places its views; the background is drawn to fit under them.
#pragma once

#include <array>

namespace Quorvane::Layout {

struct Rect
{
    int left, top, right, bottom;

    constexpr int width () const { return right - left; }
    constexpr int height () const { return bottom - top; }
    constexpr double centreX () const { return (left + right) / 2.0; }
    constexpr double centreY () const { return (top + bottom) / 2.0; }
};

struct Point
{
    int x, y;
};

constexpr int editorWidth = 320;
constexpr int editorHeight = 390;
constexpr int knobSize = 40;

// The panels that group the views; the background draws them under the views, and a view that
// belongs to a panel (its label too) stays inside it.
constexpr Rect thresholdPanel {4, 28, 68, 360};
constexpr Rect upperPanel {72, 28, 316, 108};
constexpr Rect switchPanel {72, 114, 316, 178};
constexpr Rect middlePanel {72, 184, 316, 264};
constexpr Rect lowerPanel {72, 270, 316, 360};
constexpr std::array<Rect, 5> panels {
    {thresholdPanel, upperPanel, switchPanel, middlePanel, lowerPanel}};

// The title strip that opens the splash image, and the two buttons beside it.
constexpr Rect titleStrip {11, 0, 189, 20};
constexpr Rect listenButton {190, 0, 250, 20};
constexpr Rect bypassButton {250, 0, 310, 20};

// Threshold column: slider, the two level meters under it, its text field.
constexpr Rect thresholdSlider {20, 53, 60, 337};
constexpr Rect maxMeter {32, 63, 48, 328};
constexpr Rect minMeter {32, 65, 48, 330};
constexpr Rect thresholdField {20, 342, 60, 354};

// Top-left corners of the knobs drawn from the first film strip, then the second.
constexpr std::array<Point, 6> upperKnobs {{{80, 50}, {140, 50}, {200, 50}, {260, 50},
                                            {80, 206}, {140, 206}}};
constexpr std::array<Point, 4> lowerKnobs {{{80, 302}, {140, 302}, {200, 302}, {260, 302}}};

// Text fields under the knobs.
constexpr std::array<Rect, 10> knobFields {{{75, 90, 125, 102},
                                            {140, 90, 180, 102},
                                            {195, 90, 245, 102},
                                            {260, 90, 300, 102},
                                            {79, 246, 119, 258},
                                            {134, 246, 184, 258},
                                            {75, 342, 125, 354},
                                            {135, 342, 185, 354},
                                            {195, 342, 245, 354},
                                            {255, 342, 305, 354}}};

// Two-state switches (envelope, channel linking, ducking) and the side-chain indicator.
constexpr std::array<Rect, 3> switches {{{80, 155, 120, 170},
                                         {140, 155, 180, 170},
                                         {200, 155, 240, 170}}};
constexpr Rect sideChainLamp {260, 154, 300, 169};

// The two gate lamps.
constexpr std::array<Rect, 2> gateLamps {{{210, 214, 230, 234}, {270, 214, 290, 234}}};

// The version label in the bottom right corner.
constexpr Rect versionLabel {200, 371, 320, 389};

// The vertical scale shared by the threshold handle and the meters: the handle's centre
// stands at y = 63 for 0 dB and y = 327 for -76 dB.
constexpr double scaleTopY = 63.0;
constexpr double scaleSpan = 264.0;
constexpr double scaleRangeDb = 76.0;

constexpr double yForDb (double db) { return scaleTopY + scaleSpan * (-db / scaleRangeDb); }

} // namespace Quorvane::Layout
