// Kit internal: the cairo scaled fonts behind BFont values, shared by measuring and drawing
// so that a string's width is exactly the advance it is drawn with. Not for applications.
#pragma once

#include <string>

#include "SupportDefs.h"

class BFont;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace BPrivate {

// A new reference to the scaled font for the font's family, face and size (release it with
// cairo_scaled_font_destroy), or null when the font cannot be used (size zero or not a number).
cairo_scaled_font_t* AcquireScaledFont(const BFont& font);

// Fonts are then made from what fontconfig resolved them to on an earlier start, kept in the
// file at path (ResolvedFonts), as long as it is up to date; empty: nothing kept (the default).
// Fonts made before are made again when next asked for.
void KeepResolvedFonts(const std::string& path);
// Keeps what fontconfig resolved since the start or the last call; B_OK when that was written
// or there was nothing to write (a failed write is not repeated). Loads fontconfig's
// configuration if nothing has yet, so call it once the window is up.
status_t SaveResolvedFonts();

// Up to length bytes of text, stopping at a NUL, as valid UTF-8: every byte that does not
// start a well-formed character becomes U+FFFD. Cairo refuses malformed text outright and
// would mark a shared scaled font as failed.
std::string SanitizedUTF8(const char* text, int32 length);

} // namespace BPrivate
