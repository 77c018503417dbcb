// `quorvane demo [DIR]`: a drum loop over a noise floor, gated, with a plot.
#include "audio/audiofilewriter.h"
#include "audio/demosignal.h"
#include "commands.h"
#include "support/hosterror.h"
#include "support/temporaryfile.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <sndfile.h>

namespace fs = std::filesystem;

namespace Quorvane
{

namespace
{

constexpr int kDemoRate = 44100;
constexpr double kDemoSeconds = 6.0;

void writeDemoInput(const std::string& path)
{
    auto signal = makeDemoSignal(kDemoRate, kDemoSeconds);
    const int channels = static_cast<int>(signal.size());
    const int frames = static_cast<int>(signal[0].size());
    OutputFormat format = chooseOutputFormat(path, std::nullopt, SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                                             channels, kDemoRate);
    TemporaryFile temporary(path);
    AudioFileWriter writer(temporary, path, format, channels, kDemoRate);
    writer.write(signal, frames);
    writer.close();
    temporary.commit();
}

} // namespace

int runDemo(const Options& options)
{
    const fs::path folder =
        options.positional.empty() ? fs::path("quorvane-demo") : fs::path(options.positional[0]);
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder))
        throw HostError(kExitOutput,
                        "cannot create the folder '" + folder.string() + "': " +
                            (error ? error.message() : std::string("a file is in the way")));

    const std::string input = (folder / "demo-input.wav").string();
    const std::string output = (folder / "demo-output.wav").string();
    const std::string plot = (folder / "demo-plot.png").string();
    writeDemoInput(input);

    // Settings that clear the hiss and hum between the hits and leave the
    // drums' decay intact.
    Options render = options;
    render.command = Command::render;
    render.positional = {input, output};
    render.plotPath = plot;
    render.assignments = {{"Threshold", "-36 dB", false},
                          {"Range", "-80 dB", false},
                          {"Hold", "40 ms", false},
                          {"Release", "60 ms", false},
                          {"Attack (gradual)", "0.5 ms", false}};
    render.assignments.insert(render.assignments.end(), options.assignments.begin(),
                              options.assignments.end());
    int status = runRender(render);
    if (status == kExitOk && !options.quiet)
        std::cout << "\nwrote " << input << "\n      " << output << "\n      " << plot << "\n";
    return status;
}

} // namespace Quorvane
