// The X11 backend's primary selection: what the user selected last is offered to other
// programs, and a middle-click asks the owner for its text without waiting for it.

#include "X11BackendPrivate.h"

#include <time.h>

namespace BPrivate {

namespace {

bigtime_t
Now()
{
	timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

} // namespace

void
X11Backend::SetPrimaryText(const std::string& text)
{
	// An empty selection offers nothing; the last one stays with its owner, as elsewhere on X.
	if (text.empty() || fConnection.lost)
		return;
	fPrimary->SetText(text);
}

void
X11Backend::RequestPrimaryText(uint32 window, int32 handler)
{
	auto answer = [this, window, handler](const std::string& text) {
		BackendEvent event;
		event.type = BackendEvent::kPrimaryText;
		event.window = window;
		event.handler = handler;
		event.text = text;
		fPending.push_back(event);
	};
	std::string own;
	if (fPrimary->OwnText(&own)) {
		answer(own);
		return;
	}
	fPrimary->Request(std::move(answer), Now());
}

} // namespace BPrivate
