#include "Application.h"

#include <algorithm>
#include <ctime>

#include "AppDefs.h"
#include "Backend.h"
#include "Message.h"
#include "Resources.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

BApplication* be_app = nullptr;

namespace BPrivate {

bigtime_t
system_time_us()
{
	timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

namespace {

struct LoopState {
	int32 nesting = 0;
	bool abandon = false;
	std::function<void()> idleHook;
	bigtime_t nextPulse = 0;
};

LoopState&
State()
{
	static LoopState state;
	return state;
}

std::vector<BWindow*>
AllWindows()
{
	std::vector<BWindow*> windows;
	for (BLooper* looper : BPrivateLooperAccess::All()) {
		if (BWindow* window = dynamic_cast<BWindow*>(looper))
			windows.push_back(window);
	}
	return windows;
}

void
PostEvent(BWindow* window, BMessage& message, const BackendEvent& event)
{
	message.AddInt64("when", system_time_us());
	message.AddInt32("modifiers", (int32)event.modifiers);
	window->PostMessage(&message, window);
}

void _TranslateFor(BWindow* window, const BackendEvent& event);

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
	_TranslateFor(window, routed);
}

void
_TranslateFor(BWindow* window, const BackendEvent& event)
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
				: event.type == BackendEvent::kMouseUp ? B_MOUSE_UP : B_MOUSE_MOVED;
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
			WindowAccess::SetFrameFromBackend(window, BRect(event.where.x, event.where.y,
				event.where.x + window->Frame().Width(),
				event.where.y + window->Frame().Height()));
			break;
		default:
			break;
	}
}

// The ready looper whose front message was posted first; blocked loopers wait.
BLooper*
NextReadyLooper()
{
	BLooper* best = nullptr;
	uint64 bestSequence = UINT64_MAX;
	for (BLooper* looper : BPrivateLooperAccess::All()) {
		if (BPrivateLooperAccess::IsBlocked(looper)
			|| BPrivateLooperAccess::IsDeletePending(looper))
			continue;
		uint64 sequence = BPrivateLooperAccess::FrontSequence(looper);
		if (sequence < bestSequence) {
			bestSequence = sequence;
			best = looper;
		}
	}
	return best;
}

void
ReapQuitLoopers()
{
	bool again = true;
	while (again) {
		again = false;
		for (BLooper* looper : BPrivateLooperAccess::All()) {
			if (looper == be_app || !BPrivateLooperAccess::IsDeletePending(looper)
				|| BPrivateLooperAccess::IsDispatching(looper)
				|| BPrivateLooperAccess::IsBlocked(looper))
				continue;
			delete looper;
			again = true;
			break;
		}
	}
}

bool
DispatchReady()
{
	bool any = false;
	while (BLooper* looper = NextReadyLooper()) {
		BPrivateLooperAccess::DispatchOne(looper);
		ReapQuitLoopers();
		any = true;
		if (State().abandon)
			break;
	}
	ReapQuitLoopers();
	return any;
}

void
UpdateWindows()
{
	for (BWindow* window : AllWindows())
		WindowAccess::Update(window);
}

bool
TranslatePending()
{
	Backend* backend = CurrentBackend();
	BackendEvent event;
	bool any = false;
	while (backend->WaitEvent(&event, 0)) {
		TranslateEvent(event);
		any = true;
	}
	return any;
}

// Windows that want pulses: shown, active, with a focus view that asks for them. Only those
// make the loop wake up; an idle program without a caret sleeps until the next event.
bool
PulseWanted()
{
	for (BWindow* window : AllWindows()) {
		if (window->IsHidden() || !window->IsActive() || WindowAccess::IsQuitting(window))
			continue;
		BView* focus = window->CurrentFocus();
		if (focus != nullptr && (focus->Flags() & B_PULSE_NEEDED) != 0)
			return true;
	}
	return false;
}

void
SendPulses()
{
	LoopState& state = State();
	bigtime_t now = system_time_us();
	if (now < state.nextPulse)
		return;
	state.nextPulse = now + 500000;
	for (BWindow* window : AllWindows()) {
		if (window->IsHidden() || !window->IsActive() || WindowAccess::IsQuitting(window))
			continue;
		BView* focus = window->CurrentFocus();
		if (focus != nullptr && (focus->Flags() & B_PULSE_NEEDED) != 0)
			window->PostMessage(B_PULSE, window);
	}
}

int32
WaitTimeout(int32 requested)
{
	if (!PulseWanted())
		return requested;
	bigtime_t now = system_time_us();
	LoopState& state = State();
	if (state.nextPulse == 0)
		state.nextPulse = now + 500000;
	int32 untilPulse = (int32)std::max<bigtime_t>(0, (state.nextPulse - now + 999) / 1000);
	return requested < 0 ? untilPulse : std::min(requested, untilPulse);
}

} // namespace

void
EventLoop::RunOnce(int32 timeoutMs)
{
	DispatchReady();
	UpdateWindows();

	Backend* backend = CurrentBackend();
	BackendEvent event;
	if (backend->WaitEvent(&event, WaitTimeout(timeoutMs)))
		TranslateEvent(event);
	TranslatePending();
	if (PulseWanted())
		SendPulses();

	DispatchReady();
	UpdateWindows();
}

void
EventLoop::Drain()
{
	for (int32 rounds = 0; rounds < 100000; rounds++) {
		bool any = TranslatePending();
		any |= DispatchReady();
		UpdateWindows();
		if (!any)
			break;
	}
}

bool
EventLoop::RunNested(BLooper* blocked, const std::function<bool()>& done)
{
	LoopState& state = State();
	if (blocked != nullptr)
		BPrivateLooperAccess::Block(blocked);
	state.nesting++;
	bool finished = false;
	Backend* backend = CurrentBackend();

	while (true) {
		if (done()) {
			finished = true;
			break;
		}
		if (state.abandon || (be_app != nullptr && be_app->IsQuitting()))
			break;

		bool any = TranslatePending();
		any |= DispatchReady();
		UpdateWindows();
		if (done()) {
			finished = true;
			break;
		}
		if (state.abandon)
			break;

		if (backend->IsHeadless()) {
			if (any)
				continue;
			// Out of injected input: let the test act, and give up if it does not.
			if (state.idleHook)
				state.idleHook();
			if (!TranslatePending() && NextReadyLooper() == nullptr && !done())
				break;
			continue;
		}

		BackendEvent event;
		if (backend->WaitEvent(&event, WaitTimeout(-1)))
			TranslateEvent(event);
		if (PulseWanted())
			SendPulses();
	}

	state.abandon = false;
	state.nesting--;
	if (blocked != nullptr)
		BPrivateLooperAccess::Unblock(blocked);
	return finished;
}

void
EventLoop::AbandonNested()
{
	if (State().nesting > 0)
		State().abandon = true;
}

int32
EventLoop::NestingDepth()
{
	return State().nesting;
}

void
EventLoop::SetIdleHook(std::function<void()> hook)
{
	State().idleHook = std::move(hook);
}

} // namespace BPrivate

using BPrivate::EventLoop;

BApplication::BApplication(const char* signature)
	:
	BLooper("application"),
	fSignature(signature ? signature : "")
{
	be_app = this;
}

BApplication::~BApplication()
{
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
		PostMessage(B_READY_TO_RUN, this);
	}
	while (!fQuitting)
		EventLoop::RunOnce(-1);

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
