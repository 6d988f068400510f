// Title bars under Wayland: which way a compositor's globals lead, what a window really has
// after the compositor's configure (the tick of "ohne Titel" follows it).
#include <gtest/gtest.h>

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
