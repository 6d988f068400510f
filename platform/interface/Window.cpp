#include "Window.h"

#include <cairo.h>

#include <algorithm>
#include <vector>

#include "AccessibleKit.h"
#include "AppDefs.h"
#include "Application.h"
#include "Backend.h"
#include "Button.h"
#include "LooperPrivate.h"
#include "Message.h"
#include "Painter.h"
#include "Resources.h"
#include "SystemPalette.h"
#include "View.h"
#include "WindowPrivate.h"

using BPrivate::IsBorderedLook;
using BPrivate::IsDecoratedLook;
using BPrivate::IsOnTopFeel;
using BPrivate::WindowAccess;

namespace {

// The application's 32x32 icon ('ICON' 101, palette indices) as ARGB for the window icon.
bool
ApplicationIcon(std::vector<uint32>* argb)
{
	size_t size = 0;
	const uint8* data = static_cast<const uint8*>(
		BApplication::AppResources()->LoadResource('ICON', 101, &size));
	if (data == nullptr || size < 32 * 32)
		return false;
	const rgb_color* palette = system_palette();
	argb->resize(32 * 32);
	for (int32 i = 0; i < 32 * 32; i++) {
		rgb_color color = palette[data[i]];
		(*argb)[i] = data[i] == B_TRANSPARENT_MAGIC_CMAP8
			? 0
			: (0xffu << 24) | (color.red << 16) | (color.green << 8) | color.blue;
	}
	return true;
}

} // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace) :
	BLooper(title)
{
	(void)workspace;
	window_look look = B_TITLED_WINDOW_LOOK;
	window_feel feel = B_NORMAL_WINDOW_FEEL;
	switch (type) {
		case B_MODAL_WINDOW:
			look = B_MODAL_WINDOW_LOOK;
			feel = B_MODAL_APP_WINDOW_FEEL;
			break;
		case B_BORDERED_WINDOW:
			look = B_BORDERED_WINDOW_LOOK;
			break;
		case B_FLOATING_WINDOW:
			look = B_FLOATING_WINDOW_LOOK;
			feel = B_FLOATING_APP_WINDOW_FEEL;
			break;
		case B_DOCUMENT_WINDOW:
			look = B_DOCUMENT_WINDOW_LOOK;
			break;
		default:
			break;
	}
	fType = type;
	_Init(frame, title, look, feel, flags);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	uint32 workspace) :
	BLooper(title)
{
	(void)workspace;
	fType = B_UNTYPED_WINDOW;
	_Init(frame, title, look, feel, flags);
}

void
BWindow::_Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags)
{
	fTitle = title ? title : "";
	fFrame = frame;
	fLook = look;
	fFeel = feel;
	fFlags = flags;
	fKind = BPrivate::WindowKind::kNormal;
	fTopView = new BView(Bounds(), "top view", B_FOLLOW_ALL_SIDES, 0);
	fTopView->_MarkTopView();
	fTopView->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fTopView->SetNextHandler(this);
	fTopView->_SetWindow(this);
}

BWindow::~BWindow()
{
	fFocus = nullptr;
	fMouseView = nullptr;
	fLastMouseOver = nullptr;
	fDefaultButton = nullptr;
	if (BPrivate::Listening() && fShowLevel > 0 && !fQuitting)
		BPrivate::NotifyWindowHidden(this, BPrivate::ShownWindowIndex(this));
	delete fTopView;
	fTopView = nullptr;
	BPrivate::ForgetWindow(this);
	fServerWindow.reset();
}

// #pragma mark - showing and quitting

void
BWindow::Show()
{
	fShowLevel++;
	if (fShowLevel != 1)
		return;

	if (!fServerWindow) {
		// Pop-up menus place themselves.
		if (!fPopup)
			_FitOnScreen();
		fServerWindow = BPrivate::CurrentBackend()->CreateWindow(_Spec());
		if (!fServerWindow) {
			// The window system refused the window: the BWindow lives on, unseen, and says so.
			fInitStatus = B_ERROR;
			fShowLevel = 0;
			return;
		}
		std::vector<uint32> icon;
		if (!fPopup && ApplicationIcon(&icon))
			fServerWindow->SetIcon(reinterpret_cast<const uint8*>(icon.data()), 32, 32);
	}
	_Invalidate(Bounds());
	_Redraw();
	fServerWindow->Show();
	_Present();
	if (BPrivate::Listening())
		BPrivate::NotifyWindowShown(this);
	if (!fPopup && (fFlags & B_AVOID_FOCUS) == 0)
		fServerWindow->Activate();
}

void
BWindow::Hide()
{
	int32 index = BPrivate::Listening() ? BPrivate::ShownWindowIndex(this) : -1;
	fShowLevel--;
	if (fShowLevel == 0 && fServerWindow) {
		fServerWindow->Hide();
		BPrivate::NotifyWindowHidden(this, index);
	}
}

void
BWindow::Quit()
{
	if (fQuitting)
		return;
	int32 index = BPrivate::Listening() ? BPrivate::ShownWindowIndex(this) : -1;
	fQuitting = true;
	if (fServerWindow && fShowLevel > 0) {
		fServerWindow->Hide();
		BPrivate::NotifyWindowHidden(this, index);
	}
	fShowLevel = 0;
	_ScheduleDelete();
}

bool
BWindow::QuitRequested()
{
	return true;
}

// #pragma mark - views

void
BWindow::AddChild(BView* child, BView* before)
{
	fTopView->AddChild(child, before);
}

bool
BWindow::RemoveChild(BView* child)
{
	return fTopView->RemoveChild(child);
}

int32
BWindow::CountChildren() const
{
	return fTopView->CountChildren();
}

BView*
BWindow::ChildAt(int32 index) const
{
	return fTopView->ChildAt(index);
}

BView*
BWindow::FindView(const char* name) const
{
	return fTopView->FindView(name);
}

BView*
BWindow::FindView(BPoint point) const
{
	BView* view = fTopView->_ViewAt(point);
	return view == fTopView ? nullptr : view;
}

void
BWindow::_SetFocus(BView* view)
{
	if (fFocus == view)
		return;
	BView* old = fFocus;
	fFocus = view;
	fFocusFromKeyboard = false;
	if (old != nullptr)
		old->MakeFocus(false);
	if (BPrivate::Listening() && fActive) {
		if (old != nullptr && old->Window() == this)
			BPrivate::NotifyViewState(old, B_STATE_FOCUSED, false);
		BPrivate::NotifyFocus(fFocus);
	}
}

void
BWindow::_ViewRemoved(BView* view)
{
	if (fFocus == view)
		fFocus = nullptr;
	if (fMouseView == view)
		fMouseView = nullptr;
	if (fLastMouseOver == view)
		fLastMouseOver = nullptr;
	if ((BView*)fDefaultButton == view)
		fDefaultButton = nullptr;
}

void
BWindow::SetDefaultButton(BButton* button)
{
	if (fDefaultButton == button)
		return;
	BButton* old = fDefaultButton;
	fDefaultButton = button;
	if (old != nullptr)
		old->Invalidate();
	if (button != nullptr)
		button->Invalidate();
}

// #pragma mark - geometry

BRect
BWindow::Bounds() const
{
	return BRect(0, 0, fFrame.Width(), fFrame.Height());
}

void
BWindow::MoveTo(BPoint where)
{
	fFrame.OffsetTo(where);
	if (fServerWindow)
		fServerWindow->MoveTo(where);
	BPrivate::NotifyWindowMoved(this);
}

void
BWindow::MoveBy(float dx, float dy)
{
	MoveTo(BPoint(fFrame.left + dx, fFrame.top + dy));
}

void
BWindow::ResizeTo(float width, float height)
{
	if (width < 0 || height < 0)
		return;
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	fTopView->ResizeTo(width, height);
	fBackingStore.reset();
	if (fServerWindow)
		fServerWindow->ResizeTo((int32)width + 1, (int32)height + 1);
	_Invalidate(Bounds());
}

void
BWindow::SetTitle(const char* title)
{
	fTitle = title ? title : "";
	SetName(title);
	if (fServerWindow)
		fServerWindow->SetTitle(fTitle.c_str());
	BPrivate::NotifyWindowTitle(this);
}

status_t
BWindow::SetLook(window_look look)
{
	fLook = look;
	if (fServerWindow) {
		fServerWindow->SetDecorated(IsDecoratedLook(look) && !fPopup);
		fServerWindow->SetBordered(IsBorderedLook(look) && !fPopup);
	}
	return B_OK;
}

status_t
BWindow::SetFeel(window_feel feel)
{
	fFeel = feel;
	if (fServerWindow) {
		fServerWindow->SetAlwaysOnTop(IsOnTopFeel(feel) || fPopup);
		fServerWindow->SetModal(BPrivate::IsModalFeel(feel));
	}
	return B_OK;
}

void
BWindow::ConvertToScreen(BPoint* point) const
{
	point->x += fFrame.left;
	point->y += fFrame.top;
}

BPoint
BWindow::ConvertToScreen(BPoint point) const
{
	ConvertToScreen(&point);
	return point;
}

BRect
BWindow::ConvertToScreen(BRect rect) const
{
	return rect.OffsetByCopy(fFrame.left, fFrame.top);
}

void
BWindow::ConvertFromScreen(BPoint* point) const
{
	point->x -= fFrame.left;
	point->y -= fFrame.top;
}

BPoint
BWindow::ConvertFromScreen(BPoint point) const
{
	ConvertFromScreen(&point);
	return point;
}

// #pragma mark - activation

void
BWindow::WindowActivated(bool active)
{
	(void)active;
}

void
BWindow::FrameMoved(BPoint newPosition)
{
	(void)newPosition;
}

void
BWindow::Activate(bool active)
{
	if (active && fServerWindow && fShowLevel > 0)
		fServerWindow->Activate();
}

// #pragma mark - kit access

namespace BPrivate {

uint32
WindowAccess::BackendId(const BWindow* window)
{
	return window->fServerWindow ? window->fServerWindow->Id() : 0;
}

cairo_surface_t*
WindowAccess::BackingStore(BWindow* window)
{
	window->_EnsureBackingStore();
	return window->fBackingStore->surface;
}

DisplayScale
WindowAccess::BackingScale(BWindow* window)
{
	window->_EnsureBackingStore();
	return DisplayScale::FromUnits(window->fBackingScaleUnits);
}

void
WindowAccess::MarkNeedsPresent(BWindow* window)
{
	window->fNeedsPresent = true;
}

void
WindowAccess::SetPopup(BWindow* window, bool popup)
{
	window->fPopup = popup;
}

bool
WindowAccess::IsPopup(const BWindow* window)
{
	return window->fPopup;
}

BView*
WindowAccess::TopView(BWindow* window)
{
	return window->fTopView;
}

bigtime_t&
WindowAccess::NextPulse(BWindow* window)
{
	return window->fNextPulse;
}

bool
WindowAccess::IsQuitting(const BWindow* window)
{
	return window->fQuitting;
}

void
WindowAccess::Update(BWindow* window)
{
	if (window->fQuitting || window->fShowLevel <= 0)
		return;
	window->_Redraw();
	window->_Present();
}

void
WindowAccess::SetFrameFromBackend(BWindow* window, BRect frame)
{
	if (frame.LeftTop() == window->fFrame.LeftTop())
		return;
	window->fFrame.OffsetTo(frame.LeftTop());
	window->FrameMoved(frame.LeftTop());
	NotifyWindowMoved(window);
}

void
WindowAccess::Exposed(BWindow* window)
{
	// The display scale changed meanwhile (a window moved to an output of another scale):
	// drawn again at the new one, not shown enlarged or shrunk.
	if (window->fBackingStore != nullptr
		&& window->fBackingScaleUnits != BPrivate::CurrentBackend()->Scale().Units()) {
		window->fBackingStore.reset();
		window->_Invalidate(window->Bounds());
	}
	window->fNeedsPresent = true;
}

BWindow*
WindowAccess::FindByBackendId(uint32 id)
{
	if (id == 0)
		return nullptr;
	for (BLooper* looper : BPrivate::LooperAccess::All()) {
		BWindow* window = dynamic_cast<BWindow*>(looper);
		if (window != nullptr && BackendId(window) == id)
			return window;
	}
	return nullptr;
}

} // namespace BPrivate
