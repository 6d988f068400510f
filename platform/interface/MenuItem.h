// BMenuItem: one entry of a menu: a label with a message, an optional shortcut shown at its
// right, a check mark, an enabled state, or a submenu. BSeparatorItem is a divider line.
#pragma once

#include <string>

#include "Invoker.h"
#include "Rect.h"

class BMenu;

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

	status_t Invoke(BMessage* message = nullptr) override;

protected:
	BLooper* _DefaultLooper() const override;

private:
	friend class BMenu;
	std::string fLabel;
	BMenu* fSubmenu = nullptr;
	BMenu* fMenu = nullptr;
	char fShortcut = 0;
	uint32 fModifiers = 0;
	bool fMarked = false;
	bool fEnabled = true;
};

class BSeparatorItem : public BMenuItem {
public:
	BSeparatorItem();
	bool IsSeparator() const override { return true; }
	void SetEnabled(bool) override {}
};
