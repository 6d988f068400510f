// Keyboard navigation: which views Tab stops at, in which order, and the keys the window
// takes before its focus view sees them (Ctrl+Tab, Shift+F10, the Menu key).
#include "Window.h"

#include <vector>

#include "AppDefs.h"
#include "Control.h"
#include "Message.h"
#include "TextView.h"
#include "View.h"
#include "WindowPrivate.h"

namespace {

void
CollectPreOrder(BView* view, std::vector<BView*>* views)
{
	views->push_back(view);
	for (int32 i = 0; i < view->CountChildren(); i++)
		CollectPreOrder(view->ChildAt(i), views);
}

bool
IsShown(const BView* view)
{
	for (const BView* ancestor = view; ancestor != nullptr; ancestor = ancestor->_RawParent()) {
		if (ancestor->IsHidden())
			return false;
	}
	return true;
}

} // namespace

namespace BPrivate {

bool
TakesKeyboardFocus(const BView* view)
{
	if (view == nullptr || view->Window() == nullptr || !IsShown(view))
		return false;
	// A text that can be neither edited nor selected may still ask for the keys (its links).
	if (const BTextView* text = dynamic_cast<const BTextView*>(view)) {
		return text->IsEditable() || text->IsSelectable()
			|| (view->Flags() & (B_NAVIGABLE | B_NAVIGABLE_JUMP)) != 0;
	}
	if ((view->Flags() & (B_NAVIGABLE | B_NAVIGABLE_JUMP)) == 0)
		return false;
	const BControl* control = dynamic_cast<const BControl*>(view);
	return control == nullptr || control->IsEnabled();
}

BView*
NextKeyboardFocus(BView* top, BView* current, bool forward)
{
	std::vector<BView*> views;
	CollectPreOrder(top, &views);
	int32 count = (int32)views.size();
	// A view outside the tree counts as standing before its start.
	int32 from = forward ? -1 : count;
	for (int32 i = 0; i < count; i++) {
		if (views[(size_t)i] == current)
			from = i;
	}
	int32 step = forward ? 1 : -1;
	for (int32 n = 1; n <= count; n++) {
		int32 index = ((from + step * n) % count + count) % count;
		if (TakesKeyboardFocus(views[(size_t)index]))
			return views[(size_t)index];
	}
	return nullptr;
}

bool
WindowAccess::FocusFromKeyboard(const BWindow* window)
{
	return window->fFocus != nullptr && window->fFocusFromKeyboard;
}

} // namespace BPrivate

bool
BWindow::_HandleNavigationKey(const char* bytes, uint32 modifiers, int32 key)
{
	bool shift = (modifiers & B_SHIFT_KEY) != 0;
	if (bytes[0] == B_TAB && bytes[1] == '\0') {
		// With Ctrl (or Option) Tab moves on from every view, also from one that types or
		// uses the plain key. A focus view that takes no part (a pad's panel, a clicked
		// background) has no use for it either: the focus enters the order from there.
		bool moveOn = (modifiers & (B_CONTROL_KEY | B_COMMAND_KEY | B_OPTION_KEY)) != 0
			|| !BPrivate::TakesKeyboardFocus(fFocus);
		if (!moveOn)
			return false;
		_KeyboardNavigation(!shift);
		return true;
	}
	if (bytes[0] == B_FUNCTION_KEY && bytes[1] == '\0'
		&& (key == B_MENU_KEY || (key == B_F10_KEY && shift))) {
		_RequestContextMenu();
		return true;
	}
	return false;
}

void
BWindow::_KeyboardNavigation(bool forward)
{
	BView* next = BPrivate::NextKeyboardFocus(fTopView, fFocus, forward);
	if (next == nullptr)
		return;
	next->MakeFocus(true);
	if (!next->IsFocus())
		return;
	fFocusFromKeyboard = true;
	// The mark shows now even when the focus stayed where it was (a single stop).
	next->Invalidate();
	// As in other toolkits, a text reached by Tab is selected whole: typing replaces it and
	// Ctrl+C copies it.
	if (BTextView* text = dynamic_cast<BTextView*>(next)) {
		if (text->IsSelectable())
			text->SelectAll();
	}
}

void
BWindow::_RequestContextMenu()
{
	// Handled along the handler chain of the focus view; with no focus, of the content view.
	BView* target = fFocus;
	if (target == nullptr && fTopView->CountChildren() > 0)
		target = fTopView->ChildAt(0);
	if (target == nullptr)
		return;
	BRect area = fFocus != nullptr ? fFocus->_VisibleInWindow() : Bounds();
	if (!area.IsValid())
		area = Bounds();
	BPoint center((float)(int32)((area.left + area.right) / 2),
		(float)(int32)((area.top + area.bottom) / 2));
	BMessage message(B_CONTEXT_MENU_REQUESTED);
	message.AddPoint("screen_where", ConvertToScreen(center));
	PostMessage(&message, target);
}
