#include "MessageBytes.h"
#include "Preferences.h"
#include "PreferencesFixture.h"

namespace {

// The four uses of one run of the program: start-up (window object with the view object
// nested inside it), then shutdown (window saves its position, then the view its keys).
struct ReadBack {
	float left, top;
	int32 oben, unten, infront, tabless, runden;
};

ReadBack
StartUp()
{
	ReadBack values;
	TPreferences window(kPrefsName);
	values.left = window.GetFloat("wndleft", 100);
	values.top = window.GetFloat("wndtop", 100);
	{
		TPreferences view(kPrefsName);
		values.oben = view.GetInt32("idxoben", 2);
		values.unten = view.GetInt32("idxunten", 2);
		values.infront = view.GetInt32("infront", 0);
		values.tabless = view.GetInt32("tabless", 0);
		values.runden = view.GetInt32("runden", 0);
	}
	return values;
}

void
ShutDown(const ReadBack& values)
{
	{
		TPreferences window(kPrefsName);
		window.SetFloat("wndleft", values.left);
		window.SetFloat("wndtop", values.top);
	}
	TPreferences view(kPrefsName);
	view.SetInt32("idxoben", values.oben);
	view.SetInt32("idxunten", values.unten);
	view.SetInt32("infront", values.infront);
	view.SetInt32("tabless", values.tabless);
	view.SetInt32("runden", values.runden);
}

} // namespace

TEST_F(PreferencesTest, FirstRunWritesTheDocumentedFiles)
{
	std::vector<Bytes> examples = FormatExamples();
	ASSERT_EQ(2u, examples.size());

	ReadBack first = StartUp();
	EXPECT_EQ(100, first.left);
	EXPECT_EQ(100, first.top);
	EXPECT_EQ(2, first.oben);
	EXPECT_EQ(2, first.unten);
	EXPECT_EQ(0, first.infront + first.tabless + first.runden);
	EXPECT_EQ(examples[0], ReadFile(SettingsFile())) << "a 'pref' message without fields";

	ShutDown(first);
	EXPECT_EQ(examples[1], ReadFile(SettingsFile()));
	EXPECT_EQ(0644u, Mode(SettingsFile()));
	EXPECT_EQ(std::vector<std::string>{kPrefsName}, Entries(fConfig));

	// A second run reads it all back and, changing nothing, writes the same bytes.
	ShutDown(StartUp());
	EXPECT_EQ(examples[1], ReadFile(SettingsFile()));
}

TEST_F(PreferencesTest, StoredValuesWinOverEveryDefault)
{
	ShutDown({-3.5f, 1e6f, 12, 0, 1, 1, 2});
	for (int32 fallback : {0, 2, -1, 12}) {
		TPreferences prefs(kPrefsName);
		EXPECT_EQ(-3.5f, prefs.GetFloat("wndleft", fallback));
		EXPECT_EQ(1e6f, prefs.GetFloat("wndtop", fallback));
		EXPECT_EQ(12, prefs.GetInt32("idxoben", fallback));
		EXPECT_EQ(0, prefs.GetInt32("idxunten", fallback));
		EXPECT_EQ(2, prefs.GetInt32("runden", fallback));
		EXPECT_EQ(fallback, prefs.GetInt32("missing", fallback));
	}
}

TEST_F(PreferencesTest, AnUnchangedSaveLeavesTheFileInPlaceAndAChangedOneReplacesIt)
{
	ShutDown({100, 100, 2, 2, 0, 0, 0});
	struct stat before;
	ASSERT_EQ(0, stat(SettingsFile().c_str(), &before));
	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("idxoben", 2);
	}
	struct stat unchanged;
	ASSERT_EQ(0, stat(SettingsFile().c_str(), &unchanged));
	EXPECT_EQ(before.st_ino, unchanged.st_ino);
	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("idxoben", 5);
	}
	struct stat changed;
	ASSERT_EQ(0, stat(SettingsFile().c_str(), &changed));
	EXPECT_NE(before.st_ino, changed.st_ino);
	TPreferences prefs(kPrefsName);
	EXPECT_EQ(5, prefs.GetInt32("idxoben", 0));
}

TEST_F(PreferencesTest, AMessageShorterThanItsFileStillLoads)
{
	Bytes longer = FormatExamples()[1];
	Bytes old(300, 0xee);
	std::copy(longer.begin(), longer.end(), old.begin());
	WriteFile(SettingsFile(), old);
	{
		TPreferences prefs(kPrefsName);
		EXPECT_EQ(2, prefs.GetInt32("idxoben", 0));
		prefs.RemoveName("wndleft");
		prefs.SetInt32("idxoben", 9);
	}
	TPreferences prefs(kPrefsName);
	EXPECT_EQ(9, prefs.GetInt32("idxoben", 0));
	EXPECT_EQ(-1, prefs.GetFloat("wndleft", -1));
}

// A missing settings folder is made at the save, as the XDG rules ask: that one folder, mode
// 0700, and never its parents, so a missing home or a path far from anything stays untouched.
TEST_F(PreferencesTest, OnlyTheSettingsFolderItselfIsMadeWhenMissing)
{
	const std::string home = fRoot + "/home";
	struct Case {
		const char* what;
		std::string xdg;  // empty: unset
		std::string home; // empty: unset
		std::string made; // the folder that should hold the file afterwards, or empty
		std::function<void()> prepare;
	} cases[] = {
		{"XDG_CONFIG_HOME missing", fConfig + "/missing", "", fConfig + "/missing", {}},
		{"~/.config missing", "", home, home + "/.config", [&] { fs::create_directory(home); }},
		{"XDG_CONFIG_HOME and its parent missing", fConfig + "/a/b", "", "", {}},
		{"home itself missing", "", home, "", {}},
		{"neither XDG_CONFIG_HOME nor HOME", "", "", "", {}},
		{"only relative paths", "config", "home", "", {}},
		{"a file in the folder's place", fConfig + "/file", "", "",
			[&] { WriteFile(fConfig + "/file", Bytes(3, 'x')); }},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		fs::remove_all(fConfig);
		fs::remove_all(home);
		fs::create_directory(fConfig);
		if (c.prepare)
			c.prepare();
		c.xdg.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", c.xdg.c_str(), 1);
		c.home.empty() ? unsetenv("HOME") : setenv("HOME", c.home.c_str(), 1);
		{
			TPreferences prefs(kPrefsName);
			EXPECT_EQ(2, prefs.GetInt32("idxoben", 2));
			prefs.SetInt32("idxoben", 5);
		}
		if (c.made.empty()) {
			EXPECT_FALSE(fs::exists(fConfig + "/a"));
			EXPECT_FALSE(fs::exists(home));
			EXPECT_FALSE(fs::exists(fRoot + "/config/missing"));
			continue;
		}
		EXPECT_EQ(0700u, Mode(c.made));
		EXPECT_EQ(std::vector<std::string>{kPrefsName}, Entries(c.made));
		EXPECT_EQ(5, TPreferences(kPrefsName).GetInt32("idxoben", 2));
	}
}

// A folder that cannot be made leaves everything as it was, and the program runs on.
TEST_F(PreferencesTest, AFolderThatCannotBeMadeWritesNothing)
{
	setenv("XDG_CONFIG_HOME", (fConfig + "/missing").c_str(), 1);
	chmod(fConfig.c_str(), 0555);
	WithoutPrivileges([] {
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("idxoben", 5);
	});
	chmod(fConfig.c_str(), 0755);
	EXPECT_TRUE(Entries(fConfig).empty());
}

TEST_F(PreferencesTest, AWriteProtectedFileOrDirectoryIsLeftAlone)
{
	struct Case {
		const char* what;
		bool fileExists;
		mode_t fileMode;
		mode_t directoryMode;
	} cases[] = {
		{"read-only file", true, 0444, 0755},
		{"read-only directory", true, 0644, 0555},
		{"read-only directory, no file", false, 0, 0555},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		fs::remove_all(fConfig);
		fs::create_directory(fConfig);
		Bytes old = FormatExamples()[1];
		if (c.fileExists) {
			WriteFile(SettingsFile(), old);
			chmod(SettingsFile().c_str(), c.fileMode);
		}
		chmod(fConfig.c_str(), c.directoryMode);

		WithoutPrivileges([] {
			TPreferences prefs(kPrefsName);
			prefs.SetInt32("idxoben", 11);
		});

		chmod(fConfig.c_str(), 0755);
		if (c.fileExists) {
			EXPECT_EQ(old, ReadFile(SettingsFile()));
			EXPECT_EQ(c.fileMode, Mode(SettingsFile()));
			EXPECT_EQ(std::vector<std::string>{kPrefsName}, Entries(fConfig));
		} else {
			EXPECT_TRUE(Entries(fConfig).empty());
		}
	}
}

TEST_F(PreferencesTest, ALinkedSettingsFileStaysALink)
{
	fs::create_directory(fRoot + "/dotfiles");
	std::string target = fRoot + "/dotfiles/kambo";
	WriteFile(target, FormatExamples()[1]);
	chmod(target.c_str(), 0600);
	fs::create_symlink("../dotfiles/kambo", SettingsFile());
	{
		TPreferences prefs(kPrefsName);
		EXPECT_EQ(2, prefs.GetInt32("idxunten", 0));
		prefs.SetInt32("idxunten", 4);
	}
	EXPECT_TRUE(fs::is_symlink(SettingsFile()));
	EXPECT_EQ(0600u, Mode(target)) << "the old file's permissions carry over";
	EXPECT_EQ(std::vector<std::string>{"kambo"}, Entries(fRoot + "/dotfiles"));
	TPreferences prefs(kPrefsName);
	EXPECT_EQ(4, prefs.GetInt32("idxunten", 0));
}

TEST_F(PreferencesTest, ADanglingLinkGetsItsTargetCreated)
{
	std::string target = fRoot + "/elsewhere";
	fs::create_symlink(target, SettingsFile());
	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("runden", 1);
	}
	EXPECT_TRUE(fs::is_symlink(SettingsFile()));
	EXPECT_EQ(1, TPreferences(kPrefsName).GetInt32("runden", 0));
	EXPECT_TRUE(fs::is_regular_file(target));
}

namespace {

// What a process that makes the saves of one run writes on standard error (once per process:
// each run is a child of its own).
std::string
StderrOfOneRun(const std::function<void()>& run)
{
	int pipeEnds[2];
	if (pipe(pipeEnds) != 0)
		return "no pipe";
	pid_t child = fork();
	if (child == 0) {
		dup2(pipeEnds[1], STDERR_FILENO);
		close(pipeEnds[0]);
		TPreferences::ResetSaveFailureReport();
		run();
		_exit(0);
	}
	close(pipeEnds[1]);
	std::string text;
	char buffer[256];
	ssize_t got;
	while ((got = read(pipeEnds[0], buffer, sizeof(buffer))) > 0)
		text.append(buffer, (size_t)got);
	close(pipeEnds[0]);
	waitpid(child, nullptr, 0);
	return text;
}

} // namespace

// A save that fails says so on standard error, once for the whole run (a quit makes two), and
// a save that works says nothing.
TEST_F(PreferencesTest, ASaveThatFailsIsReportedOnceARun)
{
	const std::string file = fConfig + "/" + kPrefsName;
	struct Case {
		const char* what;
		std::function<void()> prepare;
		std::string expected;
	} cases[] = {
		{"saved", {}, ""},
		{"a folder in the file's place", [&] { fs::create_directory(file); },
			"kambolux: Einstellungen nicht gespeichert: " + file + ": dort steht ein Ordner\n"},
		{"a FIFO in the file's place", [&] { mkfifo(file.c_str(), 0600); },
			"kambolux: Einstellungen nicht gespeichert: " + file
				+ ": dort steht keine gewöhnliche Datei\n"},
		{"no folder at all",
			[] {
				unsetenv("XDG_CONFIG_HOME");
				unsetenv("HOME");
			},
			"kambolux: Einstellungen nicht gespeichert: kein Ordner dafür (XDG_CONFIG_HOME und "
			"HOME fehlen oder sind keine absoluten Pfade)\n"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		fs::remove_all(fConfig);
		fs::create_directory(fConfig);
		std::string said = StderrOfOneRun([&] {
			if (c.prepare)
				c.prepare();
			ShutDown({250, 300, 1, 2, 0, 1, 3});
			ShutDown({250, 300, 1, 2, 0, 1, 4});
		});
		EXPECT_EQ(c.expected, said);
	}
}

// Another version, another program or damage may leave one of the program's keys with another
// type: it reads as the default, and the value the user then chooses replaces it for good.
TEST_F(PreferencesTest, AKeyOfAnotherTypeGivesWayToTheValueSet)
{
	const struct {
		const char* name;
		uint32_t storedType;
		bool isFloat;
	} cases[] = {
		{"idxoben", 'FLOT', false},
		{"runden", 'CSTR', false},
		{"wndleft", 'LONG', true},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(test.name);
		Encoder encoder;
		if (test.storedType == 'CSTR')
			encoder.Strings(test.name, {"1"});
		else
			encoder.Words(test.name, test.storedType, {FloatBits(3)});
		WriteFile(SettingsFile(), encoder.Words("wndtop", 'FLOT', {FloatBits(7)}).Finish());
		for (int run = 0; run < 2; run++) {
			TPreferences prefs(kPrefsName);
			if (test.isFloat) {
				EXPECT_EQ(run == 0 ? 100 : 250 + run - 1, prefs.GetFloat(test.name, 100));
				EXPECT_EQ(B_OK, prefs.SetFloat(test.name, 250 + run));
			} else {
				EXPECT_EQ(run == 0 ? -1 : 9 + run - 1, prefs.GetInt32(test.name, -1));
				EXPECT_EQ(B_OK, prefs.SetInt32(test.name, 9 + run));
			}
		}
		TPreferences prefs(kPrefsName);
		if (test.isFloat)
			EXPECT_EQ(251, prefs.GetFloat(test.name, 0));
		else
			EXPECT_EQ(10, prefs.GetInt32(test.name, 0));
		EXPECT_EQ(7, prefs.GetFloat("wndtop", 0));
		EXPECT_EQ(2, CountFields(prefs));
	}
}

// A valid file is read whatever it holds besides the program's keys, as long as it can be held;
// one beyond the reader's cap is left exactly as it is and said so, not saved over with the
// defaults; one that only claims to be that big is damage and is repaired.
TEST_F(PreferencesTest, ABigFileIsReadOrLeftAloneButNeverSavedOver)
{
	auto bigFile = [](size_t fields, size_t bytesEach) {
		Encoder encoder;
		encoder.Words("idxoben", 'LONG', {4});
		for (size_t i = 0; i < fields; i++)
			encoder.Strings(("other" + std::to_string(i)).c_str(), {std::string(bytesEach, 'x')});
		return encoder.Finish();
	};
	const std::string tooBigSaid = "kambolux: Einstellungen nicht gespeichert: " + SettingsFile()
		+ ": die Datei ist zu groß zum Lesen und bleibt, wie sie ist\n";

	// 1.7 MB of 100,000 other fields: read, changed, and every field kept.
	WriteFile(SettingsFile(), bigFile(100000, 1));
	ASSERT_GT(ReadFile(SettingsFile()).size(), 1024u * 1024u);
	{
		TPreferences prefs(kPrefsName);
		EXPECT_EQ(4, prefs.GetInt32("idxoben", -1));
		prefs.SetInt32("idxoben", 9);
	}
	{
		TPreferences prefs(kPrefsName);
		EXPECT_EQ(9, prefs.GetInt32("idxoben", -1));
		EXPECT_EQ(100001, CountFields(prefs));
	}

	// Past the cap: defaults for this run, the file untouched, one line on standard error.
	const Bytes huge = bigFile(40, 512 * 1024);
	WriteFile(SettingsFile(), huge);
	std::string said = StderrOfOneRun([] {
		for (int save = 0; save < 2; save++) {
			TPreferences prefs(kPrefsName);
			EXPECT_EQ(-1, prefs.GetInt32("idxoben", -1));
			prefs.SetInt32("idxoben", 9);
		}
	});
	EXPECT_EQ(tooBigSaid, said);
	EXPECT_TRUE(ReadFile(SettingsFile()) == huge);

	// A small file whose size field claims as much is damaged, and the save repairs it.
	Bytes lying = bigFile(1, 4);
	const uint32_t claimed = 64u * 1024 * 1024;
	memcpy(lying.data() + 8, &claimed, 4);
	WriteFile(SettingsFile(), lying);
	EXPECT_EQ("", StderrOfOneRun([] { TPreferences(kPrefsName).SetInt32("idxoben", 9); }));
	EXPECT_EQ(9, TPreferences(kPrefsName).GetInt32("idxoben", -1));
}
