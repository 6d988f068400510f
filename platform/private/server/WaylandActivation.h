// WaylandActivation: startup activation through xdg_activation_v1. The launcher's token
// (XDG_ACTIVATION_TOKEN) is taken out of the environment as the backend starts, so that
// nothing the program launches later inherits it, and hands the focus to the first window
// once it is on the screen; used once. A compositor without the protocol, or a start without
// a token, leaves the focus to the compositor as before.
#pragma once

#include <string>

#include "SupportDefs.h"

struct wl_registry;
struct wl_surface;
struct xdg_activation_v1;

namespace BPrivate {

class WaylandActivation {
public:
	// Reads the launcher's token and removes it from the environment.
	WaylandActivation();
	~WaylandActivation();
	WaylandActivation(const WaylandActivation&) = delete;
	WaylandActivation& operator=(const WaylandActivation&) = delete;

	// XDG_ACTIVATION_TOKEN's value (empty when there is none), gone from the environment.
	static std::string TakeStartupToken();

	static bool Binds(const char* interface);
	void Bind(wl_registry* registry, uint32 name, uint32 version);
	// The first window's first frame is up: it asks for the focus with the token.
	void WindowShown(wl_surface* surface);

private:
	std::string fToken;
	xdg_activation_v1* fActivation = nullptr;
};

} // namespace BPrivate
