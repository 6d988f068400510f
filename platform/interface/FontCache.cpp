#include "FontCache.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "Font.h"

namespace {

// Glyphs are rendered into image masks; beyond this size one glyph alone would take megabytes.
constexpr float kMaxPixelSize = 1000.0f;
// Sizes are free floats, so the cache is bounded; past this it starts over.
constexpr size_t kMaxCachedFonts = 64;

typedef std::tuple<std::string, bool, bool, float> FontKey;

struct FontCache {
	std::mutex lock;
	std::map<FontKey, cairo_scaled_font_t*> fonts;

	~FontCache()
	{
		Clear();
#if defined(__SANITIZE_ADDRESS__)
		// Cairo and fontconfig keep their font caches for the life of the process; a leak
		// checker running at exit would report them, so sanitised builds hand them back.
		cairo_debug_reset_static_data();
		FcFini();
#endif
	}

	void Clear()
	{
		for (auto& entry : fonts)
			cairo_scaled_font_destroy(entry.second);
		fonts.clear();
	}
};

FontCache&
Cache()
{
	static FontCache sCache;
	return sCache;
}

cairo_scaled_font_t*
CreateScaledFont(const FontKey& key)
{
	cairo_font_face_t* face = cairo_toy_font_face_create(std::get<0>(key).c_str(),
		std::get<2>(key) ? CAIRO_FONT_SLANT_OBLIQUE : CAIRO_FONT_SLANT_NORMAL,
		std::get<1>(key) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);

	cairo_matrix_t fontMatrix;
	cairo_matrix_init_scale(&fontMatrix, std::get<3>(key), std::get<3>(key));
	cairo_matrix_t identity;
	cairo_matrix_init_identity(&identity);

	// Every option is set explicitly so that the surface's defaults, merged in when drawing,
	// change nothing: what is measured here is what gets drawn. Whole-pixel advances keep
	// glyphs on the pixel grid like the platform's bitmap-hinted fonts.
	cairo_font_options_t* options = cairo_font_options_create();
	cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
	cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_RGB);
	cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
	cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);

	cairo_scaled_font_t* font = cairo_scaled_font_create(face, &fontMatrix, &identity, options);
	cairo_font_options_destroy(options);
	cairo_font_face_destroy(face);
	if (cairo_scaled_font_status(font) != CAIRO_STATUS_SUCCESS) {
		cairo_scaled_font_destroy(font);
		return nullptr;
	}
	return font;
}

// Appends the UTF-8 encoding of U+FFFD.
void
AppendReplacement(std::string& out)
{
	out += "\xef\xbf\xbd";
}

// The length of the well-formed character at text[0..available), or 0.
size_t
CharacterLength(const unsigned char* text, size_t available)
{
	unsigned char lead = text[0];
	if (lead < 0x80)
		return 1;
	size_t length;
	uint32 code;
	uint32 minimum;
	if ((lead & 0xe0) == 0xc0) {
		length = 2;
		code = lead & 0x1f;
		minimum = 0x80;
	} else if ((lead & 0xf0) == 0xe0) {
		length = 3;
		code = lead & 0x0f;
		minimum = 0x800;
	} else if ((lead & 0xf8) == 0xf0) {
		length = 4;
		code = lead & 0x07;
		minimum = 0x10000;
	} else {
		return 0;
	}
	if (length > available)
		return 0;
	for (size_t i = 1; i < length; i++) {
		if ((text[i] & 0xc0) != 0x80)
			return 0;
		code = (code << 6) | (text[i] & 0x3f);
	}
	// Overlong forms, surrogates and the non-characters cairo rejects.
	if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)
		|| (code & 0xfffe) == 0xfffe)
		return 0;
	return length;
}

} // namespace

cairo_scaled_font_t*
BPrivate::AcquireScaledFont(const BFont& font)
{
	float size = font.Size();
	if (!(size > 0))
		return nullptr;
	size = std::min(size, kMaxPixelSize);

	FontKey key(font.Family(), (font.Face() & B_BOLD_FACE) != 0, (font.Face() & B_ITALIC_FACE) != 0,
		size);

	FontCache& cache = Cache();
	std::lock_guard<std::mutex> guard(cache.lock);
	auto found = cache.fonts.find(key);
	if (found != cache.fonts.end())
		return cairo_scaled_font_reference(found->second);

	cairo_scaled_font_t* scaled = CreateScaledFont(key);
	if (scaled == nullptr)
		return nullptr;
	if (cache.fonts.size() >= kMaxCachedFonts)
		cache.Clear();
	cache.fonts.emplace(key, scaled);
	return cairo_scaled_font_reference(scaled);
}

std::string
BPrivate::SanitizedUTF8(const char* text, int32 length)
{
	std::string out;
	if (text == nullptr || length <= 0)
		return out;
	size_t available = strnlen(text, (size_t)length);
	out.reserve(available);
	const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
	size_t i = 0;
	while (i < available) {
		size_t characterLength = CharacterLength(bytes + i, available - i);
		if (characterLength == 0) {
			AppendReplacement(out);
			i++;
			continue;
		}
		out.append(text + i, characterLength);
		i += characterLength;
	}
	return out;
}
