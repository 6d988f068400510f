#include "Backend.h"

#include <cstdio>
#include <cstdlib>

#include "BackendChoice.h"

namespace BPrivate {

namespace {

std::unique_ptr<Backend>&
Slot()
{
	static std::unique_ptr<Backend> backend;
	return backend;
}

} // namespace

Backend*
CurrentBackend()
{
	std::unique_ptr<Backend>& backend = Slot();
	if (!backend) {
		const char* override = getenv("KAMBOLUX_BACKEND");
		const BackendChoice choice = ChooseBackend(override, getenv("WAYLAND_DISPLAY"),
			getenv("WAYLAND_SOCKET"));
		if (choice.kind == BackendKind::kInvalid) {
			fprintf(stderr, "KAMBOLUX_BACKEND=%s names no backend (x11 or wayland)\n", override);
			exit(1);
		}
		if (choice.kind == BackendKind::kWayland)
			backend = CreateWaylandBackend();
		// A session with Xwayland still has a display when the Wayland backend cannot start;
		// a backend the user named has no stand-in.
		if (!backend && (choice.kind == BackendKind::kX11 || !choice.forced))
			backend = CreateX11Backend();
		// Without a display there is nothing to show; running on invisibly would only hang.
		if (!backend) {
			fprintf(stderr, "no display available\n");
			exit(1);
		}
	}
	return backend.get();
}

void
SetBackend(std::unique_ptr<Backend> backend)
{
	Slot() = std::move(backend);
}

bool
HasBackend()
{
	return Slot() != nullptr;
}

} // namespace BPrivate
