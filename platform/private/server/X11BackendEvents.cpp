// What X events mean to the kit: the X11 backend's event translation, grabs for pop-up menus,
// the window manager's frames and the end of startup notification.

#include "X11BackendPrivate.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "X11Input.h"
#include "X11Scale.h"
#include "X11Window.h"

namespace BPrivate {

namespace {

// Two presses of a button count as a double click within this time and distance.
const Time kDoubleClickTime = 500;
const int kDoubleClickDistance = 4;

Time
EventTime(const XEvent& event)
{
	switch (event.type) {
		case KeyPress:
		case KeyRelease:
			return event.xkey.time;
		case ButtonPress:
		case ButtonRelease:
			return event.xbutton.time;
		case MotionNotify:
			return event.xmotion.time;
		case PropertyNotify:
			return event.xproperty.time;
		default:
			return CurrentTime;
	}
}

} // namespace

X11Backend::Entry*
X11Backend::_Find(Window window)
{
	auto found = fWindows.find(window);
	return found != fWindows.end() ? &found->second : nullptr;
}

void
X11Backend::_Handle(XEvent& event)
{
	// The input method takes the keys of a Compose sequence (and its own events) first.
	if (XFilterEvent(&event, None))
		return;
	if (Time time = EventTime(event); time != CurrentTime)
		fConnection.lastTime = time;

	if (event.type == PropertyNotify && fProbes.count(event.xproperty.window) != 0) {
		_HandleExtents(event.xproperty.window);
		return;
	}
	if (event.type == MappingNotify) {
		XRefreshKeyboardMapping(&event.xmapping);
		return;
	}
	// KeymapNotify names no window: it follows the FocusIn of ours that has the focus.
	if (event.type == KeymapNotify) {
		fKeyboard->KeymapState(event.xkeymap.key_vector);
		return;
	}

	Entry* entry = _Find(event.xany.window);
	if (entry == nullptr)
		return;
	X11Window* window = entry->window;
	BackendEvent kitEvent;
	kitEvent.window = window->Id();

	switch (event.type) {
		case KeyPress:
		case KeyRelease:
			fKeyboard->Translate(event.xkey, entry->context, window->Id(), &fPending);
			break;

		case ButtonPress:
		case ButtonRelease:
			_HandleButton(event.xbutton, *entry);
			break;

		case MotionNotify:
			_HandleMotion(event.xmotion, *entry);
			break;

		case FocusIn:
		case FocusOut:
			// A grab (ours for a menu, or a global shortcut's) moves the keyboard for a
			// moment but not the focus; focus moving between our own subwindows is no change.
			if (event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab
				|| event.xfocus.detail == NotifyInferior || event.xfocus.detail == NotifyPointer)
				break;
			if (event.type == FocusIn) {
				fFocus = window->XWindow();
				fKeyboard->GainedFocus(entry->context);
				kitEvent.type = BackendEvent::kActivated;
			} else {
				if (fFocus == window->XWindow())
					fFocus = 0;
				fKeyboard->LostFocus(entry->context);
				kitEvent.type = BackendEvent::kDeactivated;
			}
			fPending.push_back(kitEvent);
			break;

		case Expose:
			if (event.xexpose.count == 0) {
				kitEvent.type = BackendEvent::kExposed;
				fPending.push_back(kitEvent);
			}
			break;

		case ConfigureNotify:
		{
			bool moved = false, resized = false;
			window->Configured(event.xconfigure, &moved, &resized);
			if (moved) {
				kitEvent.type = BackendEvent::kWindowMoved;
				kitEvent.where = window->Frame().LeftTop();
				kitEvent.screenWhere = kitEvent.where;
				fPending.push_back(kitEvent);
			}
			if (resized) {
				// Whatever the window showed beyond its old size is undefined now.
				kitEvent.type = BackendEvent::kExposed;
				fPending.push_back(kitEvent);
			}
			break;
		}

		case ReparentNotify:
			window->Reparented(event.xreparent.parent);
			break;

		case MapNotify:
			window->Mapped();
			if (window->IsPopup())
				_UpdateGrab();
			else if (!fStartupId.empty())
				_StartupComplete();
			break;

		case UnmapNotify:
			window->Unmapped();
			if (window->IsPopup())
				_UpdateGrab();
			break;

		case DestroyNotify:
			// We forget our windows before destroying them: this one went by another hand.
			if (event.xdestroywindow.window != window->XWindow())
				break;
			fprintf(stderr, "kit: another program destroyed the window \"0x%lx\"\n",
				window->XWindow());
			window->DestroyedElsewhere();
			kitEvent.type = BackendEvent::kCloseRequested;
			fPending.push_back(kitEvent);
			break;

		case ClientMessage:
			_HandleClientMessage(event.xclient, *entry);
			break;

		case PropertyNotify:
			if (event.xproperty.atom == fConnection.atoms.frameExtents)
				_HandleExtents(window->XWindow());
			else if (event.xproperty.atom == fConnection.atoms.icccmState)
				window->StateChanged();
			break;
	}
}

void
X11Backend::_HandleButton(const XButtonEvent& button, Entry& entry)
{
	const uint32 mask = X11Button(button.button);
	if (mask == 0)
		return;
	const bool down = button.type == ButtonPress;
	// The state is from before the event.
	fButtons = X11Buttons(button.state);
	if (down)
		fButtons |= mask;
	else
		fButtons &= ~mask;

	BackendEvent event;
	event.type = down ? BackendEvent::kMouseDown : BackendEvent::kMouseUp;
	event.window = entry.window->Id();
	event.where = LayoutFromDevice(button.x, button.y, fConnection.scale);
	event.screenWhere = LayoutFromDevice(button.x_root, button.y_root, fConnection.scale);
	event.buttons = fButtons;
	event.modifiers = X11Modifiers(button.state);
	if (down) {
		Click& last = fLastClick;
		const bool again = last.button == button.button
			&& button.time - last.time <= kDoubleClickTime
			&& abs(button.x_root - last.x)
				<= DeviceLengthFromLayout(kDoubleClickDistance, fConnection.scale)
			&& abs(button.y_root - last.y)
				<= DeviceLengthFromLayout(kDoubleClickDistance, fConnection.scale);
		last.count = again ? last.count + 1 : 1;
		last.button = button.button;
		last.time = button.time;
		last.x = button.x_root;
		last.y = button.y_root;
		event.clicks = last.count;
	}
	fPending.push_back(event);
}

void
X11Backend::_HandleMotion(XMotionEvent& motion, Entry& entry)
{
	// Only the newest of the motions already queued for the window matters.
	XEvent next;
	while (XCheckTypedWindowEvent(fConnection.display, motion.window, MotionNotify, &next))
		motion = next.xmotion;
	fButtons = X11Buttons(motion.state);
	BackendEvent event;
	event.type = BackendEvent::kMouseMoved;
	event.window = entry.window->Id();
	event.where = LayoutFromDevice(motion.x, motion.y, fConnection.scale);
	event.screenWhere = LayoutFromDevice(motion.x_root, motion.y_root, fConnection.scale);
	event.buttons = fButtons;
	event.modifiers = X11Modifiers(motion.state);
	fPending.push_back(event);
}

void
X11Backend::_HandleClientMessage(const XClientMessageEvent& message, Entry& entry)
{
	const X11Atoms& atoms = fConnection.atoms;
	if (message.message_type != atoms.wmProtocols || message.format != 32)
		return;
	const Atom protocol = (Atom)message.data.l[0];
	if (protocol == atoms.wmDeleteWindow) {
		BackendEvent event;
		event.type = BackendEvent::kCloseRequested;
		event.window = entry.window->Id();
		fPending.push_back(event);
	} else if (protocol == atoms.wmPing) {
		// Still alive: the message goes back to the root window (EWMH).
		XEvent reply;
		reply.xclient = message;
		reply.xclient.window = fConnection.root;
		XSendEvent(fConnection.display, fConnection.root, False,
			SubstructureNotifyMask | SubstructureRedirectMask, &reply);
		XFlush(fConnection.display);
	}
}

void
X11Backend::_HandleExtents(Window window)
{
	auto probe = fProbes.find(window);
	if (probe != fProbes.end()) {
		FrameExtents extents;
		if (!X11Window::ReadExtents(&fConnection, window, &extents))
			return;
		(probe->second ? fTitled : fBordered) = extents;
		XDestroyWindow(fConnection.display, window);
		fProbes.erase(probe);
		return;
	}
	Entry* entry = _Find(window);
	if (entry == nullptr)
		return;
	const FrameExtents extents = entry->window->ExtentsChanged();
	// The first frame a window manager draws tells what the next window of its kind gets.
	if (extents.left == 0 && extents.top == 0 && extents.right == 0 && extents.bottom == 0)
		return;
	if (entry->window->IsDecorated() && fTitled.left < 0)
		fTitled = extents;
	else if (!entry->window->IsDecorated() && entry->window->IsBordered() && fBordered.left < 0)
		fBordered = extents;
}

// While a pop-up menu is open it holds the pointer and the keyboard, so that a click anywhere
// on the screen reaches it (outside, it closes the menu) and no other program takes the keys.
// The newest open menu holds them; when the last one closes, they are let go.
void
X11Backend::_UpdateGrab()
{
	if (fConnection.lost)
		return;
	X11Window* newest = nullptr;
	for (auto& [xWindow, entry] : fWindows) {
		X11Window* window = entry.window;
		if (window->IsPopup() && window->IsMapped()
			&& (newest == nullptr || window->Id() > newest->Id()))
			newest = window;
	}
	Display* display = fConnection.display;
	if (newest == nullptr) {
		if (fGrabbed != 0) {
			XUngrabPointer(display, CurrentTime);
			XUngrabKeyboard(display, CurrentTime);
			fGrabbed = 0;
			XFlush(display);
		}
		return;
	}
	if (newest->XWindow() == fGrabbed)
		return;
	// Owner events: our own windows still get their events as usual, the rest of the screen
	// reports to the menu.
	XGrabPointer(display, newest->XWindow(), True,
		ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync, None,
		None, CurrentTime);
	XGrabKeyboard(display, newest->XWindow(), True, GrabModeAsync, GrabModeAsync, CurrentTime);
	fGrabbed = newest->XWindow();
	XFlush(display);
}

// Tells the launcher that started us (through DESKTOP_STARTUP_ID) that the program is up:
// the freedesktop startup notification's "remove" message, 20 bytes per client message.
void
X11Backend::_StartupComplete()
{
	std::string message = "remove: ID=\"";
	for (char c : fStartupId) {
		if (c == '"' || c == '\\')
			message += '\\';
		message += c;
	}
	message += '"';
	message += '\0';
	fStartupId.clear();

	Display* display = fConnection.display;
	XEvent event{};
	event.xclient.type = ClientMessage;
	event.xclient.window = fConnection.leader;
	event.xclient.format = 8;
	for (size_t offset = 0; offset < message.size(); offset += 20) {
		event.xclient.message_type = offset == 0 ? fConnection.atoms.startupInfoBegin
												 : fConnection.atoms.startupInfo;
		memset(event.xclient.data.b, 0, sizeof(event.xclient.data.b));
		memcpy(event.xclient.data.b, message.data() + offset,
			std::min<size_t>(20, message.size() - offset));
		XSendEvent(display, fConnection.root, False, PropertyChangeMask, &event);
	}
	XFlush(display);
}

FrameExtents
X11Backend::TypicalExtents(bool decorated) const
{
	const FrameExtents& known = decorated ? fTitled : fBordered;
	if (known.left >= 0)
		return known;
	// The window manager's answer costs it (and the server) a few dozen round trips, on the
	// same CPUs the first frame is being made on; until that frame is up the question waits.
	// The first window's own frame often answers it by then. (The input method opens with
	// that first frame.)
	if (!fInputMethodOpen)
		(decorated ? fWantTitled : fWantBordered) = true;
	else
		_RequestTypicalExtents(decorated);
	return FrameExtents();
}

void
X11Backend::_RequestWantedExtents()
{
	if (fWantTitled && fTitled.left < 0)
		_RequestTypicalExtents(true);
	if (fWantBordered && fBordered.left < 0)
		_RequestTypicalExtents(false);
	fWantTitled = fWantBordered = false;
}

// Asks the window manager what frame it would give a window of this kind (EWMH
// _NET_REQUEST_FRAME_EXTENTS), with an unmapped probe window; the answer arrives as a
// property change and is kept. Nothing waits for it.
void
X11Backend::_RequestTypicalExtents(bool decorated) const
{
	if (fConnection.lost)
		return;
	for (const auto& [probe, titled] : fProbes) {
		if (titled == decorated)
			return;
	}
	// Asked without first looking for a window manager (two round trips before the first
	// frame): with none, nobody answers and the frame stays unknown, as it should.
	XSetWindowAttributes attributes{};
	attributes.event_mask = PropertyChangeMask;
	Window probe = XCreateWindow(fConnection.display, fConnection.root, 0, 0, 1, 1, 0, 0, InputOnly,
		CopyFromParent, CWEventMask, &attributes);
	X11Window::SetMotifHints(&fConnection, probe, decorated, !decorated, false);
	fProbes[probe] = decorated;
	XEvent event{};
	event.xclient.type = ClientMessage;
	event.xclient.window = probe;
	event.xclient.message_type = fConnection.atoms.requestFrameExtents;
	event.xclient.format = 32;
	XSendEvent(fConnection.display, fConnection.root, False,
		SubstructureRedirectMask | SubstructureNotifyMask, &event);
	XFlush(fConnection.display);
}

} // namespace BPrivate
