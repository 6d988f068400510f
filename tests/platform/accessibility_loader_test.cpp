// Turning accessibility on: the environment switch, where the module is looked for, and the
// host a loaded module gets (its watchers in the loop, its listener, its stop).
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "AccessibilityLoader.h"
#include "AccessibleTree.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"

using namespace BPrivate;

namespace {

struct TestModuleReport {
	bool failStart = false;
	int32 starts = 0;
	int32 stops = 0;
	int32 dispatches = 0;
	int writeEnd = -1;
	std::string version;
};

TestModuleReport*
ModuleReport()
{
	void* handle = dlopen(KIT_TEST_A11Y_MODULE, RTLD_NOW | RTLD_NOLOAD);
	if (handle == nullptr)
		return nullptr;
	auto report = (TestModuleReport * (*)()) dlsym(handle, "test_a11y_module_report");
	dlclose(handle);
	return report != nullptr ? report() : nullptr;
}

class AccessibilityLoaderTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		HeadlessBackend::Install();
		AccessibilityLoader::ForgetForTests();
		fWatchers = EventLoop::CountWatchers();
	}
	void TearDown() override
	{
		AccessibilityLoader::ForgetForTests();
		unsetenv("KAMBOLUX_ACCESSIBILITY_MODULE");
		unsetenv("KAMBOLUX_ACCESSIBILITY");
		EXPECT_EQ(EventLoop::CountWatchers(), fWatchers);
		EXPECT_EQ(CurrentAccessibilityListener(), nullptr);
	}

	int32 fWatchers = 0;
};

} // namespace

TEST(AccessibilitySwitch, OurVariableFirstThenGtksThenTheBus)
{
	struct Case {
		const char* kambolux;
		const char* noAtBridge;
		AccessibilitySwitch expected;
	} cases[] = {
		{"1", nullptr, AccessibilitySwitch::kOn},
		{"0", nullptr, AccessibilitySwitch::kOff},
		{"1", "1", AccessibilitySwitch::kOn},
		{"0", "0", AccessibilitySwitch::kOff},
		{nullptr, "1", AccessibilitySwitch::kOff},
		{"", "1", AccessibilitySwitch::kOff},
		{nullptr, "0", AccessibilitySwitch::kAskBus},
		{"yes", nullptr, AccessibilitySwitch::kAskBus},
		{"10", nullptr, AccessibilitySwitch::kAskBus},
		{"", "", AccessibilitySwitch::kAskBus},
		{nullptr, nullptr, AccessibilitySwitch::kAskBus},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(std::string(c.kambolux ? c.kambolux : "unset") + "/"
			+ (c.noAtBridge ? c.noAtBridge : "unset"));
		EXPECT_EQ(AccessibilitySwitchFrom(c.kambolux, c.noAtBridge), c.expected);
	}
}

TEST(AccessibilitySwitch, TheModuleIsLookedForInstalledFirstThenInTheBuildTree)
{
	struct Case {
		const char* override;
		const char* executable;
		const char* libDir;
		std::vector<std::string> expected;
	} cases[] = {
		{nullptr, "/usr/bin/kambolux", "lib/x86_64-linux-gnu",
			{"/usr/bin/../lib/x86_64-linux-gnu/kambolux/kambolux-atk.so",
				"/usr/bin/../lib/kambolux/kambolux-atk.so",
				"/usr/bin/../platform/atk/kambolux-atk.so"}},
		{nullptr, "/opt/k/bin/kambolux", "lib",
			{"/opt/k/bin/../lib/kambolux/kambolux-atk.so",
				"/opt/k/bin/../platform/atk/kambolux-atk.so"}},
		{nullptr, "/b/app/kambolux", "/usr/lib64",
			{"/usr/lib64/kambolux/kambolux-atk.so", "/b/app/../lib/kambolux/kambolux-atk.so",
				"/b/app/../platform/atk/kambolux-atk.so"}},
		{"", "/usr/bin/kambolux", "",
			{"/usr/bin/../lib/kambolux/kambolux-atk.so",
				"/usr/bin/../platform/atk/kambolux-atk.so"}},
		{"/tmp/m.so", "/usr/bin/kambolux", "lib", {"/tmp/m.so"}},
		{nullptr, "", "lib", {}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.executable);
		EXPECT_EQ(AccessibilityModuleCandidates(c.override, c.executable, c.libDir), c.expected);
	}
}

TEST_F(AccessibilityLoaderTest, AMissingModuleIsOneLineOnStandardErrorAndNothingElse)
{
	setenv("KAMBOLUX_ACCESSIBILITY_MODULE", "/nonexistent/kambolux-atk.so", 1);
	testing::internal::CaptureStderr();
	EXPECT_EQ(AccessibilityLoader::Load(), B_ERROR);
	// A second call does not try (nor complain) again.
	EXPECT_EQ(AccessibilityLoader::Load(), B_ERROR);
	std::string output = testing::internal::GetCapturedStderr();
	EXPECT_EQ(output,
		"kit: screen-reader support not available: cannot load the module: "
		"not found\n");
	EXPECT_FALSE(AccessibilityLoader::IsRunning());
}

TEST_F(AccessibilityLoaderTest, AFileThatIsNoModuleIsReportedWithTheLoadersReason)
{
	setenv("KAMBOLUX_ACCESSIBILITY_MODULE", "/proc/self/status", 1);
	testing::internal::CaptureStderr();
	EXPECT_EQ(AccessibilityLoader::Load(), B_ERROR);
	std::string output = testing::internal::GetCapturedStderr();
	EXPECT_EQ(output.rfind("kit: screen-reader support not available: cannot load the module: "
						   "/proc/self/status",
				  0),
		0u)
		<< output;
	EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
}

TEST_F(AccessibilityLoaderTest, TheModuleRunsInTheLoopUntilShutdown)
{
	setenv("KAMBOLUX_ACCESSIBILITY_MODULE", KIT_TEST_A11Y_MODULE, 1);
	ASSERT_EQ(AccessibilityLoader::Load(), B_OK);
	EXPECT_TRUE(AccessibilityLoader::IsRunning());
	EXPECT_EQ(AccessibilityLoader::ModulePath(), KIT_TEST_A11Y_MODULE);
	TestModuleReport* report = ModuleReport();
	ASSERT_NE(report, nullptr);
	const int32 starts = report->starts, stops = report->stops;
	EXPECT_EQ(report->version, "1.1.0");
	EXPECT_NE(CurrentAccessibilityListener(), nullptr);
	EXPECT_EQ(EventLoop::CountWatchers(), fWatchers + 1);
	// Loading again does not start it twice.
	EXPECT_EQ(AccessibilityLoader::Load(), B_OK);
	EXPECT_EQ(report->starts, starts);

	// The module's descriptor wakes the loop and is served, in nested loops too.
	const int32 before = report->dispatches;
	ASSERT_EQ(write(report->writeEnd, "x", 1), 1);
	EventLoop::RunOnce(100);
	EXPECT_EQ(report->dispatches, before + 1);
	ASSERT_EQ(write(report->writeEnd, "y", 1), 1);
	int32 rounds = 0;
	EventLoop::RunNested(nullptr, [&] { return report->dispatches > before + 1 || ++rounds > 50; });
	EXPECT_EQ(report->dispatches, before + 2);

	AccessibilityLoader::Shutdown();
	EXPECT_EQ(report->stops, stops + 1);
	EXPECT_FALSE(AccessibilityLoader::IsRunning());
	AccessibilityLoader::Shutdown();
	EXPECT_EQ(report->stops, stops + 1);
}

TEST_F(AccessibilityLoaderTest, AModuleThatFailsToStartLeavesNothingBehind)
{
	setenv("KAMBOLUX_ACCESSIBILITY_MODULE", KIT_TEST_A11Y_MODULE, 1);
	void* handle = dlopen(KIT_TEST_A11Y_MODULE, RTLD_NOW | RTLD_LOCAL);
	ASSERT_NE(handle, nullptr);
	TestModuleReport* report = ModuleReport();
	ASSERT_NE(report, nullptr);
	report->failStart = true;
	const int32 stops = report->stops;
	testing::internal::CaptureStderr();
	EXPECT_EQ(AccessibilityLoader::Load(), B_ERROR);
	std::string output = testing::internal::GetCapturedStderr();
	report->failStart = false;
	EXPECT_NE(output.find("the module did not start"), std::string::npos) << output;
	// TearDown checks that its watcher and listener are gone; stop is not called for a
	// module that never started.
	EXPECT_EQ(report->stops, stops);
	dlclose(handle);
}

TEST_F(AccessibilityLoaderTest, TheEnvironmentDecidesWithoutAskingTheBus)
{
	setenv("KAMBOLUX_ACCESSIBILITY", "0", 1);
	setenv("KAMBOLUX_ACCESSIBILITY_MODULE", KIT_TEST_A11Y_MODULE, 1);
	AccessibilityLoader::Begin();
	EXPECT_FALSE(AccessibilityLoader::IsRunning());
	EXPECT_EQ(EventLoop::CountWatchers(), fWatchers);

	AccessibilityLoader::ForgetForTests();
	setenv("KAMBOLUX_ACCESSIBILITY", "1", 1);
	AccessibilityLoader::Begin();
	EXPECT_TRUE(AccessibilityLoader::IsRunning());
	AccessibilityLoader::Shutdown();
}
