// The layout of the chunk a VST 2 host stores for a wrapped VST 3 plug-in:
//   int64 little-endian  size of the processor state (P)
//   int64 little-endian  size of the controller state (C)
//   P bytes              processor state
//   C bytes              controller state
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Steinberg {
namespace Vst {

class Vst2Chunk
{
public:
	static constexpr std::size_t kHeaderSize = 16;

	/** Where the two states lie inside a chunk that parse() accepted. */
	struct Parts
	{
		const std::uint8_t* processorState = nullptr;
		std::int64_t processorSize = 0;
		const std::uint8_t* controllerState = nullptr;
		std::int64_t controllerSize = 0;
	};

	/** Replaces out with the chunk holding both states. */
	static void compose (const void* processorState, std::size_t processorSize,
	                     const void* controllerState, std::size_t controllerSize,
	                     std::vector<std::uint8_t>& out);

	/** Checks a chunk of size bytes and locates its parts. Refuses (false,
	    parts untouched) a null chunk, one shorter than its header, negative
	    sizes, and sizes that do not add up to exactly size. Reads nothing
	    past data + size. */
	static bool parse (const void* data, std::int64_t size, Parts& parts);

private:
	static void writeInt64 (std::uint8_t* dst, std::int64_t value);
	static std::int64_t readInt64 (const std::uint8_t* src);
};

} // namespace Vst
} // namespace Steinberg
