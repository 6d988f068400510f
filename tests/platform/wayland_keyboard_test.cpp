// The Wayland backend's keys: xkbcommon keymaps as a compositor sends them, turned into the
// kit's key events without a compositor.
#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <cstring>
#include <deque>
#include <string>

#include "InterfaceDefs.h"
#include "WaylandKeyboard.h"

using namespace BPrivate;

namespace {

// What a compositor sends: the keymap as text, modifiers as a mask of its indices.
class KeyboardTest : public ::testing::Test {
protected:
	void Load(const char* layout)
	{
		xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
		xkb_rule_names names{};
		names.layout = layout;
		xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names,
			XKB_KEYMAP_COMPILE_NO_FLAGS);
		ASSERT_NE(keymap, nullptr);
		char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
		ASSERT_TRUE(fKeyboard.SetKeymap(text));
		free(text);
		for (const char* name :
			{XKB_MOD_NAME_SHIFT, XKB_MOD_NAME_CTRL, XKB_MOD_NAME_ALT, XKB_MOD_NAME_NUM, "Mod5"}) {
			fMasks.push_back(1u << xkb_keymap_mod_get_index(keymap, name));
		}
		xkb_keymap_unref(keymap);
		xkb_context_unref(context);
	}

	uint32 Mask(const std::string& held) const
	{
		uint32 mask = 0;
		if (held.find('S') != std::string::npos)
			mask |= fMasks[0];
		if (held.find('C') != std::string::npos)
			mask |= fMasks[1];
		if (held.find('A') != std::string::npos)
			mask |= fMasks[2];
		if (held.find('G') != std::string::npos) // AltGr (ISO level 3)
			mask |= fMasks[4];
		return mask;
	}

	// Presses and releases key with the modifiers held; the events of the press.
	std::deque<BackendEvent> Type(uint32 key, const std::string& held = "", bool numLock = false)
	{
		fKeyboard.SetModifiers(Mask(held), 0, numLock ? fMasks[3] : 0, 0);
		std::deque<BackendEvent> events;
		fKeyboard.Key(key, true, 1, 0, &events);
		std::deque<BackendEvent> released;
		fKeyboard.Key(key, false, 1, 0, &released);
		fKeyboard.SetModifiers(0, 0, 0, 0);
		return events;
	}

	WaylandKeyboard fKeyboard;
	std::vector<uint32> fMasks;
};

} // namespace

TEST_F(KeyboardTest, KeysReadAsTheX11BackendReadsThem)
{
	Load("de");
	struct Case {
		uint32 key;
		const char* held;
		bool numLock;
		const char* bytes;
		int32 rawChar;
		uint32 modifiers;
	} cases[] = {
		{KEY_A, "", false, "a", 'a', 0},
		{KEY_A, "S", false, "A", 'a', B_SHIFT_KEY},
		// The compositor's layout, not a fixed one: German swaps Y and Z.
		{KEY_Y, "", false, "z", 'z', 0},
		{KEY_COMMA, "", false, ",", ',', 0},
		// Ctrl and Alt make shortcuts of the unshifted key.
		{KEY_Q, "C", false, "q", 'q', B_CONTROL_KEY | B_COMMAND_KEY},
		{KEY_Q, "CS", false, "Q", 'q', B_CONTROL_KEY | B_COMMAND_KEY | B_SHIFT_KEY},
		{KEY_Q, "A", false, "q", 'q', B_COMMAND_KEY},
		// AltGr types characters and is no command key.
		{KEY_E, "G", false, "\xe2\x82\xac", 'e', 0},
		{KEY_BACKSPACE, "", false, "\x08", B_BACKSPACE, 0},
		{KEY_ENTER, "", false, "\x0a", B_ENTER, 0},
		{KEY_KPENTER, "", false, "\x0a", B_ENTER, 0},
		{KEY_KP1, "", false, "\x04", B_END, 0},
		{KEY_KP1, "", true, "1", 0, 0}, // no unshifted character, as on X11
		{KEY_F10, "S", false, "\x10", B_F10_KEY, B_SHIFT_KEY},
		{KEY_COMPOSE, "", false, "\x10", B_MENU_KEY, 0},
	};
	for (const Case& test : cases) {
		const std::deque<BackendEvent> events = Type(test.key, test.held, test.numLock);
		ASSERT_EQ(events.size(), 1u) << "key " << test.key << " held " << test.held;
		EXPECT_STREQ(events[0].bytes, test.bytes) << "key " << test.key << " held " << test.held;
		EXPECT_EQ(events[0].rawChar, test.rawChar) << "key " << test.key;
		EXPECT_EQ(events[0].modifiers, test.modifiers) << "key " << test.key;
		EXPECT_EQ(events[0].type, BackendEvent::kKeyDown);
		EXPECT_FALSE(events[0].repeat);
	}
	// Modifiers alone type nothing.
	EXPECT_TRUE(Type(KEY_LEFTSHIFT).empty());
}

TEST_F(KeyboardTest, DeadKeysComposeOnceTheTableIsOpen)
{
	Load("de");
	// Before the table is read, the dead key types nothing and the letter itself.
	EXPECT_TRUE(Type(KEY_EQUAL).empty());
	ASSERT_EQ(Type(KEY_E).size(), 1u);
	fKeyboard.OpenCompose("en_US.UTF-8");
	EXPECT_TRUE(Type(KEY_EQUAL).empty());
	const std::deque<BackendEvent> events = Type(KEY_E);
	ASSERT_EQ(events.size(), 1u);
	EXPECT_STREQ(events[0].bytes, "\xc3\xa9");
}

TEST_F(KeyboardTest, KeyHeldAtEnterSendsNoRelease)
{
	Load("us");
	std::deque<BackendEvent> events;
	fKeyboard.Enter({KEY_Q});
	fKeyboard.Key(KEY_Q, false, 1, 0, &events);
	EXPECT_TRUE(events.empty()) << "the release of a key held before is not ours";
	EXPECT_EQ(fKeyboard.NextRepeat(), -1);
	// Pressed again, it is an ordinary key.
	EXPECT_EQ(Type(KEY_Q).size(), 1u);
}

TEST_F(KeyboardTest, ReleaseCarriesWhatThePressSent)
{
	Load("us");
	std::deque<BackendEvent> events;
	fKeyboard.SetModifiers(Mask("S"), 0, 0, 0);
	fKeyboard.Key(KEY_A, true, 3, 0, &events);
	fKeyboard.SetModifiers(0, 0, 0, 0);
	fKeyboard.Key(KEY_A, false, 3, 0, &events);
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[1].type, BackendEvent::kKeyUp);
	EXPECT_EQ(events[1].window, 3u);
	EXPECT_STREQ(events[1].bytes, "A");
}

TEST_F(KeyboardTest, RepeatFollowsTheCompositorsRateAndStops)
{
	Load("us");
	fKeyboard.SetRepeat(10, 500); // every 100 ms after half a second
	std::deque<BackendEvent> events;
	fKeyboard.Key(KEY_A, true, 1, 1000, &events);
	ASSERT_EQ(events.size(), 1u);
	EXPECT_EQ(fKeyboard.NextRepeat(), 501000);

	events.clear();
	fKeyboard.Repeat(500999, &events);
	EXPECT_TRUE(events.empty());
	fKeyboard.Repeat(601000, &events);
	ASSERT_EQ(events.size(), 2u);
	EXPECT_TRUE(events[0].repeat);
	EXPECT_STREQ(events[1].bytes, "a");
	EXPECT_EQ(fKeyboard.NextRepeat(), 701000);

	// A loop that slept for long does not get a burst.
	events.clear();
	fKeyboard.Repeat(10000000, &events);
	EXPECT_LE(events.size(), 3u);
	EXPECT_GT(fKeyboard.NextRepeat(), 10000000);

	fKeyboard.Key(KEY_A, false, 1, 10000000, &events);
	EXPECT_EQ(fKeyboard.NextRepeat(), -1);

	// Modifiers do not repeat; a rate of 0 turns repeating off.
	fKeyboard.Key(KEY_LEFTSHIFT, true, 1, 0, &events);
	EXPECT_EQ(fKeyboard.NextRepeat(), -1);
	fKeyboard.Key(KEY_LEFTSHIFT, false, 1, 0, &events);
	fKeyboard.SetRepeat(0, 500);
	fKeyboard.Key(KEY_A, true, 1, 0, &events);
	EXPECT_EQ(fKeyboard.NextRepeat(), -1);
}

TEST_F(KeyboardTest, BrokenKeymapKeepsTheOldOne)
{
	Load("us");
	EXPECT_FALSE(fKeyboard.SetKeymap("xkb_keymap { nonsense"));
	EXPECT_FALSE(fKeyboard.SetKeymap(nullptr));
	ASSERT_EQ(Type(KEY_A).size(), 1u);
}
