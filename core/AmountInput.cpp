#include "AmountInput.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>

std::string
FilterAmountInput(const char* text, size_t length)
{
	std::string filtered;
	if (text == nullptr)
		return filtered;

	filtered.reserve(length);
	for (size_t i = 0; i < length && text[i] != '\0'; i++) {
		const char c = text[i];
		if ((c >= '0' && c <= '9') || c == '.' || c == '-')
			filtered.push_back(c);
		else if (c == ',')
			filtered.push_back('.');
		else if (length - i >= kUnicodeMinusLength
			&& memcmp(text + i, kUnicodeMinus, kUnicodeMinusLength) == 0) {
			// Typesetting and spreadsheets write a minus as U+2212: dropped, -5 became 5.
			filtered.push_back('-');
			i += kUnicodeMinusLength - 1;
		}
	}
	return filtered;
}

double
ParseAmount(const char* text)
{
	if (text == nullptr || text[0] == '\0')
		return 0;

	// strtod itself reads the whole numeric beginning in one pass and keeps
	// only what decides the nearest double, so even a text of megabytes costs
	// no more than a scan of it. A point is the decimal separator whatever
	// locale the process was started in.
	static const locale_t sCLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
	if (sCLocale != locale_t(0))
		return strtod_l(text, nullptr, sCLocale);
	return strtod(text, nullptr);
}
