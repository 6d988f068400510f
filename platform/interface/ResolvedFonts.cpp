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
const char* const kHeader = "kambolux resolved fonts 1";
// A few fonts' patterns and some hundred stamps; far more is no file of ours.
const off_t kLargest = 1024 * 1024;

// What steers fontconfig besides its files: where it looks, and the language it matches for.
const char* const kSteeringVariables[] = {"FONTCONFIG_FILE", "FONTCONFIG_PATH",
	"FONTCONFIG_SYSROOT", "FC_LANG", "LC_ALL", "LC_CTYPE", "LANG", "HOME", "XDG_CONFIG_HOME",
	"XDG_DATA_HOME"};

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

ResolvedFonts::ResolvedFonts(std::string path) : fPath(std::move(path))
{
}

std::string
ResolvedFonts::DefaultPath()
{
	BPath cache;
	if (find_directory(B_USER_CACHE_DIRECTORY, &cache) != B_OK || cache.Append("kambolux") != B_OK
		|| create_directory(cache.Path(), 0700) != B_OK || cache.Append("fonts") != B_OK)
		return std::string();
	return cache.Path();
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
	fFontFiles.clear();
	std::string text;
	if (fPath.empty() || !BPrivate::ReadRegularFile(fPath, kLargest, &text) || !_Parse(text)) {
		fPatterns.clear();
		fFontFiles.clear();
		return false;
	}
	return true;
}

// Every line is checked as it is read: the first that does not hold any more ends it all.
bool
ResolvedFonts::_Parse(const std::string& text)
{
	size_t start = 0;
	int32 lineNumber = 0;
	size_t variables = 0;
	bool sawLibraries = false;
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
			if (line != VariableLine(name.c_str()))
				return false;
			variables++;
		} else if (kind == "stamp" || kind == "file") {
			const size_t split = rest.find('\t');
			if (split == std::string::npos
				|| StampOf(rest.substr(split + 1)) != rest.substr(0, split))
				return false;
			if (kind == "file")
				fFontFiles.push_back(rest.substr(split + 1));
		} else if (kind == "font") {
			const size_t split = rest.find('\t');
			if (split == std::string::npos)
				return false;
			fPatterns[rest.substr(0, split)] = rest.substr(split + 1);
		} else
			return false;
	}
	// The variables are written in full: one left out would go unchecked.
	return sawLibraries && variables == std::size(kSteeringVariables);
}

const std::string*
ResolvedFonts::Find(const std::string& key) const
{
	auto found = fPatterns.find(key);
	return found != fPatterns.end() ? &found->second : nullptr;
}

void
ResolvedFonts::Add(const std::string& key, const std::string& pattern, const std::string& fontFile)
{
	if (!IsPlainField(key) || !IsPlainField(pattern) || !IsPlainField(fontFile))
		return;
	fPatterns[key] = pattern;
	fFontFiles.push_back(fontFile);
	fChanged = true;
}

std::string
ResolvedFonts::_Text() const
{
	std::string text = std::string(kHeader) + "\n" + LibraryLine() + "\n";
	for (const char* name : kSteeringVariables)
		text += VariableLine(name) + "\n";

	// Everything the configuration read, every folder it took fonts from (a font added or
	// removed there changes the folder), and the user's places that do not exist yet.
	std::set<std::string> paths;
	AddAll(FcConfigGetConfigFiles(nullptr), &paths);
	AddAll(FcConfigGetFontDirs(nullptr), &paths);
	for (const std::string& path : UserPaths())
		paths.insert(path);
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
	const std::string text = _Text();
	if (text.empty())
		return B_ERROR;
	// Written beside and renamed into place: a reader sees the old file or the new one.
	const std::string part = fPath + ".part";
	int fd = open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
	if (fd < 0)
		return B_ERROR;
	bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
	ok = close(fd) == 0 && ok;
	if (ok)
		ok = rename(part.c_str(), fPath.c_str()) == 0;
	if (!ok) {
		unlink(part.c_str());
		return B_ERROR;
	}
	return B_OK;
}

} // namespace BPrivate
