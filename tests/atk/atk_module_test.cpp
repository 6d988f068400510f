// The module as the kit sees it: a shared object with two entry points and nothing else, and a
// start that fails cleanly (no listener, no watcher left behind) when it cannot join a bus.
// Its own executable: the module's GTypes must not meet a second copy linked into the test.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "AccessibilityModule.h"

namespace {

class EmptyNode : public BPrivate::AccessibleNode {
public:
	AccessibleNode* Parent() override { return nullptr; }
	int32 CountChildren() override { return 0; }
	AccessibleNode* ChildAt(int32) override { return nullptr; }
	int32 IndexInParent() override { return -1; }
	accessible_role Role() override { return B_ROLE_APPLICATION; }
	std::string Name() override { return "ZQ Kambo-Lux"; }
	std::string Description() override { return ""; }
	uint64 States() override { return B_STATE_ENABLED; }
	BRect ScreenBounds() override { return BRect(); }
	bool GrabFocus() override { return false; }
	int32 CountActions() override { return 0; }
	std::string ActionName(int32) override { return ""; }
	std::string ActionDescription(int32) override { return ""; }
	bool DoAction(int32) override { return false; }
	BPrivate::AccessibleText* Text() override { return nullptr; }
};

class RecordingHost : public BPrivate::AccessibilityHost {
public:
	BPrivate::AccessibleNode* Root() override { return fRoot; }
	void SetListener(BPrivate::AccessibilityListener* listener) override
	{
		fListener = listener;
		fListenerCalls++;
	}
	void AddWatcher(BPrivate::DescriptorWatcher* watcher) override { fWatchers.push_back(watcher); }
	void RemoveWatcher(BPrivate::DescriptorWatcher* watcher) override
	{
		fWatchers.erase(std::remove(fWatchers.begin(), fWatchers.end(), watcher), fWatchers.end());
	}
	const char* Version() override { return "1.1.0"; }

	BPrivate::AccessibleNode* fRoot = nullptr;
	BPrivate::AccessibilityListener* fListener = nullptr;
	int fListenerCalls = 0;
	std::vector<BPrivate::DescriptorWatcher*> fWatchers;
};

class AtkModuleTest : public testing::Test {
protected:
	static void SetUpTestSuite()
	{
		sModule = dlopen(KAMBO_ATK_MODULE, RTLD_NOW | RTLD_LOCAL);
		ASSERT_NE(sModule, nullptr) << dlerror();
	}

	void SetUp() override
	{
		ASSERT_NE(sModule, nullptr);
		fStart = reinterpret_cast<kambolux_accessibility_start_fn>(
			dlsym(sModule, KAMBOLUX_ACCESSIBILITY_START));
		fStop = reinterpret_cast<kambolux_accessibility_stop_fn>(
			dlsym(sModule, KAMBOLUX_ACCESSIBILITY_STOP));
		ASSERT_NE(fStart, nullptr);
		ASSERT_NE(fStop, nullptr);
	}

	static void* sModule;
	kambolux_accessibility_start_fn fStart = nullptr;
	kambolux_accessibility_stop_fn fStop = nullptr;
};

void* AtkModuleTest::sModule = nullptr;

TEST_F(AtkModuleTest, ExportsOnlyItsTwoEntryPoints)
{
	// Names from inside the module that a default visibility would have exported.
	const char* kHidden[] = {
		"_ZN8KamboAtk9ObjectForEPN8BPrivate14AccessibleNodeE",
		"_ZN8KamboAtk6ForgetEPN8BPrivate14AccessibleNodeE",
		"_ZN8KamboAtk12TextSegmentsC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE",
	};
	for (const char* name : kHidden)
		EXPECT_EQ(dlsym(sModule, name), nullptr) << name;
}

TEST_F(AtkModuleTest, StartRefusesWithoutAHostOrATree)
{
	EXPECT_NE(fStart(nullptr), 0);
	RecordingHost host;
	EXPECT_NE(fStart(&host), 0);
	EXPECT_EQ(host.fListenerCalls, 0);
	EXPECT_TRUE(host.fWatchers.empty());
	// A stop without a start does nothing.
	fStop();
}

TEST_F(AtkModuleTest, WithoutABusStartFailsAndLeavesNothingBehind)
{
	// No display to find the accessibility bus on, and a session bus that is not there.
	unsetenv("DISPLAY");
	unsetenv("AT_SPI_BUS_ADDRESS");
	setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kambolux-test-bus", 1);
	EmptyNode root;
	RecordingHost host;
	host.fRoot = &root;
	{
#if defined(__SANITIZE_ADDRESS__)
		// The bridge keeps two strings it copied when it cannot connect; ours are still checked
		// after this call.
		__lsan::ScopedDisabler bridgeKeepsItsStrings;
#endif
		EXPECT_NE(fStart(&host), 0);
	}
	EXPECT_EQ(host.fListener, nullptr);
	EXPECT_TRUE(host.fWatchers.empty());
	fStop();
	EXPECT_EQ(host.fListener, nullptr);
}

} // namespace
