#include "processorstate.h"

#include "pluginterfaces/base/ibstream.h"

#include <cstring>

using namespace Steinberg;

namespace Quorvane
{

namespace
{

// The stored bytes are little-endian, as is every platform this builds for.
static_assert(sizeof(int32) == 4 && sizeof(float) == 4, "state fields are 4 bytes");

bool writeField(IBStream* stream, const void* field)
{
    return stream->write(const_cast<void*>(field), 4, nullptr) == kResultOk;
}

bool readField(IBStream* stream, void* field)
{
    std::memset(field, 0, 4);
    return stream->read(field, 4, nullptr) == kResultOk;
}

} // namespace

bool writeProcessorState(IBStream* stream, const ProcessorState& state)
{
    for (bool on : state.switches)
    {
        const int32 field = on ? 1 : 0;
        if (!writeField(stream, &field))
            return false;
    }
    for (const float& field : state.values)
        if (!writeField(stream, &field))
            return false;
    return true;
}

bool readProcessorState(IBStream* stream, ProcessorState& state)
{
    int32 switches[kNumSwitchParams];
    float values[kNumContinuousParams];
    for (int32& field : switches)
        if (!readField(stream, &field))
            return false;
    for (float& field : values)
        if (!readField(stream, &field))
            return false;
    for (uint32_t i = 0; i < kNumSwitchParams; ++i)
        state.switches[i] = switches[i] > 0;
    std::memcpy(state.values, values, sizeof(values));
    return true;
}

} // namespace Quorvane
