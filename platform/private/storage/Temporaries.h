// The pieces of replace_file that decide where it may write: following a link at the path only
// as the kernel's protected-symlinks rule would, and naming, recognising and clearing away the
// hidden temporaries beside the file. Kit-private; these do no writing of content.
#pragma once

#include <string>

#include "SupportDefs.h"

namespace BPrivate {

// The file a save at path should replace: path itself, or the end of the chain of links that
// starts there. A link in a sticky, world-writable folder is followed only when the user or the
// folder's owner owns it (B_PERMISSION_DENIED otherwise).
status_t ResolveSaveTarget(const std::string& path, std::string* target);

// A fresh name for a temporary beside leaf: "." leaf "." and 16 hexadecimal digits.
std::string TemporaryName(const std::string& leaf);

// Whether name is a temporary for leaf: "." leaf "." followed by 8 to 32 hexadecimal digits,
// which also matches what earlier versions of the program left.
bool IsTemporaryName(const std::string& name, const std::string& leaf);

// Removes the user's own regular-file temporaries for leaf in the open folder that are older
// than a minute: what a save killed between naming its temporary and the rename left behind.
void RemoveStaleTemporaries(int directory, const std::string& leaf);

} // namespace BPrivate
