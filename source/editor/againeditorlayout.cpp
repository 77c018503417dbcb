// Building and tearing down the editor's view tree. The views are created and added in drawing
// order: a later view draws over an earlier one where they overlap.
#include "againeditorview.h"

#include "editortags.h"
#include "paramconverter.h"

#include "vstgui/canimknob.h"
#include "vstgui/cbitmap.h"
#include "vstgui/cfontdesc.h"
#include "vstgui/cframe.h"
#include "vstgui/cmoviebutton.h"
#include "vstgui/cslider.h"
#include "vstgui/csplashscreen.h"
#include "vstgui/ctextedit.h"
#include "vstgui/ctextlabel.h"
#include "vstgui/cvumeter.h"

using namespace VSTGUI;

namespace Quorvane {

namespace {

constexpr int kKnobFrames = 80;
constexpr int kMeterSegments = 26;
constexpr const char* kVersionText = "v1.3 Dec 15 2014 21:14:31";
const CColor kLabelColor(255, 255, 255, 255);
const CColor kVersionColor(200, 200, 200, 255);

// Fonts shared by the views of one open editor; each view keeps its own reference.
struct Fonts
{
    Fonts() : label(new CFontDesc("Arial", 9, kNormalFace)), field(new CFontDesc("Arial", 10, kNormalFace)) {}
    ~Fonts()
    {
        label->forget();
        field->forget();
    }
    CFontDesc* label;
    CFontDesc* field;
};

class Builder
{
public:
    Builder(CFrame* frame, CControlListener* listener, const Fonts& fonts)
        : frame(frame), listener(listener), fonts(fonts) {}

    CTextLabel* label(const CRect& r, const char* text, const CColor& color = kLabelColor, bool antialias = true)
    {
        auto* view = new CTextLabel(r, text, nullptr, kNoFrame);
        view->setBackColor(kTransparentCColor);
        view->setFontColor(color);
        view->setAntialias(antialias);
        view->setFont(fonts.label);
        frame->addView(view);
        return view;
    }

    CTextEdit* textField(const CRect& r, uint32_t id, bool transparent = false)
    {
        auto* view = new CTextEdit(r, listener, kParameterTags[id].text, "", nullptr, kNoFrame);
        view->setFont(fonts.field);
        view->setFontColor(kLabelColor);
        view->setBackColor(kTransparentCColor);
        view->setAntialias(true);
        view->setTransparency(transparent);
        frame->addView(view);
        return view;
    }

    CAnimKnob* knob(CCoord x, CCoord y, uint32_t id, CBitmap* strip)
    {
        const CCoord frameHeight = CCoord(int(strip->getHeight()) / kKnobFrames);
        const CRect r(x, y, x + strip->getWidth(), y + frameHeight);
        auto* view = new CAnimKnob(r, listener, kParameterTags[id].control, kKnobFrames, frameHeight, strip,
                                   CPoint(0, 0));
        frame->addView(view);
        return view;
    }

    CMovieButton* button(const CRect& r, uint32_t id, CBitmap* bitmap)
    {
        auto* view = new CMovieButton(r, listener, kParameterTags[id].control, bitmap, CPoint(0, 0));
        frame->addView(view);
        return view;
    }

    CVuMeter* meter(const CRect& r, CBitmap* lit, CBitmap* unlit)
    {
        auto* view = new CVuMeter(r, lit, unlit, kMeterSegments, kVertical);
        view->setMax(1.f);
        view->setMin(0.f);
        frame->addView(view);
        return view;
    }

private:
    CFrame* frame;
    CControlListener* listener;
    const Fonts& fonts;
};

CBitmap* load(const char* name) { return new CBitmap(CResourceDescription(name)); }

CRect sizedAt(CCoord x, CCoord y, const CBitmap* bitmap)
{
    return CRect(x, y, x + bitmap->getWidth(), y + bitmap->getHeight());
}

} // namespace

bool againEditorView::open(void* parent)
{
    if (frame)
        return false;

    frame = new CFrame(CRect(0, 0, kWidth, kHeight), parent, this);
    buildViews();

    // Show the controller's current values (meters follow on the next timer tick).
    if (auto* ctrl = getController())
        for (uint32_t id = 0; id < kNumInputParams; ++id)
            updateParameter(id, ctrl->getParamNormalized(id));
    return true;
}

void againEditorView::buildViews()
{
    const Fonts fonts;
    Builder make(frame, this, fonts);

    make.label(CRect(200, 371, 320, 389), kVersionText, kVersionColor);   // 1

    background = load("background.png");
    frame->setBackground(background);
    CBitmap* knob1 = load("knobImg1.png");
    CBitmap* knob2 = load("knobImg2.png");
    splashBitmap = load("splashImg.png");

    frame->addView(new CSplashScreen(CRect(11, 0, 189, 20), this, kSplashTag, splashBitmap,
                                     CRect(0, 0, kWidth, kHeight), CPoint(0, 0)));   // 2
    splashBitmap->forget();   // the splash screen holds its own reference

    // The threshold column: two level meters under the slider.
    CBitmap* handle = load("VVuSliderHandle.png");
    CBitmap* track = load("vVuSliderBackground.png");
    CBitmap* maxOn = load("VVuSlider1On.png");
    CBitmap* maxOff = load("VVuSlider1Off.png");
    CBitmap* minOn = load("VVuSlider2On.png");
    CBitmap* minOff = load("VVuSlider2Off.png");
    meters[0] = make.meter(CRect(32, 63, 48, 328), maxOn, maxOff);   // 3
    meters[1] = make.meter(CRect(32, 65, 48, 330), minOn, minOff);   // 4
    // Wider than the slider, centred over it, inside the panel: the text does not fit 40 pixels.
    make.label(CRect(14, 35, 66, 53), "Threshold");                  // 5
    auto* slider = new CVerticalSlider(CRect(20, 53, 60, 337), this, kParameterTags[kThresholdId].control,
                                       CPoint(0, 0), 284, handle, track, CPoint(0, 0), kBottom);   // 6
    frame->addView(slider);
    valueControls[kThresholdId - kOutputLevelId] = slider;
    for (CBitmap* b : {handle, track, maxOn, maxOff, minOn, minOff})
        b->forget();

    auto control = [this](uint32_t id) -> CControl*& { return valueControls[id - kOutputLevelId]; };
    auto field = [this](uint32_t id) -> CTextEdit*& { return textFields[id - kOutputLevelId]; };

    field(kThresholdId) = make.textField(CRect(20, 342, 60, 354), kThresholdId);           // 7
    make.label(CRect(78, 35, 118, 53), "Attack");                                          // 8
    control(kAttackGradualId) = make.knob(80, 50, kAttackGradualId, knob1);                // 9
    field(kAttackGradualId) = make.textField(CRect(75, 90, 125, 102), kAttackGradualId, true);   // 10
    control(kAttackSynthId) = make.knob(80, 50, kAttackSynthId, knob1);                    // 11
    field(kAttackSynthId) = make.textField(CRect(75, 90, 125, 102), kAttackSynthId, true);       // 12
    make.label(CRect(138, 35, 178, 53), "Hold");                                           // 13
    control(kHoldId) = make.knob(140, 50, kHoldId, knob1);                                 // 14
    field(kHoldId) = make.textField(CRect(140, 90, 180, 102), kHoldId);                    // 15
    make.label(CRect(200, 35, 240, 53), "Release");                                        // 16
    control(kReleaseId) = make.knob(200, 50, kReleaseId, knob1);                           // 17
    field(kReleaseId) = make.textField(CRect(195, 90, 245, 102), kReleaseId);              // 18
    make.label(CRect(260, 35, 300, 53), "Out Gain");                                       // 19
    control(kOutputLevelId) = make.knob(260, 50, kOutputLevelId, knob1);                   // 20
    field(kOutputLevelId) = make.textField(CRect(260, 90, 300, 102), kOutputLevelId);      // 21

    CBitmap* onOff = load("OnOff.png");
    CBitmap* onOffFlipped = load("OnOffFlipped.png");
    make.label(CRect(75, 123, 125, 141), "Synthesizer");                                   // 22
    make.label(CRect(80, 135, 120, 153), "Envelope");                                      // 23
    switches[kGradualAttEnvelopeId] = make.button(CRect(80, 155, 120, 170), kGradualAttEnvelopeId, onOffFlipped);   // 24
    onOffFlipped->forget();
    make.label(CRect(140, 123, 180, 141), "Channel");                                      // 25
    make.label(CRect(136, 135, 183, 153), "Linking");                                      // 26
    switches[kChannelLinkingId] = make.button(CRect(140, 155, 180, 170), kChannelLinkingId, onOff);   // 27
    make.label(CRect(198, 135, 238, 153), "Ducking");                                      // 28
    switches[kDuckingId] = make.button(CRect(200, 155, 240, 170), kDuckingId, onOff);      // 29
    onOff->forget();

    make.label(CRect(256, 135, 303, 153), "Side Chain");                                   // 30
    CBitmap* vuOn = load("VuOn.png");
    CBitmap* vuOff = load("VuOff.png");
    meters[4] = make.meter(sizedAt(260, 154, vuOn), vuOn, vuOff);                          // 31
    vuOn->forget();
    vuOff->forget();

    make.label(CRect(77, 191, 121, 209), "Hysteresis");                                    // 32
    control(kHysteresisId) = make.knob(80, 206, kHysteresisId, knob1);                     // 33
    field(kHysteresisId) = make.textField(CRect(79, 246, 119, 258), kHysteresisId);        // 34
    make.label(CRect(140, 191, 180, 209), "Range");                                        // 35
    control(kRangeId) = make.knob(140, 206, kRangeId, knob1);                              // 36
    field(kRangeId) = make.textField(CRect(134, 246, 184, 258), kRangeId);                 // 37
    CBitmap* lampOpen = load("VuGateLevOpen.png");
    CBitmap* lampClosed = load("VuGateLevClosed.png");
    make.label(CRect(200, 191, 242, 209), "Max Gate", kLabelColor, false);                 // 38
    meters[2] = make.meter(sizedAt(210, 214, lampClosed), lampOpen, lampClosed);           // 39
    make.label(CRect(260, 191, 300, 209), "Min Gate", kLabelColor, false);                 // 40
    meters[3] = make.meter(sizedAt(270, 214, lampClosed), lampOpen, lampClosed);           // 41
    lampOpen->forget();
    lampClosed->forget();

    make.label(CRect(78, 275, 118, 293), "Attack");                                        // 42
    make.label(CRect(78, 287, 118, 305), "Delay");                                         // 43
    control(kAttackDelayId) = make.knob(80, 302, kAttackDelayId, knob2);                   // 44
    field(kAttackDelayId) = make.textField(CRect(75, 342, 125, 354), kAttackDelayId);      // 45
    make.label(CRect(138, 275, 178, 293), "Early");                                        // 46
    make.label(CRect(139, 287, 179, 305), "Release");                                      // 47
    control(kNoteTruncationId) = make.knob(140, 302, kNoteTruncationId, knob2);            // 48
    field(kNoteTruncationId) = make.textField(CRect(135, 342, 185, 354), kNoteTruncationId);   // 49
    make.label(CRect(194, 275, 244, 293), "Hold");                                         // 50
    make.label(CRect(194, 287, 244, 305), "Closed");                                       // 51
    control(kHoldClosedId) = make.knob(200, 302, kHoldClosedId, knob2);                    // 52
    field(kHoldClosedId) = make.textField(CRect(195, 342, 245, 354), kHoldClosedId);       // 53
    make.label(CRect(254, 275, 304, 293), "Beat");                                         // 54
    make.label(CRect(254, 287, 304, 305), "Skip");                                         // 55
    control(kBeatSkipId) = make.knob(260, 302, kBeatSkipId, knob2);                        // 56
    field(kBeatSkipId) = make.textField(CRect(255, 342, 305, 354), kBeatSkipId);          // 57

    CBitmap* bypass = load("ButtonSingleBypass.png");
    switches[kBypassId] = make.button(CRect(250, 0, 310, 20), kBypassId, bypass);          // 58
    bypass->forget();
    CBitmap* listen = load("ButtonSingleCtrl.png");
    switches[kListenId] = make.button(CRect(190, 0, 250, 20), kListenId, listen);          // 59
    listen->forget();

    knob1->forget();   // each knob holds its own reference
    knob2->forget();

    // Ctrl+click returns a knob or the slider to the parameter's initial value, the same
    // default the controller reports to the host.
    const ParamConverter converter;
    for (uint32_t id = kOutputLevelId; id <= kNoteTruncationId; ++id)
        if (CControl* c = control(id))
            c->setDefaultValue(converter.defaultNormalized(id));
}

void againEditorView::close()
{
    if (frame)
    {
        CFrame* old = frame;
        frame = nullptr;
        old->forget();
    }
    if (background)
    {
        background->forget();
        background = nullptr;
    }
    clearViewReferences();
}

void againEditorView::clearViewReferences()
{
    splashBitmap = nullptr;
    for (auto& p : switches) p = nullptr;
    for (auto& p : valueControls) p = nullptr;
    for (auto& p : textFields) p = nullptr;
    for (auto& p : meters) p = nullptr;
}

} // namespace Quorvane
