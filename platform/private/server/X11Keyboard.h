// X11Keyboard: key events in the kit's terms. Opens the input method (so dead keys and Compose
// sequences type their characters), gives each window an input context, and turns key presses
// and releases into the kit's key events: editing keys as the platform's bytes, Ctrl or Alt
// with a key as a shortcut, text one UTF-8 character per event. Keys already held when a
// window gains the focus are no presses. It neither reads events nor owns windows.
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <deque>

#include "Backend.h"

namespace BPrivate {

class X11Keyboard {
public:
	explicit X11Keyboard(Display* display);
	~X11Keyboard();

	// Opens the input method (once; it may take a while: libX11 reads the Compose table) and
	// asks for auto-repeat without releases. Until then keys type their own characters,
	// without dead keys or Compose.
	void OpenInputMethod();
	// An input context for a window (nullptr without an input method); freed with Forget.
	XIC CreateContext(Window window);
	void DestroyContext(XIC context);

	// The window gained or lost the focus.
	void GainedFocus(XIC context);
	void LostFocus(XIC context);
	// The keys held right after a focus change (KeymapNotify): none of them is a press.
	void KeymapState(const char keys[32]);

	// Adds what the key event means to events; window is the kit's id of its window.
	void Translate(XKeyEvent& event, XIC context, uint32 window, std::deque<BackendEvent>* events);

private:
	int32 _LookUp(XKeyEvent& event, XIC context, char* buffer, int32 size, KeySym* keysym);
	void _Remember(uint32 keycode, const BackendEvent& event);

	Display* fDisplay;
	XIM fInputMethod = nullptr;

	// What each key sent when it went down, so that its release carries the same, and the
	// keys that were down before the window had the focus.
	struct DownKey {
		char bytes[8];
		int32 rawChar;
		bool down;
		bool heldBefore;
	};
	std::array<DownKey, 256> fKeys{};
};

} // namespace BPrivate
