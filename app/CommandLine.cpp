#include "CommandLine.h"

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "AmountInput.h"
#include "Conversion.h"
#include "CurrencyTable.h"

#ifndef KAMBO_VERSION
#define KAMBO_VERSION "unbekannt"
#endif

namespace {

const char kUsage[] = "Aufruf: kambolux [BETRAG VON [NACH]] [--runden 3|4] [--tsv]\n"
					  "        kambolux --help | --version\n";

const char kHelp[] =
	"Rechnet Beträge zwischen dem Euro und den 21 Landeswährungen um, die er\n"
	"ersetzt hat: den zwölf von 1999 und 2001 und den neun von 2007 bis 2026.\n"
	"Ohne Argumente öffnet sich das Fenster.\n"
	"\n"
	"  BETRAG        der Betrag, wie ihn das Betragsfeld liest: 1234.50, 1.234,50,\n"
	"                1 234,50 oder -5\n"
	"  VON, NACH     Währungen nach ISO-Code (DEM, FRF, BGN, EUR, ...) oder\n"
	"                Länderkennzeichen (D, F, BG, ...), groß oder klein geschrieben\n"
	"  --runden N    den Euro-Betrag auf N = 3 oder 4 Stellen runden (nur zwischen\n"
	"                zwei Landeswährungen, wie im Fenster)\n"
	"  --tsv         Code und Betrag durch Tabulator getrennt, ohne \" . . .\"\n"
	"  --help        diese Hilfe\n"
	"  --version     die Version\n"
	"\n"
	"Mit NACH stehen der Euro-Betrag und der Betrag in NACH auf je einer Zeile,\n"
	"ohne NACH der Betrag in jeder Währung, in der Reihenfolge der Währungsliste.\n"
	"\n"
	"Exit-Status: 0 gelungen, 1 ungültiger Betrag oder unbekannte Währung,\n"
	"2 falscher Aufruf.\n";

const char kUnroundedSuffix[] = " . . .";

// What the conversion mode was asked to do.
struct Request {
	std::vector<std::string_view> operands;
	int32_t rounding = kRoundNone;
	bool tsv = false;
};

// An argument as it may be echoed in a message: control bytes would steer the terminal.
std::string
Shown(std::string_view text)
{
	const size_t kShownBytes = 40;
	std::string shown;
	for (size_t i = 0; i < text.size() && i < kShownBytes; i++)
		shown += (unsigned char)text[i] < 0x20 || text[i] == 0x7f ? '?' : text[i];
	if (text.size() > kShownBytes)
		shown += "...";
	return shown;
}

int
UsageError(const std::string& message, std::string* err)
{
	*err += "kambolux: " + message + "\n" + kUsage;
	return kExitUsage;
}

// "-5" and "-,5" are amounts, not options.
bool
IsOption(std::string_view argument)
{
	if (argument.size() < 2 || argument[0] != '-')
		return false;
	const char next = argument[1];
	return !(next >= '0' && next <= '9') && next != '.' && next != ',';
}

bool
ReadRounding(std::string_view value, int32_t* rounding)
{
	if (value == "3")
		*rounding = kRoundThree;
	else if (value == "4")
		*rounding = kRoundFour;
	else
		return false;
	return true;
}

void
AppendLine(const Request& request, int32_t currency, const std::string& text, std::string* out)
{
	std::string amount = text;
	const size_t suffix = strlen(kUnroundedSuffix);
	if (request.tsv && amount.size() >= suffix
		&& amount.compare(amount.size() - suffix, suffix, kUnroundedSuffix) == 0)
		amount.resize(amount.size() - suffix);
	*out += ISOCode[currency];
	*out += request.tsv ? "\t" : "  ";
	*out += amount;
	*out += '\n';
}

// As in the window: the euro amount is rounded only between two national currencies. With the
// euro on either side a rounded euro, rounded again to the cent, can be a cent off
// (0.44 DEM: 0.224968... euro, 0.2250 with four places, then 0.23 instead of 0.22).
int32_t
RoundingBetween(int32_t source, int32_t target, int32_t requested)
{
	return source == kEuroIndex || target == kEuroIndex ? int32_t(kRoundNone) : requested;
}

int
Convert(const Request& request, std::string* out, std::string* err)
{
	std::string amount;
	std::string error;
	if (!ReadCommandLineAmount(request.operands[0], &amount, &error)) {
		*err += "kambolux: " + error + "\n";
		return kExitBadInput;
	}
	int32_t currencies[2] = {-1, -1};
	for (size_t i = 1; i < request.operands.size(); i++) {
		currencies[i - 1] = FindCurrency(request.operands[i]);
		if (currencies[i - 1] < 0) {
			*err += "kambolux: Unbekannte Währung: " + Shown(request.operands[i])
				+ " (ISO-Code wie DEM oder Kennzeichen wie D)\n";
			return kExitBadInput;
		}
	}

	const int32_t source = currencies[0];
	const bool allTargets = request.operands.size() == 2;
	ConversionTexts texts;
	const int32_t target = allTargets ? source : currencies[1];
	bool converted = ConvertAmount(amount, source, target,
		RoundingBetween(source, target, request.rounding), &texts);
	(void)converted;
	assert(converted);
	AppendLine(request, kEuroIndex, texts.euroLine, out);
	if (!allTargets) {
		AppendLine(request, currencies[1], texts.target, out);
		return kExitSuccess;
	}
	for (int32_t each = 0; each < kCurrencyCount; each++) {
		if (each == kEuroIndex)
			continue;
		ConvertAmount(amount, source, each, RoundingBetween(source, each, request.rounding),
			&texts);
		AppendLine(request, each, texts.target, out);
	}
	return kExitSuccess;
}

} // namespace

int32_t
FindCurrency(std::string_view code)
{
	for (int32_t i = 0; i < kCurrencyCount; i++) {
		for (const char* known : {ISOCode[i], Oval[i]}) {
			if (code.size() == strlen(known) && strncasecmp(code.data(), known, code.size()) == 0)
				return i;
		}
	}
	return -1;
}

bool
ReadCommandLineAmount(std::string_view text, std::string* amount, std::string* error)
{
	const std::string read = ReadPastedAmount(text.data(), text.size());
	// The field reads [-]digits[.digits] and ignores the rest; here the rest is an error,
	// since a script would never see that part of its amount dropped.
	size_t i = !read.empty() && read[0] == '-' ? 1 : 0;
	size_t digits = 0;
	bool point = false;
	for (; i < read.size(); i++) {
		if (read[i] >= '0' && read[i] <= '9')
			digits++;
		else if (read[i] == '.' && !point)
			point = true;
		else
			break;
	}
	if (digits == 0 || i != read.size()) {
		*error = "Ungültiger Betrag: " + Shown(text);
		return false;
	}
	if (read.size() > kAmountMaxTypedBytes) {
		*error = "Betrag zu lang: " + Shown(text) + " (höchstens "
			+ std::to_string(kAmountMaxTypedBytes) + " Zeichen, wie im Fenster)";
		return false;
	}
	*amount = read;
	return true;
}

int
RunCommandLine(const std::vector<std::string_view>& arguments, std::string* out, std::string* err)
{
	if (arguments.empty())
		return kCommandLineOpenWindow;

	Request request;
	bool optionsEnded = false;
	for (size_t i = 0; i < arguments.size(); i++) {
		const std::string_view argument = arguments[i];
		if (optionsEnded || !IsOption(argument)) {
			request.operands.push_back(argument);
		} else if (argument == "--") {
			optionsEnded = true;
		} else if (argument == "--help" || argument == "-h") {
			*out += kUsage;
			*out += kHelp;
			return kExitSuccess;
		} else if (argument == "--version") {
			*out += "ZQ Kambo-Lux " KAMBO_VERSION "\n";
			return kExitSuccess;
		} else if (argument == "--tsv") {
			request.tsv = true;
		} else if (argument == "--runden" || argument.starts_with("--runden=")) {
			std::string_view value;
			if (argument.size() > strlen("--runden"))
				value = argument.substr(strlen("--runden="));
			else if (i + 1 < arguments.size())
				value = arguments[++i];
			else
				return UsageError("--runden ohne Stellenzahl (3 oder 4)", err);
			if (!ReadRounding(value, &request.rounding))
				return UsageError("--runden " + Shown(value) + ": nur 3 oder 4 Stellen", err);
		} else {
			return UsageError("Unbekannte Option: " + Shown(argument), err);
		}
	}

	if (request.operands.size() < 2)
		return UsageError("Betrag und Ausgangswährung fehlen", err);
	if (request.operands.size() > 3)
		return UsageError("zu viele Argumente: " + Shown(request.operands[3]), err);
	return Convert(request, out, err);
}

int
RunCommandLine(int argc, const char* const* argv)
{
	std::vector<std::string_view> arguments;
	for (int i = 1; i < argc; i++)
		arguments.emplace_back(argv[i]);
	std::string out;
	std::string err;
	int status = RunCommandLine(arguments, &out, &err);
	if (status == kCommandLineOpenWindow)
		return status;

	fwrite(err.data(), 1, err.size(), stderr);
	// A full disk or a closed pipe must not pass for a conversion that was printed.
	if (fwrite(out.data(), 1, out.size(), stdout) != out.size() || fflush(stdout) != 0) {
		fprintf(stderr, "kambolux: Ausgabe fehlgeschlagen: %s\n", strerror(errno));
		return status == kExitSuccess ? kExitBadInput : status;
	}
	return status;
}
