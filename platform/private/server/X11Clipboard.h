// X11Clipboard: one text selection both ways (ICCCM), CLIPBOARD or PRIMARY. As owner it
// answers TARGETS, UTF8_STRING, STRING and TEXT, a large text in pieces (INCR); as requester
// it asks without waiting and hands the answer on when it comes (whole or in INCR pieces), or
// nothing after a time-out, so an owner that never answers or stops halfway costs no more than
// the time-out and never freezes the loop.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

#include "SelectionLimits.h"
#include "SupportDefs.h"

namespace BPrivate {

struct X11Connection;

class X11Clipboard {
public:
	typedef std::function<void(const std::string&)> Answer;
	// For an answer to begin, and for each piece of one.
	static constexpr bigtime_t kTimeout = kSelectionTimeout;
	// Texts larger than this (or than one request) are handed out in pieces (INCR).
	static constexpr size_t kPieceSize = 256 * 1024;
	// A pasted text larger than this is dropped (nothing is pasted): no field takes it.
	static constexpr size_t kLargestAnswer = kLargestSelectionText;

	// The selection it serves, and the property on the leader window its answers arrive
	// in (one per selection, so that two requests under way never mix).
	X11Clipboard(X11Connection* connection, Atom selection, Atom property);

	// Takes the clipboard for text; false when the server gave it to someone else.
	bool SetText(const std::string& text);
	// The text when this program owns the clipboard.
	bool OwnText(std::string* text);
	// Asks the owner for the text; answer is called later from Handle or Expire.
	void Request(Answer answer, bigtime_t now);

	// Selection events (of the leader window), and property changes that carry INCR pieces
	// (on the leader, or on a window this owner sends pieces to); the rest are left alone.
	// True when an answer was handed on.
	bool Handle(XEvent& event);
	// Ends a request that was not answered in time, and drops pieces a requester stopped
	// taking; true when an answer was handed on.
	bool Expire(bigtime_t now);
	// Microseconds until the pending request times out, or -1 when none is pending.
	bigtime_t UntilTimeout(bigtime_t now) const;

private:
	// A text this owner hands out in pieces: the next one goes when the requester has
	// deleted the last.
	struct Outgoing {
		Window requestor;
		Atom property;
		Atom type;
		std::string bytes;
		size_t sent;
		bigtime_t deadline;
	};

	void _Ask(Atom target);
	void _Answer(const std::string& text);
	void _Serve(const XSelectionRequestEvent& request);
	bool _Offer(Window requestor, Atom property, Atom type, const std::string& bytes);
	bool _HandleProperty(const XPropertyEvent& event);
	void _DropIncoming();
	void _SendPiece(Outgoing& outgoing);
	void _ForgetOutgoing(size_t index);
	size_t _PieceSize() const;
	bool _ReadAnswer(const XSelectionEvent& event, std::string* text);
	std::string _Decoded(Atom type, std::string bytes) const;

	X11Connection* fConnection;
	Atom fSelection;
	Atom fProperty;
	std::string fText;
	bool fOwner = false;
	std::vector<Answer> fWaiting;
	Atom fAsked = None;
	bigtime_t fDeadline = 0;
	// An answer arriving in pieces: their type, and what came so far. Once it cannot be
	// pasted (too large, not text) the rest is still read, so the owner finishes, and dropped.
	bool fIncoming = false;
	bool fIncomingDropped = false;
	Atom fIncomingType = None;
	std::string fIncomingBytes;
	std::vector<Outgoing> fOutgoing;
};

} // namespace BPrivate
