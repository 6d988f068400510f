// BBitmap: an offscreen image in B_RGB32, B_RGBA32 or B_CMAP8 (indices into the system
// palette). Views draw it; it accepts no views of its own. A bitmap from the resources knows
// where finer drawings of it are kept, for drawing on a scaled display; it never decodes them
// unless asked.
#pragma once

#include <memory>
#include <vector>

#include "GraphicsDefs.h"
#include "Rect.h"

class BBitmap {
public:
	BBitmap(BRect bounds, color_space space, bool acceptsViews = false,
		bool needsContiguous = false);
	// A copy of source's pixels, as the platform makes one; bitmaps are never copied otherwise.
	explicit BBitmap(const BBitmap* source);
	BBitmap(const BBitmap&) = delete;
	BBitmap& operator=(const BBitmap&) = delete;
	~BBitmap();

	status_t InitCheck() const;
	BRect Bounds() const { return fBounds; }
	color_space ColorSpace() const { return fSpace; }
	// Writing through the pointer is allowed, so the variants are dropped here too.
	void* Bits()
	{
		_DropVariants();
		return fBits.data();
	}
	const void* Bits() const { return fBits.data(); }
	int32 BitsLength() const { return (int32)fBits.size(); }
	int32 BytesPerRow() const { return fBytesPerRow; }

	// Copies at most the bitmap's own bytes, starting at offset; data is in the given space
	// (only the bitmap's own space is converted as is; RGB data into CMAP8 is mapped).
	void SetBits(const void* data, int32 length, int32 offset, color_space space);

	// Kit internal: the resource (type and id) this image was decoded from; its variants
	// drawn at 2 and 3 times the size are found beside it (BTranslationUtils::VariantType).
	void _SetVariantSource(uint32 type, int32 id);
	// Kit internal: the finest variant whose factor divides scale, decoded on first use, and
	// that factor; null (and the bitmap's own pixels) when there is none.
	const BBitmap* _ScaledVariant(int32 scale, int32* factor) const;
	// Kit internal, for a fractional scale: the coarsest variant at least `scale` times as
	// fine, else the finest there is, to be resampled; null when there is none.
	const BBitmap* _VariantAtLeast(int32 scale, int32* factor) const;

private:
	void _DropVariants();
	const BBitmap* _Variant(int32 factor) const;

	BRect fBounds;
	color_space fSpace;
	int32 fWidth = 0;
	int32 fHeight = 0;
	int32 fBytesPerRow = 0;
	std::vector<uint8> fBits;
	uint32 fVariantType = 0;
	int32 fVariantId = 0;
	// The 2x and 3x variants once looked for; a missing or damaged one stays null.
	mutable std::unique_ptr<BBitmap> fVariants[2];
	mutable bool fVariantsLoaded[2] = {false, false};
};
