// The SDL2 backend. Its parts: SDLWindow (one window), SDLEventTranslator (SDL's events in
// the kit's terms), SDLInput (key, modifier and button codes).
//
// Implements:
//  - windows at the requested content frame: titled (window-manager decorations) or
//    borderless, always on top, pop-up menus (override-redirect, no taskbar entry), modal for
//    their parent window when one is named; title, move, resize, icon, show, hide, activate
//  - software window surfaces only: framebuffer acceleration is off, so no OpenGL is loaded
//  - presenting ARGB32 backing stores, also across a change of the surface's size; the last
//    frame is put back on screen when the window is exposed
//  - keys as the platform's bytes: text one UTF-8 character per event, editing and cursor keys
//    (keypad too, without Num Lock), Ctrl or left Alt with a key as a shortcut (the key's
//    character with the command modifier), auto-repeat, key-up for what went down
//  - mouse buttons (the buttons held after the event), click counts, motion, with both window
//    and screen coordinates; activation, close requests, exposure, moves
//  - sleeping until the display has input or Wake is called (on the X connection itself;
//    other video drivers through SDL_WaitEventTimeout)
//  - SIGINT and SIGTERM as a quit request (closing the last window is not one); display
//    bounds, global pointer, clipboard text, X11 window class "kambolux" unless the
//    environment names another
//  - web addresses handed to xdg-open without waiting for it (SDL_OpenURL when it is missing)
//  - libX11's compiled Compose table kept in $XDG_CACHE_HOME/kambolux/compose, so that later
//    starts map it instead of compiling it again (libX11 keeps no cache for root)
//
// Does not implement:
//  - mouse wheel, drag and drop, touch beyond SDL's mouse emulation, showing IME composition
//  - displays other than the first, high-DPI scaling
//  - the window manager's zoom and minimize buttons follow no window flag (SDL2 has no call
//    for them); a window's modal state cannot be taken back

#include "SDLBackend.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Directory.h"
#include "FindDirectory.h"
#include "Path.h"
#include "SDLEventTranslator.h"
#include "SDLInput.h"
#include "SDLWindow.h"

extern char** environ;

namespace BPrivate {

namespace {

const char* const kClassVariable = "SDL_VIDEO_X11_WMCLASS";
const char* const kWindowClass = "kambolux";

// An event type of our own for Wake, or the generic user event when SDL has none left.
uint32
RegisterWakeType()
{
	Uint32 type = SDL_RegisterEvents(1);
	return type != (Uint32)-1 ? type : (Uint32)SDL_USEREVENT;
}

// libX11 compiles the locale's Compose table (half a megabyte of text in UTF-8 locales) when
// SDL opens the input method: about half of all the work before the first frame. Given a
// cache directory it keeps the result and maps it on later starts, checked against the table's
// source. Sets XCOMPOSECACHE to one of ours unless the user chose one; returns whether it did,
// so that the variable can go again before anything is launched with this environment.
bool
OfferComposeCache()
{
	// libX11 keeps no cache for root: no directory for it then.
	if (getenv("XCOMPOSECACHE") != nullptr || geteuid() == 0)
		return false;
	BPath cache;
	if (find_directory(B_USER_CACHE_DIRECTORY, &cache) != B_OK
		|| cache.Append("kambolux/compose") != B_OK
		|| create_directory(cache.Path(), 0700) != B_OK)
		return false;
	return setenv("XCOMPOSECACHE", cache.Path(), 0) == 0;
}

} // namespace

class SDLBackend : public Backend
{
public:
	explicit SDLBackend(bool ownsWindowClass);
	~SDLBackend() override;

	bool IsHeadless() const override { return false; }
	std::unique_ptr<BackendWindow> CreateWindow(const WindowSpec& spec) override;
	bool WaitEvent(BackendEvent* event, int32 timeoutMs) override;
	void Wake() override;
	BRect ScreenFrame() const override;
	uint32 MouseButtons() const override;
	BPoint MouseLocation() const override;
	std::string ClipboardText() override;
	void SetClipboardText(const std::string& text) override;
	status_t OpenURL(const char* url) override;

private:
	bool _Sleep(int32 timeoutMs);
	int _DisplayConnection();
	void _ReapChildren();

	SDLEventTranslator fTranslator;
	std::set<SDLWindow*> fWindows;
	uint32 fWakeType;
	std::atomic<bool> fWakePending{false};
	int fWakePipe[2] = {-1, -1};
	int fDisplayConnection = -1;
	bool fOwnsWindowClass;
	std::vector<pid_t> fChildren;
};

SDLBackend::SDLBackend(bool ownsWindowClass)
    : fWakeType(RegisterWakeType()), fOwnsWindowClass(ownsWindowClass)
{
	if (pipe2(fWakePipe, O_NONBLOCK | O_CLOEXEC) != 0)
		fWakePipe[0] = fWakePipe[1] = -1;
	SDL_StartTextInput();
}

SDLBackend::~SDLBackend()
{
	for (SDLWindow* window : fWindows)
		window->Detach();
	fWindows.clear();
	_ReapChildren();
	SDL_Quit();
	for (int fd : fWakePipe) {
		if (fd >= 0)
			close(fd);
	}
}

std::unique_ptr<BackendWindow>
SDLBackend::CreateWindow(const WindowSpec& spec)
{
	Uint32 flags = SDL_WINDOW_HIDDEN;
	if (spec.popupMenu) {
		flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_BORDERLESS |
		         SDL_WINDOW_ALWAYS_ON_TOP;
	} else {
		if (!spec.decorated)
			flags |= SDL_WINDOW_BORDERLESS;
		if (spec.alwaysOnTop)
			flags |= SDL_WINDOW_ALWAYS_ON_TOP;
		if (spec.resizable)
			flags |= SDL_WINDOW_RESIZABLE;
	}

	const int width = std::max(1, (int)spec.frame.Width() + 1);
	const int height = std::max(1, (int)spec.frame.Height() + 1);
	SDL_Window* window = SDL_CreateWindow(spec.title.c_str(), (int)spec.frame.left,
	                                      (int)spec.frame.top, width, height, flags);
	if (window == nullptr) {
		fprintf(stderr, "kit: cannot create a window: %s\n", SDL_GetError());
		return nullptr;
	}

	auto result = std::make_unique<SDLWindow>(window, spec,
	                                          [this](SDLWindow* gone) { fWindows.erase(gone); });
	fWindows.insert(result.get());
	if (spec.modal)
		result->SetModal(true);
	return result;
}

bool
SDLBackend::WaitEvent(BackendEvent* event, int32 timeoutMs)
{
	_ReapChildren();
	const Uint64 deadline = SDL_GetTicks64() + (timeoutMs > 0 ? (Uint64)timeoutMs : 0);
	while (!fTranslator.HasPending()) {
		SDL_Event sdlEvent;
		if (SDL_PollEvent(&sdlEvent)) {
			if (sdlEvent.type == fWakeType) {
				char drain[16];
				while (fWakePipe[0] >= 0 && read(fWakePipe[0], drain, sizeof(drain)) > 0) {
				}
				fWakePending = false;
				return false;
			}
			fTranslator.Translate(sdlEvent);
			continue;
		}

		int32 remaining = -1;
		if (timeoutMs >= 0) {
			const Uint64 now = SDL_GetTicks64();
			if (now >= deadline)
				return false;
			remaining = (int32)(deadline - now);
		}
		if (!_Sleep(remaining))
			return false;
	}
	return fTranslator.Next(event);
}

// Sleeps until the display has input, Wake is called, or the time is up. Returns whether to
// look for events again.
//
// On X11 this waits on the display connection itself rather than in SDL_WaitEventTimeout:
// while SDL waits there, every event it queues sends a wake-up message to its newest window
// over a second connection to the server, and when that window is a menu or an alert that
// has just been closed, the message meets a window that is gone. That is an X error, and
// Xlib's answer to an X error is to end the program.
bool
SDLBackend::_Sleep(int32 timeoutMs)
{
	const int connection = _DisplayConnection();
	if (connection < 0 || fWakePipe[0] < 0) {
		SDL_Event sdlEvent;
		if (!SDL_WaitEventTimeout(&sdlEvent, timeoutMs < 0 ? -1 : std::max(timeoutMs, 1)))
			return false;
		SDL_PushEvent(&sdlEvent); // back to the front of the line: SDL's queue is empty
		return true;
	}

	// Whatever Xlib has read from the socket meanwhile (while waiting for a reply, say) would
	// not wake a sleep on it: take it in, and flush what we sent, before going to sleep.
	SDL_PumpEvents();
	if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
		return true;
	pollfd descriptors[2] = {{connection, POLLIN, 0}, {fWakePipe[0], POLLIN, 0}};
	int result = poll(descriptors, 2, timeoutMs);
	if (result < 0)
		return errno == EINTR; // a signal: SDL turns it into an event
	return result > 0;
}

// The file descriptor of the X display connection, or -1 on other video drivers.
int
SDLBackend::_DisplayConnection()
{
	if (fDisplayConnection >= 0 || fWindows.empty())
		return fDisplayConnection;
	SDL_Window* window = SDL_GetWindowFromID((*fWindows.begin())->Id());
	SDL_SysWMinfo info;
	SDL_VERSION(&info.version);
	if (window != nullptr && SDL_GetWindowWMInfo(window, &info) &&
	    info.subsystem == SDL_SYSWM_X11 && info.info.x11.display != nullptr)
		fDisplayConnection = ConnectionNumber(info.info.x11.display);
	return fDisplayConnection;
}

void
SDLBackend::Wake()
{
	// One wake-up in the queue is enough, however often the kit asks.
	if (fWakePending.exchange(true))
		return;
	SDL_Event event;
	SDL_zero(event);
	event.type = fWakeType;
	if (SDL_PushEvent(&event) != 1) {
		fWakePending = false;
		return;
	}
	// For a sleep on the display connection, from whatever thread asks.
	if (fWakePipe[1] >= 0) {
		ssize_t written = write(fWakePipe[1], "w", 1);
		(void)written; // a full pipe wakes the sleeper just as well
	}
}

BRect
SDLBackend::ScreenFrame() const
{
	SDL_Rect bounds;
	if (SDL_GetDisplayBounds(0, &bounds) != 0)
		return BRect(0, 0, 1023, 767);
	return BRect(bounds.x, bounds.y, bounds.x + bounds.w - 1, bounds.y + bounds.h - 1);
}

uint32
SDLBackend::MouseButtons() const
{
	return SDLButtons(SDL_GetGlobalMouseState(nullptr, nullptr));
}

BPoint
SDLBackend::MouseLocation() const
{
	int x = 0, y = 0;
	SDL_GetGlobalMouseState(&x, &y);
	return BPoint(x, y);
}

std::string
SDLBackend::ClipboardText()
{
	char* text = SDL_GetClipboardText();
	if (text == nullptr)
		return std::string();
	std::string result(text);
	SDL_free(text);
	return result;
}

void
SDLBackend::SetClipboardText(const std::string& text)
{
	SDL_SetClipboardText(text.c_str());
}

status_t
SDLBackend::OpenURL(const char* url)
{
	// An address starting with '-' would be read as an option of xdg-open.
	if (url == nullptr || url[0] == '\0' || url[0] == '-')
		return B_BAD_VALUE;

	// The browser should not inherit the window class we gave ourselves.
	std::vector<char*> environment;
	for (char** entry = environ; entry != nullptr && *entry != nullptr; entry++) {
		if (fOwnsWindowClass && strncmp(*entry, kClassVariable, strlen(kClassVariable)) == 0 &&
		    (*entry)[strlen(kClassVariable)] == '=')
			continue;
		environment.push_back(*entry);
	}
	environment.push_back(nullptr);

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
	int error = posix_spawnp(&child, program, &actions, &attributes, arguments, environment.data());
	posix_spawnattr_destroy(&attributes);
	posix_spawn_file_actions_destroy(&actions);

	if (error == 0) {
		// Reaped without waiting, the next time the loop looks for events.
		fChildren.push_back(child);
		return B_OK;
	}
	return SDL_OpenURL(url) == 0 ? B_OK : B_ERROR;
}

void
SDLBackend::_ReapChildren()
{
	std::erase_if(fChildren, [](pid_t child) {
		int status;
		pid_t result = waitpid(child, &status, WNOHANG);
		return result == child || (result < 0 && errno == ECHILD);
	});
}

std::unique_ptr<Backend>
CreateSDLBackend()
{
	// Set before SDL looks at them; the environment wins over our window class.
	const bool ownsWindowClass = SDL_getenv(kClassVariable) == nullptr;
	if (ownsWindowClass)
		SDL_setenv(kClassVariable, kWindowClass, 0);

	// Software surfaces: without this SDL loads OpenGL for the window surfaces.
	SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
	SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
	// The click that activates a window also acts, as on the platform.
	SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
	// Closing the last window asks the window whether it may close; SDL must not quit.
	SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
	// A converter has no business keeping the screen saver away.
	SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");

	const bool offeredComposeCache = OfferComposeCache();
	const int initialized = SDL_Init(SDL_INIT_VIDEO);
	if (offeredComposeCache)
		unsetenv("XCOMPOSECACHE");
	if (initialized != 0) {
		fprintf(stderr, "kit: cannot open the display: %s\n", SDL_GetError());
		return nullptr;
	}
	// Without a display SDL falls back to drivers that show nothing; only take them when
	// someone asked for them by name.
	const char* driver = SDL_GetCurrentVideoDriver();
	if (driver != nullptr && SDL_getenv("SDL_VIDEODRIVER") == nullptr
		&& (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0)) {
		fprintf(stderr, "kit: cannot open the display (no X11 or Wayland display found)\n");
		SDL_Quit();
		return nullptr;
	}
	return std::make_unique<SDLBackend>(ownsWindowClass);
}

} // namespace BPrivate
