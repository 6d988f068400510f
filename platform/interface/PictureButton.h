// BPictureButton: a button drawn by two pictures, off (released) and on (pressed).
#pragma once

#include <memory>

#include "Control.h"
#include "Picture.h"

enum {
	B_ONE_STATE_BUTTON = 0,
	B_TWO_STATE_BUTTON = 1,
};

class BPictureButton : public BControl {
public:
	BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on, BMessage* message,
		uint32 behavior = B_ONE_STATE_BUTTON, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	~BPictureButton() override;

	void Draw(BRect updateRect) override;
	void MouseDown(BPoint where) override;
	void MouseUp(BPoint where) override;
	void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	void KeyDown(const char* bytes, int32 numBytes) override;

	// Clicks as the pointer does: a two-state button flips first.
	void DoAccessibleAction(int32 index) override;
	uint64 AccessibleStates() const override;

	BPicture* EnabledOff() const { return fOff.get(); }
	BPicture* EnabledOn() const { return fOn.get(); }
	uint32 Behavior() const { return fBehavior; }

private:
	void _Click();

	std::unique_ptr<BPicture> fOff;
	std::unique_ptr<BPicture> fOn;
	uint32 fBehavior;
};
