// The pixel-exact canvas the resource drawings share, and the factor they are drawn at.
#pragma once

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "SupportDefs.h"

namespace draw {

struct Rgb {
	uint8 r, g, b;
};

// The factor the images are being drawn at: 1, 2 or 3.
inline int sScale = 1;

// Pixel-exact canvas: every operation fills whole pixels, nothing is blended. Coordinates are
// those of the image at its own size; the surface has sScale x sScale pixels for each.
class Canvas {
public:
	Canvas(int width, int height) :
		fSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * sScale, height * sScale)),
		fCairo(cairo_create(fSurface))
	{
		cairo_set_antialias(fCairo, CAIRO_ANTIALIAS_NONE);
		cairo_set_operator(fCairo, CAIRO_OPERATOR_SOURCE);
		cairo_scale(fCairo, sScale, sScale);
	}
	~Canvas()
	{
		cairo_destroy(fCairo);
		cairo_surface_destroy(fSurface);
	}
	Canvas(const Canvas&) = delete;
	Canvas& operator=(const Canvas&) = delete;

	void Fill(double x, double y, double width, double height, Rgb c)
	{
		cairo_set_source_rgb(fCairo, c.r / 255.0, c.g / 255.0, c.b / 255.0);
		cairo_rectangle(fCairo, x, y, width, height);
		cairo_fill(fCairo);
	}
	void Set(int x, int y, Rgb c) { Fill(x, y, 1, 1, c); }
	// One surface pixel, at the canvas's own resolution (x, y in surface pixels).
	void SetFine(int x, int y, Rgb c)
	{
		Fill(x / double(sScale), y / double(sScale), 1.0 / sScale, 1.0 / sScale, c);
	}
	void Ellipse(double cx, double cy, double rx, double ry, Rgb c)
	{
		cairo_save(fCairo);
		cairo_translate(fCairo, cx, cy);
		cairo_scale(fCairo, rx, ry);
		cairo_arc(fCairo, 0, 0, 1, 0, 2 * M_PI);
		cairo_restore(fCairo);
		cairo_set_source_rgb(fCairo, c.r / 255.0, c.g / 255.0, c.b / 255.0);
		cairo_fill(fCairo);
	}
	void Polygon(const std::vector<std::pair<double, double>>& points, Rgb c)
	{
		cairo_set_source_rgb(fCairo, c.r / 255.0, c.g / 255.0, c.b / 255.0);
		for (const auto& [x, y] : points)
			cairo_line_to(fCairo, x, y);
		cairo_close_path(fCairo);
		cairo_fill(fCairo);
	}

	// name.png at scale 1, name@2x.png and name@3x.png at the larger ones.
	bool Save(const std::string& dir, const std::string& name)
	{
		std::string path = dir + "/" + name
			+ (sScale == 1 ? std::string() : "@" + std::to_string(sScale) + "x") + ".png";
		cairo_surface_flush(fSurface);
		if (cairo_surface_write_to_png(fSurface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
			std::fprintf(stderr, "cannot write %s\n", path.c_str());
			return false;
		}
		std::printf("%s\n", path.c_str());
		return true;
	}

private:
	cairo_surface_t* fSurface;
	cairo_t* fCairo;
};

// Shapes given as rows of characters, one per pixel; ' ' and '.' leave the pixel alone.
inline void
Stamp(Canvas& canvas, int left, int top, const std::vector<const char*>& rows, char key, Rgb c)
{
	for (size_t y = 0; y < rows.size(); y++) {
		for (int x = 0; rows[y][x] != '\0'; x++) {
			if (rows[y][x] == key)
				canvas.Set(left + x, top + int(y), c);
		}
	}
}

} // namespace draw
