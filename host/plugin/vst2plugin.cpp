#include "vst2plugin.h"

#include "support/hosterror.h"
#include "vst3module.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <dlfcn.h>
#include <ostream>

namespace Quorvane
{

namespace
{

using EntryFunc = AEffect* (*)(audioMasterCallback);

constexpr VstIntPtr kHostVstVersion = 2400;
// Effects write names of up to 32 characters and display texts of up to 8;
// some write more than they should, so the buffers leave ample room.
constexpr size_t kTextBuffer = 256;

// The plug-in being created: during VSTPluginMain the effect calls back
// before we know its AEffect, so the callback finds its host here.
thread_local Vst2Plugin* creating = nullptr;

std::string categoryText(VstIntPtr category)
{
    switch (category)
    {
    case kPlugCategEffect:
        return "effect";
    case kPlugCategSynth:
        return "instrument";
    case kPlugCategAnalysis:
        return "analysis";
    case kPlugCategGenerator:
        return "generator";
    default:
        break;
    }
    return "category " + std::to_string(category);
}

std::string uniqueIdText(VstInt32 id)
{
    char text[48];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(id));
    std::string shown = text;
    std::string letters;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        char c = static_cast<char>((static_cast<unsigned>(id) >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E)
            return shown;
        letters += c;
    }
    return shown + " '" + letters + "'";
}

} // namespace

Vst2Plugin::Vst2Plugin(const std::string& path)
    : givenPath(path), library(Vst3Module::resolveLibrary(path))
{
    handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        const char* why = dlerror();
        pluginError("cannot load plug-in '" + path + "': " + (why ? why : "unknown reason"));
    }
    auto entry = reinterpret_cast<EntryFunc>(dlsym(handle, "VSTPluginMain"));
    if (!entry)
    {
        close();
        pluginError("plug-in '" + path + "' is not a VST 2 plug-in (no VSTPluginMain)");
    }

    creating = this;
    effect = entry(&Vst2Plugin::hostCallback);
    creating = nullptr;
    if (!effect)
    {
        close();
        pluginError("plug-in '" + path + "' created no VST 2 effect (VSTPluginMain returned null)");
    }
    if (effect->magic != kEffectMagic || !effect->dispatcher)
    {
        // Not an effect we can talk to; closing it would mean trusting it.
        effect = nullptr;
        close();
        pluginError("plug-in '" + path + "' returned something that is not a VST 2 effect");
    }
    effect->user = this;
    dispatch(effOpen);
    if (!effect->processReplacing || !effect->setParameter || !effect->getParameter)
    {
        close();
        pluginError("plug-in '" + path +
                    "' cannot process 32-bit float audio in place of its input");
    }
    readParameters();
}

Vst2Plugin::~Vst2Plugin()
{
    close();
}

void Vst2Plugin::close()
{
    if (effect)
    {
        stop();
        dispatch(effClose); // the effect is gone after this
        effect = nullptr;
    }
    if (handle)
    {
        dlclose(handle);
        handle = nullptr;
    }
}

VstIntPtr Vst2Plugin::hostCallback(AEffect* effect, int opcode, int, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion)
        return kHostVstVersion;
    const Vst2Plugin* host =
        effect && effect->user ? static_cast<Vst2Plugin*>(effect->user) : creating;
    return host ? host->answerHost(opcode) : 0;
}

VstIntPtr Vst2Plugin::answerHost(int opcode) const
{
    switch (opcode)
    {
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(std::lround(sampleRate));
    case audioMasterGetBlockSize:
        return blockSize;
    default:
        break;
    }
    return 0;
}

VstIntPtr Vst2Plugin::dispatch(int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Vst2Plugin::text(int opcode, int index)
{
    char buffer[kTextBuffer] = {};
    dispatch(opcode, index, 0, buffer);
    buffer[kTextBuffer - 1] = '\0';
    return buffer;
}

void Vst2Plugin::readParameters()
{
    const int count = std::max(effect->numParams, 0);
    for (int i = 0; i < count; ++i)
    {
        ParameterDescription p;
        p.id = static_cast<uint32_t>(i);
        p.title = text(effGetParamName, i);
        p.units = text(effGetParamLabel, i);
        p.automatable = dispatch(effCanBeAutomated, i) != 0;
        p.defaultNormalized = effect->getParameter(effect, i);
        described.push_back(p);
        openingTexts.push_back(text(effGetParamDisplay, i));
    }
}

void Vst2Plugin::describe(std::ostream& out)
{
    const auto version = dispatch(effGetVendorVersion);
    std::string flags;
    auto flag = [&](VstIntPtr bit, const char* name)
    {
        if (effect->flags & bit)
            flags += (flags.empty() ? "" : ", ") + std::string(name);
    };
    flag(effFlagsCanReplacing, "32-bit processing");
    flag(effFlagsCanDoubleReplacing, "64-bit processing");
    flag(effFlagsProgramChunks, "state chunks");
    flag(effFlagsHasEditor, "editor");

    out << "Module   " << library << "\n"
        << "Format   VST 2 effect (VSTPluginMain), VST version " << dispatch(effGetVstVersion)
        << "\n"
        << "\nEffect   " << text(effGetEffectName) << "\n"
        << "  vendor         " << text(effGetVendorString) << "\n"
        << "  product        " << text(effGetProductString) << "\n"
        << "  version        " << version << "\n"
        << "  unique ID      " << uniqueIdText(effect->uniqueID) << "\n"
        << "  category       " << categoryText(dispatch(effGetPlugCategory)) << "\n"
        << "  audio          " << effect->numInputs << " in, " << effect->numOutputs << " out\n"
        << "  parameters     " << effect->numParams << "\n"
        << "  programs       " << effect->numPrograms << "\n"
        << "  latency        " << effect->initialDelay << " samples\n"
        << "  offers         " << (flags.empty() ? "-" : flags) << "\n";
}

double Vst2Plugin::parameterValue(uint32_t id)
{
    if (id >= described.size())
        return 0.0;
    return effect->getParameter(effect, static_cast<int>(id));
}

std::string Vst2Plugin::displayText(uint32_t id, double normalized)
{
    if (id >= described.size())
        return {};
    const auto value = static_cast<float>(normalized);
    if (value == effect->getParameter(effect, static_cast<int>(id)))
        return text(effGetParamDisplay, static_cast<int>(id));
    if (value == static_cast<float>(described[id].defaultNormalized))
        return openingTexts[id];
    char number[32];
    std::snprintf(number, sizeof(number), "%.4f", normalized);
    return number;
}

std::optional<double> Vst2Plugin::parseDisplayText(uint32_t, const std::string&)
{
    return std::nullopt;
}

void Vst2Plugin::setParameter(uint32_t id, double normalized)
{
    if (id < described.size())
        effect->setParameter(effect, static_cast<int>(id), static_cast<float>(normalized));
}

void Vst2Plugin::loadPreset(const std::string&)
{
    throw HostError(kExitUsage, "presets are read through the VST 3 path; leave out --vst2");
}

void Vst2Plugin::savePreset(const std::string&)
{
    throw HostError(kExitUsage, "presets are written through the VST 3 path; leave out --vst2");
}

void Vst2Plugin::start(double rate, int channels, int maxBlockSize, bool sideChain)
{
    const std::string where = "plug-in '" + givenPath + "'";
    if (sideChain)
        throw HostError(kExitUsage,
                        "a VST 2 effect has no side-chain input; leave out --vst2 to use one");
    const int ins = std::max(effect->numInputs, 0);
    const int outs = std::max(effect->numOutputs, 0);
    if (ins == 0 || ins != outs)
        pluginError(where + " as a VST 2 effect has " + std::to_string(ins) + " inputs and " +
                    std::to_string(outs) +
                    " outputs; only effects with as many of both are hosted");
    if (channels != ins && channels != 1)
        pluginError(where + " as a VST 2 effect takes " + std::to_string(ins) +
                    "-channel or mono audio, not " + std::to_string(channels) + "-channel");
    stop();

    sampleRate = rate;
    blockSize = maxBlockSize;
    fileChannels = channels;
    const auto length = static_cast<size_t>(maxBlockSize);
    spareInputs.assign(static_cast<size_t>(std::max(ins - channels, 0)),
                       std::vector<float>(length));
    spareOutputs.assign(static_cast<size_t>(std::max(outs - channels, 0)),
                        std::vector<float>(length));
    inputPointers.assign(static_cast<size_t>(ins), nullptr);
    outputPointers.assign(static_cast<size_t>(outs), nullptr);
    for (int c = channels; c < ins; ++c)
        inputPointers[static_cast<size_t>(c)] =
            spareInputs[static_cast<size_t>(c - channels)].data();
    for (int c = channels; c < outs; ++c)
        outputPointers[static_cast<size_t>(c)] =
            spareOutputs[static_cast<size_t>(c - channels)].data();

    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    dispatch(effSetBlockSize, 0, maxBlockSize);
    dispatch(effMainsChanged, 0, 1);
    resumed = true;
}

void Vst2Plugin::process(const AudioBlock& block, std::vector<OutputValue>& outputs)
{
    outputs.clear();
    if (!resumed)
        return;
    for (int offset = 0; offset < block.numSamples; offset += blockSize)
    {
        const int n = std::min(block.numSamples - offset, blockSize);
        // The effect's inputs are not const in the VST 2 ABI; it only reads them.
        for (int c = 0; c < fileChannels; ++c)
        {
            inputPointers[static_cast<size_t>(c)] = const_cast<float*>(block.input[c]) + offset;
            outputPointers[static_cast<size_t>(c)] = block.output[c] + offset;
        }
        // A mono file feeds the same signal to every input.
        for (auto& spare : spareInputs)
            std::copy_n(block.input[0] + offset, n, spare.begin());
        effect->processReplacing(effect, inputPointers.data(), outputPointers.data(), n);
    }
}

void Vst2Plugin::stop()
{
    if (resumed)
        dispatch(effMainsChanged, 0, 0);
    resumed = false;
}

} // namespace Quorvane
