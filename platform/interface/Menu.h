// BMenu: a list of items shown in a column; items may open submenus. A menu owns its items,
// and an item owns its submenu. Menus are shown by BPopUpMenu::Go, which tracks
// them in pop-up windows of the backend.
#pragma once

#include <string>
#include <vector>

#include "View.h"

class BMenuItem;

enum menu_layout {
	B_ITEMS_IN_ROW = 0,
	B_ITEMS_IN_COLUMN,
	B_ITEMS_IN_MATRIX,
};

class BMenu : public BView {
public:
	explicit BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
	~BMenu() override;

	bool AddItem(BMenuItem* item);
	bool AddItem(BMenuItem* item, int32 index);
	bool AddItem(BMenu* submenu);
	bool AddSeparatorItem();
	int32 CountItems() const { return (int32)fItems.size(); }
	BMenuItem* ItemAt(int32 index) const;
	int32 IndexOf(const BMenuItem* item) const;
	BMenuItem* FindItem(const char* label) const;
	BMenuItem* FindItem(uint32 command) const;
	BMenuItem* FindMarked() const;
	BMenuItem* Superitem() const { return fSuperitem; }
	BMenu* Supermenu() const;

	status_t SetTargetForItems(BHandler* handler);
	// Leaving radio mode also stops the label following the marked item.
	void SetRadioMode(bool flag);
	bool IsRadioMode() const { return fRadioMode; }
	// The superitem shows the marked item's label; turning it on puts the menu in radio mode.
	void SetLabelFromMarked(bool flag);
	bool IsLabelFromMarked() const { return fLabelFromMarked; }
	void SetEnabled(bool enabled) { fEnabled = enabled; }
	bool IsEnabled() const { return fEnabled; }

	accessible_role AccessibleRole() const override;
	uint64 AccessibleStates() const override;
	std::string AccessibleName() const override;

	// Layout and drawing of the item list inside a menu window (kit internal use).
	void Draw(BRect updateRect) override;
	BRect ItemFrame(int32 index) const;
	BPoint PreferredSize() const;
	int32 ItemIndexAt(BPoint where) const;
	int32 HighlightedIndex() const { return fHighlighted; }
	void SetHighlightedIndex(int32 index);

private:
	friend class BMenuItem;
	// Copies the marked item's label to the superitem when the menu asks for that.
	void _LabelFromMarked();

	std::vector<BMenuItem*> fItems;
	BMenuItem* fSuperitem = nullptr;
	bool fRadioMode = false;
	bool fLabelFromMarked = false;
	bool fEnabled = true;
	int32 fHighlighted = -1;
};

namespace BPrivate {

// How a menu item's shortcut is written at its right, "Strg+Q" for 'Q' with the command
// key; empty when the item has none or it is no printable character.
std::string ShortcutLabel(const BMenuItem* item);

} // namespace BPrivate
