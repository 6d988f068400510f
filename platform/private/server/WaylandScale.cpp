#include "WaylandScale.h"

#include <algorithm>

namespace BPrivate {

void
WaylandSurfaceScale::Entered(const void* output)
{
	if (!IsOn(output))
		fOutputs.push_back(output);
}

void
WaylandSurfaceScale::Left(const void* output)
{
	fOutputs.erase(std::remove(fOutputs.begin(), fOutputs.end(), output), fOutputs.end());
}

bool
WaylandSurfaceScale::IsOn(const void* output) const
{
	return std::find(fOutputs.begin(), fOutputs.end(), output) != fOutputs.end();
}

DisplayScale
ChooseWaylandScale(const WaylandScaleInputs& inputs)
{
	DisplayScale scale = DisplayScale::Whole(std::max(inputs.largestOutput, (int32)1));
	if (inputs.environmentUnits > 0)
		scale = DisplayScale::FromUnits(inputs.environmentUnits);
	else if (!inputs.windows.empty()) {
		scale = *std::max_element(inputs.windows.begin(), inputs.windows.end(),
			[](DisplayScale a, DisplayScale b) { return a.Units() < b.Units(); });
	}
	if (!inputs.viewporter && !scale.IsWhole())
		scale = DisplayScale::Whole(scale.Ceiling());
	return scale;
}

BufferPlacement
PlaceBuffer(int32 bufferWidth, int32 bufferHeight, int32 logicalWidth, int32 logicalHeight,
	bool viewporter)
{
	BufferPlacement placement;
	if (logicalWidth <= 0 || logicalHeight <= 0)
		return placement;
	// A whole multiple takes a buffer scale, which the compositor shows pixel for pixel on an
	// output of that scale; the viewport is for fractions. The compositor refuses a buffer
	// scale that does not divide the buffer's size.
	const int32 factor = bufferWidth / logicalWidth;
	if (factor >= 1 && bufferWidth == factor * logicalWidth
		&& bufferHeight == factor * logicalHeight) {
		placement.bufferScale = factor;
		return placement;
	}
	if (viewporter) {
		placement.viewport = true;
		placement.width = logicalWidth;
		placement.height = logicalHeight;
	}
	return placement;
}

} // namespace BPrivate
