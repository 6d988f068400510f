#include "DisplayScale.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace BPrivate {

const char* const kDisplayScaleVariable = "KAMBOLUX_SCALE";

namespace {

// X's reference resolution: Xft.dpi 96 is scale 1.
constexpr double kReferenceDpi = 96.0;
constexpr const char kXftDpi[] = "Xft.dpi";
constexpr int64 kMaxUnits = (int64)kMaxDisplayScale * DisplayScale::kUnitsPerWhole;

const char*
SkipBlanks(const char* text)
{
	while (*text == ' ' || *text == '\t')
		text++;
	return text;
}

// Rounds towards minus infinity, for positions left of or above a window.
int64
FloorDiv(int64 numerator, int64 denominator)
{
	int64 q = numerator / denominator;
	return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? q - 1 : q;
}

// Digits with an optional fraction, read without the C locale's help: under a German locale
// strtod would stop at the point. `separators` are the characters taken as the point.
// Returns where the number ends, or nullptr when there is none.
const char*
ParseNumber(const char* text, const char* separators, double* number)
{
	double value = 0;
	int digits = 0;
	const char* p = text;
	for (; isdigit((unsigned char)*p); p++, digits++)
		value = std::min(value * 10 + (*p - '0'), 1e9);
	if (*p != '\0' && strchr(separators, *p) != nullptr) {
		double unit = 0.1;
		for (p++; isdigit((unsigned char)*p); p++, digits++, unit /= 10)
			value += (*p - '0') * unit;
	}
	if (digits == 0)
		return nullptr;
	*number = value;
	return p;
}

// A DPI value ends the line.
bool
ParseDpi(const char* text, double* dpi)
{
	double value;
	const char* p = ParseNumber(text, ".", &value);
	if (p == nullptr)
		return false;
	p = SkipBlanks(p);
	if ((*p != '\0' && *p != '\n' && *p != '\r') || !(value > 0))
		return false;
	*dpi = value;
	return true;
}

} // namespace

DisplayScale
DisplayScale::Whole(int32 factor)
{
	return FromUnits((int64)factor * kUnitsPerWhole);
}

DisplayScale
DisplayScale::FromUnits(int64 units)
{
	DisplayScale scale;
	scale.fUnits = (int32)std::clamp<int64>(units, kUnitsPerWhole, kMaxUnits);
	return scale;
}

DisplayScale
DisplayScale::FromFactor(double factor)
{
	if (!(factor >= 1))
		return DisplayScale();
	if (factor >= kMaxDisplayScale)
		return Whole(kMaxDisplayScale);
	double whole = std::floor(factor + 0.5);
	if (std::fabs(factor - whole) < 1e-6)
		return Whole((int32)whole);
	return FromUnits(std::llround(factor * kUnitsPerWhole));
}

int64
DisplayScale::ToDevice(int64 layout) const
{
	if (IsWhole())
		return layout * (fUnits / kUnitsPerWhole);
	return FloorDiv(2 * layout * fUnits + kUnitsPerWhole, 2 * kUnitsPerWhole);
}

int64
DisplayScale::ToLayout(int64 device) const
{
	if (IsWhole())
		return FloorDiv(device, fUnits / kUnitsPerWhole);
	// The largest x whose start round(x * f) is not past device: x * units < 120 * device + 60.
	return FloorDiv(kUnitsPerWhole * device + kUnitsPerWhole / 2 - 1, fUnits);
}

int64
DisplayScale::LayoutLengthCovering(int64 device) const
{
	if (device <= 0)
		return device;
	return ToLayout(device - 1) + 1;
}

DisplayScale
DisplayScaleFromDpi(double dpi)
{
	// Quarters: a DPI measured from the monitor (97, 101) stays at 1, desktops' 125 % and
	// 150 % (120, 144) are met exactly.
	double quarters = std::floor(std::min(dpi, 1e6) / (kReferenceDpi / 4) + 0.5);
	return DisplayScale::FromUnits((int64)quarters * (DisplayScale::kUnitsPerWhole / 4));
}

bool
ParseDisplayScale(const char* text, DisplayScale* scale)
{
	if (text == nullptr)
		return false;
	double value;
	const char* end = ParseNumber(SkipBlanks(text), ".,", &value);
	if (end == nullptr || *SkipBlanks(end) != '\0' || !(value >= 1))
		return false;
	*scale = DisplayScale::FromFactor(value);
	return true;
}

bool
ParseWholeDisplayScale(const char* text, DisplayScale* scale)
{
	if (text == nullptr)
		return false;
	const char* p = SkipBlanks(text);
	if (!isdigit((unsigned char)*p))
		return false;
	int64 value = 0;
	for (; isdigit((unsigned char)*p); p++) {
		// Past the largest scale the exact number no longer matters, and must not overflow.
		value = std::min<int64>(value * 10 + (*p - '0'), 1000);
	}
	if (*SkipBlanks(p) != '\0' || value < 1)
		return false;
	*scale = DisplayScale::Whole((int32)value);
	return true;
}

bool
FindXftDpi(const char* resources, double* dpi)
{
	if (resources == nullptr)
		return false;
	for (const char* line = resources; *line != '\0';) {
		const char* end = strchr(line, '\n');
		size_t length = end != nullptr ? (size_t)(end - line) : strlen(line);
		const char* name = SkipBlanks(line);
		size_t nameLength = sizeof(kXftDpi) - 1;
		if ((size_t)(name - line) + nameLength <= length
			&& strncmp(name, kXftDpi, nameLength) == 0) {
			const char* colon = SkipBlanks(name + nameLength);
			if (*colon == ':') {
				return ParseDpi(SkipBlanks(colon + 1), dpi);
			}
		}
		if (end == nullptr)
			break;
		line = end + 1;
	}
	return false;
}

DisplayScale
ResolveDisplayScale(const DisplayScaleSources& sources)
{
	DisplayScale scale;
	if (ParseDisplayScale(sources.own, &scale))
		return scale;
	if (ParseWholeDisplayScale(sources.gdkScale, &scale))
		return scale;
	double dpi;
	if (FindXftDpi(sources.resources, &dpi))
		return DisplayScaleFromDpi(dpi);
	return DisplayScale();
}

DisplayScale
DisplayScaleFromEnvironment(const char* resources)
{
	DisplayScaleSources sources;
	sources.own = getenv(kDisplayScaleVariable);
	sources.gdkScale = getenv("GDK_SCALE");
	sources.resources = resources;
	return ResolveDisplayScale(sources);
}

} // namespace BPrivate
