// The accessible tree as the kit serves it to the screen-reader module: the application, its
// windows, their views and the views' parts, each an AccessibleNode owned by the kit. The module
// (loaded only when the desktop's accessibility is on) reads the tree through these interfaces
// and hears about changes through an AccessibilityListener. Everything runs on the loop's
// thread. The interfaces are pure virtual so that the module needs no symbol of the program.
#pragma once

#include <string>

#include "AccessibleDefs.h"
#include "Rect.h"
#include "SupportDefs.h"

namespace BPrivate {

class AccessibleText;

// Offsets in every text call count characters (UTF-8 code points), as AT-SPI does, not bytes.
class AccessibleNode {
public:
	// nullptr for the application.
	virtual AccessibleNode* Parent() = 0;
	virtual int32 CountChildren() = 0;
	virtual AccessibleNode* ChildAt(int32 index) = 0;
	virtual int32 IndexInParent() = 0;

	virtual accessible_role Role() = 0;
	virtual std::string Name() = 0;
	virtual std::string Description() = 0;
	// B_STATE_* bits, the kit's (visibility, focus, activation) and the view's.
	virtual uint64 States() = 0;
	// In screen coordinates of the window system's pixels (layout units times the display
	// scale); an empty rect when the node is not on the screen.
	virtual BRect ScreenBounds() = 0;
	// Gives the keyboard focus to the node (and activates its window); false when it takes none.
	virtual bool GrabFocus() = 0;

	virtual int32 CountActions() = 0;
	// The action's name as AT-SPI knows it ("press", "click", "activate").
	virtual std::string ActionName(int32 index) = 0;
	// A German description of what the action does, for the user.
	virtual std::string ActionDescription(int32 index) = 0;
	// Queues the action: it runs from the event loop after this call returned, so that an
	// action that opens a menu or a modal window never runs inside the bridge's call.
	virtual bool DoAction(int32 index) = 0;

	// The node's text interface; nullptr when it has no text.
	virtual AccessibleText* Text() = 0;

protected:
	virtual ~AccessibleNode() = default;
};

class AccessibleText {
public:
	virtual std::string Contents() = 0;
	virtual int32 CountCharacters() = 0;
	virtual int32 CaretOffset() = 0;
	virtual bool SetCaretOffset(int32 offset) = 0;
	// false when nothing is selected.
	virtual bool GetSelection(int32* start, int32* end) = 0;
	virtual bool SetSelection(int32 start, int32 end) = 0;
	// Screen coordinates as ScreenBounds(); an empty rect for an offset out of range.
	virtual BRect CharacterBounds(int32 offset) = 0;
	// -1 when the point lies on no character.
	virtual int32 OffsetAtPoint(BPoint screenPoint) = 0;

	// Editing goes the widget's own way (its filter, its undo, its notifications); all return
	// false on a read-only text.
	virtual bool IsEditable() = 0;
	virtual bool SetContents(const std::string& text) = 0;
	virtual bool InsertText(int32 offset, const std::string& text) = 0;
	virtual bool DeleteText(int32 start, int32 end) = 0;
	virtual bool CopyText(int32 start, int32 end) = 0;
	virtual bool CutText(int32 start, int32 end) = 0;
	virtual bool PasteText(int32 offset) = 0;

	// Web links inside the text.
	virtual int32 CountLinks() = 0;
	virtual bool GetLink(int32 index, int32* start, int32* end, std::string* address) = 0;
	// Queued like AccessibleNode::DoAction.
	virtual bool ActivateLink(int32 index) = 0;

protected:
	virtual ~AccessibleText() = default;
};

struct AccessibleEvent {
	enum Type {
		kFocused, // node has the keyboard focus now (a menu item: the keyboard is on it)
		kNameChanged,
		kDescriptionChanged,
		kStateChanged, // state bits in `state` are now `on`
		kChildAdded,   // child at index
		kChildRemoved, // child at index (already gone from the tree; may be nullptr)
		kTextInserted, // text at offset, length characters
		kTextRemoved,  // text was at offset, length characters
		kCaretMoved,   // to offset
		kSelectionChanged,
		kBoundsChanged,
		kWindowActivated, // node is a window
		kWindowDeactivated,
		kWindowShown,
		kWindowHidden,
		kDestroyed, // node is about to go; never use it after this event
	};
	Type type = kFocused;
	AccessibleNode* node = nullptr;
	uint64 state = 0;
	bool on = false;
	int32 offset = 0;
	int32 length = 0;
	std::string text;
	int32 index = -1;
	AccessibleNode* child = nullptr;
};

class AccessibilityListener {
public:
	virtual void Notify(const AccessibleEvent& event) = 0;

protected:
	virtual ~AccessibilityListener() = default;
};

} // namespace BPrivate
