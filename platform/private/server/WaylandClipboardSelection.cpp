#include "WaylandClipboardSelection.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "WaylandClipboardMimes.h"
#include "WaylandClipboardReader.h"
#include "WaylandClipboardWriter.h"

namespace BPrivate {

WaylandClipboardSelection::WaylandClipboardSelection() = default;

WaylandClipboardSelection::~WaylandClipboardSelection() = default;

void
WaylandClipboardSelection::SetText(const std::string& text, uint32 serial)
{
	fText = text;
	fOwner = true;
	if (IsAvailable())
		_Publish(serial);
}

bool
WaylandClipboardSelection::OwnText(std::string* text) const
{
	if (!fOwner)
		return false;
	*text = fText;
	return true;
}

void
WaylandClipboardSelection::Request(Answer answer, bigtime_t now)
{
	if (fOwner) {
		answer(fText);
		return;
	}
	for (Incoming& incoming : fIncoming) {
		if (incoming.offer == fOffer) {
			incoming.waiting.push_back(std::move(answer)); // its answer is this paste's too
			return;
		}
	}
	const std::string mime = fHasOffer ? ChooseTextMime(fOfferMimes) : std::string();
	int pipeEnds[2] = {-1, -1};
	if (mime.empty() || !IsAvailable() || pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
		answer(std::string());
		return;
	}
	_Receive(mime, pipeEnds[1]);
	// The owner has its own copy of the write end now: the end of its data is the end of
	// the pipe.
	close(pipeEnds[1]);
	Incoming& incoming = fIncoming.emplace_back();
	incoming.reader = std::make_unique<WaylandClipboardReader>(pipeEnds[0], now);
	incoming.mime = mime;
	incoming.offer = fOffer;
	incoming.waiting.push_back(std::move(answer));
}

void
WaylandClipboardSelection::AddDescriptors(std::vector<pollfd>* descriptors) const
{
	for (const Incoming& incoming : fIncoming) {
		if (incoming.reader->Descriptor() >= 0)
			descriptors->push_back({incoming.reader->Descriptor(), POLLIN, 0});
	}
	for (const auto& writer : fWriters) {
		if (writer->Descriptor() >= 0)
			descriptors->push_back({writer->Descriptor(), POLLOUT, 0});
	}
}

bool
WaylandClipboardSelection::Serve(bigtime_t now)
{
	std::erase_if(fWriters, [now](const std::unique_ptr<WaylandClipboardWriter>& writer) {
		return writer->Write(now) != WaylandClipboardWriter::kWriting || writer->Expired(now);
	});
	for (Incoming& incoming : fIncoming) {
		if (incoming.finished)
			continue;
		WaylandClipboardReader::Status status = incoming.reader->Read(now);
		if (status == WaylandClipboardReader::kReading)
			status = incoming.reader->Expire(now);
		if (status == WaylandClipboardReader::kReading)
			continue;
		incoming.finished = true;
		if (status == WaylandClipboardReader::kDone)
			incoming.text = DecodeSelectionText(incoming.mime, incoming.reader->Take());
	}
	// Handed on once the list is settled: an answer may ask again.
	std::vector<Incoming> done;
	while (!fIncoming.empty() && fIncoming.front().finished) {
		done.push_back(std::move(fIncoming.front()));
		fIncoming.erase(fIncoming.begin());
	}
	for (Incoming& incoming : done) {
		for (Answer& answer : incoming.waiting)
			answer(incoming.text);
	}
	return !done.empty();
}

bigtime_t
WaylandClipboardSelection::UntilTimeout(bigtime_t now) const
{
	bigtime_t soonest = -1;
	auto consider = [&](bigtime_t deadline) {
		const bigtime_t until = std::max(deadline - now, (bigtime_t)0);
		if (soonest < 0 || until < soonest)
			soonest = until;
	};
	for (const Incoming& incoming : fIncoming) {
		if (!incoming.finished)
			consider(incoming.reader->Deadline());
	}
	for (const auto& writer : fWriters)
		consider(writer->Deadline());
	return soonest;
}

void
WaylandClipboardSelection::_OfferChanged(bool present, std::vector<std::string> mimes)
{
	fHasOffer = present;
	fOfferMimes = std::move(mimes);
	fOffer++;
}

void
WaylandClipboardSelection::_Send(const std::string& mime, int fd, bigtime_t now)
{
	std::string bytes;
	if (!fOwner || !EncodeSelectionText(mime, fText, &bytes)) {
		close(fd); // nothing in that type: the reader sees an empty answer at once
		return;
	}
	auto writer = std::make_unique<WaylandClipboardWriter>(fd, std::move(bytes), now);
	if (writer->Write(now) == WaylandClipboardWriter::kWriting)
		fWriters.push_back(std::move(writer));
}

void
WaylandClipboardSelection::_Cancelled()
{
	fOwner = false;
	fText.clear();
}

} // namespace BPrivate
