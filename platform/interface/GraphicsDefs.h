// Colours, colour spaces, drawing modes and patterns.
#pragma once

#include "SupportDefs.h"

struct rgb_color {
	uint8 red;
	uint8 green;
	uint8 blue;
	uint8 alpha;

	bool operator==(const rgb_color& o) const
	{
		return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
	}
	bool operator!=(const rgb_color& o) const { return !(*this == o); }
};

inline rgb_color
make_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
{
	return rgb_color{red, green, blue, alpha};
}

enum color_space : uint32 {
	B_NO_COLOR_SPACE = 0x0000,
	B_RGB32 = 0x0008,  // B, G, R, unused: one uint32 0xXXRRGGBB per pixel in host order
	B_RGBA32 = 0x2008, // B, G, R, A: one uint32 0xAARRGGBB per pixel (not premultiplied)
	B_CMAP8 = 0x0004,  // one byte per pixel, an index into the system palette
};

// Index 255 of a CMAP8 bitmap is transparent when drawn with B_OP_OVER.
constexpr uint8 B_TRANSPARENT_MAGIC_CMAP8 = 0xff;
constexpr uint8 B_TRANSPARENT_8_BIT = 0xff;
constexpr rgb_color B_TRANSPARENT_COLOR = {0x77, 0x74, 0x77, 0x00};

enum drawing_mode {
	B_OP_COPY,
	B_OP_OVER,
	B_OP_ERASE,
	B_OP_INVERT,
	B_OP_ADD,
	B_OP_SUBTRACT,
	B_OP_BLEND,
	B_OP_MIN,
	B_OP_MAX,
	B_OP_SELECT,
	B_OP_ALPHA,
};

struct pattern {
	uint8 data[8];
};
extern const pattern B_SOLID_HIGH;
extern const pattern B_SOLID_LOW;
