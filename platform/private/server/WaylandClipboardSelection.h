// WaylandClipboardSelection: one selection, the clipboard or the primary selection, both ways,
// whatever protocol carries it (WaylandClipboard: wl_data_device; WaylandPrimary:
// zwp_primary_selection_v1). As owner it offers the text in the usual text types and writes
// it to each pipe it is asked through as far as the pipe takes it; as requester it asks the
// current offer for its best text type and reads the pipe as the data arrives. Neither ever
// waits: the pipes are served from the loop's poll (Descriptors, Serve), a writer or reader
// that stalls for the selections' time-out is given up, and a paste then gets nothing.
#pragma once

#include <poll.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {

class WaylandClipboardReader;
class WaylandClipboardWriter;

class WaylandClipboardSelection {
public:
	typedef std::function<void(const std::string&)> Answer;

	WaylandClipboardSelection();
	virtual ~WaylandClipboardSelection();
	WaylandClipboardSelection(const WaylandClipboardSelection&) = delete;
	WaylandClipboardSelection& operator=(const WaylandClipboardSelection&) = delete;

	// Whether the compositor carries this selection between programs (now: not once the
	// connection is lost).
	virtual bool IsAvailable() const = 0;
	// Takes the selection for text, with the serial of the input event that asked for it.
	// Without the protocol the text stays within the program.
	void SetText(const std::string& text, uint32 serial);
	// The text while this program owns the selection.
	bool OwnText(std::string* text) const;
	// Asks the current owner for its text; answer is called later from Serve (at once, with
	// nothing, when there is no text to be had).
	void Request(Answer answer, bigtime_t now);

	// The pipes under way, for the loop's poll.
	void AddDescriptors(std::vector<pollfd>* descriptors) const;
	// Moves what the pipes take or have, and gives up on those past their time-out; true
	// when an answer was handed on.
	bool Serve(bigtime_t now);
	// Microseconds until the next pipe's time-out, or -1 when none is under way.
	bigtime_t UntilTimeout(bigtime_t now) const;

protected:
	// The protocol's part: a source offering kOfferedTextMimes set as the selection (and an
	// earlier own source let go), and a request for the current offer's data in mime
	// written into fd (which the caller closes afterwards).
	virtual void _Publish(uint32 serial) = 0;
	virtual void _Receive(const std::string& mime, int fd) = 0;

	// What the compositor says: a new current offer (present false: the selection is empty)
	// and its types; another program asking for this one's text; this one's source no
	// longer the selection.
	void _OfferChanged(bool present, std::vector<std::string> mimes);
	void _Send(const std::string& mime, int fd, bigtime_t now);
	void _Cancelled();

private:
	// One offer's text on its way, for every paste that asked while that offer was current;
	// once read, it waits for the earlier ones, so that pastes land in the order they were
	// asked for.
	struct Incoming {
		std::unique_ptr<WaylandClipboardReader> reader;
		std::string mime;
		uint64 offer = 0;
		std::vector<Answer> waiting;
		bool finished = false;
		std::string text;
	};

	std::string fText;
	bool fOwner = false;
	bool fHasOffer = false;
	uint64 fOffer = 0; // counts the offers, so that a paste never gets an earlier one's text
	std::vector<std::string> fOfferMimes;
	std::vector<Incoming> fIncoming;
	std::vector<std::unique_ptr<WaylandClipboardWriter>> fWriters;
};

} // namespace BPrivate
