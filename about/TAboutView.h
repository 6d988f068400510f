// The about text: read-only, not selectable, with a bold title and two blue web addresses at
// fixed character offsets. A click on an address opens it in the browser; clicks do nothing
// else, not even select or place a caret. Tab stops at each address in turn (underlined while
// the keyboard is on it), and Space opens it. The offsets assume the long about
// text's layout.
#pragma once

#include "TextView.h"

class TAboutView : public BTextView {
public:
	TAboutView(BRect frame, const char* text);
	~TAboutView() override;

	void Draw(BRect updateRect) override;
	void MouseDown(BPoint where) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void MakeFocus(bool focus = true) override;

	// The address the keyboard is on: 0 or 1, or -1 without the focus.
	int32 KeyboardLink() const { return fKeyboardLink; }

	// The two web addresses, for a screen reader; activating one opens it like a click.
	int32 CountAccessibleLinks() const override;
	bool GetAccessibleLink(int32 index, int32* outStart, int32* outEnd,
		std::string* outAddress) const override;
	void ActivateAccessibleLink(int32 index) override;

private:
	void _OpenLink(int32 offset, int32 start, int32 end, const char* address);
	void _SetKeyboardLink(int32 index);

	// Style ranges are half-open; a click counts on the end offset too, so the newline after
	// each address still opens it.
	int32 fLink1Start;
	int32 fLink1End;
	int32 fLink2Start;
	int32 fLink2End;
	int32 fKeyboardLink = -1;
};
