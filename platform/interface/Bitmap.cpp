#include "Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "SystemPalette.h"
#include "TranslationUtils.h"

namespace {

// Generous for icons and flag strips, small enough that a damaged size cannot exhaust memory.
constexpr int32 kMaxDimension = 1 << 14;
constexpr int64 kMaxBytes = 1 << 28;

int32
BytesPerPixel(color_space space)
{
	switch (space) {
		case B_RGB32:
		case B_RGBA32:
			return 4;
		case B_CMAP8:
			return 1;
		default:
			return 0;
	}
}

uint32
Load32(const uint8* bytes)
{
	uint32 value;
	memcpy(&value, bytes, sizeof(value));
	return value;
}

void
Store32(uint8* bytes, uint32 value)
{
	memcpy(bytes, &value, sizeof(value));
}

rgb_color
ReadPixel(const uint8* bytes, color_space space)
{
	if (space == B_CMAP8)
		return system_palette()[bytes[0]];
	uint32 value = Load32(bytes);
	uint8 alpha = space == B_RGBA32 ? uint8(value >> 24) : 255;
	return rgb_color{uint8(value >> 16), uint8(value >> 8), uint8(value), alpha};
}

void
WritePixel(uint8* bytes, color_space space, rgb_color color)
{
	if (space == B_CMAP8) {
		bytes[0] = index_for_color(color);
		return;
	}
	uint8 alpha = space == B_RGBA32 ? color.alpha : 255;
	Store32(bytes,
		(uint32(alpha) << 24) | (uint32(color.red) << 16) | (uint32(color.green) << 8)
			| color.blue);
}

} // namespace

BBitmap::BBitmap(BRect bounds, color_space space, bool, bool) : fBounds(bounds), fSpace(space)
{
	int32 bytesPerPixel = BytesPerPixel(space);
	if (bytesPerPixel == 0 || !std::isfinite(bounds.left) || !std::isfinite(bounds.top)
		|| !std::isfinite(bounds.right) || !std::isfinite(bounds.bottom) || !bounds.IsValid()
		|| bounds.Width() >= kMaxDimension || bounds.Height() >= kMaxDimension)
		return;

	int32 width = bounds.IntegerWidth() + 1;
	int32 height = bounds.IntegerHeight() + 1;
	// Rows of one-byte pixels are padded to 32 bits, as the platform lays them out.
	int32 bytesPerRow = space == B_CMAP8 ? (width + 3) & ~3 : width * bytesPerPixel;
	if ((int64)bytesPerRow * height > kMaxBytes)
		return;
	try {
		fBits.assign((size_t)bytesPerRow * height, 0);
	} catch (const std::bad_alloc&) {
		return;
	}
	fWidth = width;
	fHeight = height;
	fBytesPerRow = bytesPerRow;
}

BBitmap::BBitmap(const BBitmap* source) :
	fBounds(source->fBounds),
	fSpace(source->fSpace),
	fWidth(source->fWidth),
	fHeight(source->fHeight),
	fBytesPerRow(source->fBytesPerRow),
	fBits(source->fBits),
	fVariantType(source->fVariantType),
	fVariantId(source->fVariantId)
{
}

BBitmap::~BBitmap() = default;

status_t
BBitmap::InitCheck() const
{
	return fBits.empty() ? B_BAD_VALUE : B_OK;
}

void
BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space space)
{
	int32 sourceBytesPerPixel = BytesPerPixel(space);
	if (data == nullptr || length <= 0 || offset < 0 || offset >= BitsLength()
		|| sourceBytesPerPixel == 0)
		return;
	_DropVariants();
	const uint8* source = static_cast<const uint8*>(data);

	if (space == fSpace) {
		memcpy(fBits.data() + offset, source, std::min(length, BitsLength() - offset));
		return;
	}

	// Pixel by pixel: the offset names the first pixel written, the data holds whole pixels
	// of its own space back to back, and row padding is skipped.
	int32 bytesPerPixel = BytesPerPixel(fSpace);
	int32 row = offset / fBytesPerRow;
	int32 column = (offset % fBytesPerRow) / bytesPerPixel;
	for (int32 i = 0; i + sourceBytesPerPixel <= length; i += sourceBytesPerPixel) {
		if (column >= fWidth) {
			column = 0;
			row++;
		}
		if (row >= fHeight)
			break;
		WritePixel(fBits.data() + (size_t)row * fBytesPerRow + (size_t)column * bytesPerPixel,
			fSpace, ReadPixel(source + i, space));
		column++;
	}
}

void
BBitmap::_SetVariantSource(uint32 type, int32 id)
{
	_DropVariants();
	fVariantType = type;
	fVariantId = id;
}

const BBitmap*
BBitmap::_ScaledVariant(int32 scale, int32* factor) const
{
	if (fVariantType == 0)
		return nullptr;
	for (int32 f = 3; f >= 2; f--) {
		if (scale % f != 0)
			continue;
		if (const BBitmap* variant = _Variant(f)) {
			*factor = f;
			return variant;
		}
	}
	return nullptr;
}

const BBitmap*
BBitmap::_VariantAtLeast(int32 scale, int32* factor) const
{
	if (fVariantType == 0)
		return nullptr;
	// Finer than needed is sharper after resampling than coarser and enlarged.
	for (int32 f = std::clamp<int32>(scale, 2, 3); f <= 3; f++) {
		if (const BBitmap* variant = _Variant(f)) {
			*factor = f;
			return variant;
		}
	}
	for (int32 f = std::clamp<int32>(scale, 2, 3) - 1; f >= 2; f--) {
		if (const BBitmap* variant = _Variant(f)) {
			*factor = f;
			return variant;
		}
	}
	return nullptr;
}

const BBitmap*
BBitmap::_Variant(int32 f) const
{
	int32 slot = f - 2;
	if (!fVariantsLoaded[slot]) {
		fVariantsLoaded[slot] = true;
		std::unique_ptr<BBitmap> variant(
			BTranslationUtils::GetBitmap(BTranslationUtils::VariantType(fVariantType, f),
				fVariantId));
		// A variant must be the same picture: exactly f times as large.
		if (variant != nullptr && variant->fWidth == fWidth * f && variant->fHeight == fHeight * f)
			fVariants[slot] = std::move(variant);
	}
	return fVariants[slot].get();
}

void
BBitmap::_DropVariants()
{
	fVariantType = 0;
	fVariantId = 0;
	for (int32 slot = 0; slot < 2; slot++) {
		fVariants[slot].reset();
		fVariantsLoaded[slot] = false;
	}
}
