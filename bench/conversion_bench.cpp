// One conversion as the converter runs it on every keystroke: both texts.
#include <string>

#include <benchmark/benchmark.h>

#include "Conversion.h"
#include "CurrencyTable.h"

namespace {

void
RunConversion(benchmark::State& state, const std::string& amount)
{
	ConversionTexts texts;
	for (auto _ : state) {
		// DEM to FRF goes through a real division and multiplication.
		ConvertAmount(amount, 2, 4, static_cast<int32_t>(state.range(0)), &texts);
		benchmark::DoNotOptimize(texts);
	}
}

void
BM_TypicalAmount(benchmark::State& state)
{
	RunConversion(state, "1234.56");
}

void
BM_FifteenDigits(benchmark::State& state)
{
	RunConversion(state, "999999999999999");
}

void
BM_ThirtyNineDigits(benchmark::State& state)
{
	RunConversion(state, "123456789012345678901234567890123456789");
}

void
BM_ThirtyNineDigitsToLire(benchmark::State& state)
{
	ConversionTexts texts;
	const std::string amount(39, '9');
	for (auto _ : state) {
		ConvertAmount(amount, kEuroIndex, 7, kRoundNone, &texts);
		benchmark::DoNotOptimize(texts);
	}
}

void
BM_FormatTwoDecimals(benchmark::State& state)
{
	for (auto _ : state)
		benchmark::DoNotOptimize(FormatAmountTwoDecimals("12.3456"));
}

} // namespace

BENCHMARK(BM_TypicalAmount)->DenseRange(kRoundNone, kRoundFour);
BENCHMARK(BM_FifteenDigits)->DenseRange(kRoundNone, kRoundFour);
BENCHMARK(BM_ThirtyNineDigits)->DenseRange(kRoundNone, kRoundFour);
BENCHMARK(BM_ThirtyNineDigitsToLire);
BENCHMARK(BM_FormatTwoDecimals);

BENCHMARK_MAIN();
