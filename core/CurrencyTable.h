// The currencies of the converter: the euro and the twenty-one national
// currencies it replaced at fixed rates, the twelve of 1999 and 2001 first,
// then the nine that joined later. Every other part of the program names a
// currency by its row here. Constant data only.
#pragma once

#include <cstdint>

constexpr int32_t kCurrencyCount = 22;
constexpr int32_t kEuroIndex = 0;
// The first row of the currencies that joined after 2001; lists set them apart from here on.
constexpr int32_t kFirstLaterCurrency = 13;

// Rounding of the euro intermediate: none, three or four decimal places.
enum { kRoundNone = 0, kRoundThree = 1, kRoundFour = 2 };

// ISO 4217 code of each currency.
extern const char* const ISOCode[kCurrencyCount];
// Vehicle-plate code of the country; row 0 is the very string of ISOCode[0].
extern const char* const Oval[kCurrencyCount];
// German country name (UTF-8); row 0 is "Euro".
extern const char* const Land[kCurrencyCount];
// Units of the currency that make one euro, as the nearest doubles.
extern const double UFaktor[kCurrencyCount];
// The same rates as decimal text, for exact arithmetic; never derived from UFaktor.
extern const char* const UFaktorText[kCurrencyCount];
// Captions of the source (0) and target (1) currency.
extern const char* const Whgtyp[2];

// True for a row index of the tables above.
bool IsValidCurrency(int32_t index);
// True for kRoundNone, kRoundThree and kRoundFour.
bool IsValidRounding(int32_t mode);
