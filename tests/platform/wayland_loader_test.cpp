// Opening the Wayland backend's module: every way it can fail leaves no backend and a
// message, so that the program can fall back to X11 or end with "no display available".
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Backend.h"
#include "ScopedVariable.h"

using namespace BPrivate;

TEST(WaylandLoader, FailuresLeaveNoBackendAndSaySo)
{
	ScopedVariable runtime("XDG_RUNTIME_DIR", "/nonexistent");
	ScopedVariable display("WAYLAND_DISPLAY", "kambolux-test-no-compositor");
	struct Case {
		const char* module;
		const char* message;
	} cases[] = {
		{"/nonexistent/kambolux-wayland.so", "cannot load the Wayland backend"},
		{KIT_OTHER_MODULE, "lacks its entry point"},
		// Never asked for a backend: its classes may be laid out differently.
		{KIT_STALE_MODULE, "is from another build (0.9.0-0000000000000000, this program is 1."},
		// The real module loads, links and finds no compositor.
		{KIT_WAYLAND_MODULE, "cannot connect to the Wayland compositor"},
	};
	for (const Case& test : cases) {
		ScopedVariable module("KAMBOLUX_WAYLAND_MODULE", test.module);
		testing::internal::CaptureStderr();
		std::unique_ptr<Backend> backend = CreateWaylandBackend();
		const std::string said = testing::internal::GetCapturedStderr();
		EXPECT_EQ(backend, nullptr) << test.module;
		EXPECT_NE(said.find(test.message), std::string::npos) << test.module << ": " << said;
	}
}
