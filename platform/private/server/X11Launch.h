// Handing a web address to the desktop's opener: xdg-open, or where it is not installed
// `gio open`. Starts the opener and returns at once; waiting for it is the caller's.
// Knows nothing of X; it only sits with the X11 backend, the one backend that launches.
#pragma once

#include <sys/types.h>

#include "SupportDefs.h"

namespace BPrivate {

// Starts the first installed opener on url in its own session, with no terminal streams.
// B_BAD_VALUE for an empty address or one an opener would take for an option;
// B_ENTRY_NOT_FOUND, said on standard error, when no opener is installed.
status_t SpawnURLOpener(const char* url, pid_t* child);

} // namespace BPrivate
