// A view's frame and visibility, and points and rectangles between its coordinates and its
// parent's, its window's and the screen's. The tree and the hooks live in View.cpp.
#include "View.h"

#include "AccessibleNodes.h"
#include "Window.h"

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
BView::ConvertFromParent(BPoint point) const
{
	return point - fFrame.LeftTop();
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
