// BTextView through the headless backend: typing, keys, clipboard and mouse as a user would
// drive them, the text hooks a subclass sees, style runs, geometry and what ends on screen.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "TextView.h"
#include "TextViewPrivate.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;
using BPrivate::TextViewAccess;

namespace {

// Logs every pass through the text hooks.
class RecordingTextView : public BTextView {
public:
	RecordingTextView(BRect frame, BRect textRect) :
		BTextView(frame, "recording", textRect, B_FOLLOW_NONE, B_WILL_DRAW | B_PULSE_NEEDED)
	{
	}

	std::vector<std::string> calls;

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		calls.push_back("insert " + std::string(text, length) + " @" + std::to_string(offset));
		BTextView::InsertText(text, length, offset, runs);
	}

	void DeleteText(int32 from, int32 to) override
	{
		calls.push_back("delete " + std::to_string(from) + "-" + std::to_string(to));
		BTextView::DeleteText(from, to);
	}
};

// Takes in digits only and drops everything else, as an amount field does.
class DigitsTextView : public BTextView {
public:
	DigitsTextView(BRect frame, BRect textRect) :
		BTextView(frame, "digits", textRect, B_FOLLOW_NONE, B_WILL_DRAW)
	{
	}

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		std::string digits;
		for (int32 i = 0; i < length; i++) {
			if (isdigit((unsigned char)text[i]))
				digits += text[i];
		}
		BTextView::InsertText(digits.c_str(), (int32)digits.size(), offset, runs);
	}
};

// The geometry of the converter's amount fields: 109 x 23 with a 12-pixel bold font.
const BRect kFieldFrame(10, 10, 118, 32);
const BRect kFieldTextRect(2, 3, 104, 20);
const rgb_color kFieldColor = {127, 255, 127, 255};

class TextViewTest : public testing::Test {
protected:
	void SetUp() override
	{
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.test-textview");
		fWindow = new BWindow(BRect(100, 100, 299, 219), "text", B_TITLED_WINDOW, B_NOT_RESIZABLE);
		fView = new RecordingTextView(kFieldFrame, kFieldTextRect);
		fWindow->AddChild(fView);
		fWindow->Show();
		fView->MakeFocus(true);
		EventLoop::Drain();
		fId = HeadlessBackend::IdOf(fWindow);
	}

	void TearDown() override { delete fApp; }

	void Type(const char* text)
	{
		fBackend->InjectText(fId, text);
		EventLoop::Drain();
	}

	void Key(const char* key, uint32 modifiers = 0)
	{
		fBackend->InjectKey(fId, key, modifiers);
		EventLoop::Drain();
	}

	// A point on the left half of the character at offset, in the view.
	BPoint OnChar(BTextView* view, int32 offset) { return view->PointAt(offset) + BPoint(1, 5); }

	void Click(BTextView* view, BPoint where, int32 clicks = 1)
	{
		fBackend->InjectClick(fId, view->ConvertToWindow(where), B_PRIMARY_MOUSE_BUTTON, clicks);
		EventLoop::Drain();
	}

	// A mouse message with modifiers, which the backend's injection does not carry.
	void PostMouse(uint32 what, BTextView* view, BPoint where, uint32 buttons, uint32 modifiers)
	{
		BMessage message(what);
		message.AddPoint("where", view->ConvertToWindow(where));
		message.AddInt32("buttons", (int32)buttons);
		message.AddInt32("clicks", 1);
		message.AddInt32("modifiers", (int32)modifiers);
		fWindow->PostMessage(&message, fWindow);
		EventLoop::Drain();
	}

	std::pair<int32, int32> Selection(const BTextView* view) const
	{
		int32 start;
		int32 end;
		view->GetSelection(&start, &end);
		return {start, end};
	}

	// The bounding box of every pixel of the view that differs from the background.
	BRect InkBounds(const BView* view, rgb_color background) const
	{
		BRect ink;
		BRect frame = view->Frame();
		for (int32 y = (int32)frame.top; y <= (int32)frame.bottom; y++) {
			for (int32 x = (int32)frame.left; x <= (int32)frame.right; x++) {
				if (fBackend->PixelAt(fWindow, x, y) == background)
					continue;
				BRect pixel(x - frame.left, y - frame.top, x - frame.left, y - frame.top);
				ink = ink | pixel;
			}
		}
		return ink;
	}

	HeadlessBackend* fBackend = nullptr;
	BApplication* fApp = nullptr;
	BWindow* fWindow = nullptr;
	RecordingTextView* fView = nullptr;
	uint32 fId = 0;
};

} // namespace

// #pragma mark - Editing and hooks

TEST_F(TextViewTest, TypingInsertsAtTheCaretAndReplacesTheSelection)
{
	Type("hello");
	EXPECT_STREQ(fView->Text(), "hello");
	EXPECT_EQ(Selection(fView), std::make_pair(5, 5));

	fView->Select(1, 4);
	fView->calls.clear();
	Type("X");
	EXPECT_STREQ(fView->Text(), "hXo");
	EXPECT_EQ(Selection(fView), std::make_pair(2, 2));
	EXPECT_EQ(fView->calls, (std::vector<std::string>{"delete 1-4", "insert X @1"}));
}

TEST_F(TextViewTest, SetTextInsertAndDeleteGoThroughTheHooks)
{
	struct Case {
		const char* before;
		const char* after;
		std::vector<std::string> calls;
	};
	const Case cases[] = {
		{"", "abc", {"insert abc @0"}},
		{"hello", "abc", {"delete 0-5", "insert abc @0"}},
		{"abc", "", {"delete 0-3"}},
	};
	for (const Case& c : cases) {
		fView->SetText(c.before);
		fView->calls.clear();
		fView->SetText(c.after);
		EXPECT_EQ(fView->calls, c.calls) << c.before << " -> " << c.after;
		EXPECT_STREQ(fView->Text(), c.after);
		EXPECT_EQ(Selection(fView), std::make_pair(0, 0));
	}

	fView->SetText("abcdef");
	fView->Select(1, 3);
	fView->calls.clear();
	fView->Insert(4, "XY", 2);
	fView->Delete(0, 1);
	fView->Delete();
	EXPECT_EQ(fView->calls, (std::vector<std::string>{"insert XY @4", "delete 0-1", "delete 0-2"}));
	EXPECT_STREQ(fView->Text(), "dXYef");
	EXPECT_EQ(Selection(fView), std::make_pair(0, 0));
}

TEST_F(TextViewTest, CaretFollowsWhatAFilteringHookReallyInserted)
{
	auto* digits = new DigitsTextView(BRect(10, 40, 118, 62), kFieldTextRect);
	fWindow->AddChild(digits);
	digits->MakeFocus(true);
	Type("1a2b");
	EXPECT_STREQ(digits->Text(), "12");
	EXPECT_EQ(Selection(digits), std::make_pair(2, 2));

	digits->Select(1, 1);
	fBackend->SetClipboardText("x9y8z");
	Key("v", B_CONTROL_KEY);
	EXPECT_STREQ(digits->Text(), "1982");
	EXPECT_EQ(Selection(digits), std::make_pair(3, 3));
}

TEST_F(TextViewTest, BackspaceAndDeleteRemoveWholeCharacters)
{
	// "a", a euro sign (3 bytes), "b", a G clef (4 bytes).
	fView->SetText("a\xE2\x82\xAC"
				   "b\xF0\x9D\x84\x9E");
	fView->Select(9, 9);
	Key("\x08");
	EXPECT_STREQ(fView->Text(),
		"a\xE2\x82\xAC"
		"b");
	Key("\x1c");
	Key("\x08");
	EXPECT_STREQ(fView->Text(), "ab");
	EXPECT_EQ(Selection(fView), std::make_pair(1, 1));
	Key("\x7f");
	EXPECT_STREQ(fView->Text(), "a");
	Key("\x7f");
	EXPECT_STREQ(fView->Text(), "a");

	// Offsets inside a character widen to it.
	fView->SetText("a\xE2\x82\xAC"
				   "b");
	fView->Select(2, 3);
	EXPECT_EQ(Selection(fView), std::make_pair(1, 4));
	fView->Select(-5, 99);
	EXPECT_EQ(Selection(fView), std::make_pair(0, 5));
}

TEST_F(TextViewTest, MaxBytesLimitsTypingAndPastingButNotSetText)
{
	fView->SetMaxBytes(5);
	Type("123456");
	EXPECT_STREQ(fView->Text(), "12345");

	fView->SetText("1234567890");
	EXPECT_STREQ(fView->Text(), "1234567890");
	fView->Insert("x");
	EXPECT_EQ(fView->TextLength(), 11);

	struct Case {
		const char* text;
		const char* clipboard;
		const char* expected;
	};
	const Case cases[] = {
		{"abc", "de", "abcde"}, {"abc", "defg", "abcde"},
		{"abc", "\xE2\x82\xAC", "abc"}, // the euro sign needs 3 bytes, 2 are free
		{"ab",
			"\xE2\x82\xAC"
			"x",
			"ab\xE2\x82\xAC"}, // cut after the whole euro sign
	};
	for (const Case& c : cases) {
		fView->SetText(c.text);
		fView->Select(fView->TextLength(), fView->TextLength());
		fBackend->SetClipboardText(c.clipboard);
		Key("v", B_CONTROL_KEY);
		EXPECT_STREQ(fView->Text(), c.expected) << c.text << " + " << c.clipboard;
	}

	// A full field still lets the user replace a selection.
	fView->SetText("12345");
	fView->SelectAll();
	Type("9");
	EXPECT_STREQ(fView->Text(), "9");
}

TEST_F(TextViewTest, ReadOnlyViewRefusesEditsButTakesSetText)
{
	fView->SetText("fixed");
	fView->MakeEditable(false);
	fView->SelectAll();
	fBackend->SetClipboardText("pasted");
	fView->calls.clear();
	Type("x");
	Key("\x08");
	Key("\n");
	Key("v", B_CONTROL_KEY);
	Key("x", B_CONTROL_KEY);
	EXPECT_STREQ(fView->Text(), "fixed");
	EXPECT_TRUE(fView->calls.empty());

	Key("c", B_CONTROL_KEY);
	EXPECT_EQ(fBackend->ClipboardText(), "fixed");
	fView->SetText("new text");
	EXPECT_STREQ(fView->Text(), "new text");
}

TEST_F(TextViewTest, ClipboardShortcutsAndMessages)
{
	Type("one two");
	Key("a", B_CONTROL_KEY);
	EXPECT_EQ(Selection(fView), std::make_pair(0, 7));

	fView->Select(4, 7);
	Key("x", B_CONTROL_KEY);
	EXPECT_EQ(fBackend->ClipboardText(), "two");
	EXPECT_STREQ(fView->Text(), "one ");

	fView->Select(0, 0);
	BMessage paste(B_PASTE);
	fWindow->PostMessage(&paste, fView);
	EventLoop::Drain();
	EXPECT_STREQ(fView->Text(), "twoone ");
	EXPECT_EQ(Selection(fView), std::make_pair(3, 3));
}

TEST_F(TextViewTest, EnterAndTabDependOnTheKindOfView)
{
	Key("\t");
	Key("\n");
	EXPECT_STREQ(fView->Text(), "\n"); // a one-line view takes no tab

	auto* area = new RecordingTextView(BRect(10, 40, 150, 110), BRect(2, 2, 136, 66));
	fWindow->AddChild(area);
	area->MakeFocus(true);
	Type("a");
	Key("\t");
	Key("\n");
	Type("b");
	EXPECT_STREQ(area->Text(), "a\t\nb");
	EXPECT_EQ(area->CountLines(), 2);
}

TEST_F(TextViewTest, OddKeysAndHugeTextsDoNoHarm)
{
	Type("ab");
	for (const char* key : {"\x1b", "\x05", "\x10", "\x0b", "\x0c", "\x7f"})
		Key(key);
	EXPECT_STREQ(fView->Text(), "ab");

	// Malformed bytes and a huge line still lay out, draw and edit.
	std::string huge(200000, 'x');
	huge[10] = '\xff';
	huge[20] = '\x80';
	huge[30] = '\xE2';
	fView->SetText(huge.c_str());
	fView->SetMaxBytes(200005);
	fView->Select(5, 5);
	Type("\xC3\xA9");
	fWindow->UpdateIfNeeded();
	EXPECT_EQ(fView->TextLength(), 200002);
	fBackend->SetClipboardText(std::string(100, 'y'));
	Key("v", B_CONTROL_KEY);
	EXPECT_EQ(fView->TextLength(), 200005);
	Key("\x04");
	Key("\x08");
	EXPECT_EQ(fView->TextLength(), 200004);
}

// #pragma mark - Selection by keys and mouse

TEST_F(TextViewTest, ShiftMovesOneEndOfTheSelection)
{
	fView->SetText("abcdef");
	fView->Select(3, 3);
	Key("\x1c", B_SHIFT_KEY);
	Key("\x1c", B_SHIFT_KEY);
	EXPECT_EQ(Selection(fView), std::make_pair(1, 3));
	Key("\x1d", B_SHIFT_KEY);
	Key("\x1d", B_SHIFT_KEY);
	Key("\x1d", B_SHIFT_KEY);
	EXPECT_EQ(Selection(fView), std::make_pair(3, 4));
	Key("\x04", B_SHIFT_KEY);
	EXPECT_EQ(Selection(fView), std::make_pair(3, 6));
	Key("\x1c");
	EXPECT_EQ(Selection(fView), std::make_pair(3, 3));
	Key("\x1e", B_SHIFT_KEY); // up on the only line goes to its start
	EXPECT_EQ(Selection(fView), std::make_pair(0, 3));
	Key("\x1d");
	EXPECT_EQ(Selection(fView), std::make_pair(3, 3));
	Key("\x01");
	EXPECT_EQ(Selection(fView), std::make_pair(0, 0));
	Key("\x1f");
	EXPECT_EQ(Selection(fView), std::make_pair(6, 6));
}

TEST_F(TextViewTest, ClickPlacesTheCaretDragAndShiftClickSelect)
{
	fView->SetText("12 345 678");
	fView->MakeFocus(false);
	Click(fView, OnChar(fView, 4));
	EXPECT_TRUE(fView->IsFocus());
	EXPECT_EQ(Selection(fView), std::make_pair(4, 4));

	PostMouse(B_MOUSE_DOWN, fView, OnChar(fView, 8), B_PRIMARY_MOUSE_BUTTON, B_SHIFT_KEY);
	PostMouse(B_MOUSE_UP, fView, OnChar(fView, 8), 0, B_SHIFT_KEY);
	EXPECT_EQ(Selection(fView), std::make_pair(4, 8));

	fBackend->InjectMouseDown(fId, fView->ConvertToWindow(OnChar(fView, 7)));
	fBackend->InjectMouseMoved(fId, fView->ConvertToWindow(OnChar(fView, 9)),
		B_PRIMARY_MOUSE_BUTTON);
	fBackend->InjectMouseMoved(fId, fView->ConvertToWindow(OnChar(fView, 1)),
		B_PRIMARY_MOUSE_BUTTON);
	fBackend->InjectMouseUp(fId, fView->ConvertToWindow(OnChar(fView, 1)));
	EventLoop::Drain();
	EXPECT_EQ(Selection(fView), std::make_pair(1, 7));
}

TEST_F(TextViewTest, DoubleClickSelectsAWord)
{
	fView->SetText("12 345 678");
	Click(fView, OnChar(fView, 4), 2);
	EXPECT_EQ(Selection(fView), std::make_pair(3, 6));

	// Two single clicks in quick succession on the same spot count as a double click.
	fView->Select(0, 0);
	Click(fView, OnChar(fView, 8));
	Click(fView, OnChar(fView, 8));
	EXPECT_EQ(Selection(fView), std::make_pair(7, 10));
}

TEST_F(TextViewTest, ClicksOnANonSelectableViewDoNothing)
{
	fView->SetText("some text");
	fView->MakeSelectable(false);
	fView->MakeFocus(false);
	fView->Select(2, 2);
	Click(fView, OnChar(fView, 6));
	Click(fView, OnChar(fView, 6), 2);
	EXPECT_EQ(Selection(fView), std::make_pair(2, 2));
	EXPECT_FALSE(fView->IsFocus());
}

// #pragma mark - Geometry and styles

TEST_F(TextViewTest, OffsetAtAndPointAtAgreeForEveryAlignment)
{
	fView->SetWordWrap(false);
	fView->SetText("A1 \xC3\xA9\xE2\x82\xAC"
				   "W.");
	for (alignment align : {B_ALIGN_LEFT, B_ALIGN_RIGHT, B_ALIGN_CENTER}) {
		fView->SetAlignment(align);
		float previous = -1000;
		for (int32 offset = 0; offset <= fView->TextLength(); offset++) {
			if (offset > 0 && offset < fView->TextLength()
				&& ((uint8)fView->Text()[offset] & 0xc0) == 0x80)
				continue;
			BPoint point = fView->PointAt(offset);
			EXPECT_GT(point.x, previous) << "alignment " << align << ", offset " << offset;
			previous = point.x;
			EXPECT_EQ(fView->OffsetAt(point + BPoint(0.5f, 2)), offset)
				<< "alignment " << align << ", offset " << offset;
		}
	}
	// Left and right alignment put the text against the text rectangle's edges.
	fView->SetAlignment(B_ALIGN_LEFT);
	EXPECT_EQ(fView->PointAt(0).x, kFieldTextRect.left);
	fView->SetAlignment(B_ALIGN_RIGHT);
	EXPECT_FLOAT_EQ(fView->PointAt(fView->TextLength()).x, kFieldTextRect.right + 1);
}

TEST_F(TextViewTest, LongLineScrollsToKeepTheCaretInside)
{
	fView->SetWordWrap(false);
	fView->SetAlignment(B_ALIGN_RIGHT);
	Type("12345678901234567890123");
	ASSERT_GT(fView->PointAt(fView->TextLength()).x - fView->PointAt(0).x,
		kFieldTextRect.Width() + 1);
	EXPECT_FLOAT_EQ(fView->PointAt(fView->TextLength()).x, kFieldTextRect.right + 1);
	Key("\x01");
	EXPECT_FLOAT_EQ(fView->PointAt(0).x, kFieldTextRect.left);
	Key("\x1d");
	EXPECT_FLOAT_EQ(fView->PointAt(0).x, kFieldTextRect.left); // no needless scrolling
	fView->SetText("12");
	EXPECT_FLOAT_EQ(fView->PointAt(2).x, kFieldTextRect.right + 1);
}

TEST_F(TextViewTest, WordWrapBreaksAtSpacesWithinTheTextRect)
{
	auto* area = new BTextView(BRect(10, 40, 90, 110), "area", BRect(0, 0, 60, 70), B_FOLLOW_NONE,
		B_WILL_DRAW);
	fWindow->AddChild(area);
	area->SetText("one two three four five six");
	ASSERT_GT(area->CountLines(), 2);
	for (int32 offset = 0; offset < area->TextLength(); offset++) {
		if (area->Text()[offset] != ' ') {
			EXPECT_LE(area->PointAt(offset + 1).x, 61) << "offset " << offset;
		}
	}
	// Lines start with words, not with the spaces between them.
	int32 lines = 0;
	for (int32 offset = 1; offset < area->TextLength(); offset++) {
		if (area->PointAt(offset).y > area->PointAt(offset - 1).y) {
			lines++;
			EXPECT_EQ(area->Text()[offset - 1], ' ');
			EXPECT_NE(area->Text()[offset], ' ');
		}
	}
	EXPECT_EQ(lines + 1, area->CountLines());

	area->SetWordWrap(false);
	EXPECT_EQ(area->CountLines(), 1);
	area->SetText("a\nb\n");
	EXPECT_EQ(area->CountLines(), 3);
}

TEST_F(TextViewTest, RunArraysStyleTheGivenRange)
{
	fView->SetStylable(true);
	fView->SetText("Hello world, again");
	BFont plain;
	uint32 same = 0;
	fView->GetFontAndColor(&plain, &same);
	EXPECT_EQ(plain, *be_plain_font);
	EXPECT_EQ(same, (uint32)B_FONT_ALL);

	text_run_array* runs = BTextView::AllocRunArray(2);
	ASSERT_NE(runs, nullptr);
	BFont big(be_plain_font);
	big.SetSize(16);
	big.SetFace(B_BOLD_FACE);
	runs->runs[0].offset = 0;
	runs->runs[0].font = big;
	runs->runs[0].color = make_color(0, 0, 0);
	text_run* second = &runs->runs[0] + 1;
	second->offset = 3;
	second->font = plain;
	second->color = make_color(0, 0, 220);
	fView->SetRunArray(6, 11, runs);
	BTextView::FreeRunArray(runs);

	struct Expected {
		int32 offset;
		float size;
		rgb_color color;
	};
	const Expected table[] = {
		{5, plain.Size(), {0, 0, 0, 255}},
		{6, 16, {0, 0, 0, 255}},
		{8, 16, {0, 0, 0, 255}},
		{9, plain.Size(), {0, 0, 220, 255}},
		{10, plain.Size(), {0, 0, 220, 255}},
		{11, plain.Size(), {0, 0, 0, 255}},
	};
	for (const Expected& e : table) {
		BFont font;
		rgb_color color;
		fView->GetFontAndColor(e.offset, &font, &color);
		EXPECT_EQ(font.Size(), e.size) << "offset " << e.offset;
		EXPECT_EQ(color, e.color) << "offset " << e.offset;
	}
	EXPECT_GT(fView->LineHeight(), plain.Size() + 4); // the 16-pixel run sets the height

	// Typing inside a run continues its style.
	fView->Select(7, 7);
	Type("EE");
	BFont font;
	fView->GetFontAndColor(8, &font);
	EXPECT_EQ(font.Size(), 16);
	fView->Select(4, 9);
	fView->GetFontAndColor(&font, &same);
	EXPECT_EQ(same & B_FONT_SIZE, 0u);
}

TEST_F(TextViewTest, PlainViewStylesItsWholeText)
{
	fView->SetFontAndColor(be_bold_font, B_FONT_ALL);
	fView->SetText("42");
	fView->Select(0, 1);
	rgb_color red = {255, 0, 0, 255};
	fView->SetFontAndColor(nullptr, 0, &red);
	for (int32 offset : {0, 1}) {
		BFont font;
		rgb_color color;
		fView->GetFontAndColor(offset, &font, &color);
		EXPECT_EQ(font, *be_bold_font);
		EXPECT_EQ(color, red);
	}
}

// #pragma mark - On screen

TEST_F(TextViewTest, AmountFieldDigitsSitInsideTheField)
{
	fView->SetViewColor(kFieldColor);
	fView->SetFontAndColor(be_bold_font, B_FONT_ALL);
	fView->SetAlignment(B_ALIGN_RIGHT);
	fView->SetWordWrap(false);
	fView->SetText("1234567.89");
	fView->MakeFocus(false);
	EventLoop::Drain();

	BRect ink = InkBounds(fView, kFieldColor);
	ASSERT_TRUE(ink.IsValid());
	EXPECT_GE(ink.top, kFieldTextRect.top);
	EXPECT_LE(ink.bottom, kFieldTextRect.bottom);
	EXPECT_GE(ink.left, kFieldTextRect.left);
	EXPECT_LE(ink.right, kFieldTextRect.right + 1);
	EXPECT_GE(ink.right, kFieldTextRect.right - 2);
}

TEST_F(TextViewTest, SelectionShowsOnlyInTheFocusOfTheActiveWindow)
{
	fView->SetViewColor(kFieldColor);
	fView->SetText("888");
	fView->SelectAll();
	EventLoop::Drain();
	BPoint probe = fView->ConvertToWindow(fView->PointAt(0) + BPoint(1, 1));
	rgb_color inverted = {128, 0, 128, 255};
	EXPECT_EQ(fBackend->PixelAt(fWindow, (int32)probe.x, (int32)probe.y), inverted);

	fBackend->InjectActivation(fId, false);
	EventLoop::Drain();
	EXPECT_EQ(fBackend->PixelAt(fWindow, (int32)probe.x, (int32)probe.y), kFieldColor);

	fBackend->InjectActivation(fId, true);
	fView->MakeFocus(false);
	EventLoop::Drain();
	EXPECT_EQ(fBackend->PixelAt(fWindow, (int32)probe.x, (int32)probe.y), kFieldColor);
}

TEST_F(TextViewTest, HighlightTogglesAndShowsAtOnce)
{
	fView->SetViewColor(kFieldColor);
	fView->SetText("link here");
	fView->MakeFocus(false);
	EventLoop::Drain();
	BPoint inside = fView->ConvertToWindow(fView->PointAt(5) + BPoint(1, 1));
	BPoint outside = fView->ConvertToWindow(fView->PointAt(2) + BPoint(1, 1));

	fView->Highlight(5, 9);
	// No drain: the highlight must be on screen while the caller is still busy.
	EXPECT_NE(fBackend->PixelAt(fWindow, (int32)inside.x, (int32)inside.y), kFieldColor);
	EXPECT_EQ(fBackend->PixelAt(fWindow, (int32)outside.x, (int32)outside.y), kFieldColor);
	ASSERT_EQ(TextViewAccess::Highlights(fView).size(), 1u);

	fView->Highlight(5, 9);
	EXPECT_EQ(fBackend->PixelAt(fWindow, (int32)inside.x, (int32)inside.y), kFieldColor);
	EXPECT_TRUE(TextViewAccess::Highlights(fView).empty());
}

TEST_F(TextViewTest, CaretBlinksOnlyWhereTypingGoes)
{
	// No drain here, so that no pulse of the loop comes in between.
	fView->SetText("75");
	fView->Select(1, 1);
	EXPECT_TRUE(TextViewAccess::CaretVisible(fView));
	fView->Pulse(); // the first pulse after a move keeps it on
	EXPECT_TRUE(TextViewAccess::CaretVisible(fView));
	fView->Pulse();
	EXPECT_FALSE(TextViewAccess::CaretVisible(fView));
	fView->Pulse();
	EXPECT_TRUE(TextViewAccess::CaretVisible(fView));

	fView->SelectAll();
	EXPECT_FALSE(TextViewAccess::CaretVisible(fView));
	fView->Select(1, 1);
	fBackend->InjectActivation(fId, false);
	EventLoop::Drain();
	EXPECT_FALSE(TextViewAccess::CaretVisible(fView));
	fBackend->InjectActivation(fId, true);
	EventLoop::Drain();
	EXPECT_TRUE(TextViewAccess::CaretVisible(fView));
	fView->MakeEditable(false);
	EXPECT_FALSE(TextViewAccess::CaretVisible(fView));
}
