#include "Directory.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

#include "FileOps.h"

status_t
create_directory(const char* path, mode_t mode)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	const std::string target = path;
	for (size_t slash = target.find('/', 1);; slash = target.find('/', slash + 1)) {
		std::string prefix = target.substr(0, slash);
		if (mkdir(prefix.c_str(), mode) != 0 && errno != EEXIST)
			return BPrivate::StatusFromErrno(errno);
		if (slash == std::string::npos)
			break;
	}
	struct stat info;
	if (stat(path, &info) != 0)
		return BPrivate::StatusFromErrno(errno);
	return S_ISDIR(info.st_mode) ? B_OK : B_NOT_ALLOWED;
}
