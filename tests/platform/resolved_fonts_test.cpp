// The fonts an earlier start or the install resolved: drawn from a kept record they are the
// very pixels fontconfig's own way gives, and a record that is out of date, damaged or not
// meant for this user is never used.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Font.h"
#include "FontCache.h"
#include "ResolvedFonts.h"
#include "ScratchFolder.h"

using BPrivate::AcquireScaledFont;
using BPrivate::IsFontFromRecord;
using BPrivate::KeepResolvedFonts;
using BPrivate::ResolvedFonts;
using BPrivate::SaveResolvedFonts;
using BPrivate::WriteFontRecord;

namespace {

const char* const kSample = "Zielwährung 1.234,56 € ÄÖÜ ßgjq|@ DEM";

// The kit's fonts and a few more: faces, odd sizes, the fixed family.
std::vector<BFont>
SampleFonts()
{
	std::vector<BFont> fonts = {*be_plain_font, *be_bold_font, *be_fixed_font};
	for (float size : {7.0f, 10.5f, 15.0f, 31.0f}) {
		fonts.emplace_back("DejaVu Sans", B_REGULAR_FACE, size);
		fonts.emplace_back("DejaVu Sans", B_BOLD_FACE, size);
		fonts.emplace_back("DejaVu Sans", B_ITALIC_FACE, size);
	}
	fonts.emplace_back("DejaVu Serif", B_REGULAR_FACE, 13);
	return fonts;
}

struct Drawn {
	std::string pixels;
	double advance = 0;
	bool fromKeptFile = false;
};

Drawn
DrawScaled(cairo_scaled_font_t* scaled)
{
	Drawn drawn;
	EXPECT_NE(scaled, nullptr);
	if (scaled == nullptr)
		return drawn;
	cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 420, 64);
	cairo_t* cr = cairo_create(surface);
	cairo_set_source_rgb(cr, 1, 1, 1);
	cairo_paint(cr);
	cairo_set_source_rgb(cr, 0.1, 0.2, 0.3);
	cairo_set_scaled_font(cr, scaled);
	cairo_move_to(cr, 3.25, 40);
	cairo_show_text(cr, kSample);
	cairo_text_extents_t extents;
	cairo_scaled_font_text_extents(scaled, kSample, &extents);
	drawn.advance = extents.x_advance;
	cairo_surface_flush(surface);
	const int stride = cairo_image_surface_get_stride(surface);
	drawn.pixels.assign(reinterpret_cast<const char*>(cairo_image_surface_get_data(surface)),
		(size_t)stride * 64);
	cairo_destroy(cr);
	cairo_surface_destroy(surface);
	cairo_scaled_font_destroy(scaled);
	return drawn;
}

Drawn
Draw(const BFont& font)
{
	Drawn drawn = DrawScaled(AcquireScaledFont(font));
	drawn.fromKeptFile = IsFontFromRecord(font);
	return drawn;
}

// The font as cairo finds it by itself, with the kit's rendering options.
Drawn
DrawCairosOwn(const BFont& font)
{
	cairo_font_face_t* face = cairo_toy_font_face_create(font.Family(),
		(font.Face() & B_ITALIC_FACE) != 0 ? CAIRO_FONT_SLANT_OBLIQUE : CAIRO_FONT_SLANT_NORMAL,
		(font.Face() & B_BOLD_FACE) != 0 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
	cairo_matrix_t size, identity;
	cairo_matrix_init_scale(&size, font.Size(), font.Size());
	cairo_matrix_init_identity(&identity);
	cairo_font_options_t* options = cairo_font_options_create();
	cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
	cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_RGB);
	cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
	cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
	cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &size, &identity, options);
	cairo_font_options_destroy(options);
	cairo_font_face_destroy(face);
	return DrawScaled(scaled);
}

// Rewrites a file's text through edit.
void
EditFile(const std::string& path, const std::function<void(std::string&)>& edit)
{
	std::ifstream in(path);
	std::stringstream text;
	text << in.rdbuf();
	std::string content = text.str();
	in.close();
	edit(content);
	std::ofstream(path) << content;
}

class ResolvedFontsTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fScratch.IsValid());
		fDirectory = fScratch.Path();
		fPath = fDirectory + "/fonts";
		fSystemPath = fDirectory + "/system-fonts";
		// The user's fontconfig places are stamped too: these are ours to make.
		fScratch.SetEnv("HOME", fDirectory + "/home");
		fScratch.SetEnv("XDG_CONFIG_HOME", fDirectory + "/config");
		fScratch.UnsetEnv("XDG_DATA_HOME");
	}

	void TearDown() override { KeepResolvedFonts(std::string(), std::string()); }

	// Draws every sample font through the kept records, then keeps what was resolved.
	std::vector<Drawn> DrawAll(const std::string& systemPath = std::string())
	{
		KeepResolvedFonts(fPath, systemPath);
		std::vector<Drawn> drawn;
		for (const BFont& font : SampleFonts())
			drawn.push_back(Draw(font));
		EXPECT_EQ(SaveResolvedFonts(), B_OK);
		return drawn;
	}

	std::string fDirectory;
	std::string fPath;
	std::string fSystemPath;
	ScratchFolder fScratch{"kambo-fonts"};
};

} // namespace

TEST_F(ResolvedFontsTest, KeptFontsDrawTheSamePixels)
{
	std::vector<Drawn> first = DrawAll();
	struct stat info;
	ASSERT_EQ(stat(fPath.c_str(), &info), 0);
	std::vector<Drawn> second = DrawAll();
	ASSERT_EQ(first.size(), second.size());
	for (size_t i = 0; i < first.size(); i++) {
		SCOPED_TRACE(i);
		EXPECT_FALSE(first[i].fromKeptFile);
		EXPECT_TRUE(second[i].fromKeptFile);
		EXPECT_EQ(first[i].advance, second[i].advance);
		EXPECT_TRUE(first[i].pixels == second[i].pixels);
		// And they are the pixels cairo's own way to the font gives.
		const Drawn own = DrawCairosOwn(SampleFonts()[i]);
		EXPECT_EQ(first[i].advance, own.advance);
		EXPECT_TRUE(first[i].pixels == own.pixels);
	}

	// A run that asks for a face at another size first resolves it again, for every size;
	// the other faces still come from the file.
	KeepResolvedFonts(fPath, std::string());
	EXPECT_FALSE(Draw(BFont("DejaVu Sans", B_REGULAR_FACE, 23)).fromKeptFile);
	EXPECT_FALSE(Draw(*be_plain_font).fromKeptFile);
	EXPECT_TRUE(Draw(*be_bold_font).fromKeptFile);
}

TEST_F(ResolvedFontsTest, AChangeOrDamageMeansFontconfigAgain)
{
	// Each case changes something after a save; the next start must not trust the file, and
	// writes a good one again.
	struct Case {
		const char* what;
		std::function<void(const std::string& directory, const std::string& path)> change;
	} cases[] = {
		{"the user makes a fontconfig folder",
			[](const std::string& directory, const std::string&) {
				ASSERT_EQ(mkdir((directory + "/config").c_str(), 0700), 0);
				ASSERT_EQ(mkdir((directory + "/config/fontconfig").c_str(), 0700), 0);
			}},
		{"fontconfig is pointed elsewhere",
			[](const std::string&, const std::string&) {
				setenv("FONTCONFIG_PATH", "/etc/fonts", 1);
			}},
		{"fontconfig is pointed elsewhere, and the record names another variable twice",
			[](const std::string&, const std::string& path) {
				EditFile(path, [](std::string& content) {
					const std::string line = "env\tFONTCONFIG_PATH\t-";
					content.replace(content.find(line), line.size(), "env\tFONTCONFIG_FILE\t-");
				});
				setenv("FONTCONFIG_PATH", "/etc/fonts", 1);
			}},
		{"the file is cut short",
			[](const std::string&, const std::string& path) {
				ASSERT_EQ(truncate(path.c_str(), 300), 0);
			}},
		{"the file is junk",
			[](const std::string&, const std::string& path) {
				std::ofstream(path) << "\x01\x02 not fonts\n\n\t\t\n";
			}},
		{"a pattern is junk",
			[](const std::string&, const std::string& path) {
				EditFile(path, [](std::string& content) {
					for (size_t at = content.find("file="); at != std::string::npos;
						 at = content.find("file=", at + 1))
						content.replace(at, 5, "fxle=");
				});
			}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		unsetenv("FONTCONFIG_PATH");
		std::string command = "rm -rf '" + fDirectory + "/config'";
		ASSERT_EQ(system(command.c_str()), 0);
		unlink(fPath.c_str());
		DrawAll();
		c.change(fDirectory, fPath);
		for (const Drawn& drawn : DrawAll())
			EXPECT_FALSE(drawn.fromKeptFile);
		for (const Drawn& drawn : DrawAll())
			EXPECT_TRUE(drawn.fromKeptFile);
	}
	unsetenv("FONTCONFIG_PATH");
}

TEST_F(ResolvedFontsTest, TheLocaleDoesNotChangeTheFonts)
{
	// The texts are German in every locale: the fonts are matched for them, so a record made
	// in one locale holds in any other.
	const std::vector<Drawn> first = DrawAll();
	for (const char* language : {"el_GR.UTF-8", "ja_JP.UTF-8", "C"}) {
		SCOPED_TRACE(language);
		setenv("LANG", language, 1);
		setenv("FC_LANG", language, 1);
		const std::vector<Drawn> again = DrawAll();
		ASSERT_EQ(again.size(), first.size());
		for (size_t i = 0; i < again.size(); i++) {
			EXPECT_TRUE(again[i].fromKeptFile);
			EXPECT_TRUE(again[i].pixels == first[i].pixels);
		}
	}
	unsetenv("FC_LANG");
	unsetenv("LANG");
}

TEST_F(ResolvedFontsTest, TheSystemsRecordServesAFirstStart)
{
	ASSERT_EQ(WriteFontRecord(fSystemPath, SampleFonts()), B_OK);
	struct stat info;
	ASSERT_EQ(stat(fSystemPath.c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 0777, 0644u);

	const std::vector<Drawn> fromSystem = DrawAll(fSystemPath);
	// Nothing had to be resolved, so the user has no record of their own yet.
	EXPECT_NE(stat(fPath.c_str(), &info), 0);
	for (size_t i = 0; i < fromSystem.size(); i++) {
		SCOPED_TRACE(i);
		EXPECT_TRUE(fromSystem[i].fromKeptFile);
		EXPECT_TRUE(fromSystem[i].pixels == DrawCairosOwn(SampleFonts()[i]).pixels);
	}

	// A face first asked for at a size the system's record lacks is resolved and kept in the
	// user's own record; the next start takes it from there and the rest from the system's.
	KeepResolvedFonts(fPath, fSystemPath);
	EXPECT_FALSE(Draw(BFont("DejaVu Sans", B_BOLD_FACE, 23)).fromKeptFile);
	EXPECT_EQ(SaveResolvedFonts(), B_OK);
	KeepResolvedFonts(fPath, fSystemPath);
	EXPECT_TRUE(Draw(BFont("DejaVu Sans", B_BOLD_FACE, 23)).fromKeptFile);
	EXPECT_TRUE(Draw(*be_plain_font).fromKeptFile);
}

TEST_F(ResolvedFontsTest, TheSystemsRecordIsRefusedWhereItDoesNotHold)
{
	struct Case {
		const char* what;
		std::function<void(const std::string& directory, const std::string& path)> change;
	} cases[] = {
		{"the user has fontconfig files",
			[](const std::string& directory, const std::string&) {
				ASSERT_EQ(mkdir((directory + "/config").c_str(), 0700), 0);
				ASSERT_EQ(mkdir((directory + "/config/fontconfig").c_str(), 0700), 0);
			}},
		{"the user has fonts of their own",
			[](const std::string& directory, const std::string&) {
				ASSERT_EQ(mkdir((directory + "/home").c_str(), 0700), 0);
				ASSERT_EQ(mkdir((directory + "/home/.fonts").c_str(), 0700), 0);
			}},
		{"the record names a user's home",
			[](const std::string&, const std::string& path) {
				EditFile(path, [](std::string& content) {
					content.replace(content.find("user\tnone"), 9, "env\tHOME\t-");
				});
			}},
		{"the record is a user's own",
			[](const std::string&, const std::string& path) {
				EditFile(path,
					[](std::string& content) { content.erase(content.find("user\tnone\n"), 10); });
			}},
		{"the record is cut short",
			[](const std::string&, const std::string& path) {
				ASSERT_EQ(truncate(path.c_str(), 500), 0);
			}},
		{"the record is a FIFO",
			[](const std::string&, const std::string& path) {
				ASSERT_EQ(unlink(path.c_str()), 0);
				ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
			}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		for (const char* folder : {"/config", "/home"}) {
			std::string command = "rm -rf '" + fDirectory + folder + "'";
			ASSERT_EQ(system(command.c_str()), 0);
		}
		unlink(fPath.c_str());
		unlink(fSystemPath.c_str());
		ASSERT_EQ(WriteFontRecord(fSystemPath, SampleFonts()), B_OK);
		c.change(fDirectory, fSystemPath);
		for (const Drawn& drawn : DrawAll(fSystemPath))
			EXPECT_FALSE(drawn.fromKeptFile);
		// Resolved by fontconfig and kept in the user's own record instead.
		for (const Drawn& drawn : DrawAll(fSystemPath))
			EXPECT_TRUE(drawn.fromKeptFile);
	}
}

TEST_F(ResolvedFontsTest, ARecordForEveryoneHoldsNoUsersFiles)
{
	// Made where fontconfig could have read a user's own files, it would not hold for others.
	ASSERT_EQ(mkdir((fDirectory + "/home").c_str(), 0700), 0);
	ASSERT_EQ(mkdir((fDirectory + "/home/.fonts").c_str(), 0700), 0);
	EXPECT_EQ(WriteFontRecord(fSystemPath, SampleFonts()), B_ERROR);
	struct stat info;
	EXPECT_NE(stat(fSystemPath.c_str(), &info), 0);
	EXPECT_EQ(WriteFontRecord(std::string(), SampleFonts()), B_NO_INIT);
}

TEST_F(ResolvedFontsTest, StampsTellFilesFoldersAndAbsence)
{
	EXPECT_EQ(ResolvedFonts::StampOf(fDirectory + "/none"), "absent");
	EXPECT_EQ(ResolvedFonts::StampOf(fDirectory)[0], 'd');
	std::ofstream(fPath) << "x";
	const std::string before = ResolvedFonts::StampOf(fPath);
	EXPECT_EQ(before[0], 'f');
	std::ofstream(fPath) << "xy";
	EXPECT_NE(ResolvedFonts::StampOf(fPath), before);

	// Nothing to load, or nowhere to keep it: fontconfig's way, and no file.
	ResolvedFonts missing(fDirectory + "/none");
	EXPECT_FALSE(missing.Load());
	EXPECT_EQ(missing.Find("0 0 DejaVu Sans", 11), nullptr);
	EXPECT_EQ(ResolvedFonts(std::string()).Save(), B_NO_INIT);
}

TEST_F(ResolvedFontsTest, ACacheThatCannotBeWrittenIsTriedOnce)
{
	// The file's place is a folder: every write fails.
	ASSERT_EQ(mkdir(fPath.c_str(), 0700), 0);
	KeepResolvedFonts(fPath, std::string());
	EXPECT_FALSE(Draw(*be_plain_font).fromKeptFile);
	EXPECT_EQ(SaveResolvedFonts(), B_ERROR);
	// Nothing new since: the idle loop's next call does not write again.
	EXPECT_EQ(SaveResolvedFonts(), B_OK);
	EXPECT_FALSE(Draw(*be_plain_font).fromKeptFile);
}

TEST_F(ResolvedFontsTest, TheCacheFolderIsMadeOnlyWhenTheRecordIsWritten)
{
	fScratch.SetEnv("XDG_CACHE_HOME", fDirectory + "/cache");
	const std::string folder = fDirectory + "/cache/kambolux";
	ResolvedFonts record(ResolvedFonts::DefaultPath());
	EXPECT_FALSE(record.Load());
	struct stat info;
	EXPECT_NE(stat(folder.c_str(), &info), 0) << "finding and reading the record made its folder";

	record.Add("0 0 DejaVu Sans", 11, "family=DejaVu Sans", fDirectory + "/none.ttf");
	ASSERT_EQ(record.Save(), B_OK);
	ASSERT_EQ(stat(folder.c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 0777, 0700u);
	EXPECT_EQ(stat((folder + "/fonts").c_str(), &info), 0);
}
