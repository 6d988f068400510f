// A text view's text for a screen reader: characters over the view's UTF-8 bytes, edits the
// user's way (so a field's filter, its length limit, undo and its change message all run),
// and the events of every change however it came.
#include <algorithm>

#include "AccessibleNodes.h"
#include "Backend.h"
#include "TextView.h"
#include "TextViewPrivate.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace BPrivate {

int32
TextAccess::_Byte(int32 characterOffset) const
{
	return ByteOffsetOfCharacter(fView->fText, std::max(characterOffset, (int32)0));
}

int32
TextAccess::_Character(int32 byteOffset) const
{
	return CharacterCount(fView->fText, 0, std::clamp(byteOffset, (int32)0, fView->TextLength()));
}

std::string
TextAccess::Contents()
{
	return fView->fText;
}

int32
TextAccess::CountCharacters()
{
	return _Character(fView->TextLength());
}

int32
TextAccess::CaretOffset()
{
	return _Character(fView->_CaretOffset());
}

bool
TextAccess::SetCaretOffset(int32 offset)
{
	if (!fView->IsSelectable() && !fView->IsEditable())
		return false;
	int32 byte = _Byte(offset);
	fView->_SetSelection(byte, byte);
	return true;
}

bool
TextAccess::GetSelection(int32* start, int32* end)
{
	int32 byteStart = 0;
	int32 byteEnd = 0;
	fView->GetSelection(&byteStart, &byteEnd);
	if (byteStart == byteEnd)
		return false;
	*start = _Character(byteStart);
	*end = _Character(byteEnd);
	return true;
}

bool
TextAccess::SetSelection(int32 start, int32 end)
{
	if (!fView->IsSelectable() || start < 0 || end < 0)
		return false;
	fView->Select(_Byte(std::min(start, end)), _Byte(std::max(start, end)));
	return true;
}

bool
TextAccess::_SelectRange(int32 start, int32 end)
{
	int32 count = CountCharacters();
	if (start < 0 || end < start || end > count)
		return false;
	fView->_SetSelection(_Byte(start), _Byte(end));
	return true;
}

BRect
TextAccess::CharacterBounds(int32 offset)
{
	BWindow* window = fView->Window();
	if (offset < 0 || offset >= CountCharacters() || window == nullptr || window->IsHidden())
		return BRect();
	int32 byte = _Byte(offset);
	float height = 0;
	BPoint left = fView->PointAt(byte, &height);
	int32 next = byte + CharLength(fView->fText, byte);
	BPoint right = fView->PointAt(next);
	float width = right.y == left.y && right.x > left.x
		? right.x - left.x
		: fView->StringWidth(fView->Text() + byte, next - byte);
	BRect frame(left.x, left.y, left.x + std::max(width, 1.0f) - 1, left.y + height - 1);
	return ScreenPixels(fView->ConvertToScreen(frame), fView->Window());
}

int32
TextAccess::OffsetAtPoint(BPoint screenPoint)
{
	if (fView->Window() == nullptr)
		return -1;
	BPoint point = fView->ConvertFromScreen(LayoutScreenPoint(screenPoint, fView->Window()));
	if (!fView->Bounds().Contains(point) || fView->TextLength() == 0)
		return -1;
	return _Character(fView->OffsetAt(point));
}

bool
TextAccess::IsEditable()
{
	return fView->IsEditable();
}

bool
TextAccess::SetContents(const std::string& text)
{
	if (!fView->IsEditable())
		return false;
	if (text.empty()) {
		fView->_DeleteByUser(0, fView->TextLength());
		return true;
	}
	fView->_SetSelection(0, fView->TextLength());
	fView->_ReplaceSelection(text.c_str(), (int32)text.size());
	return true;
}

bool
TextAccess::InsertText(int32 offset, const std::string& text)
{
	if (!fView->IsEditable() || text.empty() || !_SelectRange(offset, offset))
		return false;
	fView->_ReplaceSelection(text.c_str(), (int32)text.size());
	return true;
}

bool
TextAccess::DeleteText(int32 start, int32 end)
{
	if (!fView->IsEditable())
		return false;
	int32 count = CountCharacters();
	start = std::clamp(start, (int32)0, count);
	end = end < 0 ? count : std::clamp(end, start, count);
	fView->_DeleteByUser(_Byte(start), _Byte(end));
	return true;
}

bool
TextAccess::CopyText(int32 start, int32 end)
{
	int32 count = CountCharacters();
	start = std::clamp(start, (int32)0, count);
	end = end < 0 ? count : std::clamp(end, start, count);
	if (start == end)
		return false;
	int32 byteStart = _Byte(start);
	CurrentBackend()->SetClipboardText(
		fView->fText.substr((size_t)byteStart, (size_t)(_Byte(end) - byteStart)));
	return true;
}

bool
TextAccess::CutText(int32 start, int32 end)
{
	if (!fView->IsEditable() || !CopyText(start, end))
		return false;
	return DeleteText(start, end);
}

bool
TextAccess::PasteText(int32 offset)
{
	if (!fView->IsEditable() || !_SelectRange(offset, offset))
		return false;
	fView->Paste();
	return true;
}

int32
TextAccess::CountLinks()
{
	return std::max(fView->CountAccessibleLinks(), (int32)0);
}

bool
TextAccess::GetLink(int32 index, int32* start, int32* end, std::string* address)
{
	int32 byteStart = 0;
	int32 byteEnd = 0;
	if (!fView->GetAccessibleLink(index, &byteStart, &byteEnd, address))
		return false;
	*start = _Character(byteStart);
	*end = _Character(byteEnd);
	return true;
}

bool
TextAccess::ActivateLink(int32 index)
{
	if (index < 0 || index >= CountLinks())
		return false;
	return QueueAction(fView, kActionLink, index);
}

// #pragma mark - events

namespace {

TextAccess*
TextOf(BTextView* view)
{
	return static_cast<TextAccess*>(NodeOf(view)->Text());
}

} // namespace

void
NotifyTextInserted(BTextView* view, int32 byteOffset, int32 byteLength)
{
	if (!Listening())
		return;
	const std::string& text = view->Text();
	AccessibleEvent event;
	event.type = AccessibleEvent::kTextInserted;
	event.node = NodeOf(view);
	event.offset = CharacterCount(text, 0, byteOffset);
	event.length = CharacterCount(text, byteOffset, byteOffset + byteLength);
	event.text = text.substr((size_t)byteOffset, (size_t)byteLength);
	Notify(event);
}

void
NotifyTextRemoving(BTextView* view, int32 byteStart, int32 byteEnd)
{
	if (!Listening())
		return;
	const std::string& text = view->Text();
	AccessibleEvent event;
	event.type = AccessibleEvent::kTextRemoved;
	event.node = NodeOf(view);
	event.offset = CharacterCount(text, 0, byteStart);
	event.length = CharacterCount(text, byteStart, byteEnd);
	event.text = text.substr((size_t)byteStart, (size_t)(byteEnd - byteStart));
	Notify(event);
}

void
NotifyCaret(BTextView* view)
{
	if (!Listening())
		return;
	TextAccess* text = TextOf(view);
	int32 caret = text->CaretOffset();
	int32 start = 0;
	int32 end = 0;
	if (!text->GetSelection(&start, &end))
		start = end = caret;
	AccessibleNode* node = NodeOf(view);
	if (start != text->reportedStart || end != text->reportedEnd) {
		bool hadSelection = text->reportedStart != text->reportedEnd;
		text->reportedStart = start;
		text->reportedEnd = end;
		if (hadSelection || start != end)
			Notify(AccessibleEvent::kSelectionChanged, node);
	}
	if (caret != text->reportedCaret) {
		text->reportedCaret = caret;
		AccessibleEvent event;
		event.type = AccessibleEvent::kCaretMoved;
		event.node = node;
		event.offset = caret;
		Notify(event);
	}
}

} // namespace BPrivate

// #pragma mark - BTextView

accessible_role
BTextView::AccessibleRole() const
{
	if (!fEditable && !fSelectable && CountAccessibleLinks() <= 0)
		return B_ROLE_LABEL;
	return B_ROLE_TEXT;
}

std::string
BTextView::AccessibleName() const
{
	std::string name = BView::AccessibleName();
	if (name.empty() && AccessibleRole() == B_ROLE_LABEL)
		return Text();
	return name;
}

uint64
BTextView::AccessibleStates() const
{
	uint64 states = B_STATE_ENABLED;
	states |= fEditable ? B_STATE_EDITABLE : B_STATE_READ_ONLY;
	if (fSelectable)
		states |= B_STATE_SELECTABLE_TEXT;
	states |= _IsMultiLine() ? B_STATE_MULTI_LINE : B_STATE_SINGLE_LINE;
	return states;
}

int32
BTextView::CountAccessibleLinks() const
{
	return 0;
}

bool
BTextView::GetAccessibleLink(int32 index, int32* outStart, int32* outEnd,
	std::string* outAddress) const
{
	(void)index;
	(void)outStart;
	(void)outEnd;
	(void)outAddress;
	return false;
}

void
BTextView::ActivateAccessibleLink(int32 index)
{
	(void)index;
}
