#include "GLibLoopWatcher.h"

namespace KamboAtk {

GLibLoopWatcher::GLibLoopWatcher(GMainContext* context) :
	fContext(g_main_context_ref(context)),
	fOwned(g_main_context_acquire(context))
{
}

GLibLoopWatcher::~GLibLoopWatcher()
{
	if (fOwned)
		g_main_context_release(fContext);
	g_main_context_unref(fContext);
}

int32
GLibLoopWatcher::Prepare(std::vector<pollfd>* descriptors)
{
	fPrepared = false;
	fFirst = descriptors->size();
	// Another thread running the context would dispatch its sources; we only wait.
	if (!fOwned && !(fOwned = g_main_context_acquire(fContext)))
		return -1;

	gboolean ready = g_main_context_prepare(fContext, &fMaxPriority);
	gint timeout = -1;
	if (fPollFDs.empty())
		fPollFDs.resize(8);
	for (;;) {
		gint count = g_main_context_query(fContext, fMaxPriority, &timeout, fPollFDs.data(),
			gint(fPollFDs.size()));
		if (count <= gint(fPollFDs.size())) {
			fPollFDs.resize(count);
			break;
		}
		fPollFDs.resize(count);
	}
	for (const GPollFD& fd : fPollFDs)
		descriptors->push_back(pollfd{fd.fd, short(fd.events), 0});
	fPrepared = true;
	return ready ? 0 : timeout;
}

void
GLibLoopWatcher::Dispatch(const std::vector<pollfd>& descriptors)
{
	if (!fPrepared)
		return;
	fPrepared = false;
	// The loop may hand back its whole list or only this watcher's part of it.
	size_t first = descriptors.size() == fPollFDs.size() ? 0 : fFirst;
	for (size_t i = 0; i < fPollFDs.size(); i++)
		fPollFDs[i].revents = _ReventsOf(descriptors, first + i, fPollFDs[i].fd);
	if (g_main_context_check(fContext, fMaxPriority, fPollFDs.data(), gint(fPollFDs.size())))
		g_main_context_dispatch(fContext);
}

gushort
GLibLoopWatcher::_ReventsOf(const std::vector<pollfd>& descriptors, size_t index, int fd)
{
	if (index < descriptors.size() && descriptors[index].fd == fd)
		return gushort(descriptors[index].revents);
	for (const pollfd& descriptor : descriptors) {
		if (descriptor.fd == fd)
			return gushort(descriptor.revents);
	}
	return 0;
}

} // namespace KamboAtk
