// The X11 backend and what the window manager can do: keeping a window above the others only
// where it says it can, and a decoration change on a mapped window made by mapping it again.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "X11Window.h"
#include "x11_backend_fixture.h"

namespace {

// Sets a list of 32-bit items on the root, or deletes it when type is None.
void
SetRootList(Display* display, const char* name, Atom type, const std::vector<long>& values)
{
	const Atom atom = XInternAtom(display, name, False);
	if (type == None)
		XDeleteProperty(display, DefaultRootWindow(display), atom);
	else
		XChangeProperty(display, DefaultRootWindow(display), atom, type, 32, PropModeReplace,
			reinterpret_cast<const unsigned char*>(values.data()), (int)values.size());
	XSync(display, False);
}

// The window manager's check and list, changed by a test and put back as they were.
class RootProperties {
public:
	explicit RootProperties(Display* display) :
		fDisplay(display),
		fCheck(Property(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK")),
		fSupported(Property(display, DefaultRootWindow(display), "_NET_SUPPORTED"))
	{
	}

	~RootProperties()
	{
		SetRootList(fDisplay, "_NET_SUPPORTING_WM_CHECK", fCheck.empty() ? None : XA_WINDOW,
			fCheck);
		SetRootList(fDisplay, "_NET_SUPPORTED", fSupported.empty() ? None : XA_ATOM, fSupported);
	}

private:
	Display* fDisplay;
	std::vector<long> fCheck;
	std::vector<long> fSupported;
};

// A stand-in for a window manager's EWMH check window: it names itself, as a running one does.
Window
MakeCheckWindow(Display* display)
{
	Window check = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
	XChangeProperty(display, check, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False),
		XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&check), 1);
	return check;
}

bool
HasWindowManager(Display* display)
{
	return !Property(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK").empty();
}

} // namespace

// Asked afresh each time, so a window manager started, replaced or gone later is seen.
TEST_F(X11Display, AlwaysOnTopOnlyWhereTheWindowManagerListsIt)
{
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	if (HasWindowManager(other))
		EXPECT_TRUE(fBackend->SupportsAlwaysOnTop()) << "openbox lists _NET_WM_STATE_ABOVE";
	else
		EXPECT_FALSE(fBackend->SupportsAlwaysOnTop()) << "nothing keeps a window above";
	{
		RootProperties root(other);
		const Window check = MakeCheckWindow(other);
		auto atom = [other](const char* name) { return (long)XInternAtom(other, name, False); };
		const struct {
			const char* what;
			bool managed;
			std::vector<long> supported; // empty: no list at all
			bool expected;
		} cases[] = {
			{"listed", true, {atom("_NET_WM_STATE"), atom("_NET_WM_STATE_ABOVE")}, true},
			{"not listed", true, {atom("_NET_WM_STATE"), atom("_NET_WM_STATE_MODAL")}, false},
			{"no list", true, {}, false},
			{"listed, but no window manager runs", false, {atom("_NET_WM_STATE_ABOVE")}, false},
		};
		for (const auto& c : cases) {
			SCOPED_TRACE(c.what);
			SetRootList(other, "_NET_SUPPORTING_WM_CHECK", c.managed ? XA_WINDOW : None,
				{(long)check});
			SetRootList(other, "_NET_SUPPORTED", c.supported.empty() ? None : XA_ATOM, c.supported);
			EXPECT_EQ(c.expected, fBackend->SupportsAlwaysOnTop());
		}
		XDestroyWindow(other, check);
	}
	XCloseDisplay(other);
}

// A window manager need read the decoration hints only when a window is mapped: a change is
// made by withdrawing the window and mapping it again, where it was, with the focus and its
// state (above the others) kept.
TEST_F(X11Display, ADecorationChangeMapsTheWindowAgainWhereItWas)
{
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	if (!HasWindowManager(other)) {
		XCloseDisplay(other);
		GTEST_SKIP() << "no window manager";
	}
	BackendWindow* window = Open("remapped", BRect(100, 100, 306, 212));
	ASSERT_TRUE(WaitActivated(window));
	window->SetAlwaysOnTop(true);
	Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);
	const Window xWindow = static_cast<X11Window*>(window)->XWindow();
	XSelectInput(other, xWindow, StructureNotifyMask);
	XSync(other, False);

	const struct {
		bool decorated;
		bool titled; // what the frame shows afterwards
	} steps[] = {{false, false}, {true, true}};
	for (const auto& step : steps) {
		SCOPED_TRACE(step.decorated ? "title bar back" : "border only");
		window->SetDecorated(step.decorated);
		window->SetBordered(!step.decorated);
		std::vector<BackendEvent> events =
			Pump([](const std::vector<BackendEvent>&) { return false; }, 800000);
		bool unmapped = false, mappedAgain = false;
		while (XPending(other) > 0) {
			XEvent event;
			XNextEvent(other, &event);
			if (event.type == UnmapNotify && event.xunmap.window == xWindow)
				unmapped = true;
			else if (event.type == MapNotify && event.xmap.window == xWindow && unmapped)
				mappedAgain = true;
		}
		EXPECT_TRUE(unmapped);
		EXPECT_TRUE(mappedAgain);

		std::vector<long> extents = Property(other, xWindow, "_NET_FRAME_EXTENTS");
		ASSERT_EQ(extents.size(), 4u);
		EXPECT_EQ(step.titled, extents[2] > extents[0]);
		int x = 0, y = 0;
		Window child;
		XTranslateCoordinates(other, xWindow, DefaultRootWindow(other), 0, 0, &x, &y, &child);
		EXPECT_EQ(x, 100);
		EXPECT_EQ(y, 100);
		EXPECT_EQ(window->Frame().LeftTop(), BPoint(100, 100));
		Window focus = 0;
		int revert = 0;
		XGetInputFocus(other, &focus, &revert);
		EXPECT_EQ(focus, xWindow);
		EXPECT_TRUE(
			HasAtom(other, Property(other, xWindow, "_NET_WM_STATE"), "_NET_WM_STATE_ABOVE"));
	}
	XCloseDisplay(other);
}

// A window manager that never lets the window go (stopped, or a check window left behind by
// one that crashed) must not leave it unmapped: it is mapped again after a short wait. Run
// without a window manager, with a check window of its own.
TEST_F(X11Display, AWindowManagerThatNeverAnswersLeavesNoWindowUnmapped)
{
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	if (HasWindowManager(other)) {
		XCloseDisplay(other);
		GTEST_SKIP() << "a window manager answers";
	}
	BackendWindow* window = Open("unanswered");
	ASSERT_TRUE(WaitActivated(window));
	const Window xWindow = static_cast<X11Window*>(window)->XWindow();
	{
		RootProperties root(other);
		const Window check = MakeCheckWindow(other);
		SetRootList(other, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, {(long)check});
		XSelectInput(other, xWindow, StructureNotifyMask);
		XSync(other, False);
		window->SetDecorated(false);
		Pump([](const std::vector<BackendEvent>&) { return false; }, 1500000);
		bool unmapped = false;
		while (XPending(other) > 0) {
			XEvent event;
			XNextEvent(other, &event);
			unmapped = unmapped || (event.type == UnmapNotify && event.xunmap.window == xWindow);
		}
		EXPECT_TRUE(unmapped);
		XWindowAttributes attributes{};
		ASSERT_TRUE(XGetWindowAttributes(other, xWindow, &attributes));
		EXPECT_EQ(attributes.map_state, IsViewable);
		XDestroyWindow(other, check);
	}
	XCloseDisplay(other);
}
