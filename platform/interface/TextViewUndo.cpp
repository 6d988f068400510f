// BTextView's one undo step and its part in the X primary selection. Both change the text
// only through DeleteText and InsertText, so a subclass that filters or reports edits sees
// an undo or a middle-click paste like any other.
#include "TextView.h"

#include <algorithm>
#include <cstring>

#include "Backend.h"
#include "Message.h"
#include "Window.h"

// #pragma mark - Undo

void
BTextView::_DeleteByUser(int32 start, int32 end)
{
	if (start < end) {
		std::string removed = fText.substr((size_t)start, (size_t)(end - start));
		DeleteText(start, end);
		_RecordEdit(start, removed, 0, false);
	}
	_SetSelection(start, start);
}

void
BTextView::_RecordEdit(int32 offset, const std::string& removed, int32 inserted, bool typing)
{
	if (removed.empty() && inserted == 0)
		return;
	std::string text = fText.substr((size_t)offset, (size_t)inserted);
	// Characters typed one after another at the caret come back as one.
	if (typing && removed.empty() && fHasUndo && fUndo.typing && fUndo.edits + 1 == fEdits
		&& offset == fUndo.offset + (int32)fUndo.inserted.size()) {
		fUndo.inserted += text;
		fUndo.edits = fEdits;
		return;
	}
	fUndo = UndoStep{offset, removed, std::move(text), typing, fEdits};
	fHasUndo = true;
}

bool
BTextView::CanUndo() const
{
	return fEditable && fHasUndo && fUndo.edits == fEdits;
}

void
BTextView::Undo()
{
	if (!CanUndo())
		return;
	UndoStep step = fUndo;
	int32 end = step.offset + (int32)step.inserted.size();
	if (end > step.offset)
		DeleteText(step.offset, end);
	int32 before = TextLength();
	if (!step.removed.empty())
		InsertText(step.removed.c_str(), (int32)step.removed.size(), step.offset, nullptr);
	int32 restored = std::max(TextLength() - before, 0);
	// The inverse edit, so that the next Undo redoes this one.
	fUndo = UndoStep{step.offset, step.inserted,
		fText.substr((size_t)step.offset, (size_t)restored), false, fEdits};
	fHasUndo = true;
	_SetSelection(step.offset, step.offset + restored);
}

// #pragma mark - Primary selection

void
BTextView::_OfferPrimary() const
{
	if (fSelStart >= fSelEnd || Window() == nullptr)
		return;
	BPrivate::CurrentBackend()->SetPrimaryText(
		fText.substr((size_t)fSelStart, (size_t)(fSelEnd - fSelStart)));
}

void
BTextView::_PastePrimary(BMessage* message)
{
	int32 offset = fPrimaryOffset;
	fPrimaryOffset = -1;
	const char* text = nullptr;
	if (offset < 0 || !fEditable || message->FindString("text", &text) != B_OK || text == nullptr
		|| text[0] == '\0')
		return;
	// Pasted as the user's own input: the same filter and byte limit as Ctrl+V.
	offset = std::clamp(offset, 0, TextLength());
	_SetSelection(offset, offset);
	_ReplaceSelection(text, (int32)std::min(strlen(text), (size_t)INT32_MAX));
}
