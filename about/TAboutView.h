// The about text: read-only, not selectable, with a bold title and two blue web addresses at
// fixed character offsets. A click on an address opens it in the browser; clicks do nothing
// else, not even select or place a caret. The offsets assume the long about text's layout.
#pragma once

#include "TextView.h"

class TAboutView : public BTextView {
public:
	TAboutView(BRect frame, const char* text);
	~TAboutView() override;

	void MouseDown(BPoint where) override;

	// The two web addresses, for a screen reader; activating one opens it like a click.
	int32 CountAccessibleLinks() const override;
	bool GetAccessibleLink(int32 index, int32* outStart, int32* outEnd,
		std::string* outAddress) const override;
	void ActivateAccessibleLink(int32 index) override;

private:
	void _OpenLink(int32 offset, int32 start, int32 end, const char* address);

	// Style ranges are half-open; a click counts on the end offset too, so the newline after
	// each address still opens it.
	int32 fLink1Start;
	int32 fLink1End;
	int32 fLink2Start;
	int32 fLink2End;
};
