#include "TMainWindow.h"

#include "AboutTexts.h"
#include "AccessibleNames.h"
#include "AppDefs.h"
#include "Application.h"
#include "CalcWnd.h"
#include "InterfaceDefs.h"
#include "Message.h"
#include "Messages.h"
#include "Preferences.h"
#include "Screen.h"
#include "SettingsKeys.h"
#include "TAboutWindow.h"
#include "TEdit.h"
#include "TMainView.h"

namespace {

const char* const kTitle = "ZQ Kambo-Lux";
constexpr float kDefaultPosition = 100;
// A saved position must leave this much room to every screen edge.
constexpr float kScreenMargin = 4;

} // namespace

TMainWindow::TMainWindow(BRect frame) :
	BWindow(frame, kTitle, B_TITLED_WINDOW, B_NOT_RESIZABLE | B_NOT_ZOOMABLE, B_CURRENT_WORKSPACE)
{
	TPreferences prefs(kSettingsFile);
	float left = prefs.GetFloat(kKeyWindowLeft, kDefaultPosition);
	float top = prefs.GetFloat(kKeyWindowTop, kDefaultPosition);

	// The view sets the window's look ("ohne Titel") as it is attached; the saved position is
	// checked against the frame the window then has. It reads and writes the settings with an
	// object of its own while this one is still open, as it always has.
	fMainView = new TMainView(Bounds());
	AddChild(fMainView);

	// After a change of screen size a saved position may lie off the screen; it is then
	// ignored for this start. The window manager's title bar and border count: a position
	// that keeps only the content on the screen hides the title bar the window is moved by.
	BRect wanted = DecoratorFrame();
	wanted.OffsetBy(left - Frame().left, top - Frame().top);
	wanted.InsetBy(-kScreenMargin, -kScreenMargin);
	if (BScreen(this).Frame().Contains(wanted))
		MoveTo(left, top);
}

TMainWindow::~TMainWindow()
{
	// Saved before the base class deletes the converter view, which saves its own keys on
	// top of the file written here. Where the window system does not tell (Wayland), the
	// position is meaningless: the saved one stays for the next session that has them.
	if (!BScreen(this).CanPlaceWindows())
		return;
	TPreferences prefs(kSettingsFile);
	prefs.SetFloat(kKeyWindowLeft, Frame().left);
	prefs.SetFloat(kKeyWindowTop, Frame().top);
}

void
TMainWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgOpenCalculator:
			OpenCalculator();
			break;
		case B_ABOUT_REQUESTED:
			OpenAbout();
			break;
		default:
			BWindow::MessageReceived(message);
			break;
	}
}

void
TMainWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	// F1, the key for help, opens the about window from wherever the focus is; not while
	// the window waits for a modal one (it is not active then), which would open another.
	const char* bytes = nullptr;
	int32 key = 0;
	if (message->what == B_KEY_DOWN && IsActive() && message->FindString("bytes", &bytes) == B_OK
		&& bytes != nullptr && bytes[0] == B_FUNCTION_KEY && bytes[1] == '\0'
		&& message->FindInt32("key", &key) == B_OK && key == B_F1_KEY) {
		PostMessage(B_ABOUT_REQUESTED, this);
		return;
	}
	BWindow::DispatchMessage(message, handler);
}

bool
TMainWindow::QuitRequested()
{
	// Closing the main window ends the program. When the application is already quitting
	// (it asks its windows first) a second request would only ask again.
	if (be_app != nullptr && !be_app->IsQuitting())
		be_app->PostMessage(B_QUIT_REQUESTED);
	return BWindow::QuitRequested();
}

void
TMainWindow::OpenCalculator()
{
	// Right under the amount field; the pad closes itself on "=" or when it loses activation.
	TEdit* field = fMainView->SourceField();
	BRect fieldFrame = fMainView->ConvertToScreen(field->Frame());
	BPoint corner = fieldFrame.LeftBottom();
	// The pad deletes itself when it quits.
	auto* pad = new CalcWnd(BRect(corner.x, corner.y, corner.x + 104, corner.y + 130), field);
	// Near the bottom of the screen the kit would push the pad up over the field it edits,
	// hiding the number being typed: it opens above the field instead, where there is room.
	BRect screen = BScreen(this).Frame();
	BRect padFrame = pad->DecoratorFrame();
	if (padFrame.bottom > screen.bottom) {
		float rise = padFrame.bottom - fieldFrame.top + 1;
		if (padFrame.top - rise >= screen.top)
			pad->MoveBy(0, -rise);
	}
	pad->SetFeel(B_FLOATING_ALL_WINDOW_FEEL);
	// Its title is an internal one; a reader names it like the button that opened it.
	pad->SetAccessibleName(kCalculatorButtonName);
	pad->Show();
}

void
TMainWindow::OpenAbout()
{
	// Created at the screen's top-left; this puts it 30 pixels right of and below ours.
	TAboutWindow* about = new TAboutWindow(kLongAboutText);
	about->MoveBy(Frame().left + 30, Frame().top + 30);
	about->SetAccessibleName(kAboutButtonName);
	about->Show();
}
