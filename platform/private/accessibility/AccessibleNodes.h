// The kit's node classes: the application, a window, a view (with its parts, or a menu's
// items), a part, a menu item, and a text view's text. Each node lives as long as what it
// stands for and holds a plain pointer to it; the kit deletes the node (after kDestroyed)
// when that goes. They never cache what the widget can answer itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AccessibleKit.h"

class BMenu;
class BMenuItem;
class BTextView;
class BView;
class BWindow;

namespace BPrivate {

class KitNode : public AccessibleNode {
public:
	~KitNode() override = default;

	std::string Description() override { return std::string(); }
	bool GrabFocus() override { return false; }
	int32 CountActions() override { return 0; }
	std::string ActionName(int32) override { return std::string(); }
	std::string ActionDescription(int32) override { return std::string(); }
	bool DoAction(int32) override { return false; }
	AccessibleText* Text() override { return nullptr; }
};

class ApplicationNode : public KitNode {
public:
	AccessibleNode* Parent() override { return nullptr; }
	int32 CountChildren() override;
	AccessibleNode* ChildAt(int32 index) override;
	int32 IndexInParent() override { return -1; }
	accessible_role Role() override { return B_ROLE_APPLICATION; }
	std::string Name() override;
	uint64 States() override { return B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING; }
	BRect ScreenBounds() override { return BRect(); }
};

class WindowNode : public KitNode {
public:
	explicit WindowNode(BWindow* window) : fWindow(window) {}

	AccessibleNode* Parent() override;
	int32 CountChildren() override;
	AccessibleNode* ChildAt(int32 index) override;
	int32 IndexInParent() override;
	accessible_role Role() override;
	std::string Name() override;
	uint64 States() override;
	BRect ScreenBounds() override;
	bool GrabFocus() override;

	BWindow* Window() const { return fWindow; }

private:
	BWindow* fWindow;
};

class PartNode;
class TextAccess;

class ViewNode : public KitNode {
public:
	explicit ViewNode(BView* view);
	~ViewNode() override;

	AccessibleNode* Parent() override;
	int32 CountChildren() override;
	AccessibleNode* ChildAt(int32 index) override;
	int32 IndexInParent() override;
	accessible_role Role() override;
	std::string Name() override;
	std::string Description() override;
	uint64 States() override;
	BRect ScreenBounds() override;
	bool GrabFocus() override;
	int32 CountActions() override;
	std::string ActionName(int32 index) override;
	std::string ActionDescription(int32 index) override;
	bool DoAction(int32 index) override;
	AccessibleText* Text() override;

	BView* View() const { return fView; }
	// The part nodes made so far follow the view's parts; reports what changed.
	void SyncParts(bool notify);
	PartNode* PartAt(int32 index);
	// The view's own children (views or a menu's items) before the parts.
	int32 CountOwnChildren() const;
	// Sends kDestroyed for the parts; the view is going.
	void DestroyParts();

private:
	BView* fView;
	BMenu* fMenu;
	BTextView* fTextView;
	std::unique_ptr<TextAccess> fText;
	std::vector<std::unique_ptr<PartNode>> fParts;
};

class PartNode : public KitNode {
public:
	PartNode(ViewNode* owner, int32 index);

	AccessibleNode* Parent() override { return fOwner; }
	int32 CountChildren() override { return 0; }
	AccessibleNode* ChildAt(int32) override { return nullptr; }
	int32 IndexInParent() override;
	accessible_role Role() override;
	std::string Name() override;
	std::string Description() override;
	uint64 States() override;
	BRect ScreenBounds() override;
	int32 CountActions() override;
	std::string ActionName(int32 index) override;
	std::string ActionDescription(int32 index) override;
	bool DoAction(int32 index) override;

	// What the node last told the listener, to report only changes.
	std::string reportedName;
	std::string reportedDescription;
	uint64 reportedStates = 0;

private:
	bool _Get(accessible_part* part);

	ViewNode* fOwner;
	int32 fIndex;
};

class ItemNode : public KitNode {
public:
	explicit ItemNode(BMenuItem* item) : fItem(item) {}

	AccessibleNode* Parent() override;
	int32 CountChildren() override;
	AccessibleNode* ChildAt(int32 index) override;
	int32 IndexInParent() override;
	accessible_role Role() override;
	std::string Name() override;
	std::string Description() override;
	uint64 States() override;
	BRect ScreenBounds() override;
	int32 CountActions() override;
	std::string ActionName(int32 index) override;
	std::string ActionDescription(int32 index) override;
	bool DoAction(int32 index) override;

	BMenuItem* Item() const { return fItem; }
	// Where the item keeps its node.
	static ItemNode*& Slot(BMenuItem* item);

private:
	BMenuItem* fItem;
};

// The text interface of a BTextView, in characters over the view's UTF-8 bytes.
class TextAccess : public AccessibleText {
public:
	TextAccess(BTextView* view, AccessibleNode* node) : fView(view), fNode(node) {}
	~TextAccess() override = default;

	std::string Contents() override;
	int32 CountCharacters() override;
	int32 CaretOffset() override;
	bool SetCaretOffset(int32 offset) override;
	bool GetSelection(int32* start, int32* end) override;
	bool SetSelection(int32 start, int32 end) override;
	BRect CharacterBounds(int32 offset) override;
	int32 OffsetAtPoint(BPoint screenPoint) override;
	bool IsEditable() override;
	bool SetContents(const std::string& text) override;
	bool InsertText(int32 offset, const std::string& text) override;
	bool DeleteText(int32 start, int32 end) override;
	bool CopyText(int32 start, int32 end) override;
	bool CutText(int32 start, int32 end) override;
	bool PasteText(int32 offset) override;
	int32 CountLinks() override;
	bool GetLink(int32 index, int32* start, int32* end, std::string* address) override;
	bool ActivateLink(int32 index) override;

	// Caret and selection as last reported, in characters.
	int32 reportedCaret = -1;
	int32 reportedStart = 0;
	int32 reportedEnd = 0;

private:
	int32 _Byte(int32 characterOffset) const;
	int32 _Character(int32 byteOffset) const;
	// Selects the character range the user's way, for an edit that follows.
	bool _SelectRange(int32 start, int32 end);

	BTextView* fView;
	AccessibleNode* fNode;
};

// The view's node if one was made, else null.
ViewNode* ExistingNode(BView* view);
// Not hidden itself or by a parent, in a window on the screen.
bool ViewIsShowing(const BView* view);

// Queues an action for the view's window; false when the view is in no window.
bool QueueAction(BView* view, int32 kind, int32 index);

} // namespace BPrivate
