#include "TextSegments.h"

#include <algorithm>

namespace KamboAtk {

namespace {

// Lenient UTF-8 reading: a broken byte stands for itself, so offsets never run past the text.
char32_t
Decode(const std::string& text, size_t* index)
{
	unsigned char lead = text[*index];
	int length = lead < 0x80  ? 1
		: (lead >> 5) == 0x6  ? 2
		: (lead >> 4) == 0xe  ? 3
		: (lead >> 3) == 0x1e ? 4
							  : 0;
	if (length == 0 || *index + length > text.size()) {
		(*index)++;
		return lead;
	}
	char32_t value = length == 1 ? lead : lead & (0x7f >> length);
	for (int i = 1; i < length; i++) {
		unsigned char next = text[*index + i];
		if ((next & 0xc0) != 0x80) {
			(*index)++;
			return lead;
		}
		value = (value << 6) | (next & 0x3f);
	}
	*index += length;
	return value;
}

bool
IsDigit(char32_t c)
{
	return c >= '0' && c <= '9';
}

} // namespace

TextSegments::TextSegments(const std::string& utf8) : fText(utf8)
{
	size_t index = 0;
	while (index < fText.size()) {
		fByteOffsets.push_back(index);
		fCharacters.push_back(Decode(fText, &index));
	}
	fByteOffsets.push_back(fText.size());
}

std::string
TextSegments::Slice(int32 start, int32 end) const
{
	int32 count = CountCharacters();
	if (end < 0 || end > count)
		end = count;
	start = std::clamp(start, int32(0), end);
	return fText.substr(fByteOffsets[start], fByteOffsets[end] - fByteOffsets[start]);
}

char32_t
TextSegments::CharacterAt(int32 offset) const
{
	if (offset < 0 || offset >= CountCharacters())
		return 0;
	return fCharacters[offset];
}

bool
TextSegments::_IsWordCharacter(int32 offset) const
{
	char32_t c = CharacterAt(offset);
	if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c))
		return true;
	// A decimal point or thousands separator inside a number belongs to it.
	if (c == '.' || c == ',')
		return IsDigit(CharacterAt(offset - 1)) && IsDigit(CharacterAt(offset + 1));
	// Letters beyond ASCII (umlauts, ß), but not the punctuation and symbol blocks.
	return c >= 0xc0 && c != 0xd7 && c != 0xf7 && !(c >= 0x2000 && c <= 0x2bff);
}

std::vector<int32>
TextSegments::_Boundaries(Boundary boundary) const
{
	int32 count = CountCharacters();
	std::vector<int32> boundaries{0};
	for (int32 i = 1; i < count; i++) {
		bool is = false;
		switch (boundary) {
			case Boundary::kChar:
				is = true;
				break;
			case Boundary::kWordStart:
				is = _IsWordCharacter(i) && !_IsWordCharacter(i - 1);
				break;
			case Boundary::kWordEnd:
				is = !_IsWordCharacter(i) && _IsWordCharacter(i - 1);
				break;
			case Boundary::kLineStart:
				is = fCharacters[i - 1] == '\n';
				break;
			case Boundary::kLineEnd:
				is = fCharacters[i] == '\n';
				break;
		}
		if (is)
			boundaries.push_back(i);
	}
	if (count > 0)
		boundaries.push_back(count);
	return boundaries;
}

Segment
TextSegments::At(int32 offset, Boundary boundary) const
{
	int32 count = CountCharacters();
	if (offset < 0 || count == 0)
		return Segment{0, 0};
	if (offset >= count) {
		// At the end there is no character, but there is the last word and line.
		if (boundary == Boundary::kChar)
			return Segment{count, count};
		offset = count - 1;
	}
	std::vector<int32> boundaries = _Boundaries(boundary);
	auto next = std::upper_bound(boundaries.begin(), boundaries.end(), offset);
	return Segment{*(next - 1), *next};
}

Segment
TextSegments::Before(int32 offset, Boundary boundary) const
{
	Segment at = At(offset, boundary);
	if (offset >= CountCharacters() && boundary == Boundary::kChar)
		return offset > 0 ? At(CountCharacters() - 1, boundary) : Segment{0, 0};
	if (at.start == 0)
		return Segment{0, 0};
	return At(at.start - 1, boundary);
}

Segment
TextSegments::After(int32 offset, Boundary boundary) const
{
	Segment at = At(offset, boundary);
	int32 count = CountCharacters();
	if (at.end >= count)
		return Segment{count, count};
	return At(at.end, boundary);
}

} // namespace KamboAtk
