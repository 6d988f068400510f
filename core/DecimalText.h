// Exact decimal reading and fixed-point writing for the money arithmetic.
// Amounts are read as the numeric beginning of a text, the way the amount
// field reads itself, but as exact rationals instead of doubles; results are
// written with a fixed number of decimals, halves rounded away from zero.
// Internal to core/: the rest of the program uses Conversion.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <gmpxx.h>

// An amount is read whole up to this many significant digits and this many
// decimals; digits beyond either are dropped (the magnitude stays). It keeps a
// text of megabytes from costing GMP a noticeable time on every keystroke,
// while no amount the program can reach comes near it: typing stops at 15
// bytes, a double's result has at most 309 integer digits, and every pad key
// or swap adds a few. Past them the relative error stays below 1e-9999.
constexpr size_t kAmountReadDigits = 10000;

// PowerOfTen's table reaches this far; every decimals count of a result does.
constexpr int32_t kPowerTableLimit = 39;

// A read amount: its magnitude and whether it was written with a minus.
// The sign is kept apart so that "-0" stays negative, as printf shows it.
struct ExactAmount {
	mpq_class magnitude;
	bool negative = false;
};

// Reads the longest beginning of text of the form [-]digits[.digits] (either
// digit run may be empty, not both), within kAmountReadDigits. No such
// beginning reads as a positive 0.
void ReadExactAmount(std::string_view text, ExactAmount* amount);

// 10^exponent for 0 <= exponent <= kPowerTableLimit.
const mpz_class& PowerOfTen(int32_t exponent);

// The magnitude times 10^decimals, rounded to an integer with halves up.
// The magnitude must not be negative.
void RoundScaled(const mpq_class& magnitude, int32_t decimals, mpz_class* scaled);

// Appends scaled / 10^decimals with exactly that many decimals, after a minus
// when negative.
void AppendFixed(std::string* text, const mpz_class& scaled, int32_t decimals, bool negative);
