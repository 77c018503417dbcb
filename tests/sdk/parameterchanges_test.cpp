#include "allocationcounter.h"

#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

struct Point
{
    int32 offset;
    ParamValue value;
};

std::vector<Point> pointsOf(IParamValueQueue& queue)
{
    std::vector<Point> points;
    for (int32 i = 0; i < queue.getPointCount(); ++i)
    {
        Point p{};
        EXPECT_EQ(queue.getPoint(i, p.offset, p.value), kResultTrue);
        points.push_back(p);
    }
    return points;
}

TEST(ParameterValueQueue, keepsPointsInSampleOrderAndReportsTheirIndex)
{
    ParameterValueQueue queue(7, 8);
    EXPECT_EQ(queue.getParameterId(), 7u);
    int32 index = -1;
    EXPECT_EQ(queue.addPoint(10, 0.25, index), kResultTrue);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(queue.addPoint(40, 0.75, index), kResultTrue);
    EXPECT_EQ(index, 1);
    // A point for an earlier sample goes before the later ones.
    EXPECT_EQ(queue.addPoint(0, 0.5, index), kResultTrue);
    EXPECT_EQ(index, 0);
    // A second point for a taken sample replaces the value there.
    EXPECT_EQ(queue.addPoint(40, 1.0, index), kResultTrue);
    EXPECT_EQ(index, 2);

    const auto points = pointsOf(queue);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].offset, 0);
    EXPECT_EQ(points[0].value, 0.5);
    EXPECT_EQ(points[1].offset, 10);
    EXPECT_EQ(points[2].offset, 40);
    EXPECT_EQ(points[2].value, 1.0);

    // Less room keeps the earliest points, more room keeps them all; the last point is what a
    // host reads back.
    ParamValue last = 0;
    queue.setMaxPoints(2);
    ASSERT_TRUE(queue.lastValue(last));
    EXPECT_EQ(last, 0.25);
    EXPECT_EQ(queue.addPoint(50, 0.5, index), kResultFalse);
    queue.setMaxPoints(4);
    EXPECT_EQ(queue.addPoint(5, 0.125, index), kResultTrue);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(pointsOf(queue)[2].value, 0.25);
    queue.clear();
    EXPECT_FALSE(queue.lastValue(last));
}

TEST(ParameterValueQueue, refusesReadsOutsideItsPointsAndWritesPastItsCapacity)
{
    ParameterValueQueue queue(1, 2);
    int32 offset = 123;
    ParamValue value = 0.125;
    EXPECT_EQ(queue.getPoint(0, offset, value), kResultFalse);

    int32 index = 0;
    ASSERT_EQ(queue.addPoint(0, 0.1, index), kResultTrue);
    ASSERT_EQ(queue.addPoint(5, 0.2, index), kResultTrue);
    EXPECT_EQ(queue.getPoint(-1, offset, value), kResultFalse);
    EXPECT_EQ(queue.getPoint(2, offset, value), kResultFalse);
    EXPECT_EQ(offset, 123);
    EXPECT_EQ(value, 0.125);

    EXPECT_EQ(queue.addPoint(9, 0.3, index), kResultFalse);
    EXPECT_EQ(queue.addPoint(2, 0.3, index), kResultFalse);
    EXPECT_EQ(queue.addPoint(-1, 0.3, index), kInvalidArgument);
    // Replacing needs no room.
    EXPECT_EQ(queue.addPoint(5, 0.4, index), kResultTrue);
    EXPECT_EQ(queue.getPointCount(), 2);
    EXPECT_EQ(pointsOf(queue)[1].value, 0.4);
}

TEST(ParameterChanges, keepsOneQueuePerParameterWithinItsCapacity)
{
    ParameterChanges changes(2);
    int32 index = -1;
    IParamValueQueue* threshold = changes.addParameterData(6, index);
    ASSERT_NE(threshold, nullptr);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(threshold->getParameterId(), 6u);
    IParamValueQueue* range = changes.addParameterData(7, index);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(index, 1);
    // The same parameter again gives its existing queue.
    EXPECT_EQ(changes.addParameterData(6, index), threshold);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(changes.addParameterData(8, index), nullptr);
    EXPECT_EQ(index, -1);

    EXPECT_EQ(changes.getParameterCount(), 2);
    EXPECT_EQ(changes.getParameterData(0), threshold);
    EXPECT_EQ(changes.getParameterData(1), range);
    EXPECT_EQ(changes.getParameterData(-1), nullptr);
    EXPECT_EQ(changes.getParameterData(2), nullptr);
}

TEST(ParameterChanges, startsEachBlockEmptyAfterClearQueue)
{
    ParameterChanges changes(4);
    int32 index = 0;
    changes.addParameterData(3, index)->addPoint(0, 1.0, index);
    changes.clearQueue();
    EXPECT_EQ(changes.getParameterCount(), 0);
    EXPECT_EQ(changes.getParameterData(0), nullptr);

    IParamValueQueue* queue = changes.addParameterData(9, index);
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(queue->getParameterId(), 9u);
    EXPECT_EQ(queue->getPointCount(), 0);
}

// IDs below the number of queues are found without a search, larger ones by one: either way a
// parameter keeps its single queue, also across a resize and after the list was emptied.
TEST(ParameterChanges, findsTheQueueOfEveryParameterAgainWhateverItsId)
{
    ParameterChanges changes(4);
    const ParamID ids[] = {2, 1000000, 0, 3};
    std::vector<IParamValueQueue*> queues;
    for (ParamID id : ids)
    {
        int32 index = -1;
        queues.push_back(changes.addParameterData(id, index));
        ASSERT_NE(queues.back(), nullptr);
        EXPECT_EQ(index, static_cast<int32>(queues.size()) - 1);
    }
    for (size_t i = 0; i < queues.size(); ++i)
    {
        int32 index = -1;
        EXPECT_EQ(changes.addParameterData(ids[i], index), queues[i]) << ids[i];
        EXPECT_EQ(index, static_cast<int32>(i)) << ids[i];
    }
    EXPECT_EQ(changes.getParameterCount(), 4);

    // Larger: ID 5 now has room for a note of its own, ID 3 keeps its queue.
    changes.setMaxParameters(8);
    int32 index = -1;
    EXPECT_EQ(changes.addParameterData(3, index), queues[3]);
    EXPECT_EQ(index, 3);
    EXPECT_NE(changes.addParameterData(5, index), nullptr);
    EXPECT_EQ(index, 4);
    EXPECT_EQ(changes.addParameterData(5, index)->getParameterId(), 5u);
    EXPECT_EQ(changes.getParameterCount(), 5);

    // Smaller: the queues that remain are found, the others are gone.
    changes.setMaxParameters(2);
    EXPECT_EQ(changes.getParameterCount(), 2);
    EXPECT_EQ(changes.addParameterData(1000000, index), queues[1]);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(changes.addParameterData(2, index), queues[0]);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(changes.addParameterData(0, index), nullptr);

    // After emptying, the same IDs in another order get queues in that order, without points.
    changes.clearQueue();
    IParamValueQueue* first = changes.addParameterData(1000000, index);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(first->getParameterId(), 1000000u);
    EXPECT_EQ(first->getPointCount(), 0);
    IParamValueQueue* second = changes.addParameterData(1, index);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(second->getParameterId(), 1u);
    EXPECT_EQ(second->getPointCount(), 0);
    EXPECT_EQ(changes.addParameterData(2, index), nullptr);
    EXPECT_EQ(changes.addParameterData(1, index), second);
}

TEST(ParameterChanges, growsAndShrinksItsReservedQueuesOnRequest)
{
    ParameterChanges changes;
    int32 index = 0;
    EXPECT_EQ(changes.addParameterData(1, index), nullptr);
    changes.setMaxParameters(3);
    changes.setMaxPointsPerQueue(1);
    IParamValueQueue* queue = changes.addParameterData(1, index);
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(queue->addPoint(0, 0.5, index), kResultTrue);
    EXPECT_EQ(queue->addPoint(1, 0.5, index), kResultFalse);
    changes.addParameterData(2, index);
    changes.setMaxParameters(1);
    EXPECT_EQ(changes.getMaxParameters(), 1);
    EXPECT_EQ(changes.getParameterCount(), 1);
}

TEST(ParameterChanges, fillsAndEmptiesBlockAfterBlockWithoutAllocating)
{
    ParameterChanges changes(22, 4);
    QuorvaneTest::AllocationProbe scope;
    for (int block = 0; block < 50; ++block)
    {
        changes.clearQueue();
        for (ParamID id = 0; id < 22; ++id)
        {
            int32 index = 0;
            IParamValueQueue* queue = changes.addParameterData(id, index);
            ASSERT_NE(queue, nullptr);
            for (int32 offset = 3; offset >= 0; --offset)
                ASSERT_EQ(queue->addPoint(offset * 16, 0.1 * offset, index), kResultTrue);
        }
        int32 spare = 0;
        EXPECT_EQ(changes.addParameterData(99, spare), nullptr);
    }
    EXPECT_EQ(scope.count(), 0u);
}

TEST(ParameterChanges, answersItsInterfaceAndLivesByReference)
{
    auto* changes = new ParameterChanges(1);
    void* obj = nullptr;
    ASSERT_EQ(changes->queryInterface(IParameterChanges::iid, &obj), kResultOk);
    EXPECT_EQ(obj, static_cast<IParameterChanges*>(changes));
    EXPECT_EQ(changes->release(), 1u);
    obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(changes->queryInterface(IParamValueQueue::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);

    int32 index = 0;
    IParamValueQueue* queue = changes->addParameterData(5, index);
    ASSERT_EQ(queue->queryInterface(IParamValueQueue::iid, &obj), kResultOk);
    static_cast<IParamValueQueue*>(obj)->release();
    EXPECT_EQ(changes->release(), 0u);
}

} // namespace
