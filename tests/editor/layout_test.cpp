#include "editorfixture.h"
#include "editorstate.h"

#include "editortags.h"
#include "embeddedresources.h"
#include "labelextent.h"
#include "paramconverter.h"

#include "vstgui/canimknob.h"
#include "vstgui/cbitmap.h"
#include "vstgui/cfontdesc.h"
#include "vstgui/cmoviebutton.h"
#include "vstgui/cslider.h"
#include "vstgui/csplashscreen.h"
#include "vstgui/ctextedit.h"
#include "vstgui/ctextlabel.h"
#include "vstgui/cvumeter.h"
#include "vstgui/displayscale.h"
#include "vstgui/resourceprovider.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdlib>

using namespace Steinberg;
using namespace VSTGUI;
using namespace QuorvaneTest;
using Quorvane::makeTag;

namespace
{

enum Kind
{
    Label,
    Edit,
    Knob,
    Slider,
    Meter,
    Button,
    Splash
};

struct Row
{
    Kind kind;
    CRect rect;
    int32_t tag;
    const char* bitmap; // the control's bitmap (knob strip, switch film, lit meter image)
    const char* text;   // labels only
};

const Row kRows[59] = {
    {Label, CRect(200, 371, 320, 389), 0, nullptr, "v1.3 Dec 15 2014 21:14:31"},
    {Splash, CRect(11, 0, 189, 20), makeTag("xxxx"), "splashImg.png", nullptr},
    {Meter, CRect(32, 63, 48, 328), 0, "VVuSlider1On.png", nullptr},
    {Meter, CRect(32, 65, 48, 330), 0, "VVuSlider2On.png", nullptr},
    {Label, CRect(14, 35, 66, 53), 0, nullptr, "Threshold"},
    {Slider, CRect(20, 53, 60, 337), makeTag("ThrS"), "vVuSliderBackground.png", nullptr},
    {Edit, CRect(20, 342, 60, 354), makeTag("ThrT"), nullptr, nullptr},
    {Label, CRect(78, 35, 118, 53), 0, nullptr, "Attack"},
    {Knob, CRect(80, 50, 120, 90), makeTag("At1K"), "knobImg1.png", nullptr},
    {Edit, CRect(75, 90, 125, 102), makeTag("At1T"), nullptr, nullptr},
    {Knob, CRect(80, 50, 120, 90), makeTag("At2K"), "knobImg1.png", nullptr},
    {Edit, CRect(75, 90, 125, 102), makeTag("At2T"), nullptr, nullptr},
    {Label, CRect(138, 35, 178, 53), 0, nullptr, "Hold"},
    {Knob, CRect(140, 50, 180, 90), makeTag("HOTK"), "knobImg1.png", nullptr},
    {Edit, CRect(140, 90, 180, 102), makeTag("HOTT"), nullptr, nullptr},
    {Label, CRect(200, 35, 240, 53), 0, nullptr, "Release"},
    {Knob, CRect(200, 50, 240, 90), makeTag("RelK"), "knobImg1.png", nullptr},
    {Edit, CRect(195, 90, 245, 102), makeTag("RelT"), nullptr, nullptr},
    {Label, CRect(260, 35, 300, 53), 0, nullptr, "Out Gain"},
    {Knob, CRect(260, 50, 300, 90), makeTag("OGK "), "knobImg1.png", nullptr},
    {Edit, CRect(260, 90, 300, 102), makeTag("OGT "), nullptr, nullptr},
    {Label, CRect(75, 123, 125, 141), 0, nullptr, "Synthesizer"},
    {Label, CRect(80, 135, 120, 153), 0, nullptr, "Envelope"},
    {Button, CRect(80, 155, 120, 170), makeTag("EnvB"), "OnOffFlipped.png", nullptr},
    {Label, CRect(140, 123, 180, 141), 0, nullptr, "Channel"},
    {Label, CRect(136, 135, 183, 153), 0, nullptr, "Linking"},
    {Button, CRect(140, 155, 180, 170), makeTag("ChLB"), "OnOff.png", nullptr},
    {Label, CRect(198, 135, 238, 153), 0, nullptr, "Ducking"},
    {Button, CRect(200, 155, 240, 170), makeTag("DkB "), "OnOff.png", nullptr},
    {Label, CRect(256, 135, 303, 153), 0, nullptr, "Side Chain"},
    {Meter, CRect(260, 154, 300, 169), 0, "VuOn.png", nullptr},
    {Label, CRect(77, 191, 121, 209), 0, nullptr, "Hysteresis"},
    {Knob, CRect(80, 206, 120, 246), makeTag("HstK"), "knobImg1.png", nullptr},
    {Edit, CRect(79, 246, 119, 258), makeTag("HstT"), nullptr, nullptr},
    {Label, CRect(140, 191, 180, 209), 0, nullptr, "Range"},
    {Knob, CRect(140, 206, 180, 246), makeTag("RngK"), "knobImg1.png", nullptr},
    {Edit, CRect(134, 246, 184, 258), makeTag("RngT"), nullptr, nullptr},
    {Label, CRect(200, 191, 242, 209), 0, nullptr, "Max Gate"},
    {Meter, CRect(210, 214, 230, 234), 0, "VuGateLevOpen.png", nullptr},
    {Label, CRect(260, 191, 300, 209), 0, nullptr, "Min Gate"},
    {Meter, CRect(270, 214, 290, 234), 0, "VuGateLevOpen.png", nullptr},
    {Label, CRect(78, 275, 118, 293), 0, nullptr, "Attack"},
    {Label, CRect(78, 287, 118, 305), 0, nullptr, "Delay"},
    {Knob, CRect(80, 302, 120, 342), makeTag("ADTK"), "knobImg2.png", nullptr},
    {Edit, CRect(75, 342, 125, 354), makeTag("ADTT"), nullptr, nullptr},
    {Label, CRect(138, 275, 178, 293), 0, nullptr, "Early"},
    {Label, CRect(139, 287, 179, 305), 0, nullptr, "Release"},
    {Knob, CRect(140, 302, 180, 342), makeTag("AITK"), "knobImg2.png", nullptr},
    {Edit, CRect(135, 342, 185, 354), makeTag("AITT"), nullptr, nullptr},
    {Label, CRect(194, 275, 244, 293), 0, nullptr, "Hold"},
    {Label, CRect(194, 287, 244, 305), 0, nullptr, "Closed"},
    {Knob, CRect(200, 302, 240, 342), makeTag("HCTK"), "knobImg2.png", nullptr},
    {Edit, CRect(195, 342, 245, 354), makeTag("HCTT"), nullptr, nullptr},
    {Label, CRect(254, 275, 304, 293), 0, nullptr, "Beat"},
    {Label, CRect(254, 287, 304, 305), 0, nullptr, "Skip"},
    {Knob, CRect(260, 302, 300, 342), makeTag("HCPK"), "knobImg2.png", nullptr},
    {Edit, CRect(255, 342, 305, 354), makeTag("HCPT"), nullptr, nullptr},
    {Button, CRect(250, 0, 310, 20), makeTag("ByPB"), "ButtonSingleBypass.png", nullptr},
    {Button, CRect(190, 0, 250, 20), makeTag("CPB "), "ButtonSingleCtrl.png", nullptr},
};

std::string bitmapName(CBitmap* b)
{
    return b ? b->getResourceDescription().getName() : "<none>";
}

// Ctrl+click returns a control to its parameter's initial value.
void expectInitialValueAsDefault(CControl* control)
{
    uint32_t id = 0;
    ASSERT_TRUE(Quorvane::parameterOfControlTag(control->getTag(), id));
    EXPECT_EQ(control->getDefaultValue(), Quorvane::ParamConverter().defaultNormalized(id))
        << "parameter " << id;
}

void expectRow(CView* view, const Row& row, int index)
{
    SCOPED_TRACE("row " + std::to_string(index + 1));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->getViewSize(), row.rect);
    auto* control = dynamic_cast<CControl*>(view);
    switch (row.kind)
    {
    case Label:
    {
        auto* label = dynamic_cast<CTextLabel*>(view);
        ASSERT_TRUE(label && !dynamic_cast<CTextEdit*>(view));
        EXPECT_STREQ(label->getText(), row.text);
        EXPECT_EQ(label->getStyle(), 0x4000);
        EXPECT_EQ(label->getFont()->getSize(), 9);
        EXPECT_EQ(label->getFont()->getName(), "Arial");
        EXPECT_EQ(label->getBackColor(), kTransparentCColor);
        EXPECT_EQ(label->getAntialias(), index + 1 != 38 && index + 1 != 40);
        EXPECT_EQ(label->getFontColor(), index == 0 ? CColor(200, 200, 200, 255) : kWhiteCColor);
        return;
    }
    case Edit:
    {
        auto* edit = dynamic_cast<CTextEdit*>(view);
        ASSERT_TRUE(edit);
        EXPECT_EQ(edit->getFont()->getSize(), 10);
        EXPECT_EQ(edit->getTransparency(), index + 1 == 10 || index + 1 == 12);
        break;
    }
    case Knob:
    {
        auto* knob = dynamic_cast<CAnimKnob*>(view);
        ASSERT_TRUE(knob);
        EXPECT_EQ(knob->getNumSubPixmaps(), 80);
        EXPECT_EQ(knob->getHeightOfOneImage(), 40);
        EXPECT_EQ(bitmapName(knob->getBackground()), row.bitmap);
        expectInitialValueAsDefault(knob);
        break;
    }
    case Slider:
    {
        auto* slider = dynamic_cast<CVerticalSlider*>(view);
        ASSERT_TRUE(slider);
        EXPECT_EQ(bitmapName(slider->getBackground()), row.bitmap);
        EXPECT_EQ(bitmapName(slider->getHandle()), "VVuSliderHandle.png");
        EXPECT_EQ(slider->getRangeHandle(), 284);
        EXPECT_EQ(slider->getStyle() & 0x22, 0x22);
        expectInitialValueAsDefault(slider);
        break;
    }
    case Meter:
    {
        auto* meter = dynamic_cast<CVuMeter*>(view);
        ASSERT_TRUE(meter);
        EXPECT_EQ(meter->getNbLed(), 26);
        EXPECT_EQ(meter->getTag(), 0);
        EXPECT_EQ(meter->getListener(), nullptr);
        return;
    }
    case Button:
        ASSERT_TRUE(dynamic_cast<CMovieButton*>(view));
        EXPECT_EQ(bitmapName(view->getBackground()), row.bitmap);
        break;
    case Splash:
    {
        auto* splash = dynamic_cast<CSplashScreen*>(view);
        ASSERT_TRUE(splash);
        EXPECT_EQ(splash->getDisplayRect(), CRect(0, 0, 320, 390));
        EXPECT_EQ(bitmapName(splash->getBackground()), row.bitmap);
        break;
    }
    }
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->getTag(), row.tag);
}

} // namespace

TEST_F(EditorTest, OpenBuildsAllViewsInOrder)
{
    auto* editor = openEditor();
    CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 320, 390));
    EXPECT_EQ(bitmapName(frame->getBackground()), "background.png");
    ASSERT_EQ(frame->getNbViews(), 59);
    for (int i = 0; i < 59; ++i)
        expectRow(frame->getView(i), kRows[i], i);

    ViewRect rect;
    editor->getSize(&rect);
    EXPECT_EQ(rect.getWidth(), 320);
    EXPECT_EQ(rect.getHeight(), 390);
    EXPECT_EQ(editor->canResize(), kResultFalse);
}

// Every label's text is drawn whole, inside its panel.
TEST_F(EditorTest, EveryLabelIsDrawnWholeInsideItsPanel)
{
    CFrame* frame = openEditor()->getFrame();
    auto picture = [frame]
    {
        cairo_surface_t* image = frame->getBackBuffer(); // 32-bit rows without padding
        cairo_surface_flush(image);
        const auto* argb = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(image));
        return std::vector<uint32_t>(argb, argb + 320 * 390);
    };
    EXPECT_EQ(labelsNotDrawnWhole(frame, picture), std::vector<std::string>{});
}

TEST_F(EditorTest, SecondOpenIsRefusedAndCloseThenOpenRebuilds)
{
    auto* editor = openEditor();
    CView* first = editor->getFrame()->getView(0);
    EXPECT_FALSE(editor->open(nullptr));
    EXPECT_EQ(editor->getFrame()->getView(0), first);

    editor->close();
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->valueControl(Quorvane::kThresholdId), nullptr);
    editor->close(); // closing a closed editor does nothing
    ASSERT_TRUE(editor->open(nullptr));
    ASSERT_EQ(editor->getFrame()->getNbViews(), 59);
    for (int i = 0; i < 59; ++i)
        expectRow(editor->getFrame()->getView(i), kRows[i], i);
}

TEST_F(EditorTest, SizeConstraints)
{
    auto* view = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
    struct
    {
        int32 w, h, ew, eh;
    } cases[] = {{200, 200, 320, 390}, {500, 500, 370, 440}, {350, 400, 350, 400},
                 {700, 800, 700, 800}, {600, 600, 640, 780}, {900, 900, 740, 880}};
    for (auto c : cases)
    {
        // The last three at a display scale of 2: the same bounds in physical pixels.
        if (c.w == 700)
            view->setContentScaleFactor(2.f);
        ViewRect r(10, 20, 10 + c.w, 20 + c.h);
        EXPECT_EQ(view->checkSizeConstraint(&r), kResultOk);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.getWidth(), c.ew);
        EXPECT_EQ(r.getHeight(), c.eh);
    }
    IPlugView* plugView = nullptr;
    Vst::IParameterFinder* finder = nullptr;
    Vst::IContextMenuTarget* menu = nullptr;
    EXPECT_EQ(view->queryInterface(IPlugView::iid, reinterpret_cast<void**>(&plugView)), kResultOk);
    EXPECT_EQ(view->queryInterface(Vst::IParameterFinder::iid, reinterpret_cast<void**>(&finder)),
              kResultOk);
    EXPECT_EQ(view->queryInterface(Vst::IContextMenuTarget::iid, reinterpret_cast<void**>(&menu)),
              kResultOk);
    Vst::ParamID tag = 77;
    EXPECT_EQ(finder->findParameter(100, 100, tag), kResultFalse);
    EXPECT_EQ(menu->executeMenuItem(1), kResultFalse);
    plugView->release();
    finder->release();
    menu->release();
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultTrue);
    view->release();
}

namespace
{

// Serves a 48 × 3840 knob strip in place of the built-in one.
std::vector<unsigned char> bigStrip;
cairo_status_t appendPng(void* closure, const unsigned char* data, unsigned int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}
bool bigKnobProvider(const char* name, const unsigned char** data, size_t* size)
{
    if (std::string(name) == "knobImg1.png")
    {
        *data = bigStrip.data();
        *size = bigStrip.size();
        return true;
    }
    return Quorvane::findResource(name, data, size);
}

} // namespace

TEST_F(EditorTest, KnobRectanglesFollowTheFilmStripSize)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 48, 3840);
    cairo_surface_write_to_png_stream(s, appendPng, &bigStrip);
    cairo_surface_destroy(s);
    const ResourceProvider previous = getResourceProvider();
    setResourceProvider(&bigKnobProvider);
    auto* editor = openEditor();
    setResourceProvider(previous);

    EXPECT_EQ(editor->valueControl(Quorvane::kReleaseId)->getViewSize(), CRect(200, 50, 248, 98));
    EXPECT_EQ(editor->valueControl(Quorvane::kAttackDelayId)->getViewSize(),
              CRect(80, 302, 120, 342));
}

namespace
{

// How far (mean per channel, 0…255) a view's pixels at a display scale, drawn down to 1×, may be
// from its pixels at 1×: a bitmap is the same artwork painted finer; text is set again at the
// larger size, its glyph advances rounded to finer pixels (a view out of place is far beyond both).
constexpr double kBitmapTolerance = 8;
constexpr double kTextTolerance = 40;

double meanDifference(cairo_surface_t* a, cairo_surface_t* b, const CRect& r)
{
    const unsigned char* pa = cairo_image_surface_get_data(a);
    const unsigned char* pb = cairo_image_surface_get_data(b);
    const int stride = cairo_image_surface_get_stride(a);
    double sum = 0;
    int count = 0;
    for (int y = int(r.top); y < int(r.bottom); ++y)
        for (int x = int(r.left) * 4; x < int(r.right) * 4; ++x, ++count)
            sum += std::abs(pa[y * stride + x] - pb[y * stride + x]);
    return count ? sum / count : 0;
}

} // namespace

// The editor at 1.5 and 2 is the editor at 1, finer: the picture has the scaled size and, drawn
// back down, every view shows what it shows at 1 in the same place. At 1 the picture is the one
// in docs/, pixel for pixel.
TEST_F(EditorTest, AtADisplayScaleEveryViewIsDrawnInPlaceFromArtworkForTheScale)
{
    // First, while the controller has its defaults: the picture in docs/.
    auto* view = openEditor();
    applyEditorState(*controller, EditorState::Snapshot);
    view->getIdleTimer()->fire();
    cairo_surface_t* docs = cairo_image_surface_create_from_png(QUORVANE_DOCS_DIR "/editor.png");
    cairo_surface_t* now = view->getFrame()->getBackBuffer();
    ASSERT_EQ(cairo_surface_status(docs), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(meanDifference(docs, now, CRect(0, 0, 320, 390)), 0.0);
    cairo_surface_destroy(docs);

    auto render = [this](double scale)
    {
        auto* view = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
        editors.push_back(view);
        EXPECT_EQ(view->setContentScaleFactor(static_cast<float>(scale)), kResultTrue);
        EXPECT_EQ(view->openOffscreen(), kResultOk);
        applyEditorState(*controller, EditorState::Varied);
        view->getIdleTimer()->fire();
        return view->getFrame()->getBackBuffer();
    };
    cairo_surface_t* one = render(1);
    for (double scale : {1.5, 2.0})
    {
        cairo_surface_t* scaled = render(scale);
        ASSERT_EQ(cairo_image_surface_get_width(scaled), std::lround(320 * scale));
        ASSERT_EQ(cairo_image_surface_get_height(scaled), std::lround(390 * scale));
        cairo_surface_t* down = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 320, 390);
        cairo_t* cr = cairo_create(down);
        cairo_scale(cr, 1 / scale, 1 / scale);
        cairo_set_source_surface(cr, scaled, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(down);
        CFrame* frame = editors.back()->getFrame();
        for (int i = 0; i < frame->getNbViews(); ++i)
            EXPECT_LE(meanDifference(one, down, frame->getView(i)->getViewSize()),
                      kRows[i].kind == Label || kRows[i].kind == Edit ? kTextTolerance
                                                                      : kBitmapTolerance)
                << "view " << i << " at " << scale;
        cairo_surface_destroy(down);

        // Where no view covers it, the picture is the background painted for the scale, pixel
        // for pixel (not the 1× one enlarged).
        cairo_surface_t* background = cairo_image_surface_create_from_png(
            scale == 2 ? QUORVANE_RESOURCE_DIR "/background@2x.png"
                       : QUORVANE_RESOURCE_DIR "/background@1.5x.png");
        int uncovered = 0, differing = 0;
        for (int y = 0; y < cairo_image_surface_get_height(scaled); y += 2)
            for (int x = 0; x < cairo_image_surface_get_width(scaled); x += 2)
            {
                bool covered = false;
                for (int i = 0; i < frame->getNbViews(); ++i)
                    covered |= toPhysical(frame->getView(i)->getViewSize(), scale)
                                   .pointInside(CPoint(x, y));
                uncovered += !covered;
                differing +=
                    !covered && meanDifference(scaled, background, CRect(x, y, x + 1, y + 1)) != 0;
            }
        EXPECT_GT(uncovered, 10000);
        EXPECT_EQ(differing, 0) << scale;
        cairo_surface_destroy(background);
    }
}
