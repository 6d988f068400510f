// The seam between the kit and the window system. Two implementations: X11 on Xlib (real
// windows) and headless (in-memory windows for tests). The kit never calls Xlib or cairo
// outside its backends and its painter.
#pragma once

#include <poll.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DisplayScale.h"
#include "Rect.h"
#include "SupportDefs.h"

namespace BPrivate {

struct BackendEvent {
	enum Type {
		kNone,
		kKeyDown,
		kKeyUp,
		kMouseDown,
		kMouseUp,
		kMouseMoved,
		kActivated,
		kDeactivated,
		kCloseRequested,
		kExposed,
		kWindowMoved,
		kQuit,
		kPrimaryText, // the answer to RequestPrimaryText: text, for handler
	};
	Type type = kNone;
	uint32 window = 0;    // backend window id
	BPoint where;         // content coordinates of that window
	BPoint screenWhere;   // screen coordinates
	uint32 buttons = 0;   // held buttons after the event (B_PRIMARY_MOUSE_BUTTON...)
	int32 clicks = 1;     // click count for mouse-down
	uint32 modifiers = 0; // B_SHIFT_KEY, B_CONTROL_KEY, ...
	char bytes[8] = {};   // UTF-8 text or key byte, zero-terminated
	int32 numBytes = 0;
	int32 rawChar = 0; // the unshifted key character, for shortcuts ('q')
	bool repeat = false;
	std::string text;   // kPrimaryText: the selection's text, empty when there is none
	int32 handler = -1; // kPrimaryText: the token of the handler that asked

	static BackendEvent PrimaryText(uint32 window, int32 handler, const std::string& text)
	{
		BackendEvent event;
		event.type = kPrimaryText;
		event.window = window;
		event.handler = handler;
		event.text = text;
		return event;
	}
};

// What the window is to the window manager (_NET_WM_WINDOW_TYPE on X11).
enum class WindowKind {
	kNormal,
	kDialog,  // alerts, the about window
	kUtility, // tool windows such as a keypad
};

struct WindowSpec {
	BRect frame; // content area, screen coordinates
	std::string title;
	bool decorated = true; // title bar and border from the window manager
	bool bordered = false; // without title bar: a thin border from the window manager
	bool alwaysOnTop = false;
	bool popupMenu = false;
	bool modal = false;
	bool resizable = false;
	bool skipTaskbar = false;
	WindowKind kind = WindowKind::kNormal;
	uint32 parent = 0; // popups: the window they belong to; others: transient for it
};

// The window manager's frame around a content area, in pixels on each side.
struct FrameExtents {
	int32 left = 0;
	int32 top = 0;
	int32 right = 0;
	int32 bottom = 0;
};

class BackendWindow {
public:
	virtual ~BackendWindow() = default;
	virtual uint32 Id() const = 0;
	virtual void SetTitle(const char* title) = 0;
	virtual void MoveTo(BPoint screenPoint) = 0;
	virtual void ResizeTo(int32 width, int32 height) = 0;
	virtual void SetDecorated(bool decorated) = 0;
	// Whether the window has its title bar now: as set, unless the window system insists on
	// otherwise or has none to give (a Wayland compositor may do either).
	virtual bool IsDecorated() const = 0;
	// Only for an undecorated window: a border from the window manager, no title bar.
	virtual void SetBordered(bool bordered) { (void)bordered; }
	// The window this one belongs to (0: none): kept above it, no task-bar entry of its own.
	virtual void SetTransientFor(uint32 parent) { (void)parent; }
	virtual void SetAlwaysOnTop(bool onTop) = 0;
	virtual void SetModal(bool modal) = 0;
	virtual void Show() = 0;
	virtual void Hide() = 0;
	// Raises the window and gives it the input focus.
	virtual void Activate() = 0;
	// Copies ARGB32 (premultiplied, host order) pixels to the screen.
	virtual void Present(const uint8* pixels, int32 width, int32 height, int32 stride) = 0;
	// Where the window manager actually put the content area.
	virtual BRect Frame() const = 0;
	// The window manager's frame around the content as last reported (all 0 when none).
	virtual FrameExtents Extents() const { return FrameExtents(); }
	virtual void SetIcon(const uint8* argb, int32 width, int32 height)
	{
		(void)argb;
		(void)width;
		(void)height;
	}
};

class Backend {
public:
	virtual ~Backend() = default;
	virtual bool IsHeadless() const = 0;
	virtual std::unique_ptr<BackendWindow> CreateWindow(const WindowSpec& spec) = 0;
	// Waits up to timeoutMs (-1: forever, 0: poll) for an event, or until one of descriptors
	// (the loop's other sources; may be nullptr) is ready: false then, with their revents set.
	// The headless backend never sleeps: it polls the descriptors with the time-out only
	// when no event is queued, and a time-out of -1 counts as 0.
	virtual bool WaitEvent(BackendEvent* event, int32 timeoutMs,
		std::vector<pollfd>* descriptors = nullptr) = 0;
	// Makes a WaitEvent that is waiting return.
	virtual void Wake() = 0;
	virtual BRect ScreenFrame() const = 0;
	// Whether a window's first frame is on the screen (mapped and drawn), the moment for
	// work that must not delay the start.
	virtual bool FrameShown() const { return true; }
	// The backend's part of that work, taken once by the application after FrameShown.
	virtual void AfterFirstFrame() {}
	// Surface pixels per layout unit, 1 to kMaxDisplayScale, whole or fractional
	// (DisplayScale.h). X11 and headless keep theirs for the backend's life; Wayland's follows
	// the outputs the windows are on and, when it changes, posts kExposed to every window,
	// which then draws again at the new scale. Everything at this seam (frames, screen, event
	// positions, extents) is in layout units and the backend converts; Present gets the
	// backing store at the content size times Scale(), halves rounded up.
	virtual DisplayScale Scale() const { return DisplayScale(); }
	// The frame a typical titled window gets from the window manager, for placing a window
	// that does not exist yet (all 0 when there is no window manager or it is not known).
	virtual FrameExtents TypicalExtents(bool decorated) const
	{
		(void)decorated;
		return FrameExtents();
	}
	// Whether the window system keeps a window above the others when asked (a floating-all
	// feel), and whether it puts a window where the program places it. Asked when needed,
	// never kept: a window manager may start or change while the program runs.
	virtual bool SupportsAlwaysOnTop() const { return true; }
	virtual bool SupportsWindowPosition() const { return true; }
	// Whether windows' places on the screen are known. Where they are not (Wayland), what the
	// kit reports in screen coordinates (accessible extents) is relative to the window.
	virtual bool KnowsScreenCoordinates() const { return true; }
	virtual uint32 MouseButtons() const = 0;
	virtual BPoint MouseLocation() const = 0;
	// The clipboard's text if it is known without asking another program (empty otherwise).
	virtual std::string ClipboardText() = 0;
	typedef std::function<void(const std::string&)> ClipboardAnswer;
	// Asks for the clipboard's text without waiting for the program that owns it: true with
	// text set when it is known at once; otherwise later gets it from the event loop (empty
	// when the owner did not answer in time).
	virtual bool RequestClipboardText(std::string* text, const ClipboardAnswer& later)
	{
		(void)later;
		*text = ClipboardText();
		return true;
	}
	virtual void SetClipboardText(const std::string& text) = 0;
	// The primary selection (X11): what the user selected last, offered to other programs,
	// and a request for another program's, answered later by a kPrimaryText event for the
	// handler in the window. A backend without one offers nothing and never answers.
	virtual void SetPrimaryText(const std::string& text) { (void)text; }
	virtual void RequestPrimaryText(uint32 window, int32 handler)
	{
		(void)window;
		(void)handler;
	}
	// Hands an address to the user's browser without blocking.
	virtual status_t OpenURL(const char* url) = 0;
};

// The layout coordinate of a window-system pixel: the layout pixel whose block holds it.
inline float
DeviceToLayout(float device, DisplayScale scale)
{
	if (scale == DisplayScale())
		return device;
	return (float)scale.ToLayout((int64)std::floor(device));
}

// The backend in use. Created on first use (Wayland or X11, as ChooseBackend says), unless a
// test installed another first.
Backend* CurrentBackend();
void SetBackend(std::unique_ptr<Backend> backend);
bool HasBackend();
// The real backend, on the display named by $DISPLAY; nullptr (with a message on standard
// error) when there is none. Defined with the X11 implementation.
std::unique_ptr<Backend> CreateX11Backend();
// The Wayland backend from its module, on the compositor the environment names; nullptr (with
// a message on standard error) when the module or the compositor is not there.
std::unique_ptr<Backend> CreateWaylandBackend();

} // namespace BPrivate
