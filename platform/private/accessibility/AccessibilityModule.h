// The contract between the program and its screen-reader module, a shared object the kit
// opens with dlopen only when the desktop's accessibility is on. The kit hands the module a
// host; the module reaches the program only through it (and the nodes it hands out), so the
// program exports no symbols and maps no accessibility library while nobody listens.
#pragma once

#include <poll.h>

#include <vector>

#include "AccessibleNode.h"

namespace BPrivate {

// A source of file descriptors that the kit's event loop waits on beside the window system's
// (the module's D-Bus connection, through its GLib main context). Served in nested loops too.
class DescriptorWatcher {
public:
	// Before each wait: fills the descriptors to wait on and returns the longest wait in
	// milliseconds that the watcher allows (-1: no limit of its own).
	virtual int32 Prepare(std::vector<pollfd>* descriptors) = 0;
	// After each wait, with the same descriptors and their revents.
	virtual void Dispatch(const std::vector<pollfd>& descriptors) = 0;

protected:
	virtual ~DescriptorWatcher() = default;
};

class AccessibilityHost {
public:
	// The application node: its children are the program's windows on the screen.
	virtual AccessibleNode* Root() = 0;
	// The module's ear for changes; nullptr stops them.
	virtual void SetListener(AccessibilityListener* listener) = 0;
	virtual void AddWatcher(DescriptorWatcher* watcher) = 0;
	virtual void RemoveWatcher(DescriptorWatcher* watcher) = 0;
	// The program's version ("1.2.3"), for the toolkit's version on the bus.
	virtual const char* Version() = 0;

protected:
	virtual ~AccessibilityHost() = default;
};

} // namespace BPrivate

// The module's two entry points, looked up with dlsym.
// Start: joins the bus; 0 on success, non-zero (with a message on standard error) otherwise.
// Stop: leaves the bus before the program quits.
#define KAMBOLUX_ACCESSIBILITY_START "kambolux_accessibility_start"
#define KAMBOLUX_ACCESSIBILITY_STOP "kambolux_accessibility_stop"
extern "C" {
typedef int (*kambolux_accessibility_start_fn)(BPrivate::AccessibilityHost* host);
typedef void (*kambolux_accessibility_stop_fn)(void);
}
