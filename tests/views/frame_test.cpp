// The frame: drawing order and visibility, redrawing what changed, ownership of views and
// bitmaps, event routing, resources and fonts.
#include "viewtesthelpers.h"

#include "vstgui/displayscale.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace VSTGUI;
using namespace QuorvaneTest;

namespace
{

/** A plain view filled with one colour. */
class ColourView : public CView
{
public:
    ColourView(const CRect& r, CColor c) : CView(r), colour(c) {}
    void draw(CDrawContext* context) override
    {
        ++draws;
        context->fillRect(size, colour);
    }
    CColor colour;
    int draws = 0;
};

struct FrameTest : ::testing::Test
{
    CFrame* frame = new CFrame(CRect(0, 0, 200, 200), nullptr, nullptr);
    ~FrameTest() override
    {
        if (frame)
            frame->forget();
    }
    CColor at(int x, int y) { return pixel(frame->getBackBuffer(), x, y); }
};

} // namespace

TEST_F(FrameTest, DrawsBackgroundThenViewsInCreationOrderSkippingHiddenOnes)
{
    CBitmap* back = stripBitmap(200, 200, {kBlue});
    frame->setBackground(back);
    back->forget();
    auto* first = new ColourView(CRect(10, 10, 50, 50), kRed);
    auto* second = new ColourView(CRect(30, 30, 70, 70), kGreen);
    frame->addView(first);
    frame->addView(second);
    EXPECT_EQ(frame->getNbViews(), 2);
    EXPECT_EQ(frame->getView(0), first);
    EXPECT_EQ(at(20, 20), kRed);
    EXPECT_EQ(at(40, 40), kGreen) << "the later view draws over the earlier one";
    EXPECT_EQ(at(100, 100), kBlue);

    second->setVisible(false);
    EXPECT_EQ(at(40, 40), kRed);
    EXPECT_EQ(at(60, 60), kBlue) << "the area a hidden view leaves is redrawn";
    first->setVisible(false);
    second->setVisible(true);
    EXPECT_EQ(at(20, 20), kBlue);
    EXPECT_EQ(at(40, 40), kGreen);
}

TEST_F(FrameTest, IdleRedrawsOnlyWhatChanged)
{
    auto* left = new ColourView(CRect(0, 0, 50, 50), kRed);
    auto* right = new ColourView(CRect(100, 0, 150, 50), kGreen);
    frame->addView(left);
    frame->addView(right);
    EXPECT_TRUE(frame->idle());
    EXPECT_FALSE(frame->idle());
    EXPECT_EQ(left->draws, 1);

    right->colour = kBlue;
    right->setDirty();
    EXPECT_TRUE(frame->idle());
    EXPECT_EQ(left->draws, 1) << "a view outside the changed area is not drawn again";
    EXPECT_EQ(right->draws, 2);
    EXPECT_EQ(at(120, 20), kBlue);
}

TEST_F(FrameTest, ControlIsDirtyWhileItsValueDiffersFromTheLastDrawn)
{
    auto* control = new CControl(CRect(0, 0, 10, 10));
    frame->addView(control);
    frame->idle();
    EXPECT_FALSE(control->isDirty());
    control->setValue(0.f);
    EXPECT_FALSE(control->isDirty()) << "same value as drawn";
    control->setValue(0.3f);
    EXPECT_TRUE(control->isDirty());
    control->setValue(0.f);
    EXPECT_FALSE(control->isDirty()) << "back to what is shown";
    control->setValue(0.7f);
    frame->idle();
    EXPECT_FALSE(control->isDirty());
}

TEST_F(FrameTest, ViewsAndFramesReleaseTheirBitmaps)
{
    CBitmap* strip = stripBitmap(40, 40, {kRed, kGreen});
    CBitmap* handle = stripBitmap(10, 10, {kRed});
    CBitmap* lit = stripBitmap(10, 10, {kRed});
    EXPECT_EQ(strip->getNbReference(), 1);
    frame->setBackground(strip);
    frame->addView(new CAnimKnob(CRect(0, 0, 40, 40), nullptr, 1, 2, 40, strip));
    frame->addView(new CMovieButton(CRect(0, 0, 40, 40), nullptr, 2, strip));
    frame->addView(
        new CVerticalSlider(CRect(0, 0, 10, 100), nullptr, 3, CPoint(), 100, handle, strip));
    frame->addView(new CVuMeter(CRect(0, 0, 10, 10), lit, lit, 26));
    frame->addView(
        new CSplashScreen(CRect(0, 0, 10, 10), nullptr, 4, strip, CRect(0, 0, 100, 100)));
    EXPECT_EQ(strip->getNbReference(), 6);
    EXPECT_EQ(lit->getNbReference(), 3);

    auto* label = new CTextLabel(CRect(0, 0, 10, 10), "x");
    auto* font = new CFontDesc("Arial", 9);
    label->setFont(font);
    frame->addView(label);
    EXPECT_EQ(font->getNbReference(), 2);

    frame->forget();
    frame = nullptr;
    EXPECT_EQ(strip->getNbReference(), 1);
    EXPECT_EQ(handle->getNbReference(), 1);
    EXPECT_EQ(lit->getNbReference(), 1);
    EXPECT_EQ(font->getNbReference(), 1);
    strip->forget();
    handle->forget();
    lit->forget();
    font->forget();
}

TEST_F(FrameTest, BitmapsComeFromTheResourceProviderByExactName)
{
    provideResources(
        {{"knobImg1.png", stripPng(40, 40, {kRed, kGreen, kBlue})}, {"broken.png", {1, 2, 3, 4}}});
    auto* bitmap = new CBitmap(CResourceDescription("knobImg1.png"));
    EXPECT_TRUE(bitmap->isLoaded());
    EXPECT_EQ(bitmap->getWidth(), 40);
    EXPECT_EQ(bitmap->getHeight(), 120);
    EXPECT_STREQ(bitmap->getResourceDescription().getName(), "knobImg1.png");
    bitmap->forget();

    for (const char* name : {"KNOBIMG1.PNG", "missing.png", "broken.png", ""})
    {
        auto* other = new CBitmap(CResourceDescription(name));
        EXPECT_FALSE(other->isLoaded()) << name;
        EXPECT_EQ(other->getWidth(), 0) << name;
        // Drawing an empty bitmap is harmless.
        auto* view = new CView(CRect(0, 0, 10, 10));
        view->setBackground(other);
        frame->addView(view);
        other->forget();
    }
    frame->idle();
    setResourceProvider(nullptr);
}

// At a display scale a bitmap draws the artwork painted for it (the next larger set for a factor
// between them), frame for frame, or its 1× image drawn to size where the module has no such
// set; the frame's picture has the physical size.
TEST_F(FrameTest, AtADisplayScaleBitmapsDrawTheArtworkPaintedForIt)
{
    // Frame 1 of a two-frame strip: green at 1×, blue in the 2× set (nothing at 1.5×).
    provideResources({{"strip.png", stripPng(10, 10, {kRed, kGreen})},
                      {"strip@2x.png", stripPng(20, 20, {kRed, kBlue})}});
    auto* strip = new CBitmap(CResourceDescription("strip.png"));
    auto* view = new CAnimKnob(CRect(10, 10, 20, 20), nullptr, 1, strip);
    view->setValue(1.f);
    frame->addView(view);
    strip->forget();
    const struct
    {
        double factor;
        int size;
        CColor colour;
    } cases[] = {{2, 400, kBlue},
                 {1.9, 380, kBlue},
                 {1, 200, kGreen},
                 {1.75, 350, kGreen},
                 {3, 600, kGreen}};
    for (const auto& c : cases)
    {
        ASSERT_TRUE(frame->setScaleFactor(c.factor));
        EXPECT_EQ(cairo_image_surface_get_width(frame->getBackBuffer()), c.size) << c.factor;
        EXPECT_EQ(at(int(15 * c.factor), int(15 * c.factor)), c.colour) << c.factor;
        EXPECT_EQ(frame->fromPhysical(CPoint(30, 45)), CPoint(30 / c.factor, 45 / c.factor));
    }
    for (double unusable : {0.0, -1.0, 9.0, std::nan("")})
        EXPECT_FALSE(frame->setScaleFactor(unusable)) << unusable;
    EXPECT_EQ(frame->getScaleFactor(), 3);
    setResourceProvider(nullptr);

    const struct
    {
        double factor, set;
        const char* name;
    } sets[] = {{1, 1, "a.png"},      {1.1, 1.25, "a@1.25x.png"}, {1.5, 1.5, "a@1.5x.png"},
                {1.8, 2, "a@2x.png"}, {2.25, 2.5, "a@2.5x.png"},  {3, 3, "a@3x.png"},
                {4, 3, "a@3x.png"}};
    for (const auto& c : sets)
    {
        EXPECT_EQ(CBitmap::artworkSetFor(c.factor), c.set) << c.factor;
        if (c.set != 1)
        {
            EXPECT_EQ(CBitmap::scaledResourceName("a.png", c.set), c.name) << c.factor;
        }
    }
}

// What the desktop publishes (DPI, 96 at 1) becomes a factor in quarters; a user's factor is read
// as written or not at all.
TEST(DisplayScale, DesktopDpiAndUserTextBecomeFactors)
{
    const std::pair<double, double> dpis[] = {{96, 1},     {120, 1.25}, {144, 1.5}, {192, 2},
                                              {110, 1.25}, {100, 1},    {72, 1},    {0, 1},
                                              {-5, 1},     {1000, 4}};
    for (auto [dpi, factor] : dpis)
        EXPECT_EQ(scaleForDpi(dpi), factor) << dpi;
    const std::pair<const char*, double> texts[] = {{"1.5", 1.5}, {"2", 2},     {"0", 0},
                                                    {"-1", 0},    {"9", 0},     {"2x", 0},
                                                    {"", 0},      {nullptr, 0}, {"nan", 0}};
    for (auto [text, factor] : texts)
        EXPECT_EQ(parseScaleFactor(text), factor) << (text ? text : "null");
}

TEST_F(FrameTest, BitmapDrawsSubRectanglesWithAlpha)
{
    CBitmap* strip = stripBitmap(10, 10, {kRed, kGreen});
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 10);
    cairo_t* cr = cairo_create(target);
    CDrawContext context(cr);
    strip->draw(&context, CRect(0, 0, 10, 10), CPoint(0, 10));
    strip->draw(&context, CRect(10, 0, 20, 10), CPoint(0, 0), 0.5f);
    cairo_destroy(cr);
    EXPECT_EQ(pixel(target, 5, 5), kGreen);
    CColor half = pixel(target, 15, 5);
    EXPECT_NEAR(half.alpha, 128, 1);
    EXPECT_EQ(half.red, 255);
    cairo_surface_destroy(target);
    strip->forget();
}

TEST_F(FrameTest, ArialResolvesToTheInstalledFaceAndTextAntialiasingSwitches)
{
    CFontDesc font("Arial", 10);
    EXPECT_EQ(font.getResolvedFamily(), "Liberation Sans");

    auto countPartial = [this](bool antialias)
    {
        auto* label = new CTextLabel(CRect(0, 0, 120, 20), "Hysteresis 88", nullptr, kNoFrame);
        auto* f = new CFontDesc("Arial", 10);
        label->setFont(f);
        f->forget();
        label->setFontColor(kWhiteCColor);
        label->setBackColor(kBlackCColor);
        label->setAntialias(antialias);
        frame->addView(label);
        cairo_surface_t* s = frame->getBackBuffer();
        int white = 0, partial = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 120; ++x)
            {
                CColor c = pixel(s, x, y);
                if (c == kWhiteCColor)
                    ++white;
                else if (c != kBlackCColor)
                    ++partial;
            }
        frame->removeView(label);
        EXPECT_GT(white + partial, 20) << "the text was drawn";
        return partial;
    };
    EXPECT_GT(countPartial(true), 0);
    EXPECT_EQ(countPartial(false), 0) << "aliased text has only full pixels";
}

TEST_F(FrameTest, LabelDrawsItsBackgroundOnlyWhenOpaque)
{
    CBitmap* back = stripBitmap(200, 200, {kBlue});
    frame->setBackground(back);
    back->forget();
    auto* label = new CTextLabel(CRect(0, 0, 100, 20), "", nullptr, kNoFrame);
    label->setBackColor(kRed);
    frame->addView(label);
    EXPECT_EQ(at(50, 10), kRed);
    label->setTransparency(true);
    EXPECT_EQ(at(50, 10), kBlue);
    label->setTransparency(false);
    label->setBackColor(CColor(0, 0, 0, 0));
    EXPECT_EQ(at(50, 10), kBlue) << "a fully transparent colour fills nothing";
    label->setStyle(0);
    label->setFrameColor(kGreen);
    EXPECT_EQ(at(0, 10), kGreen) << "without kNoFrame a frame is drawn";
}

TEST_F(FrameTest, NestedContainersOffsetDrawingAndEvents)
{
    auto* box = new CViewContainer(CRect(100, 100, 180, 180));
    CBitmap* strip = stripBitmap(20, 20, {kRed, kGreen});
    RecordingListener listener;
    auto* button = new CMovieButton(CRect(10, 10, 30, 30), &listener, 9, strip);
    strip->forget();
    box->addView(button);
    frame->addView(box);
    EXPECT_EQ(at(115, 115), kRed);
    click(frame, 115, 115);
    EXPECT_FLOAT_EQ(button->getValue(), 1.f);
    EXPECT_EQ(at(115, 115), kGreen);
    click(frame, 15, 15);
    EXPECT_FLOAT_EQ(button->getValue(), 1.f) << "the child's own coordinates are not the frame's";
}

TEST_F(FrameTest, ClicksFallThroughViewsThatDoNotTakeThem)
{
    CBitmap* strip = stripBitmap(40, 20, {kRed, kGreen});
    RecordingListener listener;
    auto* button = new CMovieButton(CRect(0, 0, 40, 20), &listener, 1, strip);
    strip->forget();
    frame->addView(button);
    frame->addView(new CTextLabel(CRect(0, 0, 40, 20), "over")); // above the button
    click(frame, 20, 10);
    EXPECT_FLOAT_EQ(button->getValue(), 1.f);
    button->setVisible(false);
    click(frame, 20, 10);
    EXPECT_FLOAT_EQ(button->getValue(), 1.f) << "hidden views take no clicks";
    button->setVisible(true);
    button->setMouseEnabled(false);
    click(frame, 20, 10);
    EXPECT_FLOAT_EQ(button->getValue(), 1.f);
}

TEST_F(FrameTest, KnobModeComesFromTheEditor)
{
    struct Editor : VSTGUIEditorInterface
    {
        int32_t getKnobMode() const override { return kLinearMode; }
    } editor;
    auto* owned = new CFrame(CRect(0, 0, 10, 10), nullptr, &editor);
    owned->setKnobMode(kRelativCircularMode);
    EXPECT_EQ(owned->getKnobMode(), kLinearMode);
    EXPECT_EQ(owned->getEditor(), &editor);
    EXPECT_FALSE(owned->isOpen()) << "no parent window: off-screen";
    owned->forget();
    frame->setKnobMode(kRelativCircularMode);
    EXPECT_EQ(frame->getKnobMode(), kRelativCircularMode);
}

TEST_F(FrameTest, TimerNotifiesItsTargetOnlyWhileRunning)
{
    struct Target : CBaseObject
    {
        CMessageResult notify(CBaseObject*, const char* message) override
        {
            if (message == CVSTGUITimer::kMsgTimer)
                ++ticks;
            return kMessageNotified;
        }
        int ticks = 0;
    } target;
    auto* timer = new CVSTGUITimer(&target, 50);
    EXPECT_FALSE(timer->fire());
    EXPECT_TRUE(timer->start());
    EXPECT_TRUE(timer->fire());
    EXPECT_FALSE(timer->fireIfDue()) << "its period has not passed";
    EXPECT_TRUE(timer->stop());
    EXPECT_FALSE(timer->fire());
    EXPECT_EQ(target.ticks, 1);
    EXPECT_EQ(timer->getFireTime(), 50u);
    timer->forget();
}
