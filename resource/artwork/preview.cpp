#include "preview.h"

#include "editorlayout.h"
#include "knobstrip.h"

#include <cmath>

namespace Quorvane::Artwork
{

namespace
{

using namespace Layout;

constexpr const char* fieldTexts[] = {"12.0 ms", "20.0 ms", "150 ms", "0.0 dB", "3.0 dB",
                                      "-80 dB",  "0.0 ms",  "0.0 ms", "0.0 ms", "0%"};

// Draws a meter image pair the way a segmented meter shows a value: the unlit image,
// then the lit image from the bottom up to the value rounded to whole segments.
void drawMeter(cairo_t* cr, const Image& lit, const Image& unlit, const Rect& at, double value)
{
    const int segments = 26;
    const double shown = std::round(std::fmin(std::fmax(value, 0.0), 1.0) * segments);
    const double h = std::floor(at.height() * shown / segments);
    blit(cr, unlit, at.left, at.top);
    blit(cr, lit, at.left, at.bottom - h, 0, at.height() - h, at.width(), h);
}

void drawFrame(cairo_t* cr, const Image& strip, const Rect& at, int frame)
{
    blit(cr, strip, at.left, at.top, 0, frame * at.height(), at.width(), at.height());
}

} // namespace

Image composePreview(const std::map<std::string, Image>& images, int knobFrame)
{
    const auto& img = [&images](const char* name) -> const Image& { return images.at(name); };
    Image out(editorWidth, editorHeight);
    Painter cr(out);

    blit(cr, img("background.png"), 0, 0);

    // A level between -40 and -10 dB, the threshold at -46 dB, the gate open.
    const auto meterValue = [](double db) { return db / 76.0 + 1.0; };
    drawMeter(cr, img("VVuSlider1On.png"), img("VVuSlider1Off.png"), maxMeter, meterValue(-10));
    drawMeter(cr, img("VVuSlider2On.png"), img("VVuSlider2Off.png"), minMeter, meterValue(-40));
    const double v = 46.0 / 76.0;
    blit(cr, img("VVuSliderHandle.png"), thresholdSlider.left,
         std::round(thresholdSlider.top + 264 * v));

    for (size_t i = 0; i < upperKnobs.size(); ++i)
        blit(cr, img("knobImg1.png"), upperKnobs[i].x, upperKnobs[i].y, 0,
             knobFrameSize * knobFrame, knobFrameSize, knobFrameSize);
    for (size_t i = 0; i < lowerKnobs.size(); ++i)
        blit(cr, img("knobImg2.png"), lowerKnobs[i].x, lowerKnobs[i].y, 0,
             knobFrameSize * knobFrame, knobFrameSize, knobFrameSize);

    drawFrame(cr, img("OnOffFlipped.png"), switches[0], 0);
    drawFrame(cr, img("OnOff.png"), switches[1], 1);
    drawFrame(cr, img("OnOff.png"), switches[2], 0);
    drawMeter(cr, img("VuOn.png"), img("VuOff.png"), sideChainLamp, 1.0);
    drawMeter(cr, img("VuGateLevOpen.png"), img("VuGateLevClosed.png"), gateLamps[0], 1.0);
    drawMeter(cr, img("VuGateLevOpen.png"), img("VuGateLevClosed.png"), gateLamps[1], 0.0);
    drawFrame(cr, img("ButtonSingleCtrl.png"), listenButton, 0);
    drawFrame(cr, img("ButtonSingleBypass.png"), bypassButton, 1);

    const Font labelFont{9.0};
    for (const auto& label : labels)
        drawTextCentredAt(cr, label.text, label.rect.centreX(), label.rect.centreY(), labelFont,
                          rgb8(255, 255, 255));
    const Font fieldFont{10.0};
    drawTextCentredAt(cr, "-46.0 dB", thresholdField.centreX(), thresholdField.centreY(), fieldFont,
                      rgb8(255, 255, 255));
    for (size_t i = 0; i < knobFields.size(); ++i)
        drawTextCentredAt(cr, fieldTexts[i], knobFields[i].centreX(), knobFields[i].centreY(),
                          fieldFont, rgb8(255, 255, 255));
    drawTextCentredAt(cr, versionLabel.text, versionLabel.rect.centreX(),
                      versionLabel.rect.centreY(), labelFont, rgb8(200, 200, 200));
    return out;
}

} // namespace Quorvane::Artwork
