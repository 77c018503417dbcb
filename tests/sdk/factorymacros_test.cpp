#include "testeffect.h"

#include "public.sdk/source/main/pluginfactory.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const FUID kMacroEffectId(0x10203040, 0x50607080, 0x90A0B0C0, 0xD0E0F000);

} // namespace

// The module's factory as a plug-in's factory file writes it.
BEGIN_FACTORY_DEF("Macro Vendor", "http://macro.example", "mailto:macro@example")
DEF_CLASS2(INLINE_UID_FROM_FUID(kMacroEffectId), PClassInfo::kManyInstances, kVstAudioEffectClass,
           "Macro Effect", kDistributable, "Fx", "1.0.0", "VST 3.5.2",
           QuorvaneTest::TestEffect::createInstance)
DEF_CLASS(INLINE_UID(1, 1, 1, 1), 1, "Service", "Macro Service",
          QuorvaneTest::TestEffect::createInstance)
END_FACTORY

namespace
{

TEST(FactoryMacros, shareOneFactoryUntilItsLastReleaseAndThenBuildANewOne)
{
    ASSERT_EQ(gPluginFactory, nullptr);
    IPluginFactory* first = GetPluginFactory();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(gPluginFactory, first);
    IPluginFactory* second = GetPluginFactory();
    EXPECT_EQ(second, first);
    // Two callers hold it: releasing once leaves it alive.
    EXPECT_EQ(first->release(), 1u);
    EXPECT_EQ(gPluginFactory, first);
    EXPECT_EQ(second->release(), 0u);
    EXPECT_EQ(gPluginFactory, nullptr);

    IPluginFactory* rebuilt = GetPluginFactory();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(rebuilt->countClasses(), 2);
    EXPECT_EQ(rebuilt->release(), 0u);
}

TEST(FactoryMacros, registerTheClassRecordsAsWritten)
{
    IPtr<IPluginFactory> factory = owned(GetPluginFactory());
    PFactoryInfo info;
    ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "Macro Vendor");
    EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);

    FUnknownPtr<IPluginFactory2> factory2(factory);
    ASSERT_TRUE(factory2);
    PClassInfo2 effect;
    ASSERT_EQ(factory2->getClassInfo2(0, &effect), kResultOk);
    EXPECT_EQ(FUID::fromTUID(effect.cid), kMacroEffectId);
    EXPECT_STREQ(effect.name, "Macro Effect");
    EXPECT_STREQ(effect.category, "Audio Module Class");
    EXPECT_STREQ(effect.subCategories, "Fx");
    EXPECT_STREQ(effect.vendor, "");
    EXPECT_STREQ(effect.version, "1.0.0");
    EXPECT_STREQ(effect.sdkVersion, "VST 3.5.2");

    PClassInfo service;
    ASSERT_EQ(factory->getClassInfo(1, &service), kResultOk);
    EXPECT_STREQ(service.name, "Macro Service");
    EXPECT_EQ(service.cardinality, 1);
}

} // namespace
