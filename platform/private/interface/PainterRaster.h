// Kit internal: the pixel-exact rasteriser behind Painter. It works in whole surface pixels
// (device pixels) and knows nothing of views, origins or the display scale; Painter maps
// layout coordinates to these pixels before calling it.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <array>
#include <vector>

#include "GraphicsDefs.h"
#include "SupportDefs.h"

namespace BPrivate {
namespace raster {

struct IntRect {
	int64 left;
	int64 top;
	int64 right;
	int64 bottom;

	bool IsEmpty() const { return left > right || top > bottom; }
	IntRect operator&(const IntRect& o) const
	{
		return IntRect{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
			std::min(bottom, o.bottom)};
	}
};

// floor(numerator / denominator + 1/2) for a positive denominator.
int64 RoundDiv(int64 numerator, int64 denominator);
uint32 Div255(uint32 value);
uint32 Opaque(rgb_color color);
// Source-over of an unpremultiplied colour onto a premultiplied pixel.
uint32 Blend(uint32 pixel, rgb_color color);

// The surface's pixels within the clip, for the duration of one primitive.
class Canvas {
public:
	Canvas(cairo_surface_t* target, const IntRect& clip) : fTarget(target)
	{
		if (target == nullptr || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE)
			return;
		cairo_format_t format = cairo_image_surface_get_format(target);
		if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
			return;
		cairo_surface_flush(target);
		fData = cairo_image_surface_get_data(target);
		fStride = cairo_image_surface_get_stride(target);
		IntRect surface{0, 0, cairo_image_surface_get_width(target) - 1,
			cairo_image_surface_get_height(target) - 1};
		fClip = clip & surface;
		if (fData == nullptr)
			fClip = IntRect{0, 0, -1, -1};
	}

	~Canvas()
	{
		if (fTouched)
			cairo_surface_mark_dirty_rectangle(fTarget, (int)fClip.left, (int)fClip.top,
				(int)(fClip.right - fClip.left + 1), (int)(fClip.bottom - fClip.top + 1));
	}

	const IntRect& Clip() const { return fClip; }
	bool IsEmpty() const { return fClip.IsEmpty(); }

	uint32* Row(int64 y) const
	{
		fTouched = true;
		return reinterpret_cast<uint32*>(fData + y * fStride);
	}

	void FillSpan(int64 y, int64 left, int64 right, rgb_color color)
	{
		if (y < fClip.top || y > fClip.bottom)
			return;
		left = std::max(left, fClip.left);
		right = std::min(right, fClip.right);
		if (left > right || color.alpha == 0)
			return;
		uint32* row = Row(y);
		if (color.alpha == 255) {
			std::fill(row + left, row + right + 1, Opaque(color));
			return;
		}
		for (int64 x = left; x <= right; x++)
			row[x] = Blend(row[x], color);
	}

	void FillColumn(int64 x, int64 top, int64 bottom, rgb_color color)
	{
		if (x < fClip.left || x > fClip.right)
			return;
		top = std::max(top, fClip.top);
		bottom = std::min(bottom, fClip.bottom);
		for (int64 y = top; y <= bottom; y++)
			FillSpan(y, x, x, color);
	}

	void FillRect(const IntRect& rect, rgb_color color)
	{
		IntRect visible = rect & fClip;
		for (int64 y = visible.top; y <= visible.bottom; y++)
			FillSpan(y, visible.left, visible.right, color);
	}

private:
	cairo_surface_t* fTarget;
	uint8* fData = nullptr;
	int64 fStride = 0;
	IntRect fClip{0, 0, -1, -1};
	mutable bool fTouched = false;
};

// How far row `row` of the ellipse inscribed in a width x height box stays in from the
// box's left and right edges.
int64 EllipseInset(int64 width, int64 height, int64 row);
int64 RoundRectInset(int64 height, int64 cornerWidth, int64 cornerHeight, int64 row);

// Fills a shape given by how far each of its rows stays in from the box's sides; with a
// hole (a box inside and its own insets) only the part outside the hole.
template <typename Inset, typename HoleInset>
void
FillShape(Canvas& canvas, const IntRect& box, Inset inset, const IntRect* hole, HoleInset holeInset,
	rgb_color color)
{
	int64 first = std::max(box.top, canvas.Clip().top);
	int64 last = std::min(box.bottom, canvas.Clip().bottom);
	for (int64 y = first; y <= last; y++) {
		int64 k = inset(y - box.top);
		int64 left = box.left + k;
		int64 right = box.right - k;
		if (hole == nullptr || y < hole->top || y > hole->bottom) {
			canvas.FillSpan(y, left, right, color);
			continue;
		}
		int64 holeK = holeInset(y - hole->top);
		int64 leftEnd = std::min(right, hole->left + holeK - 1);
		canvas.FillSpan(y, left, leftEnd, color);
		canvas.FillSpan(y, std::max(hole->right - holeK + 1, std::max(left, leftEnd + 1)), right,
			color);
	}
}

// A line in surface pixels: one pixel per step along the longer axis, stamped with the pen
// square [low, high] on both axes.
void StrokeThinLine(Canvas& canvas, int64 x0, int64 y0, int64 x1, int64 y1, int64 low, int64 high,
	rgb_color color);

const std::array<uint32, 256>& OpaquePalette();

// For each destination pixel of [first, last], the bitmap pixel it shows, or -1 for none.
std::vector<int64> SourceIndices(int64 first, int64 last, int64 destinationStart,
	int64 destinationSize, int64 sourceStart, int64 sourceSize, int64 bitmapStart,
	int64 bitmapSize);

} // namespace raster
} // namespace BPrivate
