// The scale arithmetic of the Wayland backend, free of protocol objects so that it can be
// tested without a compositor. A surface learns its scale from the compositor in one of two
// ways: a preferred fractional scale (wp_fractional_scale_v1, in 120ths) or, where that is not
// offered, the whole scales of the outputs it is on (wl_surface.enter/leave). The kit draws
// every window at one factor: the largest that a shown window's surface asks for.
#pragma once

#include <algorithm>
#include <vector>

#include "DisplayScale.h"
#include "SupportDefs.h"

namespace BPrivate {

// What one surface has been told. Outputs are opaque keys (the wl_output proxies).
class WaylandSurfaceScale {
public:
	void Entered(const void* output);
	void Left(const void* output);
	// 0 forgets it (the fractional scale object went).
	void SetPreferred(int32 units) { fPreferredUnits = units > 0 ? units : 0; }

	// The factor this surface wants, given each output's whole scale: the preferred
	// fractional one, else the largest scale of the outputs it is on. False when it knows
	// neither (not mapped yet).
	template <typename OutputScale>
	bool Wanted(OutputScale outputScale, DisplayScale* scale) const
	{
		if (fPreferredUnits > 0) {
			*scale = DisplayScale::FromUnits(fPreferredUnits);
			return true;
		}
		int32 largest = 0;
		for (const void* output : fOutputs)
			largest = std::max(largest, (int32)outputScale(output));
		if (largest <= 0)
			return false;
		*scale = DisplayScale::Whole(largest);
		return true;
	}
	bool IsOn(const void* output) const;

private:
	std::vector<const void*> fOutputs;
	int32 fPreferredUnits = 0;
};

struct WaylandScaleInputs {
	int32 environmentUnits = 0;        // asked for in the environment, 120ths; 0: not asked
	bool viewporter = false;           // buffers may be of any size (wp_viewporter)
	std::vector<DisplayScale> windows; // what the shown windows want
	int32 largestOutput = 1;           // the outputs' largest whole scale
};

// The kit's factor: the environment's, else the largest a window wants, else the outputs'
// largest. Without a viewport a buffer can only be a whole multiple of the window: a fraction
// is then taken up to the next whole factor (the compositor shrinks it).
DisplayScale ChooseWaylandScale(const WaylandScaleInputs& inputs);

// How a buffer covers its window: a whole multiple of the window's logical size through the
// buffer scale, any other size through a viewport stretched to the logical size (buffer scale
// 1). Without a viewport such a buffer is shown at buffer scale 1 rather than refused.
struct BufferPlacement {
	int32 bufferScale = 1;
	bool viewport = false;
	int32 width = 0; // the viewport's destination (logical size)
	int32 height = 0;

	bool operator==(const BufferPlacement& other) const
	{
		return bufferScale == other.bufferScale && viewport == other.viewport
			&& width == other.width && height == other.height;
	}
	bool operator!=(const BufferPlacement& other) const { return !(*this == other); }
};

BufferPlacement PlaceBuffer(int32 bufferWidth, int32 bufferHeight, int32 logicalWidth,
	int32 logicalHeight, bool viewporter);

} // namespace BPrivate
