// What every part of the X11 backend shares: the display connection, the visual the windows
// are made with, the atoms, and the hidden leader window (group leader and selection owner).
// Owned by the backend; the parts keep a pointer to it and never close anything in it.
#pragma once

#include <X11/Xlib.h>

#include "DisplayScale.h"
#include "SupportDefs.h"
#include "X11Atoms.h"

namespace BPrivate {

struct X11Connection {
	Display* display = nullptr;
	int screen = 0;
	Window root = 0;
	Visual* visual = nullptr;
	int depth = 0;
	Colormap colormap = 0;
	Window leader = 0;
	X11Atoms atoms{};
	// The latest server time seen in an event, for the requests that want one (ICCCM).
	Time lastTime = CurrentTime;
	// Set once the connection is gone: nothing may be sent any more.
	bool lost = false;
	// Server pixels per layout unit (X11Scale.h), fixed for the connection's life.
	DisplayScale scale;
	// MIT-SHM's completion event type once the first frame is up; -1 before, or without it.
	int shmCompletion = -1;

	// Whether a window manager that follows EWMH runs now.
	bool HasWindowManager() const;
	// Whether the window manager that runs now lists the hint in _NET_SUPPORTED.
	bool WindowManagerSupports(Atom hint) const;
};

struct X11SerialRange;

// Requests about windows of other clients, which may be gone at any moment (the check window
// of a window manager that crashed, a clipboard requester that quit): while one of these
// lives, the BadWindow errors its requests bring are expected, neither reported nor counted.
// The requests are told by their serial numbers, so an error that arrives after the scope
// has ended still counts as expected.
class X11ForeignRequests {
public:
	explicit X11ForeignRequests(Display* display);
	~X11ForeignRequests();
	X11ForeignRequests(const X11ForeignRequests&) = delete;
	X11ForeignRequests& operator=(const X11ForeignRequests&) = delete;

	// For the error handler: whether the error is one of those expected.
	static bool Expected(const XErrorEvent& error);
	// Before the display closes: its requests' numbers mean nothing any more.
	static void Forget(Display* display);

private:
	Display* fDisplay;
	X11SerialRange* fRange;
};

// A TrueColor visual of the screen and its depth: the default one when it is TrueColor, else
// the deepest one (24 bits preferred); nullptr when the screen has none.
Visual* ChooseTrueColorVisual(Display* display, int screen, int* depth);

} // namespace BPrivate
