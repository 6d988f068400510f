// WaylandClipboardReader: another program's selection coming in through a pipe, read as far
// as it has arrived without waiting, the rest when the loop's poll says there is more. Gives
// up on a writer that sends nothing for the selections' time-out, and on a text larger than
// any field takes, as the X11 backend does.
#pragma once

#include <string>

#include "SupportDefs.h"

namespace BPrivate {

class WaylandClipboardReader {
public:
	enum Status { kReading, kDone, kTooLarge, kFailed, kTimedOut };

	// Owns fd (the pipe's read end, non-blocking) from now on.
	WaylandClipboardReader(int fd, bigtime_t now);
	~WaylandClipboardReader();
	WaylandClipboardReader(const WaylandClipboardReader&) = delete;
	WaylandClipboardReader& operator=(const WaylandClipboardReader&) = delete;

	// Reads what has arrived; the descriptor is closed once it is no longer kReading.
	Status Read(bigtime_t now);
	// Gives up when the writer has been silent too long; the new state.
	Status Expire(bigtime_t now);
	Status State() const { return fStatus; }
	int Descriptor() const { return fFd; }
	bigtime_t Deadline() const { return fDeadline; }
	// The bytes, once kDone.
	std::string Take() { return std::move(fBytes); }

private:
	void _Finish(Status status);

	int fFd;
	std::string fBytes;
	bigtime_t fDeadline;
	Status fStatus = kReading;
};

} // namespace BPrivate
