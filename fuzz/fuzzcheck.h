// What every fuzz target checks: a violated invariant aborts with a message, so the fuzzer keeps
// the input that caused it.
#pragma once

#include "pluginterfaces/base/ibstream.h"

#include <cstdint>
#include <vector>

namespace Quorvane::Fuzz
{

[[noreturn]] void fail(const char* what);

inline void check(bool condition, const char* what)
{
    if (!condition)
        fail(what);
}

// The byte sizes the host reads back from getState, whatever was loaded before.
constexpr int64_t kProcessorStateSize = 68;
constexpr int64_t kControllerStateSize = 257;

// A read-only stream over a copy of the given bytes, with seek and tell.
//
// A read that cannot be filled delivers what is left and reports kResultFalse, or, in lenient
// mode, kResultOk with the short count (as some hosts' streams do). Once a read has come up short
// the reader has been told where the stream ends: in strict mode any further read aborts, since
// a reader that keeps going has ignored the end. The bytes live in their own heap block, so the
// address sanitizer also sees any access past them.
class BoundedStream : public Steinberg::IBStream
{
public:
    BoundedStream(const uint8_t* bytes, size_t size, bool lenient = false);

    // Bytes handed out so far, counting from the start (the furthest position read).
    int64_t furthestRead() const { return furthest; }
    int64_t size() const { return int64_t(data.size()); }

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) override;
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) override;
    Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                       Steinberg::int64* result) override;
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
    std::vector<uint8_t> data;
    int64_t position = 0;
    int64_t furthest = 0;
    bool lenient;
    bool endReported = false;
};

// A growing write-only stream for getState; reads fail.
class SinkStream : public Steinberg::IBStream
{
public:
    std::vector<uint8_t> bytes;

    Steinberg::tresult PLUGIN_API read(void*, Steinberg::int32, Steinberg::int32*) override
    {
        return Steinberg::kResultFalse;
    }
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) override;
    Steinberg::tresult PLUGIN_API seek(Steinberg::int64, Steinberg::int32,
                                       Steinberg::int64*) override
    {
        return Steinberg::kNotImplemented;
    }
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }
};

// True when no sample in the first `frames` of each channel is NaN or infinite.
bool allFinite(float* const* channels, int numChannels, int frames);

} // namespace Quorvane::Fuzz
