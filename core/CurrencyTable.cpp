#include "CurrencyTable.h"

// The plate code of the euro row is the ISO code itself, one string for both.
static const char kEuroCode[] = "EUR";

// National rows sort by the German country name, "Österreich" as O, within each
// group: the twelve of 1999 and 2001, then the nine later ones. The order is the
// settings file's and the flag strip's, so rows are only ever appended.
const char* const ISOCode[kCurrencyCount] = {
	kEuroCode,
	"BEF",
	"DEM",
	"FIM",
	"FRF",
	"GRD",
	"IEP",
	"ITL",
	"LUF",
	"NLG",
	"ATS",
	"PTE",
	"ESP",
	"BGN",
	"EEK",
	"HRK",
	"LVL",
	"LTL",
	"MTL",
	"SKK",
	"SIT",
	"CYP",
};

const char* const Oval[kCurrencyCount] = {
	kEuroCode,
	"B",
	"D",
	"SF",
	"F",
	"GR",
	"IRL",
	"I",
	"L",
	"NL",
	"A",
	"P",
	"E",
	"BG",
	"EST",
	"HR",
	"LV",
	"LT",
	"M",
	"SK",
	"SLO",
	"CY",
};

const char* const Land[kCurrencyCount] = {
	"Euro",
	"Belgien",
	"Deutschland",
	"Finnland",
	"Frankreich",
	"Griechenland",
	"Irland",
	"Italien",
	"Luxemburg",
	"Niederlande",
	"Österreich",
	"Portugal",
	"Spanien",
	"Bulgarien",
	"Estland",
	"Kroatien",
	"Lettland",
	"Litauen",
	"Malta",
	"Slowakei",
	"Slowenien",
	"Zypern",
};

// The irrevocable rates of 1 January 1999 (GRD of 1 January 2001), then those
// fixed on each later country's entry, 2007 to 2026. BEF and LUF, like DEM and
// BGN, are separate rows that happen to share a rate.
const double UFaktor[kCurrencyCount] = {
	1.0,
	40.3399,
	1.95583,
	5.94573,
	6.55957,
	340.75,
	0.787564,
	1936.27,
	40.3399,
	2.20371,
	13.7603,
	200.482,
	166.386,
	1.95583,
	15.6466,
	7.53450,
	0.702804,
	3.45280,
	0.429300,
	30.1260,
	239.640,
	0.585274,
};

// Kept in step with UFaktor by hand: the doubles are only near these values,
// and the money arithmetic needs the exact ones.
const char* const UFaktorText[kCurrencyCount] = {
	"1",
	"40.3399",
	"1.95583",
	"5.94573",
	"6.55957",
	"340.75",
	"0.787564",
	"1936.27",
	"40.3399",
	"2.20371",
	"13.7603",
	"200.482",
	"166.386",
	"1.95583",
	"15.6466",
	"7.53450",
	"0.702804",
	"3.45280",
	"0.429300",
	"30.1260",
	"239.640",
	"0.585274",
};

const char* const Whgtyp[2] = {
	"Ausgangswährung",
	"Zielwährung",
};

bool
IsValidCurrency(int32_t index)
{
	return index >= 0 && index < kCurrencyCount;
}

bool
IsValidRounding(int32_t mode)
{
	return mode == kRoundNone || mode == kRoundThree || mode == kRoundFour;
}
