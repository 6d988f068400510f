// BMessage written in the platform's classic flattened layout ('FOB1'): a 17-byte header,
// field records back to back and a zero end marker, in host byte order with one-byte sizes where
// they fit. Reading lives in MessageUnflatten.cpp.
#include "Message.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "DataIO.h"
#include "FlattenedLayout.h"

using namespace BPrivate::flattened;

namespace {

struct FieldLayout {
	uint64 dataSize = 0;
	bool mini = false;
	bool single = false;
	uint64 recordSize = 0;
};

FieldLayout
Measure(const BMessage::Field& field)
{
	FieldLayout layout;
	size_t count = field.CountItems();
	layout.dataSize = field.data.size();
	if (!field.fixedSize) {
		for (size_t i = 0; i < count; i++) {
			size_t size;
			field.ItemAt(i, &size);
			layout.dataSize += 4 + PaddingAfter(size);
		}
	}
	layout.single = count == 1;
	layout.mini = count <= 0xff && layout.dataSize <= 0xff;
	size_t sizeBytes = layout.mini ? 1 : 4;
	layout.recordSize = 1 + 4 + (layout.single ? 0 : sizeBytes) + sizeBytes + 1 + field.name.size()
		+ layout.dataSize;
	return layout;
}

class Writer {
public:
	explicit Writer(uint8* buffer) : fBuffer(buffer) {}

	void U8(uint8 value) { fBuffer[fPosition++] = value; }
	void U32(uint32 value) { Bytes(&value, 4); }
	void Bytes(const void* data, size_t size)
	{
		memcpy(fBuffer + fPosition, data, size);
		fPosition += size;
	}
	void Zeros(size_t size)
	{
		memset(fBuffer + fPosition, 0, size);
		fPosition += size;
	}
	size_t Position() const { return fPosition; }

private:
	uint8* fBuffer;
	size_t fPosition = 0;
};

} // namespace

// #pragma mark - Writing

ssize_t
BMessage::FlattenedSize() const
{
	uint64 size = kHeaderSize + 1;
	for (const Field& field : fFields) {
		if (IsFlattened(field))
			size += Measure(field).recordSize;
	}
	// The header stores the total as a 32-bit word.
	if (size > 0x7fffffff)
		return B_BAD_VALUE;
	return static_cast<ssize_t>(size);
}

status_t
BMessage::Flatten(char* buffer, ssize_t size) const
{
	ssize_t needed = FlattenedSize();
	if (needed < 0)
		return static_cast<status_t>(needed);
	if (buffer == nullptr || size < needed)
		return B_BAD_VALUE;

	Writer writer(reinterpret_cast<uint8*>(buffer));
	writer.U32(kMagic);
	writer.U32(0);
	writer.U32(static_cast<uint32>(needed));
	writer.U32(what);
	writer.U8(kMessageValid);

	// Summed over the bytes as written, stored like every other word in host order.
	uint32 checksum = HeaderChecksum(reinterpret_cast<uint8*>(buffer) + 8, kHeaderSize - 8);
	memcpy(buffer + 4, &checksum, 4);

	for (const Field& field : fFields) {
		if (!IsFlattened(field))
			continue;
		FieldLayout layout = Measure(field);
		uint8 flags = kFieldValid;
		if (layout.mini)
			flags |= kFieldMiniData;
		if (field.fixedSize)
			flags |= kFieldFixedSize;
		if (layout.single)
			flags |= kFieldSingleItem;
		writer.U8(flags);
		writer.U32(field.type);
		if (layout.mini) {
			if (!layout.single)
				writer.U8(static_cast<uint8>(field.CountItems()));
			writer.U8(static_cast<uint8>(layout.dataSize));
		} else {
			if (!layout.single)
				writer.U32(static_cast<uint32>(field.CountItems()));
			writer.U32(static_cast<uint32>(layout.dataSize));
		}
		writer.U8(static_cast<uint8>(field.name.size()));
		writer.Bytes(field.name.data(), field.name.size());
		if (field.fixedSize) {
			writer.Bytes(field.data.data(), field.data.size());
			continue;
		}
		for (size_t i = 0; i < field.CountItems(); i++) {
			size_t size;
			const uint8* item = field.ItemAt(i, &size);
			writer.U32(static_cast<uint32>(size));
			writer.Bytes(item, size);
			writer.Zeros(PaddingAfter(size));
		}
	}
	writer.U8(0);
	return B_OK;
}

status_t
BMessage::Flatten(BDataIO* stream, ssize_t* size) const
{
	if (stream == nullptr)
		return B_BAD_VALUE;
	ssize_t needed = FlattenedSize();
	if (needed < 0)
		return static_cast<status_t>(needed);

	std::vector<char> buffer;
	try {
		buffer.resize(static_cast<size_t>(needed));
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	}
	status_t status = Flatten(buffer.data(), needed);
	if (status != B_OK)
		return status;

	size_t written = 0;
	status = stream->WriteExactly(buffer.data(), buffer.size(), &written);
	if (size != nullptr)
		*size = static_cast<ssize_t>(written);
	return status;
}
