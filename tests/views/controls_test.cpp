// Controls: values, the images they show, and the gestures they turn into edits.
#include "viewtesthelpers.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using namespace QuorvaneTest;

namespace
{

/** An off-screen frame of 200 × 400 with a recording listener. */
struct FrameFixture : ::testing::Test
{
    CFrame* frame = new CFrame(CRect(0, 0, 200, 400), nullptr, nullptr);
    RecordingListener listener;

    ~FrameFixture() override { frame->forget(); }
    CColor at(int x, int y) { return pixel(frame->getBackBuffer(), x, y); }
};

using KnobTest = FrameFixture;
using SliderTest = FrameFixture;
using ButtonTest = FrameFixture;
using MeterTest = FrameFixture;

const std::vector<CColor> kFiveFrames{kRed, kGreen, kBlue, kGrey, CColor(255, 255, 0, 255)};

CAnimKnob* addKnob(CFrame* frame, CControlListener* listener, float value = 0.f)
{
    CBitmap* strip = stripBitmap(40, 40, kFiveFrames);
    auto* knob = new CAnimKnob(CRect(50, 50, 90, 90), listener, 7, 5, 40, strip);
    strip->forget();
    knob->setValue(value);
    frame->addView(knob);
    return knob;
}

} // namespace

TEST_F(KnobTest, FilmStripFrameFollowsTheRoundedValueAndIsDrawn)
{
    CAnimKnob* knob = addKnob(frame, &listener);
    struct
    {
        float value;
        int32_t index;
    } cases[] = {{0.f, 0}, {1.f, 4}, {0.5f, 2}, {0.124f, 0}, {0.126f, 1}, {1.5f, 4}, {-1.f, 0}};
    for (auto c : cases)
    {
        knob->setValue(c.value);
        EXPECT_EQ(knob->getFrameIndex(), c.index) << "value " << c.value;
    }
    knob->setValue(0.75f);
    EXPECT_EQ(at(70, 70), kGrey);
    knob->setValue(0.f);
    EXPECT_EQ(at(70, 70), kRed);
    EXPECT_TRUE(listener.events.empty()) << "setting a value is no gesture";
}

TEST_F(KnobTest, ImageCountFollowsTheBitmapWhenNotGiven)
{
    CBitmap* strip = stripBitmap(48, 48, {kRed, kGreen, kBlue});
    auto* knob = new CAnimKnob(CRect(0, 0, 48, 48), nullptr, 1, strip);
    strip->forget();
    frame->addView(knob);
    EXPECT_EQ(knob->getNumSubPixmaps(), 3);
    knob->setValue(1.f);
    EXPECT_EQ(knob->getFrameIndex(), 2);
}

TEST_F(KnobTest, CircularModeJumpsToTheClickedAngleAndFollowsIt)
{
    frame->setKnobMode(kCircularMode);
    CAnimKnob* knob = addKnob(frame, &listener, 0.f);
    // Straight above the centre is the middle of the sweep.
    CPoint top(70, 52);
    frame->onMouseDown(top, CButtonState(kLButton));
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-4);
    // Lower right at 45°: the end of the sweep.
    CPoint lowerRight(85, 85);
    frame->onMouseMoved(lowerRight, CButtonState(kLButton));
    EXPECT_NEAR(knob->getValue(), 1.f, 1e-4);
    // In the gap at the bottom the nearer end holds.
    CPoint bottom(69, 88);
    frame->onMouseMoved(bottom, CButtonState(kLButton));
    EXPECT_NEAR(knob->getValue(), 0.f, 1e-4);
    frame->onMouseUp(bottom, CButtonState(kLButton));
    EXPECT_EQ(listener.sequence(), "begin changed changed changed end");
    EXPECT_EQ(listener.events[0].tag, 7);
}

TEST_F(KnobTest, RelativeCircularModeAddsTheTurnWithoutJumping)
{
    frame->setKnobMode(kRelativCircularMode);
    CAnimKnob* knob = addKnob(frame, &listener, 0.2f);
    CPoint top(70, 52);
    frame->onMouseDown(top, CButtonState(kLButton));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.2f);
    // A quarter turn clockwise is a third of the 270° sweep.
    CPoint right(88, 70);
    frame->onMouseMoved(right, CButtonState(kLButton));
    EXPECT_NEAR(knob->getValue(), 0.2f + 1.f / 3.f, 1e-4);
    frame->onMouseUp(right, CButtonState(kLButton));
    EXPECT_EQ(listener.sequence(), "begin changed end");
}

TEST_F(KnobTest, LinearModeFollowsVerticalMovementAndShiftIsFine)
{
    frame->setKnobMode(kLinearMode);
    CAnimKnob* knob = addKnob(frame, &listener, 0.5f);
    drag(frame, 70, 70, 90, 20); // 50 px up; sideways movement does not count
    EXPECT_NEAR(knob->getValue(), 0.5f + 50.f / CKnob::kLinearRange, 1e-4);
    knob->setValue(0.5f);
    drag(frame, 70, 70, 70, 20, kShift);
    EXPECT_NEAR(knob->getValue(), 0.5f + 50.f / CKnob::kLinearRange / 10.f, 1e-4);
    knob->setValue(0.5f);
    drag(frame, 70, 70, 70, 390); // far below: clamped at the minimum
    EXPECT_FLOAT_EQ(knob->getValue(), 0.f);
}

TEST_F(KnobTest, UnknownModesCountAsCircular)
{
    frame->setKnobMode(7);
    CAnimKnob* knob = addKnob(frame, &listener, 0.f);
    click(frame, 70, 52);
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-4);
}

TEST_F(KnobTest, DragKeepsTheCaptureOutsideTheKnob)
{
    frame->setKnobMode(kLinearMode);
    CAnimKnob* knob = addKnob(frame, &listener, 0.f);
    CPoint down(70, 70);
    frame->onMouseDown(down, CButtonState(kLButton));
    CPoint far(150, 10); // outside the knob
    frame->onMouseMoved(far, CButtonState(kLButton));
    EXPECT_NEAR(knob->getValue(), 60.f / CKnob::kLinearRange, 1e-4);
    frame->onMouseUp(far, CButtonState(kLButton));
    EXPECT_EQ(frame->getMouseDownView(), nullptr);
}

TEST_F(KnobTest, CtrlClickSetsTheDefaultBetweenBeginAndEnd)
{
    CAnimKnob* knob = addKnob(frame, &listener, 0.9f);
    click(frame, 70, 70, kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    ASSERT_EQ(listener.sequence(), "begin changed end");
    EXPECT_FLOAT_EQ(listener.events[1].value, 0.5f);

    listener.events.clear();
    knob->setDefaultValue(0.25f);
    click(frame, 70, 70, kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f);
    EXPECT_EQ(listener.sequence(), "begin changed end");
}

TEST_F(KnobTest, WheelStepsBetweenBeginAndEndAndStopsAtTheEnds)
{
    CAnimKnob* knob = addKnob(frame, &listener, 0.5f);
    EXPECT_TRUE(frame->onWheel(CPoint(70, 70), 1.f, CButtonState()));
    EXPECT_NEAR(knob->getValue(), 0.51f, 1e-5);
    EXPECT_EQ(listener.sequence(), "begin changed end");
    frame->onWheel(CPoint(70, 70), -3.f, CButtonState());
    EXPECT_NEAR(knob->getValue(), 0.48f, 1e-5);

    knob->setValue(1.f);
    listener.events.clear();
    frame->onWheel(CPoint(70, 70), 1.f, CButtonState());
    EXPECT_FLOAT_EQ(knob->getValue(), 1.f);
    EXPECT_EQ(listener.sequence(), "begin end") << "no change, no report";
    EXPECT_FALSE(frame->onWheel(CPoint(150, 150), 1.f, CButtonState())) << "nothing there";
}

namespace
{

/** The Threshold column's geometry: 40 × 284 slider, 20 px handle, range 284. */
CVerticalSlider* addSlider(CFrame* frame, CControlListener* listener, int32_t style = kBottom)
{
    CBitmap* handle = stripBitmap(40, 20, {kRed});
    CBitmap* back = stripBitmap(16, 220, {kClear});
    auto* slider = new CVerticalSlider(CRect(20, 53, 60, 337), listener, 6, CPoint(0, 0), 284,
                                       handle, back, CPoint(0, 0), style);
    handle->forget();
    back->forget();
    frame->addView(slider);
    return slider;
}

} // namespace

TEST_F(SliderTest, HandleTravelsTheRangeLessItsHeight)
{
    CVerticalSlider* slider = addSlider(frame, &listener);
    EXPECT_TRUE(slider->getStyle() & kVertical);
    struct
    {
        float value;
        double top;
    } cases[] = {{0.f, 53}, {1.f, 317}, {0.5f, 185}, {2.f, 317}};
    for (auto c : cases)
    {
        slider->setValue(c.value);
        EXPECT_DOUBLE_EQ(slider->getHandleRect().top, c.top) << "value " << c.value;
        EXPECT_DOUBLE_EQ(slider->getHandleRect().height(), 20);
    }
    slider->setValue(0.5f);
    EXPECT_EQ(at(40, 186), kRed);
    EXPECT_EQ(at(40, 204), kRed);
    EXPECT_EQ(at(40, 184), kBlackCColor) << "the transparent background shows what is beneath";
    EXPECT_EQ(at(40, 206), kBlackCColor);
}

TEST_F(SliderTest, TopStyleReversesTheDirection)
{
    CVerticalSlider* slider = addSlider(frame, &listener, kTop);
    slider->setValue(0.f);
    EXPECT_DOUBLE_EQ(slider->getHandleRect().top, 317);
    slider->setValue(1.f);
    EXPECT_DOUBLE_EQ(slider->getHandleRect().top, 53);
}

TEST_F(SliderTest, DraggingTheHandleMovesItWithTheMouse)
{
    CVerticalSlider* slider = addSlider(frame, &listener);
    slider->setValue(0.f);
    drag(frame, 40, 60, 40, 60 + 132);
    EXPECT_NEAR(slider->getValue(), 0.5f, 1e-5);
    EXPECT_EQ(listener.events.front().what, "begin");
    EXPECT_EQ(listener.events.back().what, "end");
    for (size_t i = 1; i + 1 < listener.events.size(); ++i)
        EXPECT_EQ(listener.events[i].what, "changed");
}

TEST_F(SliderTest, ClickBesideTheHandleCentresItUnderTheMouse)
{
    CVerticalSlider* slider = addSlider(frame, &listener);
    slider->setValue(0.f);
    click(frame, 40, 200);
    EXPECT_NEAR(slider->getHandleRect().top, 190, 1e-3);
    EXPECT_EQ(listener.sequence(), "begin changed end");
}

TEST_F(SliderTest, CtrlClickAndWheel)
{
    CVerticalSlider* slider = addSlider(frame, &listener);
    slider->setValue(0.1f);
    click(frame, 40, 300, kControl);
    EXPECT_FLOAT_EQ(slider->getValue(), 0.5f);
    EXPECT_EQ(listener.sequence(), "begin changed end");

    // The wheel turned up moves the handle up, which here lowers the value.
    listener.events.clear();
    frame->onWheel(CPoint(40, 100), 1.f, CButtonState());
    EXPECT_NEAR(slider->getValue(), 0.49f, 1e-5);
    EXPECT_EQ(listener.sequence(), "begin changed end");
}

TEST_F(ButtonTest, MovieButtonShowsItsFramesAndToggles)
{
    CBitmap* strip = stripBitmap(40, 15, {kRed, kGreen});
    auto* button = new CMovieButton(CRect(10, 10, 50, 25), &listener, 3, strip);
    strip->forget();
    frame->addView(button);
    EXPECT_EQ(at(30, 17), kRed);
    button->setValue(0.3f);
    EXPECT_EQ(at(30, 17), kGreen) << "any value but 0 shows the second frame";

    click(frame, 30, 17);
    EXPECT_FLOAT_EQ(button->getValue(), 0.f);
    EXPECT_EQ(listener.sequence(), "begin changed end");
    click(frame, 30, 17);
    EXPECT_FLOAT_EQ(button->getValue(), 1.f);
    EXPECT_EQ(at(30, 17), kGreen);
    EXPECT_FLOAT_EQ(listener.events.back().value, 1.f);

    listener.events.clear();
    CPoint p(30, 17);
    frame->onMouseDown(p, CButtonState(kRButton));
    EXPECT_TRUE(listener.events.empty()) << "only the left button toggles";
}

TEST_F(ButtonTest, SplashOpensOverTheDisplayAreaAndClosesOnAClick)
{
    CBitmap* image = stripBitmap(200, 400, {kBlue});
    auto* splash = new CSplashScreen(CRect(10, 0, 100, 20), &listener, 0x78787878, image,
                                     CRect(0, 0, 200, 400));
    image->forget();
    frame->addView(splash);
    CAnimKnob* knob = addKnob(frame, &listener, 0.f);
    EXPECT_EQ(at(150, 200), kBlackCColor) << "nothing shown before the click";

    click(frame, 50, 10);
    ASSERT_TRUE(splash->isSplashShown());
    EXPECT_NE(frame->getModalView(), nullptr);
    EXPECT_EQ(at(150, 200), kBlue);
    EXPECT_EQ(at(70, 70), kBlue) << "the image covers the knob";
    EXPECT_EQ(listener.sequence(), "changed");
    EXPECT_FLOAT_EQ(listener.events.back().value, 1.f);

    // While shown, a click anywhere on the image closes it and reaches nothing beneath.
    click(frame, 70, 52);
    EXPECT_FALSE(splash->isSplashShown());
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.f);
    EXPECT_EQ(listener.sequence(), "changed changed");
    EXPECT_FLOAT_EQ(listener.events.back().value, 0.f);
    EXPECT_EQ(at(70, 70), kRed);
    EXPECT_EQ(at(150, 200), kBlackCColor);
}

TEST_F(ButtonTest, FrameClosedWhileTheSplashIsShown)
{
    CBitmap* image = stripBitmap(200, 400, {kBlue});
    frame->addView(
        new CSplashScreen(CRect(10, 0, 100, 20), &listener, 1, image, CRect(0, 0, 200, 400)));
    click(frame, 50, 10);
    ASSERT_NE(frame->getModalView(), nullptr);
    listener.events.clear();
    frame->forget();
    frame = new CFrame(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_EQ(image->getNbReference(), 1) << "splash view and control released the image";
    EXPECT_TRUE(listener.events.empty()) << "closing is no gesture";
    image->forget();
}

namespace
{

/** A 16 × 260 meter: 26 segments of 10 px, red when lit, grey when not. */
CVuMeter* addMeter(CFrame* frame, int32_t style = kVertical)
{
    CBitmap* on = stripBitmap(16, 260, {kRed});
    CBitmap* off = stripBitmap(16, 260, {kGrey});
    auto* meter = new CVuMeter(CRect(100, 100, 116, 360), on, off, 26, style);
    on->forget();
    off->forget();
    meter->setMax(1.f);
    meter->setMin(0.f);
    frame->addView(meter);
    return meter;
}

} // namespace

TEST_F(MeterTest, ClampsAndLightsWholeSegmentsFromTheBottom)
{
    CVuMeter* meter = addMeter(frame);
    meter->setValue(1.7f);
    EXPECT_FLOAT_EQ(meter->getValue(), 1.f);
    meter->setValue(-3.f);
    EXPECT_FLOAT_EQ(meter->getValue(), 0.f);

    struct
    {
        float value;
        int32_t lit;
    } cases[] = {{0.01f, 0}, {0.5f, 13}, {0.51f, 13}, {0.52f, 14}, {1.f, 26}};
    for (auto c : cases)
    {
        meter->setValue(c.value);
        frame->idle();
        EXPECT_EQ(meter->getLitSegments(), c.lit) << "value " << c.value;
    }
    meter->setValue(0.5f);
    for (int i = 0; i < 10; ++i)
        frame->idle();
    EXPECT_EQ(at(108, 359), kRed);
    EXPECT_EQ(at(108, 230), kRed);
    EXPECT_EQ(at(108, 229), kGrey);
    EXPECT_EQ(at(108, 100), kGrey);
}

TEST_F(MeterTest, RisesAtOnceAndFallsOneTenthPerRedraw)
{
    CVuMeter* meter = addMeter(frame);
    meter->setValue(1.f);
    frame->idle();
    EXPECT_FLOAT_EQ(meter->getShownValue(), 1.f);
    meter->setValue(0.f);
    frame->idle();
    EXPECT_NEAR(meter->getShownValue(), 0.9f, 1e-5);
    frame->idle();
    EXPECT_NEAR(meter->getShownValue(), 0.8f, 1e-5);
    meter->setValue(0.75f);
    frame->idle();
    EXPECT_NEAR(meter->getShownValue(), 0.75f, 1e-5) << "never falls below the value";
    EXPECT_FALSE(meter->isDirty());
    EXPECT_FALSE(frame->idle()) << "nothing left to draw";
    meter->setValue(0.f);
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(frame->idle());
    EXPECT_NEAR(meter->getShownValue(), 0.05f, 1e-5);
    frame->idle();
    EXPECT_FLOAT_EQ(meter->getShownValue(), 0.f);
}

TEST_F(MeterTest, HorizontalMeterLightsFromTheLeftAndIgnoresTheMouse)
{
    CBitmap* on = stripBitmap(40, 15, {kGreen});
    CBitmap* off = stripBitmap(40, 15, {kGrey});
    auto* meter = new CVuMeter(CRect(10, 10, 50, 25), on, off, 4, kHorizontal);
    on->forget();
    off->forget();
    frame->addView(meter);
    meter->setValue(0.5f);
    EXPECT_EQ(at(11, 17), kGreen);
    EXPECT_EQ(at(29, 17), kGreen);
    EXPECT_EQ(at(31, 17), kGrey);
    CPoint p(20, 17);
    EXPECT_EQ(frame->onMouseDown(p, CButtonState(kLButton)), kMouseEventNotHandled);
}
