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

	ExactAmount amount;
	ReadExactAmount(amountText, &amount);

	mpq_class euro = amount.magnitude / ExactRate(source);
	mpz_class scaled;
	std::string euroLine;
	if (rounding == kRoundNone) {
		RoundScaled(euro, kUnroundedDecimals, &scaled);
		AppendFixed(&euroLine, scaled, kUnroundedDecimals, amount.negative);
		euroLine += kUnroundedSuffix;
	} else {
		// The rounded euro amount is what the target is computed from, so
		// that the two lines agree with each other.
		const int32_t decimals = RoundingDecimals(rounding);
		RoundScaled(euro, decimals, &scaled);
		AppendFixed(&euroLine, scaled, decimals, amount.negative);
		euro = mpq_class(scaled, PowerOfTen(decimals));
		euro.canonicalize();
	}

	const mpq_class targetAmount = euro * ExactRate(target);
	RoundScaled(targetAmount, kTargetDecimals, &scaled);
	std::string targetText;
	AppendFixed(&targetText, scaled, kTargetDecimals, amount.negative);

	out->euroLine = std::move(euroLine);
	out->target = std::move(targetText);
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
