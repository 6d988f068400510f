// Which window system the program talks to, and where the Wayland module is found. Plain
// functions of the environment's values, so that the rules are testable without a display.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {

enum class BackendKind {
	kX11,
	kWayland,
	kInvalid, // the override names no backend
};

struct BackendChoice {
	BackendKind kind = BackendKind::kX11;
	bool forced = false; // named by the override: no other backend stands in for it
};

// KAMBOLUX_BACKEND ("x11" or "wayland") decides when set and not empty; otherwise Wayland
// when the session offers a Wayland display (WAYLAND_DISPLAY or WAYLAND_SOCKET), else X11.
BackendChoice ChooseBackend(const char* override, const char* waylandDisplay,
	const char* waylandSocket);

// Where the Wayland module is looked for, in order: the override alone when given, else
// next to the installed program (libDir relative to the prefix, then lib/) and in the build
// tree.
std::vector<std::string> WaylandModuleCandidates(const char* override,
	const std::string& executable, const char* libDir);

} // namespace BPrivate
