// BFont: a font value (family, face, size). The kit's fonts are DejaVu Sans for the plain
// and bold fonts and DejaVu Sans Mono for the fixed font; sizes are in pixels.
#pragma once

#include <string>

#include "SupportDefs.h"

enum {
	B_FONT_FAMILY_AND_STYLE = 0x00000001,
	B_FONT_SIZE = 0x00000002,
	B_FONT_SHEAR = 0x00000004,
	B_FONT_ROTATION = 0x00000008,
	B_FONT_SPACING = 0x00000010,
	B_FONT_ENCODING = 0x00000020,
	B_FONT_FACE = 0x00000040,
	B_FONT_FLAGS = 0x00000080,
	B_FONT_ALL = 0x000000ff,
};

enum {
	B_ITALIC_FACE = 0x0001,
	B_UNDERSCORE_FACE = 0x0002,
	B_NEGATIVE_FACE = 0x0004,
	B_OUTLINED_FACE = 0x0008,
	B_STRIKEOUT_FACE = 0x0010,
	B_BOLD_FACE = 0x0020,
	B_REGULAR_FACE = 0x0040,
};

struct font_height {
	float ascent;
	float descent;
	float leading;
};

// Default sizes, chosen so that the converter's fixed layout fits.
constexpr float kPlainFontSize = 11.0f;
constexpr float kBoldFontSize = 11.0f;
constexpr float kFixedFontSize = 11.0f;

class BFont {
public:
	BFont();
	BFont(const BFont* font);
	BFont(const char* family, uint16 face, float size);

	const char* Family() const { return fFamily.c_str(); }
	void SetSize(float size) { fSize = size; }
	float Size() const { return fSize; }
	void SetFace(uint16 face) { fFace = face; }
	uint16 Face() const { return fFace; }
	bool IsBold() const { return (fFace & B_BOLD_FACE) != 0; }

	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetHeight(font_height* height) const;

	// Copies the properties named in mask from another font.
	void CopyFrom(const BFont& other, uint32 mask);

	bool operator==(const BFont& other) const;
	bool operator!=(const BFont& other) const { return !(*this == other); }

private:
	std::string fFamily;
	uint16 fFace;
	float fSize;
};

extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;
