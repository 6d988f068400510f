// The X11 backend's primary selection: what the user selected last is offered to other
// programs, and a middle-click asks the owner for its text without waiting for it.

#include "SystemTime.h"
#include "X11BackendPrivate.h"

#include <time.h>

namespace BPrivate {

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
		fPending.push_back(BackendEvent::PrimaryText(window, handler, text));
	};
	std::string own;
	if (fPrimary->OwnText(&own)) {
		answer(own);
		return;
	}
	fPrimary->Request(std::move(answer), system_time_us());
}

} // namespace BPrivate
