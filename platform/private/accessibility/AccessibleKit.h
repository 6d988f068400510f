// The kit's side of the accessible tree: where the nodes of views, windows and menu items
// live, and the calls through which the kit's classes report their changes. Every Notify call
// returns at once while no listener is set, and no node is made before one is asked for or
// an event needs it. Kit-internal; the module sees only AccessibleNode.h.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AccessibleNode.h"
#include "AccessibleTree.h"

class BHandler;
class BMenu;
class BMenuItem;
class BMessage;
class BTextView;
class BView;
class BWindow;

namespace BPrivate {

class ViewNode;
class WindowNode;

// Posted to a window to run a queued action: "kind" (kActionView, kActionPart, kActionItem,
// kActionLink) and "index"; the target handler is the view.
const uint32 kAccessibleAction = '_AAC';
enum { kActionView = 0, kActionPart, kActionItem, kActionLink };

// What a view keeps once a name is set or a node is asked for; a view without it costs one
// null pointer.
struct ViewAccessible {
	std::string name;
	std::string description;
	bool hasName = false;
	bool hasDescription = false;
	bool live = false;
	std::unique_ptr<ViewNode> node;
	~ViewAccessible();
};

inline bool
Listening()
{
	return CurrentAccessibilityListener() != nullptr;
}

// Nodes, made on first use.
AccessibleNode* NodeOf(BView* view);
AccessibleNode* NodeOf(BWindow* window);
AccessibleNode* NodeOfItem(BMenuItem* item);
// The node's view, window or item, when it is one of those (for tests and actions).
BView* ViewOfNode(AccessibleNode* node);

// Sends the event to the listener, if any.
void Notify(const AccessibleEvent& event);
void Notify(AccessibleEvent::Type type, AccessibleNode* node);

// Window life: shown and hidden report to the application node; gone deletes the node.
void NotifyWindowShown(BWindow* window);
// index: the window's place among the shown windows just before it went.
void NotifyWindowHidden(BWindow* window, int32 index);
int32 ShownWindowIndex(const BWindow* window);
void NotifyWindowActivated(BWindow* window, bool active);
void NotifyWindowMoved(BWindow* window);
void NotifyWindowTitle(BWindow* window);
void ForgetWindow(BWindow* window);

// Views.
void NotifyFocus(BView* view);
void NotifyChildAdded(BView* child);
void NotifyChildRemoved(BView* parent, BView* child, int32 index);
void NotifyViewName(BView* view);
void NotifyViewState(BView* view, uint64 state, bool on);
// Compares the view's parts with what their nodes last reported and sends the differences.
void NotifyPartsChanged(BView* view);

// Text views: byte offsets and lengths as the view changed them.
void NotifyTextInserted(BTextView* view, int32 byteOffset, int32 byteLength);
// Called before the bytes go.
void NotifyTextRemoving(BTextView* view, int32 byteStart, int32 byteEnd);
void NotifyCaret(BTextView* view);

// Menus.
void NotifyMenuHighlight(BMenu* menu, int32 oldIndex, int32 newIndex);
void NotifyItemName(BMenuItem* item);
void NotifyItemState(BMenuItem* item, uint64 state, bool on);
// The last open menu closed: the focus is back with the active window's focus view.
void NotifyMenuClosed();
void ForgetItem(BMenuItem* item);

// Runs a kAccessibleAction message for its handler (from BWindow::DispatchMessage).
void RunAccessibleAction(BMessage* message, BHandler* handler);

// Character offsets of a UTF-8 text (a malformed byte counts as one character).
int32 CharacterCount(const std::string& text, int32 byteStart, int32 byteEnd);
int32 ByteOffsetOfCharacter(const std::string& text, int32 characterOffset);

// A rect in layout units on the screen, of something in window, as window-system pixels; where
// the window system tells no window's place (Wayland), relative to the window, as GTK does.
BRect ScreenPixels(BRect layoutScreenRect, const BWindow* window);
// The other way: a point in window-system pixels as ScreenPixels gives them, in layout units
// on the screen.
BPoint LayoutScreenPoint(BPoint screenPixels, const BWindow* window);

} // namespace BPrivate
