#include "TranslationUtils.h"

#include <cairo.h>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>

#include "Bitmap.h"
#include "Resources.h"

namespace {

const unsigned char kPNGSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// The images are icons and flag strips; a header asking for more is damaged or hostile, and
// is refused before the decoder allocates for it.
constexpr uint32 kMaxImageDimension = 4096;

struct ReadCursor {
	const unsigned char* data;
	size_t size;
	size_t position;
};

cairo_status_t
ReadFromMemory(void* closure, unsigned char* buffer, unsigned int length)
{
	ReadCursor* cursor = static_cast<ReadCursor*>(closure);
	if (length > cursor->size - cursor->position)
		return CAIRO_STATUS_READ_ERROR;
	memcpy(buffer, cursor->data + cursor->position, length);
	cursor->position += length;
	return CAIRO_STATUS_SUCCESS;
}

uint32
ReadBigEndian32(const unsigned char* bytes)
{
	return (uint32(bytes[0]) << 24) | (uint32(bytes[1]) << 16) | (uint32(bytes[2]) << 8) | bytes[3];
}

// The signature and a header chunk with sane dimensions.
bool
HasAcceptableHeader(const unsigned char* data, size_t size)
{
	if (size < 24 || memcmp(data, kPNGSignature, sizeof(kPNGSignature)) != 0
		|| memcmp(data + 12, "IHDR", 4) != 0)
		return false;
	uint32 width = ReadBigEndian32(data + 16);
	uint32 height = ReadBigEndian32(data + 20);
	return width > 0 && height > 0 && width <= kMaxImageDimension && height <= kMaxImageDimension;
}

} // namespace

BBitmap*
BTranslationUtils::GetBitmap(uint32 type, int32 id)
{
	BResources resources;
	size_t size = 0;
	const void* data = resources.LoadResource(type, id, &size);
	BBitmap* bitmap = data != nullptr ? DecodePNG(data, size) : nullptr;
	if (bitmap != nullptr)
		bitmap->_SetVariantSource(type, id);
	return bitmap;
}

uint32
BTranslationUtils::VariantType(uint32 type, int32 factor)
{
	assert(factor >= 2 && factor <= 9);
	return (type & 0xffffff00u) | uint32('0' + factor);
}

BBitmap*
BTranslationUtils::GetBitmap(uint32 type, const char* name)
{
	BResources resources;
	size_t size = 0;
	const void* data = resources.LoadResource(type, name, &size);
	return data != nullptr ? DecodePNG(data, size) : nullptr;
}

BBitmap*
BTranslationUtils::DecodePNG(const void* data, size_t size)
{
	if (data == nullptr)
		return nullptr;
	const unsigned char* bytes = static_cast<const unsigned char*>(data);
	if (!HasAcceptableHeader(bytes, size))
		return nullptr;

	ReadCursor cursor{bytes, size, 0};
	cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadFromMemory, &cursor);
	if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
		cairo_surface_destroy(surface);
		return nullptr;
	}

	int width = cairo_image_surface_get_width(surface);
	int height = cairo_image_surface_get_height(surface);
	cairo_format_t format = cairo_image_surface_get_format(surface);
	auto bitmap = std::make_unique<BBitmap>(BRect(0, 0, width - 1, height - 1), B_RGBA32);
	if (bitmap->InitCheck() != B_OK
		|| (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)) {
		cairo_surface_destroy(surface);
		return nullptr;
	}

	// Cairo hands back premultiplied pixels; the bitmap holds them straight.
	cairo_surface_flush(surface);
	const unsigned char* pixels = cairo_image_surface_get_data(surface);
	int stride = cairo_image_surface_get_stride(surface);
	uint8* target = static_cast<uint8*>(bitmap->Bits());
	for (int y = 0; y < height; y++) {
		const uint32* source = reinterpret_cast<const uint32*>(pixels + (size_t)y * stride);
		uint32* row = reinterpret_cast<uint32*>(target + (size_t)y * bitmap->BytesPerRow());
		for (int x = 0; x < width; x++) {
			uint32 pixel = source[x];
			uint32 alpha = format == CAIRO_FORMAT_RGB24 ? 255 : pixel >> 24;
			auto straight = [&](uint32 value) {
				return alpha == 0 ? 0 : std::min<uint32>(255, (value * 255 + alpha / 2) / alpha);
			};
			row[x] = (alpha << 24) | (straight((pixel >> 16) & 0xff) << 16)
				| (straight((pixel >> 8) & 0xff) << 8) | straight(pixel & 0xff);
		}
	}
	cairo_surface_destroy(surface);
	return bitmap.release();
}
