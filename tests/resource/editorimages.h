// The images the editor loads, by the names it asks for, with their sizes.
#pragma once

#include "decodedimage.h"

#include <array>
#include <string>

namespace QuorvaneTest
{

struct EditorImage
{
    const char* name;
    int width, height;
    int frames = 1; // film-strip frames stacked vertically
};

inline constexpr std::array<EditorImage, 18> editorImages{{
    {"background.png", 320, 390},
    {"splashImg.png", 320, 390},
    {"knobImg1.png", 40, 3200, 80},
    {"knobImg2.png", 40, 3200, 80},
    {"VVuSliderHandle.png", 40, 20},
    {"vVuSliderBackground.png", 16, 220},
    {"VVuSlider1On.png", 16, 265},
    {"VVuSlider1Off.png", 16, 265},
    {"VVuSlider2On.png", 16, 265},
    {"VVuSlider2Off.png", 16, 265},
    {"OnOff.png", 40, 30, 2},
    {"OnOffFlipped.png", 40, 30, 2},
    {"VuOn.png", 40, 15},
    {"VuOff.png", 40, 15},
    {"VuGateLevOpen.png", 20, 20},
    {"VuGateLevClosed.png", 20, 20},
    {"ButtonSingleBypass.png", 60, 40, 2},
    {"ButtonSingleCtrl.png", 60, 40, 2},
}};

// Looks the image up among the embedded resources and decodes it; fails the calling
// test (and returns an empty image) when it is missing or does not decode.
DecodedImage loadEditorImage(const std::string& name);

} // namespace QuorvaneTest
