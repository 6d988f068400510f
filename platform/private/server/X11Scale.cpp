#include "X11Scale.h"

#include <X11/Xresource.h>

#include <cmath>

#include "DisplayScale.h"

namespace BPrivate {

int32
X11DisplayScale(Display* display)
{
	// Xlib fetched RESOURCE_MANAGER with the connection: reading it here costs no round trip.
	return DisplayScaleFromEnvironment(
		display != nullptr ? XResourceManagerString(display) : nullptr);
}

int32
DeviceFromLayout(float layout, int32 scale)
{
	return (int32)std::floor(layout) * scale;
}

BPoint
LayoutFromDevice(int x, int y, int32 scale)
{
	return BPoint(DeviceToLayout((float)x, scale), DeviceToLayout((float)y, scale));
}

int32
LayoutLengthFromDevice(int32 device, int32 scale)
{
	if (device <= 0)
		return device;
	return (device + scale - 1) / scale;
}

FrameExtents
LayoutExtentsFromDevice(const FrameExtents& device, int32 scale)
{
	FrameExtents layout;
	layout.left = LayoutLengthFromDevice(device.left, scale);
	layout.top = LayoutLengthFromDevice(device.top, scale);
	layout.right = LayoutLengthFromDevice(device.right, scale);
	layout.bottom = LayoutLengthFromDevice(device.bottom, scale);
	return layout;
}

BRect
LayoutScreenFrame(int width, int height, int32 scale)
{
	return BRect(0, 0, width / scale - 1, height / scale - 1);
}

} // namespace BPrivate
