// How the command line prints the conversion of one amount: the single form one line per
// currency, the list form one row per amount. Either as code and amount ("EUR  51.129188 . . .")
// or, with --tsv, tab-separated without the " . . .". Keeps its texts between calls, so
// a long list converts without new allocations for each row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Conversion.h"

// For target: every currency in the list's order after the euro.
constexpr int32_t kEveryCurrency = -1;

class ConversionPrinter {
public:
	ConversionPrinter(int32_t source, int32_t target, int32_t rounding, bool tsv);

	int32_t Source() const { return fSource; }
	bool Tsv() const { return fTsv; }

	// The single form: "EUR  51.129188 . . .\nFRF  335.39\n".
	void AppendLines(std::string_view amount, std::string* out);
	// The list form: "EUR  51.129188 . . .  FRF  335.39\n", or with --tsv
	// "100\t51.129188\t335.39\n" (the amount as read first).
	void AppendRow(std::string_view amount, std::string* out);
	// The --tsv header naming the row's columns.
	void AppendHeader(std::string* out) const;
	// A row for a line that could not be read: the line, and with --tsv empty fields.
	void AppendUnreadRow(std::string_view line, std::string* out) const;

private:
	void _Convert(std::string_view amount, int32_t target);
	void _AppendField(int32_t currency, const std::string& text, const char* separator,
		std::string* out) const;
	int32_t _ColumnCount() const;

	int32_t fSource;
	int32_t fTarget;
	int32_t fRounding;
	bool fTsv;
	ConversionTexts fTexts;
};
