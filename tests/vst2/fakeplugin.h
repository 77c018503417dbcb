// A small VST 3 plug-in made for the wrapper tests: a stereo gain with a
// bypass switch, a side-chain bus, one read-only meter, a processor state
// of 8 bytes and a controller state of 5 bytes, served by a factory of its
// own. Everything it receives is recorded for the tests to inspect.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "public.sdk/source/vst/vstaudioeffect.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

#include <string>
#include <vector>

namespace QuorvaneTest::FakePlugin
{

using namespace Steinberg;
using namespace Steinberg::Vst;

// Parameter IDs differ from their indices so that a mix-up shows.
enum : ParamID
{
    kBypassId = 10,    // index 0
    kGainId = 11,      // index 1
    kLongTitleId = 12, // index 2
    kMeterId = 13,     // index 3, read-only output
};

extern const FUID kProcessorCid;
extern const FUID kControllerCid;

struct ReceivedChange
{
    ParamID id;
    int32 points;
    int32 lastOffset;
    ParamValue lastValue;
};

struct ProcessCall
{
    int32 numSamples = 0;
    int32 numInputs = 0;
    int32 numOutputs = 0;
    int32 mainInputChannels = 0;
    int32 mainOutputChannels = 0;
    bool auxActive = false;
    std::vector<ReceivedChange> changes;
};

/** What the fake objects saw, shared by all instances of one test. */
struct Journal
{
    std::vector<ProcessCall> processCalls;
    std::vector<std::string> lifecycle; // "setupProcessing 48000 256", "setActive 1", ...
    std::vector<std::pair<ParamID, ParamValue>> controllerSets;
    int controllerReads = 0; // getParamNormalized calls
    int componentStateCalls = 0;
    int controllerSetStateCalls = 0;

    void clear() { *this = Journal(); }
};
extern Journal journal;

class Processor : public AudioEffect
{
public:
    Processor();
    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
    tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;
    tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE;
    tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE;
    uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE { return 480; }

    static FUnknown* create(void*) { return static_cast<IAudioProcessor*>(new Processor); }

    int32 bypass = 0;
    float gain = 0.5f; // output = input * gain * 2
    float meter = 0.f; // rises by 0.125 with every block
};

class Controller : public EditController
{
public:
    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    tresult PLUGIN_API setComponentState(IBStream* state) SMTG_OVERRIDE;
    tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE;
    tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE;
    tresult PLUGIN_API setParamNormalized(ParamID tag, ParamValue value) SMTG_OVERRIDE;
    ParamValue PLUGIN_API getParamNormalized(ParamID tag) SMTG_OVERRIDE;
    tresult PLUGIN_API getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                             String128 string) SMTG_OVERRIDE;

    IPlugView* PLUGIN_API createView(FIDString name) SMTG_OVERRIDE;

    static FUnknown* create(void*) { return static_cast<IEditController*>(new Controller); }

    char8 ownState[5] = {'C', 'T', 'R', 'L', 0};

    /** The controller created last (tests reach its component handler). */
    static Controller* last;
    /** When set, createView ("editor") returns a FakeView. */
    static bool offerEditor;
};

/** A factory with the two classes above. Starts with one reference. */
class Factory : public IPluginFactory2
{
public:
    Factory();
    virtual ~Factory() = default;

    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
    int32 PLUGIN_API countClasses() SMTG_OVERRIDE { return 2; }
    tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;
    tresult PLUGIN_API createInstance(FIDString cid, FIDString _iid, void** obj) SMTG_OVERRIDE;

    tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return ++refCount; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE;

    /** Makes the next createInstance of the controller fail. */
    bool failController = false;
    uint32 refCount = 1;
    static int liveCount;
};

} // namespace QuorvaneTest::FakePlugin
