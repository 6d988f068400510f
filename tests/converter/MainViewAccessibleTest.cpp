// The program as a screen reader sees it, through the kit's accessible tree on the
// headless backend at scale 1 and 2: every widget of the main window, the pad, the about
// window, the rates alert and the context menu with role, name, states and bounds; the
// events of typing and of moving the focus; the actions of the buttons, the bands and the
// swap arrow; and an amount edited through the text interface.
#include "ConverterFixture.h"

#include <functional>

#include "AccessibilityRecorder.h"
#include "AccessibleKit.h"
#include "AccessibleNodes.h"
#include "Alert.h"
#include "CalcWnd.h"
#include "CurrencyTable.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Messages.h"
#include "PopUpMenu.h"
#include "TAboutWindow.h"
#include "WindowPrivate.h"

using BPrivate::AccessibilityRecorder;
using BPrivate::AccessibleNode;
using BPrivate::FindNode;
using EventType = BPrivate::AccessibleEvent::Type;

namespace {

const char kFunctionKey[] = {B_FUNCTION_KEY, 0};
const uint64 kShown = B_STATE_VISIBLE | B_STATE_SHOWING;

class AccessibleMainTest : public ConverterTest, public testing::WithParamInterface<int32> {
protected:
	void SetUp() override
	{
		ConverterTest::SetUp();
		fBackend->SetScale(GetParam());
	}

	AccessibleNode* Root() const { return BPrivate::AccessibleRoot(); }
	AccessibleNode* Node(BView* view) const { return BPrivate::NodeOf(view); }

	BRect Pixels(BRect screen) const
	{
		float s = (float)GetParam();
		return BRect(screen.left * s, screen.top * s, (screen.right + 1) * s - 1,
			(screen.bottom + 1) * s - 1);
	}

	BRect PixelsOf(BView* view) const { return Pixels(view->ConvertToScreen(view->Bounds())); }

	AccessibleNode* Find(accessible_role role, const std::string& name) const
	{
		return FindNode(Root(), role, name);
	}

	// Runs the hook once inside the next nested loop (a menu or an alert), then lets it end.
	void OnceInNestedLoop(const std::function<void()>& hook)
	{
		auto done = std::make_shared<bool>(false);
		BPrivate::EventLoop::SetIdleHook([hook, done] {
			if (!*done) {
				*done = true;
				hook();
			}
		});
	}

	std::string SourceCode() const { return ISOCode[View()->SourceIndex()]; }
	std::string TargetCode() const { return ISOCode[View()->TargetIndex()]; }
};

// #pragma mark - the main window

TEST_P(AccessibleMainTest, MainWindowWidgets)
{
	AccessibilityRecorder recorder;
	Start();
	EXPECT_EQ("ZQ Kambo-Lux", Root()->Name());
	ASSERT_EQ(1, Root()->CountChildren());
	AccessibleNode* frame = Root()->ChildAt(0);
	EXPECT_EQ(B_ROLE_FRAME, frame->Role());
	EXPECT_EQ("ZQ Kambo-Lux", frame->Name());
	EXPECT_EQ(Pixels(Window()->Frame()), frame->ScreenBounds());

	TMainView* view = View();
	ASSERT_EQ(1, frame->CountChildren());
	ASSERT_EQ(Node(view), frame->ChildAt(0));
	const std::string target = Land[view->TargetIndex()];
	struct Case {
		BView* view;
		accessible_role role;
		std::string name;
		uint64 states;
	} cases[] = {
		{view->SourceField(), B_ROLE_TEXT, "Betrag in DEM",
			kShown | B_STATE_EDITABLE | B_STATE_FOCUSED | B_STATE_SINGLE_LINE},
		{view->TargetField(), B_ROLE_TEXT, "Ergebnis in " + TargetCode(),
			kShown | B_STATE_READ_ONLY | B_STATE_LIVE},
		{view->EuroLine(), B_ROLE_TEXT, "Euro-Betrag", kShown | B_STATE_READ_ONLY | B_STATE_LIVE},
		{view->ChildAt(3), B_ROLE_PUSH_BUTTON, "Taschenrechner",
			kShown | B_STATE_ENABLED | B_STATE_FOCUSABLE},
		{view->ChildAt(4), B_ROLE_PUSH_BUTTON,
			"\xC3\x9C"
			"ber ZQ Kambo-Lux",
			kShown | B_STATE_ENABLED | B_STATE_FOCUSABLE},
	};
	AccessibleNode* main = Node(view);
	ASSERT_EQ(9, main->CountChildren());
	for (int32 i = 0; i < 5; i++) {
		const Case& c = cases[i];
		AccessibleNode* node = main->ChildAt(i);
		SCOPED_TRACE(c.name);
		EXPECT_EQ(Node(c.view), node);
		EXPECT_EQ(c.role, node->Role());
		EXPECT_EQ(c.name, node->Name());
		EXPECT_EQ(c.states, node->States() & c.states);
		EXPECT_EQ(PixelsOf(c.view), node->ScreenBounds());
	}
	EXPECT_EQ(1, Node(view->ChildAt(3))->CountActions());
	EXPECT_EQ("press", Node(view->ChildAt(3))->ActionName(0));

	// The bands and the arrow, drawn by the view, after its five child views.
	BRect window = Window()->Frame();
	struct Part {
		std::string name;
		uint64 states;
		BRect frame; // in the window
	} parts[] = {
		{"Ausgangsw\xC3\xA4hrung: Deutschland", B_STATE_ENABLED | B_STATE_HAS_POPUP,
			BRect(0, 0, window.Width(), 45)},
		{"Rundung: nicht runden", B_STATE_ENABLED | B_STATE_HAS_POPUP,
			BRect(0, 46, window.Width(), 67)},
		{"Zielw\xC3\xA4hrung: " + target, B_STATE_ENABLED | B_STATE_HAS_POPUP,
			BRect(0, 68, window.Width(), window.Height())},
		{"W\xC3\xA4hrungen tauschen", B_STATE_ENABLED, BRect(12, 45, 32, 66)},
	};
	for (int32 i = 0; i < 4; i++) {
		AccessibleNode* node = main->ChildAt(5 + i);
		SCOPED_TRACE(parts[i].name);
		EXPECT_EQ(B_ROLE_PUSH_BUTTON, node->Role());
		EXPECT_EQ(parts[i].name, node->Name());
		EXPECT_EQ(parts[i].states | kShown, node->States());
		EXPECT_EQ(Pixels(parts[i].frame.OffsetByCopy(window.left, window.top)),
			node->ScreenBounds());
		EXPECT_EQ("press", node->ActionName(0));
		EXPECT_FALSE(node->ActionDescription(0).empty());
	}
}

TEST_P(AccessibleMainTest, TypingAnAmountAnnouncesBothResults)
{
	AccessibilityRecorder recorder;
	Start();
	recorder.Clear();
	Type("100");
	std::vector<std::string> names;
	std::string lastEuro;
	std::string lastTarget;
	for (const auto& event : recorder.events) {
		if (event.type != EventType::kTextInserted)
			continue;
		names.push_back(event.node->Name());
		if (event.node == Node(View()->EuroLine()))
			lastEuro = event.text;
		if (event.node == Node(View()->TargetField()))
			lastTarget = event.text;
	}
	const std::string amount = "Betrag in DEM";
	const std::string euro = "Euro-Betrag";
	const std::string result = "Ergebnis in " + TargetCode();
	// The keys reach the field first; each conversion then changes the euro line and the
	// target, in that order, the last one to the texts shown.
	ASSERT_GE(names.size(), 5u);
	EXPECT_EQ((std::vector<std::string>{amount, amount, amount}),
		std::vector<std::string>(names.begin(), names.begin() + 3));
	for (size_t i = 3; i < names.size(); i++)
		EXPECT_EQ((i - 3) % 2 == 0 ? euro : result, names[i]) << i;
	EXPECT_EQ(EuroText(), lastEuro);
	EXPECT_EQ(TargetText(), lastTarget);
	// The first key replaced the selected "0".
	EXPECT_EQ("text-removed Betrag in DEM @0+1 '0'",
		recorder.Lines({EventType::kTextRemoved}).front());
	std::vector<std::string> carets;
	for (const std::string& line : recorder.Lines({EventType::kCaretMoved})) {
		if (line.find(amount) != std::string::npos)
			carets.push_back(line);
	}
	EXPECT_EQ((std::vector<std::string>{"caret-moved Betrag in DEM @0",
				  "caret-moved Betrag in DEM @1", "caret-moved Betrag in DEM @2",
				  "caret-moved Betrag in DEM @3"}),
		carets);
}

TEST_P(AccessibleMainTest, FocusFollowsTheKeyboardAndNamesFollowTheCurrency)
{
	AccessibilityRecorder recorder;
	Start();
	// A screen reader has read the window (and so its parts) before they change.
	ASSERT_EQ(9, Node(View())->CountChildren());
	recorder.Clear();
	for (int32 i = 0; i < 3; i++) {
		fBackend->InjectKey(WindowId(), "\t", B_CONTROL_KEY);
		Drain();
	}
	EXPECT_EQ((std::vector<std::string>{"focused Ergebnis in " + TargetCode(),
				  "focused Euro-Betrag", "focused Taschenrechner"}),
		recorder.Lines({EventType::kFocused}));

	recorder.Clear();
	Command(kMsgSourceCurrency, "whg", 3);
	Command(kMsgRounding, "runden", kRoundThree);
	EXPECT_EQ((std::vector<std::string>{"name-changed Betrag in FIM",
				  "name-changed Ausgangsw\xC3\xA4hrung: Finnland",
				  "name-changed Rundung: 3 Stellen runden"}),
		recorder.Lines({EventType::kNameChanged}));

	// The later currencies are named as the others are.
	recorder.Clear();
	Command(kMsgSourceCurrency, "whg", 13);
	Command(kMsgTargetCurrency, "whg", 21);
	EXPECT_EQ((std::vector<std::string>{"name-changed Betrag in BGN",
				  "name-changed Ausgangsw\xC3\xA4hrung: Bulgarien", "name-changed Ergebnis in CYP",
				  "name-changed Zielw\xC3\xA4hrung: Zypern"}),
		recorder.Lines({EventType::kNameChanged}));
}

TEST_P(AccessibleMainTest, WithoutAListenerTheProgramMakesNoNodes)
{
	Start();
	Type("100");
	fBackend->InjectKey(WindowId(), "\t", B_CONTROL_KEY);
	Command(kMsgSourceCurrency, "whg", 3);
	Drain();
	EXPECT_EQ(nullptr, BPrivate::WindowAccess::Accessible(Window()));
	for (int32 i = 0; i < View()->CountChildren(); i++) {
		BPrivate::ViewAccessible* data = BPrivate::AccessibleData(View()->ChildAt(i), false);
		// Named views keep their names, nothing more.
		EXPECT_TRUE(data == nullptr || data->node == nullptr) << i;
	}
	EXPECT_EQ(nullptr, BPrivate::AccessibleData(View(), false));
}

// #pragma mark - actions

TEST_P(AccessibleMainTest, CalculatorButtonOpensThePadWithItsKeys)
{
	AccessibilityRecorder recorder;
	Start();
	recorder.Clear();
	ASSERT_TRUE(Node(View()->ChildAt(3))->DoAction(0));
	Drain();
	CalcWnd* pad = FindWindow<CalcWnd>();
	ASSERT_NE(nullptr, pad);
	ASSERT_EQ(2, Root()->CountChildren());
	std::vector<std::string> added = recorder.Lines({EventType::kChildAdded});
	EXPECT_NE(added.end(), std::find(added.begin(), added.end(), "child-added ZQ Kambo-Lux [1]"));
	AccessibleNode* window = BPrivate::NodeOf(pad);
	EXPECT_EQ(B_ROLE_FRAME, window->Role());
	EXPECT_EQ("Taschenrechner", window->Name());
	EXPECT_STREQ("Calc", pad->Title()) << "the title stays";

	std::vector<std::string> labels;
	std::function<void(AccessibleNode*)> collect = [&](AccessibleNode* node) {
		if (node->Role() == B_ROLE_PUSH_BUTTON) {
			labels.push_back(node->Name());
			EXPECT_EQ("press", node->ActionName(0));
			EXPECT_EQ(kShown | B_STATE_ENABLED, node->States() & (kShown | B_STATE_ENABLED));
		}
		for (int32 i = 0; i < node->CountChildren(); i++)
			collect(node->ChildAt(i));
	};
	collect(window);
	EXPECT_EQ((std::vector<std::string>{"7", "8", "9", "/", "4", "5", "6", "*", "1", "2", "3", "-",
				  "0", ".", "V", "+", "C", "<-", "="}),
		labels);
	AccessibleNode* clear = FindNode(window, B_ROLE_PUSH_BUTTON, "C");
	EXPECT_EQ("L\xC3\xB6schen", clear->Description());

	// Its keys edit the amount field, as clicks do.
	ASSERT_TRUE(FindNode(window, B_ROLE_PUSH_BUTTON, "7")->DoAction(0));
	Drain();
	EXPECT_EQ("7", SourceText());
}

TEST_P(AccessibleMainTest, BandActionOpensItsListAndTheArrowSwaps)
{
	Start();
	AccessibilityRecorder recorder;
	AccessibleNode* main = Node(View());
	std::vector<std::string> checked;
	int32 items = 0;
	OnceInNestedLoop([&] {
		BMenu* menu = BPrivate::TrackedMenu();
		ASSERT_NE(nullptr, menu);
		AccessibleNode* node = BPrivate::NodeOf(menu);
		EXPECT_EQ(B_ROLE_MENU, node->Role());
		EXPECT_EQ("Zielw\xC3\xA4hrung", node->Name());
		items = node->CountChildren();
		for (int32 i = 0; i < items; i++) {
			AccessibleNode* item = node->ChildAt(i);
			if (i == kFirstLaterCurrency) {
				// The reader hears where the later currencies begin.
				EXPECT_EQ(B_ROLE_SEPARATOR, item->Role());
				continue;
			}
			EXPECT_EQ(B_ROLE_RADIO_MENU_ITEM, item->Role());
			if ((item->States() & B_STATE_CHECKED) != 0)
				checked.push_back(item->Name());
		}
		// Chosen like the keyboard's Enter.
		node->ChildAt(5)->DoAction(0);
	});
	const std::string previous = Land[View()->TargetIndex()];
	ASSERT_TRUE(main->ChildAt(7)->DoAction(0)); // the target band
	Drain();
	EXPECT_EQ(kCurrencyCount + 1, items);
	EXPECT_EQ(std::vector<std::string>{previous}, checked);
	EXPECT_EQ(5, View()->TargetIndex());
	EXPECT_EQ("Zielw\xC3\xA4hrung: Griechenland", main->ChildAt(7)->Name());

	int32 source = View()->SourceIndex();
	ASSERT_TRUE(main->ChildAt(8)->DoAction(0));
	Drain();
	EXPECT_EQ(5, View()->SourceIndex());
	EXPECT_EQ(source, View()->TargetIndex());
	EXPECT_EQ("Betrag in GRD", Node(View()->SourceField())->Name());
}

TEST_P(AccessibleMainTest, EachBandsListIsNamedAfterItAndOffersOneChoiceOfSeveral)
{
	Start();
	const struct {
		int32 part; // the band's part of the converter view
		const char* name;
	} cases[] = {
		{5, "Ausgangsw\xC3\xA4hrung"},
		{6, "Rundung"},
		{7, "Zielw\xC3\xA4hrung"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		std::string window;
		std::string list;
		accessible_role windowRole = B_ROLE_UNKNOWN;
		std::vector<accessible_role> roles;
		int32 checked = 0;
		OnceInNestedLoop([&] {
			AccessibleNode* node = BPrivate::NodeOf(BPrivate::TrackedMenu());
			list = node->Name();
			window = node->Parent()->Name();
			windowRole = node->Parent()->Role();
			for (int32 i = 0; i < node->CountChildren(); i++) {
				roles.push_back(node->ChildAt(i)->Role());
				checked += (node->ChildAt(i)->States() & B_STATE_CHECKED) != 0 ? 1 : 0;
			}
			BPrivate::CloseTrackedMenu();
		});
		ASSERT_TRUE(Node(View())->ChildAt(c.part)->DoAction(0));
		Drain();
		EXPECT_EQ(c.name, list);
		EXPECT_EQ(c.name, window) << "the window a list opens in carries its name";
		EXPECT_EQ(B_ROLE_WINDOW, windowRole);
		ASSERT_FALSE(roles.empty());
		std::vector<accessible_role> expected(roles.size(), B_ROLE_RADIO_MENU_ITEM);
		// The currency lists set the later currencies apart.
		if (c.part != 6)
			expected.at(kFirstLaterCurrency) = B_ROLE_SEPARATOR;
		EXPECT_EQ(expected, roles);
		EXPECT_EQ(1, checked);
	}
}

TEST_P(AccessibleMainTest, EditingThroughTheTextInterfaceConverts)
{
	AccessibilityRecorder recorder;
	Start();
	BPrivate::AccessibleText* amount = Node(View()->SourceField())->Text();
	ASSERT_TRUE(amount->SetContents("100"));
	Drain();
	std::string euro = EuroText();
	EXPECT_EQ("100", SourceText());
	ASSERT_TRUE(amount->InsertText(0, "2"));
	Drain();
	EXPECT_EQ("2100", SourceText());
	EXPECT_NE(euro, EuroText());
	// The field's filter still decides what gets in.
	EXPECT_TRUE(amount->InsertText(4, "x"));
	Drain();
	EXPECT_EQ("2100", SourceText());
	EXPECT_FALSE(Node(View()->EuroLine())->Text()->SetContents("1"));
}

// #pragma mark - other windows

TEST_P(AccessibleMainTest, AboutWindowTextLinksAndButton)
{
	AccessibilityRecorder recorder;
	Start();
	ASSERT_TRUE(Node(View()->ChildAt(4))->DoAction(0));
	Drain();
	TAboutWindow* about = FindWindow<TAboutWindow>();
	ASSERT_NE(nullptr, about);
	AccessibleNode* window = BPrivate::NodeOf(about);
	EXPECT_EQ(B_ROLE_DIALOG, window->Role());
	EXPECT_EQ("\xC3\x9C"
			  "ber ZQ Kambo-Lux",
		window->Name());
	EXPECT_STREQ("About", about->Title()) << "the title stays";
	EXPECT_EQ(Pixels(about->Frame()), window->ScreenBounds());

	AccessibleNode* text = FindNode(window,
		[](AccessibleNode* node) { return node->Text() != nullptr; });
	ASSERT_NE(nullptr, text);
	EXPECT_EQ(B_STATE_READ_ONLY, text->States() & (B_STATE_READ_ONLY | B_STATE_EDITABLE));
	BPrivate::AccessibleText* content = text->Text();
	ASSERT_EQ(2, content->CountLinks());
	std::vector<std::string> addresses;
	for (int32 i = 0; i < 2; i++) {
		int32 start = -1, end = -1;
		std::string address;
		ASSERT_TRUE(content->GetLink(i, &start, &end, &address));
		addresses.push_back(address);
		std::string contents = content->Contents();
		int32 byteStart = BPrivate::ByteOffsetOfCharacter(contents, start);
		int32 byteEnd = BPrivate::ByteOffsetOfCharacter(contents, end);
		// The link's characters are its address as the text shows it.
		EXPECT_NE(std::string::npos,
			address.find(
				contents.substr((size_t)byteStart, (size_t)(byteEnd - byteStart)).substr(7, 10)));
	}
	EXPECT_EQ((std::vector<std::string>{"http://www.dorvanix.example/",
				  "http://www.dorvanix.example/app/be"}),
		addresses);
	ASSERT_TRUE(content->ActivateLink(1));
	EXPECT_TRUE(fBackend->LaunchedURLs().empty());
	Drain();
	EXPECT_EQ(std::vector<std::string>{"http://www.dorvanix.example/app/be"},
		fBackend->LaunchedURLs());

	AccessibleNode* ok = FindNode(window, B_ROLE_PUSH_BUTTON, "OK");
	ASSERT_NE(nullptr, ok);
	EXPECT_NE(0u, ok->States() & B_STATE_DEFAULT);
	recorder.Clear();
	ASSERT_TRUE(ok->DoAction(0));
	Drain();
	EXPECT_EQ(nullptr, FindWindow<TAboutWindow>());
	EXPECT_EQ(1, Root()->CountChildren());
	EXPECT_EQ("window-hidden \xC3\x9C"
			  "ber ZQ Kambo-Lux",
		recorder.Lines({EventType::kWindowHidden}).front());
}

TEST_P(AccessibleMainTest, RatesAlertTextAndButton)
{
	Start();
	AccessibilityRecorder recorder;
	std::string role;
	std::string text;
	std::string button;
	OnceInNestedLoop([&] {
		BAlert* alert = FindWindow<BAlert>();
		ASSERT_NE(nullptr, alert);
		AccessibleNode* window = BPrivate::NodeOf(alert);
		role = window->Role() == B_ROLE_DIALOG ? "dialog" : "other";
		AccessibleNode* textNode = BPrivate::NodeOf(alert->TextView());
		text = textNode->Text()->Contents();
		AccessibleNode* ok = FindNode(window, B_ROLE_PUSH_BUTTON, "OK");
		ASSERT_NE(nullptr, ok);
		button = ok->Name();
		ok->DoAction(0);
	});
	Command(kMsgShowRates);
	EXPECT_EQ("dialog", role);
	EXPECT_NE(std::string::npos, text.find("DEM"));
	EXPECT_EQ("OK", button);
	EXPECT_EQ(nullptr, FindWindow<BAlert>());
}

TEST_P(AccessibleMainTest, ContextMenuFromTheKeyboard)
{
	StoreInt32("infront", 1);
	Start();
	AccessibilityRecorder recorder;
	std::vector<std::string> items;
	std::vector<std::string> focused;
	int32 step = 0;
	BPrivate::EventLoop::SetIdleHook([&] {
		BMenu* menu = BPrivate::TrackedMenu();
		if (menu == nullptr)
			return;
		AccessibleNode* node = BPrivate::NodeOf(menu);
		if (step == 0) {
			step++;
			EXPECT_EQ(B_ROLE_WINDOW, node->Parent()->Role());
			EXPECT_EQ("Kontextmen\xC3\xBC", node->Name());
			EXPECT_EQ("Kontextmen\xC3\xBC", node->Parent()->Name());
			// The lists within are choices; the options beside them stay check items.
			for (int32 list : {0, 1, 3}) {
				AccessibleNode* submenu = node->ChildAt(list);
				for (int32 i = 0; i < submenu->CountChildren(); i++) {
					EXPECT_EQ(list != 3 && i == kFirstLaterCurrency ? B_ROLE_SEPARATOR
																	: B_ROLE_RADIO_MENU_ITEM,
						submenu->ChildAt(i)->Role())
						<< list;
				}
			}
			for (int32 i = 0; i < node->CountChildren(); i++) {
				AccessibleNode* item = node->ChildAt(i);
				std::string line = std::to_string(item->Role()) + " " + item->Name();
				if ((item->States() & B_STATE_CHECKABLE) != 0)
					line += (item->States() & B_STATE_CHECKED) != 0 ? " [x]" : " [ ]";
				items.push_back(line);
			}
			recorder.Clear();
			fBackend->InjectKey(WindowId(), "\x1f");
			fBackend->InjectKey(WindowId(), "\x1f");
		} else if (step == 1) {
			step++;
			focused = recorder.Lines({EventType::kFocused});
			BPrivate::CloseTrackedMenu();
		}
	});
	fBackend->InjectKeyDown(WindowId(), kFunctionKey, B_SHIFT_KEY, false, B_F10_KEY);
	fBackend->InjectKeyUp(WindowId(), kFunctionKey, B_SHIFT_KEY);
	Drain();
	BPrivate::EventLoop::SetIdleHook(nullptr);

	auto role = [](accessible_role r) { return std::to_string(r) + " "; };
	EXPECT_EQ((std::vector<std::string>{
				  role(B_ROLE_MENU) + Whgtyp[0],
				  role(B_ROLE_MENU) + Whgtyp[1],
				  role(B_ROLE_MENU_ITEM) + "W\xC3\xA4hrungen tauschen",
				  role(B_ROLE_MENU) + "Rundung",
				  role(B_ROLE_SEPARATOR),
				  role(B_ROLE_CHECK_MENU_ITEM) + "immer sichtbar [x]",
				  role(B_ROLE_CHECK_MENU_ITEM) + "ohne Titel [ ]",
				  role(B_ROLE_SEPARATOR),
				  role(B_ROLE_MENU_ITEM) + "Information\xE2\x80\xA6",
				  role(B_ROLE_MENU_ITEM)
					  + "\xC3\xBC"
						"ber\xE2\x80\xA6",
				  role(B_ROLE_MENU_ITEM) + "beenden",
			  }),
		items);
	EXPECT_EQ((std::vector<std::string>{std::string("focused ") + Whgtyp[0],
				  std::string("focused ") + Whgtyp[1]}),
		focused);
}

INSTANTIATE_TEST_SUITE_P(Scales, AccessibleMainTest, testing::Values(1, 2),
	[](const testing::TestParamInfo<int32>& info) { return "Scale" + std::to_string(info.param); });

} // namespace
