// The X11 backend's class, shared by its source files: X11Backend.cpp (the connection,
// windows, clipboard), X11Wait.cpp (the blocking wait; its wake-up pipe is WaitSupport.h's),
// X11BackendEvents.cpp (what X events mean, grabs, frames), X11Launch.cpp (web addresses to
// xdg-open) and X11Primary.cpp (the primary selection).
#pragma once

#include <X11/Xlib.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Backend.h"
#include "WaitSupport.h"
#include "X11Clipboard.h"
#include "X11Connection.h"
#include "X11Keyboard.h"

namespace BPrivate {

class X11Window;

class X11Backend : public Backend {
public:
	X11Backend(Display* display, Visual* visual, int depth);
	~X11Backend() override;

	bool IsHeadless() const override { return false; }
	std::unique_ptr<BackendWindow> CreateWindow(const WindowSpec& spec) override;
	bool WaitEvent(BackendEvent* event, int32 timeoutMs,
		std::vector<pollfd>* descriptors = nullptr) override;
	bool FrameShown() const override;
	void AfterFirstFrame() override;
	void Wake() override;
	BRect ScreenFrame() const override;
	DisplayScale Scale() const override { return fConnection.scale; }
	FrameExtents TypicalExtents(bool decorated) const override;
	bool SupportsAlwaysOnTop() const override;
	uint32 MouseButtons() const override;
	BPoint MouseLocation() const override;
	std::string ClipboardText() override;
	bool RequestClipboardText(std::string* text, const ClipboardAnswer& later) override;
	void SetClipboardText(const std::string& text) override;
	void SetPrimaryText(const std::string& text) override;
	void RequestPrimaryText(uint32 window, int32 handler) override;
	status_t OpenURL(const char* url) override;

	// The connection to the server broke (from Xlib's I/O error exit handler).
	void ConnectionLost();

private:
	struct Entry {
		X11Window* window;
		XIC context;
	};

	// X11BackendEvents.cpp
	void _Handle(XEvent& event);
	void _HandleButton(const XButtonEvent& button, Entry& entry);
	void _HandleMotion(XMotionEvent& motion, Entry& entry);
	void _HandleClientMessage(const XClientMessageEvent& message, Entry& entry);
	void _HandleExtents(Window window);
	void _UpdateGrab();
	void _StartupComplete();
	Entry* _Find(Window window);

	// X11Wait.cpp
	bool _ReadEvents();
	bool _Sleep(int32 timeoutMs, std::vector<pollfd>* descriptors);

	// X11Backend.cpp
	void _WindowGone(X11Window* window);
	void _ReapChildren();
	void _OpenInputMethod();
	void _RequestTypicalExtents(bool decorated) const;
	void _RequestWantedExtents();

	X11Connection fConnection;
	std::unique_ptr<X11Keyboard> fKeyboard;
	std::unique_ptr<X11Clipboard> fClipboard;
	std::unique_ptr<X11Clipboard> fPrimary;
	std::deque<BackendEvent> fPending;
	std::map<Window, Entry> fWindows;
	uint32 fNextId = 1;
	WakeUpPipe fWakeUps;
	bool fLostReported = false;
	uint32 fButtons = 0;
	Window fGrabbed = 0;
	std::vector<pid_t> fChildren;
	std::string fStartupId;
	bool fInputMethodOpen = false;
	Window fFocus = 0;

	struct Click {
		uint32 button = 0;
		Time time = 0;
		int x = 0, y = 0;
		int32 count = 0;
	} fLastClick;

	// The frames the window manager gives, learned from the first window that got one or
	// asked for with unmapped probe windows; -1 in left while unknown.
	mutable FrameExtents fTitled{-1, 0, 0, 0};
	mutable FrameExtents fBordered{-1, 0, 0, 0};
	mutable std::map<Window, bool> fProbes; // probe window -> titled
	// Kinds of frame asked about before the first frame, asked for once it is up.
	mutable bool fWantTitled = false;
	mutable bool fWantBordered = false;
};

} // namespace BPrivate
