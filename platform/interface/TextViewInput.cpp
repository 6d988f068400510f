#include "TextView.h"

#include <algorithm>
#include <cstring>

#include "AppDefs.h"
#include "Application.h"
#include "Backend.h"
#include "EventLoop.h"
#include "Message.h"
#include "TextViewPrivate.h"
#include "Window.h"
#include "WindowPrivate.h"

using BPrivate::IsContinuation;
using BPrivate::IsControl;

namespace {

const bigtime_t kDoubleClickTime = 500000;
// The clipboard's text from another program, arriving after Paste returned.
const uint32 kPasteAnswer = '_pst';

int32
CurrentInt32(const BView* view, const char* name, int32 fallback)
{
	BWindow* window = view->Window();
	BMessage* message = window != nullptr ? window->CurrentMessage() : nullptr;
	int32 value = 0;
	if (message == nullptr || message->FindInt32(name, &value) != B_OK)
		return fallback;
	return value;
}

enum CharClass { kSpaceClass, kWordClass, kOtherClass, kBreakClass };

CharClass
ClassOf(uint8 byte)
{
	if (byte == '\n')
		return kBreakClass;
	if (byte == ' ' || byte == '\t')
		return kSpaceClass;
	// Bytes of multi-byte characters count as letters: words in any script select whole.
	if (byte >= 0x80 || (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z')
		|| (byte >= 'A' && byte <= 'Z') || byte == '_')
		return kWordClass;
	return kOtherClass;
}

} // namespace

// #pragma mark - Keyboard

void
BTextView::KeyDown(const char* bytes, int32 numBytes)
{
	if (bytes == nullptr || numBytes <= 0 || bytes[0] == '\0')
		return;
	numBytes = (int32)strnlen(bytes, (size_t)numBytes);
	uint32 modifiers = (uint32)CurrentInt32(this, "modifiers", 0);
	uint8 key = (uint8)bytes[0];

	// The window turns these shortcuts into editing messages; a key that still arrives
	// with the command modifier is a shortcut nobody took and never types.
	if ((modifiers & (B_COMMAND_KEY | B_CONTROL_KEY)) != 0 && !IsControl(key)) {
		int32 raw = CurrentInt32(this, "key", 0);
		if (raw == 0)
			raw = key;
		switch (raw >= 'A' && raw <= 'Z' ? raw - 'A' + 'a' : raw) {
			case 'a':
				if (fSelectable) {
					SelectAll();
					_OfferPrimary();
				}
				return;
			case 'c':
				Copy();
				return;
			case 'x':
				Cut();
				return;
			case 'v':
				Paste();
				return;
			case 'z':
				Undo();
				return;
			default:
				BView::KeyDown(bytes, numBytes);
				return;
		}
	}

	switch (key) {
		case B_LEFT_ARROW:
		case B_RIGHT_ARROW:
		case B_UP_ARROW:
		case B_DOWN_ARROW:
		case B_HOME:
		case B_END:
		case B_PAGE_UP:
		case B_PAGE_DOWN:
			if (fSelectable) {
				bool extend = (modifiers & B_SHIFT_KEY) != 0;
				_HandleNavigation((char)key, extend);
				if (extend)
					_OfferPrimary();
			}
			return;
		case B_BACKSPACE:
		case B_DELETE:
		{
			if (!fEditable)
				return;
			int32 start = fSelStart;
			int32 end = fSelEnd;
			if (start == end) {
				if (key == B_BACKSPACE)
					start = _PreviousCharOffset(start);
				else
					end = _NextCharOffset(end);
			}
			_DeleteByUser(start, end);
			return;
		}
		case B_TAB:
			if (fEditable && _IsMultiLine())
				_ReplaceSelection("\t", 1, true);
			else
				BView::KeyDown(bytes, numBytes);
			return;
		case B_ENTER:
			if (fEditable)
				_ReplaceSelection("\n", 1, true);
			else
				BView::KeyDown(bytes, numBytes);
			return;
		default:
			break;
	}

	if (IsControl(key) || !fEditable)
		BView::KeyDown(bytes, numBytes);
	else
		_ReplaceSelection(bytes, numBytes, true);
}

void
BTextView::_HandleNavigation(char key, bool extend)
{
	_Layout();
	int32 caret = _CaretOffset();
	const Line& line = fLines[(size_t)_LineIndexAt(caret)];
	int32 target = caret;
	switch ((uint8)key) {
		case B_LEFT_ARROW:
			target = !extend && fSelStart < fSelEnd ? fSelStart : _PreviousCharOffset(caret);
			break;
		case B_RIGHT_ARROW:
			target = !extend && fSelStart < fSelEnd ? fSelEnd : _NextCharOffset(caret);
			break;
		case B_HOME:
			target = line.start;
			break;
		case B_END:
			target = line.end;
			break;
		case B_UP_ARROW:
		case B_DOWN_ARROW:
		{
			int32 index = _LineIndexAt(caret) + ((uint8)key == B_UP_ARROW ? -1 : 1);
			if (index < 0)
				target = line.start;
			else if (index >= (int32)fLines.size())
				target = line.end;
			else
				target = OffsetAt(BPoint(_XAt(line, caret), fLines[(size_t)index].top));
			break;
		}
		case B_PAGE_UP:
			target = 0;
			break;
		case B_PAGE_DOWN:
			target = TextLength();
			break;
	}
	_MoveCaret(target, extend);
}

// Typed and pasted text: replaces the selection, within the byte limit. The limit applies
// to what the InsertText hook lets in, not to the raw text, so a filter sees all of it and
// the base InsertText cuts at a character boundary; a key that does not fit at all (or a
// text with no room left) changes nothing.
void
BTextView::_ReplaceSelection(const char* text, int32 length, bool typing)
{
	if (!fEditable || text == nullptr || length <= 0)
		return;
	length = (int32)strnlen(text, (size_t)length);
	int32 start = fSelStart;
	int32 end = fSelEnd;
	int64 room = (int64)std::max(fMaxBytes, 0) - (TextLength() - (end - start));
	if (length == 0 || room <= 0)
		return;
	std::string copy(text, (size_t)length);
	if (BPrivate::CharLength(copy, 0) == length && length > room)
		return;

	std::string removed = fText.substr((size_t)start, (size_t)(end - start));
	if (start < end)
		DeleteText(start, end);
	int32 offset = std::min(start, TextLength());
	int32 before = TextLength();
	fTypedRoom = (int32)std::min<int64>(room, INT32_MAX);
	InsertText(copy.c_str(), length, offset, nullptr);
	fTypedRoom = -1;
	// The hook may take in less (or more) than offered; the caret follows what it did.
	int32 inserted = std::max(TextLength() - before, 0);
	_RecordEdit(offset, removed, inserted, typing);
	_SetSelection(offset + inserted, offset + inserted);
}

// #pragma mark - Clipboard

void
BTextView::Cut()
{
	if (!fEditable || fSelStart == fSelEnd)
		return;
	Copy();
	_DeleteByUser(fSelStart, fSelEnd);
}

void
BTextView::Copy()
{
	if (fSelStart < fSelEnd) {
		BPrivate::CurrentBackend()->SetClipboardText(
			fText.substr((size_t)fSelStart, (size_t)(fSelEnd - fSelStart)));
	}
}

void
BTextView::Paste()
{
	if (!fEditable)
		return;
	// Another program's text comes when that program answers; meanwhile the loop goes on.
	// It then goes to whichever view has the focus by that time.
	const uint32 windowId = Window() != nullptr ? BPrivate::WindowAccess::BackendId(Window()) : 0;
	auto later = [windowId](const std::string& answer) {
		BWindow* window = BPrivate::WindowAccess::FindByBackendId(windowId);
		if (window == nullptr || answer.empty())
			return;
		BMessage message(kPasteAnswer);
		message.AddString("text", answer.c_str());
		window->PostMessage(&message);
	};
	std::string text;
	if (BPrivate::CurrentBackend()->RequestClipboardText(&text, later))
		_ReplaceSelection(text.c_str(), (int32)std::min(text.size(), (size_t)INT32_MAX));
}

void
BTextView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case B_CUT:
			Cut();
			break;
		case B_COPY:
			Copy();
			break;
		case B_PASTE:
			Paste();
			break;
		case kPasteAnswer:
		{
			const char* text = nullptr;
			if (fEditable && message->FindString("text", &text) == B_OK)
				_ReplaceSelection(text, (int32)strlen(text));
			break;
		}
		case B_SELECT_ALL:
			if (fSelectable) {
				SelectAll();
				_OfferPrimary();
			}
			break;
		case B_UNDO:
			Undo();
			break;
		case B_PRIMARY_TEXT_ARRIVED:
			_PastePrimary(message);
			break;
		default:
			BView::MessageReceived(message);
			break;
	}
}

// #pragma mark - Mouse

void
BTextView::MouseDown(BPoint where)
{
	if (!fSelectable)
		return;
	if (!IsFocus())
		MakeFocus(true);

	int32 offset = OffsetAt(where);
	uint32 buttons = (uint32)CurrentInt32(this, "buttons", B_PRIMARY_MOUSE_BUTTON);
	if ((buttons & B_TERTIARY_MOUSE_BUTTON) != 0 && (buttons & B_PRIMARY_MOUSE_BUTTON) == 0) {
		// The X way to paste: the middle button inserts another program's selection here,
		// once the backend has it.
		if (fEditable && Window() != nullptr) {
			fPrimaryOffset = offset;
			BPrivate::CurrentBackend()->RequestPrimaryText(BPrivate::WindowAccess::BackendId(
															   Window()),
				Token());
		}
		return;
	}
	int32 clicks = CurrentInt32(this, "clicks", 1);
	bigtime_t now = BPrivate::system_time_us();
	if (offset == fLastClickOffset && now - fLastClickTime < kDoubleClickTime)
		clicks = std::max(clicks, fLastClickCount + 1);
	clicks = std::clamp(clicks, 1, 3);
	fLastClickTime = now;
	fLastClickOffset = offset;
	fLastClickCount = clicks;

	uint32 modifiers = (uint32)CurrentInt32(this, "modifiers", 0);
	fTrackClicks = 1;
	if ((modifiers & B_SHIFT_KEY) != 0)
		_MoveCaret(offset, true);
	else if (clicks == 1)
		_SetSelection(offset, offset);
	else {
		fTrackClicks = clicks;
		_SelectUnitAt(offset, clicks, &fTrackStart, &fTrackEnd);
		_SetSelection(fTrackStart, fTrackEnd);
	}
	fTracking = true;
	SetMouseEventMask(B_PRIMARY_MOUSE_BUTTON);
}

void
BTextView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	(void)transit;
	(void)dragMessage;
	if (!fTracking)
		return;
	if (CurrentInt32(this, "buttons", 1) == 0) {
		fTracking = false;
		return;
	}
	int32 offset = OffsetAt(where);
	if (fTrackClicks == 1) {
		_MoveCaret(offset, true);
		return;
	}
	// After a double or triple click the selection grows by whole words or lines.
	int32 start;
	int32 end;
	_SelectUnitAt(offset, fTrackClicks, &start, &end);
	if (start < fTrackStart)
		_SetSelection(fTrackEnd, start);
	else
		_SetSelection(fTrackStart, std::max(end, fTrackEnd));
}

void
BTextView::MouseUp(BPoint where)
{
	(void)where;
	if (fTracking)
		_OfferPrimary();
	fTracking = false;
}

// The word (two clicks) or line (three) around offset.
void
BTextView::_SelectUnitAt(int32 offset, int32 clicks, int32* outStart, int32* outEnd) const
{
	int32 length = TextLength();
	offset = std::clamp(offset, 0, length);
	if (clicks >= 3) {
		size_t before = offset > 0 ? fText.rfind('\n', (size_t)offset - 1) : std::string::npos;
		size_t after = fText.find('\n', (size_t)offset);
		*outStart = before == std::string::npos ? 0 : (int32)before + 1;
		*outEnd = after == std::string::npos ? length : (int32)after;
		return;
	}

	// The character under the click; a click just past a word's end still means the word.
	int32 position = offset;
	bool atEnd = position >= length || fText[position] == '\n';
	if (position > 0 && (atEnd || ClassOf((uint8)fText[position]) != kWordClass)) {
		int32 previous = _PreviousCharOffset(position);
		if (ClassOf((uint8)fText[previous]) == kWordClass || atEnd)
			position = previous;
	}
	if (position >= length || fText[position] == '\n') {
		*outStart = *outEnd = offset;
		return;
	}
	CharClass kind = ClassOf((uint8)fText[position]);
	int32 start = position;
	int32 end = _NextCharOffset(position);
	if (kind != kOtherClass) {
		while (start > 0) {
			int32 previous = _PreviousCharOffset(start);
			if (ClassOf((uint8)fText[previous]) != kind)
				break;
			start = previous;
		}
		while (end < length && ClassOf((uint8)fText[end]) == kind)
			end = _NextCharOffset(end);
	}
	*outStart = start;
	*outEnd = end;
}
