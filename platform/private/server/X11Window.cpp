// X11Window: creating and destroying the window, and the requests that change it (title,
// place, size, decoration, parent, state). Mapping and focus are in X11WindowMapping.cpp,
// frames on the screen in X11WindowPresent.cpp, window-manager properties in
// X11WindowHints.cpp.

#include "X11Window.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>

#include "X11Connection.h"
#include "X11Input.h"
#include "X11Scale.h"

namespace BPrivate {

namespace {

const char* const kWindowClass = "kambolux";

int32
Extent(float edge)
{
	return (int32)edge;
}

} // namespace

X11Window::X11Window(X11Connection* connection, uint32 id, const WindowSpec& spec,
	Window parentWindow, GoneHook gone) :
	fConnection(connection),
	fId(id),
	fGone(std::move(gone)),
	fLayout(connection->visual->red_mask, connection->visual->green_mask,
		connection->visual->blue_mask),
	fSpec(spec),
	fPopup(spec.popupMenu),
	fFrame(spec.frame)
{
	Display* display = fConnection->display;
	const int width = std::max(1, Extent(spec.frame.Width()) + 1);
	const int height = std::max(1, Extent(spec.frame.Height()) + 1);
	fFrame = BRect(spec.frame.left, spec.frame.top, spec.frame.left + width - 1,
		spec.frame.top + height - 1);

	XSetWindowAttributes attributes{};
	unsigned long mask = CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity;
	// No background: the last frame stays until the next one replaces it, with no flash.
	attributes.background_pixmap = None;
	attributes.border_pixel = 0;
	attributes.colormap = fConnection->colormap;
	attributes.bit_gravity = NorthWestGravity;
	attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask
		| PointerMotionMask | ExposureMask | StructureNotifyMask | FocusChangeMask
		| PropertyChangeMask | KeymapStateMask;
	if (fPopup) {
		// A menu is placed exactly and never managed, like the platform's menus.
		attributes.override_redirect = True;
		attributes.save_under = True;
		mask |= CWOverrideRedirect | CWSaveUnder;
	}
	const DisplayScale scale = fConnection->scale;
	fWindow = XCreateWindow(display, fConnection->root, DeviceFromLayout(fFrame.left, scale),
		DeviceFromLayout(fFrame.top, scale), DeviceLengthFromLayout(width, scale),
		DeviceLengthFromLayout(height, scale), 0, fConnection->depth, InputOutput,
		fConnection->visual, mask, &attributes);
	if (fWindow == 0)
		return;
	fGC = XCreateGC(display, fWindow, 0, nullptr);

	const X11Atoms& atoms = fConnection->atoms;
	XClassHint classHint;
	classHint.res_name = const_cast<char*>(kWindowClass);
	classHint.res_class = const_cast<char*>(kWindowClass);
	XSetClassHint(display, fWindow, &classHint);

	// _NET_WM_PID is only meaningful together with the machine it runs on.
	char host[256] = {};
	if (gethostname(host, sizeof(host) - 1) == 0) {
		XChangeProperty(display, fWindow, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
			reinterpret_cast<unsigned char*>(host), (int)strlen(host));
	}
	long pid = getpid();
	XChangeProperty(display, fWindow, atoms.wmPid, XA_CARDINAL, 32, PropModeReplace,
		reinterpret_cast<unsigned char*>(&pid), 1);

	Atom protocols[] = {atoms.wmDeleteWindow, atoms.wmPing};
	XSetWMProtocols(display, fWindow, protocols, 2);

	XWMHints hints{};
	hints.flags = InputHint | StateHint;
	hints.input = True;
	hints.initial_state = NormalState;
	if (fConnection->leader != 0) {
		hints.flags |= WindowGroupHint;
		hints.window_group = fConnection->leader;
		XChangeProperty(display, fWindow, atoms.wmClientLeader, XA_WINDOW, 32, PropModeReplace,
			reinterpret_cast<unsigned char*>(&fConnection->leader), 1);
	}
	XSetWMHints(display, fWindow, &hints);

	SetTitle(spec.title.c_str());
	_SetWindowType();
	if (!fPopup) {
		_SetSizeHints();
		SetMotifHints(fConnection, fWindow, fSpec.decorated, fSpec.bordered, fSpec.resizable);
		_SetStateProperty();
		if (parentWindow != 0)
			_SetTransient(parentWindow);
	}
}

X11Window::~X11Window()
{
	// The backend forgets the window (and its input context) before it goes.
	if (fGone)
		fGone(this);
	if (fWindow != 0 && !fConnection->lost) {
		if (fGC != nullptr)
			XFreeGC(fConnection->display, fGC);
		if (!fDead) {
			_ReturnFocus();
			XDestroyWindow(fConnection->display, fWindow);
		}
		XFlush(fConnection->display);
	}
}

bool
X11Window::_Live() const
{
	return fWindow != 0 && !fDead && !fConnection->lost;
}

void
X11Window::SetTitle(const char* title)
{
	if (!_Live())
		return;
	std::string text = title != nullptr ? title : "";
	fSpec.title = text;
	Display* display = fConnection->display;
	XChangeProperty(display, fWindow, fConnection->atoms.wmName, fConnection->atoms.utf8String, 8,
		PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()), (int)text.size());
	// WM_NAME in Latin-1 when the title fits it, as older tools read it; UTF-8 otherwise.
	std::string latin1 = Latin1FromUTF8(text);
	const bool fits = UTF8FromLatin1(latin1) == text;
	const std::string& name = fits ? latin1 : text;
	XChangeProperty(display, fWindow, XA_WM_NAME, fits ? XA_STRING : fConnection->atoms.utf8String,
		8, PropModeReplace, reinterpret_cast<const unsigned char*>(name.data()), (int)name.size());
}

void
X11Window::MoveTo(BPoint screenPoint)
{
	fFrame.OffsetTo(screenPoint);
	if (!_Live())
		return;
	// With static gravity (see the size hints) a window manager takes this as the content's
	// position and puts its frame around it.
	XMoveWindow(fConnection->display, fWindow, DeviceFromLayout(screenPoint.x, fConnection->scale),
		DeviceFromLayout(screenPoint.y, fConnection->scale));
}

void
X11Window::ResizeTo(int32 width, int32 height)
{
	width = std::max(width, (int32)1);
	height = std::max(height, (int32)1);
	fFrame.right = fFrame.left + width - 1;
	fFrame.bottom = fFrame.top + height - 1;
	if (!_Live())
		return;
	// A fixed size is the new size: the window manager would hold the window to the old one.
	if (!fPopup)
		_SetSizeHints();
	XResizeWindow(fConnection->display, fWindow, DeviceLengthFromLayout(width, fConnection->scale),
		DeviceLengthFromLayout(height, fConnection->scale));
}

void
X11Window::SetDecorated(bool decorated)
{
	if (fPopup || decorated == fSpec.decorated)
		return;
	fSpec.decorated = decorated;
	_ApplyDecoration();
}

void
X11Window::SetBordered(bool bordered)
{
	if (fPopup || bordered == fSpec.bordered)
		return;
	fSpec.bordered = bordered;
	_ApplyDecoration();
}

void
X11Window::SetTransientFor(uint32 parent)
{
	if (fPopup || parent == fSpec.parent)
		return;
	fSpec.parent = parent;
	if (!_Live())
		return;
	Window parentWindow = parent != 0 && fParentLookup ? fParentLookup(parent) : 0;
	_SetTransient(parentWindow);
}

void
X11Window::SetAlwaysOnTop(bool onTop)
{
	if (fPopup || onTop == fSpec.alwaysOnTop)
		return;
	fSpec.alwaysOnTop = onTop;
	_ChangeState(fConnection->atoms.wmStateAbove, onTop);
}

void
X11Window::SetModal(bool modal)
{
	if (fPopup || modal == fSpec.modal)
		return;
	fSpec.modal = modal;
	_ChangeState(fConnection->atoms.wmStateModal, modal);
}

void
X11Window::Detach()
{
	fRemapDeadline = 0;
	// The connection closes after this: the segment is let go while it is still open.
	fShared.reset();
	fGone = nullptr;
	fWindow = 0;
	fMapped = false;
}

void
X11Window::DestroyedElsewhere()
{
	fRemapDeadline = 0;
	fDead = true;
	fMapped = false;
}

} // namespace BPrivate
