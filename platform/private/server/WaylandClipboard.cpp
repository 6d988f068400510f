#include "WaylandClipboard.h"

#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "SystemTime.h"
#include "WaylandClipboardMimes.h"
#include "WaylandConnection.h"

namespace BPrivate {

namespace {

WaylandClipboard*
Of(void* data)
{
	return static_cast<WaylandClipboard*>(data);
}

void
OnOffer(void* data, wl_data_offer* offer, const char* mime)
{
	Of(data)->OfferType(offer, mime);
}

void
OnSourceActions(void*, wl_data_offer*, uint32_t)
{
}

void
OnAction(void*, wl_data_offer*, uint32_t)
{
}

const wl_data_offer_listener kOfferListener = {OnOffer, OnSourceActions, OnAction};

void
OnDataOffer(void* data, wl_data_device*, wl_data_offer* offer)
{
	Of(data)->OfferIntroduced(offer);
}

void
OnEnter(void* data, wl_data_device*, uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t,
	wl_data_offer* offer)
{
	Of(data)->DragEntered(offer);
}

void
OnLeave(void*, wl_data_device*)
{
}

void
OnMotion(void*, wl_data_device*, uint32_t, wl_fixed_t, wl_fixed_t)
{
}

void
OnDrop(void*, wl_data_device*)
{
}

void
OnSelection(void* data, wl_data_device*, wl_data_offer* offer)
{
	Of(data)->Selection(offer);
}

const wl_data_device_listener kDeviceListener = {OnDataOffer, OnEnter, OnLeave, OnMotion, OnDrop,
	OnSelection};

void
OnTarget(void*, wl_data_source*, const char*)
{
}

void
OnSend(void* data, wl_data_source* source, const char* mime, int32_t fd)
{
	Of(data)->SourceSend(source, mime, fd);
}

void
OnCancelled(void* data, wl_data_source* source)
{
	Of(data)->SourceCancelled(source);
}

void
OnDropPerformed(void*, wl_data_source*)
{
}

void
OnFinished(void*, wl_data_source*)
{
}

void
OnSourceAction(void*, wl_data_source*, uint32_t)
{
}

const wl_data_source_listener kSourceListener = {OnTarget, OnSend, OnCancelled, OnDropPerformed,
	OnFinished, OnSourceAction};

} // namespace

WaylandClipboard::WaylandClipboard(WaylandConnection* connection) :
	fConnection(connection),
	fOffers(wl_data_offer_destroy)
{
}

WaylandClipboard::~WaylandClipboard()
{
	fOffers.Clear();
	if (fSource != nullptr)
		wl_data_source_destroy(fSource);
	if (fDevice != nullptr) {
		if (fManagerVersion >= WL_DATA_DEVICE_RELEASE_SINCE_VERSION)
			wl_data_device_release(fDevice);
		else
			wl_data_device_destroy(fDevice);
	}
	if (fManager != nullptr)
		wl_data_device_manager_destroy(fManager);
}

bool
WaylandClipboard::Binds(const char* interface)
{
	return strcmp(interface, wl_data_device_manager_interface.name) == 0;
}

void
WaylandClipboard::Bind(wl_registry* registry, uint32 name, uint32 version)
{
	if (fManager != nullptr)
		return;
	fManagerVersion = std::min(version, (uint32)3);
	fManager = static_cast<wl_data_device_manager*>(
		wl_registry_bind(registry, name, &wl_data_device_manager_interface, fManagerVersion));
}

void
WaylandClipboard::Start(wl_seat* seat)
{
	if (fManager == nullptr || seat == nullptr || fDevice != nullptr)
		return;
	fDevice = wl_data_device_manager_get_data_device(fManager, seat);
	wl_data_device_add_listener(fDevice, &kDeviceListener, this);
}

bool
WaylandClipboard::IsAvailable() const
{
	return fDevice != nullptr && !fConnection->lost;
}

void
WaylandClipboard::OfferIntroduced(wl_data_offer* offer)
{
	if (offer == nullptr)
		return;
	wl_data_offer_add_listener(offer, &kOfferListener, this);
	fOffers.Introduce(offer);
}

void
WaylandClipboard::OfferType(wl_data_offer* offer, const char* mime)
{
	fOffers.AddType(offer, mime);
}

void
WaylandClipboard::Selection(wl_data_offer* offer)
{
	_OfferChanged(offer != nullptr, fOffers.Select(offer));
}

// Nothing is dropped on this program's windows: a drag's offer is not kept.
void
WaylandClipboard::DragEntered(wl_data_offer* offer)
{
	if (offer != nullptr)
		fOffers.Forget(offer);
}

void
WaylandClipboard::SourceSend(wl_data_source* source, const char* mime, int fd)
{
	if (source != fSource || mime == nullptr) {
		close(fd);
		return;
	}
	_Send(mime, fd, system_time_us());
}

void
WaylandClipboard::SourceCancelled(wl_data_source* source)
{
	wl_data_source_destroy(source);
	if (source != fSource)
		return;
	fSource = nullptr;
	_Cancelled();
}

void
WaylandClipboard::_Publish(uint32 serial)
{
	wl_data_source* source = wl_data_device_manager_create_data_source(fManager);
	wl_data_source_add_listener(source, &kSourceListener, this);
	for (const char* mime : kOfferedTextMimes)
		wl_data_source_offer(source, mime);
	wl_data_device_set_selection(fDevice, source, serial);
	// The earlier text is replaced: its source goes without a cancel of its own.
	if (fSource != nullptr)
		wl_data_source_destroy(fSource);
	fSource = source;
}

void
WaylandClipboard::_Receive(const std::string& mime, int fd)
{
	wl_data_offer_receive(fOffers.Selection(), mime.c_str(), fd);
	wl_display_flush(fConnection->display);
}

} // namespace BPrivate
