// The fonts an earlier start resolved: drawn from the kept file they are the very pixels
// fontconfig's own way gives, and a file that is out of date or damaged is never used.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Font.h"
#include "FontCache.h"
#include "ResolvedFonts.h"

using BPrivate::AcquireScaledFont;
using BPrivate::KeepResolvedFonts;
using BPrivate::ResolvedFonts;
using BPrivate::SaveResolvedFonts;

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
Draw(const BFont& font)
{
	Drawn drawn;
	cairo_scaled_font_t* scaled = AcquireScaledFont(font);
	EXPECT_NE(scaled, nullptr);
	if (scaled == nullptr)
		return drawn;
	// Cairo's own way keeps the family's toy face; the kept one is a FreeType face.
	drawn.fromKeptFile = cairo_font_face_get_type(cairo_scaled_font_get_font_face(scaled))
		== CAIRO_FONT_TYPE_FT;
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

class ResolvedFontsTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		char pattern[] = "/tmp/kambo-fonts.XXXXXX";
		ASSERT_NE(mkdtemp(pattern), nullptr);
		fDirectory = pattern;
		fPath = fDirectory + "/fonts";
		// The user's fontconfig places are stamped too: these are ours to make.
		setenv("XDG_CONFIG_HOME", (fDirectory + "/config").c_str(), 1);
	}

	void TearDown() override
	{
		KeepResolvedFonts(std::string());
		std::string command = "rm -rf '" + fDirectory + "'";
		ASSERT_EQ(system(command.c_str()), 0);
	}

	// Draws every sample font through the kept file, then keeps what was resolved.
	std::vector<Drawn> DrawAll()
	{
		KeepResolvedFonts(fPath);
		std::vector<Drawn> drawn;
		for (const BFont& font : SampleFonts())
			drawn.push_back(Draw(font));
		EXPECT_EQ(SaveResolvedFonts(), B_OK);
		return drawn;
	}

	std::string fDirectory;
	std::string fPath;
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
	}

	// A run that asks for a face at another size first gets cairo's own resolution of it,
	// for every size; the other faces still come from the file.
	KeepResolvedFonts(fPath);
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
		{"the language changes",
			[](const std::string&, const std::string&) { setenv("FC_LANG", "el", 1); }},
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
				std::ifstream in(path);
				std::stringstream text;
				text << in.rdbuf();
				std::string content = text.str();
				for (size_t at = content.find("file="); at != std::string::npos;
					 at = content.find("file=", at + 1))
					content.replace(at, 5, "fxle=");
				std::ofstream(path) << content;
			}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		unsetenv("FC_LANG");
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
	unsetenv("FC_LANG");
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
	EXPECT_EQ(missing.Find("0 0 41300000 DejaVu Sans"), nullptr);
	EXPECT_EQ(ResolvedFonts(std::string()).Save(), B_NO_INIT);
}

TEST_F(ResolvedFontsTest, ACacheThatCannotBeWrittenIsTriedOnce)
{
	// The file's place is a folder: every write fails.
	ASSERT_EQ(mkdir(fPath.c_str(), 0700), 0);
	KeepResolvedFonts(fPath);
	EXPECT_FALSE(Draw(*be_plain_font).fromKeptFile);
	EXPECT_EQ(SaveResolvedFonts(), B_ERROR);
	// Nothing new since: the idle loop's next call does not write again.
	EXPECT_EQ(SaveResolvedFonts(), B_OK);
	EXPECT_FALSE(Draw(*be_plain_font).fromKeptFile);
}
