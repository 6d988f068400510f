#include "X11Pixels.h"

namespace BPrivate {

PixelLayout::PixelLayout(uint32 redMask, uint32 greenMask, uint32 blueMask) :
	fRedMask(redMask),
	fGreenMask(greenMask),
	fBlueMask(blueMask),
	fRed(_Channel(redMask)),
	fGreen(_Channel(greenMask)),
	fBlue(_Channel(blueMask))
{
}

PixelLayout::Channel
PixelLayout::_Channel(uint32 mask)
{
	Channel channel{0, 0};
	if (mask == 0)
		return channel;
	while ((mask & 1) == 0) {
		mask >>= 1;
		channel.shift++;
	}
	while ((mask & 1) != 0 && channel.bits < 32) {
		mask >>= 1;
		channel.bits++;
	}
	return channel;
}

bool
PixelLayout::IsXRGB() const
{
	return fRedMask == 0xff0000 && fGreenMask == 0xff00 && fBlueMask == 0xff;
}

uint32
PixelLayout::Pixel(uint32 argb) const
{
	// The top bits of each 8-bit channel, as the visual has room for.
	auto scale = [](uint32 value, Channel channel) -> uint32 {
		if (channel.bits == 0)
			return 0;
		uint32 scaled = channel.bits >= 8 ? value << (channel.bits - 8)
										  : value >> (8 - channel.bits);
		return scaled << channel.shift;
	};
	return scale((argb >> 16) & 0xff, fRed) | scale((argb >> 8) & 0xff, fGreen)
		| scale(argb & 0xff, fBlue);
}

} // namespace BPrivate
