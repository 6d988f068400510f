#include <cerrno>

#include "MessageBytes.h"
#include "Preferences.h"
#include "PreferencesFixture.h"

namespace {

// Reads the keys that every damaged file must give back as the caller's defaults.
void
ExpectDefaults(const TPreferences& prefs, const std::string& what)
{
	EXPECT_EQ(-1, prefs.GetFloat("wndleft", -1)) << what;
	EXPECT_EQ(77, prefs.GetInt32("idxoben", 77)) << what;
	EXPECT_EQ(0, CountFields(prefs)) << what;
}

} // namespace

TEST_F(PreferencesTest, EveryTruncationLoadsAsDefaultsAndIsRepaired)
{
	const Bytes empty = FormatExamples()[0];
	for (bool big : {false, true}) {
		for (bool mini : {false, true}) {
			Bytes valid = EncodeSevenKeys(big, mini);
			for (size_t length = 0; length < valid.size(); length++) {
				std::string what = std::to_string(length) + (big ? " big" : " little")
					+ (mini ? " mini" : " full");
				WriteFile(SettingsFile(), Bytes(valid.begin(), valid.begin() + length));
				ExpectDefaults(TPreferences(kPrefsName), what);
				EXPECT_EQ(empty, ReadFile(SettingsFile())) << what;
			}
		}
	}
}

TEST_F(PreferencesTest, DamagedFilesLoadAsDefaults)
{
	Bytes sevenKeys = FormatExamples()[1];
	auto patched = [&](size_t offset, std::initializer_list<uint8_t> values) {
		Bytes bytes = sevenKeys;
		// Checked: a patch past the end is a broken test, not a damaged file.
		for (uint8_t value : values)
			bytes.at(offset++) = value;
		return bytes;
	};
	struct Case {
		const char* what;
		Bytes bytes;
	} cases[] = {
		{"not a message", Bytes{'w', 'n', 'd', 'l', 'e', 'f', 't', '=', '1', '0', '0', '\n'}},
		{"total size huge", patched(8, {0xff, 0xff, 0xff, 0xff})},
		{"zero item size", patched(22, {0})},
		{"huge count",
			Encoder().Record(0x05, 'LONG', 0x7fffffff, 4, "idxoben", false).U32(2).Finish()},
		{"big-endian, record past the end",
			[] {
				Bytes bytes = EncodeSevenKeys(true, false);
				bytes[25] = 0x7f;
				return bytes;
			}()},
	};
	for (const Case& c : cases) {
		WriteFile(SettingsFile(), c.bytes);
		ExpectDefaults(TPreferences(kPrefsName), c.what);
		EXPECT_EQ(FormatExamples()[0], ReadFile(SettingsFile())) << c.what;
	}
}

TEST_F(PreferencesTest, OtherWritersFormsLoadAndComeBackInOurs)
{
	for (bool big : {false, true}) {
		Encoder encoder(big);
		encoder.Words("unknown", 'QXTZ', {0x01020304}).Strings("note", {"hallo"});
		Bytes bytes = EncodeSevenKeys(big, false);
		WriteFile(SettingsFile(), bytes);
		{
			TPreferences prefs(kPrefsName);
			EXPECT_EQ(100, prefs.GetFloat("wndtop", 0));
			EXPECT_EQ(2, prefs.GetInt32("idxunten", 0));
		}
		EXPECT_EQ(FormatExamples()[1], ReadFile(SettingsFile()));

		WriteFile(SettingsFile(), encoder.Finish());
		{
			TPreferences prefs(kPrefsName);
			prefs.SetInt32("runden", 2);
		}
		TPreferences prefs(kPrefsName);
		const char* note = nullptr;
		EXPECT_EQ(B_OK, prefs.FindString("note", &note));
		EXPECT_STREQ("hallo", note);
		EXPECT_EQ(2, prefs.GetInt32("runden", 0));
		EXPECT_EQ(3, CountFields(prefs)) << "the unknown field survives";
	}
}

// #pragma mark - Failing saves

namespace {

int sWritesLeft;

ssize_t
WriteThenFillUp(int fd, const void* buffer, size_t size)
{
	if (sWritesLeft-- > 0)
		return BPrivate::SystemFileOps().write(fd, buffer, size < 10 ? size : 10);
	errno = ENOSPC;
	return -1;
}

int
FailingSync(int)
{
	errno = EIO;
	return -1;
}

int
FailingRename(const char*, const char*)
{
	errno = EXDEV;
	return -1;
}

} // namespace

TEST_F(PreferencesTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporary)
{
	struct Case {
		const char* what;
		int writesBeforeFailing;
		BPrivate::FileOps ops;
	} cases[] = {
		{"disk full at once", 0, BPrivate::SystemFileOps()},
		{"disk full after some bytes", 3, BPrivate::SystemFileOps()},
		{"flush fails", 0, BPrivate::SystemFileOps()},
		{"rename fails", 0, BPrivate::SystemFileOps()},
	};
	cases[0].ops.write = WriteThenFillUp;
	cases[1].ops.write = WriteThenFillUp;
	cases[2].ops.fsync = FailingSync;
	cases[3].ops.rename = FailingRename;

	const Bytes old = FormatExamples()[1];
	for (const Case& c : cases) {
		WriteFile(SettingsFile(), old);
		sWritesLeft = c.writesBeforeFailing;
		{
			TPreferences prefs(kPrefsName);
			prefs.SetInt32("idxoben", 8);
			prefs.SetFloat("wndleft", 300);
			BPrivate::SetFileOps(&c.ops);
		}
		BPrivate::SetFileOps(nullptr);
		EXPECT_EQ(old, ReadFile(SettingsFile())) << c.what;
		EXPECT_EQ(std::vector<std::string>{kPrefsName}, Entries(fConfig)) << c.what;
	}

	// Once the disk has room again the next save goes through.
	{
		TPreferences prefs(kPrefsName);
		prefs.SetInt32("idxoben", 8);
	}
	EXPECT_EQ(8, TPreferences(kPrefsName).GetInt32("idxoben", 0));
}
