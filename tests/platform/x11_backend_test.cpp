// The X11 backend's pure parts: key symbols, modifier state and buttons in the kit's terms,
// UTF-8 and Latin-1 text, pixel conversion for odd visuals, and the Compose cache's seals.
// No display needed; tests/e2e/x11_backend_e2e.sh runs the parts that need one under Xvfb.
#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "ComposeCache.h"
#include "InterfaceDefs.h"
#include "ScratchFolder.h"
#include "X11Input.h"
#include "X11Pixels.h"

using namespace BPrivate;

TEST(X11Keys, EditingAndCursorKeysBecomeThePlatformsBytes)
{
	struct Case {
		uint32 keysym;
		uint8 byte;
	} cases[] = {
		{XK_BackSpace, B_BACKSPACE},
		{XK_Tab, B_TAB},
		{XK_ISO_Left_Tab, B_TAB}, // Shift+Tab
		{XK_Return, B_ENTER},
		{XK_KP_Enter, B_ENTER},
		{XK_Escape, B_ESCAPE},
		{XK_Delete, B_DELETE},
		{XK_Insert, B_INSERT},
		{XK_Left, B_LEFT_ARROW},
		{XK_Right, B_RIGHT_ARROW},
		{XK_Up, B_UP_ARROW},
		{XK_Down, B_DOWN_ARROW},
		{XK_Home, B_HOME},
		{XK_End, B_END},
		{XK_Page_Up, B_PAGE_UP},
		{XK_Page_Down, B_PAGE_DOWN},
		// The keypad without Num Lock moves the caret as its labels say...
		{XK_KP_Left, B_LEFT_ARROW},
		{XK_KP_Home, B_HOME},
		{XK_KP_End, B_END},
		{XK_KP_Delete, B_DELETE},
		{XK_KP_Insert, B_INSERT},
		// ...and with it types digits, as text.
		{XK_KP_4, 0},
		{XK_KP_Decimal, 0},
		{XK_a, 0},
		{XK_space, 0},
		{XK_0, 0},
		{XK_F1, 0},
		{XK_Shift_L, 0},
		{XK_Multi_key, 0},
		{XK_dead_acute, 0},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.keysym);
		EXPECT_EQ(X11KeyByte(c.keysym), c.byte);
	}
}

TEST(X11Keys, KeysymsStandForTheirCharacters)
{
	struct Case {
		uint32 keysym;
		uint32 character;
	} cases[] = {
		{XK_q, 'q'},
		{XK_Q, 'Q'},
		{XK_space, ' '},
		{XK_adiaeresis, 0xe4},
		{XK_ssharp, 0xdf},
		{XK_EuroSign, 0x20ac},
		{0x01000430, 0x430}, // a Unicode key symbol: CYRILLIC SMALL LETTER A
		{XK_KP_4, 0},        // typed through the lookup, not the symbol
		{XK_BackSpace, 0},
		{XK_Return, 0},
		{XK_dead_acute, 0},
		{NoSymbol, 0},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.keysym);
		EXPECT_EQ(X11KeysymCharacter(c.keysym), c.character);
	}
}

TEST(X11Keys, ModifiersMapCtrlAndAltToTheCommandKey)
{
	struct Case {
		uint32 state;
		uint32 kit;
	} cases[] = {
		{0, 0},
		{ShiftMask, B_SHIFT_KEY},
		{ControlMask, B_CONTROL_KEY | B_COMMAND_KEY},
		{ControlMask | ShiftMask, B_CONTROL_KEY | B_COMMAND_KEY | B_SHIFT_KEY},
		{Mod1Mask, B_COMMAND_KEY},
		{Mod5Mask, 0}, // AltGr types characters
		{Mod4Mask, B_OPTION_KEY},
		{LockMask | Mod2Mask, B_CAPS_LOCK}, // Num Lock is no modifier to the kit
		{Button1Mask, 0},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.state);
		EXPECT_EQ(X11Modifiers(c.state), c.kit);
	}
}

TEST(X11Mouse, ButtonsAndHeldMasks)
{
	EXPECT_EQ(X11Button(Button1), (uint32)B_PRIMARY_MOUSE_BUTTON);
	EXPECT_EQ(X11Button(Button2), (uint32)B_TERTIARY_MOUSE_BUTTON);
	EXPECT_EQ(X11Button(Button3), (uint32)B_SECONDARY_MOUSE_BUTTON);
	// The wheel and the side buttons have no name in the kit.
	for (uint32 button : {4u, 5u, 6u, 7u, 8u, 9u})
		EXPECT_EQ(X11Button(button), 0u) << button;
	EXPECT_EQ(X11Buttons(0), 0u);
	EXPECT_EQ(X11Buttons(Button1Mask | Button3Mask | ShiftMask),
		(uint32)(B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON));
	EXPECT_EQ(X11Buttons(Button2Mask | Button4Mask), (uint32)B_TERTIARY_MOUSE_BUTTON);
}

TEST(X11Keys, UTF8EncodingAndValidation)
{
	struct Case {
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

TEST(X11Text, Latin1AndUTF8BothWays)
{
	struct Case {
		const char* utf8;
		const char* latin1;
		const char* back; // UTF-8 of the Latin-1 text
	} cases[] = {
		{"12,50", "12,50", "12,50"},
		{"\xc3\xa4\xc3\x9f", "\xe4\xdf", "\xc3\xa4\xc3\x9f"},
		{"\xe2\x82\xac 5", "? 5", "? 5"}, // the euro sign is not Latin-1
		{"a\x80"
		 "b",
			"ab", "ab"}, // a stray byte is dropped
		{"a\nb\tc", "a\nb\tc", "a\nb\tc"},
		{"", "", ""},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.utf8);
		EXPECT_EQ(Latin1FromUTF8(c.utf8), c.latin1);
		EXPECT_EQ(UTF8FromLatin1(c.latin1), c.back);
	}
	// Control characters other than line ends and tabs are no text to paste.
	EXPECT_EQ(UTF8FromLatin1(std::string("a\x01\x1b\x7f"
										 "b",
				  5)),
		"ab");
}

TEST(X11Pixels, VisualsOtherThan24BitGetTheirOwnPixels)
{
	struct Case {
		uint32 red, green, blue;
		uint32 argb;
		uint32 pixel;
	} cases[] = {
		{0xff0000, 0xff00, 0xff, 0xff123456, 0x123456},
		{0xf800, 0x07e0, 0x001f, 0xffffffff, 0xffff}, // 16-bit 5-6-5
		{0xf800, 0x07e0, 0x001f, 0xff0000ff, 0x001f},
		{0xf800, 0x07e0, 0x001f, 0xffd8d8d8, (0xd8u >> 3 << 11) | (0xd8u >> 2 << 5) | (0xd8u >> 3)},
		{0xe0, 0x1c, 0x03, 0xffff0000, 0xe0}, // 8-bit TrueColor 3-3-2
		{0xe0, 0x1c, 0x03, 0xff00ff00, 0x1c}, {0xe0, 0x1c, 0x03, 0xff0000ff, 0x03},
		{0xff, 0xff00, 0xff0000, 0xff123456, 0x563412},       // blue in the low byte swapped
		{0x3ff00000, 0xffc00, 0x3ff, 0xffff0080, 0x3fc00200}, // 10 bits a channel
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.pixel);
		EXPECT_EQ(PixelLayout(c.red, c.green, c.blue).Pixel(c.argb), c.pixel);
	}
	EXPECT_TRUE(PixelLayout(0xff0000, 0xff00, 0xff).IsXRGB());
	EXPECT_FALSE(PixelLayout(0xff, 0xff00, 0xff0000).IsXRGB());
}

namespace {

class ComposeCacheTest : public testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fScratch.IsValid());
		fDirectory = fScratch.Path();
	}

	void Write(const std::string& name, const std::string& content)
	{
		std::ofstream(fDirectory + "/" + name, std::ios::binary) << content;
	}

	bool Exists(const std::string& name)
	{
		struct stat info;
		return stat((fDirectory + "/" + name).c_str(), &info) == 0;
	}

	ScratchFolder fScratch{"kit-compose"};
	std::string fDirectory;
};

} // namespace

TEST_F(ComposeCacheTest, OnlySealedUnchangedTablesSurvive)
{
	ComposeCache cache(fDirectory);
	const std::string table(300000, 'x');
	Write("table", table);
	// Written by libX11 in this run: sealed afterwards, kept at the next start.
	cache.Seal();
	ASSERT_TRUE(Exists("table.seal"));
	EXPECT_EQ(cache.Verify(), 0);
	EXPECT_TRUE(Exists("table"));

	// One changed byte in a header field, or a file cut short: removed before libX11 reads it.
	struct Damage {
		const char* what;
		std::string content;
	} damages[] = {
		{"one byte changed", std::string("y") + table.substr(1)},
		{"cut short", table.substr(0, 1000)},
		{"grown", table + "z"},
		{"emptied", ""},
	};
	for (const Damage& damage : damages) {
		SCOPED_TRACE(damage.what);
		Write("table", table);
		cache.Seal();
		Write("table", damage.content);
		EXPECT_EQ(cache.Verify(), 1);
		EXPECT_FALSE(Exists("table"));
		EXPECT_FALSE(Exists("table.seal"));
	}

	// A table without a seal (the program ended before it sealed it) is not trusted either,
	// and a seal without its table goes too.
	Write("unsealed", table);
	Write("orphan.seal", ComposeCache::SealFor(table));
	EXPECT_EQ(cache.Verify(), 1);
	EXPECT_FALSE(Exists("unsealed"));
	EXPECT_FALSE(Exists("orphan.seal"));

	// A seal that names the right size but the wrong sum.
	Write("table", table);
	Write("table.seal", std::to_string(table.size()) + " 0000000000000000\n");
	EXPECT_EQ(cache.Verify(), 1);
}

TEST_F(ComposeCacheTest, SealsDifferForDifferentContent)
{
	EXPECT_EQ(ComposeCache::SealFor("abc"), ComposeCache::SealFor("abc"));
	EXPECT_NE(ComposeCache::SealFor("abc"), ComposeCache::SealFor("abd"));
	EXPECT_NE(ComposeCache::SealFor("abc"), ComposeCache::SealFor(std::string("abc\0", 4)));
	// A directory that does not exist is nothing to verify.
	EXPECT_EQ(ComposeCache(fDirectory + "/missing").Verify(), 0);
}
