// Building and tearing down the editor's view tree. The views are created and added in drawing
// order: a later view draws over an earlier one where they overlap.
#include "againeditorview.h"

#include "editorlayout.h"
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

namespace Quorvane
{

namespace
{

constexpr int kKnobFrames = 80;
constexpr int kMeterSegments = 26;
const CColor kLabelColor(255, 255, 255, 255);
const CColor kVersionColor(200, 200, 200, 255);

CRect rectOf(const Layout::Rect& r)
{
    return CRect(r.left, r.top, r.right, r.bottom);
}

// Fonts shared by the views of one open editor; each view keeps its own reference.
struct Fonts
{
    Fonts()
        : label(new CFontDesc("Arial", 9, kNormalFace)),
          field(new CFontDesc("Arial", 10, kNormalFace))
    {
    }
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
        : frame(frame), listener(listener), fonts(fonts)
    {
    }

    CTextLabel* label(const Layout::Label& l, const CColor& color = kLabelColor,
                      bool antialias = true)
    {
        auto* view = new CTextLabel(rectOf(l.rect), l.text, nullptr, kNoFrame);
        view->setBackColor(kTransparentCColor);
        view->setFontColor(color);
        view->setAntialias(antialias);
        view->setFont(fonts.label);
        frame->addView(view);
        return view;
    }

    CTextEdit* textField(const Layout::Rect& r, uint32_t id, bool transparent = false)
    {
        auto* view =
            new CTextEdit(rectOf(r), listener, kParameterTags[id].text, "", nullptr, kNoFrame);
        view->setFont(fonts.field);
        view->setFontColor(kLabelColor);
        view->setBackColor(kTransparentCColor);
        view->setAntialias(true);
        view->setTransparency(transparent);
        frame->addView(view);
        return view;
    }

    CAnimKnob* knob(Layout::Point at, uint32_t id, CBitmap* strip)
    {
        const CCoord frameHeight = CCoord(int(strip->getHeight()) / kKnobFrames);
        const CRect r(at.x, at.y, at.x + strip->getWidth(), at.y + frameHeight);
        auto* view = new CAnimKnob(r, listener, kParameterTags[id].control, kKnobFrames,
                                   frameHeight, strip, CPoint(0, 0));
        frame->addView(view);
        return view;
    }

    CMovieButton* button(const Layout::Rect& r, uint32_t id, CBitmap* bitmap)
    {
        auto* view =
            new CMovieButton(rectOf(r), listener, kParameterTags[id].control, bitmap, CPoint(0, 0));
        frame->addView(view);
        return view;
    }

    CVuMeter* meter(const Layout::Rect& r, CBitmap* lit, CBitmap* unlit)
    {
        auto* view = new CVuMeter(rectOf(r), lit, unlit, kMeterSegments, kVertical);
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

CBitmap* load(const char* name)
{
    return new CBitmap(CResourceDescription(name));
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

    make.label(Layout::versionLabel, kVersionColor); // 1

    background = load("background.png");
    frame->setBackground(background);
    CBitmap* knob1 = load("knobImg1.png");
    CBitmap* knob2 = load("knobImg2.png");
    splashBitmap = load("splashImg.png");

    frame->addView(new CSplashScreen(rectOf(Layout::titleStrip), this, kSplashTag, splashBitmap,
                                     CRect(0, 0, kWidth, kHeight), CPoint(0, 0))); // 2
    splashBitmap->forget(); // the splash screen holds its own reference

    // The threshold column: two level meters under the slider.
    CBitmap* handle = load("VVuSliderHandle.png");
    CBitmap* track = load("vVuSliderBackground.png");
    CBitmap* maxOn = load("VVuSlider1On.png");
    CBitmap* maxOff = load("VVuSlider1Off.png");
    CBitmap* minOn = load("VVuSlider2On.png");
    CBitmap* minOff = load("VVuSlider2Off.png");
    meters[0] = make.meter(Layout::maxMeter, maxOn, maxOff); // 3
    meters[1] = make.meter(Layout::minMeter, minOn, minOff); // 4
    make.label(Layout::thresholdLabel);                      // 5
    auto* slider = new CVerticalSlider(
        rectOf(Layout::thresholdSlider), this, kParameterTags[kThresholdId].control, CPoint(0, 0),
        Layout::thresholdSlider.height(), handle, track, CPoint(0, 0), kBottom); // 6
    frame->addView(slider);
    valueControls[kThresholdId - kOutputLevelId] = slider;
    for (CBitmap* b : {handle, track, maxOn, maxOff, minOn, minOff})
        b->forget();

    auto control = [this](uint32_t id) -> CControl*& { return valueControls[id - kOutputLevelId]; };
    auto field = [this](uint32_t id) -> CTextEdit*& { return textFields[id - kOutputLevelId]; };

    using Layout::knobFields;
    using Layout::lowerKnobs;
    using Layout::upperKnobs;
    field(kThresholdId) = make.textField(Layout::thresholdField, kThresholdId);      // 7
    make.label(Layout::attackLabel);                                                 // 8
    control(kAttackGradualId) = make.knob(upperKnobs[0], kAttackGradualId, knob1);   // 9
    field(kAttackGradualId) = make.textField(knobFields[0], kAttackGradualId, true); // 10
    control(kAttackSynthId) = make.knob(upperKnobs[0], kAttackSynthId, knob1);       // 11
    field(kAttackSynthId) = make.textField(knobFields[0], kAttackSynthId, true);     // 12
    make.label(Layout::holdLabel);                                                   // 13
    control(kHoldId) = make.knob(upperKnobs[1], kHoldId, knob1);                     // 14
    field(kHoldId) = make.textField(knobFields[1], kHoldId);                         // 15
    make.label(Layout::releaseLabel);                                                // 16
    control(kReleaseId) = make.knob(upperKnobs[2], kReleaseId, knob1);               // 17
    field(kReleaseId) = make.textField(knobFields[2], kReleaseId);                   // 18
    make.label(Layout::outGainLabel);                                                // 19
    control(kOutputLevelId) = make.knob(upperKnobs[3], kOutputLevelId, knob1);       // 20
    field(kOutputLevelId) = make.textField(knobFields[3], kOutputLevelId);           // 21

    CBitmap* onOff = load("OnOff.png");
    CBitmap* onOffFlipped = load("OnOffFlipped.png");
    make.label(Layout::envelopeLabel[0]); // 22
    make.label(Layout::envelopeLabel[1]); // 23
    switches[kGradualAttEnvelopeId] =
        make.button(Layout::switches[0], kGradualAttEnvelopeId, onOffFlipped); // 24
    onOffFlipped->forget();
    make.label(Layout::linkingLabel[0]);                                                      // 25
    make.label(Layout::linkingLabel[1]);                                                      // 26
    switches[kChannelLinkingId] = make.button(Layout::switches[1], kChannelLinkingId, onOff); // 27
    make.label(Layout::duckingLabel);                                                         // 28
    switches[kDuckingId] = make.button(Layout::switches[2], kDuckingId, onOff);               // 29
    onOff->forget();

    make.label(Layout::sideChainLabel); // 30
    CBitmap* vuOn = load("VuOn.png");
    CBitmap* vuOff = load("VuOff.png");
    meters[4] = make.meter(Layout::sideChainLamp, vuOn, vuOff); // 31
    vuOn->forget();
    vuOff->forget();

    make.label(Layout::hysteresisLabel);                                     // 32
    control(kHysteresisId) = make.knob(upperKnobs[4], kHysteresisId, knob1); // 33
    field(kHysteresisId) = make.textField(knobFields[4], kHysteresisId);     // 34
    make.label(Layout::rangeLabel);                                          // 35
    control(kRangeId) = make.knob(upperKnobs[5], kRangeId, knob1);           // 36
    field(kRangeId) = make.textField(knobFields[5], kRangeId);               // 37
    CBitmap* lampOpen = load("VuGateLevOpen.png");
    CBitmap* lampClosed = load("VuGateLevClosed.png");
    make.label(Layout::maxGateLabel, kLabelColor, false);               // 38
    meters[2] = make.meter(Layout::gateLamps[0], lampOpen, lampClosed); // 39
    make.label(Layout::minGateLabel, kLabelColor, false);               // 40
    meters[3] = make.meter(Layout::gateLamps[1], lampOpen, lampClosed); // 41
    lampOpen->forget();
    lampClosed->forget();

    make.label(Layout::attackDelayLabel[0]);                                         // 42
    make.label(Layout::attackDelayLabel[1]);                                         // 43
    control(kAttackDelayId) = make.knob(lowerKnobs[0], kAttackDelayId, knob2);       // 44
    field(kAttackDelayId) = make.textField(knobFields[6], kAttackDelayId);           // 45
    make.label(Layout::noteTruncationLabel[0]);                                      // 46
    make.label(Layout::noteTruncationLabel[1]);                                      // 47
    control(kNoteTruncationId) = make.knob(lowerKnobs[1], kNoteTruncationId, knob2); // 48
    field(kNoteTruncationId) = make.textField(knobFields[7], kNoteTruncationId);     // 49
    make.label(Layout::holdClosedLabel[0]);                                          // 50
    make.label(Layout::holdClosedLabel[1]);                                          // 51
    control(kHoldClosedId) = make.knob(lowerKnobs[2], kHoldClosedId, knob2);         // 52
    field(kHoldClosedId) = make.textField(knobFields[8], kHoldClosedId);             // 53
    make.label(Layout::beatSkipLabel[0]);                                            // 54
    make.label(Layout::beatSkipLabel[1]);                                            // 55
    control(kBeatSkipId) = make.knob(lowerKnobs[3], kBeatSkipId, knob2);             // 56
    field(kBeatSkipId) = make.textField(knobFields[9], kBeatSkipId);                 // 57

    CBitmap* bypass = load("ButtonSingleBypass.png");
    switches[kBypassId] = make.button(Layout::bypassButton, kBypassId, bypass); // 58
    bypass->forget();
    CBitmap* listen = load("ButtonSingleCtrl.png");
    switches[kListenId] = make.button(Layout::listenButton, kListenId, listen); // 59
    listen->forget();

    knob1->forget(); // each knob holds its own reference
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
    for (auto& p : switches)
        p = nullptr;
    for (auto& p : valueControls)
        p = nullptr;
    for (auto& p : textFields)
        p = nullptr;
    for (auto& p : meters)
        p = nullptr;
}

} // namespace Quorvane
