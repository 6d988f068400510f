// The accessible tree's top: the listener, the application node, the window nodes and the
// window events. Views, parts, menu items and texts have files of their own.
#include "AccessibleTree.h"

#include <algorithm>
#include <cmath>

#include "AccessibleNodes.h"
#include "Application.h"
#include "Backend.h"
#include "EventLoop.h"
#include "Menu.h"
#include "MenuItem.h"
#include "MenuWindow.h"
#include "Message.h"
#include "TextView.h"
#include "TextViewPrivate.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

namespace {

AccessibilityListener* sListener = nullptr;

bool
IsOnScreen(BWindow* window)
{
	return !window->IsHidden() && WindowAccess::BackendId(window) != 0
		&& !WindowAccess::IsQuitting(window);
}

std::vector<BWindow*>
ShownWindows()
{
	std::vector<BWindow*> shown;
	for (BWindow* window : AllWindows()) {
		if (IsOnScreen(window))
			shown.push_back(window);
	}
	return shown;
}

} // namespace

AccessibleNode*
AccessibleRoot()
{
	static ApplicationNode sRoot;
	return &sRoot;
}

void
SetAccessibilityListener(AccessibilityListener* listener)
{
	sListener = listener;
}

AccessibilityListener*
CurrentAccessibilityListener()
{
	return sListener;
}

void
Notify(const AccessibleEvent& event)
{
	if (sListener != nullptr && event.node != nullptr)
		sListener->Notify(event);
}

void
Notify(AccessibleEvent::Type type, AccessibleNode* node)
{
	AccessibleEvent event;
	event.type = type;
	event.node = node;
	Notify(event);
}

namespace {

// Where the window's content begins in the coordinates ScreenPixels reports.
BPoint
ReportedOrigin(const BWindow* window)
{
	if (window == nullptr || CurrentBackend()->KnowsScreenCoordinates())
		return BPoint(0, 0);
	return window->Frame().LeftTop();
}

} // namespace

BPoint
LayoutScreenPoint(BPoint screenPixels, const BWindow* window)
{
	const float scale = (float)CurrentBackend()->Scale().Factor();
	return BPoint(screenPixels.x / scale, screenPixels.y / scale) + ReportedOrigin(window);
}

BRect
ScreenPixels(BRect rect, const BWindow* window)
{
	if (!rect.IsValid())
		return BRect();
	rect.OffsetBy(-ReportedOrigin(window).x, -ReportedOrigin(window).y);
	// Layout rects name their last unit; a unit covers the pixels up to where the next begins.
	const DisplayScale displayScale = CurrentBackend()->Scale();
	if (!displayScale.IsWhole()) {
		auto edge = [&](float layout) {
			return (float)displayScale.ToDevice((int64)std::floor(layout));
		};
		return BRect(edge(rect.left), edge(rect.top), edge(rect.right + 1) - 1,
			edge(rect.bottom + 1) - 1);
	}
	float scale = (float)displayScale.Ceiling();
	return BRect(rect.left * scale, rect.top * scale, (rect.right + 1) * scale - 1,
		(rect.bottom + 1) * scale - 1);
}

int32
CharacterCount(const std::string& text, int32 byteStart, int32 byteEnd)
{
	int32 count = 0;
	for (int32 offset = byteStart; offset < byteEnd; count++)
		offset += CharLength(text, offset);
	return count;
}

int32
ByteOffsetOfCharacter(const std::string& text, int32 characterOffset)
{
	int32 offset = 0;
	int32 length = (int32)text.size();
	for (int32 i = 0; i < characterOffset && offset < length; i++)
		offset += CharLength(text, offset);
	return std::min(offset, length);
}

// #pragma mark - application

int32
ApplicationNode::CountChildren()
{
	return (int32)ShownWindows().size();
}

AccessibleNode*
ApplicationNode::ChildAt(int32 index)
{
	std::vector<BWindow*> shown = ShownWindows();
	if (index < 0 || index >= (int32)shown.size())
		return nullptr;
	return NodeOf(shown[(size_t)index]);
}

std::string
ApplicationNode::Name()
{
	// The program is called what its first titled window is called: its main window.
	for (BWindow* window : AllWindows()) {
		if (!WindowAccess::IsPopup(window) && window->Title()[0] != '\0')
			return window->Title();
	}
	return be_app != nullptr ? be_app->Signature() : "";
}

// #pragma mark - windows

AccessibleNode*
NodeOf(BWindow* window)
{
	if (window == nullptr)
		return nullptr;
	WindowNode*& node = WindowAccess::Accessible(window);
	if (node == nullptr)
		node = new WindowNode(window);
	return node;
}

AccessibleNode*
WindowNode::Parent()
{
	return AccessibleRoot();
}

int32
WindowNode::CountChildren()
{
	return fWindow->CountChildren();
}

AccessibleNode*
WindowNode::ChildAt(int32 index)
{
	return NodeOf(fWindow->ChildAt(index));
}

int32
WindowNode::IndexInParent()
{
	return ShownWindowIndex(fWindow);
}

accessible_role
WindowNode::Role()
{
	if (WindowAccess::IsPopup(fWindow))
		return B_ROLE_WINDOW;
	if (IsModalFeel(fWindow->Feel()) || WindowAccess::Kind(fWindow) == WindowKind::kDialog)
		return B_ROLE_DIALOG;
	return B_ROLE_FRAME;
}

std::string
WindowNode::Name()
{
	return fWindow->AccessibleName();
}

uint64
WindowNode::States()
{
	uint64 states = B_STATE_ENABLED;
	if (IsOnScreen(fWindow))
		states |= B_STATE_VISIBLE | B_STATE_SHOWING;
	if (fWindow->IsActive())
		states |= B_STATE_ACTIVE;
	if (IsModalFeel(fWindow->Feel()))
		states |= B_STATE_MODAL;
	if (!WindowAccess::IsPopup(fWindow))
		states |= B_STATE_FOCUSABLE;
	return states;
}

BRect
WindowNode::ScreenBounds()
{
	if (!IsOnScreen(fWindow))
		return BRect();
	return ScreenPixels(fWindow->Frame(), fWindow);
}

bool
WindowNode::GrabFocus()
{
	if (!IsOnScreen(fWindow) || WindowAccess::IsPopup(fWindow))
		return false;
	fWindow->Activate();
	return true;
}

int32
ShownWindowIndex(const BWindow* window)
{
	std::vector<BWindow*> shown = ShownWindows();
	for (size_t i = 0; i < shown.size(); i++) {
		if (shown[i] == window)
			return (int32)i;
	}
	return -1;
}

void
NotifyWindowShown(BWindow* window)
{
	if (!Listening())
		return;
	AccessibleNode* node = NodeOf(window);
	Notify(AccessibleEvent::kWindowShown, node);
	AccessibleEvent added;
	added.type = AccessibleEvent::kChildAdded;
	added.node = AccessibleRoot();
	added.index = ShownWindowIndex(window);
	added.child = node;
	Notify(added);
}

void
NotifyWindowHidden(BWindow* window, int32 index)
{
	if (!Listening() || index < 0)
		return;
	AccessibleNode* node = NodeOf(window);
	Notify(AccessibleEvent::kWindowHidden, node);
	AccessibleEvent removed;
	removed.type = AccessibleEvent::kChildRemoved;
	removed.node = AccessibleRoot();
	removed.index = index;
	removed.child = node;
	Notify(removed);
}

void
NotifyWindowActivated(BWindow* window, bool active)
{
	if (!Listening())
		return;
	AccessibleNode* node = NodeOf(window);
	AccessibleEvent state;
	state.type = AccessibleEvent::kStateChanged;
	state.node = node;
	state.state = B_STATE_ACTIVE;
	state.on = active;
	Notify(state);
	Notify(active ? AccessibleEvent::kWindowActivated : AccessibleEvent::kWindowDeactivated, node);
	// The reader speaks the focus of the window that came forward.
	if (active && window->CurrentFocus() != nullptr)
		NotifyFocus(window->CurrentFocus());
}

void
NotifyWindowMoved(BWindow* window)
{
	WindowNode* node = WindowAccess::Accessible(window);
	if (Listening() && node != nullptr)
		Notify(AccessibleEvent::kBoundsChanged, node);
}

void
NotifyWindowTitle(BWindow* window)
{
	WindowNode* node = WindowAccess::Accessible(window);
	if (Listening() && node != nullptr)
		Notify(AccessibleEvent::kNameChanged, node);
}

void
ForgetWindow(BWindow* window)
{
	WindowNode*& node = WindowAccess::Accessible(window);
	if (node == nullptr)
		return;
	Notify(AccessibleEvent::kDestroyed, node);
	delete node;
	node = nullptr;
}

// #pragma mark - queued actions

void
RunAccessibleAction(BMessage* message, BHandler* handler)
{
	BView* view = dynamic_cast<BView*>(handler);
	int32 kind = -1;
	int32 index = -1;
	if (view == nullptr || message->FindInt32("kind", &kind) != B_OK
		|| message->FindInt32("index", &index) != B_OK)
		return;
	switch (kind) {
		case kActionView:
			view->DoAccessibleAction(index);
			break;
		case kActionPart:
			view->DoAccessiblePartAction(index);
			break;
		case kActionLink:
			if (BTextView* text = dynamic_cast<BTextView*>(view))
				text->ActivateAccessibleLink(index);
			break;
		case kActionItem:
		{
			BMenu* menu = dynamic_cast<BMenu*>(view);
			BMenuItem* item = menu != nullptr ? menu->ItemAt(index) : nullptr;
			MenuTracker* tracker = MenuTracker::Current();
			// Only a menu that is open can be chosen from, as with the keyboard.
			if (item != nullptr && tracker != nullptr && menu->Window() != nullptr)
				tracker->Choose(item);
			break;
		}
		default:
			break;
	}
}

bool
QueueAction(BView* view, int32 kind, int32 index)
{
	BWindow* window = view->Window();
	if (window == nullptr || WindowAccess::IsQuitting(window))
		return false;
	BMessage message(kAccessibleAction);
	message.AddInt32("kind", kind);
	message.AddInt32("index", index);
	return window->PostMessage(&message, view) == B_OK;
}

} // namespace BPrivate

void
BWindow::SetAccessibleName(const char* name)
{
	std::string newName = name != nullptr ? name : "";
	if (newName == fAccessibleName)
		return;
	fAccessibleName = std::move(newName);
	BPrivate::NotifyWindowTitle(this);
}

std::string
BWindow::AccessibleName() const
{
	if (!fAccessibleName.empty())
		return fAccessibleName;
	// A menu's window carries the menu's internal name as its title; the reader wants the
	// name the menu is known by to the user.
	if (const auto* menuWindow = dynamic_cast<const BPrivate::MenuWindow*>(this)) {
		std::string name = menuWindow->Menu() != nullptr ? menuWindow->Menu()->AccessibleName()
														 : std::string();
		if (!name.empty())
			return name;
	}
	return fTitle;
}
