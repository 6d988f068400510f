// Drawing and input on a scaled display: where the scale comes from, primitives on the
// doubled and tripled grid, text rendered at the larger size, bitmaps from their finer
// variants, and a window's backing store and pointer positions under the headless backend.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "Bitmap.h"
#include "BitmapPixel.h"
#include "DisplayScale.h"
#include "EventLoop.h"
#include "Font.h"
#include "HeadlessBackend.h"
#include "Painter.h"
#include "Resources.h"
#include "ScaleTestViews.h"
#include "TranslationUtils.h"
#include "View.h"
#include "Window.h"

using BPrivate::DisplayScaleSources;
using BPrivate::Painter;
using ScaleTesting::ClickView;
using ScaleTesting::kBackground;
using ScaleTesting::kInk;

namespace {

// #pragma mark - where the scale comes from

TEST(DisplayScaleTest, FirstUsableSourceDecides)
{
	const char* kDpi192 = "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n";
	struct Case {
		const char* own;
		const char* gdk;
		const char* resources;
		double expected;
	} cases[] = {
		{nullptr, nullptr, nullptr, 1},
		{nullptr, "2", nullptr, 2},
		{nullptr, "2", kDpi192, 2},
		{nullptr, "1", kDpi192, 1}, // GDK_SCALE=1 is a choice, not a missing value
		{nullptr, nullptr, kDpi192, 2},
		{"3", "2", kDpi192, 3}, // our own variable overrides both
		{"1", "2", kDpi192, 1},
		{"abc", "2", nullptr, 2}, // malformed values are passed over
		{"0", nullptr, kDpi192, 2},
		{"-2", "2.5", kDpi192, 2}, // GDK_SCALE is whole by definition
		{"", "", kDpi192, 2},
		{" 2 ", nullptr, nullptr, 2},
		{"2x", nullptr, nullptr, 1},
		{"1.5", "2", kDpi192, 1.5}, // our own may be fractional
		{"1,25", nullptr, nullptr, 1.25},
		{"1.75 ", nullptr, nullptr, 1.75},
		{"2.0", nullptr, nullptr, 2},
		{"0.5", nullptr, kDpi192, 2}, // never below 1
		{"1.5.1", nullptr, nullptr, 1},
		{"99999999999999999999999", nullptr, nullptr, BPrivate::kMaxDisplayScale},
		{nullptr, "12", nullptr, BPrivate::kMaxDisplayScale},
		{nullptr, nullptr, "Xft.dpi: 96", 1},
		{nullptr, nullptr, "Xft.dpi: 101", 1}, // a measured DPI stays at 1
		{nullptr, nullptr, "Xft.dpi: 120", 1.25},
		{nullptr, nullptr, "Xft.dpi: 144", 1.5},
		{nullptr, nullptr, "Xft.dpi:\t144.0\r\n", 1.5},
		{nullptr, nullptr, "Xft.dpi: 168", 1.75},
		{nullptr, nullptr, "Xft.dpi: 115", 1.25}, // nearest quarter
		{nullptr, nullptr, "Xft.dpi: 288", 3},
		{nullptr, nullptr, "Xft.dpi: 40", 1}, // never below 1
		{nullptr, nullptr, "Xft.dpi: 100000", BPrivate::kMaxDisplayScale},
		{nullptr, nullptr, "Xft.dpi: -192", 1},
		{nullptr, nullptr, "Xft.dpi: abc", 1},
		{nullptr, nullptr, "Xft.dpi: 192 dots", 1},
		{nullptr, nullptr, "Xft.dpis: 192", 1},
		{nullptr, nullptr, "Xcursor.size: 48\n  Xft.dpi : 192", 2},
		{nullptr, nullptr, "", 1},
	};
	for (const Case& c : cases) {
		DisplayScaleSources sources;
		sources.own = c.own;
		sources.gdkScale = c.gdk;
		sources.resources = c.resources;
		BPrivate::DisplayScale scale = BPrivate::ResolveDisplayScale(sources);
		EXPECT_EQ(c.expected, scale.Factor())
			<< "own " << (c.own ? c.own : "(unset)") << ", GDK_SCALE "
			<< (c.gdk ? c.gdk : "(unset)") << ", resources " << (c.resources ? c.resources : "-");
		EXPECT_EQ(c.expected == (int)c.expected, scale.IsWhole()) << c.expected;
	}
}

TEST(DisplayScaleTest, EnvironmentIsReadInTheSameOrder)
{
	const char* saved[2] = {getenv(BPrivate::kDisplayScaleVariable), getenv("GDK_SCALE")};
	std::string copies[2] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : ""};
	auto factor = [](const char* resources) {
		return BPrivate::DisplayScaleFromEnvironment(resources).Factor();
	};

	unsetenv(BPrivate::kDisplayScaleVariable);
	unsetenv("GDK_SCALE");
	EXPECT_EQ(1, factor(nullptr));
	EXPECT_EQ(3, factor("Xft.dpi: 288"));
	setenv("GDK_SCALE", "2", 1);
	EXPECT_EQ(2, factor("Xft.dpi: 288"));
	setenv(BPrivate::kDisplayScaleVariable, "1", 1);
	EXPECT_EQ(1, factor("Xft.dpi: 288"));

	const char* names[2] = {BPrivate::kDisplayScaleVariable, "GDK_SCALE"};
	for (int i = 0; i < 2; i++) {
		if (saved[i] != nullptr)
			setenv(names[i], copies[i].c_str(), 1);
		else
			unsetenv(names[i]);
	}
}

// #pragma mark - painter

// A surface of a layout size at some scale, with a painter over all of it.
struct Scaled {
	Scaled(int32 width, int32 height, int32 scale) :
		scale(scale),
		surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale)),
		painter(std::make_unique<Painter>(surface, BPoint(0, 0), BRect(0, 0, width - 1, height - 1),
			scale))
	{
		painter->FillRect(BRect(0, 0, width - 1, height - 1), kBackground);
	}
	~Scaled()
	{
		painter.reset();
		cairo_surface_destroy(surface);
	}

	uint32 Pixel(int32 x, int32 y) const
	{
		cairo_surface_flush(surface);
		const uint8* data = cairo_image_surface_get_data(surface);
		return reinterpret_cast<const uint32*>(
			data + (size_t)y * cairo_image_surface_get_stride(surface))[x];
	}
	int32 Width() const { return cairo_image_surface_get_width(surface); }
	int32 Height() const { return cairo_image_surface_get_height(surface); }

	int32 scale;
	cairo_surface_t* surface;
	std::unique_ptr<Painter> painter;
};

// Rectangles and straight lines at scale n light exactly the n x n blocks of the pixels
// they light at scale 1, whatever the origin and clip.
TEST(ScaledPainterTest, StraightShapesAreTheBlocksOfTheirLayoutPixels)
{
	typedef std::function<void(Painter&)> Draw;
	struct Case {
		const char* name;
		Draw draw;
	} cases[] = {
		{"rect", [](Painter& p) { p.FillRect(BRect(3, 4, 9, 6), kInk); }},
		{"one pixel", [](Painter& p) { p.FillRect(BRect(5, 5, 5, 5), kInk); }},
		{"half-pixel rect", [](Painter& p) { p.FillRect(BRect(2.4, 3.6, 7.5, 8.49), kInk); }},
		{"horizontal line",
			[](Painter& p) {
				p.StrokeLine({2, 5}, {12, 5}, kInk, 1);
			}},
		{"vertical line",
			[](Painter& p) {
				p.StrokeLine({7, 14}, {7, 1}, kInk, 1);
			}},
		{"pen 2",
			[](Painter& p) {
				p.StrokeLine({2, 9}, {12, 9}, kInk, 2);
			}},
		{"pen 3",
			[](Painter& p) {
				p.StrokeLine({8, 2}, {8, 12}, kInk, 3);
			}},
		{"inverted", [](Painter& p) { p.InvertRect(BRect(1, 1, 6, 3)); }},
		{"origin",
			[](Painter& p) {
				p.SetOrigin(BPoint(3, 2));
				p.FillRect(BRect(0, 0, 4, 4), kInk);
			}},
		{"clip",
			[](Painter& p) {
				p.SetClip(BRect(4, 4, 8, 8));
				p.FillRect(BRect(0, 0, 15, 15), kInk);
				p.StrokeLine({0, 10}, {15, 10}, kInk, 1);
			}},
	};
	for (const Case& c : cases) {
		Scaled one(16, 16, 1);
		c.draw(*one.painter);
		for (int32 scale : {2, 3}) {
			Scaled many(16, 16, scale);
			c.draw(*many.painter);
			int32 mismatches = 0;
			for (int32 y = 0; y < many.Height(); y++) {
				for (int32 x = 0; x < many.Width(); x++)
					mismatches += many.Pixel(x, y) != one.Pixel(x / scale, y / scale);
			}
			EXPECT_EQ(0, mismatches) << c.name << " at scale " << scale;
		}
	}
}

// Curves and slopes are drawn at the finer resolution, but within the blocks of their
// layout box and touching all four of its sides.
TEST(ScaledPainterTest, CurvesFillTheirScaledBoxAtTheFinerResolution)
{
	typedef std::function<void(Painter&)> Draw;
	struct Case {
		const char* name;
		BRect box;
		Draw draw;
	} cases[] = {
		{"ellipse", BRect(2, 3, 12, 9),
			[](Painter& p) { p.FillEllipse(BRect(2, 3, 12, 9), kInk); }},
		{"ellipse outline", BRect(1, 1, 14, 14),
			[](Painter& p) { p.StrokeEllipse(BRect(1, 1, 14, 14), kInk, 1); }},
		{"round rect", BRect(2, 2, 13, 10),
			[](Painter& p) { p.FillRoundRect(BRect(2, 2, 13, 10), 3, 3, kInk); }},
		{"triangle", BRect(2, 3, 12, 11),
			[](Painter& p) {
				p.FillTriangle({2, 3}, {12, 3}, {7, 11}, kInk);
			}},
		{"diagonal", BRect(1, 1, 13, 6),
			[](Painter& p) {
				p.StrokeLine({1, 1}, {13, 6}, kInk, 1);
			}},
	};
	const uint32 background = Scaled(1, 1, 1).Pixel(0, 0);
	for (const Case& c : cases) {
		Scaled scaled(16, 16, 2);
		c.draw(*scaled.painter);
		int32 left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
		bool finer = false;
		for (int32 y = 0; y < scaled.Height(); y++) {
			for (int32 x = 0; x < scaled.Width(); x++) {
				bool lit = scaled.Pixel(x, y) != background;
				if (lit) {
					left = std::min(left, x);
					right = std::max(right, x);
					top = std::min(top, y);
					bottom = std::max(bottom, y);
				}
				// Some 2 x 2 block is only partly lit: the shape was not enlarged.
				if (x % 2 == 0 && y % 2 == 0) {
					int32 count = lit + (scaled.Pixel(x + 1, y) != background)
						+ (scaled.Pixel(x, y + 1) != background)
						+ (scaled.Pixel(x + 1, y + 1) != background);
					finer = finer || (count != 0 && count != 4);
				}
			}
		}
		EXPECT_EQ(c.box.left * 2, left) << c.name;
		EXPECT_EQ(c.box.top * 2, top) << c.name;
		EXPECT_EQ(c.box.right * 2 + 1, right) << c.name;
		EXPECT_EQ(c.box.bottom * 2 + 1, bottom) << c.name;
		EXPECT_TRUE(finer) << c.name;
	}
}

// Text at scale 2 is the font rendered at 22 pixels by cairo itself, on the baseline twice
// as far down, and not the 11-pixel rendering enlarged.
TEST(ScaledPainterTest, TextIsRenderedAtTwiceItsSize)
{
	const char* kText = "Kambo 1,95583 DEM";
	const BPoint kBaseline(4, 20);
	Scaled scaled(140, 30, 2);
	scaled.painter->DrawString(kText, (int32)strlen(kText), kBaseline, *be_plain_font, kInk);

	// The reference: cairo's own text API, with the options the kit renders its text with.
	cairo_surface_t* reference = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 280, 60);
	cairo_t* cr = cairo_create(reference);
	cairo_set_source_rgba(cr, kBackground.red / 255.0, kBackground.green / 255.0,
		kBackground.blue / 255.0, 1);
	cairo_paint(cr);
	cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
	cairo_set_font_size(cr, 22);
	cairo_font_options_t* options = cairo_font_options_create();
	cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
	cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
	cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
	cairo_set_font_options(cr, options);
	cairo_font_options_destroy(options);
	cairo_set_source_rgba(cr, kInk.red / 255.0, kInk.green / 255.0, kInk.blue / 255.0, 1);
	// The kit's baseline names the pixel row the ink ends on: its bottom edge, in pixels.
	cairo_move_to(cr, kBaseline.x * 2, (kBaseline.y + 1) * 2);
	cairo_show_text(cr, kText);
	cairo_destroy(cr);
	cairo_surface_flush(reference);

	const uint8* data = cairo_image_surface_get_data(reference);
	int32 stride = cairo_image_surface_get_stride(reference);
	int32 differences = 0;
	int32 ink = 0;
	bool enlarged = true;
	for (int32 y = 0; y < 60; y++) {
		for (int32 x = 0; x < 280; x++) {
			uint32 expected = reinterpret_cast<const uint32*>(data + (size_t)y * stride)[x];
			differences += scaled.Pixel(x, y) != expected;
			ink += expected != scaled.Pixel(0, 0);
			if (x % 2 == 1 || y % 2 == 1)
				enlarged = enlarged && scaled.Pixel(x, y) == scaled.Pixel(x & ~1, y & ~1);
		}
	}
	cairo_surface_destroy(reference);
	EXPECT_GT(ink, 200);
	EXPECT_EQ(0, differences);
	EXPECT_FALSE(enlarged);
}

// An image from the resources is drawn from its variant at 2 and 3 times the size; a
// bitmap without variants is enlarged pixel by pixel.
TEST(ScaledPainterTest, BitmapsUseTheirVariantsOrAreEnlarged)
{
	std::unique_ptr<BBitmap> arrow(BTranslationUtils::GetBitmap('PNG ', 48));
	ASSERT_NE(nullptr, arrow);
	BRect bounds = arrow->Bounds();
	for (int32 scale : {2, 3}) {
		std::unique_ptr<BBitmap> variant(
			BTranslationUtils::GetBitmap(BTranslationUtils::VariantType('PNG ', scale), 48));
		ASSERT_NE(nullptr, variant) << scale;
		ASSERT_EQ((bounds.IntegerWidth() + 1) * scale, variant->Bounds().IntegerWidth() + 1);
		Scaled scaled(30, 30, scale);
		scaled.painter->DrawBitmap(arrow.get(), bounds, bounds.OffsetToCopy(3, 4), B_OP_COPY);
		int32 differences = 0;
		for (int32 y = 0; y <= variant->Bounds().IntegerHeight(); y++) {
			for (int32 x = 0; x <= variant->Bounds().IntegerWidth(); x++) {
				rgb_color c = BitmapPixel(*variant, x, y);
				uint32 expected = 0xff000000u | (uint32(c.red) << 16) | (uint32(c.green) << 8)
					| c.blue;
				differences += scaled.Pixel(3 * scale + x, 4 * scale + y) != expected;
			}
		}
		EXPECT_EQ(0, differences) << "scale " << scale;
	}

	// Copies keep the way to the variants; changed pixels lose it.
	BBitmap copy(arrow.get());
	int32 factor = 0;
	EXPECT_NE(nullptr, copy._ScaledVariant(2, &factor));
	EXPECT_EQ(2, factor);
	EXPECT_NE(nullptr, copy._ScaledVariant(6, &factor));
	EXPECT_EQ(3, factor);
	EXPECT_EQ(nullptr, copy._ScaledVariant(5, &factor));
	copy.Bits();
	EXPECT_EQ(nullptr, copy._ScaledVariant(2, &factor));

	BBitmap plain(BRect(0, 0, 1, 0), B_RGB32);
	const uint32 pixels[2] = {0xff112233u, 0xff445566u};
	plain.SetBits(pixels, sizeof(pixels), 0, B_RGB32);
	Scaled scaled(4, 2, 3);
	scaled.painter->DrawBitmap(&plain, BRect(0, 0, 1, 0), BRect(1, 1, 2, 1), B_OP_COPY);
	for (int32 y = 3; y < 6; y++) {
		for (int32 x = 3; x < 9; x++)
			EXPECT_EQ(pixels[(x - 3) / 3], scaled.Pixel(x, y)) << x << "," << y;
	}
}

// Every image with a variant has one at exactly 2 and 3 times its size.
TEST(ScaledResourcesTest, VariantsAreExactMultiples)
{
	for (int32 id = 46; id <= 52; id++) {
		std::unique_ptr<BBitmap> base(BTranslationUtils::GetBitmap('PNG ', id));
		ASSERT_NE(nullptr, base) << id;
		for (int32 factor : {2, 3}) {
			std::unique_ptr<BBitmap> variant(
				BTranslationUtils::GetBitmap(BTranslationUtils::VariantType('PNG ', factor), id));
			ASSERT_NE(nullptr, variant) << id << " at " << factor;
			EXPECT_EQ((base->Bounds().IntegerWidth() + 1) * factor,
				variant->Bounds().IntegerWidth() + 1)
				<< id;
			EXPECT_EQ((base->Bounds().IntegerHeight() + 1) * factor,
				variant->Bounds().IntegerHeight() + 1)
				<< id;
		}
	}
	EXPECT_EQ('PNG2', (int32)BTranslationUtils::VariantType('PNG ', 2));
}

// #pragma mark - windows

// The window system sees a window n times the layout size; pointer positions anywhere in a
// layout pixel's block come back as that pixel, and reach the view that pixel belongs to.
TEST(ScaledWindowTest, BackingStoreAndPointerFollowTheScale)
{
	ScaleTesting::ClickWindow shown(BPrivate::DisplayScale::FromFactor(2),
		BRect(100, 100, 139, 119));
	ASSERT_TRUE(shown.shown);
	BPrivate::HeadlessBackend* backend = shown.backend;
	const uint32 id = shown.id;
	EXPECT_EQ(80, shown.width);
	EXPECT_EQ(40, shown.height);
	EXPECT_EQ(BRect(100, 100, 139, 119), backend->Windows().front().frame);
	// The view's top line is two window pixels high, from x = 20 to 59.
	for (BPoint p : {BPoint(20, 10), BPoint(59, 11), BPoint(40, 10)})
		EXPECT_EQ(kInk, backend->PixelAt(id, p.x, p.y)) << p.x << "," << p.y;
	for (BPoint p : {BPoint(19, 10), BPoint(60, 10), BPoint(20, 12)})
		EXPECT_NE(kInk, backend->PixelAt(id, p.x, p.y)) << p.x << "," << p.y;

	struct Case {
		BPoint windowPixel;
		bool hits;
		BPoint where; // in the view
	} cases[] = {
		{{20, 10}, true, {0, 0}},
		{{21, 11}, true, {0, 0}},
		{{59, 29}, true, {19, 9}},
		{{19, 10}, false, {}},
		{{60, 29}, false, {}},
		{{58, 30}, false, {}},
	};
	for (const Case& c : cases) {
		const std::vector<BPoint>& clicks = shown.Click(c.windowPixel);
		ASSERT_EQ(c.hits ? 1u : 0u, clicks.size()) << c.windowPixel.x << "," << c.windowPixel.y;
		if (c.hits) {
			EXPECT_EQ(c.where, clicks.front()) << c.windowPixel.x << "," << c.windowPixel.y;
		}
	}
	EXPECT_EQ(BPoint(129, 115), backend->MouseLocation());
}

// A scale that changes while the window is open (a Wayland window moved to an output of
// another scale): the window is drawn again at the new factor, not shown at the old one, and
// the pointer follows.
TEST(ScaledWindowTest, ScaleChangedWhileOpenDrawsAgain)
{
	BPrivate::HeadlessBackend* backend = BPrivate::HeadlessBackend::Install();
	BApplication app("application/x-vnd.test-scale-change");
	BWindow* window = new BWindow(BRect(100, 100, 139, 119), "scaled", B_TITLED_WINDOW, 0);
	ClickView* view = new ClickView(BRect(10, 5, 29, 14));
	window->AddChild(view);
	window->Show();
	BPrivate::EventLoop::Drain();
	const uint32 id = BPrivate::HeadlessBackend::IdOf(window);

	struct Step {
		int32 units;
		int32 width, height; // the presented frame
		int32 lineBottom;    // the last window row of the view's top line
	} steps[] = {{240, 80, 40, 11}, {180, 60, 30, 8}, {120, 40, 20, 5}};
	for (const Step& step : steps) {
		backend->ChangeScale(BPrivate::DisplayScale::FromUnits(step.units));
		BPrivate::EventLoop::Drain();
		int32 width = 0, height = 0;
		std::vector<uint32> pixels;
		ASSERT_TRUE(backend->Snapshot(id, &width, &height, &pixels));
		EXPECT_EQ(step.width, width) << step.units;
		EXPECT_EQ(step.height, height) << step.units;
		EXPECT_EQ(kInk, backend->PixelAt(id, width / 2, step.lineBottom)) << step.units;
		EXPECT_NE(kInk, backend->PixelAt(id, width / 2, step.lineBottom + 1)) << step.units;
		view->clicks.clear();
		backend->InjectClick(id, BPoint(width / 2, step.lineBottom));
		BPrivate::EventLoop::Drain();
		ASSERT_EQ(1u, view->clicks.size()) << step.units;
		EXPECT_EQ(BPoint(10, 0), view->clicks.front()) << step.units;
	}
	window->Quit();
	BPrivate::EventLoop::Drain();
}

} // namespace
