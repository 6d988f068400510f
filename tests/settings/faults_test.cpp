// Faults around a save: whatever happens to the file, its directory or the disk while a settings
// object is alive, the file afterwards holds either the old bytes or the new message whole, and
// where nothing readable is left the next load gives the caller's defaults.
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <sys/mount.h>

#include "Message.h"
#include "MessageBytes.h"
#include "Preferences.h"
#include "PreferencesFixture.h"

namespace {

struct Paths {
	std::string directory;
	std::string file;
};

enum class Outcome {
	kOld,      // the file holds exactly the bytes it held before
	kNew,      // the file holds the changed message, complete
	kDefaults, // nothing readable: a load gives the caller's defaults
};

void
Change(TPreferences& prefs)
{
	prefs.SetInt32("idxoben", 8);
	prefs.SetFloat("wndleft", 300);
}

// Fails the system call after a number of calls that go through; counts whether it fired.
struct Injection {
	int allowed = 0;
	int error = ENOSPC;
	bool fired = false;
	// Calls that fail with EINTR before each real one.
	int interruptions = 0;
} sInjection;

bool
Fires()
{
	if (sInjection.interruptions > 0) {
		sInjection.interruptions--;
		errno = EINTR;
		return true;
	}
	if (sInjection.allowed-- > 0)
		return false;
	sInjection.fired = true;
	errno = sInjection.error;
	return true;
}

// Short writes, so that a message needs many calls and can break off anywhere inside.
ssize_t
InjectedWrite(int fd, const void* buffer, size_t size)
{
	if (Fires())
		return -1;
	return BPrivate::SystemFileOps().write(fd, buffer, size < 7 ? size : 7);
}

int
InjectedSync(int fd)
{
	return Fires() ? -1 : BPrivate::SystemFileOps().fsync(fd);
}

int
InjectedRename(const char* from, const char* to)
{
	return Fires() ? -1 : BPrivate::SystemFileOps().rename(from, to);
}

class SettingsFaultsTest : public PreferencesTest {
protected:
	void SetUp() override
	{
		PreferencesTest::SetUp();
		fOld = FormatExamples()[1];
	}

	// The file as the next load reads it, without a settings object (which would save again).
	status_t LoadFromDisk(BMessage* message) const
	{
		if (!fs::is_regular_file(SettingsFile()))
			return B_ENTRY_NOT_FOUND;
		Bytes bytes = ReadFile(SettingsFile());
		return message->Unflatten(reinterpret_cast<const char*>(bytes.data()),
			static_cast<ssize_t>(bytes.size()));
	}

	void ExpectOutcome(Outcome expected, const std::string& what)
	{
		SCOPED_TRACE(what);
		for (const std::string& name : Entries(fConfig))
			EXPECT_EQ(kPrefsName, name) << "a temporary was left behind";

		BMessage loaded;
		status_t status = LoadFromDisk(&loaded);
		switch (expected) {
			case Outcome::kOld:
				EXPECT_EQ(fOld, ReadFile(SettingsFile()));
				break;
			case Outcome::kNew:
				ASSERT_EQ(B_OK, status);
				EXPECT_EQ(7, CountFields(loaded));
				EXPECT_EQ(8, TPreferences(kPrefsName).GetInt32("idxoben", -1));
				EXPECT_EQ(300, TPreferences(kPrefsName).GetFloat("wndleft", -1));
				break;
			case Outcome::kDefaults:
				EXPECT_NE(B_OK, status);
				EXPECT_EQ(-1, TPreferences(kPrefsName).GetInt32("idxoben", -1));
				break;
		}
	}

	// A fresh directory holding the old file.
	void Reset()
	{
		BPrivate::SetFileOps(nullptr);
		chmod(fConfig.c_str(), 0755);
		fs::remove_all(fConfig);
		fs::create_directory(fConfig);
		WriteFile(SettingsFile(), fOld);
	}

	Bytes fOld;
};

} // namespace

TEST_F(SettingsFaultsTest, SomethingHappensToTheFilesWhileTheProgramRuns)
{
	struct Case {
		const char* what;
		// Runs while the object is alive: after its load, before its save.
		std::function<void(const Paths&)> fault;
		// Permissions only hold for an ordinary user.
		bool unprivileged;
		Outcome outcome;
	} cases[] = {
		{"nothing", [](const Paths&) {}, false, Outcome::kNew},
		{"file replaced by garbage", [](const Paths& p) { WriteFile(p.file, Bytes(500, 0xa5)); },
			false, Outcome::kNew},
		{"file truncated", [](const Paths& p) { truncate(p.file.c_str(), 20); }, false,
			Outcome::kNew},
		{"file deleted", [](const Paths& p) { unlink(p.file.c_str()); }, false, Outcome::kNew},
		{"file made read-only", [](const Paths& p) { chmod(p.file.c_str(), 0444); }, true,
			Outcome::kOld},
		{"directory made read-only", [](const Paths& p) { chmod(p.directory.c_str(), 0555); }, true,
			Outcome::kOld},
		{"file replaced by a directory",
			[](const Paths& p) {
				unlink(p.file.c_str());
				fs::create_directory(p.file);
			},
			false, Outcome::kDefaults},
		{"directory removed", [](const Paths& p) { fs::remove_all(p.directory); }, false,
			Outcome::kNew},
		{"directory replaced by a file",
			[](const Paths& p) {
				fs::remove_all(p.directory);
				WriteFile(p.directory, Bytes(10, 'x'));
			},
			false, Outcome::kDefaults},
	};

	for (const Case& c : cases) {
		Reset();
		auto run = [&] {
			TPreferences prefs(kPrefsName);
			Change(prefs);
			c.fault({fConfig, SettingsFile()});
		};
		if (c.unprivileged)
			WithoutPrivileges(run);
		else
			run();

		chmod(fConfig.c_str(), 0755);
		if (c.outcome == Outcome::kDefaults && !fs::is_directory(fConfig)) {
			// The save makes a missing folder, but never gets rid of what stands in its place.
			EXPECT_EQ(-1, TPreferences(kPrefsName).GetInt32("idxoben", -1)) << c.what;
			EXPECT_FALSE(fs::is_directory(fConfig)) << c.what;
			fs::remove_all(fConfig);
			continue;
		}
		ExpectOutcome(c.outcome, c.what);
	}
}

TEST_F(SettingsFaultsTest, ASaveBrokenOffAtAnyCallLeavesOldOrNew)
{
	struct Case {
		const char* what;
		BPrivate::FileOps ops;
		int error;
		// The outcome once the injected failure fires at call number k.
		std::function<Outcome(int k)> outcome;
	} cases[] = {
		{"disk full while writing", BPrivate::SystemFileOps(), ENOSPC,
			[](int) { return Outcome::kOld; }},
		{"i/o error while writing", BPrivate::SystemFileOps(), EIO,
			[](int) { return Outcome::kOld; }},
		{"quota exceeded while writing", BPrivate::SystemFileOps(), EDQUOT,
			[](int) { return Outcome::kOld; }},
		// The file's flush comes before the rename, the directory's after it: by then the new
		// file is in place and a failure there changes nothing.
		{"flush fails", BPrivate::SystemFileOps(), EIO,
			[](int k) { return k == 0 ? Outcome::kOld : Outcome::kNew; }},
		{"rename fails", BPrivate::SystemFileOps(), ENOSPC, [](int) { return Outcome::kOld; }},
	};
	cases[0].ops.write = InjectedWrite;
	cases[1].ops.write = InjectedWrite;
	cases[2].ops.write = InjectedWrite;
	cases[3].ops.fsync = InjectedSync;
	cases[4].ops.rename = InjectedRename;

	for (const Case& c : cases) {
		for (int k = 0;; k++) {
			std::string what = std::string(c.what) + " at call " + std::to_string(k);
			Reset();
			sInjection = {k, c.error};
			{
				TPreferences prefs(kPrefsName);
				Change(prefs);
				BPrivate::SetFileOps(&c.ops);
			}
			BPrivate::SetFileOps(nullptr);
			if (!sInjection.fired) {
				ExpectOutcome(Outcome::kNew, what + ", never fired");
				break;
			}
			ExpectOutcome(c.outcome(k), what);
			ASSERT_LT(k, 1000) << c.what;
		}
	}
}

TEST_F(SettingsFaultsTest, InterruptedWritesAreRetried)
{
	Reset();
	BPrivate::FileOps ops = BPrivate::SystemFileOps();
	ops.write = InjectedWrite;
	sInjection = {1000, ENOSPC, false, 5};
	{
		TPreferences prefs(kPrefsName);
		Change(prefs);
		BPrivate::SetFileOps(&ops);
	}
	BPrivate::SetFileOps(nullptr);
	EXPECT_FALSE(sInjection.fired);
	ExpectOutcome(Outcome::kNew, "interrupted writes");
}

// A real full disk: a small tmpfs over the settings directory, in a mount namespace of a child
// process of its own. Needs the right to mount; without it the test is skipped.
TEST_F(SettingsFaultsTest, ARealFullDiskKeepsTheOldFile)
{
	enum { kPassed, kSkipped, kNotOld, kTemporaryLeft, kNotNew };
	const size_t kPage = 4096;
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		if (unshare(CLONE_NEWNS) != 0
			|| mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
			|| mount("tmpfs", fConfig.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0)
			_exit(kSkipped);

		std::string filler = fConfig + "/filler";
		// No page left, then one: the second makes a bigger message break off after its first page.
		for (size_t pagesLeft : {0, 1}) {
			WriteFile(SettingsFile(), fOld);
			int fd = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			std::vector<char> page(kPage, 'f');
			off_t filled = 0;
			while (write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size()))
				filled += kPage;
			if (ftruncate(fd, filled - static_cast<off_t>(pagesLeft * kPage)) != 0)
				_exit(kSkipped);
			close(fd);

			{
				TPreferences prefs(kPrefsName);
				Change(prefs);
				prefs.AddString("note", std::string(2 * kPage, 'n').c_str());
			}
			if (ReadFile(SettingsFile()) != fOld)
				_exit(kNotOld);
			if (Entries(fConfig) != std::vector<std::string>{kPrefsName, "filler"})
				_exit(kTemporaryLeft);
			unlink(filler.c_str());
		}

		// With room again the next save goes through.
		{
			TPreferences prefs(kPrefsName);
			Change(prefs);
		}
		if (TPreferences(kPrefsName).GetInt32("idxoben", -1) != 8)
			_exit(kNotNew);
		_exit(kPassed);
	}

	int status = 0;
	waitpid(child, &status, 0);
	ASSERT_TRUE(WIFEXITED(status));
	if (WEXITSTATUS(status) == kSkipped)
		GTEST_SKIP() << "cannot mount a tmpfs here";
	EXPECT_NE(kNotOld, WEXITSTATUS(status)) << "the old file did not survive the full disk";
	EXPECT_NE(kTemporaryLeft, WEXITSTATUS(status)) << "a temporary filled the disk";
	EXPECT_NE(kNotNew, WEXITSTATUS(status)) << "the save after freeing space failed";
	EXPECT_EQ(kPassed, WEXITSTATUS(status));
}

TEST_F(SettingsFaultsTest, TwoInterleavedObjectsLeaveTheLastOneWhole)
{
	for (bool firstSavesFirst : {true, false}) {
		SCOPED_TRACE(firstSavesFirst ? "loaded first, saved first" : "loaded first, saved last");
		Reset();
		auto first = std::make_unique<TPreferences>(kPrefsName);
		auto second = std::make_unique<TPreferences>(kPrefsName);
		first->SetInt32("idxoben", 8);
		second->SetInt32("runden", 2);
		if (firstSavesFirst) {
			first.reset();
			second.reset();
		} else {
			second.reset();
			first.reset();
		}

		// Each object writes back what it loaded plus its own change: the last save wins whole,
		// and the other's change is gone rather than mixed in.
		BMessage loaded;
		ASSERT_EQ(B_OK, LoadFromDisk(&loaded));
		EXPECT_EQ(7, CountFields(loaded));
		int32 oben = 0;
		int32 runden = 0;
		loaded.FindInt32("idxoben", &oben);
		loaded.FindInt32("runden", &runden);
		EXPECT_EQ(firstSavesFirst ? 2 : 8, oben);
		EXPECT_EQ(firstSavesFirst ? 2 : 0, runden);
		EXPECT_EQ(std::vector<std::string>{kPrefsName}, Entries(fConfig));
	}
}

// Several processes saving over and over while another reads: a reader only ever finds one
// writer's message whole, and once the file exists it never vanishes.
TEST_F(SettingsFaultsTest, ConcurrentSavesNeverShowADamagedFile)
{
	const int kWriters = 3;
	const int kRounds = 25;
	// Big enough that no write of it is a single step for the file system.
	const std::string payload(256 * 1024, 'p');

	std::vector<pid_t> writers;
	for (int id = 1; id <= kWriters; id++) {
		pid_t child = fork();
		ASSERT_GE(child, 0);
		if (child == 0) {
			for (int round = 0; round < kRounds; round++) {
				TPreferences prefs(kPrefsName);
				prefs.SetInt32("writer", id);
				prefs.SetInt32("round", round);
				prefs.RemoveName("payload");
				prefs.AddString("payload", payload.c_str());
			}
			_exit(0);
		}
		writers.push_back(child);
	}

	int reads = 0;
	int damaged = 0;
	int vanished = 0;
	bool seen = false;
	for (int running = kWriters; running > 0;) {
		if (fs::exists(SettingsFile())) {
			seen = true;
			BMessage loaded;
			const char* text = nullptr;
			int32 writer = 0;
			reads++;
			if (LoadFromDisk(&loaded) != B_OK || loaded.FindInt32("writer", &writer) != B_OK
				|| writer < 1 || writer > kWriters || loaded.FindString("payload", &text) != B_OK
				|| payload != text)
				damaged++;
		} else if (seen) {
			vanished++;
		}
		int status = 0;
		pid_t done = waitpid(-1, &status, WNOHANG);
		if (done > 0) {
			EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
			running--;
		}
	}

	EXPECT_GT(reads, 0);
	EXPECT_EQ(0, damaged) << "of " << reads << " reads";
	EXPECT_EQ(0, vanished);
	EXPECT_EQ(std::vector<std::string>{kPrefsName}, Entries(fConfig));
	TPreferences last(kPrefsName);
	EXPECT_EQ(kRounds - 1, last.GetInt32("round", -1));
}
