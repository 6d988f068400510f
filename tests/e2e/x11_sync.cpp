// A round trip through another client's event loop, for the end-to-end scripts: sends
// _NET_WM_PING to one of its windows and waits for the answer on the root window. A client
// reads its events in order, so the answer means it has read everything the server had for it
// before the ping (keys, pointer motion, the map of a menu and the grab it takes then). A
// second ping, sent after the first answer, comes back only after the client went once more
// through its loop, where it handled what it had read and drew its frames.
//
//   x11_sync WINDOW [ROUNDS [SECONDS]]   exit status 1 when an answer did not come in time
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <time.h>

namespace {

long
NowMilliseconds()
{
	timespec now{};
	clock_gettime(CLOCK_MONOTONIC, &now);
	return now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

// Sends one ping marked with serial and waits until it comes back or the deadline passes.
bool
Ping(Display* display, Window window, long serial, long deadline)
{
	const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
	const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
	XEvent event{};
	event.xclient.type = ClientMessage;
	event.xclient.window = window;
	event.xclient.message_type = protocols;
	event.xclient.format = 32;
	event.xclient.data.l[0] = (long)ping;
	// The timestamp field carries our mark: a window manager's own pings carry real times.
	event.xclient.data.l[1] = serial;
	event.xclient.data.l[2] = (long)window;
	XSendEvent(display, window, False, NoEventMask, &event);
	XFlush(display);
	while (NowMilliseconds() < deadline) {
		if (XPending(display) == 0) {
			pollfd fd = {ConnectionNumber(display), POLLIN, 0};
			poll(&fd, 1, 50);
			continue;
		}
		XEvent answer;
		XNextEvent(display, &answer);
		if (answer.type == ClientMessage && answer.xclient.message_type == protocols
			&& (Atom)answer.xclient.data.l[0] == ping && answer.xclient.data.l[1] == serial
			&& (Window)answer.xclient.data.l[2] == window)
			return true;
	}
	return false;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc < 2) {
		fprintf(stderr, "usage: x11_sync WINDOW [ROUNDS [SECONDS]]\n");
		return 2;
	}
	const Window window = strtoul(argv[1], nullptr, 0);
	const int rounds = argc > 2 ? atoi(argv[2]) : 2;
	const int seconds = argc > 3 ? atoi(argv[3]) : 5;
	Display* display = XOpenDisplay(nullptr);
	if (display == nullptr) {
		fprintf(stderr, "x11_sync: no display\n");
		return 2;
	}
	// Answers go to the root window for those who listen to its children's changes.
	XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
	const long deadline = NowMilliseconds() + seconds * 1000L;
	// Marks that no earlier run's late answer can match.
	const long base = (NowMilliseconds() & 0xffffff) << 4;
	for (int round = 0; round < rounds; round++) {
		if (!Ping(display, window, base + round, deadline)) {
			fprintf(stderr, "x11_sync: no answer from 0x%lx within %d s\n", window, seconds);
			XCloseDisplay(display);
			return 1;
		}
	}
	XCloseDisplay(display);
	return 0;
}
