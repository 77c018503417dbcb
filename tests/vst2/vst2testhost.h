// A recording VST 2 host callback and a fixture that wraps the fake
// plug-in, for the wrapper tests.
#pragma once

#include "fakeplugin.h"
#include "vst2wrapper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct HostCall
{
    int opcode;
    int index;
    VstIntPtr value;
    float opt;
};

struct TestHost
{
    std::vector<HostCall> calls;
    VstIntPtr sampleRate = 48000;
    VstIntPtr blockSize = 256;
    VstIntPtr version = 2400;
    VstIntPtr sizeWindowAnswer = 1;

    static TestHost* current;
    static VstIntPtr callback(AEffect* effect, int opcode, int index, VstIntPtr value, void* ptr,
                              float opt);

    std::vector<HostCall> callsOf(int opcode) const;
};

class WrapperTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /** Creates the wrapper around a fresh fake factory. */
    Steinberg::Vst::Vst2Wrapper* wrap();
    void closeEffect();

    VstIntPtr dispatch(int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.f);
    std::string text(int opcode, int index);
    void resume() { dispatch(effMainsChanged, 0, 1); }
    /** Runs one stereo block; the input is ramp[i] = (i + 1) / 100. */
    void runBlock(int frames, std::vector<float>* left = nullptr,
                  std::vector<float>* right = nullptr);
    std::vector<uint8_t> chunkBytes();

    TestHost host;
    AEffect* effect = nullptr;
};
