// BResources: the resources embedded into the executable at build time, found by type and id
// the way the platform finds the resources of an application file. Read-only.
#pragma once

#include <cstddef>

#include "SupportDefs.h"

class BResources {
public:
	BResources();
	~BResources() = default;

	bool HasResource(type_code type, int32 id) const;
	// Data stays owned by the resources object; null when absent.
	const void* LoadResource(type_code type, int32 id, size_t* outSize) const;
	const void* LoadResource(type_code type, const char* name, size_t* outSize) const;
};

namespace BPrivate {

struct EmbeddedResource {
	type_code type;
	int32 id;
	const char* name;
	const unsigned char* data;
	size_t size;
};

// Called by the build-generated resource table at static initialisation.
void RegisterEmbeddedResources(const EmbeddedResource* table, size_t count);

// Tests take resources away (and put them back) to exercise the fallbacks.
void SetResourceHidden(type_code type, int32 id, bool hidden);

} // namespace BPrivate
