// quorvane_artwork: draws the editor's images.
//
//   quorvane_artwork <outdir> [--preview <file.png>] [--knob-frame <0..79>]
//
// Writes the 18 PNG files the editor loads into <outdir>, and each of them painted again for
// the display scales 1.25, 1.5, 1.75, 2, 2.5 and 3 (name@1.25x.png and so on); with --preview
// it also writes a picture of the assembled editor (not one of the editor's images).

#include "background.h"
#include "controls.h"
#include "indicators.h"
#include "knobstrip.h"
#include "preview.h"
#include "splash.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

using namespace Quorvane::Artwork;

namespace
{

std::map<std::string, Image> drawAll()
{
    std::map<std::string, Image> images;
    images.emplace("background.png", drawBackground());
    images.emplace("splashImg.png", drawSplash());
    images.emplace("knobImg1.png", drawKnobStrip(Palette::teal));
    images.emplace("knobImg2.png", drawKnobStrip(Palette::amber));
    images.emplace("VVuSliderHandle.png", drawSliderHandle());
    images.emplace("vVuSliderBackground.png", drawTransparent(16, 220));
    images.emplace("VVuSlider1On.png", drawMeterLit());
    images.emplace("VVuSlider1Off.png", drawMeterUnlit());
    // The lower meter paints its reading in the upper meter's unlit grey, so the column
    // is coloured only between the two readings.
    images.emplace("VVuSlider2On.png", drawMeterUnlit());
    images.emplace("VVuSlider2Off.png", drawTransparent(meterWidth, meterHeight));
    images.emplace("OnOff.png", drawOnOffSwitch(false));
    images.emplace("OnOffFlipped.png", drawOnOffSwitch(true));
    images.emplace("VuOn.png", drawSideChainLamp(true));
    images.emplace("VuOff.png", drawSideChainLamp(false));
    images.emplace("VuGateLevOpen.png", drawGateLamp(true));
    images.emplace("VuGateLevClosed.png", drawGateLamp(false));
    images.emplace("ButtonSingleBypass.png",
                   drawButton("BYPASS", Palette::alert, rgb8(255, 255, 255)));
    images.emplace("ButtonSingleCtrl.png", drawButton("LISTEN", Palette::amber, rgb8(40, 22, 2)));
    return images;
}

// The display scales painted besides 1, with the suffix the views look their images up by.
const std::pair<double, const char*> scaledSets[] = {
    {1.25, "@1.25x"}, {1.5, "@1.5x"}, {1.75, "@1.75x"}, {2.0, "@2x"}, {2.5, "@2.5x"}, {3.0, "@3x"}};

int usage()
{
    std::fprintf(
        stderr, "usage: quorvane_artwork <outdir> [--preview <file.png>] [--knob-frame <0..79>]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string outdir = argv[1];
    std::string preview;
    int knobFrame = 40;
    for (int i = 2; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--preview" && i + 1 < argc)
            preview = argv[++i];
        else if (arg == "--knob-frame" && i + 1 < argc)
            knobFrame = std::atoi(argv[++i]);
        else
            return usage();
    }
    if (knobFrame < 0 || knobFrame >= knobFrames)
        return usage();

    int failures = 0;
    auto write = [&failures](const Image& image, const std::string& path)
    {
        if (image.writePng(path))
            return;
        std::fprintf(stderr, "quorvane_artwork: cannot write %s\n", path.c_str());
        ++failures;
    };
    const auto images = drawAll();
    for (const auto& [name, image] : images)
        write(image, outdir + "/" + name);
    for (const auto& [factor, suffix] : scaledSets)
    {
        const PaintScale scale(factor);
        for (const auto& [name, image] : drawAll())
            write(image, outdir + "/" + name.substr(0, name.rfind('.')) + suffix + ".png");
    }
    if (!preview.empty() && !composePreview(images, knobFrame).writePng(preview))
    {
        std::fprintf(stderr, "quorvane_artwork: cannot write %s\n", preview.c_str());
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
