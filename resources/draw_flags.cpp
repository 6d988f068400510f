// The flag strip: every national currency's flag, 12 rows each, in currency order. The first
// twelve rows are what the window's screenshots were taken with; flags are only ever appended.

#include <string>
#include <vector>

#include "Canvas.h"
#include "Emblems.h"

using draw::Canvas;
using draw::kFlagHeight;
using draw::kFlagWidth;
using draw::Rgb;
using draw::sScale;

namespace {

constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};

enum class Bands { kVertical, kHorizontal };

struct Flag {
	const char* country;
	Bands direction;
	std::vector<Rgb> colours;
	// Pixels per band, summing to the flag's width or height; a fraction puts the edge where
	// the finer scales can show it.
	std::vector<double> sizes;
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

// Currency order: BEF, DEM, FIM, FRF, GRD, IEP, ITL, LUF, NLG, ATS, PTE, ESP, then BGN, EEK,
// HRK, LVL, LTL, MTL, SKK, SIT, CYP.
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
	{"Bulgaria", Bands::kHorizontal, {kWhite, {0, 150, 110}, {214, 38, 18}}, {4, 4, 4}, nullptr},
	{"Estonia", Bands::kHorizontal, {{0, 114, 206}, kBlack, kWhite}, {4, 4, 4}, nullptr},
	{"Croatia", Bands::kHorizontal, {{255, 0, 0}, kWhite, {23, 23, 150}}, {4, 4, 4},
		draw::CroatianShield},
	{"Latvia", Bands::kHorizontal, {{158, 48, 57}, kWhite, {158, 48, 57}}, {4.8, 2.4, 4.8},
		nullptr},
	{"Lithuania", Bands::kHorizontal, {{253, 185, 19}, {0, 106, 68}, {193, 39, 45}}, {4, 4, 4},
		nullptr},
	{"Malta", Bands::kVertical, {kWhite, {207, 20, 43}}, {12, 12}, draw::MalteseCross},
	{"Slovakia", Bands::kHorizontal, {kWhite, {11, 78, 162}, {238, 28, 37}}, {4, 4, 4},
		draw::SlovakShield},
	{"Slovenia", Bands::kHorizontal, {kWhite, {0, 93, 164}, {237, 28, 36}}, {4, 4, 4},
		draw::SlovenianShield},
	{"Cyprus", Bands::kVertical, {kWhite}, {24}, draw::CypriotIsland},
};
// clang-format on

} // namespace

bool
DrawFlagStrip(const std::string& dir)
{
	Canvas canvas(kFlagWidth, kFlagHeight * int(kFlags.size()));
	for (size_t i = 0; i < kFlags.size(); i++) {
		const Flag& flag = kFlags[i];
		int top = int(i) * kFlagHeight;
		double offset = 0;
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
