// The system calls behind writing and replacing a file, gathered in one place so that tests
// can make them fail (a full disk, a failing flush, a file system without unnamed files) without
// a real broken device. BFile's writes and syncs, and the temporaries, links and renames of
// replace_file go through here; nothing else does. Kit-private: application code never includes it.
#pragma once

#include <sys/types.h>

#include "SupportDefs.h"

namespace BPrivate {

struct FileOps {
	ssize_t (*write)(int fd, const void* buffer, size_t size);
	ssize_t (*pwrite)(int fd, const void* buffer, size_t size, off_t position);
	int (*fsync)(int fd);
	int (*rename)(const char* from, const char* to);
	// open(2) of the temporary a replacement is written to (O_TMPFILE or a new name).
	int (*open)(const char* path, int flags, mode_t mode);
	// linkat(2), which gives an unnamed temporary its name.
	int (*linkat)(int fromDirectory, const char* from, int toDirectory, const char* to, int flags);
};

// The operations in force; the real system calls unless a test installed others.
const FileOps& CurrentFileOps();

// Installs replacements (copied); nullptr puts the system calls back.
void SetFileOps(const FileOps* ops);

// The system calls themselves, for a replacement that fails only some of the time.
const FileOps& SystemFileOps();

// The kit's status for an errno value.
status_t StatusFromErrno(int error);

// Renames through the operations in force; the target is replaced atomically.
status_t RenameFile(const char* from, const char* to);

} // namespace BPrivate
