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

	status_t Invoke(BMessage* message = nullptr) override;

protected:
	BLooper* _DefaultLooper() const override;

private:
	std::string fLabel;
	int32 fValue = 0;
	bool fEnabled = true;
};
