// Invokers, push buttons and picture buttons on the headless backend: where messages go,
// press, drag-out and release, the default button and Enter, and what each state draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "Button.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "Picture.h"
#include "PictureButton.h"
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

class LogView : public BView {
public:
	LogView(const char* name, BRect frame = BRect(150, 60, 159, 69)) :
		BView(frame, name, B_FOLLOW_NONE, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		gLog.push_back(std::string(Name()) + ":" + Code(message->what));
	}
};

class LogWindow : public BWindow {
public:
	LogWindow() : BWindow(BRect(100, 100, 299, 199), "controls", B_TITLED_WINDOW, B_NOT_RESIZABLE)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		gLog.push_back("window:" + Code(message->what));
	}
};

class ControlsTest : public testing::Test {
protected:
	void SetUp() override
	{
		gLog.clear();
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.controls-test");
		fWindow = new LogWindow();
	}

	void TearDown() override
	{
		fWindow->Quit();
		EventLoop::Drain();
		delete fApp;
	}

	void Show()
	{
		fWindow->Show();
		EventLoop::Drain();
	}

	uint32 Id() const { return HeadlessBackend::IdOf(fWindow); }

	rgb_color Pixel(int32 x, int32 y) const { return fBackend->PixelAt(fWindow, x, y); }

	HeadlessBackend* fBackend;
	BApplication* fApp;
	LogWindow* fWindow;
};

const BRect kButtonFrame(10, 10, 84, 33);

} // namespace

// #pragma mark - invoker

TEST_F(ControlsTest, InvokerDeliversToItsTargetOrToTheControlsWindow)
{
	LogView* target = new LogView("target");
	LogView* focus = new LogView("focus", BRect(170, 60, 179, 69));
	fWindow->AddChild(target);
	fWindow->AddChild(focus);
	focus->MakeFocus(true);
	BButton* button = new BButton(kButtonFrame, "b", "OK", new BMessage('noTg'));
	fWindow->AddChild(button);

	// No target: the window's preferred handler, the focus view, at handling time.
	EXPECT_EQ(button->Invoke(), B_OK);
	// A handler target: that handler, whatever has the focus.
	BMessage other('hndl');
	button->SetTarget(target);
	EXPECT_EQ(button->Invoke(&other), B_OK);
	// A looper target: its preferred handler again.
	button->SetTarget(nullptr, fWindow);
	EXPECT_EQ(button->Invoke(), B_OK);
	EventLoop::Drain();

	EXPECT_EQ(gLog, (std::vector<std::string>{"focus:noTg", "target:hndl", "focus:noTg"}));
	BLooper* looper = nullptr;
	EXPECT_EQ(button->Target(&looper), nullptr);
	EXPECT_EQ(looper, fWindow);
}

TEST_F(ControlsTest, InvokerNeverTouchesADeletedTarget)
{
	LogView* target = new LogView("target");
	fWindow->AddChild(target);
	BInvoker invoker(new BMessage('gone'), target);
	EXPECT_EQ(invoker.Target(), target);
	target->RemoveSelf();
	delete target;

	EXPECT_EQ(invoker.Target(), nullptr);
	EXPECT_EQ(invoker.Invoke(), B_BAD_HANDLER);
	EventLoop::Drain();
	EXPECT_TRUE(gLog.empty());
}

// The invoker owns its message: what is posted is a copy of it as it is at the time, and the
// message goes with the invoker.
TEST_F(ControlsTest, InvokerPostsCopiesAndDeletesItsMessage)
{
	static int deleted = 0;
	struct CountedMessage : BMessage {
		explicit CountedMessage(uint32 what) : BMessage(what) {}
		~CountedMessage() override { deleted++; }
	};
	deleted = 0;
	LogView* target = new LogView("target");
	fWindow->AddChild(target);
	{
		auto* message = new CountedMessage('new ');
		BInvoker invoker(message, target);
		EXPECT_EQ(invoker.Message(), message);
		EXPECT_EQ(invoker.Command(), 'new ');
		EXPECT_EQ(invoker.Invoke(), B_OK);
		message->what = 'chgd';
		EXPECT_EQ(invoker.Invoke(), B_OK);
		EXPECT_EQ(deleted, 0);
	}
	EXPECT_EQ(deleted, 1);
	EventLoop::Drain();
	EXPECT_EQ(gLog, (std::vector<std::string>{"target:new ", "target:chgd"}));

	BInvoker empty(nullptr, target);
	EXPECT_EQ(empty.Command(), 0u);
	EXPECT_NE(empty.Invoke(), B_OK) << "nothing to send";
}

// #pragma mark - buttons

TEST_F(ControlsTest, ButtonInvokesOnlyWhenReleasedOverItself)
{
	BButton* button = new BButton(kButtonFrame, "b", "Go", new BMessage('push'));
	fWindow->AddChild(button);
	Show();
	const rgb_color released = Pixel(40, 14);

	struct Case {
		const char* name;
		std::vector<BPoint> moves;
		BPoint release;
		bool invokes;
	};
	const Case cases[] = {
		{"click", {}, BPoint(20, 20), true},
		{"drag out and release outside", {BPoint(120, 20)}, BPoint(120, 20), false},
		{"drag out and back in", {BPoint(120, 20), BPoint(30, 15)}, BPoint(30, 15), true},
		{"release on the edge", {}, BPoint(84, 33), true},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		gLog.clear();
		fBackend->InjectMouseDown(Id(), BPoint(20, 20));
		EventLoop::Drain();
		EXPECT_TRUE(button->IsPressed());
		EXPECT_TRUE(button->IsTracking());
		EXPECT_NE(Pixel(40, 14), released);
		for (BPoint move : c.moves) {
			fBackend->InjectMouseMoved(Id(), move, 1);
			EventLoop::Drain();
			EXPECT_EQ(button->IsPressed(), kButtonFrame.Contains(move));
			EXPECT_TRUE(button->IsTracking()) << "outside, the press is still followed";
		}
		fBackend->InjectMouseUp(Id(), c.release);
		EventLoop::Drain();
		EXPECT_FALSE(button->IsPressed());
		EXPECT_FALSE(button->IsTracking());
		EXPECT_EQ(Pixel(40, 14), released);
		EXPECT_EQ(gLog,
			c.invokes ? std::vector<std::string>{"window:push"} : std::vector<std::string>{});
	}
}

TEST_F(ControlsTest, DisabledButtonIgnoresClicksAndKeysAndGreysItsLabel)
{
	BButton* enabled = new BButton(kButtonFrame, "on", "MMMM", new BMessage('push'));
	BButton* disabled = new BButton(kButtonFrame.OffsetByCopy(0, 40), "off", "MMMM",
		new BMessage('push'));
	fWindow->AddChild(enabled);
	fWindow->AddChild(disabled);
	disabled->SetEnabled(false);
	disabled->MakeFocus(true);
	Show();

	fBackend->InjectMouseDown(Id(), BPoint(20, 60));
	EventLoop::Drain();
	EXPECT_FALSE(disabled->IsTracking());
	EXPECT_FALSE(disabled->IsPressed());
	fBackend->InjectMouseUp(Id(), BPoint(20, 60));
	fBackend->InjectKey(Id(), " ");
	EventLoop::Drain();
	EXPECT_TRUE(gLog.empty());

	// The darkest pixel of each label: black when enabled, a mid grey when disabled.
	auto darkest = [this](BRect frame) {
		int32 best = 255;
		for (int32 y = (int32)frame.top + 4; y <= (int32)frame.bottom - 4; y++) {
			for (int32 x = (int32)frame.left + 4; x <= (int32)frame.right - 4; x++)
				best = std::min<int32>(best, Pixel(x, y).green);
		}
		return best;
	};
	EXPECT_LT(darkest(kButtonFrame), 40);
	int32 grey = darkest(kButtonFrame.OffsetByCopy(0, 40));
	EXPECT_GT(grey, 90);
	EXPECT_LT(grey, 200);
}

TEST_F(ControlsTest, FocusedButtonInvokesOnEnterAndSpace)
{
	BButton* button = new BButton(kButtonFrame, "b", "Go", new BMessage('push'));
	fWindow->AddChild(button);
	button->MakeFocus(true);
	Show();

	fBackend->InjectKey(Id(), "\n");
	fBackend->InjectKey(Id(), " ");
	fBackend->InjectKey(Id(), "x");
	EventLoop::Drain();
	EXPECT_EQ(gLog, (std::vector<std::string>{"window:push", "window:push"}));
}

TEST_F(ControlsTest, DefaultButtonIsMarkedAndTriggeredByEnter)
{
	BButton* plain = new BButton(kButtonFrame, "plain", "No", new BMessage('no  '));
	BButton* preferred = new BButton(kButtonFrame.OffsetByCopy(90, 0), "default", "Yes",
		new BMessage('yes '));
	LogView* focus = new LogView("focus");
	fWindow->AddChild(plain);
	fWindow->AddChild(preferred);
	fWindow->AddChild(focus);
	focus->MakeFocus(true);
	preferred->MakeDefault(true);
	Show();

	EXPECT_TRUE(preferred->IsDefault());
	EXPECT_FALSE(plain->IsDefault());
	EXPECT_EQ(fWindow->DefaultButton(), preferred);
	// The extra outline lies inside the frame: black on the default button's edge, the usual
	// dark grey on the other's.
	rgb_color edge = Pixel((int32)preferred->Frame().left, 20);
	EXPECT_EQ(edge, make_color(0, 0, 0));
	EXPECT_NE(Pixel((int32)plain->Frame().left, 20), make_color(0, 0, 0));

	// Unaddressed, like a click on it: the focus view gets it first.
	fBackend->InjectKey(Id(), "\n");
	EventLoop::Drain();
	EXPECT_EQ(gLog, (std::vector<std::string>{"focus:yes "}));

	preferred->MakeDefault(false);
	plain->MakeDefault(false);
	EXPECT_EQ(fWindow->DefaultButton(), nullptr);
	EventLoop::Drain();
	EXPECT_NE(Pixel((int32)preferred->Frame().left, 20), make_color(0, 0, 0));
}

// #pragma mark - picture buttons

namespace {

BPicture*
SolidPicture(rgb_color color)
{
	BView recorder(BRect(0, 0, 19, 19), "recorder", B_FOLLOW_NONE, 0);
	recorder.BeginPicture(new BPicture);
	recorder.SetHighColor(color);
	recorder.FillRect(BRect(0, 0, 19, 19));
	return recorder.EndPicture();
}

const rgb_color kOffColor = make_color(0, 200, 0);
const rgb_color kOnColor = make_color(200, 0, 0);
const BRect kPictureFrame(40, 40, 59, 59);

} // namespace

TEST_F(ControlsTest, OneStatePictureButtonShowsOnWhilePressedAndInvokesOnRelease)
{
	BPictureButton* button = new BPictureButton(kPictureFrame, "pic", SolidPicture(kOffColor),
		SolidPicture(kOnColor), new BMessage('BtnC'));
	fWindow->AddChild(button);
	Show();
	EXPECT_EQ(button->Behavior(), (uint32)B_ONE_STATE_BUTTON);
	EXPECT_EQ(Pixel(45, 45), kOffColor);

	fBackend->InjectMouseDown(Id(), BPoint(45, 45));
	EventLoop::Drain();
	EXPECT_EQ(Pixel(45, 45), kOnColor);
	EXPECT_TRUE(gLog.empty());

	fBackend->InjectMouseUp(Id(), BPoint(50, 50));
	EventLoop::Drain();
	EXPECT_EQ(Pixel(45, 45), kOffColor);
	EXPECT_EQ(gLog, (std::vector<std::string>{"window:BtnC"}));
	EXPECT_EQ(button->Value(), B_CONTROL_OFF);

	// Released elsewhere: nothing.
	gLog.clear();
	fBackend->InjectMouseDown(Id(), BPoint(45, 45));
	fBackend->InjectMouseMoved(Id(), BPoint(90, 90), 1);
	fBackend->InjectMouseUp(Id(), BPoint(90, 90));
	EventLoop::Drain();
	EXPECT_TRUE(gLog.empty());
	EXPECT_EQ(Pixel(45, 45), kOffColor);
}

TEST_F(ControlsTest, TwoStatePictureButtonTogglesItsValue)
{
	BPictureButton* button = new BPictureButton(kPictureFrame, "pic", SolidPicture(kOffColor),
		SolidPicture(kOnColor), new BMessage('togl'), B_TWO_STATE_BUTTON);
	fWindow->AddChild(button);
	Show();
	EXPECT_EQ(button->Behavior(), (uint32)B_TWO_STATE_BUTTON);

	fBackend->InjectClick(Id(), BPoint(45, 45));
	EventLoop::Drain();
	EXPECT_EQ(button->Value(), B_CONTROL_ON);
	EXPECT_EQ(Pixel(45, 45), kOnColor);

	fBackend->InjectClick(Id(), BPoint(45, 45));
	EventLoop::Drain();
	EXPECT_EQ(button->Value(), B_CONTROL_OFF);
	EXPECT_EQ(Pixel(45, 45), kOffColor);
	EXPECT_EQ(gLog, (std::vector<std::string>{"window:togl", "window:togl"}));
}
