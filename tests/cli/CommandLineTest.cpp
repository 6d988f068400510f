#include "CommandLine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Conversion.h"
#include "CurrencyTable.h"

namespace {

struct Outcome {
	int status;
	std::string out;
	std::string err;
};

Outcome
RunWith(const std::vector<std::string_view>& arguments)
{
	Outcome run;
	run.status = RunCommandLine(arguments, &run.out, &run.err);
	return run;
}

// The field reads [-]digits[.digits] and drops the rest; the command line takes only
// amounts that are wholly such a number.
bool
IsWholeNumber(const std::string& text)
{
	size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
	bool digit = false;
	bool point = false;
	for (; i < text.size(); i++) {
		if (isdigit((unsigned char)text[i]))
			digit = true;
		else if (text[i] == '.' && !point)
			point = true;
		else
			return false;
	}
	return digit;
}

} // namespace

TEST(CommandLine, NoArgumentsOpenTheWindow)
{
	EXPECT_EQ(RunWith({}).status, kCommandLineOpenWindow);
}

// The window's vectors through the command line: the same two texts, or a refusal where the
// field would have read only the beginning of the amount. Rows alternate between ISO and
// plate codes and between upper and lower case.
static void
ConvertsVectors(const char* name)
{
	const std::string path = std::string(KAMBO_TEST_DATA) + "/" + name;
	std::ifstream file(path);
	ASSERT_TRUE(file) << path;
	std::string line;
	ASSERT_TRUE(std::getline(file, line));

	int converted = 0;
	int refused = 0;
	for (int row = 0; std::getline(file, line); row++) {
		std::vector<std::string> fields;
		std::stringstream stream(line);
		std::string field;
		while (std::getline(stream, field, '\t'))
			fields.push_back(field);
		ASSERT_EQ(fields.size(), 6u) << line;
		const int source = std::stoi(fields[1]);
		const int target = std::stoi(fields[2]);
		const int mode = std::stoi(fields[3]);

		std::string from = row % 2 == 0 ? ISOCode[source] : Oval[source];
		std::string to = row % 3 == 0 ? Oval[target] : ISOCode[target];
		if (row % 4 == 1) {
			for (char& c : from)
				c = (char)tolower((unsigned char)c);
		}
		std::vector<std::string_view> arguments;
		if (mode != kRoundNone) {
			arguments.push_back("--runden");
			arguments.push_back(mode == kRoundThree ? "3" : "4");
		}
		if (fields[0].starts_with("-"))
			arguments.push_back("--");
		arguments.insert(arguments.end(), {fields[0], from, to});

		Outcome run = RunWith(arguments);
		if (!IsWholeNumber(fields[0])) {
			EXPECT_EQ(run.status, kExitBadInput) << line;
			EXPECT_EQ(run.out, "") << line;
			EXPECT_NE(run.err.find("Ungültiger Betrag"), std::string::npos) << line;
			refused++;
			continue;
		}
		ASSERT_EQ(run.status, kExitSuccess) << line << "\n" << run.err;
		std::string euro = fields[4];
		std::string result = fields[5];
		if (mode != kRoundNone && (source == kEuroIndex || target == kEuroIndex)) {
			// A few rows ask the core for a rounding next to the euro, which the window never
			// does and the command line leaves out: the unrounded texts instead.
			std::string amount, error;
			ConversionTexts texts;
			ASSERT_TRUE(ReadCommandLineAmount(fields[0], &amount, &error)) << line;
			ASSERT_TRUE(ConvertAmount(amount, source, target, kRoundNone, &texts));
			euro = texts.euroLine;
			result = texts.target;
		}
		std::string expected = "EUR  " + euro;
		expected += "\n";
		expected += ISOCode[target];
		expected += "  " + result + "\n";
		EXPECT_EQ(run.out, expected) << line;
		EXPECT_EQ(run.err, "");
		converted++;
	}
	EXPECT_EQ(converted + refused, 400);
	EXPECT_GT(converted, 360);
}

TEST(CommandLine, ConvertsTheWindowsVectors)
{
	ConvertsVectors("conversion-vectors.tsv");
}

// The nine later currencies, by ISO and plate code alike.
TEST(CommandLine, ConvertsTheLaterCurrenciesVectors)
{
	ConvertsVectors("conversion-vectors-later.tsv");
}

TEST(CommandLine, WithoutTargetListsEveryCurrencyInTableOrder)
{
	Outcome run = RunWith({"100", "D", "--tsv"});
	ASSERT_EQ(run.status, kExitSuccess) << run.err;
	std::vector<std::string> lines;
	std::stringstream stream(run.out);
	for (std::string line; std::getline(stream, line);)
		lines.push_back(line);
	ASSERT_EQ(lines.size(), (size_t)kCurrencyCount);
	for (int32_t i = 0; i < kCurrencyCount; i++)
		EXPECT_EQ(lines[i].substr(0, 4), std::string(ISOCode[i]) + "\t") << lines[i];
	EXPECT_EQ(lines[0], "EUR\t51.129188");
	EXPECT_EQ(lines[2], "DEM\t100.00");
	EXPECT_EQ(lines[4], "FRF\t335.39");
	EXPECT_EQ(lines[7], "ITL\t98999.91");
	EXPECT_EQ(lines[13], "BGN\t100.00");
	EXPECT_EQ(lines[21], "CYP\t29.92");

	// Rounding the euro amount carries into every line, as it does in the window.
	run = RunWith({"--runden=3", "100", "dem"});
	ASSERT_EQ(run.status, kExitSuccess) << run.err;
	EXPECT_TRUE(run.out.starts_with("EUR  51.129\n")) << run.out;
	EXPECT_NE(run.out.find("\nFRF  335.38\n"), std::string::npos) << run.out;
}

// With the euro on either side there is nothing to round between, as in the window, where
// choosing the euro sets "nicht runden": a rounded euro rounded again could be a cent off.
TEST(CommandLine, WithTheEuroOnEitherSideTheRoundingIsLeftOut)
{
	struct Case {
		std::vector<std::string_view> arguments;
		std::string out;
	} const cases[] = {
		{{"0.44", "DEM", "EUR", "--runden", "4"}, "EUR  0.224968 . . .\nEUR  0.22\n"},
		{{"0.44", "DEM", "EUR", "--runden", "3"}, "EUR  0.224968 . . .\nEUR  0.22\n"},
		{{"100", "EUR", "DEM", "--runden", "3"}, "EUR  100.000000 . . .\nDEM  195.58\n"},
		// Between two national currencies it still applies.
		{{"100", "DEM", "FRF", "--runden", "3"}, "EUR  51.129\nFRF  335.38\n"},
	};
	for (const Case& c : cases) {
		Outcome run = RunWith(c.arguments);
		EXPECT_EQ(run.status, kExitSuccess) << run.err;
		EXPECT_EQ(run.out, c.out) << c.arguments[0] << " " << c.arguments[1];
	}
	// Without a target, from the euro: every line unrounded, as the rounding off.
	EXPECT_EQ(RunWith({"--runden=3", "100", "EUR"}).out, RunWith({"100", "EUR"}).out);
}

TEST(CommandLine, ReadsAmountsAsAPastedText)
{
	const struct {
		const char* text;
		const char* amount; // nullptr: refused
	} kCases[] = {
		{"1234.50", "1234.50"},
		{"1.234,50", "1234.50"},
		{"1,234.50", "1234.50"},
		{"1 234 567", "1234567"},
		{"12,5", "12.5"},
		{"12 DM", "12"},
		{"\xE2\x82\xAC 1.234,56", "1234.56"},
		{"-5", "-5"},
		{"1.234,50-", "-1234.50"},
		{"\xE2\x88\x92"
		 "5",
			"-5"},
		{".5", ".5"},
		{"12.", "12."},
		{"123456789012345", "123456789012345"},
		{"1234567890123456", nullptr},
		{"", nullptr},
		{"abc", nullptr},
		{"-", nullptr},
		{".", nullptr},
		{"--5", nullptr},
		{"1-2", nullptr},
		{"1.2.3", nullptr},
	};
	for (const auto& c : kCases) {
		std::string amount = "untouched";
		std::string error;
		const bool read = ReadCommandLineAmount(c.text, &amount, &error);
		if (c.amount == nullptr) {
			EXPECT_FALSE(read) << c.text << " read as " << amount;
			EXPECT_FALSE(error.empty()) << c.text;
		} else {
			EXPECT_TRUE(read) << c.text << ": " << error;
			EXPECT_EQ(amount, c.amount) << c.text;
		}
	}
}

TEST(CommandLine, FindsCurrenciesByIsoOrPlateCode)
{
	const struct {
		const char* code;
		int32_t row;
	} kCases[] = {
		{"EUR", 0},
		{"eur", 0},
		{"DEM", 2},
		{"d", 2},
		{"SF", 3},
		{"fim", 3},
		{"F", 4},
		{"IRL", 6},
		{"I", 7},
		{"L", 8},
		{"B", 1},
		{"luf", 8},
		{"A", 10},
		{"esp", 12},
		{"E", 12},
		{"", -1},
		{"DE", -1},
		{"DEMX", -1},
		{"Euro", -1},
		{"D ", -1},
		{"US", -1},
	};
	for (const auto& c : kCases)
		EXPECT_EQ(FindCurrency(c.code), c.row) << "'" << c.code << "'";
}

TEST(CommandLine, RefusesWhatItCannotDo)
{
	const struct {
		std::vector<std::string_view> arguments;
		int status;
		const char* message;
	} kCases[] = {
		{{"--fenster"}, kExitUsage, "Unbekannte Option: --fenster"},
		{{"-x", "100", "DEM"}, kExitUsage, "Unbekannte Option: -x"},
		{{"100"}, kExitUsage, "fehlen"},
		{{"--tsv"}, kExitUsage, "fehlen"},
		{{"100", "DEM", "FRF", "ITL"}, kExitUsage, "zu viele Argumente: ITL"},
		{{"100", "DEM", "--runden"}, kExitUsage, "--runden ohne"},
		{{"100", "DEM", "--runden", "5"}, kExitUsage, "nur 3 oder 4"},
		{{"100", "DEM", "--runden=0"}, kExitUsage, "nur 3 oder 4"},
		{{"abc", "DEM"}, kExitBadInput, "Ungültiger Betrag: abc"},
		{{"1-2", "DEM", "FRF"}, kExitBadInput, "Ungültiger Betrag: 1-2"},
		{{"99999999999999999", "DEM"}, kExitBadInput, "Betrag zu lang"},
		{{"100", "XYZ"}, kExitBadInput, "Unbekannte Währung: XYZ"},
		{{"100", "DEM", "usd"}, kExitBadInput, "Unbekannte Währung: usd"},
		{{"100", "\x1b[2J"}, kExitBadInput, "Unbekannte Währung: ?[2J"},
	};
	for (const auto& c : kCases) {
		Outcome run = RunWith(c.arguments);
		const std::string shown = std::string(c.arguments[0]) + " ...";
		EXPECT_EQ(run.status, c.status) << shown;
		EXPECT_EQ(run.out, "") << shown;
		EXPECT_NE(run.err.find(c.message), std::string::npos) << shown << ": " << run.err;
		EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << shown;
		// Usage errors remind of the usage; a bad value does not need it.
		EXPECT_EQ(run.err.find("Aufruf:") != std::string::npos, c.status == kExitUsage) << shown;
	}
}

TEST(CommandLine, HelpAndVersionWinOverEverythingBeforeThem)
{
	Outcome run = RunWith({"--help"});
	EXPECT_EQ(run.status, kExitSuccess);
	EXPECT_NE(run.out.find("--runden"), std::string::npos);
	EXPECT_EQ(run.err, "");

	run = RunWith({"100", "DEM", "--version"});
	EXPECT_EQ(run.status, kExitSuccess);
	EXPECT_TRUE(run.out.starts_with("ZQ Kambo-Lux ")) << run.out;
}

TEST(CommandLine, NegativeAmountsAreNoOptions)
{
	Outcome run = RunWith({"-5", "EUR", "DEM"});
	ASSERT_EQ(run.status, kExitSuccess) << run.err;
	EXPECT_EQ(run.out, "EUR  -5.000000 . . .\nDEM  -9.78\n");

	run = RunWith({"--tsv", "--", "-0,26", "eur", "GR"});
	ASSERT_EQ(run.status, kExitSuccess) << run.err;
	EXPECT_EQ(run.out, "EUR\t-0.260000\nGRD\t-88.60\n");
}
