#include "Path.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "FileOps.h"

// Rebuilds an absolute path from its components.
static std::string
Clean(const std::string& path, bool resolveParents)
{
	std::vector<std::string> parts;
	size_t start = 0;
	while (start <= path.size()) {
		size_t end = path.find('/', start);
		if (end == std::string::npos)
			end = path.size();
		std::string part = path.substr(start, end - start);
		if (part.empty() || part == ".") {
			// Doubled slashes and "." name nothing.
		} else if (part == ".." && resolveParents) {
			if (!parts.empty())
				parts.pop_back();
		} else {
			parts.push_back(std::move(part));
		}
		start = end + 1;
	}

	if (parts.empty())
		return "/";
	std::string result;
	for (const std::string& part : parts) {
		result += '/';
		result += part;
	}
	return result;
}

BPath::BPath() = default;

BPath::BPath(const char* path, const char* leaf, bool normalize)
{
	SetTo(path, leaf, normalize);
}

BPath::BPath(const BPath& other) = default;

BPath& BPath::operator=(const BPath& other) = default;

BPath::~BPath() = default;

status_t
BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
	Unset();
	if (path == nullptr || path[0] == '\0' || (leaf != nullptr && leaf[0] == '/'))
		return fInitStatus = B_BAD_VALUE;

	std::string full;
	if (path[0] != '/') {
		std::vector<char> cwd(256);
		while (getcwd(cwd.data(), cwd.size()) == nullptr) {
			if (errno != ERANGE || cwd.size() > 65536)
				return fInitStatus = BPrivate::StatusFromErrno(errno);
			cwd.resize(cwd.size() * 2);
		}
		full = cwd.data();
		full += '/';
	}
	full += path;
	if (leaf != nullptr && leaf[0] != '\0') {
		full += '/';
		full += leaf;
	}

	fPath = Clean(full, normalize);
	return fInitStatus = B_OK;
}

status_t
BPath::Append(const char* leaf, bool normalize)
{
	if (fInitStatus != B_OK)
		return B_BAD_VALUE;
	if (leaf != nullptr && leaf[0] == '/')
		return B_BAD_VALUE;
	std::string current = fPath;
	return SetTo(current.c_str(), leaf, normalize);
}

void
BPath::Unset()
{
	fPath.clear();
	fInitStatus = B_NO_INIT;
}

status_t
BPath::InitCheck() const
{
	return fInitStatus;
}

const char*
BPath::Path() const
{
	return fInitStatus == B_OK ? fPath.c_str() : nullptr;
}

bool
BPath::operator==(const BPath& other) const
{
	return fInitStatus == other.fInitStatus && fPath == other.fPath;
}

bool
BPath::operator==(const char* path) const
{
	const char* mine = Path();
	if (mine == nullptr || path == nullptr)
		return mine == path;
	return strcmp(mine, path) == 0;
}
