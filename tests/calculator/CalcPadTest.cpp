// The pad against the real amount field in the main window: key sequences, the window it
// opens as, its buttons, how it closes, and that every edit is converted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Button.h"
#include "CalcButtons.h"
#include "CalcView.h"
#include "CalcWnd.h"
#include "Conversion.h"
#include "ConverterFixture.h"
#include "Message.h"
#include "Messages.h"
#include "TEdit.h"

using BPrivate::HeadlessBackend;

namespace {

class PadTest : public MainWindowTest {
protected:
	TMainView* View() const { return fMain->MainView(); }
	TEdit* Field() const { return View()->SourceField(); }
	CalcWnd* Pad() const { return FindWindow<CalcWnd>(); }

	void SetField(const char* text)
	{
		Field()->SetText(text);
		Drain();
	}

	// What the calculator picture button sends.
	CalcWnd* OpenPad()
	{
		fMain->PostMessage(kMsgOpenCalculator, fMain);
		Drain();
		return Pad();
	}

	void Press(CalcWnd* pad, const char* key)
	{
		fBackend->InjectKey(HeadlessBackend::IdOf(pad), key);
		Drain();
	}

	// The main window comes to the front, as after a click on it.
	void ActivateMain()
	{
		fBackend->ActivateWindow(MainId());
		Drain();
	}
};

struct PadStep {
	const char* key;
	const char* field; // the field's text after the key
};

struct PadCase {
	const char* name;
	const char* start;
	std::vector<PadStep> steps;
	bool openAfter;
};

const PadCase kPadCases[] = {
	{"digit replaces a lone zero", "0", {{"5", "5"}}, true},
	{"zero stays zero, point keeps it", "0", {{"0", "0"}, {".", "0."}}, true},
	{"pad extends what the field shows", "12",
		{{"3", "123"}, {"+", "123.00"}, {"1", "1"}, {"=", "124.00"}}, false},
	{"earlier number is the left operand", "",
		{{"7", "7"}, {"-", "7.00"}, {"2", "2"}, {"=", "5.00"}}, false},
	{"division", "", {{"8", "8"}, {"/", "8.00"}, {"2", "2"}, {"=", "4.00"}}, false},
	{"left to right without precedence", "",
		{{"2", "2"}, {"+", "2.00"}, {"3", "3"}, {"*", "5.00"}, {"4", "4"}, {"=", "20.00"}}, false},
	{"repeated operator reuses the shown result", "",
		{{"5", "5"}, {"+", "5.00"}, {"+", "10.00"}, {"=", "20.00"}}, false},
	{"operator then equals squares", "", {{"5", "5"}, {"*", "5.00"}, {"=", "25.00"}}, false},
	{"sign after an operator starts a new number", "",
		{{"5", "5"}, {"+", "5.00"}, {"V", "-"}, {"3", "3"}, {"=", "8.00"}}, false},
	{"clear keeps the pending operator", "",
		{{"5", "5"}, {"+", "5.00"}, {"C", ""}, {"3", "3"}, {"=", "8.00"}}, false},
	{"backspace after a result, then a digit starts afresh", "",
		{{"5", "5"}, {"+", "5.00"}, {"\b", "5.0"}, {"3", "3"}}, true},
	{"second point is not refused; an operator reads up to it", "",
		{{"1", "1"}, {".", "1."}, {".", "1.."}, {"5", "1..5"}, {"+", "1.00"}}, true},
	{"point after an operator", "",
		{{"5", "5"}, {"+", "5.00"}, {".", "."}, {"5", ".5"}, {"=", "5.50"}}, false},
	{"division by zero empties the field", "", {{"9", "9"}, {"/", "9.00"}, {"0", "0"}, {"=", ""}},
		false},
	{"negative division by zero leaves no minus behind", "",
		{{"9", "9"}, {"V", "-9"}, {"/", "-9.00"}, {"0", "0"}, {"=", ""}}, false},
	{"zero by zero leaves no minus behind", "", {{"0", "0"}, {"/", "0.00"}, {"0", "0"}, {"=", ""}},
		false},
	{"a number after a non-finite result starts fresh", "",
		{{"9", "9"}, {"V", "-9"}, {"/", "-9.00"}, {"0", "0"}, {"*", ""}, {"5", "5"}, {"V", "-5"}},
		true},
	{"after infinity the next operand reads as zero", "",
		{{"9", "9"}, {"/", "9.00"}, {"0", "0"}, {"-", ""}, {"=", ""}}, false},
	{"sign toggles while entering", "12", {{"V", "-12"}, {"V", "12"}}, true},
	{"sign on an empty field", "", {{"V", "-"}}, true},
	{"sign on zero keeps the zero", "0", {{"V", "-0"}, {"5", "-05"}, {"+", "-5.00"}}, true},
	{"lower-case keys", "7", {{"v", "-7"}, {"c", ""}}, true},
	{"backspace removes the last byte only while there is one", "12",
		{{"\b", "1"}, {"\b", ""}, {"\b", ""}}, true},
	{"keys outside the map are dropped (Escape closes the pad: PadKeyboardTest)", "7",
		{{"\n", "7"}, {",", "7"}, {"\t", "7"}, {"\x7f", "7"}, {"x", "7"}, {"\xc3\xa9", "7"},
			{"\xe2\x82\xac", "7"}, {"\x1c", "7"}},
		true},
	{"results too long for a fixed buffer stay whole", "",
		{{"99999999999999999999", "99999999999999999999"}, {"*", "100000000000000000000.00"},
			{"99999999999999999999", "99999999999999999999"},
			{"=", "10000000000000000303786028427003666890752.00"}},
		false},
	{"a result longer than 39 characters is the next operand whole", "",
		{{"777777777777777777777777777777777777777777777",
			 "777777777777777777777777777777777777777777777"},
			{"+", "777777777777777793569591476207062143096324096.00"},
			{"=", "1555555555555555587139182952414124286192648192.00"}},
		false},
};

} // namespace

TEST_F(PadTest, KeySequences)
{
	for (const PadCase& c : kPadCases) {
		SCOPED_TRACE(c.name);
		SetField(c.start);
		CalcWnd* pad = OpenPad();
		ASSERT_NE(nullptr, pad);
		for (const PadStep& step : c.steps) {
			// A multi-digit step types its digits one key at a time; other steps are one key,
			// multi-byte characters included.
			std::string key = step.key;
			bool digits = key.size() > 1
				&& key.find_first_not_of("0123456789") == std::string::npos;
			if (digits) {
				for (char digit : key)
					Press(pad, std::string(1, digit).c_str());
			} else
				Press(pad, step.key);
			EXPECT_STREQ(step.field, Field()->Text()) << "after key " << (int)(uint8)step.key[0];
		}
		EXPECT_EQ(c.openAfter, Pad() != nullptr);

		if (std::string(c.steps.back().key) == "=") {
			// "=" hands the field back with its whole text selected.
			EXPECT_TRUE(Field()->IsFocus());
			int32 start = -1;
			int32 end = -1;
			Field()->GetSelection(&start, &end);
			EXPECT_EQ(0, start);
			EXPECT_EQ(Field()->TextLength(), end);
		}
		if (Pad() != nullptr)
			ActivateMain();
		ASSERT_EQ(nullptr, Pad());
	}
}

TEST_F(PadTest, EveryKeyDownIsOneActionIncludingRepeats)
{
	SetField("");
	CalcWnd* pad = OpenPad();
	uint32 id = HeadlessBackend::IdOf(pad);
	fBackend->InjectKeyDown(id, "4");
	fBackend->InjectKeyDown(id, "4", 0, true);
	fBackend->InjectKeyDown(id, "4", 0, true);
	fBackend->InjectKeyUp(id, "4");
	Drain();
	EXPECT_STREQ("444", Field()->Text());
}

TEST_F(PadTest, OpensUnderTheSourceFieldBorderlessAndFloating)
{
	fMain->MoveTo(300, 200);
	Drain();
	CalcWnd* pad = OpenPad();
	ASSERT_NE(nullptr, pad);

	// The field's left-bottom corner (45, 43) on the screen, and 104 x 130 from there.
	BRect expected(345, 243, 449, 373);
	EXPECT_EQ(expected, pad->Frame());
	EXPECT_STREQ("Calc", pad->Title());
	EXPECT_EQ(B_BORDERED_WINDOW_LOOK, pad->Look());
	EXPECT_EQ(B_FLOATING_ALL_WINDOW_FEEL, pad->Feel());
	EXPECT_EQ((uint32)B_NOT_ZOOMABLE, pad->Flags());

	int32 shown = 0;
	for (const HeadlessBackend::WindowInfo& info : fBackend->Windows()) {
		if (info.title != "Calc")
			continue;
		shown++;
		EXPECT_EQ(expected, info.frame);
		EXPECT_FALSE(info.decorated);
		EXPECT_TRUE(info.alwaysOnTop);
		EXPECT_TRUE(info.visible);
	}
	EXPECT_EQ(1, shown);
	EXPECT_EQ(HeadlessBackend::IdOf(pad), fBackend->ActiveWindow());
}

TEST_F(PadTest, NearTheScreensBottomThePadOpensAboveTheFieldNotOverIt)
{
	// The field spans rows 21 to 43 of the window; the pad is 104 x 130 with a one-pixel
	// border from the window manager.
	fBackend->SetFrameExtents(BPrivate::FrameExtents{4, 24, 4, 4},
		BPrivate::FrameExtents{1, 1, 1, 1});
	struct Case {
		float screenBottom;
		float windowTop;
		float padTop;
	} const kCases[] = {
		{479, 200, 243}, // room below: under the field, as always
		{479, 305, 348}, // the border's last row on the screen's last row: still below
		{479, 306, 195}, // one row short: above, its border right above the field
		{479, 440, 329}, // the window itself partly off the screen: above all the same
		{239, 100, 108}, // room neither below nor above: pushed up just enough, as before
	};
	for (const Case& test : kCases) {
		SCOPED_TRACE(test.windowTop);
		fBackend->SetScreen(BRect(0, 0, 639, test.screenBottom));
		fMain->MoveTo(300, test.windowTop);
		Drain();
		CalcWnd* pad = OpenPad();
		ASSERT_NE(nullptr, pad);
		EXPECT_EQ(BRect(345, test.padTop, 449, test.padTop + 130), pad->Frame());
		ActivateMain();
		ASSERT_EQ(nullptr, Pad());
	}
}

TEST_F(PadTest, ButtonsFollowTheTable)
{
	CalcWnd* pad = OpenPad();
	ASSERT_NE(nullptr, pad);
	CalcView* view = pad->View();
	EXPECT_EQ(BRect(0, 0, 103, 129), view->Frame());
	EXPECT_EQ(ui_color(B_PANEL_BACKGROUND_COLOR), view->ViewColor());
	EXPECT_TRUE(view->IsFocus());
	ASSERT_EQ(kCalcButtonCount, view->CountChildren());

	for (const CalcButton& key : kCalcButtons) {
		SCOPED_TRACE(key.label);
		BButton* button = view->ButtonAt(key.index);
		ASSERT_NE(nullptr, button);
		EXPECT_EQ(BRect(key.left, key.top, key.right, key.bottom), button->Frame());
		EXPECT_STREQ(key.label, button->Label());
		char label[3] = "??";
		EXPECT_STREQ(key.label, view->BtnText(label, key.index));
		int32 index = -1;
		ASSERT_NE(nullptr, button->Message());
		EXPECT_EQ(kCalcPressed, button->Message()->what);
		EXPECT_EQ(B_OK, button->Message()->FindInt32("ix", &index));
		EXPECT_EQ(key.index, index);
		EXPECT_EQ(view, button->Target());
	}
	char untouched[3] = "ab";
	EXPECT_STREQ("ab", view->BtnText(untouched, 19));
}

TEST_F(PadTest, ClicksOnTheButtonsCalculate)
{
	SetField("");
	CalcWnd* pad = OpenPad();
	ASSERT_NE(nullptr, pad);
	uint32 id = HeadlessBackend::IdOf(pad);
	const char* const labels[] = {"1", "2", "+", "3", "0", "*", "2", "="};
	for (const char* label : labels) {
		for (const CalcButton& key : kCalcButtons) {
			if (std::string(key.label) != label)
				continue;
			// The middle of the key, away from the shared borders.
			fBackend->InjectClick(id,
				BPoint((key.left + key.right) / 2, (key.top + key.bottom) / 2));
			Drain();
		}
	}
	EXPECT_STREQ("84.00", Field()->Text());
	EXPECT_EQ(nullptr, Pad());
}

TEST_F(PadTest, PressMessagesWithoutAnIndexAreIgnored)
{
	SetField("7");
	CalcWnd* pad = OpenPad();
	ASSERT_NE(nullptr, pad);
	BMessage noIndex(kCalcPressed);
	pad->PostMessage(&noIndex, pad->View());
	BMessage outside(kCalcPressed);
	outside.AddInt32("ix", 99);
	pad->PostMessage(&outside, pad->View());
	Drain();
	EXPECT_STREQ("7", Field()->Text());
	EXPECT_NE(nullptr, Pad());
}

TEST_F(PadTest, LosingActivationClosesThePadAndTheNextStartsAfresh)
{
	SetField("");
	CalcWnd* first = OpenPad();
	ASSERT_NE(nullptr, first);
	Press(first, "5");
	Press(first, "+");

	// A click into the amount field brings the main window to the front.
	BPoint inField = Field()->ConvertToWindow(BPoint(10, 10));
	fBackend->InjectClick(MainId(), inField);
	Drain();
	EXPECT_EQ(nullptr, Pad());
	EXPECT_STREQ("5.00", Field()->Text());

	// The "+" left pending by the first pad is gone: 3 "=" gives 3, not 5 + 3.
	CalcWnd* second = OpenPad();
	ASSERT_NE(nullptr, second);
	Press(second, "C");
	Press(second, "3");
	Press(second, "=");
	EXPECT_STREQ("3.00", Field()->Text());
	EXPECT_EQ(nullptr, Pad());
}

TEST_F(PadTest, ANonFiniteResultCarriesNoSignIntoTheNextPad)
{
	// -9 / 0 and 0 / 0 print as "-inf" and "-nan"; the next pad must not find a "-" there.
	for (const char* first : {"9V/0=", "0/0="}) {
		SCOPED_TRACE(first);
		SetField("");
		CalcWnd* pad = OpenPad();
		ASSERT_NE(nullptr, pad);
		for (const char* key = first; *key != '\0'; key++)
			Press(pad, std::string(1, *key).c_str());
		ASSERT_EQ(nullptr, Pad());
		EXPECT_STREQ("", Field()->Text());

		pad = OpenPad();
		ASSERT_NE(nullptr, pad);
		for (const char* key : {"5", "+", "3", "="})
			Press(pad, key);
		EXPECT_STREQ("8.00", Field()->Text());
	}
}

TEST_F(PadTest, EveryPadEditIsConverted)
{
	BMessage source(kMsgSourceCurrency);
	source.AddInt32("whg", 2); // DEM
	fMain->PostMessage(&source, View());
	BMessage target(kMsgTargetCurrency);
	target.AddInt32("whg", 4); // FRF
	fMain->PostMessage(&target, View());
	SetField("0");
	Field()->MakeFocus(true);
	Drain();
	ASSERT_EQ(2, View()->SourceIndex());
	ASSERT_EQ(4, View()->TargetIndex());

	auto expectConverted = [this](const char* amount) {
		SCOPED_TRACE(amount);
		ConversionTexts texts;
		ASSERT_TRUE(ConvertAmount(amount, 2, 4, View()->Rounding(), &texts));
		EXPECT_EQ(texts.euroLine, View()->EuroLine()->Text());
		EXPECT_EQ(texts.target, View()->TargetField()->Text());
	};

	CalcWnd* pad = OpenPad();
	ASSERT_NE(nullptr, pad);
	Press(pad, "5");
	expectConverted("5");
	Press(pad, "+");
	EXPECT_STREQ("5.00", Field()->Text());
	expectConverted("5.00");
	Press(pad, "2");
	expectConverted("2");

	// Dismissed without "=": what the field shows is what is converted, and the field has
	// not got the focus back.
	ActivateMain();
	ASSERT_EQ(nullptr, Pad());
	expectConverted(Field()->Text());
	EXPECT_FALSE(Field()->IsFocus());

	SetField("0");
	pad = OpenPad();
	Press(pad, "5");
	Press(pad, "=");
	EXPECT_STREQ("5.00", Field()->Text());
	expectConverted("5.00");
}
