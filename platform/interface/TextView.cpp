#include "TextView.h"

#include <algorithm>
#include <cstring>

#include "AccessibleKit.h"
#include "TextViewPrivate.h"
#include "Window.h"

using BPrivate::CharLength;
using BPrivate::IsContinuation;

namespace BPrivate {

int32
WellFormedLength(const std::string& text, int32 offset)
{
	const uint8* bytes = reinterpret_cast<const uint8*>(text.data()) + offset;
	int32 available = (int32)text.size() - offset;
	uint8 lead = bytes[0];
	if (lead < 0x80)
		return 1;

	int32 length;
	uint32 codePoint;
	uint32 minimum;
	if (lead >= 0xc2 && lead <= 0xdf) {
		length = 2;
		codePoint = lead & 0x1f;
		minimum = 0x80;
	} else if (lead >= 0xe0 && lead <= 0xef) {
		length = 3;
		codePoint = lead & 0x0f;
		minimum = 0x800;
	} else if (lead >= 0xf0 && lead <= 0xf4) {
		length = 4;
		codePoint = lead & 0x07;
		minimum = 0x10000;
	} else
		return 0;

	if (length > available)
		return 0;
	for (int32 i = 1; i < length; i++) {
		if (!IsContinuation(bytes[i]))
			return 0;
		codePoint = (codePoint << 6) | (bytes[i] & 0x3f);
	}
	if (codePoint < minimum || codePoint > 0x10ffff || (codePoint >= 0xd800 && codePoint <= 0xdfff))
		return 0;
	return length;
}

} // namespace BPrivate

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
	uint32 flags) :
	BView(frame, name, resizingMode, flags),
	fTextRect(textRect)
{
	_Init(nullptr, nullptr);
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
	const rgb_color* initialColor, uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags),
	fTextRect(textRect)
{
	_Init(initialFont, initialColor);
}

BTextView::~BTextView() = default;

void
BTextView::_Init(const BFont* font, const rgb_color* color)
{
	BFont initialFont;
	if (font != nullptr)
		initialFont = *font;
	else if (be_plain_font != nullptr)
		initialFont = *be_plain_font;
	fRuns.push_back(StyleRun{0, initialFont, color != nullptr ? *color : make_color(0, 0, 0)});
}

// #pragma mark - Text

void
BTextView::SetText(const char* text, const text_run_array* runs)
{
	SetText(text, text != nullptr ? (int32)std::min(strlen(text), (size_t)INT32_MAX) : 0, runs);
}

void
BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
	// A copy, since the text may be our own and the delete below would pull it away.
	std::string copy;
	if (text != nullptr && length > 0)
		copy.assign(text, strnlen(text, (size_t)length));

	if (TextLength() > 0)
		DeleteText(0, TextLength());
	if (!copy.empty())
		InsertText(copy.c_str(), (int32)copy.size(), 0, runs);
	fScrollX = 0;
	_SetSelection(0, 0);
}

void
BTextView::Insert(const char* text, const text_run_array* runs)
{
	Insert(text, text != nullptr ? (int32)std::min(strlen(text), (size_t)INT32_MAX) : 0, runs);
}

void
BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
	Insert(fSelStart, text, length, runs);
}

void
BTextView::Insert(int32 offset, const char* text, int32 length, const text_run_array* runs)
{
	if (text == nullptr || length <= 0)
		return;
	std::string copy(text, strnlen(text, (size_t)length));
	if (copy.empty())
		return;
	InsertText(copy.c_str(), (int32)copy.size(), _CharStart(offset), runs);
}

void
BTextView::Delete()
{
	if (fSelStart < fSelEnd)
		DeleteText(fSelStart, fSelEnd);
}

void
BTextView::Delete(int32 startOffset, int32 endOffset)
{
	if (startOffset > endOffset)
		std::swap(startOffset, endOffset);
	// Whole characters only: half a character would leave bytes that read as nothing.
	startOffset = _CharStart(startOffset);
	endOffset = _CharEnd(endOffset);
	if (startOffset < endOffset)
		DeleteText(startOffset, endOffset);
}

void
BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
	if (text == nullptr || length <= 0)
		return;
	// The text ends at its first zero byte; keep the total addressable by int32 offsets.
	length = (int32)strnlen(text, (size_t)length);
	length = std::min(length, INT32_MAX - 1 - TextLength());
	if (fTypedRoom >= 0 && length > fTypedRoom) {
		// Cut at a character boundary: half a character would read as nothing.
		length = fTypedRoom;
		while (length > 0 && BPrivate::IsContinuation((uint8)text[length]))
			length--;
	}
	if (length <= 0)
		return;
	if (fTypedRoom >= 0)
		fTypedRoom -= length;
	offset = _CharStart(offset);

	fText.insert((size_t)offset, std::string(text, (size_t)length));
	fEdits++;
	if (BPrivate::Listening())
		BPrivate::NotifyTextInserted(this, offset, length);

	// New text takes the style of the character before it (the first one's at the start).
	for (StyleRun& run : fRuns) {
		if (run.offset > offset || (run.offset == offset && offset > 0))
			run.offset += length;
	}
	if (runs != nullptr && fStylable && runs->count > 0) {
		const text_run* entries = runs->runs;
		for (int32 i = 0; i < runs->count; i++) {
			int32 start = offset + std::clamp(entries[i].offset, 0, length);
			int32 end = i + 1 < runs->count ? offset + std::clamp(entries[i + 1].offset, 0, length)
											: offset + length;
			if (start < end)
				_SetStyle(start, end, &entries[i].font, B_FONT_ALL, &entries[i].color);
		}
	}
	_NormalizeRuns();

	// Starts at the insertion point move along; ends there stay, so text added right
	// after a selection or highlight is not part of it. A caret moves along.
	bool caret = fSelStart == fSelEnd;
	bool anchorAtStart = fAnchor == fSelStart;
	if (fSelStart >= offset)
		fSelStart += length;
	if (fSelEnd > offset || (caret && fSelEnd >= offset))
		fSelEnd += length;
	fAnchor = anchorAtStart ? fSelStart : fSelEnd;
	for (auto& range : fHighlights) {
		if (range.first >= offset)
			range.first += length;
		if (range.second > offset)
			range.second += length;
	}

	_InvalidateLayout();
	_ResetCaretBlink();
	_ScrollToCaret();
	Invalidate();
	if (BPrivate::Listening())
		BPrivate::NotifyCaret(this);
}

void
BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	int32 length = TextLength();
	fromOffset = std::clamp(fromOffset, 0, length);
	toOffset = std::clamp(toOffset, 0, length);
	if (fromOffset > toOffset)
		std::swap(fromOffset, toOffset);
	if (fromOffset == toOffset)
		return;
	int32 removed = toOffset - fromOffset;
	int32 newLength = length - removed;

	// What follows the gap keeps its style. When the text is emptied, the first removed
	// character's style stays for what is typed next.
	std::vector<StyleRun> runs;
	for (const StyleRun& run : fRuns) {
		if (run.offset < fromOffset)
			runs.push_back(run);
	}
	if (fromOffset < newLength) {
		StyleRun atEnd = _RunAt(toOffset);
		atEnd.offset = fromOffset;
		runs.push_back(atEnd);
	} else if (fromOffset == 0) {
		runs.push_back(StyleRun{0, _RunAt(0).font, _RunAt(0).color});
	}
	for (const StyleRun& run : fRuns) {
		if (run.offset > toOffset)
			runs.push_back(StyleRun{run.offset - removed, run.font, run.color});
	}
	fRuns.swap(runs);

	if (BPrivate::Listening())
		BPrivate::NotifyTextRemoving(this, fromOffset, toOffset);
	fText.erase((size_t)fromOffset, (size_t)removed);
	fEdits++;
	_NormalizeRuns();

	auto adjust = [&](int32& position) {
		if (position >= toOffset)
			position -= removed;
		else if (position > fromOffset)
			position = fromOffset;
	};
	bool anchorAtStart = fAnchor == fSelStart;
	adjust(fSelStart);
	adjust(fSelEnd);
	fAnchor = anchorAtStart ? fSelStart : fSelEnd;
	for (auto& range : fHighlights) {
		adjust(range.first);
		adjust(range.second);
	}
	fHighlights.erase(std::remove_if(fHighlights.begin(), fHighlights.end(),
						  [](const auto& range) { return range.first >= range.second; }),
		fHighlights.end());

	_InvalidateLayout();
	_ResetCaretBlink();
	_ScrollToCaret();
	Invalidate();
	if (BPrivate::Listening())
		BPrivate::NotifyCaret(this);
}

// #pragma mark - Selection

void
BTextView::Select(int32 startOffset, int32 endOffset)
{
	if (startOffset > endOffset)
		std::swap(startOffset, endOffset);
	_SetSelection(startOffset, endOffset);
}

void
BTextView::SelectAll()
{
	_SetSelection(0, TextLength());
}

void
BTextView::GetSelection(int32* outStart, int32* outEnd) const
{
	if (outStart != nullptr)
		*outStart = fSelStart;
	if (outEnd != nullptr)
		*outEnd = fSelEnd;
}

void
BTextView::Highlight(int32 startOffset, int32 endOffset)
{
	startOffset = std::clamp(startOffset, 0, TextLength());
	endOffset = std::clamp(endOffset, 0, TextLength());
	if (startOffset > endOffset)
		std::swap(startOffset, endOffset);
	if (startOffset == endOffset)
		return;

	auto range = std::make_pair(startOffset, endOffset);
	auto found = std::find(fHighlights.begin(), fHighlights.end(), range);
	if (found != fHighlights.end())
		fHighlights.erase(found);
	else
		fHighlights.push_back(range);

	// Shown at once: the caller may block (launching a browser) before the loop redraws.
	Invalidate();
	if (Window() != nullptr && !Window()->IsHidden())
		Window()->UpdateIfNeeded();
}

// Sets the selection from the end that stays (anchor) to the end that moves (caret),
// pinned to the text and widened to whole characters.
void
BTextView::_SetSelection(int32 anchor, int32 caret)
{
	if (anchor <= caret) {
		anchor = _CharStart(anchor);
		caret = _CharEnd(caret);
	} else {
		anchor = _CharEnd(anchor);
		caret = _CharStart(caret);
	}
	fAnchor = anchor;
	fSelStart = std::min(anchor, caret);
	fSelEnd = std::max(anchor, caret);
	_ResetCaretBlink();
	_ScrollToCaret();
	Invalidate();
	if (BPrivate::Listening())
		BPrivate::NotifyCaret(this);
}

int32
BTextView::_CaretOffset() const
{
	return fAnchor == fSelStart ? fSelEnd : fSelStart;
}

void
BTextView::_MoveCaret(int32 offset, bool extend)
{
	if (extend)
		_SetSelection(fAnchor, offset);
	else
		_SetSelection(offset, offset);
}

// The largest character boundary at or before offset, within 0..TextLength().
int32
BTextView::_CharStart(int32 offset) const
{
	int32 length = TextLength();
	if (offset <= 0)
		return 0;
	if (offset >= length)
		return length;
	for (int32 back = 0; back < 4 && offset - back >= 0; back++) {
		int32 position = offset - back;
		if (!IsContinuation((uint8)fText[position]))
			return position + CharLength(fText, position) > offset ? position : offset;
	}
	return offset;
}

// The smallest character boundary at or after offset, within 0..TextLength().
int32
BTextView::_CharEnd(int32 offset) const
{
	offset = std::clamp(offset, 0, TextLength());
	int32 start = _CharStart(offset);
	if (start == offset)
		return start;
	return start + CharLength(fText, start);
}

int32
BTextView::_PreviousCharOffset(int32 offset) const
{
	return offset <= 0 ? 0 : _CharStart(std::min(offset, TextLength()) - 1);
}

int32
BTextView::_NextCharOffset(int32 offset) const
{
	int32 start = _CharStart(offset);
	return start >= TextLength() ? start : start + CharLength(fText, start);
}

// #pragma mark - Settings

void
BTextView::SetAlignment(alignment flag)
{
	if (flag == fAlignment)
		return;
	fAlignment = flag;
	fScrollX = 0;
	_ScrollToCaret();
	Invalidate();
}

void
BTextView::SetWordWrap(bool wrap)
{
	if (wrap == fWordWrap)
		return;
	fWordWrap = wrap;
	fScrollX = 0;
	_InvalidateLayout();
	_ScrollToCaret();
	Invalidate();
}

void
BTextView::MakeEditable(bool editable)
{
	bool changed = editable != fEditable;
	fEditable = editable;
	_ResetCaretBlink();
	Invalidate();
	if (changed && BPrivate::Listening()) {
		BPrivate::NotifyViewState(this, B_STATE_EDITABLE, editable);
		BPrivate::NotifyViewState(this, B_STATE_READ_ONLY, !editable);
	}
}

void
BTextView::MakeSelectable(bool selectable)
{
	fSelectable = selectable;
	if (!selectable)
		fTracking = false;
	Invalidate();
}

void
BTextView::SetTextRect(BRect rect)
{
	fTextRect = rect;
	fScrollX = 0;
	_InvalidateLayout();
	_ScrollToCaret();
	Invalidate();
}

bool
BTextView::_IsMultiLine() const
{
	return fTextRect.Height() + 1 >= 2 * LineHeight(0);
}
