#include "PictureButton.h"

BPictureButton::BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on,
	BMessage* message, uint32 behavior, uint32 resizingMode, uint32 flags) :
	BControl(frame, name, nullptr, message, resizingMode, flags),
	fOff(off),
	fOn(on),
	fBehavior(behavior)
{
}

BPictureButton::~BPictureButton() = default;

void
BPictureButton::Draw(BRect updateRect)
{
	(void)updateRect;
	// Pressing shows the other state's picture: "on" for a one-state button, the opposite
	// of its value for a two-state one.
	bool showOn = (Value() == B_CONTROL_ON) != IsPressed();
	const BPicture* picture = showOn ? fOn.get() : fOff.get();
	if (picture != nullptr)
		DrawPicture(picture, B_ORIGIN);
	if (_ShowsFocusMark()) {
		// Over the picture: it fills the whole frame and leaves no room beside it.
		PushState();
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		StrokeRect(Bounds());
		PopState();
	}
}

void
BPictureButton::MouseDown(BPoint where)
{
	(void)where;
	_BeginPress();
}

void
BPictureButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	(void)transit;
	(void)dragMessage;
	_FollowPress(where);
}

void
BPictureButton::MouseUp(BPoint where)
{
	if (_EndPress(where))
		_Click();
}

void
BPictureButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
		if (IsEnabled())
			_Click();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

void
BPictureButton::_Click()
{
	if (fBehavior == B_TWO_STATE_BUTTON)
		SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
	Invoke();
}

void
BPictureButton::DoAccessibleAction(int32 index)
{
	if (index == 0 && IsEnabled())
		_Click();
}

uint64
BPictureButton::AccessibleStates() const
{
	uint64 states = BControl::AccessibleStates();
	if (fBehavior == B_TWO_STATE_BUTTON) {
		states |= B_STATE_CHECKABLE;
		if (Value() == B_CONTROL_ON)
			states |= B_STATE_CHECKED;
	}
	return states;
}
