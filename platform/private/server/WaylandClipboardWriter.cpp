#include "WaylandClipboardWriter.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>

#include "SelectionLimits.h"

namespace BPrivate {

namespace {

// A write to a pipe whose reader has gone raises SIGPIPE, which would end the program: held
// back for this one write and taken away again, so that the write merely fails.
ssize_t
WriteQuietly(int fd, const char* data, size_t size)
{
	sigset_t pipeSignal;
	sigemptyset(&pipeSignal);
	sigaddset(&pipeSignal, SIGPIPE);
	sigset_t previous;
	pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
	sigset_t pending;
	sigemptyset(&pending);
	sigpending(&pending);
	const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
	const ssize_t written = write(fd, data, size);
	const int error = errno;
	if (written < 0 && error == EPIPE && !wasPending) {
		const timespec none{};
		while (sigtimedwait(&pipeSignal, nullptr, &none) < 0 && errno == EINTR) {
		}
	}
	pthread_sigmask(SIG_SETMASK, &previous, nullptr);
	errno = error;
	return written;
}

} // namespace

WaylandClipboardWriter::WaylandClipboardWriter(int fd, std::string bytes, bigtime_t now) :
	fFd(fd),
	fBytes(std::move(bytes)),
	fDeadline(now + kSelectionTimeout)
{
	const int flags = fFd >= 0 ? fcntl(fFd, F_GETFL) : -1;
	if (flags < 0 || fcntl(fFd, F_SETFL, flags | O_NONBLOCK) < 0)
		_Finish(kFailed);
}

WaylandClipboardWriter::~WaylandClipboardWriter()
{
	if (fFd >= 0)
		close(fFd);
}

WaylandClipboardWriter::Status
WaylandClipboardWriter::Write(bigtime_t now)
{
	while (fStatus == kWriting) {
		if (fWritten == fBytes.size()) {
			_Finish(kDone);
			break;
		}
		const ssize_t written = WriteQuietly(fFd, fBytes.data() + fWritten,
			fBytes.size() - fWritten);
		if (written > 0) {
			fWritten += (size_t)written;
			fDeadline = now + kSelectionTimeout;
		} else if (written < 0 && errno == EINTR)
			continue;
		else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
			break; // the loop's poll says when there is room again
		else
			_Finish(kFailed);
	}
	return fStatus;
}

void
WaylandClipboardWriter::_Finish(Status status)
{
	fStatus = status;
	fBytes = std::string();
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
}

} // namespace BPrivate
