// Between the kit's layout units and the X server's pixels at the display scale (whole or
// fractional, DisplayScale.h): what the backend sends (window positions and sizes, size
// hints) goes out scaled, what it is told (event positions, the screen, window sizes, the
// window manager's frames) comes back to layout units. Plain arithmetic except
// X11DisplayScale, which only reads what Xlib already holds.
#pragma once

#include <X11/Xlib.h>

#include "Backend.h"
#include "DisplayScale.h"
#include "Rect.h"
#include "SupportDefs.h"

namespace BPrivate {

// The scale for this display: our variable, GDK_SCALE, then Xft.dpi from the resources that
// XOpenDisplay read from the root window (RESOURCE_MANAGER), else 1. No request is sent.
DisplayScale X11DisplayScale(Display* display);

// A layout coordinate in pixels: where its whole layout unit begins.
int32 DeviceFromLayout(float layout, DisplayScale scale);
// A layout length (a window's width) in pixels, halves rounded up.
int32 DeviceLengthFromLayout(int32 length, DisplayScale scale);

// A pixel position (window or screen) in layout units; the layout pixel that holds it.
BPoint LayoutFromDevice(int x, int y, DisplayScale scale);

// A length the server reports (a window's size, a frame's width) in layout units, rounded
// up so that nothing the server shows falls outside the layout.
int32 LayoutLengthFromDevice(int32 device, DisplayScale scale);
FrameExtents LayoutExtentsFromDevice(const FrameExtents& device, DisplayScale scale);

// The screen of width x height pixels as a layout frame (whole layout pixels on it).
BRect LayoutScreenFrame(int width, int height, DisplayScale scale);

} // namespace BPrivate
