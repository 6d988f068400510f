// The converter view's picture, pixel by pixel, against the layout: flags and their strip
// rows, the swap arrows, the plate ovals, the sunken frames and where the texts stand.
#include "BitmapPixel.h"
#include "ConverterFixture.h"

#include <algorithm>
#include <map>
#include <optional>

#include "Bitmap.h"
#include "CurrencyTable.h"
#include "TextViewPrivate.h"
#include "TranslationUtils.h"

using BPrivate::TextViewAccess;

namespace {

const rgb_color kWhite = {255, 255, 255, 255};
const rgb_color kDarkGrey = {99, 97, 99, 255};
const rgb_color kLightGrey = {189, 186, 189, 255};
const rgb_color kBlack = {0, 0, 0, 255};

// The sunken frames as the layout gives them, in drawing order: a later line wins.
const struct {
	rgb_color color;
	BPoint from;
	BPoint to;
} kFrameLines[] = {
	{kWhite, {44, 45}, {172, 45}},
	{kWhite, {172, 45}, {172, 20}},
	{kWhite, {44, 93}, {172, 93}},
	{kWhite, {172, 93}, {172, 68}},
	{kDarkGrey, {44, 44}, {44, 20}},
	{kDarkGrey, {44, 20}, {171, 20}},
	{kDarkGrey, {44, 92}, {44, 68}},
	{kDarkGrey, {44, 68}, {171, 68}},
	{kLightGrey, {43, 45}, {43, 19}},
	{kLightGrey, {43, 19}, {172, 19}},
	{kLightGrey, {43, 93}, {43, 67}},
	{kLightGrey, {43, 67}, {172, 67}},
};

struct Ink {
	int32 left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
	bool Found() const { return right >= 0; }
	float CentreX() const { return (left + right) / 2.0f; }
	void Add(int32 x, int32 y)
	{
		left = std::min(left, x);
		right = std::max(right, x);
		top = std::min(top, y);
		bottom = std::max(bottom, y);
	}
};

std::string
Describe(rgb_color c)
{
	return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
}

class DrawingTest : public ConverterTest {
protected:
	void SetUp() override
	{
		ConverterTest::SetUp();
		fBackground = ui_color(B_PANEL_BACKGROUND_COLOR);
	}

	rgb_color Pixel(int32 x, int32 y) const { return fBackend->PixelAt(WindowId(), x, y); }

	// Source and target as the menus would set them, then the new picture.
	void Show(int32 source, int32 target)
	{
		Command('MpIO', "whg", source);
		Command('MpIU', "whg", target);
	}

	// The image resource decoded on its own, to compare the window with.
	static std::unique_ptr<BBitmap> Image(int32 id)
	{
		return std::unique_ptr<BBitmap>(BTranslationUtils::GetBitmap('PNG ', id));
	}

	// Every pixel of the rectangle of the window shows the image from (imageLeft, imageTop).
	void ExpectImageAt(const BBitmap& image, int32 imageLeft, int32 imageTop, BRect where,
		const char* what) const
	{
		int32 mismatches = 0;
		for (int32 y = (int32)where.top; y <= (int32)where.bottom; y++) {
			for (int32 x = (int32)where.left; x <= (int32)where.right; x++) {
				rgb_color expected = BitmapPixel(image, imageLeft + x - (int32)where.left,
					imageTop + y - (int32)where.top);
				if (Pixel(x, y) != expected && mismatches++ < 5) {
					ADD_FAILURE() << what << " at " << x << "," << y << ": "
								  << Describe(Pixel(x, y)) << " instead of " << Describe(expected);
				}
			}
		}
		EXPECT_EQ(0, mismatches) << what;
	}

	void ExpectBackground(BRect where, const char* what) const
	{
		for (int32 y = (int32)where.top; y <= (int32)where.bottom; y++) {
			for (int32 x = (int32)where.left; x <= (int32)where.right; x++)
				ASSERT_EQ(fBackground, Pixel(x, y)) << what << " at " << x << "," << y;
		}
	}

	// The bounding box of everything that is not background in the rectangle.
	Ink InkIn(BRect where) const
	{
		Ink ink;
		for (int32 y = (int32)where.top; y <= (int32)where.bottom; y++) {
			for (int32 x = (int32)where.left; x <= (int32)where.right; x++) {
				if (Pixel(x, y) != fBackground)
					ink.Add(x, y);
			}
		}
		return ink;
	}

	// Ink of a plate code: what is not white well inside an oval filling, away from the
	// outline. centreY is the filling's middle row.
	Ink PlateInk(float centreY) const
	{
		// The filling (2..43) around x = 22.5, shrunk by three pixels.
		const float rx = 21 - 3;
		const float ry = 11.5f - 3;
		Ink ink;
		for (int32 y = (int32)(centreY - ry); y <= (int32)(centreY + ry); y++) {
			for (int32 x = 0; x < 46; x++) {
				float dx = (x - 22.5f) / rx;
				float dy = (y - centreY) / ry;
				if (dx * dx + dy * dy < 1 && Pixel(x, y) != kWhite)
					ink.Add(x, y);
			}
		}
		return ink;
	}

	std::vector<uint32> Snapshot() const
	{
		int32 width = 0;
		int32 height = 0;
		std::vector<uint32> pixels;
		EXPECT_TRUE(fBackend->Snapshot(WindowId(), &width, &height, &pixels));
		EXPECT_EQ(207, width);
		EXPECT_EQ(113, height);
		return pixels;
	}

	rgb_color fBackground;
};

} // namespace

TEST_F(DrawingTest, FlagsStandAtTheirPlaces)
{
	Start();
	std::unique_ptr<BBitmap> strip = Image(46);
	std::unique_ptr<BBitmap> euroFlag = Image(47);
	ASSERT_TRUE(strip && euroFlag);
	// One flag of 12 rows for every national currency.
	ASSERT_EQ(BRect(0, 0, 23, 12 * (kCurrencyCount - 1) - 1), strip->Bounds());

	// Source and target; the flag of index i is rows 12 (i - 1) to 12 i - 1 of the strip.
	const struct {
		int32 source, target;
	} cases[] = {{2, 12}, {3, 0}, {0, 3}, {12, 2}, {0, 0}, {13, 21}, {21, 0}, {20, 15}};
	for (const auto& test : cases) {
		SCOPED_TRACE(std::to_string(test.source) + " -> " + std::to_string(test.target));
		Show(test.source, test.target);
		const struct {
			int32 index;
			float flagTop;
			float euroTop;
		} sides[] = {{test.source, 30, 29}, {test.target, 70, 68}};
		for (const auto& side : sides) {
			float top = side.flagTop;
			if (side.index == 0) {
				ExpectImageAt(*euroFlag, 0, 0, BRect(15, side.euroTop, 29, side.euroTop + 14),
					"euro flag");
				ExpectBackground(BRect(10, top, 14, top + 11), "left of the euro flag");
				ExpectBackground(BRect(30, top, 37, top + 11), "right of the euro flag");
			} else {
				ExpectImageAt(*strip, 0, 12 * (side.index - 1), BRect(10, top, 33, top + 11),
					"national flag");
				ExpectBackground(BRect(34, top, 37, top + 11), "beyond the strip's width");
			}
		}
	}
}

TEST_F(DrawingTest, SwapArrowsFillTheSwapArea)
{
	Start();
	std::unique_ptr<BBitmap> arrows = Image(48);
	ASSERT_TRUE(arrows);
	ASSERT_EQ(BRect(0, 0, 20, 21), arrows->Bounds());
	ExpectImageAt(*arrows, 0, 0, BRect(12, 45, 32, 66), "swap arrows");
}

TEST_F(DrawingTest, PlateOvalsAreWhiteWithTwoPixelOutlines)
{
	Start();
	// Down the middle column: background, two outline pixels, the filling... and back.
	const struct {
		int32 y;
		rgb_color color;
	} column[] = {
		{0, fBackground},
		{1, kBlack},
		{2, kBlack},
		{3, kWhite},
		{6, kWhite},
		{23, kWhite},
		{24, kBlack},
		{25, kBlack},
		{26, fBackground},
		{85, fBackground},
		{86, kBlack},
		{87, kBlack},
		{88, kWhite},
		{92, kWhite},
		{109, kWhite},
		{110, kBlack},
		{111, kBlack},
		{112, fBackground},
	};
	for (const auto& pixel : column)
		EXPECT_EQ(pixel.color, Pixel(22, pixel.y)) << "22," << pixel.y;

	// Across the middle rows of both ovals (the upper caption touches the upper one's right).
	const struct {
		int32 x, y;
		rgb_color color;
	} rows[] = {
		{0, 13, fBackground},
		{1, 13, kBlack},
		{2, 13, kBlack},
		{3, 13, kWhite},
		{0, 98, fBackground},
		{1, 98, kBlack},
		{2, 98, kBlack},
		{3, 98, kWhite},
		{42, 98, kWhite},
		{43, 98, kBlack},
		{44, 98, kBlack},
		{45, 98, fBackground},
	};
	for (const auto& pixel : rows)
		EXPECT_EQ(pixel.color, Pixel(pixel.x, pixel.y)) << pixel.x << "," << pixel.y;

	// Left and right of the plate codes the fillings are white.
	for (int32 y : {10, 13, 16, 95, 98, 101}) {
		for (int32 x : {6, 8, 10, 36, 38})
			EXPECT_EQ(kWhite, Pixel(x, y)) << x << "," << y;
	}
}

TEST_F(DrawingTest, SunkenFramesHaveTheirThreeColours)
{
	Start();
	// Paint the lines into a map in drawing order; the last colour of a pixel wins.
	std::map<std::pair<int32, int32>, rgb_color> expected;
	for (const auto& line : kFrameLines) {
		int32 x0 = (int32)std::min(line.from.x, line.to.x);
		int32 x1 = (int32)std::max(line.from.x, line.to.x);
		int32 y0 = (int32)std::min(line.from.y, line.to.y);
		int32 y1 = (int32)std::max(line.from.y, line.to.y);
		for (int32 y = y0; y <= y1; y++) {
			for (int32 x = x0; x <= x1; x++)
				expected[{x, y}] = line.color;
		}
	}
	ASSERT_EQ(kLightGrey, expected[std::make_pair(172, 19)]);
	ASSERT_EQ(kWhite, expected[std::make_pair(172, 20)]);
	ASSERT_EQ(kWhite, expected[std::make_pair(44, 45)]);

	int32 mismatches = 0;
	for (const auto& [point, color] : expected) {
		rgb_color shown = Pixel(point.first, point.second);
		// The upper caption comes later; its descenders may cross the top line.
		bool caption = point.second == 19 && shown.red < color.red && shown.red == shown.blue;
		if (shown != color && !caption && mismatches++ < 10) {
			ADD_FAILURE() << point.first << "," << point.second << ": "
						  << Describe(Pixel(point.first, point.second)) << " instead of "
						  << Describe(color);
		}
	}
	EXPECT_EQ(0, mismatches);

	// Just outside, the panel shows; just inside, the children.
	for (BPoint outside : {BPoint(42, 30), BPoint(173, 30), BPoint(42, 80), BPoint(173, 80),
			 BPoint(100, 46), BPoint(100, 66), BPoint(100, 94)})
		EXPECT_EQ(fBackground, Pixel((int32)outside.x, (int32)outside.y))
			<< outside.x << "," << outside.y;
	EXPECT_EQ((rgb_color{127, 255, 127, 255}), Pixel(46, 22));
	EXPECT_EQ((rgb_color{255, 199, 192, 255}), Pixel(46, 70));
	EXPECT_EQ((rgb_color{255, 255, 223, 255}), Pixel(35, 49));
}

TEST_F(DrawingTest, CaptionsAreCentredAboveAndBelowTheFrames)
{
	Start();
	// Between the ovals and the ISO codes, above the upper frame; the upper oval's outline
	// and filling are no caption ink.
	Ink upper;
	for (int32 y = 3; y <= 18; y++) {
		for (int32 x = 30; x <= 176; x++) {
			rgb_color c = Pixel(x, y);
			bool inOval = x <= 44 && y <= 25;
			if (inOval ? c != kWhite && c != kBlack && c != fBackground : c != fBackground)
				upper.Add(x, y);
		}
	}
	ASSERT_TRUE(upper.Found());
	EXPECT_NEAR(105, upper.CentreX(), 1) << upper.left << ".." << upper.right;
	EXPECT_LE(upper.bottom, 19);
	EXPECT_GE(upper.bottom, 16) << "the baseline is row 16";

	Ink lower = InkIn(BRect(46, 94, 195, 112));
	ASSERT_TRUE(lower.Found());
	EXPECT_NEAR(105, lower.CentreX(), 1) << lower.left << ".." << lower.right;
	EXPECT_GE(lower.bottom, 105);

	Command('MpIO', "whg", 7);
	Command('MpIU', "whg", 12);
	Ink lowerAgain = InkIn(BRect(46, 94, 195, 112));
	EXPECT_EQ(lower.left, lowerAgain.left) << "captions do not change with the currencies";
	EXPECT_EQ(lower.right, lowerAgain.right);
}

TEST_F(DrawingTest, IsoCodesStartAtTheRightColumn)
{
	Start();
	const struct {
		int32 source, target;
	} cases[] = {{2, 12}, {0, 6}, {10, 0}};
	for (const auto& test : cases) {
		Show(test.source, test.target);
		// Baselines 37, 61 and 86: the ink of capitals ends on these rows.
		for (int32 baseline : {37, 61, 86}) {
			Ink ink = InkIn(BRect(174, baseline - 14, 206, baseline + 2));
			ASSERT_TRUE(ink.Found()) << baseline;
			EXPECT_GE(ink.left, 177) << baseline;
			EXPECT_LE(ink.left, 178) << baseline;
			EXPECT_EQ(baseline, ink.bottom) << baseline;
			EXPECT_LE(ink.right, 206) << "the code fits the window";
		}
	}
}

TEST_F(DrawingTest, PlateCodesAreCentredInTheOvals)
{
	Start();
	// Plate codes of one, two and three letters at both places.
	const struct {
		int32 source, target;
	} cases[] = {{2, 3}, {3, 12}, {9, 2}, {4, 6}};
	for (const auto& test : cases) {
		Show(test.source, test.target);
		for (float centreY : {13.0f, 99.0f}) {
			Ink ink = PlateInk(centreY);
			ASSERT_TRUE(ink.Found()) << test.source << " " << centreY;
			EXPECT_NEAR(23, ink.CentreX(), 1) << test.source << "->" << test.target << " at "
											  << centreY << ": " << ink.left << ".." << ink.right;
			// Baselines 19 and 105; taller than the captions' letters.
			EXPECT_EQ(centreY < 50 ? 19 : 105, ink.bottom);
			EXPECT_GE(ink.bottom - ink.top + 1, 10);
		}
	}
}

TEST_F(DrawingTest, RepaintingGivesTheSamePicture)
{
	Start();
	Show(5, 11);
	std::vector<uint32> first = Snapshot();
	for (int32 round = 0; round < 2; round++) {
		View()->Invalidate();
		Drain();
		EXPECT_TRUE(first == Snapshot()) << "repaint " << round;
	}
	// A swap exchanges flags and codes; swapping back restores the view's own drawing (the
	// amount fields now show the carried-over amount).
	auto ownDrawing = [](const std::vector<uint32>& pixels) {
		std::vector<uint32> masked = pixels;
		for (BRect child :
			{BRect(45, 21, 153, 43), BRect(45, 69, 170, 91), BRect(34, 48, 172, 64)}) {
			for (int32 y = (int32)child.top; y <= (int32)child.bottom; y++) {
				for (int32 x = (int32)child.left; x <= (int32)child.right; x++)
					masked[y * 207 + x] = 0;
			}
		}
		return masked;
	};
	Command('MpTs');
	EXPECT_FALSE(ownDrawing(first) == ownDrawing(Snapshot()));
	Command('MpTs');
	EXPECT_TRUE(ownDrawing(first) == ownDrawing(Snapshot()));
}

TEST_F(DrawingTest, MissingImagesAreSkipped)
{
	for (int32 id = 46; id <= 52; id++)
		BPrivate::SetResourceHidden('PNG ', id, true);
	Start();
	Show(2, 0);
	for (int32 id = 46; id <= 52; id++)
		BPrivate::SetResourceHidden('PNG ', id, false);
	ExpectBackground(BRect(10, 30, 37, 41), "no flag strip");
	ExpectBackground(BRect(15, 68, 29, 82), "no euro flag");
	ExpectBackground(BRect(12, 46, 32, 66), "no swap arrows");
	EXPECT_EQ(kWhite, Pixel(8, 13)) << "the rest is drawn";
}

TEST_F(DrawingTest, WideAmountsShowWholeInSmallerTypeOrCutBehindAMark)
{
	Start();
	// The text rectangles of the target field and the euro line, in the window.
	const BRect kTargetText(47, 72, 149, 89);
	const BRect kEuroText(37, 51, 159, 64);
	const rgb_color kTargetColor = {255, 199, 192, 255};
	const rgb_color kEuroColor = {255, 255, 223, 255};
	const struct {
		const char* amount;
		int32 source, target;
		bool targetCut, euroCut;
	} cases[] = {
		// The target once lost its last decimal at the field's edge; now it shrinks.
		{"9999999999.99", 0, 7, false, false},
		{"-99999999999999", 2, 0, false, true},
		// The euro line of 15 digits once lost its decimals and its " . . ."; now its
		// head gives way behind a mark, as does the target's.
		{"999999999999999", 2, 2, true, true},
		{"999999999999999", 0, 7, true, true},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(std::string(test.amount) + " " + std::to_string(test.source) + " -> "
			+ std::to_string(test.target));
		Show(test.source, test.target);
		View()->SourceField()->MakeFocus(true);
		View()->SourceField()->SelectAll();
		Type(test.amount);
		ASSERT_EQ(test.amount, SourceText());
		// Off the field, as after a click on the background: no caret anywhere.
		View()->MakeFocus(true);
		Drain();

		const struct {
			BTextView* field;
			BRect text;
			rgb_color color;
			bool cut;
		} fields[] = {
			{View()->TargetField(), kTargetText, kTargetColor, test.targetCut},
			{View()->EuroLine(), kEuroText, kEuroColor, test.euroCut},
		};
		for (const auto& field : fields) {
			SCOPED_TRACE(field.field->Text());
			EXPECT_GE(TextViewAccess::DrawnSize(field.field, 0), 8) << "no smaller than legible";
			bool left = false;
			bool right = false;
			TextViewAccess::CutMarks(field.field, 0, &left, &right);
			EXPECT_EQ(field.cut, left);
			EXPECT_FALSE(right) << "the end, decimals and all, stays at the right edge";

			BRect frame = field.field->Frame();
			Ink ink;
			for (int32 y = (int32)frame.top; y <= (int32)frame.bottom; y++) {
				for (int32 x = (int32)frame.left; x <= (int32)frame.right; x++) {
					if (Pixel(x, y) != field.color)
						ink.Add(x, y);
				}
			}
			ASSERT_TRUE(ink.Found());
			EXPECT_GE(ink.left, field.text.left);
			EXPECT_LE(ink.right, field.text.right + 1);
			EXPECT_GE(ink.right, field.text.right - 2);

			// Left of the digits stands the mark: its dots keep to the rows just above the
			// baseline.
			if (field.cut) {
				Ink mark;
				for (int32 y = (int32)frame.top; y <= (int32)frame.bottom; y++) {
					for (int32 x = ink.left; x < ink.left + 5; x++) {
						if (Pixel(x, y) != field.color)
							mark.Add(x, y);
					}
				}
				ASSERT_TRUE(mark.Found());
				EXPECT_LE(mark.bottom - mark.top, 2) << "a digit is taller than the mark";
				EXPECT_EQ(ink.bottom, mark.bottom) << "on the digits' baseline";
			}
		}
	}
}
