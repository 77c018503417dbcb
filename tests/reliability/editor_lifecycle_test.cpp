// Many editor openings (platforms with an editor only): none may leave memory behind.
#include "heapusage.h"

#include "againcontroller.h"
#include "againeditorview.h"
#include "paramids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using QuorvaneTest::kHeapSlack;

namespace
{

TEST(Lifecycle, EditorOpenedAndClosedAThousandTimesLeavesNothingBehind)
{
    HostApplication host;
    auto* controller = new Quorvane::againController;
    ASSERT_EQ(controller->initialize(&host), kResultOk);

    auto openAndClose = [controller](int i)
    {
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
