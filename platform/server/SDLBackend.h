// The SDL2 backend: real windows on the user's display with software surfaces that the
// backing stores are copied into. Key, mouse and window events are translated into the kit's
// events; see the checklist at the top of SDLBackend.cpp for what it does and does not do.
#pragma once

#include <memory>

#include "Backend.h"

namespace BPrivate {

// Starts SDL's video subsystem and returns the backend, or null (with the reason on stderr)
// when no display can be opened.
std::unique_ptr<Backend> CreateSDLBackend();

// The key byte of an SDL key that types no text (Backspace, arrows, ...), or 0. Keypad keys
// without Num Lock move the caret as their labels say. Exposed for tests.
uint8 SDLKeyByte(int32 sdlKeycode, bool numLock);

// The kit's modifier mask for SDL's key modifier state. Exposed for tests.
uint32 SDLModifiers(uint32 sdlKeymod);

// Encodes a code point as UTF-8 into buffer (at least 5 bytes, zero-terminated) and returns
// the length, or 0 for code points that are no text. Exposed for tests.
int32 EncodeUTF8(uint32 codePoint, char* buffer);

// The length of the valid UTF-8 character at text (at most available bytes), or 0 when
// the bytes there are not a valid character. Exposed for tests.
int32 UTF8CharLength(const char* text, int32 available);

} // namespace BPrivate
