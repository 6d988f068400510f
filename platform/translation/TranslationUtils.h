// Decoding image resources into bitmaps.
#pragma once

#include <cstddef>

#include "SupportDefs.h"

class BBitmap;

class BTranslationUtils {
public:
	// The resource of that type and id decoded into a new B_RGBA32 bitmap the caller owns;
	// null when the resource is absent or cannot be decoded.
	static BBitmap* GetBitmap(uint32 type, int32 id);
	static BBitmap* GetBitmap(uint32 type, const char* name);
	// PNG bytes into a new bitmap, or null.
	static BBitmap* DecodePNG(const void* data, size_t size);
};
