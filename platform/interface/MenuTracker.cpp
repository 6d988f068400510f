#include "MenuWindow.h"

#include <algorithm>

#include "AccessibleKit.h"
#include "AppDefs.h"
#include "Application.h"
#include "Backend.h"
#include "EventLoop.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Screen.h"
#include "WindowPrivate.h"

namespace BPrivate {

namespace {

// A release this soon after opening, before the pointer went over any item, was a click:
// the menu stays open for a second click.
const bigtime_t kStickyClickTime = 300000;

std::vector<MenuTracker*>&
Trackers()
{
	static std::vector<MenuTracker*> trackers;
	return trackers;
}

bool
IsSelectable(const BMenuItem* item)
{
	return item != nullptr && !item->IsSeparator() && item->IsEnabled();
}

} // namespace

MenuTracker::MenuTracker(BMenu* root) : fRoot(root)
{
	Trackers().push_back(this);
}

MenuTracker::~MenuTracker()
{
	_CloseAll();
	auto& trackers = Trackers();
	trackers.erase(std::remove(trackers.begin(), trackers.end(), this), trackers.end());
	if (trackers.empty())
		NotifyMenuClosed();
}

MenuTracker*
MenuTracker::Current()
{
	auto& trackers = Trackers();
	return trackers.empty() ? nullptr : trackers.back();
}

MenuTracker*
MenuTracker::ForRoot(const BMenu* root)
{
	for (MenuTracker* tracker : Trackers()) {
		if (tracker->fRoot == root)
			return tracker;
	}
	return nullptr;
}

void
MenuTracker::WindowDeleted(MenuWindow* window)
{
	for (size_t i = 0; i < fLevels.size(); i++) {
		if (fLevels[i].window != window)
			continue;
		// Whatever lies deeper cannot stay without its parent level.
		std::vector<Level> deeper(fLevels.begin() + i + 1, fLevels.end());
		fLevels.resize(i);
		for (Level& level : deeper)
			level.window->Close();
		break;
	}
	Cancel();
}

void
MenuTracker::Open(BPoint screenWhere)
{
	Backend* backend = CurrentBackend();
	// Opened from a mouse-down, the button is still held: its release may choose at once.
	fPressed = backend->MouseButtons() != 0;
	fLastPolled = backend->MouseLocation();
	fLastPolledButtons = backend->MouseButtons();
	fOpenTime = system_time_us();
	BRect frame = PlaceMenu(screenWhere, fRoot->PreferredSize(), BScreen().Frame());
	_OpenLevel(fRoot, frame);
}

BMenu*
MenuTracker::Innermost() const
{
	return fLevels.empty() ? nullptr : fLevels.back().menu;
}

void
MenuTracker::_OpenLevel(BMenu* menu, BRect frame)
{
	menu->SetHighlightedIndex(-1);
	MenuWindow* window = new MenuWindow(menu, frame, this);
	// A submenu belongs to the level that opened it, the first level to the window whose
	// Go showed it.
	const BWindow* owner = fLevels.empty() ? dynamic_cast<const BWindow*>(PopUpCaller(fRoot))
										   : fLevels.back().window;
	WindowAccess::SetOwner(window, owner);
	fLevels.push_back(Level{menu, window});
	window->Show();
	window->PostMessage(kMenuLevelOpened, window);
}

void
MenuTracker::_OpenSubmenu(int32 level, int32 index, bool selectFirst)
{
	BMenu* menu = fLevels[level].menu;
	BMenuItem* item = menu->ItemAt(index);
	BMenu* submenu = item != nullptr ? item->Submenu() : nullptr;
	if (submenu == nullptr || !IsSelectable(item))
		return;
	if (level + 1 < (int32)fLevels.size() && fLevels[level + 1].menu == submenu)
		return;
	_CloseLevelsAfter(level);
	// Line the submenu's first item up with the item that opens it.
	BRect itemFrame = fLevels[level].window->ItemScreenFrame(index);
	float firstItemTop = submenu->CountItems() > 0 ? submenu->ItemFrame(0).top : 0;
	BRect frame = PlaceSubmenu(fLevels[level].window->Frame(), itemFrame.top - firstItemTop,
		submenu->PreferredSize(), BScreen().Frame());
	_OpenLevel(submenu, frame);
	if (selectFirst) {
		submenu->SetHighlightedIndex(-1);
		_MoveHighlight(1);
	}
}

void
MenuTracker::_CloseLevelsAfter(int32 level)
{
	while ((int32)fLevels.size() > level + 1) {
		Level last = fLevels.back();
		fLevels.pop_back();
		last.window->Close();
	}
}

void
MenuTracker::_CloseAll()
{
	_CloseLevelsAfter(-1);
}

int32
MenuTracker::_LevelAt(BPoint screen, int32* index) const
{
	*index = -1;
	for (int32 level = (int32)fLevels.size() - 1; level >= 0; level--) {
		const Level& entry = fLevels[level];
		if (!entry.window->Frame().Contains(screen))
			continue;
		*index = entry.window->ItemIndexAt(screen);
		return level;
	}
	return -1;
}

void
MenuTracker::_Hover(BPoint screen, bool scroll)
{
	int32 index;
	int32 level = _LevelAt(screen, &index);
	if (level < 0) {
		// Off the menus: the path to an open submenu stays lit, the deepest level does not.
		if (!fLevels.empty())
			fLevels.back().menu->SetHighlightedIndex(-1);
		return;
	}
	if ((scroll && _Scroll(level, screen)) || index < 0)
		return;
	fMovedOverItem = true;
	BMenu* menu = fLevels[level].menu;
	BMenuItem* item = menu->ItemAt(index);
	if (!IsSelectable(item)) {
		menu->SetHighlightedIndex(-1);
		_CloseLevelsAfter(level);
		return;
	}
	menu->SetHighlightedIndex(index);
	if (item->Submenu() != nullptr)
		_OpenSubmenu(level, index, false);
	else
		_CloseLevelsAfter(level);
}

bool
MenuTracker::_Scroll(int32 level, BPoint screen)
{
	// Each move and press over an arrow area moves the list by an item; what the item that
	// opened a submenu was is then elsewhere, so the submenu goes.
	MenuWindow* window = fLevels[level].window;
	int32 direction = window->ScrollerAt(screen);
	if (direction == 0)
		return false;
	fLevels[level].menu->SetHighlightedIndex(-1);
	_CloseLevelsAfter(level);
	window->ScrollBy(direction);
	return true;
}

void
MenuTracker::MouseDown(BPoint screen)
{
	if (fDone)
		return;
	int32 index;
	if (_LevelAt(screen, &index) < 0) {
		Cancel();
		return;
	}
	fPressed = true;
	_Hover(screen, true);
}

void
MenuTracker::MouseMoved(BPoint screen)
{
	if (!fDone)
		_Hover(screen, true);
}

void
MenuTracker::MouseUp(BPoint screen)
{
	if (fDone || !fPressed)
		return;
	fPressed = false;
	// Only moves and presses scroll: a click on an arrow area moves the list once.
	_Hover(screen, false);
	int32 index;
	int32 level = _LevelAt(screen, &index);
	_Release(level, index);
}

void
MenuTracker::_Release(int32 level, int32 index)
{
	bool firstRelease = fFirstRelease;
	fFirstRelease = false;
	if (level >= 0 && index >= 0) {
		BMenuItem* item = fLevels[level].menu->ItemAt(index);
		// Separators and disabled items choose nothing; a submenu item opened its submenu.
		if (IsSelectable(item) && item->Submenu() == nullptr)
			_Finish(item);
		return;
	}
	if (level >= 0)
		return;
	bool sticky = !fMovedOverItem && system_time_us() - fOpenTime < kStickyClickTime;
	if (firstRelease && sticky)
		return;
	Cancel();
}

bool
MenuTracker::Choose(BMenuItem* item)
{
	if (fDone || item == nullptr)
		return false;
	// An item of a closed submenu is reached the way a user would: through its superitems.
	std::vector<BMenuItem*> path = {item};
	while (_LevelOf(path.front()->Menu()) < 0) {
		BMenuItem* superitem = path.front()->Menu() != nullptr ? path.front()->Menu()->Superitem()
															   : nullptr;
		if (superitem == nullptr)
			return false;
		path.insert(path.begin(), superitem);
	}
	for (BMenuItem* step : path) {
		int32 level = _LevelOf(step->Menu());
		int32 index = step->Menu()->IndexOf(step);
		if (level < 0 || !IsSelectable(step))
			return false;
		fLevels[level].menu->SetHighlightedIndex(index);
		fLevels[level].window->ScrollToItem(index);
		if (step->Submenu() != nullptr) {
			_OpenSubmenu(level, index, false);
			continue;
		}
		_CloseLevelsAfter(level);
		_Finish(step);
		return true;
	}
	return false;
}

int32
MenuTracker::_LevelOf(const BMenu* menu) const
{
	for (int32 level = 0; level < (int32)fLevels.size(); level++) {
		if (fLevels[level].menu == menu)
			return level;
	}
	return -1;
}

void
MenuTracker::KeyDown(const char* bytes)
{
	if (fDone || bytes == nullptr || bytes[0] == '\0' || bytes[1] != '\0' || fLevels.empty())
		return;
	int32 level = (int32)fLevels.size() - 1;
	BMenu* menu = fLevels[level].menu;
	BMenuItem* item = menu->ItemAt(menu->HighlightedIndex());
	switch (bytes[0]) {
		case B_ESCAPE:
			Cancel();
			break;
		case B_DOWN_ARROW:
			_MoveHighlight(1);
			break;
		case B_UP_ARROW:
			_MoveHighlight(-1);
			break;
		case B_RIGHT_ARROW:
			if (item != nullptr && item->Submenu() != nullptr)
				_OpenSubmenu(level, menu->HighlightedIndex(), true);
			break;
		case B_LEFT_ARROW:
			if (level > 0)
				_CloseLevelsAfter(level - 1);
			break;
		case B_ENTER:
		case B_SPACE:
			if (!IsSelectable(item))
				break;
			if (item->Submenu() != nullptr)
				_OpenSubmenu(level, menu->HighlightedIndex(), true);
			else
				_Finish(item);
			break;
		default:
			break;
	}
}

void
MenuTracker::_MoveHighlight(int32 direction)
{
	BMenu* menu = Innermost();
	int32 count = menu->CountItems();
	if (count == 0)
		return;
	int32 index = menu->HighlightedIndex();
	if (index < 0)
		index = direction > 0 ? -1 : count;
	for (int32 step = 0; step < count; step++) {
		index = (index + direction + count) % count;
		if (IsSelectable(menu->ItemAt(index))) {
			menu->SetHighlightedIndex(index);
			fLevels.back().window->ScrollToItem(index);
			return;
		}
	}
}

void
MenuTracker::Poll()
{
	// The headless backend delivers every event to the window it names; a real pointer
	// may be pressed or released over a window that waits for this menu, where the event
	// would only queue. Watch the backend's own state as well.
	Backend* backend = CurrentBackend();
	if (fDone || backend->IsHeadless())
		return;
	BPoint where = backend->MouseLocation();
	uint32 buttons = backend->MouseButtons();
	bool moved = where != fLastPolled;
	bool pressed = buttons != 0 && fLastPolledButtons == 0;
	bool released = buttons == 0 && fLastPolledButtons != 0;
	fLastPolled = where;
	fLastPolledButtons = buttons;
	if (moved)
		MouseMoved(where);
	if (pressed && !fPressed)
		MouseDown(where);
	if (released && fPressed && !fDone)
		MouseUp(where);
}

void
MenuTracker::Cancel()
{
	_Finish(nullptr);
}

void
MenuTracker::_Finish(BMenuItem* chosen)
{
	if (fDone)
		return;
	fDone = true;
	fChosen = chosen;
}

} // namespace BPrivate
