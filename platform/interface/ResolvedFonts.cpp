#include "ResolvedFonts.h"

#include <cairo.h>
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "Directory.h"
#include "FindDirectory.h"
#include "Path.h"
#include "RegularFile.h"

namespace BPrivate {

namespace {

// The first line; a file from another version of the format is out of date.
const char* const kHeader = "kambolux resolved fonts 2";
// A few fonts' patterns and some hundred stamps; far more is no file of ours.
const off_t kLargest = 1024 * 1024;
// Where the package's install writes the system's record, and the variable that moves it.
const char* const kSystemRecord = "/var/cache/kambolux/fonts";
const char* const kSystemRecordVariable = "KAMBOLUX_FONT_RECORD";

// What steers fontconfig besides its files: where it looks. The language does not: the kit
// matches every font for the program's own (German) texts.
const char* const kSteeringVariables[] = {"FONTCONFIG_FILE", "FONTCONFIG_PATH",
	"FONTCONFIG_SYSROOT"};
// What points fontconfig at a user's own files; a system record stands for users without
// any, so it records none of these and checks that the reader's own places are all absent.
const char* const kUserVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
// The line of a system record that stands for that check.
const char* const kNoUserLine = "user\tnone";

bool
IsPlainField(const std::string& text)
{
	return text.find_first_of("\t\n") == std::string::npos;
}

// The versions of the libraries whose matching and rendering the patterns stand for.
std::string
LibraryLine()
{
	char text[64];
	snprintf(text, sizeof(text), "libraries\t%d\t%d", FcGetVersion(), cairo_version());
	return text;
}

std::string
VariableLine(const char* name)
{
	const char* value = getenv(name);
	std::string line = std::string("env\t") + name + "\t";
	if (value == nullptr)
		return line + "-";
	return line + "=" + value;
}

bool
IsUserVariable(const std::string& name)
{
	for (const char* variable : kUserVariables) {
		if (name == variable)
			return true;
	}
	return false;
}

// A size exactly, as its bits in hex.
std::string
SizeText(float size)
{
	uint32 bits;
	static_assert(sizeof(bits) == sizeof(size));
	memcpy(&bits, &size, sizeof(bits));
	char text[16];
	snprintf(text, sizeof(text), "%08x", bits);
	return text;
}

std::string
PatternKey(const std::string& face, const std::string& sizeText)
{
	return sizeText + "\t" + face;
}

// The user's own configuration and fonts, which fontconfig looks for whether or not they
// exist: one made later must put the kept patterns out of date.
std::vector<std::string>
UserPaths()
{
	std::vector<std::string> paths;
	const char* home = getenv("HOME");
	const char* configHome = getenv("XDG_CONFIG_HOME");
	const char* dataHome = getenv("XDG_DATA_HOME");
	std::string config = configHome != nullptr && configHome[0] != '\0' ? configHome
		: home != nullptr ? std::string(home) + "/.config"
						  : std::string();
	std::string data = dataHome != nullptr && dataHome[0] != '\0' ? dataHome
		: home != nullptr ? std::string(home) + "/.local/share"
						  : std::string();
	if (!config.empty()) {
		paths.push_back(config + "/fontconfig");
		paths.push_back(config + "/fontconfig/fonts.conf");
		paths.push_back(config + "/fontconfig/conf.d");
	}
	if (!data.empty())
		paths.push_back(data + "/fonts");
	if (home != nullptr) {
		paths.push_back(std::string(home) + "/.fonts.conf");
		paths.push_back(std::string(home) + "/.fonts.conf.d");
		paths.push_back(std::string(home) + "/.fonts");
	}
	return paths;
}

bool
HasNoUserFiles()
{
	for (const std::string& path : UserPaths()) {
		if (ResolvedFonts::StampOf(path) != "absent")
			return false;
	}
	return true;
}

void
AddAll(FcStrList* list, std::set<std::string>* paths)
{
	if (list == nullptr)
		return;
	while (FcChar8* path = FcStrListNext(list))
		paths->insert(reinterpret_cast<const char*>(path));
	FcStrListDone(list);
}

} // namespace

ResolvedFonts::ResolvedFonts(std::string path, std::string systemPath) :
	fPath(std::move(path)),
	fSystemPath(std::move(systemPath))
{
}

std::string
ResolvedFonts::DefaultPath()
{
	// The folder is made only when the record is written: a start that keeps nothing leaves
	// no trace in the user's cache.
	BPath cache;
	if (find_directory(B_USER_CACHE_DIRECTORY, &cache) != B_OK
		|| cache.Append("kambolux/fonts") != B_OK)
		return std::string();
	return cache.Path();
}

std::string
ResolvedFonts::SystemPath()
{
	const char* path = getenv(kSystemRecordVariable);
	if (path != nullptr && path[0] != '\0')
		return path;
	return kSystemRecord;
}

std::string
ResolvedFonts::StampOf(const std::string& path)
{
	struct stat info;
	if (stat(path.c_str(), &info) != 0)
		return "absent";
	char text[128];
	snprintf(text, sizeof(text), "%c %" PRIu64 " %" PRIu64 " %" PRId64 ".%09ld",
		S_ISDIR(info.st_mode) ? 'd' : 'f', (uint64_t)info.st_size, (uint64_t)info.st_ino,
		(int64_t)info.st_mtim.tv_sec, (long)info.st_mtim.tv_nsec);
	return text;
}

bool
ResolvedFonts::Load()
{
	fPatterns.clear();
	fSystemPatterns.clear();
	fSystemLoaded = false;
	fFontFiles.clear();
	std::string text;
	if (fPath.empty() || !BPrivate::ReadRegularFile(fPath, kLargest, &text)
		|| !_Parse(text, false, &fPatterns, &fFontFiles)) {
		fPatterns.clear();
		fFontFiles.clear();
		return false;
	}
	return true;
}

// Read only when the user's own record lacks a face: on a first start, or for a face the
// user's record never needed.
void
ResolvedFonts::_LoadSystem() const
{
	fSystemLoaded = true;
	std::string text;
	std::vector<std::string> files;
	if (fSystemPath.empty() || !BPrivate::ReadRegularFile(fSystemPath, kLargest, &text)
		|| !_Parse(text, true, &fSystemPatterns, &files))
		fSystemPatterns.clear();
}

// Every line is checked as it is read: the first that does not hold any more ends it all.
bool
ResolvedFonts::_Parse(const std::string& text, bool forSystem, Patterns* patterns,
	std::vector<std::string>* fontFiles)
{
	size_t start = 0;
	int32 lineNumber = 0;
	std::set<std::string> variables;
	bool sawLibraries = false;
	bool sawNoUser = false;
	while (start < text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			return false; // cut short
		const std::string line = text.substr(start, end - start);
		start = end + 1;
		if (lineNumber++ == 0) {
			if (line != kHeader)
				return false;
			continue;
		}
		const size_t tab = line.find('\t');
		if (tab == std::string::npos)
			return false;
		const std::string kind = line.substr(0, tab);
		const std::string rest = line.substr(tab + 1);
		if (kind == "libraries") {
			if (line != LibraryLine())
				return false;
			sawLibraries = true;
		} else if (kind == "env") {
			const std::string name = rest.substr(0, rest.find('\t'));
			// Each once: a line written twice would stand in for one left out.
			if (line != VariableLine(name.c_str()) || (forSystem && IsUserVariable(name))
				|| !variables.insert(name).second)
				return false;
		} else if (kind == "user") {
			if (!forSystem || line != kNoUserLine || !HasNoUserFiles())
				return false;
			sawNoUser = true;
		} else if (kind == "stamp" || kind == "file") {
			const size_t split = rest.find('\t');
			if (split == std::string::npos
				|| StampOf(rest.substr(split + 1)) != rest.substr(0, split))
				return false;
			if (kind == "file")
				fontFiles->push_back(rest.substr(split + 1));
		} else if (kind == "font") {
			// font, the size's bits, the face, the pattern
			const size_t sizeEnd = rest.find('\t');
			const size_t faceEnd = sizeEnd == std::string::npos ? sizeEnd
																: rest.find('\t', sizeEnd + 1);
			if (faceEnd == std::string::npos || sizeEnd != 8)
				return false;
			(*patterns)[rest.substr(0, faceEnd)] = rest.substr(faceEnd + 1);
		} else
			return false;
	}
	// The variables are written in full: one left out would go unchecked.
	const size_t expected = std::size(kSteeringVariables)
		+ (forSystem ? 0 : std::size(kUserVariables));
	return sawLibraries && variables.size() == expected && sawNoUser == forSystem;
}

const std::string*
ResolvedFonts::Find(const std::string& face, float size) const
{
	const std::string key = PatternKey(face, SizeText(size));
	auto found = fPatterns.find(key);
	if (found != fPatterns.end())
		return &found->second;
	if (!fSystemLoaded)
		_LoadSystem();
	found = fSystemPatterns.find(key);
	return found != fSystemPatterns.end() ? &found->second : nullptr;
}

void
ResolvedFonts::Add(const std::string& face, float size, const std::string& pattern,
	const std::string& fontFile)
{
	if (!IsPlainField(face) || !IsPlainField(pattern) || !IsPlainField(fontFile))
		return;
	fPatterns[PatternKey(face, SizeText(size))] = pattern;
	fFontFiles.push_back(fontFile);
	fChanged = true;
}

std::string
ResolvedFonts::_Text(bool forSystem) const
{
	std::string text = std::string(kHeader) + "\n" + LibraryLine() + "\n";
	for (const char* name : kSteeringVariables)
		text += VariableLine(name) + "\n";
	if (forSystem)
		text += std::string(kNoUserLine) + "\n";
	else {
		for (const char* name : kUserVariables)
			text += VariableLine(name) + "\n";
	}

	// Everything the configuration read, every folder it took fonts from (a font added or
	// removed there changes the folder), and the user's places that do not exist yet.
	std::set<std::string> paths;
	AddAll(FcConfigGetConfigFiles(nullptr), &paths);
	AddAll(FcConfigGetFontDirs(nullptr), &paths);
	if (!forSystem) {
		for (const std::string& path : UserPaths())
			paths.insert(path);
	}
	for (const std::string& path : paths) {
		// A path that cannot be written down cannot be checked: then nothing is kept.
		if (!IsPlainField(path))
			return std::string();
		text += "stamp\t" + StampOf(path) + "\t" + path + "\n";
	}
	std::set<std::string> files(fFontFiles.begin(), fFontFiles.end());
	for (const std::string& file : files)
		text += "file\t" + StampOf(file) + "\t" + file + "\n";
	for (const auto& [key, pattern] : fPatterns)
		text.append("font\t").append(key).append("\t").append(pattern).append("\n");
	return text;
}

status_t
ResolvedFonts::Save()
{
	if (fPath.empty())
		return B_NO_INIT;
	// Tried once: a cache that cannot be written is not tried again at every idle moment.
	fChanged = false;
	const std::string text = _Text(false);
	if (text.empty())
		return B_ERROR;
	const size_t slash = fPath.rfind('/');
	if (slash != std::string::npos && slash > 0
		&& create_directory(fPath.substr(0, slash).c_str(), 0700) != B_OK)
		return B_ERROR;
	return _Write(fPath, text, 0600);
}

status_t
ResolvedFonts::SaveForSystem(const std::string& path)
{
	if (path.empty())
		return B_NO_INIT;
	if (fPatterns.empty() || !HasNoUserFiles())
		return B_ERROR;
	const std::string text = _Text(true);
	if (text.empty())
		return B_ERROR;
	return _Write(path, text, 0644);
}

// Written beside and renamed into place: a reader sees the old file or the new one.
status_t
ResolvedFonts::_Write(const std::string& path, const std::string& text, mode_t mode)
{
	const std::string part = path + ".part";
	int fd = open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
	if (fd < 0)
		return B_ERROR;
	bool ok = fchmod(fd, mode) == 0;
	ok = write(fd, text.data(), text.size()) == (ssize_t)text.size() && ok;
	ok = close(fd) == 0 && ok;
	if (ok)
		ok = rename(part.c_str(), path.c_str()) == 0;
	if (!ok) {
		unlink(part.c_str());
		return B_ERROR;
	}
	return B_OK;
}

} // namespace BPrivate
