// The platform's classic flattened message layout ('FOB1') as both halves of BMessage's
// flattening see it: the magic word, the header's flags and checksum, the field flags and the
// padding of variable-size items. Kit-internal.
#pragma once

#include <bit>
#include <cstddef>

#include "Message.h"
#include "SupportDefs.h"

namespace BPrivate {
namespace flattened {

inline constexpr uint32 kMagic = 'FOB1';
inline constexpr size_t kHeaderSize = 17;
inline constexpr size_t kTargetSectionSize = 4;
inline constexpr size_t kReplySectionSize = 16;
// A stream claiming more than this is not read into memory (B_FILE_TOO_LARGE, not damage: the
// file may be valid). Parsed items cost a few times their bytes, so the cap also bounds what a
// hostile file can make us hold; a real settings file is far below it.
inline constexpr size_t kMaxStreamMessageSize = 16 * 1024 * 1024;
inline constexpr size_t kStreamChunkSize = 64 * 1024;

enum : uint8 {
	kMessageValid = 0x01,
	kMessageHasTarget = 0x02,
	kMessageHasReply = 0x04,
};

enum : uint8 {
	kFieldValid = 0x01,
	kFieldMiniData = 0x02,
	kFieldFixedSize = 0x04,
	kFieldSingleItem = 0x08,
};

inline constexpr bool kHostIsBigEndian = std::endian::native == std::endian::big;

inline uint32
Swap32(uint32 value)
{
	return __builtin_bswap32(value);
}

// Variable-size items are padded so that each length word plus its bytes fill whole 8-byte units.
inline size_t
PaddingAfter(size_t length)
{
	return (8 - (4 + length) % 8) % 8;
}

// Bytes 8 to the end of the header part, taken four at a time as big-endian words.
inline uint32
HeaderChecksum(const uint8* bytes, size_t size)
{
	uint32 sum = 0;
	size_t i = 0;
	for (; i + 4 <= size; i += 4) {
		sum += (uint32(bytes[i]) << 24) | (uint32(bytes[i + 1]) << 16) | (uint32(bytes[i + 2]) << 8)
			| uint32(bytes[i + 3]);
	}
	uint32 tail = 0;
	for (; i < size; i++)
		tail = (tail << 8) + bytes[i];
	return sum + tail;
}

// Pointers mean nothing outside this process and are never written.
inline bool
IsFlattened(const BMessage::Field& field)
{
	return field.type != B_POINTER_TYPE;
}

} // namespace flattened
} // namespace BPrivate
