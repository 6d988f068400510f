// WaylandSeat: the seat's pointer and keyboard. Pointer motion, buttons (held buttons after
// each event, click counts) and the cursor from the theme (libwayland-cursor); keys through
// WaylandKeyboard, with the keymap the compositor sends and its repeat rate. Positions are
// surface-local (layout units); screen positions are the kit's window position plus those.
#pragma once

#include <functional>
#include <memory>

#include "WaylandConnection.h"
#include "WaylandKeyboard.h"

struct wl_cursor_theme;
struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;

namespace BPrivate {

class WaylandSeat {
public:
	typedef std::function<WaylandWindow*(wl_surface*)> WindowOf;

	WaylandSeat(WaylandConnection* connection, WindowOf windowOf);
	~WaylandSeat();
	WaylandSeat(const WaylandSeat&) = delete;
	WaylandSeat& operator=(const WaylandSeat&) = delete;

	// The compositor's seat, as soon as it is bound: its capabilities come with the next
	// round trip and are not sent again.
	void Attach(wl_seat* seat);
	WaylandKeyboard& Keyboard() { return fKeyboard; }
	uint32 Buttons() const { return fButtons; }
	BPoint Location() const;
	// A window goes: no more events for it.
	void Forget(WaylandWindow* window);

	// wl_seat.capabilities and the pointer's and keyboard's events (WaylandSeat.cpp).
	void Capabilities(uint32 capabilities);
	void PointerEnter(uint32 serial, wl_surface* surface, double x, double y);
	void PointerLeave(wl_surface* surface);
	void PointerMotion(uint32 time, double x, double y);
	void PointerButton(uint32 serial, uint32 time, uint32 button, bool pressed);
	void KeyboardKeymap(uint32 format, int fd, uint32 size);
	void KeyboardEnter(uint32 serial, wl_surface* surface, const std::vector<uint32>& keys);
	void KeyboardLeave(wl_surface* surface);
	void KeyboardKey(uint32 serial, uint32 key, bool pressed);
	void KeyboardModifiers(uint32 depressed, uint32 latched, uint32 locked, uint32 group);

private:
	void _SetCursor(uint32 serial);
	BackendEvent _PointerEvent(BackendEvent::Type type) const;

	WaylandConnection* fConnection;
	WindowOf fWindowOf;
	WaylandKeyboard fKeyboard;
	wl_pointer* fPointer = nullptr;
	wl_keyboard* fWlKeyboard = nullptr;
	wl_cursor_theme* fCursorTheme = nullptr;
	wl_surface* fCursorSurface = nullptr;
	int32 fCursorScale = 1; // the theme's

	WaylandWindow* fPointerWindow = nullptr;
	WaylandWindow* fKeyWindow = nullptr;
	BPoint fWhere;
	uint32 fButtons = 0;

	struct Click {
		uint32 button = 0;
		uint32 time = 0;
		BPoint where;
		int32 count = 0;
	} fLastClick;
};

} // namespace BPrivate
