#include "fuzzcheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace Steinberg;

namespace Quorvane::Fuzz
{

void fail(const char* what)
{
    std::fprintf(stderr, "invariant violated: %s\n", what);
    std::abort();
}

BoundedStream::BoundedStream(const uint8_t* bytes, size_t size, bool lenient)
    : data(bytes, bytes + size), lenient(lenient)
{
}

tresult PLUGIN_API BoundedStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    if (numBytesRead)
        *numBytesRead = 0;
    if (numBytes < 0 || (numBytes > 0 && !buffer))
        return kInvalidArgument;
    if (endReported && !lenient)
        fail("read on after the stream reported its end");

    const int64_t available = std::max<int64_t>(size() - position, 0);
    const int64_t n = std::min<int64_t>(available, numBytes);
    if (n > 0)
        std::memcpy(buffer, data.data() + position, size_t(n));
    position += n;
    furthest = std::max(furthest, position);
    if (numBytesRead)
        *numBytesRead = int32(n);
    if (n < numBytes)
    {
        endReported = true;
        return lenient ? kResultOk : kResultFalse;
    }
    return kResultOk;
}

tresult PLUGIN_API BoundedStream::write(void*, int32, int32* numBytesWritten)
{
    if (numBytesWritten)
        *numBytesWritten = 0;
    return kResultFalse;
}

tresult PLUGIN_API BoundedStream::seek(int64 pos, int32 mode, int64* result)
{
    int64_t target = pos;
    if (mode == kIBSeekCur)
        target = position + pos;
    else if (mode == kIBSeekEnd)
        target = size() + pos;
    else if (mode != kIBSeekSet)
        return kInvalidArgument;
    if (target < 0 || target > size())
        return kResultFalse;
    position = target;
    // A reader that seeks back has taken note of the end and may read again.
    endReported = false;
    if (result)
        *result = position;
    return kResultOk;
}

tresult PLUGIN_API BoundedStream::tell(int64* pos)
{
    if (!pos)
        return kInvalidArgument;
    *pos = position;
    return kResultOk;
}

tresult PLUGIN_API BoundedStream::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IBStream::iid) ||
        FUnknownPrivate::iidEqual(iid, FUnknown::iid))
    {
        *obj = static_cast<IBStream*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

tresult PLUGIN_API SinkStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
    if (numBytesWritten)
        *numBytesWritten = 0;
    if (numBytes < 0 || (numBytes > 0 && !buffer))
        return kInvalidArgument;
    const auto* p = static_cast<const uint8_t*>(buffer);
    bytes.insert(bytes.end(), p, p + numBytes);
    if (numBytesWritten)
        *numBytesWritten = numBytes;
    return kResultOk;
}

tresult PLUGIN_API SinkStream::tell(int64* pos)
{
    if (!pos)
        return kInvalidArgument;
    *pos = int64(bytes.size());
    return kResultOk;
}

tresult PLUGIN_API SinkStream::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IBStream::iid) ||
        FUnknownPrivate::iidEqual(iid, FUnknown::iid))
    {
        *obj = static_cast<IBStream*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

bool allFinite(float* const* channels, int numChannels, int frames)
{
    for (int c = 0; c < numChannels; ++c)
        for (int i = 0; i < frames; ++i)
            if (!std::isfinite(channels[c][i]))
                return false;
    return true;
}

} // namespace Quorvane::Fuzz
