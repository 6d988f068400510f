// What a window tells the window manager: its kind, the window it belongs to, whether it can
// be resized, and where it first appears so that its frame lies on the screen.
#include "LooperPrivate.h"
#include "Window.h"

#include "AppDefs.h"
#include "Application.h"
#include "Backend.h"
#include "Looper.h"
#include "WindowPrivate.h"

using BPrivate::FrameExtents;
using BPrivate::WindowAccess;
using BPrivate::WindowKind;

namespace {

// The frame a window of this look gets from the window manager before it reports one.
FrameExtents
TypicalExtents(window_look look, bool popup)
{
	if (popup)
		return FrameExtents();
	if (BPrivate::IsDecoratedLook(look))
		return BPrivate::CurrentBackend()->TypicalExtents(true);
	if (BPrivate::IsBorderedLook(look))
		return BPrivate::CurrentBackend()->TypicalExtents(false);
	return FrameExtents();
}

// Clamps a span [low, high] into [min, max] by moving it; the low end wins when it is larger.
float
Shift(float low, float high, float min, float max)
{
	float shift = 0;
	if (high > max)
		shift = max - high;
	if (low + shift < min)
		shift = min - low;
	return shift;
}

} // namespace

namespace BPrivate {

BRect
FitOnScreen(BRect frame, const FrameExtents& extents, BRect screen)
{
	float dx = Shift(frame.left - extents.left, frame.right + extents.right, screen.left,
		screen.right);
	float dy = Shift(frame.top - extents.top, frame.bottom + extents.bottom, screen.top,
		screen.bottom);
	return frame.OffsetByCopy(dx, dy);
}

void
WindowAccess::SetKind(BWindow* window, WindowKind kind)
{
	window->fKind = kind;
	window->fKindFixed = true;
}

WindowKind
WindowAccess::Kind(const BWindow* window)
{
	return window->fKind;
}

BPrivate::WindowNode*&
WindowAccess::Accessible(BWindow* window)
{
	return window->fAccessible;
}

void
WindowAccess::SetOwner(BWindow* window, const BWindow* owner)
{
	window->fOwnerId = owner != nullptr ? BackendId(owner) : 0;
	window->fOwnerFixed = true;
}

void
WindowAccess::CloseRequested(BWindow* window)
{
	if (BWindow* modal = window->_BlockingModal()) {
		modal->Activate();
		return;
	}
	window->PostMessage(B_QUIT_REQUESTED, window);
}

} // namespace BPrivate

BRect
BWindow::DecoratorFrame() const
{
	FrameExtents extents = fServerWindow ? fServerWindow->Extents() : TypicalExtents(fLook, fPopup);
	return BRect(fFrame.left - extents.left, fFrame.top - extents.top, fFrame.right + extents.right,
		fFrame.bottom + extents.bottom);
}

bool
BWindow::IsDecorated() const
{
	if (fServerWindow)
		return fServerWindow->IsDecorated();
	return BPrivate::IsDecoratedLook(fLook) && !fPopup;
}

void
BWindow::_FitOnScreen()
{
	fFrame = BPrivate::FitOnScreen(fFrame, TypicalExtents(fLook, fPopup),
		BPrivate::CurrentBackend()->ScreenFrame());
}

BWindow*
BWindow::_FindOwner() const
{
	// Dialogs and tool windows belong to the application's main window: its first shown
	// window that belongs to no other. The first window itself belongs to none, whatever
	// its feel.
	bool subordinate = (fKindFixed && fKind != WindowKind::kNormal) || BPrivate::IsModalFeel(fFeel)
		|| BPrivate::IsFloatingFeel(fFeel);
	if (!subordinate || fPopup)
		return nullptr;
	BWindow* owner = nullptr;
	for (BLooper* looper : BPrivate::LooperAccess::All()) {
		BWindow* window = dynamic_cast<BWindow*>(looper);
		if (window == nullptr || window == this || window->fPopup || window->fQuitting
			|| window->IsHidden() || !window->fServerWindow || window->fOwnerId != 0)
			continue;
		if (owner == nullptr || WindowAccess::BackendId(window) < WindowAccess::BackendId(owner))
			owner = window;
	}
	return owner;
}

BPrivate::WindowSpec
BWindow::_Spec()
{
	BPrivate::WindowSpec spec;
	spec.frame = fFrame;
	spec.title = fTitle;
	spec.decorated = BPrivate::IsDecoratedLook(fLook) && !fPopup;
	spec.bordered = BPrivate::IsBorderedLook(fLook) && !fPopup;
	spec.alwaysOnTop = BPrivate::IsOnTopFeel(fFeel) || fPopup;
	spec.popupMenu = fPopup;
	spec.modal = BPrivate::IsModalFeel(fFeel);
	// Only a frame with a border to drag is resized by the user; a fixed-size window must
	// say so, or window managers offer to maximise it.
	spec.resizable = spec.decorated && (fFlags & B_NOT_RESIZABLE) == 0;

	if (!fOwnerFixed) {
		BWindow* owner = _FindOwner();
		fOwnerId = owner != nullptr ? WindowAccess::BackendId(owner) : 0;
	}
	spec.parent = fOwnerId;

	if (fKindFixed)
		spec.kind = fKind;
	else if (BPrivate::IsModalFeel(fFeel))
		spec.kind = WindowKind::kDialog;
	else if (BPrivate::IsFloatingFeel(fFeel) && fOwnerId != 0)
		spec.kind = WindowKind::kUtility;
	else
		spec.kind = WindowKind::kNormal;
	// A window that belongs to another is reached through it, not through the task bar.
	spec.skipTaskbar = fOwnerId != 0 || fPopup;
	return spec;
}
