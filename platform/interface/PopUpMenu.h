// BPopUpMenu: a menu shown at a screen point. Go tracks it synchronously: press-drag-release
// chooses, a quick click leaves it open until the next click, submenus cascade, disabled
// items and separators choose nothing, Escape or a click outside closes it, arrows and Enter
// work from the keyboard. The caller's looper waits meanwhile; other windows keep running.
#pragma once

#include "Menu.h"

class BPopUpMenu : public BMenu {
public:
	BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
		menu_layout layout = B_ITEMS_IN_COLUMN);
	~BPopUpMenu() override;

	// Returns the chosen item (owned by the menu) or null. With deliversMessage the chosen
	// item's message is posted to its target; it is handled after the caller returns.
	BMenuItem* Go(BPoint screenWhere, bool deliversMessage = false);
};

namespace BPrivate {
// The innermost menu being tracked (the deepest open submenu first), or null. For the
// headless tests: inspect it, then choose with ChooseTrackedItem or close it.
BMenu* TrackedMenu();
// Chooses the item as a release over it would (disabled items and separators choose
// nothing and leave the menu open). Returns whether the menu closed with that choice.
bool ChooseTrackedItem(BMenuItem* item);
void CloseTrackedMenu();
} // namespace BPrivate
