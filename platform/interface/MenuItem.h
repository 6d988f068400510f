// BMenuItem: one entry of a menu: a label with a message, an optional shortcut shown at its
// right, a check mark, an enabled state, or a submenu. BSeparatorItem is a divider line.
#pragma once

#include <string>

#include "Invoker.h"
#include "Rect.h"

class BMenu;

namespace BPrivate {
class ItemNode;
}

class BMenuItem : public BInvoker {
public:
	BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
	explicit BMenuItem(BMenu* submenu, BMessage* message = nullptr);
	~BMenuItem() override;

	virtual void SetLabel(const char* label);
	const char* Label() const { return fLabel.c_str(); }
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;
	virtual void SetMarked(bool marked);
	bool IsMarked() const { return fMarked; }
	virtual void SetShortcut(char shortcut, uint32 modifiers);
	char Shortcut(uint32* modifiers = nullptr) const;
	BMenu* Submenu() const { return fSubmenu; }
	BMenu* Menu() const { return fMenu; }
	virtual bool IsSeparator() const { return false; }
	// An option that is on or off: a screen reader hears it as checkable even while unmarked.
	void SetCheckable(bool checkable);
	bool IsCheckable() const { return fCheckable; }
	// What a screen reader says about the item beside its name (why it is disabled, say).
	void SetAccessibleDescription(const char* description)
	{
		fDescription = description != nullptr ? description : "";
	}
	const std::string& AccessibleDescription() const { return fDescription; }

	status_t Invoke(BMessage* message = nullptr) override;

protected:
	BLooper* _DefaultLooper() const override;

private:
	friend class BMenu;
	friend class BPrivate::ItemNode;
	std::string fLabel;
	std::string fDescription;
	BMenu* fSubmenu = nullptr;
	BMenu* fMenu = nullptr;
	char fShortcut = 0;
	uint32 fModifiers = 0;
	bool fMarked = false;
	bool fEnabled = true;
	bool fCheckable = false;
	BPrivate::ItemNode* fAccessible = nullptr; // made when a screen reader asks
};

class BSeparatorItem : public BMenuItem {
public:
	BSeparatorItem();
	bool IsSeparator() const override { return true; }
	void SetEnabled(bool) override {}
};
