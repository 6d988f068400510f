// The seam between the kit and its Wayland backend, which lives in a module of its own
// (kambolux-wayland.so) so that an X11 session never loads libwayland or libxkbcommon. The
// module links neither the kit nor Xlib: what it needs of the kit comes through the host.
#pragma once

#include <sys/types.h>

#include "SupportDefs.h"

namespace BPrivate {

class Backend;

struct WaylandHost {
	// Starts the desktop's opener on a web address without waiting (SpawnURLOpener).
	status_t (*spawnURLOpener)(const char* url, pid_t* child);
	// The scale the user asked for in the environment, in 120ths; 0 when nothing is asked.
	int32 (*environmentScale)();
};

} // namespace BPrivate

// Connects to the compositor named by the environment: the backend, or nullptr after a
// message on standard error. The host must outlive the backend.
#define KAMBOLUX_WAYLAND_CREATE "kambolux_wayland_create"
// The stamp of the backend headers the module was built from (KAMBO_BACKEND_STAMP): asked
// before anything else, since a module of another build lays out Backend differently.
#define KAMBOLUX_WAYLAND_STAMP "kambolux_wayland_stamp"
extern "C" {
typedef BPrivate::Backend* (*kambolux_wayland_create_fn)(const BPrivate::WaylandHost* host);
typedef const char* (*kambolux_wayland_stamp_fn)();
}
