// The plug-in's editor: a fixed 320 × 390 window of bitmap-drawn views over a background.
#pragma once

#include "editorlayout.h"
#include "paramids.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivstplugview.h"
#include "public.sdk/source/vst/vstguieditor.h"
#include "vstgui/ccontrollistener.h"

namespace VSTGUI
{
class CBitmap;
class CControl;
class CMovieButton;
class CTextEdit;
class CVuMeter;
} // namespace VSTGUI

namespace Quorvane
{

class againEditorView : public Steinberg::Vst::VSTGUIEditor,
                        public VSTGUI::CControlListener,
                        public Steinberg::Vst::IParameterFinder,
                        public Steinberg::Vst::IContextMenuTarget
{
public:
    static constexpr int kWidth = Layout::editorWidth;
    static constexpr int kHeight = Layout::editorHeight;
    static constexpr int kNumMeters = 5;

    explicit againEditorView(Steinberg::Vst::EditController* controller);
    ~againEditorView() override;

    // What the controller's createView("editor") returns.
    static Steinberg::IPlugView* create(Steinberg::Vst::EditController* controller);

    // VSTGUIEditor
    bool open(void* parent) override;
    void close() override;
    VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender, const char* message) override;

    // IPlugView
    Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) override;

    // CControlListener
    void valueChanged(VSTGUI::CControl* control) override;
    void controlBeginEdit(VSTGUI::CControl* control) override;
    void controlEndEdit(VSTGUI::CControl* control) override;

    // IParameterFinder / IContextMenuTarget
    Steinberg::tresult PLUGIN_API findParameter(Steinberg::int32 xPos, Steinberg::int32 yPos,
                                                Steinberg::Vst::ParamID& resultTag) override;
    Steinberg::tresult PLUGIN_API executeMenuItem(Steinberg::int32 tag) override;

    // Called by the controller for every parameter value it is given, and by open.
    void updateParameter(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue value);

    // The last reading received for meter 0..4 (Max Vu, Min Vu, Max Gate, Min Gate, Side Chain).
    float pendingMeterValue(int meter) const { return meterPending[meter]; }

    // The views of an open editor (null while closed), for the host's and the tests' inspection.
    VSTGUI::CControl* valueControl(uint32_t id) const;
    VSTGUI::CTextEdit* textField(uint32_t id) const;
    VSTGUI::CMovieButton* switchControl(uint32_t id) const;
    VSTGUI::CVuMeter* meter(int index) const { return meters[index]; }

    OBJ_METHODS(againEditorView, VSTGUIEditor)
    // IParameterFinder, IContextMenuTarget and the view's interfaces; a null iid or obj gives
    // kInvalidArgument.
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    REFCOUNT_METHODS(VSTGUIEditor)

private:
    void buildViews();
    void clearViewReferences();
    void editParameter(uint32_t id, VSTGUI::CControl* control);
    void enterText(uint32_t id, VSTGUI::CTextEdit* field);

    VSTGUI::CBitmap* background = nullptr;
    VSTGUI::CBitmap* splashBitmap = nullptr;
    VSTGUI::CMovieButton* switches[kNumSwitchParams] = {};
    VSTGUI::CControl* valueControls[kNumContinuousParams] = {}; // by ID − 5
    VSTGUI::CTextEdit* textFields[kNumContinuousParams] = {};   // by ID − 5
    VSTGUI::CVuMeter* meters[kNumMeters] = {};
    float meterPending[kNumMeters] = {};
};

} // namespace Quorvane
