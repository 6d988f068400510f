// The embedded resource table and the images in it. Links kambo_resources.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "GraphicsDefs.h"
#include "Resources.h"

namespace {

constexpr type_code kPngType = 'PNG ';

const unsigned char*
Load(type_code type, int32 id, size_t* size)
{
	BResources resources;
	return static_cast<const unsigned char*>(resources.LoadResource(type, id, size));
}

uint32
BigEndian32(const unsigned char* p)
{
	return uint32(p[0]) << 24 | uint32(p[1]) << 16 | uint32(p[2]) << 8 | uint32(p[3]);
}

// A decoded PNG resource, read pixel by pixel.
class Image {
public:
	explicit Image(int32 id, type_code type = kPngType)
	{
		size_t size = 0;
		const unsigned char* data = Load(type, id, &size);
		if (data == nullptr)
			return;
		Reader reader{data, size, 0};
		fSurface = cairo_image_surface_create_from_png_stream(&Reader::Read, &reader);
	}
	~Image()
	{
		if (fSurface != nullptr)
			cairo_surface_destroy(fSurface);
	}
	Image(const Image&) = delete;
	Image& operator=(const Image&) = delete;

	bool IsValid() const
	{
		return fSurface != nullptr && cairo_surface_status(fSurface) == CAIRO_STATUS_SUCCESS;
	}
	int Width() const { return cairo_image_surface_get_width(fSurface); }
	int Height() const { return cairo_image_surface_get_height(fSurface); }

	// Opaque pixels only: these images have no transparency.
	rgb_color At(int x, int y) const
	{
		const unsigned char* row = cairo_image_surface_get_data(fSurface)
			+ y * cairo_image_surface_get_stride(fSurface);
		uint32 pixel = reinterpret_cast<const uint32*>(row)[x];
		return {uint8(pixel >> 16), uint8(pixel >> 8), uint8(pixel), uint8(pixel >> 24)};
	}

private:
	struct Reader {
		const unsigned char* data;
		size_t size;
		size_t position;

		static cairo_status_t Read(void* closure, unsigned char* out, unsigned int length)
		{
			Reader* self = static_cast<Reader*>(closure);
			if (length > self->size - self->position)
				return CAIRO_STATUS_READ_ERROR;
			std::memcpy(out, self->data + self->position, length);
			self->position += length;
			return CAIRO_STATUS_SUCCESS;
		}
	};

	cairo_surface_t* fSurface = nullptr;
};

// Flag colours vary between renderings; what a viewer sees is the nearest of these.
enum Hue { kBlack, kWhite, kRed, kYellow, kBlue, kLightBlue, kGreen, kOrange, kGrey };

// clang-format off
const char* const kHueNames[] = {
	"black", "white", "red", "yellow", "blue", "light blue", "green", "orange", "grey"};
const rgb_color kHueReferences[] = {
	{0, 0, 0, 255}, {255, 255, 255, 255}, {210, 30, 45, 255}, {250, 210, 20, 255},
	{20, 60, 150, 255}, {0, 160, 220, 255}, {0, 140, 70, 255}, {255, 136, 62, 255},
	{160, 160, 160, 255}};
// clang-format on

Hue
HueOf(rgb_color c)
{
	int best = 0;
	int bestDistance = 1 << 30;
	for (int i = 0; i < int(std::size(kHueReferences)); i++) {
		int dr = c.red - kHueReferences[i].red;
		int dg = c.green - kHueReferences[i].green;
		int db = c.blue - kHueReferences[i].blue;
		if (dr * dr + dg * dg + db * db < bestDistance) {
			bestDistance = dr * dr + dg * dg + db * db;
			best = i;
		}
	}
	return Hue(best);
}

int
Luminance(rgb_color c)
{
	return (c.red * 3 + c.green * 6 + c.blue) / 10;
}

} // namespace

TEST(EmbeddedResourcesTest, EveryResourceIsPresentWithItsNameAndSize)
{
	struct {
		type_code type;
		int32 id;
		const char* name;
		size_t size; // 0: any size
	} const kCases[] = {
		{'ICON', 101, "BEOS:L:STD_ICON", 1024},
		{'MICN', 101, "BEOS:M:STD_ICON", 256},
		{'MIMS', 1, "BEOS:APP_SIG", sizeof("application/x-vnd.QXT-KamboLux")},
		{'MIMS', 2, "BEOS:TYPE", sizeof("application/x-vnd.Be-elfexecutable")},
		{kPngType, 46, "euroflag.png", 0},
		{kPngType, 47, "EUFlag.png", 0},
		{kPngType, 48, "pfou.png", 0},
		{kPngType, 49, "calc1.png", 0},
		{kPngType, 50, "calc2.png", 0},
		{kPngType, 51, "frage1.png", 0},
		{kPngType, 52, "frage2.png", 0},
		{kPngType, 200, "kambolux-48.png", 0},
	};
	BResources resources;
	for (const auto& c : kCases) {
		SCOPED_TRACE(c.name);
		ASSERT_TRUE(resources.HasResource(c.type, c.id));
		size_t byIdSize = 0, byNameSize = 0;
		const void* byId = resources.LoadResource(c.type, c.id, &byIdSize);
		const void* byName = resources.LoadResource(c.type, c.name, &byNameSize);
		EXPECT_NE(byId, nullptr);
		EXPECT_EQ(byId, byName) << "the name belongs to the id";
		if (c.size != 0)
			EXPECT_EQ(byIdSize, c.size);
		else
			EXPECT_GT(byIdSize, 0u);
		EXPECT_EQ(byNameSize, byIdSize);
	}
}

TEST(EmbeddedResourcesTest, SignatureAndTypeAreZeroTerminatedStrings)
{
	size_t size = 0;
	const char* signature = reinterpret_cast<const char*>(Load('MIMS', 1, &size));
	ASSERT_NE(signature, nullptr);
	EXPECT_EQ(std::string(signature, size), std::string("application/x-vnd.QXT-KamboLux\0", 31));
	const char* type = reinterpret_cast<const char*>(Load('MIMS', 2, &size));
	ASSERT_NE(type, nullptr);
	EXPECT_EQ(std::string(type, size), std::string("application/x-vnd.Be-elfexecutable\0", 35));
}

TEST(EmbeddedResourcesTest, PngHeadersGiveTheLayoutsSizes)
{
	struct {
		int32 id;
		uint32 width;
		uint32 height;
	} const kCases[] = {
		{46, 24, 252},
		{47, 15, 15},
		{48, 21, 22},
		{49, 18, 23},
		{50, 18, 23},
		{51, 10, 10},
		{52, 10, 10},
		{200, 48, 48},
	};
	const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
	for (const auto& c : kCases) {
		SCOPED_TRACE(c.id);
		size_t size = 0;
		const unsigned char* png = Load(kPngType, c.id, &size);
		ASSERT_NE(png, nullptr);
		ASSERT_GE(size, 33u); // signature, IHDR length, type and body, CRC
		EXPECT_EQ(std::memcmp(png, kSignature, sizeof(kSignature)), 0);
		EXPECT_EQ(std::memcmp(png + 12, "IHDR", 4), 0);
		EXPECT_EQ(BigEndian32(png + 16), c.width);
		EXPECT_EQ(BigEndian32(png + 20), c.height);

		Image image(c.id);
		ASSERT_TRUE(image.IsValid());
		EXPECT_EQ(image.Width(), int(c.width));
		EXPECT_EQ(image.Height(), int(c.height));
	}
}

// The converter draws flag i from rows 12 (i - 1) to 12 i - 1, at 2 and 3 times that from the
// scaled strips. One row per flag, in currency order, each with probes (a pixel of the flag at
// scale 1; at the larger scales the middle of its block) at the centres of its bands and on the
// parts of its emblem that tell it from its neighbours: a check of the other colour in each
// band, a shield's field where the band has another colour.
TEST(EmbeddedResourcesTest, FlagStripHoldsTheFlagsInCurrencyOrderAtEveryScale)
{
	struct Probe {
		int x, y;
		Hue hue;
	};
	struct {
		const char* country;
		std::vector<Probe> probes;
	} const kFlags[] = {
		// clang-format off
		{"Belgium", {{3, 6, kBlack}, {12, 6, kYellow}, {20, 6, kRed}}},
		{"Germany", {{12, 1, kBlack}, {12, 6, kRed}, {12, 10, kYellow}}},
		{"Finland", {{2, 1, kWhite}, {8, 1, kBlue}, {20, 5, kBlue}, {20, 10, kWhite}}},
		{"France", {{3, 6, kBlue}, {12, 6, kWhite}, {20, 6, kRed}}},
		{"Greece", {{1, 1, kBlue}, {3, 1, kWhite}, {20, 0, kBlue}, {20, 1, kWhite},
			{20, 11, kBlue}}},
		{"Ireland", {{3, 6, kGreen}, {12, 6, kWhite}, {20, 6, kOrange}}},
		{"Italy", {{3, 6, kGreen}, {12, 6, kWhite}, {20, 6, kRed}}},
		{"Luxembourg", {{12, 1, kRed}, {12, 6, kWhite}, {12, 10, kLightBlue}}},
		{"Netherlands", {{12, 1, kRed}, {12, 6, kWhite}, {12, 10, kBlue}}},
		{"Austria", {{12, 1, kRed}, {12, 6, kWhite}, {12, 10, kRed}}},
		{"Portugal", {{2, 1, kGreen}, {21, 1, kRed}, {10, 3, kYellow}}},
		{"Spain", {{12, 1, kRed}, {12, 4, kYellow}, {12, 7, kYellow}, {12, 10, kRed}}},
		{"Bulgaria", {{12, 1, kWhite}, {12, 6, kGreen}, {12, 10, kRed}}},
		{"Estonia", {{12, 1, kLightBlue}, {12, 6, kBlack}, {12, 10, kWhite}}},
		{"Croatia", {{2, 1, kRed}, {2, 6, kWhite}, {2, 10, kBlue}, {10, 3, kWhite},
			{11, 5, kRed}, {12, 8, kRed}}},
		// 2:1:2, which tells it from Austria's thirds.
		{"Latvia", {{12, 4, kRed}, {12, 5, kWhite}, {12, 6, kWhite}, {12, 7, kRed}}},
		{"Lithuania", {{12, 1, kYellow}, {12, 6, kGreen}, {12, 10, kRed}}},
		{"Malta", {{3, 2, kGrey}, {3, 3, kGrey}, {1, 1, kWhite}, {8, 10, kWhite},
			{20, 6, kRed}}},
		{"Slovakia", {{20, 1, kWhite}, {20, 6, kBlue}, {20, 10, kRed}, {8, 3, kWhite},
			{6, 4, kRed}, {8, 9, kBlue}}},
		{"Slovenia", {{20, 1, kWhite}, {20, 6, kBlue}, {20, 10, kRed}, {5, 2, kYellow},
			{5, 3, kBlue}, {6, 4, kWhite}}},
		{"Cyprus", {{2, 6, kWhite}, {20, 6, kWhite}, {11, 5, kOrange}, {9, 9, kGreen},
			{12, 10, kGreen}}},
		// clang-format on
	};
	constexpr int kCount = int(std::size(kFlags));

	const type_code kTypes[] = {kPngType, 'PNG2', 'PNG3'};
	for (int scale = 1; scale <= 3; scale++) {
		SCOPED_TRACE(testing::Message() << "scale " << scale);
		Image strip(46, kTypes[scale - 1]);
		ASSERT_TRUE(strip.IsValid());
		ASSERT_EQ(strip.Width(), 24 * scale);
		ASSERT_EQ(strip.Height(), 12 * kCount * scale) << "a flag of 12 rows per currency";
		for (int flag = 0; flag < kCount; flag++) {
			for (const Probe& p : kFlags[flag].probes) {
				Hue hue = HueOf(
					strip.At(p.x * scale + scale / 2, (12 * flag + p.y) * scale + scale / 2));
				EXPECT_EQ(hue, p.hue) << kFlags[flag].country << " at (" << p.x << ", " << p.y
									  << ") is " << kHueNames[hue] << ", not " << kHueNames[p.hue];
			}
		}
	}
}

TEST(EmbeddedResourcesTest, EuroFlagIsARingOfYellowOnBlue)
{
	Image flag(47);
	ASSERT_TRUE(flag.IsValid());
	int yellow = 0;
	for (int y = 0; y < 15; y++) {
		for (int x = 0; x < 15; x++) {
			Hue hue = HueOf(flag.At(x, y));
			double r = std::hypot(x - 7, y - 7);
			if (hue == kYellow) {
				yellow++;
				EXPECT_TRUE(r > 3.5 && r < 6.5) << "star off the ring at " << x << "," << y;
			} else {
				EXPECT_EQ(hue, kBlue) << x << "," << y;
			}
		}
	}
	EXPECT_GE(yellow, 12);
}

// Black rows grow to the arrow head's width, then narrow to its tip at the bottom.
TEST(EmbeddedResourcesTest, SwapSymbolIsABlackArrowPointingDown)
{
	Image arrow(48);
	ASSERT_TRUE(arrow.IsValid());
	int widest = 0, widestRow = -1, lastRow = -1, lastWidth = 0;
	for (int y = 0; y < arrow.Height(); y++) {
		int width = 0;
		for (int x = 0; x < arrow.Width(); x++)
			width += Luminance(arrow.At(x, y)) < 40 ? 1 : 0;
		if (width > widest) {
			widest = width;
			widestRow = y;
		}
		if (width > 0) {
			lastRow = y;
			lastWidth = width;
		}
	}
	EXPECT_GE(widest, 9);
	EXPECT_GT(widestRow, arrow.Height() / 3);
	EXPECT_GT(lastRow, widestRow);
	EXPECT_LE(lastWidth, 3);
	EXPECT_GT(Luminance(arrow.At(10, 1)), 150) << "grey above the shaft";
	EXPECT_GT(Luminance(arrow.At(2, 5)), 150) << "grey beside the shaft";
}

TEST(EmbeddedResourcesTest, PressedCalculatorIsTheSameSymbolOnePixelFurther)
{
	Image up(49), down(50);
	ASSERT_TRUE(up.IsValid());
	ASSERT_TRUE(down.IsValid());
	int dark = 0;
	for (int y = 3; y < 20; y++) {
		for (int x = 3; x < 15; x++) {
			EXPECT_EQ(down.At(x + 1, y + 1), up.At(x, y)) << x << "," << y;
			dark += Luminance(up.At(x, y)) < 80 ? 1 : 0;
		}
	}
	EXPECT_GT(dark, 40) << "the symbol has a body";
	EXPECT_NE(up.At(0, 0), down.At(0, 0)) << "the border changes with the state";
}

TEST(EmbeddedResourcesTest, QuestionMarkSitsOnLightThenDarkGrey)
{
	Image up(51), down(52);
	ASSERT_TRUE(up.IsValid());
	ASSERT_TRUE(down.IsValid());
	EXPECT_GT(Luminance(up.At(0, 0)), Luminance(down.At(0, 0)));
	int upMarks = 0, downMarks = 0;
	for (int y = 0; y < 10; y++) {
		for (int x = 0; x < 10; x++) {
			upMarks += Luminance(up.At(x, y)) < 40 ? 1 : 0;
			downMarks += Luminance(down.At(x, y)) < 40 ? 1 : 0;
		}
	}
	EXPECT_GT(upMarks, 8);
	EXPECT_EQ(upMarks, downMarks);
}

// The about window draws the large icon with B_OP_OVER over band and panel alike.
TEST(EmbeddedResourcesTest, LargeIconIsOpaque)
{
	size_t size = 0;
	const unsigned char* icon = Load('ICON', 101, &size);
	ASSERT_NE(icon, nullptr);
	ASSERT_EQ(size, 1024u);
	bool seen[256] = {};
	for (size_t i = 0; i < size; i++) {
		EXPECT_NE(icon[i], 255) << "pixel " << i % 32 << "," << i / 32;
		seen[icon[i]] = true;
	}
	EXPECT_GE(std::count(std::begin(seen), std::end(seen), true), 4) << "a picture, not a fill";
}

// #pragma mark - registry

namespace {

const unsigned char kFirst[] = {1, 2, 3};
const unsigned char kSecond[] = {4, 5};
constexpr type_code kTestType = 'tEST';

} // namespace

TEST(ResourceRegistryTest, FindsByIdAndNameAndReportsMisses)
{
	static const BPrivate::EmbeddedResource kTable[] = {
		{kTestType, 1, "one", kFirst, sizeof(kFirst)},
		{kTestType, 2, "two", kSecond, sizeof(kSecond)},
	};
	BPrivate::RegisterEmbeddedResources(kTable, std::size(kTable));

	BResources resources;
	size_t size = 99;
	EXPECT_EQ(resources.LoadResource(kTestType, 2, &size), kSecond);
	EXPECT_EQ(size, 2u);
	EXPECT_EQ(resources.LoadResource(kTestType, "one", &size), kFirst);
	EXPECT_EQ(size, 3u);

	struct {
		type_code type;
		int32 id;
		const char* name;
	} const kMisses[] = {
		{kTestType, 3, "three"},
		{'tESU', 1, "One"},
		{'tESU', 1, nullptr},
	};
	for (const auto& miss : kMisses) {
		size = 99;
		EXPECT_FALSE(resources.HasResource(miss.type, miss.id));
		EXPECT_EQ(resources.LoadResource(miss.type, miss.id, &size), nullptr);
		EXPECT_EQ(size, 0u);
		size = 99;
		EXPECT_EQ(resources.LoadResource(miss.type, miss.name, &size), nullptr);
		EXPECT_EQ(size, 0u);
	}
	EXPECT_EQ(resources.LoadResource(kTestType, 1, nullptr), kFirst) << "size is optional";
}

TEST(ResourceRegistryTest, LaterTableShadowsAnEarlierEntry)
{
	static const BPrivate::EmbeddedResource kOld[] = {{kTestType, 10, "old", kFirst, 3}};
	static const BPrivate::EmbeddedResource kNew[] = {{kTestType, 10, "new", kSecond, 2}};
	BPrivate::RegisterEmbeddedResources(kOld, 1);
	BPrivate::RegisterEmbeddedResources(kNew, 1);

	BResources resources;
	size_t size = 0;
	EXPECT_EQ(resources.LoadResource(kTestType, 10, &size), kSecond);
	EXPECT_EQ(2u, size);
	EXPECT_EQ(resources.LoadResource(kTestType, "new", &size), kSecond);
}

TEST(ResourceRegistryTest, HiddenResourcesAreAbsentUntilShownAgain)
{
	BResources resources;
	ASSERT_TRUE(resources.HasResource('ICON', 101));

	BPrivate::SetResourceHidden('ICON', 101, true);
	size_t size = 99;
	EXPECT_FALSE(resources.HasResource('ICON', 101));
	EXPECT_EQ(resources.LoadResource('ICON', 101, &size), nullptr);
	EXPECT_EQ(size, 0u);
	EXPECT_EQ(resources.LoadResource('ICON', "BEOS:L:STD_ICON", &size), nullptr);
	EXPECT_TRUE(resources.HasResource('MICN', 101)) << "only the named resource hides";

	BPrivate::SetResourceHidden('ICON', 101, false);
	EXPECT_NE(resources.LoadResource('ICON', 101, &size), nullptr);
	EXPECT_EQ(size, 1024u);
}
