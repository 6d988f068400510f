#include "ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "FileOps.h"
#include "StorageDefs.h"
#include "Temporaries.h"

using BPrivate::CurrentFileOps;
using BPrivate::StatusFromErrno;

namespace {

const int kTemporaryNameAttempts = 64;

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
	explicit Descriptor(int fd = -1) : fFD(fd) {}
	~Descriptor() { Reset(); }
	Descriptor(const Descriptor&) = delete;
	Descriptor& operator=(const Descriptor&) = delete;

	int Get() const { return fFD; }
	void Reset(int fd = -1)
	{
		if (fFD >= 0)
			close(fFD);
		fFD = fd;
	}

private:
	int fFD;
};

status_t
LastError()
{
	return StatusFromErrno(errno);
}

status_t
NotARegularFile(const struct stat& info)
{
	return S_ISDIR(info.st_mode) ? status_t(B_IS_A_DIRECTORY) : status_t(B_NOT_ALLOWED);
}

// What stands at the path now, if anything, and whether it already holds the bytes to save.
struct Existing {
	bool present = false;
	bool same = false;
	struct stat info {};
};

bool
HoldsExactly(int fd, off_t fileSize, const void* data, size_t size)
{
	if (fileSize != static_cast<off_t>(size))
		return false;
	std::vector<char> present(size);
	size_t done = 0;
	while (done < size) {
		ssize_t got = pread(fd, present.data() + done, size - done, static_cast<off_t>(done));
		if (got < 0 && errno == EINTR)
			continue;
		if (got <= 0)
			return false;
		done += static_cast<size_t>(got);
	}
	return memcmp(present.data(), data, size) == 0;
}

// Looks at the old file without ever blocking on it: a first look at the entry refuses what is
// plainly no regular file, the descriptor's own look refuses what was swapped in since.
// Opening it for writing keeps the save from getting around its write protection.
status_t
InspectExisting(int directory, const char* leaf, const void* data, size_t size, Existing* existing)
{
	struct stat entry;
	if (fstatat(directory, leaf, &entry, AT_SYMLINK_NOFOLLOW) != 0)
		return errno == ENOENT ? B_OK : LastError();
	if (!S_ISREG(entry.st_mode))
		return NotARegularFile(entry);

	const int flags = O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC;
	bool readable = true;
	Descriptor fd(openat(directory, leaf, O_RDWR | flags));
	if (fd.Get() < 0 && errno == EACCES) {
		readable = false;
		fd.Reset(openat(directory, leaf, O_WRONLY | flags));
	}
	if (fd.Get() < 0)
		return errno == ELOOP ? status_t(B_NOT_ALLOWED) : LastError();

	existing->present = true;
	if (fstat(fd.Get(), &existing->info) != 0)
		return LastError();
	if (!S_ISREG(existing->info.st_mode))
		return NotARegularFile(existing->info);
	// Replacing another user's file would hand it to us; that is never a save's business.
	if (existing->info.st_uid != geteuid())
		return B_PERMISSION_DENIED;
	existing->same = readable && HoldsExactly(fd.Get(), existing->info.st_size, data, size);
	return B_OK;
}

// An unnamed file in the folder where the kernel can make one and name it later through
// /proc, otherwise a new hidden name. Either way created as open(2) would: 0666 less the umask.
status_t
CreateTemporary(const std::string& directory, const std::string& leaf, Descriptor* fd,
	std::string* name)
{
	const BPrivate::FileOps& ops = CurrentFileOps();
	name->clear();
	if (access("/proc/self/fd", X_OK) == 0) {
		fd->Reset(ops.open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
		if (fd->Get() >= 0)
			return B_OK;
		// File systems without unnamed files say so in more than one way.
		if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
			return LastError();
	}

	for (int attempt = 0; attempt < kTemporaryNameAttempts; attempt++) {
		*name = BPrivate::TemporaryName(leaf);
		std::string path = directory + "/" + *name;
		fd->Reset(
			ops.open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
		if (fd->Get() >= 0)
			return B_OK;
		if (errno != EEXIST)
			break;
	}
	status_t status = LastError();
	name->clear();
	return status;
}

// The old file's mode and group go to the new one; a group we may not give it counts as a file
// we may not write.
status_t
CopyOwnership(int fd, const Existing& existing)
{
	if (!existing.present)
		return B_OK;
	struct stat info;
	if (fstat(fd, &info) != 0)
		return LastError();
	if (info.st_gid != existing.info.st_gid && fchown(fd, -1, existing.info.st_gid) != 0)
		return B_PERMISSION_DENIED;
	if (fchmod(fd, existing.info.st_mode & 07777) != 0)
		return LastError();
	return B_OK;
}

status_t
WriteAll(int fd, const void* data, size_t size)
{
	const char* bytes = static_cast<const char*>(data);
	size_t done = 0;
	while (done < size) {
		ssize_t written = CurrentFileOps().write(fd, bytes + done, size - done);
		if (written < 0 && errno == EINTR)
			continue;
		if (written < 0)
			return LastError();
		if (written == 0)
			return B_IO_ERROR;
		done += static_cast<size_t>(written);
	}
	return B_OK;
}

// The unnamed file gets a hidden name beside the target, the last step before the rename.
status_t
NameTemporary(int fd, int directory, const std::string& leaf, std::string* name)
{
	char self[64];
	snprintf(self, sizeof(self), "/proc/self/fd/%d", fd);
	for (int attempt = 0; attempt < kTemporaryNameAttempts; attempt++) {
		*name = BPrivate::TemporaryName(leaf);
		if (CurrentFileOps().linkat(AT_FDCWD, self, directory, name->c_str(), AT_SYMLINK_FOLLOW)
			== 0)
			return B_OK;
		if (errno != EEXIST)
			break;
	}
	status_t status = LastError();
	name->clear();
	return status;
}

status_t
OpenDirectory(const std::string& directory, bool create, Descriptor* fd)
{
	fd->Reset(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
	if (fd->Get() < 0 && errno == ENOENT && create) {
		// One level only, with the mode the XDG rules ask for: a missing parent stays missing.
		if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
			return LastError();
		fd->Reset(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
	}
	return fd->Get() < 0 ? LastError() : B_OK;
}

} // namespace

status_t
replace_file(const char* path, const void* data, size_t size, uint32 flags)
{
	if (path == nullptr || path[0] == '\0' || (data == nullptr && size > 0))
		return B_BAD_VALUE;

	std::string target;
	status_t status = BPrivate::ResolveSaveTarget(path, &target);
	if (status != B_OK)
		return status;
	size_t slash = target.rfind('/');
	std::string directory = slash == std::string::npos ? "."
		: slash == 0                                   ? "/"
													   : target.substr(0, slash);
	std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
	if (leaf.empty() || leaf == "." || leaf == "..")
		return B_BAD_VALUE;

	// Only the folder the caller named is made, never one a link points into.
	bool create = (flags & B_REPLACE_CREATE_DIRECTORY) != 0 && target == path;
	Descriptor folder;
	status = OpenDirectory(directory, create, &folder);
	if (status != B_OK)
		return status;

	BPrivate::RemoveStaleTemporaries(folder.Get(), leaf);

	Existing existing;
	status = InspectExisting(folder.Get(), leaf.c_str(), data, size, &existing);
	if (status != B_OK || existing.same)
		return status;

	Descriptor temporary;
	std::string name;
	status = CreateTemporary(directory, leaf, &temporary, &name);
	if (status != B_OK)
		return status;

	status = CopyOwnership(temporary.Get(), existing);
	if (status == B_OK)
		status = WriteAll(temporary.Get(), data, size);
	if (status == B_OK && CurrentFileOps().fsync(temporary.Get()) != 0)
		status = LastError();
	if (status == B_OK && name.empty())
		status = NameTemporary(temporary.Get(), folder.Get(), leaf, &name);
	temporary.Reset();
	if (status == B_OK) {
		status = BPrivate::RenameFile((directory + "/" + name).c_str(),
			(directory + "/" + leaf).c_str());
	}
	if (status != B_OK) {
		if (!name.empty())
			unlinkat(folder.Get(), name.c_str(), 0);
		return status;
	}

	// Makes the rename itself durable; a failure here cannot be undone and is not reported.
	CurrentFileOps().fsync(folder.Get());
	return B_OK;
}
