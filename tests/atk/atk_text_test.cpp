// Text through ATK: the segment arithmetic on its own, then AtkText, AtkEditableText and
// AtkHypertext over the fake tree's texts.
#include <gtest/gtest.h>

#include "AtkNodeObject.h"
#include "FakeTree.h"
#include "TextSegments.h"

using namespace KamboAtkTest;
using KamboAtk::Boundary;
using KamboAtk::TextSegments;

namespace {

std::string
Around(const std::string& text, int32 offset, Boundary boundary, int which)
{
	TextSegments segments(text);
	KamboAtk::Segment segment = which < 0 ? segments.Before(offset, boundary)
		: which == 0                      ? segments.At(offset, boundary)
										  : segments.After(offset, boundary);
	return std::to_string(segment.start) + "-" + std::to_string(segment.end) + ":"
		+ segments.Slice(segment.start, segment.end);
}

TEST(TextSegments, SegmentsAroundAnOffset)
{
	const struct {
		const char* text;
		int32 offset;
		Boundary boundary;
		int which; // -1 before, 0 at, 1 after
		const char* expected;
	} kCases[] = {
		{"100", 1, Boundary::kChar, 0, "1-2:0"},
		{"100", 3, Boundary::kChar, 0, "3-3:"},
		{"100", 3, Boundary::kChar, -1, "2-3:0"},
		{"100", 0, Boundary::kChar, -1, "0-0:"},
		{"100", 2, Boundary::kChar, 1, "3-3:"},
		{"Über 5", 0, Boundary::kChar, 0, "0-1:Ü"},
		// A number with its decimal point is one word; the dots after it are not words.
		{"51.129188 . . .", 4, Boundary::kWordStart, 0, "0-15:51.129188 . . ."},
		{"Betrag in DEM", 8, Boundary::kWordStart, 0, "7-10:in "},
		{"Betrag in DEM", 6, Boundary::kWordStart, 0, "0-7:Betrag "},
		{"Betrag in DEM", 8, Boundary::kWordStart, -1, "0-7:Betrag "},
		{"Betrag in DEM", 8, Boundary::kWordStart, 1, "10-13:DEM"},
		{"Betrag in DEM", 13, Boundary::kWordStart, 0, "10-13:DEM"},
		{"Betrag in DEM", 8, Boundary::kWordEnd, 0, "6-9: in"},
		{"Betrag in DEM", 2, Boundary::kWordEnd, 0, "0-6:Betrag"},
		{"Betrag in DEM", 8, Boundary::kWordEnd, 1, "9-13: DEM"},
		{"Größe ändern", 7, Boundary::kWordStart, 0, "6-12:ändern"},
		{"eins\nzwei\ndrei", 6, Boundary::kLineStart, 0, "5-10:zwei\n"},
		{"eins\nzwei\ndrei", 6, Boundary::kLineStart, -1, "0-5:eins\n"},
		{"eins\nzwei\ndrei", 6, Boundary::kLineStart, 1, "10-14:drei"},
		{"eins\nzwei\ndrei", 6, Boundary::kLineEnd, 0, "4-9:\nzwei"},
		{"eins\nzwei\ndrei", 14, Boundary::kLineStart, 0, "10-14:drei"},
		{"", 0, Boundary::kWordStart, 0, "0-0:"},
		{"", 0, Boundary::kLineStart, 1, "0-0:"},
		{"abc", -3, Boundary::kWordStart, 0, "0-0:"},
	};
	for (const auto& c : kCases) {
		EXPECT_EQ(Around(c.text, c.offset, c.boundary, c.which), c.expected)
			<< '"' << c.text << "\" at " << c.offset << " boundary " << int(c.boundary) << " which "
			<< c.which;
	}
}

TEST(TextSegments, SlicesCountCharactersNotBytes)
{
	TextSegments text("Währung €");
	EXPECT_EQ(text.CountCharacters(), 9);
	EXPECT_EQ(text.Slice(1, 2), "ä");
	EXPECT_EQ(text.Slice(8, -1), "€");
	EXPECT_EQ(text.Slice(5, 100), "ng €");
	EXPECT_EQ(text.Slice(7, 3), "");
	EXPECT_EQ(text.CharacterAt(8), U'€');
	EXPECT_EQ(text.CharacterAt(9), 0u);
	// A broken sequence counts byte by byte and never reads past the end.
	TextSegments broken(std::string("a\xc3") + "\xe2\x82");
	EXPECT_EQ(broken.CountCharacters(), 4);
	EXPECT_EQ(broken.Slice(0, -1).size(), 4u);
}

class AtkTextTest : public testing::Test {
protected:
	void TearDown() override { KamboAtk::ForgetAll(); }

	AtkText* Text(FakeNode* node) { return ATK_TEXT(KamboAtk::ObjectFor(node)); }

	std::string Take(gchar* text)
	{
		std::string result = text != nullptr ? text : "<null>";
		g_free(text);
		return result;
	}

	ConverterTree fTree;
};

TEST_F(AtkTextTest, ContentsCaretAndCharacters)
{
	fTree.amount->fText->fContents = "Größe 12";
	AtkText* text = Text(fTree.amount);
	EXPECT_EQ(atk_text_get_character_count(text), 8);
	EXPECT_EQ(Take(atk_text_get_text(text, 0, -1)), "Größe 12");
	EXPECT_EQ(Take(atk_text_get_text(text, 2, 4)), "öß");
	EXPECT_EQ(atk_text_get_character_at_offset(text, 3), gunichar(U'ß'));

	EXPECT_TRUE(atk_text_set_caret_offset(text, 5));
	EXPECT_EQ(atk_text_get_caret_offset(text), 5);
	EXPECT_FALSE(atk_text_set_caret_offset(text, 9));
}

TEST_F(AtkTextTest, StringsAtOffsetsThroughBothCalls)
{
	fTree.amount->fText->fContents = "Betrag in DEM";
	AtkText* text = Text(fTree.amount);
	gint start, end;
	EXPECT_EQ(Take(atk_text_get_string_at_offset(text, 8, ATK_TEXT_GRANULARITY_WORD, &start, &end)),
		"in ");
	EXPECT_EQ(start, 7);
	EXPECT_EQ(end, 10);
	EXPECT_EQ(Take(atk_text_get_string_at_offset(text, 8, ATK_TEXT_GRANULARITY_LINE, &start, &end)),
		"Betrag in DEM");
	EXPECT_EQ(Take(atk_text_get_string_at_offset(text, 8, ATK_TEXT_GRANULARITY_CHAR, &start, &end)),
		"n");
	G_GNUC_BEGIN_IGNORE_DEPRECATIONS
	EXPECT_EQ(Take(atk_text_get_text_before_offset(text, 8, ATK_TEXT_BOUNDARY_WORD_START, &start,
				  &end)),
		"Betrag ");
	EXPECT_EQ(Take(atk_text_get_text_after_offset(text, 8, ATK_TEXT_BOUNDARY_WORD_END, &start,
				  &end)),
		" DEM");
	EXPECT_EQ(Take(atk_text_get_text_at_offset(text, 8, ATK_TEXT_BOUNDARY_SENTENCE_START, &start,
				  &end)),
		"Betrag in DEM");
	G_GNUC_END_IGNORE_DEPRECATIONS
}

TEST_F(AtkTextTest, OneSelectionAtMost)
{
	fTree.amount->fText->fContents = "12345";
	AtkText* text = Text(fTree.amount);
	EXPECT_EQ(atk_text_get_n_selections(text), 0);
	EXPECT_TRUE(atk_text_add_selection(text, 1, 3));
	EXPECT_FALSE(atk_text_add_selection(text, 3, 4));
	EXPECT_EQ(atk_text_get_n_selections(text), 1);
	gint start, end;
	EXPECT_EQ(Take(atk_text_get_selection(text, 0, &start, &end)), "23");
	EXPECT_EQ(start, 1);
	EXPECT_EQ(end, 3);
	EXPECT_EQ(Take(atk_text_get_selection(text, 1, &start, &end)), "<null>");

	EXPECT_TRUE(atk_text_set_selection(text, 0, 0, 5));
	EXPECT_EQ(Take(atk_text_get_selection(text, 0, &start, &end)), "12345");
	EXPECT_FALSE(atk_text_remove_selection(text, 1));
	EXPECT_TRUE(atk_text_remove_selection(text, 0));
	EXPECT_EQ(atk_text_get_n_selections(text), 0);
	EXPECT_FALSE(atk_text_remove_selection(text, 0));
}

TEST_F(AtkTextTest, CharacterBoxesAndPointsInEachCoordinateSystem)
{
	fTree.amount->fText->fContents = "100";
	AtkText* text = Text(fTree.amount);
	gint x, y, width, height;
	// The second character: 140 + 8 on the screen; the frame starts at (100, 50).
	atk_text_get_character_extents(text, 1, &x, &y, &width, &height, ATK_XY_SCREEN);
	EXPECT_EQ((std::vector<gint>{x, y, width, height}), (std::vector<gint>{148, 72, 8, 16}));
	atk_text_get_character_extents(text, 1, &x, &y, &width, &height, ATK_XY_WINDOW);
	EXPECT_EQ((std::vector<gint>{x, y, width, height}), (std::vector<gint>{48, 22, 8, 16}));
	atk_text_get_character_extents(text, 3, &x, &y, &width, &height, ATK_XY_SCREEN);
	EXPECT_EQ(width, 0);

	EXPECT_EQ(atk_text_get_offset_at_point(text, 157, 80, ATK_XY_SCREEN), 2);
	EXPECT_EQ(atk_text_get_offset_at_point(text, 57, 30, ATK_XY_WINDOW), 2);
	EXPECT_EQ(atk_text_get_offset_at_point(text, 300, 80, ATK_XY_SCREEN), -1);
}

TEST_F(AtkTextTest, EditingGoesThroughTheWidgetsFilter)
{
	AtkEditableText* editable = ATK_EDITABLE_TEXT(KamboAtk::ObjectFor(fTree.amount));
	AtkText* text = Text(fTree.amount);
	atk_editable_text_set_text_contents(editable, "12");
	EXPECT_EQ(Take(atk_text_get_text(text, 0, -1)), "12");

	// The filter drops the letters: the position moves past what really went in.
	gint position = 1;
	atk_editable_text_insert_text(editable, "3x4", -1, &position);
	EXPECT_EQ(Take(atk_text_get_text(text, 0, -1)), "1342");
	EXPECT_EQ(position, 3);
	position = 0;
	atk_editable_text_insert_text(editable, "99", 1, &position);
	EXPECT_EQ(Take(atk_text_get_text(text, 0, -1)), "91342");
	EXPECT_EQ(position, 1);

	atk_editable_text_delete_text(editable, 0, 2);
	EXPECT_EQ(Take(atk_text_get_text(text, 0, -1)), "342");
	atk_editable_text_cut_text(editable, 0, 1);
	atk_editable_text_paste_text(editable, 2);
	EXPECT_EQ(Take(atk_text_get_text(text, 0, -1)), "423");
}

TEST_F(AtkTextTest, AReadOnlyTextRefusesEditing)
{
	AtkEditableText* editable = ATK_EDITABLE_TEXT(KamboAtk::ObjectFor(fTree.result));
	atk_editable_text_set_text_contents(editable, "999");
	gint position = 0;
	atk_editable_text_insert_text(editable, "1", -1, &position);
	atk_editable_text_delete_text(editable, 0, 2);
	EXPECT_EQ(fTree.result->fText->fContents, "0.00");
	EXPECT_EQ(position, 0);
	// Copying is reading, so it still works.
	atk_editable_text_copy_text(editable, 0, 4);
	EXPECT_EQ(fTree.result->fText->fClipboard, "0.00");
}

TEST_F(AtkTextTest, LinksAreHyperlinksThatOpenTheirAddress)
{
	auto about = MakeTextNode("Über ZQ Kambo-Lux",
		"Kurse: www.euro.example, Quelle: www.kambo.example", false);
	about->fText->fLinks = {{7, 23, "https://www.euro.example/"},
		{33, 50, "https://www.kambo.example/"}};
	FakeNode* node = fTree.frame->Add(std::move(about));

	AtkHypertext* hypertext = ATK_HYPERTEXT(KamboAtk::ObjectFor(node));
	ASSERT_EQ(atk_hypertext_get_n_links(hypertext), 2);
	EXPECT_EQ(atk_hypertext_get_link_index(hypertext, 10), 0);
	EXPECT_EQ(atk_hypertext_get_link_index(hypertext, 23), -1);
	EXPECT_EQ(atk_hypertext_get_link_index(hypertext, 40), 1);
	EXPECT_EQ(atk_hypertext_get_link(hypertext, 2), nullptr);

	const struct {
		int index;
		const char* uri;
		gint start, end;
		const char* text;
	} kLinks[] = {
		{0, "https://www.euro.example/", 7, 23, "www.euro.example"},
		{1, "https://www.kambo.example/", 33, 50, "www.kambo.example"},
	};
	// The links are the text's children, as clients reach their actions.
	AtkObject* owner = ATK_OBJECT(hypertext);
	EXPECT_EQ(atk_object_get_n_accessible_children(owner), 2);
	for (const auto& c : kLinks) {
		AtkHyperlink* link = atk_hypertext_get_link(hypertext, c.index);
		ASSERT_NE(link, nullptr);
		EXPECT_EQ(link, atk_hypertext_get_link(hypertext, c.index)) << "asked twice";
		EXPECT_EQ(Take(atk_hyperlink_get_uri(link, 0)), c.uri);
		EXPECT_EQ(atk_hyperlink_get_start_index(link), c.start);
		EXPECT_EQ(atk_hyperlink_get_end_index(link), c.end);
		EXPECT_TRUE(atk_hyperlink_is_valid(link));
		ASSERT_TRUE(ATK_IS_ACTION(link));
		EXPECT_STREQ(atk_action_get_name(ATK_ACTION(link), 0), "activate");
		EXPECT_TRUE(atk_action_do_action(ATK_ACTION(link), 0));

		AtkObject* linkObject = atk_hyperlink_get_object(link, 0);
		AtkObject* child = atk_object_ref_accessible_child(owner, c.index);
		EXPECT_EQ(linkObject, child);
		g_object_unref(child);
		EXPECT_EQ(atk_object_get_role(linkObject), ATK_ROLE_LINK);
		EXPECT_STREQ(atk_object_get_name(linkObject), c.text);
		EXPECT_EQ(atk_object_get_parent(linkObject), owner);
		EXPECT_EQ(atk_object_get_index_in_parent(linkObject), c.index);
		EXPECT_EQ(atk_hyperlink_impl_get_hyperlink(ATK_HYPERLINK_IMPL(linkObject)), link);
		g_object_unref(link);
		ASSERT_TRUE(ATK_IS_ACTION(linkObject));
		EXPECT_STREQ(atk_action_get_name(ATK_ACTION(linkObject), 0), "activate");
		EXPECT_TRUE(atk_action_do_action(ATK_ACTION(linkObject), 0));
		// The link's box: its characters (8 pixels each) from the text's origin.
		gint x, y, width, height;
		atk_component_get_extents(ATK_COMPONENT(linkObject), &x, &y, &width, &height,
			ATK_XY_SCREEN);
		EXPECT_EQ(x, c.start * 8);
		EXPECT_EQ(width, (c.end - c.start) * 8);
	}
	EXPECT_EQ(node->fText->fActivatedLinks, (std::vector<int32>{0, 0, 1, 1}));

	// A link a client still holds outlives its text and goes invalid with it.
	AtkHyperlink* held = ATK_HYPERLINK(g_object_ref(atk_hypertext_get_link(hypertext, 0)));
	AtkObject* heldObject = ATK_OBJECT(g_object_ref(atk_hyperlink_get_object(held, 0)));
	KamboAtk::Forget(node);
	fTree.frame->Remove(fTree.frame->CountChildren() - 1);
	EXPECT_FALSE(atk_hyperlink_is_valid(held));
	EXPECT_EQ(Take(atk_hyperlink_get_uri(held, 0)), "<null>");
	EXPECT_FALSE(atk_action_do_action(ATK_ACTION(held), 0));
	EXPECT_EQ(atk_hyperlink_get_object(held, 0), nullptr);
	g_object_unref(held);
	EXPECT_FALSE(atk_action_do_action(ATK_ACTION(heldObject), 0));
	EXPECT_EQ(atk_object_get_parent(heldObject), nullptr);
	AtkStateSet* states = atk_object_ref_state_set(heldObject);
	EXPECT_TRUE(atk_state_set_contains_state(states, ATK_STATE_DEFUNCT));
	g_object_unref(states);
	g_object_unref(heldObject);
}

} // namespace
