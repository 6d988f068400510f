// The Wayland backend's scale: which factor the kit draws at for what the compositor and the
// environment say, what one surface wants, and how a buffer covers its window.
#include <gtest/gtest.h>

#include <map>

#include "WaylandScale.h"

using namespace BPrivate;

namespace {

DisplayScale
Units(int32 units)
{
	return DisplayScale::FromUnits(units);
}

} // namespace

TEST(WaylandScale, KitFactorFollowsEnvironmentThenWindowsThenOutputs)
{
	struct Case {
		const char* what;
		int32 environment;
		bool viewporter;
		std::vector<DisplayScale> windows;
		int32 largestOutput;
		int32 units;
	} cases[] = {
		{"nothing known", 0, true, {}, 1, 120},
		{"outputs before any window was placed", 0, false, {}, 2, 240},
		{"the window's output, not the largest", 0, false, {Units(120)}, 2, 120},
		{"the largest of the windows", 0, true, {Units(120), Units(180), Units(150)}, 1, 180},
		{"a fraction with a viewport", 0, true, {Units(150)}, 2, 150},
		{"a fraction without a viewport is taken up", 0, false, {Units(150)}, 2, 240},
		{"the environment overrides the compositor", 240, true, {Units(120)}, 1, 240},
		{"the environment's fraction needs a viewport", 180, false, {}, 1, 240},
		{"the environment's fraction with one", 180, true, {Units(360)}, 3, 180},
		{"past the largest scale", 0, true, {Units(5000)}, 1, 960},
	};
	for (const Case& test : cases) {
		WaylandScaleInputs inputs;
		inputs.environmentUnits = test.environment;
		inputs.viewporter = test.viewporter;
		inputs.windows = test.windows;
		inputs.largestOutput = test.largestOutput;
		EXPECT_EQ(ChooseWaylandScale(inputs).Units(), test.units) << test.what;
	}
}

TEST(WaylandScale, SurfaceWantsPreferredScaleElseItsLargestOutput)
{
	int outputA = 0;
	int outputB = 0;
	std::map<const void*, int32> scales = {{&outputA, 1}, {&outputB, 2}};
	auto scaleOf = [&scales](const void* output) { return scales[output]; };

	WaylandSurfaceScale surface;
	DisplayScale wanted;
	EXPECT_FALSE(surface.Wanted(scaleOf, &wanted)) << "not on any output yet";

	surface.Entered(&outputA);
	ASSERT_TRUE(surface.Wanted(scaleOf, &wanted));
	EXPECT_EQ(wanted.Units(), 120);

	// Across two outputs: the sharper one; entering twice counts once.
	surface.Entered(&outputB);
	surface.Entered(&outputB);
	ASSERT_TRUE(surface.Wanted(scaleOf, &wanted));
	EXPECT_EQ(wanted.Units(), 240);
	surface.Left(&outputB);
	ASSERT_TRUE(surface.Wanted(scaleOf, &wanted));
	EXPECT_EQ(wanted.Units(), 120) << "left once is left";

	// An output's scale that changes is read when asked.
	scales[&outputA] = 3;
	ASSERT_TRUE(surface.Wanted(scaleOf, &wanted));
	EXPECT_EQ(wanted.Units(), 360);

	// The compositor's fractional preference wins over the outputs.
	surface.SetPreferred(150);
	ASSERT_TRUE(surface.Wanted(scaleOf, &wanted));
	EXPECT_EQ(wanted.Units(), 150);
	surface.SetPreferred(0);
	surface.Left(&outputA);
	EXPECT_FALSE(surface.Wanted(scaleOf, &wanted));
}

TEST(WaylandScale, BufferCoversItsWindowAtItsLogicalSize)
{
	struct Case {
		int32 bufferWidth, bufferHeight, logicalWidth, logicalHeight;
		bool viewporter;
		BufferPlacement placement;
	} cases[] = {
		{207, 113, 207, 113, true, {1, false, 0, 0}},
		// Whole factors through the buffer scale, shown pixel for pixel.
		{414, 226, 207, 113, true, {2, false, 0, 0}},
		{621, 339, 207, 113, false, {3, false, 0, 0}},
		// 1.25 and 1.5: halves rounded up, stretched to the logical size by the viewport.
		{259, 141, 207, 113, true, {1, true, 207, 113}},
		{311, 170, 207, 113, true, {1, true, 207, 113}},
		// A width that divides but a height that does not is no whole factor.
		{414, 227, 207, 113, true, {1, true, 207, 113}},
		// Without a viewport: never a buffer scale that does not divide the buffer.
		{311, 170, 207, 113, false, {1, false, 0, 0}},
		{100, 50, 0, 0, true, {1, false, 0, 0}},
	};
	for (const Case& test : cases) {
		const BufferPlacement placement = PlaceBuffer(test.bufferWidth, test.bufferHeight,
			test.logicalWidth, test.logicalHeight, test.viewporter);
		EXPECT_TRUE(placement == test.placement)
			<< test.bufferWidth << "x" << test.bufferHeight << " over " << test.logicalWidth << "x"
			<< test.logicalHeight << ": scale " << placement.bufferScale << ", viewport "
			<< placement.viewport << " " << placement.width << "x" << placement.height;
	}
}
