#include "WaylandScaleSurface.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstdint>

#include "fractional-scale-client-protocol.h"
#include "viewporter-client-protocol.h"

namespace BPrivate {

namespace {

WaylandScaleSurface*
Of(void* data)
{
	return static_cast<WaylandScaleSurface*>(data);
}

void
OnEnter(void* data, wl_surface*, wl_output* output)
{
	Of(data)->Entered(output);
}

void
OnLeave(void* data, wl_surface*, wl_output* output)
{
	Of(data)->Left(output);
}

const wl_surface_listener kSurfaceListener = {OnEnter, OnLeave};

void
OnPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t units)
{
	Of(data)->Preferred(units);
}

const wp_fractional_scale_v1_listener kFractionalListener = {OnPreferredScale};

} // namespace

WaylandScaleSurface::WaylandScaleSurface(WaylandConnection* connection, wl_surface* surface) :
	fConnection(connection),
	fSurface(surface)
{
	wl_surface_add_listener(surface, &kSurfaceListener, this);
	if (connection->fractionalScale != nullptr && connection->viewporter != nullptr) {
		fFractional =
			wp_fractional_scale_manager_v1_get_fractional_scale(connection->fractionalScale,
				surface);
		wp_fractional_scale_v1_add_listener(fFractional, &kFractionalListener, this);
	}
}

WaylandScaleSurface::~WaylandScaleSurface()
{
	if (fFractional != nullptr)
		wp_fractional_scale_v1_destroy(fFractional);
	if (fViewport != nullptr)
		wp_viewport_destroy(fViewport);
}

bool
WaylandScaleSurface::Wanted(DisplayScale* scale) const
{
	const WaylandConnection* connection = fConnection;
	return fState.Wanted(
		[connection](const void* output) {
			return connection->outputScale ? connection->outputScale(output) : 1;
		},
		scale);
}

int32
WaylandScaleSurface::CursorScale() const
{
	DisplayScale scale;
	return Wanted(&scale) ? scale.Ceiling() : fConnection->scale.Ceiling();
}

bool
WaylandScaleSurface::Place(int32 bufferWidth, int32 bufferHeight, int32 logicalWidth,
	int32 logicalHeight)
{
	const BufferPlacement placement = PlaceBuffer(bufferWidth, bufferHeight, logicalWidth,
		logicalHeight, fConnection->viewporter != nullptr);
	if (placement == fPlaced)
		return false;
	if (placement.bufferScale != fPlaced.bufferScale)
		wl_surface_set_buffer_scale(fSurface, placement.bufferScale);
	if (placement.viewport) {
		if (fViewport == nullptr)
			fViewport = wp_viewporter_get_viewport(fConnection->viewporter, fSurface);
		wp_viewport_set_destination(fViewport, placement.width, placement.height);
	} else if (fViewport != nullptr)
		wp_viewport_set_destination(fViewport, -1, -1); // the buffer's own size again
	fPlaced = placement;
	return true;
}

void
WaylandScaleSurface::Entered(wl_output* output)
{
	fState.Entered(output);
	_Changed();
}

void
WaylandScaleSurface::Left(wl_output* output)
{
	fState.Left(output);
	_Changed();
}

void
WaylandScaleSurface::Preferred(uint32 units)
{
	fState.SetPreferred((int32)std::min(units, (uint32)INT32_MAX));
	_Changed();
}

void
WaylandScaleSurface::_Changed()
{
	if (fConnection->scaleWanted)
		fConnection->scaleWanted();
}

} // namespace BPrivate
