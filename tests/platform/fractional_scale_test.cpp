// Drawing and input at fractional display scales (1.25, 1.5, 1.75): layout pixels as uneven
// blocks of whole surface pixels that tile, text at the exact size, images resampled from
// the next finer variant, and a window's size and pointer positions under the headless
// backend.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "Application.h"
#include "Bitmap.h"
#include "BitmapPixel.h"
#include "DisplayScale.h"
#include "EventLoop.h"
#include "Font.h"
#include "HeadlessBackend.h"
#include "Painter.h"
#include "ScaleTestViews.h"
#include "TranslationUtils.h"
#include "View.h"
#include "Window.h"

using BPrivate::DisplayScale;
using BPrivate::Painter;
using ScaleTesting::ClickView;
using ScaleTesting::kBackground;
using ScaleTesting::kInk;

namespace {

const double kFactors[] = {1.25, 1.5, 1.75};

uint32
Argb(rgb_color c)
{
	return 0xff000000u | (uint32(c.red) << 16) | (uint32(c.green) << 8) | c.blue;
}

// A surface for a layout size at a scale, cleared to the background.
struct Surface {
	Surface(int32 width, int32 height, DisplayScale scale) :
		surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, (int)scale.ToDevice(width),
			(int)scale.ToDevice(height)))
	{
		Painter(surface, BPoint(0, 0), BRect(0, 0, width - 1, height - 1), scale)
			.FillRect(BRect(0, 0, width - 1, height - 1), kBackground);
	}
	~Surface() { cairo_surface_destroy(surface); }
	uint32 Pixel(int32 x, int32 y) const
	{
		cairo_surface_flush(surface);
		return reinterpret_cast<const uint32*>(cairo_image_surface_get_data(surface)
			+ (size_t)y * cairo_image_surface_get_stride(surface))[x];
	}
	int32 Width() const { return cairo_image_surface_get_width(surface); }
	int32 Height() const { return cairo_image_surface_get_height(surface); }
	cairo_surface_t* surface;
};

// Every layout pixel in its own colour, and a thick line: each surface pixel shows the colour
// of the layout pixel that holds it, so there are no gaps (background) and no overlaps.
TEST(FractionalPainterTest, LayoutPixelsTileTheSurface)
{
	struct Edge {
		double factor;
		int64 layout;
		int64 device; // where the layout pixel begins
	} edges[] = {{1.25, 1, 1}, {1.25, 2, 3}, {1.25, 207, 259}, {1.5, 1, 2}, {1.5, 2, 3},
		{1.5, 113, 170}, {1.75, 1, 2}, {1.75, 3, 5}, {1.75, 4, 7}};
	for (const Edge& e : edges)
		EXPECT_EQ(e.device, DisplayScale::FromFactor(e.factor).ToDevice(e.layout)) << e.factor;

	auto colour = [](int64 x, int64 y) {
		return make_color((uint8)(x * 37), (uint8)(y * 53), (uint8)((x + y) % 2 * 255), 255);
	};
	for (double factor : kFactors) {
		const DisplayScale scale = DisplayScale::FromFactor(factor);
		Surface s(23, 11, scale);
		Painter painter(s.surface, BPoint(0, 0), BRect(0, 0, 22, 10), scale);
		for (int32 y = 0; y < 11; y++) {
			for (int32 x = 0; x < 23; x++)
				painter.FillRect(BRect(x, y, x, y), colour(x, y));
		}
		int32 wrong = 0;
		for (int32 y = 0; y < s.Height(); y++) {
			for (int32 x = 0; x < s.Width(); x++)
				wrong += s.Pixel(x, y) != Argb(colour(scale.ToLayout(x), scale.ToLayout(y)));
		}
		EXPECT_EQ(0, wrong) << factor;

		// A 2-pixel pen lies on its layout rows 3 and 4, columns 2 to 16, exactly.
		painter.FillRect(BRect(0, 0, 22, 10), kBackground);
		painter.StrokeLine(BPoint(2, 3), BPoint(15, 3), kInk, 2);
		wrong = 0;
		for (int32 y = 0; y < s.Height(); y++) {
			for (int32 x = 0; x < s.Width(); x++) {
				int64 lx = scale.ToLayout(x);
				int64 ly = scale.ToLayout(y);
				bool ink = lx >= 2 && lx <= 16 && ly >= 3 && ly <= 4;
				wrong += s.Pixel(x, y) != Argb(ink ? kInk : kBackground);
			}
		}
		EXPECT_EQ(0, wrong) << factor;
	}
}

// Text is the font rendered by cairo at the exact size (11 pixels times the factor), its pen
// at the pixel where its layout pixel begins: the same as drawing at that size unscaled.
TEST(FractionalPainterTest, TextIsRenderedAtTheExactSize)
{
	const char* kText = "Kambo 1,95583 DEM";
	const BPoint kBaseline(4, 20);
	for (double factor : kFactors) {
		const DisplayScale scale = DisplayScale::FromFactor(factor);
		Surface scaled(140, 30, scale);
		Painter(scaled.surface, BPoint(0, 0), BRect(0, 0, 139, 29), scale)
			.DrawString(kText, (int32)strlen(kText), kBaseline, *be_plain_font, kInk);

		Surface reference(scaled.Width(), scaled.Height(), DisplayScale());
		BFont exact(*be_plain_font);
		exact.SetSize((float)(11 * factor));
		BPoint pen(std::floor(kBaseline.x * factor + 0.5),
			std::floor((kBaseline.y + 1) * factor + 0.5) - 1);
		Painter(reference.surface, BPoint(0, 0), BRect(0, 0, 1000, 1000))
			.DrawString(kText, (int32)strlen(kText), pen, exact, kInk);

		int32 differences = 0;
		int32 ink = 0;
		for (int32 y = 0; y < scaled.Height(); y++) {
			for (int32 x = 0; x < scaled.Width(); x++) {
				differences += scaled.Pixel(x, y) != reference.Pixel(x, y);
				ink += reference.Pixel(x, y) != Argb(kBackground);
			}
		}
		EXPECT_GT(ink, 150) << factor;
		EXPECT_EQ(0, differences) << factor;
	}
}

// The bitmap's pixels resampled into a device rectangle the way the kit does at a fraction.
std::vector<uint32>
Resampled(const BBitmap* bitmap, int32 width, int32 height)
{
	int32 w = bitmap->Bounds().IntegerWidth() + 1;
	int32 h = bitmap->Bounds().IntegerHeight() + 1;
	cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
	for (int32 y = 0; y < h; y++) {
		for (int32 x = 0; x < w; x++) {
			reinterpret_cast<uint32*>(cairo_image_surface_get_data(source)
				+ (size_t)y
					* cairo_image_surface_get_stride(source))[x] = Argb(BitmapPixel(*bitmap, x, y));
		}
	}
	cairo_surface_mark_dirty(source);
	cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
	cairo_t* cr = cairo_create(target);
	cairo_scale(cr, (double)width / w, (double)height / h);
	cairo_set_source_surface(cr, source, 0, 0);
	cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
	cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
	cairo_paint(cr);
	cairo_destroy(cr);
	cairo_surface_flush(target);
	std::vector<uint32> pixels((size_t)width * height);
	for (int32 y = 0; y < height; y++) {
		memcpy(&pixels[(size_t)y * width],
			cairo_image_surface_get_data(target)
				+ (size_t)y * cairo_image_surface_get_stride(target),
			(size_t)width * 4);
	}
	cairo_surface_destroy(target);
	cairo_surface_destroy(source);
	return pixels;
}

// Resampling may round a channel either way.
bool
Near(uint32 a, uint32 b)
{
	for (int shift = 0; shift < 32; shift += 8) {
		if (std::abs((int)((a >> shift) & 0xff) - (int)((b >> shift) & 0xff)) > 2)
			return false;
	}
	return true;
}

// An image is drawn from the next larger variant (2x below 2, 3x between 2 and 3) scaled
// down smoothly, into exactly the pixels of its layout rectangle.
TEST(FractionalPainterTest, ImagesComeFromTheNextLargerVariant)
{
	std::unique_ptr<BBitmap> arrow(BTranslationUtils::GetBitmap('PNG ', 48));
	ASSERT_NE(nullptr, arrow);
	const BRect bounds = arrow->Bounds();
	const BRect destination = bounds.OffsetToCopy(3, 4);
	struct Case {
		double factor;
		int32 variant;
	} cases[] = {{1.25, 2}, {1.5, 2}, {1.75, 2}, {2.5, 3}};
	for (const Case& c : cases) {
		const DisplayScale scale = DisplayScale::FromFactor(c.factor);
		Surface s(30, 30, scale);
		Painter(s.surface, BPoint(0, 0), BRect(0, 0, 29, 29), scale)
			.DrawBitmap(arrow.get(), bounds, destination, B_OP_COPY);
		const int32 left = (int32)scale.ToDevice(3);
		const int32 top = (int32)scale.ToDevice(4);
		const int32 width = (int32)scale.ToDevice((int64)destination.right + 1) - left;
		const int32 height = (int32)scale.ToDevice((int64)destination.bottom + 1) - top;
		std::unique_ptr<BBitmap> variant(
			BTranslationUtils::GetBitmap(BTranslationUtils::VariantType('PNG ', c.variant), 48));
		ASSERT_NE(nullptr, variant);
		std::vector<uint32> fromVariant = Resampled(variant.get(), width, height);
		std::vector<uint32> fromBase = Resampled(arrow.get(), width, height);
		int32 differences = 0;
		int32 baseDifferences = 0;
		int32 outside = 0;
		for (int32 y = 0; y < s.Height(); y++) {
			for (int32 x = 0; x < s.Width(); x++) {
				bool in = x >= left && x < left + width && y >= top && y < top + height;
				if (!in) {
					outside += s.Pixel(x, y) != Argb(kBackground);
					continue;
				}
				size_t i = (size_t)(y - top) * width + (x - left);
				differences += !Near(s.Pixel(x, y), fromVariant[i]);
				baseDifferences += !Near(s.Pixel(x, y), fromBase[i]);
			}
		}
		EXPECT_EQ(0, outside) << c.factor;
		EXPECT_EQ(0, differences) << c.factor;
		EXPECT_GT(baseDifferences, 0) << c.factor;
	}
}

// The main window's 207 x 113 at the nearest whole pixels; a click on any pixel of the view's
// top line reaches the view at the layout column drawn there, and no pixel beside it does.
struct WindowCase {
	double factor;
	int32 width, height;
};

class FractionalWindowTest : public testing::TestWithParam<WindowCase> {};

TEST_P(FractionalWindowTest, SizeAndPointerFollowTheScale)
{
	const WindowCase& c = GetParam();
	ScaleTesting::ClickWindow shown(DisplayScale::FromFactor(c.factor), BRect(100, 100, 306, 212));
	ASSERT_TRUE(shown.shown);
	EXPECT_EQ(c.width, shown.width);
	EXPECT_EQ(c.height, shown.height);

	// The first pixel row of layout row 5 carries the view's top line.
	const int32 row = (int32)std::floor(5 * c.factor + 0.5);
	float last = -1;
	int32 inked = 0;
	for (int32 x = 0; x < 60; x++) {
		const std::vector<BPoint>& clicks = shown.Click(BPoint(x, row));
		bool ink = shown.backend->PixelAt(shown.id, x, row) == kInk;
		inked += ink;
		ASSERT_EQ(ink ? 1u : 0u, clicks.size()) << x;
		if (!ink)
			continue;
		BPoint where = clicks.front();
		EXPECT_EQ(0, where.y);
		// Columns run 0 to 19 without a gap, each on one or two neighbouring pixels.
		EXPECT_TRUE(where.x == last || where.x == last + 1 || (last < 0 && where.x == 0)) << x;
		last = where.x;
	}
	EXPECT_EQ(19, last);
	EXPECT_EQ((int32)(std::floor(30 * c.factor + 0.5) - std::floor(10 * c.factor + 0.5)), inked);
}

INSTANTIATE_TEST_SUITE_P(MainWindowSize, FractionalWindowTest,
	testing::Values(WindowCase{1.25, 259, 141}, WindowCase{1.5, 311, 170},
		WindowCase{1.75, 362, 198}));

} // namespace
