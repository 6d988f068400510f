#include "EventTranslation.h"

#include "AppDefs.h"
#include "Application.h"
#include "Backend.h"
#include "EventLoop.h"
#include "Message.h"
#include "SystemTime.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

namespace {

void
PostEvent(BWindow* window, BMessage& message, const BackendEvent& event)
{
	message.AddInt64("when", system_time_us());
	message.AddInt32("modifiers", (int32)event.modifiers);
	window->PostMessage(&message, window);
}

// The most recently shown pop-up window that is still open.
BWindow*
NewestPopup()
{
	BWindow* newest = nullptr;
	for (BWindow* window : AllWindows()) {
		if (!WindowAccess::IsPopup(window) || window->IsHidden()
			|| WindowAccess::IsQuitting(window))
			continue;
		if (newest == nullptr || WindowAccess::BackendId(window) > WindowAccess::BackendId(newest))
			newest = window;
	}
	return newest;
}

// The event as the message the kit's windows and views expect.
void
PostAsMessage(BWindow* window, const BackendEvent& event)
{
	switch (event.type) {
		case BackendEvent::kKeyDown:
		case BackendEvent::kKeyUp:
		{
			BMessage message(event.type == BackendEvent::kKeyDown ? B_KEY_DOWN : B_KEY_UP);
			message.AddString("bytes", event.bytes);
			message.AddInt32("key", event.rawChar);
			message.AddInt32("raw_char", event.rawChar);
			message.AddInt32("be:key_repeat", event.repeat ? 1 : 0);
			PostEvent(window, message, event);
			break;
		}
		case BackendEvent::kMouseDown:
		case BackendEvent::kMouseUp:
		case BackendEvent::kMouseMoved:
		{
			uint32 what = event.type == BackendEvent::kMouseDown ? B_MOUSE_DOWN
				: event.type == BackendEvent::kMouseUp           ? B_MOUSE_UP
																 : B_MOUSE_MOVED;
			BMessage message(what);
			message.AddPoint("where", event.where);
			message.AddPoint("screen_where", event.screenWhere);
			message.AddInt32("buttons", (int32)event.buttons);
			message.AddInt32("clicks", event.clicks);
			PostEvent(window, message, event);
			break;
		}
		case BackendEvent::kActivated:
		case BackendEvent::kDeactivated:
		{
			BMessage message(B_WINDOW_ACTIVATED);
			message.AddBool("active", event.type == BackendEvent::kActivated);
			window->PostMessage(&message, window);
			break;
		}
		case BackendEvent::kCloseRequested:
			WindowAccess::CloseRequested(window);
			break;
		case BackendEvent::kExposed:
			WindowAccess::Exposed(window);
			break;
		case BackendEvent::kPrimaryText:
		{
			// The view that asked may have gone, or moved to another window, meanwhile.
			BView* view = dynamic_cast<BView*>(BHandler::LookupToken(event.handler));
			if (view == nullptr || view->Window() != window)
				break;
			BMessage message(B_PRIMARY_TEXT_ARRIVED);
			message.AddString("text", event.text.c_str());
			window->PostMessage(&message, view);
			break;
		}
		case BackendEvent::kWindowMoved:
			WindowAccess::SetFrameFromBackend(window,
				BRect(event.where.x, event.where.y, event.where.x + window->Frame().Width(),
					event.where.y + window->Frame().Height()));
			break;
		default:
			break;
	}
}

} // namespace

void
TranslateEvent(const BackendEvent& event)
{
	if (event.type == BackendEvent::kQuit) {
		if (be_app != nullptr)
			be_app->PostMessage(B_QUIT_REQUESTED);
		return;
	}
	BWindow* window = WindowAccess::FindByBackendId(event.window);
	if (window == nullptr || WindowAccess::IsQuitting(window))
		return;

	// While a pop-up menu is open it takes the keyboard and every click: the window manager
	// never focuses it, and a click elsewhere must close it rather than reach the blocked
	// window behind.
	BackendEvent routed = event;
	if (event.type == BackendEvent::kKeyDown || event.type == BackendEvent::kKeyUp
		|| event.type == BackendEvent::kMouseDown || event.type == BackendEvent::kMouseUp
		|| event.type == BackendEvent::kMouseMoved) {
		BWindow* popup = NewestPopup();
		if (popup != nullptr && popup != window && !WindowAccess::IsPopup(window)) {
			window = popup;
			routed.where = event.screenWhere - popup->Frame().LeftTop();
		}
	}
	PostAsMessage(window, routed);
}

} // namespace BPrivate
