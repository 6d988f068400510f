#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>

#include "DataIO.h"
#include "Directory.h"
#include "File.h"
#include "FindDirectory.h"
#include "Path.h"
#include "ReplaceFile.h"
#include "ScopedVariable.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

class TempDir : public ScratchFolder {
public:
	TempDir() : ScratchFolder("kitstorage") {}
	std::string operator/(const char* leaf) const { return Sub(leaf); }
};

std::string
ReadAll(BPositionIO& io)
{
	std::string text(64, '\0');
	ssize_t got = io.ReadAt(0, text.data(), text.size());
	text.resize(got > 0 ? got : 0);
	return text;
}

} // namespace

// A second BFile on the same descriptor would close it under the first.
static_assert(!std::is_copy_constructible_v<BFile> && !std::is_copy_assignable_v<BFile>);
static_assert(!std::is_move_constructible_v<BFile> && !std::is_move_assignable_v<BFile>);

TEST(Path, UnsetUntilSetAndAppendNeedsAPath)
{
	BPath path;
	EXPECT_EQ(nullptr, path.Path());
	EXPECT_NE(B_OK, path.InitCheck());
	EXPECT_NE(B_OK, path.Append("KamboLux_prefs"));
	EXPECT_EQ(nullptr, path.Path());

	ASSERT_EQ(B_OK, path.SetTo("/home/user/.config"));
	EXPECT_EQ(B_OK, path.Append("KamboLux_prefs"));
	EXPECT_STREQ("/home/user/.config/KamboLux_prefs", path.Path());
	EXPECT_EQ(B_BAD_VALUE, path.Append("/absolute"));
	EXPECT_STREQ("/home/user/.config/KamboLux_prefs", path.Path());
}

TEST(Path, CleansLexically)
{
	struct Case {
		const char* in;
		bool normalize;
		const char* out;
	} cases[] = {
		{"/a//b/./c/", false, "/a/b/c"},
		{"/a/b/../c", false, "/a/b/../c"},
		{"/a/b/../c", true, "/a/c"},
		{"/../..", true, "/"},
		{"///", false, "/"},
	};
	for (const Case& c : cases)
		EXPECT_STREQ(c.out, BPath(c.in, nullptr, c.normalize).Path()) << c.in;

	char cwd[4096];
	ASSERT_NE(nullptr, getcwd(cwd, sizeof(cwd)));
	EXPECT_EQ(std::string(cwd) + "/x", BPath("x").Path()) << "relative to the working directory";
}

TEST(FindDirectory, FollowsTheXdgRulesAndNothingElse)
{
	TempDir dir;
	std::string config = dir / "config";
	std::string home = dir / "home";
	struct Case {
		const char* what;
		const char* xdg;
		const char* home;
		status_t status;
		std::string path;
	} cases[] = {
		{"XDG_CONFIG_HOME wins", config.c_str(), home.c_str(), B_OK, config},
		{"relative XDG_CONFIG_HOME is ignored", "rel/config", home.c_str(), B_OK,
			home + "/.config"},
		{"empty XDG_CONFIG_HOME is ignored", "", home.c_str(), B_OK, home + "/.config"},
		{"HOME alone", nullptr, home.c_str(), B_OK, home + "/.config"},
		{"neither", nullptr, nullptr, B_ENTRY_NOT_FOUND, ""},
		{"relative HOME", nullptr, "home", B_ENTRY_NOT_FOUND, ""},
	};
	for (const Case& c : cases) {
		ScopedVariable xdg("XDG_CONFIG_HOME", c.xdg);
		ScopedVariable homeEnv("HOME", c.home);
		BPath path;
		EXPECT_EQ(c.status, find_directory(B_COMMON_SETTINGS_DIRECTORY, &path)) << c.what;
		if (c.status == B_OK)
			EXPECT_STREQ(c.path.c_str(), path.Path()) << c.what;
		else
			EXPECT_EQ(nullptr, path.Path()) << c.what;
	}
	EXPECT_FALSE(fs::exists(config)) << "never created unless asked";
	EXPECT_FALSE(fs::exists(home));

	ScopedVariable xdg("XDG_CONFIG_HOME", (config + "/deeper").c_str());
	BPath path;
	EXPECT_EQ(B_OK, find_directory(B_USER_SETTINGS_DIRECTORY, &path, true));
	EXPECT_TRUE(fs::is_directory(config + "/deeper"));
}

TEST(FindDirectory, TheCacheHasItsOwnVariable)
{
	TempDir dir;
	std::string cache = dir / "cache";
	std::string home = dir / "home";
	ScopedVariable config("XDG_CONFIG_HOME", (dir / "config").c_str());
	ScopedVariable homeEnv("HOME", home.c_str());
	BPath path;
	{
		ScopedVariable xdg("XDG_CACHE_HOME", "relative");
		EXPECT_EQ(B_OK, find_directory(B_USER_CACHE_DIRECTORY, &path));
		EXPECT_EQ(home + "/.cache", path.Path());
	}
	ScopedVariable xdg("XDG_CACHE_HOME", cache.c_str());
	EXPECT_EQ(B_OK, find_directory(B_USER_CACHE_DIRECTORY, &path, true));
	EXPECT_EQ(cache, path.Path());
	EXPECT_TRUE(fs::is_directory(cache));
	EXPECT_FALSE(fs::exists(dir / "config")) << "the settings directory is not touched";
	EXPECT_EQ(B_BAD_VALUE, find_directory(static_cast<directory_which>(99), &path));
}

TEST(CreateDirectory, MakesParentsAndRefusesWhatIsNotADirectory)
{
	TempDir dir;
	std::string nested = dir / "a/b/c";
	EXPECT_EQ(B_OK, create_directory(nested.c_str(), 0700));
	EXPECT_TRUE(fs::is_directory(nested));
	EXPECT_EQ(fs::perms::owner_all, fs::status(dir / "a").permissions() & fs::perms::all);
	EXPECT_EQ(B_OK, create_directory(nested.c_str(), 0700)) << "already there";

	std::string file = dir / "file";
	FILE* stream = fopen(file.c_str(), "w");
	ASSERT_NE(nullptr, stream);
	fclose(stream);
	EXPECT_NE(B_OK, create_directory(file.c_str(), 0700)) << "a file in the way";
	EXPECT_NE(B_OK, create_directory((file + "/below").c_str(), 0700)) << "a file as parent";
	EXPECT_EQ(B_BAD_VALUE, create_directory("", 0700));
}

TEST(File, OpenModesBehaveAsTheirNamesSay)
{
	TempDir dir;
	std::string name = dir / "f";
	BFile file;
	EXPECT_EQ(B_NO_INIT, file.InitCheck());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, file.SetTo(name.c_str(), B_READ_ONLY));
	EXPECT_EQ(B_BAD_VALUE, file.SetTo(nullptr, B_READ_ONLY));
	EXPECT_EQ(B_IS_A_DIRECTORY, file.SetTo(dir.Path().c_str(), B_READ_ONLY));

	ASSERT_EQ(B_OK, file.SetTo(name.c_str(), B_WRITE_ONLY | B_CREATE_FILE));
	EXPECT_EQ(10, file.Write("0123456789", 10));
	EXPECT_EQ(B_OK, file.Sync());
	EXPECT_EQ(B_FILE_EXISTS,
		file.SetTo(name.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS));

	// Without B_ERASE_FILE writing starts over the old bytes and leaves the rest.
	ASSERT_EQ(B_OK, file.SetTo(name.c_str(), B_WRITE_ONLY | B_CREATE_FILE));
	EXPECT_EQ(2, file.Write("ab", 2));
	ASSERT_EQ(B_OK, file.SetTo(name.c_str(), B_READ_WRITE | B_OPEN_AT_END));
	EXPECT_EQ(10, file.Position());
	EXPECT_EQ(1, file.Write("!", 1));
	EXPECT_EQ("ab23456789!", ReadAll(file));
	EXPECT_EQ(B_OK, file.SetSize(4));
	EXPECT_EQ(3, file.Seek(-1, SEEK_END));
	EXPECT_EQ(1, file.WriteAt(0, "Z", 1));
	EXPECT_EQ("Zb23", ReadAll(file));

	ASSERT_EQ(B_OK, file.SetTo(name.c_str(), B_WRITE_ONLY | B_ERASE_FILE));
	EXPECT_EQ(0, file.Seek(0, SEEK_END)) << "erased";
	char byte;
	EXPECT_LT(file.Read(&byte, 1), 0);
	file.Unset();
	EXPECT_EQ(B_NO_INIT, file.Write("x", 1));
}

// Nothing but a regular file opens, in any mode, and a FIFO without a writer does not block.
TEST(File, RefusesWhatIsNoRegularFileWithoutBlocking)
{
	TempDir dir;
	std::string fifo = dir / "fifo";
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0644));
	struct Case {
		const char* what;
		std::string path;
		uint32 mode;
		status_t status;
	} cases[] = {
		{"FIFO, read-only", fifo, B_READ_ONLY, B_NOT_ALLOWED},
		{"FIFO, read-write", fifo, B_READ_WRITE, B_NOT_ALLOWED},
		{"FIFO, write-only without a reader", fifo, B_WRITE_ONLY, B_NOT_ALLOWED},
		{"character device", "/dev/null", B_READ_ONLY, B_NOT_ALLOWED},
		{"character device, for writing", "/dev/null", B_WRITE_ONLY, B_NOT_ALLOWED},
		{"directory", dir.Path(), B_READ_ONLY, B_IS_A_DIRECTORY},
	};
	for (const Case& c : cases) {
		BFile file;
		EXPECT_EQ(c.status, file.SetTo(c.path.c_str(), c.mode)) << c.what;
		EXPECT_EQ(c.status, file.InitCheck()) << c.what;
	}
}

TEST(ReplaceFile, WritesWholeFilesAndNothingElse)
{
	TempDir dir;
	std::string name = dir / "f";
	EXPECT_EQ(B_BAD_VALUE, replace_file(nullptr, "x", 1));
	EXPECT_EQ(B_BAD_VALUE, replace_file(name.c_str(), nullptr, 1));
	EXPECT_EQ(B_BAD_VALUE, replace_file((dir.Path() + "/").c_str(), "x", 1));

	ASSERT_EQ(B_OK, replace_file(name.c_str(), "first", 5));
	BFile file(name.c_str(), B_READ_ONLY);
	EXPECT_EQ("first", ReadAll(file));
	ASSERT_EQ(B_OK, replace_file(name.c_str(), "2nd", 3));
	EXPECT_EQ("first", ReadAll(file)) << "an open reader keeps the old file whole";
	file.SetTo(name.c_str(), B_READ_ONLY);
	EXPECT_EQ("2nd", ReadAll(file));

	// The same bytes again: the file is not touched at all.
	struct stat before {};
	struct stat after {};
	stat(name.c_str(), &before);
	ASSERT_EQ(B_OK, replace_file(name.c_str(), "2nd", 3));
	stat(name.c_str(), &after);
	EXPECT_EQ(before.st_ino, after.st_ino);

	ASSERT_EQ(B_OK, replace_file(name.c_str(), "", 0)) << "empty content is content";
	EXPECT_EQ(0, fs::file_size(name));

	std::string missing = dir / "missing/f";
	EXPECT_EQ(B_ENTRY_NOT_FOUND, replace_file(missing.c_str(), "x", 1));
	EXPECT_FALSE(fs::exists(dir / "missing"));
	EXPECT_EQ(B_OK, replace_file(missing.c_str(), "x", 1, B_REPLACE_CREATE_DIRECTORY));
	EXPECT_EQ(B_ENTRY_NOT_FOUND,
		replace_file((dir / "a/b/f").c_str(), "x", 1, B_REPLACE_CREATE_DIRECTORY))
		<< "one level only";
	EXPECT_FALSE(fs::exists(dir / "a"));
}
