// BButton: a push button with the platform's bevelled look. Sends its message when released
// over it; the default button of a window is marked and also triggered by Enter.
#pragma once

#include "Control.h"

class BButton : public BControl {
public:
	BButton(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	~BButton() override;

	void Draw(BRect updateRect) override;
	void MouseDown(BPoint where) override;
	void MouseUp(BPoint where) override;
	void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	void KeyDown(const char* bytes, int32 numBytes) override;

	uint64 AccessibleStates() const override;

	virtual void MakeDefault(bool flag);
	bool IsDefault() const;
};
