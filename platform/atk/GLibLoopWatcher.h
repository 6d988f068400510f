// Serves GLib's default main context from the kit's event loop: before each wait it hands
// the context's descriptors and its next timeout to the loop, after the wait it dispatches
// what is ready. The AT-SPI bridge's D-Bus connection lives in that context. Without a GLib
// timeout the loop's wait stays unbounded: idle stays idle.
#pragma once

#include <glib.h>

#include <vector>

#include "AccessibilityModule.h"

namespace KamboAtk {

class GLibLoopWatcher : public BPrivate::DescriptorWatcher {
public:
	// Takes ownership of the context for this thread until destroyed.
	explicit GLibLoopWatcher(GMainContext* context);
	~GLibLoopWatcher() override;

	int32 Prepare(std::vector<pollfd>* descriptors) override;
	void Dispatch(const std::vector<pollfd>& descriptors) override;

private:
	// The revents of fd, expected at index; searched for when the list is ordered otherwise.
	static gushort _ReventsOf(const std::vector<pollfd>& descriptors, size_t index, int fd);

	GMainContext* fContext;
	bool fOwned;
	gint fMaxPriority = G_PRIORITY_DEFAULT;
	std::vector<GPollFD> fPollFDs;
	// Where this watcher's descriptors start in the loop's list.
	size_t fFirst = 0;
	bool fPrepared = false;
};

} // namespace KamboAtk
