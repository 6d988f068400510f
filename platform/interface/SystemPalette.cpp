#include "SystemPalette.h"

#include <array>

namespace {

constexpr int kRampSize = 32;
constexpr int kCubeStart = 32;
constexpr int kCubeLevels = 6;
constexpr int kExtraStart = kCubeStart + kCubeLevels * kCubeLevels * kCubeLevels;

constexpr rgb_color kExtras[] = {
	{216, 216, 216, 255},
	{184, 184, 184, 255},
	{189, 186, 189, 255},
	{99, 97, 99, 255},
	{152, 152, 152, 255},
	{232, 232, 232, 255},
	{0, 0, 220, 255},
};
static_assert(kExtraStart + std::size(kExtras) == B_TRANSPARENT_MAGIC_CMAP8,
	"the extras must end right before the transparent index");

constexpr std::array<rgb_color, 256>
BuildPalette()
{
	std::array<rgb_color, 256> palette{};
	for (int i = 0; i < kRampSize; i++) {
		uint8 v = uint8((i * 255 + (kRampSize - 1) / 2) / (kRampSize - 1));
		palette[i] = {v, v, v, 255};
	}
	for (int r = 0; r < kCubeLevels; r++) {
		for (int g = 0; g < kCubeLevels; g++) {
			for (int b = 0; b < kCubeLevels; b++) {
				palette[kCubeStart + 36 * r + 6 * g + b] = {uint8(51 * r), uint8(51 * g),
					uint8(51 * b), 255};
			}
		}
	}
	for (size_t i = 0; i < std::size(kExtras); i++)
		palette[kExtraStart + i] = kExtras[i];
	palette[B_TRANSPARENT_MAGIC_CMAP8] = B_TRANSPARENT_COLOR;
	return palette;
}

constexpr std::array<rgb_color, 256> kPalette = BuildPalette();

} // namespace

const rgb_color*
system_palette()
{
	return kPalette.data();
}

uint8
index_for_color(rgb_color color)
{
	if (color.alpha == 0)
		return B_TRANSPARENT_MAGIC_CMAP8;

	int best = 0;
	int bestDistance = 1 << 30;
	for (int i = 0; i < B_TRANSPARENT_MAGIC_CMAP8; i++) {
		int dr = int(kPalette[i].red) - color.red;
		int dg = int(kPalette[i].green) - color.green;
		int db = int(kPalette[i].blue) - color.blue;
		int distance = dr * dr + dg * dg + db * db;
		if (distance < bestDistance) {
			best = i;
			bestDistance = distance;
			if (distance == 0)
				break;
		}
	}
	return uint8(best);
}
