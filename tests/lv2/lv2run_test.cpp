// The LV2 wrapper around the processor, driven directly as a host's audio thread drives it.
// Its own program: the allocation counter replaces the global allocation functions, which
// ThreadSanitizer's runtime (tests/lv2's other program runs under it) also does.
#include "again.h"
#include "againcontroller.h"
#include "allocationcounter.h"
#include "lv2plugin.h"
#include "lv2ports.h"
#include "lv2testhost.h"

#include <gtest/gtest.h>

#include <memory>

namespace Quorvane::Test
{
namespace
{

using namespace Steinberg::Vst;

// The audio thread's part: run, with port changes in every block and meters to report, neither
// allocates nor frees.
TEST(Lv2PluginRun, NeverAllocatesEvenWhenEveryPortChanges)
{
    for (const Lv2Variant& variant : kLv2Variants)
    {
        SCOPED_TRACE(variant.name);
        using Steinberg::IPtr;
        IPtr<IComponent> component = Steinberg::owned(static_cast<IComponent*>(new again));
        IPtr<IEditController> controller =
            Steinberg::owned(static_cast<IEditController*>(new againController));
        std::unique_ptr<Lv2Plugin> plugin(
            Lv2Plugin::create(component, controller, lv2PortLayout(variant), 48000., nullptr));
        ASSERT_NE(plugin, nullptr);
        float ports[kNumParams] = {};
        std::vector<std::vector<float>> audio(
            size_t(2 * variant.mainChannels + variant.sideChainChannels),
            burstSignal(Lv2Plugin::kMaxBlock + 100, 2, 300));
        for (uint32_t i = 0; i < kNumParams; ++i)
            plugin->connectPort(i, &ports[i]);
        for (size_t c = 0; c < audio.size(); ++c)
            plugin->connectPort(uint32_t(kNumParams + c), audio[c].data());
        plugin->activate();
        plugin->run(256);
        QuorvaneTest::AllocationProbe probe;
        for (int block = 0; block < 20; ++block)
        {
            for (uint32_t i = 0; i < kNumInputParams; ++i)
                ports[i] = float(block % 3) * 0.4f;
            plugin->run(block == 10 ? Lv2Plugin::kMaxBlock + 100 : 256); // one run in two pieces
        }
        EXPECT_EQ(probe.count(), 0u);
        plugin->deactivate();
    }
}

} // namespace
} // namespace Quorvane::Test
