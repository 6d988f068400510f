// A hostile place for the settings file: something other than a file at its path, links planted
// by another user, files the user does not own, a umask, saves killed half-way. Whatever is
// found, nothing hangs, nothing but the user's own regular file is ever written, and nothing is
// left behind.
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <utime.h>

#include "Message.h"
#include "Preferences.h"
#include "PreferencesFixture.h"

namespace {

const uid_t kOtherUser = 65534;
const int kHangSeconds = 10;

// Runs body in a child process that is killed if it takes longer than kHangSeconds; a blocked
// open would otherwise hang the whole suite. The child's exit status is returned.
int
InChild(const std::function<int()>& body, uid_t user = 0)
{
	pid_t child = fork();
	if (child == 0) {
		alarm(kHangSeconds);
		if (user != 0 && (setgid(user) != 0 || setuid(user) != 0))
			_exit(100);
		_exit(body());
	}
	int status = 0;
	waitpid(child, &status, 0);
	if (WIFSIGNALED(status))
		return 1000 + WTERMSIG(status);
	return WEXITSTATUS(status);
}

struct stat
LinkInfo(const std::string& path)
{
	struct stat info {};
	lstat(path.c_str(), &info);
	return info;
}

class HostileSettingsTest : public PreferencesTest {
protected:
	std::vector<std::string> Temporaries() const
	{
		std::vector<std::string> names;
		for (const std::string& name : Entries(fConfig)) {
			if (name != kPrefsName)
				names.push_back(name);
		}
		return names;
	}
};

int
LoadAndChange()
{
	TPreferences prefs(kPrefsName);
	int32 oben = prefs.GetInt32("idxoben", -1);
	prefs.SetInt32("idxoben", 7);
	return oben == -1 ? 0 : 1;
}

} // namespace

TEST_F(HostileSettingsTest, WhatIsNoRegularFileReadsAsNothingAndIsLeftAlone)
{
	struct Case {
		const char* what;
		std::function<void(const std::string&)> make;
		std::function<bool(const struct stat&)> unchanged;
	} cases[] = {
		{"a FIFO", [](const std::string& p) { mkfifo(p.c_str(), 0644); },
			[](const struct stat& s) { return S_ISFIFO(s.st_mode); }},
		{"a socket",
			[](const std::string& p) {
				int fd = socket(AF_UNIX, SOCK_STREAM, 0);
				sockaddr_un address{};
				address.sun_family = AF_UNIX;
				snprintf(address.sun_path, sizeof(address.sun_path), "%s", p.c_str());
				EXPECT_EQ(0, bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)));
				close(fd);
			},
			[](const struct stat& s) { return S_ISSOCK(s.st_mode); }},
		{"a directory", [](const std::string& p) { mkdir(p.c_str(), 0755); },
			[](const struct stat& s) { return S_ISDIR(s.st_mode); }},
		{"a link to a character device",
			[](const std::string& p) { symlink("/dev/null", p.c_str()); },
			[](const struct stat& s) { return S_ISLNK(s.st_mode); }},
		{"a link to a FIFO",
			[this](const std::string& p) {
				mkfifo((fRoot + "/fifo").c_str(), 0644);
				symlink((fRoot + "/fifo").c_str(), p.c_str());
			},
			[](const struct stat& s) { return S_ISLNK(s.st_mode); }},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		fs::remove_all(fConfig);
		fs::remove(fRoot + "/fifo");
		fs::create_directory(fConfig);
		c.make(SettingsFile());
		ASSERT_TRUE(fs::exists(fs::symlink_status(SettingsFile())));

		EXPECT_EQ(0, InChild(LoadAndChange)) << "defaults expected, without blocking";
		EXPECT_TRUE(c.unchanged(LinkInfo(SettingsFile())));
		EXPECT_TRUE(Temporaries().empty());
		struct stat null {};
		stat("/dev/null", &null);
		EXPECT_TRUE(S_ISCHR(null.st_mode));
	}
}

// A new file is made as open(2) would make it; an old one keeps its mode and its group.
TEST_F(HostileSettingsTest, PermissionsFollowTheUmaskOrTheOldFile)
{
	struct Case {
		const char* what;
		mode_t umask;
		mode_t oldMode; // 0: no file before
		mode_t expected;
	} cases[] = {
		{"new, umask 022", 022, 0, 0644},
		{"new, umask 077", 077, 0, 0600},
		{"new, umask 002", 002, 0, 0664},
		{"new, umask 0", 0, 0, 0666},
		{"old 0640, umask 077", 077, 0640, 0640},
		{"old 0600, umask 0", 0, 0600, 0600},
		{"old 0604, umask 022", 022, 0604, 0604},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		unlink(SettingsFile().c_str());
		if (c.oldMode != 0) {
			WriteFile(SettingsFile(), FormatExamples()[1]);
			chmod(SettingsFile().c_str(), c.oldMode);
		}
		mode_t saved = umask(c.umask);
		{
			TPreferences prefs(kPrefsName);
			prefs.SetInt32("idxoben", 3);
		}
		umask(saved);
		EXPECT_EQ(c.expected, Mode(SettingsFile()));
		EXPECT_EQ(3, TPreferences(kPrefsName).GetInt32("idxoben", 0));
	}
}

TEST_F(HostileSettingsTest, AFileTheUserDoesNotOwnIsNotReplaced)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "needs root to make files of two users";
	const Bytes old = FormatExamples()[1];
	struct Case {
		const char* what;
		uid_t fileOwner;
		uid_t saver;
		bool written;
	} cases[] = {
		{"root's file in a user's folder, saved by the user", 0, kOtherUser, false},
		{"a user's file, saved by root", kOtherUser, 0, false},
		{"the user's own file", kOtherUser, kOtherUser, true},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		WriteFile(SettingsFile(), old);
		// Writable by everyone, so only the owner can stop the save.
		chmod(SettingsFile().c_str(), 0666);
		chown(SettingsFile().c_str(), c.fileOwner, c.fileOwner);
		chown(fConfig.c_str(), c.saver, c.saver);
		chown(fRoot.c_str(), c.saver, c.saver);

		EXPECT_EQ(0, InChild([] { return LoadAndChange() == 1 ? 0 : 1; }, c.saver));

		struct stat info = LinkInfo(SettingsFile());
		EXPECT_EQ(c.fileOwner, info.st_uid);
		EXPECT_EQ(0666u, info.st_mode & 07777);
		if (c.written)
			EXPECT_NE(old, ReadFile(SettingsFile()));
		else
			EXPECT_EQ(old, ReadFile(SettingsFile()));
		EXPECT_TRUE(Temporaries().empty());
	}
	chown(fConfig.c_str(), 0, 0);
	chown(fRoot.c_str(), 0, 0);
}

TEST_F(HostileSettingsTest, TheOldFilesGroupIsKept)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "needs root to give a file another group";
	WriteFile(SettingsFile(), FormatExamples()[1]);
	chown(SettingsFile().c_str(), 0, 4321);
	chmod(SettingsFile().c_str(), 0660);
	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("idxoben", 3);
	}
	EXPECT_EQ(4321u, LinkInfo(SettingsFile()).st_gid);
	EXPECT_EQ(0660u, Mode(SettingsFile()));
	EXPECT_EQ(3, TPreferences(kPrefsName).GetInt32("idxoben", 0));
}

// XDG_CONFIG_HOME on a shared, sticky folder: a link planted there is followed only where the
// kernel's protected-symlinks rule would follow it.
TEST_F(HostileSettingsTest, LinksInASharedFolderAreFollowedOnlyAsTheKernelWould)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "needs root to plant another user's link";
	const std::string victim = fRoot + "/victim";
	const Bytes victimBytes(40, 'v');
	struct Case {
		const char* what;
		mode_t folderMode;
		uid_t folderOwner;
		uid_t linkOwner;
		bool followed;
	} cases[] = {
		{"sticky shared folder, another user's link", 01777, 0, kOtherUser, false},
		{"sticky shared folder, the user's own link", 01777, 0, 0, true},
		{"sticky shared folder, the folder owner's link", 01777, kOtherUser, kOtherUser, true},
		{"shared folder without the sticky bit", 0777, 0, kOtherUser, true},
		{"sticky folder nobody else may write to", 01755, 0, kOtherUser, true},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		fs::remove_all(fConfig);
		fs::create_directory(fConfig);
		WriteFile(victim, victimBytes);
		symlink(victim.c_str(), SettingsFile().c_str());
		lchown(SettingsFile().c_str(), c.linkOwner, c.linkOwner);
		chown(fConfig.c_str(), c.folderOwner, c.folderOwner);
		chmod(fConfig.c_str(), c.folderMode);
		{
			TPreferences prefs(kPrefsName);
			prefs.SetInt32("idxoben", 3);
		}
		EXPECT_TRUE(fs::is_symlink(SettingsFile())) << "the link itself is never replaced";
		if (c.followed)
			EXPECT_EQ(3, TPreferences(kPrefsName).GetInt32("idxoben", 0));
		else
			EXPECT_EQ(victimBytes, ReadFile(victim));
		EXPECT_TRUE(Temporaries().empty());
	}
}

// While the new content is written, the folder shows no new name: the temporary is unnamed
// until just before the rename, so a save killed then leaves nothing behind.
TEST_F(HostileSettingsTest, TheTemporaryHasNoNameWhileItIsWritten)
{
	static std::vector<std::string>* sSeen;
	static std::string sFolder;
	std::vector<std::string> seen;
	sSeen = &seen;
	sFolder = fConfig;
	BPrivate::FileOps ops = BPrivate::SystemFileOps();
	ops.write = [](int fd, const void* buffer, size_t size) {
		for (const std::string& name : Entries(sFolder))
			sSeen->push_back(name);
		return BPrivate::SystemFileOps().write(fd, buffer, size);
	};
	WriteFile(SettingsFile(), FormatExamples()[1]);
	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("idxoben", 3);
		BPrivate::SetFileOps(&ops);
	}
	BPrivate::SetFileOps(nullptr);
	ASSERT_FALSE(seen.empty());
	for (const std::string& name : seen)
		EXPECT_EQ(kPrefsName, name);
	EXPECT_EQ(3, TPreferences(kPrefsName).GetInt32("idxoben", 0));
}

// Where the file system has no unnamed files, a named temporary does the work, and a later save
// clears away the program's own temporaries once they are a minute old, and nothing else.
TEST_F(HostileSettingsTest, StaleTemporariesAreRemovedAtTheNextSave)
{
	BPrivate::FileOps ops = BPrivate::SystemFileOps();
	ops.open = [](const char* path, int flags, mode_t mode) {
		if ((flags & O_TMPFILE) == O_TMPFILE) {
			errno = EOPNOTSUPP;
			return -1;
		}
		return BPrivate::SystemFileOps().open(path, flags, mode);
	};
	struct Case {
		const char* name;
		int ageSeconds;
		char kind; // f file, l link, d directory
		bool removed;
	} cases[] = {
		{".KamboLux_prefs.0123456789abcdef", 120, 'f', true},
		{".KamboLux_prefs.1a2b3c4d5e", 3600, 'f', true},
		{".KamboLux_prefs.0123456789abcdef0", 61 * 60 * 24, 'f', true},
		{".KamboLux_prefs.fedcba9876543210", 10, 'f', false},
		{".KamboLux_prefs.bak", 3600, 'f', false},
		{".KamboLux_prefs.0123456789abcdeg", 3600, 'f', false},
		{".KamboLux_prefs.0123456", 3600, 'f', false},
		{".KamboLux_prefs.ABCDEF0123456789", 3600, 'f', false},
		{"KamboLux_prefs.0123456789abcdef", 3600, 'f', false},
		{".Other_prefs.0123456789abcdef", 3600, 'f', false},
		{".KamboLux_prefs.00000000aaaaaaaa", 3600, 'l', false},
		{".KamboLux_prefs.11111111bbbbbbbb", 3600, 'd', false},
	};
	time_t now = time(nullptr);
	for (const Case& c : cases) {
		std::string path = fConfig + "/" + c.name;
		if (c.kind == 'f')
			WriteFile(path, Bytes(5, 't'));
		else if (c.kind == 'l')
			symlink("/nonexistent", path.c_str());
		else
			mkdir(path.c_str(), 0755);
		timespec times[2] = {{now - c.ageSeconds, 0}, {now - c.ageSeconds, 0}};
		utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
	}

	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("idxoben", 3);
		BPrivate::SetFileOps(&ops);
	}
	BPrivate::SetFileOps(nullptr);

	for (const Case& c : cases) {
		EXPECT_EQ(!c.removed, fs::exists(fs::symlink_status(fConfig + "/" + c.name))) << c.name;
	}
	size_t expected = 1;
	for (const Case& c : cases)
		expected += c.removed ? 0 : 1;
	EXPECT_EQ(expected, Entries(fConfig).size()) << "the save's own temporary is gone";
	EXPECT_EQ(3, TPreferences(kPrefsName).GetInt32("idxoben", 0));
}

// Killed at random moments of its saves, the program leaves the settings file whole every time,
// and what little a kill can leave (between naming the temporary and the rename) goes away
// with a later save.
TEST_F(HostileSettingsTest, KilledSavesLeaveTheFileWholeAndNoLitter)
{
	const int kKills = 60;
	const std::string payload(64 * 1024, 'p');
	{
		TPreferences prefs(kPrefsName);
		prefs.AddString("payload", payload.c_str());
	}
	std::mt19937 random(12345);
	int litter = 0;
	for (int kill = 0; kill < kKills; kill++) {
		pid_t child = fork();
		ASSERT_GE(child, 0);
		if (child == 0) {
			for (int32 round = 0;; round++) {
				TPreferences prefs(kPrefsName);
				prefs.SetInt32("round", round);
			}
		}
		usleep(std::uniform_int_distribution<useconds_t>(0, 20000)(random));
		::kill(child, SIGKILL);
		waitpid(child, nullptr, 0);

		TPreferences loaded(kPrefsName);
		const char* text = nullptr;
		ASSERT_EQ(B_OK, loaded.FindString("payload", &text)) << "after kill " << kill;
		EXPECT_EQ(payload, text);
		// The object above saves again; its own save must not add to the litter.
		litter = static_cast<int>(Temporaries().size());
	}
	// Only a kill between naming and renaming leaves a file; a loaded machine that preempts the
	// saver right there makes that a little likelier, so a few are allowed. A named temporary
	// lives through the whole write and would be left by about every third kill.
	EXPECT_LE(litter, kKills / 10) << "unnamed temporaries leave almost nothing when killed";

	time_t old = time(nullptr) - 3600;
	for (const std::string& name : Temporaries()) {
		timespec times[2] = {{old, 0}, {old, 0}};
		utimensat(AT_FDCWD, (fConfig + "/" + name).c_str(), times, 0);
	}
	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("round", -1);
	}
	EXPECT_TRUE(Temporaries().empty());
}

// A settings file too big for the memory the program may use is not damaged: its load fails,
// and the save that follows must not put an empty message in its place.
TEST_F(HostileSettingsTest, ALoadThatRunsOutOfMemoryDoesNotOverwriteTheFile)
{
#if defined(__SANITIZE_ADDRESS__)
	GTEST_SKIP() << "the sanitizer reserves more address space than any limit allows";
#endif
	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("idxoben", 9);
		prefs.AddString("note", std::string(900 * 1000, 'n').c_str());
	}
	const Bytes old = ReadFile(SettingsFile());

	int result = InChild([] {
		FILE* statm = fopen("/proc/self/statm", "r");
		unsigned long pages = 0;
		if (statm == nullptr || fscanf(statm, "%lu", &pages) != 1)
			return 2;
		fclose(statm);
		// Room for a little, not for the file.
		rlimit limit{};
		limit.rlim_cur = limit.rlim_max = pages * sysconf(_SC_PAGESIZE) + 256 * 1024;
		setrlimit(RLIMIT_AS, &limit);
		TPreferences prefs(kPrefsName);
		return prefs.GetInt32("idxoben", -1) == -1 ? 0 : 3;
	});
	EXPECT_EQ(0, result) << "the load was expected to run out of memory";
	EXPECT_EQ(old, ReadFile(SettingsFile()));
	EXPECT_EQ(9, TPreferences(kPrefsName).GetInt32("idxoben", -1));
}
