#include "againeditorview.h"

#include "editortags.h"
#include "embeddedresources.h"
#include "pendingeditorvalues.h"

#include "base/source/fstring.h"
#include "pluginterfaces/base/ustring.h"
#include "vstgui/cframe.h"
#include "vstgui/cmoviebutton.h"
#include "vstgui/ctextedit.h"
#include "vstgui/cvstguitimer.h"
#include "vstgui/cvumeter.h"
#include "vstgui/displayscale.h"
#include "vstgui/resourceprovider.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VSTGUI;

namespace Quorvane
{

againEditorView::againEditorView(EditController* controller) : VSTGUIEditor(controller)
{
    // The editor's bitmaps are compiled into the module.
    if (!getResourceProvider())
        setResourceProvider(&findResource);
    setIdleRate(50);
    ViewRect size(0, 0, kWidth, kHeight);
    setRect(size);
}

// removed() is the host's duty before it releases the view; a view released while attached takes
// itself out of its window and out of its controller's list here, while it is still whole.
againEditorView::~againEditorView()
{
    removed();
}

IPlugView* againEditorView::create(EditController* controller)
{
    return static_cast<IPlugView*>(new againEditorView(controller));
}

tresult PLUGIN_API againEditorView::checkSizeConstraint(ViewRect* rect)
{
    if (!rect)
        return kInvalidArgument;
    // The bounds are the layout's, in the physical pixels hosts size views in.
    const double scale = getContentScaleFactor();
    const auto pixels = [scale](int units) { return VSTGUI::scaledLength(units, scale); };
    const int32 width = rect->right - rect->left;
    if (width < pixels(kWidth))
        rect->right = rect->left + pixels(kWidth);
    else if (width > pixels(kWidth + 50))
        rect->right = rect->left + pixels(kWidth + 50);
    const int32 height = rect->bottom - rect->top;
    if (height < pixels(kHeight))
        rect->bottom = rect->top + pixels(kHeight);
    else if (height > pixels(kHeight + 50))
        rect->bottom = rect->top + pixels(kHeight + 50);
    return kResultOk;
}

tresult PLUGIN_API againEditorView::queryInterface(const TUID iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    if (!iid)
    {
        *obj = nullptr;
        return kInvalidArgument;
    }
    QUERY_INTERFACE(iid, obj, IParameterFinder::iid, IParameterFinder)
    QUERY_INTERFACE(iid, obj, IContextMenuTarget::iid, IContextMenuTarget)
    return VSTGUIEditor::queryInterface(iid, obj);
}

tresult PLUGIN_API againEditorView::findParameter(int32, int32, ParamID&)
{
    return kResultFalse;
}

tresult PLUGIN_API againEditorView::executeMenuItem(int32)
{
    return kResultFalse;
}

CControl* againEditorView::valueControl(uint32_t id) const
{
    return id >= kOutputLevelId && id <= kNoteTruncationId ? valueControls[id - kOutputLevelId]
                                                           : nullptr;
}

CTextEdit* againEditorView::textField(uint32_t id) const
{
    return id >= kOutputLevelId && id <= kNoteTruncationId ? textFields[id - kOutputLevelId]
                                                           : nullptr;
}

CMovieButton* againEditorView::switchControl(uint32_t id) const
{
    return id < kNumSwitchParams ? switches[id] : nullptr;
}

void againEditorView::valueChanged(CControl* control)
{
    if (!control)
        return;
    uint32_t id = 0;
    if (parameterOfControlTag(control->getTag(), id))
        editParameter(id, control);
    else if (parameterOfTextTag(control->getTag(), id))
        enterText(id, static_cast<CTextEdit*>(control));
}

// The parameter takes the control's value: stored (and shown by every editor) and passed on
// to the host.
void againEditorView::editParameter(uint32_t id, CControl* control)
{
    EditController* ctrl = getController();
    if (!ctrl)
        return;
    const ParamValue value = control->getValue();
    ctrl->setParamNormalized(id, value);
    ctrl->performEdit(id, value);
}

// A typed value moves the parameter's knob or slider and edits the parameter with the
// control's value; a text that does not convert changes nothing.
void againEditorView::enterText(uint32_t id, CTextEdit* field)
{
    EditController* ctrl = getController();
    CControl* control = valueControl(id);
    if (!ctrl || !control)
        return;
    String128 text;
    UString(text, 128).fromAscii(field->getText());
    ParamValue value = 0;
    if (ctrl->getParamValueByString(id, text, value) != kResultOk)
        return;
    control->setValue(float(value));
    editParameter(id, control);
    control->invalid();
}

void againEditorView::controlBeginEdit(CControl* control)
{
    uint32_t id = 0;
    if (control && getController() && parameterOfControlTag(control->getTag(), id))
        getController()->beginEdit(id);
}

void againEditorView::controlEndEdit(CControl* control)
{
    uint32_t id = 0;
    if (control && getController() && parameterOfControlTag(control->getTag(), id))
        getController()->endEdit(id);
}

void againEditorView::updateParameter(ParamID tag, ParamValue value)
{
    const float v = float(value);
    if (tag < kGradualAttEnvelopeId)
    {
        if (switches[tag])
            switches[tag]->setValue(v);
        return;
    }
    if (tag == kGradualAttEnvelopeId)
    {
        if (switches[tag])
            switches[tag]->setValue(v);
        // Only the attack knob and text field of the attack shape in force are visible.
        const bool gradual = v > 0.5f;
        CView* views[4] = {valueControl(kAttackSynthId), textField(kAttackSynthId),
                           valueControl(kAttackGradualId), textField(kAttackGradualId)};
        const bool visible[4] = {!gradual, !gradual, gradual, gradual};
        for (int i = 0; i < 4; ++i)
            if (views[i])
                views[i]->setVisible(visible[i]);
        return;
    }
    if (tag <= kNoteTruncationId)
    {
        CControl* control = valueControl(tag);
        if (!control)
            return;
        control->setValue(v);
        if (CTextEdit* field = textField(tag))
        {
            String128 text{};
            if (getController() &&
                getController()->getParamStringByValue(tag, value, text) == kResultOk)
            {
                char ascii[128];
                UString(text, 128).toAscii(ascii, 128);
                field->setText(ascii);
            }
        }
        return;
    }
    if (tag <= kSideChainMonitorId)
        meterPending[tag - kMaxVuId] = v; // drawn on the next timer tick
}

CMessageResult againEditorView::notify(CBaseObject* sender, const char* message)
{
    if (message == CVSTGUITimer::kMsgTimer ||
        (message && std::strcmp(message, CVSTGUITimer::kMsgTimer) == 0))
    {
        if (auto* pending = dynamic_cast<PendingEditorValues*>(getController()))
            pending->showPendingValues();
        for (int i = 0; i < kNumMeters; ++i)
            if (meters[i])
                meters[i]->setValue(meterPending[i]);
    }
    return VSTGUIEditor::notify(sender, message);
}

} // namespace Quorvane
