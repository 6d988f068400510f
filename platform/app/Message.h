// BMessage: a what-code plus named, typed fields, each field holding one or more values of
// one type. Flattens into the platform's classic 'FOB1' layout and reads it back defensively.
// It does no delivery itself: loopers queue messages, handlers receive them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Rect.h"
#include "SupportDefs.h"

class BDataIO;

class BMessage {
public:
	uint32 what = 0;

	BMessage();
	explicit BMessage(uint32 what);
	BMessage(const BMessage& other);
	BMessage& operator=(const BMessage& other);
	virtual ~BMessage();

	// Fields. Add appends a value; it is refused (B_BAD_TYPE) when the name holds another type.
	status_t AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
		bool isFixedSize = true);
	status_t AddInt32(const char* name, int32 value);
	status_t AddFloat(const char* name, float value);
	status_t AddBool(const char* name, bool value);
	status_t AddString(const char* name, const char* value);
	status_t AddInt64(const char* name, int64 value)
	{
		return AddData(name, B_INT64_TYPE, &value, sizeof(value));
	}
	status_t AddPoint(const char* name, BPoint point)
	{
		return AddData(name, B_POINT_TYPE, &point, sizeof(point));
	}

	// Find fails with B_NAME_NOT_FOUND for a missing name, B_BAD_TYPE for another type and
	// B_BAD_INDEX past the last value.
	status_t FindData(const char* name, type_code type, int32 index, const void** data,
		ssize_t* numBytes) const;
	status_t FindInt32(const char* name, int32* value) const;
	status_t FindInt32(const char* name, int32 index, int32* value) const;
	status_t FindFloat(const char* name, float* value) const;
	status_t FindFloat(const char* name, int32 index, float* value) const;
	status_t FindBool(const char* name, bool* value) const;
	status_t FindString(const char* name, const char** value) const;
	status_t FindString(const char* name, int32 index, const char** value) const;
	status_t FindPoint(const char* name, BPoint* point) const
	{
		const void* data = nullptr;
		ssize_t size = 0;
		status_t status = FindData(name, B_POINT_TYPE, 0, &data, &size);
		if (status != B_OK)
			return status;
		if (size != (ssize_t)sizeof(BPoint))
			return B_BAD_DATA;
		*point = *static_cast<const BPoint*>(data);
		return B_OK;
	}

	status_t ReplaceInt32(const char* name, int32 index, int32 value);
	status_t ReplaceFloat(const char* name, int32 index, float value);

	bool HasInt32(const char* name, int32 index = 0) const;
	bool HasFloat(const char* name, int32 index = 0) const;

	status_t RemoveName(const char* name);

	// Flattening in the classic layout, host byte order, mini data where it fits.
	ssize_t FlattenedSize() const;
	status_t Flatten(char* buffer, ssize_t size) const;
	status_t Flatten(BDataIO* stream, ssize_t* size = nullptr) const;
	// Replaces what-code and fields with one message read from the bytes or the stream.
	// Any damage gives an error and leaves the message empty (what-code 0). A stream is read
	// only as far as the message goes; one claiming more than 1 MiB counts as damaged.
	status_t Unflatten(const char* buffer, ssize_t size);
	status_t Unflatten(BDataIO* stream);

	// One named field. Its items lie back to back in one buffer, so a field of many small items
	// costs about what its bytes do (a flattened message is held in a small multiple of its size).
	struct Field {
		std::string name;
		type_code type = 0;
		bool fixedSize = true;
		// Fixed size: every item has itemSize bytes. Variable size: item i ends at ends[i].
		uint32 itemSize = 0;
		std::vector<uint32> ends;
		// A string for its inline buffer: the one or two small values of a typical field then
		// take no allocation of their own.
		std::string data;

		size_t CountItems() const;
		const uint8* ItemAt(size_t index, size_t* size) const;
		uint8* ItemAt(size_t index, size_t* size);
		// Appends one item (may throw std::bad_alloc); the caller has checked its size.
		void Append(const uint8* bytes, size_t size);
	};

private:
	Field* _Find(const char* name);
	const Field* _Find(const char* name) const;
	bool _HasItem(const char* name, type_code type, int32 index) const;
	// The size every item of a type must have, 0 for types of no fixed size.
	static size_t _ItemSizeOf(type_code type);
	template <typename T>
	status_t _FindValue(const char* name, type_code type, int32 index, T* value) const;
	template <typename T>
	status_t _ReplaceValue(const char* name, type_code type, int32 index, T value);

	status_t _ReadFromStream(BDataIO* stream);
	static status_t _Parse(const uint8* data, ssize_t available, uint32* what,
		std::vector<Field>* fields);
	static status_t _ParseFixedItems(const uint8* bytes, uint32 dataSize, uint32 count,
		Field* field);
	static status_t _ParseVariableItems(const uint8* bytes, uint32 dataSize, uint32 count,
		bool swap, Field* field);

	std::vector<Field> fFields;
};
