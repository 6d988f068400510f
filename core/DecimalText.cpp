#include "DecimalText.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <vector>

static bool
IsDigit(char c)
{
	return c >= '0' && c <= '9';
}

void
ReadExactAmount(std::string_view text, ExactAmount* amount)
{
	size_t i = 0;
	const bool minus = i < text.size() && text[i] == '-';
	if (minus)
		i++;
	const size_t integerStart = i;
	while (i < text.size() && IsDigit(text[i]))
		i++;
	const std::string_view integer = text.substr(integerStart, i - integerStart);
	std::string_view fraction;
	if (i < text.size() && text[i] == '.') {
		const size_t fractionStart = ++i;
		while (i < text.size() && IsDigit(text[i]))
			i++;
		fraction = text.substr(fractionStart, i - fractionStart);
	}

	amount->magnitude = 0;
	amount->negative = false;
	if (integer.empty() && fraction.empty()) {
		// "", "-", "." and "-." are no number at all.
		return;
	}
	amount->negative = minus;
	fraction = fraction.substr(0, std::min(fraction.size(), kAmountReadDigits));

	// The significant digits, from the first that is not zero, as one run for GMP.
	std::string digits;
	size_t zeros = integer.find_first_not_of('0');
	if (zeros != std::string_view::npos)
		digits.append(integer.substr(zeros));
	digits.append(fraction);
	zeros = digits.find_first_not_of('0');
	if (zeros == std::string::npos)
		return;
	digits.erase(0, zeros);
	const size_t dropped = digits.size() > kAmountReadDigits ? digits.size() - kAmountReadDigits
															 : 0;
	digits.resize(digits.size() - dropped);

	mpz_set_str(amount->magnitude.get_num_mpz_t(), digits.c_str(), 10);
	// value = digits * 10^(dropped - decimals)
	static thread_local mpz_class scale;
	if (dropped >= fraction.size()) {
		mpz_ui_pow_ui(scale.get_mpz_t(), 10, dropped - fraction.size());
		mpz_mul(amount->magnitude.get_num_mpz_t(), amount->magnitude.get_num_mpz_t(),
			scale.get_mpz_t());
	} else {
		mpz_ui_pow_ui(scale.get_mpz_t(), 10, fraction.size() - dropped);
		mpz_set(amount->magnitude.get_den_mpz_t(), scale.get_mpz_t());
		amount->magnitude.canonicalize();
	}
}

const mpz_class&
PowerOfTen(int32_t exponent)
{
	static const std::array<mpz_class, kPowerTableLimit + 1> sPowers = [] {
		std::array<mpz_class, kPowerTableLimit + 1> powers;
		powers[0] = 1;
		for (size_t i = 1; i < powers.size(); i++)
			powers[i] = powers[i - 1] * 10;
		return powers;
	}();

	assert(exponent >= 0 && exponent <= kPowerTableLimit);
	return sPowers[exponent];
}

void
RoundScaled(const mpq_class& magnitude, int32_t decimals, mpz_class* scaled)
{
	assert(sgn(magnitude) >= 0);

	static thread_local mpz_class remainder;
	mpz_mul(scaled->get_mpz_t(), magnitude.get_num_mpz_t(), PowerOfTen(decimals).get_mpz_t());
	mpz_tdiv_qr(scaled->get_mpz_t(), remainder.get_mpz_t(), scaled->get_mpz_t(),
		magnitude.get_den_mpz_t());

	// Half or more of the denominator left over rounds up.
	mpz_mul_2exp(remainder.get_mpz_t(), remainder.get_mpz_t(), 1);
	if (mpz_cmp(remainder.get_mpz_t(), magnitude.get_den_mpz_t()) >= 0)
		mpz_add_ui(scaled->get_mpz_t(), scaled->get_mpz_t(), 1);
}

void
AppendFixed(std::string* text, const mpz_class& scaled, int32_t decimals, bool negative)
{
	assert(sgn(scaled) >= 0 && decimals >= 0);

	// Every amount the converter meets fits the stack buffer; the heap is
	// only a safety net.
	char local[96];
	std::vector<char> large;
	char* digits = local;
	const size_t capacity = mpz_sizeinbase(scaled.get_mpz_t(), 10) + 2;
	if (capacity > sizeof(local)) {
		large.resize(capacity);
		digits = large.data();
	}
	mpz_get_str(digits, 10, scaled.get_mpz_t());
	const size_t length = strlen(digits);

	if (negative)
		text->push_back('-');
	const size_t places = static_cast<size_t>(decimals);
	if (length > places)
		text->append(digits, length - places);
	else
		text->push_back('0');
	if (places == 0)
		return;
	text->push_back('.');
	if (length < places) {
		text->append(places - length, '0');
		text->append(digits, length);
	} else
		text->append(digits + length - places, places);
}
