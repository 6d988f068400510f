// Menus: items, marks, separators and submenus; placement on the screen; and tracking a
// pop-up menu from a mouse-down on the headless backend: press-drag-release, the sticky
// click, cascading submenus, the keyboard, and delivery after Go returns.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Menu.h"
#include "MenuItem.h"
#include "MenuWindow.h"
#include "Message.h"
#include "PopUpMenu.h"
#include "View.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

namespace {

std::vector<std::string> gLog;

// A menu with every kind of entry: plain items, a separator, a disabled item, a submenu and
// a marked item with a shortcut.
BPopUpMenu*
ExampleMenu()
{
	BPopUpMenu* menu = new BPopUpMenu("Menu", false, false);
	menu->AddItem(new BMenuItem("Alpha", new BMessage('alph')));
	menu->AddItem(new BMenuItem("Beta", new BMessage('beta')));
	menu->AddSeparatorItem();
	BMenuItem* disabled = new BMenuItem("Gamma", new BMessage('gamm'));
	disabled->SetEnabled(false);
	menu->AddItem(disabled);
	BMenu* submenu = new BMenu("More");
	submenu->AddItem(new BMenuItem("Inner one", new BMessage('in 1')));
	submenu->AddItem(new BMenuItem("Inner two", new BMessage('in 2')));
	menu->AddItem(submenu);
	BMenuItem* quit = new BMenuItem("Quit", new BMessage('quit'), 'Q');
	quit->SetMarked(true);
	menu->AddItem(quit);
	return menu;
}

enum { kAlpha, kBeta, kSeparator, kGamma, kMore, kQuit };

std::string
Code(uint32 what)
{
	char text[5] = {(char)(what >> 24), (char)(what >> 16), (char)(what >> 8), (char)what, 0};
	return text;
}

// Opens the example menu from its MouseDown, as an application view does.
class OwnerView : public BView {
public:
	OwnerView() : BView(BRect(0, 0, 199, 149), "owner", B_FOLLOW_ALL_SIDES, B_WILL_DRAW) {}

	void MouseDown(BPoint where) override
	{
		BPopUpMenu* menu = ExampleMenu();
		if (targetItems) {
			// Each level has its own items.
			menu->SetTargetForItems(this);
			menu->ItemAt(kMore)->Submenu()->SetTargetForItems(this);
		}
		BMenuItem* chosen = menu->Go(ConvertToScreen(where), true);
		gLog.push_back(std::string("returned:") + (chosen != nullptr ? chosen->Label() : "-"));
		delete menu;
	}

	void MessageReceived(BMessage* message) override
	{
		gLog.push_back(std::string(Name()) + ":" + Code(message->what));
	}

	bool targetItems = true;
};

class MenuTest : public testing::Test {
protected:
	void SetUp() override
	{
		gLog.clear();
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.menu-test");
		fWindow = new BWindow(BRect(100, 100, 299, 249), "owner", B_TITLED_WINDOW, B_NOT_RESIZABLE);
		fOwner = new OwnerView();
		fWindow->AddChild(fOwner);
		fWindow->Show();
		EventLoop::Drain();
	}

	void TearDown() override
	{
		EventLoop::SetIdleHook(nullptr);
		delete fApp;
	}

	// Each time the nested loop runs out of input, the next step acts; after the last one
	// the loop is abandoned.
	void Script(std::vector<std::function<void()>> steps)
	{
		auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
		auto next = std::make_shared<size_t>(0);
		EventLoop::SetIdleHook([shared, next] {
			if (*next < shared->size())
				(*shared)[(*next)++]();
		});
	}

	// Presses the button at the point of the owner and runs until the menu is done.
	void PressAt(BPoint where)
	{
		fBackend->InjectMouseDown(HeadlessBackend::IdOf(fWindow), where);
		EventLoop::Drain();
	}

	// The visible menu windows, outermost first.
	std::vector<HeadlessBackend::WindowInfo> MenuWindows() const
	{
		std::vector<HeadlessBackend::WindowInfo> menus;
		for (const auto& info : fBackend->Windows()) {
			if (info.popupMenu && info.visible)
				menus.push_back(info);
		}
		std::sort(menus.begin(), menus.end(),
			[](const auto& a, const auto& b) { return a.id < b.id; });
		return menus;
	}

	// The centre of an item of the innermost menu, in its window's coordinates.
	static BPoint ItemCenter(int32 index)
	{
		BRect frame = BPrivate::TrackedMenu()->ItemFrame(index);
		return BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
	}

	uint32 Innermost() const { return MenuWindows().back().id; }

	void MoveTo(int32 index) { fBackend->InjectMouseMoved(Innermost(), ItemCenter(index), 1); }
	void ReleaseAt(BPoint where) { fBackend->InjectMouseUp(Innermost(), where); }
	void Key(const char* key) { fBackend->InjectKey(Innermost(), key); }

	HeadlessBackend* fBackend;
	BApplication* fApp;
	BWindow* fWindow;
	OwnerView* fOwner;
};

} // namespace

// #pragma mark - structure

TEST(MenuStructureTest, KeepsItemsInOrderWithTheirStates)
{
	BPopUpMenu* menu = ExampleMenu();
	ASSERT_EQ(menu->CountItems(), 6);
	const char* labels[] = {"Alpha", "Beta", "", "Gamma", "More", "Quit"};
	for (int32 i = 0; i < 6; i++)
		EXPECT_STREQ(menu->ItemAt(i)->Label(), labels[i]) << i;
	EXPECT_TRUE(menu->ItemAt(kSeparator)->IsSeparator());
	EXPECT_FALSE(menu->ItemAt(kSeparator)->IsEnabled());
	EXPECT_FALSE(menu->ItemAt(kGamma)->IsEnabled());
	EXPECT_TRUE(menu->ItemAt(kAlpha)->IsEnabled());
	EXPECT_EQ(menu->FindMarked(), menu->ItemAt(kQuit));
	uint32 modifiers = 99;
	EXPECT_EQ(menu->ItemAt(kQuit)->Shortcut(&modifiers), 'Q');
	EXPECT_EQ(modifiers, 0u);

	BMenu* submenu = menu->ItemAt(kMore)->Submenu();
	ASSERT_NE(submenu, nullptr);
	EXPECT_EQ(submenu->Supermenu(), menu);
	EXPECT_EQ(submenu->Superitem(), menu->ItemAt(kMore));
	EXPECT_EQ(menu->FindItem("Inner two"), submenu->ItemAt(1));
	EXPECT_EQ(menu->ItemAt(6), nullptr);
	delete menu;
}

TEST(MenuStructureTest, DeletingAMenuDeletesItsItemsAndSubmenus)
{
	static int sAlive = 0;
	struct CountedItem : BMenuItem {
		CountedItem() : BMenuItem("counted", nullptr) { sAlive++; }
		~CountedItem() override { sAlive--; }
	};
	BPopUpMenu* menu = new BPopUpMenu("Menu");
	BMenu* submenu = new BMenu("sub");
	BMenu* deeper = new BMenu("deeper");
	deeper->AddItem(new CountedItem);
	submenu->AddItem(new CountedItem);
	submenu->AddItem(deeper);
	menu->AddItem(new CountedItem);
	menu->AddItem(submenu);
	EXPECT_EQ(sAlive, 3);

	delete menu;
	EXPECT_EQ(sAlive, 0);
}

// With the label taken from the marked item, the superitem names the current choice;
// without it, or once radio mode is left, the superitem keeps its own label.
TEST(MenuStructureTest, SuperitemShowsTheMarkedLabelOnlyWhenAsked)
{
	struct Case {
		const char* what;
		bool labelFromMarked;
		bool leaveRadioMode;
		const char* label;
	} cases[] = {
		{"from marked", true, false, "Zwei"},
		{"plain", false, false, "Wahl"},
		{"radio mode left", true, true, "Eins"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		BPopUpMenu menu("root", false, false);
		BMenu* choices = new BMenu("Wahl");
		BMenuItem* one = new BMenuItem("Eins", nullptr);
		BMenuItem* two = new BMenuItem("Zwei", nullptr);
		choices->AddItem(one);
		choices->AddItem(two);
		one->SetMarked(true);
		menu.AddItem(choices);
		BMenuItem* superitem = choices->Superitem();
		EXPECT_STREQ(superitem->Label(), "Wahl");

		choices->SetLabelFromMarked(c.labelFromMarked);
		EXPECT_EQ(choices->IsLabelFromMarked(), c.labelFromMarked);
		EXPECT_EQ(choices->IsRadioMode(), c.labelFromMarked) << "the label implies radio mode";
		EXPECT_STREQ(superitem->Label(), c.labelFromMarked ? "Eins" : "Wahl");
		if (c.leaveRadioMode) {
			choices->SetRadioMode(false);
			EXPECT_FALSE(choices->IsLabelFromMarked());
		}
		two->SetMarked(true);
		EXPECT_STREQ(superitem->Label(), c.label);
		EXPECT_EQ(one->IsMarked(), !c.labelFromMarked || c.leaveRadioMode);
	}

	// A submenu that already has its choice names it from the moment it is added.
	BPopUpMenu menu("root", false, false);
	BPopUpMenu* currency = new BPopUpMenu("Währung");
	BMenuItem* euro = new BMenuItem("EUR", nullptr);
	currency->AddItem(euro);
	euro->SetMarked(true);
	menu.AddItem(currency);
	EXPECT_STREQ(currency->Superitem()->Label(), "EUR");
}

TEST(MenuStructureTest, AskingForRowsIsMisuse)
{
	EXPECT_DEBUG_DEATH({ BMenu rows("rows", B_ITEMS_IN_ROW); }, "B_ITEMS_IN_COLUMN");
	EXPECT_DEBUG_DEATH({ BPopUpMenu grid("grid", true, true, B_ITEMS_IN_MATRIX); },
		"B_ITEMS_IN_COLUMN");
}

TEST(MenuStructureTest, LaysItemsOutInAColumnWithRoomForShortcutsAndArrows)
{
	BPopUpMenu* menu = ExampleMenu();
	BPoint size = menu->PreferredSize();
	menu->ResizeTo(size.x, size.y);

	float bottom = -1;
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BRect frame = menu->ItemFrame(i);
		SCOPED_TRACE(i);
		EXPECT_GT(frame.top, bottom);
		EXPECT_LE(frame.bottom, size.y);
		EXPECT_EQ(menu->ItemIndexAt(BPoint(size.x / 2, frame.top)), i);
		EXPECT_EQ(menu->ItemIndexAt(BPoint(size.x / 2, frame.bottom)), i);
		bottom = frame.bottom;
	}
	EXPECT_LT(menu->ItemFrame(kSeparator).Height(), menu->ItemFrame(kAlpha).Height());
	EXPECT_EQ(menu->ItemIndexAt(BPoint(0, 0)), -1);
	EXPECT_EQ(menu->ItemIndexAt(BPoint(size.x / 2, size.y)), -1);

	// A shortcut needs room that a plain label does not.
	BPopUpMenu plain("plain", false, false);
	plain.AddItem(new BMenuItem("Quit", nullptr));
	BPopUpMenu withShortcut("shortcut", false, false);
	withShortcut.AddItem(new BMenuItem("Quit", nullptr, 'Q'));
	EXPECT_GT(withShortcut.PreferredSize().x, plain.PreferredSize().x);
	delete menu;
}

TEST(MenuStructureTest, ShortcutIsWrittenAsTheKeyboardLabelsIt)
{
	// The command key is always part of a shortcut; it is Ctrl, "Strg" on German keyboards.
	const struct {
		char key;
		uint32 modifiers;
		const char* label;
	} cases[] = {
		{'Q', 0, "Strg+Q"},
		{'q', 0, "Strg+Q"},
		{'Q', B_COMMAND_KEY, "Strg+Q"},
		{'Q', B_CONTROL_KEY, "Strg+Q"},
		{'N', B_SHIFT_KEY, "Strg+Umschalt+N"},
		{'N', B_SHIFT_KEY | B_OPTION_KEY, "Strg+Super+Umschalt+N"},
		{',', 0, "Strg+,"},
		{'1', 0, "Strg+1"},
		{0, 0, ""},
		{' ', 0, ""},
		{'\t', 0, ""},
		{'\x7f', 0, ""},
		{(char)0xc3, 0, ""},
	};
	for (const auto& c : cases) {
		BMenuItem item("Item", nullptr, c.key, c.modifiers);
		EXPECT_EQ(BPrivate::ShortcutLabel(&item), c.label) << (int)(unsigned char)c.key;
	}

	// The whole label gets room: wider than the label alone by at least its text.
	BPopUpMenu plain("plain", false, false);
	plain.AddItem(new BMenuItem("Quit", nullptr));
	BPopUpMenu withShortcut("shortcut", false, false);
	withShortcut.AddItem(new BMenuItem("Quit", nullptr, 'Q'));
	EXPECT_GE(withShortcut.PreferredSize().x - plain.PreferredSize().x,
		be_plain_font->StringWidth("Strg+Q"));
}

TEST(MenuPlacementTest, KeepsMenusOnTheScreen)
{
	const BRect screen(0, 0, 799, 599);
	const BPoint size(99, 199);
	struct Case {
		BPoint where;
		BPoint expected;
	};
	const Case cases[] = {
		{BPoint(10, 20), BPoint(10, 20)},     // room everywhere: top-left at the point
		{BPoint(750, 20), BPoint(651, 20)},   // flipped to the left of the point
		{BPoint(10, 500), BPoint(10, 301)},   // flipped above the point
		{BPoint(780, 590), BPoint(681, 391)}, // both
		{BPoint(50, 150), BPoint(50, 150)},
	};
	for (const Case& c : cases) {
		BRect frame = BPrivate::PlaceMenu(c.where, size, screen);
		EXPECT_EQ(frame.LeftTop(), c.expected) << c.where.x << "," << c.where.y;
		EXPECT_EQ(frame.Width(), size.x);
		EXPECT_TRUE(screen.Contains(frame));
	}
	// A menu larger than the screen is cut to it.
	EXPECT_EQ(BPrivate::PlaceMenu(BPoint(10, 300), BPoint(5000, 900), screen), screen);

	BRect parent(600, 100, 699, 299);
	EXPECT_EQ(BPrivate::PlaceSubmenu(parent, 150, size, screen).LeftTop(), BPoint(700, 150));
	// No room at the right: the submenu opens to the left of its parent.
	BRect rightmost(720, 100, 799, 299);
	EXPECT_EQ(BPrivate::PlaceSubmenu(rightmost, 500, size, screen).LeftTop(), BPoint(620, 400));
}

// #pragma mark - tracking

TEST_F(MenuTest, OpensAtThePointerAndDrawsItsItems)
{
	std::vector<HeadlessBackend::WindowInfo> seen;
	Script({[&] {
		seen = MenuWindows();
		BPrivate::CloseTrackedMenu();
	}});
	PressAt(BPoint(30, 40));
	ASSERT_EQ(seen.size(), 1u);
	EXPECT_EQ(seen[0].frame.LeftTop(), BPoint(130, 140));
	EXPECT_FALSE(seen[0].decorated);
	EXPECT_TRUE(seen[0].alwaysOnTop);
	EXPECT_EQ(gLog, (std::vector<std::string>{"returned:-"}));
	EXPECT_TRUE(MenuWindows().empty());
}

namespace {

// Draws one string where a menu item would, over the menu's background.
class LabelView : public BView {
public:
	LabelView(BRect frame, const char* text, BPoint where) :
		BView(frame, "label", B_FOLLOW_NONE, B_WILL_DRAW),
		fText(text),
		fWhere(where)
	{
		SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	}

	void Draw(BRect) override
	{
		SetFont(be_plain_font);
		SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
		SetHighColor(ui_color(B_MENU_ITEM_TEXT_COLOR));
		DrawString(fText.c_str(), fWhere);
	}

private:
	std::string fText;
	BPoint fWhere;
};

} // namespace

TEST_F(MenuTest, ShortcutShowsAsTextAtTheRightOfItsItem)
{
	// The shortcut's column of the open menu, pixel by pixel.
	BRect column;
	BPoint labelAt;
	std::vector<rgb_color> shown;
	Script({[&] {
		BMenu* menu = BPrivate::TrackedMenu();
		BRect frame = menu->ItemFrame(kQuit);
		float width = std::ceil(be_plain_font->StringWidth("Strg+Q"));
		float right = frame.right - 8;
		// Wide enough to take in a key cap left of the letters as well.
		column = BRect(right - width - 14, frame.top, frame.right - 1, frame.bottom);
		font_height height;
		be_plain_font->GetHeight(&height);
		labelAt = BPoint(right - width + 1,
			std::floor(frame.top + (frame.Height() + height.ascent - height.descent) / 2 + 0.5f));
		uint32 id = Innermost();
		for (int32 y = (int32)column.top; y <= (int32)column.bottom; y++) {
			for (int32 x = (int32)column.left; x <= (int32)column.right; x++)
				shown.push_back(fBackend->PixelAt(id, x, y));
		}
		BPrivate::CloseTrackedMenu();
	}});
	PressAt(BPoint(30, 40));
	ASSERT_FALSE(shown.empty());

	// The same text drawn by a plain view at the same place.
	BWindow* reference = new BWindow(BRect(300, 300, 300 + column.right + 10,
										 300 + column.bottom + 10),
		"reference", B_TITLED_WINDOW, B_NOT_RESIZABLE);
	reference->AddChild(new LabelView(reference->Bounds(), "Strg+Q", labelAt));
	reference->Show();
	EventLoop::Drain();

	int32 mismatches = 0;
	size_t index = 0;
	for (int32 y = (int32)column.top; y <= (int32)column.bottom; y++) {
		for (int32 x = (int32)column.left; x <= (int32)column.right; x++) {
			rgb_color expected = fBackend->PixelAt(reference, x, y);
			if (shown[index++] != expected && mismatches++ < 5)
				ADD_FAILURE() << "at " << x << "," << y;
		}
	}
	EXPECT_EQ(mismatches, 0);
	reference->Lock();
	reference->Quit();
	EventLoop::Drain();
}

TEST_F(MenuTest, PressDragReleaseChoosesAndTheMessageArrivesAfterGoReturns)
{
	Script({[&] {
		MoveTo(kAlpha);
		MoveTo(kBeta);
		ReleaseAt(ItemCenter(kBeta));
	}});
	PressAt(BPoint(30, 40));
	EXPECT_EQ(gLog, (std::vector<std::string>{"returned:Beta", "owner:beta"}));
	EXPECT_TRUE(MenuWindows().empty());
}

TEST_F(MenuTest, ReleaseOverSeparatorOrDisabledItemChoosesNothing)
{
	for (int32 index : {kSeparator, kGamma}) {
		SCOPED_TRACE(index);
		gLog.clear();
		bool stillOpen = false;
		Script({[&] {
					MoveTo(index);
					ReleaseAt(ItemCenter(index));
				},
			[&] {
				stillOpen = BPrivate::TrackedMenu() != nullptr;
				Key("\x1b");
			}});
		PressAt(BPoint(30, 40));
		EXPECT_TRUE(stillOpen);
		EXPECT_EQ(gLog, (std::vector<std::string>{"returned:-"}));
	}
}

TEST_F(MenuTest, AQuickClickLeavesTheMenuOpenForASecondClick)
{
	bool stillOpen = false;
	Script({[&] {
				// Released at once outside the items: a click, not a drag.
				ReleaseAt(BPoint(-3, -3));
			},
		[&] {
			stillOpen = BPrivate::TrackedMenu() != nullptr;
			fBackend->InjectClick(Innermost(), ItemCenter(kAlpha));
		}});
	PressAt(BPoint(30, 40));
	EXPECT_TRUE(stillOpen);
	EXPECT_EQ(gLog, (std::vector<std::string>{"returned:Alpha", "owner:alph"}));
}

TEST_F(MenuTest, ReleaseOutsideAfterADragOrAPauseClosesWithoutAChoice)
{
	const std::vector<std::pair<const char*, std::function<void()>>> cases = {
		{"after passing over an item", [this] { MoveTo(kBeta); }},
		{"after holding the button", [] { usleep(350000); }},
	};
	for (const auto& testCase : cases) {
		// clang 14, which clang-tidy runs on, cannot capture a structured binding in a lambda.
		const std::function<void()>& before = testCase.second;
		SCOPED_TRACE(testCase.first);
		gLog.clear();
		Script({[&] {
			before();
			fBackend->InjectMouseMoved(Innermost(), BPoint(-40, 10), 1);
			ReleaseAt(BPoint(-40, 10));
		}});
		PressAt(BPoint(30, 40));
		EXPECT_EQ(gLog, (std::vector<std::string>{"returned:-"}));
		EXPECT_TRUE(MenuWindows().empty());
	}
}

TEST_F(MenuTest, EscapeOrAClickOutsideClosesWithoutAChoice)
{
	const std::vector<std::pair<const char*, std::function<void()>>> cases = {
		{"escape", [this] { Key("\x1b"); }},
		{"click outside", [this] { fBackend->InjectMouseDown(Innermost(), BPoint(-50, 5)); }},
	};
	for (const auto& [name, close] : cases) {
		SCOPED_TRACE(name);
		gLog.clear();
		Script({[this] { ReleaseAt(BPoint(-3, -3)); }, close});
		PressAt(BPoint(30, 40));
		EXPECT_EQ(gLog, (std::vector<std::string>{"returned:-"}));
		EXPECT_TRUE(MenuWindows().empty());
	}
}

TEST_F(MenuTest, SubmenusCascadeToTheRightAndTheirItemsCanBeChosen)
{
	std::vector<HeadlessBackend::WindowInfo> open;
	std::string tracked;
	Script({[&] { MoveTo(kMore); },
		[&] {
			open = MenuWindows();
			tracked = BPrivate::TrackedMenu()->Name();
			MoveTo(1);
			ReleaseAt(ItemCenter(1));
		}});
	PressAt(BPoint(30, 40));

	ASSERT_EQ(open.size(), 2u);
	EXPECT_EQ(open[1].frame.left, open[0].frame.right + 1);
	EXPECT_GT(open[1].frame.top, open[0].frame.top);
	EXPECT_EQ(tracked, "More");
	EXPECT_EQ(gLog, (std::vector<std::string>{"returned:Inner two", "owner:in 2"}));
}

TEST_F(MenuTest, KeyboardMovesOverSelectableItemsAndOpensSubmenus)
{
	struct Case {
		const char* name;
		std::vector<const char*> keys;
		const char* returned;
	};
	const Case cases[] = {
		{"skips separator and disabled item", {"\x1f", "\x1f", "\x1f", "\x1f", "\n"}, "Quit"},
		{"up wraps to the end", {"\x1e", "\n"}, "Quit"},
		{"right opens, enter chooses", {"\x1e", "\x1e", "\x1d", "\x1f", "\n"}, "Inner two"},
		{"left closes the submenu", {"\x1e", "\x1e", "\x1d", "\x1c", "\x1f", "\n"}, "Quit"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		gLog.clear();
		std::vector<std::function<void()>> steps;
		steps.push_back([this] { ReleaseAt(BPoint(-3, -3)); });
		for (const char* key : c.keys)
			steps.push_back([this, key] { Key(key); });
		Script(steps);
		PressAt(BPoint(30, 40));
		ASSERT_FALSE(gLog.empty());
		EXPECT_EQ(gLog[0], std::string("returned:") + c.returned);
	}
}

TEST_F(MenuTest, ChooseTrackedItemActsAsAReleaseOverTheItem)
{
	bool chooseDisabled = true, chooseSubmenu = true, chooseInner = false;
	Script({[&] {
				BMenu* menu = BPrivate::TrackedMenu();
				chooseDisabled = BPrivate::ChooseTrackedItem(menu->ItemAt(kGamma));
				chooseSubmenu = BPrivate::ChooseTrackedItem(menu->ItemAt(kMore));
			},
		[&] {
			BMenu* submenu = BPrivate::TrackedMenu();
			chooseInner = BPrivate::ChooseTrackedItem(submenu->ItemAt(0));
		}});
	PressAt(BPoint(30, 40));
	EXPECT_FALSE(chooseDisabled);
	EXPECT_FALSE(chooseSubmenu);
	EXPECT_TRUE(chooseInner);
	EXPECT_EQ(gLog, (std::vector<std::string>{"returned:Inner one", "owner:in 1"}));

	// An item of a submenu that is not open yet: the submenu opens on the way.
	gLog.clear();
	Script({[&] {
		BMenu* submenu = BPrivate::TrackedMenu()->ItemAt(kMore)->Submenu();
		BPrivate::ChooseTrackedItem(submenu->ItemAt(1));
	}});
	PressAt(BPoint(30, 40));
	EXPECT_EQ(gLog, (std::vector<std::string>{"returned:Inner two", "owner:in 2"}));
}

TEST_F(MenuTest, ItemsWithoutATargetSendToTheLooperThatCalledGo)
{
	class FocusView : public BView {
	public:
		FocusView() : BView(BRect(0, 0, 5, 5), "focus", B_FOLLOW_NONE, 0) {}
		void MessageReceived(BMessage* message) override
		{
			gLog.push_back("focus:" + Code(message->what));
		}
	};
	FocusView* focus = new FocusView();
	fWindow->AddChild(focus);
	focus->MakeFocus(true);
	fOwner->targetItems = false;
	Script({[&] { BPrivate::ChooseTrackedItem(BPrivate::TrackedMenu()->ItemAt(kBeta)); }});
	PressAt(BPoint(30, 40));
	EXPECT_EQ(gLog, (std::vector<std::string>{"returned:Beta", "focus:beta"}));
}
