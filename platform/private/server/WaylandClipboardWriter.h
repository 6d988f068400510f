// WaylandClipboardWriter: a selection's text on its way to another program through the pipe
// the compositor handed over. Written as far as the pipe takes it without waiting, the rest
// when the loop's poll says the pipe has room again; a reader that takes nothing for the
// selections' time-out is given up, and one that closed its end costs nothing but the write.
#pragma once

#include <string>

#include "SupportDefs.h"

namespace BPrivate {

class WaylandClipboardWriter {
public:
	enum Status { kWriting, kDone, kFailed };

	// Owns fd from now on and makes it non-blocking.
	WaylandClipboardWriter(int fd, std::string bytes, bigtime_t now);
	~WaylandClipboardWriter();
	WaylandClipboardWriter(const WaylandClipboardWriter&) = delete;
	WaylandClipboardWriter& operator=(const WaylandClipboardWriter&) = delete;

	// Writes what the pipe takes now; the descriptor is closed once it is no longer kWriting.
	Status Write(bigtime_t now);
	Status State() const { return fStatus; }
	int Descriptor() const { return fFd; }
	// When the reader will have taken nothing for too long.
	bigtime_t Deadline() const { return fDeadline; }
	bool Expired(bigtime_t now) const { return fStatus == kWriting && now >= fDeadline; }

private:
	void _Finish(Status status);

	int fFd;
	std::string fBytes;
	size_t fWritten = 0;
	bigtime_t fDeadline;
	Status fStatus = kWriting;
};

} // namespace BPrivate
