// WaylandPrimary: the primary selection (what the user selected last, pasted with the middle
// button) with other programs through zwp_primary_selection_device_v1, where the compositor
// offers it; without it the program has no primary selection, as before. Offers are kept
// with their types until the compositor names the selection; the transfers are
// WaylandClipboardSelection's.
#pragma once

#include <string>

#include "WaylandClipboardSelection.h"
#include "WaylandSelectionOffers.h"

struct wl_registry;
struct wl_seat;
struct zwp_primary_selection_device_manager_v1;
struct zwp_primary_selection_device_v1;
struct zwp_primary_selection_offer_v1;
struct zwp_primary_selection_source_v1;

namespace BPrivate {

struct WaylandConnection;

class WaylandPrimary : public WaylandClipboardSelection {
public:
	explicit WaylandPrimary(WaylandConnection* connection);
	~WaylandPrimary() override;

	static bool Binds(const char* interface);
	void Bind(wl_registry* registry, uint32 name, uint32 version);
	void Start(wl_seat* seat);

	bool IsAvailable() const override;

	// The device's, offers' and source's events.
	void OfferIntroduced(zwp_primary_selection_offer_v1* offer);
	void OfferType(zwp_primary_selection_offer_v1* offer, const char* mime);
	void Selection(zwp_primary_selection_offer_v1* offer);
	void SourceSend(zwp_primary_selection_source_v1* source, const char* mime, int fd);
	void SourceCancelled(zwp_primary_selection_source_v1* source);

private:
	void _Publish(uint32 serial) override;
	void _Receive(const std::string& mime, int fd) override;

	WaylandConnection* fConnection;
	zwp_primary_selection_device_manager_v1* fManager = nullptr;
	zwp_primary_selection_device_v1* fDevice = nullptr;
	zwp_primary_selection_source_v1* fSource = nullptr;
	WaylandSelectionOffers<zwp_primary_selection_offer_v1> fOffers;
};

} // namespace BPrivate
