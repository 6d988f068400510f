#include "TextView.h"

#include <algorithm>
#include <cmath>

#include "TextViewPrivate.h"

using BPrivate::CharLength;
using BPrivate::IsControl;
using BPrivate::kTextReplacement;
using BPrivate::kTextReplacementLength;
using BPrivate::WellFormedLength;

namespace {

const int32 kTabWidthInSpaces = 4;

} // namespace

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
			advance = font.StringWidth(kTextReplacement, kTextReplacementLength);
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
