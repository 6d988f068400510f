// What the X11 and Wayland waits share: the wait's course (RunWait), the wake-up pipe that Wake
// and the quit signals write into, and the arithmetic of one poll over the backend's own
// descriptors and the loop's.
#pragma once

#include <poll.h>

#include <deque>
#include <functional>
#include <vector>

#include "Backend.h"
#include "SupportDefs.h"

namespace BPrivate {

// Created with the backend: from then until it goes, SIGINT, SIGTERM and SIGHUP wake the wait
// through this pipe as a quit request (QuitSignals), and Wake does from any thread.
class WakeUpPipe {
public:
	WakeUpPipe();
	~WakeUpPipe();
	WakeUpPipe(const WakeUpPipe&) = delete;
	WakeUpPipe& operator=(const WakeUpPipe&) = delete;

	// -1 where no pipe could be made: the wait then sleeps until the time is up.
	int ReadEnd() const { return fEnds[0]; }
	void Wake();
	// Empties the pipe; true when it held a wake-up.
	bool Drain();

private:
	int fEnds[2] = {-1, -1};
};

// The backend's own parts of the wait.
struct WaitSteps {
	// The connection's state, and whether the loop was told of its loss (once, as a quit).
	const bool* lost = nullptr;
	bool* lostReported = nullptr;
	// Reads and handles what has arrived, adding to the pending events; true when the loop has
	// work that is no event (a clipboard answer posted).
	std::function<bool()> takeIn;
	// Microseconds until the backend's next deadline of its own (a selection's time-out, a key
	// repeat), -1 for none.
	std::function<int64()> untilOwnDeadline;
	// Sleeps as Backend::WaitEvent describes; true when one of the loop's descriptors is ready.
	std::function<bool(int32 timeoutMs, std::vector<pollfd>* others)> sleep;
};

// Backend::WaitEvent for both backends: hands out a pending event, turns a quit signal or a
// lost connection into a quit request, takes in what arrived, ends on a wake-up, and otherwise
// sleeps until the time-out, the backend's own next deadline or something to read.
bool RunWait(std::deque<BackendEvent>* pending, WakeUpPipe* wakeUps, const WaitSteps& steps,
	BackendEvent* event, int32 timeoutMs, std::vector<pollfd>* descriptors);

// The earlier of two waits in microseconds, a negative one standing for none.
int64 EarlierWait(int64 wait, int64 other);

// A wait in microseconds as poll's milliseconds, rounded up so that a timer is never early;
// none stays -1.
int32 PollMilliseconds(int64 wait);

// Hands what poll found for the loop's descriptors, which followed the backend's first `own`
// ones, back to them; true when one of them is ready.
bool HandBackReadiness(const std::vector<pollfd>& polled, size_t own, std::vector<pollfd>* others);

} // namespace BPrivate
