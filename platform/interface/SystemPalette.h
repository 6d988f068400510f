// The kit's 256-colour system palette, which gives B_CMAP8 indices their colours.
// It does not convert whole bitmaps; BBitmap and the drawing code do that with these two calls.
//
// Layout (fixed; icons stored as indices depend on it):
//   0 - 31    grey ramp from black to white, value round(i * 255 / 31)
//   32 - 247  6 x 6 x 6 colour cube, levels 0, 51, 102, 153, 204, 255;
//             index 32 + 36 * r + 6 * g + b for level numbers r, g, b in 0..5
//   248 - 254 interface colours that neither ramp nor cube holds exactly:
//             248 panel (216, 216, 216)      249 band (184, 184, 184)
//             250 light frame (189, 186, 189) 251 dark frame (99, 97, 99)
//             252 shadow (152, 152, 152)     253 highlight (232, 232, 232)
//             254 link blue (0, 0, 220)
//   255       B_TRANSPARENT_MAGIC_CMAP8, B_TRANSPARENT_COLOR with alpha 0
#pragma once

#include "GraphicsDefs.h"

// The 256 palette entries, index 0 first. Every entry but 255 is opaque.
const rgb_color* system_palette();

// The index of the entry nearest to the colour (squared distance in RGB, lowest index on a
// tie). A colour with alpha 0 maps to B_TRANSPARENT_MAGIC_CMAP8; any other colour never does.
uint8 index_for_color(rgb_color color);
