// The controller and the editors attached to host windows (platforms with an editor only).
#include "againeditorview.h"
#include "controllerfixture.h"
#include "paramids.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Quorvane;

namespace {

// An editor attached to a (pretend) host window, as the controller sees it.
struct AttachedEditor
{
    explicit AttachedEditor(againController* c) : view(new againEditorView(c)) { view->openOffscreen(); }
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
