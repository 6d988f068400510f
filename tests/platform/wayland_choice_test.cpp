// Which backend a session gets, where the Wayland module is looked for, which rows of a
// frame are sent as damage, and what both backends' waits share.
#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <unistd.h>
#include <vector>

#include "BackendChoice.h"
#include "WaitSupport.h"
#include "WaylandBuffers.h"

using namespace BPrivate;

TEST(BackendChoice, FollowsTheSessionUnlessOverridden)
{
	struct Case {
		const char* override;
		const char* display;
		const char* socket;
		BackendKind kind;
		bool forced;
	} cases[] = {
		{nullptr, nullptr, nullptr, BackendKind::kX11, false},
		{nullptr, "wayland-0", nullptr, BackendKind::kWayland, false},
		{nullptr, nullptr, "5", BackendKind::kWayland, false},
		// An empty variable offers nothing.
		{nullptr, "", "", BackendKind::kX11, false},
		{"", "wayland-0", nullptr, BackendKind::kWayland, false},
		{"x11", "wayland-0", nullptr, BackendKind::kX11, true},
		{"wayland", nullptr, nullptr, BackendKind::kWayland, true},
		{"Wayland", "wayland-0", nullptr, BackendKind::kInvalid, true},
		{"sdl", nullptr, nullptr, BackendKind::kInvalid, true},
	};
	for (const Case& test : cases) {
		const BackendChoice choice = ChooseBackend(test.override, test.display, test.socket);
		EXPECT_EQ(choice.kind, test.kind) << (test.override ? test.override : "(none)");
		EXPECT_EQ(choice.forced, test.forced) << (test.override ? test.override : "(none)");
	}
}

TEST(BackendChoice, ModuleIsFoundBesideTheProgram)
{
	EXPECT_EQ(WaylandModuleCandidates("/tmp/m.so", "/usr/bin/kambolux", "lib"),
		std::vector<std::string>{"/tmp/m.so"});
	EXPECT_EQ(WaylandModuleCandidates(nullptr, "/usr/bin/kambolux", "lib/x86_64-linux-gnu"),
		(std::vector<std::string>{
			"/usr/bin/../lib/x86_64-linux-gnu/kambolux/kambolux-wayland.so",
			"/usr/bin/../lib/kambolux/kambolux-wayland.so",
			"/usr/bin/../platform/kambolux-wayland.so",
		}));
	EXPECT_EQ(WaylandModuleCandidates("", "/opt/k/bin/kambolux", "/opt/lib"),
		(std::vector<std::string>{
			"/opt/lib/kambolux/kambolux-wayland.so",
			"/opt/k/bin/../lib/kambolux/kambolux-wayland.so",
			"/opt/k/bin/../platform/kambolux-wayland.so",
		}));
	EXPECT_TRUE(WaylandModuleCandidates(nullptr, "", "lib").empty());
}

TEST(WaylandDamage, ChangedRowsAreTheFirstAndLastThatDiffer)
{
	const int32 width = 3, height = 5, stride = 16; // 12 bytes of pixels, 4 of padding
	struct Case {
		std::vector<int32> changedRows;
		bool changed;
		int32 first, last;
	} cases[] = {
		{{}, false, 0, 0},
		{{2}, true, 2, 2},
		{{0, 4}, true, 0, 4},
		{{1, 3}, true, 1, 3},
		{{4}, true, 4, 4},
	};
	for (const Case& test : cases) {
		std::vector<uint8> before((size_t)stride * height, 7);
		std::vector<uint8> after = before;
		// Padding past the pixels differs everywhere and must not count.
		for (int32 y = 0; y < height; y++)
			after[(size_t)y * stride + 13] = 99;
		for (int32 row : test.changedRows)
			after[(size_t)row * stride + 11] ^= 1;
		int32 first = -1, last = -1;
		EXPECT_EQ(ChangedRows(before.data(), after.data(), height, width * 4, stride, &first,
					  &last),
			test.changed);
		if (test.changed) {
			EXPECT_EQ(first, test.first);
			EXPECT_EQ(last, test.last);
		}
	}
}

TEST(BackendWait, TheEarliestWaitWinsAndReadinessGoesBackToTheLoop)
{
	struct Case {
		int64 wait, other, earlier;
		int32 milliseconds; // of earlier
	} cases[] = {
		{-1, -1, -1, -1},
		{-1, 2500, 2500, 3},
		{2500, -1, 2500, 3},
		{7000, 1, 1, 1},
		{0, 5000, 0, 0},
		{1000, 1000, 1000, 1},
	};
	for (const Case& test : cases) {
		EXPECT_EQ(EarlierWait(test.wait, test.other), test.earlier)
			<< test.wait << " " << test.other;
		EXPECT_EQ(PollMilliseconds(test.earlier), test.milliseconds) << test.earlier;
	}

	// Readiness goes back to the loop's own descriptors only, after the backend's.
	std::vector<pollfd> polled = {{3, POLLIN, POLLIN}, {4, POLLIN, 0}, {5, POLLIN, POLLIN}};
	std::vector<pollfd> others = {{4, POLLIN, 0}, {5, POLLIN, 0}};
	EXPECT_TRUE(HandBackReadiness(polled, 1, &others));
	EXPECT_EQ(others[0].revents, 0);
	EXPECT_EQ(others[1].revents, POLLIN);
	polled[2].revents = 0;
	EXPECT_FALSE(HandBackReadiness(polled, 1, &others));
}

TEST(BackendWait, PendingFirstThenQuitsThenWakeUpsThenTheEarliestDeadline)
{
	std::deque<BackendEvent> pending;
	WakeUpPipe wakeUps;
	bool lost = false, lostReported = false;
	std::vector<int32> slept;
	int64 ownDeadline = -1;
	WaitSteps steps;
	steps.lost = &lost;
	steps.lostReported = &lostReported;
	steps.takeIn = [] { return false; };
	steps.untilOwnDeadline = [&] { return ownDeadline; };
	steps.sleep = [&](int32 ms, std::vector<pollfd>*) {
		slept.push_back(ms);
		usleep(ms * 1000);
		return false;
	};
	BackendEvent event;

	BackendEvent key;
	key.type = BackendEvent::kKeyDown;
	pending.push_back(key);
	lost = true;
	ASSERT_TRUE(RunWait(&pending, &wakeUps, steps, &event, 0, nullptr));
	EXPECT_EQ(event.type, BackendEvent::kKeyDown);
	// The lost connection is one quit request, not one a pass.
	ASSERT_TRUE(RunWait(&pending, &wakeUps, steps, &event, 0, nullptr));
	EXPECT_EQ(event.type, BackendEvent::kQuit);
	EXPECT_FALSE(RunWait(&pending, &wakeUps, steps, &event, 0, nullptr));
	EXPECT_TRUE(slept.empty());

	// A wake-up ends the wait before any sleep; a quit signal is a quit request instead.
	wakeUps.Wake();
	EXPECT_FALSE(RunWait(&pending, &wakeUps, steps, &event, -1, nullptr));
	raise(SIGHUP);
	ASSERT_TRUE(RunWait(&pending, &wakeUps, steps, &event, -1, nullptr));
	EXPECT_EQ(event.type, BackendEvent::kQuit);
	EXPECT_TRUE(slept.empty());

	// The backend's own deadline shortens the sleep; the wait ends when its time is up.
	ownDeadline = 1500;
	EXPECT_FALSE(RunWait(&pending, &wakeUps, steps, &event, 0, nullptr));
	ASSERT_FALSE(RunWait(&pending, &wakeUps, steps, &event, 50, nullptr));
	ASSERT_FALSE(slept.empty());
	EXPECT_EQ(slept.front(), 2);
}
