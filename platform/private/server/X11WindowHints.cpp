// X11Window's properties for the window manager: size hints, Motif hints, the window type
// and state, the transient parent, the icon, and the frame the window manager reports.

#include "X11Window.h"

#include <X11/Xatom.h>

#include <vector>

#include "X11Connection.h"
#include "X11Scale.h"

namespace BPrivate {

namespace {

// The Motif window manager hints (_MOTIF_WM_HINTS), which every common window manager reads
// for what to draw around a window and which of its functions to offer.
struct MotifHints {
	unsigned long flags;
	unsigned long functions;
	unsigned long decorations;
	long inputMode;
	unsigned long status;
};

enum {
	kMotifHintsFunctions = 1 << 0,
	kMotifHintsDecorations = 1 << 1,
	kMotifFunctionResize = 1 << 1,
	kMotifFunctionMove = 1 << 2,
	kMotifFunctionMinimize = 1 << 3,
	kMotifFunctionMaximize = 1 << 4,
	kMotifFunctionClose = 1 << 5,
	kMotifDecorAll = 1 << 0,
	kMotifDecorBorder = 1 << 1,
	kMotifDecorResizeHandle = 1 << 2,
	kMotifDecorTitle = 1 << 3,
	kMotifDecorMenu = 1 << 4,
	kMotifDecorMinimize = 1 << 5,
	kMotifDecorMaximize = 1 << 6,
};

// _NET_WM_STATE client message actions.
enum { kStateRemove = 0, kStateAdd = 1 };
// The source of a request in EWMH client messages: a normal application.
const long kSourceApplication = 1;

} // namespace

void
X11Window::SetIcon(const uint8* argb, int32 width, int32 height)
{
	if (!_Live() || argb == nullptr || width <= 0 || height <= 0 || width > 1024 || height > 1024)
		return;
	// _NET_WM_ICON: width, height and the pixels, each a CARDINAL (a long to Xlib). One size:
	// window managers scale it for their title bars as they always did.
	const uint32* source = reinterpret_cast<const uint32*>(argb);
	std::vector<unsigned long> data;
	data.reserve(2 + (size_t)width * height);
	data.push_back((unsigned long)width);
	data.push_back((unsigned long)height);
	for (int32 i = 0; i < width * height; i++)
		data.push_back(source[i]);
	XChangeProperty(fConnection->display, fWindow, fConnection->atoms.wmIcon, XA_CARDINAL, 32,
		PropModeReplace, reinterpret_cast<unsigned char*>(data.data()), (int)data.size());
}

bool
X11Window::ReadExtents(const X11Connection* connection, Window window, FrameExtents* extents)
{
	Atom type = None;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	bool found = false;
	if (XGetWindowProperty(connection->display, window, connection->atoms.frameExtents, 0, 4, False,
			XA_CARDINAL, &type, &format, &count, &after, &data)
			== Success
		&& type == XA_CARDINAL && format == 32 && count == 4) {
		const long* values = reinterpret_cast<const long*>(data);
		FrameExtents pixels;
		pixels.left = (int32)values[0];
		pixels.right = (int32)values[1];
		pixels.top = (int32)values[2];
		pixels.bottom = (int32)values[3];
		*extents = LayoutExtentsFromDevice(pixels, connection->scale);
		found = true;
	}
	if (data != nullptr)
		XFree(data);
	return found;
}

void
X11Window::_SetSizeHints()
{
	XSizeHints* hints = XAllocSizeHints();
	if (hints == nullptr)
		return;
	const DisplayScale scale = fConnection->scale;
	const int width = DeviceLengthFromLayout((int32)fFrame.Width() + 1, scale);
	const int height = DeviceLengthFromLayout((int32)fFrame.Height() + 1, scale);
	// The program chose the position; static gravity makes it the content's position, so a
	// window manager puts its frame around the content instead of moving the content in.
	hints->flags = USPosition | PPosition | PSize | PWinGravity;
	hints->x = DeviceFromLayout(fFrame.left, scale);
	hints->y = DeviceFromLayout(fFrame.top, scale);
	hints->width = width;
	hints->height = height;
	hints->win_gravity = StaticGravity;
	if (!fSpec.resizable) {
		hints->flags |= PMinSize | PMaxSize;
		hints->min_width = hints->max_width = width;
		hints->min_height = hints->max_height = height;
	} else if (scale.IsWhole() && scale != DisplayScale()) {
		// Whole layout units only: the kit draws nothing narrower. A fractional scale has
		// no fixed step in pixels; the size the window manager picks is rounded up instead.
		hints->flags |= PResizeInc;
		hints->width_inc = hints->height_inc = scale.Ceiling();
	}
	XSetWMNormalHints(fConnection->display, fWindow, hints);
	XFree(hints);
}

void
X11Window::SetMotifHints(const X11Connection* connection, Window window, bool decorated,
	bool bordered, bool resizable)
{
	MotifHints hints{};
	hints.flags = kMotifHintsFunctions | kMotifHintsDecorations;
	hints.functions = kMotifFunctionMove | kMotifFunctionMinimize | kMotifFunctionClose;
	if (resizable)
		hints.functions |= kMotifFunctionResize | kMotifFunctionMaximize;
	// Bordered: a frame without title bar, so the window has an edge and can be moved by it.
	// A fixed size gets no maximise button (some window managers draw one for "all" even
	// when they would not carry it out).
	if (decorated) {
		hints.decorations = resizable
			? kMotifDecorAll
			: kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu | kMotifDecorMinimize;
	} else
		hints.decorations = bordered ? kMotifDecorBorder : 0;
	XChangeProperty(connection->display, window, connection->atoms.motifHints,
		connection->atoms.motifHints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&hints),
		5);
}

void
X11Window::_SetWindowType()
{
	const X11Atoms& atoms = fConnection->atoms;
	Atom type = atoms.typeNormal;
	if (fPopup)
		type = atoms.typePopupMenu;
	else if (fSpec.kind == WindowKind::kDialog)
		type = atoms.typeDialog;
	else if (fSpec.kind == WindowKind::kUtility)
		type = atoms.typeUtility;
	XChangeProperty(fConnection->display, fWindow, atoms.wmWindowType, XA_ATOM, 32, PropModeReplace,
		reinterpret_cast<unsigned char*>(&type), 1);
}

void
X11Window::_SetStateProperty()
{
	const X11Atoms& atoms = fConnection->atoms;
	Atom states[4];
	int count = 0;
	if (fSpec.alwaysOnTop)
		states[count++] = atoms.wmStateAbove;
	if (fSpec.modal)
		states[count++] = atoms.wmStateModal;
	if (fSpec.skipTaskbar) {
		states[count++] = atoms.wmStateSkipTaskbar;
		states[count++] = atoms.wmStateSkipPager;
	}
	XChangeProperty(fConnection->display, fWindow, atoms.wmState, XA_ATOM, 32, PropModeReplace,
		reinterpret_cast<unsigned char*>(states), count);
}

// Before the window is mapped the state is a property the window manager reads when it maps
// it; afterwards the window manager owns the property and takes requests (EWMH).
void
X11Window::_ChangeState(Atom state, bool on)
{
	if (!_Live())
		return;
	if (!fMapped || !fConnection->HasWindowManager()) {
		_SetStateProperty();
		return;
	}
	XEvent event{};
	event.xclient.type = ClientMessage;
	event.xclient.window = fWindow;
	event.xclient.message_type = fConnection->atoms.wmState;
	event.xclient.format = 32;
	event.xclient.data.l[0] = on ? kStateAdd : kStateRemove;
	event.xclient.data.l[1] = (long)state;
	event.xclient.data.l[3] = kSourceApplication;
	XSendEvent(fConnection->display, fConnection->root, False,
		SubstructureRedirectMask | SubstructureNotifyMask, &event);
	XFlush(fConnection->display);
}

void
X11Window::_SetTransient(Window parent)
{
	if (parent != 0)
		XSetTransientForHint(fConnection->display, fWindow, parent);
	else
		XDeleteProperty(fConnection->display, fWindow, XA_WM_TRANSIENT_FOR);
}

} // namespace BPrivate
