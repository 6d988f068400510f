// The run model: posting order across loopers, the handler chain, unaddressed messages going
// to the focus view at the time they are handled, Quit inside a handler, nested loops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "View.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

namespace {

std::vector<std::string> gLog;

class RecordingView : public BView {
public:
	RecordingView(const char* name, BRect frame = BRect(0, 0, 9, 9)) :
		BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'hand') {
			gLog.push_back(std::string(Name()) + ":hand");
			return;
		}
		BView::MessageReceived(message);
	}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		gLog.push_back(std::string(Name()) + ":key:" + std::string(bytes, numBytes));
	}

	void MouseDown(BPoint where) override
	{
		gLog.push_back(std::string(Name()) + ":down:" + std::to_string((int)where.x) + ","
			+ std::to_string((int)where.y));
	}
};

class RecordingWindow : public BWindow {
public:
	RecordingWindow(const char* name, BRect frame = BRect(10, 10, 109, 109)) :
		BWindow(frame, name, B_TITLED_WINDOW, B_NOT_RESIZABLE)
	{
	}

	~RecordingWindow() override { gLog.push_back(std::string(Title()) + ":deleted"); }

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case 'hand':
			case 'ordr':
				gLog.push_back(std::string(Title()) + ":" + std::to_string(message->what));
				return;
			case 'quit':
				gLog.push_back(std::string(Title()) + ":quit");
				Quit();
				gLog.push_back(std::string(Title()) + ":after-quit");
				return;
		}
		BWindow::MessageReceived(message);
	}

	void WindowActivated(bool active) override
	{
		gLog.push_back(std::string(Title()) + (active ? ":active" : ":inactive"));
	}
};

class RunModelTest : public testing::Test {
protected:
	void SetUp() override
	{
		gLog.clear();
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.test");
	}

	void TearDown() override
	{
		EventLoop::SetIdleHook(nullptr);
		delete fApp;
	}

	HeadlessBackend* fBackend;
	BApplication* fApp;
};

} // namespace

TEST_F(RunModelTest, MessagesOfAllLoopersRunInPostingOrder)
{
	auto* first = new RecordingWindow("first");
	auto* second = new RecordingWindow("second");
	first->PostMessage('ordr', first);
	second->PostMessage('ordr', second);
	first->PostMessage('hand', first);
	EventLoop::Drain();
	std::vector<std::string> expected = {"first:" + std::to_string('ordr'),
		"second:" + std::to_string('ordr'), "first:" + std::to_string('hand')};
	EXPECT_EQ(gLog, expected);
	first->Quit();
	second->Quit();
	EventLoop::Drain();
}

TEST_F(RunModelTest, UnaddressedMessagesGoToTheFocusAtHandlingTime)
{
	auto* window = new RecordingWindow("w");
	auto* parent = new RecordingView("parent", BRect(0, 0, 50, 50));
	auto* child = new BView(BRect(0, 0, 9, 9), "child", B_FOLLOW_NONE, 0);
	window->AddChild(parent);
	parent->AddChild(child);

	// Unhandled by the child, the message climbs to its parent.
	child->MakeFocus(true);
	window->PostMessage('hand');
	// The focus changes before the message is handled: the new focus receives it.
	window->PostMessage('hand');
	EventLoop::Drain();
	ASSERT_EQ(gLog.size(), 2u);
	EXPECT_EQ(gLog[0], "parent:hand");

	gLog.clear();
	window->PostMessage('hand');
	child->MakeFocus(false);
	EventLoop::Drain();
	// No focus: the window itself handles it.
	ASSERT_EQ(gLog.size(), 1u);
	EXPECT_EQ(gLog[0], "w:" + std::to_string('hand'));
	window->Quit();
	EventLoop::Drain();
}

TEST_F(RunModelTest, MakeFocusFalseOnAnotherViewChangesNothing)
{
	auto* window = new RecordingWindow("w");
	auto* a = new RecordingView("a");
	auto* b = new RecordingView("b");
	window->AddChild(a);
	window->AddChild(b);
	a->MakeFocus(true);
	b->MakeFocus(false);
	EXPECT_EQ(window->CurrentFocus(), a);
	b->MakeFocus(true);
	EXPECT_EQ(window->CurrentFocus(), b);
	EXPECT_FALSE(a->IsFocus());
	window->Quit();
	EventLoop::Drain();
}

TEST_F(RunModelTest, QuitInsideAHandlerTakesEffectWhenItReturns)
{
	auto* window = new RecordingWindow("w");
	window->PostMessage('quit', window);
	window->PostMessage('hand', window);
	EventLoop::Drain();
	std::vector<std::string> expected = {"w:quit", "w:after-quit", "w:deleted"};
	EXPECT_EQ(gLog, expected);
	EXPECT_EQ(fApp->CountWindows(), 0);
}

TEST_F(RunModelTest, MessagesForADeletedHandlerAreDropped)
{
	auto* window = new RecordingWindow("w");
	auto* view = new RecordingView("v");
	window->AddChild(view);
	window->PostMessage('hand', view);
	view->RemoveSelf();
	delete view;
	EventLoop::Drain();
	EXPECT_TRUE(gLog.empty());
	window->Quit();
	EventLoop::Drain();
}

TEST_F(RunModelTest, NestedLoopBlocksItsCallerButRunsOthers)
{
	auto* caller = new RecordingWindow("caller");
	auto* other = new RecordingWindow("other");
	bool done = false;
	EventLoop::SetIdleHook([&] {
		// The caller's message waits; the other window's runs.
		caller->PostMessage('hand', caller);
		other->PostMessage('hand', other);
		EventLoop::SetIdleHook([&] { done = true; });
	});
	bool finished = EventLoop::RunNested(caller, [&] { return done; });
	EXPECT_TRUE(finished);
	ASSERT_EQ(gLog.size(), 1u);
	EXPECT_EQ(gLog[0], "other:" + std::to_string('hand'));
	EventLoop::Drain();
	ASSERT_EQ(gLog.size(), 2u);
	EXPECT_EQ(gLog[1], "caller:" + std::to_string('hand'));
	caller->Quit();
	other->Quit();
	EventLoop::Drain();
}

TEST_F(RunModelTest, NestedLoopWithoutInputIsAbandoned)
{
	EXPECT_FALSE(EventLoop::RunNested(nullptr, [] { return false; }));
}

TEST_F(RunModelTest, KeysAndClicksReachTheRightView)
{
	auto* window = new RecordingWindow("w", BRect(100, 100, 199, 199));
	auto* left = new RecordingView("left", BRect(0, 0, 49, 99));
	auto* right = new RecordingView("right", BRect(50, 0, 99, 99));
	window->AddChild(left);
	window->AddChild(right);
	window->Show();
	EventLoop::Drain();
	gLog.clear();

	uint32 id = HeadlessBackend::IdOf(window);
	right->MakeFocus(true);
	fBackend->InjectKey(id, "7");
	fBackend->InjectClick(id, BPoint(60, 5));
	fBackend->InjectKey(id, "\x08");
	EventLoop::Drain();
	std::vector<std::string> expected = {"right:key:7", "right:down:10,5", "right:key:\x08"};
	EXPECT_EQ(gLog, expected);
	window->Quit();
	EventLoop::Drain();
}

TEST_F(RunModelTest, ShowActivatesAndAnotherWindowDeactivates)
{
	auto* first = new RecordingWindow("first");
	first->Show();
	EventLoop::Drain();
	auto* second = new RecordingWindow("second");
	second->Show();
	EventLoop::Drain();
	std::vector<std::string> expected = {"first:active", "first:inactive", "second:active"};
	EXPECT_EQ(gLog, expected);
	EXPECT_TRUE(second->IsActive());
	EXPECT_FALSE(first->IsActive());
	first->Quit();
	second->Quit();
	EventLoop::Drain();
}

TEST_F(RunModelTest, CloseBoxAsksTheWindowAndCtrlQAsksTheApplication)
{
	auto* window = new RecordingWindow("w");
	window->Show();
	EventLoop::Drain();
	uint32 id = HeadlessBackend::IdOf(window);
	fBackend->InjectKey(id, "q", B_CONTROL_KEY | B_COMMAND_KEY);
	EventLoop::Drain();
	EXPECT_TRUE(fApp->IsQuitting());
	fBackend->InjectClose(id);
	EventLoop::Drain();
	EXPECT_EQ(fApp->CountWindows(), 0);
}

TEST_F(RunModelTest, InvalidatedViewsArePaintedWithTheirViewColour)
{
	auto* window = new RecordingWindow("w", BRect(0, 0, 19, 19));
	auto* view = new RecordingView("v", BRect(5, 5, 14, 14));
	view->SetViewColor(10, 200, 30);
	window->AddChild(view);
	window->Show();
	EventLoop::Drain();
	uint32 id = HeadlessBackend::IdOf(window);
	EXPECT_EQ(fBackend->PixelAt(id, 5, 5), make_color(10, 200, 30));
	EXPECT_EQ(fBackend->PixelAt(id, 14, 14), make_color(10, 200, 30));
	EXPECT_EQ(fBackend->PixelAt(id, 4, 4), ui_color(B_PANEL_BACKGROUND_COLOR));
	EXPECT_EQ(fBackend->PixelAt(id, 15, 15), ui_color(B_PANEL_BACKGROUND_COLOR));
	window->Quit();
	EventLoop::Drain();
}
