#include "PainterRaster.h"

#include <cmath>
#include <cstdlib>

#include "SystemPalette.h"

namespace BPrivate {
namespace raster {

int64
RoundDiv(int64 numerator, int64 denominator)
{
	int64 n = 2 * numerator + denominator;
	int64 d = 2 * denominator;
	int64 q = n / d;
	return (n % d != 0 && n < 0) ? q - 1 : q;
}

uint32
Div255(uint32 value)
{
	return ((value + 128) * 257) >> 16;
}

uint32
Opaque(rgb_color color)
{
	return 0xff000000u | (uint32(color.red) << 16) | (uint32(color.green) << 8) | color.blue;
}

// Source-over of an unpremultiplied colour onto a premultiplied pixel.
uint32
Blend(uint32 pixel, rgb_color color)
{
	uint32 alpha = color.alpha;
	uint32 rest = 255 - alpha;
	uint32 a = alpha + Div255((pixel >> 24) * rest);
	uint32 r = Div255(color.red * alpha + ((pixel >> 16) & 0xff) * rest);
	uint32 g = Div255(color.green * alpha + ((pixel >> 8) & 0xff) * rest);
	uint32 b = Div255(color.blue * alpha + (pixel & 0xff) * rest);
	return (a << 24) | (r << 16) | (g << 8) | b;
}

// Works in doubled coordinates from the box's centre, where pixel centres are whole
// numbers: u (columns) has the parity of width - 1, v of height - 1.
int64
EllipseInset(int64 width, int64 height, int64 row)
{
	int64 v = 2 * row + 1 - height;
	if (v * v <= 1)
		return 0;
	__int128 w2 = (__int128)width * width;
	__int128 h2 = (__int128)height * height;
	__int128 limit = w2 * h2 - (__int128)v * v * w2;
	auto fits = [&](int64 u) { return (__int128)u * u * h2 <= limit; };

	int64 smallest = (width - 1) % 2;
	double ratio = (double)v / (double)height;
	double estimate = (double)width * std::sqrt(std::max(0.0, 1.0 - ratio * ratio));
	int64 u = std::clamp((int64)estimate, smallest, width - 1);
	if ((u - smallest) % 2 != 0)
		u--;
	while (u + 2 <= width - 1 && fits(u + 2))
		u += 2;
	while (u > smallest && !fits(u))
		u -= 2;
	return (width - 1 - u) / 2;
}

int64
RoundRectInset(int64 height, int64 cornerWidth, int64 cornerHeight, int64 row)
{
	int64 fromBottom = height - 1 - row;
	if (row < cornerHeight / 2)
		return EllipseInset(cornerWidth, cornerHeight, row);
	if (fromBottom < cornerHeight / 2)
		return EllipseInset(cornerWidth, cornerHeight, fromBottom);
	return 0;
}

void
StrokeThinLine(Canvas& canvas, int64 x0, int64 y0, int64 x1, int64 y1, int64 low, int64 high,
	rgb_color color)
{
	const IntRect& visible = canvas.Clip();
	// Along the longer axis every position has one pixel of the thin line; a pen square
	// stamped on each of them covers, at position c, the thin pixels from c - high to
	// c - low, which form one unbroken run across the other axis.
	if (std::llabs(x1 - x0) >= std::llabs(y1 - y0)) {
		if (x0 > x1) {
			std::swap(x0, x1);
			std::swap(y0, y1);
		}
		int64 dx = x1 - x0;
		int64 dy = y1 - y0;
		auto yAt = [&](int64 x) { return dx == 0 ? y0 : y0 + RoundDiv(dy * (x - x0), dx); };
		int64 first = std::max(x0 + low, visible.left);
		int64 last = std::min(x1 + high, visible.right);
		for (int64 c = first; c <= last; c++) {
			int64 ya = yAt(std::max(x0, c - high));
			int64 yb = yAt(std::min(x1, c - low));
			canvas.FillColumn(c, std::min(ya, yb) + low, std::max(ya, yb) + high, color);
		}
	} else {
		if (y0 > y1) {
			std::swap(x0, x1);
			std::swap(y0, y1);
		}
		int64 dx = x1 - x0;
		int64 dy = y1 - y0;
		auto xAt = [&](int64 y) { return x0 + RoundDiv(dx * (y - y0), dy); };
		int64 first = std::max(y0 + low, visible.top);
		int64 last = std::min(y1 + high, visible.bottom);
		for (int64 r = first; r <= last; r++) {
			int64 xa = xAt(std::max(y0, r - high));
			int64 xb = xAt(std::min(y1, r - low));
			canvas.FillSpan(r, std::min(xa, xb) + low, std::max(xa, xb) + high, color);
		}
	}
}

const std::array<uint32, 256>&
OpaquePalette()
{
	static const std::array<uint32, 256> sPalette = [] {
		std::array<uint32, 256> palette{};
		for (int i = 0; i < 256; i++)
			palette[i] = Opaque(system_palette()[i]);
		return palette;
	}();
	return sPalette;
}

// For each destination pixel of [first, last], the bitmap pixel it shows, or -1 for none.
std::vector<int64>
SourceIndices(int64 first, int64 last, int64 destinationStart, int64 destinationSize,
	int64 sourceStart, int64 sourceSize, int64 bitmapStart, int64 bitmapSize)
{
	std::vector<int64> indices;
	if (first > last)
		return indices;
	indices.reserve((size_t)(last - first + 1));
	for (int64 d = first; d <= last; d++) {
		int64 offset = ((2 * (d - destinationStart) + 1) * sourceSize) / (2 * destinationSize);
		int64 index = sourceStart + offset - bitmapStart;
		indices.push_back(index >= 0 && index < bitmapSize ? index : -1);
	}
	return indices;
}

} // namespace raster
} // namespace BPrivate
