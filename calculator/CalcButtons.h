// The pad's 19 keys as one table: label, frame in the pad view, kind, and the typed bytes
// that press it. The buttons, the keyboard map and the tests all read this table.
// Plain C++: nothing of the kit.
#pragma once

#include <cstdint>

enum class CalcKeyKind {
	kDigit,
	kPoint,
	kSign,
	kOperator,
	kClear,
	kBackspace,
	kEquals,
};

struct CalcButton {
	int32_t index;
	const char* label;
	// Frame in the pad view; right and bottom are one step further than the pixels the
	// button covers on its own, so neighbours share their border line.
	int32_t left;
	int32_t top;
	int32_t right;
	int32_t bottom;
	CalcKeyKind kind;
	// The single bytes that press this button from the keyboard.
	const char* keys;
	// What a screen reader adds to a label that alone says too little ("C"); null for
	// the digits.
	const char* description;
};

// Indexes with their own handling in the state machine.
enum : int32_t {
	kCalcDivide = 3,
	kCalcMultiply = 7,
	kCalcSubtract = 11,
	kCalcPoint = 13,
	kCalcSign = 14,
	kCalcAdd = 15,
	kCalcClear = 16,
	kCalcBackspace = 17,
	kCalcEquals = 18,
};

constexpr int32_t kCalcButtonCount = 19;
// Each key is this many units square; "=" spans two columns.
constexpr int32_t kCalcKeySize = 26;

extern const CalcButton kCalcButtons[kCalcButtonCount];

// The button at index, or null outside 0..18.
const CalcButton* CalcButtonAt(int32_t index);

// The button index that a key press maps to, or -1. Only a key of exactly one byte counts;
// multi-byte characters and unlisted bytes map to nothing.
int32_t CalcButtonForKey(const char* bytes, int32_t numBytes);
