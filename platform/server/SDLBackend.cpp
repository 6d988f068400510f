// The SDL2 backend.
//
// Implements:
//  - windows at the requested content frame: titled (window-manager decorations) or
//    borderless, always on top, pop-up menus (override-redirect, no taskbar entry), modal for
//    their parent window when one is named; title, move, resize, icon, show, hide, activate
//  - software window surfaces only: framebuffer acceleration is off, so no OpenGL is loaded
//  - presenting ARGB32 backing stores, also across a change of the surface's size; the last
//    frame is put back on screen when the window is exposed
//  - keys as the platform's bytes: text one UTF-8 character per event, editing and cursor keys
//    (keypad too, without Num Lock), Ctrl or Alt with a key as a shortcut (the key's character
//    with the command modifier), auto-repeat, key-up for what went down
//  - mouse buttons (the buttons held after the event), click counts, motion, with both window
//    and screen coordinates; activation, close requests, exposure, moves
//  - SIGINT and SIGTERM as a quit request; display bounds, global pointer, clipboard text,
//    X11 window class "kambolux" (unless the environment names another)
//  - web addresses handed to xdg-open without waiting for it (SDL_OpenURL when it is missing)
//
// Does not implement:
//  - mouse wheel, drag and drop, touch beyond SDL's mouse emulation, showing IME composition
//  - displays other than the first, high-DPI scaling
//  - taking a window's modal state back (SDL2 has no call for it)

#include "SDLBackend.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "InterfaceDefs.h"

extern char** environ;

namespace BPrivate {

namespace {

const char* const kClassVariable = "SDL_VIDEO_X11_WMCLASS";
const char* const kWindowClass = "kambolux";

// What shows where a window is larger than the frame it was given, for a moment while it
// is being resized: the platform's panel grey.
const uint8 kUncoveredGrey = 216;

uint32
ButtonMask(uint8 sdlButton)
{
	switch (sdlButton) {
	case SDL_BUTTON_LEFT:
		return B_PRIMARY_MOUSE_BUTTON;
	case SDL_BUTTON_RIGHT:
		return B_SECONDARY_MOUSE_BUTTON;
	case SDL_BUTTON_MIDDLE:
		return B_TERTIARY_MOUSE_BUTTON;
	default:
		return 0;
	}
}

uint32
ButtonsFromState(uint32 sdlState)
{
	uint32 buttons = 0;
	if (sdlState & SDL_BUTTON_LMASK)
		buttons |= B_PRIMARY_MOUSE_BUTTON;
	if (sdlState & SDL_BUTTON_RMASK)
		buttons |= B_SECONDARY_MOUSE_BUTTON;
	if (sdlState & SDL_BUTTON_MMASK)
		buttons |= B_TERTIARY_MOUSE_BUTTON;
	return buttons;
}

// An event type of our own for Wake, or the generic user event when SDL has none left.
uint32
RegisterWakeType()
{
	Uint32 type = SDL_RegisterEvents(1);
	return type != (Uint32)-1 ? type : (Uint32)SDL_USEREVENT;
}

void
SetBytes(BackendEvent* event, const char* bytes, int32 length)
{
	length = std::clamp(length, (int32)0, (int32)sizeof(event->bytes) - 1);
	memcpy(event->bytes, bytes, length);
	event->bytes[length] = '\0';
	event->numBytes = length;
}

} // namespace

uint8
SDLKeyByte(int32 sdlKeycode, bool numLock)
{
	switch (sdlKeycode) {
	case SDLK_BACKSPACE:
		return B_BACKSPACE;
	case SDLK_TAB:
		return B_TAB;
	case SDLK_RETURN:
	case SDLK_RETURN2:
	case SDLK_KP_ENTER:
		return B_ENTER;
	case SDLK_ESCAPE:
		return B_ESCAPE;
	case SDLK_DELETE:
		return B_DELETE;
	case SDLK_INSERT:
		return B_INSERT;
	case SDLK_LEFT:
		return B_LEFT_ARROW;
	case SDLK_RIGHT:
		return B_RIGHT_ARROW;
	case SDLK_UP:
		return B_UP_ARROW;
	case SDLK_DOWN:
		return B_DOWN_ARROW;
	case SDLK_HOME:
		return B_HOME;
	case SDLK_END:
		return B_END;
	case SDLK_PAGEUP:
		return B_PAGE_UP;
	case SDLK_PAGEDOWN:
		return B_PAGE_DOWN;
	}

	// With Num Lock on, the keypad types digits (as text); off, it moves the caret.
	if (numLock)
		return 0;
	switch (sdlKeycode) {
	case SDLK_KP_4:
		return B_LEFT_ARROW;
	case SDLK_KP_6:
		return B_RIGHT_ARROW;
	case SDLK_KP_8:
		return B_UP_ARROW;
	case SDLK_KP_2:
		return B_DOWN_ARROW;
	case SDLK_KP_7:
		return B_HOME;
	case SDLK_KP_1:
		return B_END;
	case SDLK_KP_9:
		return B_PAGE_UP;
	case SDLK_KP_3:
		return B_PAGE_DOWN;
	case SDLK_KP_0:
		return B_INSERT;
	case SDLK_KP_PERIOD:
		return B_DELETE;
	}
	return 0;
}

uint32
SDLModifiers(uint32 sdlKeymod)
{
	uint32 modifiers = 0;
	if (sdlKeymod & KMOD_SHIFT)
		modifiers |= B_SHIFT_KEY;
	// The platform's shortcuts use the command key; Ctrl is where a Linux user looks for it.
	if (sdlKeymod & KMOD_CTRL)
		modifiers |= B_CONTROL_KEY | B_COMMAND_KEY;
	// Only the left Alt: the right one is AltGr on most layouts and types characters ('@').
	if (sdlKeymod & KMOD_LALT)
		modifiers |= B_COMMAND_KEY;
	if (sdlKeymod & KMOD_GUI)
		modifiers |= B_OPTION_KEY;
	if (sdlKeymod & KMOD_CAPS)
		modifiers |= B_CAPS_LOCK;
	return modifiers;
}

int32
EncodeUTF8(uint32 c, char* buffer)
{
	// Control characters, surrogates and values past Unicode are no text.
	if (c < 0x20 || c == 0x7f || (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff) {
		buffer[0] = '\0';
		return 0;
	}
	int32 length;
	if (c < 0x80) {
		buffer[0] = (char)c;
		length = 1;
	} else if (c < 0x800) {
		buffer[0] = (char)(0xc0 | (c >> 6));
		buffer[1] = (char)(0x80 | (c & 0x3f));
		length = 2;
	} else if (c < 0x10000) {
		buffer[0] = (char)(0xe0 | (c >> 12));
		buffer[1] = (char)(0x80 | ((c >> 6) & 0x3f));
		buffer[2] = (char)(0x80 | (c & 0x3f));
		length = 3;
	} else {
		buffer[0] = (char)(0xf0 | (c >> 18));
		buffer[1] = (char)(0x80 | ((c >> 12) & 0x3f));
		buffer[2] = (char)(0x80 | ((c >> 6) & 0x3f));
		buffer[3] = (char)(0x80 | (c & 0x3f));
		length = 4;
	}
	buffer[length] = '\0';
	return length;
}

int32
UTF8CharLength(const char* text, int32 available)
{
	if (text == nullptr || available <= 0)
		return 0;
	const uint8* s = reinterpret_cast<const uint8*>(text);
	int32 length;
	uint32 c;
	if (s[0] < 0x80)
		return s[0] == 0 ? 0 : 1;
	if ((s[0] & 0xe0) == 0xc0) {
		length = 2;
		c = s[0] & 0x1f;
	} else if ((s[0] & 0xf0) == 0xe0) {
		length = 3;
		c = s[0] & 0x0f;
	} else if ((s[0] & 0xf8) == 0xf0) {
		length = 4;
		c = s[0] & 0x07;
	} else
		return 0;
	if (length > available)
		return 0;
	for (int32 i = 1; i < length; i++) {
		if ((s[i] & 0xc0) != 0x80)
			return 0;
		c = (c << 6) | (s[i] & 0x3f);
	}
	// Overlong forms, surrogates and values past Unicode.
	static const uint32 kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
	if (c < kMinimum[length] || (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff)
		return 0;
	return length;
}

// #pragma mark - SDLWindow

class SDLBackend;

class SDLWindow : public BackendWindow
{
public:
	SDLWindow(SDLBackend* backend, SDL_Window* window, const WindowSpec& spec);
	~SDLWindow() override;

	uint32 Id() const override { return fId; }
	void SetTitle(const char* title) override;
	void MoveTo(BPoint screenPoint) override;
	void ResizeTo(int32 width, int32 height) override;
	void SetDecorated(bool decorated) override;
	void SetAlwaysOnTop(bool onTop) override;
	void SetModal(bool modal) override;
	void Show() override;
	void Hide() override;
	void Activate() override;
	void Present(const uint8* pixels, int32 width, int32 height, int32 stride) override;
	BRect Frame() const override;
	void SetIcon(const uint8* argb, int32 width, int32 height) override;

	// The backend goes away before its windows (at exit): forget SDL.
	void Detach()
	{
		fBackend = nullptr;
		fWindow = nullptr;
	}

private:
	void _WaitForFrame(bool framed);

	SDLBackend* fBackend;
	SDL_Window* fWindow;
	uint32 fId;
	uint32 fParent;
	bool fDecorated;
	bool fMappedOnce = false;
	BPoint fWanted;
};

// #pragma mark - SDLBackend

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

	void WindowGone(SDLWindow* window) { fWindows.erase(window); }

private:
	void _Translate(const SDL_Event& event);
	void _TranslateKeyDown(const SDL_KeyboardEvent& key);
	void _TranslateKeyUp(const SDL_KeyboardEvent& key);
	void _TranslateText(const SDL_TextInputEvent& text);
	void _TranslateWindowEvent(const SDL_WindowEvent& window);
	BackendEvent _MouseEvent(BackendEvent::Type type, uint32 windowId, int32 x, int32 y);
	void _RememberDown(int32 scancode, const BackendEvent& event);
	bool _Sleep(int32 timeoutMs);
	int _DisplayConnection();
	void _ReapChildren();

	std::deque<BackendEvent> fPending;
	std::set<SDLWindow*> fWindows;
	uint32 fWakeType;
	std::atomic<bool> fWakePending{false};
	int fWakePipe[2] = {-1, -1};
	int fDisplayConnection = -1;
	uint32 fButtons = 0;
	bool fOwnsWindowClass;

	// SDL sends a key's text as a separate event right after its key-down. Ctrl or Alt
	// with a character key goes out from the key-down, and the text SDL may still send
	// for it (Alt does) must not be typed as well.
	bool fSuppressText = false;
	// The key-down before the text, when it typed nothing itself.
	bool fTextFollowsKey = false;
	uint32 fKeyModifiers = 0;
	int32 fKeyRawChar = 0;
	bool fKeyRepeat = false;
	int32 fKeyScancode = -1;

	// What each key sent when it went down, so that its key-up carries the same.
	struct DownKey
	{
		char bytes[8];
		int32 rawChar;
	};
	std::array<DownKey, SDL_NUM_SCANCODES> fDownKeys{};

	std::vector<pid_t> fChildren;
};

SDLWindow::SDLWindow(SDLBackend* backend, SDL_Window* window, const WindowSpec& spec)
    : fBackend(backend), fWindow(window), fId(SDL_GetWindowID(window)), fParent(spec.parent),
      fDecorated(spec.decorated && !spec.popupMenu), fWanted(spec.frame.LeftTop())
{
}

SDLWindow::~SDLWindow()
{
	if (fWindow != nullptr)
		SDL_DestroyWindow(fWindow);
	if (fBackend != nullptr)
		fBackend->WindowGone(this);
}

void
SDLWindow::SetTitle(const char* title)
{
	if (fWindow != nullptr)
		SDL_SetWindowTitle(fWindow, title != nullptr ? title : "");
}

void
SDLWindow::MoveTo(BPoint screenPoint)
{
	fWanted = screenPoint;
	if (fWindow != nullptr)
		SDL_SetWindowPosition(fWindow, (int)screenPoint.x, (int)screenPoint.y);
}

void
SDLWindow::ResizeTo(int32 width, int32 height)
{
	if (fWindow != nullptr)
		SDL_SetWindowSize(fWindow, std::max(width, (int32)1), std::max(height, (int32)1));
}

void
SDLWindow::SetDecorated(bool decorated)
{
	if (fWindow == nullptr || decorated == fDecorated)
		return;
	fDecorated = decorated;
	// The content stays where it is; the window manager grows or drops the frame around it.
	BRect frame = Frame();
	SDL_SetWindowBordered(fWindow, decorated ? SDL_TRUE : SDL_FALSE);
	if (fMappedOnce) {
		_WaitForFrame(decorated);
		SDL_SetWindowPosition(fWindow, (int)frame.left, (int)frame.top);
	}
}

void
SDLWindow::SetAlwaysOnTop(bool onTop)
{
	if (fWindow != nullptr)
		SDL_SetWindowAlwaysOnTop(fWindow, onTop ? SDL_TRUE : SDL_FALSE);
}

void
SDLWindow::SetModal(bool modal)
{
	if (fWindow == nullptr || !modal || fParent == 0)
		return;
	if (SDL_Window* parent = SDL_GetWindowFromID(fParent))
		SDL_SetWindowModalFor(fWindow, parent);
}

void
SDLWindow::Show()
{
	if (fWindow == nullptr)
		return;
	SDL_ShowWindow(fWindow);
	if (!fMappedOnce) {
		fMappedOnce = true;
		// A window manager places a new window's frame, not its content, at the position it
		// was created with; once the frame is known the content goes where it was asked to.
		if (fDecorated) {
			_WaitForFrame(true);
			SDL_SetWindowPosition(fWindow, (int)fWanted.x, (int)fWanted.y);
		}
	}
}

void
SDLWindow::Hide()
{
	if (fWindow != nullptr)
		SDL_HideWindow(fWindow);
}

void
SDLWindow::Activate()
{
	if (fWindow == nullptr)
		return;
	SDL_RaiseWindow(fWindow);
	SDL_SetWindowInputFocus(fWindow);
}

void
SDLWindow::Present(const uint8* pixels, int32 width, int32 height, int32 stride)
{
	if (fWindow == nullptr || pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4)
		return;
	// The surface is made anew after a size change; SDL hands out the current one.
	SDL_Surface* surface = SDL_GetWindowSurface(fWindow);
	if (surface == nullptr)
		return;

	int32 w = std::min(width, (int32)surface->w);
	int32 h = std::min(height, (int32)surface->h);
	if (w < surface->w || h < surface->h) {
		SDL_FillRect(surface, nullptr,
		             SDL_MapRGB(surface->format, kUncoveredGrey, kUncoveredGrey, kUncoveredGrey));
	}
	if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
		return;
	SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, pixels, stride, surface->format->format,
	                  surface->pixels, surface->pitch);
	if (SDL_MUSTLOCK(surface))
		SDL_UnlockSurface(surface);
	SDL_UpdateWindowSurface(fWindow);
}

BRect
SDLWindow::Frame() const
{
	if (fWindow == nullptr)
		return BRect();
	int x = 0, y = 0, width = 0, height = 0;
	SDL_GetWindowPosition(fWindow, &x, &y);
	SDL_GetWindowSize(fWindow, &width, &height);
	return BRect(x, y, x + width - 1, y + height - 1);
}

void
SDLWindow::SetIcon(const uint8* argb, int32 width, int32 height)
{
	if (fWindow == nullptr || argb == nullptr || width <= 0 || height <= 0 || width > 1024 ||
	    height > 1024)
		return;
	// SDL copies the pixels into the window's icon property; it never writes to them.
	SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8*>(argb), width, height,
	                                                       32, width * 4, SDL_PIXELFORMAT_ARGB8888);
	if (icon == nullptr)
		return;
	SDL_SetWindowIcon(fWindow, icon);
	SDL_FreeSurface(icon);
}

// Waits a little for the window manager to report the frame it put around the window (or
// took away), so that a position set afterwards is taken for the content area.
void
SDLWindow::_WaitForFrame(bool framed)
{
	const Uint64 deadline = SDL_GetTicks64() + 250;
	int top = 0, left = 0, bottom = 0, right = 0;
	while (SDL_GetTicks64() < deadline) {
		SDL_PumpEvents();
		if (SDL_GetWindowBordersSize(fWindow, &top, &left, &bottom, &right) != 0)
			return; // no window manager that tells
		if (((top | left | bottom | right) != 0) == framed)
			return;
		SDL_Delay(5);
	}
}

// #pragma mark -

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

	auto result = std::make_unique<SDLWindow>(this, window, spec);
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
	while (fPending.empty()) {
		SDL_Event sdlEvent;
		if (SDL_PollEvent(&sdlEvent)) {
			if (sdlEvent.type == fWakeType) {
				char drain[16];
				while (fWakePipe[0] >= 0 && read(fWakePipe[0], drain, sizeof(drain)) > 0) {
				}
				fWakePending = false;
				return false;
			}
			_Translate(sdlEvent);
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
	*event = fPending.front();
	fPending.pop_front();
	return true;
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
	return ButtonsFromState(SDL_GetGlobalMouseState(nullptr, nullptr));
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

// #pragma mark - events

BackendEvent
SDLBackend::_MouseEvent(BackendEvent::Type type, uint32 windowId, int32 x, int32 y)
{
	BackendEvent event;
	event.type = type;
	event.window = windowId;
	event.where = BPoint(x, y);
	event.screenWhere = event.where;
	// While a button is held, the pointer may be over another window or none: the screen
	// point is what stays meaningful.
	if (SDL_Window* window = SDL_GetWindowFromID(windowId)) {
		int left = 0, top = 0;
		SDL_GetWindowPosition(window, &left, &top);
		event.screenWhere = BPoint(left + x, top + y);
	}
	event.modifiers = SDLModifiers(SDL_GetModState());
	return event;
}

void
SDLBackend::_Translate(const SDL_Event& sdlEvent)
{
	const bool suppressText = fSuppressText;
	const bool textFollowsKey = fTextFollowsKey;
	fSuppressText = false;
	fTextFollowsKey = false;

	switch (sdlEvent.type) {
	case SDL_KEYDOWN:
		_TranslateKeyDown(sdlEvent.key);
		break;
	case SDL_KEYUP:
		_TranslateKeyUp(sdlEvent.key);
		break;
	case SDL_TEXTINPUT:
		if (suppressText)
			break;
		if (!textFollowsKey) {
			// Typed through an input method or a synthetic key: no key of its own.
			fKeyModifiers = SDLModifiers(SDL_GetModState());
			fKeyRawChar = 0;
			fKeyRepeat = false;
			fKeyScancode = -1;
		}
		_TranslateText(sdlEvent.text);
		break;

	case SDL_MOUSEBUTTONDOWN:
	case SDL_MOUSEBUTTONUP: {
		const SDL_MouseButtonEvent& button = sdlEvent.button;
		uint32 mask = ButtonMask(button.button);
		if (mask == 0 || SDL_GetWindowFromID(button.windowID) == nullptr)
			break;
		bool down = sdlEvent.type == SDL_MOUSEBUTTONDOWN;
		if (down)
			fButtons |= mask;
		else
			fButtons &= ~mask;
		BackendEvent event = _MouseEvent(down ? BackendEvent::kMouseDown : BackendEvent::kMouseUp,
		                                 button.windowID, button.x, button.y);
		event.buttons = fButtons;
		event.clicks = std::max((int32)button.clicks, (int32)1);
		fPending.push_back(event);
		break;
	}

	case SDL_MOUSEMOTION: {
		const SDL_MouseMotionEvent& motion = sdlEvent.motion;
		if (SDL_GetWindowFromID(motion.windowID) == nullptr)
			break;
		fButtons = ButtonsFromState(motion.state);
		BackendEvent event =
		    _MouseEvent(BackendEvent::kMouseMoved, motion.windowID, motion.x, motion.y);
		event.buttons = fButtons;
		fPending.push_back(event);
		break;
	}

	case SDL_WINDOWEVENT:
		_TranslateWindowEvent(sdlEvent.window);
		break;

	case SDL_QUIT: {
		// Closing the last window does not send this (see the hint at start-up), so it
		// comes from SIGINT or SIGTERM: ask the application to quit.
		BackendEvent event;
		event.type = BackendEvent::kQuit;
		fPending.push_back(event);
		break;
	}
	}
}

void
SDLBackend::_TranslateKeyDown(const SDL_KeyboardEvent& key)
{
	const SDL_Keysym& keysym = key.keysym;
	const uint32 modifiers = SDLModifiers(keysym.mod);
	const bool shortcut = (keysym.mod & (KMOD_CTRL | KMOD_LALT)) != 0;

	fKeyModifiers = modifiers;
	fKeyRepeat = key.repeat != 0;
	fKeyScancode = keysym.scancode;
	// Keycodes below the scancode mask are the key's unshifted character.
	fKeyRawChar = (keysym.sym & SDLK_SCANCODE_MASK) == 0 ? keysym.sym : 0;

	BackendEvent event;
	event.type = BackendEvent::kKeyDown;
	event.window = key.windowID;
	event.modifiers = modifiers;
	event.repeat = fKeyRepeat;

	char buffer[8];
	if (uint8 byte = SDLKeyByte(keysym.sym, (keysym.mod & KMOD_NUM) != 0)) {
		buffer[0] = (char)byte;
		SetBytes(&event, buffer, 1);
		event.rawChar = byte;
	} else if (shortcut && fKeyRawChar != 0) {
		uint32 c = (uint32)fKeyRawChar;
		if ((modifiers & B_SHIFT_KEY) != 0 && c >= 'a' && c <= 'z')
			c -= 'a' - 'A';
		int32 length = EncodeUTF8(c, buffer);
		if (length == 0)
			return;
		SetBytes(&event, buffer, length);
		event.rawChar = fKeyRawChar;
		fSuppressText = true;
	} else {
		// Everything else that types arrives as text.
		fTextFollowsKey = true;
		return;
	}

	_RememberDown(keysym.scancode, event);
	fPending.push_back(event);
}

void
SDLBackend::_TranslateKeyUp(const SDL_KeyboardEvent& key)
{
	const int32 scancode = key.keysym.scancode;
	if (scancode < 0 || scancode >= SDL_NUM_SCANCODES || fDownKeys[scancode].bytes[0] == '\0')
		return;
	DownKey& down = fDownKeys[scancode];
	BackendEvent event;
	event.type = BackendEvent::kKeyUp;
	event.window = key.windowID;
	event.modifiers = SDLModifiers(key.keysym.mod);
	event.rawChar = down.rawChar;
	SetBytes(&event, down.bytes, (int32)strnlen(down.bytes, sizeof(down.bytes)));
	down.bytes[0] = '\0';
	fPending.push_back(event);
}

void
SDLBackend::_TranslateText(const SDL_TextInputEvent& text)
{
	const char* bytes = text.text;
	const int32 total = (int32)strnlen(bytes, sizeof(text.text));
	int32 offset = 0;
	while (offset < total) {
		int32 length = UTF8CharLength(bytes + offset, total - offset);
		if (length == 0) {
			offset++; // not UTF-8: dropped rather than handed on
			continue;
		}
		BackendEvent event;
		event.type = BackendEvent::kKeyDown;
		event.window = text.windowID;
		event.modifiers = fKeyModifiers;
		event.repeat = fKeyRepeat;
		event.rawChar = fKeyRawChar;
		SetBytes(&event, bytes + offset, length);
		fPending.push_back(event);

		_RememberDown(fKeyScancode, event);
		offset += length;
	}
	// More text before the next key-down belongs to no key.
	fKeyScancode = -1;
}

void
SDLBackend::_RememberDown(int32 scancode, const BackendEvent& event)
{
	if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
		return;
	static_assert(sizeof(DownKey::bytes) == sizeof(event.bytes));
	memcpy(fDownKeys[scancode].bytes, event.bytes, sizeof(event.bytes));
	fDownKeys[scancode].rawChar = event.rawChar;
}

void
SDLBackend::_TranslateWindowEvent(const SDL_WindowEvent& windowEvent)
{
	SDL_Window* window = SDL_GetWindowFromID(windowEvent.windowID);
	if (window == nullptr)
		return;

	BackendEvent event;
	event.window = windowEvent.windowID;
	switch (windowEvent.event) {
	case SDL_WINDOWEVENT_FOCUS_GAINED:
		event.type = BackendEvent::kActivated;
		break;
	case SDL_WINDOWEVENT_FOCUS_LOST:
		event.type = BackendEvent::kDeactivated;
		break;
	case SDL_WINDOWEVENT_CLOSE:
		event.type = BackendEvent::kCloseRequested;
		break;
	case SDL_WINDOWEVENT_EXPOSED:
		// The surface still holds the last frame: put it back at once.
		SDL_UpdateWindowSurface(window);
		event.type = BackendEvent::kExposed;
		break;
	case SDL_WINDOWEVENT_SIZE_CHANGED:
		// A new surface, empty until the window presents again.
		event.type = BackendEvent::kExposed;
		break;
	case SDL_WINDOWEVENT_MOVED: {
		// Where SDL believes the window is now, not where the event says: a move we
		// asked for right after mapping is not reported again, and would leave the
		// window manager's first placement standing.
		int x = windowEvent.data1, y = windowEvent.data2;
		SDL_GetWindowPosition(window, &x, &y);
		event.type = BackendEvent::kWindowMoved;
		event.where = BPoint(x, y);
		event.screenWhere = event.where;
		break;
	}
	default:
		return;
	}
	fPending.push_back(event);
}

// #pragma mark -

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

	if (SDL_Init(SDL_INIT_VIDEO) != 0) {
		fprintf(stderr, "kit: cannot open the display: %s\n", SDL_GetError());
		return nullptr;
	}
	return std::make_unique<SDLBackend>(ownsWindowClass);
}

} // namespace BPrivate
