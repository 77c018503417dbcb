// Many create/initialize/terminate/release cycles through the factory: none may leave memory
// behind.
#include "heapusage.h"

#include "classids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Creates, initializes, terminates and releases one instance of the class; false on any failure.
template <typename Interface> bool cycle(IPluginFactory* factory, const FUID& cid, FUnknown* host)
{
    Interface* object = nullptr;
    if (factory->createInstance(cid.toTUID(), Interface::iid, reinterpret_cast<void**>(&object)) != kResultOk ||
        !object)
        return false;
    const bool ok = object->initialize(host) == kResultOk && object->terminate() == kResultOk;
    object->release();
    return ok;
}

bool bothClasses(IPluginFactory* factory, FUnknown* host)
{
    return cycle<IComponent>(factory, Quorvane::kProcessorUID, host) &&
           cycle<IEditController>(factory, Quorvane::kControllerUID, host);
}

TEST(Lifecycle, TenThousandCyclesOfBothClassesThroughTheFactoryLeaveNothingBehind)
{
    HostApplication host;
    IPluginFactory* factory = GetPluginFactory();
    ASSERT_NE(factory, nullptr);

    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(bothClasses(factory, &host));
    const size_t before = QuorvaneTest::heapBytesInUse();
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(bothClasses(factory, &host)) << "cycle " << i;
    const size_t after = QuorvaneTest::heapBytesInUse();
    factory->release();

    if (QuorvaneTest::heapIsMeasurable())
    {
        EXPECT_LE(after, before + QuorvaneTest::kHeapSlack) << "heap grew by " << (after - before) << " bytes";
    }
}

} // namespace
