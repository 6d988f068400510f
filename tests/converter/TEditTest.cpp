// The amount field in a window of its own: what it lets in, what it reports and how Tab
// and Enter rewrite it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "TEdit.h"
#include "View.h"
#include "Window.h"

namespace {

// The field's parent; counts the change messages that reach it.
class Recorder : public BView {
public:
	explicit Recorder(BRect frame) : BView(frame, "recorder", B_FOLLOW_ALL, 0) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'EoCh')
			changes++;
		else
			BView::MessageReceived(message);
	}

	int changes = 0;
};

class TEditTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fBackend = BPrivate::HeadlessBackend::Install();
		fApp = std::make_unique<BApplication>("application/x-vnd.QXT-KamboLux-test");
		fWindow = new BWindow(BRect(100, 100, 306, 212), "field", B_TITLED_WINDOW, 0);
		fRecorder = new Recorder(fWindow->Bounds());
		fWindow->AddChild(fRecorder);
	}

	void TearDown() override { fApp.reset(); }

	// The field as the converter's source (reporting to its parent) or, with
	// toFocus, reporting to whatever view has the focus when the message is handled.
	TEdit* AddField(bool editable = true, bool toFocus = false)
	{
		TEdit* field = new TEdit(BRect(45, 21, 153, 43), toFocus ? nullptr : fRecorder,
			BRect(2, 3, 104, 20), 0);
		if (!editable)
			field->MakeEditable(false);
		fRecorder->AddChild(field);
		field->MakeFocus(true);
		fWindow->Show();
		Drain();
		fRecorder->changes = 0;
		return field;
	}

	void Type(const char* text)
	{
		fBackend->InjectText(Id(), text);
		Drain();
	}

	void Key(const char* bytes)
	{
		fBackend->InjectKey(Id(), bytes);
		Drain();
	}

	uint32 Id() const { return BPrivate::HeadlessBackend::IdOf(fWindow); }
	static void Drain() { BPrivate::EventLoop::Drain(); }

	BPrivate::HeadlessBackend* fBackend = nullptr;
	std::unique_ptr<BApplication> fApp;
	BWindow* fWindow = nullptr;
	Recorder* fRecorder = nullptr;
};

} // namespace

TEST_F(TEditTest, TypingLetsInOnlyTheCharactersOfANumber)
{
	struct Case {
		const char* typed;
		const char* shown;
		int reports; // one per key, also for keys that inserted nothing; -1: not checked
	};
	const Case cases[] = {
		{"12,5", "12.5", 4}, {"-7.25", "-7.25", 5}, {"abc", "", 3}, {"1x2 3", "123", 5},
		{"1\xC3\xA4"
		 "2\xE2\x82\xAC"
		 "3",
			"123", 5},                                  // multi-byte characters vanish whole
		{"1-2.3.4", "1-2.3.4", 7},                      // no check of the number's form
		{"1234567890123456789", "123456789012345", -1}, // 15 bytes at most
	};
	for (const Case& test : cases) {
		TEdit* field = AddField();
		Type(test.typed);
		EXPECT_STREQ(test.shown, field->Text()) << test.typed;
		if (test.reports >= 0) {
			EXPECT_EQ(test.reports, fRecorder->changes) << test.typed;
		}
		field->RemoveSelf();
		delete field;
	}
}

TEST_F(TEditTest, PastedTextIsFilteredAndReportedOnce)
{
	TEdit* field = AddField();
	field->Insert("1 234,56 EUR");
	EXPECT_STREQ("1234.56", field->Text());
	Drain();
	EXPECT_EQ(1, fRecorder->changes);

	// A zero byte inside the inserted bytes ends the insertion there.
	field->SetText("");
	field->Insert("7\0"
				  "8",
		3);
	EXPECT_STREQ("7", field->Text());
}

TEST_F(TEditTest, ChangesReachTheFocusViewsParentWithoutATarget)
{
	TEdit* field = AddField(true, true);
	Type("12");
	EXPECT_STREQ("12", field->Text());
	EXPECT_EQ(2, fRecorder->changes);

	// With the focus elsewhere (here: nowhere) the window receives them, to no effect.
	field->MakeFocus(false);
	field->SetText("5");
	Drain();
	EXPECT_EQ(2, fRecorder->changes);
}

TEST_F(TEditTest, ChangesReachTheTargetWhereverTheFocusIs)
{
	TEdit* field = AddField();
	field->MakeFocus(false);
	// The calculator pad edits the field this way while the field has no focus.
	field->SetText("42");
	field->Insert("1");
	Drain();
	// SetText on an empty field only inserts; Insert adds one more.
	EXPECT_EQ(2, fRecorder->changes);
	field->SetText("9");
	Drain();
	EXPECT_EQ(4, fRecorder->changes) << "removal and insertion each report";
}

TEST_F(TEditTest, TabAndEnterRewriteWithTwoDecimals)
{
	struct Case {
		const char* text;
		const char* key;
		const char* rewritten;
	};
	// The rounding itself is the core's; these check the field around it.
	const Case cases[] = {
		{"", "\n", "0.00"},
		{"12.3456", "\t", "12.35"},
		{"-0", "\n", "-0.00"},
		{"1.2.3", "\t", "1.20"},
		{"--5", "\n", "0.00"},
	};
	for (const Case& test : cases) {
		TEdit* field = AddField();
		field->SetText(test.text);
		field->SelectAll();
		Drain();
		fRecorder->changes = 0;

		Key(test.key);
		EXPECT_STREQ(test.rewritten, field->Text()) << test.text;
		int32 start = -1;
		int32 end = -1;
		field->GetSelection(&start, &end);
		EXPECT_EQ(field->TextLength(), start) << "caret after the last character";
		EXPECT_EQ(field->TextLength(), end);
		EXPECT_TRUE(field->IsFocus()) << "Tab does not move the focus";
		EXPECT_EQ(test.text[0] == '\0' ? 1 : 2, fRecorder->changes) << test.text;
		field->RemoveSelf();
		delete field;
	}
}

TEST_F(TEditTest, ReadOnlyFieldTakesAnyTextAndReportsNothing)
{
	TEdit* field = AddField(false);
	field->SetText("abc 1,5 \xC3\xA4");
	EXPECT_STREQ("abc 1,5 \xC3\xA4", field->Text());
	field->SetText("12.3456");
	Key("\t");
	EXPECT_STREQ("12.35", field->Text());
	EXPECT_EQ(0, fRecorder->changes);

	// A converted result can outgrow the rewrite's 39 bytes; it must keep its tail.
	const char* result = "111033070776389433348500242875267315143426.32";
	for (const char* key : {"\t", "\n"}) {
		field->SetText(result);
		Key(key);
		EXPECT_STREQ(result, field->Text()) << "after " << (key[0] == '\t' ? "Tab" : "Enter");
	}
}

TEST_F(TEditTest, FieldOutsideAnyWindowFiltersAndPostsNothing)
{
	TEdit field(BRect(0, 0, 100, 20), fRecorder, BRect(2, 3, 98, 18), 0);
	field.SetText("1,5x");
	EXPECT_STREQ("1.5", field.Text());
	field.SetText("");
	Drain();
	EXPECT_EQ(0, fRecorder->changes);
	EXPECT_EQ(0, fWindow->CountQueuedMessages());
}

TEST_F(TEditTest, PastesAreReadAsMeantThenLimited)
{
	struct Case {
		const char* before; // the field's text, wholly selected when not empty
		const char* pasted;
		const char* shown;
	};
	const Case cases[] = {
		// The limit counts what the field lets in, never the raw clipboard bytes.
		{"", "Gesamtbetrag: 99,95 EUR", "99.95"},
		{"", "EUR 1 234 567,89", "1234567.89"},
		{"", "1 234,56 EUR", "1234.56"},
		// Thousands groups as a bank statement or a spreadsheet writes them.
		{"", "1.234,50", "1234.50"},
		{"", "1,234.50", "1234.50"},
		{"", "1.234.567", "1234567"},
		{"", "-1.234,5", "-1234.5"},
		{"", "12.5", "12.5"},
		{"", "1.5.5", "1.5.5"},
		{"", "1,234", "1.234"},
		// More than 15 bytes let in: the first 15 of them.
		{"", "Summe: 1.234.567.890.123,45 EUR", "1234567890123.4"},
		{"", "12345678901234567890", "123456789012345"},
		// A selection makes room; what is around it counts.
		{"999999999999999", "1.234,5", "1234.5"},
		{"",
			"\xE2\x82\xAC"
			"5",
			"5"},
	};
	for (const Case& test : cases) {
		TEdit* field = AddField();
		field->SetText(test.before);
		field->SelectAll();
		Drain();
		fRecorder->changes = 0;

		fBackend->SetClipboardText(test.pasted);
		field->Paste();
		Drain();
		EXPECT_STREQ(test.shown, field->Text()) << test.pasted;
		int32 start = -1;
		int32 end = -1;
		field->GetSelection(&start, &end);
		EXPECT_EQ(field->TextLength(), start) << "the caret follows what was let in";
		EXPECT_EQ(start, end);
		EXPECT_EQ(test.before[0] == '\0' ? 1 : 2, fRecorder->changes) << test.pasted;
		field->RemoveSelf();
		delete field;
	}
}

TEST_F(TEditTest, PasteIntoAFullFieldChangesNothing)
{
	TEdit* field = AddField();
	Type("123456789012345");
	fRecorder->changes = 0;
	fBackend->SetClipboardText("1.234,50");
	field->Paste();
	Drain();
	EXPECT_STREQ("123456789012345", field->Text());
	EXPECT_EQ(0, fRecorder->changes);
}

TEST_F(TEditTest, TheProgramsOwnTextsAreOnlyFiltered)
{
	// The pad writes its numbers key by key; "1.234.567" there is what the keys made.
	TEdit* field = AddField();
	field->SetText("1.234.567");
	EXPECT_STREQ("1.234.567", field->Text());
	field->SetText("");
	field->Insert("1.234,50");
	EXPECT_STREQ("1.234.50", field->Text());
}

TEST_F(TEditTest, GetDoubleAndHugeAmounts)
{
	TEdit* field = AddField();
	const struct {
		std::string text;
		double value;
	} readings[] = {
		{"1" + std::string(40, '0'), 1e40},
		{std::string(45, '7'), 777777777777777777777777777777777777777777777.0},
		{"-0", -0.0},
		{"12-3", 12},
	};
	for (const auto& reading : readings) {
		field->SetText(reading.text.c_str());
		EXPECT_EQ(reading.value, field->GetDouble()) << reading.text;
		EXPECT_EQ(std::signbit(reading.value), std::signbit(field->GetDouble()));
	}

	std::string huge(5000, '9');
	field->SetText(huge.c_str());
	EXPECT_EQ(5000, field->TextLength()) << "the program's own texts are not limited";
	EXPECT_TRUE(std::isinf(field->GetDouble())) << "beyond a double's range";

	Key("\n");
	EXPECT_EQ(huge + ".00", field->Text()) << "the rewrite keeps every digit";
	int32 start = -1;
	int32 end = -1;
	field->GetSelection(&start, &end);
	EXPECT_EQ(field->TextLength(), start);
}
