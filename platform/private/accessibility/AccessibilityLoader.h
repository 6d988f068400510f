// Turns the screen-reader support on when the desktop wants it: after the first frame it
// decides from the environment or asks the session bus (A11yStatusClient), and when the
// answer is yes, now or later, opens the module with dlopen and starts it with the kit as its
// host. Does nothing else while accessibility is off: no library is mapped, no timer runs.
// The module, once started, stays until the program quits (the bus turning accessibility
// off again leaves it loaded; it then has no one to talk to).
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {

enum class AccessibilitySwitch {
	kOn,
	kOff,
	kAskBus,
};

// KAMBOLUX_ACCESSIBILITY ("1" on, "0" off) first, then GTK's NO_AT_BRIDGE ("1" off);
// anything else leaves the question to the bus.
AccessibilitySwitch AccessibilitySwitchFrom(const char* kamboluxValue, const char* noAtBridgeValue);

// Where the module is looked for, in order: the override alone when given, else next to the
// installed program (libDir relative to the prefix, then lib/) and in the build tree.
std::vector<std::string> AccessibilityModuleCandidates(const char* override,
	const std::string& executable, const char* libDir);

class AccessibilityLoader {
public:
	// Once a frame is on the screen; later calls do nothing.
	static void Begin();
	// Opens and starts the module unless it runs already or failed before; one line on
	// standard error when it cannot.
	static status_t Load();
	// Stops the module and the bus client; every quit calls it before the windows go.
	static void Shutdown();
	static bool IsRunning();
	// The loaded module's file (empty when none), for tests and diagnostics.
	static std::string ModulePath();
	// Tests: forgets a failed or finished try, so that Load and Begin act again.
	static void ForgetForTests();
};

} // namespace BPrivate
