#include "Conversion.h"

#include <array>
#include <cassert>

#include "CurrencyTable.h"
#include "DecimalText.h"

static const char kUnroundedSuffix[] = " . . .";
static const int32_t kUnroundedDecimals = 6;
static const int32_t kTargetDecimals = 2;

static const mpq_class&
ExactRate(int32_t index)
{
	static const std::array<mpq_class, kCurrencyCount> sRates = [] {
		std::array<mpq_class, kCurrencyCount> rates;
		for (int32_t i = 0; i < kCurrencyCount; i++) {
			ExactAmount rate;
			ReadExactAmount(UFaktorText[i], &rate);
			rates[i] = rate.magnitude;
		}
		return rates;
	}();

	return sRates[index];
}

static int32_t
RoundingDecimals(int32_t rounding)
{
	return rounding == kRoundThree ? 3 : 4;
}

bool
ConvertAmount(std::string_view amountText, int32_t source, int32_t target, int32_t rounding,
	ConversionTexts* out)
{
	assert(out != nullptr);
	if (out == nullptr || !IsValidCurrency(source) || !IsValidCurrency(target)
		|| !IsValidRounding(rounding))
		return false;

	// Kept between calls: a list of amounts converts without new allocations for each.
	static thread_local ExactAmount amount;
	static thread_local mpq_class euro;
	static thread_local mpq_class targetAmount;
	static thread_local mpz_class scaled;
	ReadExactAmount(amountText, &amount);

	mpq_div(euro.get_mpq_t(), amount.magnitude.get_mpq_t(), ExactRate(source).get_mpq_t());
	out->euroLine.clear();
	if (rounding == kRoundNone) {
		RoundScaled(euro, kUnroundedDecimals, &scaled);
		AppendFixed(&out->euroLine, scaled, kUnroundedDecimals, amount.negative);
		out->euroLine += kUnroundedSuffix;
	} else {
		// The rounded euro amount is what the target is computed from, so
		// that the two lines agree with each other.
		const int32_t decimals = RoundingDecimals(rounding);
		RoundScaled(euro, decimals, &scaled);
		AppendFixed(&out->euroLine, scaled, decimals, amount.negative);
		mpz_set(euro.get_num_mpz_t(), scaled.get_mpz_t());
		mpz_set(euro.get_den_mpz_t(), PowerOfTen(decimals).get_mpz_t());
		euro.canonicalize();
	}

	mpq_mul(targetAmount.get_mpq_t(), euro.get_mpq_t(), ExactRate(target).get_mpq_t());
	RoundScaled(targetAmount, kTargetDecimals, &scaled);
	out->target.clear();
	AppendFixed(&out->target, scaled, kTargetDecimals, amount.negative);
	return true;
}

std::string
FormatAmountTwoDecimals(std::string_view amountText)
{
	ExactAmount amount;
	ReadExactAmount(amountText, &amount);

	mpz_class scaled;
	RoundScaled(amount.magnitude, kTargetDecimals, &scaled);
	std::string text;
	AppendFixed(&text, scaled, kTargetDecimals, amount.negative);
	return text;
}
