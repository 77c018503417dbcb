#include "editorfixture.h"

#include "vstgui/canimknob.h"
#include "vstgui/cmoviebutton.h"
#include "vstgui/cslider.h"
#include "vstgui/ctextedit.h"
#include "vstgui/cvstguitimer.h"
#include "vstgui/cvumeter.h"

#include "paramconverter.h"
#include "pluginterfaces/base/ustring.h"

using namespace Steinberg;
using namespace VSTGUI;
using namespace QuorvaneTest;
using namespace Quorvane;
using Steinberg::Vst::EditController;
using Steinberg::Vst::ParamID;

namespace
{

void click(CFrame* frame, CPoint where, int32_t buttons = kLButton)
{
    frame->onMouseDown(where, CButtonState(buttons));
    frame->onMouseUp(where, CButtonState(buttons));
}

void typeText(CFrame* frame, const char* text, uint8_t finalKey)
{
    for (const char* c = text; *c; ++c)
    {
        VstKeyCode key;
        key.character = *c;
        frame->onKeyDown(key);
    }
    VstKeyCode end;
    end.virt = finalKey;
    frame->onKeyDown(end);
}

CPoint centre(CView* view)
{
    const CRect& r = view->getViewSize();
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::string display(EditController* c, ParamID id, double v)
{
    Vst::String128 text;
    c->getParamStringByValue(id, v, text);
    char ascii[128];
    UString(text, 128).toAscii(ascii, 128);
    return ascii;
}

} // namespace

TEST_F(EditorTest, EnvelopeSwitchShowsTheAttackOfTheShapeInForce)
{
    auto* editor = openEditor();
    auto visible = [&](ParamID id)
    { return editor->valueControl(id)->isVisible() && editor->textField(id)->isVisible(); };
    auto hidden = [&](ParamID id)
    { return !editor->valueControl(id)->isVisible() && !editor->textField(id)->isVisible(); };

    EXPECT_TRUE(visible(kAttackGradualId)); // default: gradual attack
    EXPECT_TRUE(hidden(kAttackSynthId));

    editor->updateParameter(kGradualAttEnvelopeId, 0.5);
    EXPECT_TRUE(visible(kAttackSynthId));
    EXPECT_TRUE(hidden(kAttackGradualId));
    EXPECT_EQ(editor->switchControl(kGradualAttEnvelopeId)->getFrameIndex(), 1);

    editor->updateParameter(kGradualAttEnvelopeId, 0.51);
    EXPECT_TRUE(visible(kAttackGradualId));
    EXPECT_TRUE(hidden(kAttackSynthId));

    editor->updateParameter(kGradualAttEnvelopeId, 0.0);
    EXPECT_EQ(editor->switchControl(kGradualAttEnvelopeId)->getFrameIndex(), 0)
        << "flipped image: on frame for 0";

    // A click on the switch goes through the controller and swaps the pair at once.
    click(editor->getFrame(), centre(editor->switchControl(kGradualAttEnvelopeId)));
    EXPECT_EQ(controller->getParamNormalized(kGradualAttEnvelopeId), 1.0);
    EXPECT_TRUE(visible(kAttackGradualId));
    ASSERT_GE(handler.calls.size(), 3u);
    EXPECT_EQ(handler.calls.front(), "begin 4");
    EXPECT_EQ(handler.calls.back(), "end 4");
}

TEST_F(EditorTest, MetersAreDrawnOnlyOnTheTimerTick)
{
    auto* editor = openEditor();
    CVuMeter* maxGate = editor->meter(2);
    controller->setParamNormalized(kMaxGateId, 0.7);
    editor->updateParameter(22, 1.0); // unknown: nothing
    EXPECT_EQ(maxGate->getValue(), 0.f);
    EXPECT_EQ(maxGate->getLitSegments(), 0);

    editor->getIdleTimer()->fire();
    EXPECT_FLOAT_EQ(maxGate->getValue(), 0.7f);
    EXPECT_GT(maxGate->getLitSegments(), 16);
    EXPECT_LT(maxGate->getLitSegments(), 20);

    // Readings far below the scale (linked mode's minimum) are clamped to an empty meter.
    controller->setParamNormalized(kMinVuId, -5.58);
    editor->getIdleTimer()->fire();
    EXPECT_EQ(editor->meter(1)->getLitSegments(), 0);

    // After close and a new open the last readings come back on the first tick.
    editor->close();
    ASSERT_TRUE(editor->open(nullptr));
    EXPECT_EQ(editor->meter(2)->getValue(), 0.f);
    editor->getIdleTimer()->fire();
    EXPECT_FLOAT_EQ(editor->meter(2)->getValue(), 0.7f);
}

TEST_F(EditorTest, DraggingTheReleaseKnobEditsStepByStep)
{
    auto* editor = openEditor();
    CFrame* frame = editor->getFrame();
    frame->setKnobMode(kLinearMode);
    controller->setKnobMode(Vst::kLinearMode);
    CControl* knob = editor->valueControl(kReleaseId);
    CPoint p = centre(knob);
    handler.calls.clear();
    frame->onMouseDown(p, CButtonState(kLButton));
    for (int i = 0; i < 3; ++i)
    {
        p.y -= 10;
        frame->onMouseMoved(p, CButtonState(kLButton));
        const double v = knob->getValue();
        EXPECT_DOUBLE_EQ(controller->getParamNormalized(kReleaseId), v);
        EXPECT_EQ(editor->textField(kReleaseId)->getText(), display(controller, kReleaseId, v));
    }
    frame->onMouseUp(p, CButtonState(kLButton));

    ASSERT_GE(handler.calls.size(), 3u);
    EXPECT_EQ(handler.calls.front(), "begin 11");
    EXPECT_EQ(handler.calls.back(), "end 11");
    for (size_t i = 1; i + 1 < handler.calls.size(); ++i)
        EXPECT_EQ(handler.calls[i].rfind("perform 11 ", 0), 0u) << handler.calls[i];
    EXPECT_GT(controller->getParamNormalized(kReleaseId), 0.2242749);
}

TEST_F(EditorTest, TypedTextMovesTheControlOnlyWhenItConverts)
{
    auto* editor = openEditor();
    CFrame* frame = editor->getFrame();
    CTextEdit* field = editor->textField(kThresholdId);
    handler.calls.clear();

    click(frame, centre(field));
    ASSERT_TRUE(field->isEditing());
    typeText(frame, "-38", VKEY_RETURN);
    EXPECT_FALSE(field->isEditing());
    EXPECT_NEAR(controller->getParamNormalized(kThresholdId), 0.5, 1e-6);
    EXPECT_NEAR(editor->valueControl(kThresholdId)->getValue(), 0.5f, 1e-6);
    EXPECT_STREQ(field->getText(), "-38.0 dB");
    ASSERT_EQ(handler.calls.size(), 1u) << "no begin/end edit for typed values";
    EXPECT_EQ(handler.calls[0].rfind("perform 6 ", 0), 0u);

    click(frame, centre(field));
    typeText(frame, "loud", VKEY_RETURN);
    EXPECT_NEAR(controller->getParamNormalized(kThresholdId), 0.5, 1e-6);
    EXPECT_NEAR(editor->valueControl(kThresholdId)->getValue(), 0.5f, 1e-6);
    EXPECT_EQ(handler.calls.size(), 1u);

    // Escape cancels.
    click(frame, centre(field));
    typeText(frame, "-10", VKEY_ESCAPE);
    EXPECT_NEAR(controller->getParamNormalized(kThresholdId), 0.5, 1e-6);
}

TEST_F(EditorTest, AnEditInOneEditorShowsInTheOther)
{
    auto* first = openEditor();
    auto* second = openEditor();
    click(first->getFrame(), centre(first->switchControl(kDuckingId)));
    EXPECT_EQ(second->switchControl(kDuckingId)->getValue(), 1.f);

    CTextEdit* field = first->textField(kHoldId);
    click(first->getFrame(), centre(field));
    typeText(first->getFrame(), "120", VKEY_RETURN);
    EXPECT_STREQ(second->textField(kHoldId)->getText(), "120 ms");
    EXPECT_FLOAT_EQ(second->valueControl(kHoldId)->getValue(),
                    first->valueControl(kHoldId)->getValue());
}

// Ctrl+click returns every knob and the slider to the parameter's initial value (what a fresh
// instance runs with), never to the middle of the range.
TEST_F(EditorTest, CtrlClickResetsEachControlToItsParametersInitialValue)
{
    auto* editor = openEditor();
    const ParamConverter converter;
    for (ParamID id = kOutputLevelId; id <= kNoteTruncationId; ++id)
    {
        // Only the attack control of the envelope in force can be clicked.
        if (id == kAttackSynthId || id == kAttackGradualId)
            editor->updateParameter(kGradualAttEnvelopeId, id == kAttackGradualId ? 1.0 : 0.0);
        CControl* control = editor->valueControl(id);
        ASSERT_TRUE(control->isVisible()) << id;
        controller->setParamNormalized(id, 0.9);
        editor->updateParameter(id, 0.9);
        handler.calls.clear();

        click(editor->getFrame(), centre(control), kLButton | kControl);
        const double expected = converter.defaultNormalized(id);
        EXPECT_NEAR(controller->getParamNormalized(id), expected, 1e-7) << id;
        EXPECT_NEAR(control->getValue(), expected, 1e-7) << id;
        EXPECT_EQ(editor->textField(id)->getText(), display(controller, id, expected)) << id;
        ASSERT_EQ(handler.calls.size(), 3u) << id;
        EXPECT_EQ(handler.calls[0], "begin " + std::to_string(id));
        EXPECT_EQ(handler.calls[1].rfind("perform " + std::to_string(id) + " ", 0), 0u);
        EXPECT_EQ(handler.calls[2], "end " + std::to_string(id));
    }
    // The defaults are the values the gate starts with: -20 dB threshold, 35 ms hold.
    EXPECT_EQ(display(controller, kThresholdId, controller->getParamNormalized(kThresholdId)),
              "-20.0 dB");
    EXPECT_EQ(display(controller, kHoldId, controller->getParamNormalized(kHoldId)), "35.0 ms");
}

TEST_F(EditorTest, OpenShowsTheControllersValues)
{
    controller->setParamNormalized(kThresholdId, 0.25);
    controller->setParamNormalized(kBypassId, 1.0);
    auto* editor = openEditor();
    EXPECT_FLOAT_EQ(editor->valueControl(kThresholdId)->getValue(), 0.25f);
    EXPECT_STREQ(editor->textField(kThresholdId)->getText(), "-19.0 dB");
    EXPECT_EQ(editor->switchControl(kBypassId)->getValue(), 1.f);
    EXPECT_STREQ(editor->textField(kNoteTruncationId)->getText(), " off");
}
