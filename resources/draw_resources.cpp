// Draws the program's images and icons into a folder (the resources/ folder by default).
// Run by hand after a change to a picture; the build embeds the files this writes, it never
// runs this program. Everything is drawn aliased on whole pixels so each image is exact at
// its tiny size; only the large desktop icons are smoothed. Each image is drawn again at 2 and
// 3 times its size (name@2x.png, name@3x.png) for scaled displays: the same layout, with the
// curves and slopes drawn at the finer resolution.

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "SystemPalette.h"

#ifndef KAMBO_RESOURCE_DIR
#define KAMBO_RESOURCE_DIR "."
#endif

namespace {

struct Rgb {
	uint8 r, g, b;
};

// The factor the images are being drawn at: 1, 2 or 3.
int sScale = 1;

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
void
Stamp(Canvas& canvas, int left, int top, const std::vector<const char*>& rows, char key, Rgb c)
{
	for (size_t y = 0; y < rows.size(); y++) {
		for (int x = 0; rows[y][x] != '\0'; x++) {
			if (rows[y][x] == key)
				canvas.Set(left + x, top + int(y), c);
		}
	}
}

constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};
constexpr Rgb kPanel = {216, 216, 216};
constexpr Rgb kLightGrey = {232, 232, 232};
constexpr Rgb kShadow = {152, 152, 152};
constexpr Rgb kDarkFrame = {99, 97, 99};
constexpr Rgb kEuroBlue = {0, 51, 153};
constexpr Rgb kEuroGold = {255, 204, 0};

// #pragma mark - flags

constexpr int kFlagWidth = 24;
constexpr int kFlagHeight = 12;

enum class Bands { kVertical, kHorizontal };

struct Flag {
	const char* country;
	Bands direction;
	std::vector<Rgb> colours;
	std::vector<int> sizes; // pixels per band, summing to the flag's width or height
	void (*extra)(Canvas&, int top);
};

void
FinnishCross(Canvas& canvas, int top)
{
	const Rgb blue = {0, 53, 128};
	canvas.Fill(7, top, 4, kFlagHeight, blue);
	canvas.Fill(0, top + 4, kFlagWidth, 4, blue);
}

// Nine stripes do not divide twelve rows; each row takes the stripe under its centre, which
// spreads the three double rows evenly. The canton covers the first five stripes.
void
GreekStripesAndCross(Canvas& canvas, int top)
{
	const Rgb blue = {13, 94, 175};
	for (int y = 0; y < kFlagHeight; y++) {
		int stripe = int((y + 0.5) * 9 / kFlagHeight);
		canvas.Fill(0, top + y, kFlagWidth, 1, stripe % 2 == 0 ? blue : kWhite);
	}
	canvas.Fill(0, top, 7, 7, blue);
	canvas.Fill(3, top, 1, 7, kWhite);
	canvas.Fill(0, top + 3, 7, 1, kWhite);
}

// The armillary sphere, shrunk to a disc centred on the green-red border: the surface pixels
// whose centres lie inside it.
void
PortugueseDisc(Canvas& canvas, int top)
{
	const double cx = 10, cy = 6, radius = 3;
	for (int y = 3 * sScale; y < 9 * sScale; y++) {
		for (int x = 7 * sScale; x < 13 * sScale; x++) {
			double dx = (x + 0.5) / sScale - cx, dy = (y + 0.5) / sScale - cy;
			if (dx * dx + dy * dy <= radius * radius)
				canvas.SetFine(x, top * sScale + y, {255, 222, 0});
		}
	}
	canvas.Fill(9, top + 5, 2, 2, {200, 16, 46});
}

// Currency order: BEF, DEM, FIM, FRF, GRD, IEP, ITL, LUF, NLG, ATS, PTE, ESP.
// clang-format off
const std::vector<Flag> kFlags = {
	{"Belgium", Bands::kVertical, {kBlack, {253, 218, 36}, {239, 51, 64}}, {8, 8, 8}, nullptr},
	{"Germany", Bands::kHorizontal, {kBlack, {221, 0, 0}, {255, 206, 0}}, {4, 4, 4}, nullptr},
	{"Finland", Bands::kVertical, {kWhite}, {24}, FinnishCross},
	{"France", Bands::kVertical, {{0, 35, 149}, kWhite, {237, 41, 57}}, {8, 8, 8}, nullptr},
	{"Greece", Bands::kVertical, {kWhite}, {24}, GreekStripesAndCross},
	{"Ireland", Bands::kVertical, {{22, 155, 98}, kWhite, {255, 136, 62}}, {8, 8, 8}, nullptr},
	{"Italy", Bands::kVertical, {{0, 146, 70}, kWhite, {206, 43, 55}}, {8, 8, 8}, nullptr},
	{"Luxembourg", Bands::kHorizontal, {{237, 41, 57}, kWhite, {0, 161, 222}}, {4, 4, 4},
		nullptr},
	{"Netherlands", Bands::kHorizontal, {{174, 28, 40}, kWhite, {33, 70, 139}}, {4, 4, 4},
		nullptr},
	{"Austria", Bands::kHorizontal, {{200, 16, 46}, kWhite, {200, 16, 46}}, {4, 4, 4}, nullptr},
	{"Portugal", Bands::kVertical, {{0, 102, 0}, {218, 41, 28}}, {10, 14}, PortugueseDisc},
	{"Spain", Bands::kHorizontal, {{170, 21, 27}, {241, 191, 0}, {170, 21, 27}}, {3, 6, 3},
		nullptr},
};
// clang-format on

bool
DrawFlagStrip(const std::string& dir)
{
	Canvas canvas(kFlagWidth, kFlagHeight * int(kFlags.size()));
	for (size_t i = 0; i < kFlags.size(); i++) {
		const Flag& flag = kFlags[i];
		int top = int(i) * kFlagHeight;
		int offset = 0;
		for (size_t band = 0; band < flag.colours.size(); band++) {
			if (flag.direction == Bands::kVertical)
				canvas.Fill(offset, top, flag.sizes[band], kFlagHeight, flag.colours[band]);
			else
				canvas.Fill(0, top + offset, kFlagWidth, flag.sizes[band], flag.colours[band]);
			offset += flag.sizes[band];
		}
		if (flag.extra != nullptr)
			flag.extra(canvas, top);
	}
	return canvas.Save(dir, "euroflag");
}

// Twelve single-pixel stars on the lattice points nearest to a circle of radius 5; at the
// larger sizes, five-pointed stars on the circle itself.
bool
DrawEuroFlag(const std::string& dir)
{
	static const int kStars[12][2] = {{0, -5}, {2, -4}, {4, -2}, {5, 0}, {4, 2}, {2, 4}, {0, 5},
		{-2, 4}, {-4, 2}, {-5, 0}, {-4, -2}, {-2, -4}};
	Canvas canvas(15, 15);
	canvas.Fill(0, 0, 15, 15, kEuroBlue);
	if (sScale == 1) {
		for (const auto& star : kStars)
			canvas.Set(7 + star[0], 7 + star[1], kEuroGold);
		return canvas.Save(dir, "EUFlag");
	}
	const double centre = 7.5, circle = 5.0, outer = 0.95, inner = 0.4;
	for (int i = 0; i < 12; i++) {
		double angle = i * M_PI / 6;
		double x = centre + circle * std::sin(angle), y = centre - circle * std::cos(angle);
		std::vector<std::pair<double, double>> points;
		for (int k = 0; k < 10; k++) {
			double r = k % 2 == 0 ? outer : inner, a = k * M_PI / 5;
			points.push_back({x + r * std::sin(a), y - r * std::cos(a)});
		}
		canvas.Polygon(points, kEuroGold);
	}
	return canvas.Save(dir, "EUFlag");
}

// #pragma mark - buttons

// A tile with a light top-left and a dark bottom-right edge; pressed swaps the two.
void
Bevel(Canvas& canvas, int width, int height, bool pressed)
{
	Rgb light = pressed ? kDarkFrame : kWhite;
	Rgb dark = pressed ? kWhite : kDarkFrame;
	canvas.Fill(0, 0, width, height, kPanel);
	canvas.Fill(0, 0, width, 1, light);
	canvas.Fill(0, 0, 1, height, light);
	canvas.Fill(0, height - 1, width, 1, dark);
	canvas.Fill(width - 1, 0, 1, height, dark);
	if (!pressed) {
		canvas.Fill(1, height - 2, width - 2, 1, kShadow);
		canvas.Fill(width - 2, 1, 1, height - 2, kShadow);
	} else {
		canvas.Fill(1, 1, width - 2, 1, kShadow);
		canvas.Fill(1, 1, 1, height - 2, kShadow);
	}
}

bool
DrawSwapArrow(const std::string& dir)
{
	Canvas canvas(21, 22);
	Bevel(canvas, 21, 22, false);
	canvas.Fill(8, 3, 5, 8, kBlack);
	// The head's rows, each a pixel narrower on both sides; larger, its true slopes.
	if (sScale == 1) {
		for (int row = 0; row <= 8; row++)
			canvas.Fill(2 + row, 11 + row, 17 - 2 * row, 1, kBlack);
	} else {
		canvas.Polygon({{2, 11}, {19, 11}, {10.5, 20}}, kBlack);
	}
	return canvas.Save(dir, "pfou");
}

// A pocket calculator: dark case, green display, a 3 x 4 key grid with a red "=" key.
void
CalculatorSymbol(Canvas& canvas, int left, int top)
{
	canvas.Fill(left, top, 12, 19, kBlack);
	canvas.Fill(left + 1, top + 1, 10, 17, {51, 51, 51});
	canvas.Fill(left + 2, top + 2, 8, 3, {153, 204, 153});
	for (int row = 0; row < 4; row++) {
		for (int column = 0; column < 3; column++) {
			bool equals = row == 3 && column == 2;
			canvas.Fill(left + 2 + 3 * column, top + 6 + 3 * row, 2, 2,
				equals ? Rgb{255, 51, 51} : kLightGrey);
		}
	}
}

bool
DrawCalculator(const std::string& dir, bool pressed)
{
	Canvas canvas(18, 23);
	Bevel(canvas, 18, 23, pressed);
	int shift = pressed ? 1 : 0;
	CalculatorSymbol(canvas, 3 + shift, 2 + shift);
	return canvas.Save(dir, pressed ? "calc2" : "calc1");
}

bool
DrawQuestionMark(const std::string& dir, bool pressed)
{
	// clang-format off
	static const std::vector<const char*> kGlyph = {
		"  ####  ",
		" ##  ## ",
		"     ## ",
		"    ##  ",
		"   ##   ",
		"   ##   ",
		"        ",
		"   ##   ",
	};
	// clang-format on
	Canvas canvas(10, 10);
	canvas.Fill(0, 0, 10, 10, pressed ? kShadow : kLightGrey);
	Stamp(canvas, 1, 1, kGlyph, '#', kBlack);
	return canvas.Save(dir, pressed ? "frage2" : "frage1");
}

} // namespace

bool DrawIcons(const std::string& dir);

int
main(int argc, char** argv)
{
	std::string dir = argc > 1 ? argv[1] : KAMBO_RESOURCE_DIR;
	std::error_code error;
	std::filesystem::create_directories(dir + "/icons", error);
	bool ok = true;
	for (sScale = 1; sScale <= 3; sScale++) {
		ok = DrawFlagStrip(dir) && ok;
		ok = DrawEuroFlag(dir) && ok;
		ok = DrawSwapArrow(dir) && ok;
		ok = DrawCalculator(dir, false) && ok;
		ok = DrawCalculator(dir, true) && ok;
		ok = DrawQuestionMark(dir, false) && ok;
		ok = DrawQuestionMark(dir, true) && ok;
	}
	sScale = 1;
	ok = DrawIcons(dir) && ok;
	return ok ? 0 : 1;
}
