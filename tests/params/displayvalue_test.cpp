// Display values (LV2's port values) against the parameters' own reading of the same number as
// text: both must give the same normalized value to the bit, or LV2 and VST 3 sound different.
#include "parametertestutil.h"

#include "displayvalue.h"
#include "paramtable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace Quorvane;
using namespace QuorvaneTest;

namespace
{

TEST(DisplayValueTest, AValueGivesWhatTheSameNumberTypedGives)
{
    const float values[] = {-1e30f, -200.f, -76.f, -41.3f, -20.f, -0.5f, 0.f,   0.001f, 0.1f,
                            0.5f,   0.51f,  1.f,   2.5f,   35.f,  37.f,  123.f, 999.f,  1e30f};
    for (ParamID id = 0; id < kNumInputParams; ++id)
    {
        IPtr<Parameter> parameter = Steinberg::owned(createParameter(id));
        for (float value : values)
        {
            char text[64];
            std::snprintf(text, sizeof(text), "%.9g", double(value));
            ParamValue typed = -1., given = -1.;
            ASSERT_TRUE(parse(*parameter, text, typed)) << id << " " << text;
            ASSERT_TRUE(normalizedFromDisplay(id, value, given)) << id << " " << text;
            EXPECT_EQ(given, typed) << "ID " << id << " at " << text;
        }
    }
}

TEST(DisplayValueTest, EveryValueShownIsFiniteAndInRangeAndBadInputIsRefused)
{
    const ParamValue normalized[] = {-1., 0., 0.25, 0.5, 1., 2., std::nan(""), INFINITY};
    for (ParamID id = 0; id < kNumParams; ++id)
    {
        const DisplayRange range = displayRange(id);
        EXPECT_GE(range.defaultValue, range.minimum) << id;
        EXPECT_LE(range.defaultValue, range.maximum) << id;
        for (ParamValue n : normalized)
        {
            const float shown = displayFromNormalized(id, n);
            EXPECT_TRUE(std::isfinite(shown)) << id << " " << n;
            EXPECT_GE(shown, range.minimum) << id << " " << n;
            EXPECT_LE(shown, range.maximum) << id << " " << n;
        }
        ParamValue untouched = 0.25;
        EXPECT_FALSE(normalizedFromDisplay(id, std::nanf(""), untouched));
        EXPECT_FALSE(normalizedFromDisplay(id, -INFINITY, untouched));
        EXPECT_EQ(untouched, 0.25);
    }
}

} // namespace
