// The X11 backend's wait: WaitEvent sleeps in poll on the X connection, the wake-up pipe and
// the loop's other descriptors until an event, a wake-up, a quit signal (SIGINT, SIGTERM,
// SIGHUP through a self-pipe), the next timer or a selection's time-out. The rest of the
// backend is in X11Backend.cpp; what its checklist says of the wait is done here.

#include "X11BackendPrivate.h"

#include <X11/extensions/XShm.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "QuitSignals.h"
#include "SystemTime.h"
#include "X11Window.h"

namespace BPrivate {

void
X11Backend::_InstallWakeUps()
{
	if (pipe2(fWakePipe, O_NONBLOCK | O_CLOEXEC) != 0)
		fWakePipe[0] = fWakePipe[1] = -1;
	QuitSignals::Install(fWakePipe[1]);
}

void
X11Backend::_RemoveQuitSignals()
{
	QuitSignals::Remove();
}

bool
X11Backend::WaitEvent(BackendEvent* event, int32 timeoutMs, std::vector<pollfd>* descriptors)
{
	if (descriptors != nullptr) {
		for (pollfd& descriptor : *descriptors)
			descriptor.revents = 0;
	}
	_ReapChildren();
	const bigtime_t deadline = system_time_us() + (timeoutMs > 0 ? (bigtime_t)timeoutMs * 1000 : 0);
	while (true) {
		if (!fPending.empty()) {
			*event = fPending.front();
			fPending.pop_front();
			return true;
		}
		if (QuitSignals::Take()) {
			BackendEvent quit;
			quit.type = BackendEvent::kQuit;
			fPending.push_back(quit);
			continue;
		}
		if (fConnection.lost && !fLostReported) {
			fLostReported = true;
			BackendEvent quit;
			quit.type = BackendEvent::kQuit;
			fPending.push_back(quit);
			continue;
		}
		// A clipboard answer (or its time-out) posts a message: the loop has work then.
		if (_ReadEvents() || fClipboard->Expire(system_time_us()))
			return false;
		// The primary selection's answers (and time-outs) arrive as events of their own.
		fPrimary->Expire(system_time_us());
		for (auto& [xWindow, entry] : fWindows)
			entry.window->RemapIfOverdue(system_time_us());
		if (!fPending.empty())
			continue;

		char drain[64];
		bool woken = false;
		while (fWakePipe[0] >= 0 && read(fWakePipe[0], drain, sizeof(drain)) > 0)
			woken = true;
		if (woken && !QuitSignals::Pending())
			return false;
		if (QuitSignals::Pending())
			continue;

		bigtime_t remaining = -1;
		if (timeoutMs >= 0) {
			remaining = deadline - system_time_us();
			if (remaining <= 0) {
				// Even without time to wait, the other descriptors learn what is ready.
				if (descriptors != nullptr && !descriptors->empty())
					_Sleep(0, descriptors);
				return false;
			}
		}
		for (const X11Clipboard* selection : {fClipboard.get(), fPrimary.get()}) {
			const bigtime_t untilTimeout = selection->UntilTimeout(system_time_us());
			if (untilTimeout >= 0 && (remaining < 0 || untilTimeout < remaining))
				remaining = untilTimeout;
		}
		for (auto& [xWindow, entry] : fWindows) {
			const bigtime_t untilRemap = entry.window->UntilRemap(system_time_us());
			if (untilRemap >= 0 && (remaining < 0 || untilRemap < remaining))
				remaining = untilRemap;
		}
		if (_Sleep(remaining < 0 ? -1 : (int32)((remaining + 999) / 1000), descriptors))
			return false;
	}
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
	if (fWakePipe[0] >= 0)
		descriptors.push_back({fWakePipe[0], POLLIN, 0});
	if (!fConnection.lost) {
		XFlush(fConnection.display);
		descriptors.push_back({ConnectionNumber(fConnection.display), POLLIN, 0});
	}
	const size_t own = descriptors.size();
	if (others != nullptr)
		descriptors.insert(descriptors.end(), others->begin(), others->end());
	int result = poll(descriptors.data(), descriptors.size(), timeoutMs);
	if (result <= 0 || others == nullptr)
		return false;
	bool ready = false;
	for (size_t i = 0; i < others->size(); i++) {
		(*others)[i].revents = descriptors[own + i].revents;
		ready = ready || (*others)[i].revents != 0;
	}
	return ready;
}

void
X11Backend::Wake()
{
	if (fWakePipe[1] >= 0) {
		ssize_t written = write(fWakePipe[1], "w", 1);
		(void)written; // a full pipe wakes the sleeper just as well
	}
}

} // namespace BPrivate
