// The X11 backend's wait: WaitEvent sleeps in poll on the X connection, the wake-up pipe and
// the loop's other descriptors until an event, a wake-up, a quit signal (SIGINT, SIGTERM,
// SIGHUP through a self-pipe), the next timer or a selection's time-out. The rest of the
// backend is in X11Backend.cpp; what its checklist says of the wait is done here.

#include "X11BackendPrivate.h"

#include <X11/extensions/XShm.h>

#include <poll.h>

#include "SystemTime.h"
#include "WaitSupport.h"
#include "X11Window.h"

namespace BPrivate {

bool
X11Backend::WaitEvent(BackendEvent* event, int32 timeoutMs, std::vector<pollfd>* descriptors)
{
	_ReapChildren();
	WaitSteps steps;
	steps.lost = &fConnection.lost;
	steps.lostReported = &fLostReported;
	steps.takeIn = [this]() {
		// A clipboard answer (or its time-out) posts a message: the loop has work then.
		if (_ReadEvents() || fClipboard->Expire(system_time_us()))
			return true;
		// The primary selection's answers (and time-outs) arrive as events of their own.
		fPrimary->Expire(system_time_us());
		for (auto& [xWindow, entry] : fWindows)
			entry.window->RemapIfOverdue(system_time_us());
		return false;
	};
	steps.untilOwnDeadline = [this]() {
		int64 until = -1;
		for (const X11Clipboard* selection : {fClipboard.get(), fPrimary.get()})
			until = EarlierWait(until, selection->UntilTimeout(system_time_us()));
		for (auto& [xWindow, entry] : fWindows)
			until = EarlierWait(until, entry.window->UntilRemap(system_time_us()));
		return until;
	};
	steps.sleep = [this](int32 sleepMs, std::vector<pollfd>* others) {
		return _Sleep(sleepMs, others);
	};
	return RunWait(&fPending, &fWakeUps, steps, event, timeoutMs, descriptors);
}

// Handles what Xlib has queued or can read without waiting; true when a clipboard answer
// was handed on.
bool
X11Backend::_ReadEvents()
{
	bool answered = false;
	while (!fConnection.lost && XPending(fConnection.display) > 0) {
		XEvent event;
		XNextEvent(fConnection.display, &event);
		if (event.type == SelectionRequest || event.type == SelectionClear
			|| event.type == SelectionNotify) {
			answered |= fClipboard->Handle(event);
			fPrimary->Handle(event);
			continue;
		}
		if (event.type == fConnection.shmCompletion && fConnection.shmCompletion >= 0) {
			const XShmCompletionEvent& done = reinterpret_cast<const XShmCompletionEvent&>(event);
			if (Entry* entry = _Find(done.drawable))
				entry->window->SharedFrameCompleted();
			continue;
		}
		// Pieces of a large selection (INCR) arrive as property changes; the windows may
		// want the event too.
		if (event.type == PropertyNotify) {
			answered |= fClipboard->Handle(event);
			fPrimary->Handle(event);
		}
		_Handle(event);
	}
	return answered;
}

// Sleeps until the server has sent something, Wake is called, a signal came, one of the
// loop's other descriptors is ready, or the time is up. What Xlib read into its queue
// meanwhile was taken in by _ReadEvents before. True when one of the others is ready: the
// loop serves it before waiting again.
bool
X11Backend::_Sleep(int32 timeoutMs, std::vector<pollfd>* others)
{
	std::vector<pollfd> descriptors;
	if (fWakeUps.ReadEnd() >= 0)
		descriptors.push_back({fWakeUps.ReadEnd(), POLLIN, 0});
	if (!fConnection.lost) {
		// A flush that has to wait for the server reads what it sends meanwhile into Xlib's
		// queue, where poll cannot see it: then there is no sleeping.
		if (XEventsQueued(fConnection.display, QueuedAfterFlush) > 0)
			timeoutMs = 0;
		descriptors.push_back({ConnectionNumber(fConnection.display), POLLIN, 0});
	}
	const size_t own = descriptors.size();
	if (others != nullptr)
		descriptors.insert(descriptors.end(), others->begin(), others->end());
	return poll(descriptors.data(), descriptors.size(), timeoutMs) > 0
		&& HandBackReadiness(descriptors, own, others);
}

void
X11Backend::Wake()
{
	fWakeUps.Wake();
}

} // namespace BPrivate
