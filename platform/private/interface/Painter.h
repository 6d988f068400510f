// Painter: the kit's only user of cairo for drawing. It draws into an ARGB32 surface (a
// window's backing store) with a view's origin and clip. Shapes are aliased so that every
// pixel of a fixed layout is exact: integer coordinates name pixels, rectangles include both
// edges and a 1-pixel line from a to b lights the pixels of a and b. Text is anti-aliased.
// Coordinates are layout units; at display scale f a layout pixel x covers the surface pixels
// [round(x * f), round((x + 1) * f)) on each axis (DisplayScale.h).
#pragma once

#include "DisplayScale.h"
#include "Font.h"
#include "GraphicsDefs.h"
#include "Rect.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

class BBitmap;

namespace BPrivate {

namespace raster {
struct IntRect;
}

class Painter {
public:
	// origin: where the view's (0, 0) lies on the surface; clip: the part of the surface that
	// may be touched (inclusive rectangle); both in layout units. scale: surface pixels per
	// layout unit, whole or fractional.
	Painter(cairo_surface_t* target, BPoint origin, BRect clip,
		DisplayScale scale = DisplayScale());
	Painter(cairo_surface_t* target, BPoint origin, BRect clip, int32 wholeScale);
	~Painter();
	Painter(const Painter&) = delete;
	Painter& operator=(const Painter&) = delete;

	void SetOrigin(BPoint origin);
	void SetClip(BRect clip);
	BRect Clip() const { return fClip; }
	DisplayScale Scale() const { return fScale; }

	// All coordinates in view coordinates.
	void FillRect(BRect rect, rgb_color color);
	void InvertRect(BRect rect);
	void StrokeLine(BPoint from, BPoint to, rgb_color color, float penSize);
	void FillEllipse(BRect rect, rgb_color color);
	void StrokeEllipse(BRect rect, rgb_color color, float penSize);
	void FillRoundRect(BRect rect, float xRadius, float yRadius, rgb_color color);
	void StrokeRoundRect(BRect rect, float xRadius, float yRadius, rgb_color color, float penSize);
	void FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color);
	void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination, drawing_mode mode);
	// Baseline at y: the ink of letters without descenders ends on pixel row y.
	void DrawString(const char* text, int32 length, BPoint baseline, const BFont& font,
		rgb_color color);

private:
	void _ApplyClip();
	bool _DeviceClip(raster::IntRect* clip) const;
	// The fractional scale's ways: lines and triangles on the uneven grid, and bitmaps
	// resampled smoothly.
	void _StrokeLineFractional(int64 x0, int64 y0, int64 x1, int64 y1, rgb_color color, int64 pen);
	void _FillTriangleFractional(const int64* px, const int64* py, rgb_color color);
	void _DrawBitmapSmooth(const BBitmap* bitmap, const raster::IntRect& from,
		const raster::IntRect& to, bool over);

	cairo_surface_t* fTarget;
	cairo_t* fContext;
	BPoint fOrigin;
	BRect fClip;
	DisplayScale fScale;
	// fScale's whole factor, or 0 when it is fractional.
	int64 fWhole;
};

} // namespace BPrivate
