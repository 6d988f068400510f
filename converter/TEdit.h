// TEdit: the one-line amount field. While editable it lets in only the characters of a
// decimal number (a comma becomes a point) and reports every change of its text with
// 'EoCh'; Tab and Enter rewrite the amount with two decimals. A read-only field takes any
// text unchanged and reports nothing. It does not convert; its notification target does.
#pragma once

#include "TextView.h"

class TEdit : public BTextView {
public:
	// target receives the change messages; with none they go to the window's focus view.
	TEdit(BRect frame, BView* target, BRect textRect, uint32 resizingMode);
	~TEdit() override;

	void KeyDown(const char* bytes, int32 numBytes) override;

	// The amount the text reads as; 0 for an empty text or one that is not a number.
	double GetDouble() const;

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override;
	void DeleteText(int32 fromOffset, int32 toOffset) override;

private:
	void _NotifyChange();

	BView* fTarget;
};
