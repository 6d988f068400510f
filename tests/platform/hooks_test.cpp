// The kit's hook contracts: which hooks run, in which order, and what misuse does. Every
// hook a view declares is called by the kit or the test would show it missing.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "Application.h"
#include "Bitmap.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "View.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

namespace {

std::vector<std::string> gLog;

// Logs every lifecycle hook with the view's name, and whether it had a window then.
class HookView : public BView {
public:
	explicit HookView(const char* name, BRect frame = BRect(0, 0, 49, 49), uint32 flags = 0) :
		BView(frame, name, B_FOLLOW_NONE, flags)
	{
	}

	void AttachedToWindow() override { _Log("attached"); }
	void AllAttached() override { _Log("all-attached"); }
	void DetachedFromWindow() override { _Log("detached"); }
	void AllDetached() override { _Log("all-detached"); }
	void Draw(BRect) override { gLog.push_back(std::string(Name()) + ":draw"); }
	void KeyDown(const char* bytes, int32 numBytes) override
	{
		gLog.push_back(std::string(Name()) + ":key:" + std::string(bytes, numBytes));
	}

private:
	void _Log(const char* hook)
	{
		gLog.push_back(std::string(Name()) + ":" + hook + (Window() != nullptr ? "" : "!"));
	}
};

// Builds its one child in AttachedToWindow, as application views do.
class BuildingView : public HookView {
public:
	BuildingView() : HookView("builder") {}

	void AttachedToWindow() override
	{
		HookView::AttachedToWindow();
		AddChild(new HookView("built", BRect(0, 0, 9, 9)));
	}
};

class HooksTest : public testing::Test {
protected:
	void SetUp() override
	{
		gLog.clear();
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.test");
		fWindow = new BWindow(BRect(10, 10, 109, 109), "hooks", B_TITLED_WINDOW, 0);
	}

	void TearDown() override
	{
		if (fWindow != nullptr)
			fWindow->Quit();
		EventLoop::Drain();
		delete fApp;
	}

	// parent { a { a1 }, b }
	HookView* _Tree()
	{
		auto* parent = new HookView("parent");
		auto* a = new HookView("a");
		a->AddChild(new HookView("a1"));
		parent->AddChild(a);
		parent->AddChild(new HookView("b"));
		return parent;
	}

	HeadlessBackend* fBackend;
	BApplication* fApp;
	BWindow* fWindow;
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(HooksTest, TreesAttachParentFirstAndReportAllAttachedChildrenFirst)
{
	fWindow->AddChild(_Tree());
	EXPECT_EQ(gLog,
		(Log{"parent:attached", "a:attached", "a1:attached", "b:attached", "a1:all-attached",
			"a:all-attached", "b:all-attached", "parent:all-attached"}));
}

TEST_F(HooksTest, TreesDetachLikeTheyAttachAndStillSeeTheirWindow)
{
	HookView* parent = _Tree();
	fWindow->AddChild(parent);
	gLog.clear();
	EXPECT_TRUE(parent->RemoveSelf());
	EXPECT_EQ(gLog,
		(Log{"parent:detached", "a:detached", "a1:detached", "b:detached", "a1:all-detached",
			"a:all-detached", "b:all-detached", "parent:all-detached"}));
	EXPECT_EQ(parent->Window(), nullptr);
	EXPECT_EQ(parent->ChildAt(0)->ChildAt(0)->Window(), nullptr);
	delete parent;
}

TEST_F(HooksTest, AClosingWindowDetachesEveryView)
{
	fWindow->AddChild(_Tree());
	fWindow->Show();
	EventLoop::Drain();
	gLog.clear();
	fWindow->Quit();
	fWindow = nullptr;
	EventLoop::Drain();
	EXPECT_EQ(gLog,
		(Log{"parent:detached", "a:detached", "a1:detached", "b:detached", "a1:all-detached",
			"a:all-detached", "b:all-detached", "parent:all-detached"}));
}

TEST_F(HooksTest, AChildBuiltWhileAttachingGetsEachHookOnce)
{
	fWindow->AddChild(new BuildingView());
	EXPECT_EQ(gLog,
		(Log{"builder:attached", "built:attached", "built:all-attached", "builder:all-attached"}));
}

TEST_F(HooksTest, ATreeAddedAgainIsAttachedAgainOnce)
{
	HookView* parent = _Tree();
	fWindow->AddChild(parent);
	parent->RemoveSelf();
	gLog.clear();
	fWindow->AddChild(parent);
	EXPECT_EQ(gLog,
		(Log{"parent:attached", "a:attached", "a1:attached", "b:attached", "a1:all-attached",
			"a:all-attached", "b:all-attached", "parent:all-attached"}));
}

TEST_F(HooksTest, HidingTheFocusOrItsParentTakesTheKeysAway)
{
	struct Case {
		const char* hide;
	};
	for (const Case& c : {Case{"field"}, Case{"box"}}) {
		SCOPED_TRACE(c.hide);
		auto* box = new HookView("box", BRect(0, 0, 49, 49));
		auto* field = new HookView("field", BRect(0, 0, 9, 9));
		box->AddChild(field);
		fWindow->AddChild(box);
		fWindow->Show();
		field->MakeFocus(true);
		(std::string(c.hide) == "box" ? (BView*)box : (BView*)field)->Hide();
		EXPECT_EQ(fWindow->CurrentFocus(), nullptr);

		gLog.clear();
		fBackend->InjectKey(HeadlessBackend::IdOf(fWindow), "x");
		EventLoop::Drain();
		EXPECT_EQ(gLog, Log{});
		box->RemoveSelf();
		delete box;
	}
}

TEST_F(HooksTest, MisuseOfTheTreeStopsDebugBuildsAndChangesNothingOtherwise)
{
	auto* parent = new HookView("parent");
	auto* other = new HookView("other");
	auto* child = new HookView("child");
	parent->AddChild(child);
	fWindow->AddChild(parent);
	fWindow->AddChild(other);

	EXPECT_DEBUG_DEATH(other->AddChild(child), "already has a parent");
	EXPECT_DEBUG_DEATH(other->RemoveChild(child), "not a child");
	EXPECT_EQ(child->Parent(), parent);
	EXPECT_EQ(other->CountChildren(), 0);
	EXPECT_EQ(parent->CountChildren(), 1);
}

TEST_F(HooksTest, LocksNestAndAnExtraUnlockIsHarmless)
{
	ASSERT_EQ(fWindow->CountLocks(), 0);
	for (int32 depth = 1; depth <= 3; depth++) {
		EXPECT_TRUE(fWindow->Lock());
		EXPECT_EQ(fWindow->CountLocks(), depth);
	}
	for (int32 depth = 2; depth >= 0; depth--) {
		fWindow->Unlock();
		EXPECT_EQ(fWindow->CountLocks(), depth);
		EXPECT_EQ(fWindow->IsLocked(), depth > 0);
	}
	fWindow->Unlock();
	EXPECT_EQ(fWindow->CountLocks(), 0);
	EXPECT_TRUE(fWindow->Lock());
	EXPECT_EQ(fWindow->CountLocks(), 1) << "the extra unlock did not go below zero";
	fWindow->Unlock();
}

// What a view does not handle goes up the chain: child, parent, window; a removed view
// hands nothing on.
TEST_F(HooksTest, UnhandledMessagesClimbTheHandlerChain)
{
	HookView* parent = new HookView("parent");
	HookView* child = new HookView("child", BRect(0, 0, 9, 9));
	fWindow->AddChild(parent);
	parent->AddChild(child);
	EXPECT_EQ(child->NextHandler(), parent);
	ASSERT_NE(parent->NextHandler(), nullptr);
	EXPECT_EQ(parent->NextHandler()->NextHandler(), fWindow);
	EXPECT_EQ(fWindow->NextHandler(), nullptr);

	parent->RemoveChild(child);
	EXPECT_EQ(child->NextHandler(), nullptr);
	delete child;
}

TEST(Application, KeepsTheSignatureItWasGiven)
{
	HeadlessBackend::Install();
	const char* const signatures[] = {"application/x-vnd.kambo-lux", "", nullptr};
	for (const char* signature : signatures) {
		BApplication app(signature);
		EXPECT_STREQ(app.Signature(), signature != nullptr ? signature : "");
		EXPECT_EQ(be_app, &app);
	}
}

TEST_F(HooksTest, LockingFromAnotherThreadIsMisuse)
{
	bool locked = true;
	auto lockElsewhere = [&] {
		std::thread other([&] { locked = fWindow->Lock(); });
		other.join();
	};
	EXPECT_DEBUG_DEATH(lockElsewhere(), "another thread");
	// Where misuse is only reported, the lock is refused.
#ifdef NDEBUG
	EXPECT_FALSE(locked);
#endif
	EXPECT_FALSE(fWindow->IsLocked());
}

// Objects the platform never copies cannot be copied or moved.
static_assert(!std::is_copy_constructible_v<BHandler> && !std::is_move_constructible_v<BHandler>);
static_assert(!std::is_copy_assignable_v<BView> && !std::is_move_assignable_v<BWindow>);
static_assert(!std::is_copy_constructible_v<BBitmap> && !std::is_copy_assignable_v<BBitmap>);

namespace {

bigtime_t gNow = 0;

bigtime_t
FakeClock()
{
	return gNow;
}

// Counts what reaches the focus view: pulses and key-ups.
class PulseView : public BView {
public:
	PulseView() : BView(BRect(0, 0, 9, 9), "pulse", B_FOLLOW_NONE, B_PULSE_NEEDED) {}
	void Pulse() override { pulses++; }
	void KeyUp(const char* bytes, int32 numBytes) override
	{
		gLog.push_back("up:" + std::string(bytes, numBytes));
	}
	int32 pulses = 0;
};

} // namespace

TEST_F(HooksTest, PulsesComeAtTheWindowsRate)
{
	struct Case {
		bigtime_t rate;
		int32 expected; // over one second, in steps of 10 ms
	};
	for (const Case& c : {Case{500000, 2}, Case{100000, 10}, Case{250000, 4}, Case{0, 0}}) {
		SCOPED_TRACE(c.rate);
		gNow = 1000000;
		EventLoop::SetClock(FakeClock);
		auto* window = new BWindow(BRect(10, 10, 59, 59), "pulsing", B_TITLED_WINDOW, 0);
		auto* view = new PulseView();
		window->AddChild(view);
		window->SetPulseRate(c.rate);
		window->Show();
		view->MakeFocus(true);
		EventLoop::Drain();
		for (int32 step = 0; step < 100; step++) {
			EventLoop::RunOnce(0);
			gNow += 10000;
		}
		EventLoop::RunOnce(0);
		EXPECT_EQ(view->pulses, c.expected);
		window->Quit();
		EventLoop::Drain();
		EventLoop::SetClock(nullptr);
	}
}

TEST_F(HooksTest, KeyUpsReachTheFocusView)
{
	auto* view = new PulseView();
	fWindow->AddChild(view);
	fWindow->Show();
	view->MakeFocus(true);
	fBackend->InjectKeyUp(HeadlessBackend::IdOf(fWindow), "a");
	EventLoop::Drain();
	EXPECT_EQ(gLog, Log{"up:a"});
}

TEST_F(HooksTest, AWindowTheSystemRefusesReportsItInsteadOfCrashing)
{
	fBackend->SetRefuseWindows(true);
	fWindow->AddChild(new HookView("inside"));
	fWindow->Show();
	EXPECT_EQ(fWindow->InitCheck(), B_ERROR);
	EXPECT_TRUE(fWindow->IsHidden());
	fWindow->Activate();
	fWindow->MoveTo(20, 20);
	fWindow->ChildAt(0)->Invalidate();
	EventLoop::Drain();
	EXPECT_EQ(HeadlessBackend::IdOf(fWindow), 0u);
	fBackend->SetRefuseWindows(false);
}
