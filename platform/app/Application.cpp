#include "Application.h"

#include <algorithm>
#include <ctime>

#include "AccessibilityLoader.h"
#include "AppDefs.h"
#include "Backend.h"
#include "EventLoop.h"
#include "FontCache.h"
#include "Message.h"
#include "Resources.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

BApplication* be_app = nullptr;

using BPrivate::EventLoop;

namespace {

// Work the start must not wait for, taken once the user sees the program: the fonts the first
// frame resolved are kept for the next start, the backend finishes its set-up (input method,
// shared memory, frame extents; the Compose table), and the screen reader's bus is asked.
void
AfterFirstFrame()
{
	BPrivate::SaveResolvedFonts();
	BPrivate::CurrentBackend()->AfterFirstFrame();
	BPrivate::AccessibilityLoader::Begin();
}

} // namespace

BApplication::BApplication(const char* signature) :
	BLooper("application"),
	fSignature(signature ? signature : "")
{
	be_app = this;
}

BApplication::~BApplication()
{
	BPrivate::AccessibilityLoader::Shutdown();
	// Windows still around belong to this application; they go with it.
	for (BWindow* window : BPrivate::AllWindows())
		delete window;
	if (be_app == this)
		be_app = nullptr;
}

int32
BApplication::Run()
{
	if (!fReadyToRunSent) {
		fReadyToRunSent = true;
		// Connected before ReadyToRun builds the first window, as an application is to its
		// server on the platform: what the window measures while it is built (the fonts an
		// earlier start or the installation kept) comes with the connection.
		BPrivate::CurrentBackend();
		PostMessage(B_READY_TO_RUN, this);
	}
	bool firstFrameShown = false;
	while (!fQuitting) {
		EventLoop::RunOnce(-1);
		if (fQuitting)
			break;
		if (!firstFrameShown && BPrivate::CurrentBackend()->FrameShown()) {
			firstFrameShown = true;
			AfterFirstFrame();
		} else if (firstFrameShown) {
			// What windows opened later (dialogs, menus) made fontconfig resolve, kept for
			// the next start; nothing to write most of the time.
			BPrivate::SaveResolvedFonts();
		}
	}

	// The module leaves the bus while the windows it describes are still there.
	BPrivate::AccessibilityLoader::Shutdown();
	for (BWindow* window : BPrivate::AllWindows()) {
		window->Lock();
		delete window;
	}
	return 0;
}

void
BApplication::Quit()
{
	fQuitting = true;
	if (BPrivate::HasBackend())
		BPrivate::CurrentBackend()->Wake();
}

bool
BApplication::QuitRequested()
{
	for (BWindow* window : BPrivate::AllWindows()) {
		if (BPrivate::WindowAccess::IsQuitting(window))
			continue;
		if (!window->QuitRequested())
			return false;
	}
	return true;
}

void
BApplication::ReadyToRun()
{
}

void
BApplication::AboutRequested()
{
}

void
BApplication::Pulse()
{
}

void
BApplication::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void
BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (handler == this) {
		switch (message->what) {
			case B_READY_TO_RUN:
				fReadyToRunSent = true;
				ReadyToRun();
				return;
			case B_ABOUT_REQUESTED:
				AboutRequested();
				return;
			case B_QUIT_REQUESTED:
				// Windows asked to quit may ask again; once is enough.
				if (!fQuitting && QuitRequested())
					Quit();
				return;
			case B_PULSE:
				Pulse();
				return;
			default:
				break;
		}
	}
	BLooper::DispatchMessage(message, handler);
}

int32
BApplication::CountWindows() const
{
	int32 count = 0;
	for (BWindow* window : BPrivate::AllWindows()) {
		if (!BPrivate::WindowAccess::IsQuitting(window))
			count++;
	}
	return count;
}

BWindow*
BApplication::WindowAt(int32 index) const
{
	for (BWindow* window : BPrivate::AllWindows()) {
		if (BPrivate::WindowAccess::IsQuitting(window))
			continue;
		if (index-- == 0)
			return window;
	}
	return nullptr;
}

BResources*
BApplication::AppResources()
{
	static BResources resources;
	return &resources;
}
