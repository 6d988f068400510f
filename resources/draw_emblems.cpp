// The emblems of the later flags. At scale 1 each is set by hand pixel by pixel, since at 24 x 12
// a shape sampled from geometry loses what makes it recognisable; at 2 and 3 the same emblem is
// drawn from its geometry, so the finer pixels show outlines, crowns and curves.

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "Emblems.h"

namespace draw {

namespace {

using Colour = std::optional<Rgb>;

// Gives every surface pixel of the box (flag units) whose centre `colour` has a colour for.
template <typename Function>
void
Paint(Canvas& canvas, int top, double left, double upper, double right, double lower,
	Function colour)
{
	const int s = sScale;
	for (int y = int(upper * s); y < int(std::ceil(lower * s)); y++) {
		for (int x = int(left * s); x < int(std::ceil(right * s)); x++) {
			if (Colour c = colour((x + 0.5) / s, (y + 0.5) / s))
				canvas.SetFine(x, top * s + y, *c);
		}
	}
}

// A hand-set picture at scale 1, one character per pixel.
void
Map(Canvas& canvas, int left, int top, const std::vector<const char*>& rows,
	const std::vector<std::pair<char, Rgb>>& keys)
{
	for (const auto& [key, c] : keys)
		Stamp(canvas, left, top, rows, key, c);
}

// A shield: straight sides down to the shoulder, then a round or pointed base. `inset` > 0
// gives the field inside a border that wide, < 0 the border's outer edge.
struct Shield {
	double left, right, top, shoulder, bottom;
	bool pointed;

	bool Contains(double x, double y, double inset = 0) const
	{
		double l = left + inset, r = right - inset, t = top + inset, b = bottom - inset;
		if (x < l || x > r || y < t || y > b)
			return false;
		if (y <= shoulder)
			return true;
		double d = (y - shoulder) / (b - shoulder), half = (r - l) / 2;
		double width = pointed ? half * (1 - d * d) : half * std::sqrt(1 - d * d);
		return std::abs(x - (l + r) / 2) <= width;
	}
};

constexpr Rgb kWhite = {255, 255, 255};

} // namespace

// The red-white chequer, five by five and a rounded sixth row, under a crown of five small
// shields in the two blues; centred across all three bands.
void
CroatianShield(Canvas& canvas, int top)
{
	const Rgb red = {255, 0, 0}, blue = {23, 23, 150}, lightBlue = {0, 156, 222};
	const double fine = 1.0 / sScale, crownHeight = sScale == 1 ? 1 : 1.5;
	const Shield shield = {9.5, 14.5, 3.5, 7.5, 9.5, false};
	Paint(canvas, top, 8, 1, 16, 10.5, [&](double x, double y) -> Colour {
		if (y < shield.top) {
			if (x < shield.left || x > shield.right || y < shield.top - crownHeight)
				return {};
			double cell = x - shield.left, u = cell - std::floor(cell);
			if (sScale > 2 && (u < fine || u > 1 - fine))
				return red;
			double arch = (shield.top - crownHeight)
				+ 0.5 * crownHeight * (2 * u - 1) * (2 * u - 1);
			if (sScale > 1 && y < arch)
				return {};
			return int(cell) % 2 == 0 ? lightBlue : blue;
		}
		if (shield.Contains(x, y)) {
			int column = int(x - shield.left), row = int(y - shield.top);
			return (column + row) % 2 == 0 ? red : kWhite;
		}
		if (sScale > 1 && shield.Contains(x, y, -fine))
			return red;
		return {};
	});
}

// The George Cross, grey with its red edge, in the white half's upper corner.
void
MalteseCross(Canvas& canvas, int top)
{
	const Rgb red = {207, 20, 43}, grey = {166, 166, 166}, darkGrey = {112, 112, 112};
	if (sScale == 1) {
		// clang-format off
		Map(canvas, 1, top + 1, {
			"  r  ",
			" rgr ",
			"rgggr",
			" rgr ",
			"  r  ",
		}, {{'r', red}, {'g', grey}});
		// clang-format on
		return;
	}
	// A cross pattée: arms that widen from the centre to their ends, and a round medallion.
	const double cx = 3.5, cy = 3.5, reach = 2.2, neck = 0.3, end = 0.9, fine = 1.0 / sScale;
	auto inCross = [&](double x, double y, double grow) {
		double along = std::max(std::abs(x - cx), std::abs(y - cy));
		double across = std::min(std::abs(x - cx), std::abs(y - cy));
		return along <= reach + grow && across <= neck + (end - neck) * along / reach + grow;
	};
	Paint(canvas, top, 0, 0, 7, 7, [&](double x, double y) -> Colour {
		double r = std::hypot(x - cx, y - cy);
		if (r <= 0.7)
			return r > 0.7 - fine ? darkGrey : grey;
		if (inCross(x, y, 0))
			return grey;
		if (inCross(x, y, fine))
			return red;
		return {};
	});
}

// The white double cross on the blue triple hill, in a red shield with a white border, left of
// the centre over all three bands.
void
SlovakShield(Canvas& canvas, int top)
{
	const Rgb red = {238, 28, 37}, blue = {11, 78, 162};
	if (sScale == 1) {
		// clang-format off
		Map(canvas, 5, top + 2, {
			"WWWWWWW",
			"WRRWRRW",
			"WRWWWRW",
			"WRRWRRW",
			"WRWWWRW",
			"WRBWBRW",
			"WBBBBBW",
			" WBBBW ",
			"  WWW  ",
		}, {{'W', kWhite}, {'R', red}, {'B', blue}});
		// clang-format on
		return;
	}
	const Shield shield = {4.5, 11.5, 1.5, 6.5, 11.0, false};
	const double cx = 8;
	Paint(canvas, top, 4, 1, 12, 11.5, [&](double x, double y) -> Colour {
		if (!shield.Contains(x, y))
			return {};
		if (!shield.Contains(x, y, 0.5))
			return kWhite;
		auto inHill = [&](double hx, double hy, double radius) {
			return std::hypot(x - hx, y - hy) <= radius;
		};
		if (inHill(cx, 9.7, 1.3) || inHill(cx - 1.7, 10.2, 1.1) || inHill(cx + 1.7, 10.2, 1.1))
			return blue;
		double dx = std::abs(x - cx);
		bool stem = dx <= 0.45 && y >= 2.5;
		bool upper = std::abs(y - 3.9) <= 0.45 && dx <= 1.4;
		bool lower = std::abs(y - 5.9) <= 0.5 && dx <= 2.1;
		return stem || upper || lower ? kWhite : red;
	});
}

// Triglav in white under three yellow stars, two wavy lines below it, on a blue shield with a
// red border; on the edge of the white and the blue band near the hoist.
void
SlovenianShield(Canvas& canvas, int top)
{
	const Rgb red = {237, 28, 36}, blue = {0, 93, 164}, yellow = {255, 221, 0};
	if (sScale == 1) {
		// clang-format off
		Map(canvas, 4, top + 1, {
			"RRRRR",
			"RYBYR",
			"RBYBR",
			"RBWBR",
			"RWWWR",
			" RBR ",
			"  R  ",
		}, {{'R', red}, {'Y', yellow}, {'B', blue}, {'W', kWhite}});
		// clang-format on
		return;
	}
	const Shield shield = {4.0, 9.0, 1.0, 4.6, 8.0, true};
	const double cx = 6.5;
	// Six-pointed: inside one of two triangles around the centre.
	auto inStar = [](double x, double y, double sx, double sy) {
		const double radius = 0.7;
		double dx = std::abs(x - sx), dy = y - sy;
		auto inTriangle = [&](double v) {
			return v <= radius / 2 && std::sqrt(3.0) * dx <= v + radius;
		};
		return inTriangle(dy) || inTriangle(-dy);
	};
	Paint(canvas, top, 3.5, 0.5, 9.5, 8.5, [&](double x, double y) -> Colour {
		if (!shield.Contains(x, y))
			return {};
		if (!shield.Contains(x, y, 0.45))
			return red;
		if (inStar(x, y, cx - 1.0, 2.5) || inStar(x, y, cx + 1.0, 2.5) || inStar(x, y, cx, 3.4))
			return yellow;
		double ridge = std::min({4.0 + 1.2 * std::abs(x - cx), 4.9 + 1.2 * std::abs(x - cx + 1.2),
			4.9 + 1.2 * std::abs(x - cx - 1.2)});
		if (y < ridge)
			return blue;
		for (double line : {5.9, 6.7}) {
			if (std::abs(y - line - 0.15 * std::sin((x - cx) * 5.5)) <= 0.2)
				return blue;
		}
		return kWhite;
	});
}

// The copper island above two olive branches on white.
void
CypriotIsland(Canvas& canvas, int top)
{
	const Rgb copper = {213, 120, 0}, olive = {78, 91, 49};
	if (sScale == 1) {
		// clang-format off
		Map(canvas, 6, top + 2, {
			"          oo",
			"        oo  ",
			"  oooooooo  ",
			" ooooooo    ",
			"   ooo      ",
			"            ",
			"  g       g ",
			"   gg   gg  ",
			"     ggg    ",
		}, {{'o', copper}, {'g', olive}});
		// clang-format on
		return;
	}
	// The coast, west to east along the north and back along the south.
	const std::vector<std::pair<double, double>> kCoast = {{6.6, 5.4}, {7.4, 4.4}, {9.4, 4.1},
		{11.4, 3.9}, {13.3, 3.6}, {15.2, 2.9}, {17.9, 1.9}, {17.4, 2.6}, {15.8, 3.8}, {14.4, 4.5},
		{14.0, 5.4}, {12.6, 5.8}, {11.2, 6.2}, {10.2, 6.9}, {9.3, 6.5}, {8.0, 6.3}, {7.2, 6.1}};
	std::vector<std::pair<double, double>> coast;
	coast.reserve(kCoast.size());
	for (const auto& [x, y] : kCoast)
		coast.emplace_back(x, top + y);
	canvas.Polygon(coast, copper);
	// Each branch a bent stem from below the island's middle outwards, leaves on both sides.
	struct Point {
		double x, y;
	};
	auto along = [](double t, Point from, Point bend, Point to) {
		double a = (1 - t) * (1 - t), b = 2 * t * (1 - t), c = t * t;
		return Point{a * from.x + b * bend.x + c * to.x, a * from.y + b * bend.y + c * to.y};
	};
	Paint(canvas, top, 7, 7, 17, 11, [&](double x, double y) -> Colour {
		for (double side : {-1.0, 1.0}) {
			Point from = {12 - 0.6 * side, 10.4}, bend = {12 + 2.6 * side, 10.5},
				  to = {12 + 4.2 * side, 8.0};
			for (int k = 0; k <= 20; k++) {
				Point p = along(k / 20.0, from, bend, to);
				if (std::hypot(x - p.x, y - p.y) <= 0.22)
					return olive;
			}
			for (int k = 0; k < 6; k++) {
				double t = 0.2 + 0.15 * k, sign = k % 2 == 0 ? 1 : -1;
				Point p = along(t, from, bend, to), q = along(t + 0.01, from, bend, to);
				double tx = q.x - p.x, ty = q.y - p.y, length = std::hypot(tx, ty);
				tx /= length;
				ty /= length;
				// The leaf leans forward along the stem, off to one side.
				double lx = p.x + sign * -ty * 0.35 + tx * 0.2,
					   ly = p.y + sign * tx * 0.35 + ty * 0.2;
				double u = (x - lx) * tx + (y - ly) * ty, v = -(x - lx) * ty + (y - ly) * tx;
				if (u * u / (0.5 * 0.5) + v * v / (0.22 * 0.22) <= 1)
					return olive;
			}
		}
		return {};
	});
}

} // namespace draw
