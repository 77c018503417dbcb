#include "vst2chunk.h"

#include <cstring>

namespace Steinberg {
namespace Vst {

void Vst2Chunk::writeInt64 (std::uint8_t* dst, std::int64_t value)
{
	const auto bits = static_cast<std::uint64_t> (value);
	for (int i = 0; i < 8; ++i)
		dst[i] = static_cast<std::uint8_t> (bits >> (8 * i));
}

std::int64_t Vst2Chunk::readInt64 (const std::uint8_t* src)
{
	std::uint64_t bits = 0;
	for (int i = 7; i >= 0; --i)
		bits = (bits << 8) | src[i];
	return static_cast<std::int64_t> (bits);
}

void Vst2Chunk::compose (const void* processorState, std::size_t processorSize,
                         const void* controllerState, std::size_t controllerSize,
                         std::vector<std::uint8_t>& out)
{
	out.assign (kHeaderSize + processorSize + controllerSize, 0);
	writeInt64 (out.data (), static_cast<std::int64_t> (processorSize));
	writeInt64 (out.data () + 8, static_cast<std::int64_t> (controllerSize));
	if (processorSize > 0)
		std::memcpy (out.data () + kHeaderSize, processorState, processorSize);
	if (controllerSize > 0)
		std::memcpy (out.data () + kHeaderSize + processorSize, controllerState, controllerSize);
}

bool Vst2Chunk::parse (const void* data, std::int64_t size, Parts& parts)
{
	if (data == nullptr || size < static_cast<std::int64_t> (kHeaderSize))
		return false;
	const auto* bytes = static_cast<const std::uint8_t*> (data);
	const std::int64_t processorSize = readInt64 (bytes);
	const std::int64_t controllerSize = readInt64 (bytes + 8);
	if (processorSize < 0 || controllerSize < 0)
		return false;
	// Compared by subtraction so that huge sizes cannot overflow.
	const std::int64_t payload = size - static_cast<std::int64_t> (kHeaderSize);
	if (processorSize > payload || controllerSize != payload - processorSize)
		return false;
	parts.processorState = bytes + kHeaderSize;
	parts.processorSize = processorSize;
	parts.controllerState = bytes + kHeaderSize + processorSize;
	parts.controllerSize = controllerSize;
	return true;
}

} // namespace Vst
} // namespace Steinberg
