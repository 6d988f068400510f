/* A pointer for the end-to-end tests under a wlroots compositor (zwlr_virtual_pointer_v1):
 * it stays while its standard input is open, so that the seat keeps a pointer, and clicks
 * the left button at each "X Y WIDTH HEIGHT" line it reads (X, Y in the compositor's logical
 * space of WIDTH x HEIGHT), answering "ok" once the compositor has seen the click.
 *
 *   wl_click < commands
 */
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

static struct zwlr_virtual_pointer_manager_v1* manager;
static struct wl_seat* seat;

static void
global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
	uint32_t version)
{
	(void)data;
	(void)version;
	if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
		manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
	else if (strcmp(interface, wl_seat_interface.name) == 0 && seat == NULL)
		seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
}

static void
global_remove(void* data, struct wl_registry* registry, uint32_t name)
{
	(void)data;
	(void)registry;
	(void)name;
}

static const struct wl_registry_listener registry_listener = {global, global_remove};

int
main(int argc, char** argv)
{
	(void)argv;
	if (argc != 1) {
		fprintf(stderr, "usage: wl_click < \"X Y WIDTH HEIGHT\" lines\n");
		return 2;
	}
	struct wl_display* display = wl_display_connect(NULL);
	if (display == NULL) {
		fprintf(stderr, "wl_click: no Wayland display\n");
		return 1;
	}
	struct wl_registry* registry = wl_display_get_registry(display);
	wl_registry_add_listener(registry, &registry_listener, NULL);
	wl_display_roundtrip(display);
	if (manager == NULL) {
		fprintf(stderr, "wl_click: the compositor offers no zwlr_virtual_pointer_manager_v1\n");
		return 77;
	}
	struct zwlr_virtual_pointer_v1* pointer =
		zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
	wl_display_roundtrip(display);
	printf("ready\n");
	fflush(stdout);

	uint32_t time = 1;
	unsigned x, y, width, height;
	char line[80];
	while (fgets(line, sizeof(line), stdin) != NULL) {
		if (sscanf(line, "%u %u %u %u", &x, &y, &width, &height) != 4 || x > width || y > height) {
			printf("bad %s", line);
			fflush(stdout);
			continue;
		}
		zwlr_virtual_pointer_v1_motion_absolute(pointer, time++, x, y, width, height);
		zwlr_virtual_pointer_v1_frame(pointer);
		zwlr_virtual_pointer_v1_button(pointer, time++, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
		zwlr_virtual_pointer_v1_frame(pointer);
		zwlr_virtual_pointer_v1_button(pointer, time++, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
		zwlr_virtual_pointer_v1_frame(pointer);
		if (wl_display_roundtrip(display) < 0)
			break;
		printf("ok\n");
		fflush(stdout);
	}
	zwlr_virtual_pointer_v1_destroy(pointer);
	wl_display_roundtrip(display);
	wl_display_disconnect(display);
	return 0;
}
