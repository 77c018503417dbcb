// The controller and the editors attached to host windows (platforms with an editor only).
#include "againeditorview.h"
#include "controllerfixture.h"
#include "paramids.h"
#include "teststreams.h"

#include "vstgui/ccontrol.h"
#include "vstgui/cvstguitimer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Quorvane;

namespace
{

// An editor attached to a (pretend) host window, as the controller sees it.
struct AttachedEditor
{
    explicit AttachedEditor(againController* c) : view(new againEditorView(c))
    {
        view->openOffscreen();
    }
    ~AttachedEditor()
    {
        view->removed();
        view->release();
    }
    againEditorView* view;
};

} // namespace

TEST_F(ControllerTest, ForwardsEveryValueToAttachedEditorsOnly)
{
    AttachedEditor first(controller);
    {
        AttachedEditor second(controller);
        ASSERT_EQ(controller->attachedEditors().size(), 2u);
        controller->setParamNormalized(kMaxGateId, 0.7);
        EXPECT_FLOAT_EQ(first.view->pendingMeterValue(2), 0.7f);
        EXPECT_FLOAT_EQ(second.view->pendingMeterValue(2), 0.7f);
        EXPECT_EQ(controller->setParamNormalized(99, 0.5), kResultFalse);
    }
    ASSERT_EQ(controller->attachedEditors().size(), 1u);
    EXPECT_EQ(controller->attachedEditors()[0], first.view);

    // Meter readings outside 0..1 reach the editor unclamped.
    controller->setParamNormalized(kMinVuId, -5.5);
    EXPECT_FLOAT_EQ(first.view->pendingMeterValue(1), -5.5f);

    // Values that are not numbers reach neither the parameter nor the editors.
    EXPECT_EQ(controller->setParamNormalized(kMaxGateId, std::nan("")), kInvalidArgument);
    EXPECT_EQ(controller->setParamNormalized(kThresholdId, INFINITY), kInvalidArgument);
    EXPECT_FLOAT_EQ(first.view->pendingMeterValue(2), 0.7f);
    EXPECT_NEAR(controller->getParamNormalized(kThresholdId), 0.2631579, 1e-7);

    controller->terminate();
    EXPECT_TRUE(controller->attachedEditors().empty());
    controller->setParamNormalized(kMaxVuId, 0.3);
    EXPECT_FLOAT_EQ(first.view->pendingMeterValue(0), 0.f);
    controller->initialize(&host);
}

// Hosts call the controller from workers too (a project loading): what reaches the editors from
// another thread waits for a tick of their timer, on their own thread, and then shows the value
// given last, whichever thread gave it.
TEST_F(ControllerTest, ValuesGivenOnAnotherThreadReachTheEditorsOnTheirTimer)
{
    AttachedEditor editor(controller);
    auto tick = [&editor] { editor.view->notify(nullptr, VSTGUI::CVSTGUITimer::kMsgTimer); };
    auto threshold = [&editor] { return editor.view->valueControl(kThresholdId)->getValue(); };
    auto onAWorker = [](auto work) { std::thread(work).join(); };
    const float shown = threshold();

    onAWorker(
        [this]
        {
            QuorvaneTest::ByteStream zeros(std::vector<unsigned char>(68, 0));
            controller->setComponentState(&zeros);
            controller->setParamNormalized(kMaxGateId, -2.0);
        });
    EXPECT_NE(shown, 0.f);
    EXPECT_FLOAT_EQ(threshold(), shown);
    EXPECT_FLOAT_EQ(editor.view->pendingMeterValue(2), 0.f);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(kThresholdId), 0.);
    tick();
    EXPECT_FLOAT_EQ(threshold(), 0.f);
    EXPECT_FLOAT_EQ(editor.view->pendingMeterValue(2), -2.f) << "as given, unclamped";

    // A value the editors' thread gives after a worker's stays.
    onAWorker([this] { controller->setParamNormalized(kThresholdId, 0.75); });
    controller->setParamNormalized(kThresholdId, 0.5);
    tick();
    EXPECT_FLOAT_EQ(threshold(), 0.5f);
}

// removed() is the host's duty, but a host may release an attached view without it: the
// controller must not keep the dead editor in its list.
TEST_F(ControllerTest, AViewReleasedWhileAttachedLeavesTheEditorList)
{
    auto* view = static_cast<againEditorView*>(controller->createView("editor"));
    ASSERT_EQ(view->openOffscreen(), kResultOk);
    ASSERT_EQ(controller->attachedEditors().size(), 1u);
    EXPECT_EQ(view->release(), 0u);
    EXPECT_TRUE(controller->attachedEditors().empty());
    controller->setParamNormalized(kThresholdId, 0.5);
    QuorvaneTest::ByteStream state(std::vector<unsigned char>(68, 0));
    EXPECT_EQ(controller->setComponentState(&state), kResultOk);
}
