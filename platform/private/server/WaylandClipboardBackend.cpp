// The Wayland backend's clipboard and primary selection: the kit's requests handed to the two
// selections (WaylandClipboard, WaylandPrimary), and their pipes served by the wait.

#include <algorithm>

#include "SystemTime.h"
#include "WaylandBackend.h"
#include "WaylandClipboard.h"
#include "WaylandPrimary.h"

namespace BPrivate {

std::string
WaylandBackend::ClipboardText()
{
	std::string text;
	fClipboard->OwnText(&text);
	return text;
}

bool
WaylandBackend::RequestClipboardText(std::string* text, const ClipboardAnswer& later)
{
	if (fClipboard->OwnText(text))
		return true;
	fClipboard->Request(later, system_time_us());
	return false;
}

void
WaylandBackend::SetClipboardText(const std::string& text)
{
	fClipboard->SetText(text, fConnection.inputSerial);
}

void
WaylandBackend::SetPrimaryText(const std::string& text)
{
	// An empty selection offers nothing; without the protocol there is no primary selection.
	if (!text.empty() && fPrimary->IsAvailable())
		fPrimary->SetText(text, fConnection.inputSerial);
}

void
WaylandBackend::RequestPrimaryText(uint32 window, int32 handler)
{
	if (!fPrimary->IsAvailable())
		return;
	fPrimary->Request(
		[this, window, handler](const std::string& text) {
			fPending.push_back(BackendEvent::PrimaryText(window, handler, text));
		},
		system_time_us());
}

// True when a clipboard answer was handed on: it posted a message, so the loop has work. The
// primary selection's answers are events of their own.
bool
WaylandBackend::_ServeSelections()
{
	const bigtime_t now = system_time_us();
	fPrimary->Serve(now);
	return fClipboard->Serve(now);
}

void
WaylandBackend::_AddSelectionDescriptors(std::vector<pollfd>* descriptors) const
{
	fClipboard->AddDescriptors(descriptors);
	fPrimary->AddDescriptors(descriptors);
}

int64
WaylandBackend::_UntilSelectionTimeout() const
{
	const bigtime_t now = system_time_us();
	const bigtime_t clipboard = fClipboard->UntilTimeout(now);
	const bigtime_t primary = fPrimary->UntilTimeout(now);
	if (clipboard < 0 || primary < 0)
		return std::max(clipboard, primary);
	return std::min(clipboard, primary);
}

} // namespace BPrivate
