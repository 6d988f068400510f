// What the Wayland backend's parts share: the connection, the globals the compositor offers,
// the scale and the events waiting for the kit.
#pragma once

#include <deque>
#include <functional>

#include "Backend.h"

struct wl_compositor;
struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct xdg_wm_base;

namespace BPrivate {

class WaylandWindow;

struct WaylandConnection {
	wl_display* display = nullptr;
	wl_registry* registry = nullptr;
	wl_compositor* compositor = nullptr;
	wl_shm* shm = nullptr;
	xdg_wm_base* wmBase = nullptr;
	wl_seat* seat = nullptr;
	int32 scale = 1;
	// The newest input event's serial: pop-up grabs and activation need one.
	uint32 inputSerial = 0;
	bool lost = false;
	std::deque<BackendEvent>* pending = nullptr;
	// The window of a kit id (nullptr when it is gone).
	std::function<WaylandWindow*(uint32 id)> findWindow;
	// Unmaps the pop-ups that belong to a window, innermost first: a parent's role may not go
	// before its pop-ups' (a protocol error the compositor ends the connection for).
	std::function<void(const WaylandWindow* parent)> hidePopupsOf;
	// A window's first frame went to the compositor.
	std::function<void()> frameShown;
};

} // namespace BPrivate
