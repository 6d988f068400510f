// The colour of one pixel of a BBitmap, read from its bits as the drawing reads them: CMAP8
// through the system palette, RGB32 opaque, RGBA32 with its alpha. Transparent black outside.
#pragma once

#include <cmath>
#include <cstring>

#include "Bitmap.h"
#include "SystemPalette.h"

inline rgb_color
BitmapPixel(const BBitmap& bitmap, int32 x, int32 y)
{
	BRect bounds = bitmap.Bounds();
	int64 column = (int64)x - (int64)std::lround(bounds.left);
	int64 row = (int64)y - (int64)std::lround(bounds.top);
	color_space space = bitmap.ColorSpace();
	int64 size = space == B_CMAP8 ? 1 : 4;
	int64 offset = row * bitmap.BytesPerRow() + column * size;
	if (bitmap.Bits() == nullptr || column < 0 || row < 0 || column > bounds.IntegerWidth()
		|| row > bounds.IntegerHeight() || offset + size > bitmap.BitsLength())
		return rgb_color{0, 0, 0, 0};
	const uint8* bytes = static_cast<const uint8*>(bitmap.Bits()) + offset;
	if (space == B_CMAP8)
		return system_palette()[bytes[0]];
	uint32 value;
	memcpy(&value, bytes, sizeof(value));
	uint8 alpha = space == B_RGBA32 ? uint8(value >> 24) : 255;
	return rgb_color{uint8(value >> 16), uint8(value >> 8), uint8(value), alpha};
}
