// BTextView's fitting of a long line to the text rectangle: smaller type down to a minimum,
// then a cut behind a mark on each side where the text goes on. Drawn through the headless
// backend and read back as pixels, in the geometry of the converter's amount fields.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "TextView.h"
#include "TextViewPrivate.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;
using BPrivate::TextViewAccess;

namespace {

const BRect kFieldFrame(10, 10, 118, 32);
const BRect kFieldTextRect(2, 3, 104, 20);
const rgb_color kFieldColor = {255, 199, 192, 255};
const float kMinimum = 8;
const char kEllipsis[] = "\xE2\x80\xA6";

// Draws one string in a given font at a given point of a field-coloured view.
class StringView : public BView {
public:
	StringView(BRect frame, const BFont& font, const char* text, BPoint where) :
		BView(frame, "string", B_FOLLOW_NONE, B_WILL_DRAW),
		fFont(font),
		fText(text),
		fWhere(where)
	{
		SetViewColor(kFieldColor);
	}

	void Draw(BRect) override
	{
		SetFont(&fFont);
		SetHighColor(0, 0, 0);
		DrawString(fText.c_str(), fWhere);
	}

private:
	BFont fFont;
	std::string fText;
	BPoint fWhere;
};

class TextViewFitTest : public testing::Test {
protected:
	void SetUp() override
	{
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.test-textview-fit");
		fWindow = new BWindow(BRect(100, 100, 299, 219), "fit", B_TITLED_WINDOW, B_NOT_RESIZABLE);
		fView = new BTextView(kFieldFrame, "field", kFieldTextRect, B_FOLLOW_NONE,
			B_WILL_DRAW | B_PULSE_NEEDED);
		fView->SetViewColor(kFieldColor);
		fView->SetFontAndColor(be_bold_font, B_FONT_ALL);
		fView->SetAlignment(B_ALIGN_RIGHT);
		fView->SetWordWrap(false);
		fWindow->AddChild(fView);
		fWindow->Show();
		EventLoop::Drain();
		fId = HeadlessBackend::IdOf(fWindow);
	}

	void TearDown() override { delete fApp; }

	void Show(const char* text)
	{
		fView->SetText(text);
		EventLoop::Drain();
	}

	void Key(const char* key)
	{
		fBackend->InjectKey(fId, key);
		EventLoop::Drain();
	}

	std::vector<uint32> Pixels() const
	{
		int32 width = 0;
		int32 height = 0;
		std::vector<uint32> pixels;
		EXPECT_TRUE(fBackend->Snapshot(fId, &width, &height, &pixels));
		return pixels;
	}

	// The bounding box of the field's ink, in the field's coordinates.
	BRect Ink() const
	{
		BRect ink;
		for (int32 y = (int32)kFieldFrame.top; y <= (int32)kFieldFrame.bottom; y++) {
			for (int32 x = (int32)kFieldFrame.left; x <= (int32)kFieldFrame.right; x++) {
				if (fBackend->PixelAt(fWindow, x, y) != kFieldColor) {
					ink = ink
						| BRect(x - kFieldFrame.left, y - kFieldFrame.top, x - kFieldFrame.left,
							y - kFieldFrame.top);
				}
			}
		}
		return ink;
	}

	// The room a mark takes at an edge, the gap to the next character included.
	static float MarkRoom()
	{
		BFont font(*be_bold_font);
		font.SetSize(kMinimum);
		return std::ceil(font.StringWidth(kEllipsis)) + 1;
	}

	std::pair<bool, bool> Marks() const
	{
		bool left = false;
		bool right = false;
		TextViewAccess::CutMarks(fView, 0, &left, &right);
		return {left, right};
	}

	HeadlessBackend* fBackend = nullptr;
	BApplication* fApp = nullptr;
	BWindow* fWindow = nullptr;
	BTextView* fView = nullptr;
	uint32 fId = 0;
};

} // namespace

TEST_F(TextViewFitTest, TextThatFitsIsDrawnAsWithoutFitting)
{
	const char* texts[] = {"", "0.00", "1234567.89", "-98765432.10", "0.000000 . . ."};
	for (alignment align : {B_ALIGN_RIGHT, B_ALIGN_LEFT, B_ALIGN_CENTER}) {
		fView->SetAlignment(align);
		for (const char* text : texts) {
			SCOPED_TRACE(std::string(text) + ", alignment " + std::to_string(align));
			fView->SetFitToWidth(0);
			Show(text);
			std::vector<uint32> plain = Pixels();
			fView->SetFitToWidth(kMinimum);
			EventLoop::Drain();
			EXPECT_EQ(be_bold_font->Size(), TextViewAccess::DrawnSize(fView, 0));
			EXPECT_EQ(std::make_pair(false, false), Marks());
			EXPECT_TRUE(plain == Pixels());
		}
	}
}

TEST_F(TextViewFitTest, WideTextShrinksDownToTheMinimumAndThenIsCut)
{
	fView->SetFitToWidth(kMinimum);
	fView->MakeFocus(false);
	// Ever longer amounts: the type gets no larger, and only the longest are cut.
	const struct {
		const char* text;
		bool cut;
	} cases[] = {
		{"999999999999999", false},
		{"19362699999980.64", false},
		{"-19362699999980.64", false},
		{"-193626999999980.64", true},
		{"1936269999999998063.73", true},
		{"1000000000000000019884624838656.00", true},
	};
	float previous = be_bold_font->Size();
	for (const auto& test : cases) {
		SCOPED_TRACE(test.text);
		Show(test.text);
		float size = TextViewAccess::DrawnSize(fView, 0);
		EXPECT_LT(size, be_bold_font->Size());
		EXPECT_GE(size, kMinimum);
		EXPECT_LE(size, previous);
		EXPECT_EQ(size, std::floor(size)) << "whole pixel sizes keep the digits crisp";
		previous = size;
		if (test.cut) {
			EXPECT_EQ(kMinimum, size);
		}
		// Right-aligned: the end stays at the right edge, a cut only on the left.
		EXPECT_EQ(std::make_pair(test.cut, false), Marks());

		BRect ink = Ink();
		ASSERT_TRUE(ink.IsValid());
		EXPECT_GE(ink.left, kFieldTextRect.left) << "nothing spills over the left edge";
		EXPECT_LE(ink.right, kFieldTextRect.right + 1) << "nor over the right one";
		EXPECT_GE(ink.right, kFieldTextRect.right - 2) << "the last digit is shown";
		EXPECT_LE(ink.bottom, kFieldTextRect.bottom);
		EXPECT_STREQ(test.text, fView->Text());
	}

	// Back to a short text: full size again.
	Show("12.50");
	EXPECT_EQ(be_bold_font->Size(), TextViewAccess::DrawnSize(fView, 0));
}

TEST_F(TextViewFitTest, LargeTypeShrinksToTheLargestSizeThatFits)
{
	fView->SetFitToWidth(kMinimum);
	fView->MakeFocus(false);
	const char* text = "1234567.50";
	// The width the view measures: the sum of the characters' advances.
	auto widthAt = [&](float size) {
		BFont font(*be_bold_font);
		font.SetSize(size);
		float width = 0;
		for (const char* c = text; *c != '\0'; c++)
			width += font.StringWidth(c, 1);
		return width;
	};
	const float available = kFieldTextRect.Width() + 1;
	for (float size : {11.0f, 16.0f, 37.0f, 120.0f, 400.0f}) {
		SCOPED_TRACE(size);
		BFont font(*be_bold_font);
		font.SetSize(size);
		fView->SetFontAndColor(&font, B_FONT_SIZE);
		Show(text);
		float expected = size;
		while (expected > kMinimum && widthAt(expected) > available)
			expected--;
		EXPECT_EQ(expected, TextViewAccess::DrawnSize(fView, 0));
		EXPECT_EQ(widthAt(expected) > available, Marks().first);
	}
}

TEST_F(TextViewFitTest, MarkStandsWhereTheTextGoesOn)
{
	fView->SetFitToWidth(kMinimum);
	const char* text = "1000000000000000019884624838656.00";
	Show(text);
	ASSERT_EQ(std::make_pair(true, false), Marks());

	// With the caret at the start, the head shows and the mark moves to the right; in the
	// middle both sides are cut.
	fView->MakeFocus(true);
	fView->Select(0, 0);
	EventLoop::Drain();
	EXPECT_EQ(std::make_pair(false, true), Marks());
	EXPECT_EQ(kFieldTextRect.left, Ink().left);
	fView->Select(16, 16);
	EventLoop::Drain();
	EXPECT_EQ(std::make_pair(true, true), Marks());
	fView->Select(0, 0);
	fView->MakeFocus(false);
	EventLoop::Drain();
	ASSERT_EQ(std::make_pair(true, false), Marks()) << "back at the alignment edge";
	fView->MakeFocus(true);
	EXPECT_EQ(std::make_pair(false, true), Marks()) << "and back to the caret";
	fView->MakeFocus(false);
	EventLoop::Drain();

	// The mark is an ellipsis right before the first whole digit, in the small type on the
	// line's baseline, and no part of a digit stands left of it.
	BFont small(*be_bold_font);
	small.SetSize(kMinimum);
	font_height height;
	be_bold_font->GetHeight(&height);
	float baseline = fView->PointAt(0).y + std::ceil(height.ascent) - 1;
	float room = MarkRoom();
	// The mark stands just left of the first character drawn whole.
	float firstShown = kFieldTextRect.right;
	for (int32 offset = fView->TextLength() - 1; offset >= 0; offset--) {
		float x = fView->PointAt(offset).x;
		if (x < kFieldTextRect.left + room - 0.01f)
			break;
		firstShown = x;
	}
	BWindow* reference = new BWindow(BRect(100, 300, 299, 419), "reference", B_TITLED_WINDOW,
		B_NOT_RESIZABLE);
	reference->AddChild(
		new StringView(kFieldFrame, small, kEllipsis, BPoint(firstShown - room, baseline)));
	reference->Show();
	EventLoop::Drain();
	int32 mismatches = 0;
	for (int32 y = (int32)kFieldFrame.top; y <= (int32)kFieldFrame.bottom; y++) {
		for (int32 x = (int32)kFieldFrame.left; x < kFieldFrame.left + firstShown; x++) {
			if (fBackend->PixelAt(fWindow, x, y) != fBackend->PixelAt(reference, x, y)
				&& mismatches++ < 5)
				ADD_FAILURE() << "mark at " << x << "," << y;
		}
	}
	EXPECT_EQ(0, mismatches);
	reference->Lock();
	reference->Quit();
}

TEST_F(TextViewFitTest, CaretWalksTheWholeCutTextClearOfTheMarks)
{
	fView->SetFitToWidth(kMinimum);
	fView->MakeFocus(true);
	const char* text = "-1000000000000000019884624838656.00";
	Show(text);
	int32 length = fView->TextLength();
	fView->Select(length, length);
	float room = MarkRoom();
	for (int32 offset = length; offset >= 0; offset--) {
		SCOPED_TRACE(offset);
		int32 start;
		int32 end;
		fView->GetSelection(&start, &end);
		ASSERT_EQ(offset, start);
		auto [left, right] = Marks();
		float x = fView->PointAt(offset).x;
		EXPECT_GE(x, kFieldTextRect.left + (left ? room : 0));
		EXPECT_LE(x, kFieldTextRect.right + 1 - (right ? room : 0));
		Key("\x1c");
	}
	EXPECT_EQ(std::make_pair(false, true), Marks());

	// However it is shown, the whole text is selected and copied.
	fView->SelectAll();
	fView->Copy();
	EXPECT_EQ(text, fBackend->ClipboardText());
}

TEST_F(TextViewFitTest, SelectionIsNotDrawnOverAMark)
{
	fView->SetFitToWidth(kMinimum);
	fView->MakeFocus(true);
	fView->MakeEditable(false);
	Show("1000000000000000019884624838656.00");
	fView->SelectAll();
	EventLoop::Drain();
	ASSERT_TRUE(Marks().first || Marks().second);
	// Wherever a mark stands, its column next to the edge is not inverted.
	auto [left, right] = Marks();
	int32 y = (int32)(kFieldFrame.top + kFieldTextRect.top + 1);
	if (left) {
		EXPECT_EQ(kFieldColor,
			fBackend->PixelAt(fWindow, (int32)(kFieldFrame.left + kFieldTextRect.left), y));
	}
	if (right) {
		EXPECT_EQ(kFieldColor,
			fBackend->PixelAt(fWindow, (int32)(kFieldFrame.left + kFieldTextRect.right), y));
	}
}
