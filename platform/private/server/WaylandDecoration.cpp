#include "WaylandDecoration.h"

#include <wayland-client.h>

#include "InterfaceDefs.h"
#include "xdg-decoration-client-protocol.h"

namespace BPrivate {

namespace {

void
OnDecorationConfigure(void* data, zxdg_toplevel_decoration_v1*, uint32_t mode)
{
	static_cast<WaylandDecoration*>(data)->Configured(mode);
}

const zxdg_toplevel_decoration_v1_listener kDecorationListener = {OnDecorationConfigure};

} // namespace

DecorationPath
ChooseDecorationPath(bool offersXdgDecoration, const std::function<bool()>& openLibdecor)
{
	if (offersXdgDecoration)
		return DecorationPath::kServerSide;
	return openLibdecor && openLibdecor() ? DecorationPath::kLibdecor : DecorationPath::kNone;
}

bool
DecorationState::Titled() const
{
	switch (path) {
		case DecorationPath::kServerSide:
			return configuredServerSide < 0 ? wanted : configuredServerSide == 1;
		case DecorationPath::kLibdecor:
			return wanted;
		case DecorationPath::kNone:
			break;
	}
	return false;
}

bool
PressMovesWindow(bool titled, bool popup, uint32 buttons, uint32 modifiers)
{
	// Alt alone is B_COMMAND_KEY; Ctrl brings B_CONTROL_KEY with it.
	const bool alt = (modifiers & B_COMMAND_KEY) != 0 && (modifiers & B_CONTROL_KEY) == 0;
	return !titled && !popup && buttons == B_PRIMARY_MOUSE_BUTTON && alt;
}

WaylandDecoration::WaylandDecoration(DecorationPath path, bool titled)
{
	fState.path = path;
	fState.wanted = titled;
}

WaylandDecoration::~WaylandDecoration()
{
	Detach();
}

void
WaylandDecoration::Attach(zxdg_decoration_manager_v1* manager, xdg_toplevel* toplevel)
{
	Detach();
	if (fState.path != DecorationPath::kServerSide || manager == nullptr || toplevel == nullptr)
		return;
	fDecoration = zxdg_decoration_manager_v1_get_toplevel_decoration(manager, toplevel);
	zxdg_toplevel_decoration_v1_add_listener(fDecoration, &kDecorationListener, this);
	_AskMode();
}

void
WaylandDecoration::Detach()
{
	if (fDecoration != nullptr) {
		zxdg_toplevel_decoration_v1_destroy(fDecoration);
		fDecoration = nullptr;
	}
	fState.configuredServerSide = -1;
}

void
WaylandDecoration::SetWanted(bool titled)
{
	if (titled == fState.wanted)
		return;
	fState.wanted = titled;
	_AskMode();
}

void
WaylandDecoration::_AskMode()
{
	// Client side without a title means drawing nothing: the program has no title bar of
	// its own to draw.
	if (fDecoration != nullptr) {
		zxdg_toplevel_decoration_v1_set_mode(fDecoration,
			fState.wanted ? ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE
						  : ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE);
	}
}

void
WaylandDecoration::Configured(uint32 mode)
{
	fState.configuredServerSide = mode == ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE ? 1 : 0;
}

} // namespace BPrivate
