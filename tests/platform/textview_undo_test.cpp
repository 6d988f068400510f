// BTextView's undo step and its part in the X primary selection, driven with keys and clicks
// on the headless backend: what one Ctrl+Z takes back, that it goes through the text hooks,
// what offers a selection to other programs, and the middle-click paste.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "TextView.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

namespace {

// Lets in digits only, as typed text, and logs every pass through the hooks.
class DigitsView : public BTextView {
public:
	explicit DigitsView(BRect frame) :
		BTextView(frame, "digits", BRect(2, 2, 196, 18), B_FOLLOW_NONE, B_WILL_DRAW)
	{
	}

	std::vector<std::string> calls;
	std::vector<bool> typed;

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		std::string digits;
		for (int32 i = 0; i < length; i++) {
			if (isdigit((unsigned char)text[i]))
				digits += text[i];
		}
		calls.push_back("insert " + digits + " @" + std::to_string(offset));
		typed.push_back(InsertsTypedText());
		BTextView::InsertText(digits.c_str(), (int32)digits.size(), offset, runs);
	}

	void DeleteText(int32 from, int32 to) override
	{
		calls.push_back("delete " + std::to_string(from) + "-" + std::to_string(to));
		BTextView::DeleteText(from, to);
	}
};

class UndoTest : public testing::Test {
public:
	// Public for the edits of the table, which get the fixture as an argument.
	void SetUp() override
	{
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.test-undo");
		fWindow = new BWindow(BRect(100, 100, 319, 159), "undo", B_TITLED_WINDOW, B_NOT_RESIZABLE);
		fView = new DigitsView(BRect(10, 10, 209, 29));
		fView->SetMaxBytes(8);
		fView->SetText("100");
		fWindow->AddChild(fView);
		fView->MakeFocus(true);
		fView->Select(3, 3);
		fWindow->Show();
		EventLoop::Drain();
		fView->calls.clear();
		fView->typed.clear();
	}

	void TearDown() override
	{
		fWindow->Quit();
		EventLoop::Drain();
		delete fApp;
	}

	uint32 Id() const { return HeadlessBackend::IdOf(fWindow); }

	void Key(const char* bytes, uint32 modifiers = 0)
	{
		fBackend->InjectKey(Id(), bytes, modifiers);
		EventLoop::Drain();
	}

	void Undo() { Key("z", B_CONTROL_KEY); }

	std::string Selection() const
	{
		int32 start = 0;
		int32 end = 0;
		fView->GetSelection(&start, &end);
		return std::to_string(start) + "-" + std::to_string(end);
	}

	// The text's x for an offset, in window coordinates, on the line's middle.
	BPoint At(int32 offset) const
	{
		return fView->ConvertToWindow(fView->PointAt(offset) + BPoint(0, 6));
	}

	HeadlessBackend* fBackend;
	BApplication* fApp;
	BWindow* fWindow;
	DigitsView* fView;
};

} // namespace

TEST_F(UndoTest, OneStepTakesBackTheLastEditAndTheNextRedoesIt)
{
	const struct {
		const char* name;
		std::function<void(UndoTest*)> edit;
		const char* edited;
		const char* undone;
		const char* selectionAfterUndo;
	} kCases[] = {
		{"typing in a row is one step",
			[](UndoTest* t) {
				t->Key("2");
				t->Key("5");
				t->Key("7");
			},
			"100257", "100", "3-3"},
		{"a key dropped by the filter is no step",
			[](UndoTest* t) {
				t->Key("4");
				t->Key("x");
			},
			"1004", "100", "3-3"},
		{"typing over a selection brings the selection back",
			[](UndoTest* t) {
				t->fView->Select(0, 2);
				t->Key("9");
				t->Key("8");
			},
			"980", "100", "0-2"},
		{"a caret move ends the run of typing",
			[](UndoTest* t) {
				t->Key("2");
				t->Key("\x1c");
				t->Key("3");
			},
			"10032", "1002", "3-3"},
		{"backspace", [](UndoTest* t) { t->Key("\x08"); }, "10", "100", "2-3"},
		{"delete of a selection",
			[](UndoTest* t) {
				t->fView->Select(0, 2);
				t->Key("\x7f");
			},
			"0", "100", "0-2"},
		{"cut",
			[](UndoTest* t) {
				t->fView->Select(1, 3);
				t->Key("x", B_CONTROL_KEY);
			},
			"1", "100", "1-3"},
		{"paste, filtered and cut to the limit",
			[](UndoTest* t) {
				t->fBackend->SetClipboardText("2 345 678 9");
				t->Key("v", B_CONTROL_KEY);
			},
			"10023456", "100", "3-3"},
	};
	for (const auto& c : kCases) {
		SCOPED_TRACE(c.name);
		fView->SetText("100");
		fView->Select(3, 3);
		c.edit(this);
		EXPECT_STREQ(c.edited, fView->Text());
		Undo();
		EXPECT_STREQ(c.undone, fView->Text());
		EXPECT_EQ(c.selectionAfterUndo, Selection());
		Undo();
		EXPECT_STREQ(c.edited, fView->Text());
		Undo();
		EXPECT_STREQ(c.undone, fView->Text());
	}
}

TEST_F(UndoTest, UndoPassesThroughTheTextHooksAsTheProgramsOwnText)
{
	Key("5");
	Key("\x08");
	fView->calls.clear();
	fView->typed.clear();
	Undo();
	EXPECT_EQ(fView->calls, (std::vector<std::string>{"insert 5 @3"}));
	EXPECT_EQ(fView->typed, (std::vector<bool>{false}));
	Undo();
	EXPECT_EQ(fView->calls, (std::vector<std::string>{"insert 5 @3", "delete 3-4"}));
}

TEST_F(UndoTest, NothingToUndoAfterTheProgramChangedTheTextOrInAReadOnlyView)
{
	EXPECT_FALSE(fView->CanUndo());
	Undo();
	EXPECT_STREQ("100", fView->Text());

	Key("7");
	EXPECT_TRUE(fView->CanUndo());
	fView->SetText("42");
	EXPECT_FALSE(fView->CanUndo());
	Undo();
	EXPECT_STREQ("42", fView->Text());

	fView->Select(2, 2);
	Key("1");
	fView->MakeEditable(false);
	Undo();
	EXPECT_STREQ("421", fView->Text());
	fView->MakeEditable(true);
	Undo();
	EXPECT_STREQ("42", fView->Text());
}

TEST_F(UndoTest, TheUsersSelectionsAreOfferedToOtherProgramsTheProgramsAreNot)
{
	fView->SetText("123456");
	fView->SelectAll();
	EXPECT_EQ("", fBackend->PrimaryText());

	// Dragged with the mouse: offered when the button is let go.
	fBackend->InjectMouseDown(Id(), At(1));
	fBackend->InjectMouseMoved(Id(), At(4), B_PRIMARY_MOUSE_BUTTON);
	fBackend->InjectMouseUp(Id(), At(4));
	EventLoop::Drain();
	EXPECT_EQ("234", fBackend->PrimaryText());

	fView->Select(0, 0);
	Key("\x1d", B_SHIFT_KEY);
	Key("\x1d", B_SHIFT_KEY);
	EXPECT_EQ("12", fBackend->PrimaryText());

	Key("a", B_CONTROL_KEY);
	EXPECT_EQ("123456", fBackend->PrimaryText());

	// A plain click selects nothing and offers nothing.
	fBackend->SetPrimaryText("other");
	fBackend->InjectClick(Id(), At(2));
	EventLoop::Drain();
	EXPECT_EQ("other", fBackend->PrimaryText());
}

TEST_F(UndoTest, MiddleClickPastesThePrimarySelectionAtTheClickAsTypedText)
{
	fBackend->SetPrimaryText("4-5x6");
	fBackend->InjectClick(Id(), At(1), B_TERTIARY_MOUSE_BUTTON);
	EventLoop::Drain();
	EXPECT_STREQ("145600", fView->Text());
	EXPECT_EQ(fView->typed, (std::vector<bool>{true}));
	EXPECT_EQ("4-4", Selection());
	Undo();
	EXPECT_STREQ("100", fView->Text());

	// Cut to the byte limit as any paste is.
	fBackend->SetPrimaryText("123456789");
	fBackend->InjectClick(Id(), At(3), B_TERTIARY_MOUSE_BUTTON);
	EventLoop::Drain();
	EXPECT_STREQ("10012345", fView->Text());

	// Nothing offered, or nothing to paste into.
	fView->SetText("100");
	fBackend->SetPrimaryText("");
	fBackend->InjectClick(Id(), At(1), B_TERTIARY_MOUSE_BUTTON);
	EventLoop::Drain();
	fView->MakeEditable(false);
	fBackend->SetPrimaryText("7");
	fBackend->InjectClick(Id(), At(1), B_TERTIARY_MOUSE_BUTTON);
	EventLoop::Drain();
	EXPECT_STREQ("100", fView->Text());
}

TEST_F(UndoTest, AnAnswerForAViewThatWentAwayIsDropped)
{
	fBackend->SetPrimaryText("5");
	fBackend->InjectMouseDown(Id(), At(1), B_TERTIARY_MOUSE_BUTTON);
	// The view goes before the loop delivers the click and the answer behind it.
	BPrivate::EventLoop::RunOnce(0);
	ASSERT_TRUE(fBackend->HasPendingEvents());
	fView->RemoveSelf();
	delete fView;
	fView = nullptr;
	EventLoop::Drain();
	EXPECT_EQ(nullptr, fWindow->FindView("digits"));
	EXPECT_FALSE(fBackend->HasPendingEvents());
}
