#include "TextView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "AppDefs.h"
#include "Application.h"
#include "Backend.h"
#include "Message.h"
#include "Window.h"

namespace {

const bigtime_t kDoubleClickTime = 500000;
const int32 kTabWidthInSpaces = 4;
// Drawn for a byte that does not start a well-formed character.
const char kReplacement[] = "\xEF\xBF\xBD";
const int32 kReplacementLength = 3;

inline bool
IsContinuation(uint8 byte)
{
	return (byte & 0xc0) == 0x80;
}

inline bool
IsControl(uint8 byte)
{
	return byte < 0x20 || byte == 0x7f;
}

// The length of the well-formed character at offset, or 0 when the bytes there are
// malformed: cut short, overlong, a surrogate or beyond U+10FFFF.
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
	if (codePoint < minimum || codePoint > 0x10ffff
		|| (codePoint >= 0xd800 && codePoint <= 0xdfff))
		return 0;
	return length;
}

// Every byte belongs to exactly one character: a malformed byte stands alone.
inline int32
CharLength(const std::string& text, int32 offset)
{
	int32 length = WellFormedLength(text, offset);
	return length > 0 ? length : 1;
}

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

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
	uint32 flags)
	:
	BView(frame, name, resizingMode, flags),
	fTextRect(textRect)
{
	_Init(nullptr, nullptr);
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
	const rgb_color* initialColor, uint32 resizingMode, uint32 flags)
	:
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

char
BTextView::ByteAt(int32 offset) const
{
	if (offset < 0 || offset >= TextLength())
		return '\0';
	return fText[offset];
}

void
BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
	if (text == nullptr || length <= 0)
		return;
	// The text ends at its first zero byte; keep the total addressable by int32 offsets.
	length = (int32)strnlen(text, (size_t)length);
	length = std::min(length, INT32_MAX - 1 - TextLength());
	if (length <= 0)
		return;
	offset = _CharStart(offset);

	fText.insert((size_t)offset, std::string(text, (size_t)length));

	// New text takes the style of the character before it (the first one's at the start).
	for (StyleRun& run : fRuns) {
		if (run.offset > offset || (run.offset == offset && offset > 0))
			run.offset += length;
	}
	if (runs != nullptr && fStylable && runs->count > 0) {
		const text_run* entries = runs->runs;
		for (int32 i = 0; i < runs->count; i++) {
			int32 start = offset + std::clamp(entries[i].offset, 0, length);
			int32 end = i + 1 < runs->count
				? offset + std::clamp(entries[i + 1].offset, 0, length) : offset + length;
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

	fText.erase((size_t)fromOffset, (size_t)removed);
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

// #pragma mark - Styles

void
BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	// A plain view has one style; a styled view with an empty selection only has one to
	// change when it holds no text.
	if (!fStylable || TextLength() == 0)
		_SetStyle(0, TextLength(), font, mode, color);
	else
		_SetStyle(fSelStart, fSelEnd, font, mode, color);
}

void
BTextView::SetFontAndColor(int32 startOffset, int32 endOffset, const BFont* font, uint32 mode,
	const rgb_color* color)
{
	if (!fStylable)
		_SetStyle(0, TextLength(), font, mode, color);
	else
		_SetStyle(startOffset, endOffset, font, mode, color);
}

void
BTextView::GetFontAndColor(BFont* font, uint32* sameProperties, rgb_color* color,
	bool* sameColor) const
{
	size_t first = _RunIndexAt(fSelStart);
	if (font != nullptr)
		*font = fRuns[first].font;
	if (color != nullptr)
		*color = fRuns[first].color;

	uint32 same = B_FONT_ALL;
	bool colorSame = true;
	for (size_t i = first + 1; i < fRuns.size() && fRuns[i].offset < fSelEnd; i++) {
		const BFont& a = fRuns[first].font;
		const BFont& b = fRuns[i].font;
		if (strcmp(a.Family(), b.Family()) != 0 || a.Face() != b.Face())
			same &= ~(uint32)(B_FONT_FAMILY_AND_STYLE | B_FONT_FACE);
		if (a.Size() != b.Size())
			same &= ~(uint32)B_FONT_SIZE;
		if (fRuns[i].color != fRuns[first].color)
			colorSame = false;
	}
	if (sameProperties != nullptr)
		*sameProperties = same;
	if (sameColor != nullptr)
		*sameColor = colorSame;
}

void
BTextView::GetFontAndColor(int32 offset, BFont* font, rgb_color* color) const
{
	const StyleRun& run = _RunAt(std::clamp(offset, 0, TextLength()));
	if (font != nullptr)
		*font = run.font;
	if (color != nullptr)
		*color = run.color;
}

void
BTextView::SetRunArray(int32 startOffset, int32 endOffset, const text_run_array* runs)
{
	if (runs == nullptr || runs->count <= 0)
		return;
	const text_run* entries = runs->runs;
	if (!fStylable) {
		_SetStyle(0, TextLength(), &entries[0].font, B_FONT_ALL, &entries[0].color);
		return;
	}
	startOffset = std::clamp(startOffset, 0, TextLength());
	endOffset = std::clamp(endOffset, 0, TextLength());
	if (startOffset >= endOffset)
		return;
	int32 span = endOffset - startOffset;
	for (int32 i = 0; i < runs->count; i++) {
		int32 start = startOffset + std::clamp(entries[i].offset, 0, span);
		int32 end = i + 1 < runs->count
			? startOffset + std::clamp(entries[i + 1].offset, 0, span) : endOffset;
		if (start < end)
			_SetStyle(start, end, &entries[i].font, B_FONT_ALL, &entries[i].color);
	}
}

text_run_array*
BTextView::RunArray(int32 startOffset, int32 endOffset, int32* outSize) const
{
	startOffset = std::clamp(startOffset, 0, TextLength());
	endOffset = std::clamp(endOffset, startOffset, TextLength());
	size_t first = _RunIndexAt(startOffset);
	size_t last = first;
	while (last + 1 < fRuns.size() && fRuns[last + 1].offset < endOffset)
		last++;

	text_run_array* array = AllocRunArray((int32)(last - first + 1), outSize);
	if (array == nullptr)
		return nullptr;
	text_run* entries = array->runs;
	for (size_t i = first; i <= last; i++) {
		text_run& entry = entries[i - first];
		entry.offset = std::max(fRuns[i].offset - startOffset, 0);
		entry.font = fRuns[i].font;
		entry.color = fRuns[i].color;
	}
	return array;
}

text_run_array*
BTextView::AllocRunArray(int32 entryCount, int32* outSize)
{
	if (entryCount < 0 || entryCount > 1000000)
		return nullptr;
	// The struct holds one run; the others follow it in the same block.
	size_t size = sizeof(text_run_array) + (size_t)std::max(entryCount - 1, 0) * sizeof(text_run);
	void* memory = malloc(size);
	if (memory == nullptr)
		return nullptr;
	text_run_array* array = new (memory) text_run_array;
	array->count = entryCount;
	text_run* entries = array->runs;
	for (int32 i = 0; i < std::max(entryCount, 1); i++) {
		if (i > 0)
			new (&entries[i]) text_run;
		entries[i].offset = 0;
		entries[i].color = make_color(0, 0, 0);
	}
	if (outSize != nullptr)
		*outSize = (int32)size;
	return array;
}

void
BTextView::FreeRunArray(text_run_array* array)
{
	if (array == nullptr)
		return;
	text_run* entries = array->runs;
	for (int32 i = 1; i < array->count; i++)
		entries[i].~text_run();
	array->~text_run_array();
	free(array);
}

size_t
BTextView::_RunIndexAt(int32 offset) const
{
	auto after = std::upper_bound(fRuns.begin(), fRuns.end(), offset,
		[](int32 value, const StyleRun& run) { return value < run.offset; });
	return after == fRuns.begin() ? 0 : (size_t)(after - fRuns.begin() - 1);
}

void
BTextView::_SplitRunAt(int32 offset)
{
	size_t index = _RunIndexAt(offset);
	if (fRuns[index].offset == offset)
		return;
	StyleRun copy = fRuns[index];
	copy.offset = offset;
	fRuns.insert(fRuns.begin() + (ptrdiff_t)index + 1, copy);
}

void
BTextView::_SetStyle(int32 start, int32 end, const BFont* font, uint32 mode,
	const rgb_color* color)
{
	int32 length = TextLength();
	start = _CharStart(std::clamp(start, 0, length));
	end = _CharEnd(std::clamp(end, 0, length));
	if (length == 0) {
		// The one style an empty view has is the one typing will use.
		start = 0;
		end = 1;
	} else if (start >= end)
		return;
	else {
		_SplitRunAt(start);
		if (end < length)
			_SplitRunAt(end);
	}
	for (StyleRun& run : fRuns) {
		if (run.offset < start || run.offset >= end)
			continue;
		if (font != nullptr)
			run.font.CopyFrom(*font, mode);
		if (color != nullptr)
			run.color = *color;
	}
	_NormalizeRuns();
	_InvalidateLayout();
	Invalidate();
}

// Keeps the runs minimal: the first at 0, none at or past the end of a non-empty text,
// no two at one offset and no two neighbours alike.
void
BTextView::_NormalizeRuns()
{
	int32 length = TextLength();
	std::vector<StyleRun> runs;
	runs.reserve(fRuns.size());
	for (const StyleRun& run : fRuns) {
		if (run.offset >= length && length > 0 && !runs.empty())
			continue;
		if (!runs.empty() && runs.back().offset >= run.offset)
			runs.pop_back();
		if (!runs.empty() && runs.back().font == run.font && runs.back().color == run.color)
			continue;
		runs.push_back(run);
	}
	if (runs.empty())
		runs.push_back(fRuns.front());
	runs.front().offset = 0;
	fRuns.swap(runs);
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
	fEditable = editable;
	_ResetCaretBlink();
	Invalidate();
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

// #pragma mark - Layout

// Measures every character and breaks the text into lines. Lines stack from the top of
// the text rectangle; each is as high as its tallest font (ascent + descent + leading,
// rounded up), and its baseline lies on the last row of that font's ascent.
void
BTextView::_Layout() const
{
	if (fLayoutValid)
		return;
	fLayoutValid = true;
	fLines.clear();
	int32 length = TextLength();
	fAdvances.assign((size_t)length, 0.0f);

	// Asking the font per character is slow; most text is ASCII, so keep a table per run.
	float ascii[128];
	bool known[128] = {};
	size_t run = 0;
	for (int32 offset = 0; offset < length;) {
		if (run + 1 < fRuns.size() && fRuns[run + 1].offset <= offset) {
			while (run + 1 < fRuns.size() && fRuns[run + 1].offset <= offset)
				run++;
			std::fill(std::begin(known), std::end(known), false);
		}
		const BFont& font = fRuns[run].font;
		uint8 byte = (uint8)fText[offset];
		int32 wellFormed = WellFormedLength(fText, offset);
		float advance = 0;
		if (byte == '\t' || (byte < 0x80 && !IsControl(byte))) {
			uint8 key = byte == '\t' ? ' ' : byte;
			if (!known[key]) {
				char single = (char)key;
				ascii[key] = font.StringWidth(&single, 1);
				known[key] = true;
			}
			advance = byte == '\t' ? kTabWidthInSpaces * ascii[key] : ascii[key];
		} else if (wellFormed == 0)
			advance = font.StringWidth(kReplacement, kReplacementLength);
		else if (byte >= 0x80)
			advance = font.StringWidth(fText.data() + offset, wellFormed);
		fAdvances[(size_t)offset] = advance;
		offset += wellFormed > 0 ? wellFormed : 1;
	}

	int32 start = 0;
	while (true) {
		size_t lineBreak = fText.find('\n', (size_t)start);
		int32 end = lineBreak == std::string::npos ? length : (int32)lineBreak;
		if (fWordWrap)
			_BreakParagraph(start, end);
		else
			_AddLine(start, end, false);
		if (lineBreak == std::string::npos)
			break;
		start = end + 1;
	}

	float top = fTextRect.top;
	for (Line& line : fLines) {
		font_height tallest = {0, 0, 0};
		size_t index = _RunIndexAt(line.start);
		do {
			font_height height;
			fRuns[index].font.GetHeight(&height);
			tallest.ascent = std::max(tallest.ascent, height.ascent);
			tallest.descent = std::max(tallest.descent, height.descent);
			tallest.leading = std::max(tallest.leading, height.leading);
			index++;
		} while (index < fRuns.size() && fRuns[index].offset < line.end);
		line.top = top;
		line.ascent = tallest.ascent;
		line.height = std::max(1.0f,
			std::ceil(tallest.ascent + tallest.descent + tallest.leading));
		top += line.height;
	}
}

// Greedy wrapping at spaces; a word wider than the text rectangle is cut between
// characters. Spaces at a break stay on the line they end.
void
BTextView::_BreakParagraph(int32 start, int32 end) const
{
	float limit = fTextRect.Width() + 1;
	int32 lineStart = start;
	int32 lastBreak = -1;
	float x = 0;
	for (int32 offset = start; offset < end;) {
		int32 length = CharLength(fText, offset);
		float advance = fAdvances[(size_t)offset];
		if (fText[offset] == ' ') {
			x += advance;
			offset += length;
			lastBreak = offset;
			continue;
		}
		if (x + advance > limit && offset > lineStart) {
			int32 breakAt = lastBreak > lineStart ? lastBreak : offset;
			_AddLine(lineStart, breakAt, true);
			lineStart = breakAt;
			lastBreak = -1;
			x = 0;
			for (int32 p = breakAt; p < offset; p += CharLength(fText, p))
				x += fAdvances[(size_t)p];
		}
		x += advance;
		offset += length;
	}
	_AddLine(lineStart, end, false);
}

void
BTextView::_AddLine(int32 start, int32 end, bool softBreak) const
{
	// Spaces hanging at a wrap do not count for the alignment.
	int32 measuredEnd = end;
	while (softBreak && measuredEnd > start && fText[measuredEnd - 1] == ' ')
		measuredEnd--;
	float width = 0;
	for (int32 offset = start; offset < measuredEnd; offset += CharLength(fText, offset))
		width += fAdvances[(size_t)offset];
	fLines.push_back(Line{start, end, 0, 0, 0, width});
}

int32
BTextView::_LineIndexAt(int32 offset) const
{
	auto after = std::upper_bound(fLines.begin(), fLines.end(), offset,
		[](int32 value, const Line& line) { return value < line.start; });
	return after == fLines.begin() ? 0 : (int32)(after - fLines.begin() - 1);
}

// Left and right alignment put the text against the text rectangle's first and last
// pixel columns; centring rounds to whole pixels.
float
BTextView::_LineLeft(const Line& line) const
{
	float available = fTextRect.Width() + 1;
	float x = fTextRect.left;
	if (fAlignment == B_ALIGN_RIGHT)
		x += available - line.width;
	else if (fAlignment == B_ALIGN_CENTER)
		x += std::floor((available - line.width) / 2);
	return x - fScrollX;
}

float
BTextView::_XAt(const Line& line, int32 offset) const
{
	float x = _LineLeft(line);
	int32 end = std::min(offset, line.end);
	for (int32 position = line.start; position < end; position += CharLength(fText, position))
		x += fAdvances[(size_t)position];
	return x;
}

// Keeps the caret inside the text rectangle of a view without word wrap, scrolling no
// further than needed and never past the ends of the caret's line.
void
BTextView::_ScrollToCaret()
{
	float old = fScrollX;
	if (fWordWrap) {
		fScrollX = 0;
	} else {
		_Layout();
		int32 caret = _CaretOffset();
		const Line& line = fLines[(size_t)_LineIndexAt(caret)];
		fScrollX = 0;
		float lineLeft = _LineLeft(line);
		float caretX = _XAt(line, caret);
		float left = fTextRect.left;
		float right = fTextRect.right + 1;
		float scroll = old;
		if (line.width <= right - left)
			scroll = 0;
		else {
			if (caretX - scroll < left)
				scroll = caretX - left;
			if (caretX - scroll > right)
				scroll = caretX - right;
			scroll = std::clamp(scroll, lineLeft - left, lineLeft + line.width - right);
		}
		fScrollX = scroll;
	}
	if (fScrollX != old)
		Invalidate();
}

int32
BTextView::OffsetAt(BPoint point) const
{
	_Layout();
	size_t index = 0;
	while (index + 1 < fLines.size() && point.y >= fLines[index].top + fLines[index].height)
		index++;
	const Line& line = fLines[index];
	float x = _LineLeft(line);
	for (int32 offset = line.start; offset < line.end;) {
		float advance = fAdvances[(size_t)offset];
		if (point.x < x + advance / 2)
			return offset;
		x += advance;
		offset += CharLength(fText, offset);
	}
	return line.end;
}

BPoint
BTextView::PointAt(int32 offset, float* outHeight) const
{
	_Layout();
	offset = std::clamp(offset, 0, TextLength());
	const Line& line = fLines[(size_t)_LineIndexAt(offset)];
	if (outHeight != nullptr)
		*outHeight = line.height;
	return BPoint(_XAt(line, offset), line.top);
}

int32
BTextView::CountLines() const
{
	_Layout();
	return (int32)fLines.size();
}

float
BTextView::LineHeight(int32 line) const
{
	_Layout();
	return fLines[(size_t)std::clamp(line, 0, (int32)fLines.size() - 1)].height;
}

// #pragma mark - Drawing

void
BTextView::Draw(BRect updateRect)
{
	_Layout();
	PushState();
	for (const Line& line : fLines) {
		if (line.top > updateRect.bottom)
			break;
		if (line.top + line.height - 1 >= updateRect.top)
			_DrawLine(line, updateRect.left, updateRect.right);
	}
	if (fSelStart < fSelEnd && _ShowsSelection())
		_InvertRange(fSelStart, fSelEnd);
	for (const auto& range : fHighlights)
		_InvertRange(range.first, range.second);
	if (_CaretVisible()) {
		BRect caret = _CaretRect();
		SetHighColor(_RunAt(_PreviousCharOffset(fSelStart)).color);
		StrokeLine(caret.LeftTop(), caret.LeftBottom());
	}
	PopState();
}

// Draws a line run by run, each piece of plain characters in one call. Control
// characters take their room but draw nothing; malformed bytes draw a replacement mark.
// Characters well outside the columns left..right are skipped, so a huge line costs
// only what shows.
void
BTextView::_DrawLine(const Line& line, float left, float right)
{
	const float kOverhang = 4;
	float x = _LineLeft(line);
	float baseline = line.top + std::ceil(line.ascent) - 1;
	size_t run = _RunIndexAt(line.start);
	int32 offset = line.start;
	while (offset < line.end && x <= right + kOverhang) {
		while (run + 1 < fRuns.size() && fRuns[run + 1].offset <= offset)
			run++;
		int32 runEnd = run + 1 < fRuns.size() ? std::min(fRuns[run + 1].offset, line.end)
			: line.end;
		SetFont(&fRuns[run].font);
		SetHighColor(fRuns[run].color);

		int32 pieceStart = offset;
		float pieceX = x;
		auto flush = [&]() {
			if (offset > pieceStart) {
				DrawString(fText.data() + pieceStart, offset - pieceStart,
					BPoint(pieceX, baseline));
			}
		};
		while (offset < runEnd) {
			int32 wellFormed = WellFormedLength(fText, offset);
			uint8 byte = (uint8)fText[offset];
			float advance = fAdvances[(size_t)offset];
			bool visible = x + advance + kOverhang >= left && x - kOverhang <= right;
			if (wellFormed > 0 && !IsControl(byte) && visible) {
				x += advance;
				offset += wellFormed;
				continue;
			}
			flush();
			if (wellFormed == 0 && visible)
				DrawString(kReplacement, kReplacementLength, BPoint(x, baseline));
			x += advance;
			offset += wellFormed > 0 ? wellFormed : 1;
			pieceStart = offset;
			pieceX = x;
		}
		flush();
	}
}


void
BTextView::_InvertRange(int32 start, int32 end)
{
	_Layout();
	start = std::clamp(start, 0, TextLength());
	end = std::clamp(end, 0, TextLength());
	size_t first = (size_t)_LineIndexAt(start);
	for (size_t index = first; index < fLines.size(); index++) {
		const Line& line = fLines[index];
		if (index > first && line.start >= end)
			break;
		float left = _XAt(line, std::max(start, line.start));
		float right = _XAt(line, std::min(end, line.end));
		// A range running on through a line break covers the rest of the line.
		if (end > line.end && index + 1 < fLines.size() && fLines[index + 1].start > line.end)
			right = std::max(right, fTextRect.right + 1);
		if (right > left) {
			InvertRect(BRect(std::floor(left), line.top, std::ceil(right) - 1,
				line.top + line.height - 1));
		}
	}
}

BRect
BTextView::_CaretRect() const
{
	_Layout();
	const Line& line = fLines[(size_t)_LineIndexAt(fSelStart)];
	float x = std::floor(_XAt(line, fSelStart) + 0.5f);
	x = std::clamp(x, fTextRect.left, std::max(fTextRect.left, fTextRect.right));
	return BRect(x, line.top, x, line.top + line.height - 1);
}

bool
BTextView::_ShowsCaret() const
{
	return fEditable && IsFocus() && Window() != nullptr && Window()->IsActive();
}

bool
BTextView::_ShowsSelection() const
{
	return fSelectable && IsFocus() && Window() != nullptr && Window()->IsActive();
}

void
BTextView::_ResetCaretBlink()
{
	fCaretOn = true;
	fCaretHold = true;
}

void
BTextView::Pulse()
{
	if (!_ShowsCaret() || fSelStart != fSelEnd)
		return;
	if (fCaretHold)
		fCaretHold = false;
	else
		fCaretOn = !fCaretOn;
	Invalidate(_CaretRect());
}

void
BTextView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	_ResetCaretBlink();
	Invalidate();
}

void
BTextView::WindowActivated(bool active)
{
	BView::WindowActivated(active);
	_ResetCaretBlink();
	Invalidate();
}

void
BTextView::AttachedToWindow()
{
	BView::AttachedToWindow();
	_InvalidateLayout();
}

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
				if (fSelectable)
					SelectAll();
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
			if (fSelectable)
				_HandleNavigation((char)key, (modifiers & B_SHIFT_KEY) != 0);
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
			if (start < end)
				DeleteText(start, end);
			_SetSelection(start, start);
			return;
		}
		case B_TAB:
			if (fEditable && _IsMultiLine())
				_ReplaceSelection("\t", 1);
			else
				BView::KeyDown(bytes, numBytes);
			return;
		case B_ENTER:
			if (fEditable)
				_ReplaceSelection("\n", 1);
			else
				BView::KeyDown(bytes, numBytes);
			return;
		default:
			break;
	}

	if (IsControl(key) || !fEditable)
		BView::KeyDown(bytes, numBytes);
	else
		_ReplaceSelection(bytes, numBytes);
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

// Typed and pasted text: replaces the selection, within the byte limit. What does not
// fit is cut at a character boundary; a key that does not fit at all changes nothing.
void
BTextView::_ReplaceSelection(const char* text, int32 length)
{
	if (!fEditable || text == nullptr || length <= 0)
		return;
	length = (int32)strnlen(text, (size_t)length);
	int32 start = fSelStart;
	int32 end = fSelEnd;
	int64 room = (int64)std::max(fMaxBytes, 0) - (TextLength() - (end - start));
	if (length > room) {
		length = (int32)std::max<int64>(room, 0);
		while (length > 0 && IsContinuation((uint8)text[length]))
			length--;
	}
	if (length == 0)
		return;

	std::string copy(text, (size_t)length);
	if (start < end)
		DeleteText(start, end);
	int32 offset = std::min(start, TextLength());
	int32 before = TextLength();
	InsertText(copy.c_str(), length, offset, nullptr);
	// The hook may take in less (or more) than offered; the caret follows what it did.
	int32 inserted = std::max(TextLength() - before, 0);
	_SetSelection(offset + inserted, offset + inserted);
}

// #pragma mark - Clipboard

void
BTextView::Cut()
{
	if (!fEditable || fSelStart == fSelEnd)
		return;
	Copy();
	int32 start = fSelStart;
	DeleteText(fSelStart, fSelEnd);
	_SetSelection(start, start);
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
	std::string text = BPrivate::CurrentBackend()->ClipboardText();
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
		case B_SELECT_ALL:
			if (fSelectable)
				SelectAll();
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
