#include "CurrencyTable.h"

// The plate code of the euro row is the ISO code itself, one string for both.
static const char kEuroCode[] = "EUR";

// National rows sort by the German country name, "Österreich" as O.
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
};

// The irrevocable rates of 1 January 1999 (GRD of 1 January 2001). BEF and LUF
// are separate rows that happen to share a rate.
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
