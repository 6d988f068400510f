#include <gtest/gtest.h>

#include "SystemPalette.h"

namespace {

int
DistanceSquared(rgb_color a, rgb_color b)
{
	int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
	return dr * dr + dg * dg + db * db;
}

} // namespace

TEST(SystemPaletteTest, OnlyIndex255IsTransparent)
{
	const rgb_color* palette = system_palette();
	for (int i = 0; i < 255; i++)
		EXPECT_EQ(palette[i].alpha, 255) << "index " << i;
	EXPECT_EQ(palette[B_TRANSPARENT_MAGIC_CMAP8], B_TRANSPARENT_COLOR);
	EXPECT_EQ(palette[255].alpha, 0);
}

// Stored icons are palette indices; moving an entry would repaint them.
TEST(SystemPaletteTest, DocumentedEntriesStayPut)
{
	struct {
		int index;
		rgb_color colour;
	} const kCases[] = {
		{0, {0, 0, 0, 255}},
		{16, {132, 132, 132, 255}},
		{31, {255, 255, 255, 255}},
		{32, {0, 0, 0, 255}},
		{32 + 36 * 0 + 6 * 1 + 3, {0, 51, 153, 255}},
		{32 + 36 * 5 + 6 * 4 + 0, {255, 204, 0, 255}},
		{32 + 36 * 2 + 6 * 1 + 0, {102, 51, 0, 255}},
		{247, {255, 255, 255, 255}},
		{248, {216, 216, 216, 255}},
		{249, {184, 184, 184, 255}},
		{250, {189, 186, 189, 255}},
		{251, {99, 97, 99, 255}},
		{254, {0, 0, 220, 255}},
	};
	for (const auto& c : kCases)
		EXPECT_EQ(system_palette()[c.index], c.colour) << "index " << c.index;
}

TEST(SystemPaletteTest, EveryEntryMapsBackToItsOwnColour)
{
	const rgb_color* palette = system_palette();
	for (int i = 0; i < 256; i++) {
		uint8 index = index_for_color(palette[i]);
		EXPECT_EQ(palette[index], palette[i]) << "index " << i << " gave " << int(index);
	}
}

TEST(SystemPaletteTest, TransparencyFollowsAlphaNotColour)
{
	EXPECT_EQ(index_for_color(B_TRANSPARENT_COLOR), B_TRANSPARENT_MAGIC_CMAP8);
	EXPECT_EQ(index_for_color({10, 200, 30, 0}), B_TRANSPARENT_MAGIC_CMAP8);

	// The magic colour itself, opaque, is an ordinary grey.
	rgb_color opaqueMagic = {0x77, 0x74, 0x77, 255};
	EXPECT_NE(index_for_color(opaqueMagic), B_TRANSPARENT_MAGIC_CMAP8);
	EXPECT_NE(index_for_color({0x77, 0x74, 0x77, 1}), B_TRANSPARENT_MAGIC_CMAP8);
}

// Nothing is further from its entry than half a cube step in each channel.
TEST(SystemPaletteTest, OpaqueColoursMapToANearbyOpaqueEntry)
{
	const rgb_color* palette = system_palette();
	const int kLimit = 3 * 26 * 26;
	for (int r = 0; r < 256; r += 15) {
		for (int g = 0; g < 256; g += 15) {
			for (int b = 0; b < 256; b += 15) {
				rgb_color colour = {uint8(r), uint8(g), uint8(b), 255};
				uint8 index = index_for_color(colour);
				ASSERT_NE(index, B_TRANSPARENT_MAGIC_CMAP8);
				EXPECT_LE(DistanceSquared(palette[index], colour), kLimit)
					<< r << "," << g << "," << b;
			}
		}
	}
}

TEST(SystemPaletteTest, PicksTheNearestEntry)
{
	struct {
		rgb_color colour;
		rgb_color expected;
	} const kCases[] = {
		{{250, 3, 2, 255}, {255, 0, 0, 255}},
		{{217, 215, 216, 255}, {216, 216, 216, 255}},
		{{100, 96, 100, 255}, {99, 97, 99, 255}},
		{{1, 1, 1, 255}, {0, 0, 0, 255}},
		{{0, 0, 215, 255}, {0, 0, 220, 255}},
		{{0, 50, 150, 128}, {0, 51, 153, 255}},
	};
	for (const auto& c : kCases) {
		EXPECT_EQ(system_palette()[index_for_color(c.colour)], c.expected)
			<< int(c.colour.red) << "," << int(c.colour.green) << "," << int(c.colour.blue);
	}
}
