// ResolvedFonts: what fontconfig made of each of the kit's fonts on an earlier start (the
// font file and its rendering settings, as a fontconfig pattern), kept in the user's cache so
// that a later start draws without loading fontconfig's configuration. Trusted only while the
// files and folders fontconfig read, the font files and the environment that steers it are as
// they were. Not a glyph cache: cairo and FreeType still load and render the fonts.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {

class ResolvedFonts {
public:
	explicit ResolvedFonts(std::string path);

	// $XDG_CACHE_HOME/kambolux/fonts, its folder made when missing; empty when there is none.
	static std::string DefaultPath();

	// Reads the file; false, and nothing known, when it is missing, damaged or out of date.
	bool Load();
	// The pattern kept for a font, or null.
	const std::string* Find(const std::string& key) const;
	// Keeps a font's pattern (fontconfig's unparsed form); the file is written by Save.
	void Add(const std::string& key, const std::string& pattern, const std::string& fontFile);
	bool HasChanges() const { return fChanged; }
	// Writes everything known, stamped with what fontconfig's current configuration read
	// (loaded if nothing has yet). A failed write is not repeated until something is added.
	status_t Save();

	// What a stamp records of a path: type, size, inode and modification time, or "absent".
	static std::string StampOf(const std::string& path);

private:
	std::string _Text() const;
	bool _Parse(const std::string& text);

	std::string fPath;
	std::map<std::string, std::string> fPatterns;
	std::vector<std::string> fFontFiles;
	bool fChanged = false;
};

} // namespace BPrivate
