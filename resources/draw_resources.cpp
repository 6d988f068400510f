// Draws the program's images and icons into a folder (the resources/ folder by default).
// Run by hand after a change to a picture; the build embeds the files this writes, it never
// runs this program. Everything is drawn aliased on whole pixels so each image is exact at
// its tiny size; only the large desktop icons are smoothed. Each image is drawn again at 2 and
// 3 times its size (name@2x.png, name@3x.png) for scaled displays: the same layout, with the
// curves and slopes drawn at the finer resolution.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Canvas.h"
#include "SystemPalette.h"

#ifndef KAMBO_RESOURCE_DIR
#define KAMBO_RESOURCE_DIR "."
#endif

namespace {

using draw::Canvas;
using draw::Rgb;
using draw::sScale;
using draw::Stamp;

constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};
constexpr Rgb kPanel = {216, 216, 216};
constexpr Rgb kLightGrey = {232, 232, 232};
constexpr Rgb kShadow = {152, 152, 152};
constexpr Rgb kDarkFrame = {99, 97, 99};
constexpr Rgb kEuroBlue = {0, 51, 153};
constexpr Rgb kEuroGold = {255, 204, 0};

// #pragma mark - flags

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

bool DrawFlagStrip(const std::string& dir);
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
