// What the Wayland backend's parts share: the connection, the globals the compositor offers,
// the scale and the events waiting for the kit.
#pragma once

#include <deque>
#include <functional>

#include "Backend.h"
#include "WaylandDecoration.h"

struct wl_compositor;
struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;
struct xdg_wm_base;
struct zxdg_decoration_manager_v1;

namespace BPrivate {

class WaylandLibdecor;
class WaylandWindow;

struct WaylandConnection {
	wl_display* display = nullptr;
	wl_registry* registry = nullptr;
	wl_compositor* compositor = nullptr;
	wl_shm* shm = nullptr;
	xdg_wm_base* wmBase = nullptr;
	wl_seat* seat = nullptr;
	// Offered by some compositors only: fractional scales need both.
	wp_fractional_scale_manager_v1* fractionalScale = nullptr;
	wp_viewporter* viewporter = nullptr;
	// The factor the kit draws every window at (WaylandScale.h).
	DisplayScale scale;
	// Who draws title bars: the compositor (decorationManager), libdecor, or nobody.
	DecorationPath decorationPath = DecorationPath::kNone;
	zxdg_decoration_manager_v1* decorationManager = nullptr;
	WaylandLibdecor* libdecor = nullptr;
	// The newest input event's serial: pop-up grabs and activation need one.
	uint32 inputSerial = 0;
	bool lost = false;
	std::deque<BackendEvent>* pending = nullptr;
	// The window of a kit id (nullptr when it is gone).
	std::function<WaylandWindow*(uint32 id)> findWindow;
	// Unmaps the pop-ups that belong to a window, innermost first: a parent's role may not go
	// before its pop-ups' (a protocol error the compositor ends the connection for).
	std::function<void(const WaylandWindow* parent)> hidePopupsOf;
	// An output's whole scale, 1 when it is not known.
	std::function<int32(const void* output)> outputScale;
	// A surface was told of another scale, or entered or left an output: the kit's factor is
	// chosen again.
	std::function<void()> scaleWanted;
	// Asks the kit to close a window's pop-ups (a click on libdecor's title bar).
	std::function<void(const WaylandWindow* parent)> dismissPopupsOf;
	// A window's first frame went to the compositor.
	std::function<void()> frameShown;
};

} // namespace BPrivate
