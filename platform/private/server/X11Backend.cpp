// The X11 backend, on Xlib: the connection, its set-up and tear-down, windows, the pointer and
// the clipboard. Its other parts: X11Wait.cpp (the blocking wait), X11BackendEvents.cpp (what
// X events mean), X11Window (one window), X11Keyboard (keys and the input method),
// X11Clipboard (the CLIPBOARD selection), ComposeCache, X11Input (tables).
//
// Implements:
//  - windows at the requested content frame, on a TrueColor visual (the default one, or
//    another when the default is not TrueColor; a clear message when the screen has none):
//    titled (window-manager decorations), bordered (a border, no title bar) or bare (Motif
//    hints), always on top, fixed size (equal minimum and maximum, no maximise), modal, tied
//    to a parent (WM_TRANSIENT_FOR), typed (normal, dialog, utility, pop-up menu), without a
//    task-bar entry; title (_NET_WM_NAME and WM_NAME), move, resize, icon (_NET_WM_ICON, the
//    kit's one size), show, hide, activate; WM_CLASS "kambolux", _NET_WM_PID with
//    WM_CLIENT_MACHINE, WM_DELETE_WINDOW and _NET_WM_PING, the client leader and group
//  - whether a window can be kept above the others: only under a window manager that lists
//    _NET_WM_STATE_ABOVE in _NET_SUPPORTED, asked afresh each time
//  - a decoration change on a mapped, managed window made by withdrawing the window and
//    mapping it again where it was, once the window manager let it go (0.5 s at most)
//  - static window gravity, so a window manager puts its frame around the content where the
//    kit placed it, with no wait for the frame; the frame's size from _NET_FRAME_EXTENTS as
//    it changes, and the typical frame asked for with _NET_REQUEST_FRAME_EXTENTS
//  - pop-up menus: override-redirect windows that grab the pointer and the keyboard while
//    open, so a click anywhere reaches the menu (and closes it when outside)
//  - presenting ARGB32 backing stores with XPutImage (as they are on 24-bit visuals,
//    converted on others), through shared memory (MIT-SHM) from the second frame on where
//    the server offers it and can attach the segment; exposure and size changes ask the
//    kit to present again
//  - keys as the platform's bytes: text through the input method (dead keys, Compose), one
//    UTF-8 character per event; editing and cursor keys (keypad too, without Num Lock); Ctrl
//    or Alt with a key as a shortcut; auto-repeat; key-up for what went down; keys held
//    before a window had the focus are no presses
//  - mouse buttons (held after the event), click counts, motion, window and screen points;
//    activation (focus changes other than grabs), close requests, exposure, moves
//  - the CLIPBOARD and PRIMARY selections both ways without blocking (X11Clipboard), large
//    texts in pieces (INCR) both ways; the middle button pastes PRIMARY where the kit asks
//    for it (X11Primary.cpp)
//  - sleeping in poll on the X connection, a wake-up pipe (Wake, signals) and the loop's other
//    descriptors (the session bus, the screen-reader module's) until an event, one of those,
//    the next timer or a clipboard time-out; no other waits
//  - SIGINT, SIGTERM and SIGHUP as a quit request; X protocol errors logged, never fatal; a
//    window destroyed by another client is a close request; a lost connection is a quit
//    request, ends the program with status 1 once it has saved, and sends nothing more
//  - the input method opened once the first frame is on the screen (libX11 reads the Compose
//    table then); its compiled table kept in $XDG_CACHE_HOME/kambolux/compose, verified
//    before libX11 may read it (ComposeCache)
//  - web addresses handed to xdg-open without waiting for it
//  - a whole or fractional scale for HiDPI screens, taken once at start (X11Scale):
//    windows, their places and size hints at that many pixels per layout unit, and every
//    position, size and frame the server reports divided back; the icon stays at its size
//  - startup notification: the launcher's DESKTOP_STARTUP_ID on the first window, "remove"
//    once it is mapped, and the variable kept from what the program launches
//
// Does not implement:
//  - mouse wheel, drag and drop, showing an input method's composition
//  - screens other than the default one, several monitors, a scale that changes while the
//    program runs

#include "X11Backend.h"
#include "X11BackendPrivate.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "ComposeCache.h"
#include "FontCache.h"
#include "ResolvedFonts.h"
#include "SystemTime.h"
#include "X11Input.h"
#include "X11Scale.h"
#include "X11Window.h"

namespace BPrivate {

namespace {

std::atomic<uint32> sErrorsCaught{0};
const uint32 kErrorsReported = 20;

// Set when the display went away: the program still saves and quits, but then reports the
// failure with its exit status.
const int kLostConnectionStatus = 1;

// Protocol errors (a request about a window another client destroyed, say) are the
// program's or the other client's mistake, never a reason to end: log them and go on.
int
OnXError(Display* display, XErrorEvent* error)
{
	if (X11ForeignRequests::Expected(*error))
		return 0;
	const uint32 count = ++sErrorsCaught;
	if (count > kErrorsReported)
		return 0;
	char text[160] = {};
	XGetErrorText(display, error->error_code, text, sizeof(text) - 1);
	fprintf(stderr, "kit: X error ignored: %s (request %d.%d, resource 0x%lx)%s\n", text,
		error->request_code, error->minor_code, error->resourceid,
		count == kErrorsReported ? "; further X errors are not reported" : "");
	return 0;
}

// Xlib calls this first when the connection breaks; the exit handler below does the rest.
int
OnIOError(Display*)
{
	return 0;
}

void
OnIOErrorExit(Display*, void* backend)
{
	static_cast<X11Backend*>(backend)->ConnectionLost();
}

void
ExitAfterLostConnection()
{
	fflush(nullptr);
	// Xlib's own clean-up would only talk to a server that is gone.
	_exit(kLostConnectionStatus);
}

} // namespace

uint32
X11ErrorsCaught()
{
	return sErrorsCaught;
}

X11Backend::X11Backend(Display* display, Visual* visual, int depth)
{
	fConnection.display = display;
	fConnection.screen = DefaultScreen(display);
	fConnection.root = RootWindow(display, fConnection.screen);
	fConnection.visual = visual;
	fConnection.depth = depth;
	fConnection.colormap = visual == DefaultVisual(display, fConnection.screen)
		? DefaultColormap(display, fConnection.screen)
		: XCreateColormap(display, fConnection.root, visual, AllocNone);
	fConnection.atoms.Intern(display);
	fConnection.scale = X11DisplayScale(display);

	XSetErrorHandler(OnXError);
	XSetIOErrorHandler(OnIOError);
	XSetIOErrorExitHandler(display, OnIOErrorExit, this);

	// Never mapped: the group leader, the clipboard's owner and requester, and the sender
	// of startup notification messages.
	XSetWindowAttributes attributes{};
	attributes.event_mask = PropertyChangeMask;
	fConnection.leader = XCreateWindow(display, fConnection.root, -1, -1, 1, 1, 0, 0, InputOnly,
		CopyFromParent, CWEventMask, &attributes);

	// The first frame's fonts as an earlier start found them, without fontconfig's
	// configuration (about a third of a start's work); kept once the window is up.
	KeepResolvedFonts(ResolvedFonts::DefaultPath());

	fKeyboard = std::make_unique<X11Keyboard>(display);
	fClipboard = std::make_unique<X11Clipboard>(&fConnection, fConnection.atoms.clipboard,
		fConnection.atoms.selectionProperty);
	// The selection's own name serves as the property its answers arrive in: no atom to ask
	// the server for.
	fPrimary = std::make_unique<X11Clipboard>(&fConnection, XA_PRIMARY, XA_PRIMARY);

	// The launcher's startup notification is ours to end; what we launch starts its own.
	if (const char* id = getenv("DESKTOP_STARTUP_ID")) {
		fStartupId = id;
		unsetenv("DESKTOP_STARTUP_ID");
	}
}

X11Backend::~X11Backend()
{
	_ReapChildren();
	fClipboard.reset();
	fPrimary.reset();
	for (auto& [window, entry] : fWindows) {
		if (!fConnection.lost)
			fKeyboard->DestroyContext(entry.context);
		entry.window->Detach();
	}
	if (!fConnection.lost) {
		fKeyboard.reset();
		for (auto& [probe, titled] : fProbes)
			XDestroyWindow(fConnection.display, probe);
		XDestroyWindow(fConnection.display, fConnection.leader);
		X11ForeignRequests::Forget(fConnection.display);
		XCloseDisplay(fConnection.display);
	}
}

// libX11 compiles the locale's Compose table when the input method opens: more work than
// everything else before the first frame together, unless it finds the result of an earlier
// start in its cache. So it opens once the first window is up and the loop has nothing else
// to do; until then keys type their own characters.
void
X11Backend::_OpenInputMethod()
{
	fInputMethodOpen = true;
	ComposeCache cache(
		getenv("XCOMPOSECACHE") == nullptr ? ComposeCache::DefaultDirectory() : std::string());
	const bool offerCache = !cache.Directory().empty();
	if (offerCache) {
		cache.Verify();
		setenv("XCOMPOSECACHE", cache.Directory().c_str(), 1);
	}
	fKeyboard->OpenInputMethod();
	if (offerCache) {
		// Nothing launched later should inherit it.
		unsetenv("XCOMPOSECACHE");
		cache.Seal();
	}
	for (auto& [xWindow, entry] : fWindows) {
		if (entry.context != nullptr)
			continue;
		entry.context = fKeyboard->CreateContext(xWindow);
		if (xWindow == fFocus)
			fKeyboard->GainedFocus(entry.context);
	}
}

void
X11Backend::ConnectionLost()
{
	if (fConnection.lost)
		return;
	fConnection.lost = true;
	fprintf(stderr, "kit: the connection to the X server was lost; saving and quitting\n");
	atexit(ExitAfterLostConnection);
	Wake();
}

std::unique_ptr<BackendWindow>
X11Backend::CreateWindow(const WindowSpec& spec)
{
	if (fConnection.lost)
		return nullptr;
	Window parent = 0;
	if (spec.parent != 0) {
		for (auto& [xWindow, entry] : fWindows) {
			if (entry.window->Id() == spec.parent)
				parent = xWindow;
		}
	}
	auto window = std::make_unique<X11Window>(&fConnection, fNextId++, spec, parent,
		[this](X11Window* gone) { _WindowGone(gone); });
	if (!window->IsValid()) {
		fprintf(stderr, "kit: cannot create a window\n");
		return nullptr;
	}
	window->SetParentLookup([this](uint32 id) -> Window {
		for (auto& [xWindow, entry] : fWindows) {
			if (entry.window->Id() == id)
				return xWindow;
		}
		return 0;
	});
	if (!fStartupId.empty() && !spec.popupMenu) {
		XChangeProperty(fConnection.display, window->XWindow(), fConnection.atoms.startupId,
			fConnection.atoms.utf8String, 8, PropModeReplace,
			reinterpret_cast<const unsigned char*>(fStartupId.data()), (int)fStartupId.size());
	}
	fWindows[window->XWindow()] = Entry{window.get(), fKeyboard->CreateContext(window->XWindow())};
	return window;
}

void
X11Backend::_WindowGone(X11Window* window)
{
	auto found = fWindows.find(window->XWindow());
	if (found == fWindows.end())
		return;
	if (!fConnection.lost)
		fKeyboard->DestroyContext(found->second.context);
	fWindows.erase(found);
	if (window->IsPopup())
		_UpdateGrab();
}

bool
X11Backend::FrameShown() const
{
	for (const auto& [xWindow, entry] : fWindows) {
		if (entry.window->HasShownFrame())
			return true;
	}
	return false;
}

void
X11Backend::AfterFirstFrame()
{
	if (fInputMethodOpen || fConnection.lost)
		return;
	// Later frames through shared memory; the first went down the connection without
	// waiting for the question.
	fConnection.shmCompletion = X11SharedImage::CompletionEvent(fConnection.display);
	_OpenInputMethod();
	_RequestWantedExtents();
}

BRect
X11Backend::ScreenFrame() const
{
	return LayoutScreenFrame(DisplayWidth(fConnection.display, fConnection.screen),
		DisplayHeight(fConnection.display, fConnection.screen), fConnection.scale);
}

// Only a window manager keeps a window above others, and only one that says it can: without
// one, stacking is whatever the last raise left. Asked afresh each time (three round trips):
// a window manager started or replaced later is seen without watching the root.
bool
X11Backend::SupportsAlwaysOnTop() const
{
	return fConnection.WindowManagerSupports(fConnection.atoms.wmStateAbove);
}

uint32
X11Backend::MouseButtons() const
{
	if (fConnection.lost)
		return 0;
	Window rootReturn, child;
	int rootX, rootY, x, y;
	unsigned int mask = 0;
	XQueryPointer(fConnection.display, fConnection.root, &rootReturn, &child, &rootX, &rootY, &x,
		&y, &mask);
	return X11Buttons(mask);
}

BPoint
X11Backend::MouseLocation() const
{
	if (fConnection.lost)
		return BPoint();
	Window rootReturn, child;
	int rootX = 0, rootY = 0, x, y;
	unsigned int mask = 0;
	XQueryPointer(fConnection.display, fConnection.root, &rootReturn, &child, &rootX, &rootY, &x,
		&y, &mask);
	return LayoutFromDevice(rootX, rootY, fConnection.scale);
}

std::string
X11Backend::ClipboardText()
{
	std::string text;
	fClipboard->OwnText(&text);
	return text;
}

bool
X11Backend::RequestClipboardText(std::string* text, const ClipboardAnswer& later)
{
	if (fClipboard->OwnText(text))
		return true;
	fClipboard->Request(later, system_time_us());
	return false;
}

void
X11Backend::SetClipboardText(const std::string& text)
{
	fClipboard->SetText(text);
}

std::unique_ptr<Backend>
CreateX11Backend()
{
	Display* display = XOpenDisplay(nullptr);
	if (display == nullptr) {
		const char* name = XDisplayName(nullptr);
		fprintf(stderr, "kit: cannot open the X display \"%s\"\n", name != nullptr ? name : "");
		return nullptr;
	}
	const int screen = DefaultScreen(display);
	int depth = DefaultDepth(display, screen);
	Visual* visual = ChooseTrueColorVisual(display, screen, &depth);
	if (visual == nullptr) {
		fprintf(stderr,
			"kit: the X screen offers no TrueColor visual; the windows' colours "
			"will be wrong (start the X server with a depth of 16 or 24 bits)\n");
		visual = DefaultVisual(display, screen);
		depth = DefaultDepth(display, screen);
	}
	return std::make_unique<X11Backend>(display, visual, depth);
}

} // namespace BPrivate
