#include "SDLInput.h"

#include <SDL.h>

#include "InterfaceDefs.h"

namespace BPrivate {

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

uint32
SDLButton(uint8 sdlButton)
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
SDLButtons(uint32 sdlState)
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

} // namespace BPrivate
