// The key table and the arithmetic without any window: the grid the frames follow, which
// bytes press which key, and how results are written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "CalcButtons.h"
#include "CalcEngine.h"

TEST(CalcButtons, FramesFollowTheGridAndEqualsSpansTwoColumns)
{
	for (const CalcButton& button : kCalcButtons) {
		SCOPED_TRACE(button.label);
		EXPECT_EQ(&button, CalcButtonAt(button.index));
		EXPECT_EQ(kCalcKeySize * (button.index % 4), button.left);
		EXPECT_EQ(kCalcKeySize * (button.index / 4), button.top);
		int32_t width = button.index == kCalcEquals ? 2 * kCalcKeySize : kCalcKeySize;
		EXPECT_EQ(button.left + width, button.right);
		EXPECT_EQ(button.top + kCalcKeySize, button.bottom);
		EXPECT_LE(strlen(button.label), 2u);
	}
	EXPECT_EQ(nullptr, CalcButtonAt(-1));
	EXPECT_EQ(nullptr, CalcButtonAt(kCalcButtonCount));
}

TEST(CalcButtons, OnlyTheListedSingleBytesPressKeys)
{
	const std::string labels = "789/456*123-0.V+C";
	for (int byte = 0; byte < 256; byte++) {
		char key[2] = {(char)byte, 0};
		int32_t expected = -1;
		if (byte == 'v')
			expected = kCalcSign;
		else if (byte == 'c')
			expected = kCalcClear;
		else if (byte == '\b')
			expected = kCalcBackspace;
		else if (byte == '=')
			expected = kCalcEquals;
		else if (byte != 0 && labels.find((char)byte) != std::string::npos)
			expected = (int32_t)labels.find((char)byte);
		EXPECT_EQ(expected, CalcButtonForKey(key, 1)) << "byte " << byte;
	}

	// Multi-byte characters and odd lengths press nothing, even when they start with a key.
	EXPECT_EQ(-1, CalcButtonForKey("\xc3\xa9", 2));
	EXPECT_EQ(-1, CalcButtonForKey("\xe2\x82\xac", 3));
	EXPECT_EQ(-1, CalcButtonForKey("12", 2));
	EXPECT_EQ(-1, CalcButtonForKey("5", 0));
	EXPECT_EQ(-1, CalcButtonForKey(nullptr, 1));
}

TEST(CalcEngine, ResultsKeepEveryDigit)
{
	struct {
		double value;
		const char* text;
	} cases[] = {
		{20, "20.00"},
		{-0.005, "-0.01"},
		{-0.0, "-0.00"},
		{1e40, "10000000000000000303786028427003666890752.00"},
		// Nothing for a division by zero: "-inf" and "-nan" would leave a lone "-" behind.
		{std::numeric_limits<double>::infinity(), ""},
		{-std::numeric_limits<double>::infinity(), ""},
		{std::numeric_limits<double>::quiet_NaN(), ""},
		{-std::numeric_limits<double>::quiet_NaN(), ""},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.text, CalcEngine::FormatResult(c.value)) << c.value;
	// The largest double: 309 digits and the decimals, far past any fixed buffer.
	EXPECT_EQ(312u, CalcEngine::FormatResult(std::numeric_limits<double>::max()).size());
}
