#include "FontCache.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "Font.h"
#include "ResolvedFonts.h"

namespace {

// Glyphs are rendered into image masks; beyond this size one glyph alone would take megabytes.
constexpr float kMaxPixelSize = 1000.0f;
// Sizes are free floats, so the cache is bounded; past this it starts over.
constexpr size_t kMaxCachedFonts = 64;

typedef std::tuple<std::string, bool, bool, float> FontKey;
// A family and face, all sizes.
typedef std::tuple<std::string, bool, bool> FaceKey;

// A family and face is resolved once, at the first size asked for, and every size of it is
// drawn with that file and those rendering settings from then on, as cairo does with its own
// faces (fontconfig's rules may differ by size). A kept pattern is used where this run asks
// first for the size the kept one was resolved at.
struct FaceSource {
	bool kept = false;
	// Empty when fontconfig found nothing: then cairo's own face.
	std::string pattern;
};

// The program's texts are German whatever the locale; its fonts are matched for them, so
// every user comes to the same fonts (and a record made at install serves them all).
const char* const kTextLanguage = "de";
// The name fontconfig's rules may single the program out by, the same when the install
// resolves its fonts.
const char* const kProgramName = "kambolux";

struct FontCache {
	std::mutex lock;
	std::map<FontKey, cairo_scaled_font_t*> fonts;
	// What earlier starts resolved (null: nothing kept), loaded with the first font.
	std::unique_ptr<BPrivate::ResolvedFonts> resolved;
	bool resolvedLoaded = false;
	std::map<FaceKey, FaceSource> faces;

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

// Every option is set explicitly so that the surface's defaults, merged in when drawing,
// change nothing: what is measured here is what gets drawn. Whole-pixel advances keep glyphs
// on the pixel grid like the platform's bitmap-hinted fonts.
cairo_font_options_t*
CreateFontOptions()
{
	cairo_font_options_t* options = cairo_font_options_create();
	cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
	cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_RGB);
	cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
	cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
	return options;
}

// Takes the face's reference.
cairo_scaled_font_t*
ScaledFont(cairo_font_face_t* face, const FontKey& key)
{
	cairo_matrix_t fontMatrix;
	cairo_matrix_init_scale(&fontMatrix, std::get<3>(key), std::get<3>(key));
	cairo_matrix_t identity;
	cairo_matrix_init_identity(&identity);
	cairo_font_options_t* options = CreateFontOptions();
	cairo_scaled_font_t* font = cairo_scaled_font_create(face, &fontMatrix, &identity, options);
	cairo_font_options_destroy(options);
	cairo_font_face_destroy(face);
	if (cairo_scaled_font_status(font) != CAIRO_STATUS_SUCCESS) {
		cairo_scaled_font_destroy(font);
		return nullptr;
	}
	return font;
}

// Cairo's own way from a family, face and size to a font: fontconfig's configuration
// chooses the file and how to render it.
cairo_scaled_font_t*
CreateScaledFont(const FontKey& key)
{
	return ScaledFont(cairo_toy_font_face_create(std::get<0>(key).c_str(),
						  std::get<2>(key) ? CAIRO_FONT_SLANT_OBLIQUE : CAIRO_FONT_SLANT_NORMAL,
						  std::get<1>(key) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL),
		key);
}

// The same font from the pattern an earlier start resolved: no configuration is read, the
// file and the rendering settings are the ones cairo chose then.
cairo_scaled_font_t*
CreateFromPattern(const std::string& text, const FontKey& key)
{
	FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(text.c_str()));
	if (pattern == nullptr)
		return nullptr;
	FcChar8* file = nullptr;
	if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) {
		FcPatternDestroy(pattern);
		return nullptr;
	}
	cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
	FcPatternDestroy(pattern);
	return ScaledFont(face, key);
}

// What cairo's toy faces do to find their font (the pattern of the family, slant and weight,
// the pixel size, the configuration's and the options' substitutions, the best match), for
// the program's language and name, as fontconfig's unparsed text without the character and
// language sets cairo does not read. Empty when nothing matches.
std::string
ResolvePattern(const FontKey& key, std::string* fontFile)
{
	FcPattern* pattern = FcPatternCreate();
	FcPatternAddString(pattern, FC_FAMILY,
		reinterpret_cast<const FcChar8*>(std::get<0>(key).c_str()));
	FcPatternAddInteger(pattern, FC_SLANT, std::get<2>(key) ? FC_SLANT_OBLIQUE : FC_SLANT_ROMAN);
	FcPatternAddInteger(pattern, FC_WEIGHT, std::get<1>(key) ? FC_WEIGHT_BOLD : FC_WEIGHT_MEDIUM);
	FcPatternAddDouble(pattern, FC_PIXEL_SIZE, std::get<3>(key));
	for (const char* name : {FC_LANG, FC_NAMELANG})
		FcPatternAddString(pattern, name, reinterpret_cast<const FcChar8*>(kTextLanguage));
	FcPatternAddString(pattern, FC_PRGNAME, reinterpret_cast<const FcChar8*>(kProgramName));
	FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
	cairo_font_options_t* options = CreateFontOptions();
	cairo_ft_font_options_substitute(options, pattern);
	cairo_font_options_destroy(options);
	FcDefaultSubstitute(pattern);
	FcResult result;
	FcPattern* resolved = FcFontMatch(nullptr, pattern, &result);
	FcPatternDestroy(pattern);
	std::string text;
	FcChar8* file = nullptr;
	if (resolved != nullptr && FcPatternGetString(resolved, FC_FILE, 0, &file) == FcResultMatch) {
		*fontFile = reinterpret_cast<const char*>(file);
		FcPatternDel(resolved, FC_CHARSET);
		FcPatternDel(resolved, FC_LANG);
		if (FcChar8* unparsed = FcNameUnparse(resolved)) {
			text = reinterpret_cast<const char*>(unparsed);
			FcStrFree(unparsed);
		}
	}
	if (resolved != nullptr)
		FcPatternDestroy(resolved);
	return text;
}

// The font's family and face at a size (the caller's, already checked and bounded).
FontKey
KeyOf(const BFont& font, float size)
{
	return FontKey(font.Family(), (font.Face() & B_BOLD_FACE) != 0,
		(font.Face() & B_ITALIC_FACE) != 0, size);
}

FaceKey
FaceOf(const FontKey& key)
{
	return FaceKey(std::get<0>(key), std::get<1>(key), std::get<2>(key));
}

// A face as kept in the file: bold and italic, then the family (it may hold spaces).
std::string
FaceText(const FontKey& key)
{
	return std::string(std::get<1>(key) ? "1 " : "0 ") + (std::get<2>(key) ? "1 " : "0 ")
		+ std::get<0>(key);
}

cairo_scaled_font_t*
CreateKnownFont(FontCache& cache, const FontKey& key)
{
	auto known = cache.faces.find(FaceOf(key));
	if (known != cache.faces.end()) {
		if (!known->second.pattern.empty())
			return CreateFromPattern(known->second.pattern, key);
		return CreateScaledFont(key);
	}

	// The face's first size in this run decides.
	FaceSource& source = cache.faces[FaceOf(key)];
	if (cache.resolved != nullptr) {
		if (!cache.resolvedLoaded) {
			cache.resolvedLoaded = true;
			cache.resolved->Load();
		}
		if (const std::string* text = cache.resolved->Find(FaceText(key), std::get<3>(key))) {
			if (cairo_scaled_font_t* font = CreateFromPattern(*text, key)) {
				source.kept = true;
				source.pattern = *text;
				return font;
			}
		}
	}
	// Loads fontconfig's configuration, once; what it gives is kept at the next save.
	std::string file;
	source.pattern = ResolvePattern(key, &file);
	if (!source.pattern.empty()) {
		if (cache.resolved != nullptr)
			cache.resolved->Add(FaceText(key), std::get<3>(key), source.pattern, file);
		if (cairo_scaled_font_t* font = CreateFromPattern(source.pattern, key))
			return font;
		source.pattern.clear();
	}
	return CreateScaledFont(key);
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

	const FontKey key = KeyOf(font, size);

	FontCache& cache = Cache();
	std::lock_guard<std::mutex> guard(cache.lock);
	auto found = cache.fonts.find(key);
	if (found != cache.fonts.end())
		return cairo_scaled_font_reference(found->second);

	cairo_scaled_font_t* scaled = CreateKnownFont(cache, key);
	if (scaled == nullptr)
		return nullptr;
	if (cache.fonts.size() >= kMaxCachedFonts)
		cache.Clear();
	cache.fonts.emplace(key, scaled);
	return cairo_scaled_font_reference(scaled);
}

void
BPrivate::KeepResolvedFonts(const std::string& path, const std::string& systemPath)
{
	FontCache& cache = Cache();
	std::lock_guard<std::mutex> guard(cache.lock);
	// Fonts made before come from wherever they came from; the next ones from here.
	cache.Clear();
	cache.resolved = path.empty() && systemPath.empty()
		? nullptr
		: std::make_unique<ResolvedFonts>(path, systemPath);
	cache.resolvedLoaded = false;
	cache.faces.clear();
}

status_t
BPrivate::SaveResolvedFonts()
{
	FontCache& cache = Cache();
	std::lock_guard<std::mutex> guard(cache.lock);
	if (cache.resolved == nullptr)
		return B_NO_INIT;
	if (!cache.resolved->HasChanges())
		return B_OK;
	return cache.resolved->Save();
}

bool
BPrivate::IsFontFromRecord(const BFont& font)
{
	FontCache& cache = Cache();
	std::lock_guard<std::mutex> guard(cache.lock);
	auto known = cache.faces.find(FaceOf(KeyOf(font, font.Size())));
	return known != cache.faces.end() && known->second.kept;
}

std::vector<BFont>
BPrivate::KitFontsAtScales(int32 maxScale)
{
	std::vector<BFont> fonts;
	for (int32 scale = 1; scale <= maxScale; scale++) {
		for (const BFont* font : {be_plain_font, be_bold_font, be_fixed_font}) {
			BFont scaled(font);
			scaled.SetSize(font->Size() * (float)scale);
			fonts.push_back(scaled);
		}
	}
	return fonts;
}

status_t
BPrivate::WriteFontRecord(const std::string& path, const std::vector<BFont>& fonts)
{
	// Through the cache's lock, as every other use of fontconfig here; the cache also hands
	// fontconfig's memory back at exit in sanitised builds.
	FontCache& cache = Cache();
	std::lock_guard<std::mutex> guard(cache.lock);
	ResolvedFonts record{std::string()};
	for (const BFont& font : fonts) {
		if (!(font.Size() > 0))
			continue;
		const FontKey key = KeyOf(font, std::min(font.Size(), kMaxPixelSize));
		std::string file;
		const std::string pattern = ResolvePattern(key, &file);
		if (!pattern.empty())
			record.Add(FaceText(key), std::get<3>(key), pattern, file);
	}
	return record.SaveForSystem(path);
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
