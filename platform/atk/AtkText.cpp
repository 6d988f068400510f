// AtkText over AccessibleText: contents, caret, selection, character positions and the
// character, word and line around an offset. Offsets count characters on both sides.
#include "AccessibleNode.h"
#include "AtkCoordinates.h"
#include "AtkNodeObject.h"
#include "TextSegments.h"

using BPrivate::AccessibleText;
using KamboAtk::Boundary;
using KamboAtk::Segment;
using KamboAtk::TextSegments;

namespace {

gchar*
GetText(AtkText* atkText, gint start, gint end)
{
	AccessibleText* text = KamboAtk::TextOf(atkText);
	if (text == nullptr)
		return nullptr;
	return g_strdup(TextSegments(text->Contents()).Slice(start, end).c_str());
}

gint
GetCharacterCount(AtkText* atkText)
{
	AccessibleText* text = KamboAtk::TextOf(atkText);
	return text != nullptr ? text->CountCharacters() : 0;
}

gunichar
GetCharacterAtOffset(AtkText* atkText, gint offset)
{
	AccessibleText* text = KamboAtk::TextOf(atkText);
	return text != nullptr ? TextSegments(text->Contents()).CharacterAt(offset) : 0;
}

gint
GetCaretOffset(AtkText* atkText)
{
	AccessibleText* text = KamboAtk::TextOf(atkText);
	return text != nullptr ? text->CaretOffset() : -1;
}

gboolean
SetCaretOffset(AtkText* atkText, gint offset)
{
	AccessibleText* text = KamboAtk::TextOf(atkText);
	return text != nullptr && text->SetCaretOffset(offset);
}

// What the three old calls share: the segment before, at or after the offset.
enum class Where { kBefore, kAt, kAfter };

bool
BoundaryOf(AtkTextBoundary atkBoundary, Boundary* boundary)
{
	switch (atkBoundary) {
		case ATK_TEXT_BOUNDARY_CHAR:
			*boundary = Boundary::kChar;
			return true;
		case ATK_TEXT_BOUNDARY_WORD_START:
			*boundary = Boundary::kWordStart;
			return true;
		case ATK_TEXT_BOUNDARY_WORD_END:
			*boundary = Boundary::kWordEnd;
			return true;
		case ATK_TEXT_BOUNDARY_SENTENCE_START:
		case ATK_TEXT_BOUNDARY_LINE_START:
			*boundary = Boundary::kLineStart;
			return true;
		case ATK_TEXT_BOUNDARY_SENTENCE_END:
		case ATK_TEXT_BOUNDARY_LINE_END:
			*boundary = Boundary::kLineEnd;
			return true;
	}
	return false;
}

gchar*
TextAround(AtkText* atkText, gint offset, AtkTextBoundary atkBoundary, Where where,
	gint* startOffset, gint* endOffset)
{
	*startOffset = *endOffset = 0;
	AccessibleText* text = KamboAtk::TextOf(atkText);
	Boundary boundary;
	if (text == nullptr || !BoundaryOf(atkBoundary, &boundary))
		return nullptr;
	TextSegments segments(text->Contents());
	Segment segment = where == Where::kBefore ? segments.Before(offset, boundary)
		: where == Where::kAt                 ? segments.At(offset, boundary)
											  : segments.After(offset, boundary);
	*startOffset = segment.start;
	*endOffset = segment.end;
	return g_strdup(segments.Slice(segment.start, segment.end).c_str());
}

gchar*
GetTextBeforeOffset(AtkText* text, gint offset, AtkTextBoundary boundary, gint* start, gint* end)
{
	return TextAround(text, offset, boundary, Where::kBefore, start, end);
}

gchar*
GetTextAtOffset(AtkText* text, gint offset, AtkTextBoundary boundary, gint* start, gint* end)
{
	return TextAround(text, offset, boundary, Where::kAt, start, end);
}

gchar*
GetTextAfterOffset(AtkText* text, gint offset, AtkTextBoundary boundary, gint* start, gint* end)
{
	return TextAround(text, offset, boundary, Where::kAfter, start, end);
}

gchar*
GetStringAtOffset(AtkText* text, gint offset, AtkTextGranularity granularity, gint* start,
	gint* end)
{
	AtkTextBoundary boundary = ATK_TEXT_BOUNDARY_CHAR;
	switch (granularity) {
		case ATK_TEXT_GRANULARITY_CHAR:
			boundary = ATK_TEXT_BOUNDARY_CHAR;
			break;
		case ATK_TEXT_GRANULARITY_WORD:
			boundary = ATK_TEXT_BOUNDARY_WORD_START;
			break;
		case ATK_TEXT_GRANULARITY_SENTENCE:
		case ATK_TEXT_GRANULARITY_LINE:
		case ATK_TEXT_GRANULARITY_PARAGRAPH:
			boundary = ATK_TEXT_BOUNDARY_LINE_START;
			break;
	}
	return TextAround(text, offset, boundary, Where::kAt, start, end);
}

void
GetCharacterExtents(AtkText* atkText, gint offset, gint* x, gint* y, gint* width, gint* height,
	AtkCoordType coords)
{
	KamboAtk::Extents extents;
	AccessibleText* text = KamboAtk::TextOf(atkText);
	if (text != nullptr) {
		extents = KamboAtk::ExtentsIn(KamboAtk::NodeOf(atkText), text->CharacterBounds(offset),
			coords);
	}
	*x = extents.x;
	*y = extents.y;
	*width = extents.width;
	*height = extents.height;
}

gint
GetOffsetAtPoint(AtkText* atkText, gint x, gint y, AtkCoordType coords)
{
	AccessibleText* text = KamboAtk::TextOf(atkText);
	BPoint point;
	if (text == nullptr || !KamboAtk::ToScreen(KamboAtk::NodeOf(atkText), x, y, coords, &point))
		return -1;
	return text->OffsetAtPoint(point);
}

// One selection at most, as in every text view of the kit.
bool
Selection(AccessibleText* text, int32* start, int32* end)
{
	return text != nullptr && text->GetSelection(start, end) && *start != *end;
}

gint
GetSelectionCount(AtkText* atkText)
{
	int32 start;
	int32 end;
	return Selection(KamboAtk::TextOf(atkText), &start, &end) ? 1 : 0;
}

gchar*
GetSelection(AtkText* atkText, gint index, gint* startOffset, gint* endOffset)
{
	*startOffset = *endOffset = 0;
	AccessibleText* text = KamboAtk::TextOf(atkText);
	int32 start;
	int32 end;
	if (index != 0 || !Selection(text, &start, &end))
		return nullptr;
	*startOffset = start;
	*endOffset = end;
	return g_strdup(TextSegments(text->Contents()).Slice(start, end).c_str());
}

gboolean
SetSelection(AtkText* atkText, gint index, gint start, gint end)
{
	AccessibleText* text = KamboAtk::TextOf(atkText);
	return index == 0 && text != nullptr && text->SetSelection(start, end);
}

gboolean
AddSelection(AtkText* atkText, gint start, gint end)
{
	// A second selection has no place to go.
	if (GetSelectionCount(atkText) > 0)
		return FALSE;
	return SetSelection(atkText, 0, start, end);
}

gboolean
RemoveSelection(AtkText* atkText, gint index)
{
	AccessibleText* text = KamboAtk::TextOf(atkText);
	if (index != 0 || GetSelectionCount(atkText) == 0)
		return FALSE;
	int32 caret = text->CaretOffset();
	return text->SetSelection(caret, caret);
}

AtkAttributeSet*
GetRunAttributes(AtkText* atkText, gint /*offset*/, gint* start, gint* end)
{
	// One run without attributes: the kit's texts have a single style.
	*start = 0;
	*end = GetCharacterCount(atkText);
	return nullptr;
}

} // namespace

namespace KamboAtk {

void
InitText(AtkTextIface* iface)
{
	iface->get_text = GetText;
	iface->get_character_count = GetCharacterCount;
	iface->get_character_at_offset = GetCharacterAtOffset;
	iface->get_caret_offset = GetCaretOffset;
	iface->set_caret_offset = SetCaretOffset;
	iface->get_text_before_offset = GetTextBeforeOffset;
	iface->get_text_at_offset = GetTextAtOffset;
	iface->get_text_after_offset = GetTextAfterOffset;
	iface->get_string_at_offset = GetStringAtOffset;
	iface->get_character_extents = GetCharacterExtents;
	iface->get_offset_at_point = GetOffsetAtPoint;
	iface->get_n_selections = GetSelectionCount;
	iface->get_selection = GetSelection;
	iface->set_selection = SetSelection;
	iface->add_selection = AddSelection;
	iface->remove_selection = RemoveSelection;
	iface->get_run_attributes = GetRunAttributes;
}

} // namespace KamboAtk
