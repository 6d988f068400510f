// BMessage read from the platform's classic flattened layout ('FOB1'), in either byte order and
// either size form, checking every length against the bytes that are really there before using
// it. Writing lives in MessageFlatten.cpp.
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

// Reads within [0, limit) of a buffer; every read fails cleanly instead of running past it.
class Reader {
public:
	Reader(const uint8* data, size_t limit, bool swap) : fData(data), fLimit(limit), fSwap(swap) {}

	size_t Position() const { return fPosition; }
	size_t Remaining() const { return fLimit - fPosition; }

	bool Bytes(size_t size, const uint8** bytes)
	{
		if (size > Remaining())
			return false;
		*bytes = fData + fPosition;
		fPosition += size;
		return true;
	}

	bool U8(uint8* value)
	{
		const uint8* bytes;
		if (!Bytes(1, &bytes))
			return false;
		*value = bytes[0];
		return true;
	}

	bool U32(uint32* value)
	{
		const uint8* bytes;
		if (!Bytes(4, &bytes))
			return false;
		memcpy(value, bytes, 4);
		if (fSwap)
			*value = Swap32(*value);
		return true;
	}

	// A count or size: one byte in mini form, else a 32-bit word that must fit an int32.
	bool Size(bool mini, uint32* value)
	{
		if (mini) {
			uint8 byte;
			if (!U8(&byte))
				return false;
			*value = byte;
			return true;
		}
		return U32(value) && *value <= 0x7fffffff;
	}

private:
	const uint8* fData;
	size_t fLimit;
	size_t fPosition = 0;
	bool fSwap;
};

// How the numbers in an item of the platform's fixed-layout types lie, for reading a file of the
// other byte order. Types not listed (bytes, strings, colours, patterns, nested messages, types
// of other programs) are taken as bytes.
struct SwapRule {
	type_code type;
	// Widths of the numbers, in order; 0 stands for the item's own size (2, 4 or 8).
	uint8 widths[2];
	// Whether the widths repeat to the item's end, or lie once at its start before bytes.
	bool repeat;
};

// clang-format off
const SwapRule kSwapRules[] = {
	{B_INT16_TYPE, {2}, true},
	{B_UINT16_TYPE, {2}, true},
	{B_INT32_TYPE, {4}, true},
	{B_UINT32_TYPE, {4}, true},
	{B_FLOAT_TYPE, {4}, true},
	{B_POINT_TYPE, {4}, true},
	{B_RECT_TYPE, {4}, true},
	{'SIZE', {4}, true},     // BSize: two floats
	{'ALGN', {4}, true},     // BAlignment: two enums
	{'MSNG', {4}, true},     // BMessenger: port, token, team
	{B_INT64_TYPE, {8}, true},
	{B_UINT64_TYPE, {8}, true},
	{B_DOUBLE_TYPE, {8}, true},
	{'AMTX', {8}, true},     // BAffineTransform: six doubles
	{'TIME', {0}, true},     // time_t, bigtime_t
	{'OFFT', {0}, true},     // off_t
	{'SIZT', {0}, true},     // size_t
	{'SSZT', {0}, true},     // ssize_t
	{'NREF', {4, 8}, false}, // node_ref: device, node
	{'RREF', {4, 8}, false}, // entry_ref: device, directory, then the name's bytes
};
// clang-format on

void
SwapRange(uint8* bytes, size_t width)
{
	std::reverse(bytes, bytes + width);
}

// Turns one item of a file in the other byte order into host order; an item the rule does not
// fit is left as it is.
void
SwapItem(uint8* item, size_t size, type_code type)
{
	const SwapRule* rule = nullptr;
	for (const SwapRule& candidate : kSwapRules) {
		if (candidate.type == type)
			rule = &candidate;
	}
	if (rule == nullptr)
		return;
	if (rule->repeat) {
		size_t width = rule->widths[0] != 0 ? rule->widths[0] : size;
		if (width != 2 && width != 4 && width != 8)
			return;
		for (size_t i = 0; i + width <= size; i += width)
			SwapRange(item + i, width);
		return;
	}
	if (size < static_cast<size_t>(rule->widths[0]) + rule->widths[1])
		return;
	SwapRange(item, rule->widths[0]);
	SwapRange(item + rule->widths[0], rule->widths[1]);
}

// How many field records follow, read only as far as their sizes allow; an upper bound for
// reserving, the real reading checks everything again.
size_t
CountRecords(Reader reader)
{
	size_t records = 0;
	while (true) {
		uint8 flags, nameLength;
		uint32 type, count = 1, dataSize;
		const uint8* skipped;
		if (!reader.U8(&flags) || (flags & kFieldValid) == 0 || !reader.U32(&type))
			return records;
		const bool mini = flags & kFieldMiniData;
		if ((flags & kFieldSingleItem) == 0 && !reader.Size(mini, &count))
			return records;
		if (!reader.Size(mini, &dataSize) || !reader.U8(&nameLength)
			|| !reader.Bytes(nameLength, &skipped) || !reader.Bytes(dataSize, &skipped))
			return records;
		records++;
	}
}

// A name that comes twice continues its field, as adding item by item would. Found by sorting
// positions rather than through a map of names, which would cost more than small records hold.
status_t
MergeRepeatedNames(std::vector<BMessage::Field>* fields)
{
	std::vector<uint32> order(fields->size());
	for (uint32 i = 0; i < order.size(); i++)
		order[i] = i;
	std::sort(order.begin(), order.end(), [fields](uint32 a, uint32 b) {
		int compared = (*fields)[a].name.compare((*fields)[b].name);
		return compared != 0 ? compared < 0 : a < b;
	});

	bool merged = false;
	for (size_t first = 0; first < order.size();) {
		BMessage::Field& target = (*fields)[order[first]];
		size_t next = first + 1;
		for (; next < order.size() && (*fields)[order[next]].name == target.name; next++) {
			BMessage::Field& more = (*fields)[order[next]];
			if (more.type != target.type || more.fixedSize != target.fixedSize
				|| more.itemSize != target.itemSize)
				return B_BAD_DATA;
			uint32 offset = static_cast<uint32>(target.data.size());
			target.data.append(more.data);
			for (uint32 end : more.ends)
				target.ends.push_back(offset + end);
			// An empty name marks the record as taken in; no real field has one.
			more.name.clear();
			more.data.clear();
			merged = true;
		}
		first = next;
	}
	if (merged) {
		fields->erase(std::remove_if(fields->begin(), fields->end(),
						  [](const BMessage::Field& field) { return field.name.empty(); }),
			fields->end());
		// Room was made for one field per record; a message of few names keeps only those.
		fields->shrink_to_fit();
		for (BMessage::Field& field : *fields) {
			field.data.shrink_to_fit();
			field.ends.shrink_to_fit();
		}
	}
	return B_OK;
}

// A message too big to hold may still be a valid one, which its owner must not lose to a save
// of the little that was understood: it is read through to its stated end, in a small buffer,
// and only a stream that ends sooner is called damaged.
status_t
SkipOversized(BDataIO* stream, size_t remaining)
{
	char scratch[16 * 1024];
	while (remaining > 0) {
		size_t chunk = std::min(sizeof(scratch), remaining);
		status_t status = stream->ReadExactly(scratch, chunk);
		if (status != B_OK)
			return status == B_IO_ERROR ? B_BAD_DATA : status;
		remaining -= chunk;
	}
	return B_FILE_TOO_LARGE;
}

} // namespace

// #pragma mark - Reading

status_t
BMessage::Unflatten(const char* buffer, ssize_t size)
{
	uint32 newWhat = 0;
	std::vector<Field> fields;
	status_t status = B_BAD_DATA;
	try {
		status = _Parse(reinterpret_cast<const uint8*>(buffer), size, &newWhat, &fields);
	} catch (const std::bad_alloc&) {
		status = B_NO_MEMORY;
	}

	if (status != B_OK) {
		what = 0;
		fFields.clear();
		return status;
	}
	what = newWhat;
	fFields.swap(fields);
	return B_OK;
}

status_t
BMessage::Unflatten(BDataIO* stream)
{
	status_t status = _ReadFromStream(stream);
	if (status != B_OK) {
		what = 0;
		fFields.clear();
	}
	return status;
}

status_t
BMessage::_ReadFromStream(BDataIO* stream)
{
	if (stream == nullptr)
		return B_BAD_VALUE;

	uint8 header[kHeaderSize];
	status_t status = stream->ReadExactly(header, kHeaderSize);
	if (status != B_OK)
		return status == B_IO_ERROR ? B_BAD_DATA : status;

	bool swap;
	if (memcmp(header, "1BOF", 4) == 0)
		swap = kHostIsBigEndian;
	else if (memcmp(header, "FOB1", 4) == 0)
		swap = !kHostIsBigEndian;
	else
		return B_BAD_DATA;
	uint32 total;
	memcpy(&total, header + 8, 4);
	if (swap)
		total = Swap32(total);
	if (total < kHeaderSize + 1)
		return B_BAD_DATA;
	if (total > kMaxStreamMessageSize)
		return SkipOversized(stream, total - kHeaderSize);

	// The buffer grows only as bytes really arrive, so a lying header costs nothing.
	std::vector<char> buffer;
	try {
		buffer.assign(header, header + kHeaderSize);
		while (buffer.size() < total) {
			size_t have = buffer.size();
			size_t chunk = std::min<size_t>(kStreamChunkSize, total - have);
			buffer.resize(have + chunk);
			size_t got = 0;
			status = stream->ReadExactly(buffer.data() + have, chunk, &got);
			if (status != B_OK)
				return status == B_IO_ERROR ? B_BAD_DATA : status;
		}
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	}

	return Unflatten(buffer.data(), static_cast<ssize_t>(buffer.size()));
}

status_t
BMessage::_Parse(const uint8* data, ssize_t available, uint32* outWhat,
	std::vector<Field>* outFields)
{
	if (data == nullptr || available < static_cast<ssize_t>(kHeaderSize))
		return B_BAD_VALUE;

	bool swap;
	if (memcmp(data, "1BOF", 4) == 0)
		swap = kHostIsBigEndian;
	else if (memcmp(data, "FOB1", 4) == 0)
		swap = !kHostIsBigEndian;
	else
		return B_BAD_DATA;

	Reader header(data, kHeaderSize, swap);
	uint32 magic, checksum, total, messageWhat;
	uint8 messageFlags;
	header.U32(&magic);
	header.U32(&checksum);
	header.U32(&total);
	header.U32(&messageWhat);
	header.U8(&messageFlags);
	// The checksum does not cover the fields, and the platform's readers never rejected it.
	(void)checksum;
	if (total < kHeaderSize + 1 || total > static_cast<uint64>(available))
		return B_BAD_DATA;

	// From here on nothing beyond the stated total is looked at.
	Reader reader(data, total, swap);
	const uint8* skipped;
	reader.Bytes(kHeaderSize, &skipped);
	if ((messageFlags & kMessageHasTarget) && !reader.Bytes(kTargetSectionSize, &skipped))
		return B_BAD_DATA;
	if ((messageFlags & kMessageHasReply) && !reader.Bytes(kReplySectionSize, &skipped))
		return B_BAD_DATA;

	std::vector<Field> fields;
	// Reserved up front: growing the vector field by field would hold up to three times its
	// size at the moment it moves.
	fields.reserve(CountRecords(reader));
	while (true) {
		uint8 flags;
		if (!reader.U8(&flags))
			return B_BAD_DATA;
		if ((flags & kFieldValid) == 0)
			break;

		const bool mini = flags & kFieldMiniData;
		uint32 type, count = 1, dataSize;
		uint8 nameLength;
		const uint8* name;
		const uint8* bytes;
		if (!reader.U32(&type))
			return B_BAD_DATA;
		if ((flags & kFieldSingleItem) == 0 && !reader.Size(mini, &count))
			return B_BAD_DATA;
		if (!reader.Size(mini, &dataSize) || !reader.U8(&nameLength)
			|| !reader.Bytes(nameLength, &name) || !reader.Bytes(dataSize, &bytes))
			return B_BAD_DATA;
		std::string_view nameView(reinterpret_cast<const char*>(name), nameLength);
		if (count == 0 || dataSize == 0 || nameLength == 0
			|| nameView.find('\0') != std::string_view::npos || type == B_ANY_TYPE)
			return B_BAD_DATA;

		Field field;
		field.name.assign(nameView);
		field.type = type;
		field.fixedSize = flags & kFieldFixedSize;
		status_t status = field.fixedSize
			? _ParseFixedItems(bytes, dataSize, count, &field)
			: _ParseVariableItems(bytes, dataSize, count, swap, &field);
		if (status != B_OK)
			return status;
		if (!IsFlattened(field))
			continue;

		size_t required = _ItemSizeOf(type);
		for (size_t i = 0; i < field.CountItems(); i++) {
			size_t size;
			uint8* item = field.ItemAt(i, &size);
			if (required != 0 && size != required)
				return B_BAD_DATA;
			// Strings are handed out as C strings; each must end inside its item.
			if (type == B_STRING_TYPE && item[size - 1] != '\0')
				return B_BAD_DATA;
			if (swap)
				SwapItem(item, size, type);
		}
		fields.push_back(std::move(field));
	}

	status_t status = MergeRepeatedNames(&fields);
	if (status != B_OK)
		return status;

	// The end marker closes the message exactly where its header said.
	if (reader.Position() != total)
		return B_BAD_DATA;

	*outWhat = messageWhat;
	outFields->swap(fields);
	return B_OK;
}

status_t
BMessage::_ParseFixedItems(const uint8* bytes, uint32 dataSize, uint32 count, Field* field)
{
	if (dataSize % count != 0)
		return B_BAD_DATA;
	field->itemSize = dataSize / count;
	field->data.assign(reinterpret_cast<const char*>(bytes), dataSize);
	return B_OK;
}

status_t
BMessage::_ParseVariableItems(const uint8* bytes, uint32 dataSize, uint32 count, bool swap,
	Field* field)
{
	// Every item takes its length word and at least one byte: a larger count is damage, and
	// checking it first keeps the reservation below within what the input holds.
	if (count > dataSize / 5)
		return B_BAD_DATA;
	field->ends.reserve(count);
	field->data.reserve(dataSize);
	Reader reader(bytes, dataSize, swap);
	for (uint32 i = 0; i < count; i++) {
		uint32 length;
		const uint8* item;
		if (!reader.U32(&length) || length == 0 || !reader.Bytes(length, &item))
			return B_BAD_DATA;
		field->Append(item, length);

		// The last item's padding may be cut off; it carries nothing.
		size_t padding = PaddingAfter(length);
		if (i + 1 == count && padding > reader.Remaining())
			padding = reader.Remaining();
		const uint8* skipped;
		if (!reader.Bytes(padding, &skipped))
			return B_BAD_DATA;
	}
	return reader.Remaining() == 0 ? B_OK : B_BAD_DATA;
}
