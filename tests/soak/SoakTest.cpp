// The monkey soak: a long run of random but valid user actions against the converter program
// on the headless backend, checked after every drained queue. KAMBO_SOAK_SEED picks the run
// (decimal or 0x-hex) and KAMBO_SOAK_EVENTS its length; a failure prints both with the event
// index and the last actions, so that it can be replayed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Application.h"
#include "Census.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Monkey.h"
#include "ScratchFolder.h"
#include "View.h"
#include "Window.h"

#if defined(__SANITIZE_ADDRESS__)
#define KAMBO_SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KAMBO_SOAK_UNDER_ASAN 1
#endif
#endif

namespace {

constexpr uint64_t kDefaultSeed = 0x4b616d626f;
constexpr int64_t kDefaultEvents = 20000;
// Heap growth allowed between a quarter of the run and its end: caches fill in the first
// quarter, and the headless backend keeps every launched address (a string and its slot in
// a vector that doubles), which the program does not own.
constexpr size_t kHeapSlack = 64 * 1024;
constexpr size_t kHeapPerLaunch = 160;

uint64_t
SeedFromEnvironment()
{
	const char* value = getenv("KAMBO_SOAK_SEED");
	if (value == nullptr || *value == '\0')
		return kDefaultSeed;
	char* end = nullptr;
	uint64_t seed = strtoull(value, &end, 0);
	return end != nullptr && *end == '\0' ? seed : kDefaultSeed;
}

int64_t
EventsFromEnvironment()
{
	const char* value = getenv("KAMBO_SOAK_EVENTS");
	if (value == nullptr || *value == '\0')
		return kDefaultEvents;
	char* end = nullptr;
	long long events = strtoll(value, &end, 10);
	return end != nullptr && *end == '\0' && events > 0 ? events : kDefaultEvents;
}

std::string
Replay(uint64_t seed, int64_t events)
{
	char line[96];
	snprintf(line, sizeof(line), "KAMBO_SOAK_SEED=0x%llx KAMBO_SOAK_EVENTS=%lld",
		(unsigned long long)seed, (long long)events);
	return line;
}

class SoakTest : public testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fScratch.IsValid());
		fScratch.SetEnv("HOME", fScratch.Sub("home"));
		FreshSettings();
		fBackend = BPrivate::HeadlessBackend::Install();
	}

	void TearDown() override { BPrivate::EventLoop::SetIdleHook(nullptr); }

	// A settings directory no run has written to yet.
	void FreshSettings()
	{
		fScratch.SetEnv("XDG_CONFIG_HOME",
			fScratch.Sub("config" + std::to_string(fConfigs++), true));
	}

	ScratchFolder fScratch{"kambo-soak"};
	BPrivate::HeadlessBackend* fBackend = nullptr;

private:
	int32 fConfigs = 0;
};

} // namespace

TEST_F(SoakTest, RandomUserKeepsTheProgramConsistent)
{
	const uint64_t seed = SeedFromEnvironment();
	const int64_t events = EventsFromEnvironment();
	Monkey monkey(seed, fBackend);
	ASSERT_TRUE(monkey.Start()) << Replay(seed, events) << ": " << monkey.Failure();

	size_t heapAtQuarter = 0;
	size_t launchesAtQuarter = 0;
	int64_t event = 0;
	for (; event < events; event++) {
		if (!monkey.Step())
			break;
		if (event + 1 == events / 4) {
			heapAtQuarter = HeapInUse();
			launchesAtQuarter = fBackend->LaunchedURLs().size();
		}
	}
	size_t heapAtEnd = HeapInUse();
	size_t launches = fBackend->LaunchedURLs().size() - launchesAtQuarter;
	if (event == events)
		monkey.Finish();
	ASSERT_TRUE(monkey.Failure().empty()) << Replay(seed, events) << ", event " << event << ": "
										  << monkey.Failure() << "\nlast actions:\n"
										  << monkey.Trace();

	const MonkeyStats& stats = monkey.Stats();
	printf("[ soak     ] %s: %lld events, %lld drains, %lld menus (%lld choices), %lld alerts, "
		   "%lld pads, %lld about windows, %lld pastes, %lld restarts, %lld roundings next to the "
		   "euro, longest amount %zu bytes, "
		   "heap %zu -> %zu bytes with %zu more recorded link launches\n",
		Replay(seed, events).c_str(), (long long)stats.steps, (long long)stats.drains,
		(long long)stats.menus, (long long)stats.menuChoices, (long long)stats.alerts,
		(long long)stats.pads, (long long)stats.abouts, (long long)stats.pastes,
		(long long)stats.restarts, (long long)stats.euroRoundings, stats.longestAmount,
		heapAtQuarter, heapAtEnd, launches);

	// The run must have gone everywhere the checks look.
	if (events >= 5000) {
		EXPECT_GT(stats.menuChoices, 0);
		EXPECT_GT(stats.alerts, 0);
		EXPECT_GT(stats.pads, 0);
		EXPECT_GT(stats.abouts, 0);
		EXPECT_GT(stats.restarts, 0);
	}
#ifndef KAMBO_SOAK_UNDER_ASAN
	if (heapAtQuarter != 0 && events >= 1000) {
		EXPECT_LE(heapAtEnd, heapAtQuarter + kHeapSlack + launches * kHeapPerLaunch)
			<< Replay(seed, events);
	}
#endif
}

TEST_F(SoakTest, SameSeedReplaysTheSameRun)
{
	auto run = [this](uint64_t seed) {
		FreshSettings();
		Monkey monkey(seed, fBackend);
		EXPECT_TRUE(monkey.Start());
		for (int32 i = 0; i < 400 && monkey.Step(); i++) {
		}
		EXPECT_TRUE(monkey.Finish()) << monkey.Failure() << "\n" << monkey.Trace();
		return monkey.Trace();
	};
	std::string first = run(7);
	EXPECT_EQ(first, run(7));
	EXPECT_NE(first, run(8));
}

TEST_F(SoakTest, CensusFindsViewsAndWindowsOutsideAnyTree)
{
	HandlerCensus census;
	const Census alone = census.Take();
	{
		BApplication app("application/x-vnd.QXT-KamboLux");
		BWindow* window = new BWindow(BRect(10, 10, 109, 109), "w", B_TITLED_WINDOW, 0);
		window->AddChild(new BView(BRect(0, 0, 9, 9), "child", 0, 0));
		BView* loose = new BView(BRect(0, 0, 9, 9), "loose", 0, 0);

		Census running = census.Take();
		ASSERT_EQ(1u, running.windows.size());
		EXPECT_EQ(window, running.windows[0]);
		EXPECT_EQ(3u, running.views.size()) << "top view, child and the loose view";
		EXPECT_EQ(2, CountViews(window) + 1);
		EXPECT_EQ(alone.others + 1, running.others) << "the application";

		delete loose;
		EXPECT_EQ(2u, census.Take().views.size());
	}
	Census after = census.Take();
	EXPECT_TRUE(after.windows.empty());
	EXPECT_TRUE(after.views.empty());
	EXPECT_EQ(alone.others, after.others);
}
