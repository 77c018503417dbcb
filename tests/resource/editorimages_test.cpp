// What the editor's images must show: sizes, frame order, transparency, and that every
// state reads as the state it stands for.
#include "editorimages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace QuorvaneTest
{
namespace
{

bool allPixels(const DecodedImage& image, bool (*predicate)(const Pixel&))
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!predicate(image.at(x, y)))
                return false;
    return true;
}

// Mean luminance, weighted by coverage, so transparent corners do not count.
double meanLuminance(const DecodedImage& image)
{
    double sum = 0, weight = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const Pixel p = image.at(x, y);
            sum += p.luminance() * p.a;
            weight += p.a;
        }
    return weight > 0 ? sum / weight : 0.0;
}

int colouredPixels(const DecodedImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const Pixel p = image.at(x, y);
            if (p.a > 128 && std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) > 80)
                ++count;
        }
    return count;
}

// Hue in degrees: 0 red, 30 orange, 60 yellow, 120 green.
double hue(const Pixel& p)
{
    const double r = p.r / 255.0, g = p.g / 255.0, b = p.b / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    if (hi == lo)
        return 0.0;
    double h;
    if (hi == r)
        h = 60.0 * std::fmod((g - b) / (hi - lo), 6.0);
    else if (hi == g)
        h = 60.0 * ((b - r) / (hi - lo) + 2.0);
    else
        h = 60.0 * ((r - g) / (hi - lo) + 4.0);
    return h < 0 ? h + 360.0 : h;
}

// At 1 and painted again for every display scale the views look for (name@2x.png and so on),
// film strips in whole-pixel frames.
TEST(EditorImages, EveryImageDecodesToItsSizeAtEveryScale)
{
    const std::pair<double, const char*> scales[] = {
        {1, ""},    {1.25, "@1.25x"}, {1.5, "@1.5x"}, {1.75, "@1.75x"},
        {2, "@2x"}, {2.5, "@2.5x"},   {3, "@3x"}};
    for (const auto& expected : editorImages)
        for (const auto& [scale, suffix] : scales)
        {
            std::string name = expected.name;
            name.insert(name.rfind('.'), suffix);
            const DecodedImage image = loadEditorImage(name);
            const long frame = std::lround(expected.height / expected.frames * scale);
            EXPECT_EQ(image.width(), std::lround(expected.width * scale)) << name;
            EXPECT_EQ(image.height(), expected.frames * frame) << name;
        }
}

TEST(EditorImages, OpaqueAndTransparentImagesAreEntirelySo)
{
    const auto opaque = [](const Pixel& p) { return p.a == 255; };
    const auto clear = [](const Pixel& p) { return p.a == 0; };
    for (const char* name : {"background.png", "splashImg.png", "VVuSlider1On.png",
                             "VVuSlider1Off.png", "VVuSlider2On.png"})
        EXPECT_TRUE(allPixels(loadEditorImage(name), opaque)) << name;
    for (const char* name : {"vVuSliderBackground.png", "VVuSlider2Off.png"})
        EXPECT_TRUE(allPixels(loadEditorImage(name), clear)) << name;
}

TEST(EditorImages, LevelColumnIsGreyWhereUnlitAndGreenToOrangeWhereLit)
{
    // The lower meter paints its reading in exactly the upper meter's unlit grey.
    const DecodedImage unlit = loadEditorImage("VVuSlider1Off.png");
    EXPECT_TRUE(unlit == loadEditorImage("VVuSlider2On.png"));
    EXPECT_TRUE(allPixels(unlit,
                          [](const Pixel& p) {
                              return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) <= 12;
                          }));

    // The lit column turns from green at the bottom through yellow to orange at the top,
    // never back.
    const DecodedImage lit = loadEditorImage("VVuSlider1On.png");
    ASSERT_EQ(lit.height(), 265);
    const int x = lit.width() / 2;
    const double bottom = hue(lit.at(x, lit.height() - 1));
    const double top = hue(lit.at(x, 0));
    EXPECT_GT(bottom, 100.0);
    EXPECT_LT(bottom, 150.0);
    EXPECT_GT(top, 15.0);
    EXPECT_LT(top, 45.0);
    double previous = bottom;
    for (int y = lit.height() - 1; y >= 0; y -= 5)
    {
        const double h = hue(lit.at(x, y));
        EXPECT_LE(h, previous + 1.0) << "row " << y;
        previous = h;
    }
}

TEST(EditorImages, SwitchFramesComeOffThenOnAndFlippedOnThenOff)
{
    const DecodedImage plain = loadEditorImage("OnOff.png");
    const DecodedImage flipped = loadEditorImage("OnOffFlipped.png");
    ASSERT_EQ(plain.height(), 30);
    ASSERT_EQ(flipped.height(), 30);
    const DecodedImage off = plain.band(0, 15), on = plain.band(15, 15);

    EXPECT_TRUE(flipped.band(0, 15) == on);
    EXPECT_TRUE(flipped.band(15, 15) == off);

    // "On" is the frame that lights in the accent colour.
    EXPECT_GT(colouredPixels(on), 150);
    EXPECT_LT(colouredPixels(off), colouredPixels(on) / 5);
}

TEST(EditorImages, ButtonsShowReleasedFirstAndLightWhenEngaged)
{
    for (const char* name : {"ButtonSingleBypass.png", "ButtonSingleCtrl.png"})
    {
        const DecodedImage button = loadEditorImage(name);
        ASSERT_EQ(button.height(), 40) << name;
        const DecodedImage released = button.band(0, 20), engaged = button.band(20, 20);
        EXPECT_GT(meanLuminance(engaged), meanLuminance(released) + 40) << name;
        EXPECT_GT(colouredPixels(engaged), 300) << name;
        EXPECT_LT(colouredPixels(released), 20) << name;
    }
}

TEST(EditorImages, LampsReadClearlyOnAndOff)
{
    for (const auto& [lit, dark] : {std::pair{"VuGateLevOpen.png", "VuGateLevClosed.png"},
                                    std::pair{"VuOn.png", "VuOff.png"}})
    {
        const double on = meanLuminance(loadEditorImage(lit));
        const double off = meanLuminance(loadEditorImage(dark));
        EXPECT_GT(on, off + 60) << lit << " against " << dark;
    }
}

// The angle of the knob's pointer in degrees clockwise from straight up, from the centre
// of its near-white pixels (nothing else on a knob is that light).
double pointerAngle(const DecodedImage& frame)
{
    double sx = 0, sy = 0, n = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
        {
            const Pixel p = frame.at(x, y);
            if (p.a > 200 && p.r > 225 && p.g > 225 && p.b > 225)
            {
                sx += x + 0.5;
                sy += y + 0.5;
                ++n;
            }
        }
    if (n == 0)
        return NAN;
    const double dx = sx / n - frame.width() / 2.0, dy = sy / n - frame.height() / 2.0;
    return std::atan2(dx, -dy) * 180.0 / M_PI;
}

TEST(EditorImages, KnobPointersSweep270DegreesFromTopFrameToBottomFrame)
{
    for (const char* name : {"knobImg1.png", "knobImg2.png"})
    {
        const DecodedImage strip = loadEditorImage(name);
        ASSERT_EQ(strip.height(), 80 * 40) << name;
        for (int frame = 0; frame < 80; ++frame)
        {
            const double expected = -135.0 + 270.0 * frame / 79.0;
            EXPECT_NEAR(pointerAngle(strip.band(frame * 40, 40)), expected, 5.0)
                << name << " frame " << frame;
        }
    }
}

} // namespace
} // namespace QuorvaneTest
