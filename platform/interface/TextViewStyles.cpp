#include "TextView.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

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
		int32 end = i + 1 < runs->count ? startOffset + std::clamp(entries[i + 1].offset, 0, span)
										: endOffset;
		if (start < end)
			_SetStyle(start, end, &entries[i].font, B_FONT_ALL, &entries[i].color);
	}
}

text_run_array*
BTextView::AllocRunArray(int32 entryCount)
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
BTextView::_SetStyle(int32 start, int32 end, const BFont* font, uint32 mode, const rgb_color* color)
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
