// Turns the kit's ARGB32 pixels into the pixel values of a TrueColor visual, whatever its
// masks (24-bit, 16-bit, the 8-bit TrueColor of a small server). Pure arithmetic; the window
// puts the result on the screen.
#pragma once

#include "SupportDefs.h"

namespace BPrivate {

class PixelLayout {
public:
	PixelLayout(uint32 redMask, uint32 greenMask, uint32 blueMask);

	// Whether the visual's pixels are the kit's own (0x00RRGGBB), so no conversion is due.
	bool IsXRGB() const;
	// The visual's pixel value for an opaque colour given as 0xAARRGGBB.
	uint32 Pixel(uint32 argb) const;

private:
	struct Channel {
		uint32 shift; // of the channel's lowest bit
		uint32 bits;  // how many bits the visual gives it
	};
	static Channel _Channel(uint32 mask);

	uint32 fRedMask, fGreenMask, fBlueMask;
	Channel fRed, fGreen, fBlue;
};

} // namespace BPrivate
