#include "Window.h"

#include <cstring>

#include "AccessibleKit.h"
#include "AppDefs.h"
#include "Application.h"
#include "Button.h"
#include "LooperPrivate.h"
#include "Message.h"
#include "View.h"
#include "WindowPrivate.h"

namespace {

void
ForEachView(BView* view, void (*function)(BView*, void*), void* data)
{
	function(view, data);
	for (int32 i = 0; i < view->CountChildren(); i++)
		ForEachView(view->ChildAt(i), function, data);
}

} // namespace

// #pragma mark - messages

BHandler*
BWindow::PreferredHandler() const
{
	return fFocus;
}

void
BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (fQuitting && message->what != B_QUIT_REQUESTED)
		return;

	if (message->what == BPrivate::kAccessibleAction) {
		BPrivate::RunAccessibleAction(message, handler);
		return;
	}
	if (handler == this) {
		switch (message->what) {
			case B_KEY_DOWN:
				_HandleKeyDown(message);
				return;
			case B_KEY_UP:
				_HandleKeyUp(message);
				return;
			case B_MOUSE_DOWN:
			case B_MOUSE_UP:
			case B_MOUSE_MOVED:
				_HandleMouse(message);
				return;
			case B_WINDOW_ACTIVATED:
			{
				bool active = false;
				if (message->FindBool("active", &active) != B_OK || active == fActive)
					return;
				fActive = active;
				ForEachView(
					fTopView,
					[](BView* view, void* data) {
						view->WindowActivated(*static_cast<bool*>(data));
					},
					&active);
				WindowActivated(active);
				if (BPrivate::Listening())
					BPrivate::NotifyWindowActivated(this, active);
				// The keyboard stays with a modal window: a click on a window it keeps
				// waiting hands the activation straight back.
				if (active) {
					if (BWindow* modal = _BlockingModal())
						modal->Activate();
				}
				return;
			}
			case B_PULSE:
				ForEachView(
					fTopView,
					[](BView* view, void*) {
						if ((view->Flags() & B_PULSE_NEEDED) != 0 && !view->IsHidden())
							view->Pulse();
					},
					nullptr);
				return;
			case B_QUIT_REQUESTED:
				if (QuitRequested())
					Quit();
				return;
			default:
				break;
		}
	}
	handler->MessageReceived(message);
}

void
BWindow::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

BWindow*
BWindow::_BlockingModal() const
{
	if (BPrivate::IsModalFeel(fFeel) || fPopup)
		return nullptr;
	// The newest modal window is the one on top.
	BWindow* modal = nullptr;
	for (BLooper* looper : BPrivate::LooperAccess::All()) {
		BWindow* window = dynamic_cast<BWindow*>(looper);
		if (window != nullptr && window != this && !window->IsHidden() && !window->fQuitting
			&& BPrivate::IsModalFeel(window->fFeel)
			&& (modal == nullptr
				|| BPrivate::WindowAccess::BackendId(window)
					> BPrivate::WindowAccess::BackendId(modal)))
			modal = window;
	}
	return modal;
}

// The key's bytes, or nullptr when it has none or belongs to a modal window: keys typed before
// the window manager gives the modal window its focus back are its.
const char*
BWindow::_KeyBytes(BMessage* message)
{
	if (BWindow* modal = _BlockingModal()) {
		modal->PostMessage(message, modal);
		return nullptr;
	}
	const char* bytes = nullptr;
	if (message->FindString("bytes", &bytes) != B_OK || bytes == nullptr || bytes[0] == '\0')
		return nullptr;
	return bytes;
}

void
BWindow::_HandleKeyUp(BMessage* message)
{
	const char* bytes = _KeyBytes(message);
	if (bytes != nullptr && fFocus != nullptr)
		fFocus->KeyUp(bytes, (int32)strnlen(bytes, 8));
}

void
BWindow::_HandleKeyDown(BMessage* message)
{
	const char* bytes = _KeyBytes(message);
	if (bytes == nullptr)
		return;
	int32 modifiers = 0;
	message->FindInt32("modifiers", &modifiers);
	int32 length = (int32)strnlen(bytes, 8);
	int32 raw = 0;
	message->FindInt32("key", &raw);

	if (_HandleNavigationKey(bytes, (uint32)modifiers, raw))
		return;

	// The platform's built-in shortcuts.
	if ((modifiers & (B_COMMAND_KEY | B_CONTROL_KEY)) != 0) {
		char key = raw != 0 ? (char)raw : bytes[0];
		if (key >= 'A' && key <= 'Z')
			key = key - 'A' + 'a';
		uint32 command = 0;
		switch (key) {
			case 'q':
				if (be_app != nullptr)
					be_app->PostMessage(B_QUIT_REQUESTED);
				return;
			case 'w':
				PostMessage(B_QUIT_REQUESTED, this);
				return;
			case 'c':
				command = B_COPY;
				break;
			case 'x':
				command = B_CUT;
				break;
			case 'v':
				command = B_PASTE;
				break;
			case 'a':
				command = B_SELECT_ALL;
				break;
			case 'z':
				command = B_UNDO;
				break;
			default:
				return;
		}
		if (fFocus != nullptr) {
			BMessage edit(command);
			fFocus->MessageReceived(&edit);
		}
		return;
	}

	if (bytes[0] == B_ENTER && length == 1 && fDefaultButton != nullptr
		&& fDefaultButton->IsEnabled() && !fDefaultButton->IsHidden()) {
		fDefaultButton->Invoke();
		return;
	}

	if (fFocus != nullptr)
		fFocus->KeyDown(bytes, length);
	else
		MessageReceived(message);
}

void
BWindow::_HandleMouse(BMessage* message)
{
	BPoint where;
	if (message->FindPoint("where", &where) != B_OK)
		return;
	int32 buttons = 0;
	message->FindInt32("buttons", &buttons);
	fLastMouse = where;
	fLastButtons = (uint32)buttons;

	if (BWindow* modal = _BlockingModal()) {
		if (message->what == B_MOUSE_DOWN)
			modal->Activate();
		return;
	}

	switch (message->what) {
		case B_MOUSE_DOWN:
		{
			BView* view = FindView(where);
			if (view == nullptr)
				view = fTopView;
			fMouseView = view;
			view->MouseDown(view->ConvertFromWindow(where));
			break;
		}
		case B_MOUSE_UP:
		{
			BView* view = fMouseView != nullptr ? fMouseView : FindView(where);
			if (buttons == 0)
				fMouseView = nullptr;
			if (view != nullptr)
				view->MouseUp(view->ConvertFromWindow(where));
			break;
		}
		case B_MOUSE_MOVED:
		{
			BView* over = FindView(where);
			if (fMouseView != nullptr) {
				BPoint local = fMouseView->ConvertFromWindow(where);
				fMouseView->MouseMoved(local,
					fMouseView->Bounds().Contains(local) ? B_INSIDE_VIEW : B_OUTSIDE_VIEW, nullptr);
				fLastMouseOver = over;
				break;
			}
			if (over != fLastMouseOver && fLastMouseOver != nullptr) {
				fLastMouseOver->MouseMoved(fLastMouseOver->ConvertFromWindow(where), B_EXITED_VIEW,
					nullptr);
			}
			if (over != nullptr) {
				over->MouseMoved(over->ConvertFromWindow(where),
					over == fLastMouseOver ? B_INSIDE_VIEW : B_ENTERED_VIEW, nullptr);
			}
			fLastMouseOver = over;
			break;
		}
	}
}
