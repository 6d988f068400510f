// The kit's event loop: backend events become messages for the windows, messages are
// dispatched in posting order, dirty windows are redrawn and presented, and the loop sleeps
// in the backend until the next event or pulse. BApplication::Run and the synchronous calls
// (BAlert::Go, BPopUpMenu::Go) drive it; tests drive it step by step. Kit-internal.
#pragma once

#include <functional>
#include <vector>

#include "SupportDefs.h"
#include "SystemTime.h"

class BLooper;
class BWindow;

namespace BPrivate {

class DescriptorWatcher;

// The loop's steps, for the kit and for tests driving the headless backend.
class EventLoop {
public:
	// Translates pending backend events, dispatches every ready message, deletes windows
	// that quit and redraws; waits up to timeoutMs for the first event.
	static void RunOnce(int32 timeoutMs);
	// Processes until nothing is left to do without waiting (tests).
	static void Drain();
	// Runs a nested loop until done() is true while blocked's own messages wait. Returns
	// false when it was abandoned (the application quit, or a headless test gave no input).
	static bool RunNested(BLooper* blocked, const std::function<bool()>& done);
	static int32 NestingDepth();
	// Called when a headless nested loop runs out of input: a test's chance to act.
	static void SetIdleHook(std::function<void()> hook);
	// The clock pulses are timed by (tests; nullptr: the monotonic clock).
	static void SetClock(bigtime_t (*clock)());
	// Descriptors the loop waits on beside the window system's, in every loop, nested ones
	// too. The watcher stays owned by the caller; removing it during a dispatch is safe.
	static void AddWatcher(DescriptorWatcher* watcher);
	static void RemoveWatcher(DescriptorWatcher* watcher);
	static int32 CountWatchers();
};

// Every window of the application, in the order they were made.
std::vector<BWindow*> AllWindows();

} // namespace BPrivate
