// Many create/initialize/terminate/release cycles through the factory, and many editor openings:
// none of them may leave memory behind.
#include "heapusage.h"

#include "againcontroller.h"
#include "againeditorview.h"
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

// A leak of even one small object per cycle grows the heap by far more than this.
constexpr size_t kHeapSlack = 64 * 1024;

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
        EXPECT_LE(after, before + kHeapSlack) << "heap grew by " << (after - before) << " bytes";
    }
}

TEST(Lifecycle, EditorOpenedAndClosedAThousandTimesLeavesNothingBehind)
{
    HostApplication host;
    auto* controller = new Quorvane::againController;
    ASSERT_EQ(controller->initialize(&host), kResultOk);

    auto openAndClose = [controller](int i) {
        auto* view = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->openOffscreen(), kResultOk) << "opening " << i;
        ASSERT_EQ(controller->attachedEditors().size(), 1u);
        // Drive a parameter through the open editor, as a host's automation would.
        controller->setParamNormalized(Quorvane::kThresholdId, (i % 10) / 10.0);
        ASSERT_EQ(view->removed(), kResultOk);
        EXPECT_EQ(view->release(), 0u);
    };

    for (int i = 0; i < 20; ++i)
        openAndClose(i);
    const size_t before = QuorvaneTest::heapBytesInUse();
    for (int i = 0; i < 1000; ++i)
    {
        openAndClose(i);
        if (HasFatalFailure())
            break;
    }
    const size_t after = QuorvaneTest::heapBytesInUse();
    EXPECT_TRUE(controller->attachedEditors().empty());

    controller->terminate();
    controller->release();
    if (QuorvaneTest::heapIsMeasurable())
    {
        EXPECT_LE(after, before + kHeapSlack) << "heap grew by " << (after - before) << " bytes";
    }
}

} // namespace
