#include "X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <climits>
#include <list>

namespace BPrivate {

struct X11SerialRange {
	Display* display;
	unsigned long first;
	unsigned long last; // ULONG_MAX while the scope is open
};

namespace {

// Xlib's error handler is one for the process, so the ranges are too. Never destroyed: a
// backend that goes at the program's exit still uses them after other statics are gone.
std::list<X11SerialRange>&
ForeignRanges()
{
	static auto* ranges = new std::list<X11SerialRange>;
	return *ranges;
}

} // namespace

X11ForeignRequests::X11ForeignRequests(Display* display) : fDisplay(display)
{
	std::list<X11SerialRange>& ranges = ForeignRanges();
	// Closed ranges whose every request the server has answered can bring no more errors.
	ranges.remove_if([display](const X11SerialRange& range) {
		return range.display == display && range.last != ULONG_MAX
			&& (range.last < range.first || range.last <= LastKnownRequestProcessed(display));
	});
	ranges.push_back(X11SerialRange{display, NextRequest(display), ULONG_MAX});
	fRange = &ranges.back();
}

X11ForeignRequests::~X11ForeignRequests()
{
	fRange->last = NextRequest(fDisplay) - 1;
}

bool
X11ForeignRequests::Expected(const XErrorEvent& error)
{
	if (error.error_code != BadWindow)
		return false;
	for (const X11SerialRange& range : ForeignRanges()) {
		if (range.display == error.display && error.serial >= range.first
			&& error.serial <= range.last)
			return true;
	}
	return false;
}

void
X11ForeignRequests::Forget(Display* display)
{
	ForeignRanges().remove_if(
		[display](const X11SerialRange& range) { return range.display == display; });
}

bool
X11Connection::HasWindowManager() const
{
	if (lost)
		return false;
	// A window manager that crashed leaves its check window's id behind.
	X11ForeignRequests foreign(display);
	// EWMH: the root names a child window, and that window names itself.
	auto supportingWindow = [this](Window window) -> Window {
		Atom type = None;
		int format = 0;
		unsigned long count = 0, after = 0;
		unsigned char* data = nullptr;
		Window result = 0;
		if (XGetWindowProperty(display, window, atoms.supportingWMCheck, 0, 1, False, XA_WINDOW,
				&type, &format, &count, &after, &data)
				== Success
			&& type == XA_WINDOW && format == 32 && count == 1)
			result = (Window) * reinterpret_cast<const long*>(data);
		if (data != nullptr)
			XFree(data);
		return result;
	};
	Window check = supportingWindow(root);
	return check != 0 && supportingWindow(check) == check;
}

bool
X11Connection::WindowManagerSupports(Atom hint) const
{
	if (!HasWindowManager())
		return false;
	Atom type = None;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	bool found = false;
	// Far more than any window manager lists.
	const long kMostHints = 4096;
	if (XGetWindowProperty(display, root, atoms.supported, 0, kMostHints, False, XA_ATOM, &type,
			&format, &count, &after, &data)
			== Success
		&& type == XA_ATOM && format == 32) {
		const long* hints = reinterpret_cast<const long*>(data);
		for (unsigned long i = 0; i < count && !found; i++)
			found = (Atom)hints[i] == hint;
	}
	if (data != nullptr)
		XFree(data);
	return found;
}

// A TrueColor visual: the default one when it is, else the deepest the screen offers
// (a 24-bit one preferred). nullptr when the screen has none.
Visual*
ChooseTrueColorVisual(Display* display, int screen, int* depth)
{
	Visual* visual = DefaultVisual(display, screen);
	if (visual->c_class == TrueColor) {
		*depth = DefaultDepth(display, screen);
		return visual;
	}
	XVisualInfo info;
	if (XMatchVisualInfo(display, screen, 24, TrueColor, &info)) {
		*depth = info.depth;
		return info.visual;
	}
	XVisualInfo pattern{};
	pattern.screen = screen;
	pattern.c_class = TrueColor;
	int count = 0;
	XVisualInfo* infos = XGetVisualInfo(display, VisualScreenMask | VisualClassMask, &pattern,
		&count);
	Visual* best = nullptr;
	for (int i = 0; i < count; i++) {
		if (best == nullptr || infos[i].depth > *depth) {
			best = infos[i].visual;
			*depth = infos[i].depth;
		}
	}
	if (infos != nullptr)
		XFree(infos);
	return best;
}

} // namespace BPrivate
