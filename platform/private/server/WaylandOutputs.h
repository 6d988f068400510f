// WaylandOutputs: every wl_output the compositor offers, with its current mode and whole
// scale. Windows learn which outputs their surfaces are on (wl_surface.enter); the scale of
// those decides theirs where the compositor has no fractional scale. An output may come, go
// or change its scale while the program runs.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "SupportDefs.h"

struct wl_output;
struct wl_registry;

namespace BPrivate {

class WaylandOutputs {
public:
	// Called when an output's scale changed (after the compositor's done).
	explicit WaylandOutputs(std::function<void()> scaleChanged);
	~WaylandOutputs();
	WaylandOutputs(const WaylandOutputs&) = delete;
	WaylandOutputs& operator=(const WaylandOutputs&) = delete;

	void Add(wl_registry* registry, uint32 name, uint32 version);
	// Whether the global was an output; gone hears of it before its proxy is destroyed.
	bool Remove(uint32 name, const std::function<void(const void* output)>& gone);

	// An output's whole scale, 1 for one that is not known.
	int32 ScaleOf(const void* output) const;
	int32 Largest() const;
	// The first output's current mode and scale; false when none said it yet.
	bool FirstMode(int32* width, int32* height, int32* scale) const;

	// wl_output's events (WaylandOutputs.cpp).
	void Mode(wl_output* output, int32 width, int32 height);
	void Scale(wl_output* output, int32 scale);
	void Done(wl_output* output);

private:
	struct Output {
		uint32 name = 0;
		wl_output* output = nullptr;
		int32 width = 0;
		int32 height = 0;
		int32 scale = 1;
		int32 announced = 1; // the scale as of the last done
	};
	Output* _Find(const void* output) const;

	std::function<void()> fScaleChanged;
	std::vector<std::unique_ptr<Output>> fOutputs;
};

} // namespace BPrivate
