// Listens on the root window for startup-notification messages the way a launcher does and
// prints the first complete one (the client messages of one sender joined up to their
// closing zero byte), then exits. Prints "ready" once it listens, so that a script knows
// when to start the program it watches.
//
//   startup_watch SECONDS    exit status 1 when no message came in time
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <poll.h>
#include <string>
#include <time.h>

int
main(int argc, char** argv)
{
	const int seconds = argc > 1 ? atoi(argv[1]) : 10;
	Display* display = XOpenDisplay(nullptr);
	if (display == nullptr) {
		fprintf(stderr, "startup_watch: no display\n");
		return 2;
	}
	const Atom begin = XInternAtom(display, "_NET_STARTUP_INFO_BEGIN", False);
	const Atom more = XInternAtom(display, "_NET_STARTUP_INFO", False);
	// Messages to the root window reach those who listen for property changes on it.
	XSelectInput(display, DefaultRootWindow(display), PropertyChangeMask);
	XSync(display, False);
	printf("ready\n");
	fflush(stdout);

	std::map<Window, std::string> pending;
	const time_t deadline = time(nullptr) + seconds;
	while (time(nullptr) < deadline) {
		if (XPending(display) == 0) {
			pollfd fd = {ConnectionNumber(display), POLLIN, 0};
			poll(&fd, 1, 100);
			continue;
		}
		XEvent event;
		XNextEvent(display, &event);
		if (event.type != ClientMessage || event.xclient.format != 8)
			continue;
		const Atom type = event.xclient.message_type;
		if (type != begin && type != more)
			continue;
		std::string& text = pending[event.xclient.window];
		if (type == begin)
			text.clear();
		const char* bytes = event.xclient.data.b;
		const size_t length = strnlen(bytes, sizeof(event.xclient.data.b));
		text.append(bytes, length);
		if (length < sizeof(event.xclient.data.b)) {
			printf("%s\n", text.c_str());
			XCloseDisplay(display);
			return 0;
		}
	}
	fprintf(stderr, "startup_watch: no message in %d s\n", seconds);
	XCloseDisplay(display);
	return 1;
}
