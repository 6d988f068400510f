// The converter window from start to quit: what it restores and saves, how it converts
// while the user types, and every command of the converter view.
#include "ConverterFixture.h"

#include <algorithm>
#include <cmath>

#include "../platform/FlattenedExamples.h"
#include "Alert.h"
#include "Button.h"
#include "EventLoop.h"
#include "Font.h"
#include "Menu.h"
#include "MenuWindow.h"
#include "PictureButton.h"
#include "TAboutWindow.h"
#include "WindowPrivate.h"

namespace {

const uint32 kTypes[] = {'MpIO', 'MpIU', 'MpRu'};

struct Saved {
	int32 oben, unten, infront, tabless, runden;
};

Saved
ReadSaved()
{
	TPreferences prefs("KamboLux_prefs");
	return {prefs.GetInt32("idxoben", -100), prefs.GetInt32("idxunten", -100),
		prefs.GetInt32("infront", -100), prefs.GetInt32("tabless", -100),
		prefs.GetInt32("runden", -100)};
}

} // namespace

TEST_F(ConverterTest, FirstStartShowsTheDefaults)
{
	Start();
	EXPECT_STREQ("ZQ Kambo-Lux", Window()->Title());
	EXPECT_EQ(BRect(100, 100, 306, 212), Window()->Frame());
	EXPECT_EQ(B_TITLED_WINDOW_LOOK, Window()->Look());
	EXPECT_EQ(B_NORMAL_WINDOW_FEEL, Window()->Feel());
	EXPECT_EQ(uint32(B_NOT_RESIZABLE | B_NOT_ZOOMABLE), Window()->Flags());
	EXPECT_TRUE(Info().decorated);
	EXPECT_FALSE(Info().alwaysOnTop);

	EXPECT_EQ(2, View()->SourceIndex());
	EXPECT_EQ(2, View()->TargetIndex());
	EXPECT_EQ(0, View()->Rounding());
	EXPECT_EQ("0", SourceText());
	int32 start = -1;
	int32 end = -1;
	View()->SourceField()->GetSelection(&start, &end);
	EXPECT_EQ(0, start);
	EXPECT_EQ(1, end) << "the first key replaces the 0";
	EXPECT_TRUE(View()->SourceField()->IsFocus());
	EXPECT_EQ("0.000000 . . .", EuroText());
	EXPECT_EQ("0.00", TargetText());

	// Both settings objects of the start-up wrote back what they read: nothing yet.
	std::vector<Bytes> examples = FormatExamples();
	ASSERT_EQ(2u, examples.size());
	EXPECT_EQ(examples[0], ReadSettings());
}

TEST_F(ConverterTest, ChildrenSitWhereTheLayoutPutsThem)
{
	Start();
	EXPECT_EQ(View(), Window()->ChildAt(0));
	EXPECT_EQ(1, Window()->CountChildren());
	EXPECT_EQ(BRect(0, 0, 206, 112), View()->Frame());
	EXPECT_EQ(ui_color(B_PANEL_BACKGROUND_COLOR), View()->ViewColor());

	struct Child {
		BRect frame;
		rgb_color color;
		bool editable;
	};
	const Child texts[] = {
		{BRect(45, 21, 153, 43), {127, 255, 127, 255}, true},
		{BRect(45, 69, 170, 91), {255, 199, 192, 255}, false},
		{BRect(34, 48, 172, 64), {255, 255, 223, 255}, false},
	};
	ASSERT_EQ(5, View()->CountChildren());
	for (int32 i = 0; i < 3; i++) {
		auto* text = dynamic_cast<BTextView*>(View()->ChildAt(i));
		ASSERT_NE(nullptr, text) << i;
		EXPECT_EQ(texts[i].frame, text->Frame()) << i;
		EXPECT_EQ(texts[i].color, text->ViewColor()) << i;
		EXPECT_EQ(texts[i].editable, text->IsEditable()) << i;
		EXPECT_EQ(B_ALIGN_RIGHT, text->Alignment()) << i;
	}
	EXPECT_EQ(View()->SourceField(), View()->ChildAt(0));
	EXPECT_EQ(View()->TargetField(), View()->ChildAt(1));
	EXPECT_EQ(View()->EuroLine(), View()->ChildAt(2));
	EXPECT_EQ(15, View()->SourceField()->MaxBytes());

	const struct {
		BRect frame;
		uint32 command;
	} buttons[] = {
		{BRect(154, 21, 171, 44), 'BtnC'},
		{BRect(196, 102, 206, 112), B_ABOUT_REQUESTED},
	};
	for (int32 i = 0; i < 2; i++) {
		auto* button = dynamic_cast<BPictureButton*>(View()->ChildAt(3 + i));
		ASSERT_NE(nullptr, button) << i;
		EXPECT_EQ(buttons[i].frame, button->Frame()) << i;
		EXPECT_EQ(buttons[i].command, button->Command()) << i;
		EXPECT_EQ(nullptr, button->Target()) << "sent to the window";
		EXPECT_GT(button->EnabledOff()->CountOps(), 0) << "the recorded image";
		EXPECT_GT(button->EnabledOn()->CountOps(), 0);
	}
	EXPECT_EQ(BRect(12, 45, 32, 66), View()->SwapArea());
}

TEST_F(ConverterTest, SwapAreaIsEmptyBeforeAttachment)
{
	TMainView view(BRect(0, 0, 206, 112));
	for (BPoint point : {BPoint(0, 0), BPoint(12, 45), BPoint(20, 50), BPoint(-1, -1)})
		EXPECT_FALSE(view.SwapArea().Contains(point));
	EXPECT_EQ(nullptr, view.SourceField());
	view.Calculate(); // nothing to convert into yet
}

TEST_F(ConverterTest, QuittingSavesTheSevenKeysInOrder)
{
	Start();
	Quit();
	std::vector<Bytes> examples = FormatExamples();
	ASSERT_EQ(2u, examples.size());
	EXPECT_EQ(143u, examples[1].size());
	EXPECT_EQ(examples[1], ReadSettings());
}

TEST_F(ConverterTest, ClosingTheWindowEndsTheProgramAndSaves)
{
	Start();
	Window()->MoveTo(250, 300);
	Command('MpIU', "whg", 4);
	fBackend->InjectClose(WindowId());
	Drain();
	EXPECT_TRUE(fApp->IsQuitting());
	EXPECT_EQ(0, fApp->CountWindows());
	TPreferences prefs("KamboLux_prefs");
	EXPECT_EQ(250, prefs.GetFloat("wndleft", 0));
	EXPECT_EQ(300, prefs.GetFloat("wndtop", 0));
	EXPECT_EQ(4, prefs.GetInt32("idxunten", 0));
}

TEST_F(ConverterTest, SecondStartRestoresEverything)
{
	Start();
	Command('MpIO', "whg", 9);
	Command('MpIU', "whg", 4);
	Command('MpRu', "runden", 2);
	Command('MpFr');
	Command('MpTb');
	Window()->MoveTo(200, 150);
	Quit();

	Saved saved = ReadSaved();
	EXPECT_EQ(9, saved.oben);
	EXPECT_EQ(4, saved.unten);
	EXPECT_EQ(1, saved.infront);
	EXPECT_EQ(1, saved.tabless);
	EXPECT_EQ(2, saved.runden);

	Start();
	EXPECT_EQ(9, View()->SourceIndex());
	EXPECT_EQ(4, View()->TargetIndex());
	EXPECT_EQ(2, View()->Rounding());
	EXPECT_EQ(1, View()->InFront());
	EXPECT_EQ(1, View()->Tabless());
	EXPECT_EQ(BPoint(200, 150), Window()->Frame().LeftTop());
	EXPECT_EQ(B_MODAL_WINDOW_LOOK, Window()->Look());
	EXPECT_EQ(B_FLOATING_ALL_WINDOW_FEEL, Window()->Feel());
	EXPECT_FALSE(Info().decorated);
	EXPECT_TRUE(Info().alwaysOnTop);
	EXPECT_EQ("0.0000", EuroText());
	EXPECT_EQ("0.00", TargetText());
}

TEST_F(ConverterTest, LaterCurrenciesSurviveARestart)
{
	const struct {
		int32 source;
		int32 target;
	} cases[] = {{21, 13}, {15, 0}, {20, 21}};
	for (const auto& c : cases) {
		Start();
		Command('MpIO', "whg", c.source);
		Command('MpIU', "whg", c.target);
		Quit();
		EXPECT_EQ(c.source, ReadSaved().oben);
		EXPECT_EQ(c.target, ReadSaved().unten);
		Start();
		EXPECT_EQ(c.source, View()->SourceIndex());
		EXPECT_EQ(c.target, View()->TargetIndex());
		fApp.reset();
	}
}

TEST_F(ConverterTest, SavedPositionIsUsedOnlyWhenTheWindowFits)
{
	// The 207 x 113 window plus 4 pixels on every side within a 1024 x 768 screen.
	const struct {
		float left, top;
		BPoint expected;
	} cases[] = {
		{3000, 3000, BPoint(100, 100)},
		{4, 4, BPoint(4, 4)},
		{3, 4, BPoint(100, 100)},
		{4, 3, BPoint(100, 100)},
		{813, 651, BPoint(813, 651)},
		{814, 651, BPoint(100, 100)},
		{813, 652, BPoint(100, 100)},
		{-200, 50, BPoint(100, 100)},
	};
	for (const auto& test : cases) {
		StoreFloat("wndleft", test.left);
		StoreFloat("wndtop", test.top);
		Start();
		EXPECT_EQ(test.expected, Window()->Frame().LeftTop()) << test.left << "," << test.top;
		EXPECT_EQ(test.expected, Info().frame.LeftTop()) << test.left << "," << test.top;
		fApp.reset();
	}
}

TEST_F(ConverterTest, APositionTheWindowSystemDoesNotTellIsNotSaved)
{
	const struct {
		bool stored;
		float left, top; // stored, and still there after the run
	} cases[] = {{true, 250, 300}, {true, 3000, 3000}, {false, 0, 0}};
	for (const auto& test : cases) {
		std::remove(SettingsFile().c_str());
		if (test.stored) {
			StoreFloat("wndleft", test.left);
			StoreFloat("wndtop", test.top);
		}
		fBackend->SetSupportsWindowPosition(false);
		Start();
		Window()->MoveTo(40, 50);
		Command('MpIU', "whg", 4);
		Quit();
		TPreferences prefs("KamboLux_prefs");
		EXPECT_EQ(test.stored, prefs.HasFloat("wndleft")) << test.left;
		EXPECT_EQ(test.left, prefs.GetFloat("wndleft", 0)) << test.left;
		EXPECT_EQ(test.top, prefs.GetFloat("wndtop", 0)) << test.left;
		EXPECT_EQ(4, prefs.GetInt32("idxunten", 0)) << test.left;
	}
}

TEST_F(ConverterTest, DamagedSettingsFallBackToDefaults)
{
	const struct {
		Saved stored;
		Saved used;
	} cases[] = {
		{{22, -1, 0, 0, 3}, {2, 2, 0, 0, 0}},
		{{15, 21, 0, 0, 1}, {15, 21, 0, 0, 1}},
		{{-2147483647 - 1, 2147483647, 0, 0, -1}, {2, 2, 0, 0, 0}},
		{{12, 3, 0, 0, 2}, {12, 3, 0, 0, 2}},
		// Only exactly 1 switches an option on; other values are kept as they are.
		{{1, 1, 5, -3, 1}, {1, 1, 5, -3, 1}},
	};
	for (const auto& test : cases) {
		StoreInt32("idxoben", test.stored.oben);
		StoreInt32("idxunten", test.stored.unten);
		StoreInt32("infront", test.stored.infront);
		StoreInt32("tabless", test.stored.tabless);
		StoreInt32("runden", test.stored.runden);
		Start();
		EXPECT_EQ(test.used.oben, View()->SourceIndex());
		EXPECT_EQ(test.used.unten, View()->TargetIndex());
		EXPECT_EQ(test.used.infront, View()->InFront());
		EXPECT_EQ(test.used.tabless, View()->Tabless());
		EXPECT_EQ(test.used.runden, View()->Rounding());
		EXPECT_EQ(B_NORMAL_WINDOW_FEEL, Window()->Feel());
		EXPECT_EQ(B_TITLED_WINDOW_LOOK, Window()->Look());
		EXPECT_FALSE(EuroText().empty());
		EXPECT_EQ("0.00", TargetText());
		fApp.reset();
	}

	// A position stored with the wrong type reads as the default.
	std::remove(SettingsFile().c_str());
	StoreInt32("wndleft", 300);
	Start();
	EXPECT_EQ(BPoint(100, 100), Window()->Frame().LeftTop());
}

TEST_F(ConverterTest, TypedAmountsConvertLive)
{
	Start();
	Command('MpIU', "whg", 4);
	Type("100");
	EXPECT_EQ("100", SourceText());
	EXPECT_EQ("51.129188 . . .", EuroText());
	EXPECT_EQ("335.39", TargetText());

	const struct {
		int32 rounding;
		const char* euro;
		const char* target;
	} modes[] = {
		{1, "51.129", "335.38"},
		{2, "51.1292", "335.39"},
		{0, "51.129188 . . .", "335.39"},
	};
	for (const auto& mode : modes) {
		Command('MpRu', "runden", mode.rounding);
		EXPECT_EQ(mode.euro, EuroText()) << mode.rounding;
		EXPECT_EQ(mode.target, TargetText()) << mode.rounding;
	}

	fBackend->InjectKey(WindowId(), "\t");
	Drain();
	EXPECT_EQ("100.00", SourceText());
	EXPECT_TRUE(View()->SourceField()->IsFocus());

	// Editing keeps converting: a Backspace removes the last 0.
	fBackend->InjectKey(WindowId(), "\b");
	Drain();
	EXPECT_EQ("100.0", SourceText());
	EXPECT_EQ("335.39", TargetText());
	Type("-");
	EXPECT_EQ("100.0-", SourceText());
	EXPECT_EQ("335.39", TargetText()) << "the numeric beginning converts";
}

TEST_F(ConverterTest, EditsOfTheAmountConvertWhateverHasTheFocus)
{
	Start();
	Command('MpIU', "whg", 0);
	// The calculator pad edits the field from its own window while the field has no focus.
	for (BView* focus : {(BView*)View(), (BView*)nullptr}) {
		if (focus != nullptr)
			focus->MakeFocus(true);
		else
			Window()->CurrentFocus()->MakeFocus(false);
		View()->SourceField()->SetText("195.583");
		Drain();
		EXPECT_EQ("100.00", TargetText());
		View()->SourceField()->SetText("");
		Drain();
		EXPECT_EQ("0.00", TargetText());
	}
}

TEST_F(ConverterTest, CurrencyCommands)
{
	Start();
	Command('MpIO', "whg", 2);
	Command('MpIU', "whg", 4);
	Command('MpRu', "runden", 1);
	Type("100");
	ASSERT_EQ("51.129", EuroText());

	// Choosing the euro switches rounding off; a national currency leaves it.
	Command('MpIU', "whg", 0);
	EXPECT_EQ(0, View()->TargetIndex());
	EXPECT_EQ(0, View()->Rounding());
	EXPECT_EQ("51.129188 . . .", EuroText());
	EXPECT_EQ("51.13", TargetText());

	Command('MpIU', "whg", 4);
	Command('MpRu', "runden", 2);
	Command('MpIO', "whg", 1);
	EXPECT_EQ(1, View()->SourceIndex());
	EXPECT_EQ(2, View()->Rounding());
	EXPECT_EQ("2.4789", EuroText());
	EXPECT_EQ("16.26", TargetText());

	Command('MpIO', "whg", 0);
	EXPECT_EQ(0, View()->Rounding());
	EXPECT_EQ("100.000000 . . .", EuroText());
	EXPECT_EQ("655.96", TargetText());

	Quit();
	EXPECT_EQ(0, ReadSaved().runden);
}

// With the euro on a side the euro amount is never rounded, whatever a file or a command says:
// a rounding of the euro line would round the euro twice.
TEST_F(ConverterTest, NoRoundingNextToTheEuroFromAFileOrACommand)
{
	const struct {
		int32 oben, unten, runden;
		const char* amount;
		const char* euroLine;
		const char* target;
	} cases[] = {
		{2, 0, 1, "0.44", "0.224968 . . .", "0.22"},
		{0, 7, 1, "1.0005", "1.000500 . . .", "1937.24"},
		{0, 0, 2, "0.00495", "0.004950 . . .", "0.00"},
	};
	for (const auto& test : cases) {
		StoreInt32("idxoben", test.oben);
		StoreInt32("idxunten", test.unten);
		StoreInt32("runden", test.runden);
		Start();
		EXPECT_EQ(0, View()->Rounding()) << test.amount;
		Type(test.amount);
		EXPECT_EQ(test.euroLine, EuroText()) << test.amount;
		EXPECT_EQ(test.target, TargetText()) << test.amount;
		Command('MpRu', "runden", 1);
		EXPECT_EQ(0, View()->Rounding()) << test.amount;
		EXPECT_EQ(test.target, TargetText()) << test.amount;
		Quit();
		EXPECT_EQ(0, ReadSaved().runden) << test.amount;
	}
}

TEST_F(ConverterTest, CommandsWithoutOrWithBadValuesChangeNothing)
{
	Start();
	Command('MpIU', "whg", 4);
	Command('MpRu', "runden", 1);
	Type("100");
	for (uint32 what : kTypes) {
		for (int32 bad : {-1, 3, 22, 1000}) {
			if (what != 'MpRu' && bad == 3)
				continue; // a valid currency
			Command(what, what == 'MpRu' ? "runden" : "whg", bad);
		}
		Command(what);
		Command(what, what == 'MpRu' ? "whg" : "runden", 0); // the other command's field
	}
	EXPECT_EQ(2, View()->SourceIndex());
	EXPECT_EQ(4, View()->TargetIndex());
	EXPECT_EQ(1, View()->Rounding());
	EXPECT_EQ("51.129", EuroText());
	EXPECT_EQ("335.38", TargetText());
}

TEST_F(ConverterTest, SwapCarriesTheShownTargetAmountOver)
{
	Start();
	Command('MpIU', "whg", 4);
	Command('MpRu', "runden", 2);
	Type("100");
	Command('MpTs');
	EXPECT_EQ(4, View()->SourceIndex());
	EXPECT_EQ(2, View()->TargetIndex());
	EXPECT_EQ(2, View()->Rounding()) << "the swap never changes the rounding";
	EXPECT_EQ("335.39", SourceText());
	EXPECT_EQ("51.1299", EuroText());
	EXPECT_EQ("100.00", TargetText());

	Command('MpTs');
	EXPECT_EQ(2, View()->SourceIndex());
	EXPECT_EQ("100.00", SourceText());
}

TEST_F(ConverterTest, WindowOptionsToggle)
{
	StoreInt32("infront", 5);
	Start();
	EXPECT_EQ(B_NORMAL_WINDOW_FEEL, Window()->Feel()) << "only 1 floats";

	// infront, then the feel and whether the backend keeps the window on top; 5 is off, so
	// the first toggle turns it on.
	const struct {
		int32 infront;
		window_feel feel;
	} feels[] = {
		{1, B_FLOATING_ALL_WINDOW_FEEL},
		{0, B_NORMAL_WINDOW_FEEL},
		{1, B_FLOATING_ALL_WINDOW_FEEL},
	};
	for (const auto& step : feels) {
		Command('MpFr');
		EXPECT_EQ(step.infront, View()->InFront());
		EXPECT_EQ(step.feel, Window()->Feel());
		EXPECT_EQ(step.infront == 1, Info().alwaysOnTop);
	}

	for (int32 tabless : {1, 0}) {
		Command('MpTb');
		EXPECT_EQ(tabless, View()->Tabless());
		EXPECT_EQ(tabless ? B_MODAL_WINDOW_LOOK : B_TITLED_WINDOW_LOOK, Window()->Look());
		EXPECT_EQ(tabless == 0, Info().decorated);
	}
}

TEST_F(ConverterTest, RatesAlert)
{
	Start();
	bool shown = false;
	BPrivate::EventLoop::SetIdleHook([&] {
		BAlert* alert = BPrivate::CurrentAlert();
		if (alert == nullptr || shown)
			return;
		shown = true;
		EXPECT_STREQ("Umrechnungskurse", alert->Title());
		EXPECT_STREQ(
			"Umrechnungskurse, keine Gew\xC3\xA4hr!\n\nFix 1.1.1999\n ATS - 13,7603\n"
			" BEF - 40,3399\n DEM - 1,95583\n ESP - 166,386\n FIM - 5,94573\n FRF - 6,55957\n"
			" IEP - 0,787564\n ITL - 1936,27\n LUF - 40,3399\n NLG - 2,20371\n PTE - 200,482\n"
			"Fix 1.1.2001\n GRD - 340,75\nFix 1.1.2007\n SIT - 239,640\nFix 1.1.2008\n"
			" CYP - 0,585274\n MTL - 0,429300\nFix 1.1.2009\n SKK - 30,1260\nFix 1.1.2011\n"
			" EEK - 15,6466\nFix 1.1.2014\n LVL - 0,702804\nFix 1.1.2015\n LTL - 3,45280\n"
			"Fix 1.1.2023\n HRK - 7,53450\nFix 1.1.2026\n BGN - 1,95583\n\n\n",
			alert->TextView()->Text());
		BFont font;
		alert->TextView()->GetFontAndColor(0, &font);
		EXPECT_EQ(*be_fixed_font, font);
		font = BFont();
		alert->TextView()->GetFontAndColor(alert->TextView()->TextLength() - 1, &font);
		EXPECT_EQ(*be_fixed_font, font) << "the whole text";
		EXPECT_EQ(B_FLOATING_ALL_WINDOW_FEEL, alert->Feel());
		EXPECT_EQ(B_INFO_ALERT, alert->Type());
		ASSERT_EQ(1, alert->CountButtons());
		EXPECT_STREQ("OK", alert->ButtonAt(0)->Label());
		fBackend->InjectKey(BPrivate::HeadlessBackend::IdOf(alert), "\n");
	});
	Command('MpIf');
	EXPECT_TRUE(shown);
	EXPECT_EQ(nullptr, BPrivate::CurrentAlert());
	EXPECT_EQ(1, fApp->CountWindows());
}

// The rates are a long text now; on the usual laptop screens, at scale 1 and 2, the alert
// shows all of it, title bar and button included.
TEST_F(ConverterTest, RatesAlertFitsTheScreenWhole)
{
	fBackend->SetFrameExtents({1, 22, 1, 1}, {1, 1, 1, 1});
	const struct {
		int32 scale;
		BRect screen; // layout units
	} cases[] = {
		{1, BRect(0, 0, 1279, 799)}, {2, BRect(0, 0, 1279, 799)}, // 2560 x 1600 pixels
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.scale);
		fBackend->SetScale(c.scale);
		fBackend->SetScreen(c.screen);
		Start();
		BRect frame;
		float textHeight = 0;
		float linesHeight = 0;
		BPrivate::EventLoop::SetIdleHook([&] {
			BAlert* alert = BPrivate::CurrentAlert();
			if (alert == nullptr || frame.IsValid())
				return;
			frame = alert->DecoratorFrame();
			BTextView* text = alert->TextView();
			textHeight = text->Bounds().Height() + 1;
			for (int32 line = 0; line < text->CountLines(); line++)
				linesHeight += text->LineHeight(line);
			fBackend->InjectKey(BPrivate::HeadlessBackend::IdOf(alert), "\n");
		});
		Command('MpIf');
		BPrivate::EventLoop::SetIdleHook(nullptr);
		ASSERT_TRUE(frame.IsValid());
		EXPECT_TRUE(c.screen.Contains(frame)) << frame.top << " to " << frame.bottom;
		EXPECT_GE(textHeight, std::floor(linesHeight)) << "the text is cut off";
		// Measured: what the alert leaves of the screen's height.
		RecordProperty("alert_height_scale_" + std::to_string(c.scale), (int)frame.Height() + 1);
		fApp.reset();
	}
}

TEST_F(ConverterTest, QuitCommandIsForwardedToTheApplication)
{
	Start();
	Command(B_QUIT_REQUESTED);
	EXPECT_TRUE(fApp->IsQuitting());
	EXPECT_FALSE(BPrivate::WindowAccess::IsQuitting(Window())) << "the view leaves its window";
}

TEST_F(ConverterTest, ApplicationInfoAlert)
{
	Start();
	bool shown = false;
	BPrivate::EventLoop::SetIdleHook([&] {
		BAlert* alert = BPrivate::CurrentAlert();
		if (alert == nullptr || shown)
			return;
		shown = true;
		EXPECT_STREQ("Info", alert->Title());
		EXPECT_STREQ("ZQ-Kambo-Lux\n\nDorvanix Software\nhttp://www.dorvanix.example/\n\n"
					 "Version 1.1",
			alert->TextView()->Text());
		EXPECT_EQ(B_FLOATING_ALL_WINDOW_FEEL, alert->Feel());
		ASSERT_EQ(1, alert->CountButtons());
		EXPECT_STREQ("OK", alert->ButtonAt(0)->Label());
		fBackend->InjectKey(BPrivate::HeadlessBackend::IdOf(alert), "\n");
	});
	fApp->PostMessage(B_ABOUT_REQUESTED, fApp.get());
	Drain();
	EXPECT_TRUE(shown);
}

TEST_F(ConverterTest, PictureButtonsReachTheMainWindow)
{
	Start();
	auto openedWindow = [this](const std::vector<uint32>& before) {
		for (const auto& info : fBackend->Windows()) {
			if (info.visible && std::find(before.begin(), before.end(), info.id) == before.end())
				return info;
		}
		return BPrivate::HeadlessBackend::WindowInfo{};
	};
	auto ids = [this] {
		std::vector<uint32> result;
		for (const auto& info : fBackend->Windows())
			result.push_back(info.id);
		return result;
	};

	// The calculator pad opens right under the source field, whose bottom-left corner is
	// (45, 43) in the window at (100, 100).
	std::vector<uint32> before = ids();
	fBackend->InjectClick(WindowId(), BPoint(160, 30));
	Drain();
	auto pad = openedWindow(before);
	ASSERT_NE(0u, pad.id) << "no calculator pad";
	EXPECT_EQ(BPoint(145, 143), pad.frame.LeftTop());
	EXPECT_TRUE(pad.alwaysOnTop);

	// The question mark opens the about window 30 pixels right of and below ours.
	before = ids();
	fBackend->InjectClick(WindowId(), BPoint(201, 107));
	Drain();
	auto about = openedWindow(before);
	ASSERT_NE(0u, about.id) << "no about window";
	EXPECT_EQ("About", about.title);
	EXPECT_EQ(BPoint(130, 130), about.frame.LeftTop());
}

// #pragma mark - the window manager

namespace {

const BPrivate::FrameExtents kTitled = {1, 22, 1, 1};
const BPrivate::FrameExtents kBordered = {1, 1, 1, 1};

// The program's window with this title, as the backend knows it.
BPrivate::HeadlessBackend::WindowInfo
WindowTitled(BPrivate::HeadlessBackend* backend, const char* title)
{
	for (const auto& info : backend->Windows()) {
		if (info.visible && info.title == title)
			return info;
	}
	return {};
}

BWindow*
KitWindow(const BPrivate::HeadlessBackend::WindowInfo& info)
{
	return BPrivate::WindowAccess::FindByBackendId(info.id);
}

} // namespace

TEST_F(ConverterTest, SavedPositionAllowsForTheWindowManagersFrame)
{
	// 1 pixel of border and a 22-pixel title bar around the 207 x 113 content ("ohne Titel":
	// the border alone), and 4 pixels to spare on every side, within a 1024 x 768 screen.
	fBackend->SetFrameExtents(kTitled, kBordered);
	const struct {
		int32 tabless;
		float left, top;
		BPoint expected;
	} cases[] = {
		{0, 4, 4, BPoint(100, 100)},
		{0, 5, 26, BPoint(5, 26)},
		{0, 4, 26, BPoint(100, 100)},
		{0, 5, 25, BPoint(100, 100)},
		{0, 812, 650, BPoint(812, 650)},
		{0, 813, 650, BPoint(100, 100)},
		{0, 812, 651, BPoint(100, 100)},
		// Without a title bar the window may stand higher: a place at the top of the
		// screen is kept.
		{1, 5, 5, BPoint(5, 5)},
		{1, 4, 5, BPoint(100, 100)},
		{1, 5, 4, BPoint(100, 100)},
		{1, 812, 650, BPoint(812, 650)},
		{1, 812, 651, BPoint(100, 100)},
	};
	for (const auto& test : cases) {
		StoreInt32("tabless", test.tabless);
		StoreFloat("wndleft", test.left);
		StoreFloat("wndtop", test.top);
		Start();
		EXPECT_EQ(test.expected, Window()->Frame().LeftTop())
			<< test.tabless << ": " << test.left << "," << test.top;
		fApp.reset();
	}
}

TEST_F(ConverterTest, ProgramWindowsTellTheWindowManagerWhatTheyAre)
{
	using BPrivate::WindowKind;
	Start();
	fBackend->InjectClick(WindowId(), BPoint(160, 30));
	Drain();
	auto pad = WindowTitled(fBackend, "Calc");
	// Its own click closed the pad; the about window comes next.
	fBackend->InjectClick(WindowId(), BPoint(201, 107));
	Drain();
	auto about = WindowTitled(fBackend, "About");
	BPrivate::HeadlessBackend::WindowInfo rates{};
	BPrivate::EventLoop::SetIdleHook([&] {
		if (BAlert* alert = BPrivate::CurrentAlert(); alert != nullptr && rates.id == 0) {
			rates = WindowTitled(fBackend, "Umrechnungskurse");
			fBackend->InjectKey(BPrivate::HeadlessBackend::IdOf(alert), "\n");
		}
	});
	KitWindow(about)->PostMessage(kAboutOK);
	Command('MpIf');

	const struct {
		const char* name;
		BPrivate::HeadlessBackend::WindowInfo info;
		WindowKind kind;
		bool belongsToMain;
		bool onTop;
		bool modal;
	} cases[] = {
		{"main window", Info(), WindowKind::kNormal, false, false, false},
		{"calculator pad", pad, WindowKind::kUtility, true, true, false},
		{"about window", about, WindowKind::kDialog, true, false, true},
		{"rates alert", rates, WindowKind::kDialog, true, true, false},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		ASSERT_NE(0u, c.info.id) << "never shown";
		EXPECT_EQ(c.kind, c.info.kind);
		EXPECT_EQ(c.belongsToMain ? WindowId() : 0u, c.info.parent);
		EXPECT_EQ(c.belongsToMain, c.info.skipTaskbar);
		EXPECT_EQ(c.onTop, c.info.alwaysOnTop);
		EXPECT_EQ(c.modal, c.info.modal);
		EXPECT_FALSE(c.info.resizable) << "no window of the program changes its size";
	}
}

TEST_F(ConverterTest, TheAboutWindowKeepsTheMainWindowWaiting)
{
	Start();
	Window()->PostMessage(B_ABOUT_REQUESTED, Window());
	Drain();
	auto about = WindowTitled(fBackend, "About");
	ASSERT_NE(0u, about.id);

	// The close button and clicks bring the about window forward instead of acting.
	fBackend->InjectClose(WindowId());
	Drain();
	EXPECT_FALSE(fApp->IsQuitting());
	EXPECT_EQ(about.id, fBackend->ActiveWindow());
	fBackend->InjectClick(WindowId(), BPoint(160, 30));
	Drain();
	EXPECT_EQ(0u, WindowTitled(fBackend, "Calc").id) << "the calculator button did not act";
	EXPECT_EQ(about.id, fBackend->ActiveWindow());

	// Enter still closes it, and the main window acts again.
	fBackend->InjectKey(fBackend->ActiveWindow(), "\n");
	Drain();
	EXPECT_EQ(0u, WindowTitled(fBackend, "About").id);
	fBackend->InjectClose(WindowId());
	Drain();
	EXPECT_TRUE(fApp->IsQuitting());
}

TEST_F(ConverterTest, WindowsOpenWithTheirFrameOnTheScreen)
{
	fBackend->SetFrameExtents(kTitled, kBordered);
	const struct {
		const char* name;
		BRect screen;
		BPoint pad;
		BPoint about;
	} cases[] = {
		// Where everything fits, the windows open where the program puts them.
		{"1024 x 768", BRect(0, 0, 1023, 767), BPoint(145, 143), BPoint(130, 130)},
		// The pad is pulled up above the bottom edge, the about window left and up.
		{"320 x 240", BRect(0, 0, 319, 239), BPoint(145, 108), BPoint(8, 38)},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		fBackend->SetScreen(c.screen);
		Start();
		EXPECT_EQ(BPoint(100, 100), Window()->Frame().LeftTop());

		fBackend->InjectClick(WindowId(), BPoint(160, 30));
		Drain();
		auto pad = WindowTitled(fBackend, "Calc");
		ASSERT_NE(0u, pad.id);
		EXPECT_EQ(c.pad, pad.frame.LeftTop());
		EXPECT_TRUE(c.screen.Contains(KitWindow(pad)->DecoratorFrame()));
		KitWindow(pad)->PostMessage(B_QUIT_REQUESTED);
		Drain();

		Window()->PostMessage(B_ABOUT_REQUESTED, Window());
		Drain();
		auto about = WindowTitled(fBackend, "About");
		ASSERT_NE(0u, about.id);
		EXPECT_EQ(c.about, about.frame.LeftTop());
		EXPECT_TRUE(c.screen.Contains(KitWindow(about)->DecoratorFrame()));
		KitWindow(about)->PostMessage(kAboutOK);
		Drain();

		// The rates alert is taller than the main window it is centred over: its title bar
		// used to end up above the screen.
		BRect alertFrame;
		BPrivate::EventLoop::SetIdleHook([&] {
			if (BAlert* alert = BPrivate::CurrentAlert(); alert != nullptr) {
				alertFrame = alert->DecoratorFrame();
				fBackend->InjectKey(BPrivate::HeadlessBackend::IdOf(alert), "\n");
			}
		});
		Command('MpIf');
		BPrivate::EventLoop::SetIdleHook(nullptr);
		ASSERT_TRUE(alertFrame.IsValid());
		EXPECT_TRUE(c.screen.Contains(alertFrame))
			<< alertFrame.left << "," << alertFrame.top << "," << alertFrame.right << ","
			<< alertFrame.bottom;
		fApp.reset();
	}
}

TEST_F(ConverterTest, OnASmallScreenTheCurrencyListReachesItsLastCountry)
{
	fBackend->SetScreen(BRect(0, 0, 319, 239));
	Start();
	// The pointer rests on the list's lower arrow area until "Zypern" shows, then the
	// button is released over it.
	int32 step = 0;
	BRect listFrame;
	bool scrolling = false;
	BPrivate::EventLoop::SetIdleHook([&] {
		auto* tracker = BPrivate::MenuTracker::Current();
		auto* window = tracker != nullptr
			? dynamic_cast<BPrivate::MenuWindow*>(tracker->Root()->Window())
			: nullptr;
		if (window == nullptr)
			return;
		uint32 id = BPrivate::HeadlessBackend::IdOf(window);
		BRect bounds = window->Bounds();
		BRect last = window->ItemScreenFrame(tracker->Root()->CountItems() - 1);
		BPoint lastCenter = window->ConvertFromScreen(
			BPoint((last.left + last.right) / 2, (last.top + last.bottom) / 2));
		if (step++ == 0) {
			listFrame = window->Frame();
			scrolling = window->IsScrolling();
			for (int32 i = 0; i < 40; i++)
				fBackend->InjectMouseMoved(id, BPoint(bounds.Width() / 2, bounds.bottom - 2), 1);
		} else if (step == 2) {
			fBackend->InjectMouseMoved(id, lastCenter, 1);
			fBackend->InjectMouseUp(id, lastCenter);
		}
	});
	fBackend->InjectMouseDown(WindowId(), BPoint(100, 10));
	Drain();
	BPrivate::EventLoop::SetIdleHook(nullptr);
	EXPECT_TRUE(scrolling) << "the countries are taller than the screen";
	EXPECT_TRUE(BRect(0, 0, 319, 239).Contains(listFrame));
	EXPECT_EQ(21, View()->SourceIndex()) << "Zypern";
}
