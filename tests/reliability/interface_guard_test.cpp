// Every interface method the plug-in exposes, called as a careless or hostile host would: with
// indices out of range, null pointers, and before initialize and after terminate. Nothing may
// throw (a host written in C cannot catch a C++ exception) or crash, and a call that cannot be
// honoured says so with an error result.
#include "classids.h"
#include "pluginlibrary.h"

#include "base/source/fobject.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstplugview.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

enum Phase : unsigned
{
    kBeforeInitialize = 1,
    kInitialized = 2,
    kAfterTerminate = 4,
    kEveryPhase = 7,
};

const char* phaseName(Phase phase)
{
    switch (phase)
    {
    case kBeforeInitialize:
        return "before initialize";
    case kInitialized:
        return "initialized";
    case kAfterTerminate:
        return "after terminate";
    default:
        return "?";
    }
}

// A message that carries an ID but no attribute list.
class MessageWithoutAttributes : public FObject, public IMessage
{
public:
    explicit MessageWithoutAttributes(FIDString id) : id(id) {}
    FIDString PLUGIN_API getMessageID() override { return id; }
    void PLUGIN_API setMessageID(FIDString newId) override { id = newId; }
    IAttributeList* PLUGIN_API getAttributes() override { return nullptr; }

    OBJ_METHODS(MessageWithoutAttributes, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(IMessage)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    FIDString id;
};

// One processor and one controller from the module's factory, connected as a host connects
// them and brought to a phase of their life; the editor is created on demand.
struct Plugin
{
    explicit Plugin(Phase phase)
    {
        factory = owned(GetPluginFactory());
        component = make<IComponent>(Quorvane::kProcessorUID);
        controller = make<IEditController>(Quorvane::kControllerUID);
        processor = FUnknownPtr<IAudioProcessor>(component);
        units = FUnknownPtr<IUnitInfo>(controller);
        midi = FUnknownPtr<IMidiMapping>(controller);
        componentPoint = FUnknownPtr<IConnectionPoint>(component);
        controllerPoint = FUnknownPtr<IConnectionPoint>(controller);
        if (phase == kBeforeInitialize)
            return;
        component->initialize(&host);
        controller->initialize(&host);
        componentPoint->connect(controllerPoint);
        controllerPoint->connect(componentPoint);
        if (phase == kAfterTerminate)
        {
            componentPoint->disconnect(controllerPoint);
            controllerPoint->disconnect(componentPoint);
            controller->terminate();
            component->terminate();
        }
    }
    ~Plugin()
    {
        if (view)
            view->release();
        if (component && controller && componentPoint && controllerPoint)
        {
            componentPoint->disconnect(controllerPoint);
            controllerPoint->disconnect(componentPoint);
            controller->terminate();
            component->terminate();
        }
    }
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    template <typename T> IPtr<T> make(const FUID& cid)
    {
        T* object = nullptr;
        factory->createInstance(cid.toTUID(), T::iid, reinterpret_cast<void**>(&object));
        return owned(object);
    }

    IPlugView* editor()
    {
        if (!view)
            view = controller->createView(ViewType::kEditor);
        return view;
    }

    bool complete() const
    {
        return factory && component && controller && processor && units && midi && componentPoint &&
               controllerPoint;
    }

    HostApplication host;
    IPtr<IPluginFactory> factory;
    IPtr<IComponent> component;
    IPtr<IEditController> controller;
    IPtr<IAudioProcessor> processor;
    IPtr<IUnitInfo> units;
    IPtr<IMidiMapping> midi;
    IPtr<IConnectionPoint> componentPoint;
    IPtr<IConnectionPoint> controllerPoint;
    IPlugView* view = nullptr;
};

// Whether a call must report failure, or only has to return (some of these calls rightly
// succeed, such as a process call without audio, which only flushes parameters).
enum class Expect
{
    Error,
    Returns,
};

struct Call
{
    const char* name;
    std::function<tresult(Plugin&)> call;
    Expect expect = Expect::Error;
    unsigned phases = kEveryPhase;
};

tresult asResult(bool ok)
{
    return ok ? kResultOk : kResultFalse;
}

// A process call whose buses claim channels they do not hand over.
tresult processWithoutBuffers(Plugin& p, int32 numSamples, bool busesWithoutArrays)
{
    AudioBusBuffers in{}, out{};
    in.numChannels = 2;
    out.numChannels = 2;
    ProcessData data{};
    data.numSamples = numSamples;
    data.symbolicSampleSize = kSample32;
    data.numInputs = 2;
    data.numOutputs = 1;
    if (busesWithoutArrays)
    {
        AudioBusBuffers ins[2] = {in, in};
        data.inputs = ins;
        data.outputs = &out;
        return p.processor->process(data);
    }
    return p.processor->process(data);
}

tresult processWithNullChannels(Plugin& p, int32 numSamples)
{
    std::vector<float> samples(64, 0.25f);
    float* channels[2] = {samples.data(), nullptr};
    float* outChannels[2] = {nullptr, samples.data()};
    AudioBusBuffers in{}, out{};
    in.numChannels = 2;
    in.channelBuffers32 = channels;
    out.numChannels = 2;
    out.channelBuffers32 = outChannels;
    ProcessData data{};
    data.numSamples = numSamples;
    data.symbolicSampleSize = kSample32;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &in;
    data.outputs = &out;
    return p.processor->process(data);
}

std::vector<Call> interfaceCalls()
{
    static const FUID processorCid = Quorvane::kProcessorUID;
    static const FUID controllerCid = Quorvane::kControllerUID;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {
        // IPluginFactory, IPluginFactory2, IPluginFactory3
        {"factory getFactoryInfo (null)",
         [](Plugin& p) { return p.factory->getFactoryInfo(nullptr); }},
        {"factory getClassInfo (-1)",
         [](Plugin& p)
         {
             PClassInfo i{};
             return p.factory->getClassInfo(-1, &i);
         }},
        {"factory getClassInfo (2)",
         [](Plugin& p)
         {
             PClassInfo i{};
             return p.factory->getClassInfo(2, &i);
         }},
        {"factory getClassInfo (0, null)",
         [](Plugin& p) { return p.factory->getClassInfo(0, nullptr); }},
        {"factory getClassInfo2 (-1)",
         [](Plugin& p)
         {
             FUnknownPtr<IPluginFactory2> f(p.factory);
             PClassInfo2 i{};
             return f->getClassInfo2(-1, &i);
         }},
        {"factory getClassInfo2 (INT32_MAX)",
         [](Plugin& p)
         {
             FUnknownPtr<IPluginFactory2> f(p.factory);
             PClassInfo2 i{};
             return f->getClassInfo2(INT_MAX, &i);
         }},
        {"factory getClassInfo2 (0, null)",
         [](Plugin& p)
         {
             FUnknownPtr<IPluginFactory2> f(p.factory);
             return f->getClassInfo2(0, nullptr);
         }},
        {"factory getClassInfoUnicode (2)",
         [](Plugin& p)
         {
             FUnknownPtr<IPluginFactory3> f(p.factory);
             PClassInfoW i{};
             return f->getClassInfoUnicode(2, &i);
         }},
        {"factory getClassInfoUnicode (0, null)",
         [](Plugin& p)
         {
             FUnknownPtr<IPluginFactory3> f(p.factory);
             return f->getClassInfoUnicode(0, nullptr);
         }},
        {"factory createInstance (null class)",
         [](Plugin& p)
         {
             void* obj = nullptr;
             return p.factory->createInstance(nullptr, IComponent::iid, &obj);
         }},
        {"factory createInstance (null interface)",
         [](Plugin& p)
         {
             void* obj = nullptr;
             return p.factory->createInstance(processorCid.toTUID(), nullptr, &obj);
         }},
        {"factory createInstance (null object)", [](Plugin& p)
         { return p.factory->createInstance(processorCid.toTUID(), IComponent::iid, nullptr); }},
        {"factory createInstance (unknown class)",
         [](Plugin& p)
         {
             void* obj = nullptr;
             TUID unknown = {};
             return p.factory->createInstance(unknown, IComponent::iid, &obj);
         }},
        {"factory createInstance (interface the class lacks)",
         [](Plugin& p)
         {
             void* obj = nullptr;
             return p.factory->createInstance(controllerCid.toTUID(), IAudioProcessor::iid, &obj);
         }},
        {"factory queryInterface (null interface)",
         [](Plugin& p)
         {
             void* obj = nullptr;
             return p.factory->queryInterface(nullptr, &obj);
         }},
        {"factory queryInterface (null object)",
         [](Plugin& p) { return p.factory->queryInterface(IPluginFactory::iid, nullptr); }},

        // IComponent
        {"component getControllerClassId (null)",
         [](Plugin& p) { return p.component->getControllerClassId(nullptr); }},
        {"component getBusInfo (-1)",
         [](Plugin& p)
         {
             BusInfo i{};
             return p.component->getBusInfo(kAudio, kInput, -1, i);
         }},
        {"component getBusInfo (input 2)",
         [](Plugin& p)
         {
             BusInfo i{};
             return p.component->getBusInfo(kAudio, kInput, 2, i);
         }},
        {"component getBusInfo (output 1)",
         [](Plugin& p)
         {
             BusInfo i{};
             return p.component->getBusInfo(kAudio, kOutput, 1, i);
         }},
        {"component getBusInfo (event bus)",
         [](Plugin& p)
         {
             BusInfo i{};
             return p.component->getBusInfo(kEvent, kInput, 0, i);
         }},
        {"component getBusInfo (media type 9)",
         [](Plugin& p)
         {
             BusInfo i{};
             return p.component->getBusInfo(9, kInput, 0, i);
         }},
        {"component getBusInfo (direction 5)",
         [](Plugin& p)
         {
             BusInfo i{};
             return p.component->getBusInfo(kAudio, 5, 0, i);
         }},
        {"component activateBus (-1)",
         [](Plugin& p) { return p.component->activateBus(kAudio, kInput, -1, true); }},
        {"component activateBus (output 3)",
         [](Plugin& p) { return p.component->activateBus(kAudio, kOutput, 3, true); }},
        {"component activateBus (event bus)",
         [](Plugin& p) { return p.component->activateBus(kEvent, kOutput, 0, true); }},
        {"component setState (null)", [](Plugin& p) { return p.component->setState(nullptr); }},
        {"component getState (null)", [](Plugin& p) { return p.component->getState(nullptr); }},
        {"component getRoutingInfo",
         [](Plugin& p)
         {
             RoutingInfo a{}, b{};
             return p.component->getRoutingInfo(a, b);
         }},
        {"component initialize twice (null context)",
         [](Plugin& p)
         {
             p.component->initialize(nullptr);
             return p.component->initialize(nullptr);
         }},
        {"component queryInterface (null interface)",
         [](Plugin& p)
         {
             void* obj = nullptr;
             return p.component->queryInterface(nullptr, &obj);
         }},
        {"component queryInterface (null object)",
         [](Plugin& p) { return p.component->queryInterface(IAudioProcessor::iid, nullptr); }},
        {"component terminate", [](Plugin& p) { return p.component->terminate(); },
         Expect::Returns},

        // IAudioProcessor
        {"processor setBusArrangements (null arrays)",
         [](Plugin& p) { return p.processor->setBusArrangements(nullptr, 2, nullptr, 1); }},
        {"processor setBusArrangements (negative counts)",
         [](Plugin& p)
         {
             SpeakerArrangement arr[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
             return p.processor->setBusArrangements(arr, -1, arr, -1);
         }},
        {"processor getBusArrangement (input -1)",
         [](Plugin& p)
         {
             SpeakerArrangement arr = 0;
             return p.processor->getBusArrangement(kInput, -1, arr);
         }},
        {"processor getBusArrangement (output 1)",
         [](Plugin& p)
         {
             SpeakerArrangement arr = 0;
             return p.processor->getBusArrangement(kOutput, 1, arr);
         }},
        {"processor getBusArrangement (direction 5)",
         [](Plugin& p)
         {
             SpeakerArrangement arr = 0;
             return p.processor->getBusArrangement(5, 0, arr);
         }},
        {"processor canProcessSampleSize (99)",
         [](Plugin& p) { return p.processor->canProcessSampleSize(99); }},
        {"processor setupProcessing (sample size 99)",
         [](Plugin& p)
         {
             ProcessSetup setup{kRealtime, 99, 512, 48000.};
             return p.processor->setupProcessing(setup);
         }},
        {"processor process (bus arrays missing)",
         [](Plugin& p) { return processWithoutBuffers(p, 64, false); }, Expect::Returns},
        {"processor process (channel arrays missing)",
         [](Plugin& p) { return processWithoutBuffers(p, 64, true); }, Expect::Returns},
        {"processor process (null channels)",
         [](Plugin& p) { return processWithNullChannels(p, 64); }, Expect::Returns},
        {"processor process (negative length)",
         [](Plugin& p) { return processWithNullChannels(p, -64); }, Expect::Returns},
        {"processor setProcessing", [](Plugin& p) { return p.processor->setProcessing(true); },
         Expect::Returns},

        // IEditController, IEditController2
        {"controller getParameterInfo (-1)",
         [](Plugin& p)
         {
             ParameterInfo i{};
             return p.controller->getParameterInfo(-1, i);
         }},
        {"controller getParameterInfo (22)",
         [](Plugin& p)
         {
             ParameterInfo i{};
             return p.controller->getParameterInfo(22, i);
         }},
        {"controller getParameterInfo (INT32_MIN)",
         [](Plugin& p)
         {
             ParameterInfo i{};
             return p.controller->getParameterInfo(INT_MIN, i);
         }},
        {"controller getParameterInfo (0) without parameters",
         [](Plugin& p)
         {
             ParameterInfo i{};
             return p.controller->getParameterInfo(0, i);
         },
         Expect::Error, kBeforeInitialize | kAfterTerminate},
        {"controller getParamStringByValue (null text)",
         [](Plugin& p) { return p.controller->getParamStringByValue(6, 0.5, nullptr); }},
        {"controller getParamStringByValue (unknown ID)",
         [](Plugin& p)
         {
             String128 text{};
             return p.controller->getParamStringByValue(22, 0.5, text);
         }},
        {"controller getParamStringByValue (NaN)",
         [](Plugin& p)
         {
             String128 text{};
             return p.controller->getParamStringByValue(6, std::numeric_limits<double>::quiet_NaN(),
                                                        text);
         },
         Expect::Returns},
        {"controller getParamValueByString (null text)",
         [](Plugin& p)
         {
             ParamValue v = 0;
             return p.controller->getParamValueByString(6, nullptr, v);
         }},
        {"controller getParamValueByString (unknown ID)",
         [](Plugin& p)
         {
             ParamValue v = 0;
             TChar text[] = STR16("1");
             return p.controller->getParamValueByString(999, text, v);
         }},
        {"controller setParamNormalized (unknown ID)",
         [](Plugin& p) { return p.controller->setParamNormalized(999, 0.5); }},
        {"controller setParamNormalized (NaN)",
         [nan](Plugin& p) { return p.controller->setParamNormalized(6, nan); }},
        {"controller getParamNormalized (unknown ID)",
         [](Plugin& p) { return asResult(p.controller->getParamNormalized(999) == 0.0); },
         Expect::Returns},
        {"controller normalizedParamToPlain (unknown ID)",
         [](Plugin& p)
         { return asResult(std::isfinite(p.controller->normalizedParamToPlain(999, 0.5))); },
         Expect::Returns},
        {"controller setState (null)", [](Plugin& p) { return p.controller->setState(nullptr); }},
        {"controller getState (null)", [](Plugin& p) { return p.controller->getState(nullptr); }},
        {"controller setComponentHandler (null)",
         [](Plugin& p) { return p.controller->setComponentHandler(nullptr); }, Expect::Returns},
        {"controller createView (null name)",
         [](Plugin& p)
         {
             IPlugView* v = p.controller->createView(nullptr);
             if (v)
                 v->release();
             return asResult(v != nullptr);
         }},
        {"controller createView (unknown name)",
         [](Plugin& p)
         {
             IPlugView* v = p.controller->createView("inspector");
             if (v)
                 v->release();
             return asResult(v != nullptr);
         }},
        {"controller setKnobMode (7)",
         [](Plugin& p)
         {
             FUnknownPtr<IEditController2> c2(p.controller);
             return c2->setKnobMode(7);
         }},
        {"controller initialize twice (null context)",
         [](Plugin& p)
         {
             p.controller->initialize(nullptr);
             const tresult second = p.controller->initialize(nullptr);
             // Whatever the answer, the parameter list must not have grown.
             return p.controller->getParameterCount() > 22 ? kResultOk : second;
         }},
        {"controller queryInterface (null interface)",
         [](Plugin& p)
         {
             void* obj = nullptr;
             return p.controller->queryInterface(nullptr, &obj);
         }},
        {"controller queryInterface (null object)",
         [](Plugin& p) { return p.controller->queryInterface(IMidiMapping::iid, nullptr); }},
        {"controller terminate", [](Plugin& p) { return p.controller->terminate(); },
         Expect::Returns},

        // IUnitInfo
        {"units getUnitInfo (-1)",
         [](Plugin& p)
         {
             UnitInfo i{};
             return p.units->getUnitInfo(-1, i);
         }},
        {"units getUnitInfo (1)",
         [](Plugin& p)
         {
             UnitInfo i{};
             return p.units->getUnitInfo(1, i);
         }},
        {"units getUnitInfo (0) without units",
         [](Plugin& p)
         {
             UnitInfo i{};
             return p.units->getUnitInfo(0, i);
         },
         Expect::Error, kBeforeInitialize | kAfterTerminate},
        {"units getProgramListInfo (0)",
         [](Plugin& p)
         {
             ProgramListInfo i{};
             return p.units->getProgramListInfo(0, i);
         }},
        {"units getProgramListInfo (-1)",
         [](Plugin& p)
         {
             ProgramListInfo i{};
             return p.units->getProgramListInfo(-1, i);
         }},
        {"units getProgramName (no list)",
         [](Plugin& p)
         {
             String128 name{};
             return p.units->getProgramName(kNoProgramListId, 0, name);
         }},
        {"units getProgramInfo (no list)",
         [](Plugin& p)
         {
             String128 value{};
             return p.units->getProgramInfo(0, -1, nullptr, value);
         }},
        {"units hasProgramPitchNames (no list)",
         [](Plugin& p) { return p.units->hasProgramPitchNames(0, -1); }},
        {"units getProgramPitchName (no list)",
         [](Plugin& p)
         {
             String128 name{};
             return p.units->getProgramPitchName(0, 0, -1, name);
         }},
        {"units getUnitByBus (-1)",
         [](Plugin& p)
         {
             UnitID unit = 0;
             return p.units->getUnitByBus(kAudio, kInput, -1, -1, unit);
         }},
        {"units setUnitProgramData (null)",
         [](Plugin& p) { return p.units->setUnitProgramData(0, -1, nullptr); }},

        // IMidiMapping
        {"midi getMidiControllerAssignment (bus -1)",
         [](Plugin& p)
         {
             ParamID tag = 0;
             return p.midi->getMidiControllerAssignment(-1, 0, kCtrlVolume, tag);
         }},
        {"midi getMidiControllerAssignment (controller -1)",
         [](Plugin& p)
         {
             ParamID tag = 0;
             return p.midi->getMidiControllerAssignment(0, -1, -1, tag);
         }},

        // IConnectionPoint, both sides
        {"component connect (null)", [](Plugin& p) { return p.componentPoint->connect(nullptr); }},
        {"component disconnect (null)",
         [](Plugin& p) { return p.componentPoint->disconnect(nullptr); }},
        {"component notify (null)", [](Plugin& p) { return p.componentPoint->notify(nullptr); }},
        {"component notify (text without attributes)",
         [](Plugin& p)
         {
             auto message = owned(new MessageWithoutAttributes("TextMessage"));
             return p.componentPoint->notify(message);
         }},
        {"component notify (binary without attributes)",
         [](Plugin& p)
         {
             auto message = owned(new MessageWithoutAttributes("BinaryMessage"));
             return p.componentPoint->notify(message);
         }},
        {"component notify (no message ID)",
         [](Plugin& p)
         {
             auto message = owned(new MessageWithoutAttributes(nullptr));
             return p.componentPoint->notify(message);
         }},
        {"controller connect (null)",
         [](Plugin& p) { return p.controllerPoint->connect(nullptr); }},
        {"controller disconnect (null)",
         [](Plugin& p) { return p.controllerPoint->disconnect(nullptr); }},
        {"controller notify (null)", [](Plugin& p) { return p.controllerPoint->notify(nullptr); }},
        {"controller notify (text without attributes)",
         [](Plugin& p)
         {
             auto message = owned(new MessageWithoutAttributes("TextMessage"));
             return p.controllerPoint->notify(message);
         }},
        {"controller notify (no message ID)",
         [](Plugin& p)
         {
             auto message = owned(new MessageWithoutAttributes(nullptr));
             return p.controllerPoint->notify(message);
         }},

        // IPlugView and the editor's own interfaces
        {"view isPlatformTypeSupported (null)",
         [](Plugin& p) { return p.editor()->isPlatformTypeSupported(nullptr); }},
        {"view attached (null parent)",
         [](Plugin& p) { return p.editor()->attached(nullptr, kPlatformTypeX11EmbedWindowID); }},
        {"view attached (null type)",
         [](Plugin& p)
         {
             static int window = 0;
             return p.editor()->attached(&window, nullptr);
         }},
        {"view attached (foreign type)",
         [](Plugin& p)
         {
             static int window = 0;
             // The other system's window type: X11 on Windows, HWND elsewhere.
             const bool hwnd =
                 p.editor()->isPlatformTypeSupported(kPlatformTypeHWND) == kResultTrue;
             return p.editor()->attached(&window,
                                         hwnd ? kPlatformTypeX11EmbedWindowID : kPlatformTypeHWND);
         }},
        {"view attached (not a window)",
         [](Plugin& p) -> tresult
         {
             // A parent the window system does not know: no window, so no attach.
             if (p.editor()->isPlatformTypeSupported(kPlatformTypeHWND) != kResultTrue)
                 return kResultFalse;
             static int window = 0;
             return p.editor()->attached(&window, kPlatformTypeHWND);
         }},
        {"view removed (not attached)", [](Plugin& p) { return p.editor()->removed(); }},
        {"view getSize (null)", [](Plugin& p) { return p.editor()->getSize(nullptr); }},
        {"view checkSizeConstraint (null)",
         [](Plugin& p) { return p.editor()->checkSizeConstraint(nullptr); }},
        {"view onSize (null)", [](Plugin& p) { return p.editor()->onSize(nullptr); },
         Expect::Returns},
        {"view setFrame (null)", [](Plugin& p) { return p.editor()->setFrame(nullptr); },
         Expect::Returns},
        {"view onKeyDown (closed)", [](Plugin& p) { return p.editor()->onKeyDown(0, 0, 0); },
         Expect::Returns},
        {"view onWheel (closed)", [](Plugin& p) { return p.editor()->onWheel(1.f); },
         Expect::Returns},
        {"view onFocus (closed)", [](Plugin& p) { return p.editor()->onFocus(true); },
         Expect::Returns},
        {"view queryInterface (null interface)",
         [](Plugin& p)
         {
             void* obj = nullptr;
             return p.editor()->queryInterface(nullptr, &obj);
         }},
        {"view queryInterface (null object)",
         [](Plugin& p) { return p.editor()->queryInterface(IParameterFinder::iid, nullptr); }},
        {"view findParameter (outside)",
         [](Plugin& p)
         {
             FUnknownPtr<IParameterFinder> finder(p.editor());
             ParamID tag = 0;
             return finder ? finder->findParameter(-1, INT_MAX, tag) : kResultFalse;
         }},
        {"view executeMenuItem (-1)",
         [](Plugin& p)
         {
             FUnknownPtr<IContextMenuTarget> target(p.editor());
             return target ? target->executeMenuItem(-1) : kResultFalse;
         }},
    };
}

// Calls on the editor; where the platform has no editor, the controller offers none to call.
bool isViewCall(const Call& call)
{
    return std::string(call.name).rfind("view ", 0) == 0;
}

TEST(InterfaceGuards, NoCallThrowsOrCrashesAndInvalidCallsReportAnError)
{
    const std::vector<Call> calls = interfaceCalls();
    for (const Call& call : calls)
    {
        for (Phase phase : {kBeforeInitialize, kInitialized, kAfterTerminate})
        {
            if ((call.phases & phase) == 0)
                continue;
            if (isViewCall(call) && !QuorvaneTest::platformOffersEditor())
                continue;
            SCOPED_TRACE(std::string(call.name) + ", " + phaseName(phase));
            Plugin plugin(phase);
            ASSERT_TRUE(plugin.complete());
            if (isViewCall(call))
            {
                ASSERT_NE(plugin.editor(), nullptr);
            }
            tresult result = kResultOk;
            try
            {
                result = call.call(plugin);
            }
            catch (const std::exception& e)
            {
                ADD_FAILURE() << "threw " << e.what();
                continue;
            }
            catch (...)
            {
                ADD_FAILURE() << "threw something";
                continue;
            }
            if (call.expect == Expect::Error)
            {
                EXPECT_NE(result, kResultOk) << "reported success";
            }
        }
    }
}

// The calls above that fail must leave the objects usable: after all of them, a host still
// reads every parameter and the unit.
TEST(InterfaceGuards, ObjectsStayUsableAfterRefusedCalls)
{
    Plugin plugin(kInitialized);
    ASSERT_TRUE(plugin.complete());
    for (const Call& call : interfaceCalls())
    {
        const std::string name = call.name;
        const bool endsLife = name.find("terminate") != std::string::npos ||
                              name.find("initialize twice") != std::string::npos;
        if (isViewCall(call) && !QuorvaneTest::platformOffersEditor())
            continue;
        if (!endsLife && (call.phases & kInitialized) != 0)
        {
            try
            {
                call.call(plugin);
            }
            catch (...)
            {
                ADD_FAILURE() << name << " threw";
            }
        }
    }
    ASSERT_EQ(plugin.controller->getParameterCount(), 22);
    for (int32 i = 0; i < 22; ++i)
    {
        ParameterInfo info{};
        EXPECT_EQ(plugin.controller->getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(info.id, ParamID(i));
    }
    UnitInfo unit{};
    EXPECT_EQ(plugin.units->getUnitInfo(0, unit), kResultOk);
    TUID cid{};
    EXPECT_EQ(plugin.component->getControllerClassId(cid), kResultOk);
    EXPECT_EQ(FUID::fromTUID(cid), Quorvane::kControllerUID);
}

} // namespace
