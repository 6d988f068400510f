// The calculator pad: a small borderless window under the amount field that edits it in
// place. It closes after "=" and whenever it loses activation, so at most one is open. The
// opener sets its feel and shows it.
#pragma once

#include "Window.h"

class BTextView;
class CalcView;

class CalcWnd : public BWindow {
public:
	// frame in screen coordinates; target is the field the pad edits (not owned).
	CalcWnd(BRect frame, BTextView* target);

	void WindowActivated(bool active) override;

	CalcView* View() const { return fView; }

private:
	CalcView* fView;
};
