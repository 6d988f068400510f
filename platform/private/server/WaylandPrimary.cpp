#include "WaylandPrimary.h"

#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

#include "SystemTime.h"
#include "WaylandClipboardMimes.h"
#include "WaylandConnection.h"
#include "primary-selection-client-protocol.h"

namespace BPrivate {

namespace {

WaylandPrimary*
Of(void* data)
{
	return static_cast<WaylandPrimary*>(data);
}

void
OnOffer(void* data, zwp_primary_selection_offer_v1* offer, const char* mime)
{
	Of(data)->OfferType(offer, mime);
}

const zwp_primary_selection_offer_v1_listener kOfferListener = {OnOffer};

void
OnDataOffer(void* data, zwp_primary_selection_device_v1*, zwp_primary_selection_offer_v1* offer)
{
	Of(data)->OfferIntroduced(offer);
}

void
OnSelection(void* data, zwp_primary_selection_device_v1*, zwp_primary_selection_offer_v1* offer)
{
	Of(data)->Selection(offer);
}

const zwp_primary_selection_device_v1_listener kDeviceListener = {OnDataOffer, OnSelection};

void
OnSend(void* data, zwp_primary_selection_source_v1* source, const char* mime, int32_t fd)
{
	Of(data)->SourceSend(source, mime, fd);
}

void
OnCancelled(void* data, zwp_primary_selection_source_v1* source)
{
	Of(data)->SourceCancelled(source);
}

const zwp_primary_selection_source_v1_listener kSourceListener = {OnSend, OnCancelled};

} // namespace

WaylandPrimary::WaylandPrimary(WaylandConnection* connection) :
	fConnection(connection),
	fOffers(zwp_primary_selection_offer_v1_destroy)
{
}

WaylandPrimary::~WaylandPrimary()
{
	fOffers.Clear();
	if (fSource != nullptr)
		zwp_primary_selection_source_v1_destroy(fSource);
	if (fDevice != nullptr)
		zwp_primary_selection_device_v1_destroy(fDevice);
	if (fManager != nullptr)
		zwp_primary_selection_device_manager_v1_destroy(fManager);
}

bool
WaylandPrimary::Binds(const char* interface)
{
	return strcmp(interface, zwp_primary_selection_device_manager_v1_interface.name) == 0;
}

void
WaylandPrimary::Bind(wl_registry* registry, uint32 name, uint32 version)
{
	(void)version; // version 1 is all there is
	if (fManager != nullptr)
		return;
	fManager = static_cast<zwp_primary_selection_device_manager_v1*>(
		wl_registry_bind(registry, name, &zwp_primary_selection_device_manager_v1_interface, 1));
}

void
WaylandPrimary::Start(wl_seat* seat)
{
	if (fManager == nullptr || seat == nullptr || fDevice != nullptr)
		return;
	fDevice = zwp_primary_selection_device_manager_v1_get_device(fManager, seat);
	zwp_primary_selection_device_v1_add_listener(fDevice, &kDeviceListener, this);
}

bool
WaylandPrimary::IsAvailable() const
{
	return fDevice != nullptr && !fConnection->lost;
}

void
WaylandPrimary::OfferIntroduced(zwp_primary_selection_offer_v1* offer)
{
	if (offer == nullptr)
		return;
	zwp_primary_selection_offer_v1_add_listener(offer, &kOfferListener, this);
	fOffers.Introduce(offer);
}

void
WaylandPrimary::OfferType(zwp_primary_selection_offer_v1* offer, const char* mime)
{
	fOffers.AddType(offer, mime);
}

void
WaylandPrimary::Selection(zwp_primary_selection_offer_v1* offer)
{
	_OfferChanged(offer != nullptr, fOffers.Select(offer));
}

void
WaylandPrimary::SourceSend(zwp_primary_selection_source_v1* source, const char* mime, int fd)
{
	if (source != fSource || mime == nullptr) {
		close(fd);
		return;
	}
	_Send(mime, fd, system_time_us());
}

void
WaylandPrimary::SourceCancelled(zwp_primary_selection_source_v1* source)
{
	zwp_primary_selection_source_v1_destroy(source);
	if (source != fSource)
		return;
	fSource = nullptr;
	_Cancelled();
}

void
WaylandPrimary::_Publish(uint32 serial)
{
	zwp_primary_selection_source_v1* source = zwp_primary_selection_device_manager_v1_create_source(
		fManager);
	zwp_primary_selection_source_v1_add_listener(source, &kSourceListener, this);
	for (const char* mime : kOfferedTextMimes)
		zwp_primary_selection_source_v1_offer(source, mime);
	zwp_primary_selection_device_v1_set_selection(fDevice, source, serial);
	// The earlier text is replaced: its source goes without a cancel of its own.
	if (fSource != nullptr)
		zwp_primary_selection_source_v1_destroy(fSource);
	fSource = source;
}

void
WaylandPrimary::_Receive(const std::string& mime, int fd)
{
	zwp_primary_selection_offer_v1_receive(fOffers.Selection(), mime.c_str(), fd);
	wl_display_flush(fConnection->display);
}

} // namespace BPrivate
