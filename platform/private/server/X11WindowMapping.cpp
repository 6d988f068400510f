// X11Window mapped and unmapped, focused, moved and framed: showing and hiding it, activation,
// and what the server and the window manager report about where the window is.

#include "X11Window.h"

#include <algorithm>

#include "SystemTime.h"
#include "X11Connection.h"
#include "X11Scale.h"

namespace BPrivate {

namespace {

// The source of a request in EWMH client messages: a normal application.
const long kSourceApplication = 1;

// How long a window withdrawn to be mapped again waits for the window manager to let it go;
// they answer within milliseconds.
const bigtime_t kRemapWait = 500000;

} // namespace

void
X11Window::Show()
{
	fRemapDeadline = 0;
	if (!_Live())
		return;
	if (fPopup)
		XMapRaised(fConnection->display, fWindow);
	else
		XMapWindow(fConnection->display, fWindow);
	XFlush(fConnection->display);
}

void
X11Window::Hide()
{
	fActivateOnMap = false;
	fRemapDeadline = 0;
	if (!_Live())
		return;
	_ReturnFocus();
	// A managed window is withdrawn (ICCCM 4.1.4): unmapped, and the window manager told.
	if (fPopup)
		XUnmapWindow(fConnection->display, fWindow);
	else
		XWithdrawWindow(fConnection->display, fWindow, fConnection->screen);
	XFlush(fConnection->display);
}

void
X11Window::Activate()
{
	if (!_Live())
		return;
	// Focus can only go to a viewable window: a window just shown gets it once it is mapped.
	if (!fMapped) {
		fActivateOnMap = true;
		return;
	}
	_Activate();
}

void
X11Window::_Activate()
{
	Display* display = fConnection->display;
	XRaiseWindow(display, fWindow);
	if (fConnection->HasWindowManager()) {
		XEvent event{};
		event.xclient.type = ClientMessage;
		event.xclient.window = fWindow;
		event.xclient.message_type = fConnection->atoms.activeWindow;
		event.xclient.format = 32;
		event.xclient.data.l[0] = kSourceApplication;
		event.xclient.data.l[1] = (long)fConnection->lastTime;
		XSendEvent(display, fConnection->root, False,
			SubstructureRedirectMask | SubstructureNotifyMask, &event);
	} else
		XSetInputFocus(display, fWindow, RevertToParent, CurrentTime);
	XFlush(display);
}

// Without a window manager the focus of a window that goes falls to the root, and typed keys
// reach only what lies under the pointer: the window it belongs to gets the focus back, as a
// window manager would give it.
void
X11Window::_ReturnFocus()
{
	if (fPopup || !fMapped || fSpec.parent == 0 || !fParentLookup
		|| fConnection->HasWindowManager())
		return;
	Display* display = fConnection->display;
	Window focus = 0;
	int revert = 0;
	XGetInputFocus(display, &focus, &revert);
	const Window owner = fParentLookup(fSpec.parent);
	if (focus != fWindow || owner == 0)
		return;
	// Focus given to a window that is not viewable is an error.
	XWindowAttributes attributes{};
	if (XGetWindowAttributes(display, owner, &attributes) != 0
		&& attributes.map_state == IsViewable)
		XSetInputFocus(display, owner, RevertToParent, CurrentTime);
}

void
X11Window::Mapped()
{
	fMapped = true;
	// A colormap of our own (a TrueColor visual that is not the screen's default) shows only
	// while it is installed: a window manager does that for the focused window, without one
	// it is ours to do.
	if (fConnection->colormap != DefaultColormap(fConnection->display, fConnection->screen)
		&& _Live() && !fConnection->HasWindowManager())
		XInstallColormap(fConnection->display, fConnection->colormap);
	if (fActivateOnMap) {
		fActivateOnMap = false;
		_Activate();
	}
}

void
X11Window::Unmapped()
{
	fMapped = false;
	_MapAgainWhenLetGo();
}

void
X11Window::Configured(const XConfigureEvent& event, bool* moved, bool* resized)
{
	*moved = *resized = false;
	const DisplayScale scale = fConnection->scale;
	const int32 width = LayoutLengthFromDevice(event.width, scale);
	const int32 height = LayoutLengthFromDevice(event.height, scale);
	if (width != (int32)fFrame.Width() + 1 || height != (int32)fFrame.Height() + 1) {
		fFrame.right = fFrame.left + width - 1;
		fFrame.bottom = fFrame.top + height - 1;
		*resized = true;
	}
	// A window manager's own (synthetic) notice gives the content's place on the screen
	// (ICCCM 4.1.5); a real one from inside its frame gives the place in the frame.
	if (event.send_event || fParentIsRoot) {
		BPoint where = LayoutFromDevice(event.x + event.border_width, event.y + event.border_width,
			scale);
		if (where != fFrame.LeftTop()) {
			fFrame.OffsetTo(where);
			*moved = true;
		}
	}
}

void
X11Window::Reparented(Window parent)
{
	fParentIsRoot = parent == fConnection->root;
	_MapAgainWhenLetGo();
}

FrameExtents
X11Window::ExtentsChanged()
{
	if (_Live()) {
		FrameExtents extents;
		ReadExtents(fConnection, fWindow, &extents);
		fExtents = extents;
		_KeepTitleBarOnScreen();
	}
	return fExtents;
}

// A window is taken by its title bar: one above the screen (a place saved from a window
// without one, or from a larger screen; a title bar added at the top) cannot be reached. The
// content moves down below it; fFrame stays, so that the window manager's notice of the
// move tells the kit.
void
X11Window::_KeepTitleBarOnScreen()
{
	if (fPopup || !fConnection->HasWindowManager())
		return;
	const DisplayScale scale = fConnection->scale;
	const int32 top = DeviceFromLayout(fFrame.top, scale);
	if (top - fExtents.top >= 0)
		return;
	// Whole layout units, so that the kit's place is exact.
	const int32 lowered = DeviceFromLayout((float)LayoutLengthFromDevice(fExtents.top, scale),
		scale);
	XMoveWindow(fConnection->display, fWindow, DeviceFromLayout(fFrame.left, scale), lowered);
	XFlush(fConnection->display);
}

// A window manager must read the decoration hints when a window leaves the withdrawn state
// (ICCCM 4.1.2); many also follow a change on a mapped window, some do not, and none says
// which. The frame extents do not tell either (a manager may set none, or the same for a
// border as for a title bar), and waiting to see would cost a time-out on every change. So a
// change on a managed, mapped window is made the way every one honours: the window is
// withdrawn and mapped again where it was, with the focus if it had it.
void
X11Window::_ApplyDecoration()
{
	if (!_Live())
		return;
	SetMotifHints(fConnection, fWindow, fSpec.decorated, fSpec.bordered, fSpec.resizable);
	if (fMapped && fRemapDeadline == 0 && fConnection->HasWindowManager())
		_Remap();
	XFlush(fConnection->display);
}

void
X11Window::_Remap()
{
	Display* display = fConnection->display;
	Window focus = 0;
	int revert = 0;
	XGetInputFocus(display, &focus, &revert);
	fRemapActivate = focus == fWindow;
	fRemapWhere = fFrame.LeftTop();
	fRemapDeadline = system_time_us() + kRemapWait;
	XWithdrawWindow(display, fWindow, fConnection->screen);
}

void
X11Window::StateChanged()
{
	_MapAgainWhenLetGo();
}

// The window may be mapped again once the window manager has let it go: unmapped, WM_STATE
// deleted or set to withdrawn (ICCCM 4.1.4), and out of the manager's frame again. Mapped
// sooner, the map goes to a frame that is being taken down, and the manager places the
// window anew where it likes.
void
X11Window::_MapAgainWhenLetGo()
{
	if (fRemapDeadline == 0 || fMapped || !fParentIsRoot || !_Live())
		return;
	Atom type = None;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	long state = WithdrawnState;
	if (XGetWindowProperty(fConnection->display, fWindow, fConnection->atoms.icccmState, 0, 1,
			False, AnyPropertyType, &type, &format, &count, &after, &data)
			== Success
		&& format == 32 && count == 1)
		state = *reinterpret_cast<const long*>(data);
	if (data != nullptr)
		XFree(data);
	if (state == WithdrawnState)
		_MapAgain();
}

bigtime_t
X11Window::UntilRemap(bigtime_t now) const
{
	return fRemapDeadline == 0 ? -1 : std::max(fRemapDeadline - now, (bigtime_t)0);
}

// A window manager that never answers (stopped, or gone) must not leave the window unmapped.
void
X11Window::RemapIfOverdue(bigtime_t now)
{
	if (fRemapDeadline != 0 && now >= fRemapDeadline && _Live())
		_MapAgain();
}

void
X11Window::_MapAgain()
{
	fRemapDeadline = 0;
	Display* display = fConnection->display;
	// The window manager dropped the window's state with the withdrawal, and may have left
	// the window elsewhere; both are read again from the properties at the map.
	_SetStateProperty();
	fFrame.OffsetTo(fRemapWhere);
	_SetSizeHints();
	const DisplayScale scale = fConnection->scale;
	XMoveWindow(display, fWindow, DeviceFromLayout(fRemapWhere.x, scale),
		DeviceFromLayout(fRemapWhere.y, scale));
	fActivateOnMap = fRemapActivate;
	XMapWindow(display, fWindow);
	XFlush(display);
}

} // namespace BPrivate
