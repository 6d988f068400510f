#include "StrictAmount.h"

#include <cctype>

#include "AmountInput.h"

namespace {

// "DM", "EUR", "Euro", "öS", "IR£", "€": longer words are prose, not a currency.
constexpr size_t kUnitMaxCharacters = 4;

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
constexpr std::string_view kNarrowNoBreakSpace = "\xE2\x80\xAF";
constexpr std::string_view kMinusSign(kUnicodeMinus, kUnicodeMinusLength);

bool
IsDigit(char c)
{
	return c >= '0' && c <= '9';
}

// Every line of a list passes here several times: ASCII is decided by its first byte.
bool
HasAt(std::string_view text, size_t i, std::string_view bytes)
{
	return i < text.size() && text[i] == bytes[0] && text.substr(i).starts_with(bytes);
}

// The bytes of a space that may group thousands at text[i], or 0.
size_t
GroupSpaceAt(std::string_view text, size_t i)
{
	if (i < text.size() && text[i] == ' ')
		return 1;
	if (HasAt(text, i, kNoBreakSpace))
		return kNoBreakSpace.size();
	if (HasAt(text, i, kNarrowNoBreakSpace))
		return kNarrowNoBreakSpace.size();
	return 0;
}

// Between the number and its currency a tab may stand as well.
size_t
SpaceAt(std::string_view text, size_t i)
{
	if (i < text.size() && text[i] == '\t')
		return 1;
	return GroupSpaceAt(text, i);
}

size_t
SkipSpaces(std::string_view text, size_t i)
{
	while (size_t length = SpaceAt(text, i))
		i += length;
	return i;
}

size_t
MinusAt(std::string_view text, size_t i)
{
	if (i < text.size() && text[i] == '-')
		return 1;
	return HasAt(text, i, kMinusSign) ? kMinusSign.size() : 0;
}

// Letters and every character beyond ASCII that is no space or minus: "€", "£", "öS".
bool
IsUnitAt(std::string_view text, size_t i)
{
	if (i >= text.size() || SpaceAt(text, i) > 0 || MinusAt(text, i) > 0)
		return false;
	const unsigned char c = text[i];
	return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80;
}

// Where a number could begin: a digit, a sign or a decimal mark before a digit.
bool
StartsNumber(std::string_view text, size_t i)
{
	if (i >= text.size())
		return false;
	const char c = text[i];
	return IsDigit(c) || c == '+' || MinusAt(text, i) > 0
		|| ((c == '.' || c == ',') && i + 1 < text.size() && IsDigit(text[i + 1]));
}

// Reads a currency word at *i; false when it has no room to be one.
bool
ReadUnit(std::string_view text, size_t* i, std::string_view* unit)
{
	const size_t start = *i;
	size_t characters = 0;
	while (IsUnitAt(text, *i)) {
		// UTF-8 continuation bytes belong to the character before them.
		if ((static_cast<unsigned char>(text[*i]) & 0xC0) != 0x80)
			characters++;
		++*i;
	}
	*unit = text.substr(start, *i - start);
	return characters <= kUnitMaxCharacters;
}

// The marks of the number read so far, counted as the paste counts them.
struct Marks {
	size_t count = 0;
	size_t points = 0;
	size_t commas = 0;
	char last = 0; // '.', ',' or ' '
	size_t digitsAfterLast = 0;
	size_t digitsBeforeLast = 0;
	AmountRefusal fault = AmountRefusal::kNone;

	void Add(char kind, size_t digitsBefore)
	{
		// Every mark but the last groups thousands: three digits after it, one before at least.
		if (count > 0 && fault == AmountRefusal::kNone
			&& (digitsAfterLast != 3 || digitsBeforeLast == 0))
			fault = last == ' ' ? AmountRefusal::kSecondNumber : AmountRefusal::kBadGroups;
		count++;
		points += kind == '.';
		commas += kind == ',';
		last = kind;
		digitsAfterLast = 0;
		digitsBeforeLast = digitsBefore;
	}

	// Whether the last mark is the decimal mark; sets fault when the marks contradict.
	bool LastIsDecimal()
	{
		if (count == 0 || fault != AmountRefusal::kNone)
			return false;
		const bool decimal = (points > 0 && commas > 0) || points + commas == 1;
		if (!decimal) {
			if (digitsAfterLast != 3)
				fault = last == ' ' ? AmountRefusal::kSecondNumber : AmountRefusal::kBadGroups;
		} else if (last == ' ' || (last == '.' ? points : commas) != 1)
			fault = digitsAfterLast != 3 && last == ' ' ? AmountRefusal::kSecondNumber
														: AmountRefusal::kBadGroups;
		return decimal && fault == AmountRefusal::kNone;
	}
};

// What touches the number's end: an exponent, a hex prefix, a letter, or another number.
AmountRefusal
RefusalAfterNumber(std::string_view text, size_t i, const std::string& digits)
{
	const char c = text[i];
	const char next = i + 1 < text.size() ? text[i + 1] : 0;
	if ((c == 'e' || c == 'E')
		&& (IsDigit(next)
			|| ((next == '+' || next == '-') && i + 2 < text.size() && IsDigit(text[i + 2]))))
		return AmountRefusal::kExponent;
	if ((c == 'x' || c == 'X') && digits == "0" && isxdigit(static_cast<unsigned char>(next)))
		return AmountRefusal::kHexadecimal;
	if (IsUnitAt(text, i))
		return AmountRefusal::kLetterAtNumber;
	return text.find_first_of("0123456789", i) != std::string_view::npos
		? AmountRefusal::kSecondNumber
		: AmountRefusal::kUnknownText;
}

// Reads the number at *i into amount->number.
AmountRefusal
ReadNumber(std::string_view text, size_t* i, StrictAmount* amount)
{
	std::string& number = amount->number;
	number.clear();
	bool negative = false;
	if (size_t minus = MinusAt(text, *i)) {
		negative = true;
		*i += minus;
	} else if (*i < text.size() && text[*i] == '+')
		++*i;

	const bool startsWithDigit = *i < text.size() && IsDigit(text[*i]);
	Marks marks;
	while (*i < text.size()) {
		if (IsDigit(text[*i])) {
			number.push_back(text[(*i)++]);
			marks.digitsAfterLast++;
			continue;
		}
		size_t length = GroupSpaceAt(text, *i);
		char kind = length > 0 ? ' ' : text[*i];
		if (kind == '.' || kind == ',')
			length = 1;
		if (length == 0 || (kind == ' ' && number.empty()))
			break;
		const size_t after = *i + length;
		if (after < text.size() && IsDigit(text[after])) {
			marks.Add(kind, number.size());
			*i = after;
			continue;
		}
		// "12." and "12," are 12, as in the field; "12,-" is no number here.
		if (kind != ' ' && !number.empty() && (after == text.size() || SpaceAt(text, after))) {
			marks.Add(kind, number.size());
			*i = after;
		}
		break;
	}
	if (number.empty())
		return AmountRefusal::kUnknownText;
	// Bookkeeping writes a debit with its minus after the number ("1.234,50-"). A paste
	// reads ".5-" as -5, so that form is left to the window.
	if (size_t minus = MinusAt(text, *i); minus > 0 && !negative && startsWithDigit) {
		negative = true;
		*i += minus;
	}
	const bool decimal = marks.LastIsDecimal();
	if (marks.fault != AmountRefusal::kNone)
		return marks.fault;
	if (*i < text.size() && SpaceAt(text, *i) == 0)
		return RefusalAfterNumber(text, *i, number);
	if (decimal)
		number.insert(marks.digitsBeforeLast, 1, '.');
	if (negative)
		number.insert(0, 1, '-');
	return AmountRefusal::kNone;
}

} // namespace

AmountRefusal
ReadStrictAmount(std::string_view text, StrictAmount* amount)
{
	if (text.find_first_of("\r\n") != std::string_view::npos)
		return AmountRefusal::kLineBreak;
	if (text.find_first_of("0123456789") == std::string_view::npos)
		return AmountRefusal::kNoNumber;

	amount->unit = std::string_view();
	size_t i = SkipSpaces(text, 0);
	if (IsUnitAt(text, i)) {
		if (!ReadUnit(text, &i, &amount->unit))
			return AmountRefusal::kUnknownText;
		if (StartsNumber(text, i))
			return AmountRefusal::kLetterAtNumber;
		if (SpaceAt(text, i) == 0)
			return AmountRefusal::kUnknownText;
		i = SkipSpaces(text, i);
	}
	if (!StartsNumber(text, i))
		return AmountRefusal::kUnknownText;
	if (AmountRefusal refusal = ReadNumber(text, &i, amount); refusal != AmountRefusal::kNone)
		return refusal;

	i = SkipSpaces(text, i);
	if (amount->unit.empty() && IsUnitAt(text, i)) {
		if (!ReadUnit(text, &i, &amount->unit))
			return AmountRefusal::kUnknownText;
		i = SkipSpaces(text, i);
	}
	if (i == text.size())
		return AmountRefusal::kNone;
	return text.find_first_of("0123456789", i) != std::string_view::npos
		? AmountRefusal::kSecondNumber
		: AmountRefusal::kUnknownText;
}
