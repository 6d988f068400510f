#include "X11Scale.h"

#include <X11/Xresource.h>

#include <algorithm>
#include <cmath>

namespace BPrivate {

namespace {

// X's coordinates are 16 bits; anything beyond is clipped there rather than wrapped.
int32
Clamped(int64 value)
{
	return (int32)std::clamp<int64>(value, -(int64(1) << 30), int64(1) << 30);
}

} // namespace

DisplayScale
X11DisplayScale(Display* display)
{
	// Xlib fetched RESOURCE_MANAGER with the connection: reading it here costs no round trip.
	return DisplayScaleFromEnvironment(
		display != nullptr ? XResourceManagerString(display) : nullptr);
}

int32
DeviceFromLayout(float layout, DisplayScale scale)
{
	return Clamped(scale.ToDevice((int64)std::floor(std::clamp(layout, -1e9f, 1e9f))));
}

int32
DeviceLengthFromLayout(int32 length, DisplayScale scale)
{
	return Clamped(scale.ToDevice(length));
}

BPoint
LayoutFromDevice(int x, int y, DisplayScale scale)
{
	return BPoint(DeviceToLayout((float)x, scale), DeviceToLayout((float)y, scale));
}

int32
LayoutLengthFromDevice(int32 device, DisplayScale scale)
{
	return Clamped(scale.LayoutLengthCovering(device));
}

FrameExtents
LayoutExtentsFromDevice(const FrameExtents& device, DisplayScale scale)
{
	FrameExtents layout;
	layout.left = LayoutLengthFromDevice(device.left, scale);
	layout.top = LayoutLengthFromDevice(device.top, scale);
	layout.right = LayoutLengthFromDevice(device.right, scale);
	layout.bottom = LayoutLengthFromDevice(device.bottom, scale);
	return layout;
}

BRect
LayoutScreenFrame(int width, int height, DisplayScale scale)
{
	// The layout pixels that fit whole: pixel n - 1 ends within the screen.
	return BRect(0, 0, scale.ToLayout(width) - 1, scale.ToLayout(height) - 1);
}

} // namespace BPrivate
