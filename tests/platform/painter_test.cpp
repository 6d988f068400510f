// Painter primitives drawn into an image surface and checked pixel by pixel.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <utility>

#include "Bitmap.h"
#include "Font.h"
#include "Painter.h"

using BPrivate::Painter;

namespace {

typedef std::set<std::pair<int, int>> PixelSet;

const rgb_color kBackground = {200, 200, 200, 255};
const rgb_color kInk = {10, 20, 30, 255};

class PainterTest : public ::testing::Test {
protected:
	static constexpr int kWidth = 128;
	static constexpr int kHeight = 96;

	void SetUp() override
	{
		fSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
		fPainter = std::make_unique<Painter>(fSurface, BPoint(0, 0), Whole());
		fPainter->FillRect(Whole(), kBackground);
	}

	void TearDown() override
	{
		fPainter.reset();
		cairo_surface_destroy(fSurface);
	}

	static BRect Whole() { return BRect(0, 0, kWidth - 1, kHeight - 1); }

	rgb_color PixelAt(int x, int y)
	{
		cairo_surface_flush(fSurface);
		const uint8* data = cairo_image_surface_get_data(fSurface);
		uint32 pixel = reinterpret_cast<const uint32*>(
			data + y * cairo_image_surface_get_stride(fSurface))[x];
		return make_color(pixel >> 16, pixel >> 8, pixel, pixel >> 24);
	}

	// Every pixel that no longer shows the background.
	PixelSet Drawn()
	{
		PixelSet drawn;
		for (int y = 0; y < kHeight; y++) {
			for (int x = 0; x < kWidth; x++) {
				if (PixelAt(x, y) != kBackground)
					drawn.insert({x, y});
			}
		}
		return drawn;
	}

	void Reset() { fPainter->FillRect(Whole(), kBackground); }

	cairo_surface_t* fSurface = nullptr;
	std::unique_ptr<Painter> fPainter;
};

PixelSet
RectPixels(int left, int top, int right, int bottom)
{
	PixelSet pixels;
	for (int y = top; y <= bottom; y++) {
		for (int x = left; x <= right; x++)
			pixels.insert({x, y});
	}
	return pixels;
}

BRect
BoundsOf(const PixelSet& pixels)
{
	BRect bounds(1e9, 1e9, -1e9, -1e9);
	for (auto [x, y] : pixels)
		bounds = bounds | BRect(x, y, x, y);
	return pixels.empty() ? BRect() : BRect(bounds);
}

} // namespace

TEST_F(PainterTest, RectanglesIncludeBothEdgesAndFollowTheOrigin)
{
	struct Case {
		BRect rect;
		BPoint origin;
		PixelSet expected;
	} cases[] = {
		{BRect(2, 3, 5, 7), BPoint(0, 0), RectPixels(2, 3, 5, 7)},
		{BRect(4, 4, 4, 4), BPoint(0, 0), RectPixels(4, 4, 4, 4)},
		{BRect(0, 0, 9, 9), BPoint(10, 20), RectPixels(10, 20, 19, 29)},
		{BRect(5, 5, 4, 4), BPoint(0, 0), {}},
		{BRect(-5, -5, 2, 1), BPoint(0, 0), RectPixels(0, 0, 2, 1)},
	};
	for (const Case& c : cases) {
		Reset();
		fPainter->SetOrigin(c.origin);
		fPainter->FillRect(c.rect, kInk);
		EXPECT_EQ(Drawn(), c.expected) << c.rect.left << "," << c.rect.top;
	}
}

TEST_F(PainterTest, LinesLightBothEndsAndOnePixelPerStep)
{
	struct Case {
		BPoint from;
		BPoint to;
		PixelSet expected;
	} cases[] = {
		{BPoint(2, 5), BPoint(9, 5), RectPixels(2, 5, 9, 5)},
		{BPoint(4, 6), BPoint(4, 1), RectPixels(4, 1, 4, 6)},
		{BPoint(3, 3), BPoint(3, 3), {{3, 3}}},
		{BPoint(1, 1), BPoint(4, 4), {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},
		{BPoint(0, 0), BPoint(6, 2), {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}}},
		{BPoint(6, 2), BPoint(0, 0), {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}}},
		{BPoint(10, 0), BPoint(8, 6), {{10, 0}, {10, 1}, {9, 2}, {9, 3}, {9, 4}, {8, 5}, {8, 6}}},
	};
	for (const Case& c : cases) {
		Reset();
		fPainter->StrokeLine(c.from, c.to, kInk, 1);
		EXPECT_EQ(Drawn(), c.expected)
			<< c.from.x << "," << c.from.y << " " << c.to.x << "," << c.to.y;
	}
}

TEST_F(PainterTest, EveryLineStaysWithinHalfAPixelOfTheIdealOne)
{
	for (int dx = -9; dx <= 9; dx += 3) {
		for (int dy = -8; dy <= 8; dy++) {
			BPoint from(40, 40);
			BPoint to(40 + dx, 40 + dy);
			Reset();
			fPainter->StrokeLine(from, to, kInk, 1);
			PixelSet forward = Drawn();
			Reset();
			fPainter->StrokeLine(to, from, kInk, 1);
			EXPECT_EQ(Drawn(), forward) << "direction matters for " << dx << "," << dy;

			ASSERT_EQ(forward.size(), (size_t)std::max(std::abs(dx), std::abs(dy)) + 1);
			EXPECT_TRUE(forward.count({40, 40}) && forward.count({40 + dx, 40 + dy}));
			for (auto [x, y] : forward) {
				if (dx == 0 && dy == 0)
					continue;
				// Distance along the shorter axis from the ideal line.
				double deviation = std::abs(dx) >= std::abs(dy)
					? (y - 40) - (double)dy * (x - 40) / dx
					: (x - 40) - (double)dx * (y - 40) / dy;
				EXPECT_LE(std::fabs(deviation), 0.5) << x << "," << y;
			}
		}
	}
}

TEST_F(PainterTest, WidePensStampSquaresLeaningDownRightWhenEven)
{
	fPainter->StrokeLine(BPoint(5, 10), BPoint(15, 10), kInk, 3);
	EXPECT_EQ(Drawn(), RectPixels(4, 9, 16, 11));
	Reset();
	fPainter->StrokeLine(BPoint(5, 10), BPoint(5, 20), kInk, 2);
	EXPECT_EQ(Drawn(), RectPixels(5, 10, 6, 21));
	Reset();
	fPainter->StrokeLine(BPoint(10, 10), BPoint(20, 14), kInk, 3);
	PixelSet thick = Drawn();
	Reset();
	fPainter->StrokeLine(BPoint(10, 10), BPoint(20, 14), kInk, 1);
	for (auto [x, y] : Drawn()) {
		for (auto [sx, sy] : RectPixels(x - 1, y - 1, x + 1, y + 1))
			EXPECT_TRUE(thick.count({sx, sy})) << sx << "," << sy;
	}
}

TEST_F(PainterTest, EllipsesFillTheirBoxExactly)
{
	const BRect boxes[] = {
		BRect(2, 2, 43, 24),
		BRect(1, 1, 44, 25),
		BRect(5, 5, 5, 5),
		BRect(5, 5, 6, 6),
		BRect(3, 4, 5, 20),
		BRect(10, 10, 110, 11),
		BRect(0, 0, 1, 60),
		BRect(20, 30, 90, 90),
	};
	for (BRect box : boxes) {
		Reset();
		fPainter->FillEllipse(box, kInk);
		PixelSet drawn = Drawn();
		EXPECT_EQ(BoundsOf(drawn), box) << box.left << "," << box.top;
		for (auto [x, y] : drawn) {
			int mirroredX = (int)(box.left + box.right) - x;
			int mirroredY = (int)(box.top + box.bottom) - y;
			EXPECT_TRUE(drawn.count({mirroredX, y}) && drawn.count({x, mirroredY}))
				<< "not symmetric at " << x << "," << y;
		}
	}
}

TEST_F(PainterTest, EllipsesCoverThePixelsWhoseCentresLieInside)
{
	const BRect box(10, 10, 50, 30);
	fPainter->FillEllipse(box, kInk);
	PixelSet drawn = Drawn();
	double cx = (box.left + box.right + 1) / 2;
	double cy = (box.top + box.bottom + 1) / 2;
	double a = (box.Width() + 1) / 2;
	double b = (box.Height() + 1) / 2;
	for (int y = 0; y < kHeight; y++) {
		for (int x = 0; x < kWidth; x++) {
			double u = (x + 0.5 - cx) / a;
			double v = (y + 0.5 - cy) / b;
			double value = u * u + v * v;
			if (value < 0.98) {
				EXPECT_TRUE(drawn.count({x, y})) << x << "," << y;
			} else if (value > 1.02) {
				EXPECT_FALSE(drawn.count({x, y})) << x << "," << y;
			}
		}
	}
}

TEST_F(PainterTest, EllipseOutlinesLieInsideTheBoxAndLeaveTheMiddle)
{
	const BRect box(1, 1, 44, 25);
	fPainter->StrokeEllipse(box, kInk, 2);
	PixelSet ring = Drawn();
	EXPECT_EQ(BoundsOf(ring), box);
	EXPECT_FALSE(ring.count({22, 13}));
	// Two pixels thick where the box's edges touch it.
	EXPECT_TRUE(ring.count({22, 1}) && ring.count({22, 2}) && !ring.count({22, 3}));
	EXPECT_TRUE(ring.count({1, 13}) && ring.count({2, 13}) && !ring.count({3, 13}));

	// The outline and the filling of the inset box together are the filled ellipse.
	Reset();
	fPainter->FillEllipse(box.InsetByCopy(2, 2), kInk);
	PixelSet inner = Drawn();
	Reset();
	fPainter->FillEllipse(box, kInk);
	PixelSet whole = Drawn();
	PixelSet combined = ring;
	combined.insert(inner.begin(), inner.end());
	EXPECT_EQ(combined, whole);
	for (auto pixel : inner)
		EXPECT_FALSE(ring.count(pixel));
}

TEST_F(PainterTest, BitmapsCopyOneToOneAndClipAtTheirEdges)
{
	// A 24 x 36 strip whose pixel colours encode their coordinates.
	BBitmap strip(BRect(0, 0, 23, 35), B_RGB32);
	auto colorOf = [](int x, int y) { return make_color(x * 10, y * 7, 99); };
	for (int y = 0; y < 36; y++) {
		for (int x = 0; x < 24; x++) {
			rgb_color c = colorOf(x, y);
			uint32 value = (uint32(c.red) << 16) | (uint32(c.green) << 8) | c.blue;
			strip.SetBits(&value, 4, y * strip.BytesPerRow() + x * 4, B_RGB32);
		}
	}

	// A 28-wide source on the 24-wide strip: only 24 columns are drawn, 1:1.
	fPainter->DrawBitmap(&strip, BRect(0, 12, 27, 23), BRect(10, 30, 37, 41), B_OP_COPY);
	EXPECT_EQ(Drawn(), RectPixels(10, 30, 33, 41));
	for (int y = 30; y <= 41; y++) {
		for (int x = 10; x <= 33; x++)
			ASSERT_EQ(PixelAt(x, y), colorOf(x - 10, y - 30 + 12)) << x << "," << y;
	}

	// Doubling picks the nearest source pixel.
	Reset();
	fPainter->DrawBitmap(&strip, BRect(0, 0, 1, 1), BRect(50, 50, 53, 53), B_OP_COPY);
	EXPECT_EQ(PixelAt(51, 51), colorOf(0, 0));
	EXPECT_EQ(PixelAt(52, 53), colorOf(1, 1));
	EXPECT_EQ(Drawn(), RectPixels(50, 50, 53, 53));
}

TEST_F(PainterTest, OverLeavesOutTransparentPixels)
{
	BBitmap icon(BRect(0, 0, 1, 0), B_CMAP8);
	const uint8 indices[] = {B_TRANSPARENT_MAGIC_CMAP8, 0};
	icon.SetBits(indices, 2, 0, B_CMAP8);
	fPainter->DrawBitmap(&icon, icon.Bounds(), BRect(5, 5, 6, 5), B_OP_OVER);
	EXPECT_EQ(PixelAt(5, 5), kBackground);
	EXPECT_EQ(PixelAt(6, 5), make_color(0, 0, 0));
	fPainter->DrawBitmap(&icon, icon.Bounds(), BRect(5, 5, 6, 5), B_OP_COPY);
	EXPECT_EQ(PixelAt(5, 5), make_color(0x77, 0x74, 0x77));

	BBitmap glass(BRect(0, 0, 2, 0), B_RGBA32);
	const uint32 pixels[] = {0x80ffffff, 0x00ff0000, 0xff0000ff};
	glass.SetBits(pixels, sizeof(pixels), 0, B_RGBA32);
	fPainter->FillRect(BRect(10, 10, 12, 10), make_color(0, 0, 0));
	fPainter->DrawBitmap(&glass, glass.Bounds(), BRect(10, 10, 12, 10), B_OP_OVER);
	rgb_color half = PixelAt(10, 10);
	EXPECT_NEAR(half.red, 128, 1);
	EXPECT_EQ(PixelAt(11, 10), make_color(0, 0, 0));
	EXPECT_EQ(PixelAt(12, 10), make_color(0, 0, 255));
}

TEST_F(PainterTest, NothingReachesPastTheClip)
{
	BBitmap bitmap(BRect(0, 0, 199, 199), B_RGB32);
	const std::function<void(Painter&)> primitives[] = {
		[](Painter& p) { p.FillRect(BRect(-100, -100, 500, 500), kInk); },
		[](Painter& p) { p.InvertRect(BRect(-100, -100, 500, 500)); },
		[](Painter& p) { p.StrokeLine(BPoint(-50, 15), BPoint(500, 15), kInk, 9); },
		[](Painter& p) { p.StrokeLine(BPoint(-1e9, -1e9), BPoint(1e9, 1e9), kInk, 5); },
		[](Painter& p) { p.FillEllipse(BRect(0, 0, 40, 40), kInk); },
		[](Painter& p) { p.StrokeEllipse(BRect(-1e8, 15, 1e8, 1e8), kInk, 1e9); },
		[](Painter& p) { p.FillRoundRect(BRect(0, 0, 40, 40), 8, 8, kInk); },
		[](Painter& p) { p.StrokeRoundRect(BRect(12, 12, 60, 60), 8, 6, kInk, 3); },
		[](Painter& p) { p.FillTriangle(BPoint(0, 0), BPoint(60, 5), BPoint(5, 60), kInk); },
		[&](Painter& p) { p.DrawBitmap(&bitmap, bitmap.Bounds(), bitmap.Bounds(), B_OP_COPY); },
		[](Painter& p) { p.DrawString("WWWWWWWWWWWW", 12, BPoint(0, 20), *be_bold_font, kInk); },
	};
	const BRect clip(10, 10, 20, 20);
	for (size_t i = 0; i < std::size(primitives); i++) {
		Reset();
		fPainter->SetClip(clip);
		primitives[i](*fPainter);
		fPainter->SetClip(Whole());
		PixelSet drawn = Drawn();
		EXPECT_FALSE(drawn.empty()) << "primitive " << i;
		for (auto [x, y] : drawn)
			ASSERT_TRUE(clip.Contains(BPoint(x, y)))
				<< "primitive " << i << " at " << x << "," << y;
	}
}

TEST_F(PainterTest, AbsurdInputDrawsNothingOrSomethingSane)
{
	const float nan = std::nanf("");
	fPainter->FillRect(BRect(nan, 0, 10, 10), kInk);
	fPainter->StrokeLine(BPoint(nan, nan), BPoint(3, 3), kInk, nan);
	fPainter->FillEllipse(BRect(0, 0, nan, 5), kInk);
	fPainter->DrawString("x", 1, BPoint(nan, 10), *be_plain_font, kInk);
	fPainter->DrawString("\xff\xc3(\xed\xa0\x80", 6, BPoint(10, -40), *be_plain_font, kInk);
	fPainter->DrawBitmap(nullptr, BRect(0, 0, 1, 1), BRect(0, 0, 1, 1), B_OP_COPY);
	EXPECT_TRUE(Drawn().empty());

	// A far-reaching diagonal still lights the visible part of its pixels.
	fPainter->StrokeLine(BPoint(-1e9, -1e9), BPoint(1e9, 1e9), kInk, 1);
	PixelSet expected;
	for (int i = 0; i < kHeight; i++)
		expected.insert({i, i});
	EXPECT_EQ(Drawn(), expected);
}

TEST_F(PainterTest, InvertingTwiceRestores)
{
	fPainter->FillRect(BRect(0, 0, 3, 3), make_color(10, 100, 250));
	fPainter->InvertRect(BRect(0, 0, 1, 3));
	EXPECT_EQ(PixelAt(0, 0), make_color(245, 155, 5));
	EXPECT_EQ(PixelAt(2, 0), make_color(10, 100, 250));
	fPainter->InvertRect(BRect(0, 0, 1, 3));
	EXPECT_EQ(PixelAt(0, 0), make_color(10, 100, 250));
}

TEST_F(PainterTest, TextSitsOnItsBaselineWithinItsWidth)
{
	struct Case {
		const char* text;
		bool descends;
	} cases[] = {
		{"H", false},
		{"EUR", false},
		{"SF", false},
		{"0.000000", false},
		{"Ausgangswährung", true},
		{"Zielwährung", true},
	};
	const BFont* fonts[] = {be_plain_font, be_bold_font, be_fixed_font};
	for (const BFont* font : fonts) {
		for (const Case& c : cases) {
			const char* text = c.text;
			Reset();
			const BPoint baseline(7.5f, 40);
			fPainter->DrawString(text, (int32)strlen(text), baseline, *font, kInk);
			PixelSet ink = Drawn();
			BRect bounds = BoundsOf(ink);
			float width = font->StringWidth(text);
			if (c.descends)
				EXPECT_GT(bounds.bottom, 40) << text;
			else
				EXPECT_EQ(bounds.bottom, 40) << text;
			EXPECT_GE(bounds.left, std::floor(baseline.x)) << text;
			EXPECT_LE(bounds.right, std::ceil(baseline.x + width)) << text;
		}
	}
}

TEST_F(PainterTest, StringWidthIsTheAdvanceTheTextIsDrawnWith)
{
	// Two strings drawn one width apart (the first cut short by its length) look exactly
	// like the two drawn as one.
	for (const BFont* font : {be_plain_font, be_bold_font, be_fixed_font}) {
		Reset();
		fPainter->DrawString("EURDEM", 6, BPoint(10, 40), *font, kInk);
		PixelSet joined = Drawn();
		Reset();
		fPainter->DrawString("EURXYZ", 3, BPoint(10, 40), *font, kInk);
		fPainter->DrawString("DEM", 3, BPoint(10 + font->StringWidth("EUR"), 40), *font, kInk);
		EXPECT_EQ(Drawn(), joined) << font->Family();
	}
}

TEST_F(PainterTest, TextIsDrawnInItsColour)
{
	fPainter->DrawString("EUR", 3, BPoint(10, 30), *be_bold_font, make_color(255, 0, 0));
	rgb_color darkest = kBackground;
	for (auto [x, y] : Drawn()) {
		rgb_color c = PixelAt(x, y);
		if (c.green < darkest.green)
			darkest = c;
	}
	EXPECT_GT(darkest.red, 240);
	EXPECT_LT(darkest.green, 30);
}
