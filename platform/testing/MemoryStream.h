// A stream over bytes of its own, for tests and fuzz targets that flatten into memory or read
// a message from it. Writes grow it up to a capacity (unbounded unless given); a read-only
// stream refuses them with B_NOT_ALLOWED, as a file opened for reading does.
#pragma once

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "DataIO.h"

namespace BPrivate {

class MemoryStream : public BPositionIO {
public:
	MemoryStream() = default;
	MemoryStream(const void* data, size_t length, bool readOnly = false) :
		fData(static_cast<const uint8*>(data), static_cast<const uint8*>(data) + length),
		fReadOnly(readOnly)
	{
	}
	static MemoryStream WithCapacity(size_t capacity)
	{
		MemoryStream stream;
		stream.fCapacity = capacity;
		return stream;
	}

	ssize_t ReadAt(off_t position, void* buffer, size_t size) override
	{
		if (position < 0)
			return B_BAD_VALUE;
		if ((size_t)position >= fData.size())
			return 0;
		size = std::min(size, fData.size() - (size_t)position);
		memcpy(buffer, fData.data() + position, size);
		return (ssize_t)size;
	}
	ssize_t WriteAt(off_t position, const void* buffer, size_t size) override
	{
		if (fReadOnly)
			return B_NOT_ALLOWED;
		if (position < 0 || (size_t)position > fCapacity)
			return B_BAD_VALUE;
		size = std::min(size, fCapacity - (size_t)position);
		if ((size_t)position + size > fData.size())
			fData.resize((size_t)position + size);
		memcpy(fData.data() + position, buffer, size);
		return (ssize_t)size;
	}
	off_t Seek(off_t position, uint32 seekMode) override
	{
		off_t base = seekMode == SEEK_CUR ? fPosition
			: seekMode == SEEK_END        ? (off_t)fData.size()
										  : 0;
		if (base + position < 0)
			return B_BAD_VALUE;
		return fPosition = base + position;
	}
	off_t Position() const override { return fPosition; }

	const std::vector<uint8>& Bytes() const { return fData; }

private:
	std::vector<uint8> fData;
	size_t fCapacity = std::numeric_limits<size_t>::max();
	off_t fPosition = 0;
	bool fReadOnly = false;
};

} // namespace BPrivate
