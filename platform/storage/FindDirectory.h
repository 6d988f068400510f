// find_directory: where the platform's well-known directories lie on a Linux desktop. Both
// settings directories are the XDG configuration directory: $XDG_CONFIG_HOME when it is an
// absolute path, else $HOME/.config; the cache directory is $XDG_CACHE_HOME, else
// $HOME/.cache. Nothing else is consulted (no password database).
#pragma once

#include "SupportDefs.h"

class BPath;

enum directory_which {
	B_COMMON_SETTINGS_DIRECTORY,
	B_USER_SETTINGS_DIRECTORY,
	B_USER_CACHE_DIRECTORY,
};

// Fails with B_ENTRY_NOT_FOUND when the directory cannot be determined; creates it (mode 0700,
// parents included) only when createIt is true. The volume is ignored.
status_t find_directory(directory_which which, BPath* path, bool createIt = false,
	void* volume = nullptr);
