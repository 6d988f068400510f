// Between the kit's layout units and the X server's pixels at a whole-number scale: what the
// backend sends (window positions and sizes, size hints) is multiplied, what it is told
// (event positions, the screen, window sizes, the window manager's frames) is divided back.
// Plain arithmetic except X11DisplayScale, which only reads what Xlib already holds.
#pragma once

#include <X11/Xlib.h>

#include "Backend.h"
#include "Rect.h"
#include "SupportDefs.h"

namespace BPrivate {

// The scale for this display: our variable, GDK_SCALE, then Xft.dpi from the resources that
// XOpenDisplay read from the root window (RESOURCE_MANAGER), else 1. No request is sent.
int32 X11DisplayScale(Display* display);

// A layout coordinate or length in pixels: the whole layout unit times the scale.
int32 DeviceFromLayout(float layout, int32 scale);

// A pixel position (window or screen) in layout units; the layout pixel whose block holds it.
BPoint LayoutFromDevice(int x, int y, int32 scale);

// A length the server reports (a window's size, a frame's width) in layout units, rounded
// up so that nothing the server shows falls outside the layout.
int32 LayoutLengthFromDevice(int32 device, int32 scale);
FrameExtents LayoutExtentsFromDevice(const FrameExtents& device, int32 scale);

// The screen of width x height pixels as a layout frame.
BRect LayoutScreenFrame(int width, int height, int32 scale);

} // namespace BPrivate
