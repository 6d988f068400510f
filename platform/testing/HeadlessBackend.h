// The headless backend: in-memory windows on a configurable screen, for tests.
// Checklist: windows with frames, titles, decorations, always-on-top, modal and pop-up flags;
// presented pixels kept per window; activation follows Show and injected clicks; injected
// keys, text, mouse and activation events; clipboard and primary selection in memory (a
// request for the primary text is answered as the next event); URL launches recorded, never
// opened; a display scale (SetScale; ChangeScale while running) under which presented frames
// are that many times larger and injected pointer positions are window pixels; other
// descriptors polled when no event is queued. Not implemented: a window manager's placement,
// stacking beyond the active window.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Backend.h"
#include "GraphicsDefs.h"

class BWindow;

namespace BPrivate {

class HeadlessWindow;

class HeadlessBackend : public Backend {
public:
	explicit HeadlessBackend(BRect screen = BRect(0, 0, 1023, 767));
	~HeadlessBackend() override;

	// Installs a new headless backend as the kit's backend and returns it (owned by the kit).
	static HeadlessBackend* Install(BRect screen = BRect(0, 0, 1023, 767));
	static HeadlessBackend* Current();

	// Backend.
	bool IsHeadless() const override { return true; }
	std::unique_ptr<BackendWindow> CreateWindow(const WindowSpec& spec) override;
	bool WaitEvent(BackendEvent* event, int32 timeoutMs,
		std::vector<pollfd>* descriptors = nullptr) override;
	void Wake() override {}
	BRect ScreenFrame() const override { return fScreen; }
	DisplayScale Scale() const override { return fScale; }
	uint32 MouseButtons() const override { return fButtons; }
	BPoint MouseLocation() const override { return fMouse; }
	std::string ClipboardText() override { return fClipboard; }
	void SetClipboardText(const std::string& text) override { fClipboard = text; }
	// The primary selection stays in memory; a request is answered with the next event.
	void SetPrimaryText(const std::string& text) override { fPrimary = text; }
	void RequestPrimaryText(uint32 window, int32 handler) override;
	const std::string& PrimaryText() const { return fPrimary; }
	status_t OpenURL(const char* url) override;

	void SetScreen(BRect screen) { fScreen = screen; }
	// Makes CreateWindow fail, as a window system that refuses a window would.
	void SetRefuseWindows(bool refuse) { fRefuseWindows = refuse; }
	// A window system that cannot keep a window above the others.
	void SetSupportsAlwaysOnTop(bool supports) { fSupportsAlwaysOnTop = supports; }
	bool SupportsAlwaysOnTop() const override { return fSupportsAlwaysOnTop; }
	// A window system that places windows itself, as a Wayland compositor does.
	void SetSupportsWindowPosition(bool supports) { fSupportsWindowPosition = supports; }
	bool SupportsWindowPosition() const override { return fSupportsWindowPosition; }
	// A window system that tells no window's place on the screen, as Wayland.
	void SetKnowsScreenCoordinates(bool knows) { fKnowsScreenCoordinates = knows; }
	bool KnowsScreenCoordinates() const override { return fKnowsScreenCoordinates; }
	// Surface pixels per layout unit, whole (1 to kMaxDisplayScale) or fractional; set it
	// before the first window.
	void SetScale(int32 scale);
	void SetScale(DisplayScale scale);
	// Another scale while windows are open, as a Wayland compositor gives one when a window
	// moves to another output: every window is exposed, to be drawn again at it.
	void ChangeScale(DisplayScale scale);
	// The frame a window manager would put around titled and other decorated windows.
	void SetFrameExtents(FrameExtents titled, FrameExtents bordered)
	{
		fTitledExtents = titled;
		fBorderedExtents = bordered;
	}
	FrameExtents TypicalExtents(bool decorated) const override
	{
		return decorated ? fTitledExtents : fBorderedExtents;
	}

	// Windows as the backend sees them.
	struct WindowInfo {
		uint32 id;
		BRect frame;
		std::string title;
		bool decorated;
		bool alwaysOnTop;
		bool popupMenu;
		bool modal;
		bool visible;
		bool bordered;
		bool resizable;
		bool skipTaskbar;
		WindowKind kind;
		uint32 parent;
	};
	std::vector<WindowInfo> Windows() const;
	int32 CountVisibleWindows() const;
	uint32 ActiveWindow() const { return fActive; }
	// The id of a kit window's backend window, 0 when it has none yet.
	static uint32 IdOf(const BWindow* window);

	// The last presented frame of a window.
	rgb_color PixelAt(uint32 window, int32 x, int32 y) const;
	rgb_color PixelAt(const BWindow* window, int32 x, int32 y) const
	{
		return PixelAt(IdOf(window), x, y);
	}
	// Width, height and ARGB pixels (host order, 0xAARRGGBB) of the last presented frame.
	bool Snapshot(uint32 window, int32* width, int32* height, std::vector<uint32>* pixels) const;
	int32 PresentCount(uint32 window) const;
	bool WritePNG(uint32 window, const char* path) const;

	// Input, in the content coordinates of the window: its pixels as presented, which are
	// layout units at scale 1. Clicks also move the pointer.
	void InjectKeyDown(uint32 window, const char* utf8, uint32 modifiers = 0, bool repeat = false,
		int32 rawChar = 0);
	void InjectKeyUp(uint32 window, const char* utf8, uint32 modifiers = 0);
	// Key down and up; for text, one key per UTF-8 character.
	void InjectKey(uint32 window, const char* utf8, uint32 modifiers = 0);
	void InjectText(uint32 window, const char* utf8);
	void InjectMouseDown(uint32 window, BPoint where, uint32 buttons = 1, int32 clicks = 1);
	void InjectMouseUp(uint32 window, BPoint where, uint32 buttonsLeft = 0);
	void InjectMouseMoved(uint32 window, BPoint where, uint32 buttons = 0);
	void InjectClick(uint32 window, BPoint where, uint32 buttons = 1, int32 clicks = 1);
	void InjectActivation(uint32 window, bool active);
	void InjectClose(uint32 window);
	// Makes a window the active one, deactivating the previous one, as a click on it would.
	void ActivateWindow(uint32 window);
	bool HasPendingEvents() const { return !fEvents.empty(); }

	// URL launches instead of a browser.
	const std::vector<std::string>& LaunchedURLs() const { return fLaunched; }
	void SetLaunchHook(std::function<void(const char* url)> hook) { fLaunchHook = std::move(hook); }

private:
	friend class HeadlessWindow;
	void _Push(const BackendEvent& event) { fEvents.push_back(event); }
	HeadlessWindow* _Find(uint32 id) const;
	BPoint _ToLayout(BPoint windowPixel) const;
	void _InjectMouse(BackendEvent::Type type, uint32 window, BPoint where, uint32 buttons,
		int32 clicks);
	void _Removed(HeadlessWindow* window);

	BRect fScreen;
	bool fRefuseWindows = false;
	bool fSupportsAlwaysOnTop = true;
	bool fSupportsWindowPosition = true;
	bool fKnowsScreenCoordinates = true;
	DisplayScale fScale;
	FrameExtents fTitledExtents;
	FrameExtents fBorderedExtents;
	std::deque<BackendEvent> fEvents;
	std::map<uint32, HeadlessWindow*> fWindows;
	uint32 fNextId = 1;
	uint32 fActive = 0;
	uint32 fButtons = 0;
	BPoint fMouse;
	std::string fClipboard;
	std::string fPrimary;
	std::vector<std::string> fLaunched;
	std::function<void(const char*)> fLaunchHook;
};

} // namespace BPrivate
