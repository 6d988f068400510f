// A stand-in screen-reader module for the loader's tests: it uses its host as the real one
// does (a listener, a watcher on a pipe, the version) and lets the test steer and read it
// through one extra exported symbol.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "AccessibilityModule.h"

using namespace BPrivate;

extern "C" {

struct TestModuleReport {
	bool failStart = false; // set by the test: start returns an error after adding a watcher
	int32 starts = 0;
	int32 stops = 0;
	int32 dispatches = 0; // how often the pipe was read
	int writeEnd = -1;    // the test writes here to wake the watcher
	std::string version;
};

__attribute__((visibility("default"))) TestModuleReport* test_a11y_module_report();
__attribute__((visibility("default"))) int kambolux_accessibility_start(AccessibilityHost* host);
__attribute__((visibility("default"))) void kambolux_accessibility_stop(void);
}

namespace {

TestModuleReport sReport;
AccessibilityHost* sHost = nullptr;

class PipeWatcher : public DescriptorWatcher {
public:
	int fds[2] = {-1, -1};

	int32 Prepare(std::vector<pollfd>* descriptors) override
	{
		descriptors->push_back({fds[0], POLLIN, 0});
		return -1;
	}

	void Dispatch(const std::vector<pollfd>& descriptors) override
	{
		if (descriptors.size() != 1 || (descriptors[0].revents & POLLIN) == 0)
			return;
		char buffer[64];
		while (read(fds[0], buffer, sizeof(buffer)) > 0)
			sReport.dispatches++;
	}
} sWatcher;

class Listener : public AccessibilityListener {
public:
	void Notify(const AccessibleEvent&) override {}
} sListener;

} // namespace

TestModuleReport*
test_a11y_module_report()
{
	return &sReport;
}

int
kambolux_accessibility_start(AccessibilityHost* host)
{
	sReport.starts++;
	sHost = host;
	sReport.version = host->Version();
	if (sWatcher.fds[0] < 0 && pipe2(sWatcher.fds, O_NONBLOCK | O_CLOEXEC) == 0)
		sReport.writeEnd = sWatcher.fds[1];
	host->AddWatcher(&sWatcher);
	host->SetListener(&sListener);
	return sReport.failStart ? 1 : 0;
}

void
kambolux_accessibility_stop(void)
{
	sReport.stops++;
	sHost->RemoveWatcher(&sWatcher);
	sHost->SetListener(nullptr);
	// The end-to-end test reads whether every way of quitting stopped the module.
	if (const char* log = getenv("KIT_TEST_A11Y_MODULE_LOG")) {
		if (FILE* file = fopen(log, "a")) {
			fprintf(file, "stopped\n");
			fclose(file);
		}
	}
}
