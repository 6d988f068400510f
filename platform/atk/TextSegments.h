// The text arithmetic of ATK's text calls, kept free of GLib and of the kit so that tests can
// drive it with plain strings: offsets in characters (code points) of UTF-8 text, and the
// character, word and line around an offset. Sentences and paragraphs count as lines: the
// program's texts are amounts and short lines, where a full stop is a decimal point.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

namespace KamboAtk {

enum class Boundary {
	kChar,
	kWordStart, // a word and the space after it
	kWordEnd,   // the space before a word and the word
	kLineStart, // a line and its line break
	kLineEnd,   // the line break before a line and the line
};

struct Segment {
	int32 start = 0;
	int32 end = 0;
};

class TextSegments {
public:
	explicit TextSegments(const std::string& utf8);

	int32 CountCharacters() const { return int32(fCharacters.size()); }
	// Characters [start, end) as UTF-8; end -1 (or past the end) means the end. Out of order
	// or out of range offsets are clamped.
	std::string Slice(int32 start, int32 end) const;
	// The code point at offset, 0 out of range.
	char32_t CharacterAt(int32 offset) const;

	Segment At(int32 offset, Boundary boundary) const;
	Segment Before(int32 offset, Boundary boundary) const;
	Segment After(int32 offset, Boundary boundary) const;

private:
	std::vector<int32> _Boundaries(Boundary boundary) const;
	bool _IsWordCharacter(int32 offset) const;

	std::string fText;
	std::vector<char32_t> fCharacters;
	// Byte offset of each character, and the text's length at the end.
	std::vector<size_t> fByteOffsets;
};

} // namespace KamboAtk
