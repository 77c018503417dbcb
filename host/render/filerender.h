// One input file through a plug-in into one output file: the part of a
// render that a single render and a batch share.
#pragma once

#include "audio/audiofilewriter.h"
#include "commands/commandline.h"
#include "plugin/hostedplugin.h"
#include "plugin/instancemaker.h"
#include "rendertrace.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace Quorvane
{

struct FileRenderSettings
{
    std::string sideChainPath; // empty: no side chain
    std::optional<int> bits;
    int blockSize = 512;
    double prerollMs = 0.0; // silence played in first and discarded
    // When set, the gate meter is read every millisecond by probes that this
    // maker makes, on up to probeThreads threads (for --plot and --events).
    InstanceMaker* probeMaker = nullptr;
    int probeThreads = 1;
    bool showProgress = false;
    std::atomic<int64_t>* framesDone = nullptr;
    // Receives notes about the files; `always` notes are printed even when quiet.
    std::function<void(const std::string& note, bool always)> note;
};

struct RenderedFile
{
    OutputFormat format;
    int sampleRate = 0;
    int channels = 0;
    double wallSeconds = 0.0;
    std::optional<RenderTrace> trace;
};

// The settings the command line asks for; notes go to the host's messages.
// Probes (for --plot and --events) come from MAKER.
FileRenderSettings renderSettings(const Options& options, InstanceMaker& maker);

// Reads IN, checks that OUT can be written, then asks PLUGIN for the plug-in
// (a single render loads it only now), renders and stops it. BEFORE_COMMIT
// (may be empty) runs before OUT is put in place; OUT is written only when
// everything succeeded. Throws HostError.
RenderedFile
renderFile(const std::string& in, const std::string& out, const FileRenderSettings& settings,
           const std::function<HostedPlugin&()>& plugin,
           const std::function<void(HostedPlugin&, const RenderTrace&)>& beforeCommit = {});

} // namespace Quorvane
