#include "TextView.h"

#include <algorithm>
#include <cmath>

#include "TextViewPrivate.h"

using BPrivate::CharLength;
using BPrivate::IsControl;
using BPrivate::kCutMark;
using BPrivate::kCutMarkGap;
using BPrivate::kCutMarkLength;
using BPrivate::kTextReplacement;
using BPrivate::kTextReplacementLength;
using BPrivate::TextViewAccess;
using BPrivate::WellFormedLength;

namespace {

const int32 kTabWidthInSpaces = 4;

} // namespace

// #pragma mark - Layout

// Measures every character and breaks the text into lines. Lines stack from the top of
// the text rectangle; each is as high as its tallest font (ascent + descent + leading,
// rounded up), and its baseline lies on the last row of that font's ascent. A fitted view
// measures again in smaller type until its widest line fits; the lines keep the height and
// baseline of the styles' own fonts, so smaller digits stand on the same row.
void
BTextView::_Layout() const
{
	if (fLayoutValid)
		return;
	fLayoutValid = true;
	fFitShrink = 0;
	_MeasureAdvances();
	_BreakLines();
	if (_IsFitting() && !_FitsWidth()) {
		float largest = 0;
		for (const StyleRun& run : fRuns)
			largest = std::max(largest, run.font.Size());
		float widest = 0;
		for (const Line& line : fLines)
			widest = std::max(widest, line.width);
		float steps = std::ceil(largest - fFitMinimum);
		// Widths grow about with the size, so start a pixel above the size that scales the
		// widest line to fit: a large font then takes a few passes, not one per pixel.
		float available = std::max(fTextRect.Width() + 1, 0.0f);
		float guess = std::floor(largest * available / widest) + 1;
		float shrink = std::clamp(largest - guess, 1.0f, std::max(steps, 1.0f));
		while (fFitShrink < steps) {
			fFitShrink = std::min(shrink, steps);
			_MeasureAdvances();
			_BreakLines();
			if (_FitsWidth())
				break;
			shrink = fFitShrink + 1;
		}
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
		line.height = std::max(1.0f, std::ceil(tallest.ascent + tallest.descent + tallest.leading));
		top += line.height;
	}
}

void
BTextView::_MeasureAdvances() const
{
	int32 length = TextLength();
	fAdvances.assign((size_t)length, 0.0f);

	// Asking the font per character is slow; most text is ASCII, so keep a table per run.
	float ascii[128];
	bool known[128] = {};
	size_t run = 0;
	BFont font = _DrawnFont(fRuns[run]);
	for (int32 offset = 0; offset < length;) {
		if (run + 1 < fRuns.size() && fRuns[run + 1].offset <= offset) {
			while (run + 1 < fRuns.size() && fRuns[run + 1].offset <= offset)
				run++;
			font = _DrawnFont(fRuns[run]);
			std::fill(std::begin(known), std::end(known), false);
		}
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
}

void
BTextView::_BreakLines() const
{
	fLines.clear();
	int32 length = TextLength();
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
}

bool
BTextView::_FitsWidth() const
{
	float available = fTextRect.Width() + 1;
	for (const Line& line : fLines) {
		if (line.width > available)
			return false;
	}
	return true;
}

// A style's font as drawn: shrunk by the fitting, never below its minimum, and never
// enlarged when the style is smaller than that already.
BFont
BTextView::_DrawnFont(const StyleRun& run) const
{
	BFont font = run.font;
	if (fFitShrink > 0 && font.Size() > fFitMinimum)
		font.SetSize(std::max(fFitMinimum, font.Size() - fFitShrink));
	return font;
}

float
TextViewAccess::DrawnSize(const BTextView* view, int32 offset)
{
	view->_Layout();
	return view->_DrawnFont(view->_RunAt(std::clamp(offset, 0, view->TextLength()))).Size();
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
// further than needed and never past the ends of the caret's line. In a fitted view the
// caret also stays clear of the cut marks, and with no caret to show the text rests
// against its alignment edge, where a right-aligned amount keeps its decimals.
void
BTextView::_ScrollToCaret()
{
	float old = fScrollX;
	if (fWordWrap) {
		fScrollX = 0;
	} else if (_IsFitting() && !_ShowsCaret() && fSelStart == fSelEnd) {
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
			// Room for a mark on both sides; at either end of the line the clamp below
			// takes that side's mark away, and the caret is still inside.
			float margin = 0;
			if (_IsFitting()) {
				margin = std::max(_MarkWidth(line.start), _MarkWidth(line.end)) + kCutMarkGap;
				if (2 * margin >= right - left)
					margin = 0;
			}
			if (caretX - scroll < left + margin)
				scroll = caretX - left - margin;
			if (caretX - scroll > right - margin)
				scroll = caretX - right + margin;
			scroll = std::clamp(scroll, lineLeft - left, lineLeft + line.width - right);
		}
		fScrollX = scroll;
	}
	if (fScrollX != old)
		Invalidate();
}

// #pragma mark - Fitting

void
BTextView::SetFitToWidth(float minimumSize)
{
	minimumSize = std::max(minimumSize, 0.0f);
	if (minimumSize == fFitMinimum)
		return;
	fFitMinimum = minimumSize;
	fScrollX = 0;
	_InvalidateLayout();
	_ScrollToCaret();
	Invalidate();
}

// The cut mark in the font of the character beside it, whole pixels wide.
float
BTextView::_MarkWidth(int32 offset) const
{
	int32 beside = std::clamp(offset, 0, std::max(TextLength() - 1, 0));
	return std::ceil(_DrawnFont(_RunAt(beside)).StringWidth(kCutMark, kCutMarkLength));
}

// The columns of the view that a line's characters may take: all of them, unless the line
// is fitted and still too wide; then the text rectangle, less the room of a mark on each
// side where characters lie beyond it.
void
BTextView::_VisibleColumns(const Line& line, float* outLeft, float* outRight, bool* outLeftMark,
	bool* outRightMark) const
{
	const float kUnbounded = 1e30f;
	*outLeft = -kUnbounded;
	*outRight = kUnbounded;
	*outLeftMark = false;
	*outRightMark = false;
	float left = fTextRect.left;
	float right = fTextRect.right + 1;
	if (!_IsFitting() || line.width <= right - left)
		return;
	// A hundredth of a pixel forgives the sums of fractional advances.
	const float kSlack = 0.01f;
	float lineLeft = _LineLeft(line);
	*outLeftMark = lineLeft < left - kSlack;
	*outRightMark = lineLeft + line.width > right + kSlack;
	*outLeft = left + (*outLeftMark ? _MarkWidth(line.start) + kCutMarkGap : 0);
	*outRight = right - (*outRightMark ? _MarkWidth(line.end - 1) + kCutMarkGap : 0);
}

void
TextViewAccess::CutMarks(const BTextView* view, int32 line, bool* outLeft, bool* outRight)
{
	view->_Layout();
	const auto& lines = view->fLines;
	const BTextView::Line& shown = lines[(size_t)std::clamp(line, 0, (int32)lines.size() - 1)];
	float left;
	float right;
	view->_VisibleColumns(shown, &left, &right, outLeft, outRight);
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
