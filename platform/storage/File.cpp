#include "File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileOps.h"

using BPrivate::StatusFromErrno;

static status_t
LastError()
{
	return StatusFromErrno(errno);
}

BFile::BFile() = default;

BFile::BFile(const char* path, uint32 openMode)
{
	SetTo(path, openMode);
}

BFile::~BFile()
{
	Unset();
}

status_t
BFile::SetTo(const char* path, uint32 openMode)
{
	Unset();
	if (path == nullptr || path[0] == '\0')
		return fInitStatus = B_BAD_VALUE;

	// Never wait on a FIFO or a device, never make a terminal ours: such paths are refused
	// below anyway, once the descriptor shows what really was opened.
	int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
	switch (openMode & 0x3) {
		case B_READ_ONLY:
			flags |= O_RDONLY;
			break;
		case B_WRITE_ONLY:
			flags |= O_WRONLY;
			break;
		case B_READ_WRITE:
			flags |= O_RDWR;
			break;
		default:
			return fInitStatus = B_BAD_VALUE;
	}
	if (openMode & B_CREATE_FILE) {
		flags |= O_CREAT;
		if (openMode & B_FAIL_IF_EXISTS)
			flags |= O_EXCL;
	}
	if ((openMode & B_ERASE_FILE) && (openMode & 0x3) != B_READ_ONLY)
		flags |= O_TRUNC;

	int fd;
	do
		fd = ::open(path, flags, 0644);
	while (fd < 0 && errno == EINTR);
	if (fd < 0)
		return fInitStatus = LastError();

	// The platform's files are regular files; Linux opens a directory read-only without
	// complaint, and a FIFO or a device as readily as a file. Checked on the descriptor itself,
	// so nothing can be swapped in between the look and the open.
	struct stat info;
	status_t status = B_OK;
	if (fstat(fd, &info) != 0)
		status = LastError();
	else if (S_ISDIR(info.st_mode))
		status = B_IS_A_DIRECTORY;
	else if (!S_ISREG(info.st_mode))
		status = B_NOT_ALLOWED;
	if (status == B_OK && (openMode & B_OPEN_AT_END) && lseek(fd, 0, SEEK_END) < 0)
		status = LastError();
	if (status != B_OK) {
		::close(fd);
		return fInitStatus = status;
	}
	fFD = fd;
	return fInitStatus = B_OK;
}

void
BFile::Unset()
{
	if (fFD >= 0)
		::close(fFD);
	fFD = -1;
	fInitStatus = B_NO_INIT;
}

status_t
BFile::InitCheck() const
{
	return fInitStatus;
}

ssize_t
BFile::Read(void* buffer, size_t size)
{
	if (fFD < 0)
		return B_NO_INIT;
	ssize_t result;
	do
		result = ::read(fFD, buffer, size);
	while (result < 0 && errno == EINTR);
	return result < 0 ? LastError() : result;
}

ssize_t
BFile::Write(const void* buffer, size_t size)
{
	if (fFD < 0)
		return B_NO_INIT;
	ssize_t result;
	do
		result = BPrivate::CurrentFileOps().write(fFD, buffer, size);
	while (result < 0 && errno == EINTR);
	return result < 0 ? LastError() : result;
}

ssize_t
BFile::ReadAt(off_t position, void* buffer, size_t size)
{
	if (fFD < 0)
		return B_NO_INIT;
	if (position < 0)
		return B_BAD_VALUE;
	ssize_t result;
	do
		result = ::pread(fFD, buffer, size, position);
	while (result < 0 && errno == EINTR);
	return result < 0 ? LastError() : result;
}

ssize_t
BFile::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (fFD < 0)
		return B_NO_INIT;
	if (position < 0)
		return B_BAD_VALUE;
	ssize_t result;
	do
		result = BPrivate::CurrentFileOps().pwrite(fFD, buffer, size, position);
	while (result < 0 && errno == EINTR);
	return result < 0 ? LastError() : result;
}

off_t
BFile::Seek(off_t position, uint32 seekMode)
{
	if (fFD < 0)
		return B_NO_INIT;
	off_t result = lseek(fFD, position, static_cast<int>(seekMode));
	return result < 0 ? LastError() : result;
}

off_t
BFile::Position() const
{
	if (fFD < 0)
		return B_NO_INIT;
	off_t result = lseek(fFD, 0, SEEK_CUR);
	return result < 0 ? LastError() : result;
}

status_t
BFile::SetSize(off_t size)
{
	if (fFD < 0)
		return B_NO_INIT;
	if (size < 0)
		return B_BAD_VALUE;
	return ftruncate(fFD, size) == 0 ? B_OK : LastError();
}

status_t
BFile::Sync()
{
	if (fFD < 0)
		return B_NO_INIT;
	return BPrivate::CurrentFileOps().fsync(fFD) == 0 ? B_OK : LastError();
}
