// What the parts of BTextView share about its bytes: UTF-8 character boundaries, with a
// malformed byte standing alone, and which bytes draw nothing.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "SupportDefs.h"

class BTextView;

namespace BPrivate {

// Drawn for a byte that does not start a well-formed character.
inline constexpr char kTextReplacement[] = "\xEF\xBF\xBD";
inline constexpr int32 kTextReplacementLength = 3;

// Stands where a fitted line is cut: a horizontal ellipsis.
inline constexpr char kCutMark[] = "\xE2\x80\xA6";
inline constexpr int32 kCutMarkLength = 3;
// Between a cut mark and the nearest character drawn beside it.
inline constexpr float kCutMarkGap = 1;

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
int32 WellFormedLength(const std::string& text, int32 offset);

// Every byte belongs to exactly one character: a malformed byte stands alone.
inline int32
CharLength(const std::string& text, int32 offset)
{
	int32 length = WellFormedLength(text, offset);
	return length > 0 ? length : 1;
}

// What tests read of a text view's drawing. Not for applications.
class TextViewAccess {
public:
	// Whether the caret is drawn now.
	static bool CaretVisible(const BTextView* view);
	// The font size the character at offset is drawn with (smaller than its style's when
	// fitted), and whether marks cut the given line on the left and on the right.
	static float DrawnSize(const BTextView* view, int32 offset);
	static void CutMarks(const BTextView* view, int32 line, bool* outLeft, bool* outRight);
	// The ranges highlighted (a link while it is pressed or opened).
	static const std::vector<std::pair<int32, int32>>& Highlights(const BTextView* view);
};

} // namespace BPrivate
