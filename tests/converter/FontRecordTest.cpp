// The record of resolved fonts the package writes at install serves the program's first
// start whole: the main window, the pad and the about window at scale 1 and 2 ask for no face
// at a first size the record lacks, so fontconfig's configuration is never loaded.
#include "ConverterFixture.h"

#include <sys/stat.h>

#include "CalcWnd.h"
#include "DisplayScale.h"
#include "Font.h"
#include "FontCache.h"
#include "Invoker.h"
#include "TAboutWindow.h"
#include "View.h"

namespace {

class FontRecordTest : public ConverterTest, public testing::WithParamInterface<int32> {
protected:
	void SetUp() override
	{
		ConverterTest::SetUp();
		fBackend->SetScale(GetParam());
		fUserRecord = fRoot + "/user-fonts";
		fSystemRecord = fRoot + "/system-fonts";
	}

	void TearDown() override
	{
		BPrivate::KeepResolvedFonts(std::string(), std::string());
		ConverterTest::TearDown();
	}

	void Press(int32 child)
	{
		BInvoker* invoker = dynamic_cast<BInvoker*>(View()->ChildAt(child));
		ASSERT_NE(nullptr, invoker);
		invoker->Invoke();
		Drain();
	}

	std::string fUserRecord;
	std::string fSystemRecord;
};

TEST_P(FontRecordTest, TheInstallsRecordServesEveryWindow)
{
	ASSERT_EQ(B_OK,
		BPrivate::WriteFontRecord(fSystemRecord,
			BPrivate::KitFontsAtScales(BPrivate::kMaxDisplayScale)));
	BPrivate::KeepResolvedFonts(fUserRecord, fSystemRecord);
	Start();
	Type("1234,5");
	Press(3); // the pad
	Press(4); // the about window
	Drain();

	for (const BFont* font : {be_plain_font, be_bold_font})
		EXPECT_TRUE(BPrivate::IsFontFromRecord(*font)) << font->Family() << " " << font->Face();
	// Nothing was resolved, so nothing is written for the user.
	EXPECT_EQ(B_OK, BPrivate::SaveResolvedFonts());
	struct stat info;
	EXPECT_NE(0, stat(fUserRecord.c_str(), &info));
}

INSTANTIATE_TEST_SUITE_P(Scales, FontRecordTest, testing::Values(1, 2));

} // namespace
