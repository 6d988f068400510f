#include "WaylandClipboardReader.h"

#include <unistd.h>

#include <cerrno>

#include "SelectionLimits.h"

namespace BPrivate {

namespace {

const size_t kChunk = 64 * 1024;

} // namespace

WaylandClipboardReader::WaylandClipboardReader(int fd, bigtime_t now) :
	fFd(fd),
	fDeadline(now + kSelectionTimeout)
{
	if (fFd < 0)
		fStatus = kFailed;
}

WaylandClipboardReader::~WaylandClipboardReader()
{
	if (fFd >= 0)
		close(fFd);
}

WaylandClipboardReader::Status
WaylandClipboardReader::Read(bigtime_t now)
{
	char chunk[kChunk];
	while (fStatus == kReading) {
		const ssize_t count = read(fFd, chunk, sizeof(chunk));
		if (count > 0) {
			// One byte past the largest text tells it is too large without holding more.
			if (fBytes.size() + (size_t)count > kLargestSelectionText) {
				_Finish(kTooLarge);
				break;
			}
			fBytes.append(chunk, (size_t)count);
			fDeadline = now + kSelectionTimeout;
		} else if (count == 0)
			_Finish(kDone);
		else if (errno == EINTR)
			continue;
		else if (errno == EAGAIN || errno == EWOULDBLOCK)
			break;
		else
			_Finish(kFailed);
	}
	return fStatus;
}

WaylandClipboardReader::Status
WaylandClipboardReader::Expire(bigtime_t now)
{
	if (fStatus == kReading && now >= fDeadline)
		_Finish(kTimedOut);
	return fStatus;
}

void
WaylandClipboardReader::_Finish(Status status)
{
	fStatus = status;
	if (status != kDone)
		fBytes = std::string();
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
}

} // namespace BPrivate
