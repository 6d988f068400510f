// create_directory: makes a directory and any missing parents, as `mkdir -p` does. The kit has
// no BDirectory; this is the one directory call the program needs.
#pragma once

#include <sys/types.h>

#include "SupportDefs.h"

// B_OK when path is a directory afterwards, whether made now or already there; fails when
// something else stands in the way or a directory cannot be made. New directories get mode.
status_t create_directory(const char* path, mode_t mode);
