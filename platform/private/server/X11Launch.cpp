// The X11 backend's hand-over of web addresses to the desktop: xdg-open, started without
// waiting for it, and reaped later without waiting either.

#include "X11BackendPrivate.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace BPrivate {

status_t
X11Backend::OpenURL(const char* url)
{
	// An address starting with '-' would be read as an option of xdg-open.
	if (url == nullptr || url[0] == '\0' || url[0] == '-')
		return B_BAD_VALUE;

	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
	posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

	posix_spawnattr_t attributes;
	posix_spawnattr_init(&attributes);
	sigset_t noSignals;
	sigemptyset(&noSignals);
	posix_spawnattr_setsigmask(&attributes, &noSignals);
	sigset_t defaults;
	sigemptyset(&defaults);
	sigaddset(&defaults, SIGPIPE);
	sigaddset(&defaults, SIGINT);
	sigaddset(&defaults, SIGTERM);
	sigaddset(&defaults, SIGHUP);
	posix_spawnattr_setsigdefault(&attributes, &defaults);
	short spawnFlags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
	// Its own session: a Ctrl+C in our terminal should not take the browser down.
	spawnFlags |= POSIX_SPAWN_SETSID;
#endif
	posix_spawnattr_setflags(&attributes, spawnFlags);

	char program[] = "xdg-open";
	std::string address(url);
	char* arguments[] = {program, address.data(), nullptr};
	pid_t child = -1;
	int error = posix_spawnp(&child, program, &actions, &attributes, arguments, environ);
	posix_spawnattr_destroy(&attributes);
	posix_spawn_file_actions_destroy(&actions);
	if (error != 0)
		return B_ERROR;
	// Reaped without waiting, the next time the loop looks for events.
	fChildren.push_back(child);
	return B_OK;
}

void
X11Backend::_ReapChildren()
{
	std::erase_if(fChildren, [](pid_t child) {
		int status;
		pid_t result = waitpid(child, &status, WNOHANG);
		return result == child || (result < 0 && errno == ECHILD);
	});
}

} // namespace BPrivate
