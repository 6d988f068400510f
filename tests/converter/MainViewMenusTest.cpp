// Clicks on the converter view: the context menu and the three band menus as the headless
// backend shows them, the swap area, and what a choice does.
#include "ConverterFixture.h"

#include <functional>

#include "Alert.h"
#include "EventLoop.h"
#include "InterfaceDefs.h"
#include "Menu.h"
#include "MenuItem.h"
#include "MenuWindow.h"
#include "PopUpMenu.h"

namespace {

// Every currency list, top to bottom; null stands for the separator before the later ones.
const char* const kCountries[] = {"Euro", "Belgien", "Deutschland", "Finnland", "Frankreich",
	"Griechenland", "Irland", "Italien", "Luxemburg", "Niederlande", "\xC3\x96sterreich",
	"Portugal", "Spanien", nullptr, "Bulgarien", "Estland", "Kroatien", "Lettland", "Litauen",
	"Malta", "Slowakei", "Slowenien", "Zypern"};
constexpr int32 kSeparatorRow = 13;

// What a shown menu held, level by level.
struct Entry {
	std::string label;
	std::string description; // the accessible one
	bool separator = false;
	bool marked = false;
	bool enabled = true;
	char shortcut = 0;
	uint32 modifiers = 0;
	uint32 command = 0;
	int32 value = -1; // "whg" or "runden"
	BHandler* target = nullptr;
	std::vector<Entry> submenu;
};

std::vector<Entry>
Record(const BMenu* menu)
{
	std::vector<Entry> entries;
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BMenuItem* item = menu->ItemAt(i);
		Entry entry;
		entry.label = item->Label();
		entry.description = item->AccessibleDescription();
		entry.separator = item->IsSeparator();
		entry.marked = item->IsMarked();
		entry.enabled = item->IsEnabled();
		entry.shortcut = item->Shortcut(&entry.modifiers);
		entry.command = item->Command();
		if (BMessage* message = item->Message()) {
			if (message->FindInt32("whg", &entry.value) != B_OK)
				message->FindInt32("runden", &entry.value);
		}
		entry.target = item->Target();
		if (item->Submenu() != nullptr)
			entry.submenu = Record(item->Submenu());
		entries.push_back(entry);
	}
	return entries;
}

BMenuItem*
Find(BMenu* menu, const char* label)
{
	for (int32 i = 0; i < menu->CountItems(); i++) {
		if (std::string(menu->ItemAt(i)->Label()) == label)
			return menu->ItemAt(i);
	}
	return nullptr;
}

class MenusTest : public ConverterTest {
protected:
	// Clicks on the view; each menu that opens is recorded and then answered by pick, which
	// chooses with BPrivate::ChooseTrackedItem or does nothing (the menu closes unchosen).
	void Click(
		BPoint where, uint32 buttons,
		const std::function<void(BMenu*)>& pick = [](BMenu*) { BPrivate::CloseTrackedMenu(); })
	{
		fMenus.clear();
		BPrivate::EventLoop::SetIdleHook([this, pick] {
			BMenu* menu = BPrivate::TrackedMenu();
			if (menu == nullptr)
				return;
			// A chosen submenu opens a deeper level; record only the root of each show.
			if (menu->Supermenu() == nullptr) {
				fMenus.push_back(Record(menu));
				fScreenWhere.push_back(
					menu->Window() != nullptr ? menu->Window()->Frame().LeftTop() : BPoint(-1, -1));
			}
			pick(menu);
		});
		fScreenWhere.clear();
		fBackend->InjectClick(WindowId(), where, buttons);
		Drain();
		BPrivate::EventLoop::SetIdleHook(nullptr);
	}

	// Chooses the item of that label, opening its submenu first when a second label is given.
	static std::function<void(BMenu*)> Choose(const char* label, const char* inner = nullptr)
	{
		return [label, inner](BMenu* menu) {
			BMenuItem* item = Find(menu, label);
			ASSERT_NE(nullptr, item) << label;
			if (inner == nullptr) {
				EXPECT_TRUE(BPrivate::ChooseTrackedItem(item)) << label;
				return;
			}
			BPrivate::ChooseTrackedItem(item);
			BMenuItem* innerItem = Find(item->Submenu(), inner);
			ASSERT_NE(nullptr, innerItem) << inner;
			EXPECT_TRUE(BPrivate::ChooseTrackedItem(innerItem)) << inner;
		};
	}

	void ExpectCurrencyList(const std::vector<Entry>& list, int32 marked, uint32 command)
	{
		ASSERT_EQ(std::size(kCountries), list.size());
		for (int32 row = 0; row < (int32)list.size(); row++) {
			SCOPED_TRACE(row);
			EXPECT_EQ(kCountries[row] == nullptr, list[row].separator);
			if (kCountries[row] == nullptr) {
				EXPECT_FALSE(list[row].marked);
				continue;
			}
			const int32 currency = row < kSeparatorRow ? row : row - 1;
			EXPECT_EQ(kCountries[row], list[row].label);
			EXPECT_EQ(currency == marked, list[row].marked);
			EXPECT_TRUE(list[row].enabled);
			EXPECT_EQ(command, list[row].command);
			EXPECT_EQ(currency, list[row].value);
			EXPECT_EQ(View(), list[row].target);
			EXPECT_EQ(0, list[row].shortcut);
		}
	}

	void ExpectRoundingList(const std::vector<Entry>& list, int32 rounding, bool national)
	{
		const struct {
			const char* label;
			int32 value;
			bool alwaysEnabled;
		} rows[] = {
			{"3 Stellen runden", 1, false},
			{"4 Stellen runden", 2, false},
			{"nicht runden", 0, true},
		};
		ASSERT_EQ(3u, list.size());
		for (int32 i = 0; i < 3; i++) {
			SCOPED_TRACE(rows[i].label);
			EXPECT_EQ(rows[i].label, list[i].label);
			EXPECT_EQ('MpRu', list[i].command);
			EXPECT_EQ(rows[i].value, list[i].value);
			EXPECT_EQ(rounding == rows[i].value, list[i].marked);
			EXPECT_EQ(rows[i].alwaysEnabled || national, list[i].enabled);
			EXPECT_EQ(View(), list[i].target);
		}
	}

	std::vector<std::vector<Entry>> fMenus;
	std::vector<BPoint> fScreenWhere;
};

} // namespace

TEST_F(MenusTest, ContextMenuHoldsEveryCommand)
{
	Start();
	Command('MpIU', "whg", 4);
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON);
	ASSERT_EQ(1u, fMenus.size());
	const std::vector<Entry>& menu = fMenus[0];

	const struct {
		const char* label; // null: a separator
		uint32 command;
		bool submenu;
	} expected[] = {
		{"Ausgangsw\xC3\xA4hrung", 0, true},
		{"Zielw\xC3\xA4hrung", 0, true},
		{"W\xC3\xA4hrungen tauschen", 'MpTs', false},
		{"Rundung", 0, true},
		{nullptr, 0, false},
		{"immer sichtbar", 'MpFr', false},
		{"ohne Titel", 'MpTb', false},
		{nullptr, 0, false},
		{"Information\xE2\x80\xA6", 'MpIf', false},
		{"\xC3\xBC"
		 "ber\xE2\x80\xA6",
			B_ABOUT_REQUESTED, false},
		{"beenden", B_QUIT_REQUESTED, false},
	};
	ASSERT_EQ(std::size(expected), menu.size());
	for (size_t i = 0; i < menu.size(); i++) {
		SCOPED_TRACE(i);
		EXPECT_EQ(expected[i].label == nullptr, menu[i].separator);
		if (expected[i].label == nullptr)
			continue;
		EXPECT_EQ(expected[i].label, menu[i].label);
		EXPECT_EQ(expected[i].submenu, !menu[i].submenu.empty());
		EXPECT_FALSE(menu[i].marked);
		EXPECT_TRUE(menu[i].enabled);
		if (!expected[i].submenu) {
			EXPECT_EQ(expected[i].command, menu[i].command);
			EXPECT_EQ(View(), menu[i].target);
		}
		EXPECT_EQ(i == 10 ? 'Q' : 0, menu[i].shortcut);
		EXPECT_EQ(0u, menu[i].modifiers);
	}
	ExpectCurrencyList(menu[0].submenu, 2, 'MpIO');
	ExpectCurrencyList(menu[1].submenu, 4, 'MpIU');
	ExpectRoundingList(menu[3].submenu, 0, true);

	// At the pointer, and the click took the focus from the amount field.
	ASSERT_EQ(1u, fScreenWhere.size());
	EXPECT_NEAR(200, fScreenWhere[0].x, 4);
	EXPECT_NEAR(110, fScreenWhere[0].y, 4);
	EXPECT_TRUE(View()->IsFocus());
	EXPECT_EQ(0, fApp->CountWindows() - 1) << "the menu window is gone";
}

TEST_F(MenusTest, MarksAndEnabledStatesFollowTheState)
{
	StoreInt32("infront", 5);
	Start();
	Command('MpIO', "whg", 0);
	Command('MpTb');
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON);
	ASSERT_EQ(1u, fMenus.size());
	EXPECT_FALSE(fMenus[0][5].marked) << "infront 5 is off";
	EXPECT_TRUE(fMenus[0][6].marked) << "tabless";
	ExpectCurrencyList(fMenus[0][0].submenu, 0, 'MpIO');
	ExpectRoundingList(fMenus[0][3].submenu, 0, false);

	Command('MpIO', "whg", 9);
	Command('MpIU', "whg", 10);
	Command('MpRu', "runden", 2);
	Click(BPoint(100, 56) + BPoint(90, 0), B_PRIMARY_MOUSE_BUTTON);
	ASSERT_EQ(1u, fMenus.size());
	ExpectRoundingList(fMenus[0], 2, true);

	Command('MpIU', "whg", 0);
	Click(BPoint(190, 56), B_PRIMARY_MOUSE_BUTTON);
	ASSERT_EQ(1u, fMenus.size());
	ExpectRoundingList(fMenus[0], 0, false);
}

TEST_F(MenusTest, PrimaryClicksChooseByBand)
{
	Start();
	Command('MpIU', "whg", 4);
	enum Outcome { kSourceList, kRoundingList, kTargetList, kSwap };
	const struct {
		BPoint where;
		Outcome outcome;
	} cases[] = {
		{{100, 10}, kSourceList},
		{{100, 45}, kSourceList},
		{{100, 46}, kRoundingList},
		{{100, 67}, kRoundingList},
		{{100, 68}, kTargetList},
		{{100, 105}, kTargetList},
		{{5, 100}, kTargetList}, // the lower plate oval
		{{20, 35}, kSourceList}, // the source flag
		{{20, 50}, kSwap},
		{{12, 45}, kSwap},
		{{32, 66}, kSwap},
		{{12, 66}, kSwap},
		{{33, 50}, kRoundingList},
		{{11, 50}, kRoundingList},
		{{20, 44}, kSourceList},
		{{20, 67}, kRoundingList},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(std::to_string(test.where.x) + "," + std::to_string(test.where.y));
		int32 source = View()->SourceIndex();
		int32 target = View()->TargetIndex();
		Click(test.where, B_PRIMARY_MOUSE_BUTTON);
		if (test.outcome == kSwap) {
			EXPECT_TRUE(fMenus.empty());
			EXPECT_EQ(target, View()->SourceIndex());
			EXPECT_EQ(source, View()->TargetIndex());
			continue;
		}
		EXPECT_EQ(source, View()->SourceIndex());
		ASSERT_EQ(1u, fMenus.size());
		if (test.outcome == kRoundingList)
			ExpectRoundingList(fMenus[0], 0, true);
		else if (test.outcome == kSourceList)
			ExpectCurrencyList(fMenus[0], source, 'MpIO');
		else
			ExpectCurrencyList(fMenus[0], target, 'MpIU');
	}
}

TEST_F(MenusTest, SwapClickCarriesTheAmountOver)
{
	Start();
	Command('MpIU', "whg", 4);
	Type("100");
	Click(BPoint(20, 50), B_PRIMARY_MOUSE_BUTTON);
	EXPECT_EQ(4, View()->SourceIndex());
	EXPECT_EQ(2, View()->TargetIndex());
	EXPECT_EQ("335.39", SourceText());
	EXPECT_EQ("100.00", TargetText());
	EXPECT_TRUE(View()->IsFocus());
}

TEST_F(MenusTest, ChoosingFromABandMenu)
{
	Start();
	Command('MpIU', "whg", 4);
	Type("100");
	Click(BPoint(100, 10), B_PRIMARY_MOUSE_BUTTON, Choose("Spanien"));
	EXPECT_EQ(12, View()->SourceIndex());
	EXPECT_EQ("0.601012 . . .", EuroText());
	EXPECT_EQ("3.94", TargetText());

	Click(BPoint(100, 100), B_PRIMARY_MOUSE_BUTTON, Choose("Euro"));
	EXPECT_EQ(0, View()->TargetIndex());
	EXPECT_EQ("0.60", TargetText());

	Command('MpIU', "whg", 2);
	Click(BPoint(100, 56) + BPoint(90, 0), B_PRIMARY_MOUSE_BUTTON, Choose("3 Stellen runden"));
	EXPECT_EQ(1, View()->Rounding());
	EXPECT_EQ("0.601", EuroText());
	EXPECT_EQ("1.18", TargetText());
}

TEST_F(MenusTest, ChoosingNothingChangesNothing)
{
	Start();
	Command('MpIO', "whg", 0);
	// A disabled item chooses nothing and leaves the menu open; then it closes unchosen.
	Click(BPoint(190, 56), B_PRIMARY_MOUSE_BUTTON, [](BMenu* menu) {
		EXPECT_FALSE(BPrivate::ChooseTrackedItem(Find(menu, "3 Stellen runden")));
		BPrivate::CloseTrackedMenu();
	});
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, [](BMenu* menu) {
		EXPECT_FALSE(BPrivate::ChooseTrackedItem(menu->ItemAt(4))) << "a separator";
		BPrivate::CloseTrackedMenu();
	});
	Click(BPoint(100, 100), B_PRIMARY_MOUSE_BUTTON);
	EXPECT_EQ(0, View()->SourceIndex());
	EXPECT_EQ(2, View()->TargetIndex());
	EXPECT_EQ(0, View()->Rounding());
	EXPECT_EQ(1, fApp->CountWindows());
}

TEST_F(MenusTest, ContextMenuCommandsRun)
{
	Start();
	Command('MpIU', "whg", 4);

	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON,
		Choose("Ausgangsw\xC3\xA4hrung", "Niederlande"));
	EXPECT_EQ(9, View()->SourceIndex());
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, Choose("Zielw\xC3\xA4hrung", "Irland"));
	EXPECT_EQ(6, View()->TargetIndex());
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, Choose("Rundung", "4 Stellen runden"));
	EXPECT_EQ(2, View()->Rounding());
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, Choose("W\xC3\xA4hrungen tauschen"));
	EXPECT_EQ(6, View()->SourceIndex());
	EXPECT_EQ(9, View()->TargetIndex());
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, Choose("immer sichtbar"));
	EXPECT_EQ(B_FLOATING_ALL_WINDOW_FEEL, Window()->Feel());
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, Choose("ohne Titel"));
	EXPECT_EQ(B_MODAL_WINDOW_LOOK, Window()->Look());
	EXPECT_FALSE(Info().decorated);

	// The rates alert opens from the menu; the idle hook then answers it.
	bool alertShown = false;
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, [&](BMenu* menu) {
		Choose("Information\xE2\x80\xA6")(menu);
		BPrivate::EventLoop::SetIdleHook([&] {
			if (BAlert* alert = BPrivate::CurrentAlert()) {
				alertShown = std::string(alert->Title()) == "Umrechnungskurse";
				fBackend->InjectKey(BPrivate::HeadlessBackend::IdOf(alert), "\n");
			}
		});
	});
	EXPECT_TRUE(alertShown);

	// The about request travels on to the main window, which opens the about window.
	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON,
		Choose("\xC3\xBC"
			   "ber\xE2\x80\xA6"));
	uint32 about = 0;
	for (const auto& info : fBackend->Windows()) {
		if (info.visible && info.title == "About")
			about = info.id;
	}
	ASSERT_NE(0u, about);
	fBackend->InjectKey(about, "\n");
	Drain();
	EXPECT_EQ(1, fApp->CountWindows());

	Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, Choose("beenden"));
	EXPECT_TRUE(fApp->IsQuitting());
}

// The window options' ticks tell what the window does: only 1 turns an option on (another
// value read from the file is off, unticked, and a click turns the option on), and "immer
// sichtbar" is offered only where the window system can keep a window above the others.
TEST_F(MenusTest, WindowOptionTicksTellWhatTheWindowDoes)
{
	const struct {
		int32 stored; // infront and tabless
		bool possible;
		bool inFrontTicked, inFrontEnabled;
	} cases[] = {
		{0, true, false, true},
		{1, true, true, true},
		{2, true, false, true},
		{-3, true, false, true},
		{0, false, false, false},
		{1, false, false, false},
		{2, false, false, false},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(testing::Message() << c.stored << (c.possible ? "" : ", cannot float"));
		fBackend->SetSupportsAlwaysOnTop(c.possible);
		StoreInt32("infront", c.stored);
		StoreInt32("tabless", c.stored);
		Start();
		const bool on = c.stored == 1;
		EXPECT_EQ(on, Info().alwaysOnTop);
		EXPECT_EQ(on, !Info().decorated);

		Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON);
		ASSERT_EQ(1u, fMenus.size());
		const Entry& inFront = fMenus[0][5];
		const Entry& tabless = fMenus[0][6];
		ASSERT_EQ("immer sichtbar", inFront.label);
		EXPECT_EQ(c.inFrontTicked, inFront.marked);
		EXPECT_EQ(c.inFrontEnabled, inFront.enabled);
		EXPECT_EQ(c.inFrontEnabled, inFront.description.empty()) << inFront.description;
		EXPECT_EQ(on, tabless.marked);
		EXPECT_TRUE(tabless.enabled);

		// A click turns an unticked option on and a ticked one off.
		Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, Choose("ohne Titel"));
		EXPECT_EQ(on ? 0 : 1, View()->Tabless());
		EXPECT_EQ(on, Info().decorated);
		if (c.inFrontEnabled) {
			Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON, Choose("immer sichtbar"));
			EXPECT_EQ(on ? 0 : 1, View()->InFront());
			EXPECT_EQ(!on, Info().alwaysOnTop);
		}
		fApp.reset();
	}
}

// Where the desktop keeps stacking and placing to itself, a screen reader hears where the option
// is instead.
TEST_F(MenusTest, WithoutAlwaysOnTopTheDescriptionSaysWhy)
{
	const struct {
		bool placesWindows;
		const char* heard;
	} cases[] = {
		{true,
			"Der Fenstermanager kann Fenster nicht \xC3\xBC"
			"ber anderen halten"},
		{false, "Das Fenstermen\xC3\xBC des Desktops bietet es an"},
	};
	for (const auto& c : cases) {
		fBackend->SetSupportsAlwaysOnTop(false);
		fBackend->SetSupportsWindowPosition(c.placesWindows);
		Start();
		Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON);
		ASSERT_EQ(1u, fMenus.size());
		EXPECT_EQ(c.heard, fMenus[0][5].description);
		fApp.reset();
	}
}

TEST_F(MenusTest, BothButtonsShowTheContextMenuThenActAsPrimary)
{
	Start();
	// The context menu's choice is handled only after the click: the band menu that follows
	// still shows the old source currency.
	int32 shown = 0;
	Click(BPoint(100, 10), B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON,
		[&shown](BMenu* menu) {
			if (shown++ == 0)
				Choose("Ausgangsw\xC3\xA4hrung", "Spanien")(menu);
			else
				Choose("Frankreich")(menu);
		});
	ASSERT_EQ(2u, fMenus.size());
	EXPECT_EQ(11u, fMenus[0].size());
	ExpectCurrencyList(fMenus[1], 2, 'MpIO');
	EXPECT_EQ(4, View()->SourceIndex()) << "both choices arrive, in order";

	// On the swap area: context menu first, then the swap.
	Click(BPoint(20, 50), B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON);
	ASSERT_EQ(1u, fMenus.size());
	EXPECT_EQ(11u, fMenus[0].size());
	EXPECT_EQ(2, View()->SourceIndex());
	EXPECT_EQ(4, View()->TargetIndex());
}

TEST_F(MenusTest, ClickOnTheBackgroundTakesTheFocusFromTheField)
{
	Start();
	Type("7");
	EXPECT_EQ("7", SourceText());
	Click(BPoint(20, 50), B_PRIMARY_MOUSE_BUTTON);
	Type("8");
	EXPECT_EQ("7.00", SourceText()) << "typed keys no longer reach the field";

	fBackend->InjectClick(WindowId(), BPoint(150, 30));
	Drain();
	EXPECT_TRUE(View()->SourceField()->IsFocus());
	Type("9");
	EXPECT_EQ("7.009", SourceText());
}

TEST_F(MenusTest, LaterCurrenciesAreChosenAndMarkedLikeTheOthers)
{
	Start();
	Type("100");
	const struct {
		BPoint where;
		const char* label;
		int32 source;
		int32 target;
		const char* euro;
		const char* result;
	} steps[] = {
		{{100, 10}, "Bulgarien", 13, 2, "51.129188 . . .", "100.00"},
		{{100, 100}, "Euro", 13, 0, "51.129188 . . .", "51.13"},
		{{100, 100}, "Zypern", 13, 21, "51.129188 . . .", "29.92"},
		{{100, 10}, "Slowenien", 20, 21, "0.417293 . . .", "0.24"},
		{{100, 10}, "Spanien", 12, 21, "0.601012 . . .", "0.35"},
	};
	for (const auto& step : steps) {
		SCOPED_TRACE(step.label);
		Click(step.where, B_PRIMARY_MOUSE_BUTTON, Choose(step.label));
		ASSERT_EQ(1u, fMenus.size());
		EXPECT_EQ(step.source, View()->SourceIndex());
		EXPECT_EQ(step.target, View()->TargetIndex());
		EXPECT_EQ(step.euro, EuroText());
		EXPECT_EQ(step.result, TargetText());

		// Both lists of the context menu mark the new choice; rounding is offered between
		// any two national currencies.
		Click(BPoint(100, 10), B_SECONDARY_MOUSE_BUTTON);
		ASSERT_EQ(1u, fMenus.size());
		ExpectCurrencyList(fMenus[0][0].submenu, step.source, 'MpIO');
		ExpectCurrencyList(fMenus[0][1].submenu, step.target, 'MpIU');
		ExpectRoundingList(fMenus[0][3].submenu, 0, step.target != 0);
	}
}

TEST_F(MenusTest, KeyboardStepsOverTheSeparatorAndALongListScrolls)
{
	// Too low a screen for the whole list: its window stays on the screen and scrolls.
	fBackend->SetScreen(BRect(0, 0, 639, 239));
	Start();
	Type("100");
	bool scrolls = false;
	float bottom = 0;
	int32 keys = 0;
	Click(BPoint(100, 10), B_PRIMARY_MOUSE_BUTTON, [&](BMenu* menu) {
		uint32 id = BPrivate::HeadlessBackend::IdOf(menu->Window());
		if (keys == 0) {
			auto* window = dynamic_cast<BPrivate::MenuWindow*>(menu->Window());
			ASSERT_NE(nullptr, window);
			scrolls = window->CanScrollDown();
			bottom = window->Frame().bottom;
		}
		// Down from the top: "Spanien" is the 13th stop, "Bulgarien" the next.
		const char down[] = {B_DOWN_ARROW, 0};
		if (keys++ < kSeparatorRow + 1)
			fBackend->InjectKey(id, down);
		else
			fBackend->InjectKey(id, "\n");
	});
	EXPECT_TRUE(scrolls);
	EXPECT_LE(bottom, 239);
	EXPECT_EQ(13, View()->SourceIndex());
	EXPECT_EQ("51.129188 . . .", EuroText());
}
