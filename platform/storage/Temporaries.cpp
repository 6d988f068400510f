#include "Temporaries.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "FileOps.h"
#include "StorageDefs.h"

namespace BPrivate {

static const int kMaxLinkDepth = 32;
static const size_t kMinSuffixDigits = 8;
static const size_t kMaxSuffixDigits = 32;
static const time_t kStaleAfterSeconds = 60;

static std::string
DirectoryOf(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return ".";
	return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The kernel's protected-symlinks rule: in a sticky folder anyone may write to, a link is only
// followed when its owner is the follower or the folder's owner. We follow links by hand, so
// the kernel's own check never sees them and we must apply it ourselves.
static bool
MayFollow(const std::string& link, const struct stat& linkInfo)
{
	struct stat folder;
	if (stat(DirectoryOf(link).c_str(), &folder) != 0)
		return false;
	bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
	return !shared || linkInfo.st_uid == geteuid() || linkInfo.st_uid == folder.st_uid;
}

status_t
ResolveSaveTarget(const std::string& path, std::string* target)
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
		if (!MayFollow(current, info))
			return B_PERMISSION_DENIED;

		char buffer[B_PATH_NAME_LENGTH * 4];
		ssize_t length = readlink(current.c_str(), buffer, sizeof(buffer));
		if (length < 0)
			return StatusFromErrno(errno);
		if (length == 0 || static_cast<size_t>(length) >= sizeof(buffer))
			return B_NAME_TOO_LONG;
		std::string link(buffer, static_cast<size_t>(length));
		if (link[0] != '/') {
			current = DirectoryOf(current);
			current += '/';
			current += link;
		} else
			current = std::move(link);
	}
	return B_LINK_LIMIT;
}

std::string
TemporaryName(const std::string& leaf)
{
	static std::atomic<unsigned> sCounter = 0;
	timespec now;
	clock_gettime(CLOCK_REALTIME, &now);
	unsigned long long mix = (static_cast<unsigned long long>(getpid()) << 40)
		^ (static_cast<unsigned long long>(now.tv_nsec) << 8)
		^ static_cast<unsigned long long>(now.tv_sec) ^ sCounter.fetch_add(1);
	char suffix[20];
	snprintf(suffix, sizeof(suffix), "%016llx", mix);
	return "." + leaf + "." + suffix;
}

bool
IsTemporaryName(const std::string& name, const std::string& leaf)
{
	std::string prefix = "." + leaf + ".";
	if (name.compare(0, prefix.size(), prefix) != 0)
		return false;
	size_t digits = name.size() - prefix.size();
	if (digits < kMinSuffixDigits || digits > kMaxSuffixDigits)
		return false;
	for (size_t i = prefix.size(); i < name.size(); i++) {
		char c = name[i];
		if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
			return false;
	}
	return true;
}

void
RemoveStaleTemporaries(int directory, const std::string& leaf)
{
	int listing = openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (listing < 0)
		return;
	DIR* entries = fdopendir(listing);
	if (entries == nullptr) {
		close(listing);
		return;
	}
	time_t now = time(nullptr);
	while (dirent* entry = readdir(entries)) {
		if (!IsTemporaryName(entry->d_name, leaf))
			continue;
		// Never through a link, never another user's file, never one a save may still be using.
		struct stat info;
		if (fstatat(directory, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0
			|| !S_ISREG(info.st_mode) || info.st_uid != geteuid()
			|| now - info.st_mtime < kStaleAfterSeconds)
			continue;
		unlinkat(directory, entry->d_name, 0);
	}
	closedir(entries);
}

} // namespace BPrivate
