// Exchanges saved states, presets and rendered audio between the plug-in built for two systems.
//
//   quorvane_exchange write MODULE DIR   saves an edited state, the controller's state, a
//                                        .vstpreset and a rendered signal into DIR
//   quorvane_exchange check MODULE DIR   loads what the other system's module wrote into DIR and
//                                        checks that this module reads, saves and renders the
//                                        very same bytes
//
// Built for Linux and for Windows from this one file; the module is loaded through the public
// VST 3 interfaces as any host does (tests/support/<platform>/pluginlibrary.cpp).
#include "libmprobe.h"
#include "pluginlibrary.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/vstpresetfile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

const char* const kProcessorCid = "74E8DE5082554F5386FAE4132C935A18";
const char* const kControllerCid = "C39D5B65C7AF41FB743F4AC831EB03F1";
constexpr int kBlock = 512;
constexpr int kBlocks = 180; // about two seconds at 48 kHz
constexpr double kRate = 48000.;

using Bytes = std::vector<unsigned char>;

bool readFile(const std::string& path, Bytes& out)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    out.clear();
    unsigned char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        out.insert(out.end(), buffer, buffer + count);
    std::fclose(file);
    return true;
}

bool writeFile(const std::string& path, const Bytes& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

Bytes streamBytes(MemoryStream& stream)
{
    const auto* data = reinterpret_cast<const unsigned char*>(stream.getData());
    return Bytes(data, data + stream.getSize());
}

// The same noise on every system: a 32-bit linear congruential generator, and only arithmetic
// that is exact in float (no library functions), under a stepped envelope that opens and closes
// the gate.
std::vector<float> testSignal(int channel)
{
    std::vector<float> signal(size_t(kBlock) * kBlocks);
    uint32_t state = 0x51A7E5u + uint32_t(channel) * 7919u;
    for (size_t i = 0; i < signal.size(); ++i)
    {
        state = state * 1664525u + 1013904223u;
        const float noise = float(int32_t(state >> 8) - (1 << 23)) / float(1 << 23);
        const size_t phrase = (i / 6000) % 4;
        const float level = phrase == 0   ? 0.5f
                            : phrase == 1 ? 0.001f
                            : phrase == 2 ? 0.125f
                                          : 0.0078125f;
        signal[i] = noise * level;
    }
    return signal;
}

FUID fuid(const char* text)
{
    FUID id;
    id.fromString(text);
    return id;
}

class Session
{
public:
    explicit Session(const std::string& modulePath) : library(modulePath)
    {
        if (!library.loaded())
        {
            problem = "cannot load " + modulePath + ": " + library.error();
            return;
        }
        auto getFactory = library.function<IPluginFactory*(PLUGIN_API*)()>("GetPluginFactory");
        if (!getFactory || !library.enter() || !(factory = getFactory()))
            problem = "the module gives no factory";
    }
    ~Session()
    {
        if (factory)
            factory->release();
        if (library.loaded())
            library.leave();
    }

    template <typename T> T* create(const char* cid, const TUID iid)
    {
        void* object = nullptr;
        if (!factory || factory->createInstance(fuid(cid).toTUID(), iid, &object) != kResultOk)
            return nullptr;
        static_cast<T*>(object)->initialize(&host);
        return static_cast<T*>(object);
    }

    QuorvaneTest::PluginLibrary library;
    IPluginFactory* factory = nullptr;
    HostApplication host;
    std::string problem;
};

template <typename T> void dispose(T* object)
{
    if (object)
    {
        object->terminate();
        object->release();
    }
}

// Runs `blocks` blocks of the test signal (or silence) with the given parameter changes in the
// first block; returns the output, left channel then right.
std::vector<float> run(IComponent* component, int blocks, bool silence, ParameterChanges* changes,
                       double rate = kRate)
{
    IAudioProcessor* processor = nullptr;
    component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor));
    std::vector<float> output;
    if (!processor)
        return output;
    SpeakerArrangement stereo[1] = {SpeakerArr::kStereo};
    processor->setBusArrangements(stereo, 1, stereo, 1);
    ProcessSetup setup{kRealtime, kSample32, kBlock, rate};
    processor->setupProcessing(setup);
    component->setActive(true);
    processor->setProcessing(true);

    const std::vector<float> inL = testSignal(0), inR = testSignal(1);
    std::vector<float> outL(size_t(kBlock) * blocks), outR(outL.size());
    std::vector<float> zeros(kBlock, 0.f);
    for (int b = 0; b < blocks; ++b)
    {
        const size_t at = size_t(b) * kBlock;
        float* ins[2] = {silence ? zeros.data() : const_cast<float*>(&inL[at]),
                         silence ? zeros.data() : const_cast<float*>(&inR[at])};
        float* outs[2] = {&outL[at], &outR[at]};
        AudioBusBuffers in{}, out{};
        in.numChannels = out.numChannels = 2;
        in.channelBuffers32 = ins;
        out.channelBuffers32 = outs;
        ParameterChanges outChanges(32, 4);
        ProcessData data;
        data.numSamples = kBlock;
        data.numInputs = data.numOutputs = 1;
        data.inputs = &in;
        data.outputs = &out;
        data.inputParameterChanges = b == 0 ? changes : nullptr;
        data.outputParameterChanges = &outChanges;
        processor->process(data);
    }
    processor->setProcessing(false);
    component->setActive(false);
    processor->release();
    output = outL;
    output.insert(output.end(), outR.begin(), outR.end());
    return output;
}

Bytes toBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes floatsToBytes(const std::vector<float>& samples)
{
    Bytes bytes(samples.size() * 4);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

// A fresh processor with the given state, rendering the test signal.
std::vector<float> render(Session& session, const Bytes& state, int blocks = kBlocks,
                          double rate = kRate)
{
    auto* component = session.create<IComponent>(kProcessorCid, IComponent::iid);
    if (!component)
        return {};
    MemoryStream stream(const_cast<unsigned char*>(state.data()), TSize(state.size()));
    component->setState(&stream);
    std::vector<float> output = run(component, blocks, false, nullptr, rate);
    dispose(component);
    return output;
}

// Every parameter's display text at 201 values, and for the continuous ones the value read back
// from that text (as the bits of the double): the mappings and their logarithms and powers.
Bytes parameterTexts(Session& session)
{
    std::string lines;
    auto* controller = session.create<IEditController>(kControllerCid, IEditController::iid);
    if (!controller)
        return {};
    for (int32 id = 0; id < controller->getParameterCount(); ++id)
        for (int step = 0; step <= 200; ++step)
        {
            const double value = step / 200.;
            String128 text{};
            controller->getParamStringByValue(ParamID(id), value, text);
            std::string line = std::to_string(id) + " " + std::to_string(step) + " ";
            for (const TChar* c = text; *c; ++c)
                line += *c < 0x80 ? char(*c) : '?';
            ParamValue back = -1.;
            if (controller->getParamValueByString(ParamID(id), text, back) == kResultOk)
            {
                uint64_t bits;
                std::memcpy(&bits, &back, 8);
                char hex[24];
                std::snprintf(hex, sizeof(hex), " %016llx", static_cast<unsigned long long>(bits));
                line += hex;
            }
            lines += line + "\n";
        }
    dispose(controller);
    return Bytes(lines.begin(), lines.end());
}

// Short renders of many states, each parameter at a different value in each, at two sample
// rates: every coefficient the engine designs from its settings is exercised.
std::vector<float> stateSweep(Session& session)
{
    std::vector<float> all;
    uint32_t seed = 0xC0FFEEu;
    auto next = [&seed]
    {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1 << 24);
    };
    for (int s = 0; s < 48; ++s)
    {
        Bytes state;
        state.reserve(68);
        auto append = [&state](const void* p)
        {
            const auto* b = static_cast<const unsigned char*>(p);
            state.insert(state.end(), b, b + 4);
        };
        // Bypass and Listen off, the other switches at random; Beat Skip (its draws come from a
        // time-seeded generator) off.
        const int32_t switches[5] = {0, 0, int32_t(next() > 0.5f), int32_t(next() > 0.5f),
                                     int32_t(next() > 0.5f)};
        for (const int32_t& v : switches)
            append(&v);
        for (int i = 0; i < 12; ++i)
        {
            const float v = i == 9 ? 0.f : next();
            append(&v);
        }
        // Half of them at 44.1 kHz, where the crossover design's tan differs between some
        // C libraries.
        const auto block = render(session, state, 6, s % 2 ? 44100. : kRate);
        all.insert(all.end(), block.begin(), block.end());
    }
    return all;
}

int write(Session& session, const std::string& dir)
{
    auto* component = session.create<IComponent>(kProcessorCid, IComponent::iid);
    auto* controller = session.create<IEditController>(kControllerCid, IEditController::iid);
    if (!component || !controller)
        return std::fprintf(stderr, "cannot create both classes\n"), 1;

    // A host automates a few parameters away from their defaults.
    ParameterChanges edits(16, 1);
    const std::pair<ParamID, double> values[] = {{2, 0.},   {4, 0.},    {5, 0.55},  {6, 0.45},
                                                 {7, 0.3},  {8, 0.2},   {10, 0.35}, {11, 0.42},
                                                 {12, 0.6}, {13, 0.25}, {15, 0.1},  {16, 0.7}};
    for (const auto& [id, value] : values)
    {
        int32 index = 0;
        if (auto* queue = edits.addParameterData(id, index))
            queue->addPoint(0, value, index);
    }
    run(component, 1, true, &edits);

    MemoryStream processorState, controllerState, preset;
    component->getState(&processorState);
    MemoryStream forController(processorState.getData(), processorState.getSize());
    controller->setComponentState(&forController);
    controller->getState(&controllerState);
    if (!PresetFile::savePreset(&preset, fuid(kProcessorCid), component, controller))
        return std::fprintf(stderr, "saving the preset failed\n"), 1;

    const Bytes state = streamBytes(processorState);
    const bool ok = writeFile(dir + "/processor.state", state) &&
                    writeFile(dir + "/controller.state", streamBytes(controllerState)) &&
                    writeFile(dir + "/preset.vstpreset", streamBytes(preset)) &&
                    writeFile(dir + "/render.f32", floatsToBytes(render(session, state))) &&
                    writeFile(dir + "/texts.txt", parameterTexts(session)) &&
                    writeFile(dir + "/sweep.f32", floatsToBytes(stateSweep(session))) &&
                    writeFile(dir + "/libm.txt", toBytes(QuorvaneTest::probeMathLibrary()));
    dispose(controller);
    dispose(component);
    if (!ok)
        return std::fprintf(stderr, "cannot write into %s\n", dir.c_str()), 1;
    std::printf("wrote %zu-byte state, preset and %d rendered blocks into %s\n", state.size(),
                kBlocks, dir.c_str());
    return 0;
}

int failures = 0;
void expect(bool condition, const std::string& what)
{
    if (!condition)
    {
        std::fprintf(stderr, "FAIL: %s\n", what.c_str());
        ++failures;
    }
}

// Compares rendered samples bit for bit; reports where and by how much they differ. Differences
// up to `tolerance` are accepted (see check).
void compareSamples(const std::vector<float>& rendered, const Bytes& file, const std::string& what,
                    double tolerance)
{
    std::vector<float> expected(file.size() / 4);
    std::memcpy(expected.data(), file.data(), expected.size() * 4);
    expect(rendered.size() == expected.size(),
           what + ": both systems rendered the same number of samples");
    size_t differing = 0, first = rendered.size();
    double largest = 0.;
    for (size_t i = 0; i < rendered.size() && i < expected.size(); ++i)
        if (std::memcmp(&rendered[i], &expected[i], 4) != 0)
        {
            ++differing;
            first = std::min(first, i);
            largest = std::max(largest, std::fabs(double(rendered[i]) - double(expected[i])));
        }
    if (differing)
        std::fprintf(stderr, "%s: %zu of %zu samples differ, the first at %zu, by at most %g\n",
                     what.c_str(), differing, rendered.size(), first, largest);
    if (tolerance == 0.)
        expect(differing == 0, what + ": the samples are identical");
    else
        expect(largest <= tolerance, what + ": the samples differ by no more than the bound");
}

int check(Session& session, const std::string& dir)
{
    Bytes state, ownState, presetFile, renderFile, sweepFile, textsFile, libmFile;
    if (!readFile(dir + "/processor.state", state) ||
        !readFile(dir + "/controller.state", ownState) ||
        !readFile(dir + "/preset.vstpreset", presetFile) ||
        !readFile(dir + "/render.f32", renderFile) || !readFile(dir + "/sweep.f32", sweepFile) ||
        !readFile(dir + "/texts.txt", textsFile) || !readFile(dir + "/libm.txt", libmFile))
        return std::fprintf(stderr, "cannot read the other system's files in %s\n", dir.c_str()), 1;

    // The states load and save back unchanged.
    auto* component = session.create<IComponent>(kProcessorCid, IComponent::iid);
    auto* controller = session.create<IEditController>(kControllerCid, IEditController::iid);
    if (!component || !controller)
        return std::fprintf(stderr, "cannot create both classes\n"), 1;
    MemoryStream in(state.data(), TSize(state.size())), out;
    expect(component->setState(&in) == kResultOk, "the processor state loads");
    component->getState(&out);
    expect(streamBytes(out) == state, "the processor state saves back byte for byte");
    MemoryStream ownIn(ownState.data(), TSize(ownState.size())), ownOut;
    expect(controller->setState(&ownIn) == kResultOk, "the controller state loads");
    controller->getState(&ownOut);
    expect(streamBytes(ownOut) == ownState, "the controller state saves back byte for byte");
    dispose(controller);
    dispose(component);

    // The preset loads into fresh objects, which save the same preset again.
    component = session.create<IComponent>(kProcessorCid, IComponent::iid);
    controller = session.create<IEditController>(kControllerCid, IEditController::iid);
    MemoryStream presetIn(presetFile.data(), TSize(presetFile.size())), presetOut, stateOut;
    expect(PresetFile::loadPreset(&presetIn, fuid(kProcessorCid), component, controller),
           "the preset loads");
    component->getState(&stateOut);
    expect(streamBytes(stateOut) == state, "the preset brings the saved processor state");
    expect(PresetFile::savePreset(&presetOut, fuid(kProcessorCid), component, controller),
           "the preset saves");
    expect(streamBytes(presetOut) == presetFile, "the preset saves back byte for byte");
    dispose(controller);
    dispose(component);

    // The same state and signal give the same samples, and so do many other states. Where the two
    // C libraries round some results of the calls the coefficient design makes differently (by an
    // ulp; the 32-bit Windows run-time's x87 pow does), the samples may differ as well, by no more
    // than one float ulp at full scale.
    const std::string libmDifferences = QuorvaneTest::compareMathProbes(
        QuorvaneTest::probeMathLibrary(), std::string(libmFile.begin(), libmFile.end()));
    double tolerance = 0.;
    if (!libmDifferences.empty())
    {
        tolerance = 1. / (1 << 23);
        std::printf("The two C libraries give different results for:\n%s"
                    "so the samples must agree within %g rather than exactly.\n",
                    libmDifferences.c_str(), tolerance);
    }
    compareSamples(render(session, state), renderFile, "render.f32", tolerance);
    compareSamples(stateSweep(session), sweepFile, "sweep.f32", tolerance);

    // The same display texts, and the same values read back from them.
    const Bytes texts = parameterTexts(session);
    if (texts != textsFile)
    {
        size_t line = 1;
        for (size_t i = 0; i < texts.size() && i < textsFile.size() && texts[i] == textsFile[i];
             ++i)
            line += texts[i] == '\n';
        std::fprintf(stderr, "texts.txt: the first difference is in line %zu\n", line);
    }
    expect(texts == textsFile, "the parameters' texts and the values read from them are identical");

    if (failures == 0)
        std::printf(
            "the other system's states, preset, parameter texts and rendered samples match\n");
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || (std::strcmp(argv[1], "write") != 0 && std::strcmp(argv[1], "check") != 0))
    {
        std::fprintf(stderr, "usage: %s write|check MODULE DIR\n", argv[0]);
        return 2;
    }
    Session session(argv[2]);
    if (!session.problem.empty())
        return std::fprintf(stderr, "%s\n", session.problem.c_str()), 1;
    return std::strcmp(argv[1], "write") == 0 ? write(session, argv[3]) : check(session, argv[3]);
}
