#include "vst2parameterslots.h"

#include "public.sdk/source/vst/hosting/parameterchanges.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

struct Taken
{
    ParamID id;
    ParamValue value;
};

// What takeInto hands over, queue by queue: the parameter and its single point's value.
std::vector<Taken> takeAll(Vst2ParameterSlots& slots, int32 maxParameters = 8)
{
    ParameterChanges changes(maxParameters);
    slots.takeInto(changes);
    std::vector<Taken> taken;
    for (int32 i = 0; i < changes.getParameterCount(); ++i)
    {
        IParamValueQueue* queue = changes.getParameterData(i);
        EXPECT_EQ(queue->getPointCount(), 1);
        int32 offset = -1;
        ParamValue value = -1.;
        EXPECT_EQ(queue->getPoint(0, offset, value), kResultTrue);
        EXPECT_EQ(offset, 0);
        taken.push_back({queue->getParameterId(), value});
    }
    return taken;
}

const ParamID kIds[] = {10, 1, 0, 7};

} // namespace

TEST(Vst2ParameterSlots, HandsOverTheLastValueOfEachParameterOnceInIndexOrder)
{
    Vst2ParameterSlots slots(kIds, 4);
    EXPECT_TRUE(takeAll(slots).empty());

    slots.post(3, 0.1);
    slots.post(0, 0.2);
    slots.post(3, 0.3);
    slots.post(4, 0.9); // no such index
    slots.post(-1, 0.9);
    auto taken = takeAll(slots);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].id, 10u);
    EXPECT_EQ(taken[0].value, 0.2);
    EXPECT_EQ(taken[1].id, 7u);
    EXPECT_EQ(taken[1].value, 0.3);
    EXPECT_TRUE(takeAll(slots).empty());
    EXPECT_FALSE(slots.isPending(0));
    EXPECT_FALSE(slots.isPending(3));

    // More pending values than the list has room for: those that fit are passed on.
    for (int32 i = 0; i < 4; ++i)
        slots.post(i, 0.5);
    EXPECT_EQ(takeAll(slots, 3).size(), 3u);
}

TEST(Vst2ParameterSlots, FindsParametersByIdWhetherOrNotTheyAreNumberedByIndex)
{
    Vst2ParameterSlots slots(kIds, 4);
    slots.postById(1, 0.25); // index 1 has ID 1
    slots.postById(0, 0.5);  // index 0 has ID 10: ID 0 is at index 2
    slots.postById(7, 0.75);
    slots.postById(5, 1.0); // unknown
    EXPECT_FALSE(slots.isPending(0));
    ParamValue value = 0.;
    ASSERT_TRUE(slots.take(1, value));
    EXPECT_EQ(value, 0.25);
    ASSERT_TRUE(slots.take(2, value));
    EXPECT_EQ(value, 0.5);
    ASSERT_TRUE(slots.take(3, value));
    EXPECT_EQ(value, 0.75);
    EXPECT_FALSE(slots.take(0, value));
}

// Values taken one by one are not handed over again; the others still are, also those posted
// after everything pending had been taken.
TEST(Vst2ParameterSlots, TakingSingleValuesLeavesTheRestForTheNextBlock)
{
    Vst2ParameterSlots slots(kIds, 4);
    slots.post(0, 0.1);
    slots.post(2, 0.2);
    ParamValue value = 0.;
    ASSERT_TRUE(slots.take(0, value));
    auto taken = takeAll(slots);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].id, 0u);
    EXPECT_EQ(taken[0].value, 0.2);

    slots.post(1, 0.3);
    ASSERT_TRUE(slots.take(1, value));
    EXPECT_TRUE(takeAll(slots).empty());
    slots.post(1, 0.4);
    taken = takeAll(slots);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].value, 0.4);

    slots.post(3, 0.5);
    slots.clear();
    EXPECT_TRUE(takeAll(slots).empty());
}

// One thread posts while another takes block after block: once the poster is done, the last
// value of every parameter has been handed over, none later than a newer one.
TEST(Vst2ParameterSlots, NoValuePostedDuringATakeIsLost)
{
    constexpr int kValues = 20000;
    Vst2ParameterSlots slots(kIds, 4);
    std::atomic<bool> done{false};
    std::thread poster(
        [&]
        {
            for (int v = 1; v <= kValues; ++v)
                slots.post(v % 4, v);
            done.store(true);
        });
    ParamValue last[4] = {0., 0., 0., 0.};
    auto takeBlock = [&]
    {
        for (const Taken& t : takeAll(slots))
        {
            const int32 index = t.id == 10 ? 0 : t.id == 1 ? 1 : t.id == 0 ? 2 : 3;
            EXPECT_GT(t.value, last[index]);
            last[index] = t.value;
        }
    };
    while (!done.load())
        takeBlock();
    poster.join();
    takeBlock();
    for (int32 i = 0; i < 4; ++i)
        EXPECT_EQ(last[i], kValues - (kValues - i) % 4) << i;
}
