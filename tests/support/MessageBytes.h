// What a test needs to see of a whole BMessage, read from the bytes the program writes: the
// flattened form (two messages are the same when they flatten alike) and its fields, counted by
// walking the records as Flatten writes them (our own output: host order, 17-byte header).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "Message.h"

using MessageBytes = std::vector<uint8_t>;

inline MessageBytes
FlattenedBytes(const BMessage& message)
{
	ssize_t size = message.FlattenedSize();
	if (size <= 0)
		return {};
	MessageBytes bytes(static_cast<size_t>(size));
	if (message.Flatten(reinterpret_cast<char*>(bytes.data()), size) != B_OK)
		return {};
	return bytes;
}

inline bool
SameMessage(const BMessage& a, const BMessage& b)
{
	MessageBytes bytes = FlattenedBytes(a);
	return !bytes.empty() && bytes == FlattenedBytes(b);
}

// The number of fields (of one type, unless B_ANY_TYPE); -1 when the bytes do not walk.
inline int32
CountFields(const BMessage& message, type_code type = B_ANY_TYPE)
{
	MessageBytes bytes = FlattenedBytes(message);
	size_t at = 17;
	int32 count = 0;
	auto word = [&](size_t size) {
		uint32 value = 0;
		if (size == 1)
			value = bytes[at];
		else
			memcpy(&value, &bytes[at], 4);
		at += size;
		return value;
	};
	while (at < bytes.size() && bytes[at] != 0) {
		uint8_t flags = bytes[at++];
		if (at + 4 + 1 + 4 + 4 > bytes.size())
			return -1;
		type_code fieldType = word(4);
		size_t sizeBytes = (flags & 0x02) != 0 ? 1 : 4;
		if ((flags & 0x08) == 0)
			word(sizeBytes);
		size_t dataSize = word(sizeBytes);
		size_t nameLength = word(1);
		at += nameLength + dataSize;
		if (type == B_ANY_TYPE || fieldType == type)
			count++;
	}
	return at + 1 == bytes.size() ? count : -1;
}
