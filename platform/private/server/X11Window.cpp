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

// What shows where a window is larger than the frame it was given, for a moment while it
// is being resized: the platform's panel grey.
const uint32 kUncoveredGrey = 0xffd8d8d8;

const char* const kWindowClass = "kambolux";

// The source of a request in EWMH client messages: a normal application.
const long kSourceApplication = 1;

int32
Extent(float edge)
{
	return (int32)edge;
}

bool
HostIsLittleEndian()
{
	const uint16 probe = 1;
	return *reinterpret_cast<const uint8*>(&probe) == 1;
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
	if (_Live())
		SetMotifHints(fConnection, fWindow, fSpec.decorated, fSpec.bordered, fSpec.resizable);
}

void
X11Window::SetBordered(bool bordered)
{
	if (fPopup || bordered == fSpec.bordered)
		return;
	fSpec.bordered = bordered;
	if (_Live())
		SetMotifHints(fConnection, fWindow, fSpec.decorated, fSpec.bordered, fSpec.resizable);
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
X11Window::Show()
{
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
X11Window::Present(const uint8* pixels, int32 width, int32 height, int32 stride)
{
	if (!_Live() || pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4)
		return;
	Display* display = fConnection->display;
	// The backing store comes at the scale already: copied pixel for pixel.
	const int32 windowWidth = DeviceLengthFromLayout((int32)fFrame.Width() + 1, fConnection->scale);
	const int32 windowHeight = DeviceLengthFromLayout((int32)fFrame.Height() + 1,
		fConnection->scale);
	const int32 w = std::min(width, windowWidth);
	const int32 h = std::min(height, windowHeight);

	if (_PresentShared(pixels, w, h, stride)) {
		fShownFrame = fShownFrame || fMapped;
		_FillUncovered(w, h);
		XFlush(display);
		return;
	}

	XImage* image = XCreateImage(display, fConnection->visual, fConnection->depth, ZPixmap, 0,
		nullptr, w, h, 32, 0);
	if (image == nullptr)
		return;
	if (fLayout.IsXRGB() && image->bits_per_pixel == 32) {
		// The kit's pixels as they are; Xlib swaps the bytes for a server of the other order.
		image->data = const_cast<char*>(reinterpret_cast<const char*>(pixels));
		image->bytes_per_line = stride;
		image->byte_order = HostIsLittleEndian() ? LSBFirst : MSBFirst;
	} else {
		fConverted.resize((size_t)image->bytes_per_line * h);
		image->data = fConverted.data();
		for (int32 y = 0; y < h; y++) {
			const uint32* row = reinterpret_cast<const uint32*>(pixels + (size_t)y * stride);
			for (int32 x = 0; x < w; x++)
				XPutPixel(image, x, y, fLayout.Pixel(row[x]));
		}
	}
	XPutImage(display, fWindow, fGC, image, 0, 0, 0, 0, w, h);
	fShownFrame = fShownFrame || fMapped;
	image->data = nullptr;
	XDestroyImage(image);
	_FillUncovered(w, h);
	XFlush(display);
}

// Through shared memory where the server offers it: the frame is copied into a segment
// instead of being written down the connection. A frame that comes while the server still
// reads the last one goes the ordinary way.
bool
X11Window::_PresentShared(const uint8* pixels, int32 width, int32 height, int32 stride)
{
	if (fConnection->shmCompletion < 0 || fSharedRefused || !fLayout.IsXRGB())
		return false;
	const int32 windowWidth = DeviceLengthFromLayout((int32)fFrame.Width() + 1, fConnection->scale);
	const int32 windowHeight = DeviceLengthFromLayout((int32)fFrame.Height() + 1,
		fConnection->scale);
	if (fShared == nullptr || (!fShared->IsBusy() && !fShared->Fits(width, height))) {
		fShared.reset();
		fShared = std::make_unique<X11SharedImage>(fConnection, std::max(width, windowWidth),
			std::max(height, windowHeight));
		if (!fShared->IsValid()) {
			fShared.reset();
			fSharedRefused = true;
			return false;
		}
	}
	return fShared->Put(fWindow, fGC, pixels, width, height, stride);
}

void
X11Window::SharedFrameCompleted()
{
	if (fShared != nullptr)
		fShared->Completed();
}

void
X11Window::_FillUncovered(int32 width, int32 height)
{
	const int32 windowWidth = DeviceLengthFromLayout((int32)fFrame.Width() + 1, fConnection->scale);
	const int32 windowHeight = DeviceLengthFromLayout((int32)fFrame.Height() + 1,
		fConnection->scale);
	if (width >= windowWidth && height >= windowHeight)
		return;
	Display* display = fConnection->display;
	XSetForeground(display, fGC, fLayout.Pixel(kUncoveredGrey));
	if (width < windowWidth)
		XFillRectangle(display, fWindow, fGC, width, 0, windowWidth - width, windowHeight);
	if (height < windowHeight)
		XFillRectangle(display, fWindow, fGC, 0, height, width, windowHeight - height);
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

void
X11Window::Detach()
{
	// The connection closes after this: the segment is let go while it is still open.
	fShared.reset();
	fGone = nullptr;
	fWindow = 0;
	fMapped = false;
}

void
X11Window::DestroyedElsewhere()
{
	fDead = true;
	fMapped = false;
}

} // namespace BPrivate
