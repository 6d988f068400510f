#include "FindDirectory.h"

#include <cstdlib>
#include <string>

#include "Directory.h"
#include "Path.h"

static bool
IsAbsolute(const char* path)
{
	return path != nullptr && path[0] == '/';
}

status_t
find_directory(directory_which which, BPath* path, bool createIt, void*)
{
	if (path == nullptr)
		return B_BAD_VALUE;
	const char* variable;
	const char* inHome;
	switch (which) {
		case B_COMMON_SETTINGS_DIRECTORY:
		case B_USER_SETTINGS_DIRECTORY:
			variable = "XDG_CONFIG_HOME";
			inHome = "/.config";
			break;
		case B_USER_CACHE_DIRECTORY:
			variable = "XDG_CACHE_HOME";
			inHome = "/.cache";
			break;
		default:
			return B_BAD_VALUE;
	}

	// A relative value is not a place one could rely on; the XDG rules say to ignore it.
	std::string directory;
	const char* xdg = getenv(variable);
	const char* home = getenv("HOME");
	if (IsAbsolute(xdg))
		directory = xdg;
	else if (IsAbsolute(home))
		directory = std::string(home) + inHome;
	else
		return B_ENTRY_NOT_FOUND;

	BPath result;
	status_t status = result.SetTo(directory.c_str());
	if (status != B_OK)
		return status;
	if (createIt) {
		status = create_directory(result.Path(), 0700);
		if (status != B_OK)
			return status;
	}
	*path = result;
	return B_OK;
}
