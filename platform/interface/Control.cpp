#include "Control.h"

#include "AccessibleKit.h"
#include "Window.h"
#include "WindowPrivate.h"

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags),
	BInvoker(message),
	fLabel(label != nullptr ? label : "")
{
}

BControl::~BControl() = default;

void
BControl::SetLabel(const char* label)
{
	std::string newLabel = label != nullptr ? label : "";
	if (newLabel == fLabel)
		return;
	fLabel = std::move(newLabel);
	Invalidate();
	if (BPrivate::Listening())
		BPrivate::NotifyViewName(this);
}

void
BControl::SetValue(int32 value)
{
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
}

void
BControl::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	Invalidate();
	if (BPrivate::Listening())
		BPrivate::NotifyViewState(this, B_STATE_ENABLED, enabled);
}

void
BControl::AttachedToWindow()
{
	// A control paints the background of whatever it sits on, so it blends in.
	BView* parent = _RawParent();
	rgb_color color = parent != nullptr ? parent->ViewColor() : ui_color(B_PANEL_BACKGROUND_COLOR);
	SetViewColor(color);
	SetLowColor(color);
	BView::AttachedToWindow();
}

void
BControl::MakeFocus(bool focus)
{
	// Also when the window already moved the focus on and only tells this control: its
	// focus mark has to go.
	bool wasFocus = IsFocus();
	BView::MakeFocus(focus);
	if (wasFocus != IsFocus() || !focus)
		Invalidate();
}

void
BControl::WindowActivated(bool active)
{
	BView::WindowActivated(active);
	// The focus mark shows only in the active window.
	if (IsFocus())
		Invalidate();
}

bool
BControl::_ShowsFocusMark() const
{
	BWindow* window = Window();
	return IsFocus() && IsEnabled() && window != nullptr && window->IsActive()
		&& BPrivate::WindowAccess::FocusFromKeyboard(window);
}

status_t
BControl::Invoke(BMessage* message)
{
	return BInvoker::Invoke(message);
}

BLooper*
BControl::_DefaultLooper() const
{
	return Window();
}

// #pragma mark - press tracking

void
BControl::_BeginPress()
{
	if (!IsEnabled())
		return;
	SetMouseEventMask(B_PRIMARY_MOUSE_BUTTON);
	fTracking = true;
	if (!fPressed) {
		fPressed = true;
		Invalidate();
	}
}

void
BControl::_FollowPress(BPoint where)
{
	if (!fTracking)
		return;
	bool inside = Bounds().Contains(where);
	if (inside != fPressed) {
		fPressed = inside;
		Invalidate();
	}
}

bool
BControl::_EndPress(BPoint where)
{
	if (!fTracking)
		return false;
	fTracking = false;
	if (fPressed) {
		fPressed = false;
		Invalidate();
	}
	return Bounds().Contains(where) && IsEnabled();
}

// #pragma mark - accessibility

std::string
BControl::AccessibleName() const
{
	std::string name = BView::AccessibleName();
	return name.empty() ? fLabel : name;
}

accessible_role
BControl::AccessibleRole() const
{
	return B_ROLE_PUSH_BUTTON;
}

uint64
BControl::AccessibleStates() const
{
	uint64 states = fEnabled ? B_STATE_ENABLED : 0;
	if (fPressed)
		states |= B_STATE_PRESSED;
	return states;
}

int32
BControl::CountAccessibleActions() const
{
	return 1;
}

const char*
BControl::AccessibleActionName(int32 index) const
{
	return index == 0 ? "press" : "";
}

const char*
BControl::AccessibleActionDescription(int32 index) const
{
	return index == 0 ? "Dr\xC3\xBC"
						"cken"
					  : "";
}

void
BControl::DoAccessibleAction(int32 index)
{
	if (index == 0 && fEnabled)
		Invoke();
}
