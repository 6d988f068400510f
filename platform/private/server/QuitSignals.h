// SIGINT, SIGTERM and SIGHUP as a quit request: the handler notes the signal and writes a byte
// into the backend's wake-up pipe, so that its poll returns and the quit takes the program's
// normal path (settings saved). One set of handlers per process, shared by every backend.
#pragma once

namespace BPrivate {
namespace QuitSignals {

// Installs the handlers, waking wakeFd on a signal; Remove puts the old ones back.
void Install(int wakeFd);
void Remove();

// Whether a quit signal came and was not yet taken; Take also clears it.
bool Pending();
bool Take();

} // namespace QuitSignals
} // namespace BPrivate
