#include "WaylandLibdecor.h"

#include <dlfcn.h>
#include <libdecor.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdio>

#include "WaylandWindow.h"

namespace BPrivate {

// The library's functions the backend calls, found by name in the opened library.
struct WaylandLibdecor::Api {
	decltype(&libdecor_new) newContext = nullptr;
	decltype(&libdecor_unref) unref = nullptr;
	decltype(&libdecor_decorate) decorate = nullptr;
	decltype(&libdecor_frame_unref) frameUnref = nullptr;
	decltype(&libdecor_frame_map) map = nullptr;
	decltype(&libdecor_frame_get_xdg_surface) xdgSurface = nullptr;
	decltype(&libdecor_frame_get_xdg_toplevel) toplevel = nullptr;
	decltype(&libdecor_frame_set_title) setTitle = nullptr;
	decltype(&libdecor_frame_set_app_id) setAppId = nullptr;
	decltype(&libdecor_frame_set_min_content_size) setMinSize = nullptr;
	decltype(&libdecor_frame_set_max_content_size) setMaxSize = nullptr;
	decltype(&libdecor_frame_unset_capabilities) unsetCapabilities = nullptr;
	decltype(&libdecor_frame_set_visibility) setVisibility = nullptr;
	decltype(&libdecor_frame_translate_coordinate) translate = nullptr;
	decltype(&libdecor_frame_commit) commit = nullptr;
	decltype(&libdecor_state_new) newState = nullptr;
	decltype(&libdecor_state_free) freeState = nullptr;
	decltype(&libdecor_configuration_get_window_state) windowState = nullptr;
};

namespace {

const char* const kLibraryName = "libdecor-0.so.0";

template <typename Function>
bool
Find(void* library, const char* name, Function* function)
{
	*function = reinterpret_cast<Function>(dlsym(library, name));
	return *function != nullptr;
}

bool
FindAll(void* library, WaylandLibdecor::Api* api)
{
	return Find(library, "libdecor_new", &api->newContext)
		&& Find(library, "libdecor_unref", &api->unref)
		&& Find(library, "libdecor_decorate", &api->decorate)
		&& Find(library, "libdecor_frame_unref", &api->frameUnref)
		&& Find(library, "libdecor_frame_map", &api->map)
		&& Find(library, "libdecor_frame_get_xdg_surface", &api->xdgSurface)
		&& Find(library, "libdecor_frame_get_xdg_toplevel", &api->toplevel)
		&& Find(library, "libdecor_frame_set_title", &api->setTitle)
		&& Find(library, "libdecor_frame_set_app_id", &api->setAppId)
		&& Find(library, "libdecor_frame_set_min_content_size", &api->setMinSize)
		&& Find(library, "libdecor_frame_set_max_content_size", &api->setMaxSize)
		&& Find(library, "libdecor_frame_unset_capabilities", &api->unsetCapabilities)
		&& Find(library, "libdecor_frame_set_visibility", &api->setVisibility)
		&& Find(library, "libdecor_frame_translate_coordinate", &api->translate)
		&& Find(library, "libdecor_frame_commit", &api->commit)
		&& Find(library, "libdecor_state_new", &api->newState)
		&& Find(library, "libdecor_state_free", &api->freeState)
		&& Find(library, "libdecor_configuration_get_window_state", &api->windowState);
}

void
OnError(libdecor*, libdecor_error, const char* message)
{
	fprintf(stderr, "kit: libdecor: %s\n", message != nullptr ? message : "error");
}

libdecor_interface gInterface = [] {
	libdecor_interface callbacks{};
	callbacks.error = OnError;
	return callbacks;
}();

WaylandLibdecor*
Of(void* data)
{
	return static_cast<WaylandLibdecor*>(data);
}

void
OnConfigure(libdecor_frame* frame, libdecor_configuration* configuration, void* data)
{
	Of(data)->FrameConfigured(frame, configuration);
}

void
OnClose(libdecor_frame* frame, void* data)
{
	if (WaylandWindow* window = Of(data)->WindowOf(frame))
		window->CloseRequested();
}

void
OnCommit(libdecor_frame* frame, void* data)
{
	if (WaylandWindow* window = Of(data)->WindowOf(frame))
		window->CommitRequested();
}

void
OnDismissPopup(libdecor_frame* frame, const char*, void* data)
{
	if (WaylandWindow* window = Of(data)->WindowOf(frame))
		window->DismissPopups();
}

libdecor_frame_interface gFrameInterface = [] {
	libdecor_frame_interface callbacks{};
	callbacks.configure = OnConfigure;
	callbacks.close = OnClose;
	callbacks.commit = OnCommit;
	callbacks.dismiss_popup = OnDismissPopup;
	return callbacks;
}();

} // namespace

std::unique_ptr<WaylandLibdecor>
WaylandLibdecor::Open(wl_display* display)
{
	void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
	if (library == nullptr) {
		fprintf(stderr,
			"kit: the compositor draws no title bars and %s is missing: windows "
			"have none\n",
			kLibraryName);
		return nullptr;
	}
	auto api = std::make_unique<Api>();
	if (!FindAll(library, api.get())) {
		fprintf(stderr, "kit: %s lacks what the program needs: windows have no title bar\n",
			kLibraryName);
		dlclose(library);
		return nullptr;
	}
	std::unique_ptr<WaylandLibdecor> opened(new WaylandLibdecor(library, std::move(api)));
	opened->fContext = opened->fApi->newContext(display, &gInterface);
	if (opened->fContext == nullptr)
		return nullptr;
	// libdecor binds its globals in its own registry; once they are there it makes a frame's
	// shell surface as the frame is made.
	wl_display_roundtrip(display);
	return opened;
}

WaylandLibdecor::WaylandLibdecor(void* library, std::unique_ptr<Api> api) :
	fLibrary(library),
	fApi(std::move(api))
{
}

WaylandLibdecor::~WaylandLibdecor()
{
	for (auto& [frame, state] : fFrames)
		fApi->frameUnref(frame);
	if (fContext != nullptr)
		fApi->unref(fContext);
	// The library stays loaded: its plugin brought libraries (GLib, Pango, D-Bus) that are
	// not made to be unloaded.
}

libdecor_frame*
WaylandLibdecor::Decorate(WaylandWindow* window)
{
	libdecor_frame* frame = fApi->decorate(fContext, window->Surface(), &gFrameInterface, this);
	if (frame != nullptr)
		fFrames[frame].window = window;
	return frame;
}

void
WaylandLibdecor::Map(libdecor_frame* frame)
{
	fApi->map(frame);
}

void
WaylandLibdecor::Release(libdecor_frame* frame)
{
	if (fFrames.erase(frame) > 0)
		fApi->frameUnref(frame);
}

xdg_surface*
WaylandLibdecor::XdgSurface(libdecor_frame* frame) const
{
	return fApi->xdgSurface(frame);
}

xdg_toplevel*
WaylandLibdecor::Toplevel(libdecor_frame* frame) const
{
	return fApi->toplevel(frame);
}

void
WaylandLibdecor::SetTitle(libdecor_frame* frame, const char* title)
{
	fApi->setTitle(frame, title);
}

void
WaylandLibdecor::SetAppId(libdecor_frame* frame, const char* appId)
{
	fApi->setAppId(frame, appId);
}

void
WaylandLibdecor::SetFixedSize(libdecor_frame* frame, int32 width, int32 height)
{
	fApi->setMinSize(frame, width, height);
	fApi->setMaxSize(frame, width, height);
	fApi->unsetCapabilities(frame,
		(libdecor_capabilities)(LIBDECOR_ACTION_RESIZE | LIBDECOR_ACTION_FULLSCREEN));
}

void
WaylandLibdecor::SetVisible(libdecor_frame* frame, bool visible)
{
	auto found = fFrames.find(frame);
	if (found == fFrames.end())
		return;
	found->second.visible = visible;
	// Before that, libdecor would draw a frame around nothing (and fail).
	if (found->second.configured)
		fApi->setVisibility(frame, visible);
}

BPoint
WaylandLibdecor::ContentOffset(libdecor_frame* frame) const
{
	int x = 0;
	int y = 0;
	fApi->translate(frame, 0, 0, &x, &y);
	return BPoint((float)x, (float)y);
}

WaylandWindow*
WaylandLibdecor::WindowOf(libdecor_frame* frame) const
{
	auto found = fFrames.find(frame);
	return found != fFrames.end() ? found->second.window : nullptr;
}

void
WaylandLibdecor::FrameConfigured(libdecor_frame* frame, void* configuration)
{
	auto found = fFrames.find(frame);
	if (found == fFrames.end())
		return;
	Frame& state = found->second;
	WaylandWindow* window = state.window;
	auto* given = static_cast<libdecor_configuration*>(configuration);
	libdecor_window_state windowState = LIBDECOR_WINDOW_STATE_NONE;
	const bool activated = fApi->windowState(given, &windowState)
		&& (windowState & LIBDECOR_WINDOW_STATE_ACTIVE) != 0;
	// The size is the program's, whatever the compositor suggests: libdecor puts its frame
	// around it and acknowledges the configure.
	const BRect content = window->Frame();
	libdecor_state* size = fApi->newState(std::max((int32)content.Width() + 1, (int32)1),
		std::max((int32)content.Height() + 1, (int32)1));
	fApi->commit(frame, size, given);
	fApi->freeState(size);
	if (!state.configured) {
		state.configured = true;
		if (!state.visible)
			fApi->setVisibility(frame, false);
	}
	window->FrameConfigured(activated);
}

} // namespace BPrivate
