#include "CalcWnd.h"

#include "CalcView.h"

CalcWnd::CalcWnd(BRect frame, BTextView* target) :
	BWindow(frame, "Calc", B_UNTYPED_WINDOW, B_NOT_ZOOMABLE, B_CURRENT_WORKSPACE)
{
	SetLook(B_BORDERED_WINDOW_LOOK);

	// One pixel narrower and lower than the 104 x 130 window, so the keys of the right
	// column and the bottom row, which reach one pixel beyond the view, are clipped there.
	fView = new CalcView(BRect(0, 0, 103, 129));
	AddChild(fView);
	fView->SetTarget(target);
	// Keys typed while the pad is active go to the keypad, not to the buttons.
	fView->MakeFocus(true);
}

void
CalcWnd::WindowActivated(bool active)
{
	BWindow::WindowActivated(active);
	// Behaves like a transient pop-up: a click anywhere else dismisses it.
	if (!active)
		Quit();
}
