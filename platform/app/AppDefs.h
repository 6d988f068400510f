// System message codes of the kit.
#pragma once

#include "SupportDefs.h"

enum : uint32 {
	B_ABOUT_REQUESTED = '_ABR',
	B_QUIT_REQUESTED = '_QRQ',
	B_READY_TO_RUN = '_RTR',
	B_KEY_DOWN = '_KYD',
	B_KEY_UP = '_KYU',
	B_MOUSE_DOWN = '_MDN',
	B_MOUSE_UP = '_MUP',
	B_MOUSE_MOVED = '_MMV',
	B_PULSE = '_PUL',
	B_WINDOW_ACTIVATED = '_ACT',
	B_CUT = 'CCUT',
	B_COPY = 'COPY',
	B_PASTE = 'PSTE',
	B_SELECT_ALL = 'SALL',
	B_SIMPLE_DATA = 'DATA',
	B_UNDO = 'UNDO',
	// Ours: Shift+F10 or the Menu key, sent along the focus view's handler chain with the
	// point ("screen_where") where a context menu opens.
	B_CONTEXT_MENU_REQUESTED = '_CMR',
	// Ours: the X primary selection's text ("text") that a view asked the backend for.
	B_PRIMARY_TEXT_ARRIVED = '_PTA',
};
