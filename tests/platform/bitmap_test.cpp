// Bitmaps: layout, bounded SetBits, colours, copies, and PNG decoding.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "Bitmap.h"
#include "BitmapPixel.h"
#include "Resources.h"
#include "SystemPalette.h"
#include "TranslationUtils.h"

namespace {

// A 3 x 2 PNG: opaque red, green and blue over a half-transparent white, a clear pixel and
// opaque black.
const std::vector<unsigned char>&
SamplePNG()
{
	static const std::vector<unsigned char> sBytes = [] {
		cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 2);
		cairo_surface_flush(surface);
		uint32* pixels = reinterpret_cast<uint32*>(cairo_image_surface_get_data(surface));
		int rowPixels = cairo_image_surface_get_stride(surface) / 4;
		const uint32 premultiplied[2][3] = {{0xffff0000, 0xff00ff00, 0xff0000ff},
			{0x80808080, 0x00000000, 0xff000000}};
		for (int y = 0; y < 2; y++) {
			for (int x = 0; x < 3; x++)
				pixels[y * rowPixels + x] = premultiplied[y][x];
		}
		cairo_surface_mark_dirty(surface);
		std::vector<unsigned char> bytes;
		cairo_surface_write_to_png_stream(
			surface,
			[](void* closure, const unsigned char* data, unsigned int length) {
				auto* out = static_cast<std::vector<unsigned char>*>(closure);
				out->insert(out->end(), data, data + length);
				return CAIRO_STATUS_SUCCESS;
			},
			&bytes);
		cairo_surface_destroy(surface);
		return bytes;
	}();
	return sBytes;
}

} // namespace

TEST(BitmapTest, RowsFollowTheColourSpace)
{
	struct Case {
		BRect bounds;
		color_space space;
		int32 bytesPerRow;
		int32 length;
	} cases[] = {
		{BRect(0, 0, 31, 31), B_CMAP8, 32, 1024},
		{BRect(0, 0, 20, 1), B_CMAP8, 24, 48},
		{BRect(0, 0, 23, 143), B_RGB32, 96, 96 * 144},
		{BRect(10, 10, 14, 14), B_RGBA32, 20, 100},
	};
	for (const Case& c : cases) {
		BBitmap bitmap(c.bounds, c.space);
		ASSERT_EQ(bitmap.InitCheck(), B_OK);
		EXPECT_EQ(bitmap.BytesPerRow(), c.bytesPerRow);
		EXPECT_EQ(bitmap.BitsLength(), c.length);
	}

	const BRect invalid[] = {BRect(0, 0, -1, 5), BRect(0, 0, 1e9, 1e9),
		BRect(0, 0, std::nanf(""), 3)};
	for (BRect bounds : invalid) {
		BBitmap bitmap(bounds, B_RGB32);
		EXPECT_NE(bitmap.InitCheck(), B_OK);
		EXPECT_EQ(bitmap.BitsLength(), 0);
		bitmap.SetBits("abcd", 4, 0, B_RGB32);
		EXPECT_EQ(BitmapPixel(bitmap, 0, 0), make_color(0, 0, 0, 0));
	}
	EXPECT_NE(BBitmap(BRect(0, 0, 3, 3), B_NO_COLOR_SPACE).InitCheck(), B_OK);
}

TEST(BitmapTest, SetBitsNeverWritesPastTheBitmap)
{
	// The icon case: more data than the bitmap holds is cut at the bitmap's end.
	std::vector<uint8> data(2048);
	for (size_t i = 0; i < data.size(); i++)
		data[i] = uint8(i);
	BBitmap icon(BRect(0, 0, 31, 31), B_CMAP8);
	icon.SetBits(data.data(), (int32)data.size(), 0, B_CMAP8);
	EXPECT_EQ(memcmp(icon.Bits(), data.data(), 1024), 0);

	BBitmap small(BRect(0, 0, 3, 0), B_CMAP8);
	small.SetBits(data.data(), 100, 2, B_CMAP8);
	const uint8 expected[] = {0, 0, 0, 1};
	EXPECT_EQ(memcmp(small.Bits(), expected, 4), 0);
	for (int32 offset : {-1, 4, 1 << 30})
		small.SetBits(data.data() + 50, 100, offset, B_CMAP8);
	small.SetBits(nullptr, 4, 0, B_CMAP8);
	small.SetBits(data.data(), -4, 0, B_CMAP8);
	EXPECT_EQ(memcmp(small.Bits(), expected, 4), 0);
}

TEST(BitmapTest, SetBitsConvertsBetweenSpaces)
{
	// Straight RGB data into a palette bitmap picks the nearest entries.
	BBitmap indexed(BRect(0, 0, 2, 0), B_CMAP8);
	const uint32 rgb[] = {0x00ffffff, 0x00d8d8d8, 0x00000000};
	indexed.SetBits(rgb, sizeof(rgb), 0, B_RGB32);
	const uint8* bits = static_cast<const uint8*>(indexed.Bits());
	EXPECT_EQ(bits[0], index_for_color(make_color(255, 255, 255)));
	EXPECT_EQ(bits[1], 248);
	EXPECT_EQ(bits[2], 0);

	// Palette data into an RGBA bitmap, the transparent index staying transparent.
	BBitmap straight(BRect(0, 0, 1, 0), B_RGBA32);
	const uint8 indices[] = {254, B_TRANSPARENT_MAGIC_CMAP8};
	straight.SetBits(indices, 2, 0, B_CMAP8);
	EXPECT_EQ(BitmapPixel(straight, 0, 0), make_color(0, 0, 220));
	EXPECT_EQ(BitmapPixel(straight, 1, 0).alpha, 0);
	EXPECT_EQ(BitmapPixel(straight, 2, 0), make_color(0, 0, 0, 0)) << "outside";
}

TEST(BitmapTest, ACopyOwnsItsPixels)
{
	BBitmap glass(BRect(0, 0, 1, 0), B_RGBA32);
	const uint32 blue = 0xff0000ff;
	glass.SetBits(&blue, 4, 0, B_RGBA32);

	BBitmap copy(&glass);
	const uint32 red = 0xffff0000;
	glass.SetBits(&red, 4, 0, B_RGBA32);
	EXPECT_EQ(BitmapPixel(copy, 0, 0), make_color(0, 0, 255));
}

TEST(TranslationTest, DecodesPNGIntoStraightRGBA)
{
	const std::vector<unsigned char>& png = SamplePNG();
	std::unique_ptr<BBitmap> bitmap(BTranslationUtils::DecodePNG(png.data(), png.size()));
	ASSERT_NE(bitmap, nullptr);
	EXPECT_EQ(bitmap->ColorSpace(), B_RGBA32);
	EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 2, 1));
	EXPECT_EQ(BitmapPixel(*bitmap, 0, 0), make_color(255, 0, 0));
	EXPECT_EQ(BitmapPixel(*bitmap, 2, 0), make_color(0, 0, 255));
	EXPECT_EQ(BitmapPixel(*bitmap, 1, 1).alpha, 0);
	rgb_color half = BitmapPixel(*bitmap, 0, 1);
	EXPECT_NEAR(half.alpha, 128, 1);
	EXPECT_NEAR(half.red, 255, 1);
}

TEST(TranslationTest, RejectsWhatIsNotAWholePNG)
{
	const std::vector<unsigned char>& png = SamplePNG();
	const unsigned char garbage[] = "definitely not an image, just some bytes";
	EXPECT_EQ(BTranslationUtils::DecodePNG(garbage, sizeof(garbage)), nullptr);
	EXPECT_EQ(BTranslationUtils::DecodePNG(nullptr, 100), nullptr);
	for (size_t length : {(size_t)0, (size_t)8, (size_t)30, png.size() / 2, png.size() - 4})
		EXPECT_EQ(BTranslationUtils::DecodePNG(png.data(), length), nullptr) << length;

	// A header claiming an enormous image is refused before anything is allocated for it.
	std::vector<unsigned char> huge(png);
	const unsigned char dimensions[8] = {0, 0x10, 0, 0, 0, 0x10, 0, 0};
	memcpy(huge.data() + 16, dimensions, sizeof(dimensions));
	EXPECT_EQ(BTranslationUtils::DecodePNG(huge.data(), huge.size()), nullptr);
}

TEST(TranslationTest, GetBitmapLoadsResourcesByTypeAndId)
{
	static const unsigned char kGarbage[] = {1, 2, 3, 4};
	static const BPrivate::EmbeddedResource kTable[] = {
		{'PNG ', 9101, "sample", SamplePNG().data(), SamplePNG().size()},
		{'PNG ', 9102, "garbage", kGarbage, sizeof(kGarbage)},
	};
	static bool sRegistered = false;
	if (!sRegistered)
		BPrivate::RegisterEmbeddedResources(kTable, std::size(kTable));
	sRegistered = true;

	std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap('PNG ', 9101));
	ASSERT_NE(bitmap, nullptr);
	EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 2, 1));
	std::unique_ptr<BBitmap> byName(BTranslationUtils::GetBitmap('PNG ', "sample"));
	EXPECT_NE(byName, nullptr);
	EXPECT_EQ(BTranslationUtils::GetBitmap('PNG ', 9102), nullptr);
	EXPECT_EQ(BTranslationUtils::GetBitmap('PNG ', 9199), nullptr);

	BPrivate::SetResourceHidden('PNG ', 9101, true);
	EXPECT_EQ(BTranslationUtils::GetBitmap('PNG ', 9101), nullptr);
	BPrivate::SetResourceHidden('PNG ', 9101, false);
}
