// What windows tell the window manager (kind, the window they belong to, task-bar entry,
// stacking, resizing), how a modal window keeps the application's other windows waiting,
// and where new windows appear when their frame would leave the screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Alert.h"
#include "AppDefs.h"
#include "Application.h"
#include "Button.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

using BPrivate::EventLoop;
using BPrivate::FrameExtents;
using BPrivate::HeadlessBackend;
using BPrivate::WindowKind;

namespace {

std::vector<std::string> gLog;

// Logs the clicks that reach it.
class ClickView : public BView {
public:
	explicit ClickView(BRect frame) : BView(frame, "clicks", B_FOLLOW_ALL_SIDES, B_WILL_DRAW) {}

	void MouseDown(BPoint) override { gLog.push_back("click"); }
};

// A modal window with an OK button that closes it, as the about window has.
class ModalWindow : public BWindow {
public:
	ModalWindow() : BWindow(BRect(150, 150, 349, 249), "modal", B_MODAL_WINDOW, B_NOT_RESIZABLE)
	{
		BButton* ok = new BButton(BRect(60, 60, 139, 84), "ok", "OK", new BMessage('okay'));
		AddChild(ok);
		ok->MakeDefault(true);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'okay') {
			gLog.push_back("ok");
			Quit();
			return;
		}
		BWindow::MessageReceived(message);
	}
};

class WindowManagerTest : public testing::Test {
protected:
	void SetUp() override
	{
		gLog.clear();
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.window-manager-test");
		fMain = new BWindow(BRect(100, 100, 299, 249), "main", B_TITLED_WINDOW, B_NOT_RESIZABLE);
		fMain->AddChild(new ClickView(fMain->Bounds()));
		fMain->Show();
		EventLoop::Drain();
	}

	void TearDown() override { delete fApp; }

	HeadlessBackend::WindowInfo Info(const BWindow* window) const
	{
		for (const auto& info : fBackend->Windows()) {
			if (info.id == HeadlessBackend::IdOf(window))
				return info;
		}
		ADD_FAILURE() << "no backend window for " << window->Title();
		return {};
	}

	uint32 MainId() const { return HeadlessBackend::IdOf(fMain); }

	HeadlessBackend* fBackend;
	BApplication* fApp;
	BWindow* fMain;
};

} // namespace

// #pragma mark - what the window manager is told

TEST_F(WindowManagerTest, KindOwnerTaskBarAndStackingFollowLookFeelAndFlags)
{
	struct Case {
		const char* name;
		window_look look;
		window_feel feel;
		uint32 flags;
		bool alert;
		WindowKind kind;
		bool belongsToMain; // transient for the main window, no task-bar entry of its own
		bool onTop;
		bool resizable;
	};
	const Case cases[] = {
		{"a second document window", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0, false,
			WindowKind::kNormal, false, false, true},
		{"a fixed-size window", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE, false,
			WindowKind::kNormal, false, false, false},
		{"a keypad floating above all", B_BORDERED_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL,
			B_NOT_ZOOMABLE, false, WindowKind::kUtility, true, true, false},
		{"a palette of the application", B_FLOATING_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL, 0,
			false, WindowKind::kUtility, true, false, true},
		{"modal to the application", B_MODAL_WINDOW_LOOK, B_MODAL_APP_WINDOW_FEEL, B_NOT_RESIZABLE,
			false, WindowKind::kDialog, true, false, false},
		{"modal to everything", B_TITLED_WINDOW_LOOK, B_MODAL_ALL_WINDOW_FEEL, 0, false,
			WindowKind::kDialog, true, true, true},
		{"an alert", B_TITLED_WINDOW_LOOK, B_MODAL_APP_WINDOW_FEEL, 0, true, WindowKind::kDialog,
			true, false, false},
		{"an alert floating above all", B_TITLED_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL, 0, true,
			WindowKind::kDialog, true, true, false},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		BWindow* window = c.alert
			? new BAlert("alert", "text", "OK")
			: new BWindow(BRect(400, 300, 499, 399), c.name, c.look, c.feel, c.flags);
		window->SetFeel(c.feel);
		window->Show();
		EventLoop::Drain();
		HeadlessBackend::WindowInfo info = Info(window);
		EXPECT_EQ(c.kind, info.kind);
		EXPECT_EQ(c.belongsToMain ? MainId() : 0u, info.parent);
		EXPECT_EQ(c.belongsToMain, info.skipTaskbar);
		EXPECT_EQ(c.onTop, info.alwaysOnTop);
		EXPECT_EQ(c.resizable, info.resizable);
		window->Quit();
		EventLoop::Drain();
	}
	HeadlessBackend::WindowInfo main = Info(fMain);
	EXPECT_EQ(WindowKind::kNormal, main.kind);
	EXPECT_EQ(0u, main.parent);
	EXPECT_FALSE(main.skipTaskbar);
	EXPECT_FALSE(main.resizable);
}

TEST_F(WindowManagerTest, TheFirstWindowBelongsToNoneWhateverItsFeel)
{
	// A main window kept above all others is still the application's own window; later
	// windows belong to it, not to one another.
	fMain->SetFeel(B_FLOATING_ALL_WINDOW_FEEL);
	BWindow* second = new BWindow(BRect(10, 10, 59, 59), "second", B_TITLED_WINDOW, 0);
	second->Show();
	BWindow* pad = new BWindow(BRect(20, 20, 79, 79), "pad", B_BORDERED_WINDOW_LOOK,
		B_FLOATING_ALL_WINDOW_FEEL, 0);
	pad->Show();
	BWindow* dialog = new BWindow(BRect(30, 30, 89, 89), "dialog", B_MODAL_WINDOW, 0);
	dialog->Show();
	EventLoop::Drain();

	EXPECT_EQ(0u, Info(fMain).parent);
	EXPECT_TRUE(Info(fMain).alwaysOnTop);
	EXPECT_EQ(0u, Info(second).parent);
	EXPECT_EQ(MainId(), Info(pad).parent);
	EXPECT_EQ(MainId(), Info(dialog).parent);

	// With the main window gone, a new dialog belongs to the oldest window left.
	fMain->Quit();
	dialog->Quit();
	EventLoop::Drain();
	BWindow* later = new BWindow(BRect(30, 30, 89, 89), "later", B_MODAL_WINDOW, 0);
	later->Show();
	EventLoop::Drain();
	EXPECT_EQ(HeadlessBackend::IdOf(second), Info(later).parent);
}

TEST_F(WindowManagerTest, AnAlertAloneHasATaskBarEntry)
{
	fMain->Quit();
	EventLoop::Drain();
	BAlert* alert = new BAlert("alone", "text", "OK");
	alert->Show();
	EventLoop::Drain();
	EXPECT_EQ(WindowKind::kDialog, Info(alert).kind);
	EXPECT_EQ(0u, Info(alert).parent);
	EXPECT_FALSE(Info(alert).skipTaskbar);
	alert->Quit();
	EventLoop::Drain();
}

// #pragma mark - modality

TEST_F(WindowManagerTest, AModalWindowTakesTheOthersCloseButtonClicksAndKeys)
{
	ModalWindow* modal = new ModalWindow();
	modal->Show();
	EventLoop::Drain();
	uint32 modalId = HeadlessBackend::IdOf(modal);
	ASSERT_EQ(modalId, fBackend->ActiveWindow());

	struct Step {
		const char* name;
		void (*act)(HeadlessBackend*, uint32 main);
	};
	const Step steps[] = {
		{"the close button",
			[](HeadlessBackend* backend, uint32 main) { backend->InjectClose(main); }},
		{"a click",
			[](HeadlessBackend* backend, uint32 main) {
				backend->InjectClick(main, BPoint(20, 20));
			}},
		{"an activation by the window manager",
			[](HeadlessBackend* backend, uint32 main) { backend->InjectActivation(main, true); }},
	};
	for (const Step& step : steps) {
		SCOPED_TRACE(step.name);
		step.act(fBackend, MainId());
		EventLoop::Drain();
		EXPECT_FALSE(BPrivate::WindowAccess::IsQuitting(fMain));
		EXPECT_EQ(modalId, fBackend->ActiveWindow()) << "the modal window came forward";
		EXPECT_TRUE(modal->IsActive());
		EXPECT_TRUE(gLog.empty());
	}

	// A key that still reaches the main window belongs to the modal one: Enter closes it.
	fBackend->InjectKey(MainId(), "\n");
	EventLoop::Drain();
	EXPECT_EQ(std::vector<std::string>{"ok"}, gLog);

	// Without the modal window the main window acts again.
	gLog.clear();
	fBackend->InjectClick(MainId(), BPoint(20, 20));
	EventLoop::Drain();
	EXPECT_EQ(std::vector<std::string>{"click"}, gLog);
	fBackend->InjectClose(MainId());
	EventLoop::Drain();
	EXPECT_EQ(0, fApp->CountWindows());
}

TEST_F(WindowManagerTest, AFloatingWindowKeepsNothingWaiting)
{
	BWindow* pad = new BWindow(BRect(400, 300, 499, 399), "pad", B_BORDERED_WINDOW_LOOK,
		B_FLOATING_ALL_WINDOW_FEEL, 0);
	pad->Show();
	EventLoop::Drain();
	ASSERT_EQ(2, fApp->CountWindows());
	fBackend->InjectClick(MainId(), BPoint(20, 20));
	EventLoop::Drain();
	EXPECT_EQ(std::vector<std::string>{"click"}, gLog);
	EXPECT_EQ(MainId(), fBackend->ActiveWindow());
	fBackend->InjectClose(MainId());
	EventLoop::Drain();
	EXPECT_EQ(1, fApp->CountWindows()) << "the main window closed";
}

// #pragma mark - placement

TEST(FitOnScreenTest, MovesTheFrameWithItsDecorationOntoTheScreen)
{
	const BRect screen(0, 0, 319, 239);
	const FrameExtents titled = {2, 20, 2, 3};
	struct Case {
		const char* name;
		BRect frame;
		FrameExtents extents;
		BPoint expected;
	};
	const Case cases[] = {
		{"fits", BRect(100, 100, 199, 149), titled, BPoint(100, 100)},
		{"fits exactly", BRect(2, 20, 317, 236), titled, BPoint(2, 20)},
		{"title bar above the top", BRect(50, 0, 149, 49), titled, BPoint(50, 20)},
		{"left border off", BRect(1, 50, 100, 99), titled, BPoint(2, 50)},
		{"below the bottom", BRect(145, 143, 249, 273), titled, BPoint(145, 106)},
		{"beyond the right", BRect(300, 30, 399, 79), titled, BPoint(218, 30)},
		{"no frame at the edge", BRect(0, 0, 99, 99), FrameExtents(), BPoint(0, 0)},
		{"no frame below", BRect(0, 200, 99, 299), FrameExtents(), BPoint(0, 140)},
		{"taller than the screen keeps its title bar", BRect(10, 100, 109, 499), titled,
			BPoint(10, 20)},
		{"wider than the screen keeps its left edge", BRect(-50, 10, 449, 59), titled,
			BPoint(2, 20)},
	};
	for (const Case& c : cases) {
		BRect fitted = BPrivate::FitOnScreen(c.frame, c.extents, screen);
		EXPECT_EQ(c.expected, fitted.LeftTop()) << c.name;
		EXPECT_EQ(c.frame.Width(), fitted.Width()) << c.name;
		EXPECT_EQ(c.frame.Height(), fitted.Height()) << c.name;
	}
}

TEST_F(WindowManagerTest, NewWindowsAppearWithTheirFrameOnASmallScreen)
{
	fBackend->SetScreen(BRect(0, 0, 319, 239));
	fBackend->SetFrameExtents(FrameExtents{1, 22, 1, 1}, FrameExtents{1, 1, 1, 1});
	struct Case {
		const char* name;
		window_look look;
		BRect frame;
		BPoint expected;
	};
	const Case cases[] = {
		{"titled, fits", B_TITLED_WINDOW_LOOK, BRect(10, 30, 109, 79), BPoint(10, 30)},
		{"titled, title bar off the top", B_TITLED_WINDOW_LOOK, BRect(10, 0, 109, 49),
			BPoint(10, 22)},
		{"bordered, below the bottom", B_BORDERED_WINDOW_LOOK, BRect(145, 143, 249, 273),
			BPoint(145, 108)},
		{"modal look, beyond the right", B_MODAL_WINDOW_LOOK, BRect(130, 130, 440, 330),
			BPoint(8, 38)},
		{"no border, at the corner", B_NO_BORDER_WINDOW_LOOK, BRect(220, 140, 319, 239),
			BPoint(220, 140)},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		BWindow* window = new BWindow(c.frame, c.name, c.look, B_NORMAL_WINDOW_FEEL, 0);
		BRect decorated = window->DecoratorFrame();
		window->Show();
		EventLoop::Drain();
		EXPECT_EQ(c.expected, window->Frame().LeftTop());
		EXPECT_EQ(c.expected, Info(window).frame.LeftTop());
		EXPECT_EQ(c.frame.Width(), window->Frame().Width());
		EXPECT_TRUE(BRect(0, 0, 319, 239).Contains(window->DecoratorFrame()));
		EXPECT_EQ(decorated.Height() - c.frame.Height(),
			window->DecoratorFrame().Height() - window->Frame().Height());
		window->Quit();
		EventLoop::Drain();
	}

	// Placement holds for new windows only: the program may move a shown window anywhere.
	fMain->MoveTo(-50, -50);
	EXPECT_EQ(BPoint(-50, -50), Info(fMain).frame.LeftTop());
}
