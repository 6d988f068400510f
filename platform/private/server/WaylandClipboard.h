// WaylandClipboard: the clipboard with other programs through the seat's wl_data_device. The
// offers the compositor introduces are kept with their types until it says which one is the
// selection (the others, such as a drag's, are let go at once); this program's text goes out
// through a wl_data_source. The transfers themselves are WaylandClipboardSelection's.
#pragma once

#include <string>

#include "WaylandClipboardSelection.h"
#include "WaylandSelectionOffers.h"

struct wl_data_device;
struct wl_data_device_manager;
struct wl_data_offer;
struct wl_data_source;
struct wl_registry;
struct wl_seat;

namespace BPrivate {

struct WaylandConnection;

class WaylandClipboard : public WaylandClipboardSelection {
public:
	explicit WaylandClipboard(WaylandConnection* connection);
	~WaylandClipboard() override;

	// The global this part binds, when the registry announces it.
	static bool Binds(const char* interface);
	void Bind(wl_registry* registry, uint32 name, uint32 version);
	// The device of the seat, once the globals are known.
	void Start(wl_seat* seat);

	bool IsAvailable() const override;

	// The device's, offers' and source's events.
	void OfferIntroduced(wl_data_offer* offer);
	void OfferType(wl_data_offer* offer, const char* mime);
	void Selection(wl_data_offer* offer);
	void DragEntered(wl_data_offer* offer);
	void SourceSend(wl_data_source* source, const char* mime, int fd);
	void SourceCancelled(wl_data_source* source);

private:
	void _Publish(uint32 serial) override;
	void _Receive(const std::string& mime, int fd) override;

	WaylandConnection* fConnection;
	wl_data_device_manager* fManager = nullptr;
	uint32 fManagerVersion = 0;
	wl_data_device* fDevice = nullptr;
	wl_data_source* fSource = nullptr;
	WaylandSelectionOffers<wl_data_offer> fOffers;
};

} // namespace BPrivate
