#include "editorsession.h"

#include "audio/demosignal.h"
#include "editorwindow.h"
#include "editrelay.h"
#include "plugin/vst3plugin.h"
#include "support/hosterror.h"
#include "support/interrupt.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <poll.h>

using namespace Steinberg;
using Clock = std::chrono::steady_clock;

namespace Quorvane
{

namespace
{

// Two bars of the demo's drum pattern, played over and over.
constexpr double kLoopSeconds = 4.0;
constexpr int kChannels = 2;
// A loop that falls this far behind the audio clock skips ahead instead of
// processing a burst of blocks.
constexpr auto kMaxLag = std::chrono::milliseconds(100);
// The longest sleep, so that signals and the deadline are noticed in time.
constexpr int kMaxWaitMs = 50;

int millisecondsUntil(Clock::time_point when, Clock::time_point now)
{
    if (when <= now)
        return 0;
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
    return static_cast<int>(std::min<decltype(wait)>(wait, kMaxWaitMs));
}

} // namespace

EditorSession::EditorSession(Vst3Plugin& plugin, EditorWindow& window, std::optional<double> scale)
    : plugin(plugin), window(window)
{
    signal = makeDemoSignal(static_cast<int>(kSampleRate), kLoopSeconds);
    input.assign(kChannels, std::vector<float>(kBlockSize));
    output.assign(kChannels, std::vector<float>(kBlockSize));

    plugin.start(kSampleRate, kChannels, kBlockSize, false);
    processing = true;
    auto relay = owned(new EditRelay([&plugin](Vst::ParamID id, Vst::ParamValue value)
                                     { plugin.queueEdit(id, value); }));
    plugin.editController()->setComponentHandler(relay);
    try
    {
        openView(scale);
    }
    catch (...)
    {
        close();
        throw;
    }
}

EditorSession::~EditorSession()
{
    close();
}

void EditorSession::openView(std::optional<double> scale)
{
    const std::string where = "plug-in '" + plugin.path() + "'";
    view = owned(plugin.editController()->createView(Vst::ViewType::kEditor));
    if (!view)
        throw HostError(kExitPlugin, where + " has no editor");
    if (view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue)
        throw HostError(kExitPlugin, where + "'s editor cannot be embedded into an X11 window");

    frame = owned(new HostRunLoop(
        [this](int width, int height)
        {
            window.resize(width, height);
            return true;
        }));
    view->setFrame(frame);
    if (scale)
    {
        FUnknownPtr<IPlugViewContentScaleSupport> scaling(view);
        if (!scaling || scaling->setContentScaleFactor(static_cast<float>(*scale)) != kResultTrue)
            throw HostError(kExitPlugin, where + "'s editor does not take a display scale");
    }
    ViewRect size;
    if (view->getSize(&size) == kResultOk && size.getWidth() > 0 && size.getHeight() > 0)
        window.resize(size.getWidth(), size.getHeight());
    void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window.id()));
    if (view->attached(parent, kPlatformTypeX11EmbedWindowID) != kResultOk)
        throw HostError(kExitPlugin, where + "'s editor refused to open in the window");
    attached = true;
}

void EditorSession::processBlock()
{
    const size_t length = signal[0].size();
    for (int i = 0; i < kBlockSize; ++i)
    {
        for (int c = 0; c < kChannels; ++c)
            input[c][i] = signal[c][position];
        position = (position + 1) % length;
    }
    const float* inputs[kChannels] = {input[0].data(), input[1].data()};
    float* outputs[kChannels] = {output[0].data(), output[1].data()};
    AudioBlock block;
    block.input = inputs;
    block.output = outputs;
    block.numSamples = kBlockSize;
    std::vector<OutputValue> meters;
    // The output values reach the controller inside process ().
    plugin.process(block, meters);
}

EditorSession::Ending EditorSession::run(std::optional<double> seconds)
{
    const auto blockPeriod = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(kBlockSize / kSampleRate));
    const Clock::time_point start = Clock::now();
    std::optional<Clock::time_point> deadline;
    if (seconds)
        deadline = start + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(*seconds));
    Clock::time_point nextBlock = start;
    std::vector<pollfd> entries;

    for (;;)
    {
        if (interruptRequested())
            return Ending::interrupted;
        if (!window.processEvents())
            return Ending::closed;
        Clock::time_point now = Clock::now();
        if (deadline && now >= *deadline)
            return Ending::timeUp;

        if (now >= nextBlock)
        {
            processBlock();
            nextBlock += blockPeriod;
            if (now - nextBlock > kMaxLag)
                nextBlock = now + blockPeriod;
        }
        frame->fireDueTimers();

        now = Clock::now();
        Clock::time_point wake = nextBlock;
        if (auto timer = frame->nextTimerDue())
            wake = std::min(wake, *timer);
        if (deadline)
            wake = std::min(wake, *deadline);

        entries.clear();
        entries.push_back({window.connectionFd(), POLLIN, 0});
        frame->appendPollEntries(entries);
        int ready = poll(entries.data(), entries.size(), millisecondsUntil(wake, now));
        if (ready < 0 && errno != EINTR)
            throw HostError(kExitInternal, "waiting for window events failed");
        if (ready > 0)
            frame->dispatchReady(entries);
    }
}

void EditorSession::close()
{
    if (attached)
    {
        attached = false;
        view->removed();
    }
    if (view)
    {
        view->setFrame(nullptr);
        view = nullptr;
    }
    if (frame)
    {
        // Whatever the editor left registered goes with it.
        frame->clear();
        frame = nullptr;
    }
    if (processing)
    {
        processing = false;
        plugin.flushParameters();
        plugin.stop();
    }
}

} // namespace Quorvane
