// WaylandKeyboard: the compositor's keys in the kit's terms, through xkbcommon. Holds the
// keymap the compositor sent, its modifier state and the Compose state, and turns key
// presses and releases into the kit's key events as the X11 backend does (the same key
// tables): editing keys as the platform's bytes, Ctrl or Alt with a key as a shortcut, text
// one UTF-8 character per event. Keys held when a window gained the focus are no presses.
// Also the repeat: which key repeats and when its next repeat is due. It owns no Wayland
// object, so that it can be driven without a compositor.
#pragma once

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "Backend.h"

namespace BPrivate {

class WaylandKeyboard {
public:
	WaylandKeyboard();
	~WaylandKeyboard();
	WaylandKeyboard(const WaylandKeyboard&) = delete;
	WaylandKeyboard& operator=(const WaylandKeyboard&) = delete;

	// The keymap in xkb's text format; false (the old keymap kept) when it does not compile.
	bool SetKeymap(const char* text);
	bool HasKeymap() const { return fState != nullptr; }
	// Compose sequences and dead keys from the locale's table; read once the first frame is
	// up, as reading it takes a while. Until then keys type their own characters.
	void OpenCompose(const char* locale);

	void SetModifiers(uint32 depressed, uint32 latched, uint32 locked, uint32 group);
	// A window gained the focus with these keys (evdev codes) down: none of them is a press.
	void Enter(const std::vector<uint32>& held);
	// The focus went elsewhere: no key repeats, releases go to the other window.
	void Leave();

	// A key (evdev code) went down or up; adds what it means to events. A press of a key
	// that repeats starts its repeat at nowUs.
	void Key(uint32 key, bool pressed, uint32 window, int64 nowUs,
		std::deque<BackendEvent>* events);

	// The compositor's repeat: rate per second (0: none) and delay in milliseconds.
	void SetRepeat(int32 rate, int32 delayMs);
	// When the held key repeats next (microseconds), -1 when none does.
	int64 NextRepeat() const { return fRepeatKey != 0 ? fRepeatAt : -1; }
	// Adds the repeats that are due by nowUs (at most a few: a loop that slept long does not
	// catch up with a burst).
	void Repeat(int64 nowUs, std::deque<BackendEvent>* events);

	// The kit's modifier mask for the current state.
	uint32 Modifiers() const;

private:
	void _Press(uint32 code, bool repeat, uint32 window, std::deque<BackendEvent>* events);
	void _Remember(uint32 code, const BackendEvent& event);
	uint32 _XState() const;
	int32 _Text(uint32 code, xkb_keysym_t keysym, std::string* text);

	xkb_context* fContext = nullptr;
	xkb_keymap* fKeymap = nullptr;
	xkb_state* fState = nullptr;
	xkb_compose_table* fComposeTable = nullptr;
	xkb_compose_state* fCompose = nullptr;

	int32 fRepeatRate = 25;
	int64 fRepeatDelayUs = 600000;
	uint32 fRepeatKey = 0; // xkb key code, 0 when none repeats
	uint32 fRepeatWindow = 0;
	int64 fRepeatAt = 0;

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
