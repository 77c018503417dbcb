// Loads the built bundle exactly as a host does and drives both classes through the public
// VST 3 interfaces only.
#include "classidbytes.h"
#include "pluginlibrary.h"
#include "teststreams.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;
using namespace QuorvaneTest::ClassIdBytes;

namespace
{

const char* const kProcessorCid = "74E8DE5082554F5386FAE4132C935A18";
const char* const kControllerCid = "C39D5B65C7AF41FB743F4AC831EB03F1";

std::string ascii(const TChar* s)
{
    char text[256];
    UString(const_cast<TChar*>(s), 128).toAscii(text, 256);
    return text;
}

std::string cidString(const TUID cid)
{
    char text[33];
    FUID::fromTUID(cid).toString(text);
    return text;
}

// The module as a host holds it: loaded, entered, factory taken.
class Module
{
public:
    Module() : library(QUORVANE_BUNDLE_SO)
    {
        auto getFactory = library.function<IPluginFactory*(PLUGIN_API*)()>("GetPluginFactory");
        if (getFactory && library.enter())
            factory = getFactory();
    }
    ~Module()
    {
        if (factory)
            factory->release();
        if (library.loaded())
            library.leave();
    }
    PluginLibrary library;
    IPluginFactory* factory = nullptr;
};

template <typename T> T* create(IPluginFactory* factory, const char* cidText, const TUID iid)
{
    FUID cid;
    cid.fromString(cidText);
    void* obj = nullptr;
    if (factory->createInstance(cid.toTUID(), iid, &obj) != kResultOk)
        return nullptr;
    return static_cast<T*>(obj);
}

} // namespace

TEST(Bundle, FactoryDescribesBothClasses)
{
    Module module;
    ASSERT_NE(module.factory, nullptr) << module.library.error();

    PFactoryInfo info{};
    ASSERT_EQ(module.factory->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "Ostrelle");
    EXPECT_EQ(std::string(info.url).rfind("http://", 0), 0u);
    EXPECT_EQ(std::string(info.email).rfind("mailto:", 0), 0u);
    EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);

    ASSERT_EQ(module.factory->countClasses(), 2);
    IPluginFactory2* factory2 = nullptr;
    ASSERT_EQ(
        module.factory->queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2)),
        kResultOk);
    PClassInfo2 processor{}, controller{};
    ASSERT_EQ(factory2->getClassInfo2(0, &processor), kResultOk);
    ASSERT_EQ(factory2->getClassInfo2(1, &controller), kResultOk);
    factory2->release();

    // The platform's byte layout of the IDs (the text form is the same everywhere).
    EXPECT_EQ(0, std::memcmp(processor.cid, kProcessorCidBytes, 16));
    EXPECT_EQ(0, std::memcmp(controller.cid, kControllerCidBytes, 16));
    EXPECT_EQ(cidString(processor.cid), kProcessorCid);
    EXPECT_EQ(cidString(controller.cid), kControllerCid);

    EXPECT_EQ(processor.cardinality, PClassInfo::kManyInstances);
    EXPECT_STREQ(processor.category, "Audio Module Class");
    EXPECT_STREQ(processor.name, "Quorvane");
    EXPECT_EQ(processor.classFlags, 1u);
    EXPECT_STREQ(processor.subCategories, "Fx|Gate");
    EXPECT_STREQ(processor.vendor, "");
    EXPECT_STREQ(processor.version, "1.3.0.1");
    EXPECT_STREQ(processor.sdkVersion, "VST 3.5.2");
    EXPECT_STREQ(controller.category, "Component Controller Class");
    EXPECT_STREQ(controller.name, "QuorvaneController");
    EXPECT_EQ(controller.classFlags, 0u);
    EXPECT_STREQ(controller.subCategories, "");

    // The factory is shared while referenced.
    auto getFactory = module.library.function<IPluginFactory*(PLUGIN_API*)()>("GetPluginFactory");
    IPluginFactory* again = getFactory();
    EXPECT_EQ(again, module.factory);
    again->release();

    void* obj = reinterpret_cast<void*>(1);
    TUID unknown = {};
    EXPECT_NE(module.factory->createInstance(unknown, IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);

    auto initDll = module.library.function<bool (*)()>("InitDll");
    auto exitDll = module.library.function<bool (*)()>("ExitDll");
    ASSERT_TRUE(initDll && exitDll);
    EXPECT_TRUE(initDll());
    EXPECT_TRUE(exitDll());
}

// A host may ask for the factory more than once; each call hands out one more reference to the
// same object, and after the last release the next call builds a working factory anew.
TEST(Bundle, FactoryIsSharedByReferenceAndRebuiltAfterItsLastRelease)
{
    Module module;
    ASSERT_NE(module.factory, nullptr) << module.library.error();
    auto getFactory = module.library.function<IPluginFactory*(PLUGIN_API*)()>("GetPluginFactory");
    ASSERT_NE(getFactory, nullptr);

    // The module holds one reference; a second call adds exactly one.
    IPluginFactory* second = getFactory();
    ASSERT_EQ(second, module.factory);
    EXPECT_EQ(second->addRef(), 3u);
    EXPECT_EQ(second->release(), 2u);
    IPluginFactory* third = getFactory();
    ASSERT_EQ(third, module.factory);
    EXPECT_EQ(third->release(), 2u);
    EXPECT_EQ(second->release(), 1u);

    // The last release destroys it; the next call builds a new one with one reference.
    EXPECT_EQ(module.factory->release(), 0u);
    module.factory = nullptr;
    IPluginFactory* fresh = getFactory();
    ASSERT_NE(fresh, nullptr);
    module.factory = fresh;
    EXPECT_EQ(fresh->addRef(), 2u);
    EXPECT_EQ(fresh->release(), 1u);
    ASSERT_EQ(fresh->countClasses(), 2);
    PClassInfo info{};
    ASSERT_EQ(fresh->getClassInfo(0, &info), kResultOk);
    EXPECT_EQ(cidString(info.cid), kProcessorCid);
    IComponent* component = create<IComponent>(fresh, kProcessorCid, IComponent::iid);
    ASSERT_NE(component, nullptr);
    component->release();
}

std::string utf8(const char16* text)
{
    std::string out;
    for (; *text; ++text)
        out += *text < 0x80 ? char(*text) : '?';
    return out;
}

// Every field of both class records, as a host reads them through each version of the factory.
TEST(Bundle, ClassRecordsInEveryFormCarryEveryField)
{
    Module module;
    ASSERT_NE(module.factory, nullptr) << module.library.error();
    FUnknownPtr<IPluginFactory2> factory2(module.factory);
    FUnknownPtr<IPluginFactory3> factory3(module.factory);
    ASSERT_TRUE(factory2 && factory3);

    struct Record
    {
        const char* cid;
        const char* category;
        const char* name;
        uint32 classFlags;
        const char* subCategories;
        const char* vendor;
        const char* version;
        const char* sdkVersion;
    };
    const Record records[2] = {
        {kProcessorCid, "Audio Module Class", "Quorvane", Vst::kDistributable, "Fx|Gate", "",
         "1.3.0.1", "VST 3.5.2"},
        {kControllerCid, "Component Controller Class", "QuorvaneController", 0, "", "", "1.3.0.1",
         "VST 3.5.2"},
    };
    ASSERT_EQ(module.factory->countClasses(), 2);
    for (int32 i = 0; i < 2; ++i)
    {
        const Record& r = records[i];
        SCOPED_TRACE(r.name);

        PClassInfo info{};
        ASSERT_EQ(module.factory->getClassInfo(i, &info), kResultOk);
        EXPECT_EQ(cidString(info.cid), r.cid);
        EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
        EXPECT_STREQ(info.category, r.category);
        EXPECT_STREQ(info.name, r.name);

        PClassInfo2 info2{};
        ASSERT_EQ(factory2->getClassInfo2(i, &info2), kResultOk);
        EXPECT_EQ(cidString(info2.cid), r.cid);
        EXPECT_EQ(info2.cardinality, PClassInfo::kManyInstances);
        EXPECT_STREQ(info2.category, r.category);
        EXPECT_STREQ(info2.name, r.name);
        EXPECT_EQ(info2.classFlags, r.classFlags);
        EXPECT_STREQ(info2.subCategories, r.subCategories);
        EXPECT_STREQ(info2.vendor, r.vendor);
        EXPECT_STREQ(info2.version, r.version);
        EXPECT_STREQ(info2.sdkVersion, r.sdkVersion);

        PClassInfoW infoW{};
        ASSERT_EQ(factory3->getClassInfoUnicode(i, &infoW), kResultOk);
        EXPECT_EQ(cidString(infoW.cid), r.cid);
        EXPECT_EQ(infoW.cardinality, PClassInfo::kManyInstances);
        EXPECT_STREQ(infoW.category, r.category);
        EXPECT_EQ(utf8(infoW.name), r.name);
        EXPECT_EQ(infoW.classFlags, r.classFlags);
        EXPECT_STREQ(infoW.subCategories, r.subCategories);
        EXPECT_EQ(utf8(infoW.vendor), r.vendor);
        EXPECT_EQ(utf8(infoW.version), r.version);
        EXPECT_EQ(utf8(infoW.sdkVersion), r.sdkVersion);

        // The class a record names is the class the factory creates.
        const TUID& iid = i == 0 ? IComponent::iid : IEditController::iid;
        FUnknown* object = create<FUnknown>(module.factory, r.cid, iid);
        ASSERT_NE(object, nullptr);
        object->release();
    }
}

TEST(Bundle, HostSessionFromLoadToUnload)
{
    Module module;
    ASSERT_NE(module.factory, nullptr);
    HostApplication host;

    auto* component = create<IComponent>(module.factory, kProcessorCid, IComponent::iid);
    auto* controller =
        create<IEditController>(module.factory, kControllerCid, IEditController::iid);
    ASSERT_TRUE(component && controller);
    ASSERT_EQ(component->initialize(&host), kResultOk);
    ASSERT_EQ(controller->initialize(&host), kResultOk);

    TUID controllerCid;
    ASSERT_EQ(component->getControllerClassId(controllerCid), kResultOk);
    EXPECT_EQ(cidString(controllerCid), kControllerCid);

    IConnectionPoint* componentPoint = nullptr;
    IConnectionPoint* controllerPoint = nullptr;
    component->queryInterface(IConnectionPoint::iid, reinterpret_cast<void**>(&componentPoint));
    controller->queryInterface(IConnectionPoint::iid, reinterpret_cast<void**>(&controllerPoint));
    ASSERT_TRUE(componentPoint && controllerPoint);
    componentPoint->connect(controllerPoint);
    controllerPoint->connect(componentPoint);

    // Parameters as the host reads them.
    ASSERT_EQ(controller->getParameterCount(), 22);
    const char* titles[22] = {"Bypass",
                              "Listen",
                              "Channel Linking",
                              "Ducking",
                              "Gradual Att Envelope",
                              "Output Level",
                              "Threshold",
                              "Range",
                              "Hysteresis",
                              "Attack (gradual)",
                              "Attack (synth)",
                              "Release",
                              "Hold",
                              "Hold Closed",
                              "Beat Skip",
                              "Attack Delay",
                              "Note Truncation",
                              "Max Vu",
                              "Min Vu",
                              "Max Gate",
                              "Min Gate",
                              "Side Chain Monitor: on/off"};
    const char* texts[17] = {"Off",      "Off",       "On",     "Off",     "On",      "0.0 dB",
                             "-20.0 dB", "-120.0 dB", "0.0 dB", "1.00 ms", "5.00 ms", "10.0 ms",
                             "35.0 ms",  " off",      " off",   " off",    " off"};
    for (int32 i = 0; i < 22; ++i)
    {
        ParameterInfo pi{};
        ASSERT_EQ(controller->getParameterInfo(i, pi), kResultOk);
        EXPECT_EQ(pi.id, ParamID(i));
        EXPECT_EQ(ascii(pi.title), titles[i]);
        EXPECT_EQ(pi.flags, i == 0 ? 0x10001 : (i < 17 ? 1 : 2)) << i;
        if (i < 17)
        {
            String128 text;
            ASSERT_EQ(controller->getParamStringByValue(
                          ParamID(i), controller->getParamNormalized(ParamID(i)), text),
                      kResultOk);
            EXPECT_EQ(ascii(text), texts[i]) << i;
        }
    }

    IMidiMapping* midi = nullptr;
    ASSERT_EQ(controller->queryInterface(IMidiMapping::iid, reinterpret_cast<void**>(&midi)),
              kResultOk);
    ParamID tag = 0;
    EXPECT_EQ(midi->getMidiControllerAssignment(0, 0, kCtrlVolume, tag), kResultTrue);
    EXPECT_EQ(tag, 6u);
    midi->release();

    // The controller follows the processor's stored state.
    ByteStream processorState;
    ASSERT_EQ(component->getState(&processorState), kResultOk);
    ASSERT_EQ(processorState.data.size(), 68u);
    ByteStream forController(processorState.data);
    ASSERT_EQ(controller->setComponentState(&forController), kResultOk);

    IAudioProcessor* processor = nullptr;
    ASSERT_EQ(component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor)),
              kResultOk);
    SpeakerArrangement stereo[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
    ASSERT_EQ(processor->setBusArrangements(stereo, 2, stereo, 1), kResultOk);
    ProcessSetup setup{kRealtime, kSample32, 256, 48000};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);

    ::testing::internal::CaptureStderr();
    ASSERT_EQ(component->setActive(true), kResultOk);
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("[againController] received: again::setActive (true)\n"), std::string::npos)
        << log;

    // A few blocks with parameter changes.
    std::vector<float> l(256, 0.25f), r(256, 0.25f), ol(256), orr(256);
    float* ins[2] = {l.data(), r.data()};
    float* outs[2] = {ol.data(), orr.data()};
    AudioBusBuffers in{}, out{};
    in.numChannels = 2;
    in.channelBuffers32 = ins;
    out.numChannels = 2;
    out.channelBuffers32 = outs;
    ParameterChanges inChanges(8, 4), outChanges(8, 4);
    int32 index = 0;
    inChanges.addParameterData(6, index)->addPoint(0, 0.5, index); // −38 dB
    ProcessData data;
    data.numSamples = 256;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &in;
    data.outputs = &out;
    data.inputParameterChanges = &inChanges;
    data.outputParameterChanges = &outChanges;
    ASSERT_EQ(processor->setProcessing(true), kNotImplemented);
    for (int block = 0; block < 20; ++block)
    {
        outChanges.clearQueue();
        ASSERT_EQ(processor->process(data), kResultOk);
        data.inputParameterChanges = nullptr;
    }
    EXPECT_EQ(outChanges.getParameterCount(), 5);
    EXPECT_GT(std::abs(ol[255]), 0.1f) << "a −12 dB signal passes a −38 dB gate";

    // State saved and restored.
    ByteStream saved;
    ASSERT_EQ(component->getState(&saved), kResultOk);
    EXPECT_FLOAT_EQ(floatAt(saved.data, 24), 0.5f);
    ByteStream controllerState;
    ASSERT_EQ(controller->getState(&controllerState), kResultOk);
    EXPECT_EQ(controllerState.data.size(), 257u);
    ByteStream restore(saved.data);
    EXPECT_EQ(component->setState(&restore), kResultOk);
    ByteStream restoreController(controllerState.data);
    EXPECT_EQ(controller->setState(&restoreController), kResultOk);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(component->setActive(false), kResultOk);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("again::setActive (false)"),
              std::string::npos);

    componentPoint->disconnect(controllerPoint);
    controllerPoint->disconnect(componentPoint);
    componentPoint->release();
    controllerPoint->release();
    processor->release();
    EXPECT_EQ(controller->terminate(), kResultOk);
    EXPECT_EQ(component->terminate(), kResultOk);
    controller->release();
    component->release();
}
