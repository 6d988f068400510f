// The painter at a fractional display scale: layout pixels are uneven blocks of whole surface
// pixels (DisplayScale::ToDevice), so lines and triangles are placed on that grid here, and
// bitmaps, which no whole pixel ratio can map evenly, are resampled smoothly by cairo.
#include "Painter.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "Bitmap.h"
#include "PainterRaster.h"

namespace BPrivate {

using namespace raster;

void
Painter::_StrokeLineFractional(int64 x0, int64 y0, int64 x1, int64 y1, rgb_color color, int64 pen)
{
	IntRect clip;
	if (!_DeviceClip(&clip))
		return;
	Canvas canvas(fTarget, clip);
	if (canvas.IsEmpty())
		return;
	int64 before = (pen - 1) / 2;
	int64 after = pen - 1 - before;
	if (x0 == x1 || y0 == y1) {
		// Straight lines are exactly the surface pixels of their layout pixels.
		canvas.FillRect(IntRect{fScale.ToDevice(std::min(x0, x1) - before),
							fScale.ToDevice(std::min(y0, y1) - before),
							fScale.ToDevice(std::max(x0, x1) + after + 1) - 1,
							fScale.ToDevice(std::max(y0, y1) + after + 1) - 1},
			color);
		return;
	}
	// Slopes run between the ends' first pixels with a pen square of the pen's size there.
	int64 low = -fScale.ToDevice(before);
	int64 high = low + fScale.ToDevice(pen) - 1;
	StrokeThinLine(canvas, fScale.ToDevice(x0), fScale.ToDevice(y0), fScale.ToDevice(x1),
		fScale.ToDevice(y1), low, high, color);
}

// As the whole-scale rows, on the uneven grid: a surface row is sampled at its centre in
// layout units, and an edge at layout x begins where layout pixel x begins, so that a
// vertex's layout pixel is covered whole.
void
Painter::_FillTriangleFractional(const int64* px, const int64* py, rgb_color color)
{
	IntRect clip;
	if (!_DeviceClip(&clip))
		return;
	Canvas canvas(fTarget, clip);
	const double f = fScale.Factor();
	int64 top = std::min({py[0], py[1], py[2]});
	int64 bottom = std::max({py[0], py[1], py[2]});
	int64 firstRow = std::max(fScale.ToDevice(top), canvas.Clip().top);
	int64 lastRow = std::min(fScale.ToDevice(bottom + 1) - 1, canvas.Clip().bottom);
	for (int64 row = firstRow; row <= lastRow; row++) {
		double y = std::clamp((row + 0.5) / f - 0.5, (double)top, (double)bottom);
		double minX = HUGE_VAL;
		double maxX = -HUGE_VAL;
		for (int i = 0; i < 3; i++) {
			int j = (i + 1) % 3;
			if (y < std::min(py[i], py[j]) || y > std::max(py[i], py[j]))
				continue;
			if (py[i] == py[j]) {
				minX = std::min({minX, (double)px[i], (double)px[j]});
				maxX = std::max({maxX, (double)px[i], (double)px[j]});
				continue;
			}
			double x = px[i] + (double)(y - py[i]) * (px[j] - px[i]) / (double)(py[j] - py[i]);
			minX = std::min(minX, x);
			maxX = std::max(maxX, x);
		}
		if (minX > maxX)
			continue;
		int64 left = (int64)std::floor(minX * f + 0.5 + 1e-9);
		int64 right = (int64)std::floor((maxX + 1) * f + 0.5 - 1e-9) - 1;
		canvas.FillSpan(row, left, std::max(left, right), color);
	}
}

// A fractional scale cannot map source pixels to whole destination pixels evenly: the next
// finer variant is resampled down with cairo's good filter instead (no variant: the bitmap's
// own pixels, resampled up). Pixels outside the bitmap stay transparent, as in the exact path.
void
Painter::_DrawBitmapSmooth(const BBitmap* bitmap, const IntRect& source, const IntRect& to,
	bool over)
{
	IntRect clip;
	if (!_DeviceClip(&clip) || fTarget == nullptr
		|| cairo_surface_get_type(fTarget) != CAIRO_SURFACE_TYPE_IMAGE)
		return;
	IntRect surface{0, 0, cairo_image_surface_get_width(fTarget) - 1,
		cairo_image_surface_get_height(fTarget) - 1};
	IntRect visible = to & clip & surface;
	if (visible.IsEmpty())
		return;

	int32 factor = 1;
	if (const BBitmap* variant = bitmap->_VariantAtLeast(fScale.Ceiling(), &factor))
		bitmap = variant;
	IntRect from{source.left * factor, source.top * factor, source.right * factor + factor - 1,
		source.bottom * factor + factor - 1};
	BRect bounds = bitmap->Bounds();
	IntRect inside = from
		& IntRect{std::lround(bounds.left), std::lround(bounds.top), std::lround(bounds.right),
			std::lround(bounds.bottom)};
	if (inside.IsEmpty())
		return;
	int64 width = inside.right - inside.left + 1;
	int64 height = inside.bottom - inside.top + 1;

	cairo_surface_t* pixels = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, (int)width,
		(int)height);
	if (cairo_surface_status(pixels) != CAIRO_STATUS_SUCCESS) {
		cairo_surface_destroy(pixels);
		return;
	}
	uint8* data = cairo_image_surface_get_data(pixels);
	int stride = cairo_image_surface_get_stride(pixels);
	color_space space = bitmap->ColorSpace();
	const uint8* bits = static_cast<const uint8*>(bitmap->Bits());
	int32 bytesPerRow = bitmap->BytesPerRow();
	const std::array<uint32, 256>& palette = OpaquePalette();
	for (int64 j = 0; j < height; j++) {
		const uint8* sourceRow = bits + (inside.top + j - std::lround(bounds.top)) * bytesPerRow;
		int64 firstColumn = inside.left - std::lround(bounds.left);
		uint32* row = reinterpret_cast<uint32*>(data + j * stride);
		for (int64 i = 0; i < width; i++) {
			if (space == B_CMAP8) {
				uint8 index = sourceRow[firstColumn + i];
				row[i] = over && index == B_TRANSPARENT_MAGIC_CMAP8 ? 0 : palette[index];
				continue;
			}
			uint32 value;
			memcpy(&value, sourceRow + (firstColumn + i) * 4, sizeof(value));
			uint32 alpha = value >> 24;
			if (space == B_RGB32 || !over || alpha == 255) {
				row[i] = 0xff000000u | value;
				continue;
			}
			row[i] = (alpha << 24) | (Div255(((value >> 16) & 0xff) * alpha) << 16)
				| (Div255(((value >> 8) & 0xff) * alpha) << 8) | Div255((value & 0xff) * alpha);
		}
	}
	cairo_surface_mark_dirty(pixels);

	// Surface pixel (x, y) shows the source at ((x - to.left) * sx + from.left, ...).
	cairo_pattern_t* pattern = cairo_pattern_create_for_surface(pixels);
	cairo_matrix_t matrix;
	cairo_matrix_init_translate(&matrix, (double)(from.left - inside.left),
		(double)(from.top - inside.top));
	cairo_matrix_scale(&matrix,
		(double)(from.right - from.left + 1) / (double)(to.right - to.left + 1),
		(double)(from.bottom - from.top + 1) / (double)(to.bottom - to.top + 1));
	cairo_matrix_translate(&matrix, (double)-to.left, (double)-to.top);
	cairo_pattern_set_matrix(pattern, &matrix);
	cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
	// Inside the bitmap the edges are repeated, so that they do not fade into nothing.
	bool whole = inside.left == from.left && inside.top == from.top && inside.right == from.right
		&& inside.bottom == from.bottom;
	cairo_pattern_set_extend(pattern, whole ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);

	cairo_save(fContext);
	cairo_identity_matrix(fContext);
	cairo_rectangle(fContext, (double)visible.left, (double)visible.top,
		(double)(visible.right - visible.left + 1), (double)(visible.bottom - visible.top + 1));
	cairo_clip(fContext);
	cairo_set_source(fContext, pattern);
	cairo_set_operator(fContext, CAIRO_OPERATOR_OVER);
	cairo_paint(fContext);
	cairo_restore(fContext);
	cairo_pattern_destroy(pattern);
	cairo_surface_destroy(pixels);
}

} // namespace BPrivate
