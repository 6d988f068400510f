// Any bytes as the body of a record of resolved fonts (ResolvedFonts), behind the lines that
// date it, which are written here as the reader expects so that the body is read at all:
// patterns, stamps and font files of any shape. Whatever it holds, every font of the kit is
// still made, usable, and draws; a pattern that fontconfig or cairo cannot use falls back to
// fontconfig's own match.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "Font.h"
#include "FontCache.h"
#include "FuzzCheck.h"
#include "ResolvedFonts.h"

namespace {

std::string gFolder;
std::string gPath;
std::string gDating;
std::vector<BFont> gFonts;

std::string
VariableLine(const char* name)
{
	const char* value = getenv(name);
	return std::string("env\t") + name + "\t" + (value != nullptr ? std::string("=") + value : "-")
		+ "\n";
}

void
WriteRecord(const std::string& text)
{
	FILE* file = fopen(gPath.c_str(), "wb");
	FUZZ_CHECK(file != nullptr, "the record can be written");
	fwrite(text.data(), 1, text.size(), file);
	fclose(file);
}

void
RemoveFolder()
{
	unlink(gPath.c_str());
	rmdir(gFolder.c_str());
}

} // namespace

extern "C" int
LLVMFuzzerInitialize(int*, char***)
{
	const char* tmp = getenv("TMPDIR");
	std::string pattern = std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp")
		+ "/kambo-font-fuzz.XXXXXX";
	FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr, "a scratch folder");
	gFolder = pattern;
	gPath = gFolder + "/fonts";
	atexit(RemoveFolder);
	// No fontconfig files of a user's own, and nothing steering fontconfig elsewhere.
	setenv("HOME", (gFolder + "/home").c_str(), 1);
	setenv("XDG_CONFIG_HOME", (gFolder + "/config").c_str(), 1);
	setenv("XDG_DATA_HOME", (gFolder + "/data").c_str(), 1);
	for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"})
		unsetenv(name);

	char libraries[64];
	snprintf(libraries, sizeof(libraries), "libraries\t%d\t%d\n", FcGetVersion(), cairo_version());
	gDating = std::string("kambolux resolved fonts 2\n") + libraries;
	for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME",
			 "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
		gDating += VariableLine(name);
	// A record of these lines alone must be current, or the target tests nothing past them.
	WriteRecord(gDating);
	BPrivate::ResolvedFonts record(gPath, std::string());
	FUZZ_CHECK(record.Load(), "the dating lines written here are what the reader expects");

	gFonts = BPrivate::KitFontsAtScales(2);
	return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	WriteRecord(gDating + std::string(reinterpret_cast<const char*>(data), size));
	BPrivate::KeepResolvedFonts(gPath, std::string());
	cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 96, 32);
	cairo_t* cr = cairo_create(surface);
	for (const BFont& font : gFonts) {
		cairo_scaled_font_t* scaled = BPrivate::AcquireScaledFont(font);
		FUZZ_CHECK(scaled != nullptr, "every kit font is made");
		FUZZ_CHECK(cairo_scaled_font_status(scaled) == CAIRO_STATUS_SUCCESS,
			"every kit font is usable");
		cairo_set_scaled_font(cr, scaled);
		cairo_move_to(cr, 2, 24);
		cairo_show_text(cr, "Zielw\xc3\xa4hrung 1,00");
		FUZZ_CHECK(cairo_status(cr) == CAIRO_STATUS_SUCCESS, "every kit font draws");
		cairo_scaled_font_destroy(scaled);
	}
	cairo_destroy(cr);
	cairo_surface_destroy(surface);
	BPrivate::KeepResolvedFonts(std::string(), std::string());
	return 0;
}
