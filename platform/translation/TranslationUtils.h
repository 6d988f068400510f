// Decoding image resources into bitmaps.
#pragma once

#include <cstddef>

#include "SupportDefs.h"

class BBitmap;

class BTranslationUtils {
public:
	// The resource of that type and id decoded into a new B_RGBA32 bitmap the caller owns;
	// null when the resource is absent or cannot be decoded. The bitmap remembers where its
	// variants for scaled displays are, and decodes them only when drawn scaled.
	static BBitmap* GetBitmap(uint32 type, int32 id);
	static BBitmap* GetBitmap(uint32 type, const char* name);
	// The type under which an image's variant drawn at factor (2 or 3) times its size is kept
	// with the same id: the type's last character becomes the factor's digit ('PNG2').
	static uint32 VariantType(uint32 type, int32 factor);
	// PNG bytes into a new bitmap, or null.
	static BBitmap* DecodePNG(const void* data, size_t size);
};
