// Kit internal: the cairo scaled fonts behind BFont values, shared by measuring and drawing
// so that a string's width is exactly the advance it is drawn with. Not for applications.
#pragma once

#include <string>
#include <vector>

#include "ResolvedFonts.h"

#include "SupportDefs.h"

class BFont;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace BPrivate {

// A new reference to the scaled font for the font's family, face and size (release it with
// cairo_scaled_font_destroy), or null when the font cannot be used (size zero or not a number).
cairo_scaled_font_t* AcquireScaledFont(const BFont& font);

// Fonts are then made from what fontconfig resolved them to on an earlier start, kept in the
// user's record at path or the system's at systemPath (ResolvedFonts), as long as they are up
// to date; both empty: nothing kept (the default). Fonts made before are made again when next
// asked for.
void KeepResolvedFonts(const std::string& path,
	const std::string& systemPath = ResolvedFonts::SystemPath());
// Keeps what fontconfig resolved since the start or the last call; B_OK when that was written
// or there was nothing to write (a failed write is not repeated). Call it once the window is
// up: the stamps read every configuration file's state.
status_t SaveResolvedFonts();
// Whether the font's face came from a kept record in this run (for tests).
bool IsFontFromRecord(const BFont& font);
// The kit's plain, bold and fixed fonts at every whole scale up to maxScale: the first size of
// each face that a window of the kit asks for.
std::vector<BFont> KitFontsAtScales(int32 maxScale);
// Resolves the fonts (each as the first size of its face) without any user's fontconfig files
// and writes them as the system's record at path, readable by every user.
status_t WriteFontRecord(const std::string& path, const std::vector<BFont>& fonts);

// Up to length bytes of text, stopping at a NUL, as valid UTF-8: every byte that does not
// start a well-formed character becomes U+FFFD. Cairo refuses malformed text outright and
// would mark a shared scaled font as failed.
std::string SanitizedUTF8(const char* text, int32 length);

} // namespace BPrivate
