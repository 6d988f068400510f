// Shapes and bitmaps are rasterised here, straight into the surface's pixels, so that every
// pixel follows the kit's conventions exactly; cairo draws only the (anti-aliased) text.
//
// Conventions, in surface pixels after adding the origin and rounding to the nearest integer:
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
#include <cmath>
#include <cstring>
#include <vector>

#include "Bitmap.h"
#include "FontCache.h"
#include "SystemPalette.h"

namespace BPrivate {
namespace {

// Coordinates are saturated here, far beyond any surface, so that products stay in 64 bits.
constexpr double kCoordinateLimit = double(1 << 28);
// Text far off the surface is not drawn: cairo's fixed-point coordinates would wrap.
constexpr double kTextCoordinateLimit = double(1 << 22);
// Nothing longer fits on any surface; drawing stops there instead of shaping megabytes.
constexpr int32 kMaxDrawnTextBytes = 1 << 17;
constexpr int64 kMaxPenSize = 1 << 16;

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

bool
ToPixel(double value, int64* pixel)
{
	if (std::isnan(value))
		return false;
	*pixel = (int64)std::clamp(std::floor(value + 0.5), -kCoordinateLimit, kCoordinateLimit);
	return true;
}

bool
ToPixelRect(BRect rect, BPoint origin, IntRect* out)
{
	return ToPixel((double)rect.left + origin.x, &out->left)
		&& ToPixel((double)rect.top + origin.y, &out->top)
		&& ToPixel((double)rect.right + origin.x, &out->right)
		&& ToPixel((double)rect.bottom + origin.y, &out->bottom) && !out->IsEmpty();
}

bool
ToPixelPoint(BPoint point, BPoint origin, int64* x, int64* y)
{
	return ToPixel((double)point.x + origin.x, x) && ToPixel((double)point.y + origin.y, y);
}

int64
PenWidth(float penSize)
{
	if (!(penSize >= 1.5f))
		return 1;
	return std::min((int64)std::lround(std::min(penSize, (float)kMaxPenSize)), kMaxPenSize);
}

// floor(numerator / denominator + 1/2) for a positive denominator.
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

// The surface's pixels within the clip, for the duration of one primitive.
class Canvas {
public:
	Canvas(cairo_surface_t* target, const IntRect& clip)
		:
		fTarget(target)
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
// box's left and right edges. Works in doubled coordinates from the box's centre, where
// pixel centres are whole numbers: u (columns) has the parity of width - 1, v of height - 1.
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

// Fills a shape given by how far each of its rows stays in from the box's sides; with a
// hole (a box inside and its own insets) only the part outside the hole.
template <typename Inset, typename HoleInset>
void
FillShape(Canvas& canvas, const IntRect& box, Inset inset, const IntRect* hole,
	HoleInset holeInset, rgb_color color)
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

} // namespace


Painter::Painter(cairo_surface_t* target, BPoint origin, BRect clip)
	:
	fTarget(target),
	fContext(cairo_create(target)),
	fOrigin(origin),
	fClip(clip)
{
	_ApplyClip();
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
	if (!ToPixelRect(rect, fOrigin, &box))
		return;
	IntRect clip;
	if (!ToPixelRect(fClip, BPoint(0, 0), &clip))
		return;
	Canvas canvas(fTarget, clip);
	canvas.FillRect(box, color);
}


void
Painter::InvertRect(BRect rect)
{
	IntRect box;
	IntRect clip;
	if (!ToPixelRect(rect, fOrigin, &box) || !ToPixelRect(fClip, BPoint(0, 0), &clip))
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
	if (!ToPixelPoint(from, fOrigin, &x0, &y0) || !ToPixelPoint(to, fOrigin, &x1, &y1)
		|| !ToPixelRect(fClip, BPoint(0, 0), &clip))
		return;
	Canvas canvas(fTarget, clip);
	if (canvas.IsEmpty())
		return;

	int64 pen = PenWidth(penSize);
	int64 low = -((pen - 1) / 2);
	int64 high = low + pen - 1;
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


void
Painter::FillEllipse(BRect rect, rgb_color color)
{
	IntRect box;
	IntRect clip;
	if (!ToPixelRect(rect, fOrigin, &box) || !ToPixelRect(fClip, BPoint(0, 0), &clip))
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
	if (!ToPixelRect(rect, fOrigin, &box) || !ToPixelRect(fClip, BPoint(0, 0), &clip))
		return;
	Canvas canvas(fTarget, clip);
	int64 pen = PenWidth(penSize);
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
Painter::StrokeRoundRect(BRect rect, float xRadius, float yRadius, rgb_color color,
	float penSize)
{
	IntRect box;
	IntRect clip;
	if (!ToPixelRect(rect, fOrigin, &box) || !ToPixelRect(fClip, BPoint(0, 0), &clip))
		return;
	Canvas canvas(fTarget, clip);
	int64 width = box.right - box.left + 1;
	int64 height = box.bottom - box.top + 1;
	auto corner = [](float radius, int64 limit) -> int64 {
		if (!(radius > 0))
			return 0;
		return std::min((int64)std::lround(std::min(2.0 * radius, 2.0 * kCoordinateLimit)),
			limit);
	};
	int64 cornerWidth = corner(xRadius, width);
	int64 cornerHeight = corner(yRadius, height);
	if (cornerWidth == 0 || cornerHeight == 0) {
		cornerWidth = 1;
		cornerHeight = 1;
	}
	auto inset = [&](int64 row) {
		return RoundRectInset(height, cornerWidth, cornerHeight, row);
	};

	if (penSize < 0) {
		FillShape(canvas, box, inset, nullptr, inset, color);
		return;
	}
	int64 pen = PenWidth(penSize);
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
	if (!ToPixelPoint(a, fOrigin, &px[0], &py[0]) || !ToPixelPoint(b, fOrigin, &px[1], &py[1])
		|| !ToPixelPoint(c, fOrigin, &px[2], &py[2])
		|| !ToPixelRect(fClip, BPoint(0, 0), &clip))
		return;
	Canvas canvas(fTarget, clip);
	int64 top = std::max(std::min({py[0], py[1], py[2]}), canvas.Clip().top);
	int64 bottom = std::min(std::max({py[0], py[1], py[2]}), canvas.Clip().bottom);

	// Each row covers the pixel centres between the edges crossing it; a row the triangle
	// is too thin to cover there keeps the pixel nearest to it, so the shape stays whole.
	for (int64 y = top; y <= bottom; y++) {
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
		int64 left = (int64)std::ceil(minX - 1e-9);
		int64 right = (int64)std::floor(maxX + 1e-9);
		if (left > right)
			left = right = (int64)std::floor((minX + maxX) / 2 + 0.5);
		canvas.FillSpan(y, left, right, color);
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
	if (!ToPixelRect(source, BPoint(0, 0), &from) || !ToPixelRect(destination, fOrigin, &to)
		|| !ToPixelRect(fClip, BPoint(0, 0), &clip))
		return;
	Canvas canvas(fTarget, clip);
	IntRect visible = to & canvas.Clip();
	if (visible.IsEmpty())
		return;

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
	if (!(std::fabs(baseline.x + fOrigin.x) < kTextCoordinateLimit)
		|| !(std::fabs(baseline.y + fOrigin.y) < kTextCoordinateLimit))
		return;
	std::string utf8 = SanitizedUTF8(text, std::min(length, kMaxDrawnTextBytes));
	if (utf8.empty())
		return;
	cairo_scaled_font_t* scaledFont = AcquireScaledFont(font);
	if (scaledFont == nullptr)
		return;

	// Glyphs sit on the bottom edge of the baseline's pixel row, so that the ink of letters
	// without descenders ends on that row.
	cairo_glyph_t* glyphs = nullptr;
	int count = 0;
	cairo_status_t status = cairo_scaled_font_text_to_glyphs(scaledFont, baseline.x,
		baseline.y + 1.0, utf8.c_str(), (int)utf8.size(), &glyphs, &count, nullptr, nullptr,
		nullptr);
	if (status == CAIRO_STATUS_SUCCESS && count > 0) {
		cairo_save(fContext);
		cairo_set_scaled_font(fContext, scaledFont);
		cairo_set_source_rgba(fContext, color.red / 255.0, color.green / 255.0,
			color.blue / 255.0, color.alpha / 255.0);
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
	if (ToPixelRect(fClip, BPoint(0, 0), &clip)) {
		// Saturated coordinates are far larger than any surface; cairo only needs the overlap.
		IntRect bounded = clip & IntRect{-1, -1, 1 << 20, 1 << 20};
		cairo_rectangle(fContext, (double)bounded.left, (double)bounded.top,
			(double)(bounded.right - bounded.left + 1), (double)(bounded.bottom - bounded.top + 1));
	} else {
		cairo_rectangle(fContext, 0, 0, 0, 0);
	}
	cairo_clip(fContext);
	if (std::isfinite(fOrigin.x) && std::isfinite(fOrigin.y))
		cairo_translate(fContext, fOrigin.x, fOrigin.y);
}

} // namespace BPrivate
