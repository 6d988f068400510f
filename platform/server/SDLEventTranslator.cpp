#include "SDLEventTranslator.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "InterfaceDefs.h"
#include "SDLInput.h"

namespace BPrivate {

static_assert(SDLEventTranslator::kScancodes == SDL_NUM_SCANCODES);

namespace {

void
SetBytes(BackendEvent* event, const char* bytes, int32 length)
{
	length = std::clamp(length, (int32)0, (int32)sizeof(event->bytes) - 1);
	memcpy(event->bytes, bytes, length);
	event->bytes[length] = '\0';
	event->numBytes = length;
}

} // namespace

bool
SDLEventTranslator::Next(BackendEvent* event)
{
	if (fPending.empty())
		return false;
	*event = fPending.front();
	fPending.pop_front();
	return true;
}

BackendEvent
SDLEventTranslator::_MouseEvent(BackendEvent::Type type, uint32 windowId, int32 x, int32 y)
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
SDLEventTranslator::Translate(const SDL_Event& sdlEvent)
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
		uint32 mask = SDLButton(button.button);
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
		fButtons = SDLButtons(motion.state);
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
SDLEventTranslator::_TranslateKeyDown(const SDL_KeyboardEvent& key)
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
SDLEventTranslator::_TranslateKeyUp(const SDL_KeyboardEvent& key)
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
SDLEventTranslator::_TranslateText(const SDL_TextInputEvent& text)
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
SDLEventTranslator::_RememberDown(int32 scancode, const BackendEvent& event)
{
	if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
		return;
	static_assert(sizeof(DownKey::bytes) == sizeof(event.bytes));
	memcpy(fDownKeys[scancode].bytes, event.bytes, sizeof(event.bytes));
	fDownKeys[scancode].rawChar = event.rawChar;
}

void
SDLEventTranslator::_TranslateWindowEvent(const SDL_WindowEvent& windowEvent)
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

} // namespace BPrivate
