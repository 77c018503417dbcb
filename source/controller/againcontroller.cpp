#include "againcontroller.h"

#include "editorlink.h"
#include "paramids.h"
#include "paramtable.h"
#include "processorstate.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <new>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane
{

namespace
{

// Whether a terminated 16-bit text is valid UTF-16: every surrogate has its partner.
bool isValidUtf16(const TChar* text)
{
    for (; *text; ++text)
    {
        const auto unit = static_cast<char16_t>(*text);
        if (unit >= 0xD800 && unit <= 0xDBFF)
        {
            const auto next = static_cast<char16_t>(text[1]);
            if (next < 0xDC00 || next > 0xDFFF)
                return false;
            ++text;
        }
        else if (unit >= 0xDC00 && unit <= 0xDFFF)
            return false;
    }
    return true;
}

// A value brought into 0..1; NaN, which has no place in it, counts as 0.
ParamValue unitRange(ParamValue value)
{
    return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
}

} // namespace

againController::againController()
{
    std::memset(stateText, 0, sizeof(stateText));
}

// A host may release the controller without terminate (or set a component handler after it):
// everything the host gave is given back all the same.
againController::~againController()
{
    if (initialized)
        terminate();
    setComponentHandler(nullptr);
}

// A second initialize without terminate in between is refused, even with a null context (the
// base class only notices a second context). No exception leaves: out of memory undoes the
// half-built parameter list and reports kOutOfMemory.
tresult PLUGIN_API againController::initialize(FUnknown* context)
{
    if (initialized)
        return kResultFalse;
    tresult result = EditControllerEx1::initialize(context);
    if (result != kResultOk)
        return result;
    try
    {
        editorViews.reserve(4);
        addUnit(new Unit(gateUnitName(), kGateUnitId, kRootUnitId, kNoProgramListId));
        addAllParameters(parameters);
    }
    catch (const std::bad_alloc&)
    {
        EditControllerEx1::terminate();
        return kOutOfMemory;
    }
    initialized = true;
    return kResultOk;
}

tresult PLUGIN_API againController::terminate()
{
    initialized = false;
    editorViews.clear();
    return EditControllerEx1::terminate();
}

// The base classes index their lists with at () and let std::out_of_range through to the host.
tresult PLUGIN_API againController::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
    if (paramIndex < 0 || paramIndex >= getParameterCount())
        return kInvalidArgument;
    return EditControllerEx1::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API againController::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex < 0 || unitIndex >= getUnitCount())
        return kInvalidArgument;
    return EditControllerEx1::getUnitInfo(unitIndex, info);
}

tresult PLUGIN_API againController::notify(IMessage* message)
{
    if (!message)
        return kInvalidArgument;
    // The base class reads a text message's attributes without asking whether there are any.
    if (!message->getAttributes())
        return kResultFalse;
    return EditControllerEx1::notify(message);
}

tresult PLUGIN_API againController::queryInterface(const TUID iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    if (!iid)
    {
        *obj = nullptr;
        return kInvalidArgument;
    }
    QUERY_INTERFACE(iid, obj, IMidiMapping::iid, IMidiMapping)
    return EditControllerEx1::queryInterface(iid, obj);
}

// Brings the parameters in line with a stored processor state, read as the processor reads it:
// the editor and the host show what the audio runs with, whatever the bytes. A value that is not
// a number keeps the one in force, as it does in the processor.
tresult PLUGIN_API againController::setComponentState(IBStream* state)
{
    if (!state)
        return kResultOk;
    ProcessorState stored;
    if (!readProcessorState(state, stored))
        return kResultFalse;
    for (uint32 id = 0; id < kNumSwitchParams; ++id)
        setParamNormalized(id, stored.switches[id] ? 1. : 0.);
    for (uint32 id = kFirstContinuousId; id <= kLastContinuousId; ++id)
        setParamNormalized(id, ParamValue(stored.value(id)));
    return kResultOk;
}

// The controller's own state: a byte-order marker (0 = little-endian) and 128 UTF-16 units.
// The text is read in full before it replaces the one in force, so that a reader on another
// thread sees the old text or the new one.
tresult PLUGIN_API againController::setState(IBStream* state)
{
    if (!state)
        return kInvalidArgument;
    int8 byteOrder = 0;
    tresult result = state->read(&byteOrder, 1, nullptr);
    if (result != kResultOk)
        return result;
    String128 text;
    {
        // What a stream delivers only in part keeps the rest of the text in force.
        std::lock_guard<std::mutex> lock(valuesMutex);
        std::memcpy(text, stateText, sizeof(text));
    }
    result = state->read(text, sizeof(text), nullptr);
    if (result != kResultOk)
        return result;
    if (byteOrder != 0)
    {
        for (TChar& unit : text)
            unit = TChar(((unit & 0xFF) << 8) | ((unit >> 8) & 0xFF));
    }
    std::lock_guard<std::mutex> lock(valuesMutex);
    std::memcpy(stateText, text, sizeof(text));
    return kResultOk;
}

tresult PLUGIN_API againController::getState(IBStream* state)
{
    if (!state)
        return kInvalidArgument;
    String128 text;
    {
        std::lock_guard<std::mutex> lock(valuesMutex);
        std::memcpy(text, stateText, sizeof(text));
    }
    int8 byteOrder = 0;
    if (state->write(&byteOrder, 1, nullptr) != kResultOk)
        return kResultFalse;
    return state->write(text, sizeof(text), nullptr);
}

tresult PLUGIN_API againController::getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                                          String128 string)
{
    if (!string)
        return kInvalidArgument;
    // A parameter holds only 0..1: a value outside shows as the nearest end. (The outputs print
    // the bare number without regard to the text's size, so a far value would not even fit.)
    valueNormalized = std::clamp(valueNormalized, 0.0, 1.0);
    return EditControllerEx1::getParamStringByValue(tag, valueNormalized, string);
}

tresult PLUGIN_API againController::getParamValueByString(ParamID tag, TChar* string,
                                                          ParamValue& valueNormalized)
{
    if (!string)
        return kInvalidArgument;
    // Text that is not valid UTF-16 (a lone surrogate, say) names no value. The SDK's number
    // reading would throw on it on one system and read the digits before it on another.
    if (!isValidUtf16(string))
        return kResultFalse;
    // The plain parameters read the number through a UTF-16 conversion that may throw; no
    // exception may reach the host. They also read "nan" and "inf", which are no values for any
    // parameter. On some systems the SDK reports success for text with no number in it and
    // leaves the value as it was: starting from a value that is no number catches that too.
    ParamValue value = std::numeric_limits<ParamValue>::quiet_NaN();
    try
    {
        const tresult result = EditControllerEx1::getParamValueByString(tag, string, value);
        if (result != kResultOk)
            return result;
    }
    catch (const std::exception&)
    {
        return kResultFalse;
    }
    if (!std::isfinite(value))
        return kResultFalse;
    // A typed number beyond the range means its end, whichever parameter read it.
    valueNormalized = std::clamp(value, 0.0, 1.0);
    return kResultOk;
}

// The parameters' plain values are their normalized values (0..1). Whatever the host passes,
// neither direction answers with a value outside that range.
ParamValue PLUGIN_API againController::normalizedParamToPlain(ParamID tag,
                                                              ParamValue valueNormalized)
{
    return EditControllerEx1::normalizedParamToPlain(tag, unitRange(valueNormalized));
}

ParamValue PLUGIN_API againController::plainParamToNormalized(ParamID tag, ParamValue plainValue)
{
    return unitRange(EditControllerEx1::plainParamToNormalized(tag, plainValue));
}

tresult PLUGIN_API againController::setParamNormalized(ParamID tag, ParamValue value)
{
    // A value that is not a number has no meaning for any parameter or view.
    if (!std::isfinite(value))
        return kInvalidArgument;
    tresult result = kResultFalse;
    {
        std::lock_guard<std::mutex> lock(valuesMutex);
        result = EditControllerEx1::setParamNormalized(tag, value);
        if (tag < kNumParams)
            givenValues[tag] = value;
    }
    if (result == kResultTrue)
        showInEditors(tag, value);
    return result;
}

ParamValue PLUGIN_API againController::getParamNormalized(ParamID tag)
{
    std::lock_guard<std::mutex> lock(valuesMutex);
    return EditControllerEx1::getParamNormalized(tag);
}

void againController::showInEditors(ParamID tag, ParamValue value)
{
    if (std::this_thread::get_id() != editorThread.load(std::memory_order_acquire))
    {
        pendingShow[tag].store(true, std::memory_order_release);
        return;
    }
    // Shown now: an older value waiting from another thread must not follow it.
    pendingShow[tag].store(false, std::memory_order_relaxed);
    // Indexing (not iterating) keeps this safe should an editor detach itself meanwhile.
    for (size_t i = 0; i < editorViews.size(); ++i)
        if (editorViews[i])
            showParameter(editorViews[i], tag, value);
}

void againController::showPendingValues()
{
    if (std::this_thread::get_id() != editorThread.load(std::memory_order_acquire))
        return;
    for (ParamID tag = 0; tag < kNumParams; ++tag)
    {
        if (!pendingShow[tag].load(std::memory_order_relaxed) ||
            !pendingShow[tag].exchange(false, std::memory_order_acq_rel))
            continue;
        // The value given last, whichever thread gave it.
        ParamValue value = 0.;
        {
            std::lock_guard<std::mutex> lock(valuesMutex);
            value = givenValues[tag];
        }
        for (size_t i = 0; i < editorViews.size(); ++i)
            if (editorViews[i])
                showParameter(editorViews[i], tag, value);
    }
}

IPlugView* PLUGIN_API againController::createView(FIDString name)
{
    if (!name || std::strcmp(name, "editor") != 0)
        return nullptr;
    try
    {
        return createEditorView(this);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

tresult PLUGIN_API againController::setKnobMode(KnobMode mode)
{
    if (mode != kCircularMode && mode != kRelativCircularMode && mode != kLinearMode)
        return kInvalidArgument;
    return EditControllerEx1::setKnobMode(mode);
}

tresult PLUGIN_API againController::getMidiControllerAssignment(int32 busIndex, int16 /*channel*/,
                                                                CtrlNumber midiControllerNumber,
                                                                ParamID& tag)
{
    if (busIndex == 0 && midiControllerNumber == kCtrlVolume)
    {
        tag = kThresholdId;
        return kResultTrue;
    }
    return kResultFalse;
}

tresult againController::receiveText(const char8* text)
{
    if (text)
        std::fprintf(stderr, "[againController] received: %s\n", text);
    return kResultOk;
}

void againController::editorAttached(EditorView* editor)
{
    auto* view = asEditorView(editor);
    if (!view)
        return;
    // Editors are attached, shown and removed on the host's user-interface thread: this one.
    editorThread.store(std::this_thread::get_id(), std::memory_order_release);
    // Room for a few editors is reserved in initialize; should more not fit, the extra one
    // still works but does not follow parameter changes.
    try
    {
        editorViews.push_back(view);
    }
    catch (const std::bad_alloc&)
    {
    }
}

void againController::editorRemoved(EditorView* editor)
{
    forgetEditor(editor);
}

// A view released while attached reaches here from its base class's destructor.
void againController::editorDestroyed(EditorView* editor)
{
    forgetEditor(editor);
}

// Compared as SDK views: a view on its way out is no longer an editor of ours to ask.
void againController::forgetEditor(EditorView* editor)
{
    auto it = std::find_if(editorViews.begin(), editorViews.end(),
                           [editor](againEditorView* view) { return asSdkView(view) == editor; });
    if (it != editorViews.end())
        editorViews.erase(it);
}

} // namespace Quorvane
