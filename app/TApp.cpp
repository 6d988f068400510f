#include "TApp.h"

#include <cstdio>

#include "AboutTexts.h"
#include "Alert.h"
#include "AppDefs.h"
#include "TMainWindow.h"

const char* const app_sign = "application/x-vnd.QXT-KamboLux";

namespace {

// Screen coordinates; a content area of 207 x 113 pixels.
const BRect kMainWindowFrame(100, 100, 306, 212);

} // namespace

TApp::TApp() : BApplication(app_sign)
{
}

void
TApp::ReadyToRun()
{
	fMainWindow = new TMainWindow(kMainWindowFrame);
	fMainWindow->Show();
	// Without its window the program can do nothing; it ends as a quit would, saving.
	if (fMainWindow->InitCheck() != B_OK) {
		fprintf(stderr, "kambolux: the window system refused to open the window\n");
		PostMessage(B_QUIT_REQUESTED);
	}
}

void
TApp::AboutRequested()
{
	BAlert* alert = new BAlert("Info", kShortAboutText, "OK", nullptr, nullptr, B_WIDTH_AS_USUAL,
		B_OFFSET_SPACING, B_INFO_ALERT);
	alert->SetFeel(B_FLOATING_ALL_WINDOW_FEEL);
	// Only a message with nothing to decide: Escape closes it as OK does.
	alert->SetShortcut(0, B_ESCAPE);
	// Deletes itself when dismissed.
	alert->Go();
}
