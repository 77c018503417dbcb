// The VST 2 effect's effSetChunk fed arbitrary bytes, through VSTPluginMain and the real factory.
//
// Input: one mode byte (bit 0: the chunk is a program rather than a bank; bit 1: the effect is
// running when the chunk arrives), then the chunk.
#include "fuzzcheck.h"

#include "vst2chunk.h"

#include "pluginterfaces/fst/aeffectx.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace Quorvane::Fuzz;

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

namespace
{

VstIntPtr hostCallback(AEffect*, int opcode, int, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

VstIntPtr dispatch(AEffect* effect, int opcode, int index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0.f)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void checkRunsFinite(AEffect* effect)
{
    constexpr int kFrames = 128;
    static float in[2][kFrames], out[2][kFrames];
    float* inPtr[2] = {in[0], in[1]};
    float* outPtr[2] = {out[0], out[1]};
    for (int block = 0; block < 2; ++block)
    {
        for (int i = 0; i < kFrames; ++i)
            in[0][i] = in[1][i] = std::sin(float(i + block * kFrames) * 0.05f) * 0.5f;
        effect->processReplacing(effect, inPtr, outPtr, kFrames);
        check(allFinite(outPtr, 2, kFrames), "non-finite VST 2 output for finite input");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool program = data[0] & 1;
    const bool running = data[0] & 2;

    AEffect* effect = VSTPluginMain(hostCallback);
    check(effect != nullptr, "no effect from VSTPluginMain");
    dispatch(effect, effOpen);
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.f);
    dispatch(effect, effSetBlockSize, 0, 128);
    if (running)
        dispatch(effect, effMainsChanged, 0, 1);

    // The chunk in a block of exactly its own size, so the sanitizer sees any read beyond it.
    std::vector<uint8_t> chunk(data + 1, data + size);
    dispatch(effect, effSetChunk, program ? 1 : 0, VstIntPtr(chunk.size()),
             chunk.empty() ? nullptr : chunk.data());

    if (!running)
        dispatch(effect, effMainsChanged, 0, 1);
    checkRunsFinite(effect);
    dispatch(effect, effMainsChanged, 0, 0);

    void* saved = nullptr;
    const VstIntPtr savedSize = dispatch(effect, effGetChunk, program ? 1 : 0, 0, &saved);
    Steinberg::Vst::Vst2Chunk::Parts parts;
    check(Steinberg::Vst::Vst2Chunk::parse(saved, savedSize, parts),
          "the effect's own chunk does not parse");
    check(parts.processorSize == kProcessorStateSize,
          "processor state in the chunk is not 68 bytes");
    check(parts.controllerSize == kControllerStateSize,
          "controller state in the chunk is not 257 bytes");

    // Read back into itself, the chunk stays the same.
    std::vector<uint8_t> copy(static_cast<uint8_t*>(saved),
                              static_cast<uint8_t*>(saved) + savedSize);
    check(dispatch(effect, effSetChunk, 0, VstIntPtr(copy.size()), copy.data()) == 1,
          "the effect refused its own chunk");
    void* again = nullptr;
    const VstIntPtr againSize = dispatch(effect, effGetChunk, 0, 0, &again);
    check(againSize == savedSize && std::memcmp(again, copy.data(), copy.size()) == 0,
          "chunk changed on a round trip");

    for (int i = 0; i < effect->numParams; ++i)
    {
        const float v = effect->getParameter(effect, i);
        check(std::isfinite(v) && v >= 0.f && v <= 1.f, "VST 2 parameter outside 0..1");
    }
    dispatch(effect, effClose);
    return 0;
}
