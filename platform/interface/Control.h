// BControl: a view that is also an invoker, with a label, a value and an enabled state.
#pragma once

#include <string>

#include "Invoker.h"
#include "View.h"

enum {
	B_CONTROL_OFF = 0,
	B_CONTROL_ON = 1,
};

class BControl : public BView, public BInvoker {
public:
	BControl(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode, uint32 flags);
	~BControl() override;

	virtual void SetLabel(const char* label);
	const char* Label() const { return fLabel.c_str(); }
	virtual void SetValue(int32 value);
	int32 Value() const { return fValue; }
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const { return fEnabled; }
	void AttachedToWindow() override;
	void MakeFocus(bool focus = true) override;
	void WindowActivated(bool active) override;

	status_t Invoke(BMessage* message = nullptr) override;

	// A push button named by its label unless the program names it; "press" invokes it.
	std::string AccessibleName() const override;
	accessible_role AccessibleRole() const override;
	uint64 AccessibleStates() const override;
	int32 CountAccessibleActions() const override;
	const char* AccessibleActionName(int32 index) const override;
	const char* AccessibleActionDescription(int32 index) const override;
	void DoAccessibleAction(int32 index) override;

	bool IsPressed() const { return fPressed; }
	bool IsTracking() const { return fTracking; }

protected:
	BLooper* _DefaultLooper() const override;

	// The keyboard-navigation mark is due: focused by Tab in the active window, enabled.
	bool _ShowsFocusMark() const;

	// Press tracking of the kit's push buttons: pressed while the mouse button is held over
	// the control, let go when the pointer leaves, pressed again when it comes back.
	void _BeginPress();
	void _FollowPress(BPoint where);
	// Ends the press; true when it ended over the enabled control, which makes it a click.
	bool _EndPress(BPoint where);

private:
	std::string fLabel;
	int32 fValue = 0;
	bool fEnabled = true;
	bool fPressed = false;
	bool fTracking = false;
};
