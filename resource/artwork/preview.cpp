#include "preview.h"

#include "knobstrip.h"
#include "editorlayout.h"

#include <cmath>

namespace Quorvane::Artwork {

namespace {

using namespace Layout;

struct Label
{
    const char* text;
    Rect rect;
};

// The editor's labels, which it draws itself in white 9 px over the background.
constexpr Label labels[] = {
    {"Threshold", {20, 35, 60, 53}},   {"Attack", {78, 35, 118, 53}},
    {"Hold", {138, 35, 178, 53}},      {"Release", {200, 35, 240, 53}},
    {"Out Gain", {260, 35, 300, 53}},  {"Synthesizer", {75, 123, 125, 141}},
    {"Envelope", {80, 135, 120, 153}}, {"Channel", {140, 123, 180, 141}},
    {"Linking", {136, 135, 183, 153}}, {"Ducking", {198, 135, 238, 153}},
    {"Side Chain", {256, 135, 303, 153}}, {"Hysteresis", {77, 191, 121, 209}},
    {"Range", {140, 191, 180, 209}},   {"Max Gate", {200, 191, 242, 209}},
    {"Min Gate", {260, 191, 300, 209}}, {"Attack", {78, 275, 118, 293}},
    {"Delay", {78, 287, 118, 305}},    {"Early", {138, 275, 178, 293}},
    {"Release", {139, 287, 179, 305}}, {"Hold", {194, 275, 244, 293}},
    {"Closed", {194, 287, 244, 305}},  {"Beat", {254, 275, 304, 293}},
    {"Skip", {254, 287, 304, 305}},
};

constexpr const char* fieldTexts[] = {"12.0 ms", "20.0 ms", "150 ms", "0.0 dB", "3.0 dB",
                                      "-80 dB",  "0.0 ms",  "0.0 ms", "0.0 ms", "0%"};

// Draws a meter image pair the way a segmented meter shows a value: the unlit image,
// then the lit image from the bottom up to the value rounded to whole segments.
void drawMeter (cairo_t* cr, const Image& lit, const Image& unlit, const Rect& at, double value)
{
    const int segments = 26;
    const double shown = std::round (std::fmin (std::fmax (value, 0.0), 1.0) * segments);
    const double h = std::floor (at.height () * shown / segments);
    blit (cr, unlit, at.left, at.top);
    blit (cr, lit, at.left, at.bottom - h, 0, at.height () - h, at.width (), h);
}

void drawFrame (cairo_t* cr, const Image& strip, const Rect& at, int frame)
{
    blit (cr, strip, at.left, at.top, 0, frame * at.height (), at.width (), at.height ());
}

} // namespace

Image composePreview (const std::map<std::string, Image>& images, int knobFrame)
{
    const auto& img = [&images] (const char* name) -> const Image& { return images.at (name); };
    Image out (editorWidth, editorHeight);
    Painter cr (out);

    blit (cr, img ("background.png"), 0, 0);

    // A level between -40 and -10 dB, the threshold at -46 dB, the gate open.
    const auto meterValue = [] (double db) { return db / 76.0 + 1.0; };
    drawMeter (cr, img ("VVuSlider1On.png"), img ("VVuSlider1Off.png"), maxMeter, meterValue (-10));
    drawMeter (cr, img ("VVuSlider2On.png"), img ("VVuSlider2Off.png"), minMeter, meterValue (-40));
    const double v = 46.0 / 76.0;
    blit (cr, img ("VVuSliderHandle.png"), thresholdSlider.left,
          std::round (thresholdSlider.top + 264 * v));

    for (size_t i = 0; i < upperKnobs.size (); ++i)
        blit (cr, img ("knobImg1.png"), upperKnobs[i].x, upperKnobs[i].y, 0,
              knobFrameSize * knobFrame, knobFrameSize, knobFrameSize);
    for (size_t i = 0; i < lowerKnobs.size (); ++i)
        blit (cr, img ("knobImg2.png"), lowerKnobs[i].x, lowerKnobs[i].y, 0,
              knobFrameSize * knobFrame, knobFrameSize, knobFrameSize);

    drawFrame (cr, img ("OnOffFlipped.png"), switches[0], 0);
    drawFrame (cr, img ("OnOff.png"), switches[1], 1);
    drawFrame (cr, img ("OnOff.png"), switches[2], 0);
    drawMeter (cr, img ("VuOn.png"), img ("VuOff.png"), sideChainLamp, 1.0);
    drawMeter (cr, img ("VuGateLevOpen.png"), img ("VuGateLevClosed.png"), gateLamps[0], 1.0);
    drawMeter (cr, img ("VuGateLevOpen.png"), img ("VuGateLevClosed.png"), gateLamps[1], 0.0);
    drawFrame (cr, img ("ButtonSingleCtrl.png"), listenButton, 0);
    drawFrame (cr, img ("ButtonSingleBypass.png"), bypassButton, 1);

    const Font labelFont {9.0};
    for (const auto& label : labels)
        drawTextCentredAt (cr, label.text, label.rect.centreX (), label.rect.centreY (),
                           labelFont, rgb8 (255, 255, 255));
    const Font fieldFont {10.0};
    drawTextCentredAt (cr, "-46.0 dB", thresholdField.centreX (), thresholdField.centreY (),
                       fieldFont, rgb8 (255, 255, 255));
    for (size_t i = 0; i < knobFields.size (); ++i)
        drawTextCentredAt (cr, fieldTexts[i], knobFields[i].centreX (), knobFields[i].centreY (),
                           fieldFont, rgb8 (255, 255, 255));
    drawTextCentredAt (cr, "v1.3 Dec 15 2014 21:14:31", versionLabel.centreX (),
                       versionLabel.centreY (), labelFont, rgb8 (200, 200, 200));
    return out;
}

} // namespace Quorvane::Artwork
