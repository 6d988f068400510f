#include "PopUpMenu.h"

#include <algorithm>
#include <map>

#include "Application.h"
#include "EventLoop.h"
#include "Looper.h"
#include "LooperPrivate.h"
#include "MenuItem.h"
#include "MenuWindow.h"

using BPrivate::LooperAccess;

namespace {

// The looper that last called Go on each pop-up menu, by token, so that a looper that went
// away is never touched.
std::map<const BMenu*, int32>&
Callers()
{
	static std::map<const BMenu*, int32> callers;
	return callers;
}

} // namespace

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout) :
	BMenu(name, layout)
{
	SetRadioMode(radioMode);
	SetLabelFromMarked(labelFromMarked);
}

BPopUpMenu::~BPopUpMenu()
{
	Callers().erase(this);
}

BMenuItem*
BPopUpMenu::Go(BPoint screenWhere, bool deliversMessage)
{
	using BPrivate::MenuTracker;

	// A menu shows once: a second Go from a handler while it is open gets nothing.
	if (CountItems() == 0 || MenuTracker::ForRoot(this) != nullptr)
		return nullptr;

	BLooper* caller = BPrivate::CallingLooper();
	if (caller != nullptr)
		Callers()[this] = caller->Token();

	BMenuItem* chosen = nullptr;
	{
		MenuTracker tracker(this);
		tracker.Open(screenWhere);
		bool finished = BPrivate::EventLoop::RunNested(caller, [&tracker] {
			tracker.Poll();
			return tracker.IsDone();
		});
		if (finished)
			chosen = tracker.Chosen();
	}
	// Posted, so the caller handles it after it returns from the hook that called Go.
	if (chosen != nullptr && deliversMessage)
		chosen->Invoke();
	return chosen;
}

namespace BPrivate {

// #pragma mark - placement

BRect
PlaceMenu(BPoint where, BPoint size, BRect screen)
{
	// What does not fit on the screen is cut off rather than drawn into a giant window.
	size.x = std::min(size.x, screen.Width());
	size.y = std::min(size.y, screen.Height());
	float left = where.x;
	float top = where.y;
	if (left + size.x > screen.right)
		left = where.x - size.x;
	if (top + size.y > screen.bottom)
		top = where.y - size.y;
	left = std::max(screen.left, std::min(left, screen.right - size.x));
	top = std::max(screen.top, std::min(top, screen.bottom - size.y));
	return BRect(left, top, left + size.x, top + size.y);
}

BRect
PlaceSubmenu(BRect parentFrame, float top, BPoint size, BRect screen)
{
	size.x = std::min(size.x, screen.Width());
	size.y = std::min(size.y, screen.Height());
	float left = parentFrame.right + 1;
	if (left + size.x > screen.right)
		left = parentFrame.left - 1 - size.x;
	left = std::max(screen.left, std::min(left, screen.right - size.x));
	top = std::max(screen.top, std::min(top, screen.bottom - size.y));
	return BRect(left, top, left + size.x, top + size.y);
}

// #pragma mark - callers

BLooper*
CallingLooper()
{
	for (BLooper* looper : LooperAccess::All()) {
		if (LooperAccess::IsDispatching(looper) && !LooperAccess::IsBlocked(looper))
			return looper;
	}
	return be_app;
}

BLooper*
PopUpCaller(const BMenu* root)
{
	auto found = Callers().find(root);
	if (found == Callers().end())
		return nullptr;
	return dynamic_cast<BLooper*>(BHandler::LookupToken(found->second));
}

// #pragma mark - headless access

BMenu*
TrackedMenu()
{
	MenuTracker* tracker = MenuTracker::Current();
	return tracker != nullptr && !tracker->IsDone() ? tracker->Innermost() : nullptr;
}

bool
ChooseTrackedItem(BMenuItem* item)
{
	MenuTracker* tracker = MenuTracker::Current();
	return tracker != nullptr && tracker->Choose(item);
}

void
CloseTrackedMenu()
{
	if (MenuTracker* tracker = MenuTracker::Current())
		tracker->Cancel();
}

} // namespace BPrivate
