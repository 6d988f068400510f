#include "ConversionPrinter.h"

#include <cassert>
#include <cstring>

#include "CurrencyTable.h"

namespace {

const char kUnroundedSuffix[] = " . . .";
const char kCodeSeparator[] = "  ";

// As in the window: the euro amount is rounded only between two national currencies. With the
// euro on either side a rounded euro, rounded again to the cent, can be a cent off
// (0.44 DEM: 0.224968... euro, 0.2250 with four places, then 0.23 instead of 0.22).
int32_t
RoundingBetween(int32_t source, int32_t target, int32_t requested)
{
	return source == kEuroIndex || target == kEuroIndex ? int32_t(kRoundNone) : requested;
}

// A tab or line break in an echoed line would shift the columns or rows after it.
void
AppendOneField(std::string_view text, std::string* out)
{
	for (const char c : text)
		out->push_back(c == '\t' || c == '\n' ? ' ' : c);
}

} // namespace

ConversionPrinter::ConversionPrinter(int32_t source, int32_t target, int32_t rounding, bool tsv) :
	fSource(source),
	fTarget(target),
	fRounding(rounding),
	fTsv(tsv)
{
}

void
ConversionPrinter::AppendLines(std::string_view amount, std::string* out)
{
	_Convert(amount, fTarget == kEveryCurrency ? fSource : fTarget);
	_AppendField(kEuroIndex, fTexts.euroLine, "\n", out);
	if (fTarget != kEveryCurrency) {
		_AppendField(fTarget, fTexts.target, "\n", out);
		return;
	}
	for (int32_t each = 0; each < kCurrencyCount; each++) {
		if (each == kEuroIndex)
			continue;
		_Convert(amount, each);
		_AppendField(each, fTexts.target, "\n", out);
	}
}

void
ConversionPrinter::AppendRow(std::string_view amount, std::string* out)
{
	const char* separator = fTsv ? "\t" : kCodeSeparator;
	if (fTsv) {
		out->append(amount);
		out->push_back('\t');
	}
	_Convert(amount, fTarget == kEveryCurrency ? fSource : fTarget);
	_AppendField(kEuroIndex, fTexts.euroLine, separator, out);
	if (fTarget != kEveryCurrency)
		_AppendField(fTarget, fTexts.target, separator, out);
	for (int32_t each = 0; fTarget == kEveryCurrency && each < kCurrencyCount; each++) {
		if (each == kEuroIndex)
			continue;
		_Convert(amount, each);
		_AppendField(each, fTexts.target, separator, out);
	}
	// The last field's separator becomes the line's end.
	out->resize(out->size() - strlen(separator));
	out->push_back('\n');
}

void
ConversionPrinter::AppendHeader(std::string* out) const
{
	out->append("Betrag\t");
	out->append(ISOCode[kEuroIndex]);
	for (int32_t each = 0; each < kCurrencyCount; each++) {
		if (fTarget == each || (fTarget == kEveryCurrency && each != kEuroIndex)) {
			out->push_back('\t');
			out->append(ISOCode[each]);
		}
	}
	out->push_back('\n');
}

void
ConversionPrinter::AppendUnreadRow(std::string_view line, std::string* out) const
{
	if (!fTsv) {
		out->append(line);
		out->push_back('\n');
		return;
	}
	AppendOneField(line, out);
	out->append(_ColumnCount() - 1, '\t');
	out->push_back('\n');
}

void
ConversionPrinter::_Convert(std::string_view amount, int32_t target)
{
	bool converted = ConvertAmount(amount, fSource, target,
		RoundingBetween(fSource, target, fRounding), &fTexts);
	(void)converted;
	assert(converted);
}

// "EUR  51.129188 . . ." followed by the separator; with --tsv the amount alone, or in the
// single form after its code and a tab.
void
ConversionPrinter::_AppendField(int32_t currency, const std::string& text, const char* separator,
	std::string* out) const
{
	std::string_view amount = text;
	if (fTsv && amount.ends_with(kUnroundedSuffix))
		amount.remove_suffix(strlen(kUnroundedSuffix));
	const bool lines = strcmp(separator, "\n") == 0;
	if (lines || !fTsv) {
		out->append(ISOCode[currency]);
		out->append(fTsv ? "\t" : kCodeSeparator);
	}
	out->append(amount);
	out->append(separator);
}

int32_t
ConversionPrinter::_ColumnCount() const
{
	// The amount, the euro, and the target or every other currency.
	return fTarget == kEveryCurrency ? 1 + kCurrencyCount : 3;
}
