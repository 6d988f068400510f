// SDLEventTranslator: what SDL's events mean to the kit. One SDL event may mean nothing, one
// or several kit events (text arrives one character per event); they wait here until taken.
// It remembers what it needs across events: the key whose text follows, what each key sent
// when it went down, the buttons held. It neither waits for events nor owns windows.
#pragma once

#include <array>
#include <deque>

#include "Backend.h"

union SDL_Event;
struct SDL_KeyboardEvent;
struct SDL_TextInputEvent;
struct SDL_WindowEvent;

namespace BPrivate {

class SDLEventTranslator
{
public:
	static constexpr int32 kScancodes = 512;

	// Adds what the SDL event means to the events waiting.
	void Translate(const SDL_Event& event);
	// Takes the oldest waiting event; false when none waits.
	bool Next(BackendEvent* event);
	bool HasPending() const { return !fPending.empty(); }

private:
	void _TranslateKeyDown(const SDL_KeyboardEvent& key);
	void _TranslateKeyUp(const SDL_KeyboardEvent& key);
	void _TranslateText(const SDL_TextInputEvent& text);
	void _TranslateWindowEvent(const SDL_WindowEvent& window);
	BackendEvent _MouseEvent(BackendEvent::Type type, uint32 windowId, int32 x, int32 y);
	void _RememberDown(int32 scancode, const BackendEvent& event);

	std::deque<BackendEvent> fPending;
	uint32 fButtons = 0;

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
	std::array<DownKey, kScancodes> fDownKeys{};
};

} // namespace BPrivate
