// Many create/initialize/terminate/release cycles through the factory: none may leave memory
// behind.
#include "heapusage.h"

#include "classids.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

// Creates, initializes, terminates and releases one instance of the class; false on any failure.
template <typename Interface> bool cycle(IPluginFactory* factory, const FUID& cid, FUnknown* host)
{
    Interface* object = nullptr;
    if (factory->createInstance(cid.toTUID(), Interface::iid, reinterpret_cast<void**>(&object)) !=
            kResultOk ||
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
        EXPECT_LE(after, before + QuorvaneTest::kHeapSlack)
            << "heap grew by " << (after - before) << " bytes";
    }
}

// A host's component handler that counts the references held on it.
class CountingHandler : public IComponentHandler
{
public:
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return ++references; }
    uint32 PLUGIN_API release() override { return --references; }
    tresult PLUGIN_API beginEdit(ParamID) override { return kResultOk; }
    tresult PLUGIN_API performEdit(ParamID, ParamValue) override { return kResultOk; }
    tresult PLUGIN_API endEdit(ParamID) override { return kResultOk; }
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
    uint32 references = 1; // the host's own
};

// Hosts do not always terminate a controller before they release it, nor release in one order:
// the handler the host gave is given back once the host has released everything of the plug-in's.
TEST(Lifecycle, AControllerReleasedWithoutTerminateGivesBackTheHostsHandler)
{
    IPluginFactory* factory = GetPluginFactory();
    ASSERT_NE(factory, nullptr);
    enum Order
    {
        kReleaseOnly,
        kViewOutlivesController,
        kHandlerAfterTerminate
    };
    for (Order order : {kReleaseOnly, kViewOutlivesController, kHandlerAfterTerminate})
    {
        SCOPED_TRACE(order);
        HostApplication host;
        CountingHandler handler;
        IEditController* controller = nullptr;
        ASSERT_EQ(factory->createInstance(Quorvane::kControllerUID.toTUID(), IEditController::iid,
                                          reinterpret_cast<void**>(&controller)),
                  kResultOk);
        ASSERT_EQ(controller->initialize(&host), kResultOk);
        if (order == kHandlerAfterTerminate)
            controller->terminate();
        controller->setComponentHandler(&handler);
        IPlugView* view =
            order == kViewOutlivesController ? controller->createView("editor") : nullptr;
        EXPECT_EQ(handler.references, 2u);
        controller->release();
        if (view)
            view->release();
        EXPECT_EQ(handler.references, 1u);
    }
    factory->release();
}

} // namespace
