// replace_file: gives a regular file new content in one step, the way a program should save
// its settings. The path holds the old bytes or the new ones whole, never a mixture, whatever
// breaks off the save. It does not lock: of two savers at once, the later rename wins.
#pragma once

#include <sys/types.h>

#include "SupportDefs.h"

enum : uint32 {
	// Make the file's own folder (that one level only, mode 0700) when it is missing.
	B_REPLACE_CREATE_DIRECTORY = 0x0001,
};

// Writes data as the whole new content of the file at path. The rules that make this safe for
// any caller:
// - Only a regular file is replaced (or created); a directory, FIFO, socket or device is left
//   alone (B_NOT_ALLOWED or B_IS_A_DIRECTORY), and nothing ever blocks on opening it.
// - A symbolic link at path is followed only where the kernel's protected-symlinks rule would
//   follow it; in a sticky, world-writable folder another user's link is refused.
// - A file the user does not own, or cannot write, is not replaced (B_PERMISSION_DENIED).
// - An existing file keeps its mode and group; a new one gets 0666 less the umask.
// - The new content goes to an unnamed file (O_TMPFILE) that gets its name only just before the
//   rename; where the file system cannot do that, a hidden named one is used, and such
//   temporaries left by a save that was killed are removed by a later save after a minute.
// - A file that already holds exactly these bytes is not written at all.
status_t replace_file(const char* path, const void* data, size_t size, uint32 flags = 0);
