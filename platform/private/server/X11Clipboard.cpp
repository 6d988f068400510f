#include "X11Clipboard.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <climits>

#include "X11Connection.h"
#include "X11Input.h"

namespace BPrivate {

X11Clipboard::X11Clipboard(X11Connection* connection, Atom selection, Atom property) :
	fConnection(connection),
	fSelection(selection),
	fProperty(property)
{
}

bool
X11Clipboard::SetText(const std::string& text)
{
	if (fConnection->lost)
		return false;
	Display* display = fConnection->display;
	fText = text;
	XSetSelectionOwner(display, fSelection, fConnection->leader, fConnection->lastTime);
	fOwner = XGetSelectionOwner(display, fSelection) == fConnection->leader;
	return fOwner;
}

bool
X11Clipboard::OwnText(std::string* text)
{
	// Another program may have taken it a moment ago, its notice not read yet.
	if (fOwner && !fConnection->lost
		&& XGetSelectionOwner(fConnection->display, fSelection) != fConnection->leader) {
		fOwner = false;
		fText.clear();
	}
	if (!fOwner)
		return false;
	*text = fText;
	return true;
}

void
X11Clipboard::Request(Answer answer, bigtime_t now)
{
	fWaiting.push_back(std::move(answer));
	if (fAsked != None)
		return; // the answer on its way is for every paste that waits
	if (fConnection->lost) {
		_Answer(std::string());
		return;
	}
	fDeadline = now + kTimeout;
	_Ask(fConnection->atoms.utf8String);
}

void
X11Clipboard::_Ask(Atom target)
{
	fAsked = target;
	XConvertSelection(fConnection->display, fSelection, target, fProperty, fConnection->leader,
		fConnection->lastTime);
	XFlush(fConnection->display);
}

void
X11Clipboard::_Answer(const std::string& text)
{
	fAsked = None;
	std::vector<Answer> waiting;
	waiting.swap(fWaiting);
	for (Answer& answer : waiting)
		answer(text);
}

bigtime_t
X11Clipboard::UntilTimeout(bigtime_t now) const
{
	if (fAsked == None)
		return -1;
	return std::max(fDeadline - now, (bigtime_t)0);
}

bool
X11Clipboard::Expire(bigtime_t now)
{
	if (fAsked == None || now < fDeadline)
		return false;
	_Answer(std::string());
	return true;
}

bool
X11Clipboard::Handle(XEvent& event)
{
	const X11Atoms& atoms = fConnection->atoms;
	switch (event.type) {
		case SelectionRequest:
			if (event.xselectionrequest.selection == fSelection)
				_Serve(event.xselectionrequest);
			return false;
		case SelectionClear:
			if (event.xselectionclear.selection == fSelection) {
				fOwner = false;
				fText.clear();
			}
			return false;
		case SelectionNotify:
		{
			const XSelectionEvent& notify = event.xselection;
			// Late answers to a request that timed out, and answers to other questions.
			if (fAsked == None || notify.selection != fSelection || notify.target != fAsked)
				return false;
			if (notify.property == None) {
				// No UTF-8 from this owner: the older Latin-1 target, then nothing.
				if (fAsked == atoms.utf8String) {
					_Ask(XA_STRING);
					return false;
				}
				_Answer(std::string());
				return true;
			}
			_Answer(_ReadAnswer(notify));
			return true;
		}
	}
	return false;
}

std::string
X11Clipboard::_ReadAnswer(const XSelectionEvent& event)
{
	Atom type = None;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	std::string text;
	if (XGetWindowProperty(fConnection->display, event.requestor, event.property, 0, LONG_MAX / 4,
			True, AnyPropertyType, &type, &format, &count, &after, &data)
			== Success
		&& data != nullptr && format == 8) {
		std::string bytes(reinterpret_cast<const char*>(data), count);
		if (type == fConnection->atoms.utf8String)
			text = bytes;
		else if (type == XA_STRING)
			text = UTF8FromLatin1(bytes);
		// INCR (a text larger than one request) and other encodings: nothing to paste.
	}
	if (data != nullptr)
		XFree(data);
	return text;
}

void
X11Clipboard::_Serve(const XSelectionRequestEvent& request)
{
	const X11Atoms& atoms = fConnection->atoms;
	Display* display = fConnection->display;
	XEvent reply{};
	reply.xselection.type = SelectionNotify;
	reply.xselection.requestor = request.requestor;
	reply.xselection.selection = request.selection;
	reply.xselection.target = request.target;
	reply.xselection.time = request.time;
	// Clients older than ICCCM 2 name no property: the target's name is the property then.
	Atom property = request.property != None ? request.property : request.target;
	reply.xselection.property = None;

	// What fits into one request; a larger text would need INCR, which is not offered.
	const size_t limit =
		(size_t)std::max(XExtendedMaxRequestSize(display), XMaxRequestSize(display)) * 4 - 256;
	if (fOwner) {
		if (request.target == atoms.targets) {
			Atom targets[] = {atoms.targets, atoms.utf8String, XA_STRING, atoms.text};
			XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
				reinterpret_cast<unsigned char*>(targets), 4);
			reply.xselection.property = property;
		} else if ((request.target == atoms.utf8String || request.target == atoms.text)
			&& fText.size() < limit) {
			XChangeProperty(display, request.requestor, property, atoms.utf8String, 8,
				PropModeReplace, reinterpret_cast<const unsigned char*>(fText.data()),
				(int)fText.size());
			reply.xselection.property = property;
		} else if (request.target == XA_STRING && fText.size() < limit) {
			std::string latin1 = Latin1FromUTF8(fText);
			XChangeProperty(display, request.requestor, property, XA_STRING, 8, PropModeReplace,
				reinterpret_cast<const unsigned char*>(latin1.data()), (int)latin1.size());
			reply.xselection.property = property;
		}
	}
	XSendEvent(display, request.requestor, False, NoEventMask, &reply);
	XFlush(display);
}

} // namespace BPrivate
