#include "X11Clipboard.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <climits>
#include <time.h>

#include "SystemTime.h"
#include "X11Connection.h"
#include "X11Input.h"

namespace BPrivate {

namespace {

// One word more than the largest answer is read of a property: a larger one is told without
// holding all of it.
const long kReadWords = (long)(X11Clipboard::kLargestAnswer / 4 + 1);

} // namespace

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
	fIncoming = false;
	fIncomingDropped = false;
	fIncomingType = None;
	fIncomingBytes = std::string();
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
	// A requester that stopped taking pieces (or went away) gets no more.
	for (size_t i = fOutgoing.size(); i-- > 0;) {
		if (now >= fOutgoing[i].deadline)
			_ForgetOutgoing(i);
	}
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
		case PropertyNotify:
			return _HandleProperty(event.xproperty);
		case SelectionNotify:
		{
			const XSelectionEvent& notify = event.xselection;
			// Late answers to a request that timed out, and answers to other questions.
			if (fAsked == None || fIncoming || notify.selection != fSelection
				|| notify.target != fAsked)
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
			std::string text;
			if (!_ReadAnswer(notify, &text))
				return false; // the pieces follow
			_Answer(text);
			return true;
		}
	}
	return false;
}

// Reads (and deletes, which asks an INCR owner for the first piece) the property an answer
// came in; false when the answer comes in pieces instead.
bool
X11Clipboard::_ReadAnswer(const XSelectionEvent& event, std::string* text)
{
	Atom type = None;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	bool whole = true;
	if (XGetWindowProperty(fConnection->display, event.requestor, event.property, 0, kReadWords,
			True, AnyPropertyType, &type, &format, &count, &after, &data)
			== Success
		&& data != nullptr) {
		if (type == fConnection->atoms.incr) {
			// ICCCM 2.7.2: the owner now sends pieces, each one a new value of the property
			// for this side to read and delete, until an empty one.
			fIncoming = true;
			fIncomingType = None;
			fIncomingBytes.clear();
			fDeadline = system_time_us() + kTimeout;
			whole = false;
			// The announced size is a lower bound: past the largest answer nothing is kept.
			const unsigned long announced = format == 32 && count >= 1
				? (unsigned long)*reinterpret_cast<const long*>(data)
				: 0;
			fIncomingDropped = announced > kLargestAnswer;
			// Room for what is announced at once, rather than doubling as pieces come: the
			// text is held once, not up to three times while it grows.
			if (!fIncomingDropped)
				fIncomingBytes.reserve(announced);
		} else if (format == 8 && after == 0 && count <= kLargestAnswer)
			*text = _Decoded(type, std::string(reinterpret_cast<const char*>(data), count));
	}
	if (data != nullptr)
		XFree(data);
	// The property is deleted only when it was read to its end.
	if (after != 0)
		XDeleteProperty(fConnection->display, event.requestor, event.property);
	return whole;
}

std::string
X11Clipboard::_Decoded(Atom type, std::string bytes) const
{
	if (type == fConnection->atoms.utf8String)
		return bytes;
	if (type == XA_STRING)
		return UTF8FromLatin1(bytes);
	return std::string(); // other encodings: nothing to paste
}

bool
X11Clipboard::_HandleProperty(const XPropertyEvent& event)
{
	// A requester took the last piece this owner sent: the next one.
	if (event.state == PropertyDelete) {
		for (Outgoing& outgoing : fOutgoing) {
			if (outgoing.requestor == event.window && outgoing.property == event.atom) {
				_SendPiece(outgoing);
				break;
			}
		}
		for (size_t i = fOutgoing.size(); i-- > 0;) {
			if (fOutgoing[i].sent > fOutgoing[i].bytes.size())
				_ForgetOutgoing(i);
		}
		return false;
	}
	if (!fIncoming || event.window != fConnection->leader || event.atom != fProperty)
		return false;

	// The next piece of an answer.
	Atom type = None;
	int format = 0;
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	if (XGetWindowProperty(fConnection->display, fConnection->leader, fProperty, 0, kReadWords,
			True, AnyPropertyType, &type, &format, &count, &after, &data)
		!= Success) {
		_Answer(std::string());
		return true;
	}
	if (after != 0)
		XDeleteProperty(fConnection->display, fConnection->leader, fProperty);
	const bool done = count == 0;
	if (!done && !fIncomingDropped) {
		if (format == 8 && after == 0 && fIncomingBytes.size() + count <= kLargestAnswer) {
			fIncomingType = type;
			fIncomingBytes.append(reinterpret_cast<const char*>(data), count);
		} else
			_DropIncoming();
	}
	if (data != nullptr)
		XFree(data);
	fDeadline = system_time_us() + kTimeout;
	if (!done)
		return false;
	_Answer(fIncomingDropped ? std::string() : _Decoded(fIncomingType, std::move(fIncomingBytes)));
	return true;
}

// For good: a later piece that would fit again must not start a text from the middle.
void
X11Clipboard::_DropIncoming()
{
	fIncomingDropped = true;
	fIncomingType = None;
	fIncomingBytes = std::string();
}

void
X11Clipboard::_Serve(const XSelectionRequestEvent& request)
{
	const X11Atoms& atoms = fConnection->atoms;
	Display* display = fConnection->display;
	// The requester may quit before it has its answer.
	X11ForeignRequests foreign(display);
	XEvent reply{};
	reply.xselection.type = SelectionNotify;
	reply.xselection.requestor = request.requestor;
	reply.xselection.selection = request.selection;
	reply.xselection.target = request.target;
	reply.xselection.time = request.time;
	// Clients older than ICCCM 2 name no property: the target's name is the property then.
	Atom property = request.property != None ? request.property : request.target;
	reply.xselection.property = None;

	if (fOwner) {
		if (request.target == atoms.targets) {
			Atom targets[] = {atoms.targets, atoms.utf8String, XA_STRING, atoms.text};
			XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
				reinterpret_cast<unsigned char*>(targets), 4);
			reply.xselection.property = property;
		} else if (request.target == atoms.utf8String || request.target == atoms.text) {
			if (_Offer(request.requestor, property, atoms.utf8String, fText))
				reply.xselection.property = property;
		} else if (request.target == XA_STRING) {
			if (_Offer(request.requestor, property, XA_STRING, Latin1FromUTF8(fText)))
				reply.xselection.property = property;
		}
	}
	XSendEvent(display, request.requestor, False, NoEventMask, &reply);
	XFlush(display);
}

// Puts the text into the requester's property, or starts handing it out in pieces when it is
// large; false when it cannot be offered.
bool
X11Clipboard::_Offer(Window requestor, Atom property, Atom type, const std::string& bytes)
{
	Display* display = fConnection->display;
	if (bytes.size() <= _PieceSize()) {
		XChangeProperty(display, requestor, property, type, 8, PropModeReplace,
			reinterpret_cast<const unsigned char*>(bytes.data()), (int)bytes.size());
		return true;
	}
	// Our own windows never ask us; their event masks are not ours to change.
	if (requestor == fConnection->leader)
		return false;
	// One transfer per requester's property: a new request replaces an unfinished one.
	for (size_t i = fOutgoing.size(); i-- > 0;) {
		if (fOutgoing[i].requestor == requestor && fOutgoing[i].property == property)
			_ForgetOutgoing(i);
	}
	// The requester's deletions of the property tell when to send the next piece.
	XSelectInput(display, requestor, PropertyChangeMask);
	long size = (long)std::min(bytes.size(), (size_t)LONG_MAX);
	XChangeProperty(display, requestor, property, fConnection->atoms.incr, 32, PropModeReplace,
		reinterpret_cast<unsigned char*>(&size), 1);
	fOutgoing.push_back(Outgoing{requestor, property, type, bytes, 0, system_time_us() + kTimeout});
	return true;
}

// The next piece, or the empty one that ends the transfer; sent past the end marks it done.
void
X11Clipboard::_SendPiece(Outgoing& outgoing)
{
	X11ForeignRequests foreign(fConnection->display);
	const size_t length = outgoing.sent < outgoing.bytes.size()
		? std::min(_PieceSize(), outgoing.bytes.size() - outgoing.sent)
		: 0;
	XChangeProperty(fConnection->display, outgoing.requestor, outgoing.property, outgoing.type, 8,
		PropModeReplace,
		reinterpret_cast<const unsigned char*>(outgoing.bytes.data() + outgoing.sent), (int)length);
	outgoing.sent += length > 0 ? length : 1;
	outgoing.deadline = system_time_us() + kTimeout;
	XFlush(fConnection->display);
}

// What fits into one request, at most kPieceSize: a server without BIG-REQUESTS takes a
// quarter of a megabyte.
size_t
X11Clipboard::_PieceSize() const
{
	const long words = std::max(XExtendedMaxRequestSize(fConnection->display),
		XMaxRequestSize(fConnection->display));
	return std::min(kPieceSize, (size_t)std::max(words * 4 - 256, 1024L));
}

void
X11Clipboard::_ForgetOutgoing(size_t index)
{
	const Window requestor = fOutgoing[index].requestor;
	fOutgoing.erase(fOutgoing.begin() + (ptrdiff_t)index);
	for (const Outgoing& other : fOutgoing) {
		if (other.requestor == requestor)
			return;
	}
	if (!fConnection->lost) {
		X11ForeignRequests foreign(fConnection->display);
		XSelectInput(fConnection->display, requestor, NoEventMask);
	}
}

} // namespace BPrivate
