#include "testeffect.h"

#include "public.sdk/source/main/pluginfactory.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using QuorvaneTest::TestEffect;

namespace
{

const FUID kEffectId(0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10);
const FUID kOtherId(0xA1A2A3A4, 0xB1B2B3B4, 0xC1C2C3C4, 0xD1D2D3D4);
const FUID kUnknownId(0xDEADBEEF, 0, 0, 1);

// An FUnknown that only counts its references.
class CountedUnknown : public FUnknown
{
public:
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return static_cast<uint32>(++references); }
    uint32 PLUGIN_API release() override { return static_cast<uint32>(--references); }
    int references = 1;
};

FUnknown* createNothing(void*)
{
    return nullptr;
}

FUnknown* createRecordingContext(void* context)
{
    *static_cast<void**>(context) = context;
    return TestEffect::createInstance(nullptr);
}

std::u16string text16(const char16* text)
{
    return std::u16string(text);
}

class PluginFactoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PClassInfo2 effectInfo(kEffectId.toTUID(), PClassInfo::kManyInstances, kVstAudioEffectClass,
                               "Test Effect", kDistributable, "Fx|Gate", "Tester", "2.5.0.1",
                               "VST 3.5.2");
        ASSERT_TRUE(factory->registerClass(&effectInfo, TestEffect::createInstance));
        PClassInfo otherInfo(kOtherId.toTUID(), 1, "Component Controller Class", "Other");
        ASSERT_TRUE(factory->registerClass(&otherInfo, createNothing));
    }
    void TearDown() override
    {
        factory = nullptr;
        EXPECT_EQ(TestEffect::liveCount, 0);
    }

    PFactoryInfo vendorInfo{"Vendor", "http://example.com", "mailto:info@example.com",
                            PFactoryInfo::kUnicode};
    IPtr<CPluginFactory> factory = owned(new CPluginFactory(vendorInfo));
};

TEST_F(PluginFactoryTest, describesTheVendorAndItsClassesInRegistrationOrder)
{
    PFactoryInfo info;
    ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "Vendor");
    EXPECT_STREQ(info.url, "http://example.com");
    EXPECT_STREQ(info.email, "mailto:info@example.com");
    EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
    EXPECT_EQ(factory->countClasses(), 2);

    PClassInfo first;
    ASSERT_EQ(factory->getClassInfo(0, &first), kResultOk);
    EXPECT_EQ(std::memcmp(first.cid, kEffectId.toTUID(), sizeof(TUID)), 0);
    EXPECT_EQ(first.cardinality, PClassInfo::kManyInstances);
    EXPECT_STREQ(first.category, "Audio Module Class");
    EXPECT_STREQ(first.name, "Test Effect");

    PClassInfo2 second;
    ASSERT_EQ(factory->getClassInfo2(1, &second), kResultOk);
    EXPECT_EQ(std::memcmp(second.cid, kOtherId.toTUID(), sizeof(TUID)), 0);
    EXPECT_EQ(second.cardinality, 1);
    EXPECT_STREQ(second.category, "Component Controller Class");
    EXPECT_STREQ(second.name, "Other");
    // Registered with the first record kind: the newer fields stay empty.
    EXPECT_EQ(second.classFlags, 0u);
    EXPECT_STREQ(second.subCategories, "");
    EXPECT_STREQ(second.version, "");
    EXPECT_STREQ(second.sdkVersion, "");

    PClassInfo2 effect;
    ASSERT_EQ(factory->getClassInfo2(0, &effect), kResultOk);
    EXPECT_EQ(effect.classFlags, static_cast<uint32>(kDistributable));
    EXPECT_STREQ(effect.subCategories, "Fx|Gate");
    EXPECT_STREQ(effect.vendor, "Tester");
    EXPECT_STREQ(effect.version, "2.5.0.1");
    EXPECT_STREQ(effect.sdkVersion, "VST 3.5.2");

    EXPECT_EQ(factory->getClassInfo(2, &first), kInvalidArgument);
    EXPECT_EQ(factory->getClassInfo2(-1, &second), kInvalidArgument);
    EXPECT_EQ(factory->getClassInfo(0, nullptr), kInvalidArgument);
}

TEST_F(PluginFactoryTest, givesTheSameRecordsInUnicode)
{
    PClassInfoW info;
    ASSERT_EQ(factory->getClassInfoUnicode(0, &info), kResultOk);
    EXPECT_EQ(std::memcmp(info.cid, kEffectId.toTUID(), sizeof(TUID)), 0);
    EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_EQ(text16(info.name), u"Test Effect");
    EXPECT_EQ(info.classFlags, static_cast<uint32>(kDistributable));
    EXPECT_STREQ(info.subCategories, "Fx|Gate");
    EXPECT_EQ(text16(info.vendor), u"Tester");
    EXPECT_EQ(text16(info.version), u"2.5.0.1");
    EXPECT_EQ(text16(info.sdkVersion), u"VST 3.5.2");
    EXPECT_EQ(factory->getClassInfoUnicode(2, &info), kInvalidArgument);
}

TEST_F(PluginFactoryTest, convertsNamesBetweenUtf8AndUtf16)
{
    const FUID utf8Id(1, 2, 3, 4);
    PClassInfo2 utf8Info(utf8Id.toTUID(), 1, "Audio Module Class",
                         "Gr\xC3\xBC\xC3\x9F"
                         "e \xE2\x82\xAC",
                         0, "", "", "1", "");
    ASSERT_TRUE(factory->registerClass(&utf8Info, TestEffect::createInstance));
    PClassInfoW wide;
    ASSERT_EQ(factory->getClassInfoUnicode(2, &wide), kResultOk);
    EXPECT_EQ(text16(wide.name), u"Gr\u00FC\u00DFe \u20AC");

    const FUID wideId(5, 6, 7, 8);
    PClassInfoW wideInfo(wideId.toTUID(), 1, "Audio Module Class", u"Caf\u00E9 \U0001D11E", 0, "",
                         u"V\u00E9ndor", u"1.0", u"VST 3.5.2");
    ASSERT_TRUE(factory->registerClass(&wideInfo, TestEffect::createInstance));
    PClassInfo2 narrow;
    ASSERT_EQ(factory->getClassInfo2(3, &narrow), kResultOk);
    EXPECT_STREQ(narrow.name, "Caf\xC3\xA9 \xF0\x9D\x84\x9E");
    EXPECT_STREQ(narrow.vendor, "V\xC3\xA9ndor");
    EXPECT_STREQ(narrow.sdkVersion, "VST 3.5.2");
    ASSERT_EQ(factory->getClassInfoUnicode(3, &wide), kResultOk);
    EXPECT_EQ(text16(wide.name), u"Caf\u00E9 \U0001D11E");
}

TEST_F(PluginFactoryTest, refusesDuplicateAndIncompleteRegistrations)
{
    PClassInfo again(kEffectId.toTUID(), 1, "Audio Module Class", "Again");
    EXPECT_FALSE(factory->registerClass(&again, TestEffect::createInstance));
    PClassInfo noFunction(kUnknownId.toTUID(), 1, "Audio Module Class", "None");
    EXPECT_FALSE(factory->registerClass(&noFunction, nullptr));
    EXPECT_FALSE(factory->registerClass(static_cast<const PClassInfo2*>(nullptr),
                                        TestEffect::createInstance));
    EXPECT_EQ(factory->countClasses(), 2);
    EXPECT_TRUE(factory->isClassRegistered(kEffectId));
    EXPECT_FALSE(factory->isClassRegistered(kUnknownId));
}

TEST_F(PluginFactoryTest, createsAKnownClassAndHandsOutOnlyTheRequestedInterface)
{
    IAudioProcessor* processor = nullptr;
    ASSERT_EQ(factory->createInstance(kEffectId.toTUID(), IAudioProcessor::iid.toTUID(),
                                      reinterpret_cast<void**>(&processor)),
              kResultOk);
    ASSERT_NE(processor, nullptr);
    EXPECT_EQ(TestEffect::liveCount, 1);
    // The creation reference is gone: one release destroys the object.
    EXPECT_EQ(processor->release(), 0u);
    EXPECT_EQ(TestEffect::liveCount, 0);

    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->createInstance(kEffectId.toTUID(), IEditController::iid.toTUID(), &obj),
              kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(TestEffect::liveCount, 0);
}

TEST_F(PluginFactoryTest, givesNoObjectForAnUnknownClassOrAFailedCreation)
{
    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->createInstance(kUnknownId.toTUID(), IAudioProcessor::iid.toTUID(), &obj),
              kNoInterface);
    EXPECT_EQ(obj, nullptr);

    obj = reinterpret_cast<void*>(0x1);
    EXPECT_NE(factory->createInstance(kOtherId.toTUID(), FUnknown::iid.toTUID(), &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(factory->createInstance(kEffectId.toTUID(), FUnknown::iid.toTUID(), nullptr),
              kInvalidArgument);
    EXPECT_EQ(TestEffect::liveCount, 0);
}

TEST_F(PluginFactoryTest, passesTheRegisteredContextToTheCreateFunction)
{
    void* seen = nullptr;
    const FUID id(9, 9, 9, 9);
    PClassInfo info(id.toTUID(), 1, "Audio Module Class", "Context");
    ASSERT_TRUE(factory->registerClass(&info, createRecordingContext, &seen));
    FUnknown* obj = nullptr;
    ASSERT_EQ(factory->createInstance(id.toTUID(), FUnknown::iid.toTUID(),
                                      reinterpret_cast<void**>(&obj)),
              kResultOk);
    EXPECT_EQ(seen, &seen);
    obj->release();
}

TEST_F(PluginFactoryTest, answersEveryFactoryInterfaceVersion)
{
    for (const FUID* iid :
         {&FUnknown::iid, &IPluginFactory::iid, &IPluginFactory2::iid, &IPluginFactory3::iid})
    {
        void* obj = nullptr;
        ASSERT_EQ(factory->queryInterface(iid->toTUID(), &obj), kResultOk);
        EXPECT_EQ(static_cast<FUnknown*>(obj)->release(), 1u);
    }
    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->queryInterface(IAudioProcessor::iid.toTUID(), &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
}

TEST_F(PluginFactoryTest, holdsTheHostContextUntilItIsDestroyed)
{
    CountedUnknown context;
    EXPECT_EQ(factory->setHostContext(&context), kResultOk);
    EXPECT_EQ(context.references, 2);
    factory = nullptr;
    EXPECT_EQ(context.references, 1);
}

TEST(PluginFactoryLifetime, clearsTheModulePointerOnlyWhenTheModuleFactoryIsDestroyed)
{
    PFactoryInfo info("V", "http://v", "mailto:v@v", 0);
    auto* moduleFactory = new CPluginFactory(info);
    gPluginFactory = moduleFactory;
    EXPECT_EQ(moduleFactory->addRef(), 2u);

    // Destroying some other factory leaves the module's pointer alone.
    auto* other = new CPluginFactory(info);
    EXPECT_EQ(other->release(), 0u);
    EXPECT_EQ(gPluginFactory, moduleFactory);

    EXPECT_EQ(moduleFactory->release(), 1u);
    EXPECT_EQ(gPluginFactory, moduleFactory);
    EXPECT_EQ(moduleFactory->release(), 0u);
    EXPECT_EQ(gPluginFactory, nullptr);
}

} // namespace
