// Many create/initialize/terminate/release cycles through the factory: none may leave memory
// behind.
#include "heapusage.h"

#include "classids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <gtest/gtest.h>

#include <atomic>

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

// What a host hands to the plug-in's objects (its context, its component handler, a connection
// point), counting the references the plug-in holds on it.
class HostObject : public IHostApplication, public IComponentHandler, public IConnectionPoint
{
public:
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
    {
        if (FUnknownPrivate::iidEqual(iid, IHostApplication::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid))
            *obj = static_cast<IHostApplication*>(this);
        else if (FUnknownPrivate::iidEqual(iid, IComponentHandler::iid))
            *obj = static_cast<IComponentHandler*>(this);
        else if (FUnknownPrivate::iidEqual(iid, IConnectionPoint::iid))
            *obj = static_cast<IConnectionPoint*>(this);
        else
        {
            *obj = nullptr;
            return kNoInterface;
        }
        addRef();
        return kResultOk;
    }
    uint32 PLUGIN_API addRef() override { return ++references; }
    uint32 PLUGIN_API release() override { return --references; }

    tresult PLUGIN_API getName(String128 name) override { return fallback.getName(name); }
    tresult PLUGIN_API createInstance(TUID cid, TUID iid, void** obj) override
    {
        return fallback.createInstance(cid, iid, obj);
    }
    tresult PLUGIN_API beginEdit(ParamID) override { return kResultOk; }
    tresult PLUGIN_API performEdit(ParamID, ParamValue) override { return kResultOk; }
    tresult PLUGIN_API endEdit(ParamID) override { return kResultOk; }
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
    tresult PLUGIN_API connect(IConnectionPoint*) override { return kResultOk; }
    tresult PLUGIN_API disconnect(IConnectionPoint*) override { return kResultOk; }
    tresult PLUGIN_API notify(IMessage*) override { return kResultOk; }

    std::atomic<uint32> references {1};   // the host's own

private:
    HostApplication fallback;
};

// Hosts do not always terminate before they release, nor release in one order: whatever the
// host gave is given back once the host has released everything of the plug-in's.
TEST(Lifecycle, ObjectsReleasedWithoutTerminateGiveBackWhatTheHostGave)
{
    IPluginFactory* factory = GetPluginFactory();
    ASSERT_NE(factory, nullptr);
    enum Order { kReleaseOnly, kViewOutlivesController, kHandlerAfterTerminate, kProcessor };
    for (Order order : {kReleaseOnly, kViewOutlivesController, kHandlerAfterTerminate, kProcessor})
    {
        SCOPED_TRACE(order);
        HostObject host;
        FUnknown* object = nullptr;
        const FUID& cid = order == kProcessor ? Quorvane::kProcessorUID : Quorvane::kControllerUID;
        ASSERT_EQ(factory->createInstance(cid.toTUID(), FUnknown::iid, reinterpret_cast<void**>(&object)), kResultOk);
        FUnknownPtr<IPluginBase> base(object);
        FUnknownPtr<IConnectionPoint> point(object);
        FUnknownPtr<IEditController> controller(object);
        object->release();
        ASSERT_EQ(base->initialize(static_cast<IHostApplication*>(&host)), kResultOk);
        ASSERT_EQ(point->connect(&host), kResultOk);
        IPlugView* view = nullptr;
        if (controller)
        {
            if (order == kHandlerAfterTerminate)
                base->terminate();
            controller->setComponentHandler(&host);
            if (order == kViewOutlivesController)
                view = controller->createView("editor");
        }
        EXPECT_GT(host.references.load(), 1u);
        base = nullptr;
        point = nullptr;
        controller = nullptr;
        if (view)
            view->release();
        EXPECT_EQ(host.references.load(), 1u);
    }
    factory->release();
}

} // namespace
