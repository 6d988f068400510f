// The X11 backend against a real X server (run by x11_backend_e2e.sh under Xvfb, with
// openbox): keys through the input method (Compose and dead keys), keys held before the focus,
// the clipboard both ways with xclip (large texts in pieces too) and with an owner that never
// answers or stops sending pieces, the focus after a dialog closes, a title bar above the
// screen, a window destroyed by another client, and an X error provoked on purpose.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "Backend.h"
#include "InterfaceDefs.h"
#include "SystemTime.h"
#include "X11Backend.h"
#include "X11Input.h"
#include "X11Window.h"
#include "x11_backend_fixture.h"

// Gives Multi_key and dead_acute keys of their own. xdotool would otherwise bind them to a
// spare key for a moment only, and a client reading the keymap a moment later finds nothing.
void
BindComposeKeys()
{
	Display* display = XOpenDisplay(nullptr);
	ASSERT_NE(display, nullptr);
	int first = 0, last = 0, perKeycode = 0;
	XDisplayKeycodes(display, &first, &last);
	KeySym* map = XGetKeyboardMapping(display, first, last - first + 1, &perKeycode);
	KeySym wanted[] = {XK_Multi_key, XK_dead_acute};
	size_t bound = 0;
	for (int keycode = last; keycode >= first && bound < std::size(wanted); keycode--) {
		KeySym* symbols = map + (size_t)(keycode - first) * perKeycode;
		bool free = true;
		for (int i = 0; i < perKeycode; i++)
			free = free && symbols[i] == NoSymbol;
		if (!free)
			continue;
		XChangeKeyboardMapping(display, keycode, 1, &wanted[bound++], 1);
	}
	XFree(map);
	XSync(display, False);
	XCloseDisplay(display);
	ASSERT_EQ(bound, std::size(wanted));
}

TEST_F(X11Display, KeysTypeThroughTheInputMethod)
{
	BindComposeKeys();
	BackendWindow* window = Open("keys");
	ASSERT_TRUE(WaitActivated(window));
	// The input method opens once the first frame is shown and the loop is idle.
	Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);

	struct Case {
		const char* keys;  // for xdotool key
		const char* typed; // what the kit gets as text
	} cases[] = {
		{"a shift+b 5", "aB5"},
		{"Multi_key o quotedbl", "\xc3\xb6"},  // Compose: o and " make ö
		{"Multi_key equal e", "\xe2\x82\xac"}, // = and e make €
		{"dead_acute e", "\xc3\xa9"},          // a dead key: é
		{"BackSpace Return", "\x08\x0a"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.keys);
		ASSERT_EQ(system((std::string("xdotool key --delay 20 ") + c.keys).c_str()), 0);
		const std::string want = c.typed;
		std::vector<BackendEvent> events = Pump([&want](const std::vector<BackendEvent>& seen) {
			return Typed(seen).size() >= want.size();
		});
		EXPECT_EQ(Typed(events), want);
	}

	// Ctrl with a key is a shortcut: the key's character and the command modifier.
	Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);
	ASSERT_EQ(system("xdotool key ctrl+q"), 0);
	std::vector<BackendEvent> events = Pump([](const std::vector<BackendEvent>& seen) {
		return !seen.empty() && seen.back().type == BackendEvent::kKeyUp;
	});
	ASSERT_GE(events.size(), 2u);
	EXPECT_EQ(Typed(events), "q");
	EXPECT_NE(events[0].modifiers & B_COMMAND_KEY, 0u);
	EXPECT_EQ(events[0].rawChar, 'q');
}

TEST_F(X11Display, KeysHeldBeforeTheFocusAreNoPresses)
{
	// A Ctrl+Q still down from closing another program when our window comes up.
	ASSERT_EQ(system("xdotool keydown ctrl+q"), 0);
	BackendWindow* window = Open("held");
	ASSERT_TRUE(WaitActivated(window));
	usleep(300000);
	ASSERT_EQ(system("xdotool keyup ctrl+q"), 0);
	std::vector<BackendEvent> events = Pump([](const std::vector<BackendEvent>&) { return false; },
		500000);
	EXPECT_EQ(Typed(events), "");
	for (const BackendEvent& event : events)
		EXPECT_NE(event.type, BackendEvent::kKeyUp);

	// Pressed again, it is a key like any other.
	ASSERT_EQ(system("xdotool key q"), 0);
	events = Pump([](const std::vector<BackendEvent>& seen) { return !Typed(seen).empty(); });
	EXPECT_EQ(Typed(events), "q");
}

TEST_F(X11Display, ClipboardBothWaysWithAnotherClient)
{
	BackendWindow* window = Open("clipboard");
	ASSERT_TRUE(WaitActivated(window));
	ScratchFolder directory("kit-clip");
	ASSERT_TRUE(directory.IsValid());
	const std::string out = directory.Sub("out");

	// Ours to another program, as UTF-8, as Latin-1, and the list of targets.
	const std::string text = "Gr\xc3\xbc\xc3\x9f"
							 "e 12,50 \xe2\x82\xac";
	fBackend->SetClipboardText(text);
	EXPECT_EQ(fBackend->ClipboardText(), text);
	EXPECT_EQ(RunPumping("xclip -selection clipboard -o >" + out), 0);
	EXPECT_EQ(ReadAll(out), text);
	EXPECT_EQ(RunPumping("xclip -selection clipboard -o -t STRING >" + out), 0);
	EXPECT_EQ(ReadAll(out),
		"Gr\xfc\xdf"
		"e 12,50 ?");
	EXPECT_EQ(RunPumping("xclip -selection clipboard -o -t TARGETS >" + out), 0);
	EXPECT_TRUE(Contains(ReadAll(out), "UTF8_STRING"));
	EXPECT_TRUE(Contains(ReadAll(out), "STRING"));

	// Another program's to us: asked for, answered later.
	GiveClipboardToXclip("printf '7,5\\303\\244' | xclip -selection clipboard -i >/dev/null 2>&1");
	std::string answer = "unset";
	bool answered = false;
	std::string now;
	EXPECT_FALSE(fBackend->RequestClipboardText(&now, [&](const std::string& text) {
		answer = text;
		answered = true;
	}));
	Pump([&answered](const std::vector<BackendEvent>&) { return answered; });
	EXPECT_TRUE(answered);
	EXPECT_EQ(answer, "7,5\xc3\xa4");
	// Ours no longer: nothing to give without asking.
	EXPECT_EQ(fBackend->ClipboardText(), "");

	// Latin-1 only (the STRING target).
	GiveClipboardToXclip(
		"printf 'x\\344' | xclip -selection clipboard -t STRING -i >/dev/null 2>&1");
	answered = false;
	EXPECT_FALSE(fBackend->RequestClipboardText(&now, [&](const std::string& text) {
		answer = text;
		answered = true;
	}));
	Pump([&answered](const std::vector<BackendEvent>&) { return answered; });
	EXPECT_EQ(answer, "x\xc3\xa4");
	// Taken back, which also ends the xclip that served it.
	fBackend->SetClipboardText("end");
	RunPumping("true");
}

TEST_F(X11Display, AnOwnerThatNeverAnswersCostsOnlyTheTimeOut)
{
	BackendWindow* window = Open("silent owner");
	ASSERT_TRUE(WaitActivated(window));
	// Another client takes the clipboard and never reads its events.
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	Window owner = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
	XSetSelectionOwner(other, XInternAtom(other, "CLIPBOARD", False), owner, CurrentTime);
	XSync(other, False);

	bool answered = false;
	std::string answer = "unset", now;
	EXPECT_FALSE(fBackend->RequestClipboardText(&now, [&](const std::string& text) {
		answer = text;
		answered = true;
	}));
	// Meanwhile the loop serves the keys.
	ASSERT_EQ(system("xdotool key 4"), 0);
	std::vector<BackendEvent> events =
		Pump([&answered](const std::vector<BackendEvent>&) { return answered; }, 10000000);
	EXPECT_TRUE(answered);
	EXPECT_EQ(answer, "");
	EXPECT_EQ(Typed(events), "4");
	XCloseDisplay(other);
}

// Other clients' windows may be gone by the time we answer them: a requester that quit
// before its answer (large and small texts, the list of targets) and a window manager that
// crashed and left its check window's id on the root. The server's errors about them are
// expected, so none is reported (errors about our own windows still are: the test after this).
TEST_F(X11Display, GoneWindowsOfOtherClientsAreNoErrors)
{
	BackendWindow* window = Open("gone requesters");
	ASSERT_TRUE(WaitActivated(window));
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	const Atom clipboard = XInternAtom(other, "CLIPBOARD", False);
	const Atom property = XInternAtom(other, "KIT_GONE", False);
	const uint32 before = X11ErrorsCaught();

	struct Case {
		const char* what;
		const char* target;
		size_t size;
	};
	const Case cases[] = {
		{"a short text", "UTF8_STRING", 5},
		{"a text in pieces", "UTF8_STRING", 2 * 1024 * 1024},
		{"the list of targets", "TARGETS", 5},
	};
	for (const Case& c : cases) {
		fBackend->SetClipboardText(std::string(c.size, 'x'));
		Window requester = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0,
			0);
		XConvertSelection(other, clipboard, XInternAtom(other, c.target, False), property,
			requester, CurrentTime);
		XDestroyWindow(other, requester);
		XSync(other, False);
		Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);
		EXPECT_EQ(X11ErrorsCaught(), before) << c.what;
	}

	// The root names a check window that no longer exists; mapping asks about it.
	const Atom check = XInternAtom(other, "_NET_SUPPORTING_WM_CHECK", False);
	Atom type = None;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* saved = nullptr;
	XGetWindowProperty(other, DefaultRootWindow(other), check, 0, 1, False, XA_WINDOW, &type,
		&format, &count, &after, &saved);
	Window dead = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
	XChangeProperty(other, DefaultRootWindow(other), check, XA_WINDOW, 32, PropModeReplace,
		reinterpret_cast<unsigned char*>(&dead), 1);
	XDestroyWindow(other, dead);
	XSync(other, False);
	window->Hide();
	Pump([](const std::vector<BackendEvent>&) { return false; }, 200000);
	window->Show();
	window->Activate();
	Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);
	// The window manager's own check put back, as it was.
	if (saved != nullptr && count == 1)
		XChangeProperty(other, DefaultRootWindow(other), check, XA_WINDOW, 32, PropModeReplace,
			saved, 1);
	else
		XDeleteProperty(other, DefaultRootWindow(other), check);
	if (saved != nullptr)
		XFree(saved);
	XSync(other, False);
	EXPECT_EQ(X11ErrorsCaught(), before) << "a stale window manager check";
	XCloseDisplay(other);
	fBackend->SetClipboardText("end");
}

TEST_F(X11Display, WindowDestroyedByAnotherClientAndXErrorsAreNoEnd)
{
	BackendWindow* window = Open("doomed");
	ASSERT_TRUE(WaitActivated(window));
	Window xWindow = 0;
	{
		// The window's X id, as another client finds it.
		Display* other = XOpenDisplay(nullptr);
		ASSERT_NE(other, nullptr);
		xWindow = FindWindowElsewhere("doomed");
		ASSERT_NE(xWindow, 0u);
		XDestroyWindow(other, xWindow);
		XSync(other, False);
		XCloseDisplay(other);
	}
	std::vector<BackendEvent> events = Pump([window](const std::vector<BackendEvent>& seen) {
		return !seen.empty() && seen.back().type == BackendEvent::kCloseRequested
			&& seen.back().window == window->Id();
	});
	ASSERT_FALSE(events.empty());
	EXPECT_EQ(events.back().type, BackendEvent::kCloseRequested);

	// Requests about a window that is gone: the server answers with errors, which are
	// logged and never fatal. Provoked on purpose through a second window's X id.
	const uint32 before = X11ErrorsCaught();
	BackendWindow* victim = Open("victim");
	ASSERT_TRUE(WaitActivated(victim));
	const Window victimWindow = FindWindowElsewhere("victim");
	ASSERT_NE(victimWindow, 0u);
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	XSetCloseDownMode(other, DestroyAll);
	// A foreign client's KillClient of our resource ends only that window of ours.
	XDestroyWindow(other, victimWindow);
	XSync(other, False);
	XCloseDisplay(other);
	std::vector<uint32> pixels(200 * 100, 0xff336699);
	// Before the backend has heard of it: these requests meet a window that is gone.
	victim->SetTitle("still here?");
	victim->Present(reinterpret_cast<const uint8*>(pixels.data()), 200, 100, 200 * 4);
	victim->MoveTo(BPoint(10, 10));
	Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);
	EXPECT_GT(X11ErrorsCaught(), before);

	// And the backend goes on: a new window shows and gets the keys.
	BackendWindow* after = Open("after");
	ASSERT_TRUE(WaitActivated(after));
	ASSERT_EQ(system("xdotool key z"), 0);
	events = Pump([](const std::vector<BackendEvent>& seen) { return !Typed(seen).empty(); });
	EXPECT_EQ(Typed(events), "z");
}

TEST_F(X11Display, WakeEndsAWaitAndWindowsKeepTheirContentFrame)
{
	BackendWindow* window = Open("frame", BRect(40, 30, 139, 79));
	ASSERT_TRUE(WaitActivated(window));
	Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);
	EXPECT_EQ(window->Frame(), BRect(40, 30, 139, 79));
	window->MoveTo(BPoint(60, 70));
	window->ResizeTo(120, 60);
	EXPECT_EQ(window->Frame(), BRect(60, 70, 179, 129));
	Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);
	EXPECT_EQ(window->Frame(), BRect(60, 70, 179, 129));

	fBackend->Wake();
	fBackend->Wake();
	BackendEvent event;
	const bigtime_t start = system_time_us();
	while (fBackend->WaitEvent(&event, 5000)) {
	}
	EXPECT_LT(system_time_us() - start, 4000000);
}

TEST_F(X11Display, WindowManagerPropertiesFollowTheSpec)
{
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);

	WindowSpec mainSpec;
	mainSpec.frame = BRect(100, 100, 306, 212);
	mainSpec.title = "main";
	std::unique_ptr<BackendWindow> main = fBackend->CreateWindow(mainSpec);
	ASSERT_NE(main, nullptr);
	main->Show();
	main->Activate();
	ASSERT_TRUE(WaitActivated(main.get()));
	const Window mainWindow = static_cast<X11Window*>(main.get())->XWindow();

	struct Case {
		const char* title;
		WindowKind kind;
		bool decorated, bordered, resizable, modal, skipTaskbar, onTop, child;
		const char* type;
		int decorations; // _MOTIF_WM_HINTS: border 2, title 8, menu 16, minimise 32
	} cases[] = {
		{"dialog", WindowKind::kDialog, true, false, false, true, true, false, true,
			"_NET_WM_WINDOW_TYPE_DIALOG", 2 | 8 | 16 | 32}, // no maximise button
		{"pad", WindowKind::kUtility, false, true, false, false, true, true, true,
			"_NET_WM_WINDOW_TYPE_UTILITY", 2},
		{"bare", WindowKind::kNormal, false, false, true, false, false, false, false,
			"_NET_WM_WINDOW_TYPE_NORMAL", 0},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.title);
		WindowSpec spec;
		spec.frame = BRect(400, 300, 499, 379);
		spec.title = c.title;
		spec.kind = c.kind;
		spec.decorated = c.decorated;
		spec.bordered = c.bordered;
		spec.resizable = c.resizable;
		spec.modal = c.modal;
		spec.skipTaskbar = c.skipTaskbar;
		spec.alwaysOnTop = c.onTop;
		spec.parent = c.child ? main->Id() : 0;
		std::unique_ptr<BackendWindow> window = fBackend->CreateWindow(spec);
		ASSERT_NE(window, nullptr);
		window->Show();
		window->Activate();
		ASSERT_TRUE(WaitActivated(window.get()));
		Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);
		const Window xWindow = static_cast<X11Window*>(window.get())->XWindow();

		std::vector<long> type = Property(other, xWindow, "_NET_WM_WINDOW_TYPE");
		ASSERT_EQ(type.size(), 1u);
		EXPECT_TRUE(HasAtom(other, type, c.type));

		Window transientFor = 0;
		XGetTransientForHint(other, xWindow, &transientFor);
		EXPECT_EQ(transientFor, c.child ? mainWindow : 0);

		std::vector<long> state = Property(other, xWindow, "_NET_WM_STATE");
		EXPECT_EQ(HasAtom(other, state, "_NET_WM_STATE_MODAL"), c.modal);
		EXPECT_EQ(HasAtom(other, state, "_NET_WM_STATE_SKIP_TASKBAR"), c.skipTaskbar);
		EXPECT_EQ(HasAtom(other, state, "_NET_WM_STATE_ABOVE"), c.onTop);

		std::vector<long> motif = Property(other, xWindow, "_MOTIF_WM_HINTS");
		ASSERT_EQ(motif.size(), 5u);
		EXPECT_EQ(motif[2], c.decorations);
		// A fixed size: no maximise or resize function, and equal minimum and maximum.
		EXPECT_EQ((motif[1] & (1 << 4)) != 0, c.resizable);
		XSizeHints hints{};
		long supplied = 0;
		ASSERT_TRUE(XGetWMNormalHints(other, xWindow, &hints, &supplied));
		const bool fixed = (hints.flags & PMinSize) && (hints.flags & PMaxSize)
			&& hints.min_width == hints.max_width && hints.min_width == 100
			&& hints.min_height == hints.max_height && hints.min_height == 80;
		EXPECT_EQ(fixed, !c.resizable);
		std::vector<long> allowed = Property(other, xWindow, "_NET_WM_ALLOWED_ACTIONS");
		EXPECT_FALSE(!c.resizable && HasAtom(other, allowed, "_NET_WM_ACTION_MAXIMIZE_HORZ"));

		// The frame the window manager drew: a title bar, a border alone, or nothing; the
		// backend reports what it reports, and the content stays where it was put.
		std::vector<long> extents = Property(other, xWindow, "_NET_FRAME_EXTENTS");
		ASSERT_EQ(extents.size(), 4u);
		const FrameExtents reported = window->Extents();
		EXPECT_EQ(reported.left, extents[0]);
		EXPECT_EQ(reported.top, extents[2]);
		if ((c.decorations & 8) != 0)
			EXPECT_GT(extents[2], extents[0]);
		else if (c.decorations == 2) {
			EXPECT_GT(extents[0], 0);
			EXPECT_EQ(extents[2], extents[0]);
			EXPECT_EQ(extents[3], extents[0]);
		} else
			EXPECT_EQ(extents[0] + extents[1] + extents[2] + extents[3], 0);
		int x = 0, y = 0;
		Window child;
		XTranslateCoordinates(other, xWindow, DefaultRootWindow(other), 0, 0, &x, &y, &child);
		EXPECT_EQ(x, 400);
		EXPECT_EQ(y, 300);
		EXPECT_EQ(window->Frame(), spec.frame);
	}

	// What a new window will get, learned from those that got one.
	EXPECT_GT(fBackend->TypicalExtents(true).top, fBackend->TypicalExtents(true).left);
	EXPECT_GT(fBackend->TypicalExtents(false).left, 0);

	// The look changes in place: bordered, then titled again, the content unmoved.
	main->SetDecorated(false);
	main->SetBordered(true);
	Pump([](const std::vector<BackendEvent>&) { return false; }, 500000);
	std::vector<long> extents = Property(other, mainWindow, "_NET_FRAME_EXTENTS");
	ASSERT_EQ(extents.size(), 4u);
	EXPECT_EQ(extents[2], extents[0]);
	int x = 0, y = 0;
	Window child;
	XTranslateCoordinates(other, mainWindow, DefaultRootWindow(other), 0, 0, &x, &y, &child);
	EXPECT_EQ(x, 100);
	EXPECT_EQ(y, 100);

	// The ICCCM and EWMH basics of every window.
	XClassHint classHint{};
	ASSERT_TRUE(XGetClassHint(other, mainWindow, &classHint));
	EXPECT_STREQ(classHint.res_name, "kambolux");
	EXPECT_STREQ(classHint.res_class, "kambolux");
	XFree(classHint.res_name);
	XFree(classHint.res_class);
	std::vector<long> pid = Property(other, mainWindow, "_NET_WM_PID");
	ASSERT_EQ(pid.size(), 1u);
	EXPECT_EQ(pid[0], getpid());
	std::vector<long> protocols = Property(other, mainWindow, "WM_PROTOCOLS");
	EXPECT_TRUE(HasAtom(other, protocols, "WM_DELETE_WINDOW"));
	EXPECT_TRUE(HasAtom(other, protocols, "_NET_WM_PING"));
	XCloseDisplay(other);
}

namespace {

// Several megabytes of numbered lines with two- and three-byte characters: a piece lost,
// doubled or out of order shows.
std::string
LargeText()
{
	std::string text;
	for (int line = 0; text.size() < 3 * 1024 * 1024; line++)
		text += "Zeile " + std::to_string(line)
			+ ": Gr\xc3\xbc\xc3\x9f"
			  "e 12,50 \xe2\x82\xac\n";
	return text;
}

} // namespace

TEST_F(X11Display, LargeClipboardTextsGoInPiecesBothWays)
{
	BackendWindow* window = Open("large clipboard");
	ASSERT_TRUE(WaitActivated(window));
	ScratchFolder directory("kit-incr");
	ASSERT_TRUE(directory.IsValid());
	const std::string in = directory.Sub("in"), out = directory.Sub("out");
	const std::string text = LargeText();
	std::ofstream(in, std::ios::binary) << text;

	// Another program's large text to us: xclip hands it out in pieces (INCR).
	GiveClipboardToXclip("xclip -selection clipboard -i <" + in + " >/dev/null 2>&1");
	std::string answer, now;
	bool answered = false;
	EXPECT_FALSE(fBackend->RequestClipboardText(&now, [&](const std::string& got) {
		answer = got;
		answered = true;
	}));
	Pump([&answered](const std::vector<BackendEvent>&) { return answered; }, 20000000);
	EXPECT_TRUE(answered);
	EXPECT_EQ(answer.size(), text.size());
	EXPECT_TRUE(answer == text);

	// Ours to another program, in pieces too, as UTF-8 and as Latin-1.
	fBackend->SetClipboardText(text);
	EXPECT_EQ(RunPumping("xclip -selection clipboard -o >" + out), 0);
	EXPECT_EQ(ReadAll(out).size(), text.size());
	EXPECT_TRUE(ReadAll(out) == text);
	EXPECT_EQ(RunPumping("xclip -selection clipboard -o -t STRING >" + out), 0);
	EXPECT_TRUE(ReadAll(out) == Latin1FromUTF8(text));
	fBackend->SetClipboardText("end");
}

TEST_F(X11Display, PiecesThatStopCostOnlyTheTimeOut)
{
	BackendWindow* window = Open("stalled pieces");
	ASSERT_TRUE(WaitActivated(window));
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	const Atom clipboard = XInternAtom(other, "CLIPBOARD", False);
	const Atom incr = XInternAtom(other, "INCR", False);
	Window peer = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);

	// An owner that announces pieces (INCR) and never sends one.
	XSetSelectionOwner(other, clipboard, peer, CurrentTime);
	XSync(other, False);
	bool answered = false;
	std::string answer = "unset", now;
	EXPECT_FALSE(fBackend->RequestClipboardText(&now, [&](const std::string& got) {
		answer = got;
		answered = true;
	}));
	auto announce = [&]() {
		while (XPending(other) > 0) {
			XEvent event;
			XNextEvent(other, &event);
			if (event.type != SelectionRequest)
				continue;
			const XSelectionRequestEvent& request = event.xselectionrequest;
			long size = 1 << 20;
			XChangeProperty(other, request.requestor, request.property, incr, 32, PropModeReplace,
				reinterpret_cast<unsigned char*>(&size), 1);
			XEvent reply{};
			reply.xselection.type = SelectionNotify;
			reply.xselection.requestor = request.requestor;
			reply.xselection.selection = request.selection;
			reply.xselection.target = request.target;
			reply.xselection.property = request.property;
			reply.xselection.time = request.time;
			XSendEvent(other, request.requestor, False, NoEventMask, &reply);
			XFlush(other);
		}
	};
	const bigtime_t start = system_time_us();
	ASSERT_EQ(system("xdotool key 5"), 0);
	std::vector<BackendEvent> events = Pump(
		[&](const std::vector<BackendEvent>&) {
			announce();
			return answered;
		},
		10000000);
	EXPECT_TRUE(answered);
	EXPECT_EQ(answer, "");
	EXPECT_LT(system_time_us() - start, 5000000);
	EXPECT_EQ(Typed(events), "5");

	// A requester that takes the first piece of our large text and no more: after the
	// time-out the next requester gets all of it.
	const std::string text = LargeText();
	fBackend->SetClipboardText(text);
	const Atom property = XInternAtom(other, "PEER_PROPERTY", False);
	XSelectInput(other, peer, PropertyChangeMask);
	XConvertSelection(other, clipboard, XInternAtom(other, "UTF8_STRING", False), property, peer,
		CurrentTime);
	XFlush(other);
	bool started = false;
	Pump(
		[&](const std::vector<BackendEvent>&) {
			while (XPending(other) > 0) {
				XEvent event;
				XNextEvent(other, &event);
				if (event.type == SelectionNotify && event.xselection.property == property) {
					XDeleteProperty(other, peer, property);
					XFlush(other);
					started = true;
				}
			}
			return false;
		},
		2500000);
	EXPECT_TRUE(started);
	ScratchFolder directory("kit-incr");
	ASSERT_TRUE(directory.IsValid());
	const std::string out = directory.Sub("out");
	EXPECT_EQ(RunPumping("xclip -selection clipboard -o >" + out), 0);
	EXPECT_TRUE(ReadAll(out) == text);
	fBackend->SetClipboardText("end");
	XCloseDisplay(other);
}

// Frames after the first go through shared memory where the server offers MIT-SHM (the
// script runs this once more on a server without it, with KIT_NO_MIT_SHM set): either way
// the screen shows the last frame, also when frames come faster than the server reads them.
TEST_F(X11Display, FramesReachTheScreenWithOrWithoutSharedMemory)
{
	BackendWindow* window = Open("frames");
	ASSERT_TRUE(WaitActivated(window));
	// The first frame is up (the exposure's): the loop now asks for MIT-SHM.
	Pump([](const std::vector<BackendEvent>&) { return false; }, 200000);
	std::vector<uint32> pixels(200 * 100);
	for (uint32 colour : {0xff336699u, 0xff996633u, 0xff123456u}) {
		std::fill(pixels.begin(), pixels.end(), colour);
		window->Present(reinterpret_cast<const uint8*>(pixels.data()), 200, 100, 200 * 4);
	}
	Pump([](const std::vector<BackendEvent>&) { return false; }, 300000);

	const Window xWindow = FindWindowElsewhere("frames");
	ASSERT_NE(xWindow, 0u);
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	XImage* image = XGetImage(other, xWindow, 0, 0, 200, 100, AllPlanes, ZPixmap);
	ASSERT_NE(image, nullptr);
	for (auto [x, y] : {std::pair(0, 0), std::pair(199, 99), std::pair(100, 50)})
		EXPECT_EQ(XGetPixel(image, x, y) & 0xffffff, 0x123456u) << x << "," << y;
	XDestroyImage(image);
	XCloseDisplay(other);

	// A segment of System V shared memory is mapped only when the server took it.
	const bool shared = Contains(ReadAll("/proc/self/maps"), "SYSV");
	EXPECT_EQ(shared, getenv("KIT_NO_MIT_SHM") == nullptr);
}

namespace {

// The window that has the keyboard focus, as another client reads it; 0 for none or the root.
Window
FocusedWindow(Display* display)
{
	Window focus = 0;
	int revert = 0;
	XGetInputFocus(display, &focus, &revert);
	return focus == DefaultRootWindow(display) || focus == PointerRoot ? 0 : focus;
}

} // namespace

// A dialog or pad that closes hands the keyboard back to the window it belongs to. A window
// manager does that; without one the focus would fall to the root, where typed keys reach
// only the window under the pointer. Run with and without a window manager.
TEST_F(X11Display, AClosingDialogHandsTheFocusBackToItsOwner)
{
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	BackendWindow* main = Open("owner", BRect(20, 20, 226, 132));
	ASSERT_TRUE(WaitActivated(main));
	const Window mainWindow = static_cast<X11Window*>(main)->XWindow();

	for (bool destroyed : {false, true}) {
		SCOPED_TRACE(destroyed ? "destroyed" : "hidden");
		WindowSpec spec;
		spec.frame = BRect(60, 60, 163, 189);
		spec.title = "pad";
		spec.kind = WindowKind::kUtility;
		spec.decorated = false;
		spec.bordered = true;
		spec.parent = main->Id();
		std::unique_ptr<BackendWindow> pad = fBackend->CreateWindow(spec);
		ASSERT_NE(pad, nullptr);
		pad->Show();
		pad->Activate();
		ASSERT_TRUE(WaitActivated(pad.get()));
		EXPECT_EQ(FocusedWindow(other), static_cast<X11Window*>(pad.get())->XWindow());

		if (destroyed)
			pad.reset();
		else
			pad->Hide();
		EXPECT_TRUE(WaitActivated(main));
		EXPECT_EQ(FocusedWindow(other), mainWindow);
		pad.reset();
	}
	XCloseDisplay(other);
}

// A window placed so high that the window manager's title bar would stand above the screen
// (a saved place from a window without a title bar, or a larger screen) is moved down once
// the frame is known, so that it can still be taken by its title; the kit is told. The
// same when a title bar is added to a window at the top. Only with a window manager.
TEST_F(X11Display, ATitleBarAboveTheScreenIsBroughtBackOnIt)
{
	Display* other = XOpenDisplay(nullptr);
	ASSERT_NE(other, nullptr);
	const bool managed =
		!Property(other, DefaultRootWindow(other), "_NET_SUPPORTING_WM_CHECK").empty();
	XCloseDisplay(other);
	if (!managed)
		GTEST_SKIP() << "no window manager";

	auto movedTo = [](const std::vector<BackendEvent>& events, uint32 id) {
		BPoint where(-1, -1);
		for (const BackendEvent& event : events) {
			if (event.type == BackendEvent::kWindowMoved && event.window == id)
				where = event.where;
		}
		return where;
	};
	auto settle = [this]() {
		return Pump([](const std::vector<BackendEvent>&) { return false; }, 700000);
	};

	for (bool decoratedFirst : {true, false}) {
		SCOPED_TRACE(decoratedFirst ? "titled from the start" : "title bar added later");
		WindowSpec spec;
		spec.frame = BRect(300, 5, 506, 117);
		spec.title = "high";
		spec.decorated = decoratedFirst;
		spec.bordered = !decoratedFirst;
		std::unique_ptr<BackendWindow> window = fBackend->CreateWindow(spec);
		ASSERT_NE(window, nullptr);
		window->Show();
		window->Activate();
		ASSERT_TRUE(WaitActivated(window.get()));
		std::vector<BackendEvent> events = settle();
		if (!decoratedFirst) {
			// A border alone fits: the window stays where it was put.
			EXPECT_EQ(window->Frame().LeftTop(), BPoint(300, 5));
			window->SetDecorated(true);
			events = settle();
		}
		const FrameExtents extents = window->Extents();
		ASSERT_GT(extents.top, 5);
		EXPECT_EQ(window->Frame().LeftTop(), BPoint(300, extents.top));
		EXPECT_EQ(movedTo(events, window->Id()), BPoint(300, extents.top));
	}
}
