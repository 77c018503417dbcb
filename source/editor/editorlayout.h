// Where the editor places its views, and the labels it draws: the editor builds its view tree
// from these rectangles, and the artwork generator draws the background (panels, wells, seats and
// bezels) to fit under them.
#pragma once

#include <array>

namespace Quorvane::Layout
{

struct Rect
{
    int left, top, right, bottom;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr double centreX() const { return (left + right) / 2.0; }
    constexpr double centreY() const { return (top + bottom) / 2.0; }
};

struct Point
{
    int x, y;
};

// A label the editor draws in white 9 px text, centred in its box.
struct Label
{
    const char* text;
    Rect rect;
};

constexpr int editorWidth = 320;
constexpr int editorHeight = 390;
constexpr int knobSize = 40;

// The panels that group the views; the background draws them under the views, and a view that
// belongs to a panel (its label too) stays inside it.
constexpr Rect thresholdPanel{4, 28, 68, 360};
constexpr Rect upperPanel{72, 28, 316, 108};
constexpr Rect switchPanel{72, 114, 316, 178};
constexpr Rect middlePanel{72, 184, 316, 264};
constexpr Rect lowerPanel{72, 270, 316, 360};
constexpr std::array<Rect, 5> panels{
    {thresholdPanel, upperPanel, switchPanel, middlePanel, lowerPanel}};

// The title strip that opens the splash image, and the two buttons beside it.
constexpr Rect titleStrip{11, 0, 189, 20};
constexpr Rect listenButton{190, 0, 250, 20};
constexpr Rect bypassButton{250, 0, 310, 20};

// Threshold column: slider, the two level meters under it, its text field.
constexpr Rect thresholdSlider{20, 53, 60, 337};
constexpr Rect maxMeter{32, 63, 48, 328};
constexpr Rect minMeter{32, 65, 48, 330};
constexpr Rect thresholdField{20, 342, 60, 354};

// Top-left corners of the knobs drawn from the first film strip, then the second.
constexpr std::array<Point, 6> upperKnobs{
    {{80, 50}, {140, 50}, {200, 50}, {260, 50}, {80, 206}, {140, 206}}};
constexpr std::array<Point, 4> lowerKnobs{{{80, 302}, {140, 302}, {200, 302}, {260, 302}}};

// Text fields under the knobs.
constexpr std::array<Rect, 10> knobFields{{{75, 90, 125, 102},
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
constexpr std::array<Rect, 3> switches{
    {{80, 155, 120, 170}, {140, 155, 180, 170}, {200, 155, 240, 170}}};
constexpr Rect sideChainLamp{260, 154, 300, 169};

// The two gate lamps.
constexpr std::array<Rect, 2> gateLamps{{{210, 214, 230, 234}, {270, 214, 290, 234}}};

// The labels over the views, panel by panel; a two-line label is two labels. "Threshold" does not
// fit the slider's 40 pixels: its box is wider, centred over the slider, inside the panel.
constexpr Label thresholdLabel{"Threshold", {14, 35, 66, 53}};
constexpr Label attackLabel{"Attack", {78, 35, 118, 53}};
constexpr Label holdLabel{"Hold", {138, 35, 178, 53}};
constexpr Label releaseLabel{"Release", {200, 35, 240, 53}};
constexpr Label outGainLabel{"Out Gain", {260, 35, 300, 53}};
constexpr std::array<Label, 2> envelopeLabel{
    {{"Synthesizer", {75, 123, 125, 141}}, {"Envelope", {80, 135, 120, 153}}}};
constexpr std::array<Label, 2> linkingLabel{
    {{"Channel", {140, 123, 180, 141}}, {"Linking", {136, 135, 183, 153}}}};
constexpr Label duckingLabel{"Ducking", {198, 135, 238, 153}};
constexpr Label sideChainLabel{"Side Chain", {256, 135, 303, 153}};
constexpr Label hysteresisLabel{"Hysteresis", {77, 191, 121, 209}};
constexpr Label rangeLabel{"Range", {140, 191, 180, 209}};
constexpr Label maxGateLabel{"Max Gate", {200, 191, 242, 209}};
constexpr Label minGateLabel{"Min Gate", {260, 191, 300, 209}};
constexpr std::array<Label, 2> attackDelayLabel{
    {{"Attack", {78, 275, 118, 293}}, {"Delay", {78, 287, 118, 305}}}};
constexpr std::array<Label, 2> noteTruncationLabel{
    {{"Early", {138, 275, 178, 293}}, {"Release", {139, 287, 179, 305}}}};
constexpr std::array<Label, 2> holdClosedLabel{
    {{"Hold", {194, 275, 244, 293}}, {"Closed", {194, 287, 244, 305}}}};
constexpr std::array<Label, 2> beatSkipLabel{
    {{"Beat", {254, 275, 304, 293}}, {"Skip", {254, 287, 304, 305}}}};
constexpr std::array<Label, 23> labels{{thresholdLabel,
                                        attackLabel,
                                        holdLabel,
                                        releaseLabel,
                                        outGainLabel,
                                        envelopeLabel[0],
                                        envelopeLabel[1],
                                        linkingLabel[0],
                                        linkingLabel[1],
                                        duckingLabel,
                                        sideChainLabel,
                                        hysteresisLabel,
                                        rangeLabel,
                                        maxGateLabel,
                                        minGateLabel,
                                        attackDelayLabel[0],
                                        attackDelayLabel[1],
                                        noteTruncationLabel[0],
                                        noteTruncationLabel[1],
                                        holdClosedLabel[0],
                                        holdClosedLabel[1],
                                        beatSkipLabel[0],
                                        beatSkipLabel[1]}};

// The version label in the bottom right corner, in grey.
constexpr Label versionLabel{"v1.3 Dec 15 2014 21:14:31", {200, 371, 320, 389}};

// The vertical scale shared by the threshold handle and the meters: the handle's centre
// stands at y = 63 for 0 dB and y = 327 for -76 dB.
constexpr double scaleTopY = 63.0;
constexpr double scaleSpan = 264.0;
constexpr double scaleRangeDb = 76.0;

constexpr double yForDb(double db)
{
    return scaleTopY + scaleSpan * (-db / scaleRangeDb);
}

} // namespace Quorvane::Layout
