// The X11 backend's hand-over of web addresses to the desktop: an opener started without
// waiting for it, and reaped later without waiting either.

#include "X11Launch.h"
#include "X11BackendPrivate.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace BPrivate {

// The openers in the order they are tried: the desktop's own choice first.
static const char* const kOpeners[][3] = {
	{"xdg-open", nullptr, nullptr},
	{"gio", "open", nullptr},
};

status_t
SpawnURLOpener(const char* url, pid_t* child)
{
	// An address starting with '-' would be read as an option of the opener.
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

	std::string address(url);
	int error = ENOENT;
	for (const auto& opener : kOpeners) {
		std::vector<char*> arguments;
		for (const char* word : opener) {
			if (word != nullptr)
				arguments.push_back(const_cast<char*>(word));
		}
		arguments.push_back(address.data());
		arguments.push_back(nullptr);
		error = posix_spawnp(child, arguments[0], &actions, &attributes, arguments.data(), environ);
		// Only a missing opener sends us on to the next; one that is there but fails to
		// start would fail the same way for every address.
		if (error != ENOENT)
			break;
	}
	posix_spawnattr_destroy(&attributes);
	posix_spawn_file_actions_destroy(&actions);
	if (error == ENOENT) {
		fprintf(stderr,
			"kit: cannot open %s: neither xdg-open (xdg-utils) nor gio is "
			"installed\n",
			url);
		return B_ENTRY_NOT_FOUND;
	}
	return error == 0 ? B_OK : B_ERROR;
}

status_t
X11Backend::OpenURL(const char* url)
{
	pid_t child = -1;
	status_t status = SpawnURLOpener(url, &child);
	if (status != B_OK)
		return status;
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
