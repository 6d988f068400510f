// The module's one entry point: the kit opens kambolux-wayland.so with dlopen and asks it
// for its backend (BackendLoader.cpp).
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>

#include "WaylandBackend.h"

#ifndef KAMBO_BACKEND_STAMP
#error "the build sets KAMBO_BACKEND_STAMP"
#endif

extern "C" __attribute__((visibility("default"))) const char*
kambolux_wayland_stamp()
{
	return KAMBO_BACKEND_STAMP;
}

extern "C" __attribute__((visibility("default"))) BPrivate::Backend*
kambolux_wayland_create(const BPrivate::WaylandHost* host)
{
	wl_display* display = wl_display_connect(nullptr);
	if (display == nullptr) {
		const char* name = getenv("WAYLAND_DISPLAY");
		fprintf(stderr, "kit: cannot connect to the Wayland compositor \"%s\"\n",
			name != nullptr ? name : "wayland-0");
		return nullptr;
	}
	auto backend = std::make_unique<BPrivate::WaylandBackend>(display, host);
	if (!backend->IsUsable())
		return nullptr;
	return backend.release();
}
