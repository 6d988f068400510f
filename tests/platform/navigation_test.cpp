// Keyboard navigation on the headless backend: which views Tab stops at and in which order,
// Ctrl+Tab out of a view that uses Tab, keys a button does not use reaching its parent, the
// context-menu keys, and the focus mark of a picture button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "Button.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Message.h"
#include "Picture.h"
#include "PictureButton.h"
#include "TextView.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

namespace {

// Records what reaches it along the handler chain, and the keys handed up to it.
class Panel : public BView {
public:
	Panel(BRect frame, const char* name) : BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW) {}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		keys += std::string(bytes, (size_t)numBytes);
		BView::KeyDown(bytes, numBytes);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == B_CONTEXT_MENU_REQUESTED) {
			BPoint where;
			message->FindPoint("screen_where", &where);
			menuAt.push_back(where);
			return;
		}
		BView::MessageReceived(message);
	}

	std::string keys;
	std::vector<BPoint> menuAt;
};

BPicture*
Filled(BView* recorder, rgb_color color, BRect frame)
{
	recorder->BeginPicture(new BPicture);
	recorder->SetHighColor(color);
	recorder->FillRect(frame.OffsetToCopy(0, 0));
	return recorder->EndPicture();
}

class NavigationTest : public testing::Test {
protected:
	void SetUp() override
	{
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.navigation-test");
		fWindow = new BWindow(BRect(100, 100, 399, 299), "navigation", B_TITLED_WINDOW,
			B_NOT_RESIZABLE);
		// In tree order: a panel holding a button, the three kinds of text view, a button
		// that is disabled, one that is hidden, a view that takes no part, a picture button.
		fPanel = new Panel(BRect(0, 0, 299, 199), "panel");
		fWindow->AddChild(fPanel);
		fFirst = new BButton(BRect(10, 10, 69, 29), "first", "Eins", new BMessage('one '));
		fPanel->AddChild(fFirst);
		fEditable = new BTextView(BRect(10, 40, 109, 59), "editable", BRect(0, 0, 99, 19),
			B_FOLLOW_NONE, B_WILL_DRAW);
		fEditable->SetText("amount");
		fPanel->AddChild(fEditable);
		fReadOnly = new BTextView(BRect(10, 70, 109, 89), "read-only", BRect(0, 0, 99, 19),
			B_FOLLOW_NONE, B_WILL_DRAW);
		fReadOnly->SetText("result");
		fReadOnly->MakeEditable(false);
		fPanel->AddChild(fReadOnly);
		fInert = new BTextView(BRect(10, 100, 109, 119), "inert", BRect(0, 0, 99, 19),
			B_FOLLOW_NONE, B_WILL_DRAW);
		fInert->MakeEditable(false);
		fInert->MakeSelectable(false);
		fPanel->AddChild(fInert);
		fMultiLine = new BTextView(BRect(120, 40, 219, 99), "lines", BRect(0, 0, 99, 59),
			B_FOLLOW_NONE, B_WILL_DRAW);
		fPanel->AddChild(fMultiLine);
		fDisabled = new BButton(BRect(120, 110, 179, 129), "disabled", "Aus", new BMessage('off '));
		fDisabled->SetEnabled(false);
		fPanel->AddChild(fDisabled);
		fHidden = new BButton(BRect(190, 110, 249, 129), "hidden", "Weg", new BMessage('gone'));
		fHidden->Hide();
		fPanel->AddChild(fHidden);
		fPanel->AddChild(new BView(BRect(10, 130, 49, 149), "plain", B_FOLLOW_NONE, 0));
		BRect pictureFrame(240, 160, 257, 183);
		fPicture = new BPictureButton(pictureFrame, "picture",
			Filled(fPanel, make_color(0, 0, 200), pictureFrame),
			Filled(fPanel, make_color(200, 0, 0), pictureFrame), new BMessage('pict'));
		fPanel->AddChild(fPicture);
	}

	void TearDown() override
	{
		fWindow->Quit();
		EventLoop::Drain();
		delete fApp;
	}

	void Show()
	{
		fWindow->Show();
		EventLoop::Drain();
	}

	uint32 Id() const { return HeadlessBackend::IdOf(fWindow); }

	void Key(const char* bytes, uint32 modifiers = 0, int32 key = 0)
	{
		fBackend->InjectKeyDown(Id(), bytes, modifiers, false, key);
		fBackend->InjectKeyUp(Id(), bytes, modifiers);
		EventLoop::Drain();
	}

	const char* FocusName() const
	{
		BView* focus = fWindow->CurrentFocus();
		return focus != nullptr ? focus->Name() : "(none)";
	}

	BView* ByName(const std::string& name) const
	{
		return name == "(none)" ? nullptr : fWindow->FindView(name.c_str());
	}

	HeadlessBackend* fBackend;
	BApplication* fApp;
	BWindow* fWindow;
	Panel* fPanel;
	BButton* fFirst;
	BTextView* fEditable;
	BTextView* fReadOnly;
	BTextView* fInert;
	BTextView* fMultiLine;
	BButton* fDisabled;
	BButton* fHidden;
	BPictureButton* fPicture;
};

} // namespace

TEST_F(NavigationTest, TabAndShiftTabFollowTheTreeAndSkipWhatCannotTakeTheFocus)
{
	Show();
	const struct {
		const char* from;
		const char* key;
		uint32 modifiers;
		const char* to;
	} kCases[] = {
		// Into the order from no focus and from a view that takes no part.
		{"(none)", "\t", 0, "first"},
		{"(none)", "\t", B_SHIFT_KEY, "picture"},
		{"panel", "\t", 0, "first"},
		{"panel", "\t", B_SHIFT_KEY, "picture"},
		// Forward: the inert text view, the disabled, hidden and plain views are passed by.
		{"first", "\t", 0, "editable"},
		{"editable", "\t", 0, "read-only"},
		{"read-only", "\t", 0, "lines"},
		{"lines", "\t", B_CONTROL_KEY, "picture"},
		{"picture", "\t", 0, "first"},
		// Backward, wrapping at the start.
		{"first", "\t", B_SHIFT_KEY, "picture"},
		{"picture", "\t", B_SHIFT_KEY | B_CONTROL_KEY, "lines"},
		{"read-only", "\t", B_SHIFT_KEY, "editable"},
		// A multi-line editable view types its Tab; Ctrl+Tab leaves it either way.
		{"lines", "\t", 0, "lines"},
		{"lines", "\t", B_CONTROL_KEY | B_SHIFT_KEY, "read-only"},
		// A one-line editable view does not type a tab: Tab moves on.
		{"editable", "\t", B_SHIFT_KEY, "first"},
		{"editable", "\t", B_CONTROL_KEY, "read-only"},
		// Other keys do not move the focus.
		{"first", "x", 0, "first"},
		{"picture", "\x1c", 0, "picture"},
	};
	for (const auto& c : kCases) {
		SCOPED_TRACE(std::string(c.from) + " + " + (c.modifiers ? "mod " : "") + c.key);
		if (BView* from = ByName(c.from))
			from->MakeFocus(true);
		else if (fWindow->CurrentFocus() != nullptr)
			fWindow->CurrentFocus()->MakeFocus(false);
		Key(c.key, c.modifiers);
		EXPECT_STREQ(c.to, FocusName());
	}
	EXPECT_STREQ("\t", fMultiLine->Text());
}

TEST_F(NavigationTest, TheOrderFollowsViewsShownEnabledOrMadeSelectableLater)
{
	Show();
	fFirst->MakeFocus(true);
	fHidden->Show();
	fDisabled->SetEnabled(true);
	fInert->MakeSelectable(true);
	fMultiLine->Hide();
	std::vector<std::string> order;
	for (int32 i = 0; i < 8; i++) {
		Key("\t", B_CONTROL_KEY);
		order.push_back(FocusName());
	}
	EXPECT_EQ(order,
		(std::vector<std::string>{"editable", "read-only", "inert", "disabled", "hidden", "picture",
			"first", "editable"}));
}

TEST_F(NavigationTest, AWindowWithNothingToFocusIgnoresTab)
{
	BWindow* bare = new BWindow(BRect(500, 100, 599, 199), "bare", B_TITLED_WINDOW, 0);
	bare->AddChild(new BView(BRect(0, 0, 99, 99), "only", B_FOLLOW_NONE, 0));
	bare->Show();
	EventLoop::Drain();
	fBackend->InjectKey(HeadlessBackend::IdOf(bare), "\t");
	EventLoop::Drain();
	EXPECT_EQ(nullptr, bare->CurrentFocus());
	bare->Quit();
	EventLoop::Drain();
}

TEST_F(NavigationTest, TextReachedByTabIsSelectedWholeAndCopiesWithCtrlC)
{
	Show();
	fEditable->MakeFocus(true);
	fEditable->Select(2, 2);
	Key("\t");
	ASSERT_EQ(fReadOnly, fWindow->CurrentFocus());
	int32 start = -1;
	int32 end = -1;
	fReadOnly->GetSelection(&start, &end);
	EXPECT_EQ(0, start);
	EXPECT_EQ(6, end);
	Key("c", B_CONTROL_KEY);
	EXPECT_EQ("result", fBackend->ClipboardText());
	// Selecting it offers nothing to other programs: only the user's own selections do.
	EXPECT_EQ("", fBackend->PrimaryText());
	// Read-only text stays as it is whatever is typed at it.
	Key("x");
	Key("\x08");
	EXPECT_STREQ("result", fReadOnly->Text());
}

TEST_F(NavigationTest, KeysAFocusedButtonDoesNotUseGoToItsParent)
{
	Show();
	fFirst->MakeFocus(true);
	Key("7");
	Key("+");
	Key(" ");
	EXPECT_EQ("7+", fPanel->keys);
}

TEST_F(NavigationTest, ShiftF10AndTheMenuKeyAskForAContextMenuAtTheFocusOrTheCentre)
{
	Show();
	const char function[] = {B_FUNCTION_KEY, 0};
	fFirst->MakeFocus(true);
	Key(function, B_SHIFT_KEY, B_F10_KEY);
	// F10 alone and other function keys are no request.
	Key(function, 0, B_F10_KEY);
	Key(function, B_SHIFT_KEY, B_F9_KEY);
	fFirst->MakeFocus(false);
	Key(function, 0, B_MENU_KEY);
	// The focus view's centre (10..69, 10..29 in the window at 100, 100), then the window's.
	EXPECT_EQ(fPanel->menuAt, (std::vector<BPoint>{BPoint(139, 119), BPoint(249, 199)}));
	// The two requests reach no view; the other function keys are keys like any other.
	EXPECT_EQ(std::string(2, B_FUNCTION_KEY), fPanel->keys);
}

TEST_F(NavigationTest, PictureButtonShowsItsMarkOnlyWhenFocusedByKeyboardInTheActiveWindow)
{
	Show();
	rgb_color mark = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
	auto corner = [&] { return fBackend->PixelAt(fWindow, 240, 160); };
	auto inside = [&] { return fBackend->PixelAt(fWindow, 241, 161); };
	EXPECT_EQ(make_color(0, 0, 200), corner());

	// Focused by the program: no mark.
	fPicture->MakeFocus(true);
	EventLoop::Drain();
	EXPECT_EQ(make_color(0, 0, 200), corner());

	fFirst->MakeFocus(true);
	Key("\t", B_SHIFT_KEY);
	ASSERT_EQ(fPicture, fWindow->CurrentFocus());
	EXPECT_EQ(mark, corner());
	EXPECT_EQ(mark, fBackend->PixelAt(fWindow, 257, 183));
	EXPECT_EQ(make_color(0, 0, 200), inside());

	// Pressed by the keyboard it still sends its message; the mark stays.
	Key(" ");
	EXPECT_EQ(mark, corner());

	fBackend->InjectActivation(Id(), false);
	EventLoop::Drain();
	EXPECT_EQ(make_color(0, 0, 200), corner());
	fBackend->InjectActivation(Id(), true);
	EventLoop::Drain();
	EXPECT_EQ(mark, corner());

	// A focus set by the program takes the mark away again.
	fFirst->MakeFocus(true);
	fPicture->MakeFocus(true);
	EventLoop::Drain();
	EXPECT_EQ(make_color(0, 0, 200), corner());
}
