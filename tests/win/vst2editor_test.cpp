// The built module's editor in a VST 2 host on Windows: the effect claims an editor, opens it as
// a child of the host's HWND on effEditOpen, takes clicks through its window and is gone after
// effEditClose.
#include "pluginterfaces/fst/aeffectx.h"

#include "hostwindow.h"
#include "pluginlibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace
{

std::vector<int> automated;

VstIntPtr host(AEffect*, int opcode, int index, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion)
        return 2400;
    if (opcode == audioMasterAutomate)
        automated.push_back(index);
    return 0;
}

using MainFn = AEffect* (*)(audioMasterCallback);

TEST(Vst2EditorOnWindows, OpensInTheHostsWindowAndClosesWithoutATrace)
{
    QuorvaneTest::PluginLibrary library(QUORVANE_BUNDLE_SO);
    ASSERT_TRUE(library.loaded()) << library.error();
    auto main = library.function<MainFn>("VSTPluginMain");
    ASSERT_NE(main, nullptr);
    AEffect* effect = main(&host);
    ASSERT_NE(effect, nullptr);
    auto dispatch = [effect](int opcode, VstIntPtr value = 0, void* ptr = nullptr)
    { return effect->dispatcher(effect, opcode, 0, value, ptr, 0.f); };
    dispatch(effOpen);
    EXPECT_NE(effect->flags & effFlagsHasEditor, 0);

    // A VST 2 host gives no factor: the size follows the desktop's DPI (QUORVANE_TEST_DPI in a
    // prefix given another LogPixels).
    const char* dpi = std::getenv("QUORVANE_TEST_DPI");
    const int f96 = dpi ? std::atoi(dpi) : 96;
    const int width = 320 * f96 / 96, height = 390 * f96 / 96;
    ERect* rect = nullptr;
    ASSERT_NE(dispatch(effEditGetRect, 0, &rect), 0);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, width);
    EXPECT_EQ(rect->bottom - rect->top, height);

    {
        QuorvaneTest::HostWindow window(width, height);
        ASSERT_NE(dispatch(effEditOpen, 0, window.handle()), 0);
        HWND child = FindWindowExW(window.handle(), nullptr, L"QuorvaneFrame", nullptr);
        ASSERT_NE(child, nullptr);
        RECT client{};
        GetClientRect(child, &client);
        EXPECT_EQ(client.right, width);
        EXPECT_EQ(client.bottom, height);

        // A click on the Bypass button reaches the host as an automated parameter.
        automated.clear();
        PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(280 * f96 / 96, 10 * f96 / 96));
        PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(280 * f96 / 96, 10 * f96 / 96));
        QuorvaneTest::HostWindow::pump();
        dispatch(effEditIdle);
        EXPECT_FALSE(automated.empty());

        dispatch(effEditClose);
        EXPECT_FALSE(IsWindow(child));
        EXPECT_EQ(FindWindowExW(window.handle(), nullptr, L"QuorvaneFrame", nullptr), nullptr);
    }
    dispatch(effClose);
}

} // namespace
