#include "FileOps.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "StorageDefs.h"

namespace BPrivate {

static ssize_t
SystemWrite(int fd, const void* buffer, size_t size)
{
	return ::write(fd, buffer, size);
}

static ssize_t
SystemPwrite(int fd, const void* buffer, size_t size, off_t position)
{
	return ::pwrite(fd, buffer, size, position);
}

static int
SystemFsync(int fd)
{
	return ::fsync(fd);
}

static int
SystemRename(const char* from, const char* to)
{
	return ::rename(from, to);
}

static int
SystemOpen(const char* path, int flags, mode_t mode)
{
	return ::open(path, flags, mode);
}

static int
SystemLinkat(int fromDirectory, const char* from, int toDirectory, const char* to, int flags)
{
	return ::linkat(fromDirectory, from, toDirectory, to, flags);
}

static const FileOps kSystemFileOps = {SystemWrite, SystemPwrite, SystemFsync, SystemRename,
	SystemOpen, SystemLinkat};
static FileOps sFileOps = kSystemFileOps;

const FileOps&
CurrentFileOps()
{
	return sFileOps;
}

void
SetFileOps(const FileOps* ops)
{
	sFileOps = ops != nullptr ? *ops : kSystemFileOps;
}

const FileOps&
SystemFileOps()
{
	return kSystemFileOps;
}

status_t
StatusFromErrno(int error)
{
	switch (error) {
		case 0:
			return B_OK;
		case ENOENT:
			return B_ENTRY_NOT_FOUND;
		case EACCES:
		case EPERM:
			return B_PERMISSION_DENIED;
		case EEXIST:
			return B_FILE_EXISTS;
		case EROFS:
			return B_READ_ONLY_DEVICE;
		case ENOSPC:
		case EDQUOT:
			return B_DEVICE_FULL;
		case ENOMEM:
			return B_NO_MEMORY;
		case EISDIR:
			return B_IS_A_DIRECTORY;
		case ENOTDIR:
			return B_NOT_A_DIRECTORY;
		case ENAMETOOLONG:
			return B_NAME_TOO_LONG;
		case ELOOP:
			return B_LINK_LIMIT;
		case EINVAL:
			return B_BAD_VALUE;
		case EINTR:
			return B_INTERRUPTED;
		case EAGAIN:
			return B_WOULD_BLOCK;
		case ENXIO:
		case ENODEV:
		case ETXTBSY:
			return B_NOT_ALLOWED;
		case EOPNOTSUPP:
			return B_NOT_SUPPORTED;
		default:
			return B_IO_ERROR;
	}
}

status_t
RenameFile(const char* from, const char* to)
{
	if (from == nullptr || to == nullptr)
		return B_BAD_VALUE;
	if (CurrentFileOps().rename(from, to) != 0)
		return StatusFromErrno(errno);
	return B_OK;
}

} // namespace BPrivate
