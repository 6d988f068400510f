// The X atoms the backend speaks (ICCCM and EWMH names), interned in one round trip when the
// display is opened. Only names; what each means is for the code that uses it.
#pragma once

#include <X11/Xlib.h>

namespace BPrivate {

struct X11Atoms {
	Atom wmProtocols;
	Atom wmDeleteWindow;
	Atom wmClientLeader;
	Atom wmPing;
	Atom wmPid;
	Atom wmName;
	Atom wmIcon;
	Atom wmUserTime;
	Atom wmState;
	Atom wmStateAbove;
	Atom wmStateModal;
	Atom wmStateSkipTaskbar;
	Atom wmStateSkipPager;
	Atom wmWindowType;
	Atom typeNormal;
	Atom typeDialog;
	Atom typeUtility;
	Atom typePopupMenu;
	Atom motifHints;
	Atom frameExtents;
	Atom requestFrameExtents;
	Atom activeWindow;
	Atom supportingWMCheck;
	Atom supported;
	Atom icccmState; // WM_STATE, set by the window manager
	Atom utf8String;
	Atom clipboard;
	Atom targets;
	Atom text;
	Atom incr;
	Atom selectionProperty;
	Atom startupInfoBegin;
	Atom startupInfo;
	Atom startupId;

	// Interns all of them; false when the server answered nothing.
	bool Intern(Display* display);
};

} // namespace BPrivate
