#include "MenuItem.h"

#include <algorithm>

#include "AccessibleKit.h"
#include "Application.h"
#include "Menu.h"
#include "MenuWindow.h"
#include "Window.h"

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers) :
	BInvoker(message),
	fLabel(label != nullptr ? label : ""),
	fShortcut(shortcut),
	fModifiers(modifiers)
{
}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message) : BInvoker(message), fSubmenu(submenu)
{
	if (submenu != nullptr) {
		const BMenuItem* marked = submenu->IsLabelFromMarked() ? submenu->FindMarked() : nullptr;
		fLabel = marked != nullptr ? marked->Label() : submenu->Name();
		submenu->fSuperitem = this;
	}
}

BMenuItem::~BMenuItem()
{
	if (fMenu != nullptr) {
		auto& items = fMenu->fItems;
		items.erase(std::remove(items.begin(), items.end(), this), items.end());
		fMenu = nullptr;
	}
	if (fSubmenu != nullptr) {
		fSubmenu->fSuperitem = nullptr;
		delete fSubmenu;
		fSubmenu = nullptr;
	}
	BPrivate::ForgetItem(this);
}

void
BMenuItem::SetLabel(const char* label)
{
	fLabel = label != nullptr ? label : "";
	if (fMenu != nullptr)
		fMenu->Invalidate();
	if (BPrivate::Listening())
		BPrivate::NotifyItemName(this);
}

void
BMenuItem::SetCheckable(bool checkable)
{
	fCheckable = checkable;
}

void
BMenuItem::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	if (fMenu != nullptr)
		fMenu->Invalidate();
	if (BPrivate::Listening())
		BPrivate::NotifyItemState(this, B_STATE_ENABLED, enabled);
}

bool
BMenuItem::IsEnabled() const
{
	if (!fEnabled)
		return false;
	return fSubmenu == nullptr || fSubmenu->IsEnabled();
}

void
BMenuItem::SetMarked(bool marked)
{
	if (marked == fMarked)
		return;
	fMarked = marked;
	if (BPrivate::Listening())
		BPrivate::NotifyItemState(this, B_STATE_CHECKED, marked);
	if (marked && fMenu != nullptr && fMenu->IsRadioMode()) {
		for (int32 i = 0; i < fMenu->CountItems(); i++) {
			BMenuItem* other = fMenu->ItemAt(i);
			if (other != this && other->fMarked)
				other->SetMarked(false);
		}
	}
	if (marked && fMenu != nullptr)
		fMenu->_LabelFromMarked();
	if (fMenu != nullptr)
		fMenu->Invalidate();
}

void
BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	fShortcut = shortcut;
	fModifiers = modifiers;
	if (fMenu != nullptr)
		fMenu->Invalidate();
}

char
BMenuItem::Shortcut(uint32* modifiers) const
{
	if (modifiers != nullptr)
		*modifiers = fModifiers;
	return fShortcut;
}

status_t
BMenuItem::Invoke(BMessage* message)
{
	if (!IsEnabled())
		return B_NOT_ALLOWED;
	if (fMenu != nullptr && fMenu->IsRadioMode())
		SetMarked(true);
	return BInvoker::Invoke(message);
}

BLooper*
BMenuItem::_DefaultLooper() const
{
	// An item without a target sends to whoever opened its menu: the looper that called Go
	// for a pop-up, else the window the menu sits in, else the application.
	const BMenu* root = fMenu;
	while (root != nullptr && root->Supermenu() != nullptr)
		root = root->Supermenu();
	if (root == nullptr)
		return be_app;
	if (BLooper* caller = BPrivate::PopUpCaller(root))
		return caller;
	BWindow* window = root->Window();
	if (window != nullptr && dynamic_cast<BPrivate::MenuWindow*>(window) == nullptr)
		return window;
	return be_app;
}

BSeparatorItem::BSeparatorItem() : BMenuItem("", nullptr)
{
	BMenuItem::SetEnabled(false);
}
