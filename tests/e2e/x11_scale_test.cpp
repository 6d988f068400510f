// The X11 backend at a scale against a real X server (run by x11_backend_e2e.sh under Xvfb):
// where the scale comes from, windows and their frames at twice the layout size, event
// positions halved back, frames copied pixel for pixel; and the keyboard's and the mouse's
// X11 half: function keys, the Menu key, and the primary selection both ways with xclip.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "Backend.h"
#include "DisplayScale.h"
#include "InterfaceDefs.h"
#include "ScopedVariable.h"
#include "ScratchFolder.h"
#include "SystemTime.h"
#include "X11Window.h"
#include "x11_backend_fixture.h"

using namespace BPrivate;

namespace {

// The root window's X resources as another client (xrdb) leaves them.
void
SetResources(const char* text)
{
	Display* display = XOpenDisplay(nullptr);
	ASSERT_NE(display, nullptr);
	const Atom property = XInternAtom(display, "RESOURCE_MANAGER", False);
	if (text == nullptr)
		XDeleteProperty(display, DefaultRootWindow(display), property);
	else {
		XChangeProperty(display, DefaultRootWindow(display), property, XA_STRING, 8,
			PropModeReplace, reinterpret_cast<const unsigned char*>(text), (int)strlen(text));
	}
	XSync(display, False);
	XCloseDisplay(display);
}

double
ScaleOfANewBackend()
{
	std::unique_ptr<Backend> backend = CreateX11Backend();
	return backend != nullptr ? backend->Scale().Factor() : -1;
}

// The backend of X11Display at scale 2, with a second connection to read what the server has.
class X11Scaled : public X11Display {
protected:
	void SetUp() override
	{
		{
			ScopedVariable own(kDisplayScaleVariable, "2");
			X11Display::SetUp();
		}
		if (IsSkipped() || HasFatalFailure())
			return;
		fOther = XOpenDisplay(nullptr);
		ASSERT_NE(fOther, nullptr);
	}

	void TearDown() override
	{
		X11Display::TearDown();
		if (fOther != nullptr)
			XCloseDisplay(fOther);
	}

	X11Window* Open(BRect frame, bool popup = false)
	{
		return static_cast<X11Window*>(X11Display::Open("scaled", frame, popup));
	}

	std::vector<BackendEvent> Pump(const std::function<bool(const BackendEvent&)>& wanted,
		bigtime_t timeout = 5000000)
	{
		std::vector<BackendEvent> events;
		const bigtime_t deadline = system_time_us() + timeout;
		while (system_time_us() < deadline) {
			BackendEvent event;
			if (!fBackend->WaitEvent(&event, 20))
				continue;
			events.push_back(event);
			if (wanted(event))
				break;
		}
		return events;
	}

	bool WaitFor(BackendEvent::Type type, BackendEvent* found, bigtime_t timeout = 5000000)
	{
		std::vector<BackendEvent> events =
			Pump([type](const BackendEvent& event) { return event.type == type; }, timeout);
		if (events.empty() || events.back().type != type)
			return false;
		*found = events.back();
		return true;
	}

	// Runs a command while the loop goes on; its exit status.
	int Run(const std::string& command)
	{
		pid_t pid = fork();
		if (pid == 0) {
			execl("/bin/sh", "sh", "-c", command.c_str(), (char*)nullptr);
			_exit(127);
		}
		int status = -1;
		const bigtime_t deadline = system_time_us() + 10000000;
		while (system_time_us() < deadline) {
			if (waitpid(pid, &status, WNOHANG) == pid)
				return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
			BackendEvent event;
			if (fBackend->WaitEvent(&event, 20))
				fSeen.push_back(event);
		}
		kill(pid, SIGKILL);
		waitpid(pid, &status, 0);
		return -1;
	}

	// Where the server has the window, in pixels of the root window.
	BRect ServerFrame(X11Window* window)
	{
		XWindowAttributes attributes;
		XGetWindowAttributes(fOther, window->XWindow(), &attributes);
		Window child;
		int x = 0, y = 0;
		XTranslateCoordinates(fOther, window->XWindow(), DefaultRootWindow(fOther), 0, 0, &x, &y,
			&child);
		return BRect(x, y, x + attributes.width - 1, y + attributes.height - 1);
	}

	// Pumps until the server has the window's top left corner at where (pixels); false when
	// it is not there within five seconds. A loaded window manager places it late.
	bool WaitForServerPlace(X11Window* window, BPoint where)
	{
		const bigtime_t deadline = system_time_us() + 5000000;
		while (ServerFrame(window).LeftTop() != where) {
			if (system_time_us() >= deadline)
				return false;
			Pump([](const BackendEvent&) { return false; }, 20000);
		}
		return true;
	}

	std::vector<BackendEvent> fSeen;
	Display* fOther = nullptr;
};

} // namespace

TEST(X11ScaleSource, OwnVariableThenGdkScaleThenXftDpi)
{
	if (getenv("DISPLAY") == nullptr)
		GTEST_SKIP() << "no display";
	struct Case {
		const char* own;
		const char* gdk;
		const char* resources;
		double scale;
	} cases[] = {
		{nullptr, nullptr, nullptr, 1},
		{nullptr, nullptr, "Xft.dpi:\t192\n", 2},
		{nullptr, nullptr, "Xft.antialias:\t1\nXft.dpi:\t288\n", 3},
		{nullptr, nullptr, "Xft.dpi:\t120\n", 1.25},
		{nullptr, nullptr, "Xft.dpi:\t144\n", 1.5},
		{"1.75", nullptr, "Xft.dpi:\t192\n", 1.75},
		{nullptr, "2", "Xft.dpi:\t288\n", 2},
		{"3", "2", "Xft.dpi:\t192\n", 3},
		{"1", nullptr, "Xft.dpi:\t192\n", 1},
		// Junk in a variable passes it over.
		{"zwei", "x", "Xft.dpi:\t192\n", 2},
	};
	for (const Case& c : cases) {
		ScopedVariable own(kDisplayScaleVariable, c.own);
		ScopedVariable gdk("GDK_SCALE", c.gdk);
		SetResources(c.resources);
		EXPECT_EQ(ScaleOfANewBackend(), c.scale)
			<< (c.own ? c.own : "-") << " " << (c.gdk ? c.gdk : "-") << " "
			<< (c.resources ? c.resources : "-");
	}
	SetResources(nullptr);
}

// A 125 % and a 150 % desktop: the converter's 207 x 113 content at the nearest whole
// pixels, halves rounded up, and its size hints the same.
TEST(X11FractionalScale, XftDpiGivesTheWindowItsSize)
{
	if (getenv("DISPLAY") == nullptr)
		GTEST_SKIP() << "no display";
	ScopedVariable own(kDisplayScaleVariable, nullptr);
	ScopedVariable gdk("GDK_SCALE", nullptr);
	struct Case {
		const char* resources;
		int width, height;
	} cases[] = {
		{"Xft.dpi:\t120\n", 259, 141},
		{"Xft.dpi:\t144\n", 311, 170},
	};
	for (const Case& c : cases) {
		SetResources(c.resources);
		std::unique_ptr<Backend> backend = CreateX11Backend();
		ASSERT_NE(backend, nullptr);
		WindowSpec spec;
		spec.frame = BRect(40, 30, 246, 142);
		spec.title = "fractional";
		std::unique_ptr<BackendWindow> window = backend->CreateWindow(spec);
		ASSERT_NE(window, nullptr);
		window->Show();
		BackendEvent event;
		for (int i = 0; i < 10; i++)
			backend->WaitEvent(&event, 20);
		Display* other = XOpenDisplay(nullptr);
		ASSERT_NE(other, nullptr);
		XWindowAttributes attributes;
		ASSERT_TRUE(XGetWindowAttributes(other, static_cast<X11Window*>(window.get())->XWindow(),
			&attributes));
		EXPECT_EQ(attributes.width, c.width) << c.resources;
		EXPECT_EQ(attributes.height, c.height) << c.resources;
		XSizeHints hints{};
		long supplied = 0;
		ASSERT_TRUE(XGetWMNormalHints(other, static_cast<X11Window*>(window.get())->XWindow(),
			&hints, &supplied));
		EXPECT_EQ(hints.min_width, c.width);
		EXPECT_EQ(hints.max_height, c.height);
		XCloseDisplay(other);
	}
	SetResources(nullptr);
}

TEST_F(X11Scaled, WindowsAreTwiceTheirLayoutSizeAtTwiceTheirPlace)
{
	ASSERT_EQ(fBackend->Scale(), DisplayScale::Whole(2));
	const int screenWidth = DisplayWidth(fOther, DefaultScreen(fOther));
	const int screenHeight = DisplayHeight(fOther, DefaultScreen(fOther));
	EXPECT_EQ(fBackend->ScreenFrame(), BRect(0, 0, screenWidth / 2 - 1, screenHeight / 2 - 1));

	X11Window* window = Open(BRect(40, 30, 246, 142));
	ASSERT_NE(window, nullptr);
	BackendEvent event;
	ASSERT_TRUE(WaitFor(BackendEvent::kActivated, &event));
	EXPECT_TRUE(WaitForServerPlace(window, BPoint(80, 60)));
	EXPECT_EQ(ServerFrame(window), BRect(80, 60, 80 + 414 - 1, 60 + 226 - 1));
	// The kit sees its own frame, and the window manager's frame in layout units.
	EXPECT_EQ(window->Frame(), BRect(40, 30, 246, 142));
	XSizeHints hints{};
	long supplied = 0;
	ASSERT_TRUE(XGetWMNormalHints(fOther, window->XWindow(), &hints, &supplied));
	EXPECT_EQ(hints.min_width, 414);
	EXPECT_EQ(hints.max_height, 226);

	window->MoveTo(BPoint(60, 50));
	EXPECT_TRUE(WaitForServerPlace(window, BPoint(120, 100)));
	EXPECT_EQ(ServerFrame(window).LeftTop(), BPoint(120, 100));
	EXPECT_EQ(window->Frame().LeftTop(), BPoint(60, 50));

	// A frame at twice the size is copied pixel for pixel: its last pixel is the window's.
	std::vector<uint32> pixels(414 * 226, 0xff2040c0);
	pixels[414 * 226 - 1] = 0xffc04020;
	window->Present(reinterpret_cast<const uint8*>(pixels.data()), 414, 226, 414 * 4);
	XSync(fOther, False);
	XImage* image = XGetImage(fOther, window->XWindow(), 412, 224, 2, 2, AllPlanes, ZPixmap);
	ASSERT_NE(image, nullptr);
	EXPECT_EQ(XGetPixel(image, 0, 0) & 0xffffff, 0x2040c0u);
	EXPECT_EQ(XGetPixel(image, 1, 1) & 0xffffff, 0xc04020u);
	XDestroyImage(image);
}

TEST_F(X11Scaled, MousePositionsComeBackInLayoutUnits)
{
	X11Window* window = Open(BRect(40, 30, 246, 142));
	ASSERT_NE(window, nullptr);
	BackendEvent event;
	ASSERT_TRUE(WaitFor(BackendEvent::kActivated, &event));
	ASSERT_TRUE(WaitForServerPlace(window, BPoint(80, 60)));
	const BRect server = ServerFrame(window);

	struct Case {
		int x, y;      // pixels in the window
		BPoint layout; // where the kit is told
	} cases[] = {
		{0, 0, BPoint(0, 0)},
		{1, 1, BPoint(0, 0)},
		{301, 42, BPoint(150, 21)},
		{413, 225, BPoint(206, 112)},
	};
	for (const Case& c : cases) {
		const int rootX = (int)server.left + c.x;
		const int rootY = (int)server.top + c.y;
		ASSERT_EQ(Run("xdotool mousemove " + std::to_string(rootX) + " " + std::to_string(rootY)
					  + " click 1"),
			0);
		// xdotool may have ended before the server sent the click: it is waited for, and
		// the release too, so that it does not count for the next case.
		for (BackendEvent::Type type : {BackendEvent::kMouseDown, BackendEvent::kMouseUp}) {
			const auto isIt = [type, window](const BackendEvent& e) {
				return e.type == type && e.window == window->Id();
			};
			if (std::none_of(fSeen.begin(), fSeen.end(), isIt)) {
				for (const BackendEvent& e : Pump(isIt))
					fSeen.push_back(e);
			}
		}
		const auto down = std::find_if(fSeen.begin(), fSeen.end(),
			[](const BackendEvent& e) { return e.type == BackendEvent::kMouseDown; });
		ASSERT_NE(down, fSeen.end()) << c.x << "," << c.y;
		EXPECT_EQ(down->window, window->Id());
		EXPECT_EQ(down->where, c.layout) << c.x << "," << c.y;
		EXPECT_EQ(down->screenWhere, BPoint(rootX / 2, rootY / 2));
		fSeen.clear();
		EXPECT_EQ(fBackend->MouseLocation(), BPoint(rootX / 2, rootY / 2));
	}
}

TEST_F(X11Scaled, FunctionKeysAndTheMenuKeyArriveAsFunctionKeys)
{
	X11Window* window = Open(BRect(40, 30, 246, 142));
	ASSERT_NE(window, nullptr);
	BackendEvent event;
	ASSERT_TRUE(WaitFor(BackendEvent::kActivated, &event));
	struct Case {
		const char* keys;
		int32 key;
		uint32 modifiers;
	} cases[] = {
		{"shift+F10", B_F10_KEY, B_SHIFT_KEY},
		{"F10", B_F10_KEY, 0},
		{"Menu", B_MENU_KEY, 0},
		{"F2", B_F2_KEY, 0},
	};
	for (const Case& c : cases) {
		ASSERT_EQ(Run(std::string("xdotool key ") + c.keys), 0);
		Pump([](const BackendEvent&) { return false; }, 200000);
		bool found = false;
		for (const BackendEvent& e : fSeen) {
			if (e.type != BackendEvent::kKeyDown)
				continue;
			found = true;
			EXPECT_EQ(e.numBytes, 1) << c.keys;
			EXPECT_EQ((uint8)e.bytes[0], B_FUNCTION_KEY) << c.keys;
			EXPECT_EQ(e.rawChar, c.key) << c.keys;
			EXPECT_EQ(e.modifiers & B_SHIFT_KEY, c.modifiers) << c.keys;
		}
		EXPECT_TRUE(found) << c.keys;
		fSeen.clear();
	}
}

TEST_F(X11Scaled, PrimarySelectionBothWaysWithAnotherClient)
{
	X11Window* window = Open(BRect(40, 30, 246, 142));
	ASSERT_NE(window, nullptr);
	BackendEvent event;
	ASSERT_TRUE(WaitFor(BackendEvent::kActivated, &event));
	ScratchFolder directory("kit-primary");
	ASSERT_TRUE(directory.IsValid());
	const std::string out = directory.Sub("out");

	// Ours to another program; the clipboard stays as it was.
	fBackend->SetClipboardText("clip");
	fBackend->SetPrimaryText("12,50 \xe2\x82\xac");
	EXPECT_EQ(Run("xclip -selection primary -o >" + out), 0);
	FILE* file = fopen(out.c_str(), "rb");
	ASSERT_NE(file, nullptr);
	char buffer[64] = {};
	fread(buffer, 1, sizeof(buffer) - 1, file);
	fclose(file);
	EXPECT_STREQ(buffer, "12,50 \xe2\x82\xac");
	EXPECT_EQ(fBackend->ClipboardText(), "clip");

	// Our own, asked for: answered from the loop, for the handler that asked.
	fBackend->RequestPrimaryText(window->Id(), 7);
	ASSERT_TRUE(WaitFor(BackendEvent::kPrimaryText, &event));
	EXPECT_EQ(event.text, "12,50 \xe2\x82\xac");
	EXPECT_EQ(event.handler, 7);
	EXPECT_EQ(event.window, window->Id());

	// Another program's, asked for without waiting.
	EXPECT_EQ(Run("printf '3,75' | xclip -selection primary -i >/dev/null 2>&1"), 0);
	const bigtime_t deadline = system_time_us() + 5000000;
	const Window leader = XGetSelectionOwner(fOther, XA_PRIMARY);
	while (XGetSelectionOwner(fOther, XA_PRIMARY) == leader && system_time_us() < deadline)
		usleep(10000);
	fBackend->RequestPrimaryText(window->Id(), 9);
	ASSERT_TRUE(WaitFor(BackendEvent::kPrimaryText, &event));
	EXPECT_EQ(event.text, "3,75");
	EXPECT_EQ(event.handler, 9);
	// The clipboard was never touched by that.
	EXPECT_EQ(fBackend->ClipboardText(), "clip");

	// An empty selection takes nothing from its owner.
	fBackend->SetPrimaryText("");
	fBackend->RequestPrimaryText(window->Id(), 9);
	ASSERT_TRUE(WaitFor(BackendEvent::kPrimaryText, &event));
	EXPECT_EQ(event.text, "3,75");
	fBackend->SetPrimaryText("end");
	Run("true");
}
