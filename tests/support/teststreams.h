// Byte streams for state tests: one that fails after a number of bytes, one that reports success
// for reads it cannot fill (as some hosts' streams do), and a plain vector-backed stream.
#pragma once

#include "pluginterfaces/base/ibstream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace QuorvaneTest
{

class ByteStream : public Steinberg::IBStream
{
public:
    enum class ShortRead
    {
        Fail,
        ReportSuccess
    };

    ByteStream() = default;
    explicit ByteStream(std::vector<unsigned char> bytes, ShortRead mode = ShortRead::Fail)
        : data(std::move(bytes)), shortRead(mode)
    {
    }

    // Writes fail once `limit` bytes have been written (negative: no limit).
    void setWriteLimit(long limit) { writeLimit = limit; }

    std::vector<unsigned char> data;
    size_t position = 0;
    int readCalls = 0;

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) override
    {
        ++readCalls;
        const size_t available = data.size() - std::min(position, data.size());
        const size_t n = std::min(available, size_t(std::max(numBytes, 0)));
        if (n > 0)
            std::memcpy(buffer, data.data() + position, n);
        position += n;
        if (numBytesRead)
            *numBytesRead = Steinberg::int32(n);
        if (n < size_t(numBytes) && shortRead == ShortRead::Fail)
            return Steinberg::kResultFalse;
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) override
    {
        if (writeLimit >= 0 && long(data.size()) + numBytes > writeLimit)
            return Steinberg::kResultFalse;
        auto* p = static_cast<unsigned char*>(buffer);
        data.insert(data.end(), p, p + numBytes);
        if (numBytesWritten)
            *numBytesWritten = numBytes;
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API seek(Steinberg::int64, Steinberg::int32,
                                       Steinberg::int64*) override
    {
        return Steinberg::kNotImplemented;
    }
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override
    {
        if (pos)
            *pos = Steinberg::int64(position);
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override
    {
        *obj = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
    ShortRead shortRead = ShortRead::Fail;
    long writeLimit = -1;
};

// Little-endian field helpers for building state images by hand.
inline void appendInt32(std::vector<unsigned char>& out, int32_t v)
{
    unsigned char b[4];
    std::memcpy(b, &v, 4);
    out.insert(out.end(), b, b + 4);
}
inline void appendFloat(std::vector<unsigned char>& out, float v)
{
    unsigned char b[4];
    std::memcpy(b, &v, 4);
    out.insert(out.end(), b, b + 4);
}
inline float floatAt(const std::vector<unsigned char>& bytes, size_t offset)
{
    float v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}
inline int32_t int32At(const std::vector<unsigned char>& bytes, size_t offset)
{
    int32_t v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

} // namespace QuorvaneTest
