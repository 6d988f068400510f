#include "Font.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FontCache.h"

namespace {

const char* const kSansFamily = "DejaVu Sans";
const char* const kMonoFamily = "DejaVu Sans Mono";

const BFont sPlainFont(kSansFamily, B_REGULAR_FACE, kPlainFontSize);
const BFont sBoldFont(kSansFamily, B_BOLD_FACE, kBoldFontSize);
const BFont sFixedFont(kMonoFamily, B_REGULAR_FACE, kFixedFontSize);

} // namespace

const BFont* be_plain_font = &sPlainFont;
const BFont* be_bold_font = &sBoldFont;
const BFont* be_fixed_font = &sFixedFont;

BFont::BFont() : fFamily(kSansFamily), fFace(B_REGULAR_FACE), fSize(kPlainFontSize)
{
}

BFont::BFont(const BFont* font) : BFont()
{
	if (font != nullptr)
		*this = *font;
}

BFont::BFont(const char* family, uint16 face, float size) :
	fFamily(family != nullptr ? family : kSansFamily),
	fFace(face != 0 ? face : uint16(B_REGULAR_FACE)),
	fSize(size)
{
}

float
BFont::StringWidth(const char* string) const
{
	if (string == nullptr)
		return 0;
	return StringWidth(string, (int32)std::min(strlen(string), (size_t)INT32_MAX));
}

float
BFont::StringWidth(const char* string, int32 length) const
{
	std::string text = BPrivate::SanitizedUTF8(string, length);
	if (text.empty())
		return 0;
	cairo_scaled_font_t* font = BPrivate::AcquireScaledFont(*this);
	if (font == nullptr)
		return 0;
	cairo_text_extents_t extents;
	cairo_scaled_font_text_extents(font, text.c_str(), &extents);
	cairo_scaled_font_destroy(font);
	return (float)extents.x_advance;
}

void
BFont::GetHeight(font_height* height) const
{
	if (height == nullptr)
		return;
	*height = font_height{0, 0, 0};
	cairo_scaled_font_t* font = BPrivate::AcquireScaledFont(*this);
	if (font == nullptr)
		return;
	cairo_font_extents_t extents;
	cairo_scaled_font_extents(font, &extents);
	cairo_scaled_font_destroy(font);
	height->ascent = (float)extents.ascent;
	height->descent = (float)extents.descent;
	height->leading = (float)std::max(0.0, extents.height - extents.ascent - extents.descent);
}

void
BFont::CopyFrom(const BFont& other, uint32 mask)
{
	if ((mask & B_FONT_FAMILY_AND_STYLE) != 0) {
		fFamily = other.fFamily;
		fFace = other.fFace;
	}
	if ((mask & B_FONT_FACE) != 0)
		fFace = other.fFace;
	if ((mask & B_FONT_SIZE) != 0)
		fSize = other.fSize;
}

bool
BFont::operator==(const BFont& other) const
{
	return fFamily == other.fFamily && fFace == other.fFace && fSize == other.fSize;
}
