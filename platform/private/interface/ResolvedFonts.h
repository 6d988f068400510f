// ResolvedFonts: what fontconfig made of each of the kit's fonts (the font file and its
// rendering settings, as a fontconfig pattern, per face and first size), kept so that a start
// draws without loading fontconfig's configuration. Two records: the user's own, written after
// a start that had to resolve something, and the system's, written when the package is
// installed, which serves every user who has no fontconfig files or fonts of their own. Each
// is trusted only while the files and folders fontconfig read, the font files and the
// environment that steers it are as they were. Not a glyph cache: cairo and FreeType still
// load and render the fonts.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {

class ResolvedFonts {
public:
	// The user's record at path, and the system's at systemPath (empty: none).
	explicit ResolvedFonts(std::string path, std::string systemPath = std::string());

	// $XDG_CACHE_HOME/kambolux/fonts; empty when there is no cache folder. Its folder is made
	// by Save, when there is something to keep.
	static std::string DefaultPath();
	// $KAMBOLUX_FONT_RECORD, else the record the package writes at install.
	static std::string SystemPath();

	// Reads the user's record; false, and nothing known, when it is missing, damaged or out of
	// date. The system's is read when first needed.
	bool Load();
	// The pattern kept for a face (as FaceText gives it) first asked for at size, or null.
	// The user's own record comes first.
	const std::string* Find(const std::string& face, float size) const;
	// Keeps a face's pattern (fontconfig's unparsed form); the file is written by Save.
	void Add(const std::string& face, float size, const std::string& pattern,
		const std::string& fontFile);
	bool HasChanges() const { return fChanged; }
	// Writes the user's own record and what was added, stamped with what fontconfig's current
	// configuration read (loaded if nothing has yet), making its folder (0700) when missing. A
	// failed write is not repeated until something is added.
	status_t Save();
	// Writes what was added as the system's record at path, for every user without fontconfig
	// files or fonts of their own (readable by all). Fontconfig must not have read any user's.
	status_t SaveForSystem(const std::string& path);

	// What a stamp records of a path: type, size, inode and modification time, or "absent".
	static std::string StampOf(const std::string& path);

private:
	typedef std::map<std::string, std::string> Patterns;

	void _LoadSystem() const;
	std::string _Text(bool forSystem) const;
	static bool _Parse(const std::string& text, bool forSystem, Patterns* patterns,
		std::vector<std::string>* fontFiles);
	static status_t _Write(const std::string& path, const std::string& text, mode_t mode);

	std::string fPath;
	std::string fSystemPath;
	Patterns fPatterns;
	mutable Patterns fSystemPatterns;
	mutable bool fSystemLoaded = false;
	std::vector<std::string> fFontFiles;
	bool fChanged = false;
};

} // namespace BPrivate
