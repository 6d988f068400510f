// X11Clipboard: the CLIPBOARD selection both ways (ICCCM). As owner it answers TARGETS,
// UTF8_STRING, STRING and TEXT; as requester it asks without waiting and hands the answer
// on when it comes, or nothing after a time-out, so an owner that never answers costs no more
// than the time-out and never freezes the loop. Not done: INCR transfers (texts larger than
// one request), other selections.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {

struct X11Connection;

class X11Clipboard {
public:
	typedef std::function<void(const std::string&)> Answer;
	static constexpr bigtime_t kTimeout = 1000000;

	explicit X11Clipboard(X11Connection* connection);

	// Takes the clipboard for text; false when the server gave it to someone else.
	bool SetText(const std::string& text);
	// The text when this program owns the clipboard.
	bool OwnText(std::string* text);
	// Asks the owner for the text; answer is called later from Handle or Expire.
	void Request(Answer answer, bigtime_t now);

	// Selection events (of the leader window); true when an answer was handed on.
	bool Handle(XEvent& event);
	// Ends a request that was not answered in time; true when an answer was handed on.
	bool Expire(bigtime_t now);
	// Microseconds until the pending request times out, or -1 when none is pending.
	bigtime_t UntilTimeout(bigtime_t now) const;

private:
	void _Ask(Atom target);
	void _Answer(const std::string& text);
	void _Serve(const XSelectionRequestEvent& request);
	std::string _ReadAnswer(const XSelectionEvent& event);

	X11Connection* fConnection;
	std::string fText;
	bool fOwner = false;
	std::vector<Answer> fWaiting;
	Atom fAsked = None;
	bigtime_t fDeadline = 0;
};

} // namespace BPrivate
