// The Wayland backend's wait: WaitEvent sleeps in poll on the compositor's connection, the
// wake-up pipe and the loop's other descriptors until an event, a wake-up, a quit signal
// (SIGINT, SIGTERM, SIGHUP through a self-pipe), the next timer or the next key repeat.

#include "WaylandBackend.h"

#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "SystemTime.h"
#include "WaitSupport.h"
#include "WaylandActivation.h"
#include "WaylandClipboard.h"
#include "WaylandPrimary.h"
#include "WaylandSeat.h"
#include "WaylandWindow.h"

namespace BPrivate {

namespace {

// The program still saves and quits without its compositor, then reports the failure.
const int kLostConnectionStatus = 1;

void
ExitAfterLostConnection()
{
	fflush(nullptr);
	_exit(kLostConnectionStatus);
}

// The locale whose Compose table applies, as the C library would choose it.
const char*
ComposeLocale()
{
	for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
		const char* value = getenv(name);
		if (value != nullptr && value[0] != '\0')
			return value;
	}
	return "C";
}

} // namespace

void
WaylandBackend::_Lost()
{
	if (fConnection.lost)
		return;
	fConnection.lost = true;
	fprintf(stderr,
		"kit: the connection to the Wayland compositor was lost; saving and quitting\n");
	atexit(ExitAfterLostConnection);
}

// Once the user sees the program: the launcher's activation, the Compose table, the selections.
void
WaylandBackend::AfterFirstFrame()
{
	// The launcher's activation goes to the main window, the first one that is not a pop-up.
	for (const auto& [id, window] : fWindows) {
		if (!window->IsPopup()) {
			fActivation->WindowShown(window->Surface());
			break;
		}
	}
	fSeat->Keyboard().OpenCompose(ComposeLocale());
	// Nothing is pasted before there is a window to paste into: the selections' devices (and
	// the offers the compositor then sends) wait until now.
	fClipboard->Start(fConnection.seat);
	fPrimary->Start(fConnection.seat);
}

bool
WaylandBackend::WaitEvent(BackendEvent* event, int32 timeoutMs, std::vector<pollfd>* descriptors)
{
	_ReapChildren();
	WaitSteps steps;
	steps.lost = &fConnection.lost;
	steps.lostReported = &fLostReported;
	steps.takeIn = [this]() {
		if (!fConnection.lost && wl_display_dispatch_pending(fConnection.display) < 0)
			_Lost();
		fSeat->Keyboard().Repeat(system_time_us(), &fPending);
		// A clipboard answer (or its time-out) posts a message: the loop has work then.
		return _ServeSelections();
	};
	steps.untilOwnDeadline = [this]() {
		int64 until = _UntilSelectionTimeout();
		const int64 repeat = fSeat->Keyboard().NextRepeat();
		if (repeat >= 0)
			until = EarlierWait(until, std::max(repeat - system_time_us(), (int64)0));
		return until;
	};
	steps.sleep = [this](int32 sleepMs, std::vector<pollfd>* others) {
		return _Sleep(sleepMs, others);
	};
	return RunWait(&fPending, &fWakeUps, steps, event, timeoutMs, descriptors);
}

// Sleeps until the compositor has sent something (read into the queue, not yet dispatched),
// Wake is called, a signal came, one of the loop's other descriptors is ready, or the time
// is up. True when one of the others is ready: the loop serves it before waiting again.
bool
WaylandBackend::_Sleep(int32 timeoutMs, std::vector<pollfd>* others)
{
	wl_display* display = fConnection.display;
	std::vector<pollfd> descriptors;
	if (fWakeUps.ReadEnd() >= 0)
		descriptors.push_back({fWakeUps.ReadEnd(), POLLIN, 0});
	bool reading = false;
	if (!fConnection.lost) {
		// Whatever another reader queued first; then nothing can arrive unseen.
		while (wl_display_prepare_read(display) != 0) {
			if (wl_display_dispatch_pending(display) < 0) {
				_Lost();
				return false;
			}
			if (!fPending.empty())
				return false;
		}
		reading = true;
		short events = POLLIN;
		if (wl_display_flush(display) < 0) {
			if (errno == EAGAIN)
				events |= POLLOUT; // the rest goes once the socket takes it
			else {
				wl_display_cancel_read(display);
				_Lost();
				return false;
			}
		}
		descriptors.push_back({wl_display_get_fd(display), events, 0});
	}
	const size_t connection = descriptors.size() - 1;
	// The selections' pipes wake the wait too; what they are ready for is served after it.
	_AddSelectionDescriptors(&descriptors);
	const size_t own = descriptors.size();
	if (others != nullptr)
		descriptors.insert(descriptors.end(), others->begin(), others->end());
	const int result = poll(descriptors.data(), descriptors.size(), timeoutMs);
	if (reading) {
		const short revents = result > 0 ? descriptors[connection].revents : 0;
		if ((revents & POLLIN) != 0) {
			if (wl_display_read_events(display) < 0)
				_Lost();
		} else
			wl_display_cancel_read(display);
		if ((revents & (POLLERR | POLLHUP)) != 0 && (revents & POLLIN) == 0)
			_Lost();
		if (!fConnection.lost && wl_display_dispatch_pending(display) < 0)
			_Lost();
	}
	return result > 0 && HandBackReadiness(descriptors, own, others);
}

void
WaylandBackend::Wake()
{
	fWakeUps.Wake();
}

} // namespace BPrivate
