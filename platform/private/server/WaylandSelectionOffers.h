// WaylandSelectionOffers: the offers a selection device (the clipboard's or the primary
// selection's) introduced, each with the types it named, until the compositor says which one
// is the selection; that one is held until the next replaces it. Offer is the protocol's offer
// type; the two protocols differ only in their names for the same requests.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace BPrivate {

template <typename Offer>
class WaylandSelectionOffers {
public:
	using Destroy = void (*)(Offer*);

	explicit WaylandSelectionOffers(Destroy destroy) : fDestroy(destroy) {}
	~WaylandSelectionOffers() { Clear(); }
	WaylandSelectionOffers(const WaylandSelectionOffers&) = delete;
	WaylandSelectionOffers& operator=(const WaylandSelectionOffers&) = delete;

	void Introduce(Offer* offer) { fIntroduced[offer]; }

	void AddType(Offer* offer, const char* mime)
	{
		auto found = fIntroduced.find(offer);
		if (found != fIntroduced.end() && mime != nullptr && found->second.size() < kMostTypes)
			found->second.emplace_back(mime);
	}

	// Makes offer (nullptr: none) the selection, letting the one before go; the types it named.
	std::vector<std::string> Select(Offer* offer)
	{
		if (fSelection != nullptr && fSelection != offer)
			fDestroy(fSelection);
		fSelection = offer;
		std::vector<std::string> mimes;
		auto found = fIntroduced.find(offer);
		if (found != fIntroduced.end()) {
			mimes = std::move(found->second);
			fIntroduced.erase(found);
		}
		return mimes;
	}

	// An offer that will never be the selection (a drag's).
	void Forget(Offer* offer)
	{
		fIntroduced.erase(offer);
		fDestroy(offer);
	}

	Offer* Selection() const { return fSelection; }

	void Clear()
	{
		for (auto& [offer, mimes] : fIntroduced)
			fDestroy(offer);
		fIntroduced.clear();
		if (fSelection != nullptr)
			fDestroy(fSelection);
		fSelection = nullptr;
	}

private:
	// An offer listing more types than this is not believed beyond them.
	static constexpr size_t kMostTypes = 64;

	Destroy fDestroy;
	std::map<Offer*, std::vector<std::string>> fIntroduced;
	Offer* fSelection = nullptr;
};

} // namespace BPrivate
