// Alerts: the layout of buttons and text, and Go on the headless backend: it blocks its
// caller while other windows keep running, answers Enter, Escape and clicks, and deletes the
// alert afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Alert.h"
#include "AppDefs.h"
#include "Application.h"
#include "Button.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "Screen.h"
#include "TextView.h"
#include "View.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

namespace {

std::vector<std::string> gLog;

std::string
Code(uint32 what)
{
	char text[5] = {(char)(what >> 24), (char)(what >> 16), (char)(what >> 8), (char)what, 0};
	return text;
}

// Shows an alert with Go from its message handler, as the converter does with its rates.
class CallerWindow : public BWindow {
public:
	CallerWindow() : BWindow(BRect(300, 200, 506, 312), "caller", B_TITLED_WINDOW, B_NOT_RESIZABLE)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'show') {
			BAlert* alert = new BAlert("Title", "Some text.", labels[0], labels[1], labels[2]);
			gLog.push_back("result:" + std::to_string(alert->Go()));
			return;
		}
		gLog.push_back("caller:" + Code(message->what));
	}

	const char* labels[3] = {"OK", nullptr, nullptr};
};

class OtherWindow : public BWindow {
public:
	OtherWindow() : BWindow(BRect(10, 10, 59, 59), "other", B_TITLED_WINDOW, B_NOT_RESIZABLE) {}

	void MessageReceived(BMessage* message) override
	{
		gLog.push_back("other:" + Code(message->what));
	}
};

class AlertTest : public testing::Test {
protected:
	void SetUp() override
	{
		gLog.clear();
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.alert-test");
		fCaller = new CallerWindow();
		fCaller->Show();
		EventLoop::Drain();
	}

	void TearDown() override
	{
		EventLoop::SetIdleHook(nullptr);
		delete fApp;
	}

	void Script(std::vector<std::function<void()>> steps)
	{
		auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
		auto next = std::make_shared<size_t>(0);
		EventLoop::SetIdleHook([shared, next] {
			if (*next < shared->size())
				(*shared)[(*next)++]();
		});
	}

	void ShowFromCaller()
	{
		fCaller->PostMessage('show', fCaller);
		EventLoop::Drain();
	}

	static uint32 AlertId() { return HeadlessBackend::IdOf(BPrivate::CurrentAlert()); }

	HeadlessBackend* fBackend;
	BApplication* fApp;
	CallerWindow* fCaller;
};

BPoint
CenterOf(BRect frame)
{
	return BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
}

} // namespace

// #pragma mark - layout

TEST_F(AlertTest, ButtonsStandAtTheBottomRightWithTheLastOneDefault)
{
	struct Case {
		const char* name;
		std::vector<const char*> labels;
		button_width width;
		button_spacing spacing;
		std::vector<float> lefts; // expected left edges, in order
		std::vector<float> widths;
	};
	const Case cases[] = {
		{"one usual", {"OK"}, B_WIDTH_AS_USUAL, B_OFFSET_SPACING, {225}, {75}},
		{"three even", {"A", "B", "C"}, B_WIDTH_AS_USUAL, B_EVEN_SPACING, {57, 141, 225},
			{75, 75, 75}},
		{"offset sets the first apart", {"A", "B", "C"}, B_WIDTH_AS_USUAL, B_OFFSET_SPACING,
			{55, 141, 225}, {75, 75, 75}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		const char* labels[3] = {};
		for (size_t i = 0; i < c.labels.size(); i++)
			labels[i] = c.labels[i];
		BAlert* alert = new BAlert("t", "text", labels[0], labels[1], labels[2], c.width,
			c.spacing);
		ASSERT_EQ(alert->CountButtons(), (int32)c.labels.size());
		float bottom = alert->Bounds().bottom;
		for (int32 i = 0; i < alert->CountButtons(); i++) {
			BRect frame = alert->ButtonAt(i)->Frame();
			EXPECT_EQ(frame.left, c.lefts[i]) << i;
			EXPECT_EQ(frame.Width() + 1, c.widths[i]) << i;
			EXPECT_EQ(frame.bottom, bottom - 10) << i;
			EXPECT_STREQ(alert->ButtonAt(i)->Label(), c.labels[i]);
		}
		EXPECT_EQ(alert->DefaultButton(), alert->ButtonAt(alert->CountButtons() - 1));
		EXPECT_EQ(alert->ButtonAt(3), nullptr);
		EXPECT_EQ(alert->Bounds().Width() + 1, 310);
		alert->Quit();
		EventLoop::Drain();
	}
}

TEST_F(AlertTest, WindowGrowsWithTheTextAndAFontChangeIsHonouredWhenShown)
{
	BAlert* shortAlert = new BAlert("t", "One line.", "OK");
	BAlert* longAlert = new BAlert("t", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12", "OK");
	std::string words;
	for (int i = 0; i < 60; i++)
		words += "wrapping ";
	BAlert* wrapped = new BAlert("t", words.c_str(), "OK");

	float shortHeight = shortAlert->Bounds().Height();
	float longHeight = longAlert->Bounds().Height();
	EXPECT_GT(longHeight, shortHeight + 100);
	EXPECT_GT(wrapped->Bounds().Height(), shortHeight + 30);
	// Every line fits above the buttons.
	BTextView* text = longAlert->TextView();
	EXPECT_EQ(text->CountLines(), 12);
	EXPECT_LT(text->Frame().bottom, longAlert->ButtonAt(0)->Frame().top);
	EXPECT_TRUE(text->Bounds().Contains(text->PointAt(text->TextLength())));

	BFont big(be_fixed_font);
	big.SetSize(24);
	text->SetFontAndColor(&big);
	EXPECT_EQ(longAlert->Bounds().Height(), longHeight);
	longAlert->Show();
	EXPECT_GT(longAlert->Bounds().Height(), longHeight + 100);
	EXPECT_LT(text->Frame().bottom, longAlert->ButtonAt(0)->Frame().top);

	// A text longer than the screen is cut so that the buttons stay on it.
	std::string lines;
	for (int i = 0; i < 5000; i++)
		lines += "line\n";
	BAlert* huge = new BAlert("t", lines.c_str(), "OK", "Cancel");
	EXPECT_LE(huge->Bounds().Height(), BScreen().Frame().Height());
	EXPECT_LT(huge->ButtonAt(1)->Frame().bottom, huge->Bounds().bottom);

	for (BAlert* alert : {shortAlert, longAlert, wrapped, huge})
		alert->Quit();
	EventLoop::Drain();
}

TEST_F(AlertTest, TextIsReadOnlyAndTheBandAndIconAreDrawn)
{
	BAlert* alert = new BAlert("t", "text", "OK");
	EXPECT_FALSE(alert->TextView()->IsEditable());
	EXPECT_FALSE(alert->TextView()->IsSelectable());
	EXPECT_TRUE(alert->TextView()->DoesWordWrap());
	EXPECT_EQ(alert->Feel(), B_MODAL_APP_WINDOW_FEEL);
	alert->Show();
	EventLoop::Drain();

	EXPECT_EQ(fBackend->PixelAt(alert, 5, 60), make_color(184, 184, 184));
	EXPECT_EQ(fBackend->PixelAt(alert, 40, 60), make_color(216, 216, 216));
	rgb_color circle = fBackend->PixelAt(alert, 25, 21);
	EXPECT_GT(circle.blue, 150);
	EXPECT_LT(circle.red, 60);
	// The white "i" in the middle of the circle.
	EXPECT_EQ(fBackend->PixelAt(alert, 34, 25), make_color(255, 255, 255));
	// The default button is drawn, with its outline, below the text.
	BRect button = alert->ButtonAt(0)->Frame();
	EXPECT_EQ(fBackend->PixelAt(alert, (int32)button.left, (int32)(button.top + 10)),
		make_color(0, 0, 0));
	alert->Quit();
	EventLoop::Drain();
}

// #pragma mark - Go

TEST_F(AlertTest, GoBlocksItsCallerWhileOtherWindowsRun)
{
	OtherWindow* other = new OtherWindow();
	Script({[&] {
				fCaller->PostMessage('aft1', fCaller);
				other->PostMessage('othr', other);
				fCaller->PostMessage('aft2', fCaller);
			},
		[&] { fBackend->InjectKey(AlertId(), "\n"); }});
	ShowFromCaller();

	EXPECT_EQ(gLog,
		(std::vector<std::string>{"other:othr", "result:0", "caller:aft1", "caller:aft2"}));
	other->Quit();
	EventLoop::Drain();
}

TEST_F(AlertTest, KeysAndClicksChooseTheirButton)
{
	struct Case {
		const char* name;
		int32 buttons;
		std::function<void(HeadlessBackend*)> act;
		int32 result;
	};
	auto key = [](const char* bytes) {
		return [bytes](HeadlessBackend* backend) { backend->InjectKey(AlertId(), bytes); };
	};
	auto click = [](int32 index) {
		return [index](HeadlessBackend* backend) {
			BButton* button = BPrivate::CurrentAlert()->ButtonAt(index);
			backend->InjectClick(AlertId(), CenterOf(button->Frame()));
		};
	};
	const Case cases[] = {
		{"enter takes the default", 3, key("\n"), 2},
		{"escape takes the first of several", 3, key("\x1b"), 0},
		{"a click on the middle", 3, click(1), 1},
		{"a click on the only one", 1, click(0), 0},
	};
	const char* labels[3] = {"First", "Second", "Third"};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		gLog.clear();
		for (int32 i = 0; i < 3; i++)
			fCaller->labels[i] = i < c.buttons ? labels[i] : nullptr;
		Script({[&] { c.act(fBackend); }});
		ShowFromCaller();
		EXPECT_EQ(gLog, (std::vector<std::string>{"result:" + std::to_string(c.result)}));
	}
}

TEST_F(AlertTest, EscapeDoesNothingWithASingleButton)
{
	bool stillOpen = false;
	Script({[&] { fBackend->InjectKey(AlertId(), "\x1b"); },
		[&] {
			stillOpen = BPrivate::CurrentAlert() != nullptr;
			fBackend->InjectKey(AlertId(), "\n");
		}});
	ShowFromCaller();
	EXPECT_TRUE(stillOpen);
	EXPECT_EQ(gLog, (std::vector<std::string>{"result:0"}));
}

TEST_F(AlertTest, TheAlertDeletesItselfAfterGo)
{
	int32 windowsBefore = fApp->CountWindows();
	Script({[&] { fBackend->InjectKey(AlertId(), "\n"); }});
	ShowFromCaller();
	EventLoop::Drain();
	EXPECT_EQ(BPrivate::CurrentAlert(), nullptr);
	EXPECT_EQ(fApp->CountWindows(), windowsBefore);
	EXPECT_EQ(fBackend->CountVisibleWindows(), 1);
}

TEST_F(AlertTest, AnAbandonedGoClosesTheAlertAndReturnsMinusOne)
{
	ShowFromCaller();
	EventLoop::Drain();
	EXPECT_EQ(gLog, (std::vector<std::string>{"result:-1"}));
	EXPECT_EQ(BPrivate::CurrentAlert(), nullptr);
	EXPECT_EQ(fBackend->CountVisibleWindows(), 1);
}

TEST_F(AlertTest, GoIsCentredOverTheActiveWindow)
{
	BRect frame;
	Script({[&] {
		frame = BPrivate::CurrentAlert()->Frame();
		fBackend->InjectKey(AlertId(), "\n");
	}});
	ShowFromCaller();
	BRect caller = fCaller->Frame();
	EXPECT_NEAR((frame.left + frame.right) / 2, (caller.left + caller.right) / 2, 1);
	EXPECT_NEAR((frame.top + frame.bottom) / 2, (caller.top + caller.bottom) / 2, 1);
}
