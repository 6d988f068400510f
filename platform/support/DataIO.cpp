#include "DataIO.h"

#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

// Resolves a seek request against the current position and size; -1 when it overflows or
// lands before the start.
static off_t
SeekTarget(off_t position, uint32 seekMode, off_t current, off_t size)
{
	off_t base;
	switch (seekMode) {
		case SEEK_SET:
			base = 0;
			break;
		case SEEK_CUR:
			base = current;
			break;
		case SEEK_END:
			base = size;
			break;
		default:
			return -1;
	}
	off_t target;
	if (__builtin_add_overflow(base, position, &target) || target < 0)
		return -1;
	return target;
}

BDataIO::~BDataIO() = default;

ssize_t
BDataIO::Read(void*, size_t)
{
	return B_NOT_SUPPORTED;
}

ssize_t
BDataIO::Write(const void*, size_t)
{
	return B_NOT_SUPPORTED;
}

status_t
BDataIO::ReadExactly(void* buffer, size_t size, size_t* bytesRead)
{
	size_t done = 0;
	status_t status = B_OK;
	while (done < size) {
		ssize_t result = Read(static_cast<uint8*>(buffer) + done, size - done);
		if (result < 0) {
			status = static_cast<status_t>(result);
			break;
		}
		if (result == 0) {
			status = B_IO_ERROR;
			break;
		}
		done += static_cast<size_t>(result);
	}
	if (bytesRead != nullptr)
		*bytesRead = done;
	return status;
}

status_t
BDataIO::WriteExactly(const void* buffer, size_t size, size_t* bytesWritten)
{
	size_t done = 0;
	status_t status = B_OK;
	while (done < size) {
		ssize_t result = Write(static_cast<const uint8*>(buffer) + done, size - done);
		if (result < 0) {
			status = static_cast<status_t>(result);
			break;
		}
		if (result == 0) {
			status = B_IO_ERROR;
			break;
		}
		done += static_cast<size_t>(result);
	}
	if (bytesWritten != nullptr)
		*bytesWritten = done;
	return status;
}

// #pragma mark - BPositionIO

ssize_t
BPositionIO::Read(void* buffer, size_t size)
{
	off_t position = Position();
	ssize_t result = ReadAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}

ssize_t
BPositionIO::Write(const void* buffer, size_t size)
{
	off_t position = Position();
	ssize_t result = WriteAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}

status_t
BPositionIO::SetSize(off_t)
{
	return B_NOT_SUPPORTED;
}

status_t
BPositionIO::GetSize(off_t* size) const
{
	// Measured by seeking to the end and back; the position is logically unchanged.
	auto* self = const_cast<BPositionIO*>(this);
	off_t current = Position();
	off_t end = self->Seek(0, SEEK_END);
	self->Seek(current, SEEK_SET);
	if (end < 0)
		return static_cast<status_t>(end);
	*size = end;
	return B_OK;
}

// #pragma mark - BMemoryIO

BMemoryIO::BMemoryIO(void* data, size_t length) :
	fData(static_cast<uint8*>(data)),
	fLength(data != nullptr ? length : 0),
	fCapacity(fLength),
	fReadOnly(false)
{
}

BMemoryIO::BMemoryIO(const void* data, size_t length) :
	fData(static_cast<uint8*>(const_cast<void*>(data))),
	fLength(data != nullptr ? length : 0),
	fCapacity(fLength),
	fReadOnly(true)
{
}

ssize_t
BMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (position < 0 || (buffer == nullptr && size > 0))
		return B_BAD_VALUE;
	if (static_cast<uint64>(position) >= fLength)
		return 0;
	size_t available = fLength - static_cast<size_t>(position);
	size_t count = size < available ? size : available;
	if (count > 0)
		memcpy(buffer, fData + position, count);
	return static_cast<ssize_t>(count);
}

ssize_t
BMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (position < 0 || (buffer == nullptr && size > 0))
		return B_BAD_VALUE;
	if (static_cast<uint64>(position) >= fCapacity)
		return 0;
	size_t room = fCapacity - static_cast<size_t>(position);
	size_t count = size < room ? size : room;
	if (count > 0)
		memcpy(fData + position, buffer, count);
	// Writing beyond the data's end leaves the gap as it was in the caller's buffer.
	size_t end = static_cast<size_t>(position) + count;
	if (end > fLength)
		fLength = end;
	return static_cast<ssize_t>(count);
}

off_t
BMemoryIO::Seek(off_t position, uint32 seekMode)
{
	off_t target = SeekTarget(position, seekMode, fPosition, static_cast<off_t>(fLength));
	if (target < 0)
		return B_BAD_VALUE;
	fPosition = target;
	return fPosition;
}

off_t
BMemoryIO::Position() const
{
	return fPosition;
}

status_t
BMemoryIO::SetSize(off_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (size < 0 || static_cast<uint64>(size) > fCapacity)
		return B_BAD_VALUE;
	fLength = static_cast<size_t>(size);
	return B_OK;
}

status_t
BMemoryIO::GetSize(off_t* size) const
{
	*size = static_cast<off_t>(fLength);
	return B_OK;
}

// #pragma mark - BMallocIO

BMallocIO::BMallocIO() = default;

BMallocIO::~BMallocIO() = default;

ssize_t
BMallocIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (position < 0 || (buffer == nullptr && size > 0))
		return B_BAD_VALUE;
	if (static_cast<uint64>(position) >= fData.size())
		return 0;
	size_t available = fData.size() - static_cast<size_t>(position);
	size_t count = size < available ? size : available;
	if (count > 0)
		memcpy(buffer, fData.data() + position, count);
	return static_cast<ssize_t>(count);
}

ssize_t
BMallocIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (position < 0 || (buffer == nullptr && size > 0))
		return B_BAD_VALUE;
	if (size == 0)
		return 0;
	uint64 end;
	if (__builtin_add_overflow(static_cast<uint64>(position), size, &end)
		|| end > static_cast<uint64>(std::numeric_limits<ssize_t>::max()))
		return B_BAD_VALUE;
	if (end > fData.size()) {
		try {
			fData.resize(static_cast<size_t>(end));
		} catch (const std::bad_alloc&) {
			return B_NO_MEMORY;
		} catch (const std::length_error&) {
			return B_NO_MEMORY;
		}
	}
	memcpy(fData.data() + position, buffer, size);
	return static_cast<ssize_t>(size);
}

off_t
BMallocIO::Seek(off_t position, uint32 seekMode)
{
	off_t target = SeekTarget(position, seekMode, fPosition, static_cast<off_t>(fData.size()));
	if (target < 0)
		return B_BAD_VALUE;
	fPosition = target;
	return fPosition;
}

off_t
BMallocIO::Position() const
{
	return fPosition;
}

status_t
BMallocIO::SetSize(off_t size)
{
	if (size < 0)
		return B_BAD_VALUE;
	try {
		fData.resize(static_cast<size_t>(size));
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	} catch (const std::length_error&) {
		return B_NO_MEMORY;
	}
	return B_OK;
}

status_t
BMallocIO::GetSize(off_t* size) const
{
	*size = static_cast<off_t>(fData.size());
	return B_OK;
}
