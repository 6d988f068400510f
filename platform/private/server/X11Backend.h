// The X11 backend on Xlib: the real windows of the kit. Its parts: X11Window (one window),
// X11Keyboard (keys and the input method), X11Clipboard (the CLIPBOARD selection),
// X11SharedImage (frames through MIT-SHM), ComposeCache, X11Input (pure translation
// tables). The checklist is at the top of X11Backend.cpp.
#pragma once

#include <memory>

#include "Backend.h"

namespace BPrivate {

// How many X protocol errors the backend has caught (and logged) since the program started.
uint32 X11ErrorsCaught();

} // namespace BPrivate
