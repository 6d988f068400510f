// A pointer for the Wayland end-to-end tests, on the compositor's virtual pointer protocol
// (zwlr_virtual_pointer_v1, as sway offers it): moves to a point of the output and clicks
// there, or stays as the seat's pointer for a while, as `wtype -s` does for the keyboard, so
// that a program started meanwhile finds a pointer on its seat from the start.
//
//   wayland_pointer click X Y left|middle|right   output size from wl_output's current mode
//   wayland_pointer stay SECONDS
#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "wlr-virtual-pointer-client-protocol.h"

namespace {

struct State {
	wl_seat* seat = nullptr;
	wl_output* output = nullptr;
	zwlr_virtual_pointer_manager_v1* manager = nullptr;
	int32_t width = 0;
	int32_t height = 0;
};

void
OnMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
	if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
		static_cast<State*>(data)->width = width;
		static_cast<State*>(data)->height = height;
	}
}

void
OnGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
	int32_t)
{
}

void
OnDone(void*, wl_output*)
{
}

void
OnScale(void*, wl_output*, int32_t)
{
}

void
OnText(void*, wl_output*, const char*)
{
}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone, OnScale, OnText, OnText};

void
OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
	State* state = static_cast<State*>(data);
	if (strcmp(interface, wl_seat_interface.name) == 0 && state->seat == nullptr) {
		state->seat = static_cast<wl_seat*>(
			wl_registry_bind(registry, name, &wl_seat_interface, 1));
	} else if (strcmp(interface, wl_output_interface.name) == 0 && state->output == nullptr) {
		state->output = static_cast<wl_output*>(
			wl_registry_bind(registry, name, &wl_output_interface, 1));
		wl_output_add_listener(state->output, &kOutputListener, state);
	} else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
		state->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
			wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
	}
}

void
OnGlobalRemove(void*, wl_registry*, uint32_t)
{
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

uint32_t
Now()
{
	timespec now{};
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

uint32_t
Button(const char* name)
{
	if (strcmp(name, "middle") == 0)
		return BTN_MIDDLE;
	if (strcmp(name, "right") == 0)
		return BTN_RIGHT;
	return BTN_LEFT;
}

} // namespace

int
main(int argc, char** argv)
{
	const bool click = argc == 5 && strcmp(argv[1], "click") == 0;
	const bool stay = argc == 3 && strcmp(argv[1], "stay") == 0;
	if (!click && !stay) {
		fprintf(stderr, "usage: wayland_pointer click X Y left|middle|right | stay SECONDS\n");
		return 2;
	}
	wl_display* display = wl_display_connect(nullptr);
	if (display == nullptr) {
		fprintf(stderr, "wayland_pointer: no compositor\n");
		return 1;
	}
	State state;
	wl_registry* registry = wl_display_get_registry(display);
	wl_registry_add_listener(registry, &kRegistryListener, &state);
	wl_display_roundtrip(display);
	wl_display_roundtrip(display);
	if (state.manager == nullptr || state.width <= 0 || state.height <= 0) {
		fprintf(stderr, "wayland_pointer: no virtual pointer or output\n");
		return 1;
	}
	zwlr_virtual_pointer_v1* pointer =
		zwlr_virtual_pointer_manager_v1_create_virtual_pointer(state.manager, state.seat);
	wl_display_roundtrip(display);
	if (stay) {
		sleep((unsigned)atoi(argv[2]));
	} else {
		const uint32_t x = (uint32_t)atoi(argv[2]);
		const uint32_t y = (uint32_t)atoi(argv[3]);
		const uint32_t button = Button(argv[4]);
		zwlr_virtual_pointer_v1_motion_absolute(pointer, Now(), x, y, (uint32_t)state.width,
			(uint32_t)state.height);
		zwlr_virtual_pointer_v1_frame(pointer);
		zwlr_virtual_pointer_v1_button(pointer, Now(), button, WL_POINTER_BUTTON_STATE_PRESSED);
		zwlr_virtual_pointer_v1_frame(pointer);
		zwlr_virtual_pointer_v1_button(pointer, Now(), button, WL_POINTER_BUTTON_STATE_RELEASED);
		zwlr_virtual_pointer_v1_frame(pointer);
	}
	zwlr_virtual_pointer_v1_destroy(pointer);
	wl_display_roundtrip(display);
	wl_display_disconnect(display);
	return 0;
}
