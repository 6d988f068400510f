// Menus for a screen reader: a BMenu is a menu, its items menu items; the items of a radio-mode
// menu are radio menu items, options and the items of a menu that marks one are check menu
// items. Moving the highlight moves the focus.
#include "AccessibleNodes.h"
#include "Application.h"
#include "Menu.h"
#include "MenuItem.h"
#include "MenuWindow.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

namespace {

bool
MenuShowing(const BMenu* menu)
{
	BWindow* window = menu != nullptr ? menu->Window() : nullptr;
	return window != nullptr && !window->IsHidden() && WindowAccess::BackendId(window) != 0
		&& !WindowAccess::IsQuitting(window);
}

// A menu that marks one of its items offers each item as a choice.
bool
MarksItems(const BMenu* menu)
{
	for (int32 i = 0; i < menu->CountItems(); i++) {
		if (menu->ItemAt(i)->IsMarked())
			return true;
	}
	return false;
}

bool
DeclaresOptions(const BMenu* menu)
{
	for (int32 i = 0; i < menu->CountItems(); i++) {
		if (menu->ItemAt(i)->IsCheckable())
			return true;
	}
	return false;
}

// What an item is to a reader. An option is a check item wherever it is; every item of a
// radio-mode menu is one choice of several; otherwise a menu that names no options and marks
// one of its items is read as a list of check items, as before there were radio menus.
accessible_role
ChoiceRole(const BMenuItem* item)
{
	if (item->IsSeparator() || item->Submenu() != nullptr)
		return B_ROLE_MENU_ITEM;
	if (item->IsCheckable())
		return B_ROLE_CHECK_MENU_ITEM;
	const BMenu* menu = item->Menu();
	if (menu != nullptr && menu->IsRadioMode())
		return B_ROLE_RADIO_MENU_ITEM;
	if (item->IsMarked() || (menu != nullptr && MarksItems(menu) && !DeclaresOptions(menu)))
		return B_ROLE_CHECK_MENU_ITEM;
	return B_ROLE_MENU_ITEM;
}

bool
IsCheckItem(const BMenuItem* item)
{
	return ChoiceRole(item) != B_ROLE_MENU_ITEM;
}

} // namespace

ItemNode*&
ItemNode::Slot(BMenuItem* item)
{
	return item->fAccessible;
}

AccessibleNode*
NodeOfItem(BMenuItem* item)
{
	if (item == nullptr)
		return nullptr;
	ItemNode*& node = ItemNode::Slot(item);
	if (node == nullptr)
		node = new ItemNode(item);
	return node;
}

void
ForgetItem(BMenuItem* item)
{
	ItemNode*& node = ItemNode::Slot(item);
	if (node == nullptr)
		return;
	Notify(AccessibleEvent::kDestroyed, node);
	delete node;
	node = nullptr;
}

AccessibleNode*
ItemNode::Parent()
{
	return NodeOf(fItem->Menu());
}

int32
ItemNode::CountChildren()
{
	BMenu* submenu = fItem->Submenu();
	return submenu != nullptr ? submenu->CountItems() : 0;
}

AccessibleNode*
ItemNode::ChildAt(int32 index)
{
	BMenu* submenu = fItem->Submenu();
	return submenu != nullptr ? NodeOfItem(submenu->ItemAt(index)) : nullptr;
}

int32
ItemNode::IndexInParent()
{
	return fItem->Menu() != nullptr ? fItem->Menu()->IndexOf(fItem) : -1;
}

accessible_role
ItemNode::Role()
{
	if (fItem->IsSeparator())
		return B_ROLE_SEPARATOR;
	if (fItem->Submenu() != nullptr)
		return B_ROLE_MENU;
	return ChoiceRole(fItem);
}

std::string
ItemNode::Name()
{
	return fItem->IsSeparator() ? std::string() : std::string(fItem->Label());
}

std::string
ItemNode::Description()
{
	// The application's words, else the shortcut as the menu shows it ("Strg+Q").
	if (!fItem->AccessibleDescription().empty())
		return fItem->AccessibleDescription();
	return ShortcutLabel(fItem);
}

uint64
ItemNode::States()
{
	BMenu* menu = fItem->Menu();
	uint64 states = 0;
	if (fItem->IsSeparator())
		return MenuShowing(menu) ? B_STATE_VISIBLE | B_STATE_SHOWING : B_STATE_VISIBLE;
	if (fItem->IsEnabled())
		states |= B_STATE_ENABLED | B_STATE_SELECTABLE;
	if (IsCheckItem(fItem)) {
		states |= B_STATE_CHECKABLE;
		if (fItem->IsMarked())
			states |= B_STATE_CHECKED;
	}
	if (fItem->Submenu() != nullptr)
		states |= B_STATE_HAS_POPUP;
	states |= B_STATE_VISIBLE;
	if (MenuShowing(menu)) {
		states |= B_STATE_SHOWING;
		if (menu->HighlightedIndex() == menu->IndexOf(fItem))
			states |= B_STATE_SELECTED | B_STATE_FOCUSED;
	}
	return states;
}

BRect
ItemNode::ScreenBounds()
{
	BMenu* menu = fItem->Menu();
	if (!MenuShowing(menu))
		return BRect();
	return ScreenPixels(menu->ConvertToScreen(menu->ItemFrame(menu->IndexOf(fItem))),
		menu->Window());
}

int32
ItemNode::CountActions()
{
	return fItem->IsSeparator() ? 0 : 1;
}

std::string
ItemNode::ActionName(int32 index)
{
	return index == 0 && CountActions() == 1 ? "click" : "";
}

std::string
ItemNode::ActionDescription(int32 index)
{
	return index == 0 && CountActions() == 1 ? "Ausw\xC3\xA4hlen" : "";
}

bool
ItemNode::DoAction(int32 index)
{
	BMenu* menu = fItem->Menu();
	if (index != 0 || CountActions() != 1 || !MenuShowing(menu))
		return false;
	return QueueAction(menu, kActionItem, menu->IndexOf(fItem));
}

void
NotifyMenuHighlight(BMenu* menu, int32 oldIndex, int32 newIndex)
{
	if (!Listening() || !MenuShowing(menu))
		return;
	if (BMenuItem* old = menu->ItemAt(oldIndex)) {
		AccessibleEvent event;
		event.type = AccessibleEvent::kStateChanged;
		event.node = NodeOfItem(old);
		event.state = B_STATE_SELECTED;
		event.on = false;
		Notify(event);
	}
	if (BMenuItem* item = menu->ItemAt(newIndex)) {
		AccessibleNode* node = NodeOfItem(item);
		AccessibleEvent event;
		event.type = AccessibleEvent::kStateChanged;
		event.node = node;
		event.state = B_STATE_SELECTED;
		event.on = true;
		Notify(event);
		Notify(AccessibleEvent::kFocused, node);
	}
}

void
NotifyMenuClosed()
{
	// Moving the highlight took the reader's focus into the menu, which is gone now.
	if (!Listening() || be_app == nullptr)
		return;
	for (int32 i = 0; i < be_app->CountWindows(); i++) {
		BWindow* window = be_app->WindowAt(i);
		if (!window->IsActive() || dynamic_cast<MenuWindow*>(window) != nullptr)
			continue;
		if (window->CurrentFocus() != nullptr)
			NotifyFocus(window->CurrentFocus());
		else
			Notify(AccessibleEvent::kFocused, NodeOf(window));
		return;
	}
}

void
NotifyItemName(BMenuItem* item)
{
	if (Listening() && ItemNode::Slot(item) != nullptr)
		Notify(AccessibleEvent::kNameChanged, ItemNode::Slot(item));
}

void
NotifyItemState(BMenuItem* item, uint64 state, bool on)
{
	if (!Listening() || ItemNode::Slot(item) == nullptr)
		return;
	AccessibleEvent event;
	event.type = AccessibleEvent::kStateChanged;
	event.node = ItemNode::Slot(item);
	event.state = state;
	event.on = on;
	Notify(event);
}

} // namespace BPrivate

accessible_role
BMenu::AccessibleRole() const
{
	return B_ROLE_MENU;
}

uint64
BMenu::AccessibleStates() const
{
	return fEnabled ? uint64(B_STATE_ENABLED) : 0;
}

std::string
BMenu::AccessibleName() const
{
	std::string name = BView::AccessibleName();
	if (!name.empty())
		return name;
	return fSuperitem != nullptr ? fSuperitem->Label() : std::string();
}
