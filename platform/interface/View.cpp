// The view tree, geometry, events, focus and invalidation. Drawing calls live in
// ViewDrawing.cpp.
#include "View.h"

#include <algorithm>
#include <cstring>

#include "AccessibleNodes.h"
#include "AppDefs.h"
#include "Application.h"
#include "Backend.h"
#include "Debug.h"
#include "Message.h"
#include "Painter.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace {

// Above zero while the AttachedToWindow hooks of a tree run.
int32 sAttachingDepth = 0;

} // namespace

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags) :
	BHandler(name),
	fFrame(frame),
	fResizingMode(resizingMode),
	fFlags(flags),
	fViewColor(make_color(255, 255, 255))
{
	fState.font = *be_plain_font;
}

BView::~BView()
{
	if (fIsTopView && fWindow != nullptr)
		_DetachTopView();
	else if (fParent != nullptr)
		RemoveSelf();
	while (!fChildren.empty()) {
		BView* child = fChildren.back();
		fChildren.pop_back();
		child->fParent = nullptr;
		delete child;
	}
	if (fAccessible != nullptr) {
		if (BPrivate::ViewNode* node = fAccessible->node.get()) {
			node->DestroyParts();
			BPrivate::Notify(BPrivate::AccessibleEvent::kDestroyed, node);
		}
		delete fAccessible;
		fAccessible = nullptr;
	}
}

// #pragma mark - tree

void
BView::AddChild(BView* child, BView* before)
{
	if (child == nullptr || child == this) {
		BPrivate::ReportMisuse("AddChild: no view, or the view itself");
		return;
	}
	if (child->fParent != nullptr || child->fIsTopView) {
		BPrivate::ReportMisuse("AddChild failed - the view already has a parent");
		return;
	}
	auto position = std::find(fChildren.begin(), fChildren.end(), before);
	fChildren.insert(position, child);
	child->fParent = this;
	child->SetNextHandler(this);
	if (fWindow != nullptr) {
		// A child added from an AttachedToWindow hook gets its AllAttached with the rest of
		// the tree being attached.
		if (sAttachingDepth > 0)
			child->_CallAttached(fWindow);
		else
			child->_Attach(fWindow);
		child->Invalidate();
		if (BPrivate::Listening())
			BPrivate::NotifyChildAdded(child);
	}
}

bool
BView::RemoveChild(BView* child)
{
	if (child == nullptr || child->fParent != this) {
		BPrivate::ReportMisuse("RemoveChild failed - the view is not a child of this view");
		return false;
	}
	return child->RemoveSelf();
}

bool
BView::RemoveSelf()
{
	if (fParent == nullptr)
		return false;
	if (fWindow != nullptr) {
		Invalidate();
		_Detach();
	}
	BView* parent = fParent;
	auto& siblings = fParent->fChildren;
	int32 index = (int32)(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
	siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
	fParent = nullptr;
	SetNextHandler(nullptr);
	if (BPrivate::Listening())
		BPrivate::NotifyChildRemoved(parent, this, index);
	return true;
}

BView*
BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= (int32)fChildren.size())
		return nullptr;
	return fChildren[index];
}

BView*
BView::Parent() const
{
	if (fParent != nullptr && fParent->fIsTopView)
		return nullptr;
	return fParent;
}

BView*
BView::FindView(const char* name) const
{
	for (BView* child : fChildren) {
		if (name != nullptr && strcmp(child->Name(), name) == 0)
			return child;
		if (BView* found = child->FindView(name))
			return found;
	}
	return nullptr;
}

void
BView::_SetWindow(BWindow* window)
{
	// Only the window's top view is set directly; everything else attaches through AddChild.
	fWindow = window;
	if (window != nullptr)
		window->AddHandler(this);
}

// AttachedToWindow runs parent first, down the whole tree; AllAttached runs once every view of
// the tree is attached, children before their parent. Detaching mirrors it.
void
BView::_Attach(BWindow* window)
{
	sAttachingDepth++;
	_CallAttached(window);
	sAttachingDepth--;
	_CallAllAttached();
}

void
BView::_CallAttached(BWindow* window)
{
	fWindow = window;
	window->AddHandler(this);
	AttachedToWindow();
	std::vector<BView*> children = fChildren;
	for (BView* child : children) {
		if (child->fParent == this && child->fWindow == nullptr)
			child->_CallAttached(window);
	}
}

void
BView::_CallAllAttached()
{
	std::vector<BView*> children = fChildren;
	for (BView* child : children) {
		if (child->fParent == this && child->fWindow != nullptr)
			child->_CallAllAttached();
	}
	AllAttached();
}

void
BView::_Detach()
{
	_CallDetached();
	_CallAllDetached();
	_ForgetWindow();
}

void
BView::_CallDetached()
{
	DetachedFromWindow();
	std::vector<BView*> children = fChildren;
	for (BView* child : children) {
		if (child->fParent == this)
			child->_CallDetached();
	}
}

void
BView::_CallAllDetached()
{
	std::vector<BView*> children = fChildren;
	for (BView* child : children) {
		if (child->fParent == this)
			child->_CallAllDetached();
	}
	AllDetached();
}

void
BView::_ForgetWindow()
{
	for (BView* child : fChildren)
		child->_ForgetWindow();
	if (fWindow != nullptr) {
		fWindow->_ViewRemoved(this);
		fWindow->RemoveHandler(this);
	}
	fWindow = nullptr;
}

void
BView::_DetachTopView()
{
	// The window is closing: its views leave it as a tree, so every hook sees the window
	// still there.
	for (BView* child : std::vector<BView*>(fChildren))
		child->_CallDetached();
	for (BView* child : std::vector<BView*>(fChildren))
		child->_CallAllDetached();
	for (BView* child : fChildren)
		child->_ForgetWindow();
}

// #pragma mark - geometry

BRect
BView::Bounds() const
{
	return BRect(0, 0, fFrame.Width(), fFrame.Height());
}

void
BView::MoveTo(BPoint where)
{
	if (where == fFrame.LeftTop())
		return;
	Invalidate();
	fFrame.OffsetTo(where);
	Invalidate();
	FrameMoved(where);
}

void
BView::MoveBy(float dx, float dy)
{
	MoveTo(BPoint(fFrame.left + dx, fFrame.top + dy));
}

void
BView::ResizeTo(float width, float height)
{
	if (width == fFrame.Width() && height == fFrame.Height())
		return;
	Invalidate();
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	Invalidate();
	FrameResized(width, height);
}

void
BView::ResizeBy(float dx, float dy)
{
	ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
}

void
BView::SetFlags(uint32 flags)
{
	const uint32 drawing = B_WILL_DRAW | B_DRAW_ON_CHILDREN;
	bool redraw = ((fFlags ^ flags) & drawing) != 0;
	fFlags = flags;
	// Pulses and navigation read the flags when they need them; drawing must be redone.
	if (redraw)
		Invalidate();
}

void
BView::Hide()
{
	if (fHidden)
		return;
	Invalidate();
	fHidden = true;
	// A hidden view, or one inside a hidden parent, takes no keys.
	if (fWindow != nullptr) {
		BView* focus = fWindow->CurrentFocus();
		for (BView* view = focus; view != nullptr; view = view->fParent) {
			if (view == this) {
				focus->MakeFocus(false);
				break;
			}
		}
	}
	if (BPrivate::Listening())
		BPrivate::NotifyViewState(this, B_STATE_VISIBLE, false);
}

void
BView::Show()
{
	if (!fHidden)
		return;
	fHidden = false;
	Invalidate();
	if (BPrivate::Listening())
		BPrivate::NotifyViewState(this, B_STATE_VISIBLE, true);
}

BPoint
BView::ConvertToWindow(BPoint point) const
{
	for (const BView* view = this; view != nullptr && !view->fIsTopView; view = view->fParent)
		point += view->fFrame.LeftTop();
	return point;
}

BRect
BView::ConvertToWindow(BRect rect) const
{
	BPoint offset = ConvertToWindow(B_ORIGIN);
	return rect.OffsetByCopy(offset.x, offset.y);
}

BPoint
BView::ConvertFromWindow(BPoint point) const
{
	return point - ConvertToWindow(B_ORIGIN);
}

void
BView::ConvertToScreen(BPoint* point) const
{
	*point = ConvertToWindow(*point);
	if (fWindow != nullptr)
		fWindow->ConvertToScreen(point);
}

BPoint
BView::ConvertToScreen(BPoint point) const
{
	ConvertToScreen(&point);
	return point;
}

void
BView::ConvertToScreen(BRect* rect) const
{
	BPoint offset = ConvertToScreen(B_ORIGIN);
	rect->OffsetBy(offset);
}

BRect
BView::ConvertToScreen(BRect rect) const
{
	ConvertToScreen(&rect);
	return rect;
}

void
BView::ConvertFromScreen(BPoint* point) const
{
	*point = ConvertFromScreen(*point);
}

BPoint
BView::ConvertFromScreen(BPoint point) const
{
	return point - ConvertToScreen(B_ORIGIN);
}

void
BView::ConvertToParent(BPoint* point) const
{
	*point += fFrame.LeftTop();
}

BPoint
BView::ConvertToParent(BPoint point) const
{
	return point + fFrame.LeftTop();
}

BRect
BView::ConvertToParent(BRect rect) const
{
	return rect.OffsetByCopy(fFrame.left, fFrame.top);
}

void
BView::ConvertFromParent(BPoint* point) const
{
	*point -= fFrame.LeftTop();
}

BPoint
BView::ConvertFromParent(BPoint point) const
{
	return point - fFrame.LeftTop();
}

BRect
BView::_VisibleInWindow() const
{
	BRect visible = ConvertToWindow(Bounds());
	for (const BView* view = fParent; view != nullptr; view = view->fParent) {
		if (view->fHidden)
			return BRect();
		visible = visible & view->ConvertToWindow(view->Bounds());
	}
	if (fHidden)
		return BRect();
	return visible;
}

BView*
BView::_ViewAt(BPoint point)
{
	if (fHidden)
		return nullptr;
	// Later children lie on top of earlier ones.
	for (auto child = fChildren.rbegin(); child != fChildren.rend(); ++child) {
		BView* view = *child;
		if (view->fHidden || !view->fFrame.Contains(point))
			continue;
		if (BView* found = view->_ViewAt(view->ConvertFromParent(point)))
			return found;
	}
	return Bounds().Contains(point) ? this : nullptr;
}

// #pragma mark - hooks

void
BView::AttachedToWindow()
{
}

void
BView::AllAttached()
{
}

void
BView::DetachedFromWindow()
{
}

void
BView::AllDetached()
{
}

void
BView::Draw(BRect updateRect)
{
	(void)updateRect;
}

void
BView::DrawAfterChildren(BRect updateRect)
{
	(void)updateRect;
}

void
BView::MouseDown(BPoint where)
{
	(void)where;
}

void
BView::MouseUp(BPoint where)
{
	(void)where;
}

void
BView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	(void)where;
	(void)transit;
	(void)dragMessage;
}

void
BView::KeyDown(const char* bytes, int32 numBytes)
{
	// A key the view has no use for: Tab moves the focus on, anything else goes to the
	// parent, so that a container (a keypad) still hears keys typed on its buttons.
	if (fWindow == nullptr || bytes == nullptr || numBytes <= 0)
		return;
	if (bytes[0] == B_TAB && numBytes == 1) {
		int32 modifiers = 0;
		if (BMessage* current = fWindow->CurrentMessage())
			current->FindInt32("modifiers", &modifiers);
		fWindow->_KeyboardNavigation(((uint32)modifiers & B_SHIFT_KEY) == 0);
		return;
	}
	if (fParent != nullptr && !fIsTopView)
		fParent->KeyDown(bytes, numBytes);
}

void
BView::KeyUp(const char* bytes, int32 numBytes)
{
	(void)bytes;
	(void)numBytes;
}

void
BView::Pulse()
{
}

void
BView::WindowActivated(bool active)
{
	(void)active;
}

void
BView::FrameMoved(BPoint newPosition)
{
	(void)newPosition;
}

void
BView::FrameResized(float newWidth, float newHeight)
{
	(void)newWidth;
	(void)newHeight;
}

void
BView::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

void
BView::MakeFocus(bool focus)
{
	if (fWindow == nullptr)
		return;
	if (focus) {
		if (fWindow->fFocus != this)
			fWindow->_SetFocus(this);
	} else if (fWindow->fFocus == this)
		fWindow->fFocus = nullptr;
}

bool
BView::IsFocus() const
{
	return fWindow != nullptr && fWindow->fFocus == this;
}

void
BView::GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue)
{
	(void)checkMessageQueue;
	if (fWindow == nullptr) {
		if (location != nullptr)
			*location = B_ORIGIN;
		if (buttons != nullptr)
			*buttons = 0;
		return;
	}
	if (location != nullptr)
		*location = ConvertFromWindow(fWindow->fLastMouse);
	if (buttons != nullptr) {
		// The buttons of the mouse event being handled, else the current state.
		BMessage* current = fWindow->CurrentMessage();
		int32 held = 0;
		if (current != nullptr
			&& (current->what == B_MOUSE_DOWN || current->what == B_MOUSE_UP
				|| current->what == B_MOUSE_MOVED)
			&& current->FindInt32("buttons", &held) == B_OK)
			*buttons = (uint32)held;
		else
			*buttons = BPrivate::CurrentBackend()->MouseButtons();
	}
}

void
BView::SetMouseEventMask(uint32 mask)
{
	if (mask != 0 && fWindow != nullptr)
		fWindow->fMouseView = this;
}

void
BView::Invalidate()
{
	Invalidate(Bounds());
}

void
BView::Invalidate(BRect rect)
{
	if (fWindow == nullptr || fHidden)
		return;
	BRect inWindow = ConvertToWindow(rect) & _VisibleInWindow();
	if (inWindow.IsValid())
		fWindow->_Invalidate(inWindow);
}

void
BView::SetViewColor(rgb_color color)
{
	fViewColor = color;
	Invalidate();
}

// #pragma mark - drawing the tree

void
BView::_DrawTree(BPrivate::Painter& painter, BRect clip)
{
	if (fHidden)
		return;
	BRect visible = ConvertToWindow(Bounds()) & clip;
	if (!visible.IsValid())
		return;

	painter.SetOrigin(ConvertToWindow(B_ORIGIN));
	painter.SetClip(visible);
	if (fViewColor != B_TRANSPARENT_COLOR)
		painter.FillRect(Bounds(), fViewColor);
	if ((fFlags & B_WILL_DRAW) != 0) {
		fPainter = &painter;
		Draw(BRect(ConvertFromWindow(visible.LeftTop()), ConvertFromWindow(visible.RightBottom())));
		fPainter = nullptr;
	}
	std::vector<BView*> children = fChildren;
	for (BView* child : children)
		child->_DrawTree(painter, visible);
	if ((fFlags & B_DRAW_ON_CHILDREN) != 0 && (fFlags & B_WILL_DRAW) != 0) {
		painter.SetOrigin(ConvertToWindow(B_ORIGIN));
		painter.SetClip(visible);
		fPainter = &painter;
		DrawAfterChildren(
			BRect(ConvertFromWindow(visible.LeftTop()), ConvertFromWindow(visible.RightBottom())));
		fPainter = nullptr;
	}
}
