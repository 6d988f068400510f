// WaylandScaleSurface: what one window's surface is told of its scale and how its buffers
// cover it. It listens to wl_surface.enter/leave and, where offered, to the surface's
// wp_fractional_scale_v1; before each commit it sets the buffer scale, or a wp_viewport whose
// destination is the window's logical size for a buffer at a fractional factor.
#pragma once

#include "DisplayScale.h"
#include "WaylandConnection.h"
#include "WaylandScale.h"

struct wl_output;
struct wl_surface;
struct wp_fractional_scale_v1;
struct wp_viewport;

namespace BPrivate {

class WaylandScaleSurface {
public:
	WaylandScaleSurface(WaylandConnection* connection, wl_surface* surface);
	~WaylandScaleSurface();
	WaylandScaleSurface(const WaylandScaleSurface&) = delete;
	WaylandScaleSurface& operator=(const WaylandScaleSurface&) = delete;

	// The factor the compositor wants for this surface; false before it said.
	bool Wanted(DisplayScale* scale) const;
	// The whole scale a cursor over this surface is drawn at.
	int32 CursorScale() const;
	void OutputGone(const void* output) { fState.Left(output); }

	// Before a commit of a buffer of that size: true when how it covers the window changed
	// (the whole buffer is then damaged).
	bool Place(int32 bufferWidth, int32 bufferHeight, int32 logicalWidth, int32 logicalHeight);

	// From the compositor (WaylandScaleSurface.cpp).
	void Entered(wl_output* output);
	void Left(wl_output* output);
	void Preferred(uint32 units);

private:
	void _Changed();

	WaylandConnection* fConnection;
	wl_surface* fSurface;
	wp_fractional_scale_v1* fFractional = nullptr;
	wp_viewport* fViewport = nullptr;
	WaylandSurfaceScale fState;
	BufferPlacement fPlaced;
};

} // namespace BPrivate
