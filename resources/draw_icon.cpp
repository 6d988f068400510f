// The application icon: a gold coin with a euro sign on a blue tile ringed by stars.
// The 32 and 16 pixel versions are aliased and use palette colours only, because they are
// also stored as palette indices; the larger desktop icons are the 32 pixel design scaled up
// and smoothed. The desktop's icons round the tile's corners off to transparency, and the
// scalable one draws the same design as paths.

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "SystemPalette.h"

namespace {

struct Colour {
	double r, g, b, a; // 0..1, not premultiplied
};

Colour
FromPalette(uint8 r, uint8 g, uint8 b)
{
	return {r / 255.0, g / 255.0, b / 255.0, 1.0};
}

// Every colour is a palette entry, so the stored indices reproduce the PNGs exactly.
const Colour kTile = FromPalette(0, 51, 153);
const Colour kTileEdge = FromPalette(0, 0, 102);
const Colour kShadow = FromPalette(0, 0, 51);
const Colour kStar = FromPalette(255, 204, 0);
const Colour kCoinEdge = FromPalette(102, 51, 0);
const Colour kCoinRim = FromPalette(204, 153, 0);
const Colour kCoinFace = FromPalette(255, 204, 0);
const Colour kCoinShine = FromPalette(255, 255, 102);
const Colour kEuroSign = FromPalette(102, 51, 0);

// Geometry in the units of the grid it was designed on (32 or 16 pixels).
struct Layout {
	double grid;
	double centre;
	double tileEdge;
	bool stars;
	double starRing;
	double coinRadius;
	double coinEdge;
	double coinRim;
	double signX; // centre of the C
	double signOuter;
	double signInner;
	double signGap; // half the opening of the C, in degrees
	double barLeft, barRight;
	double bar1Top, bar2Top, barHeight;
	// At 16 pixels no geometric euro sign reads well; this hand-set one replaces it.
	const char* const* signPixels;
	int signLeft, signTop;
	bool glint;
	// Radius of the tile's corners; 0 for the square tile of the palette icons.
	double corner;
};

// clang-format off
const char* const kSign16[] = {
	"...###",
	"..#...",
	"#####.",
	".#....",
	".#....",
	"#####.",
	"..#...",
	"...###",
	nullptr,
};
// clang-format on

const Layout kLayout32 = {
	.grid = 32,
	.centre = 16,
	.tileEdge = 1,
	.stars = true,
	.starRing = 13.4,
	.coinRadius = 10.5,
	.coinEdge = 1,
	.coinRim = 1,
	.signX = 17,
	.signOuter = 6.5,
	.signInner = 4.5,
	.signGap = 42,
	.barLeft = 8.5,
	.barRight = 17.5,
	.bar1Top = 14,
	.bar2Top = 17,
	.barHeight = 1,
	.signPixels = nullptr,
	.signLeft = 0,
	.signTop = 0,
	.glint = true,
	.corner = 0,
};

const Layout kLayout16 = {
	.grid = 16,
	.centre = 8,
	.tileEdge = 1,
	.stars = false,
	.starRing = 0,
	.coinRadius = 6.5,
	.coinEdge = 1,
	.coinRim = 0,
	.signX = 0,
	.signOuter = 0,
	.signInner = 0,
	.signGap = 0,
	.barLeft = 0,
	.barRight = 0,
	.bar1Top = 0,
	.bar2Top = 0,
	.barHeight = 0,
	.signPixels = kSign16,
	.signLeft = 5,
	.signTop = 4,
	.glint = false,
	.corner = 0,
};

double
Distance(double x, double y, double cx, double cy)
{
	return std::hypot(x - cx, y - cy);
}

bool
InsideStar(double x, double y, double cx, double cy, double outer)
{
	// Five-pointed star as ten alternating vertices, tested by ray casting.
	const double inner = outer * 0.4;
	double vx[10], vy[10];
	for (int i = 0; i < 10; i++) {
		double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
		double r = i % 2 == 0 ? outer : inner;
		vx[i] = cx + r * std::cos(angle);
		vy[i] = cy + r * std::sin(angle);
	}
	bool inside = false;
	for (int i = 0, j = 9; i < 10; j = i++) {
		if ((vy[i] > y) != (vy[j] > y)
			&& x < (vx[j] - vx[i]) * (y - vy[i]) / (vy[j] - vy[i]) + vx[i])
			inside = !inside;
	}
	return inside;
}

bool
OnStar(const Layout& l, double x, double y, double pixel)
{
	for (int i = 0; i < 12; i++) {
		// Turned by 15 degrees so that no star sits on the even grid's centre lines.
		double angle = (15 + 30 * i) * std::numbers::pi / 180;
		double sx = l.centre + l.starRing * std::cos(angle);
		double sy = l.centre - l.starRing * std::sin(angle);
		if (pixel >= 1) {
			// Too small for a shape: light the one pixel that holds the star's centre.
			if (std::floor(x) == std::floor(sx) && std::floor(y) == std::floor(sy))
				return true;
		} else if (InsideStar(x, y, sx, sy, 1.6)) {
			return true;
		}
	}
	return false;
}

bool
OnEuroSign(const Layout& l, double x, double y)
{
	if (l.signPixels != nullptr) {
		int column = int(std::floor(x)) - l.signLeft;
		int row = int(std::floor(y)) - l.signTop;
		for (int i = 0; l.signPixels[i] != nullptr; i++) {
			if (i == row && column >= 0 && column < int(std::strlen(l.signPixels[i])))
				return l.signPixels[i][column] == '#';
		}
		return false;
	}
	if (x >= l.barLeft && x < l.barRight
		&& ((y >= l.bar1Top && y < l.bar1Top + l.barHeight)
			|| (y >= l.bar2Top && y < l.bar2Top + l.barHeight)))
		return true;
	double d = Distance(x, y, l.signX, l.centre);
	if (d < l.signInner || d > l.signOuter)
		return false;
	double angle = std::atan2(l.centre - y, x - l.signX) * 180 / std::numbers::pi;
	return std::fabs(angle) > l.signGap;
}

// The colour at a point of the design; pixel is the size of one output pixel in grid units.
// Signed distance from the outline of the tile with rounded corners: negative inside.
double
TileDistance(const Layout& l, double x, double y)
{
	const double half = l.grid / 2 - l.corner;
	const double qx = std::fabs(x - l.centre) - half;
	const double qy = std::fabs(y - l.centre) - half;
	return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0)
		- l.corner;
}

Colour
IconColour(const Layout& l, double x, double y, double pixel)
{
	if (l.corner > 0) {
		const double d = TileDistance(l, x, y);
		if (d > 0)
			return {0, 0, 0, 0};
		if (d > -l.tileEdge)
			return kTileEdge;
	} else if (x < l.tileEdge || y < l.tileEdge || x >= l.grid - l.tileEdge
		|| y >= l.grid - l.tileEdge) {
		return kTileEdge;
	}

	double d = Distance(x, y, l.centre, l.centre);
	if (d <= l.coinRadius) {
		if (d > l.coinRadius - l.coinEdge)
			return kCoinEdge;
		if (OnEuroSign(l, x, y))
			return kEuroSign;
		if (d > l.coinRadius - l.coinEdge - l.coinRim)
			return kCoinRim;
		// A glint on the upper left of the face.
		double glint = Distance(x, y, l.centre - l.coinRadius * 0.45,
			l.centre - l.coinRadius * 0.45);
		if (l.glint && glint < l.coinRadius * 0.17)
			return kCoinShine;
		return kCoinFace;
	}
	if (Distance(x, y, l.centre + 1, l.centre + 1) <= l.coinRadius)
		return kShadow;
	if (l.stars && OnStar(l, x, y, pixel))
		return kStar;
	return kTile;
}

// Renders at size pixels; samples per pixel side > 1 smooths the edges.
std::vector<Colour>
RenderIcon(const Layout& l, int size, int samples)
{
	std::vector<Colour> pixels(size_t(size) * size);
	double pixel = l.grid / size;
	for (int py = 0; py < size; py++) {
		for (int px = 0; px < size; px++) {
			Colour sum = {0, 0, 0, 0};
			for (int sy = 0; sy < samples; sy++) {
				for (int sx = 0; sx < samples; sx++) {
					double x = (px + (sx + 0.5) / samples) * pixel;
					double y = (py + (sy + 0.5) / samples) * pixel;
					Colour c = IconColour(l, x, y, pixel);
					sum.r += c.r * c.a;
					sum.g += c.g * c.a;
					sum.b += c.b * c.a;
					sum.a += c.a;
				}
			}
			double n = samples * samples;
			pixels[size_t(py) * size + px] = {sum.r / n, sum.g / n, sum.b / n, sum.a / n};
		}
	}
	return pixels;
}

bool
WritePng(const std::vector<Colour>& pixels, int size, const std::string& path)
{
	cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
	cairo_surface_flush(surface);
	unsigned char* data = cairo_image_surface_get_data(surface);
	int stride = cairo_image_surface_get_stride(surface);
	for (int y = 0; y < size; y++) {
		uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
		for (int x = 0; x < size; x++) {
			// Premultiplied already (RenderIcon sums colour times coverage).
			const Colour& c = pixels[size_t(y) * size + x];
			auto byte = [](double v) { return uint32_t(std::lround(v * 255)); };
			row[x] = byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
		}
	}
	cairo_surface_mark_dirty(surface);
	bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
	cairo_surface_destroy(surface);
	std::printf("%s%s\n", ok ? "" : "cannot write ", path.c_str());
	return ok;
}

bool
WriteCmap8(const std::vector<Colour>& pixels, const std::string& path)
{
	std::vector<uint8> indices;
	for (const Colour& c : pixels) {
		auto byte = [](double v) { return uint8(std::lround(v * 255)); };
		indices.push_back(index_for_color({byte(c.r), byte(c.g), byte(c.b), byte(c.a)}));
	}
	FILE* file = std::fopen(path.c_str(), "wb");
	bool ok = file != nullptr
		&& std::fwrite(indices.data(), 1, indices.size(), file) == indices.size();
	if (file != nullptr)
		ok = std::fclose(file) == 0 && ok;
	std::printf("%s%s\n", ok ? "" : "cannot write ", path.c_str());
	return ok;
}

void
SetColour(cairo_t* cr, const Colour& c)
{
	cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void
RoundedSquare(cairo_t* cr, double inset, double size, double radius)
{
	const double a = inset;
	const double b = size - inset;
	cairo_new_sub_path(cr);
	cairo_arc(cr, b - radius, a + radius, radius, -std::numbers::pi / 2, 0);
	cairo_arc(cr, b - radius, b - radius, radius, 0, std::numbers::pi / 2);
	cairo_arc(cr, a + radius, b - radius, radius, std::numbers::pi / 2, std::numbers::pi);
	cairo_arc(cr, a + radius, a + radius, radius, std::numbers::pi, 3 * std::numbers::pi / 2);
	cairo_close_path(cr);
}

void
Disc(cairo_t* cr, double x, double y, double radius, const Colour& colour)
{
	cairo_arc(cr, x, y, radius, 0, 2 * std::numbers::pi);
	SetColour(cr, colour);
	cairo_fill(cr);
}

// The large design as paths, in the units of its grid; the same shapes IconColour samples.
void
DrawIconPaths(cairo_t* cr, const Layout& l)
{
	RoundedSquare(cr, 0, l.grid, l.corner);
	SetColour(cr, kTileEdge);
	cairo_fill(cr);
	RoundedSquare(cr, l.tileEdge, l.grid, l.corner - l.tileEdge);
	SetColour(cr, kTile);
	cairo_fill(cr);

	for (int i = 0; i < 12; i++) {
		const double angle = (15 + 30 * i) * std::numbers::pi / 180;
		const double sx = l.centre + l.starRing * std::cos(angle);
		const double sy = l.centre - l.starRing * std::sin(angle);
		for (int v = 0; v < 10; v++) {
			const double a = -std::numbers::pi / 2 + v * std::numbers::pi / 5;
			const double r = v % 2 == 0 ? 1.6 : 1.6 * 0.4;
			cairo_line_to(cr, sx + r * std::cos(a), sy + r * std::sin(a));
		}
		cairo_close_path(cr);
	}
	SetColour(cr, kStar);
	cairo_fill(cr);

	Disc(cr, l.centre + 1, l.centre + 1, l.coinRadius, kShadow);
	Disc(cr, l.centre, l.centre, l.coinRadius, kCoinEdge);
	Disc(cr, l.centre, l.centre, l.coinRadius - l.coinEdge, kCoinRim);
	Disc(cr, l.centre, l.centre, l.coinRadius - l.coinEdge - l.coinRim, kCoinFace);
	const double glint = l.centre - l.coinRadius * 0.45;
	Disc(cr, glint, glint, l.coinRadius * 0.17, kCoinShine);

	// The C of the euro sign: a ring open to the right by the gap on either side.
	const double gap = l.signGap * std::numbers::pi / 180;
	cairo_arc(cr, l.signX, l.centre, l.signOuter, gap, 2 * std::numbers::pi - gap);
	cairo_arc_negative(cr, l.signX, l.centre, l.signInner, 2 * std::numbers::pi - gap, gap);
	cairo_close_path(cr);
	for (double top : {l.bar1Top, l.bar2Top})
		cairo_rectangle(cr, l.barLeft, top, l.barRight - l.barLeft, l.barHeight);
	SetColour(cr, kEuroSign);
	cairo_fill(cr);
}

bool
WriteSvg(const Layout& l, double size, const std::string& path)
{
	cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), size, size);
	cairo_t* cr = cairo_create(surface);
	cairo_scale(cr, size / l.grid, size / l.grid);
	DrawIconPaths(cr, l);
	cairo_destroy(cr);
	cairo_surface_finish(surface);
	bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
	cairo_surface_destroy(surface);
	std::printf("%s%s\n", ok ? "" : "cannot write ", path.c_str());
	return ok;
}

} // namespace

bool
DrawIcons(const std::string& dir)
{
	std::vector<Colour> icon32 = RenderIcon(kLayout32, 32, 1);
	std::vector<Colour> icon16 = RenderIcon(kLayout16, 16, 1);
	bool ok = WriteCmap8(icon32, dir + "/icon32.cmap8");
	ok = WriteCmap8(icon16, dir + "/icon16.cmap8") && ok;

	// The desktop's icons: corners cut round, so the tile stands on any panel colour.
	Layout desktop16 = kLayout16;
	desktop16.corner = 3;
	Layout desktop32 = kLayout32;
	desktop32.corner = 5;
	ok = WritePng(RenderIcon(desktop16, 16, 4), 16, dir + "/icons/kambolux-16.png") && ok;
	ok = WritePng(RenderIcon(desktop32, 32, 4), 32, dir + "/icons/kambolux-32.png") && ok;
	for (int size : {48, 64, 128})
		ok = WritePng(RenderIcon(desktop32, size, 8), size,
				 dir + "/icons/kambolux-" + std::to_string(size) + ".png")
			&& ok;
	ok = WriteSvg(desktop32, 128, dir + "/icons/kambolux.svg") && ok;
	return ok;
}
