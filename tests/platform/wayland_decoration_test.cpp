// Title bars under Wayland: which way a compositor's globals lead, what a window really has
// after the compositor's configure (the tick of "ohne Titel" follows it), and which presses
// move a window without a title bar.
#include <gtest/gtest.h>

#include "InterfaceDefs.h"
#include "WaylandDecoration.h"
#include "xdg-decoration-client-protocol.h"

using namespace BPrivate;

TEST(WaylandDecoration, PathFollowsTheCompositorsGlobals)
{
	const struct {
		bool offersXdgDecoration;
		bool libdecorOpens;
		DecorationPath path;
		bool libdecorTried;
	} cases[] = {
		// sway, KDE: the compositor draws, and libdecor is not even opened.
		{true, true, DecorationPath::kServerSide, false},
		{true, false, DecorationPath::kServerSide, false},
		// weston, GNOME: libdecor, or nothing when it is not installed.
		{false, true, DecorationPath::kLibdecor, true},
		{false, false, DecorationPath::kNone, true},
	};
	for (const auto& c : cases) {
		bool tried = false;
		const DecorationPath path = ChooseDecorationPath(c.offersXdgDecoration, [&]() {
			tried = true;
			return c.libdecorOpens;
		});
		EXPECT_EQ(path, c.path) << c.offersXdgDecoration << c.libdecorOpens;
		EXPECT_EQ(tried, c.libdecorTried) << c.offersXdgDecoration << c.libdecorOpens;
	}
	EXPECT_EQ(ChooseDecorationPath(false, nullptr), DecorationPath::kNone);
}

TEST(WaylandDecoration, TitledIsWhatTheWindowHas)
{
	const struct {
		DecorationPath path;
		bool wanted;
		int8 configuredServerSide;
		bool titled;
	} cases[] = {
		// Before the compositor answers, what was asked for.
		{DecorationPath::kServerSide, true, -1, true},
		{DecorationPath::kServerSide, false, -1, false},
		// Its answer wins, either way it insists.
		{DecorationPath::kServerSide, true, 1, true},
		{DecorationPath::kServerSide, false, 0, false},
		{DecorationPath::kServerSide, false, 1, true},
		{DecorationPath::kServerSide, true, 0, false},
		// libdecor draws what it is told; with no one to draw, nothing.
		{DecorationPath::kLibdecor, true, -1, true},
		{DecorationPath::kLibdecor, false, -1, false},
		{DecorationPath::kNone, true, -1, false},
		{DecorationPath::kNone, false, -1, false},
	};
	for (const auto& c : cases) {
		DecorationState state;
		state.path = c.path;
		state.wanted = c.wanted;
		state.configuredServerSide = c.configuredServerSide;
		EXPECT_EQ(state.Titled(), c.titled) << (int)c.path << " wanted " << c.wanted
											<< " configured " << (int)c.configuredServerSide;
	}
}

TEST(WaylandDecoration, TheTickFollowsTheConfiguredMode)
{
	WaylandDecoration decoration(DecorationPath::kServerSide, true);
	EXPECT_TRUE(decoration.Titled());
	// "ohne Titel" asked for, but the compositor keeps its title bar.
	decoration.SetWanted(false);
	EXPECT_FALSE(decoration.Titled());
	decoration.Configured(ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
	EXPECT_TRUE(decoration.Titled());
	decoration.Configured(ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE);
	EXPECT_FALSE(decoration.Titled());
	// The title bar wanted back, the compositor insisting on client side: none is drawn.
	decoration.SetWanted(true);
	EXPECT_FALSE(decoration.Titled());
	// A new role negotiates afresh: until then, what is asked for.
	decoration.Detach();
	EXPECT_TRUE(decoration.Titled());

	WaylandDecoration drawnByLibdecor(DecorationPath::kLibdecor, true);
	drawnByLibdecor.SetWanted(false);
	EXPECT_FALSE(drawnByLibdecor.Titled());
	drawnByLibdecor.SetWanted(true);
	EXPECT_TRUE(drawnByLibdecor.Titled());
}

TEST(WaylandDecoration, AltAndThePrimaryButtonMoveAWindowWithoutTitleBar)
{
	const uint32 alt = B_COMMAND_KEY;
	const uint32 ctrl = B_CONTROL_KEY | B_COMMAND_KEY;
	const struct {
		bool titled;
		bool popup;
		uint32 buttons;
		uint32 modifiers;
		bool moves;
	} cases[] = {
		{false, false, B_PRIMARY_MOUSE_BUTTON, alt, true},
		{false, false, B_PRIMARY_MOUSE_BUTTON, alt | B_SHIFT_KEY, true},
		// Without Alt the press is the program's; Ctrl+Alt is a shortcut, not Alt.
		{false, false, B_PRIMARY_MOUSE_BUTTON, 0, false},
		{false, false, B_PRIMARY_MOUSE_BUTTON, ctrl, false},
		{false, false, B_PRIMARY_MOUSE_BUTTON, B_OPTION_KEY, false},
		{false, false, B_SECONDARY_MOUSE_BUTTON, alt, false},
		{false, false, B_TERTIARY_MOUSE_BUTTON, alt, false},
		// A title bar to move it by, or a menu, which does not move.
		{true, false, B_PRIMARY_MOUSE_BUTTON, alt, false},
		{false, true, B_PRIMARY_MOUSE_BUTTON, alt, false},
	};
	for (const auto& c : cases) {
		EXPECT_EQ(PressMovesWindow(c.titled, c.popup, c.buttons, c.modifiers), c.moves)
			<< c.titled << c.popup << " buttons " << c.buttons << " modifiers " << c.modifiers;
	}
}
