// The LV2 plug-ins in a lilv host: their ports against the parameters' own texts, running, the
// state, the presets and bad port values.
#include "lv2testhost.h"

#include "lv2ports.h"
#include "paramtable.h"

#include "public.sdk/source/vst/vstparameters.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/units/units.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace Quorvane::Test
{
namespace
{

using namespace Steinberg::Vst;

struct ShownValue
{
    float value;
    float tolerance; // half the last shown decimal
    std::string unit;
};

// What the parameter shows for a normalized value, read as a number: " off" reads as 0.
ShownValue shown(uint32_t id, ParamValue normalized)
{
    Steinberg::IPtr<Parameter> parameter = Steinberg::owned(createParameter(id));
    String128 text{};
    parameter->toString(normalized, text);
    std::string s;
    for (const TChar* c = text; *c; ++c)
        s += char(*c);
    if (s == " off" || s == "Off" || s == "On")
        return {s == "On" ? 1.f : 0.f, 0.f, s == " off" ? "off" : ""};
    const size_t dot = s.find('.');
    const size_t end = s.find_first_not_of("-0123456789.");
    const int decimals = dot == std::string::npos ? 0 : int(end - dot - 1);
    const std::string unit =
        end == std::string::npos ? "" : s.substr(s.find_first_not_of(' ', end));
    return {std::stof(s), 0.5f * std::pow(10.f, float(-decimals)) * 1.0001f, unit};
}

const char* unitUri(const std::string& shownUnit)
{
    if (shownUnit == "dB")
        return LV2_UNITS__db;
    if (shownUnit == "ms")
        return LV2_UNITS__ms;
    if (shownUnit == "%")
        return LV2_UNITS__pc;
    return nullptr;
}

class Lv2Host : public ::testing::Test
{
protected:
    Lv2TestWorld world;

    static Channels signalFor(const Lv2TestInstance& instance, int frames = 24000)
    {
        Channels in;
        for (int c = 0; c < instance.audioInputs(); ++c)
            in.push_back(burstSignal(frames, c + 1, 3000 + 700 * c));
        return in;
    }
};

TEST_F(Lv2Host, EveryControlPortHasTheRangeDefaultAndUnitTheParameterShows)
{
    LilvNode* unitPredicate = lilv_new_uri(world.world(), LV2_UNITS__unit);
    for (const Lv2Variant& variant : kLv2Variants)
    {
        const LilvPlugin* plugin = world.plugin(variant.uri);
        ASSERT_NE(plugin, nullptr) << variant.uri;
        for (uint32_t id = 0; id < kNumInputParams; ++id)
        {
            SCOPED_TRACE(std::string(variant.name) + " port " + lv2Symbol(id));
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, id);
            const PortRange range = portRange(plugin, id);
            const ShownValue at0 = shown(id, 0.), at1 = shown(id, 1.);
            const ShownValue atDefault = shown(id, infoDefault(id));
            EXPECT_NEAR(range.minimum, std::min(at0.value, at1.value),
                        std::max(at0.tolerance, at1.tolerance));
            EXPECT_NEAR(range.maximum, std::max(at0.value, at1.value),
                        std::max(at0.tolerance, at1.tolerance));
            EXPECT_NEAR(range.defaultValue, atDefault.value, atDefault.tolerance);
            LilvNodes* units = lilv_port_get_value(plugin, port, unitPredicate);
            const char* expected = unitUri(at1.unit);
            if (expected)
            {
                EXPECT_STREQ(units ? lilv_node_as_uri(lilv_nodes_get_first(units)) : "", expected);
            }
            else
            {
                EXPECT_EQ(units, nullptr);
            }
            lilv_nodes_free(units);
        }
    }
    lilv_node_free(unitPredicate);
}

TEST_F(Lv2Host, EveryVariantGatesInPlaceOrNotWithFiniteMetersInRange)
{
    for (const Lv2Variant& variant : kLv2Variants)
    {
        SCOPED_TRACE(variant.name);
        Lv2TestInstance instance(world, variant.uri);
        instance.control("threshold") = -30.f;
        const Channels in = signalFor(instance);
        const Channels out = instance.run(in);
        ASSERT_EQ(out.size(), size_t(variant.mainChannels));
        Lv2TestInstance inPlace(world, variant.uri);
        inPlace.control("threshold") = -30.f;
        EXPECT_EQ(inPlace.run(in, 256, true), out) << "in place";
        float quietest = 1.f;
        for (const auto& channel : out)
            for (size_t i = 3000; i < 6000; ++i) // a quiet stretch of the first input
            {
                ASSERT_TRUE(std::isfinite(channel[i]));
                quietest = std::min(quietest, std::abs(channel[i]));
            }
        if (!variant.sideChainChannels)
        {
            EXPECT_LT(quietest, 1e-4f) << "the gate never closed";
        }
        for (uint32_t id = kNumInputParams; id < kNumParams; ++id)
        {
            const float value = instance.control(lv2Symbol(id));
            const PortRange range = portRange(world.plugin(variant.uri), id);
            EXPECT_TRUE(value >= range.minimum && value <= range.maximum) << lv2Symbol(id);
        }
        EXPECT_EQ(instance.control("side_chain_monitor"), variant.sideChainChannels ? 1.f : 0.f);
    }
}

// Hosts restore a session's port values before the state, after it, or not at all (leaving
// whatever the ports held): the fresh instance must sound as the saved one did every time.
TEST_F(Lv2Host, StateRestoredIntoAFreshInstanceSoundsAsSavedWhateverTheHostDoesWithPorts)
{
    enum class Ports
    {
        before,
        after,
        leftAtDefaults,
        leftAtOtherValues,
    };
    for (const Lv2Variant& variant : {kLv2Variants[0], kLv2Variants[3]})
    {
        Lv2TestInstance saved(world, variant.uri);
        saved.control("threshold") = -41.3f;
        saved.control("hold") = 123.f;
        saved.control("ducking") = 1.f;
        saved.control("hysteresis") = -7.5f;
        const Channels in = signalFor(saved);
        saved.run(in);
        LilvState* state = saved.save();
        ASSERT_NE(state, nullptr);

        Lv2TestInstance reference(world, variant.uri);
        reference.setPorts(state);
        const Channels expected = reference.run(in);
        for (Ports order :
             {Ports::before, Ports::after, Ports::leftAtDefaults, Ports::leftAtOtherValues})
        {
            SCOPED_TRACE(std::string(variant.name) + " order " + std::to_string(int(order)));
            Lv2TestInstance fresh(world, variant.uri);
            if (order == Ports::leftAtOtherValues)
                fresh.control("threshold") = -10.f;
            if (order == Ports::before)
                fresh.setPorts(state);
            fresh.restore(state, false);
            if (order == Ports::after)
                fresh.setPorts(state);
            EXPECT_EQ(fresh.run(in), expected);
        }
        lilv_state_free(state);
    }
}

TEST_F(Lv2Host, EveryFactoryPresetAppliesToEveryVariantWithValuesInRange)
{
    std::ifstream source(QUORVANE_TEST_PRESET_SOURCE);
    size_t sections = 0;
    for (std::string line; std::getline(source, line);)
        sections += !line.empty() && line[0] == '[';
    LilvNode* presetClass = lilv_new_uri(world.world(), LV2_PRESETS__Preset);
    for (const Lv2Variant& variant : kLv2Variants)
    {
        SCOPED_TRACE(variant.name);
        const LilvPlugin* plugin = world.plugin(variant.uri);
        LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
        EXPECT_EQ(lilv_nodes_size(presets), sections);
        LILV_FOREACH(nodes, i, presets)
        {
            const LilvNode* preset = lilv_nodes_get(presets, i);
            lilv_world_load_resource(world.world(), preset);
            LilvState* state = lilv_state_new_from_world(world.world(), world.map(), preset);
            ASSERT_NE(state, nullptr) << lilv_node_as_uri(preset);
            Lv2TestInstance instance(world, variant.uri);
            const auto defaults = instance.controlValues();
            instance.setPorts(state);
            EXPECT_NE(instance.controlValues(), defaults) << lilv_node_as_uri(preset);
            for (uint32_t id = 0; id < kNumInputParams; ++id)
            {
                const float value = instance.control(lv2Symbol(id));
                const PortRange range = portRange(plugin, id);
                EXPECT_TRUE(value >= range.minimum && value <= range.maximum) << lv2Symbol(id);
            }
            lilv_state_free(state);
        }
        lilv_nodes_free(presets);
    }
    lilv_node_free(presetClass);
}

// A port value the parameter's typed text would refuse (not a number) leaves the value as it
// was; one beyond the range counts as the nearer end, as a typed one does.
TEST_F(Lv2Host, BadPortValuesAreTakenAsTheParametersTakeBadTexts)
{
    const float nan = std::nanf("");
    const float inf = INFINITY;
    struct Case
    {
        const char* symbol;
        float good, bad, sameAs; // sameAs NaN: the nearer end of the range
    } cases[] = {
        {"threshold", -30.f, nan, -30.f},    {"threshold", -30.f, inf, -30.f},
        {"threshold", -30.f, -1e30f, -76.f}, {"threshold", -30.f, 12.f, 0.f},
        {"hold", 50.f, 1e9f, nan},           {"release", 20.f, -5.f, nan},
        {"bypass", 0.f, nan, 0.f},           {"output_level", 0.f, 1e6f, nan},
        {"note_truncation", 0.f, -inf, 0.f},
    };
    const LilvPlugin* plugin = world.plugin(kLv2Variants[0].uri);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.symbol) + " " + std::to_string(c.bad));
        float sameAs = c.sameAs;
        if (std::isnan(c.sameAs)) // the nearer end of the port's range
        {
            uint32_t id = 0;
            while (std::string(lv2Symbol(id)) != c.symbol)
                ++id;
            const PortRange range = portRange(plugin, id);
            sameAs = c.bad > 0 ? range.maximum : range.minimum;
        }
        Lv2TestInstance bad(world, kLv2Variants[0].uri), good(world, kLv2Variants[0].uri);
        const Channels in = signalFor(bad, 12000);
        const Channels first(in.size(), std::vector<float>(in[0].begin(), in[0].begin() + 3000));
        bad.control(c.symbol) = c.good;
        good.control(c.symbol) = c.good;
        EXPECT_EQ(bad.run(first), good.run(first));
        bad.control(c.symbol) = c.bad;
        good.control(c.symbol) = sameAs;
        const Channels a = bad.run(in), b = good.run(in);
        EXPECT_EQ(a, b);
        for (const auto& channel : a)
            EXPECT_TRUE(std::all_of(channel.begin(), channel.end(),
                                    [](float x) { return std::isfinite(x); }));
    }
}

// Hosts save a session while the audio thread runs the plug-in (LV2 leaves that to them, and
// Ardour does it): the saved state must be whole, and nothing may race (run under
// ThreadSanitizer by scripts/test-tsan.sh).
TEST_F(Lv2Host, Lv2StressStateSavedWhileTheAudioThreadRuns)
{
    Lv2TestInstance instance(world, kLv2Variants[2].uri);
    const Channels in = signalFor(instance, 512);
    std::atomic<bool> stop{false};
    std::thread audio(
        [&]
        {
            uint32_t n = 0;
            while (!stop.load())
            {
                instance.control("threshold") = (++n % 2) ? -20.f : -40.f;
                instance.run(in);
            }
        });
    struct Saved
    {
        size_t size = 0;
        uint32_t type = 0;
    } saved;
    auto store =
        [](LV2_State_Handle handle, uint32_t, const void*, size_t size, uint32_t type, uint32_t)
    {
        *static_cast<Saved*>(handle) = {size, type};
        return LV2_STATE_SUCCESS;
    };
    const auto* state = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(instance.instance(), LV2_STATE__interface));
    ASSERT_NE(state, nullptr);
    const LV2_URID chunk = world.map()->map(world.map()->handle, LV2_ATOM__Chunk);
    for (int i = 0; i < 200; ++i)
    {
        ASSERT_EQ(state->save(lilv_instance_get_handle(instance.instance()), store, &saved, 0,
                              world.features()),
                  LV2_STATE_SUCCESS);
        EXPECT_EQ(saved.size, 68u);
        EXPECT_EQ(saved.type, chunk);
    }
    stop = true;
    audio.join();
}

} // namespace
} // namespace Quorvane::Test
