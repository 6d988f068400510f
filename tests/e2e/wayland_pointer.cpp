// A pointer for the Wayland end-to-end tests, on wlroots' virtual pointer protocol
// (zwlr_virtual_pointer_v1, as sway offers it). It stays as the seat's pointer while its
// standard input is open, as `wtype -s` does for the keyboard, so that the seat's devices do
// not come and go under the program; each line read is a click:
//
//   X Y WIDTH HEIGHT [left|middle|right]
//
// X, Y in a space of WIDTH x HEIGHT that the caller gives in the same units as X and Y (the
// output's logical size: at scale 2 the mode's pixels are twice as many). It answers "ready"
// once its pointer exists, "ok" once the compositor has seen each click, "bad LINE" for a line
// it does not take, and exits 77 when the compositor offers no virtual pointer.
#include <linux/input-event-codes.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct Globals {
	wl_seat* seat = nullptr;
	zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

struct Click {
	uint32_t x = 0;
	uint32_t y = 0;
	uint32_t width = 0;
	uint32_t height = 0;
	uint32_t button = BTN_LEFT;
};

// A line longer than this is no click; it is reported and dropped.
constexpr size_t kMaxLine = 256;

void
OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
	Globals* globals = static_cast<Globals*>(data);
	if (strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
		globals->seat = static_cast<wl_seat*>(
			wl_registry_bind(registry, name, &wl_seat_interface, 1));
	} else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
		globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
			wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
	}
}

void
OnGlobalRemove(void*, wl_registry*, uint32_t)
{
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// Real times, so that clicks a test makes one after another are not taken for a double click.
uint32_t
Now()
{
	timespec now{};
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

// The next space-separated word of `line`, taken off its front.
std::string_view
NextWord(std::string_view& line)
{
	const size_t start = line.find_first_not_of(' ');
	if (start == std::string_view::npos) {
		line = {};
		return {};
	}
	line.remove_prefix(start);
	const size_t end = std::min(line.find(' '), line.size());
	const std::string_view word = line.substr(0, end);
	line.remove_prefix(end);
	return word;
}

bool
ParseNumber(std::string_view word, uint32_t* value)
{
	const char* end = word.data() + word.size();
	const auto [last, error] = std::from_chars(word.data(), end, *value);
	return !word.empty() && error == std::errc() && last == end;
}

bool
ParseButton(std::string_view word, uint32_t* button)
{
	if (word.empty() || word == "left")
		*button = BTN_LEFT;
	else if (word == "middle")
		*button = BTN_MIDDLE;
	else if (word == "right")
		*button = BTN_RIGHT;
	else
		return false;
	return true;
}

bool
ParseClick(std::string_view line, Click* click)
{
	uint32_t* const numbers[] = {&click->x, &click->y, &click->width, &click->height};
	for (uint32_t* number : numbers) {
		if (!ParseNumber(NextWord(line), number))
			return false;
	}
	// The compositor maps the point into its layout by the extent: an empty one divides by
	// zero, a point outside it lands off the output.
	if (click->width == 0 || click->height == 0 || click->x > click->width
		|| click->y > click->height)
		return false;
	return ParseButton(NextWord(line), &click->button) && NextWord(line).empty();
}

bool
Press(wl_display* display, zwlr_virtual_pointer_v1* pointer, const Click& click)
{
	zwlr_virtual_pointer_v1_motion_absolute(pointer, Now(), click.x, click.y, click.width,
		click.height);
	zwlr_virtual_pointer_v1_frame(pointer);
	zwlr_virtual_pointer_v1_button(pointer, Now(), click.button, WL_POINTER_BUTTON_STATE_PRESSED);
	zwlr_virtual_pointer_v1_frame(pointer);
	zwlr_virtual_pointer_v1_button(pointer, Now(), click.button, WL_POINTER_BUTTON_STATE_RELEASED);
	zwlr_virtual_pointer_v1_frame(pointer);
	return wl_display_roundtrip(display) >= 0;
}

void
Answer(const char* text)
{
	fputs(text, stdout);
	fflush(stdout);
}

// Clicks for each whole line in `pending`, which keeps what follows the last newline.
bool
HandleLines(wl_display* display, zwlr_virtual_pointer_v1* pointer, std::string* pending)
{
	size_t newline;
	while ((newline = pending->find('\n')) != std::string::npos || pending->size() >= kMaxLine) {
		const size_t length = std::min(newline, pending->size());
		const std::string line = pending->substr(0, length);
		pending->erase(0, std::min(length + 1, pending->size()));
		Click click;
		if (!ParseClick(line, &click)) {
			Answer(("bad " + line + "\n").c_str());
			continue;
		}
		if (!Press(display, pointer, click))
			return false;
		Answer("ok\n");
	}
	return true;
}

// Reads lines until standard input ends, meanwhile taking in what the compositor sends, so
// that its events (the seat's, when devices come and go) never pile up unread.
int
Serve(wl_display* display, zwlr_virtual_pointer_v1* pointer)
{
	std::string pending;
	pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {wl_display_get_fd(display), POLLIN, 0}};
	for (;;) {
		if (wl_display_flush(display) < 0 || poll(fds, 2, -1) < 0)
			return 1;
		if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0
			&& wl_display_dispatch(display) < 0) {
			fprintf(stderr, "wayland_pointer: the compositor went away\n");
			return 1;
		}
		if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
			continue;
		char buffer[512];
		const ssize_t count = read(STDIN_FILENO, buffer, sizeof(buffer));
		if (count <= 0)
			return 0;
		pending.append(buffer, (size_t)count);
		if (!HandleLines(display, pointer, &pending))
			return 1;
	}
}

} // namespace

int
main(int argc, char**)
{
	if (argc != 1) {
		fprintf(stderr,
			"usage: wayland_pointer < \"X Y WIDTH HEIGHT [left|middle|right]\" lines\n");
		return 2;
	}
	wl_display* display = wl_display_connect(nullptr);
	if (display == nullptr) {
		fprintf(stderr, "wayland_pointer: no Wayland display\n");
		return 1;
	}
	Globals globals;
	wl_registry* registry = wl_display_get_registry(display);
	wl_registry_add_listener(registry, &kRegistryListener, &globals);
	wl_display_roundtrip(display);
	if (globals.manager == nullptr) {
		fprintf(stderr,
			"wayland_pointer: the compositor offers no zwlr_virtual_pointer_manager_v1\n");
		wl_display_disconnect(display);
		return 77;
	}
	zwlr_virtual_pointer_v1* pointer =
		zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
	if (wl_display_roundtrip(display) < 0) {
		fprintf(stderr, "wayland_pointer: the compositor refused the pointer\n");
		return 1;
	}
	Answer("ready\n");
	const int status = Serve(display, pointer);
	zwlr_virtual_pointer_v1_destroy(pointer);
	wl_display_roundtrip(display);
	wl_display_disconnect(display);
	return status;
}
