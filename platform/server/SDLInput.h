// How SDL's key, modifier and mouse button codes read in the kit's terms: the platform's key
// bytes and modifier mask, and UTF-8 characters one at a time. Pure functions, no SDL state.
#pragma once

#include "SupportDefs.h"

namespace BPrivate {

// The key byte of an SDL key that types no text (Backspace, arrows, ...), or 0. Keypad keys
// without Num Lock move the caret as their labels say.
uint8 SDLKeyByte(int32 sdlKeycode, bool numLock);

// The kit's modifier mask for SDL's key modifier state.
uint32 SDLModifiers(uint32 sdlKeymod);

// The kit's button for an SDL button number (0 for buttons it has no name for), and the
// kit's mask for SDL's button state mask.
uint32 SDLButton(uint8 sdlButton);
uint32 SDLButtons(uint32 sdlButtonState);

// Encodes a code point as UTF-8 into buffer (at least 5 bytes, zero-terminated) and returns
// the length, or 0 for code points that are no text.
int32 EncodeUTF8(uint32 codePoint, char* buffer);

// The length of the valid UTF-8 character at text (at most available bytes), or 0 when
// the bytes there are not a valid character.
int32 UTF8CharLength(const char* text, int32 available);

} // namespace BPrivate
