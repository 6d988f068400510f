// The converter window without a mouse: the focus order of its fields and buttons, the keys
// that press the buttons and open the context menu, copying a result, undo in the amount
// field and the middle-click paste, all through the headless backend.
#include "ConverterFixture.h"

#include <functional>
#include <string>
#include <vector>

#include "Alert.h"
#include "CalcWnd.h"
#include "EventLoop.h"
#include "InterfaceDefs.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Messages.h"
#include "PictureButton.h"
#include "PopUpMenu.h"
#include "TAboutWindow.h"

namespace {

const char kFunctionKey[] = {B_FUNCTION_KEY, 0};

class KeysTest : public ConverterTest {
protected:
	void Key(const char* bytes, uint32 modifiers = 0, int32 key = 0)
	{
		fBackend->InjectKeyDown(WindowId(), bytes, modifiers, false, key);
		fBackend->InjectKeyUp(WindowId(), bytes, modifiers);
		Drain();
	}

	BView* ViewNamed(const std::string& name) const
	{
		TMainView* view = View();
		if (name == "source")
			return view->SourceField();
		if (name == "target")
			return view->TargetField();
		if (name == "euro")
			return view->EuroLine();
		if (name == "view")
			return view;
		// The picture buttons follow the three text views.
		if (name == "calc")
			return view->ChildAt(3);
		if (name == "about")
			return view->ChildAt(4);
		return nullptr;
	}

	std::string FocusName() const
	{
		for (const char* name : {"source", "target", "euro", "view", "calc", "about"}) {
			if (Window()->CurrentFocus() == ViewNamed(name))
				return name;
		}
		return Window()->CurrentFocus() == nullptr ? "none" : "other";
	}

	void FocusOn(const std::string& name)
	{
		if (BView* view = ViewNamed(name))
			view->MakeFocus(true);
		else if (BView* focus = Window()->CurrentFocus())
			focus->MakeFocus(false);
		Drain();
	}

	template <typename T>
	static T* Find()
	{
		for (int32 i = 0; i < be_app->CountWindows(); i++) {
			if (T* window = dynamic_cast<T*>(be_app->WindowAt(i)))
				return window;
		}
		return nullptr;
	}

	// Closes the pad or about window a key opened; false when none is open.
	bool CloseOpened(const std::string& which)
	{
		BWindow* window = which == "pad" ? (BWindow*)Find<CalcWnd>()
										 : (BWindow*)Find<TAboutWindow>();
		if (window == nullptr)
			return false;
		window->PostMessage(B_QUIT_REQUESTED, window);
		Drain();
		return true;
	}
};

} // namespace

TEST_F(KeysTest, FocusOrderAndKeysTable)
{
	Start();
	const struct {
		const char* from;
		const char* key;
		uint32 modifiers;
		const char* outcome; // the new focus, or "pad" or "about window" for the window opened
	} kCases[] = {
		// The amount fields use Tab (and Enter) for their rewrite; Ctrl+Tab moves on.
		{"source", "\t", 0, "source"},
		{"source", "\t", B_SHIFT_KEY, "source"},
		{"source", "\t", B_CONTROL_KEY, "target"},
		{"source", "\t", B_CONTROL_KEY | B_SHIFT_KEY, "about"},
		{"target", "\t", 0, "target"},
		{"target", "\t", B_CONTROL_KEY, "euro"},
		{"target", "\t", B_CONTROL_KEY | B_SHIFT_KEY, "source"},
		// The euro line and the buttons pass Tab on.
		{"euro", "\t", 0, "calc"},
		{"euro", "\t", B_SHIFT_KEY, "target"},
		{"calc", "\t", 0, "about"},
		{"calc", "\t", B_SHIFT_KEY, "euro"},
		{"about", "\t", 0, "source"},
		{"about", "\t", B_SHIFT_KEY, "calc"},
		{"about", "\t", B_CONTROL_KEY, "source"},
		// From the background (after a click) or no focus (after a pad key), into the order.
		{"view", "\t", 0, "source"},
		{"view", "\t", B_SHIFT_KEY, "about"},
		{"none", "\t", 0, "source"},
		{"none", "\t", B_SHIFT_KEY, "about"},
		// Space and Enter press the focused picture button.
		{"calc", " ", 0, "pad"},
		{"calc", "\n", 0, "pad"},
		{"about", " ", 0, "about window"},
		{"about", "\n", 0, "about window"},
		// Elsewhere they do not.
		{"euro", " ", 0, "euro"},
		{"euro", "\n", 0, "euro"},
	};
	for (const auto& c : kCases) {
		SCOPED_TRACE(std::string(c.from) + " key " + std::to_string((int)c.key[0]) + " mod "
			+ std::to_string(c.modifiers));
		fBackend->ActivateWindow(WindowId());
		Drain();
		FocusOn(c.from);
		Key(c.key, c.modifiers);
		std::string outcome = c.outcome;
		if (outcome == "pad" || outcome == "about window")
			EXPECT_TRUE(CloseOpened(outcome));
		else {
			EXPECT_EQ(outcome, FocusName());
			EXPECT_FALSE(CloseOpened("pad"));
			EXPECT_FALSE(CloseOpened("about window"));
		}
	}
}

TEST_F(KeysTest, TabInTheAmountFieldStillRewritesTheAmount)
{
	Start();
	Type("12,3456");
	Key("\t");
	EXPECT_EQ("12.35", SourceText());
	Key("\t", B_CONTROL_KEY);
	EXPECT_EQ("12.35", SourceText());
	EXPECT_EQ(View()->TargetField(), Window()->CurrentFocus());
}

TEST_F(KeysTest, ShiftF10ThenArrowsAndEnterChooseAboutFromTheContextMenu)
{
	Start();
	std::vector<std::string> labels;
	BPoint menuAt(-1, -1);
	int32 shows = 0;
	BPrivate::EventLoop::SetIdleHook([&] {
		BMenu* menu = BPrivate::TrackedMenu();
		if (menu == nullptr || shows++ > 0)
			return;
		for (int32 i = 0; i < menu->CountItems(); i++)
			labels.push_back(menu->ItemAt(i)->Label());
		menuAt = menu->Window()->Frame().LeftTop();
		// From nothing highlighted, Up goes to the last entry.
		fBackend->InjectKey(WindowId(), "\x1e");
		fBackend->InjectKey(WindowId(), "\x1e");
		fBackend->InjectKey(WindowId(), "\n");
	});
	Key(kFunctionKey, B_SHIFT_KEY, B_F10_KEY);
	BPrivate::EventLoop::SetIdleHook(nullptr);

	ASSERT_EQ(11u, labels.size());
	EXPECT_EQ("\xC3\xBC"
			  "ber\xE2\x80\xA6",
		labels[9]);
	// At the centre of the focused amount field, (45, 21)-(153, 43) in the window.
	EXPECT_EQ(Window()->ConvertToScreen(BPoint(99, 32)), menuAt);
	EXPECT_TRUE(CloseOpened("about window"));
	// The key, unlike a click, leaves the focus where it was.
	EXPECT_EQ(View()->SourceField(), Window()->CurrentFocus());
}

TEST_F(KeysTest, TheMenuKeyOpensTheMenuAtTheWindowsCentreWithoutAFocus)
{
	Start();
	FocusOn("none");
	BPoint menuAt(-1, -1);
	BPrivate::EventLoop::SetIdleHook([&] {
		if (BMenu* menu = BPrivate::TrackedMenu()) {
			menuAt = menu->Window()->Frame().LeftTop();
			BPrivate::ChooseTrackedItem(menu->ItemAt(2));
		}
	});
	Command(kMsgSourceCurrency, "whg", 4);
	Key(kFunctionKey, 0, B_MENU_KEY);
	BPrivate::EventLoop::SetIdleHook(nullptr);
	EXPECT_EQ(Window()->ConvertToScreen(BPoint(103, 56)), menuAt);
	// "Währungen tauschen" did its work.
	EXPECT_EQ(2, View()->SourceIndex());
	EXPECT_EQ(4, View()->TargetIndex());
}

TEST_F(KeysTest, AResultReachedByKeyboardIsSelectedAndCopiedWithCtrlC)
{
	Start();
	Command(kMsgTargetCurrency, "whg", 4);
	Type("100");
	Key("\t", B_CONTROL_KEY);
	Key("c", B_CONTROL_KEY);
	EXPECT_EQ(TargetText(), fBackend->ClipboardText());
	EXPECT_NE("", TargetText());
	Key("\t", B_CONTROL_KEY);
	Key("c", B_CONTROL_KEY);
	EXPECT_EQ(EuroText(), fBackend->ClipboardText());
	// Typing at a result changes nothing.
	Key("5");
	Key("\x08");
	EXPECT_EQ("100", SourceText());
	EXPECT_EQ(EuroText(), fBackend->ClipboardText());
}

TEST_F(KeysTest, CtrlZUndoesTheLastEditAndTheConverterFollows)
{
	Start();
	Command(kMsgTargetCurrency, "whg", 4);
	std::string zeroEuro = EuroText();
	std::string zeroTarget = TargetText();
	Type("12");
	std::string twelveEuro = EuroText();
	ASSERT_NE(zeroEuro, twelveEuro);

	Key("z", B_CONTROL_KEY);
	EXPECT_EQ("0", SourceText());
	EXPECT_EQ(zeroEuro, EuroText());
	EXPECT_EQ(zeroTarget, TargetText());
	Key("z", B_CONTROL_KEY);
	EXPECT_EQ("12", SourceText());
	EXPECT_EQ(twelveEuro, EuroText());

	// The Tab rewrite is the program's: after it there is nothing to undo.
	Key("\t");
	Key("z", B_CONTROL_KEY);
	EXPECT_EQ("12.00", SourceText());
}

TEST_F(KeysTest, MiddleClickPastesTheSelectionOfAnotherProgramThroughTheAmountFilter)
{
	Start();
	Key("\x08");
	ASSERT_EQ("", SourceText());
	fBackend->SetPrimaryText("1 234,56 EUR");
	fBackend->InjectClick(WindowId(), BPoint(100, 32), B_TERTIARY_MOUSE_BUTTON);
	Drain();
	EXPECT_EQ("1234.56", SourceText());
	EXPECT_EQ("1234.56", TargetText());

	// Junk pastes nothing but still recomputes, as typing it would.
	fBackend->SetPrimaryText("\xE2\x82\xAC abc");
	fBackend->InjectClick(WindowId(), BPoint(100, 32), B_TERTIARY_MOUSE_BUTTON);
	Drain();
	EXPECT_EQ("1234.56", SourceText());

	// The read-only target takes nothing.
	fBackend->SetPrimaryText("9");
	fBackend->InjectClick(WindowId(), BPoint(100, 80), B_TERTIARY_MOUSE_BUTTON);
	Drain();
	EXPECT_EQ("1234.56", TargetText());
}

TEST_F(KeysTest, TheCalculatorButtonShowsTheMarkOnlyWhileFocusedByKeyboard)
{
	Start();
	rgb_color mark = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
	auto snapshot = [&] {
		std::vector<rgb_color> pixels;
		for (int32 y = 21; y <= 44; y++) {
			for (int32 x = 154; x <= 171; x++)
				pixels.push_back(fBackend->PixelAt(Window(), x, y));
		}
		return pixels;
	};
	std::vector<rgb_color> plain = snapshot();
	EXPECT_FALSE(mark == plain.front());

	FocusOn("euro");
	Key("\t");
	ASSERT_EQ("calc", FocusName());
	EXPECT_EQ(mark, fBackend->PixelAt(Window(), 154, 21));
	EXPECT_EQ(mark, fBackend->PixelAt(Window(), 171, 44));
	EXPECT_EQ(mark, fBackend->PixelAt(Window(), 154, 44));

	// A click elsewhere takes the focus and the mark with it.
	fBackend->InjectClick(WindowId(), BPoint(100, 32));
	Drain();
	EXPECT_EQ(plain, snapshot());
}

TEST_F(KeysTest, EscapeClosesTheOneButtonAlertsAlsoWithTheirButtonFocused)
{
	Start();
	const std::function<void()> open[] = {
		[&] { Command('MpIf'); }, // the rates
		[&] {
			fApp->PostMessage(B_ABOUT_REQUESTED, fApp.get());
			Drain();
		},
	};
	for (const auto& show : open) {
		for (bool tabFirst : {false, true}) {
			SCOPED_TRACE(tabFirst ? "OK focused by Tab" : "nothing focused");
			int32 steps = 0;
			BPrivate::EventLoop::SetIdleHook([&] {
				BAlert* alert = BPrivate::CurrentAlert();
				if (alert == nullptr || steps++ > 0)
					return;
				uint32 id = BPrivate::HeadlessBackend::IdOf(alert);
				if (tabFirst)
					fBackend->InjectKey(id, "\t");
				fBackend->InjectKey(id, "\x1b");
			});
			show();
			BPrivate::EventLoop::SetIdleHook(nullptr);
			EXPECT_EQ(1, steps) << "closed by its own keys, not left open";
			EXPECT_EQ(nullptr, BPrivate::CurrentAlert());
		}
	}
}

TEST_F(KeysTest, F1OpensTheAboutWindowFromEveryFocus)
{
	Start();
	for (const char* from : {"source", "target", "calc", "none"}) {
		SCOPED_TRACE(from);
		// The window manager hands the activation back when the about window has gone.
		fBackend->ActivateWindow(WindowId());
		FocusOn(from);
		Key(kFunctionKey, 0, B_F1_KEY);
		EXPECT_TRUE(CloseOpened("about window"));
		// Other function keys open nothing.
		Key(kFunctionKey, 0, B_F2_KEY);
		EXPECT_FALSE(CloseOpened("about window"));
		EXPECT_EQ(from, FocusName());
	}
	// A second F1 while the about window is open opens no second one.
	fBackend->ActivateWindow(WindowId());
	Key(kFunctionKey, 0, B_F1_KEY);
	Key(kFunctionKey, 0, B_F1_KEY);
	int32 abouts = 0;
	for (int32 i = 0; i < be_app->CountWindows(); i++)
		abouts += dynamic_cast<TAboutWindow*>(be_app->WindowAt(i)) != nullptr ? 1 : 0;
	EXPECT_EQ(1, abouts);
	EXPECT_TRUE(CloseOpened("about window"));
}
