// Shapes and bitmaps are rasterised here, straight into the surface's pixels, so that every
// pixel follows the kit's conventions exactly; cairo draws only the (anti-aliased) text.
//
// Coordinates are layout units: at display scale n every layout pixel is an n x n block of
// surface pixels. Shapes are placed on that grid and then drawn at the surface's resolution,
// so rectangles and straight lines are exactly the blocks of their layout pixels, while
// curves, slopes and text get the finer pixels. At scale 1 the two grids are one. At a
// fractional scale the blocks are uneven (a layout pixel x covers [round(x f), round((x+1) f))
// on each axis), still whole surface pixels that tile; bitmaps are then resampled smoothly.
//
// Conventions, in layout pixels after adding the origin and rounding to the nearest integer:
// - a rectangle covers both edges;
// - a line lights one pixel per step along its longer axis, the one nearest to the ideal
//   line (halves round down-right), both ends included; the same pixels whichever end it
//   starts at. A pen of n > 1 pixels stamps an n x n square on every pixel of the thin line,
//   reaching (n - 1) / 2 pixels up and left and the rest down and right, so odd pens are
//   centred and even pens lean one pixel down and right;
// - an ellipse covers the pixels whose centres lie inside the ellipse inscribed in its box;
//   every row keeps at least its middle pixel and the middle row(s) span the whole box, so
//   the lit pixels always touch all four sides. An outline of pen n is that shape minus the
//   shape of the box inset by n on every side: n pixels wide at the box's edges, inside it;
// - a bitmap pixel is taken for each destination pixel from the source pixel nearest to it;
//   source pixels outside the bitmap leave their destination pixels untouched.
#include "Painter.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>
#include <vector>

#include "Bitmap.h"
#include "DisplayScale.h"
#include "FontCache.h"
#include "PainterRaster.h"

namespace BPrivate {
namespace {

using namespace raster;

// Coordinates are saturated here, far beyond any surface, so that products stay in 64 bits.
constexpr double kCoordinateLimit = double(1 << 28);
// Text far off the surface is not drawn: cairo's fixed-point coordinates would wrap.
constexpr double kTextCoordinateLimit = double(1 << 22);
// Nothing longer fits on any surface; drawing stops there instead of shaping megabytes.
constexpr int32 kMaxDrawnTextBytes = 1 << 17;
constexpr int64 kMaxPenSize = 1 << 16;

// The layout pixel of a coordinate, saturated so that it stays within the limit once scaled.
bool
ToPixel(double value, const DisplayScale& scale, int64* pixel)
{
	if (std::isnan(value))
		return false;
	double limit = kCoordinateLimit / (double)scale.Ceiling();
	*pixel = (int64)std::clamp(std::floor(value + 0.5), -limit, limit);
	return true;
}

// The surface pixels of a rectangle: layout pixels l..r cover the start of l up to just
// before the start of r + 1 (l * n .. r * n + n - 1 at a whole scale n).
bool
ToDeviceRect(BRect rect, BPoint origin, const DisplayScale& scale, IntRect* out)
{
	IntRect layout;
	if (!ToPixel((double)rect.left + origin.x, scale, &layout.left)
		|| !ToPixel((double)rect.top + origin.y, scale, &layout.top)
		|| !ToPixel((double)rect.right + origin.x, scale, &layout.right)
		|| !ToPixel((double)rect.bottom + origin.y, scale, &layout.bottom) || layout.IsEmpty())
		return false;
	*out = IntRect{scale.ToDevice(layout.left), scale.ToDevice(layout.top),
		scale.ToDevice(layout.right + 1) - 1, scale.ToDevice(layout.bottom + 1) - 1};
	return true;
}

// The layout pixel of a point.
bool
ToPixelPoint(BPoint point, BPoint origin, const DisplayScale& scale, int64* x, int64* y)
{
	return ToPixel((double)point.x + origin.x, scale, x)
		&& ToPixel((double)point.y + origin.y, scale, y);
}

int64
PenWidth(float penSize)
{
	if (!(penSize >= 1.5f))
		return 1;
	return std::min((int64)std::lround(std::min(penSize, (float)kMaxPenSize)), kMaxPenSize);
}

// A pen of n layout pixels in surface pixels.
int64
DevicePen(const DisplayScale& scale, float penSize)
{
	return std::max<int64>(1, scale.ToDevice(PenWidth(penSize)));
}

} // namespace

Painter::Painter(cairo_surface_t* target, BPoint origin, BRect clip, DisplayScale scale) :
	fTarget(target),
	fContext(cairo_create(target)),
	fOrigin(origin),
	fClip(clip),
	fScale(scale),
	fWhole(scale.IsWhole() ? scale.Ceiling() : 0)
{
	_ApplyClip();
}

Painter::Painter(cairo_surface_t* target, BPoint origin, BRect clip, int32 wholeScale) :
	Painter(target, origin, clip, DisplayScale::Whole(wholeScale))
{
	assert(wholeScale >= 1 && wholeScale <= kMaxDisplayScale);
}

Painter::~Painter()
{
	cairo_destroy(fContext);
	if (fTarget != nullptr)
		cairo_surface_flush(fTarget);
}

void
Painter::SetOrigin(BPoint origin)
{
	fOrigin = origin;
	_ApplyClip();
}

void
Painter::SetClip(BRect clip)
{
	fClip = clip;
	_ApplyClip();
}

void
Painter::FillRect(BRect rect, rgb_color color)
{
	IntRect box;
	if (!ToDeviceRect(rect, fOrigin, fScale, &box))
		return;
	IntRect clip;
	if (!_DeviceClip(&clip))
		return;
	Canvas canvas(fTarget, clip);
	canvas.FillRect(box, color);
}

void
Painter::InvertRect(BRect rect)
{
	IntRect box;
	IntRect clip;
	if (!ToDeviceRect(rect, fOrigin, fScale, &box) || !_DeviceClip(&clip))
		return;
	Canvas canvas(fTarget, clip);
	IntRect visible = box & canvas.Clip();
	for (int64 y = visible.top; y <= visible.bottom; y++) {
		uint32* row = canvas.Row(y);
		for (int64 x = visible.left; x <= visible.right; x++) {
			// Premultiplied: each channel becomes alpha minus itself, 255 - c when opaque.
			uint32 pixel = row[x];
			uint32 alpha = pixel >> 24;
			uint32 r = alpha - std::min(alpha, (pixel >> 16) & 0xff);
			uint32 g = alpha - std::min(alpha, (pixel >> 8) & 0xff);
			uint32 b = alpha - std::min(alpha, pixel & 0xff);
			row[x] = (alpha << 24) | (r << 16) | (g << 8) | b;
		}
	}
}

void
Painter::StrokeLine(BPoint from, BPoint to, rgb_color color, float penSize)
{
	int64 x0, y0, x1, y1;
	IntRect clip;
	if (!ToPixelPoint(from, fOrigin, fScale, &x0, &y0)
		|| !ToPixelPoint(to, fOrigin, fScale, &x1, &y1) || !_DeviceClip(&clip))
		return;
	if (fWhole == 0) {
		_StrokeLineFractional(x0, y0, x1, y1, color, PenWidth(penSize));
		return;
	}
	// The thin line runs between the top-left pixels of the end blocks, and the pen square,
	// n times as large, covers whole blocks there: straight lines are exactly their blocks.
	x0 *= fWhole;
	y0 *= fWhole;
	x1 *= fWhole;
	y1 *= fWhole;
	Canvas canvas(fTarget, clip);
	if (canvas.IsEmpty())
		return;

	int64 pen = PenWidth(penSize);
	int64 low = -((pen - 1) / 2) * fWhole;
	int64 high = low + pen * fWhole - 1;
	StrokeThinLine(canvas, x0, y0, x1, y1, low, high, color);
}

void
Painter::FillEllipse(BRect rect, rgb_color color)
{
	IntRect box;
	IntRect clip;
	if (!ToDeviceRect(rect, fOrigin, fScale, &box) || !_DeviceClip(&clip))
		return;
	Canvas canvas(fTarget, clip);
	int64 width = box.right - box.left + 1;
	int64 height = box.bottom - box.top + 1;
	auto inset = [&](int64 row) { return EllipseInset(width, height, row); };
	FillShape(canvas, box, inset, nullptr, inset, color);
}

void
Painter::StrokeEllipse(BRect rect, rgb_color color, float penSize)
{
	IntRect box;
	IntRect clip;
	if (!ToDeviceRect(rect, fOrigin, fScale, &box) || !_DeviceClip(&clip))
		return;
	Canvas canvas(fTarget, clip);
	int64 pen = fWhole != 0 ? PenWidth(penSize) * fWhole : DevicePen(fScale, penSize);
	int64 width = box.right - box.left + 1;
	int64 height = box.bottom - box.top + 1;
	auto inset = [&](int64 row) { return EllipseInset(width, height, row); };

	IntRect hole{box.left + pen, box.top + pen, box.right - pen, box.bottom - pen};
	int64 holeWidth = width - 2 * pen;
	int64 holeHeight = height - 2 * pen;
	auto holeInset = [&](int64 row) { return EllipseInset(holeWidth, holeHeight, row); };
	FillShape(canvas, box, inset, hole.IsEmpty() ? nullptr : &hole, holeInset, color);
}

void
Painter::FillRoundRect(BRect rect, float xRadius, float yRadius, rgb_color color)
{
	StrokeRoundRect(rect, xRadius, yRadius, color, -1);
}

// A negative pen size fills; the fill shares this code because both need the corner insets.
void
Painter::StrokeRoundRect(BRect rect, float xRadius, float yRadius, rgb_color color, float penSize)
{
	IntRect box;
	IntRect clip;
	if (!ToDeviceRect(rect, fOrigin, fScale, &box) || !_DeviceClip(&clip))
		return;
	Canvas canvas(fTarget, clip);
	int64 width = box.right - box.left + 1;
	int64 height = box.bottom - box.top + 1;
	auto corner = [](float radius, int64 limit) -> int64 {
		if (!(radius > 0))
			return 0;
		return std::min((int64)std::lround(std::min(2.0 * radius, 2.0 * kCoordinateLimit)), limit);
	};
	const float factor = fWhole != 0 ? (float)fWhole : (float)fScale.Factor();
	int64 cornerWidth = corner(xRadius * factor, width);
	int64 cornerHeight = corner(yRadius * factor, height);
	if (cornerWidth == 0 || cornerHeight == 0) {
		cornerWidth = 1;
		cornerHeight = 1;
	}
	auto inset = [&](int64 row) { return RoundRectInset(height, cornerWidth, cornerHeight, row); };

	if (penSize < 0) {
		FillShape(canvas, box, inset, nullptr, inset, color);
		return;
	}
	int64 pen = fWhole != 0 ? PenWidth(penSize) * fWhole : DevicePen(fScale, penSize);
	IntRect hole{box.left + pen, box.top + pen, box.right - pen, box.bottom - pen};
	int64 holeHeight = height - 2 * pen;
	int64 holeCornerWidth = std::max<int64>(1, cornerWidth - 2 * pen);
	int64 holeCornerHeight = std::max<int64>(1, cornerHeight - 2 * pen);
	auto holeInset = [&](int64 row) {
		return RoundRectInset(holeHeight, holeCornerWidth, holeCornerHeight, row);
	};
	FillShape(canvas, box, inset, hole.IsEmpty() ? nullptr : &hole, holeInset, color);
}

void
Painter::FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color)
{
	int64 px[3];
	int64 py[3];
	IntRect clip;
	if (!ToPixelPoint(a, fOrigin, fScale, &px[0], &py[0])
		|| !ToPixelPoint(b, fOrigin, fScale, &px[1], &py[1])
		|| !ToPixelPoint(c, fOrigin, fScale, &px[2], &py[2]) || !_DeviceClip(&clip))
		return;
	if (fWhole == 0) {
		_FillTriangleFractional(px, py, color);
		return;
	}
	const int64 scale = fWhole;
	Canvas canvas(fTarget, clip);
	int64 top = std::min({py[0], py[1], py[2]});
	int64 bottom = std::max({py[0], py[1], py[2]});
	int64 firstRow = std::max(top * scale, canvas.Clip().top);
	int64 lastRow = std::min(bottom * scale + scale - 1, canvas.Clip().bottom);

	// Each row covers the pixel centres between the edges crossing it; a row the triangle
	// is too thin to cover there keeps the pixel nearest to it, so the shape stays whole.
	// When scaled, a surface row is sampled at its centre in layout units (kept within the
	// triangle's rows), and a vertex's layout pixel becomes its whole block.
	const double half = (scale - 1) / 2.0;
	for (int64 row = firstRow; row <= lastRow; row++) {
		double y = std::clamp((row - half) / scale, (double)top, (double)bottom);
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
		int64 left = (int64)std::ceil(minX * scale - 1e-9);
		int64 right = (int64)std::floor(maxX * scale + 1e-9) + scale - 1;
		if (left > right)
			left = right = (int64)std::floor((minX + maxX) / 2 + 0.5);
		canvas.FillSpan(row, left, right, color);
	}
}

void
Painter::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination, drawing_mode mode)
{
	if (bitmap == nullptr || bitmap->InitCheck() != B_OK)
		return;
	IntRect from;
	IntRect to;
	IntRect clip;
	if (!ToDeviceRect(source, BPoint(0, 0), DisplayScale(), &from)
		|| !ToDeviceRect(destination, fOrigin, fScale, &to) || !_DeviceClip(&clip))
		return;
	if (fWhole == 0) {
		_DrawBitmapSmooth(bitmap, from, to, mode == B_OP_OVER || mode == B_OP_ALPHA);
		return;
	}
	const int32 scale = (int32)fWhole;
	Canvas canvas(fTarget, clip);
	IntRect visible = to & canvas.Clip();
	if (visible.IsEmpty())
		return;

	// A variant drawn at a finer resolution shows the same source rectangle in more pixels;
	// without one the bitmap's own pixels are enlarged.
	int32 factor = 1;
	if (const BBitmap* variant = scale > 1 ? bitmap->_ScaledVariant(scale, &factor) : nullptr) {
		bitmap = variant;
		from = IntRect{from.left * factor, from.top * factor, from.right * factor + factor - 1,
			from.bottom * factor + factor - 1};
	}

	BRect bounds = bitmap->Bounds();
	int64 bitmapWidth = bounds.IntegerWidth() + 1;
	int64 bitmapHeight = bounds.IntegerHeight() + 1;
	std::vector<int64> columns = SourceIndices(visible.left, visible.right, to.left,
		to.right - to.left + 1, from.left, from.right - from.left + 1, std::lround(bounds.left),
		bitmapWidth);
	std::vector<int64> rows = SourceIndices(visible.top, visible.bottom, to.top,
		to.bottom - to.top + 1, from.top, from.bottom - from.top + 1, std::lround(bounds.top),
		bitmapHeight);

	// Over and alpha let the background through: palette index 255 entirely, RGBA32
	// pixels by their alpha. Every other mode copies the pixels as they are.
	bool over = mode == B_OP_OVER || mode == B_OP_ALPHA;
	color_space space = bitmap->ColorSpace();
	const uint8* bits = static_cast<const uint8*>(bitmap->Bits());
	int32 bytesPerRow = bitmap->BytesPerRow();
	const std::array<uint32, 256>& palette = OpaquePalette();

	for (size_t j = 0; j < rows.size(); j++) {
		if (rows[j] < 0)
			continue;
		const uint8* sourceRow = bits + rows[j] * bytesPerRow;
		uint32* row = canvas.Row(visible.top + (int64)j);
		for (size_t i = 0; i < columns.size(); i++) {
			int64 column = columns[i];
			if (column < 0)
				continue;
			uint32& pixel = row[visible.left + (int64)i];
			if (space == B_CMAP8) {
				uint8 index = sourceRow[column];
				if (!over || index != B_TRANSPARENT_MAGIC_CMAP8)
					pixel = palette[index];
				continue;
			}
			uint32 value;
			memcpy(&value, sourceRow + column * 4, sizeof(value));
			uint8 alpha = value >> 24;
			if (space == B_RGB32 || !over || alpha == 255)
				pixel = 0xff000000u | value;
			else if (alpha != 0)
				pixel = Blend(pixel, make_color(value >> 16, value >> 8, value, alpha));
		}
	}
}

void
Painter::DrawString(const char* text, int32 length, BPoint baseline, const BFont& font,
	rgb_color color)
{
	const double factor = fScale.Factor();
	if (!(std::fabs((baseline.x + fOrigin.x) * factor) < kTextCoordinateLimit)
		|| !(std::fabs((baseline.y + fOrigin.y) * factor) < kTextCoordinateLimit))
		return;
	std::string utf8 = SanitizedUTF8(text, std::min(length, kMaxDrawnTextBytes));
	if (utf8.empty())
		return;
	// Scaled text is rendered by the font at the larger size, hinted for it, never enlarged.
	cairo_scaled_font_t* scaledFont;
	if (fWhole == 1) {
		scaledFont = AcquireScaledFont(font);
	} else {
		BFont larger(font);
		larger.SetSize(fWhole != 0 ? font.Size() * (int32)fWhole : (float)(font.Size() * factor));
		scaledFont = AcquireScaledFont(larger);
	}
	if (scaledFont == nullptr)
		return;

	// Glyphs sit on the bottom edge of the baseline's pixel row, so that the ink of letters
	// without descenders ends on that row. A fractional scale has no translation in the
	// context (the origin need not fall on a pixel): the pen starts where its layout pixel
	// begins on the surface.
	double x;
	double y;
	if (fWhole != 0) {
		x = baseline.x * (int32)fWhole;
		y = (baseline.y + 1.0) * (int32)fWhole;
	} else {
		x = std::floor(((double)baseline.x + fOrigin.x) * factor + 0.5);
		y = std::floor(((double)baseline.y + fOrigin.y + 1.0) * factor + 0.5);
	}
	cairo_glyph_t* glyphs = nullptr;
	int count = 0;
	cairo_status_t status = cairo_scaled_font_text_to_glyphs(scaledFont, x, y, utf8.c_str(),
		(int)utf8.size(), &glyphs, &count, nullptr, nullptr, nullptr);
	if (status == CAIRO_STATUS_SUCCESS && count > 0) {
		cairo_save(fContext);
		cairo_set_scaled_font(fContext, scaledFont);
		cairo_set_source_rgba(fContext, color.red / 255.0, color.green / 255.0, color.blue / 255.0,
			color.alpha / 255.0);
		cairo_show_glyphs(fContext, glyphs, count);
		cairo_restore(fContext);
	}
	cairo_glyph_free(glyphs);
	cairo_scaled_font_destroy(scaledFont);
}

void
Painter::_ApplyClip()
{
	cairo_reset_clip(fContext);
	cairo_identity_matrix(fContext);
	IntRect clip;
	if (_DeviceClip(&clip)) {
		// Saturated coordinates are far larger than any surface; cairo only needs the overlap.
		IntRect bounded = clip & IntRect{-1, -1, 1 << 20, 1 << 20};
		cairo_rectangle(fContext, (double)bounded.left, (double)bounded.top,
			(double)(bounded.right - bounded.left + 1), (double)(bounded.bottom - bounded.top + 1));
	} else {
		cairo_rectangle(fContext, 0, 0, 0, 0);
	}
	cairo_clip(fContext);
	if (fWhole != 0 && std::isfinite(fOrigin.x) && std::isfinite(fOrigin.y))
		cairo_translate(fContext, (double)fOrigin.x * fWhole, (double)fOrigin.y * fWhole);
}

bool
Painter::_DeviceClip(IntRect* clip) const
{
	return ToDeviceRect(fClip, BPoint(0, 0), fScale, clip);
}

} // namespace BPrivate
