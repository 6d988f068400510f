#include "TAboutWindow.h"

#include "AppDefs.h"
#include "Button.h"
#include "InterfaceDefs.h"
#include "Message.h"
#include "TAboutView.h"
#include "TPicView.h"

TAboutWindow::TAboutWindow(const char* text) :
	BWindow(BRect(0, 0, 310, 200), "About", B_MODAL_WINDOW, B_NOT_RESIZABLE, B_CURRENT_WORKSPACE)
{
	BRect r = Bounds();
	TPicView* picture = new TPicView(r);
	AddChild(picture);

	// 60 x 20, centred, its bottom edge 10 pixels above the window's.
	float mid = (r.right - r.left) * 0.5f;
	BRect buttonFrame(mid - 30, r.bottom - 30, mid + 30, r.bottom - 10);
	BButton* ok = new BButton(buttonFrame, "", "OK", new BMessage(kAboutOK), B_FOLLOW_BOTTOM,
		B_WILL_DRAW | B_NAVIGABLE);
	picture->AddChild(ok);
	ok->MakeDefault(true);

	// Leaves the 55 pixels at the left to the band and the icon, and ends above the button.
	BRect t = picture->Bounds();
	BRect textFrame(t.left + 55, t.top + 10, t.right - 10, t.bottom - 38);
	picture->AddChild(new TAboutView(textFrame, text));
}

TAboutWindow::~TAboutWindow() = default;

void
TAboutWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	// The window has no title bar and so no close button: Escape closes it, as it does any
	// dialog, whichever of its views has the focus.
	const char* bytes = nullptr;
	if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK
		&& bytes != nullptr && bytes[0] == B_ESCAPE && bytes[1] == '\0') {
		PostMessage(kAboutOK);
		return;
	}
	BWindow::DispatchMessage(message, handler);
}

void
TAboutWindow::MessageReceived(BMessage* message)
{
	if (message->what == kAboutOK) {
		Quit();
		return;
	}
	BWindow::MessageReceived(message);
}
