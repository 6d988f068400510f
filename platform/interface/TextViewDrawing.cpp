#include "TextView.h"

#include <algorithm>
#include <cmath>

#include "TextViewPrivate.h"
#include "Window.h"

using BPrivate::CharLength;
using BPrivate::IsControl;
using BPrivate::kCutMark;
using BPrivate::kCutMarkGap;
using BPrivate::kCutMarkLength;
using BPrivate::kTextReplacement;
using BPrivate::kTextReplacementLength;
using BPrivate::WellFormedLength;

namespace {

// A hundredth of a pixel forgives the sums of fractional advances.
const float kSlack = 0.01f;

} // namespace

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
// only what shows. A cut line draws only the characters wholly inside its visible
// columns, so no half digit stands beside a mark.
void
BTextView::_DrawLine(const Line& line, float left, float right)
{
	const float kOverhang = 4;
	float shownLeft;
	float shownRight;
	bool leftMark;
	bool rightMark;
	_VisibleColumns(line, &shownLeft, &shownRight, &leftMark, &rightMark);
	bool cut = leftMark || rightMark;

	float x = _LineLeft(line);
	float baseline = line.top + std::ceil(line.ascent) - 1;
	size_t run = _RunIndexAt(line.start);
	int32 offset = line.start;
	while (offset < line.end && x <= right + kOverhang) {
		while (run + 1 < fRuns.size() && fRuns[run + 1].offset <= offset)
			run++;
		int32 runEnd = run + 1 < fRuns.size() ? std::min(fRuns[run + 1].offset, line.end)
											  : line.end;
		BFont font = _DrawnFont(fRuns[run]);
		SetFont(&font);
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
			if (cut)
				visible = visible && x >= shownLeft - kSlack && x + advance <= shownRight + kSlack;
			if (wellFormed > 0 && !IsControl(byte) && visible) {
				x += advance;
				offset += wellFormed;
				continue;
			}
			flush();
			if (wellFormed == 0 && visible)
				DrawString(kTextReplacement, kTextReplacementLength, BPoint(x, baseline));
			x += advance;
			offset += wellFormed > 0 ? wellFormed : 1;
			pieceStart = offset;
			pieceX = x;
		}
		flush();
	}
	if (cut)
		_DrawCutMarks(line, baseline);
}

// Each mark stands right beside the characters it cuts, so that it reads as part of the
// number, in the font and colour of the characters it stands for.
void
BTextView::_DrawCutMarks(const Line& line, float baseline)
{
	float shownLeft;
	float shownRight;
	bool leftMark;
	bool rightMark;
	_VisibleColumns(line, &shownLeft, &shownRight, &leftMark, &rightMark);
	// Found apart from the update rectangle, so that a partial repaint puts the marks
	// where a full one does.
	float firstShown = shownLeft;
	float lastShown = shownRight;
	bool any = false;
	float x = _LineLeft(line);
	for (int32 offset = line.start; offset < line.end; offset += CharLength(fText, offset)) {
		float advance = fAdvances[(size_t)offset];
		if (x >= shownLeft - kSlack && x + advance <= shownRight + kSlack) {
			if (!any)
				firstShown = x;
			any = true;
			lastShown = x + advance;
		}
		x += advance;
	}
	const struct {
		bool shown;
		int32 beside;
		float x;
	} marks[] = {
		{leftMark, line.start, firstShown - _MarkWidth(line.start) - kCutMarkGap},
		{rightMark, line.end - 1, lastShown + kCutMarkGap},
	};
	for (const auto& mark : marks) {
		if (!mark.shown)
			continue;
		const StyleRun& run = _RunAt(mark.beside);
		BFont font = _DrawnFont(run);
		SetFont(&font);
		SetHighColor(run.color);
		DrawString(kCutMark, kCutMarkLength, BPoint(mark.x, baseline));
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
		// Characters hidden behind a cut mark show no selection either.
		float shownLeft;
		float shownRight;
		bool leftMark;
		bool rightMark;
		_VisibleColumns(line, &shownLeft, &shownRight, &leftMark, &rightMark);
		left = std::max(left, shownLeft);
		right = std::min(right, shownRight);
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
BPrivate::TextViewAccess::CaretVisible(const BTextView* view)
{
	return view->_CaretVisible();
}

const std::vector<std::pair<int32, int32>>&
BPrivate::TextViewAccess::Highlights(const BTextView* view)
{
	return view->fHighlights;
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
	// A fitted view without its caret goes back to its alignment edge, and back again.
	_ScrollToCaret();
	Invalidate();
}

void
BTextView::WindowActivated(bool active)
{
	BView::WindowActivated(active);
	_ResetCaretBlink();
	_ScrollToCaret();
	Invalidate();
}

void
BTextView::AttachedToWindow()
{
	BView::AttachedToWindow();
	_InvalidateLayout();
}
