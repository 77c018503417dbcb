// Saving and loading the processor's state (its layout: processorstate.h), and the hand-over of
// a loaded state to the audio thread.
#include "again.h"

#include "processorstate.h"

#include <cmath>

using namespace Steinberg;

namespace Quorvane
{

tresult PLUGIN_API again::getState(IBStream* state)
{
    if (!state)
        return kInvalidArgument;

    std::lock_guard<std::mutex> lock(hostCallMutex);
    return writeProcessorState(state, newestState()) ? kResultOk : kResultFalse;
}

// The state as the host should see it now (main thread). While active the audio thread owns the
// mirror: the newest state is either the one handed over and not yet taken, or the mirror the
// audio thread last published.
const ParamMirror& again::newestState()
{
    if (!active.load(std::memory_order_acquire))
        return mirror;
    if (appliedGeneration.load(std::memory_order_acquire) < stateGeneration)
        return lastSetState;
    currentState.take();
    return currentState.front();
}

tresult PLUGIN_API again::setState(IBStream* state)
{
    if (!state)
        return kInvalidArgument;

    ParamMirror loaded;
    if (!readProcessorState(state, loaded))
        return kResultFalse;
    std::lock_guard<std::mutex> lock(hostCallMutex);
    // A damaged field that is not a number keeps the value in force rather than reaching the
    // engine.
    const ParamMirror& current = newestState();
    for (uint32_t i = 0; i < kNumContinuousParams; ++i)
        if (!std::isfinite(loaded.values[i]))
            loaded.values[i] = current.values[i];
    loaded.generation = ++stateGeneration;

    if (!active.load(std::memory_order_acquire))
    {
        mirror = loaded;
        pushMirrorToEngine();
        publishMirror();
        return kResultOk;
    }

    // Active: the audio thread takes the new state at the start of its next block.
    lastSetState = loaded;
    pendingState.back() = loaded;
    pendingState.publish();
    return kResultOk;
}

} // namespace Quorvane
