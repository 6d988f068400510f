// The X11 backend's arithmetic between layout units and server pixels, and the keys that reach
// the kit as B_FUNCTION_KEY. No display needed; tests/e2e/x11_scale_test.cpp runs a scaled
// backend against Xvfb.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "InterfaceDefs.h"
#include "X11Input.h"
#include "X11Scale.h"

using namespace BPrivate;

namespace {

DisplayScale
Scale(double factor)
{
	return DisplayScale::FromFactor(factor);
}

} // namespace

TEST(X11Scale, LayoutPositionsGoOutMultiplied)
{
	struct Case {
		float layout;
		double scale;
		int32 device;
	} cases[] = {
		{0, 1, 0},
		{207, 1, 207},
		{207, 2, 414},
		{113, 3, 339},
		{-5, 2, -10},
		// A fraction of a layout unit is no pixel of its own at any scale.
		{10.75f, 2, 20},
		{-0.5f, 2, -2},
		// Fractional: the nearest pixel, halves up (the main window 207 x 113 at 1.25, 1.5).
		{207, 1.25, 259},
		{113, 1.25, 141},
		{207, 1.5, 311},
		{113, 1.5, 170},
		{207, 1.75, 362},
		{10.75f, 1.25, 13},
		{-5, 1.5, -7},
	};
	for (const Case& c : cases) {
		EXPECT_EQ(DeviceFromLayout(c.layout, Scale(c.scale)), c.device)
			<< c.layout << " x" << c.scale;
	}
	EXPECT_EQ(DeviceLengthFromLayout(207, Scale(1.25)), 259);
	EXPECT_EQ(DeviceLengthFromLayout(113, Scale(1.5)), 170);
}

TEST(X11Scale, EventPositionsComeBackToTheBlockThatHoldsThem)
{
	struct Case {
		int x, y;
		double scale;
		BPoint layout;
	} cases[] = {
		{0, 0, 1, BPoint(0, 0)},
		{413, 225, 1, BPoint(413, 225)},
		{0, 0, 2, BPoint(0, 0)},
		{1, 1, 2, BPoint(0, 0)},
		{2, 3, 2, BPoint(1, 1)},
		{413, 225, 2, BPoint(206, 112)},
		{8, 5, 3, BPoint(2, 1)},
		// Left of or above a window (a grab reports those): still the block's own unit.
		{-1, -2, 2, BPoint(-1, -1)},
		{-3, 0, 2, BPoint(-2, 0)},
		// 1.5: layout pixels 0, 1, 2 hold the pixels 0-1, 2, 3-4.
		{1, 2, 1.5, BPoint(0, 1)},
		{3, 4, 1.5, BPoint(2, 2)},
		{-1, -3, 1.5, BPoint(-1, -2)},
		// 1.25: layout pixels 0, 1, 2 hold the pixels 0, 1-2, 3.
		{2, 3, 1.25, BPoint(1, 2)},
	};
	for (const Case& c : cases) {
		EXPECT_EQ(LayoutFromDevice(c.x, c.y, Scale(c.scale)), c.layout)
			<< c.x << "," << c.y << " x" << c.scale;
	}
	// Every pixel maps back to the layout pixel whose pixels hold it: from where that one
	// begins to just before the next begins, so the layout pixels tile without gaps.
	for (double factor : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
		const DisplayScale scale = Scale(factor);
		for (int device = -40; device < 400; device++) {
			const BPoint layout = LayoutFromDevice(device, device, scale);
			ASSERT_LE(DeviceFromLayout(layout.x, scale), device) << device << " x" << factor;
			ASSERT_GT(DeviceFromLayout(layout.x + 1, scale), device) << device << " x" << factor;
		}
	}
}

TEST(X11Scale, ReportedLengthsRoundUp)
{
	struct Case {
		int32 device;
		double scale;
		int32 layout;
	} cases[] = {
		{414, 2, 207},
		{415, 2, 208},
		{1, 2, 1},
		{0, 2, 0},
		{4, 3, 2},
		{226, 1, 226},
		{259, 1.25, 207},
		{310, 1.5, 207},
		{311, 1.5, 207},
		{312, 1.5, 208},
		{1, 1.75, 1},
	};
	for (const Case& c : cases)
		EXPECT_EQ(LayoutLengthFromDevice(c.device, Scale(c.scale)), c.layout) << c.device;

	FrameExtents frame{3, 25, 4, 5}; // left, top, right, bottom
	FrameExtents halved = LayoutExtentsFromDevice(frame, Scale(2));
	EXPECT_EQ(halved.left, 2);
	EXPECT_EQ(halved.top, 13);
	EXPECT_EQ(halved.right, 2);
	EXPECT_EQ(halved.bottom, 3);
	FrameExtents same = LayoutExtentsFromDevice(frame, Scale(1));
	EXPECT_EQ(same.top, 25);
	EXPECT_EQ(same.right, 4);
}

TEST(X11Scale, ScreenFrameInLayoutUnits)
{
	EXPECT_EQ(LayoutScreenFrame(1280, 1024, Scale(1)), BRect(0, 0, 1279, 1023));
	EXPECT_EQ(LayoutScreenFrame(1280, 1024, Scale(2)), BRect(0, 0, 639, 511));
	// An odd last pixel belongs to no whole unit.
	EXPECT_EQ(LayoutScreenFrame(1281, 1025, Scale(2)), BRect(0, 0, 639, 511));
	// Layout pixel 852 ends on pixel 1279 at 1.5; 853 would begin on the edge.
	EXPECT_EQ(LayoutScreenFrame(1280, 1024, Scale(1.5)), BRect(0, 0, 852, 681));
}

TEST(X11Keys, FunctionAndMenuKeysHaveThePlatformsCodes)
{
	struct Case {
		uint32 keysym;
		int32 key;
	} cases[] = {
		{XK_F1, B_F1_KEY},
		{XK_F9, B_F9_KEY},
		{XK_F10, B_F10_KEY},
		{XK_F12, B_F12_KEY},
		{XK_Menu, B_MENU_KEY},
		{XK_Print, B_PRINT_KEY},
		{XK_Pause, B_PAUSE_KEY},
		// Typing and editing keys are not function keys.
		{XK_a, 0},
		{XK_Return, 0},
		{XK_Tab, 0},
		{XK_F13, 0},
		{XK_Super_L, 0},
	};
	for (const Case& c : cases) {
		EXPECT_EQ(X11FunctionKey(c.keysym), c.key) << std::hex << c.keysym;
		// No key is both: the keyboard takes function keys first.
		if (c.key != 0) {
			EXPECT_EQ(X11KeyByte(c.keysym), 0) << std::hex << c.keysym;
		}
	}
}
