#include "vst2testhost.h"

#include "vst2abi.h"

#include <algorithm>
#include <cstring>
#include <iterator>

using namespace QuorvaneTest::FakePlugin;
namespace Abi = Steinberg::Vst::Vst2Abi;

namespace
{

const ReceivedChange* findChange(const ProcessCall& call, Steinberg::Vst::ParamID id)
{
    for (const auto& change : call.changes)
        if (change.id == id)
            return &change;
    return nullptr;
}

int countOf(const std::vector<std::string>& lines, const std::string& line)
{
    int n = 0;
    for (const auto& l : lines)
        n += l == line;
    return n;
}

} // namespace

TEST_F(WrapperTest, EffectDescribesTheWrappedClass)
{
    ASSERT_NE(wrap(), nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, 0x46616B31);
    EXPECT_EQ(effect->numParams, 4);
    EXPECT_EQ(effect->numInputs, 2); // main buses only, no side chain
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_EQ(effect->processDoubleReplacing, nullptr);
    EXPECT_EQ(effect->version, 2417);

    EXPECT_EQ(text(effGetEffectName, 0), "Fake Gain");
    EXPECT_EQ(text(effGetProductString, 0), "Fake Gain");
    EXPECT_EQ(text(effGetVendorString, 0), "Fake Vendor");
    EXPECT_EQ(dispatch(effGetVendorVersion), 2417);
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(dispatch(Abi::kEffGetTailSize), 480);
}

TEST_F(WrapperTest, CreationPreparesBothHalvesLikeAVst3Host)
{
    ASSERT_NE(wrap(), nullptr);
    // The controller follows the processor's state from the start.
    EXPECT_EQ(journal.componentStateCalls, 1);
    ASSERT_NE(Controller::last, nullptr);
    EXPECT_NE(Controller::last->getComponentHandler(), nullptr);
    // The host's rate and block size, 32-bit, realtime.
    EXPECT_EQ(countOf(journal.lifecycle, "setupProcessing 48000 256 0 0"), 1);

    resume();
    runBlock(16);
    ASSERT_EQ(journal.processCalls.size(), 1u);
    const ProcessCall& call = journal.processCalls[0];
    EXPECT_FALSE(call.auxActive);
    EXPECT_EQ(call.numInputs, 2); // every bus has buffers, the aux one silent
    EXPECT_EQ(call.numOutputs, 1);
    EXPECT_EQ(call.mainInputChannels, 2);
    EXPECT_EQ(call.mainOutputChannels, 2);
    EXPECT_EQ(call.numSamples, 16);
}

TEST_F(WrapperTest, CreationFailsCleanly)
{
    EXPECT_EQ(
        Steinberg::Vst::Vst2Wrapper::create(nullptr, kProcessorCid.toTUID(), 1, TestHost::callback),
        nullptr);
    // An unknown class, and a controller that cannot be created: null, and
    // the factory reference is given back (TearDown checks).
    EXPECT_EQ(Steinberg::Vst::Vst2Wrapper::create(new Factory, kControllerCid.toTUID(), 1,
                                                  TestHost::callback),
              nullptr);
    auto* factory = new Factory;
    factory->failController = true;
    EXPECT_EQ(
        Steinberg::Vst::Vst2Wrapper::create(factory, kProcessorCid.toTUID(), 1, TestHost::callback),
        nullptr);
}

// Every opcode that writes text into a host's buffer writes no further than the field size the
// VST 2 interface documents for it (the bytes after it are canaries), terminator included.
TEST_F(WrapperTest, TextOpcodesStayWithinTheirDocumentedFields)
{
    ASSERT_NE(wrap(), nullptr);
    effect->setParameter(effect, 1, 0.25f);
    const struct
    {
        int opcode, index, field;
        const char* text; // null: nothing offered, nothing written
    } rows[] = {
        {effGetParamName, 0, 8, "Bypass"},
        {effGetParamName, 2, 8, "An exce"}, // a long title
        {effGetParamName, 4, 8, ""},
        {effGetParamLabel, 1, 8, "loudnes"}, // "loudness units"
        {effGetParamLabel, 0, 8, ""},
        {effGetParamDisplay, 1, 8, "0.50"}, // not "0.50 ti"
        {effGetParamDisplay, -1, 8, ""},
        {effGetProgramName, 0, 24, "Default"},
        {effGetProgramNameIndexed, 0, 24, "Default"},
        {effGetEffectName, 0, 32, "Fake Gain"},
        {effGetVendorString, 0, 64, "Fake Vendor"},
        {effGetProductString, 0, 64, "Fake Gain"},
        {effGetInputProperties, 0, 0, nullptr},
        {effGetOutputProperties, 0, 0, nullptr},
        {56, 0, 0, nullptr},
        {70, 0, 0, nullptr}, // effGetParameterProperties, effShellGetNextPlugin
    };
    for (const auto& row : rows)
    {
        unsigned char buffer[512];
        std::memset(buffer, 0xA5, sizeof(buffer));
        dispatch(row.opcode, row.index, 0, buffer);
        auto* past =
            std::find_if(buffer + row.field, std::end(buffer), [](auto b) { return b != 0xA5; });
        EXPECT_EQ(past, std::end(buffer))
            << "opcode " << row.opcode << " wrote byte " << past - buffer;
        EXPECT_STREQ(row.text ? reinterpret_cast<char*>(buffer) : nullptr, row.text) << row.opcode;
    }
    EXPECT_EQ(dispatch(effCanBeAutomated, 1), 1);
    EXPECT_EQ(dispatch(effCanBeAutomated, 3), 0);
}

// setParameter and getParameter come from the audio thread too: they never reach the controller.
TEST_F(WrapperTest, SetParameterReachesTheNextBlockAtOnceAndTheControllerOnTheNextIdle)
{
    ASSERT_NE(wrap(), nullptr);
    resume();
    journal.controllerSets.clear();
    const int reads = journal.controllerReads;
    effect->setParameter(effect, 1, 0.1f);
    effect->setParameter(effect, 1, 0.75f); // the last value wins
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 1), 0.75f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 3), 0.f);
    EXPECT_EQ(journal.controllerReads, reads);
    EXPECT_EQ(text(effGetParamDisplay, 1), "1.50");
    EXPECT_TRUE(journal.controllerSets.empty());
    EXPECT_TRUE(journal.processCalls.empty());
    for (int opcode : {effEditIdle, effEditIdle, effEditOpen})
        dispatch(opcode);
    const std::vector<std::pair<ParamID, ParamValue>> once = {{kGainId, 0.75}};
    EXPECT_EQ(journal.controllerSets, once);

    std::vector<float> left;
    runBlock(8, &left);
    ASSERT_EQ(journal.processCalls.size(), 1u);
    const ReceivedChange* change = findChange(journal.processCalls[0], kGainId);
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(change->points, 1);
    EXPECT_EQ(change->lastOffset, 0);
    EXPECT_DOUBLE_EQ(change->lastValue, 0.75);
    EXPECT_FLOAT_EQ(left[3], 0.04f * 1.5f); // already applied in this block

    runBlock(8);
    EXPECT_TRUE(journal.processCalls[1].changes.empty());

    // Read-only outputs are not the host's to set; values are held as the parameters hold them.
    effect->setParameter(effect, 3, 0.9f);
    runBlock(8);
    EXPECT_EQ(findChange(journal.processCalls[2], kMeterId), nullptr);
    effect->setParameter(effect, 1, 1.5f);
    effect->setParameter(effect, 1, NAN);
    EXPECT_EQ(effect->getParameter(effect, 1), 1.f);
}

TEST_F(WrapperTest, ProcessReplacingPassesAudioAndSplitsLongBlocks)
{
    ASSERT_NE(wrap(), nullptr);
    // While suspended the processor is not called and the output is silent.
    std::vector<float> left, right;
    runBlock(8, &left, &right);
    EXPECT_TRUE(journal.processCalls.empty());
    EXPECT_EQ(left, std::vector<float>(8, 0.f));

    dispatch(effSetBlockSize, 0, 64);
    resume();
    effect->setParameter(effect, 1, 0.25f); // factor 0.5
    runBlock(150, &left, &right);
    ASSERT_EQ(journal.processCalls.size(), 3u);
    EXPECT_EQ(journal.processCalls[0].numSamples, 64);
    EXPECT_EQ(journal.processCalls[1].numSamples, 64);
    EXPECT_EQ(journal.processCalls[2].numSamples, 22);
    EXPECT_NE(findChange(journal.processCalls[0], kGainId), nullptr);
    EXPECT_TRUE(journal.processCalls[1].changes.empty());
    for (int i = 0; i < 150; ++i)
    {
        const float in = static_cast<float>(i + 1) / 100.f;
        ASSERT_FLOAT_EQ(left[i], in * 0.5f) << i;
        ASSERT_FLOAT_EQ(right[i], -in * 0.5f) << i;
    }
}

TEST_F(WrapperTest, OutputParametersReachTheControllerOffTheAudioThread)
{
    ASSERT_NE(wrap(), nullptr);
    resume();
    journal.controllerSets.clear();
    runBlock(32);
    // The last point of the block is there when the host asks, from the audio thread too ...
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 3), 0.125f);
    // ... but nothing reaches the controller before the editor's idle call, and then only the
    // latest value of several blocks.
    runBlock(32);
    runBlock(32);
    EXPECT_TRUE(journal.controllerSets.empty());
    dispatch(effEditIdle);
    ASSERT_EQ(journal.controllerSets.size(), 1u);
    EXPECT_EQ(journal.controllerSets[0].first, ParamID(kMeterId));
    EXPECT_DOUBLE_EQ(journal.controllerSets[0].second, 0.375);
    // Outputs are not echoed back to the processor.
    EXPECT_TRUE(journal.processCalls.back().changes.empty());
}

TEST_F(WrapperTest, ResumeSuspendAndRateChangesFollowTheVst3Sequence)
{
    ASSERT_NE(wrap(), nullptr);
    journal.lifecycle.clear();
    resume();
    dispatch(effSetSampleRate, 0, 0, nullptr, 96000.f); // while active
    dispatch(effMainsChanged, 0, 0);
    const std::vector<std::string> expected = {"setActive 1",
                                               "setProcessing 1",
                                               "setProcessing 0",
                                               "setActive 0",
                                               "setupProcessing 96000 256 0 0",
                                               "setActive 1",
                                               "setProcessing 1",
                                               "setProcessing 0",
                                               "setActive 0"};
    EXPECT_EQ(journal.lifecycle, expected);
}

TEST_F(WrapperTest, ChunkHoldsBothStatesInTheAgreedLayout)
{
    ASSERT_NE(wrap(), nullptr);
    const std::vector<uint8_t> chunk = chunkBytes();
    const std::vector<uint8_t> expected = {
        8,   0,   0,   0,   0, 0, 0, 0,    // processor state size, int64 LE
        5,   0,   0,   0,   0, 0, 0, 0,    // controller state size, int64 LE
        0,   0,   0,   0,   0, 0, 0, 0x3F, // bypass 0, gain 0.5f
        'C', 'T', 'R', 'L', 0};            // controller state
    EXPECT_EQ(chunk, expected);
}

TEST_F(WrapperTest, ChunkRoundTripRestoresBothHalvesAndDropsQueuedChanges)
{
    ASSERT_NE(wrap(), nullptr);
    resume();
    std::vector<uint8_t> saved = chunkBytes();
    saved[24] = 'Z'; // a controller state of our own

    effect->setParameter(effect, 1, 0.9f);
    runBlock(4);
    effect->setParameter(effect, 0, 1.f); // queued, then overridden by the chunk
    journal.componentStateCalls = 0;
    EXPECT_EQ(dispatch(effSetChunk, 0, static_cast<VstIntPtr>(saved.size()), saved.data()), 1);
    EXPECT_EQ(journal.componentStateCalls, 1);
    EXPECT_EQ(journal.controllerSetStateCalls, 1);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 1), 0.5f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), 0.f);

    runBlock(4);
    EXPECT_TRUE(journal.processCalls.back().changes.empty());
    EXPECT_EQ(chunkBytes(), saved);
}

TEST_F(WrapperTest, BadChunksAreRefusedWithoutChange)
{
    ASSERT_NE(wrap(), nullptr);
    resume();
    effect->setParameter(effect, 1, 0.3f);
    const std::vector<uint8_t> before = chunkBytes();
    const std::vector<uint8_t> good = before;

    auto withSizes = [&good](int64_t p, int64_t c)
    {
        std::vector<uint8_t> bad = good;
        for (int i = 0; i < 8; ++i)
        {
            bad[i] = static_cast<uint8_t>(static_cast<uint64_t>(p) >> (8 * i));
            bad[8 + i] = static_cast<uint8_t>(static_cast<uint64_t>(c) >> (8 * i));
        }
        return bad;
    };
    std::vector<std::vector<uint8_t>> chunks = {
        std::vector<uint8_t>(good.begin(), good.begin() + 15), // shorter than the header
        std::vector<uint8_t>(good.begin(), good.end() - 1),    // one byte missing
        withSizes(8, 6),                                       // sizes exceed the chunk
        withSizes(7, 5),                                       // sizes fall short
        withSizes(8, 4),                                       // a controller byte left over
        withSizes(-8, 21),                                     // negative, but adds up
        withSizes(34, -21),                                    // negative, but adds up
        withSizes(INT64_MAX, INT64_MAX)};                      // sizes that overflow a sum
    for (size_t i = 0; i < chunks.size(); ++i)
    {
        auto& bad = chunks[i];
        EXPECT_EQ(dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bad.size()), bad.data()), 0) << i;
    }
    EXPECT_EQ(dispatch(effSetChunk, 0, 29, nullptr), 0);
    // Well formed, but the processor refuses its state (too short to read).
    std::vector<uint8_t> refused = withSizes(4, 5);
    refused.erase(refused.begin() + 20, refused.begin() + 24);
    EXPECT_EQ(dispatch(effSetChunk, 0, static_cast<VstIntPtr>(refused.size()), refused.data()), 0);
    EXPECT_EQ(journal.controllerSetStateCalls, 0);
    EXPECT_EQ(chunkBytes(), before);
    // The queued change survived the refused chunks.
    runBlock(4);
    EXPECT_NE(findChange(journal.processCalls.back(), kGainId), nullptr);
}

TEST_F(WrapperTest, BypassMapsToTheBypassParameter)
{
    ASSERT_NE(wrap(), nullptr);
    char bypass[] = "bypass";
    char other[] = "sendVstEvents";
    EXPECT_EQ(dispatch(effCanDo, 0, 0, bypass), 1);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, other), 0);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, nullptr), 0);

    resume();
    effect->setParameter(effect, 1, 0.f); // gain 0: silence unless bypassed
    EXPECT_EQ(dispatch(Abi::kEffSetBypass, 0, 1), 1);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), 1.f);
    std::vector<float> left;
    runBlock(4, &left);
    const ReceivedChange* change = findChange(journal.processCalls.back(), kBypassId);
    ASSERT_NE(change, nullptr);
    EXPECT_DOUBLE_EQ(change->lastValue, 1.);
    EXPECT_FLOAT_EQ(left[2], 0.03f);

    dispatch(Abi::kEffSetBypass, 0, 0);
    runBlock(4, &left);
    EXPECT_FLOAT_EQ(left[2], 0.f);
}

TEST_F(WrapperTest, ControllerEditsBecomeHostAutomation)
{
    ASSERT_NE(wrap(), nullptr);
    resume();
    auto* handler = Controller::last->getComponentHandler();
    ASSERT_NE(handler, nullptr);
    host.calls.clear();
    EXPECT_EQ(handler->beginEdit(kGainId), kResultOk);
    EXPECT_EQ(handler->performEdit(kGainId, 0.625), kResultOk);
    EXPECT_EQ(handler->endEdit(kGainId), kResultOk);
    EXPECT_NE(handler->performEdit(999, 0.5), kResultOk);

    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(host.calls[0].index, 1); // the VST 2 index, not the ID
    EXPECT_EQ(host.calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(host.calls[1].index, 1);
    EXPECT_FLOAT_EQ(host.calls[1].opt, 0.625f);
    EXPECT_EQ(host.calls[2].opcode, audioMasterEndEdit);

    // As in a VST 3 host, the edit also reaches the processor.
    runBlock(4);
    const ReceivedChange* change = findChange(journal.processCalls.back(), kGainId);
    ASSERT_NE(change, nullptr);
    EXPECT_DOUBLE_EQ(change->lastValue, 0.625);

    EXPECT_EQ(handler->restartComponent(kLatencyChanged), kResultOk);
    EXPECT_EQ(host.callsOf(Abi::kAudioMasterIOChanged).size(), 1u);
}

TEST_F(WrapperTest, StringToParameterUsesTheControllersParser)
{
    ASSERT_NE(wrap(), nullptr);
    char text[] = "0.4";
    EXPECT_EQ(dispatch(effString2Parameter, 2, 0, text), 1);
    EXPECT_NEAR(effect->getParameter(effect, 2), 0.4f, 1e-6);
    EXPECT_EQ(dispatch(effString2Parameter, 7, 0, text), 0);
}
