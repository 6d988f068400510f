#include "Conversion.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CurrencyTable.h"

namespace {

enum { kEUR = 0, kBEF = 1, kDEM = 2, kFRF = 4, kGRD = 5, kIEP = 6, kITL = 7, kLUF = 8 };

ConversionTexts
Convert(std::string_view amount, int32_t source, int32_t target, int32_t rounding)
{
	ConversionTexts texts;
	EXPECT_TRUE(ConvertAmount(amount, source, target, rounding, &texts));
	return texts;
}

TEST(ConvertAmount, KnownConversions)
{
	const struct {
		const char* amount;
		int32_t source;
		int32_t target;
		int32_t rounding;
		const char* euroLine;
		const char* targetText;
	} kCases[] = {
		{"100", kDEM, kFRF, kRoundNone, "51.129188 . . .", "335.39"},
		{"100", kDEM, kFRF, kRoundThree, "51.129", "335.38"},
		{"100", kDEM, kFRF, kRoundFour, "51.1292", "335.39"},
		{"", kDEM, kFRF, kRoundNone, "0.000000 . . .", "0.00"},
		{"", kDEM, kFRF, kRoundThree, "0.000", "0.00"},
		{"-5", kEUR, kDEM, kRoundNone, "-5.000000 . . .", "-9.78"},
		{"1000", kITL, kDEM, kRoundThree, "0.516", "1.01"},
		{"0.26", kEUR, kGRD, kRoundNone, "0.260000 . . .", "88.60"},
		{"500", kEUR, kDEM, kRoundNone, "500.000000 . . .", "977.92"},
		{"12.3456", kEUR, kEUR, kRoundNone, "12.345600 . . .", "12.35"},
		// Exact halves round away from zero on both sides.
		{"0.125", kEUR, kEUR, kRoundNone, "0.125000 . . .", "0.13"},
		{"-0.125", kEUR, kEUR, kRoundNone, "-0.125000 . . .", "-0.13"},
		{"1.0000005", kEUR, kEUR, kRoundNone, "1.000001 . . .", "1.00"},
		// Minus zero and negatives that round to zero keep their sign.
		{"-0", kDEM, kFRF, kRoundNone, "-0.000000 . . .", "-0.00"},
		{"-0.001", kEUR, kDEM, kRoundThree, "-0.001", "-0.00"},
		{"-0.0001", kEUR, kDEM, kRoundThree, "-0.000", "-0.00"},
		// Text after the numeric beginning is ignored.
		{"1.2.3", kEUR, kEUR, kRoundNone, "1.200000 . . .", "1.20"},
		{"12-3", kEUR, kEUR, kRoundNone, "12.000000 . . .", "12.00"},
		{"--5", kEUR, kDEM, kRoundNone, "0.000000 . . .", "0.00"},
		{"-", kEUR, kDEM, kRoundNone, "0.000000 . . .", "0.00"},
		{".", kEUR, kDEM, kRoundNone, "0.000000 . . .", "0.00"},
		{".5", kEUR, kEUR, kRoundNone, "0.500000 . . .", "0.50"},
		{"-.5", kEUR, kEUR, kRoundNone, "-0.500000 . . .", "-0.50"},
		{"5.", kEUR, kEUR, kRoundNone, "5.000000 . . .", "5.00"},
		{"1 234", kEUR, kEUR, kRoundNone, "1.000000 . . .", "1.00"},
	};
	for (const auto& c : kCases) {
		SCOPED_TRACE(testing::Message()
			<< '"' << c.amount << "\" " << c.source << "->" << c.target << " mode " << c.rounding);
		const ConversionTexts texts = Convert(c.amount, c.source, c.target, c.rounding);
		EXPECT_EQ(texts.euroLine, c.euroLine);
		EXPECT_EQ(texts.target, c.targetText);
	}
}

TEST(ConvertAmount, BelgianAndLuxembourgFrancsGiveBackTheAmount)
{
	for (const char* amount : {"1", "40.34", "-123456.78", "0.005", "999999999999999"}) {
		SCOPED_TRACE(amount);
		const std::string expected = FormatAmountTwoDecimals(amount);
		EXPECT_EQ(Convert(amount, kBEF, kLUF, kRoundNone).target, expected);
		EXPECT_EQ(Convert(amount, kLUF, kBEF, kRoundNone).target, expected);
	}
}

TEST(ConvertAmount, RejectsOutOfRangeArgumentsWithoutTouchingTheResult)
{
	const struct {
		int32_t source;
		int32_t target;
		int32_t rounding;
	} kCases[] = {
		{-1, 0, 0},
		{kCurrencyCount, 0, 0},
		{0, -1, 0},
		{0, kCurrencyCount, 0},
		{0, 0, -1},
		{0, 0, 3},
		{INT32_MIN, 0, 0},
		{0, INT32_MAX, 0},
		{0, 0, INT32_MAX},
	};
	for (const auto& c : kCases) {
		ConversionTexts texts{"euro", "target"};
		EXPECT_FALSE(ConvertAmount("100", c.source, c.target, c.rounding, &texts))
			<< c.source << ' ' << c.target << ' ' << c.rounding;
		EXPECT_EQ(texts.euroLine, "euro");
		EXPECT_EQ(texts.target, "target");
	}
}

TEST(ConvertAmount, LongAmountsAreReadWholeAndShownInFull)
{
	struct Case {
		std::string amount;
		int32_t source;
		int32_t target;
		int32_t rounding;
		std::string euroLine;
		std::string targetText;
	};
	const Case kCases[] = {
		// The old reading stopped at the 39th character: 1e40 converted as 1e38.
		{"1" + std::string(40, '0'), kEUR, kEUR, kRoundNone,
			"1" + std::string(40, '0') + ".000000 . . .", "1" + std::string(40, '0') + ".00"},
		{std::string(43, '9'), kEUR, kITL, kRoundNone, std::string(43, '9') + ".000000 . . .",
			"19362699999999999999999999999999999999999998063.73"},
		// Smallest source over largest target, rounded on the way: the longest texts.
		{"-" + std::string(45, '9') + ".00", kIEP, kITL, kRoundFour,
			"-1269738078429181628413690823856854807990207778.6694",
			"-2458555749120071511648577131509312259067199615604.20"},
		// Leading zeros are no digits of the amount; a tiny fraction still keeps its sign.
		{std::string(60, '0') + "12.5", kEUR, kEUR, kRoundThree, "12.500", "12.50"},
		{"-0." + std::string(60, '0') + "19", kEUR, kEUR, kRoundNone, "-0.000000 . . .", "-0.00"},
	};
	for (const Case& c : kCases) {
		ConversionTexts texts = Convert(c.amount, c.source, c.target, c.rounding);
		EXPECT_EQ(texts.euroLine, c.euroLine) << c.amount;
		EXPECT_EQ(texts.target, c.targetText) << c.amount;
	}
}

TEST(ConvertAmount, AmountsPastTheDigitLimitKeepTheirMagnitude)
{
	// 10^10001 + 9: the digits past the 10 000th significant one are dropped, the power of
	// ten is not. A megabyte of digits converts the same way, in bounded work.
	const std::string amount = "1" + std::string(10000, '0') + "9";
	EXPECT_EQ(FormatAmountTwoDecimals(amount), "1" + std::string(10001, '0') + ".00");
	const std::string mega(1 << 20, '1');
	ConversionTexts texts = Convert(mega + ".5", kEUR, kEUR, kRoundNone);
	EXPECT_EQ(texts.target.size(), mega.size() + 3);
	EXPECT_EQ(texts.target.substr(0, 10000), mega.substr(0, 10000));
	EXPECT_EQ(texts.target.find_first_not_of('0', 10000), mega.size());
	EXPECT_EQ(Convert("0." + mega, kEUR, kEUR, kRoundNone).euroLine, "0.111111 . . .");
}

// Both files come from an exact-rational oracle written apart from this code: the first
// twelve currencies' vectors and those of the nine later ones.
TEST(ConvertAmount, IndependentVectors)
{
	for (const char* name : {"conversion-vectors.tsv", "conversion-vectors-later.tsv"}) {
		SCOPED_TRACE(name);
		const std::string path = std::string(KAMBO_TEST_DATA) + "/" + name;
		std::ifstream file(path);
		ASSERT_TRUE(file) << path;

		std::string line;
		ASSERT_TRUE(std::getline(file, line));
		EXPECT_EQ(line, "amount\tsource\ttarget\tmode\teuro_line\ttarget_text");

		int count = 0;
		while (std::getline(file, line)) {
			if (line.empty())
				continue;
			std::vector<std::string> fields;
			std::stringstream stream(line);
			std::string field;
			while (std::getline(stream, field, '\t'))
				fields.push_back(field);
			ASSERT_EQ(fields.size(), 6u) << line;

			ConversionTexts texts;
			ASSERT_TRUE(ConvertAmount(fields[0], std::stoi(fields[1]), std::stoi(fields[2]),
				std::stoi(fields[3]), &texts))
				<< line;
			EXPECT_EQ(texts.euroLine, fields[4]) << line;
			EXPECT_EQ(texts.target, fields[5]) << line;
			count++;
		}
		EXPECT_EQ(count, 400);
	}
}

TEST(FormatAmountTwoDecimals, RewritesTheNumericBeginning)
{
	const struct {
		std::string_view text;
		const char* expected;
	} kCases[] = {
		{"", "0.00"},
		{"0", "0.00"},
		{"12.3456", "12.35"},
		{"12.345", "12.35"},
		{"12.344999", "12.34"},
		{"-12.345", "-12.35"},
		{"1.5", "1.50"},
		{"-7.5", "-7.50"},
		{"-", "0.00"},
		{"-0", "-0.00"},
		{"-0.001", "-0.00"},
		{".", "0.00"},
		{"1.2.3", "1.20"},
		{"12-3", "12.00"},
		{"--5", "0.00"},
		{"0.995", "1.00"},
		{"999999999999999", "999999999999999.00"},
		{std::string_view("7\0"
						  "8",
			 3),
			"7.00"},
	};
	for (const auto& c : kCases)
		EXPECT_EQ(FormatAmountTwoDecimals(c.text), c.expected) << '"' << c.text << '"';

	const std::string longText = std::string(39, '9') + "123.455";
	EXPECT_EQ(FormatAmountTwoDecimals(longText), std::string(39, '9') + "123.46");
}

} // namespace
