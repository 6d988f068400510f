#include "AmountInput.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string
Filter(std::string_view text)
{
	return FilterAmountInput(text.data(), text.size());
}

TEST(FilterAmountInput, KeepsOnlyNumberCharacters)
{
	const struct {
		std::string_view input;
		const char* expected;
	} kCases[] = {
		{"", ""},
		{"0123456789.-", "0123456789.-"},
		{"1,5", "1.5"},
		{"1 234,56 EUR", "1234.56"},
		{"abc", ""},
		{"1-2.3.4", "1-2.3.4"},
		{"+5e3", "53"},
		// Multi-byte characters vanish whole: "€", "ä", a 4-byte emoji; U+2212 is a minus.
		{"5\xe2\x82\xac", "5"},
		{"\xe2\x88\x92"
		 "5",
			"-5"},
		{"\xe2\x88", ""}, // a minus cut short
		{"\xc3\xa4"
		 "7\xf0\x9f\x98\x80"
		 "8",
			"78"},
		// A zero byte ends the insertion.
		{std::string_view("12\0"
						  "34",
			 5),
			"12"},
		{std::string_view("\0"
						  "9",
			 2),
			""},
	};
	for (const auto& c : kCases)
		EXPECT_EQ(Filter(c.input), c.expected) << '"' << c.input << '"';
}

TEST(FilterAmountInput, HonoursLengthAndNull)
{
	EXPECT_EQ(FilterAmountInput("123456", 3), "123");
	EXPECT_EQ(FilterAmountInput(nullptr, 10), "");
}

TEST(ParseAmount, ReadsTheNumericBeginning)
{
	const struct {
		const char* text;
		double expected;
	} kCases[] = {
		{"", 0},
		{"0", 0},
		{"12.3456", 12.3456},
		{"1.5", 1.5},
		{"-7.5", -7.5},
		{"-", 0},
		{".", 0},
		{".5", 0.5},
		{"1.2.3", 1.2},
		{"12-3", 12},
		{"--5", 0},
		{"999999999999999", 999999999999999.0},
	};
	for (const auto& c : kCases)
		EXPECT_EQ(ParseAmount(c.text), c.expected) << '"' << c.text << '"';
	EXPECT_EQ(ParseAmount(nullptr), 0);
}

TEST(ParseAmount, MinusZeroKeepsItsSign)
{
	EXPECT_TRUE(std::signbit(ParseAmount("-0")));
	EXPECT_TRUE(std::signbit(ParseAmount("-0.000")));
	EXPECT_FALSE(std::signbit(ParseAmount("0")));
	EXPECT_FALSE(std::signbit(ParseAmount("-")));
}

TEST(ParseAmount, ReadsTheWholeNumberWhateverItsLength)
{
	const struct {
		std::string text;
		double expected;
	} kCases[] = {
		// Past the 39th character the old reading cut these by powers of ten.
		{"1" + std::string(40, '0'), 1e40},
		{std::string(45, '7'), 777777777777777777777777777777777777777777777.0},
		{std::string(45, '7') + ".00", 777777777777777777777777777777777777777777777.0},
		{std::string(38, '0') + "12", 12}, {"0." + std::string(37, '0') + "1", 1e-38},
		{"1" + std::string(300, '0'), 1e300}, {"-1" + std::string(300, '0') + ".5x", -1e300},
		{"1e300", 1e300}, // the read-only field's text reads as strtod reads it
	};
	for (const auto& c : kCases)
		EXPECT_EQ(ParseAmount(c.text.c_str()), c.expected) << c.text.size() << " bytes";
}

TEST(ParseAmount, HugeTextsOverflowOrUnderflowLikeTheirValue)
{
	const std::string huge(1 << 20, '9');
	EXPECT_TRUE(std::isinf(ParseAmount(huge.c_str())));
	EXPECT_TRUE(std::isinf(ParseAmount(("-" + huge).c_str())));
	EXPECT_EQ(ParseAmount(("0." + std::string(1 << 20, '0') + "1").c_str()), 0);
	EXPECT_EQ(ParseAmount((std::string(1 << 20, '0') + "2.5").c_str()), 2.5);
	EXPECT_TRUE(std::isinf(ParseAmount("1e999")));
}

std::string
Paste(std::string_view text)
{
	return ReadPastedAmount(text.data(), text.size());
}

TEST(ReadPastedAmount, ReadsGroupedNumbersAsMeantAndFiltersTheRest)
{
	const struct {
		std::string_view pasted;
		const char* expected;
	} kCases[] = {
		// Thousands groups: the last of '.' and ',' is the decimal mark.
		{"1.234,50", "1234.50"},
		{"1,234.50", "1234.50"},
		{"-1.234,5", "-1234.5"},
		{"1.234.567", "1234567"},
		{"1,234,567", "1234567"},
		{"1.234.567,89", "1234567.89"},
		{"1,234,567.89", "1234567.89"},
		{"EUR 1 234 567,89", "1234567.89"},
		{"1 234,56 EUR", "1234.56"},
		{"1 234.56", "1234.56"},
		{"12 345 678", "12345678"},
		{"1\xC2\xA0"
		 "234,50 \xE2\x82\xAC",
			"1234.50"}, // no-break space
		{"-1\xE2\x80\xAF"
		 "234\xE2\x80\xAF"
		 "567",
			"-1234567"}, // narrow no-break space
		{"Betrag: -1.234,50 EUR.", "-1234.50"},
		{"Summe 1.234,50.", "1234.50"}, // the full stop ends the sentence, not the number
		{"1.234,", "1.234."},           // the last mark is no mark without a digit after it
		// A single '.' or ',' is the decimal mark, as the filter reads it.
		{"12.5", "12.5"},
		{"1,234", "1.234"},
		{"1.234", "1.234"},
		{"Gesamtbetrag: 99,95 EUR", "99.95"},
		{"1 234,567", "1234.567"},
		// No grouped number: filtered as typed keys would be.
		{"1.5.5", "1.5.5"},
		{"1.23,5", "1.23.5"},
		{"1.2345,6", "1.2345.6"},
		{"1,234.567,8", "1.234.567.8"},    // a mark that groups cannot be the decimal mark too
		{"1.234,567 890", "1.234.567890"}, // nor can groups follow the decimal mark
		// A minus right after the number is its sign, as bookkeeping writes a debit.
		{"1.234,50-", "-1234.50"},
		{"Soll: 1.234,50- EUR", "-1234.50"},
		{"50-", "-50"},
		{"12,5-", "-12.5"},
		{"1.5.5-", "1.5.5-"}, // no number: filtered
		{"-50-", "-50-"},     // two signs: filtered
		{"50 -", "50-"},      // not right after it
		{"1.234,50-3", "1.234.50-3"},
		// U+2212 MINUS SIGN is a minus.
		{"\xE2\x88\x92"
		 "5",
			"-5"},
		{"\xE2\x88\x92"
		 "1.234,50",
			"-1234.50"},
		{"1.234,50\xE2\x88\x92", "-1234.50"},
		{"Netto-Betrag 1.234,50", "-1.234.50"},
		{"--1.234", "--1.234"},
		{"1.234,50 (19%)", "1.234.5019"}, // two numbers
		{"12 5", "125"},
		{"1-2.3.4", "1-2.3.4"},
		{"abc", ""},
		{"", ""},
		// One character alone, as every typed key.
		{",", "."},
		{".", "."},
		{"-", "-"},
		{"7", "7"},
		{" ", ""},
		{"\xE2\x82\xAC", ""},
		// A zero byte ends the text.
		{std::string_view("1.234\0"
						  ",50",
			 9),
			"1.234"},
		{std::string_view("1.234.567\0"
						  "8",
			 11),
			"1234567"},
	};
	for (const auto& c : kCases)
		EXPECT_EQ(Paste(c.pasted), c.expected) << '"' << c.pasted << '"';
	EXPECT_EQ(ReadPastedAmount(nullptr, 4), "");
}

TEST(ReadPastedAmount, KeepsEveryDigitOfALongText)
{
	// The field's limit applies to what is let in, never to the pasted bytes.
	std::string pasted = "Gesamtbetrag: ";
	std::string digits;
	for (int i = 0; i < 100000; i++) {
		pasted += "123.";
		digits += "123";
	}
	pasted += "456,78 EUR";
	EXPECT_EQ(Paste(pasted), digits + "456.78");
	EXPECT_EQ(Paste(pasted).substr(0, kAmountMaxTypedBytes), "123123123123123");
}

} // namespace
