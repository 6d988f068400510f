// libdecor, opened with dlopen only under a compositor that draws no title bars (no
// xdg-decoration: weston, GNOME): its context on the backend's connection and the frames it
// draws around the toplevels, with their title and close button. libdecor makes each such
// toplevel's xdg_surface and xdg_toplevel itself and tells the window of configures, close
// requests and commits it needs. It does not dispatch: its listeners run in the backend's
// own wait, on the connection's default queue.
#pragma once

#include <map>
#include <memory>

#include "Rect.h"
#include "SupportDefs.h"

struct libdecor;
struct libdecor_frame;
struct wl_display;
struct xdg_surface;
struct xdg_toplevel;

namespace BPrivate {

class WaylandWindow;

class WaylandLibdecor {
public:
	// The library and a context on display (after a round trip, so that frames get their
	// surfaces at once), or nullptr with a message when it cannot be had.
	static std::unique_ptr<WaylandLibdecor> Open(wl_display* display);
	~WaylandLibdecor();
	WaylandLibdecor(const WaylandLibdecor&) = delete;
	WaylandLibdecor& operator=(const WaylandLibdecor&) = delete;

	// A frame around the window's surface, not yet mapped; nullptr when libdecor refuses.
	libdecor_frame* Decorate(WaylandWindow* window);
	// Maps the frame: the first commit, after which the configures come.
	void Map(libdecor_frame* frame);
	void Release(libdecor_frame* frame);

	xdg_surface* XdgSurface(libdecor_frame* frame) const;
	xdg_toplevel* Toplevel(libdecor_frame* frame) const;
	void SetTitle(libdecor_frame* frame, const char* title);
	void SetAppId(libdecor_frame* frame, const char* appId);
	// The content's size, neither resizable nor for full screen; libdecor frames around it.
	void SetFixedSize(libdecor_frame* frame, int32 width, int32 height);
	// Whether the title bar and border are drawn ("without title bar" turns them off).
	void SetVisible(libdecor_frame* frame, bool visible);
	// The content's top left corner in the frame's window geometry.
	BPoint ContentOffset(libdecor_frame* frame) const;

	// From libdecor (WaylandLibdecor.cpp's callbacks).
	void FrameConfigured(libdecor_frame* frame, void* configuration);
	WaylandWindow* WindowOf(libdecor_frame* frame) const;

	struct Api; // the library's functions

private:
	// A frame's window, and whether its title bar shows: libdecor can hide it only once it
	// knows the content's size, from the first configure on.
	struct Frame {
		WaylandWindow* window = nullptr;
		bool configured = false;
		bool visible = true;
	};

	WaylandLibdecor(void* library, std::unique_ptr<Api> api);

	void* fLibrary;
	std::unique_ptr<Api> fApi;
	libdecor* fContext = nullptr;
	std::map<libdecor_frame*, Frame> fFrames;
};

} // namespace BPrivate
