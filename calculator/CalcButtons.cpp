#include "CalcButtons.h"

#include <cstring>

// Frames follow the grid rule: column index % 4 and row index / 4, 26 units apart.
const CalcButton kCalcButtons[kCalcButtonCount] = {
	{0, "7", 0, 0, 26, 26, CalcKeyKind::kDigit, "7", nullptr},
	{1, "8", 26, 0, 52, 26, CalcKeyKind::kDigit, "8", nullptr},
	{2, "9", 52, 0, 78, 26, CalcKeyKind::kDigit, "9", nullptr},
	{3, "/", 78, 0, 104, 26, CalcKeyKind::kOperator, "/", "geteilt durch"},
	{4, "4", 0, 26, 26, 52, CalcKeyKind::kDigit, "4", nullptr},
	{5, "5", 26, 26, 52, 52, CalcKeyKind::kDigit, "5", nullptr},
	{6, "6", 52, 26, 78, 52, CalcKeyKind::kDigit, "6", nullptr},
	{7, "*", 78, 26, 104, 52, CalcKeyKind::kOperator, "*", "mal"},
	{8, "1", 0, 52, 26, 78, CalcKeyKind::kDigit, "1", nullptr},
	{9, "2", 26, 52, 52, 78, CalcKeyKind::kDigit, "2", nullptr},
	{10, "3", 52, 52, 78, 78, CalcKeyKind::kDigit, "3", nullptr},
	{11, "-", 78, 52, 104, 78, CalcKeyKind::kOperator, "-", "minus"},
	{12, "0", 0, 78, 26, 104, CalcKeyKind::kDigit, "0", nullptr},
	{13, ".", 26, 78, 52, 104, CalcKeyKind::kPoint, ".", "Dezimalpunkt"},
	{14, "V", 52, 78, 78, 104, CalcKeyKind::kSign, "Vv", "Vorzeichen wechseln"},
	{15, "+", 78, 78, 104, 104, CalcKeyKind::kOperator, "+", "plus"},
	{16, "C", 0, 104, 26, 130, CalcKeyKind::kClear, "Cc", "L\xC3\xB6schen"},
	{17, "<-", 26, 104, 52, 130, CalcKeyKind::kBackspace, "\b", "Letzte Ziffer l\xC3\xB6schen"},
	{18, "=", 52, 104, 104, 130, CalcKeyKind::kEquals, "=",
		"Ergebnis \xC3\xBC"
		"bernehmen und schlie\xC3\x9F"
		"en"},
};

const CalcButton*
CalcButtonAt(int32_t index)
{
	if (index < 0 || index >= kCalcButtonCount)
		return nullptr;
	return &kCalcButtons[index];
}

int32_t
CalcButtonForKey(const char* bytes, int32_t numBytes)
{
	// The zero byte would match every key list's terminator.
	if (bytes == nullptr || numBytes != 1 || bytes[0] == '\0')
		return -1;
	for (const CalcButton& button : kCalcButtons) {
		if (strchr(button.keys, bytes[0]) != nullptr)
			return button.index;
	}
	return -1;
}
