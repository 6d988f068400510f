// How a backend's event becomes a message: keys, pointer events, activation, the primary
// selection's answer as messages posted to their window (B_KEY_DOWN, B_MOUSE_DOWN, ...), a
// close request, exposure and moves told to the window directly, a lost display as a quit
// request. An open pop-up menu takes the keyboard and the pointer. Kit-internal.
#pragma once

namespace BPrivate {

struct BackendEvent;

void TranslateEvent(const BackendEvent& event);

} // namespace BPrivate
