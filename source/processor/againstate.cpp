// The processor's stored state: 17 little-endian fields of 4 bytes in parameter order,
// five int32 switches (1 or 0) followed by twelve normalized float32 values.
#include "again.h"

#include "paramids.h"

#include "pluginterfaces/base/ibstream.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;

namespace Quorvane {

namespace {

// The stored bytes are little-endian, as is every platform this builds for.
static_assert(sizeof(int32) == 4 && sizeof(float) == 4, "state fields are 4 bytes");

bool writeField(IBStream* stream, const void* field)
{
    return stream->write(const_cast<void*>(field), 4, nullptr) == kResultOk;
}

bool writeState(IBStream* stream, const ParamMirror& state)
{
    for (uint32_t i = 0; i < kNumSwitchParams; ++i)
    {
        const int32 on = state.switches[i] ? 1 : 0;
        if (!writeField(stream, &on))
            return false;
    }
    for (uint32_t i = 0; i < kNumContinuousParams; ++i)
        if (!writeField(stream, &state.values[i]))
            return false;
    return true;
}

// Reads all 17 fields; `state` is changed only when every read succeeded. Each field is cleared
// before it is read, so a stream that reports success without delivering bytes gives zeros.
bool readState(IBStream* stream, ParamMirror& state)
{
    int32 switches[kNumSwitchParams];
    float values[kNumContinuousParams];
    for (int32& field : switches)
    {
        field = 0;
        if (stream->read(&field, 4, nullptr) != kResultOk)
            return false;
    }
    for (float& field : values)
    {
        field = 0.f;
        if (stream->read(&field, 4, nullptr) != kResultOk)
            return false;
    }
    for (uint32_t i = 0; i < kNumSwitchParams; ++i)
        state.switches[i] = switches[i] > 0;
    std::memcpy(state.values, values, sizeof(values));
    return true;
}

} // namespace

tresult PLUGIN_API again::getState(IBStream* state)
{
    if (!state)
        return kInvalidArgument;

    std::lock_guard<std::mutex> lock(hostCallMutex);
    return writeState(state, newestState()) ? kResultOk : kResultFalse;
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
    if (!readState(state, loaded))
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
