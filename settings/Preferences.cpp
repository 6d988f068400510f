#include "Preferences.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "File.h"
#include "FileOps.h"
#include "FindDirectory.h"

using BPrivate::StatusFromErrno;

static const uint32 kPreferencesWhat = 'pref';
static const int kMaxLinkDepth = 32;
static const int kTemporaryNameAttempts = 64;


// Follows a chain of symbolic links to the file they name, so that saving replaces that file
// and leaves the links in place. A path that does not exist (yet) is its own target.
static status_t
ResolveLinks(const std::string& path, std::string* target)
{
	std::string current = path;
	for (int depth = 0; depth < kMaxLinkDepth; depth++) {
		struct stat info;
		if (lstat(current.c_str(), &info) != 0) {
			if (errno != ENOENT)
				return StatusFromErrno(errno);
			*target = current;
			return B_OK;
		}
		if (!S_ISLNK(info.st_mode)) {
			*target = current;
			return B_OK;
		}

		char buffer[4096];
		ssize_t length = readlink(current.c_str(), buffer, sizeof(buffer));
		if (length < 0)
			return StatusFromErrno(errno);
		if (length == 0 || static_cast<size_t>(length) >= sizeof(buffer))
			return B_NAME_TOO_LONG;
		std::string link(buffer, static_cast<size_t>(length));
		if (link[0] != '/')
			link = current.substr(0, current.rfind('/') + 1) + link;
		current = link;
	}
	return B_LINK_LIMIT;
}


static std::string
DirectoryOf(const std::string& path)
{
	size_t slash = path.rfind('/');
	return slash == 0 ? std::string("/") : path.substr(0, slash);
}


// A fresh, hidden file beside the target; B_FAIL_IF_EXISTS makes a lost race harmless.
static status_t
CreateTemporary(const std::string& target, BFile* file, std::string* name)
{
	static std::atomic<unsigned> sCounter = 0;
	size_t slash = target.rfind('/');
	std::string prefix = target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".";

	status_t status = B_FILE_EXISTS;
	for (int attempt = 0; attempt < kTemporaryNameAttempts && status == B_FILE_EXISTS;
			attempt++) {
		timespec now;
		clock_gettime(CLOCK_REALTIME, &now);
		char suffix[32];
		snprintf(suffix, sizeof(suffix), "%x%lx%x", static_cast<unsigned>(getpid()),
			static_cast<unsigned long>(now.tv_nsec), sCounter.fetch_add(1));
		*name = prefix + suffix;
		status = file->SetTo(name->c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	}
	return status;
}


// Makes the rename itself durable; a failure here cannot be undone and is not reported.
static void
SyncDirectory(const std::string& directory)
{
	int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return;
	BPrivate::CurrentFileOps().fsync(fd);
	close(fd);
}


TPreferences::TPreferences(const char* filename)
	:
	BMessage(kPreferencesWhat),
	fStatus(B_NO_INIT)
{
	BFile file;

	fStatus = find_directory(B_COMMON_SETTINGS_DIRECTORY, &fPath, false, nullptr);
	if (fStatus != B_OK)
		return;
	fPath.Append(filename, false);

	fStatus = file.SetTo(fPath.Path(), B_READ_ONLY);
	if (fStatus != B_OK)
		return;

	fStatus = Unflatten(&file);
	// A damaged file loads as no fields at all; the next save still writes a 'pref' message.
	if (fStatus != B_OK)
		what = kPreferencesWhat;
}


TPreferences::~TPreferences()
{
	_Save();
}


float
TPreferences::GetFloat(const char* name, float defaultValue) const
{
	float value;
	if (FindFloat(name, &value) != B_OK)
		value = defaultValue;
	return value;
}


int32
TPreferences::GetInt32(const char* name, int32 defaultValue) const
{
	int32 value;
	if (FindInt32(name, &value) != B_OK)
		value = defaultValue;
	return value;
}


status_t
TPreferences::SetFloat(const char* name, float value)
{
	if (HasFloat(name, 0))
		return ReplaceFloat(name, 0, value);
	return AddFloat(name, value);
}


status_t
TPreferences::SetInt32(const char* name, int32 value)
{
	if (HasInt32(name, 0))
		return ReplaceInt32(name, 0, value);
	return AddInt32(name, value);
}


bool
TPreferences::_FileHolds(const std::string& path, off_t size) const
{
	ssize_t flattenedSize = FlattenedSize();
	if (flattenedSize <= 0 || size != flattenedSize)
		return false;
	std::vector<char> wanted(flattenedSize);
	if (Flatten(wanted.data(), flattenedSize) != B_OK)
		return false;
	BFile file;
	if (file.SetTo(path.c_str(), B_READ_ONLY) != B_OK)
		return false;
	std::vector<char> present(flattenedSize);
	if (file.ReadAt(0, present.data(), flattenedSize) != flattenedSize)
		return false;
	return present == wanted;
}

// Writes the message to a new file beside the settings file and renames it over the old one,
// so that a crash or a full disk leaves either the old file or the new one, never a mixture.
status_t
TPreferences::_Save() const
{
	const char* path = fPath.Path();
	if (path == nullptr)
		return B_NO_INIT;

	std::string target;
	status_t status = ResolveLinks(path, &target);
	if (status != B_OK)
		return status;

	// Replacing by rename would get around the old file's own write protection, so the old
	// file must open for writing (without being truncated); the new one inherits its mode.
	mode_t permissions = 0644;
	struct stat info;
	if (stat(target.c_str(), &info) == 0) {
		if (!S_ISREG(info.st_mode))
			return S_ISDIR(info.st_mode) ? status_t(B_IS_A_DIRECTORY) : status_t(B_NOT_ALLOWED);
		BFile existing;
		status = existing.SetTo(target.c_str(), B_WRITE_ONLY);
		if (status != B_OK)
			return status;
		permissions = info.st_mode & 07777;
		// Most saves write back what was loaded; a file that already holds exactly these
		// bytes needs neither the write nor the two flushes.
		if (_FileHolds(target, info.st_size))
			return B_OK;
	} else if (errno != ENOENT) {
		return StatusFromErrno(errno);
	}

	BFile temporary;
	std::string temporaryName;
	status = CreateTemporary(target, &temporary, &temporaryName);
	if (status != B_OK)
		return status;

	status = temporary.SetPermissions(permissions);
	if (status == B_OK)
		status = Flatten(&temporary);
	if (status == B_OK)
		status = temporary.Sync();
	temporary.Unset();
	if (status == B_OK)
		status = BPrivate::RenameFile(temporaryName.c_str(), target.c_str());
	if (status != B_OK) {
		unlink(temporaryName.c_str());
		return status;
	}

	SyncDirectory(DirectoryOf(target));
	return B_OK;
}
