// The command line's reading of one amount: what a paste reads as one number is taken, all
// that a paste would still turn into some other number is refused with its reason.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include "AmountInput.h"
#include "CurrencyTable.h"

namespace {

constexpr int32_t kDEM = 2;

struct Case {
	const char* text;
	const char* amount; // nullptr: refused
	const char* reason; // part of the message when refused
	int32_t source = -1;
};

const Case kCases[] = {
	// The paste's forms, each as the number it means.
	{"1234.50", "1234.50", nullptr},
	{"1.234,50", "1234.50", nullptr},
	{"1,234.50", "1234.50", nullptr},
	{"1.234.567,89", "1234567.89", nullptr},
	{"1 234 567", "1234567", nullptr},
	{"1\xC2\xA0"
	 "234,5",
		"1234.5", nullptr},
	{"1\xE2\x80\xAF"
	 "234",
		"1234", nullptr},
	{"1,234", "1.234", nullptr},
	{"-1.234,5", "-1234.5", nullptr},
	{"1.234,50-", "-1234.50", nullptr},
	{"\xE2\x88\x92"
	 "5",
		"-5", nullptr},
	{"+5", "5", nullptr},
	{".5", ".5", nullptr},
	{"-,5", "-.5", nullptr},
	{"12.", "12.", nullptr},
	{"  7\t", "7", nullptr},
	// A currency beside the number, set off by a space or a tab.
	{"12 DM", "12", nullptr},
	{"\xE2\x82\xAC 1.234,56", "1234.56", nullptr},
	{"EUR -5", "-5", nullptr},
	{"99,95\tEUR", "99.95", nullptr},
	{"100 dem", "100", nullptr, kDEM},
	{"100 FRF", "100", nullptr},
	// What a paste would have read as another number.
	{"1e5", nullptr, "Exponent"},
	{"1e+06", nullptr, "Exponent"},
	{"2.5E-3", nullptr, "Exponent"},
	{"0x10", nullptr, "Hexadezimal"},
	{"0XfF", nullptr, "Hexadezimal"},
	{"100 EUR 50", nullptr, "mehr als eine Zahl"},
	{"5 1/2", nullptr, "mehr als eine Zahl"},
	{"100 50", nullptr, "mehr als eine Zahl"},
	{"1-2", nullptr, "mehr als eine Zahl"},
	{"1\n2", nullptr, "Zeilenumbruch"},
	{"12\r", nullptr, "Zeilenumbruch"},
	{"12abc", nullptr, "Buchstabe"},
	{"EUR5", nullptr, "Buchstabe"},
	{"0x", nullptr, "Buchstabe"},
	{"1.2.3", nullptr, "Tausender"},
	{"1,23,456", nullptr, "Tausender"},
	{"1.234,5.6", nullptr, "Tausender"},
	{".500.000", nullptr, "Tausender"},
	{"12,-", nullptr, "Währungscode"},
	{"Gesamtbetrag: 5", nullptr, "Währungscode"},
	{"5 Stück", nullptr, "Währungscode"},
	{"--5", nullptr, "Währungscode"},
	{"", nullptr, "keine Zahl"},
	{"-", nullptr, "keine Zahl"},
	{"abc", nullptr, "keine Zahl"},
	// A currency that contradicts the one converted from.
	{"100 FRF", nullptr, "in FRF, umgerechnet wird aus DEM", kDEM},
	{"\xE2\x82\xAC 5", nullptr, "in EUR", kDEM},
	// The field's limit, counted on the number as read.
	{"123.456.789.012.345", "123456789012345", nullptr},
	{"1234567890123456", nullptr, "Betrag zu lang"},
};

} // namespace

TEST(StrictAmount, TakesOneNumberAndRefusesEverythingElse)
{
	for (const Case& c : kCases) {
		std::string amount = "untouched";
		std::string error;
		const bool read = ReadCommandLineAmount(c.text, &amount, &error, c.source);
		if (c.amount != nullptr) {
			EXPECT_TRUE(read) << "'" << c.text << "': " << error;
			EXPECT_EQ(amount, c.amount) << c.text;
			continue;
		}
		EXPECT_FALSE(read) << "'" << c.text << "' read as " << amount;
		EXPECT_EQ(amount, "untouched") << c.text;
		EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << ": " << error;
		EXPECT_EQ(error.find_first_of("\r\n"), std::string::npos) << c.text;
	}
}

// Whatever is taken is read as a paste reads it, so the window and a script agree: every
// text of up to five characters from digits, marks, signs, spaces and letters.
TEST(StrictAmount, TakesOnlyWhatAPasteReadsTheSame)
{
	const std::string_view kAlphabet = "015.,-+ exD\t";
	std::string text;
	size_t taken = 0;
	for (size_t length = 1; length <= 5; length++) {
		std::vector<size_t> at(length, 0);
		for (;;) {
			text.clear();
			for (size_t i : at)
				text += kAlphabet[i];
			std::string amount;
			std::string error;
			if (ReadCommandLineAmount(text, &amount, &error)) {
				taken++;
				ASSERT_EQ(amount, ReadPastedAmount(text.data(), text.size())) << "'" << text << "'";
				ASSERT_EQ(amount.find_first_not_of("0123456789.-"), std::string::npos) << text;
			}
			size_t i = 0;
			while (i < length && ++at[i] == kAlphabet.size())
				at[i++] = 0;
			if (i == length)
				break;
		}
	}
	EXPECT_GT(taken, 1000u);
}

// The same refusals reach the program's status, and nothing is printed.
TEST(StrictAmount, ARefusedArgumentEndsWithStatusOne)
{
	for (const char* text : {"1e5", "0x10", "100 EUR 50", "5 1/2", "1\n2"}) {
		std::string out;
		std::string err;
		EXPECT_EQ(RunCommandLine({text, "DEM", "FRF"}, &out, &err), kExitBadInput) << text;
		EXPECT_EQ(out, "") << text;
		EXPECT_TRUE(err.starts_with("kambolux: Ungültiger Betrag: ")) << err;
	}
}
