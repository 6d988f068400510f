#include "ComposeCache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Directory.h"
#include "FindDirectory.h"
#include "Path.h"
#include "RegularFile.h"

namespace BPrivate {

namespace {

const char* const kSealSuffix = ".seal";
// libX11's compiled tables are a few hundred kilobytes; far more is no table of its.
const off_t kLargest = 16 * 1024 * 1024;

bool
EndsWith(const std::string& text, const char* suffix)
{
	const size_t length = strlen(suffix);
	return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

bool
WriteFile(const std::string& path, const std::string& content)
{
	// Written beside and renamed into place: a seal is either whole or absent.
	const std::string part = path + ".part";
	int fd = open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
	if (fd < 0)
		return false;
	bool ok = write(fd, content.data(), content.size()) == (ssize_t)content.size();
	ok = close(fd) == 0 && ok;
	if (ok)
		ok = rename(part.c_str(), path.c_str()) == 0;
	if (!ok)
		unlink(part.c_str());
	return ok;
}

std::vector<std::string>
Entries(const std::string& directory)
{
	std::vector<std::string> names;
	DIR* dir = opendir(directory.c_str());
	if (dir == nullptr)
		return names;
	while (dirent* entry = readdir(dir)) {
		if (entry->d_name[0] != '.')
			names.push_back(entry->d_name);
	}
	closedir(dir);
	return names;
}

} // namespace

ComposeCache::ComposeCache(std::string directory) : fDirectory(std::move(directory))
{
}

std::string
ComposeCache::DefaultDirectory()
{
	if (geteuid() == 0)
		return std::string();
	BPath cache;
	if (find_directory(B_USER_CACHE_DIRECTORY, &cache) != B_OK
		|| cache.Append("kambolux/compose") != B_OK || create_directory(cache.Path(), 0700) != B_OK)
		return std::string();
	return cache.Path();
}

std::string
ComposeCache::SealFor(const std::string& content)
{
	// FNV-1a over the whole file: any changed byte changes it.
	uint64_t hash = 0xcbf29ce484222325ULL;
	for (unsigned char c : content) {
		hash ^= c;
		hash *= 0x100000001b3ULL;
	}
	char text[64];
	snprintf(text, sizeof(text), "%zu %016" PRIx64 "\n", content.size(), hash);
	return text;
}

int32
ComposeCache::Verify() const
{
	int32 removed = 0;
	for (const std::string& name : Entries(fDirectory)) {
		const std::string path = fDirectory + "/" + name;
		if (EndsWith(name, kSealSuffix)) {
			// A seal whose file is gone.
			struct stat info;
			const std::string file = path.substr(0, path.size() - strlen(kSealSuffix));
			if (lstat(file.c_str(), &info) != 0)
				unlink(path.c_str());
			continue;
		}
		if (EndsWith(name, ".part"))
			continue;
		std::string content, seal;
		if (BPrivate::ReadRegularFile(path, kLargest, &content)
			&& BPrivate::ReadRegularFile(path + kSealSuffix, kLargest, &seal)
			&& seal == SealFor(content))
			continue;
		unlink(path.c_str());
		unlink((path + kSealSuffix).c_str());
		removed++;
	}
	return removed;
}

void
ComposeCache::Seal() const
{
	for (const std::string& name : Entries(fDirectory)) {
		if (EndsWith(name, kSealSuffix) || EndsWith(name, ".part"))
			continue;
		const std::string path = fDirectory + "/" + name;
		struct stat info;
		if (stat((path + kSealSuffix).c_str(), &info) == 0)
			continue;
		std::string content;
		if (BPrivate::ReadRegularFile(path, kLargest, &content))
			WriteFile(path + kSealSuffix, SealFor(content));
	}
}

} // namespace BPrivate
