#include "EventLoop.h"

#include <algorithm>
#include <ctime>

#include "AccessibilityModule.h"
#include "AppDefs.h"
#include "Application.h"
#include "Backend.h"
#include "EventTranslation.h"
#include "LooperPrivate.h"
#include "Message.h"
#include "SystemTime.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

std::vector<BWindow*>
AllWindows()
{
	std::vector<BWindow*> windows;
	for (BLooper* looper : LooperAccess::All()) {
		if (BWindow* window = dynamic_cast<BWindow*>(looper))
			windows.push_back(window);
	}
	return windows;
}

namespace {

struct LoopState {
	int32 nesting = 0;
	std::function<void()> idleHook;
	bigtime_t (*clock)() = nullptr;
	std::vector<DescriptorWatcher*> watchers;
};

LoopState&
State()
{
	static LoopState state;
	return state;
}

// The ready looper whose front message was posted first; blocked loopers wait.
BLooper*
NextReadyLooper()
{
	BLooper* best = nullptr;
	uint64 bestSequence = UINT64_MAX;
	for (BLooper* looper : LooperAccess::All()) {
		if (LooperAccess::IsBlocked(looper) || LooperAccess::IsDeletePending(looper))
			continue;
		uint64 sequence = LooperAccess::FrontSequence(looper);
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
		for (BLooper* looper : LooperAccess::All()) {
			if (looper == be_app || !LooperAccess::IsDeletePending(looper)
				|| LooperAccess::IsDispatching(looper) || LooperAccess::IsBlocked(looper))
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
		LooperAccess::DispatchOne(looper);
		ReapQuitLoopers();
		any = true;
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

// Windows that want pulses: shown, active, with a pulse rate, and a focus view that asks for
// them. Only those make the loop wake up; an idle program without a caret sleeps until the
// next event.
bool
WantsPulse(BWindow* window)
{
	if (window->IsHidden() || !window->IsActive() || WindowAccess::IsQuitting(window)
		|| window->PulseRate() <= 0)
		return false;
	BView* focus = window->CurrentFocus();
	return focus != nullptr && (focus->Flags() & B_PULSE_NEEDED) != 0;
}

// Each window pulses at its own rate, counted from when it started wanting pulses.
bigtime_t
Now()
{
	return State().clock != nullptr ? State().clock() : system_time_us();
}

void
SendPulses()
{
	bigtime_t now = Now();
	for (BWindow* window : AllWindows()) {
		bigtime_t& next = WindowAccess::NextPulse(window);
		if (!WantsPulse(window)) {
			next = 0;
			continue;
		}
		if (next == 0)
			next = now + window->PulseRate();
		else if (now >= next) {
			window->PostMessage(B_PULSE, window);
			next = std::max(next + window->PulseRate(), now);
		}
	}
}

// How long the loop may sleep: until the first pulse due, at most requested (-1: forever).
int32
WaitTimeout(int32 requested)
{
	SendPulses();
	bigtime_t now = Now();
	bigtime_t first = 0;
	for (BWindow* window : AllWindows()) {
		bigtime_t next = WindowAccess::NextPulse(window);
		if (next != 0 && (first == 0 || next < first))
			first = next;
	}
	if (first == 0)
		return requested;
	int32 untilPulse = (int32)std::max<bigtime_t>(0, (first - now + 999) / 1000);
	return requested < 0 ? untilPulse : std::min(requested, untilPulse);
}

bool
IsWatching(DescriptorWatcher* watcher)
{
	const std::vector<DescriptorWatcher*>& watchers = State().watchers;
	return std::find(watchers.begin(), watchers.end(), watcher) != watchers.end();
}

// The backend's wait, with the watchers' descriptors and the shortest time-out any of them
// asks for; each watcher then sees its own descriptors back. Without watchers this is the
// plain wait, so a program without them pays nothing.
bool
Wait(BackendEvent* event, int32 timeoutMs)
{
	Backend* backend = CurrentBackend();
	if (State().watchers.empty())
		return backend->WaitEvent(event, timeoutMs);

	const std::vector<DescriptorWatcher*> watchers = State().watchers;
	std::vector<pollfd> descriptors;
	std::vector<size_t> counts;
	int32 timeout = timeoutMs;
	for (DescriptorWatcher* watcher : watchers) {
		const size_t before = descriptors.size();
		const int32 wanted = watcher->Prepare(&descriptors);
		counts.push_back(descriptors.size() - before);
		if (wanted >= 0 && (timeout < 0 || wanted < timeout))
			timeout = wanted;
	}
	const bool got = backend->WaitEvent(event, timeout, &descriptors);

	size_t offset = 0;
	for (size_t i = 0; i < watchers.size(); i++) {
		std::vector<pollfd> own(descriptors.begin() + offset,
			descriptors.begin() + offset + counts[i]);
		offset += counts[i];
		if (IsWatching(watchers[i]))
			watchers[i]->Dispatch(own);
	}
	return got;
}

} // namespace

void
EventLoop::RunOnce(int32 timeoutMs)
{
	DispatchReady();
	UpdateWindows();

	BackendEvent event;
	if (Wait(&event, WaitTimeout(timeoutMs)))
		TranslateEvent(event);
	TranslatePending();
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
		LooperAccess::Block(blocked);
	state.nesting++;
	bool finished = false;
	Backend* backend = CurrentBackend();

	while (true) {
		if (done()) {
			finished = true;
			break;
		}
		if (be_app != nullptr && be_app->IsQuitting())
			break;

		bool any = TranslatePending();
		any |= DispatchReady();
		UpdateWindows();
		if (done()) {
			finished = true;
			break;
		}

		if (backend->IsHeadless()) {
			if (any)
				continue;
			if (!state.watchers.empty()) {
				BackendEvent event;
				if (Wait(&event, 0))
					TranslateEvent(event);
			}
			// Out of injected input: let the test act, and give up if it does not.
			if (state.idleHook)
				state.idleHook();
			if (!TranslatePending() && NextReadyLooper() == nullptr && !done())
				break;
			continue;
		}

		BackendEvent event;
		if (Wait(&event, WaitTimeout(-1)))
			TranslateEvent(event);
		SendPulses();
	}

	state.nesting--;
	if (blocked != nullptr)
		LooperAccess::Unblock(blocked);
	return finished;
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

void
EventLoop::SetClock(bigtime_t (*clock)())
{
	State().clock = clock;
}

void
EventLoop::AddWatcher(DescriptorWatcher* watcher)
{
	if (watcher != nullptr && !IsWatching(watcher))
		State().watchers.push_back(watcher);
}

void
EventLoop::RemoveWatcher(DescriptorWatcher* watcher)
{
	std::vector<DescriptorWatcher*>& watchers = State().watchers;
	watchers.erase(std::remove(watchers.begin(), watchers.end(), watcher), watchers.end());
}

int32
EventLoop::CountWatchers()
{
	return (int32)State().watchers.size();
}

} // namespace BPrivate
