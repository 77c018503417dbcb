// A plug-in's editor shown in a window of the host's own, with the processor
// running on a looping test signal so that the meters move. Edits made in the
// editor reach the processor with the next block; the processor's meter
// readings reach the controller after each block.
#pragma once

#include "hostrunloop.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugview.h"

#include <optional>
#include <vector>

namespace Quorvane
{

class EditorWindow;
class Vst3Plugin;

class EditorSession
{
public:
    enum class Ending
    {
        closed,      // the user closed the window
        timeUp,      // the requested time has passed
        interrupted, // SIGINT or SIGTERM
    };

    static constexpr double kSampleRate = 44100.0;
    static constexpr int kBlockSize = 512;

    // Starts processing, creates the editor and embeds it into WINDOW.
    // Throws HostError (kExitPlugin) when the plug-in has no usable editor.
    // With a scale the view is given it as the host's display scale before it opens.
    EditorSession(Vst3Plugin& plugin, EditorWindow& window,
                  std::optional<double> scale = std::nullopt);
    // Removes the editor if close () was not called.
    ~EditorSession();

    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // Runs the window's and the editor's events, the editor's timers and the
    // processor until the window closes, SECONDS have passed or a signal comes.
    Ending run(std::optional<double> seconds);

    // Removes the editor, delivers the last edits and stops processing.
    void close();

private:
    void openView(std::optional<double> scale);
    void processBlock();

    Vst3Plugin& plugin;
    EditorWindow& window;
    Steinberg::IPtr<HostRunLoop> frame;
    Steinberg::IPtr<Steinberg::IPlugView> view;
    bool attached = false;
    bool processing = false;

    std::vector<std::vector<float>> signal;
    size_t position = 0;
    std::vector<std::vector<float>> input;
    std::vector<std::vector<float>> output;
};

} // namespace Quorvane
