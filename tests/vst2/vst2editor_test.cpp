#include "vst2testhost.h"

#include "fakeview.h"

using namespace QuorvaneTest::FakePlugin;

TEST_F(WrapperTest, WithoutAnEditorTheEditorOpcodesAnswerNothing)
{
    ASSERT_NE(wrap(), nullptr);
    EXPECT_EQ(effect->flags & effFlagsHasEditor, 0);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
    dispatch(effEditIdle);
    EXPECT_EQ(viewJournal.attached, 0);
}

TEST_F(WrapperTest, TheEditorIsEmbeddedInTheHostWindowAndServedOnIdle)
{
    Controller::offerEditor = true;
    ASSERT_NE(wrap(), nullptr);
    EXPECT_NE(effect->flags & effFlagsHasEditor, 0);

    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 200);
    EXPECT_EQ(rect->bottom - rect->top, 120);

    void* window = reinterpret_cast<void*>(0x2A00005);
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, window), 1);
    EXPECT_EQ(viewJournal.attached, 1);
    EXPECT_EQ(viewJournal.parent, window);
    EXPECT_EQ(viewJournal.platformType, kPlatformTypeX11EmbedWindowID);
    EXPECT_TRUE(viewJournal.gotRunLoop);

    // The view's 10 ms timer runs from the host's idle calls.
    for (int i = 0; i < 50 && viewJournal.timerTicks == 0; ++i)
    {
        usleep(2000);
        dispatch(effEditIdle);
    }
    EXPECT_GT(viewJournal.timerTicks, 0);

    dispatch(effEditClose);
    EXPECT_EQ(viewJournal.removed, 1);
    const int ticks = viewJournal.timerTicks;
    usleep(15000);
    dispatch(effEditIdle);
    EXPECT_EQ(viewJournal.timerTicks, ticks);

    // Closing the effect with the editor open removes the view too.
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, window), 1);
    closeEffect();
    EXPECT_EQ(viewJournal.removed, 2);
}
