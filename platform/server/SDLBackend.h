// The SDL2 backend: real windows on the user's display with software surfaces that the
// backing stores are copied into. See the checklist at the top of SDLBackend.cpp for what it
// does and does not do; SDLWindow, SDLEventTranslator and SDLInput are its parts.
#pragma once

#include <memory>

#include "Backend.h"

namespace BPrivate {

// Starts SDL's video subsystem and returns the backend, or null (with the reason on stderr)
// when no display can be opened.
std::unique_ptr<Backend> CreateSDLBackend();

} // namespace BPrivate
