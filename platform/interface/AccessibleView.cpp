// BView's accessibility calls and the nodes of views.
#include <algorithm>

#include "AccessibleNodes.h"
#include "Menu.h"
#include "MenuItem.h"
#include "TextView.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

ViewAccessible::~ViewAccessible() = default;

ViewAccessible*
AccessibleData(BView* view, bool create)
{
	if (view->fAccessible == nullptr && create)
		view->fAccessible = new ViewAccessible;
	return view->fAccessible;
}

AccessibleNode*
NodeOf(BView* view)
{
	if (view == nullptr)
		return nullptr;
	ViewAccessible* data = AccessibleData(view, true);
	if (!data->node)
		data->node = std::make_unique<ViewNode>(view);
	return data->node.get();
}

BView*
ViewOfNode(AccessibleNode* node)
{
	ViewNode* viewNode = dynamic_cast<ViewNode*>(node);
	return viewNode != nullptr ? viewNode->View() : nullptr;
}

ViewNode*
ExistingNode(BView* view)
{
	ViewAccessible* data = view != nullptr ? AccessibleData(view, false) : nullptr;
	return data != nullptr ? data->node.get() : nullptr;
}

bool
ViewIsShowing(const BView* view)
{
	for (const BView* v = view; v != nullptr; v = v->_RawParent()) {
		if (v->IsHidden())
			return false;
	}
	BWindow* window = view->Window();
	return window != nullptr && !window->IsHidden() && WindowAccess::BackendId(window) != 0;
}

namespace {

// The node a view hangs under: its parent view's, or its window's for a top-level view.
AccessibleNode*
ParentNode(BView* view)
{
	if (BView* parent = view->Parent())
		return NodeOf(parent);
	return view->Window() != nullptr ? NodeOf(view->Window()) : nullptr;
}

int32
IndexAmongSiblings(BView* view)
{
	BView* parent = view->_RawParent();
	if (parent == nullptr)
		return -1;
	for (int32 i = 0; i < parent->CountChildren(); i++) {
		if (parent->ChildAt(i) == view)
			return i;
	}
	return -1;
}

} // namespace

// #pragma mark - view nodes

ViewNode::ViewNode(BView* view) :
	fView(view),
	fMenu(dynamic_cast<BMenu*>(view)),
	fTextView(dynamic_cast<BTextView*>(view))
{
}

ViewNode::~ViewNode() = default;

AccessibleNode*
ViewNode::Parent()
{
	return ParentNode(fView);
}

int32
ViewNode::CountOwnChildren() const
{
	return fMenu != nullptr ? fMenu->CountItems() : fView->CountChildren();
}

int32
ViewNode::CountChildren()
{
	SyncParts(false);
	return CountOwnChildren() + (int32)fParts.size();
}

AccessibleNode*
ViewNode::ChildAt(int32 index)
{
	int32 own = CountOwnChildren();
	if (index < 0)
		return nullptr;
	if (index < own)
		return fMenu != nullptr ? NodeOfItem(fMenu->ItemAt(index)) : NodeOf(fView->ChildAt(index));
	return PartAt(index - own);
}

int32
ViewNode::IndexInParent()
{
	return IndexAmongSiblings(fView);
}

accessible_role
ViewNode::Role()
{
	return fView->AccessibleRole();
}

std::string
ViewNode::Name()
{
	return fView->AccessibleName();
}

std::string
ViewNode::Description()
{
	return fView->AccessibleDescription();
}

uint64
ViewNode::States()
{
	uint64 states = fView->AccessibleStates();
	if (ViewAccessible* data = AccessibleData(fView, false); data != nullptr && data->live)
		states |= B_STATE_LIVE;
	bool hidden = false;
	for (const BView* v = fView; v != nullptr; v = v->_RawParent())
		hidden = hidden || v->IsHidden();
	if (!hidden)
		states |= B_STATE_VISIBLE;
	if (ViewIsShowing(fView))
		states |= B_STATE_SHOWING;
	if (TakesKeyboardFocus(fView))
		states |= B_STATE_FOCUSABLE;
	if (fView->IsFocus() && fView->Window()->IsActive())
		states |= B_STATE_FOCUSED;
	return states;
}

BRect
ViewNode::ScreenBounds()
{
	if (!ViewIsShowing(fView))
		return BRect();
	return ScreenPixels(fView->ConvertToScreen(fView->Bounds()), fView->Window());
}

bool
ViewNode::GrabFocus()
{
	if (!TakesKeyboardFocus(fView))
		return false;
	fView->MakeFocus(true);
	fView->Window()->Activate();
	return true;
}

int32
ViewNode::CountActions()
{
	return fView->CountAccessibleActions();
}

std::string
ViewNode::ActionName(int32 index)
{
	if (index < 0 || index >= CountActions())
		return std::string();
	return fView->AccessibleActionName(index);
}

std::string
ViewNode::ActionDescription(int32 index)
{
	if (index < 0 || index >= CountActions())
		return std::string();
	return fView->AccessibleActionDescription(index);
}

bool
ViewNode::DoAction(int32 index)
{
	if (index < 0 || index >= CountActions())
		return false;
	return QueueAction(fView, kActionView, index);
}

AccessibleText*
ViewNode::Text()
{
	if (fTextView == nullptr)
		return nullptr;
	if (!fText)
		fText = std::make_unique<TextAccess>(fTextView, this);
	return fText.get();
}

// #pragma mark - view events

void
NotifyFocus(BView* view)
{
	if (!Listening() || view == nullptr || view->Window() == nullptr || !view->Window()->IsActive())
		return;
	AccessibleNode* node = NodeOf(view);
	AccessibleEvent state;
	state.type = AccessibleEvent::kStateChanged;
	state.node = node;
	state.state = B_STATE_FOCUSED;
	state.on = true;
	Notify(state);
	Notify(AccessibleEvent::kFocused, node);
}

void
NotifyChildAdded(BView* child)
{
	if (!Listening())
		return;
	AccessibleEvent added;
	added.type = AccessibleEvent::kChildAdded;
	added.node = ParentNode(child);
	added.index = IndexAmongSiblings(child);
	added.child = NodeOf(child);
	Notify(added);
}

void
NotifyChildRemoved(BView* parent, BView* child, int32 index)
{
	if (!Listening())
		return;
	AccessibleEvent removed;
	removed.type = AccessibleEvent::kChildRemoved;
	if (parent->Window() != nullptr && parent == WindowAccess::TopView(parent->Window()))
		removed.node = NodeOf(parent->Window());
	else
		removed.node = NodeOf(parent);
	removed.index = index;
	removed.child = ExistingNode(child);
	Notify(removed);
}

void
NotifyViewName(BView* view)
{
	if (Listening())
		Notify(AccessibleEvent::kNameChanged, NodeOf(view));
}

void
NotifyViewState(BView* view, uint64 state, bool on)
{
	if (!Listening())
		return;
	AccessibleEvent event;
	event.type = AccessibleEvent::kStateChanged;
	event.node = NodeOf(view);
	event.state = state;
	event.on = on;
	Notify(event);
}

} // namespace BPrivate

// #pragma mark - BView

void
BView::SetAccessibleName(const char* name)
{
	BPrivate::ViewAccessible* data = BPrivate::AccessibleData(this, true);
	std::string newName = name != nullptr ? name : "";
	if (data->hasName && data->name == newName)
		return;
	data->name = std::move(newName);
	data->hasName = name != nullptr;
	if (BPrivate::Listening())
		BPrivate::NotifyViewName(this);
}

std::string
BView::AccessibleName() const
{
	return fAccessible != nullptr ? fAccessible->name : std::string();
}

void
BView::SetAccessibleDescription(const char* description)
{
	BPrivate::ViewAccessible* data = BPrivate::AccessibleData(this, true);
	std::string newDescription = description != nullptr ? description : "";
	if (data->hasDescription && data->description == newDescription)
		return;
	data->description = std::move(newDescription);
	data->hasDescription = description != nullptr;
	if (BPrivate::Listening())
		BPrivate::Notify(BPrivate::AccessibleEvent::kDescriptionChanged, BPrivate::NodeOf(this));
}

void
BView::SetAccessibleLive(bool live)
{
	BPrivate::ViewAccessible* data = BPrivate::AccessibleData(this, true);
	if (data->live == live)
		return;
	data->live = live;
	if (BPrivate::Listening())
		BPrivate::NotifyViewState(this, B_STATE_LIVE, live);
}

std::string
BView::AccessibleDescription() const
{
	return fAccessible != nullptr ? fAccessible->description : std::string();
}

accessible_role
BView::AccessibleRole() const
{
	return B_ROLE_PANEL;
}

uint64
BView::AccessibleStates() const
{
	return B_STATE_ENABLED;
}

int32
BView::CountAccessibleActions() const
{
	return 0;
}

const char*
BView::AccessibleActionName(int32 index) const
{
	(void)index;
	return "";
}

const char*
BView::AccessibleActionDescription(int32 index) const
{
	(void)index;
	return "";
}

void
BView::DoAccessibleAction(int32 index)
{
	(void)index;
}

int32
BView::CountAccessibleParts() const
{
	return 0;
}

bool
BView::GetAccessiblePart(int32 index, accessible_part* part) const
{
	(void)index;
	(void)part;
	return false;
}

void
BView::DoAccessiblePartAction(int32 index)
{
	(void)index;
}

void
BView::AccessiblePartsChanged()
{
	if (BPrivate::Listening())
		BPrivate::NotifyPartsChanged(this);
}
