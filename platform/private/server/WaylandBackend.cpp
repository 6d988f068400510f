// The Wayland backend, on libwayland-client, loaded as a module only in a Wayland session.
// Its other parts: WaylandWait.cpp (the blocking wait), WaylandWindow (one surface),
// WaylandScaleSurface and WaylandOutputs (what decides the scale),
// WaylandBuffers (frames in shared memory), WaylandSeat (pointer, cursor and keyboard),
// WaylandKeyboard (keys through xkbcommon), WaylandDecoration and WaylandLibdecor (title
// bars), WaylandEntry.cpp (the module's entry point).
//
// Implements:
//  - windows as xdg_toplevel surfaces with app_id "kambolux" and their titles, at a fixed
//    size (equal minimum and maximum), tied to their parent window (set_parent)
//  - pop-up menus as xdg_popup surfaces, placed by a positioner anchored where the kit opened
//    them in their parent (submenus in the menu that opened them), slid or flipped by the
//    compositor to stay on the output, with a grab taken with the serial of the press that
//    opened them; dismissed by the compositor, they are a close request
//  - frames in wl_shm (ARGB8888 as the kit paints them), two buffers normally, one commit per
//    frame callback (later frames wait for it and replace each other), damage for the rows
//    that changed; a frame presented before the first configure waits for it
//  - keys from the compositor's keymap (xkbcommon): editing, cursor and function keys through
//    the X11 backend's tables; Ctrl or Alt with a key as a shortcut; text one UTF-8 character
//    per event, with dead keys and Compose (xkb_compose, the locale's table read once the
//    first frame is up); repeat at the compositor's rate and delay, due times folded into
//    the wait; keys held when a window gets the keyboard are no presses; key-up for what went
//    down
//  - pointer motion, buttons (held after the event, click counts), the cursor from the
//    theme (XCURSOR_THEME, XCURSOR_SIZE); activation from the toplevel's activated state;
//    close requests
//  - sleeping in poll on the connection (wl_display_prepare_read), a wake-up pipe (Wake,
//    signals) and the loop's other descriptors until an event, one of those, the next timer
//    or key repeat; SIGINT, SIGTERM and SIGHUP as a quit request; a lost compositor is a quit
//    request and ends the program with status 1 once it has saved
//  - the scale (WaylandScale.h): KAMBOLUX_SCALE or GDK_SCALE, else the largest that a shown
//    window's surface wants: the compositor's preferred fractional scale
//    (wp_fractional_scale_v1, buffers stretched by a wp_viewport), else the largest whole
//    scale of the outputs it is on (wl_surface.enter/leave, wl_surface.set_buffer_scale);
//    before a window is placed, the outputs' largest. A change while running (an output's
//    scale, a window moved to another output, an output gone) redraws every window at the
//    new factor; pop-ups follow it; the cursor at the scale of the surface it enters
//  - the clipboard (wl_data_device) and, where the compositor offers it, the primary
//    selection (zwp_primary_selection_v1) both ways: offered as UTF-8 and the usual text
//    types, written to each reader's pipe and read from the owner's without blocking, served
//    by the wait's poll, with the X11 backend's time-out and size cap (WaylandClipboard,
//    WaylandPrimary, WaylandClipboardSelection); set with the last input event's serial
//  - startup activation: the launcher's XDG_ACTIVATION_TOKEN taken out of the environment
//    at start (nothing launched inherits it) and given with xdg_activation_v1 to the main
//    window once its first frame is up (WaylandActivation)
//  - web addresses handed to the desktop's opener, without an activation token of their own
//
//  - title bars from the compositor through xdg-decoration where it offers that (server
//    side, or client side and nothing drawn without title bar, changed on a mapped window;
//    the compositor's configure says what the window has); elsewhere drawn by libdecor,
//    opened with dlopen only then (WaylandLibdecor), its frame hidden without title bar; a
//    window without title bar moves with Alt and the primary button (xdg_toplevel.move)
//
// Does not implement (yet):
//  - libdecor's title bar where the compositor offers xdg-decoration but insists on client
//    side: the window then has none, and says so
//  - window positions (Wayland has none: the kit's own are kept as they were set), always on
//    top, modal hints
//  - wl_surface.preferred_buffer_scale (libwayland 1.22; the outputs' scales serve), the
//    window icon
//  - mouse wheel, drag and drop, an input method's composition

#include "WaylandBackend.h"

#include <sys/wait.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "DisplayScale.h"
#include "WaylandActivation.h"
#include "WaylandClipboard.h"
#include "WaylandLibdecor.h"
#include "WaylandOutputs.h"
#include "WaylandPrimary.h"
#include "WaylandScale.h"
#include "WaylandSeat.h"
#include "WaylandWindow.h"
#include "fractional-scale-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "xdg-decoration-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace BPrivate {

namespace {

// A screen size to place windows in when no output said its own.
const int32 kFallbackWidth = 1920;
const int32 kFallbackHeight = 1080;

void
OnGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version)
{
	static_cast<WaylandBackend*>(data)->GlobalAdded(name, interface, version);
}

void
OnGlobalRemove(void* data, wl_registry*, uint32_t name)
{
	static_cast<WaylandBackend*>(data)->GlobalRemoved(name);
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void
OnPing(void*, xdg_wm_base* base, uint32_t serial)
{
	xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener kWmBaseListener = {OnPing};

template <typename T>
T*
Bind(wl_registry* registry, uint32 name, const wl_interface* interface, uint32 offered,
	uint32 wanted)
{
	return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

} // namespace

WaylandBackend::WaylandBackend(wl_display* display, const WaylandHost* host) : fHost(host)
{
	fConnection.display = display;
	fConnection.pending = &fPending;
	fConnection.findWindow = [this](uint32 id) -> WaylandWindow* {
		auto found = fWindows.find(id);
		return found != fWindows.end() ? found->second : nullptr;
	};
	fConnection.frameShown = [this]() { fFrameShown = true; };
	fConnection.hidePopupsOf = [this](const WaylandWindow* parent) {
		std::vector<WaylandWindow*> popups;
		for (const auto& [id, window] : fWindows) {
			if (window->IsPopup() && window->Parent() == parent->Id())
				popups.push_back(window);
		}
		// Each one's own pop-ups go first, through its Hide.
		for (WaylandWindow* popup : popups)
			popup->Hide();
	};
	fOutputs = std::make_unique<WaylandOutputs>([this]() { _UpdateScale(); });
	fConnection.outputScale = [this](const void* output) { return fOutputs->ScaleOf(output); };
	fConnection.scaleWanted = [this]() { _UpdateScale(); };
	fConnection.dismissPopupsOf = [this](const WaylandWindow* parent) {
		for (const auto& [id, window] : fWindows) {
			if (window->IsPopup() && window->Parent() == parent->Id())
				window->PopupDone();
		}
	};
	fSeat = std::make_unique<WaylandSeat>(&fConnection,
		[this](wl_surface* surface) { return _WindowOf(surface); });
	fClipboard = std::make_unique<WaylandClipboard>(&fConnection);
	fPrimary = std::make_unique<WaylandPrimary>(&fConnection);
	// The launcher's token is ours alone: gone from the environment before anything starts.
	fActivation = std::make_unique<WaylandActivation>();
	fConnection.registry = wl_display_get_registry(display);
	wl_registry_add_listener(fConnection.registry, &kRegistryListener, this);
	// The globals, then what the bound ones say of themselves (outputs' modes and scales).
	wl_display_roundtrip(display);
	wl_display_roundtrip(display);

	fEnvironmentUnits = fHost != nullptr && fHost->environmentScale != nullptr
		? fHost->environmentScale()
		: 0;
	fScaleKnown = true;
	_UpdateScale();
	fConnection.decorationPath = ChooseDecorationPath(fConnection.decorationManager != nullptr,
		[this, display]() {
			fLibdecor = WaylandLibdecor::Open(display);
			return fLibdecor != nullptr;
		});
	fConnection.libdecor = fLibdecor.get();
}

WaylandBackend::~WaylandBackend()
{
	_ReapChildren();
	for (auto& [id, window] : fWindows)
		window->Forgotten();
	fWindows.clear();
	fClipboard.reset();
	fPrimary.reset();
	fActivation.reset();
	fSeat.reset();
	fConnection.libdecor = nullptr;
	fLibdecor.reset();
	fOutputs.reset();
	if (fConnection.decorationManager != nullptr)
		zxdg_decoration_manager_v1_destroy(fConnection.decorationManager);
	if (fConnection.fractionalScale != nullptr)
		wp_fractional_scale_manager_v1_destroy(fConnection.fractionalScale);
	if (fConnection.viewporter != nullptr)
		wp_viewporter_destroy(fConnection.viewporter);
	if (fConnection.seat != nullptr)
		wl_seat_destroy(fConnection.seat);
	if (fConnection.wmBase != nullptr)
		xdg_wm_base_destroy(fConnection.wmBase);
	if (fConnection.shm != nullptr)
		wl_shm_destroy(fConnection.shm);
	if (fConnection.compositor != nullptr)
		wl_compositor_destroy(fConnection.compositor);
	wl_registry_destroy(fConnection.registry);
	wl_display_disconnect(fConnection.display);
}

bool
WaylandBackend::IsUsable() const
{
	const char* missing = fConnection.compositor == nullptr ? "wl_compositor"
		: fConnection.shm == nullptr                        ? "wl_shm"
		: fConnection.wmBase == nullptr                     ? "xdg_wm_base"
															: nullptr;
	if (missing != nullptr)
		fprintf(stderr, "kit: the Wayland compositor does not offer %s\n", missing);
	return missing == nullptr;
}

void
WaylandBackend::GlobalAdded(uint32 name, const char* interface, uint32 version)
{
	wl_registry* registry = fConnection.registry;
	const std::string which = interface;
	if (which == wl_compositor_interface.name && fConnection.compositor == nullptr) {
		fConnection.compositor = Bind<wl_compositor>(registry, name, &wl_compositor_interface,
			version, 4);
	} else if (which == wl_shm_interface.name && fConnection.shm == nullptr)
		fConnection.shm = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
	else if (which == xdg_wm_base_interface.name && fConnection.wmBase == nullptr) {
		fConnection.wmBase = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 5);
		xdg_wm_base_add_listener(fConnection.wmBase, &kWmBaseListener, this);
	} else if (which == zxdg_decoration_manager_v1_interface.name
		&& fConnection.decorationManager == nullptr) {
		fConnection.decorationManager = Bind<zxdg_decoration_manager_v1>(registry, name,
			&zxdg_decoration_manager_v1_interface, version, 1);
	} else if (which == wl_seat_interface.name && fConnection.seat == nullptr)
		fSeat->Attach(Bind<wl_seat>(registry, name, &wl_seat_interface, version, 5));
	else if (which == wl_output_interface.name)
		fOutputs->Add(registry, name, version);
	else if (which == wp_viewporter_interface.name && fConnection.viewporter == nullptr) {
		fConnection.viewporter = Bind<wp_viewporter>(registry, name, &wp_viewporter_interface,
			version, 1);
	} else if (which == wp_fractional_scale_manager_v1_interface.name
		&& fConnection.fractionalScale == nullptr) {
		fConnection.fractionalScale = Bind<wp_fractional_scale_manager_v1>(registry, name,
			&wp_fractional_scale_manager_v1_interface, version, 1);
	} else if (WaylandClipboard::Binds(interface))
		fClipboard->Bind(registry, name, version);
	else if (WaylandPrimary::Binds(interface))
		fPrimary->Bind(registry, name, version);
	else if (WaylandActivation::Binds(interface))
		fActivation->Bind(registry, name, version);
}

void
WaylandBackend::GlobalRemoved(uint32 name)
{
	const bool output = fOutputs->Remove(name, [this](const void* gone) {
		for (auto& [id, window] : fWindows) {
			if (WaylandScaleSurface* scale = window->ScaleSurface())
				scale->OutputGone(gone);
		}
	});
	if (output)
		_UpdateScale();
}

void
WaylandBackend::_UpdateScale()
{
	if (!fScaleKnown)
		return; // still in the first round trips
	WaylandScaleInputs inputs;
	inputs.environmentUnits = fEnvironmentUnits;
	inputs.viewporter = fConnection.viewporter != nullptr;
	inputs.largestOutput = fOutputs->Largest();
	// Pop-ups are drawn at their parent's factor and do not choose it.
	for (const auto& [id, window] : fWindows) {
		DisplayScale wanted;
		if (!window->IsPopup() && window->IsShown() && window->ScaleSurface() != nullptr
			&& window->ScaleSurface()->Wanted(&wanted))
			inputs.windows.push_back(wanted);
	}
	const DisplayScale scale = ChooseWaylandScale(inputs);
	if (scale == fConnection.scale)
		return;
	fConnection.scale = scale;
	// Every window draws again at the new factor.
	for (const auto& [id, window] : fWindows) {
		BackendEvent event;
		event.type = BackendEvent::kExposed;
		event.window = id;
		event.where = window->Frame().LeftTop();
		fPending.push_back(event);
	}
}

std::unique_ptr<BackendWindow>
WaylandBackend::CreateWindow(const WindowSpec& spec)
{
	if (fConnection.lost)
		return nullptr;
	auto window = std::make_unique<WaylandWindow>(&fConnection, fNextId++, spec,
		[this](WaylandWindow* gone) { _WindowGone(gone); });
	if (!window->IsValid()) {
		fprintf(stderr, "kit: cannot create a window\n");
		return nullptr;
	}
	fWindows[window->Id()] = window.get();
	return window;
}

void
WaylandBackend::_WindowGone(WaylandWindow* window)
{
	fSeat->Forget(window);
	fWindows.erase(window->Id());
}

WaylandWindow*
WaylandBackend::_WindowOf(wl_surface* surface) const
{
	for (const auto& [id, window] : fWindows) {
		if (window->Surface() == surface)
			return window;
	}
	return nullptr;
}

BRect
WaylandBackend::ScreenFrame() const
{
	int32 width = kFallbackWidth;
	int32 height = kFallbackHeight;
	int32 scale = 1;
	if (fOutputs->FirstMode(&width, &height, &scale)) {
		width /= scale;
		height /= scale;
	}
	return BRect(0, 0, (float)width - 1, (float)height - 1);
}

uint32
WaylandBackend::MouseButtons() const
{
	return fSeat->Buttons();
}

BPoint
WaylandBackend::MouseLocation() const
{
	return fSeat->Location();
}

status_t
WaylandBackend::OpenURL(const char* url)
{
	if (fHost == nullptr || fHost->spawnURLOpener == nullptr)
		return B_ERROR;
	pid_t child = -1;
	const status_t status = fHost->spawnURLOpener(url, &child);
	if (status == B_OK && child > 0)
		fChildren.push_back(child);
	return status;
}

void
WaylandBackend::_ReapChildren()
{
	fChildren.erase(std::remove_if(fChildren.begin(), fChildren.end(),
						[](pid_t child) { return waitpid(child, nullptr, WNOHANG) != 0; }),
		fChildren.end());
}

} // namespace BPrivate
