#include "TEdit.h"

#include <algorithm>
#include <string>

#include "AmountInput.h"
#include "Conversion.h"
#include "DecimalText.h"
#include "Messages.h"
#include "Window.h"

namespace {

// Past the end of every two-decimal amount the field shows: selecting here puts the caret
// after the last character.
constexpr int32 kCaretAtEnd = 40;

} // namespace

TEdit::TEdit(BRect frame, BView* target, BRect textRect, uint32 resizingMode) :
	BTextView(frame, "", textRect, resizingMode, B_WILL_DRAW | B_PULSE_NEEDED),
	fTarget(target)
{
	SetAlignment(B_ALIGN_RIGHT);
	SetFontAndColor(be_bold_font, B_FONT_ALL);
	SetWordWrap(false);
	SetMaxBytes((int32)kAmountMaxTypedBytes);
}

TEdit::~TEdit() = default;

void
TEdit::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes >= 1 && bytes != nullptr && (bytes[0] == B_TAB || bytes[0] == B_ENTER)) {
		// The rewrite reads at most kAmountReadDigits digits; a longer result in the
		// read-only target field would lose its tail, so that one is left as it is.
		if (IsEditable() || (size_t)TextLength() <= kAmountReadDigits) {
			std::string amount = FormatAmountTwoDecimals(Text());
			SetText(amount.c_str());
		}
		// The rewrite of an oversized amount can end beyond offset 40.
		int32 end = std::max(kCaretAtEnd, TextLength());
		Select(end, end);
		// Neither a tab character, a focus move nor a line break: the key ends here.
		return;
	}
	BTextView::KeyDown(bytes, numBytes);
}

double
TEdit::GetDouble() const
{
	return ParseAmount(Text());
}

void
TEdit::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
	if (!IsEditable()) {
		BTextView::InsertText(text, length, offset, runs);
		return;
	}
	// What the user types or pastes is read as the writer of a pasted text meant it (a
	// single key reads as the filter reads it); the program's own texts are only filtered.
	// The text view then cuts what is let in to the room its byte limit leaves.
	std::string accepted;
	if (text != nullptr && length > 0) {
		accepted = InsertsTypedText() ? ReadPastedAmount(text, (size_t)length)
									  : FilterAmountInput(text, (size_t)length);
	}
	BTextView::InsertText(accepted.c_str(), (int32)accepted.size(), offset, runs);
	// Reported even when the filter left nothing: the converter recomputes either way.
	_NotifyChange();
}

void
TEdit::DeleteText(int32 fromOffset, int32 toOffset)
{
	BTextView::DeleteText(fromOffset, toOffset);
	if (IsEditable())
		_NotifyChange();
}

void
TEdit::_NotifyChange()
{
	// The first text is set before the field joins a window; there is nobody to tell then.
	BWindow* window = Window();
	if (window == nullptr)
		return;
	window->PostMessage(kMsgAmountChanged, fTarget);
}
