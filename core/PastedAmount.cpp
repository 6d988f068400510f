// Reading a pasted text the way its writer meant the number in it. Bank statements and
// spreadsheets group thousands ("1.234,50", "1,234.50", "1 234 567"); the field's filter
// alone would make "1.234,50" into 1.234, a thousand times too small.
#include "AmountInput.h"

#include <cstring>
#include <vector>

namespace {

enum MarkKind { kSpaceMark, kPointMark, kCommaMark };

struct Mark {
	MarkKind kind;
	size_t digitsAfter; // up to the next mark or the number's end
};

bool
IsDigit(char c)
{
	return c >= '0' && c <= '9';
}

// The bytes of a mark that can stand between the digits of a number at text[i], or 0.
size_t
MarkAt(const char* text, size_t i, size_t end, MarkKind* kind)
{
	// Space, no-break space (U+00A0) and narrow no-break space (U+202F) group thousands.
	static const struct {
		const char* bytes;
		MarkKind kind;
	} kMarks[] = {
		{" ", kSpaceMark},
		{"\xC2\xA0", kSpaceMark},
		{"\xE2\x80\xAF", kSpaceMark},
		{".", kPointMark},
		{",", kCommaMark},
	};
	for (const auto& mark : kMarks) {
		size_t length = strlen(mark.bytes);
		if (end - i >= length && memcmp(text + i, mark.bytes, length) == 0) {
			*kind = mark.kind;
			return length;
		}
	}
	return 0;
}

// Which of the marks is the decimal mark: the last of '.' and ',' when both occur, a
// single '.' or ',' when only it occurs; -1 for none. Returns false when the marks
// contradict each other: the decimal mark occurs again, or a mark follows it.
bool
FindDecimalMark(const std::vector<Mark>& marks, int* decimal)
{
	size_t points = 0;
	size_t commas = 0;
	int lastPunctuation = -1;
	for (size_t i = 0; i < marks.size(); i++) {
		if (marks[i].kind == kSpaceMark)
			continue;
		(marks[i].kind == kPointMark ? points : commas)++;
		lastPunctuation = (int)i;
	}

	*decimal = -1;
	if (points > 0 && commas > 0)
		*decimal = lastPunctuation;
	else if (points + commas == 1)
		*decimal = lastPunctuation;
	if (*decimal < 0)
		return true;

	MarkKind kind = marks[*decimal].kind;
	size_t same = kind == kPointMark ? points : commas;
	return same == 1 && *decimal == (int)marks.size() - 1;
}

// The text up to its first zero byte, with every U+2212 MINUS SIGN as '-'; one pass, as a
// paste may be megabytes long.
std::string
WithPlainMinus(const char* text, size_t length)
{
	const size_t end = strnlen(text, length);
	std::string plain;
	plain.reserve(end);
	for (size_t i = 0; i < end; i++) {
		if (end - i >= kUnicodeMinusLength
			&& memcmp(text + i, kUnicodeMinus, kUnicodeMinusLength) == 0) {
			plain.push_back('-');
			i += kUnicodeMinusLength - 1;
		} else
			plain.push_back(text[i]);
	}
	return plain;
}

} // namespace

std::string
ReadPastedAmount(const char* pasted, size_t length)
{
	if (pasted == nullptr)
		return std::string();
	const std::string plain = WithPlainMinus(pasted, length);
	const char* text = plain.c_str();
	const size_t end = plain.size();

	size_t first = 0;
	while (first < end && !IsDigit(text[first]))
		first++;
	if (first == end)
		return FilterAmountInput(text, end);

	// The number: digits and the marks between them; a mark belongs to it only when a
	// digit follows, so that "1.234,50." ends a sentence with the number still whole.
	std::vector<Mark> marks;
	std::string digits;
	size_t leadingDigits = 0;
	size_t i = first;
	while (i < end) {
		if (IsDigit(text[i])) {
			digits.push_back(text[i++]);
			if (marks.empty())
				leadingDigits++;
			else
				marks.back().digitsAfter++;
			continue;
		}
		MarkKind kind;
		size_t markLength = MarkAt(text, i, end, &kind);
		if (markLength == 0 || i + markLength >= end || !IsDigit(text[i + markLength]))
			break;
		marks.push_back(Mark{kind, 0});
		i += markLength;
	}
	const size_t numberEnd = i;

	// A text with more than one number, or a minus anywhere but right before or right after
	// the number, is no single grouped number; so is a number with no groups at all.
	const bool leadingMinus = first > 0 && text[first - 1] == '-';
	// Bookkeeping writes a debit with its minus after the number ("1.234,50-").
	const bool trailingMinus = !leadingMinus && numberEnd < end && text[numberEnd] == '-';
	for (size_t j = 0; j < end; j++) {
		const bool sign = j + 1 == first || (trailingMinus && j == numberEnd);
		if ((j >= numberEnd && IsDigit(text[j])) || (text[j] == '-' && !sign))
			return FilterAmountInput(text, end);
	}
	int decimal = -1;
	if (!marks.empty() && !FindDecimalMark(marks, &decimal))
		return FilterAmountInput(text, end);
	if (marks.empty() || (decimal >= 0 && marks.size() == 1)) {
		// A number without groups reads as typed; with its sign after it, as the same
		// number with the sign in front.
		if (!trailingMinus)
			return FilterAmountInput(text, end);
	} else {
		for (size_t m = 0; m < marks.size(); m++) {
			if ((int)m != decimal && marks[m].digitsAfter != 3)
				return FilterAmountInput(text, end);
		}
	}

	std::string amount;
	amount.reserve(digits.size() + 2);
	if (leadingMinus || trailingMinus)
		amount.push_back('-');
	size_t decimalAt = leadingDigits;
	for (int m = 0; m < decimal; m++)
		decimalAt += marks[m].digitsAfter;
	amount.append(digits, 0, decimal >= 0 ? decimalAt : digits.size());
	if (decimal >= 0) {
		amount.push_back('.');
		amount.append(digits, decimalAt, std::string::npos);
	}
	return amount;
}
