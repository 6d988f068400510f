// The pad without a mouse: Tab walks its buttons, Space and Enter press the one with the
// focus, and the keyboard map still works while a button has the focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Button.h"
#include "CalcView.h"
#include "CalcWnd.h"
#include "ConverterFixture.h"
#include "InterfaceDefs.h"
#include "Messages.h"
#include "TEdit.h"

using BPrivate::HeadlessBackend;

namespace {

class PadKeyboardTest : public MainWindowTest {
protected:
	void SetUp() override
	{
		MainWindowTest::SetUp();
		fMain->MainView()->SourceField()->SetText("");
		fMain->PostMessage(kMsgOpenCalculator, fMain);
		Drain();
		fPad = FindWindow<CalcWnd>();
		ASSERT_NE(nullptr, fPad);
		fView = dynamic_cast<CalcView*>(fPad->ChildAt(0));
		ASSERT_NE(nullptr, fView);
	}

	void Key(const char* bytes, uint32 modifiers = 0)
	{
		fBackend->InjectKey(HeadlessBackend::IdOf(fPad), bytes, modifiers);
		Drain();
	}

	std::string Field() const { return fMain->MainView()->SourceField()->Text(); }

	CalcWnd* fPad = nullptr;
	CalcView* fView = nullptr;
};

} // namespace

TEST_F(PadKeyboardTest, TabWalksTheButtonsInIndexOrderAndSpacePressesTheFocusedOne)
{
	ASSERT_EQ(fView, fPad->CurrentFocus());
	Key("\t");
	EXPECT_EQ(fView->ButtonAt(0), fPad->CurrentFocus());
	Key("\t");
	Key("\t");
	EXPECT_EQ(fView->ButtonAt(2), fPad->CurrentFocus());
	Key(" ");
	EXPECT_EQ("9", Field());
	// Keys of the map reach the pad from a focused button too.
	Key("4");
	EXPECT_EQ("94", Field());
	Key("\t", B_SHIFT_KEY);
	Key("\t", B_SHIFT_KEY);
	Key("\t", B_SHIFT_KEY);
	EXPECT_EQ(fView->ButtonAt(18), fPad->CurrentFocus());
	Key("\n");
	EXPECT_EQ("94.00", Field());
	EXPECT_EQ(nullptr, FindWindow<CalcWnd>());
	EXPECT_EQ(fMain->MainView()->SourceField(), fMain->CurrentFocus());
}

TEST_F(PadKeyboardTest, WithThePanelFocusedEnterStillDoesNothing)
{
	Key("7");
	Key("\n");
	EXPECT_EQ("7", Field());
	EXPECT_NE(nullptr, FindWindow<CalcWnd>());
}

TEST_F(PadKeyboardTest, EscapeClosesThePadLeavingTheFieldAsItIs)
{
	const struct {
		const char* name;
		const char* keys; // typed on the pad before Escape
		int32 tabs;       // how many buttons on the focus moves first
		const char* field;
	} cases[] = {
		{"no \"=\" rounding", "12.3456", 0, "12.3456"},
		{"from a focused key", "7", 3, "7"},
		{"with an operator pending", "7+2", 0, "2"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		if (FindWindow<CalcWnd>() == nullptr) {
			fMain->MainView()->SourceField()->SetText("");
			fMain->PostMessage(kMsgOpenCalculator, fMain);
			Drain();
			fPad = FindWindow<CalcWnd>();
			ASSERT_NE(nullptr, fPad);
		}
		for (const char* key = c.keys; *key != '\0'; key++) {
			const char one[2] = {*key, '\0'};
			Key(one);
		}
		for (int32 i = 0; i < c.tabs; i++)
			Key("\t");
		Key("\x1b");
		EXPECT_EQ(nullptr, FindWindow<CalcWnd>());
		EXPECT_EQ(c.field, Field());
		EXPECT_EQ(fMain->MainView()->SourceField(), fMain->CurrentFocus());
		// Typing on goes on after the amount, not before it.
		int32 start = -1;
		int32 end = -1;
		fMain->MainView()->SourceField()->GetSelection(&start, &end);
		EXPECT_EQ((int32)strlen(c.field), start);
		EXPECT_EQ(start, end);
	}
}

TEST_F(PadKeyboardTest, AKeyReachedByTabIsRingedInTheNavigationColour)
{
	const rgb_color mark = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
	// Just inside the outline of key 5 (26, 26 to 52, 52): its left, top, right and bottom.
	const BPoint ring[] = {BPoint(27, 39), BPoint(39, 27), BPoint(51, 39), BPoint(39, 51)};
	auto pixels = [&] {
		std::vector<rgb_color> seen;
		for (BPoint at : ring)
			seen.push_back(fBackend->PixelAt(fPad, (int32)at.x, (int32)at.y));
		return seen;
	};
	const std::vector<rgb_color> plain = pixels();
	EXPECT_EQ(plain.end(), std::find(plain.begin(), plain.end(), mark));

	for (int32 i = 0; i < 6; i++)
		Key("\t");
	ASSERT_EQ(fView->ButtonAt(5), fPad->CurrentFocus());
	EXPECT_EQ(std::vector<rgb_color>(std::size(ring), mark), pixels());

	// Focus the program gives draws no ring: the key looks as it did without the focus.
	fPad->Lock();
	fView->MakeFocus(true);
	fView->ButtonAt(5)->MakeFocus(true);
	fPad->Unlock();
	Drain();
	EXPECT_EQ(plain, pixels());
}
