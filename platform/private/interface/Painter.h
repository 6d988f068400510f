// Painter: the kit's only user of cairo for drawing. It draws into an ARGB32 surface (a
// window's backing store) with a view's origin and clip. Shapes are aliased so that every
// pixel of a fixed layout is exact: integer coordinates name pixels, rectangles include both
// edges and a 1-pixel line from a to b lights the pixels of a and b. Text is anti-aliased.
// Coordinates are layout units; at display scale n the surface has n x n pixels for each.
#pragma once

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
	// layout unit, 1 to kMaxDisplayScale.
	Painter(cairo_surface_t* target, BPoint origin, BRect clip, int32 scale = 1);
	~Painter();
	Painter(const Painter&) = delete;
	Painter& operator=(const Painter&) = delete;

	void SetOrigin(BPoint origin);
	void SetClip(BRect clip);
	BRect Clip() const { return fClip; }
	int32 Scale() const { return fScale; }

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

	cairo_surface_t* fTarget;
	cairo_t* fContext;
	BPoint fOrigin;
	BRect fClip;
	int32 fScale;
};

} // namespace BPrivate
