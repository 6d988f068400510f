#include "WaylandActivation.h"

#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

#include "xdg-activation-client-protocol.h"

namespace BPrivate {

WaylandActivation::WaylandActivation() : fToken(TakeStartupToken())
{
}

WaylandActivation::~WaylandActivation()
{
	if (fActivation != nullptr)
		xdg_activation_v1_destroy(fActivation);
}

std::string
WaylandActivation::TakeStartupToken()
{
	const char* value = getenv("XDG_ACTIVATION_TOKEN");
	std::string token = value != nullptr ? value : "";
	unsetenv("XDG_ACTIVATION_TOKEN");
	return token;
}

bool
WaylandActivation::Binds(const char* interface)
{
	return strcmp(interface, xdg_activation_v1_interface.name) == 0;
}

void
WaylandActivation::Bind(wl_registry* registry, uint32 name, uint32 version)
{
	(void)version; // version 1 is all there is
	if (fActivation != nullptr || fToken.empty())
		return;
	fActivation = static_cast<xdg_activation_v1*>(
		wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void
WaylandActivation::WindowShown(wl_surface* surface)
{
	if (fActivation == nullptr || fToken.empty() || surface == nullptr)
		return;
	xdg_activation_v1_activate(fActivation, fToken.c_str(), surface);
	// A token is good for one activation.
	fToken.clear();
}

} // namespace BPrivate
