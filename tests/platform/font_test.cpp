// Fonts: the kit's three fonts, measuring, and copying properties by mask.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "Font.h"

TEST(FontTest, KitFontsAreDejaVuAtTheirDefaultSizes)
{
	struct Case {
		const BFont* font;
		const char* family;
		bool bold;
		float size;
		bool fixed;
	} cases[] = {
		{be_plain_font, "DejaVu Sans", false, kPlainFontSize, false},
		{be_bold_font, "DejaVu Sans", true, kBoldFontSize, false},
		{be_fixed_font, "DejaVu Sans Mono", false, kFixedFontSize, true},
	};
	for (const Case& c : cases) {
		EXPECT_STREQ(c.font->Family(), c.family);
		EXPECT_EQ(c.font->IsBold(), c.bold) << c.family;
		EXPECT_EQ(c.font->Size(), c.size) << c.family;
		// A narrow and a wide letter advance alike in a fixed font, not in the others.
		EXPECT_EQ(c.font->StringWidth("i") == c.font->StringWidth("W"), c.fixed) << c.family;
	}
	EXPECT_EQ(BFont(), *be_plain_font);
}

TEST(FontTest, TheEuroCodeFitsBesideTheAmounts)
{
	// The converter draws its ISO codes in the bold font from x = 177 in a 207-pixel window.
	for (const char* code : {"EUR", "DEM", "ATS", "ITL", "GRD", "PTE", "NLG", "BEF"})
		EXPECT_LE(177 + be_bold_font->StringWidth(code), 207.0f) << code;
}

TEST(FontTest, WidthsAddUpAndFollowFaceAndSize)
{
	BFont fixed(be_fixed_font);
	EXPECT_FLOAT_EQ(fixed.StringWidth("MMMM"), 4 * fixed.StringWidth("i"));
	EXPECT_EQ(be_plain_font->StringWidth(""), 0);
	EXPECT_EQ(be_plain_font->StringWidth(nullptr), 0);
	EXPECT_GT(be_bold_font->StringWidth("Zielwährung"),
		BFont("DejaVu Sans", B_REGULAR_FACE, kBoldFontSize).StringWidth("Zielwährung"));

	BFont large(be_bold_font);
	large.SetSize(15);
	EXPECT_GT(large.StringWidth("SF"), be_bold_font->StringWidth("SF"));

	// A length stops early; a NUL stops it too.
	EXPECT_EQ(be_plain_font->StringWidth("EURXYZ", 3), be_plain_font->StringWidth("EUR"));
	EXPECT_EQ(be_plain_font->StringWidth("EUR\0XYZ", 7), be_plain_font->StringWidth("EUR"));
	EXPECT_EQ(be_plain_font->StringWidth("EUR", -4), 0);
}

TEST(FontTest, OddInputMeasuresSafely)
{
	// Malformed UTF-8 measures as replacement characters and does not spoil the font.
	float before = be_plain_font->StringWidth("Kurs");
	EXPECT_GT(be_plain_font->StringWidth("\xc3\x28\xa0\xa1\xf0\x28\x8c\xbc", 8), 0);
	EXPECT_GT(be_plain_font->StringWidth("\xed\xa0\x80"), 0);
	EXPECT_EQ(be_plain_font->StringWidth("Kurs"), before);

	for (float size : {0.0f, -3.0f, std::nanf("")}) {
		BFont font;
		font.SetSize(size);
		EXPECT_EQ(font.StringWidth("abc"), 0) << size;
	}
	BFont huge;
	huge.SetSize(1e30f);
	EXPECT_TRUE(std::isfinite(huge.StringWidth("abc")));

	std::string longText(1 << 20, 'x');
	EXPECT_NEAR(be_plain_font->StringWidth(longText.c_str()),
		(1 << 20) * be_plain_font->StringWidth("x"), 1);
}

TEST(FontTest, HeightComesFromTheFont)
{
	font_height height;
	be_plain_font->GetHeight(&height);
	EXPECT_GT(height.ascent, kPlainFontSize * 0.6f);
	EXPECT_GT(height.descent, 0);
	EXPECT_LT(height.ascent + height.descent + height.leading, kPlainFontSize * 1.6f);
}

TEST(FontTest, CopyFromTakesOnlyWhatTheMaskNames)
{
	const BFont source("DejaVu Sans Mono", B_BOLD_FACE, 20);
	struct Case {
		uint32 mask;
		const char* family;
		uint16 face;
		float size;
	} cases[] = {
		{B_FONT_ALL, "DejaVu Sans Mono", B_BOLD_FACE, 20},
		{B_FONT_SIZE, "DejaVu Sans", B_REGULAR_FACE, 20},
		{B_FONT_FACE, "DejaVu Sans", B_BOLD_FACE, kPlainFontSize},
		{B_FONT_FAMILY_AND_STYLE, "DejaVu Sans Mono", B_BOLD_FACE, kPlainFontSize},
		{B_FONT_SHEAR, "DejaVu Sans", B_REGULAR_FACE, kPlainFontSize},
	};
	for (const Case& c : cases) {
		BFont font;
		font.CopyFrom(source, c.mask);
		EXPECT_STREQ(font.Family(), c.family) << c.mask;
		EXPECT_EQ(font.Face(), c.face) << c.mask;
		EXPECT_EQ(font.Size(), c.size) << c.mask;
	}
}

// A null family or a zero face gives the plain font's; what is named reaches the measuring.
TEST(FontTest, ConstructorTakesOnlyWhatItIsGiven)
{
	struct Case {
		const char* family;
		uint16 face;
		const char* wantFamily;
		uint16 wantFace;
	} cases[] = {
		{"DejaVu Sans Mono", B_BOLD_FACE, "DejaVu Sans Mono", B_BOLD_FACE},
		{"DejaVu Sans Mono", 0, "DejaVu Sans Mono", B_REGULAR_FACE},
		{nullptr, B_BOLD_FACE, "DejaVu Sans", B_BOLD_FACE},
		{nullptr, 0, "DejaVu Sans", B_REGULAR_FACE},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(std::string(c.family != nullptr ? c.family : "(null)") + " face "
			+ std::to_string(c.face));
		BFont font(c.family, c.face, kPlainFontSize);
		EXPECT_STREQ(font.Family(), c.wantFamily);
		EXPECT_EQ(font.Face(), c.wantFace);
		EXPECT_EQ(font.Size(), kPlainFontSize);
	}

	BFont mono("DejaVu Sans Mono", B_REGULAR_FACE, kPlainFontSize);
	EXPECT_FLOAT_EQ(mono.StringWidth("i"), mono.StringWidth("W"))
		<< "the family named is the one measured";
}
