// The SDL backend's translation of keys, text and mouse events into the kit's events. SDL's
// dummy video driver stands in for a display; the events are pushed as SDL would queue them.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "InterfaceDefs.h"
#include "SDLBackend.h"
#include "SDLInput.h"

using namespace BPrivate;

TEST(SDLKeys, EditingAndCursorKeysBecomeThePlatformsBytes)
{
	struct Case
	{
		SDL_Keycode key;
		bool numLock;
		uint8 byte;
	} cases[] = {
	    {SDLK_BACKSPACE, true, B_BACKSPACE},
	    {SDLK_TAB, true, B_TAB},
	    {SDLK_RETURN, true, B_ENTER},
	    {SDLK_KP_ENTER, true, B_ENTER},
	    {SDLK_ESCAPE, true, B_ESCAPE},
	    {SDLK_DELETE, true, B_DELETE},
	    {SDLK_LEFT, true, B_LEFT_ARROW},
	    {SDLK_RIGHT, true, B_RIGHT_ARROW},
	    {SDLK_UP, true, B_UP_ARROW},
	    {SDLK_DOWN, true, B_DOWN_ARROW},
	    {SDLK_HOME, true, B_HOME},
	    {SDLK_END, true, B_END},
	    {SDLK_PAGEUP, true, B_PAGE_UP},
	    {SDLK_PAGEDOWN, true, B_PAGE_DOWN},
	    // The keypad types digits with Num Lock and moves without it.
	    {SDLK_KP_4, true, 0},
	    {SDLK_KP_4, false, B_LEFT_ARROW},
	    {SDLK_KP_7, false, B_HOME},
	    {SDLK_KP_1, false, B_END},
	    {SDLK_KP_PERIOD, true, 0},
	    {SDLK_KP_PERIOD, false, B_DELETE},
	    // Keys that type text, and keys that do nothing.
	    {SDLK_a, true, 0},
	    {SDLK_SPACE, false, 0},
	    {SDLK_0, false, 0},
	    {SDLK_F1, true, 0},
	    {SDLK_LSHIFT, true, 0},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(SDL_GetKeyName(c.key) + std::string(c.numLock ? " num" : ""));
		EXPECT_EQ(SDLKeyByte(c.key, c.numLock), c.byte);
	}
}

TEST(SDLKeys, ModifiersMapCtrlAndLeftAltToTheCommandKey)
{
	struct Case
	{
		uint32 sdl;
		uint32 kit;
	} cases[] = {
	    {KMOD_NONE, 0},
	    {KMOD_LSHIFT, B_SHIFT_KEY},
	    {KMOD_LCTRL, B_CONTROL_KEY | B_COMMAND_KEY},
	    {KMOD_RCTRL | KMOD_RSHIFT, B_CONTROL_KEY | B_COMMAND_KEY | B_SHIFT_KEY},
	    {KMOD_LALT, B_COMMAND_KEY},
	    {KMOD_RALT, 0}, // AltGr types characters
	    {KMOD_MODE, 0},
	    {KMOD_LGUI, B_OPTION_KEY},
	    {KMOD_CAPS | KMOD_NUM, B_CAPS_LOCK},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.sdl);
		EXPECT_EQ(SDLModifiers(c.sdl), c.kit);
	}
}

TEST(SDLKeys, UTF8EncodingAndValidation)
{
	struct Case
	{
		uint32 codePoint;
		const char* utf8; // null: no text
	} cases[] = {
	    {'a', "a"},
	    {0xe4, "\xc3\xa4"},
	    {0x20ac, "\xe2\x82\xac"},
	    {0x1d11e, "\xf0\x9d\x84\x9e"},
	    {0x7e, "~"},
	    {0x08, nullptr},
	    {0x7f, nullptr},
	    {0xd800, nullptr},
	    {0x110000, nullptr},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.codePoint);
		char buffer[8];
		memset(buffer, 'x', sizeof(buffer));
		int32 length = EncodeUTF8(c.codePoint, buffer);
		if (c.utf8 == nullptr) {
			EXPECT_EQ(length, 0);
			continue;
		}
		EXPECT_EQ(std::string(buffer), c.utf8);
		EXPECT_EQ(length, (int32)strlen(c.utf8));
		EXPECT_EQ(UTF8CharLength(buffer, length), length);
		// A character cut short is no character.
		EXPECT_EQ(UTF8CharLength(buffer, length - 1), 0);
	}

	const char* invalid[] = {
	    "\x80",
	    "\xc3",
	    "\xc3\x28",
	    "\xc0\xaf",
	    "\xe0\x80\xaf",
	    "\xed\xa0\x80",
	    "\xf4\x90\x80\x80",
	    "\xff",
	    "\xf8\x88\x80\x80\x80",
	};
	for (const char* bytes : invalid) {
		SCOPED_TRACE(bytes);
		EXPECT_EQ(UTF8CharLength(bytes, (int32)strlen(bytes)), 0);
	}
	EXPECT_EQ(UTF8CharLength(nullptr, 4), 0);
	EXPECT_EQ(UTF8CharLength("", 1), 0);
}

namespace {

int
CountZombieChildren()
{
	int count = 0;
	DIR* proc = opendir("/proc");
	if (proc == nullptr)
		return 0;
	while (dirent* entry = readdir(proc)) {
		std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
		std::string line;
		if (!std::getline(stat, line))
			continue;
		// pid (comm) state ppid ...; comm may hold spaces, so read after the last ')'.
		size_t close = line.rfind(')');
		char state = 0;
		int parent = 0;
		if (close != std::string::npos &&
		    sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
		    parent == getpid() && state == 'Z')
			count++;
	}
	closedir(proc);
	return count;
}

class SDLEvents : public testing::Test
{
protected:
	void SetUp() override
	{
		// The class the backend gives itself, not one an earlier test left behind.
		unsetenv("SDL_VIDEO_X11_WMCLASS");
		fHadDriver = SDL_getenv("SDL_VIDEODRIVER") != nullptr;
		if (!fHadDriver)
			SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
		fBackend = CreateSDLBackend();
		if (!fBackend)
			GTEST_SKIP() << "SDL's dummy video driver is not available";
		WindowSpec spec;
		spec.frame = BRect(40, 30, 139, 79);
		spec.title = "events";
		fWindow = fBackend->CreateWindow(spec);
		ASSERT_NE(fWindow, nullptr);
		fWindow->Show();
		Collect();
	}

	void TearDown() override
	{
		fWindow.reset();
		fBackend.reset();
		if (!fHadDriver)
			unsetenv("SDL_VIDEODRIVER");
	}

	std::vector<BackendEvent> Collect()
	{
		std::vector<BackendEvent> events;
		BackendEvent event;
		while (fBackend->WaitEvent(&event, 0))
			events.push_back(event);
		return events;
	}

	void Key(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE, bool repeat = false)
	{
		SDL_Event event;
		SDL_zero(event);
		event.type = type;
		event.key.windowID = fWindow->Id();
		event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
		event.key.repeat = repeat ? 1 : 0;
		event.key.keysym.sym = key;
		event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
		event.key.keysym.mod = mod;
		SDL_PushEvent(&event);
	}

	void Text(const char* text)
	{
		SDL_Event event;
		SDL_zero(event);
		event.type = SDL_TEXTINPUT;
		event.text.windowID = fWindow->Id();
		strncpy(event.text.text, text, sizeof(event.text.text) - 1);
		SDL_PushEvent(&event);
	}

	void Button(Uint32 type, Uint8 button, int x, int y, Uint8 clicks = 1, Uint32 windowID = 0)
	{
		SDL_Event event;
		SDL_zero(event);
		event.type = type;
		event.button.windowID = windowID != 0 ? windowID : fWindow->Id();
		event.button.button = button;
		event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
		event.button.clicks = clicks;
		event.button.x = x;
		event.button.y = y;
		SDL_PushEvent(&event);
	}

	static std::string Describe(const std::vector<BackendEvent>& events)
	{
		std::string result;
		for (const BackendEvent& event : events) {
			if (!result.empty())
				result += " ";
			result += event.type == BackendEvent::kKeyDown ? "down:"
			          : event.type == BackendEvent::kKeyUp ? "up:"
			                                               : "other:";
			result += std::string(event.bytes, event.numBytes);
		}
		return result;
	}

	bool fHadDriver = false;
	std::unique_ptr<Backend> fBackend;
	std::unique_ptr<BackendWindow> fWindow;
};

} // namespace

TEST_F(SDLEvents, EachKeyIsDeliveredOnce)
{
	// A plain key: its text is the character; key-up carries the same bytes.
	Key(SDL_KEYDOWN, SDLK_a, KMOD_LSHIFT);
	Text("A");
	Key(SDL_KEYUP, SDLK_a, KMOD_LSHIFT);
	// Alt sends text too, but the key is a shortcut.
	Key(SDL_KEYDOWN, SDLK_c, KMOD_LALT);
	Text("c");
	// Ctrl sends no text.
	Key(SDL_KEYDOWN, SDLK_q, KMOD_LCTRL | KMOD_LSHIFT);
	// AltGr types its character.
	Key(SDL_KEYDOWN, SDLK_q, KMOD_RALT);
	Text("@");
	// An editing key types nothing and is not text.
	Key(SDL_KEYDOWN, SDLK_BACKSPACE, KMOD_NONE, true);
	std::vector<BackendEvent> events = Collect();
	ASSERT_EQ(Describe(events), "down:A up:A down:c down:Q down:@ down:\x08");

	EXPECT_EQ(events[0].rawChar, 'a');
	EXPECT_EQ(events[0].modifiers, (uint32)B_SHIFT_KEY);
	EXPECT_EQ(events[2].modifiers, (uint32)B_COMMAND_KEY);
	EXPECT_EQ(events[3].rawChar, 'q');
	EXPECT_EQ(events[3].modifiers, (uint32)(B_CONTROL_KEY | B_COMMAND_KEY | B_SHIFT_KEY));
	EXPECT_EQ(events[4].modifiers, 0u);
	EXPECT_TRUE(events[5].repeat);
	EXPECT_FALSE(events[4].repeat);
	for (const BackendEvent& event : events)
		EXPECT_EQ(event.window, fWindow->Id());
}

TEST_F(SDLEvents, TextArrivesOneCharacterAtATime)
{
	// As an input method delivers it: several characters and a stray byte in one event.
	Text("\xc3\xa4\xe2\x82\xac\x80x\xf0\x9d\x84\x9e");
	std::vector<BackendEvent> events = Collect();
	ASSERT_EQ(Describe(events), "down:\xc3\xa4 down:\xe2\x82\xac down:x down:\xf0\x9d\x84\x9e");
	for (const BackendEvent& event : events) {
		EXPECT_EQ(event.bytes[event.numBytes], '\0');
		EXPECT_EQ(event.rawChar, 0); // no key of its own
	}
}

TEST_F(SDLEvents, MouseButtonsAreTheHeldMaskWithScreenPoints)
{
	Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6, 2);
	Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 7, 8);
	Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 9, 10);
	Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 9, 10);
	Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1, 1);
	Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, 1);
	// A window that is gone, and a button the kit has no name for.
	Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1, 1, fWindow->Id() + 100);
	Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 1);

	std::vector<BackendEvent> events = Collect();
	struct Expected
	{
		BackendEvent::Type type;
		uint32 buttons;
		float x, y;
	} expected[] = {
	    {BackendEvent::kMouseDown, B_PRIMARY_MOUSE_BUTTON, 5, 6},
	    {BackendEvent::kMouseDown, B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON, 7, 8},
	    {BackendEvent::kMouseUp, B_SECONDARY_MOUSE_BUTTON, 9, 10},
	    {BackendEvent::kMouseUp, 0, 9, 10},
	    {BackendEvent::kMouseDown, B_TERTIARY_MOUSE_BUTTON, 1, 1},
	    {BackendEvent::kMouseUp, 0, 1, 1},
	};
	ASSERT_EQ(events.size(), std::size(expected));
	BRect frame = fWindow->Frame();
	for (size_t i = 0; i < events.size(); i++) {
		SCOPED_TRACE(i);
		EXPECT_EQ(events[i].type, expected[i].type);
		EXPECT_EQ(events[i].buttons, expected[i].buttons);
		EXPECT_EQ(events[i].where, BPoint(expected[i].x, expected[i].y));
		EXPECT_EQ(events[i].screenWhere,
		          BPoint(frame.left + expected[i].x, frame.top + expected[i].y));
	}
	EXPECT_EQ(events[0].clicks, 2);
	EXPECT_EQ(events[1].clicks, 1);
}

TEST_F(SDLEvents, WakeEndsAWaitAndSignalsAskToQuit)
{
	fBackend->Wake();
	fBackend->Wake();
	BackendEvent event;
	Uint64 start = SDL_GetTicks64();
	EXPECT_FALSE(fBackend->WaitEvent(&event, 5000));
	EXPECT_LT(SDL_GetTicks64() - start, 1000u);
	// However often it was asked, one wake-up was queued.
	EXPECT_FALSE(fBackend->WaitEvent(&event, 0));

	SDL_Event quit;
	SDL_zero(quit);
	quit.type = SDL_QUIT;
	SDL_PushEvent(&quit);
	ASSERT_TRUE(fBackend->WaitEvent(&event, 0));
	EXPECT_EQ(event.type, BackendEvent::kQuit);
}

TEST_F(SDLEvents, WindowsKeepTheirContentFrame)
{
	EXPECT_EQ(fWindow->Frame(), BRect(40, 30, 139, 79));
	fWindow->ResizeTo(120, 60);
	fWindow->MoveTo(BPoint(10, 20));
	EXPECT_EQ(fWindow->Frame(), BRect(10, 20, 129, 79));

	// Presenting more or fewer pixels than the surface holds touches only what fits.
	std::vector<uint32> pixels(200 * 100, 0xff336699);
	fWindow->Present(reinterpret_cast<const uint8*>(pixels.data()), 200, 100, 200 * 4);
	fWindow->Present(reinterpret_cast<const uint8*>(pixels.data()), 10, 10, 200 * 4);
	fWindow->Present(nullptr, 10, 10, 40);
	fWindow->Present(reinterpret_cast<const uint8*>(pixels.data()), 10, 10, 4);
}

TEST_F(SDLEvents, WebAddressesGoToXdgOpenWithoutWaiting)
{
	// A stand-in for xdg-open that notes its arguments and whether it saw our window class.
	char directory[] = "/tmp/kit-open-XXXXXX";
	ASSERT_NE(mkdtemp(directory), nullptr);
	const std::string script = std::string(directory) + "/xdg-open";
	const std::string note = std::string(directory) + "/note";
	{
		std::ofstream out(script);
		out << "#!/bin/sh\nsleep 0.2\n"
		    << "printf '%s|%s|%s\\n' \"$#\" \"$1\" \"${SDL_VIDEO_X11_WMCLASS-unset}\" >" << note
		    << ".part && mv " << note << ".part " << note << "\n";
	}
	chmod(script.c_str(), 0755);
	const char* oldPath = getenv("PATH");
	const std::string savedPath = oldPath != nullptr ? oldPath : "";
	setenv("PATH", (std::string(directory) + ":" + savedPath).c_str(), 1);

	Uint64 start = SDL_GetTicks64();
	EXPECT_EQ(fBackend->OpenURL("http://example.org/a b?c=1&d='e'"), B_OK);
	EXPECT_LT(SDL_GetTicks64() - start, 150u); // the stand-in takes 200 ms
	setenv("PATH", savedPath.c_str(), 1);

	std::string line;
	for (int i = 0; i < 300 && line.empty(); i++) {
		std::ifstream in(note);
		std::getline(in, line);
		if (line.empty())
			SDL_Delay(10);
	}
	// One argument, passed as it is; the window class stays ours.
	EXPECT_EQ(line, "1|http://example.org/a b?c=1&d='e'|unset");

	// The finished child is reaped the next time the loop looks for events.
	SDL_Delay(50);
	BackendEvent event;
	fBackend->WaitEvent(&event, 0);
	EXPECT_EQ(CountZombieChildren(), 0);

	EXPECT_EQ(fBackend->OpenURL(nullptr), B_BAD_VALUE);
	EXPECT_EQ(fBackend->OpenURL(""), B_BAD_VALUE);
	EXPECT_EQ(fBackend->OpenURL("--help"), B_BAD_VALUE);

	unlink(note.c_str());
	unlink(script.c_str());
	rmdir(directory);
}
