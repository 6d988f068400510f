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

const char*
SkipBlanks(const char* text)
{
	while (*text == ' ' || *text == '\t')
		text++;
	return text;
}

int32
ScaleFromDpi(double dpi)
{
	double scale = std::floor(dpi / kReferenceDpi + 0.5);
	if (scale < 1)
		return 1;
	return scale > kMaxDisplayScale ? kMaxDisplayScale : (int32)scale;
}

// Digits with an optional fraction, read without the C locale's help: under a German locale
// strtod would stop at the point. The value ends the line.
bool
ParseDpi(const char* text, double* dpi)
{
	double value = 0;
	int digits = 0;
	const char* p = text;
	for (; isdigit((unsigned char)*p); p++, digits++)
		value = std::min(value * 10 + (*p - '0'), 1e9);
	if (*p == '.') {
		double unit = 0.1;
		for (p++; isdigit((unsigned char)*p); p++, digits++, unit /= 10)
			value += (*p - '0') * unit;
	}
	p = SkipBlanks(p);
	if (digits == 0 || (*p != '\0' && *p != '\n' && *p != '\r') || !(value > 0))
		return false;
	*dpi = value;
	return true;
}

} // namespace

bool
ParseDisplayScale(const char* text, int32* scale)
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
	*scale = (int32)std::min<int64>(value, kMaxDisplayScale);
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

int32
ResolveDisplayScale(const DisplayScaleSources& sources)
{
	int32 scale;
	if (ParseDisplayScale(sources.own, &scale))
		return scale;
	if (ParseDisplayScale(sources.gdkScale, &scale))
		return scale;
	double dpi;
	if (FindXftDpi(sources.resources, &dpi))
		return ScaleFromDpi(dpi);
	return 1;
}

int32
DisplayScaleFromEnvironment(const char* resources)
{
	DisplayScaleSources sources;
	sources.own = getenv(kDisplayScaleVariable);
	sources.gdkScale = getenv("GDK_SCALE");
	sources.resources = resources;
	return ResolveDisplayScale(sources);
}

} // namespace BPrivate
