// The pad's only view: its 19 buttons, the keyboard map and the action of each key, which
// edits the text view it was given (the converter's amount field) in place. It shows no
// number of its own; the arithmetic lives in CalcEngine.
#pragma once

#include "CalcButtons.h"
#include "CalcEngine.h"
#include "View.h"

class BButton;
class BTextView;

enum : uint32 {
	kCalcPressed = 'PRES', // int32 "ix": the button index
};

class CalcView : public BView {
public:
	explicit CalcView(BRect frame);

	void MessageReceived(BMessage* message) override;
	void AllAttached() override;
	void KeyDown(const char* bytes, int32 numBytes) override;

	// The text view the pad edits; not owned. The pad keeps only its token, so a field that
	// went away is simply no longer edited.
	void SetTarget(BTextView* target);
	BTextView* Target() const;

	// Writes the label of button index into out (at least 3 bytes) and returns out; writes
	// nothing for an index outside the table.
	char* BtnText(char* out, int32 index) const;
	// Carries out one key: edits the target with its window locked, and for "=" hands the
	// focus back to the field and closes the pad.
	void Aktion(int32 index);
	// Closes the pad without a result and hands the focus back to the field (Escape).
	void Dismiss();

	BButton* ButtonAt(int32 index) const;
	const CalcEngine& Engine() const { return fEngine; }

private:
	double _FieldValue(BTextView* target) const;

	CalcEngine fEngine;
	int32 fTargetToken = -1;
	BButton* fButtons[kCalcButtonCount] = {};
};
