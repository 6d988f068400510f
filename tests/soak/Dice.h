// Deterministic randomness for the monkey: one 64-bit Mersenne Twister, whose output the C++
// standard fixes, reduced by plain modulo so that a seed replays the same run with any
// standard library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

class Dice {
public:
	explicit Dice(uint64_t seed) : fEngine(seed) {}

	// 0 to n - 1; 0 when n is not positive.
	int32_t Below(int32_t n) { return n > 0 ? (int32_t)(fEngine() % (uint64_t)n) : 0; }
	// low to high, both included.
	int32_t Between(int32_t low, int32_t high) { return low + Below(high - low + 1); }
	bool Percent(int32_t percent) { return Below(100) < percent; }

	template <typename T, size_t N>
	const T& Pick(const T (&table)[N])
	{
		return table[Below((int32_t)N)];
	}

	// The index of a row chosen with the weights of the rows' "weight" members.
	template <typename T, size_t N>
	const T& Weighted(const T (&table)[N])
	{
		int32_t total = 0;
		for (const T& row : table)
			total += row.weight;
		int32_t roll = Below(total);
		for (const T& row : table) {
			if (roll < row.weight)
				return row;
			roll -= row.weight;
		}
		return table[N - 1];
	}

private:
	std::mt19937_64 fEngine;
};
