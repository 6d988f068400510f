#include "Resources.h"

#include <cstring>
#include <vector>

namespace {

struct Entry {
	BPrivate::EmbeddedResource resource;
	bool hidden;
};

// Filled from static initialisers of other translation units, so it must be built on first
// use rather than at this file's own static initialisation.
std::vector<Entry>&
Registry()
{
	static std::vector<Entry> sRegistry;
	return sRegistry;
}

// Later registrations come first in a search, so a table registered afterwards (a test's)
// shadows an entry of the same type and id.
const BPrivate::EmbeddedResource*
FindById(type_code type, int32 id)
{
	const std::vector<Entry>& registry = Registry();
	for (auto it = registry.rbegin(); it != registry.rend(); ++it) {
		if (it->resource.type == type && it->resource.id == id)
			return it->hidden ? nullptr : &it->resource;
	}
	return nullptr;
}

const BPrivate::EmbeddedResource*
FindByName(type_code type, const char* name)
{
	if (name == nullptr)
		return nullptr;
	const std::vector<Entry>& registry = Registry();
	for (auto it = registry.rbegin(); it != registry.rend(); ++it) {
		if (it->hidden || it->resource.type != type || it->resource.name == nullptr)
			continue;
		if (std::strcmp(it->resource.name, name) == 0)
			return &it->resource;
	}
	return nullptr;
}

const void*
DataOf(const BPrivate::EmbeddedResource* resource, size_t* outSize)
{
	if (outSize != nullptr)
		*outSize = resource != nullptr ? resource->size : 0;
	return resource != nullptr ? resource->data : nullptr;
}

} // namespace

BResources::BResources() = default;

bool
BResources::HasResource(type_code type, int32 id) const
{
	return FindById(type, id) != nullptr;
}

const void*
BResources::LoadResource(type_code type, int32 id, size_t* outSize) const
{
	return DataOf(FindById(type, id), outSize);
}

const void*
BResources::LoadResource(type_code type, const char* name, size_t* outSize) const
{
	return DataOf(FindByName(type, name), outSize);
}

// #pragma mark -

void
BPrivate::RegisterEmbeddedResources(const EmbeddedResource* table, size_t count)
{
	std::vector<Entry>& registry = Registry();
	for (size_t i = 0; i < count; i++)
		registry.push_back(Entry{table[i], false});
}

void
BPrivate::SetResourceHidden(type_code type, int32 id, bool hidden)
{
	for (Entry& entry : Registry()) {
		if (entry.resource.type == type && entry.resource.id == id)
			entry.hidden = hidden;
	}
}
