#include "PictureButton.h"

BPictureButton::BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on,
	BMessage* message, uint32 behavior, uint32 resizingMode, uint32 flags)
	:
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
	bool showOn = (Value() == B_CONTROL_ON) != fPressed;
	const BPicture* picture = showOn ? fOn.get() : fOff.get();
	if (picture != nullptr)
		DrawPicture(picture, B_ORIGIN);
}

void
BPictureButton::MouseDown(BPoint where)
{
	(void)where;
	if (!IsEnabled())
		return;
	SetMouseEventMask(1);
	fTracking = true;
	if (!fPressed) {
		fPressed = true;
		Invalidate();
	}
}

void
BPictureButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	(void)transit;
	(void)dragMessage;
	if (!fTracking)
		return;
	bool inside = Bounds().Contains(where);
	if (inside != fPressed) {
		fPressed = inside;
		Invalidate();
	}
}

void
BPictureButton::MouseUp(BPoint where)
{
	if (!fTracking)
		return;
	fTracking = false;
	bool inside = Bounds().Contains(where);
	if (fPressed) {
		fPressed = false;
		Invalidate();
	}
	if (!inside || !IsEnabled())
		return;
	if (fBehavior == B_TWO_STATE_BUTTON)
		SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
	Invoke();
}

void
BPictureButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
		if (!IsEnabled())
			return;
		if (fBehavior == B_TWO_STATE_BUTTON)
			SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
		Invoke();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}
