// Reading an amount that must be exactly one number, for scripts: the command line and
// its list form. It takes the number forms a paste reads (plain, grouped with '.', ','
// or spaces, German notation, a minus before or after) and optionally one currency code
// or symbol beside it, set off by a space. Where a paste would still make digits of a
// text (it drops what it cannot read), this reader refuses, and says why: a script never
// sees the number the converter actually used.
#pragma once

#include <string>
#include <string_view>

enum class AmountRefusal {
	kNone,
	kNoNumber, // no digit at all, or only a sign or mark
	kLineBreak,
	kExponent,       // 1e5, 1e+06, 2.5E-3
	kHexadecimal,    // 0x10
	kLetterAtNumber, // a letter or symbol touching the number: 12abc, EUR5
	kSecondNumber,   // 100 EUR 50, 5 1/2, 1-2, 100 50
	kBadGroups,      // 1.2.3, 1,23,4: marks that group no thousands and mark no decimals
	kUnknownText,    // a word that is no currency code or symbol, or any other character
};

// A reading: the number as [-]digits[.digits], the decimal mark a point, the groups gone;
// and the currency word beside it, if any, as written.
struct StrictAmount {
	std::string number;
	std::string_view unit;
};

// Reads text whole; on a refusal *amount is left in an unspecified state.
AmountRefusal ReadStrictAmount(std::string_view text, StrictAmount* amount);
