#include "again.h"
#include "controllerfixture.h"
#include "paramconverter.h"
#include "paramids.h"

#include "teststreams.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <tuple>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace QuorvaneTest;
using namespace Quorvane;

namespace
{

std::string toAscii(const TChar* s)
{
    char text[256];
    UString(const_cast<TChar*>(s), 128).toAscii(text, 256);
    return text;
}

} // namespace

TEST_F(ControllerTest, PublishesTwentyTwoParametersInIdOrder)
{
    struct Row
    {
        const char* title;
        int32 steps;
        double def;
        int32 flags;
        int32 unit;
    };
    const Row rows[kNumParams] = {
        {"Bypass", 1, 0.0, 0x10001, 1},
        {"Listen", 1, 0.0, 1, 0},
        {"Channel Linking", 1, 1.0, 1, 0},
        {"Ducking", 1, 0.0, 1, 0},
        {"Gradual Att Envelope", 1, 1.0, 1, 0},
        {"Output Level", 0, 0.5, 1, 0},
        {"Threshold", 0, 0.2631579, 1, 0},
        {"Range", 0, 0.0, 1, 0},
        {"Hysteresis", 0, 1.0, 1, 0},
        {"Attack (gradual)", 0, 0.08543431, 1, 0},
        {"Attack (synth)", 0, 0.1959078, 1, 0},
        {"Release", 0, 0.2242749, 1, 0},
        {"Hold", 0, 0.3672695, 1, 0},
        {"Hold Closed", 0, 0.0, 1, 0},
        {"Beat Skip", 0, 0.0, 1, 0},
        {"Attack Delay", 0, 0.0, 1, 0},
        {"Note Truncation", 0, 0.0, 1, 0},
        {"Max Vu", 0, 0.0, 2, 0},
        {"Min Vu", 0, 0.0, 2, 0},
        {"Max Gate", 0, 0.0, 2, 0},
        {"Min Gate", 0, 0.0, 2, 0},
        {"Side Chain Monitor: on/off", 0, 0.0, 2, 0},
    };
    ASSERT_EQ(controller->getParameterCount(), int32(kNumParams));
    for (int32 i = 0; i < int32(kNumParams); ++i)
    {
        ParameterInfo info{};
        ASSERT_EQ(controller->getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(info.id, ParamID(i));
        EXPECT_EQ(toAscii(info.title), rows[i].title);
        EXPECT_EQ(toAscii(info.units), "");
        EXPECT_EQ(toAscii(info.shortTitle), "");
        EXPECT_EQ(info.stepCount, rows[i].steps) << i;
        EXPECT_NEAR(info.defaultNormalizedValue, rows[i].def, 1e-7) << i;
        EXPECT_EQ(info.flags, rows[i].flags) << i;
        EXPECT_EQ(info.unitId, rows[i].unit) << i;
    }
    EXPECT_NEAR(controller->getParamNormalized(kThresholdId), 0.2631579, 1e-7);
    EXPECT_EQ(controller->getParamNormalized(kChannelLinkingId), 1.0);

    UnitInfo unit{};
    ASSERT_EQ(controller->getUnitCount(), 1);
    ASSERT_EQ(controller->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(unit.id, 1);
    EXPECT_EQ(unit.parentUnitId, kRootUnitId);
    EXPECT_EQ(unit.programListId, kNoProgramListId);
    EXPECT_EQ(toAscii(unit.name), "Unit1");
}

// Hosts show a fresh plug-in's controls at, and reset them to, the reported default. Reporting
// anything but the value the gate starts with puts the controls at +40 dB output or -76 dB
// threshold, and a reset would stop the gate from gating.
TEST_F(ControllerTest, ReportsTheValueEachParameterStartsWithAsItsDefault)
{
    const ParamConverter converter;
    for (int32 i = 0; i < int32(kNumParams); ++i)
    {
        ParameterInfo info{};
        ASSERT_EQ(controller->getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(info.defaultNormalizedValue, ParamValue(converter.defaultNormalized(info.id)))
            << i;
        EXPECT_EQ(info.defaultNormalizedValue, controller->getParamNormalized(info.id)) << i;
    }

    // Resetting every control to its reported default shows the texts of a fresh instance.
    const char* texts[kNumInputParams] = {"Off",     "Off",      "On",        "Off",    "On",
                                          "0.0 dB",  "-20.0 dB", "-120.0 dB", "0.0 dB", "1.00 ms",
                                          "5.00 ms", "10.0 ms",  "35.0 ms",   " off",   " off",
                                          " off",    " off"};
    for (ParamID id = 0; id < kNumInputParams; ++id)
    {
        ParameterInfo info{};
        ASSERT_EQ(controller->getParameterInfo(int32(id), info), kResultOk);
        controller->setParamNormalized(id, 0.875);
        controller->setParamNormalized(id, info.defaultNormalizedValue);
        String128 text{};
        ASSERT_EQ(controller->getParamStringByValue(id, controller->getParamNormalized(id), text),
                  kResultOk);
        EXPECT_EQ(toAscii(text), texts[id]) << id;
    }
}

TEST_F(ControllerTest, FollowsTheProcessorState)
{
    std::vector<unsigned char> image;
    for (int32_t v : {0, 7, -1, 0, 1})
        appendInt32(image, v);
    for (int i = 0; i < 12; ++i)
        appendFloat(image, i == 1 ? 0.5f : (i == 2 ? 1.5f : 0.25f));
    ByteStream full(image);
    ASSERT_EQ(controller->setComponentState(&full), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 0.0);
    EXPECT_EQ(controller->getParamNormalized(kListenId), 1.0);
    EXPECT_EQ(controller->getParamNormalized(kChannelLinkingId), 0.0)
        << "off below zero, as the processor reads it";
    EXPECT_EQ(controller->getParamNormalized(kDuckingId), 0.0);
    EXPECT_EQ(controller->getParamNormalized(kGradualAttEnvelopeId), 1.0);
    EXPECT_EQ(controller->getParamNormalized(kThresholdId), 0.5);
    EXPECT_EQ(controller->getParamNormalized(kRangeId), 1.0) << "clamped to the range";

    // A failing read of the seventeenth value changes nothing.
    std::vector<unsigned char> other;
    for (int32_t v : {1, 0, 0, 1, 0})
        appendInt32(other, v);
    for (int i = 0; i < 11; ++i)
        appendFloat(other, 0.9f);
    ByteStream failing(other);
    EXPECT_EQ(controller->setComponentState(&failing), kResultFalse);
    EXPECT_EQ(controller->getParamNormalized(kThresholdId), 0.5);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 0.0);

    // A short stream that reports success gives zeros for the fields it did not fill, as in the
    // processor.
    ByteStream shortOk(std::vector<unsigned char>(other.begin(), other.begin() + 20),
                       ByteStream::ShortRead::ReportSuccess);
    EXPECT_EQ(controller->setComponentState(&shortOk), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 1.0);
    EXPECT_EQ(controller->getParamNormalized(kThresholdId), 0.0);
    EXPECT_EQ(controller->getParamNormalized(kHoldId), 0.0);

    EXPECT_EQ(controller->setComponentState(nullptr), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 1.0);
}

// Whatever a stored processor state holds, the controller shows what the processor runs with:
// any bit pattern in the switch fields, and a stream that ends anywhere (failing, or reporting
// success for what it could not deliver).
TEST_F(ControllerTest, ShowsWhatTheProcessorLoadsFromAnyState)
{
    std::vector<unsigned char> full;
    for (int i = 0; i < 17; ++i)
        appendFloat(full, 0.8f - 0.04f * float(i));
    struct State
    {
        std::vector<unsigned char> bytes;
        ByteStream::ShortRead mode;
        std::string what;
    };
    std::vector<State> states;
    for (int32_t pattern : {0, 1, -1, 2, INT32_MIN, INT32_MAX, 0x100, 0x1000000})
    {
        auto bytes = full;
        for (size_t field = 0; field < kNumSwitchParams; ++field)
            std::memcpy(&bytes[field * 4], &pattern, 4);
        states.push_back(
            {bytes, ByteStream::ShortRead::Fail, "switches " + std::to_string(pattern)});
    }
    for (long length = 0; length < long(full.size()); ++length)
        for (auto mode : {ByteStream::ShortRead::Fail, ByteStream::ShortRead::ReportSuccess})
            states.push_back({std::vector<unsigned char>(full.begin(), full.begin() + length), mode,
                              std::to_string(length) + " bytes"});

    for (const auto& [bytes, mode, what] : states)
    {
        auto* processor = new again;
        auto* shown = new againController;
        ASSERT_EQ(processor->initialize(&host), kResultOk);
        ASSERT_EQ(shown->initialize(&host), kResultOk);
        ByteStream forProcessor(bytes, mode), forController(bytes, mode);
        EXPECT_EQ(shown->setComponentState(&forController), processor->setState(&forProcessor));
        const ParamMirror& runs = processor->parameterMirror();
        for (uint32 id = 0; id < kNumInputParams; ++id)
            EXPECT_EQ(shown->getParamNormalized(id),
                      isSwitchParam(id) ? double(runs.switches[id])
                                        : std::clamp(double(runs.value(id)), 0.0, 1.0))
                << "parameter " << id << ", " << what;
        shown->terminate();
        shown->release();
        processor->terminate();
        processor->release();
    }
}

TEST_F(ControllerTest, OwnStateIs257BytesAndHonoursTheByteOrderMarker)
{
    ByteStream empty;
    ASSERT_EQ(controller->getState(&empty), kResultOk);
    ASSERT_EQ(empty.data.size(), 257u);
    for (unsigned char b : empty.data)
        ASSERT_EQ(b, 0);

    std::vector<unsigned char> image(257, 0);
    image[1] = 'A';
    image[3] = 'B';
    ByteStream little(image);
    ASSERT_EQ(controller->setState(&little), kResultOk);
    ByteStream back;
    controller->getState(&back);
    EXPECT_EQ(back.data, image);

    image[0] = 1; // big-endian units: each pair is swapped on reading
    ByteStream big(image);
    ASSERT_EQ(controller->setState(&big), kResultOk);
    ByteStream swapped;
    controller->getState(&swapped);
    EXPECT_EQ(swapped.data[0], 0);
    EXPECT_EQ(swapped.data[1], 0);
    EXPECT_EQ(swapped.data[2], 'A');
    EXPECT_EQ(swapped.data[4], 'B');

    ByteStream nothing;
    EXPECT_NE(controller->setState(&nothing), kResultOk);
    ByteStream limited;
    limited.setWriteLimit(0);
    EXPECT_EQ(controller->getState(&limited), kResultFalse);
}

TEST_F(ControllerTest, InterfacesMidiMappingAndViews)
{
    IMidiMapping* midi = nullptr;
    ASSERT_EQ(controller->queryInterface(IMidiMapping::iid, reinterpret_cast<void**>(&midi)),
              kResultOk);
    ParamID tag = 1234;
    EXPECT_EQ(midi->getMidiControllerAssignment(0, 5, kCtrlVolume, tag), kResultTrue);
    EXPECT_EQ(tag, ParamID(kThresholdId));
    tag = 1234;
    EXPECT_EQ(midi->getMidiControllerAssignment(1, 0, kCtrlVolume, tag), kResultFalse);
    EXPECT_EQ(midi->getMidiControllerAssignment(0, 0, 1, tag), kResultFalse);
    EXPECT_EQ(tag, 1234u);
    midi->release();

    IUnitInfo* units = nullptr;
    ASSERT_EQ(controller->queryInterface(IUnitInfo::iid, reinterpret_cast<void**>(&units)),
              kResultOk);
    units->release();
    IEditController2* ec2 = nullptr;
    ASSERT_EQ(controller->queryInterface(IEditController2::iid, reinterpret_cast<void**>(&ec2)),
              kResultOk);
    ec2->release();

    EXPECT_EQ(controller->createView(nullptr), nullptr);
    EXPECT_EQ(controller->createView("Editor"), nullptr);
    EXPECT_EQ(controller->createView("editor2"), nullptr);
}

TEST_F(ControllerTest, DisplayTextsAndTypedValuesGoThroughTheParameters)
{
    String128 text;
    ASSERT_EQ(controller->getParamStringByValue(kThresholdId, 0.5, text), kResultOk);
    EXPECT_EQ(toAscii(text), "-38.0 dB");
    ASSERT_EQ(controller->getParamStringByValue(kBypassId, 1.0, text), kResultOk);
    EXPECT_EQ(toAscii(text), "On");
    ASSERT_EQ(controller->getParamStringByValue(kMaxVuId, 0.5, text), kResultOk);
    EXPECT_EQ(toAscii(text), "0.5000");
    EXPECT_EQ(controller->getParamStringByValue(40, 0.5, text), kResultFalse);
    // Out of range, an output shows the nearest value it can hold; a huge number would not fit.
    ASSERT_EQ(controller->getParamStringByValue(kMaxVuId, 1e300, text), kResultOk);
    EXPECT_EQ(toAscii(text), "1.0000");
    ASSERT_EQ(controller->getParamStringByValue(kMinGateId, -1e300, text), kResultOk);
    EXPECT_EQ(toAscii(text), "0.0000");

    ParamValue v = 0.123;
    EXPECT_EQ(controller->getParamValueByString(kBeatSkipId, const_cast<TChar*>(STR16("50%")), v),
              kResultOk);
    EXPECT_DOUBLE_EQ(v, 0.5);
    v = 0.123;
    EXPECT_EQ(controller->getParamValueByString(kHoldId, const_cast<TChar*>(STR16("off")), v),
              kResultFalse);
    // Text that is not valid UTF-16, no text at all, or text that is no number is refused and
    // leaves the value alone.
    v = 0.123;
    TChar loneSurrogate[] = {u'1', 0xD800, u'2', 0};
    TChar loneLowSurrogate[] = {u'1', 0xDC00, 0};
    TChar highSurrogateAtEnd[] = {u'-', u'2', u'0', 0xDBFF, 0};
    for (ParamID id : {kBypassId, kMaxVuId, kThresholdId})
    {
        EXPECT_EQ(controller->getParamValueByString(id, loneSurrogate, v), kResultFalse) << id;
        EXPECT_EQ(controller->getParamValueByString(id, loneLowSurrogate, v), kResultFalse) << id;
        EXPECT_EQ(controller->getParamValueByString(id, highSurrogateAtEnd, v), kResultFalse) << id;
    }
    EXPECT_EQ(controller->getParamValueByString(kBypassId, nullptr, v), kInvalidArgument);
    EXPECT_EQ(controller->getParamValueByString(kBypassId, const_cast<TChar*>(STR16("nan")), v),
              kResultFalse);
    // Text with no number in it names no value, unless it is a word the parameter shows.
    for (ParamID id : {kBypassId, kDuckingId, kMaxVuId})
    {
        for (const TChar* text : {STR16("Of"), STR16("")})
            EXPECT_EQ(controller->getParamValueByString(id, const_cast<TChar*>(text), v),
                      kResultFalse)
                << id;
    }
    EXPECT_EQ(controller->getParamValueByString(kMaxVuId, const_cast<TChar*>(STR16("On")), v),
              kResultFalse);
    EXPECT_EQ(controller->getParamValueByString(kMaxVuId, const_cast<TChar*>(STR16("-inf")), v),
              kResultFalse);
    EXPECT_EQ(v, 0.123);
}

// Every text a parameter shows, typed back, gives a value that shows the same text. A text
// that shows nothing left of a value ("0%", "0.000 ms") reads as that nothing: " off".
TEST_F(ControllerTest, EveryShownTextReadsBackToTheValueItShows)
{
    const ParamValue values[] = {0.0, 1e-6, 0.004, 0.1, 0.2631579, 0.5, 0.77, 0.999, 1.0};
    for (ParamID id = 0; id < kNumParams; ++id)
        for (ParamValue value : values)
        {
            String128 shown{}, again{};
            ASSERT_EQ(controller->getParamStringByValue(id, value, shown), kResultOk);
            ParamValue back = -1.0;
            ASSERT_EQ(controller->getParamValueByString(id, shown, back), kResultOk)
                << id << " '" << toAscii(shown) << "'";
            ASSERT_EQ(controller->getParamStringByValue(id, back, again), kResultOk);
            const std::string text = toAscii(shown);
            const bool showsZero = text == "0%" || text == "0.000 ms";
            EXPECT_EQ(toAscii(again), showsZero ? " off" : text) << id << " at " << value;
        }
}

// Whatever the host passes, typed numbers, values to show and plain values stay within 0..1.
TEST_F(ControllerTest, ValuesStayWithinTheRange)
{
    for (auto [id, typed, value] : {std::tuple(kBypassId, STR16("73"), 1.0),
                                    {kDuckingId, STR16("-7"), 0.0},
                                    {kListenId, STR16("0.7"), 1.0},
                                    {kMaxVuId, STR16("7"), 1.0}})
    {
        ParamValue v = -1.0;
        ASSERT_EQ(controller->getParamValueByString(id, const_cast<TChar*>(typed), v), kResultOk);
        EXPECT_EQ(v, value) << id;
    }
    for (ParamID id = 0; id < kNumParams; ++id)
        for (ParamValue out : {-1000.0, -1e-9, 1.5, 1e300, std::nan("")})
        {
            String128 beyond{}, end{};
            controller->getParamStringByValue(id, out, beyond);
            controller->getParamStringByValue(id, out < 0 ? 0.0 : 1.0, end);
            EXPECT_TRUE(std::isnan(out) || toAscii(beyond) == toAscii(end)) << id << " at " << out;
            const ParamValue normalized = controller->plainParamToNormalized(id, out);
            const ParamValue plain = controller->normalizedParamToPlain(id, out);
            EXPECT_TRUE(normalized >= 0.0 && normalized <= 1.0 && plain >= 0.0 && plain <= 1.0)
                << id << " " << out;
        }
}

TEST_F(ControllerTest, ReceivedTextIsLogged)
{
    HostMessage message;
    message.setMessageID("TextMessage");
    message.getAttributes()->setString("Text", STR16("again::setActive (true)"));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(controller->notify(&message), kResultOk);
    EXPECT_EQ(controller->receiveText(nullptr), kResultOk);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "[againController] received: again::setActive (true)\n");
}
