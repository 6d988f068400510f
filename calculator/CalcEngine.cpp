#include "CalcEngine.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <vector>

#include "CalcButtons.h"

CalcEdit
CalcEngine::Press(int32_t index, const std::string& fieldText, double fieldValue)
{
	const CalcButton* button = CalcButtonAt(index);
	if (button == nullptr)
		return {};

	// A shown result is never extended: the next number starts from nothing.
	std::string working = fTyping ? fieldText : std::string();
	CalcEdit edit;
	edit.kind = CalcEdit::kSetText;

	switch (button->kind) {
		case CalcKeyKind::kClear:
			// Clears only the number shown; a pending operator and the result stay.
			break;

		case CalcKeyKind::kBackspace:
			edit.kind = CalcEdit::kDeleteLastByte;
			break;

		case CalcKeyKind::kSign:
			if (!working.empty() && working[0] == '-')
				edit.text = working.substr(1);
			else
				edit.text = "-" + working;
			break;

		case CalcKeyKind::kOperator:
		case CalcKeyKind::kEquals:
			fAccu = _Apply(fieldValue);
			edit.text = FormatResult(fAccu);
			fTyping = false;
			fPendingOp = index;
			break;

		case CalcKeyKind::kDigit:
		case CalcKeyKind::kPoint:
			// A lone zero is replaced by a digit but kept before a point ("0.").
			if (button->kind == CalcKeyKind::kDigit && working == "0")
				working.clear();
			edit.text = working + button->label;
			fTyping = true;
			break;
	}
	return edit;
}

double
CalcEngine::_Apply(double value) const
{
	// Division by zero is left to floating point; FormatResult shows its inf or nan as an
	// empty field.
	switch (fPendingOp) {
		case kCalcDivide:
			return fAccu / value;
		case kCalcMultiply:
			return fAccu * value;
		case kCalcSubtract:
			return fAccu - value;
		case kCalcAdd:
			return fAccu + value;
		default:
			return value;
	}
}

std::string
CalcEngine::FormatResult(double value)
{
	// A division by zero leaves no number to show. "inf" and "-nan" would leave the field a
	// lone "-" after its filter, which the next number would take over as its sign.
	if (!std::isfinite(value))
		return std::string();

	// Results of 1e36 and more need more than 39 characters. They are kept whole rather than
	// cut to a wrong number or refused: the field takes any length from the program, reads
	// it whole as the next operand, and the user sees the true result.
	static const locale_t sCLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
	locale_t previous = sCLocale != locale_t(0) ? uselocale(sCLocale) : locale_t(0);

	char small[40];
	int length = snprintf(small, sizeof(small), "%.2f", value);
	std::string text;
	if (length >= 0 && (size_t)length < sizeof(small))
		text.assign(small, (size_t)length);
	else if (length > 0) {
		std::vector<char> large((size_t)length + 1);
		snprintf(large.data(), large.size(), "%.2f", value);
		text.assign(large.data(), (size_t)length);
	}

	if (previous != locale_t(0))
		uselocale(previous);
	return text;
}
