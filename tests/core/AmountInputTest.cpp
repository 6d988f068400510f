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
	const struct
	{
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
	    // Multi-byte characters vanish whole: "€", "ä", a 4-byte emoji.
	    {"5\xe2\x82\xac", "5"},
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
	const struct
	{
		const char* text;
		double expected;
	} kCases[] = {
	    {"", 0},      {"0", 0},       {"12.3456", 12.3456},
	    {"1.5", 1.5}, {"-7.5", -7.5}, {"-", 0},
	    {".", 0},     {".5", 0.5},    {"1.2.3", 1.2},
	    {"12-3", 12}, {"--5", 0},     {"999999999999999", 999999999999999.0},
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

TEST(ParseAmount, ReadsOnlyTheFirst39Characters)
{
	// 1 followed by 38 zeros fits; the 40th character is cut off.
	const std::string forty = "1" + std::string(39, '0');
	EXPECT_EQ(ParseAmount(forty.c_str()), 1e38);
	EXPECT_EQ(ParseAmount((std::string(38, '0') + "12").c_str()), 1);
	EXPECT_EQ(ParseAmount(("0." + std::string(36, '0') + "1").c_str()), 1e-37);
	EXPECT_EQ(ParseAmount(("0." + std::string(37, '0') + "1").c_str()), 0);
}

TEST(ParseAmount, HugeTextsStayInBounds)
{
	const std::string huge(10000, '9');
	EXPECT_EQ(ParseAmount(huge.c_str()), std::stod(std::string(39, '9')));
	const std::string big = "1" + std::string(300, '0');
	EXPECT_EQ(ParseAmount(big.c_str()), 1e38);
	EXPECT_EQ(ParseAmount("1e300"), 1e300);
	EXPECT_TRUE(std::isinf(ParseAmount("1e999")));
}

} // namespace
