#include "Message.h"

#include <algorithm>
#include <cstring>
#include <new>

// Names are stored with a one-byte length when flattened.
static const size_t kMaxNameLength = 255;

BMessage::BMessage() = default;

BMessage::BMessage(uint32 what) : what(what)
{
}

BMessage::BMessage(const BMessage& other) = default;

BMessage& BMessage::operator=(const BMessage& other) = default;

BMessage::~BMessage() = default;

// #pragma mark - Adding

status_t
BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
	bool isFixedSize)
{
	if (name == nullptr || data == nullptr || numBytes <= 0)
		return B_BAD_VALUE;
	size_t nameLength = strlen(name);
	if (nameLength == 0 || nameLength > kMaxNameLength)
		return B_BAD_VALUE;
	if (type == B_ANY_TYPE)
		return B_BAD_TYPE;

	// Typed finders copy exactly their type's size, so no item may be shorter or longer.
	size_t required = _ItemSizeOf(type);
	if (required != 0 && static_cast<size_t>(numBytes) != required)
		return B_BAD_VALUE;
	const uint8* bytes = static_cast<const uint8*>(data);
	if (type == B_STRING_TYPE && bytes[numBytes - 1] != '\0')
		return B_BAD_VALUE;

	Field* field = _Find(name);
	if (field != nullptr) {
		if (field->type != type)
			return B_BAD_TYPE;
		if (field->fixedSize && field->itemSize != static_cast<size_t>(numBytes))
			return B_BAD_VALUE;
		// Item ends are kept as 32-bit offsets, as the flattened form keeps its sizes.
		if (field->data.size() + static_cast<size_t>(numBytes) > 0x7fffffff)
			return B_NO_MEMORY;
	}

	try {
		if (field == nullptr) {
			Field added;
			added.name.assign(name, nameLength);
			added.type = type;
			added.fixedSize = isFixedSize;
			fFields.push_back(std::move(added));
			field = &fFields.back();
		}
		field->Append(bytes, static_cast<size_t>(numBytes));
	} catch (const std::bad_alloc&) {
		if (field != nullptr && field->CountItems() == 0)
			fFields.pop_back();
		return B_NO_MEMORY;
	}
	return B_OK;
}

status_t
BMessage::AddInt32(const char* name, int32 value)
{
	return AddData(name, B_INT32_TYPE, &value, sizeof(value));
}

status_t
BMessage::AddFloat(const char* name, float value)
{
	return AddData(name, B_FLOAT_TYPE, &value, sizeof(value));
}

status_t
BMessage::AddBool(const char* name, bool value)
{
	uint8 byte = value ? 1 : 0;
	return AddData(name, B_BOOL_TYPE, &byte, 1);
}

status_t
BMessage::AddString(const char* name, const char* value)
{
	if (value == nullptr)
		return B_BAD_VALUE;
	return AddData(name, B_STRING_TYPE, value, static_cast<ssize_t>(strlen(value) + 1), false);
}

// #pragma mark - Finding

status_t
BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
	ssize_t* numBytes) const
{
	if (name == nullptr || data == nullptr)
		return B_BAD_VALUE;
	const Field* field = _Find(name);
	if (field == nullptr)
		return B_NAME_NOT_FOUND;
	if (type != B_ANY_TYPE && field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || static_cast<size_t>(index) >= field->CountItems())
		return B_BAD_INDEX;

	size_t size;
	*data = field->ItemAt(static_cast<size_t>(index), &size);
	if (numBytes != nullptr)
		*numBytes = static_cast<ssize_t>(size);
	return B_OK;
}

template <typename T>
status_t
BMessage::_FindValue(const char* name, type_code type, int32 index, T* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, type, index, &data, &size);
	if (status != B_OK)
		return status;
	if (size != static_cast<ssize_t>(sizeof(T)))
		return B_BAD_DATA;
	memcpy(value, data, sizeof(T));
	return B_OK;
}

status_t
BMessage::FindInt32(const char* name, int32* value) const
{
	return _FindValue(name, B_INT32_TYPE, 0, value);
}

status_t
BMessage::FindInt32(const char* name, int32 index, int32* value) const
{
	return _FindValue(name, B_INT32_TYPE, index, value);
}

status_t
BMessage::FindFloat(const char* name, float* value) const
{
	return _FindValue(name, B_FLOAT_TYPE, 0, value);
}

status_t
BMessage::FindFloat(const char* name, int32 index, float* value) const
{
	return _FindValue(name, B_FLOAT_TYPE, index, value);
}

status_t
BMessage::FindBool(const char* name, bool* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	uint8 byte;
	status_t status = _FindValue(name, B_BOOL_TYPE, 0, &byte);
	if (status == B_OK)
		*value = byte != 0;
	return status;
}

status_t
BMessage::FindString(const char* name, const char** value) const
{
	return FindString(name, 0, value);
}

status_t
BMessage::FindString(const char* name, int32 index, const char** value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	const void* data;
	status_t status = FindData(name, B_STRING_TYPE, index, &data, nullptr);
	if (status == B_OK)
		*value = static_cast<const char*>(data);
	return status;
}

// #pragma mark - Replacing

template <typename T>
status_t
BMessage::_ReplaceValue(const char* name, type_code type, int32 index, T value)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	Field* field = _Find(name);
	if (field == nullptr)
		return B_NAME_NOT_FOUND;
	if (field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || static_cast<size_t>(index) >= field->CountItems())
		return B_BAD_INDEX;
	size_t size;
	uint8* item = field->ItemAt(static_cast<size_t>(index), &size);
	if (size != sizeof(T))
		return B_BAD_DATA;
	memcpy(item, &value, sizeof(T));
	return B_OK;
}

status_t
BMessage::ReplaceInt32(const char* name, int32 index, int32 value)
{
	return _ReplaceValue(name, B_INT32_TYPE, index, value);
}

status_t
BMessage::ReplaceFloat(const char* name, int32 index, float value)
{
	return _ReplaceValue(name, B_FLOAT_TYPE, index, value);
}

// #pragma mark - Inspecting

bool
BMessage::_HasItem(const char* name, type_code type, int32 index) const
{
	if (name == nullptr)
		return false;
	const Field* field = _Find(name);
	return field != nullptr && field->type == type && index >= 0
		&& static_cast<size_t>(index) < field->CountItems();
}

bool
BMessage::HasInt32(const char* name, int32 index) const
{
	return _HasItem(name, B_INT32_TYPE, index);
}

bool
BMessage::HasFloat(const char* name, int32 index) const
{
	return _HasItem(name, B_FLOAT_TYPE, index);
}

status_t
BMessage::RemoveName(const char* name)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	for (auto it = fFields.begin(); it != fFields.end(); ++it) {
		if (it->name == name) {
			fFields.erase(it);
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}

// #pragma mark - Field

size_t
BMessage::Field::CountItems() const
{
	if (!fixedSize)
		return ends.size();
	return itemSize == 0 ? 0 : data.size() / itemSize;
}

const uint8*
BMessage::Field::ItemAt(size_t index, size_t* size) const
{
	size_t start;
	if (fixedSize) {
		start = index * itemSize;
		*size = itemSize;
	} else {
		start = index == 0 ? 0 : ends[index - 1];
		*size = ends[index] - start;
	}
	return reinterpret_cast<const uint8*>(data.data()) + start;
}

uint8*
BMessage::Field::ItemAt(size_t index, size_t* size)
{
	return const_cast<uint8*>(static_cast<const Field*>(this)->ItemAt(index, size));
}

void
BMessage::Field::Append(const uint8* bytes, size_t size)
{
	if (fixedSize) {
		if (itemSize == 0)
			itemSize = static_cast<uint32>(size);
	} else if (ends.size() == ends.capacity()) {
		// Made room for first, so that a failure cannot leave data without its end.
		ends.reserve(std::max<size_t>(4, 2 * ends.size()));
	}
	data.append(reinterpret_cast<const char*>(bytes), size);
	if (!fixedSize)
		ends.push_back(static_cast<uint32>(data.size()));
}

// #pragma mark - Private

BMessage::Field*
BMessage::_Find(const char* name)
{
	for (Field& field : fFields) {
		if (field.name == name)
			return &field;
	}
	return nullptr;
}

const BMessage::Field*
BMessage::_Find(const char* name) const
{
	return const_cast<BMessage*>(this)->_Find(name);
}

size_t
BMessage::_ItemSizeOf(type_code type)
{
	switch (type) {
		case B_BOOL_TYPE:
		case B_CHAR_TYPE:
		case B_INT8_TYPE:
		case B_UINT8_TYPE:
			return 1;
		case B_INT16_TYPE:
		case B_UINT16_TYPE:
			return 2;
		case B_INT32_TYPE:
		case B_UINT32_TYPE:
		case B_FLOAT_TYPE:
		case B_RGB_COLOR_TYPE:
			return 4;
		case B_INT64_TYPE:
		case B_UINT64_TYPE:
		case B_DOUBLE_TYPE:
		case B_POINT_TYPE:
			return 8;
		case B_RECT_TYPE:
			return 16;
		case B_POINTER_TYPE:
			return sizeof(void*);
		default:
			return 0;
	}
}
