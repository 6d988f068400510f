// Arbitrary bytes through the amount field and its arithmetic. The pure functions get the
// whole input as text (as typed, as pasted, as read); then the same input drives an editable
// TEdit with a sequence of typed keys and texts, inserts, deletes, selections and whole-text
// replacements. The field may only ever hold
// the bytes of a decimal number, and every text the arithmetic writes is a plain number.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "AmountInput.h"
#include "Conversion.h"
#include "CurrencyTable.h"
#include "DecimalText.h"
#include "FuzzCheck.h"
#include "InterfaceDefs.h"
#include "TEdit.h"

namespace {

const int32 kMaxTypedBytes = static_cast<int32>(kAmountMaxTypedBytes);
const int32 kMaxOperations = 64;

const uint8 kControlKeys[] = {B_BACKSPACE, B_DELETE, B_TAB, B_ENTER, B_ESCAPE, B_LEFT_ARROW,
	B_RIGHT_ARROW, B_UP_ARROW, B_DOWN_ARROW, B_HOME, B_END, B_PAGE_UP, B_PAGE_DOWN};

bool
OnlyAmountBytes(std::string_view text)
{
	return text.find_first_not_of("0123456789.-") == std::string_view::npos;
}

bool
IsDigits(std::string_view text, size_t minimum)
{
	return text.size() >= minimum && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// -digits.dd with exactly the given number of decimals.
bool
IsFixed(std::string_view text, size_t decimals)
{
	if (!text.empty() && text[0] == '-')
		text.remove_prefix(1);
	size_t point = text.find('.');
	return point != std::string_view::npos && IsDigits(text.substr(0, point), 1)
		&& text.size() - point - 1 == decimals && IsDigits(text.substr(point + 1), decimals);
}

// ParseAmount of an exact, terminated heap copy, so that any read past the end is reported.
double
ParseExact(std::string_view text)
{
	std::unique_ptr<char[]> copy(new char[text.size() + 1]);
	memcpy(copy.get(), text.data(), text.size());
	copy[text.size()] = '\0';
	return ParseAmount(copy.get());
}

std::string
Digits(std::string_view text)
{
	std::string digits;
	for (char c : text) {
		if (c >= '0' && c <= '9')
			digits.push_back(c);
	}
	return digits;
}

// The [-]digits[.digits] beginning of an amount text.
std::string
PlainNumber(std::string_view text)
{
	size_t end = !text.empty() && text[0] == '-' ? 1 : 0;
	end = std::min(text.find_first_not_of("0123456789", end), text.size());
	if (end < text.size() && text[end] == '.')
		end = std::min(text.find_first_not_of("0123456789", end + 1), text.size());
	return std::string(text.substr(0, end));
}

// Both readers take the whole number, however long: the double agrees with the exact value
// to a few units in the last place, and the Tab rewrite keeps every integer digit.
void
CheckWholeReading(std::string_view text)
{
	double value = ParseExact(text);
	std::string number = PlainNumber(text);
	if (number.size() != text.size() || number.empty())
		return;
	ExactAmount exact;
	ReadExactAmount(number, &exact);
	double expected = exact.magnitude.get_d() * (exact.negative ? -1 : 1);
	if (std::isfinite(value) && std::isfinite(expected) && std::fabs(expected) > 1e-300) {
		FUZZ_CHECK(std::fabs(value - expected) <= 1e-12 * std::fabs(expected),
			"GetDouble reads the whole number");
	}

	size_t integerStart = number[0] == '-' ? 1 : 0;
	size_t point = std::min(number.find('.'), number.size());
	std::string_view integer = std::string_view(number).substr(integerStart, point - integerStart);
	size_t firstDigit = integer.find_first_not_of('0');
	size_t digits = firstDigit == std::string_view::npos ? 0 : integer.size() - firstDigit;
	if (digits == 0 || digits > kAmountReadDigits)
		return;
	std::string rewritten = FormatAmountTwoDecimals(number);
	size_t rewrittenDigits = rewritten.size() - 3 - (rewritten[0] == '-' ? 1 : 0);
	FUZZ_CHECK(rewrittenDigits == digits || rewrittenDigits == digits + 1,
		"the Tab rewrite keeps every integer digit");
}

void
CheckPureFunctions(const uint8_t* data, size_t size)
{
	std::unique_ptr<char[]> exact(new char[size]);
	if (size > 0)
		memcpy(exact.get(), data, size);
	std::string_view text(exact.get(), size);

	std::string filtered = FilterAmountInput(exact.get(), size);
	FUZZ_CHECK(OnlyAmountBytes(filtered), "the filter lets only amount bytes through");
	FUZZ_CHECK(filtered.size() <= strnlen(exact.get(), size),
		"the filter adds nothing and stops at a zero byte");

	std::string pasted = ReadPastedAmount(exact.get(), size);
	FUZZ_CHECK(OnlyAmountBytes(pasted), "a paste lets only amount bytes through");
	FUZZ_CHECK(Digits(pasted) == Digits(filtered), "a paste keeps every digit, in order");
	if (pasted != filtered) {
		FUZZ_CHECK(std::count(pasted.begin(), pasted.end(), '.') <= 1
				&& pasted.find('-', 1) == std::string::npos,
			"a grouped number reads as one plain number");
	}
	if (strnlen(exact.get(), size) == 1)
		FUZZ_CHECK(pasted == filtered, "one character reads as the filter reads it");

	std::string_view terminated = text.substr(0, strnlen(exact.get(), size));
	CheckWholeReading(terminated);
	std::string plain = PlainNumber(filtered);
	CheckWholeReading(plain);
	FUZZ_CHECK(ParseAmount(nullptr) == 0, "no text reads as 0");

	std::string twoDecimals = FormatAmountTwoDecimals(text);
	FUZZ_CHECK(IsFixed(twoDecimals, 2), "the Tab rewrite is a number with two decimals");

	// Indices and rounding from the first bytes, so that out-of-range ones come up too.
	int32_t picks[3] = {2, 4, 0};
	for (size_t i = 0; i < 3 && i < size; i++)
		picks[i] = static_cast<int8_t>(data[i]) % 32;
	for (int32_t rounding : {picks[2], 0, 1, 2}) {
		ConversionTexts texts{"untouched", "untouched"};
		bool valid = picks[0] >= 0 && picks[0] < kCurrencyCount && picks[1] >= 0
			&& picks[1] < kCurrencyCount && rounding >= 0 && rounding <= 2;
		FUZZ_CHECK(ConvertAmount(text, picks[0], picks[1], rounding, &texts) == valid,
			"ConvertAmount refuses exactly the out-of-range choices");
		if (!valid) {
			FUZZ_CHECK(texts.euroLine == "untouched" && texts.target == "untouched",
				"a refused conversion leaves the texts alone");
			continue;
		}
		FUZZ_CHECK(texts.euroLine.find_first_not_of("0123456789-. ") == std::string::npos
				&& texts.target.find_first_not_of("0123456789-. ") == std::string::npos,
			"converted texts hold digits, '-', '.' and ' ' only");
		const char kSuffix[] = " . . .";
		std::string_view euro = texts.euroLine;
		if (rounding == 0) {
			FUZZ_CHECK(euro.size() > strlen(kSuffix) && euro.ends_with(kSuffix),
				"an unrounded euro line goes on with dots");
			euro.remove_suffix(strlen(kSuffix));
		}
		FUZZ_CHECK(IsFixed(euro,
					   rounding == 0       ? 6
						   : rounding == 1 ? 3
										   : 4),
			"the euro line has the decimals of its rounding");
		FUZZ_CHECK(IsFixed(texts.target, 2), "the target has two decimals");
		FUZZ_CHECK((texts.euroLine[0] == '-') == (texts.target[0] == '-'),
			"both lines carry the same sign");
	}

	ConversionTexts euroToEuro;
	FUZZ_CHECK(ConvertAmount(text, 0, 0, 0, &euroToEuro), "euro to euro converts");
	FUZZ_CHECK(euroToEuro.target == twoDecimals,
		"euro to euro shows the amount as the Tab rewrite does");
}

void
CheckField(const TEdit& field, const char* what)
{
	std::string_view text(field.Text(), strlen(field.Text()));
	FUZZ_CHECK(static_cast<int32>(text.size()) == field.TextLength(), what);
	FUZZ_CHECK(OnlyAmountBytes(text), what);
	int32 start = -1;
	int32 end = -1;
	field.GetSelection(&start, &end);
	FUZZ_CHECK(0 <= start && start <= end && end <= field.TextLength(), what);
	double value = field.GetDouble();
	FUZZ_CHECK(!std::isnan(value), what);
	FUZZ_CHECK(value == ParseExact(text), what);
}

// Bytes of a key or a text, in a buffer of exactly their size.
std::vector<char>
TakeBytes(FuzzedDataProvider& provider, size_t maximum)
{
	size_t count = provider.ConsumeIntegralInRange<size_t>(0, maximum);
	std::vector<uint8_t> bytes = provider.ConsumeBytes<uint8_t>(count);
	return std::vector<char>(bytes.begin(), bytes.end());
}

void
PressKey(TEdit& field, const std::vector<char>& key, const std::string& before)
{
	field.KeyDown(key.data(), static_cast<int32>(key.size()));
	if (key[0] == B_TAB || key[0] == B_ENTER) {
		FUZZ_CHECK(field.Text() == FormatAmountTwoDecimals(before),
			"Tab and Enter rewrite the amount with two decimals");
	} else {
		FUZZ_CHECK(field.TextLength()
				<= std::max<int32>(kMaxTypedBytes, static_cast<int32>(before.size())),
			"typing never grows the text past 15 bytes");
	}
}

void
DriveField(FuzzedDataProvider& provider)
{
	TEdit field(BRect(0, 0, 120, 20), nullptr, BRect(2, 2, 118, 18), 0);
	for (int32 step = 0; step < kMaxOperations && provider.remaining_bytes() > 0; step++) {
		std::string before = field.Text();
		switch (provider.ConsumeIntegralInRange(0, 8)) {
			case 0:
			{
				// A typed key: mostly a character, the bytes of a multi-byte one at times, and
				// now and then a whole text at once, as a paste or an input method brings it.
				std::vector<char> key = TakeBytes(provider, provider.ConsumeBool() ? 4 : 40);
				if (!key.empty())
					PressKey(field, key, before);
				break;
			}
			case 1:
			{
				uint8 code = provider.PickValueInArray(kControlKeys);
				std::vector<char> key(1, static_cast<char>(code));
				PressKey(field, key, before);
				break;
			}
			case 2:
			{
				int32 offset = provider.ConsumeIntegral<int32>();
				std::vector<char> text = TakeBytes(provider, 64);
				int32 length = provider.ConsumeIntegralInRange<int32>(-2,
					static_cast<int32>(text.size()));
				field.Insert(offset, text.data(), length);
				break;
			}
			case 3:
			{
				std::vector<char> text = TakeBytes(provider, 64);
				field.Insert(text.data(), static_cast<int32>(text.size()));
				break;
			}
			case 4:
			{
				int32 from = provider.ConsumeIntegral<int32>();
				int32 to = provider.ConsumeIntegral<int32>();
				field.Delete(from, to);
				break;
			}
			case 5:
				field.Delete();
				break;
			case 6:
			{
				int32 from = provider.ConsumeIntegral<int32>();
				int32 to = provider.ConsumeIntegral<int32>();
				field.Select(from, to);
				break;
			}
			case 7:
			{
				std::vector<char> text = TakeBytes(provider, 96);
				field.SetText(text.data(), static_cast<int32>(text.size()));
				break;
			}
			case 8:
				field.SelectAll();
				break;
		}
		CheckField(field, "the field holds a well-formed amount text after every edit");
	}
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	CheckPureFunctions(data, size);

	FuzzedDataProvider provider(data, size);
	DriveField(provider);
	return 0;
}
