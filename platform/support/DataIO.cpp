#include "DataIO.h"

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
