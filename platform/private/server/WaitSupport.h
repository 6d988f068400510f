// What the X11 and Wayland waits share: the wake-up pipe that Wake and the quit signals write
// into, and the arithmetic of one poll over the backend's own descriptors and the loop's.
#pragma once

#include <poll.h>

#include <vector>

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

// The earlier of two waits in microseconds, a negative one standing for none.
int64 EarlierWait(int64 wait, int64 other);

// A wait in microseconds as poll's milliseconds, rounded up so that a timer is never early;
// none stays -1.
int32 PollMilliseconds(int64 wait);

// Hands what poll found for the loop's descriptors, which followed the backend's first `own`
// ones, back to them; true when one of them is ready.
bool HandBackReadiness(const std::vector<pollfd>& polled, size_t own, std::vector<pollfd>* others);

} // namespace BPrivate
