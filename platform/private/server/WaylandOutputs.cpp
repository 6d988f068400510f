#include "WaylandOutputs.h"

#include <wayland-client.h>

#include <algorithm>

namespace BPrivate {

namespace {

WaylandOutputs*
Of(void* data)
{
	return static_cast<WaylandOutputs*>(data);
}

void
OnGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
	int32_t)
{
}

void
OnMode(void* data, wl_output* output, uint32_t flags, int32_t width, int32_t height, int32_t)
{
	if ((flags & WL_OUTPUT_MODE_CURRENT) != 0)
		Of(data)->Mode(output, width, height);
}

void
OnDone(void* data, wl_output* output)
{
	Of(data)->Done(output);
}

void
OnScale(void* data, wl_output* output, int32_t scale)
{
	Of(data)->Scale(output, scale);
}

void
OnText(void*, wl_output*, const char*)
{
}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone, OnScale, OnText, OnText};

} // namespace

WaylandOutputs::WaylandOutputs(std::function<void()> scaleChanged) :
	fScaleChanged(std::move(scaleChanged))
{
}

WaylandOutputs::~WaylandOutputs()
{
	for (auto& output : fOutputs)
		wl_output_destroy(output->output);
}

void
WaylandOutputs::Add(wl_registry* registry, uint32 name, uint32 version)
{
	auto output = std::make_unique<Output>();
	output->name = name;
	// Version 2 brings the scale and done.
	output->output = static_cast<wl_output*>(
		wl_registry_bind(registry, name, &wl_output_interface, std::min(version, (uint32)2)));
	if (output->output == nullptr)
		return;
	wl_output_add_listener(output->output, &kOutputListener, this);
	fOutputs.push_back(std::move(output));
}

bool
WaylandOutputs::Remove(uint32 name, const std::function<void(const void* output)>& gone)
{
	auto found = std::find_if(fOutputs.begin(), fOutputs.end(),
		[name](const std::unique_ptr<Output>& output) { return output->name == name; });
	if (found == fOutputs.end())
		return false;
	std::unique_ptr<Output> output = std::move(*found);
	fOutputs.erase(found);
	gone(output->output);
	wl_output_destroy(output->output);
	return true;
}

WaylandOutputs::Output*
WaylandOutputs::_Find(const void* output) const
{
	for (const auto& entry : fOutputs) {
		if (entry->output == output)
			return entry.get();
	}
	return nullptr;
}

int32
WaylandOutputs::ScaleOf(const void* output) const
{
	const Output* entry = _Find(output);
	return entry != nullptr ? entry->announced : 1;
}

int32
WaylandOutputs::Largest() const
{
	int32 largest = 1;
	for (const auto& output : fOutputs)
		largest = std::max(largest, output->announced);
	return largest;
}

bool
WaylandOutputs::FirstMode(int32* width, int32* height, int32* scale) const
{
	if (fOutputs.empty() || fOutputs.front()->width <= 0 || fOutputs.front()->height <= 0)
		return false;
	*width = fOutputs.front()->width;
	*height = fOutputs.front()->height;
	*scale = fOutputs.front()->announced;
	return true;
}

void
WaylandOutputs::Mode(wl_output* output, int32 width, int32 height)
{
	if (Output* entry = _Find(output)) {
		entry->width = width;
		entry->height = height;
	}
}

void
WaylandOutputs::Scale(wl_output* output, int32 scale)
{
	// Counts at the done that follows (both come with version 2).
	if (Output* entry = _Find(output))
		entry->scale = std::max(scale, (int32)1);
}

void
WaylandOutputs::Done(wl_output* output)
{
	Output* entry = _Find(output);
	if (entry == nullptr || entry->scale == entry->announced)
		return;
	entry->announced = entry->scale;
	if (fScaleChanged)
		fScaleChanged();
}

} // namespace BPrivate
