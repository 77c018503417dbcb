// The editor drawn by the GDI+ back end compared, view by view, with the cairo back end's picture
// of the same state (rendered by the Linux build before this test runs): the same size, every one
// of the 59 views in its place showing the right frame of its bitmap. Text is drawn by each
// system's own font rasterizer, so inside text views only the presence of text is compared.
#include "againcontroller.h"
#include "againeditorview.h"
#include "editorstate.h"
#include "labelextent.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "vstgui/canimknob.h"
#include "vstgui/cfontdesc.h"
#include "vstgui/cframe.h"
#include "vstgui/ctextlabel.h"
#include "vstgui/cvstguitimer.h"
#include "vstgui/displayscale.h"
#include "vstgui/nativeimage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace QuorvaneTest;

namespace
{

// A picture's pixels, straight (not premultiplied) ARGB.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

Pixels pixelsOf(VSTGUI::NativeImage* image)
{
    Pixels result;
    if (!image)
        return result;
    result.width = static_cast<int>(image->GetWidth());
    result.height = static_cast<int>(image->GetHeight());
    result.argb.resize(static_cast<size_t>(result.width) * result.height);
    Gdiplus::BitmapData data{};
    data.Width = result.width;
    data.Height = result.height;
    data.Stride = result.width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = result.argb.data();
    Gdiplus::Rect all(0, 0, result.width, result.height);
    if (image->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppARGB, &data) == Gdiplus::Ok)
        image->UnlockBits(&data);
    return result;
}

// A path of the Linux file system (where the build put the file) as Wine's drive Z: has it.
std::string windowsPath(const std::string& path)
{
    return path.size() && path[0] == '/' ? "Z:" + path : path;
}

Pixels readPng(const std::string& path)
{
    std::ifstream in(windowsPath(path), std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    VSTGUI::NativeImage* image = VSTGUI::Native::decodePng(bytes.data(), bytes.size());
    Pixels result = pixelsOf(image);
    VSTGUI::Native::releaseImage(image);
    return result;
}

int channelDifference(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8)
        largest = std::max(largest, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
    return largest;
}

int brightness(uint32_t argb)
{
    return std::max({(argb >> 16) & 0xff, (argb >> 8) & 0xff, argb & 0xff});
}

struct Region
{
    VSTGUI::CRect rect;
    std::string name;
    bool text = false;
};

// What differs between two pictures of the editor, region by region.
class Comparison
{
public:
    // The views' regions in the pixels of pictures drawn at the frame's display scale.
    Comparison(VSTGUI::CFrame* frame)
    {
        for (int32_t i = 0; i < frame->getNbViews(); ++i)
        {
            VSTGUI::CView* view = frame->getView(i);
            Region region{VSTGUI::toPhysical(view->getViewSize(), frame->getScaleFactor()),
                          "view " + std::to_string(i + 1) + " at (" +
                              std::to_string(int(view->getViewSize().left)) + ", " +
                              std::to_string(int(view->getViewSize().top)) + ")",
                          dynamic_cast<VSTGUI::CTextLabel*>(view) != nullptr};
            regions.push_back(region);
        }
    }

    size_t viewCount() const { return regions.size(); }

    // The regions whose pictures differ: a bitmap view in any pixel outside text (beyond the
    // rounding of the two systems' blending), a text view in whether it shows text at all.
    std::vector<std::string> differences(const Pixels& a, const Pixels& b) const
    {
        std::vector<std::string> found;
        for (const Region& region : regions)
            if (region.text ? textDiffers(region.rect, a, b) : pixelsDiffer(region.rect, a, b))
                found.push_back(region.name);
        // What no view covers: the background.
        bool background = false;
        for (int y = 0; y < a.height && !background; ++y)
            for (int x = 0; x < a.width && !background; ++x)
                background = !inView(x, y) && channelDifference(a.at(x, y), b.at(x, y)) > 2;
        if (background)
            found.push_back("background");
        return found;
    }

private:
    bool inView(int x, int y) const
    {
        for (const Region& region : regions)
            if (region.rect.pointInside(VSTGUI::CPoint(x, y)))
                return true;
        return false;
    }

    bool inText(int x, int y) const
    {
        for (const Region& region : regions)
            if (region.text && region.rect.pointInside(VSTGUI::CPoint(x, y)))
                return true;
        return false;
    }

    bool pixelsDiffer(const VSTGUI::CRect& rect, const Pixels& a, const Pixels& b) const
    {
        for (int y = int(rect.top); y < int(rect.bottom); ++y)
            for (int x = int(rect.left); x < int(rect.right); ++x)
                if (x < a.width && y < a.height && !inText(x, y) &&
                    channelDifference(a.at(x, y), b.at(x, y)) > 2)
                    return true;
        return false;
    }

    static bool textDiffers(const VSTGUI::CRect& rect, const Pixels& a, const Pixels& b)
    {
        auto ink = [&rect](const Pixels& p)
        {
            int count = 0;
            for (int y = int(rect.top); y < int(rect.bottom) && y < p.height; ++y)
                for (int x = int(rect.left); x < int(rect.right) && x < p.width; ++x)
                    count += brightness(p.at(x, y)) > 140;
            return count;
        };
        const int inkA = ink(a), inkB = ink(b);
        return (inkA == 0) != (inkB == 0) || inkA > 2 * inkB + 4 || inkB > 2 * inkA + 4;
    }

    std::vector<Region> regions;
};

class EditorRenderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        controller = new Quorvane::againController;
        ASSERT_EQ(controller->initialize(&host), Steinberg::kResultOk);
        editor = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(editor->setContentScaleFactor(scale), Steinberg::kResultTrue);
        ASSERT_EQ(editor->openOffscreen(), Steinberg::kResultOk);
        applyEditorState(*controller, EditorState::Varied);
        editor->getIdleTimer()->fire();
        linux = readPng(scale == 1 ? QUORVANE_LINUX_EDITOR_PNG : QUORVANE_LINUX_EDITOR_2X_PNG);
    }
    void TearDown() override
    {
        if (editor)
        {
            editor->removed();
            editor->release();
        }
        controller->terminate();
        controller->release();
    }

    Pixels windows() { return pixelsOf(editor->getFrame()->getBackBuffer()); }

    float scale = 1;
    Steinberg::Vst::HostApplication host;
    Quorvane::againController* controller = nullptr;
    Quorvane::againEditorView* editor = nullptr;
    Pixels linux;
};

TEST_F(EditorRenderTest, EveryViewMatchesTheLinuxPictureOfTheSameState)
{
    ASSERT_EQ(linux.width, 320) << "the Linux picture " << QUORVANE_LINUX_EDITOR_PNG << " was read";
    ASSERT_EQ(linux.height, 390);
    const Pixels own = windows();
    ASSERT_EQ(own.width, 320);
    ASSERT_EQ(own.height, 390);
    Comparison comparison(editor->getFrame());
    EXPECT_EQ(comparison.viewCount(), 59u);
    EXPECT_EQ(comparison.differences(own, linux), std::vector<std::string>{});
    EXPECT_TRUE(editor->getFrame()->writePNG(windowsPath(QUORVANE_WINDOWS_EDITOR_PNG).c_str()));
}

// At a host's factor of 2, GDI+ draws the artwork painted for 2 as cairo does: the same picture.
class EditorRenderAt2Test : public EditorRenderTest
{
protected:
    EditorRenderAt2Test() { scale = 2; }
};

TEST_F(EditorRenderAt2Test, EveryViewMatchesTheLinuxPictureAt2)
{
    ASSERT_EQ(linux.width, 640) << "the Linux picture " << QUORVANE_LINUX_EDITOR_2X_PNG;
    const Pixels own = windows();
    ASSERT_EQ(own.width, 640);
    ASSERT_EQ(own.height, 780);
    EXPECT_EQ(Comparison(editor->getFrame()).differences(own, linux), std::vector<std::string>{});
}

TEST_F(EditorRenderTest, TheComparisonFindsAShiftedViewAndAWrongFrame)
{
    ASSERT_EQ(linux.width, 320);
    VSTGUI::CFrame* frame = editor->getFrame();
    Comparison comparison(frame);
    // Row 14, the Hold knob, one pixel to the right; row 56, the Beat Skip knob, one frame on.
    auto* hold = dynamic_cast<VSTGUI::CAnimKnob*>(frame->getView(13));
    auto* beatSkip = dynamic_cast<VSTGUI::CAnimKnob*>(frame->getView(55));
    ASSERT_NE(hold, nullptr);
    ASSERT_NE(beatSkip, nullptr);
    VSTGUI::CRect moved = hold->getViewSize();
    moved.offset(1, 0);
    hold->setViewSize(moved);
    beatSkip->setValue(beatSkip->getValue() + 1.f / 79.f);
    beatSkip->invalid();
    std::vector<std::string> found = comparison.differences(windows(), linux);
    // The column the shifted knob moved into belongs to no view: the background differs as well.
    found.erase(std::remove(found.begin(), found.end(), "background"), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"view 14 at (140, 50)", "view 56 at (260, 302)"}));
}

TEST_F(EditorRenderTest, EveryLabelIsDrawnWholeInsideItsPanel)
{
    EXPECT_EQ(labelsNotDrawnWhole(editor->getFrame(), [this] { return windows().argb; }),
              std::vector<std::string>{});
}

// Text in a family the system lacks (as Arial is in a Wine prefix that maps no replacement for
// it) is drawn all the same, in the system's sans-serif family: every text view still shows text.
TEST_F(EditorRenderTest, TextInAFamilyTheSystemLacksIsStillDrawn)
{
    ASSERT_EQ(linux.width, 320);
    VSTGUI::CFrame* frame = editor->getFrame();
    auto* missing = new VSTGUI::CFontDesc("Quorvane Missing Family", 9);
    for (int32_t i = 0; i < frame->getNbViews(); ++i)
        if (auto* text = dynamic_cast<VSTGUI::CTextLabel*>(frame->getView(i)))
            text->setFont(missing);
    missing->forget();
    EXPECT_EQ(Comparison(frame).differences(windows(), linux), std::vector<std::string>{});
}

TEST(EditorPictures, TheSnapshotStateRendersUnderWindows)
{
    EXPECT_TRUE(renderEditorState(EditorState::Snapshot,
                                  windowsPath(QUORVANE_WINDOWS_SNAPSHOT_PNG).c_str()));
}

} // namespace
