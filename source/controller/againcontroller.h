// The plug-in's edit controller: publishes the parameters and the unit, follows the processor's
// stored state, keeps its own small state, maps MIDI and serves the editor.
#pragma once

#include "paramids.h"
#include "pendingeditorvalues.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace Quorvane
{

class againEditorView;

// Hosts call the state and value methods from more than one thread (a worker loads a project while
// the user interface runs); the editors and their views belong to the thread that attached them.
// A value set on any other thread is kept and shown by the editors' timer, on their thread.
class againController : public Steinberg::Vst::EditControllerEx1,
                        public Steinberg::Vst::IMidiMapping,
                        public PendingEditorValues
{
public:
    againController();
    ~againController() override;

    static Steinberg::FUnknown* createInstance(void*)
    {
        return static_cast<Steinberg::Vst::IEditController*>(new againController);
    }

    // ComponentBase / EditController
    Steinberg::tresult receiveText(const Steinberg::char8* text) override;
    void editorAttached(Steinberg::Vst::EditorView* editor) override;
    void editorRemoved(Steinberg::Vst::EditorView* editor) override;
    void editorDestroyed(Steinberg::Vst::EditorView* editor) override;

    // IPluginBase
    Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
    Steinberg::tresult PLUGIN_API terminate() override;

    // IEditController
    Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 paramIndex,
                                                   Steinberg::Vst::ParameterInfo& info) override;
    Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) override;
    Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
    Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;
    Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID tag,
                                                        Steinberg::Vst::ParamValue valueNormalized,
                                                        Steinberg::Vst::String128 string) override;
    Steinberg::tresult PLUGIN_API
    getParamValueByString(Steinberg::Vst::ParamID tag, Steinberg::Vst::TChar* string,
                          Steinberg::Vst::ParamValue& valueNormalized) override;
    Steinberg::Vst::ParamValue PLUGIN_API normalizedParamToPlain(
        Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue valueNormalized) override;
    Steinberg::Vst::ParamValue PLUGIN_API plainParamToNormalized(
        Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue plainValue) override;
    Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID tag,
                                                     Steinberg::Vst::ParamValue value) override;
    Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID tag) override;
    Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

    // IEditController2: a mode other than circular, relative circular or linear is refused.
    Steinberg::tresult PLUGIN_API setKnobMode(Steinberg::Vst::KnobMode mode) override;

    // IUnitInfo
    Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex,
                                              Steinberg::Vst::UnitInfo& info) override;

    // IConnectionPoint
    Steinberg::tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override;

    // IMidiMapping
    Steinberg::tresult PLUGIN_API getMidiControllerAssignment(
        Steinberg::int32 busIndex, Steinberg::int16 channel,
        Steinberg::Vst::CtrlNumber midiControllerNumber, Steinberg::Vst::ParamID& tag) override;

    // PendingEditorValues
    void showPendingValues() override;

    // The editors currently attached to a host window (not owned).
    const std::vector<againEditorView*>& attachedEditors() const { return editorViews; }

    OBJ_METHODS(againController, EditControllerEx1)
    // IMidiMapping, IUnitInfo and the controller's interfaces; a null iid or obj gives
    // kInvalidArgument.
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    REFCOUNT_METHODS(EditControllerEx1)

private:
    void showInEditors(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue value);
    void forgetEditor(Steinberg::Vst::EditorView* editor);

    bool initialized = false;
    // Read and changed only on the editors' thread.
    std::vector<againEditorView*> editorViews;
    std::atomic<std::thread::id> editorThread{};

    // Guards the parameters' values, the values given last and the own state: any thread may
    // set and read them.
    mutable std::mutex valuesMutex;
    Steinberg::Vst::String128 stateText;
    // Each parameter's value as given last, unclamped (what the editors show).
    Steinberg::Vst::ParamValue givenValues[kNumParams] = {};
    // Set for a value given on another thread than the editors'; taken by showPendingValues.
    std::atomic<bool> pendingShow[kNumParams] = {};
};

} // namespace Quorvane
