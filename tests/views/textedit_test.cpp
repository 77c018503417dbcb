// Text fields edited in place: typing, committing, cancelling and losing the focus.
#include "viewtesthelpers.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using namespace QuorvaneTest;

namespace
{

struct TextEditTest : ::testing::Test
{
    CFrame* frame = new CFrame(CRect(0, 0, 200, 100), nullptr, nullptr);
    RecordingListener listener;
    CTextEdit* field =
        new CTextEdit(CRect(10, 10, 60, 22), &listener, 42, "-20.0 dB", nullptr, kNoFrame);
    CTextEdit* other =
        new CTextEdit(CRect(10, 40, 60, 52), &listener, 43, "5 ms", nullptr, kNoFrame);

    TextEditTest()
    {
        frame->addView(field);
        frame->addView(other);
    }
    ~TextEditTest() override { frame->forget(); }
    void type(const char* text)
    {
        for (const char* p = text; *p; ++p)
            typeKey(frame, *p);
    }
};

} // namespace

TEST_F(TextEditTest, TypedTextReplacesTheShownTextAndEnterCommits)
{
    click(frame, 30, 15);
    ASSERT_TRUE(field->isEditing());
    EXPECT_EQ(frame->getFocusView(), field);
    EXPECT_STREQ(field->getEditText(), "-20.0 dB");
    type("-12x");
    pressKey(frame, VKEY_BACK);
    EXPECT_STREQ(field->getEditText(), "-12");
    EXPECT_STREQ(field->getText(), "-20.0 dB") << "nothing committed yet";
    EXPECT_TRUE(listener.events.empty());

    pressKey(frame, VKEY_RETURN);
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_STREQ(field->getText(), "-12");
    ASSERT_EQ(listener.sequence(), "changed") << "text entry sends no begin or end of edit";
    EXPECT_EQ(listener.events[0].tag, 42);
}

TEST_F(TextEditTest, BackspaceRightAfterTheClickClearsAndKeysAreIgnoredWhenNotEditing)
{
    typeKey(frame, '7');
    EXPECT_STREQ(field->getText(), "-20.0 dB");
    click(frame, 30, 15);
    pressKey(frame, VKEY_BACK);
    EXPECT_STREQ(field->getEditText(), "");
    type("3");
    pressKey(frame, VKEY_ENTER);
    EXPECT_STREQ(field->getText(), "3");
}

TEST_F(TextEditTest, EscapeCancels)
{
    click(frame, 30, 15);
    type("999");
    pressKey(frame, VKEY_ESCAPE);
    EXPECT_FALSE(field->isEditing());
    EXPECT_STREQ(field->getText(), "-20.0 dB");
    EXPECT_TRUE(listener.events.empty());
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(TextEditTest, LosingTheFocusCommits)
{
    // A click on an empty part of the frame.
    click(frame, 30, 15);
    type("1");
    click(frame, 150, 80);
    EXPECT_FALSE(field->isEditing());
    EXPECT_STREQ(field->getText(), "1");
    EXPECT_EQ(listener.sequence(), "changed");

    // A click into another field: the first commits, the second starts editing.
    click(frame, 30, 15);
    type("2");
    click(frame, 30, 45);
    EXPECT_STREQ(field->getText(), "2");
    EXPECT_TRUE(other->isEditing());
    EXPECT_EQ(frame->getFocusView(), other);

    // The window losing the keyboard.
    type("9 ms");
    frame->onWindowFocusLost();
    EXPECT_STREQ(other->getText(), "9 ms");
    ASSERT_EQ(listener.events.size(), 3u);
    EXPECT_EQ(listener.events[2].tag, 43);
}

TEST_F(TextEditTest, ClickIntoTheEditedFieldKeepsEditingAndAppends)
{
    click(frame, 30, 15);
    click(frame, 30, 15);
    EXPECT_TRUE(field->isEditing());
    type("0");
    EXPECT_STREQ(field->getEditText(), "-20.0 dB0");
    EXPECT_TRUE(listener.events.empty());
}

TEST_F(TextEditTest, TransparencyDecidesWhetherTheBackgroundIsFilled)
{
    CBitmap* back = stripBitmap(200, 100, {kBlue});
    frame->setBackground(back);
    back->forget();
    field->setText("");
    field->setBackColor(kRed);
    EXPECT_EQ(pixel(frame->getBackBuffer(), 30, 15), kRed);
    field->setTransparency(true);
    EXPECT_EQ(pixel(frame->getBackBuffer(), 30, 15), kBlue);
}

TEST_F(TextEditTest, RemovingTheEditedFieldDropsTheFocus)
{
    click(frame, 30, 15);
    field->remember();
    frame->removeView(field);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    typeKey(frame, 'x'); // must reach nothing
    field->forget();
}
