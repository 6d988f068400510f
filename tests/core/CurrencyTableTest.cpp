#include "CurrencyTable.h"

#include <cctype>
#include <cstring>
#include <map>
#include <string>

#include <gtest/gtest.h>

namespace {

struct Row {
	const char* iso;
	const char* oval;
	const char* land;
	double rate;
	const char* rateText;
};

const Row kRows[] = {
	{"EUR", "EUR", "Euro", 1.0, "1"},
	{"BEF", "B", "Belgien", 40.3399, "40.3399"},
	{"DEM", "D", "Deutschland", 1.95583, "1.95583"},
	{"FIM", "SF", "Finnland", 5.94573, "5.94573"},
	{"FRF", "F", "Frankreich", 6.55957, "6.55957"},
	{"GRD", "GR", "Griechenland", 340.75, "340.75"},
	{"IEP", "IRL", "Irland", 0.787564, "0.787564"},
	{"ITL", "I", "Italien", 1936.27, "1936.27"},
	{"LUF", "L", "Luxemburg", 40.3399, "40.3399"},
	{"NLG", "NL", "Niederlande", 2.20371, "2.20371"},
	{"ATS", "A", "\xc3\x96sterreich", 13.7603, "13.7603"},
	{"PTE", "P", "Portugal", 200.482, "200.482"},
	{"ESP", "E", "Spanien", 166.386, "166.386"},
	// The later rates keep their written trailing zeros.
	{"BGN", "BG", "Bulgarien", 1.95583, "1.95583"},
	{"EEK", "EST", "Estland", 15.6466, "15.6466"},
	{"HRK", "HR", "Kroatien", 7.5345, "7.53450"},
	{"LVL", "LV", "Lettland", 0.702804, "0.702804"},
	{"LTL", "LT", "Litauen", 3.4528, "3.45280"},
	{"MTL", "M", "Malta", 0.4293, "0.429300"},
	{"SKK", "SK", "Slowakei", 30.126, "30.1260"},
	{"SIT", "SLO", "Slowenien", 239.64, "239.640"},
	{"CYP", "CY", "Zypern", 0.585274, "0.585274"},
};

TEST(CurrencyTable, RowsInIndexOrder)
{
	ASSERT_EQ(std::size(kRows), static_cast<size_t>(kCurrencyCount));
	for (int32_t i = 0; i < kCurrencyCount; i++) {
		SCOPED_TRACE(i);
		EXPECT_STREQ(ISOCode[i], kRows[i].iso);
		EXPECT_STREQ(Oval[i], kRows[i].oval);
		EXPECT_STREQ(Land[i], kRows[i].land);
		EXPECT_EQ(UFaktor[i], kRows[i].rate);
		EXPECT_STREQ(UFaktorText[i], kRows[i].rateText);
		// The text and the double name the same rate.
		EXPECT_EQ(std::stod(UFaktorText[i]), UFaktor[i]);
	}
}

// A code, ISO or plate and in either case, is read back as one currency: a new row whose plate
// code were another row's ISO code would make the command line's choice depend on the order
// it searches in.
TEST(CurrencyTable, EveryCodeNamesOneCurrency)
{
	EXPECT_STREQ(ISOCode[kEuroIndex], "EUR");
	std::map<std::string, int32_t> owner;
	for (int32_t i = 0; i < kCurrencyCount; i++) {
		for (const char* code : {ISOCode[i], Oval[i]}) {
			std::string folded(code);
			for (char& c : folded)
				c = (char)toupper((unsigned char)c);
			auto [found, added] = owner.emplace(folded, i);
			EXPECT_TRUE(added || found->second == i)
				<< code << " names rows " << found->second << " and " << i;
		}
	}
}

TEST(CurrencyTable, CaptionsAreUtf8)
{
	EXPECT_STREQ(Whgtyp[0], "Ausgangsw\xc3\xa4hrung");
	EXPECT_STREQ(Whgtyp[1], "Zielw\xc3\xa4hrung");
	EXPECT_EQ(strlen(Land[10]), 11u);
}

} // namespace
