// The about window in the running program: where it opens, its parts whole, the styled text,
// the two links, closing it, and the icon over the band.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AboutTexts.h"
#include "AppDefs.h"
#include "Application.h"
#include "Button.h"
#include "ConverterFixture.h"
#include "HeadlessBackend.h"
#include "Resources.h"
#include "SystemPalette.h"
#include "TAboutView.h"
#include "TAboutWindow.h"
#include "TPicView.h"
#include "TextViewPrivate.h"

using BPrivate::HeadlessBackend;
using BPrivate::TextViewAccess;

namespace {

constexpr rgb_color kBand = {184, 184, 184, 255};
constexpr rgb_color kLinkBlue = {0, 0, 220, 255};
constexpr rgb_color kBlack = {0, 0, 0, 255};

class AboutTest : public MainWindowTest {
protected:
	void TearDown() override
	{
		BPrivate::SetResourceHidden('ICON', 101, false);
		MainWindowTest::TearDown();
	}

	static TAboutWindow* About() { return FindWindow<TAboutWindow>(); }

	// What the question-mark button and the menu item send.
	TAboutWindow* OpenAbout()
	{
		fMain->PostMessage(B_ABOUT_REQUESTED, fMain);
		Drain();
		return About();
	}

	static TPicView* Picture(TAboutWindow* about)
	{
		return dynamic_cast<TPicView*>(about->ChildAt(0));
	}
	static TAboutView* Text(TAboutWindow* about)
	{
		TPicView* picture = Picture(about);
		for (int32 i = 0; picture != nullptr && i < picture->CountChildren(); i++) {
			if (auto* text = dynamic_cast<TAboutView*>(picture->ChildAt(i)))
				return text;
		}
		return nullptr;
	}
	static BButton* OK(TAboutWindow* about)
	{
		TPicView* picture = Picture(about);
		for (int32 i = 0; picture != nullptr && i < picture->CountChildren(); i++) {
			if (auto* button = dynamic_cast<BButton*>(picture->ChildAt(i)))
				return button;
		}
		return nullptr;
	}
};

} // namespace

TEST_F(AboutTest, OpensModal30PixelsRightOfAndBelowTheMainWindow)
{
	fMain->MoveTo(250, 180);
	TAboutWindow* about = OpenAbout();
	ASSERT_NE(nullptr, about);
	BRect expected(280, 210, 590, 410);
	EXPECT_EQ(expected, about->Frame());
	EXPECT_STREQ("About", about->Title());
	EXPECT_EQ(B_MODAL_WINDOW, about->Type());
	EXPECT_EQ((uint32)B_NOT_RESIZABLE, about->Flags());

	int32 shown = 0;
	for (const HeadlessBackend::WindowInfo& info : fBackend->Windows()) {
		if (info.title != "About")
			continue;
		shown++;
		EXPECT_EQ(expected, info.frame);
		EXPECT_TRUE(info.modal);
		EXPECT_FALSE(info.decorated);
		EXPECT_FALSE(info.alwaysOnTop && info.popupMenu);
		EXPECT_TRUE(info.visible);
	}
	EXPECT_EQ(1, shown);

	// Every request makes a new window.
	about->PostMessage(kAboutOK);
	Drain();
	EXPECT_EQ(nullptr, About());
	EXPECT_NE(nullptr, OpenAbout());
}

// Everything the window shows can be seen whole: the picture fills the window, the text and
// the button lie inside it and apart, the text's last line ends inside its rectangle, and
// typing into the text changes nothing.
TEST_F(AboutTest, EveryPartIsWholeAndTheTextStaysAsWritten)
{
	TAboutWindow* about = OpenAbout();
	ASSERT_NE(nullptr, about);
	ASSERT_EQ(1, about->CountChildren());
	TPicView* picture = Picture(about);
	ASSERT_NE(nullptr, picture);
	EXPECT_EQ(about->Bounds(), picture->Frame());
	BButton* ok = OK(about);
	TAboutView* text = Text(about);
	ASSERT_NE(nullptr, ok);
	ASSERT_NE(nullptr, text);
	EXPECT_STREQ("OK", ok->Label());
	for (BView* part : {static_cast<BView*>(ok), static_cast<BView*>(text)}) {
		EXPECT_TRUE(picture->Bounds().Contains(part->Frame())) << part->Name();
	}
	EXPECT_FALSE(ok->Frame().Intersects(text->Frame()));

	EXPECT_STREQ(kLongAboutText, text->Text());
	EXPECT_TRUE(text->Bounds().Contains(text->TextRect()));
	float lineHeight = 0;
	const BPoint end = text->PointAt(text->TextLength(), &lineHeight);
	EXPECT_GT(lineHeight, 0);
	EXPECT_LE(end.y + lineHeight, text->TextRect().bottom + 1);

	text->MakeFocus();
	fBackend->InjectKey(HeadlessBackend::IdOf(about), "\b");
	fBackend->InjectText(HeadlessBackend::IdOf(about), "x");
	Drain();
	ASSERT_EQ(about, About());
	EXPECT_STREQ(kLongAboutText, text->Text());
}

TEST_F(AboutTest, TitleIsBoldAndLinksAreBlueCharacterByCharacter)
{
	TAboutView* text = Text(OpenAbout());
	ASSERT_NE(nullptr, text);
	for (int32 offset = 0; offset < text->TextLength(); offset++) {
		SCOPED_TRACE(offset);
		BFont font;
		rgb_color color = {};
		text->GetFontAndColor(offset, &font, &color);
		bool link = (offset >= kSiteOffset && offset < kSiteOffset + kSiteLength)
			|| (offset >= kAppPageOffset && offset < kAppPageOffset + kAppPageLength);
		if (offset < 12) {
			EXPECT_TRUE(font.IsBold());
			EXPECT_EQ(16, font.Size());
			EXPECT_STREQ(be_plain_font->Family(), font.Family());
			EXPECT_EQ(kBlack, color);
		} else {
			EXPECT_EQ(*be_plain_font, font);
			EXPECT_EQ(link ? kLinkBlue : kBlack, color);
		}
	}
}

TEST_F(AboutTest, ClicksOpenOnlyTheirLinkAndNeverSelect)
{
	// clang-format off
	struct {
		int32 offset;
		const char* url; // null: nothing opens
	} cases[] = {
		{5, nullptr},   // title
		{20, nullptr},  // maker
		{31, nullptr},  // the newline before the first address
		{32, kSiteAddress},
		{45, kSiteAddress},
		{60, kSiteAddress}, // the newline after it still counts
		{61, kAppPageAddress},
		{95, kAppPageAddress},
		{96, nullptr},
		{100, nullptr}, // version
	};
	// clang-format on

	TAboutWindow* about = OpenAbout();
	TAboutView* text = Text(about);
	ASSERT_NE(nullptr, text);
	uint32 id = HeadlessBackend::IdOf(about);

	// While the browser is being handed the address, exactly its characters show inverted.
	std::vector<std::pair<int32, int32>> highlightedDuringLaunch;
	fBackend->SetLaunchHook(
		[&](const char*) { highlightedDuringLaunch = TextViewAccess::Highlights(text); });

	for (const auto& c : cases) {
		SCOPED_TRACE(c.offset);
		float height = 0;
		BPoint where = text->PointAt(c.offset, &height);
		where += BPoint(1, height / 2);
		ASSERT_EQ(c.offset, text->OffsetAt(where));

		size_t launchesBefore = fBackend->LaunchedURLs().size();
		highlightedDuringLaunch.clear();
		fBackend->InjectClick(id, text->ConvertToWindow(where));
		Drain();

		if (c.url == nullptr)
			EXPECT_EQ(launchesBefore, fBackend->LaunchedURLs().size());
		else {
			ASSERT_EQ(launchesBefore + 1, fBackend->LaunchedURLs().size());
			EXPECT_EQ(c.url, fBackend->LaunchedURLs().back());
			bool first = c.url == std::string(kSiteAddress);
			int32 start = first ? kSiteOffset : kAppPageOffset;
			int32 end = start + (first ? kSiteLength : kAppPageLength);
			std::vector<std::pair<int32, int32>> expected = {{start, end}};
			EXPECT_EQ(expected, highlightedDuringLaunch);
		}
		EXPECT_TRUE(TextViewAccess::Highlights(text).empty());
		int32 selStart = -1;
		int32 selEnd = -1;
		text->GetSelection(&selStart, &selEnd);
		EXPECT_EQ(selStart, selEnd);
		EXPECT_EQ(0, selStart);
		EXPECT_FALSE(text->IsFocus());
		EXPECT_FALSE(TextViewAccess::CaretVisible(text));
		EXPECT_EQ(about, About());
	}
	fBackend->SetLaunchHook(nullptr);
}

// Escape, wherever the focus is: EscapeClosesItWhereverTheFocusIs.
TEST_F(AboutTest, EnterClosesAsOKDoes)
{
	TAboutWindow* about = OpenAbout();
	ASSERT_NE(nullptr, about);
	fBackend->InjectKey(HeadlessBackend::IdOf(about), "\n");
	Drain();
	EXPECT_EQ(nullptr, About());

	about = OpenAbout();
	ASSERT_NE(nullptr, about);
	fBackend->InjectClick(HeadlessBackend::IdOf(about), BPoint(155, 180));
	Drain();
	EXPECT_EQ(nullptr, About());
	EXPECT_NE(nullptr, fMain);
}

TEST_F(AboutTest, IconStandsOverTheBandAndIsLeftOutWithoutItsResource)
{
	size_t size = 0;
	const uint8* icon = static_cast<const uint8*>(
		BApplication::AppResources()->LoadResource('ICON', 101, &size));
	ASSERT_NE(nullptr, icon);
	ASSERT_EQ(1024u, size);
	const rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	auto background = [&](int32 x) { return x <= 32 ? kBand : panel; };

	for (bool hidden : {false, true}) {
		SCOPED_TRACE(hidden ? "icon hidden" : "icon shown");
		BPrivate::SetResourceHidden('ICON', 101, hidden);
		TAboutWindow* about = OpenAbout();
		ASSERT_NE(nullptr, about);
		// Redrawing must give the same picture.
		Picture(about)->Invalidate();
		Drain();

		for (int32 y = 0; y < 32; y++) {
			for (int32 x = 0; x < 32; x++) {
				uint8 index = icon[y * 32 + x];
				rgb_color expected = hidden || index == B_TRANSPARENT_MAGIC_CMAP8
					? background(15 + x)
					: system_palette()[index];
				ASSERT_EQ(expected, fBackend->PixelAt(about, 15 + x, 6 + y))
					<< "icon pixel " << x << "," << y;
			}
		}
		for (int32 y : {0, 5, 38, 120, 200}) {
			EXPECT_EQ(kBand, fBackend->PixelAt(about, 0, y));
			EXPECT_EQ(kBand, fBackend->PixelAt(about, 32, y));
			EXPECT_EQ(panel, fBackend->PixelAt(about, 47, y));
		}
		EXPECT_EQ(panel, fBackend->PixelAt(about, 33, 100));

		about->PostMessage(kAboutOK);
		Drain();
		ASSERT_EQ(nullptr, About());
	}
}

TEST_F(AboutTest, TabStopsAtEachAddressThenOKAndSpaceOpensTheOneWithTheKeyboard)
{
	TAboutWindow* about = OpenAbout();
	ASSERT_NE(nullptr, about);
	TAboutView* text = Text(about);
	ASSERT_NE(nullptr, text);
	uint32 id = HeadlessBackend::IdOf(about);
	auto key = [&](const char* bytes, uint32 modifiers = 0) {
		fBackend->InjectKey(id, bytes, modifiers);
		Drain();
	};
	// Under the address's second character, on the bottom row of its line.
	auto markPixel = [&](int32 offset) {
		float height = 0;
		BPoint at = text->ConvertToWindow(text->PointAt(offset + 1, &height));
		return fBackend->PixelAt(about, (int32)at.x + 1, (int32)(at.y + height - 1));
	};
	const rgb_color mark = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
	EXPECT_FALSE(mark == markPixel(kSiteOffset));

	// "OK" comes first in the tree, then the text with its two stops.
	key("\t");
	ASSERT_EQ(OK(about), about->CurrentFocus());
	key("\t");
	ASSERT_EQ(text, about->CurrentFocus());
	EXPECT_EQ(0, text->KeyboardLink());
	EXPECT_EQ(mark, markPixel(kSiteOffset));
	EXPECT_FALSE(mark == markPixel(kAppPageOffset));
	key(" ");
	ASSERT_FALSE(fBackend->LaunchedURLs().empty());
	EXPECT_EQ(kSiteAddress, fBackend->LaunchedURLs().back());
	EXPECT_EQ(about, About());

	key("\t");
	EXPECT_EQ(1, text->KeyboardLink());
	EXPECT_EQ(mark, markPixel(kAppPageOffset));
	EXPECT_FALSE(mark == markPixel(kSiteOffset));
	key(" ");
	EXPECT_EQ(kAppPageAddress, fBackend->LaunchedURLs().back());

	key("\t");
	EXPECT_EQ(OK(about), about->CurrentFocus());
	EXPECT_EQ(-1, text->KeyboardLink());
	EXPECT_FALSE(mark == markPixel(kAppPageOffset));
	// Backwards the second address comes first.
	key("\t", B_SHIFT_KEY);
	EXPECT_EQ(1, text->KeyboardLink());
	key("\t", B_SHIFT_KEY);
	EXPECT_EQ(0, text->KeyboardLink());
	key("\t", B_SHIFT_KEY);
	EXPECT_EQ(OK(about), about->CurrentFocus());
	EXPECT_FALSE(mark == markPixel(kSiteOffset));
	key(" ");
	EXPECT_EQ(nullptr, About());

	// Enter is "OK" wherever the focus is, on an address too.
	about = OpenAbout();
	ASSERT_NE(nullptr, about);
	id = HeadlessBackend::IdOf(about);
	key("\t");
	key("\t");
	ASSERT_EQ(0, Text(about)->KeyboardLink());
	size_t launches = fBackend->LaunchedURLs().size();
	key("\n");
	EXPECT_EQ(nullptr, About());
	EXPECT_EQ(launches, fBackend->LaunchedURLs().size());
}

TEST_F(AboutTest, EscapeClosesItWhereverTheFocusIs)
{
	for (int32 tabs : {0, 1, 2}) { // nothing, "OK", the first address
		SCOPED_TRACE(tabs);
		TAboutWindow* about = OpenAbout();
		ASSERT_NE(nullptr, about);
		uint32 id = HeadlessBackend::IdOf(about);
		for (int32 i = 0; i < tabs; i++)
			fBackend->InjectKey(id, "\t");
		fBackend->InjectKey(id, "\x1b");
		Drain();
		EXPECT_EQ(nullptr, About());
	}
	EXPECT_TRUE(fBackend->LaunchedURLs().empty());
}

TEST_F(AboutTest, WhatChangesIsDrawnAsAWholeDrawingWouldShowIt)
{
	TAboutWindow* about = OpenAbout();
	ASSERT_NE(nullptr, about);
	const uint32 id = HeadlessBackend::IdOf(about);
	const auto snapshot = [&]() {
		int32 width = 0, height = 0;
		std::vector<uint32> pixels;
		fBackend->Snapshot(id, &width, &height, &pixels);
		return pixels;
	};
	const auto whole = [&]() {
		about->Lock();
		about->ChildAt(0)->Invalidate();
		for (int32 i = 0; i < about->ChildAt(0)->CountChildren(); i++)
			about->ChildAt(0)->ChildAt(i)->Invalidate();
		about->Unlock();
		Drain();
		return snapshot();
	};
	const std::vector<std::pair<const char*, std::function<void()>>> steps = {
		{"deactivated", [&] { fBackend->InjectActivation(id, false); }},
		{"activated", [&] { fBackend->InjectActivation(id, true); }},
		{"tab", [&] { fBackend->InjectKey(id, "\t"); }},
		{"deactivated on OK", [&] { fBackend->InjectActivation(id, false); }},
		{"activated on OK", [&] { fBackend->InjectActivation(id, true); }},
		{"tab to the text", [&] { fBackend->InjectKey(id, "\t"); }},
		{"deactivated on the text", [&] { fBackend->InjectActivation(id, false); }},
		{"activated on the text", [&] { fBackend->InjectActivation(id, true); }},
	};
	for (const auto& [name, step] : steps) {
		step();
		Drain();
		const std::vector<uint32> drawn = snapshot();
		const std::vector<uint32> reference = whole();
		size_t differing = 0;
		for (size_t i = 0; i < drawn.size() && i < reference.size(); i++)
			differing += drawn[i] != reference[i];
		EXPECT_EQ(differing, 0u) << name;
	}
}
