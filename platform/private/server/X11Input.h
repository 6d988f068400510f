// How X11's key symbols, modifier state and mouse buttons read in the kit's terms: the
// platform's key bytes and modifier mask, UTF-8 characters one at a time, and the Latin-1
// text of the older selection target. Pure functions, no connection to a display.
#pragma once

#include <string>

#include "SupportDefs.h"

namespace BPrivate {

// The key byte of a key symbol that types no text (BackSpace, arrows, the keypad's cursor
// keys without Num Lock, ...), or 0.
uint8 X11KeyByte(uint32 keysym);

// The character a key symbol stands for (Latin-1 and Unicode key symbols), or 0.
uint32 X11KeysymCharacter(uint32 keysym);

// The kit's modifier mask for an X event's state. Ctrl and Alt (Mod1) are the command key.
uint32 X11Modifiers(uint32 state);

// The kit's button for an X button number (0 for the wheel and the others it has no name for),
// and the kit's mask for the buttons held in an X event's state.
uint32 X11Button(uint32 button);
uint32 X11Buttons(uint32 state);

// Encodes a code point as UTF-8 into buffer (at least 5 bytes, zero-terminated) and returns
// the length, or 0 for code points that are no text.
int32 EncodeUTF8(uint32 codePoint, char* buffer);

// The length of the valid UTF-8 character at text (at most available bytes), or 0 when
// the bytes there are not a valid character.
int32 UTF8CharLength(const char* text, int32 available);

// Latin-1 (the STRING target) to UTF-8, and back; characters Latin-1 lacks become '?'.
std::string UTF8FromLatin1(const std::string& latin1);
std::string Latin1FromUTF8(const std::string& utf8);

} // namespace BPrivate
