// The converter's arithmetic: an amount text in one currency becomes the euro
// line and the target amount text, always by way of the euro. Works on exact
// rationals, so every half rounds away from zero as the euro rules demand;
// doubles never touch the money. Knows nothing of views or fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct ConversionTexts {
	std::string euroLine;
	std::string target;
};

// Converts the numeric beginning of amountText (read as [-]digits[.digits], its
// digits up to kAmountReadDigits, anything else as 0) from currency source to currency
// target with the given rounding of the euro intermediate. A negative amount,
// minus zero included, gives both texts a leading minus. Returns false and
// leaves *out untouched when an index or the rounding is out of range; callers
// then fall back to their defaults.
bool ConvertAmount(std::string_view amountText, int32_t source, int32_t target, int32_t rounding,
	ConversionTexts* out);

// The amount field's Tab/Enter rewrite: the numeric beginning of amountText,
// read as by ConvertAmount, with exactly two decimals ("12.345" -> "12.35",
// "" -> "0.00", "-0" -> "-0.00").
std::string FormatAmountTwoDecimals(std::string_view amountText);
