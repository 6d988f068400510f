#include "CommandLine.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <unistd.h>

#include "AmountInput.h"
#include "ConversionPrinter.h"
#include "CurrencyTable.h"
#include "StrictAmount.h"

#ifndef KAMBO_VERSION
#define KAMBO_VERSION "unbekannt"
#endif

namespace {

// ReadArguments' answer when --help or --version has been answered.
constexpr int kCommandLineDone = -2;

const char kUsage[] = "Aufruf: kambolux [BETRAG VON [NACH]] [--runden 3|4] [--tsv]\n"
					  "        kambolux - VON [NACH] [--runden 3|4] [--tsv]\n"
					  "        kambolux --help | --version\n";

const char kHelp[] =
	"Rechnet Beträge zwischen dem Euro und den 21 Landeswährungen um, die er\n"
	"ersetzt hat: den zwölf von 1999 und 2001 und den neun von 2007 bis 2026.\n"
	"Ohne Argumente öffnet sich das Fenster.\n"
	"\n"
	"  BETRAG        genau eine Zahl, wie sie das Betragsfeld beim Einfügen liest:\n"
	"                1234.50, 1.234,50, 1 234,50, -5 oder 1.234,50-, auch mit einer\n"
	"                Währung daneben (12 DM, € 5); nicht 1e5, 0x10 oder 100 EUR 50\n"
	"  -             statt BETRAG: Beträge von der Standardeingabe, einer je Zeile\n"
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
	"Mit - wird jede Eingabezeile zu genau einer Ausgabezeile, in derselben\n"
	"Reihenfolge: die Zeilen eines Betrags durch zwei Leerzeichen verbunden\n"
	"(EUR  51.129188 . . .  FRF  335.39), mit --tsv nach einer Kopfzeile der\n"
	"gelesene Betrag und die Beträge durch Tabulator getrennt. Eine leere Zeile\n"
	"bleibt leer. Eine ungültige Zeile steht unverändert da (mit --tsv mit leeren\n"
	"Feldern), ihre Nummer steht auf der Standardfehlerausgabe, der Exit-Status ist 1.\n"
	"\n"
	"Exit-Status: 0 gelungen, 1 ungültiger Betrag, unbekannte Währung oder\n"
	"Ausgabe nicht möglich, 2 falscher Aufruf.\n";

// What the conversion mode was asked to do.
struct Request {
	std::vector<std::string_view> operands;
	int32_t rounding = kRoundNone;
	bool tsv = false;
};

// What the list form's "-" stands in place of.
const char kListOperand[] = "-";

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

// Why a reading was refused, after "Ungültiger Betrag: TEXT".
const char*
RefusalReason(AmountRefusal refusal)
{
	switch (refusal) {
		case AmountRefusal::kNone:
		case AmountRefusal::kNoNumber:
			return "keine Zahl";
		case AmountRefusal::kLineBreak:
			return "Zeilenumbruch im Betrag";
		case AmountRefusal::kExponent:
			return "Exponentschreibweise wie 1e5 wird nicht gelesen";
		case AmountRefusal::kHexadecimal:
			return "Hexadezimalzahlen werden nicht gelesen";
		case AmountRefusal::kLetterAtNumber:
			return "Buchstabe direkt an der Zahl; eine Währung mit Leerzeichen abtrennen";
		case AmountRefusal::kSecondNumber:
			return "mehr als eine Zahl";
		case AmountRefusal::kBadGroups:
			return "Tausender- und Dezimalzeichen passen nicht zusammen";
		case AmountRefusal::kUnknownText:
			break;
	}
	return "neben der Zahl nur ein Währungscode wie DEM oder ein Zeichen wie €";
}

// The currency an amount names by its ISO code or the euro sign; -1 for none or another word
// ("DM", "Fr"). Plate codes are left out: "100 E" is no Spanish amount.
int32_t
CurrencyOfUnit(std::string_view unit)
{
	if (unit == "\xE2\x82\xAC" || (unit.size() == 4 && strncasecmp(unit.data(), "Euro", 4) == 0))
		return kEuroIndex;
	for (int32_t i = 0; i < kCurrencyCount; i++) {
		if (unit.size() == strlen(ISOCode[i])
			&& strncasecmp(unit.data(), ISOCode[i], unit.size()) == 0)
			return i;
	}
	return -1;
}

// Reads the currencies; reports an unknown one.
bool
ReadCurrencies(const Request& request, int32_t* source, int32_t* target, std::string* err)
{
	int32_t currencies[2] = {-1, kEveryCurrency};
	for (size_t i = 1; i < request.operands.size(); i++) {
		currencies[i - 1] = FindCurrency(request.operands[i]);
		if (currencies[i - 1] < 0) {
			*err += "kambolux: Unbekannte Währung: " + Shown(request.operands[i])
				+ " (ISO-Code wie DEM oder Kennzeichen wie D)\n";
			return false;
		}
	}
	*source = currencies[0];
	*target = currencies[1];
	return true;
}

int
Convert(const Request& request, std::string* out, std::string* err)
{
	int32_t source;
	int32_t target;
	if (!ReadCurrencies(request, &source, &target, err))
		return kExitBadInput;
	std::string amount;
	std::string error;
	if (!ReadCommandLineAmount(request.operands[0], &amount, &error, source)) {
		*err += "kambolux: " + error + "\n";
		return kExitBadInput;
	}
	ConversionPrinter printer(source, target, request.rounding, request.tsv);
	printer.AppendLines(amount, out);
	return kExitSuccess;
}

// Fills *request; returns kExitSuccess to go on, or the status to end with.
int
ReadArguments(const std::vector<std::string_view>& arguments, Request* request, std::string* out,
	std::string* err)
{
	bool optionsEnded = false;
	for (size_t i = 0; i < arguments.size(); i++) {
		const std::string_view argument = arguments[i];
		if (optionsEnded || !IsOption(argument)) {
			request->operands.push_back(argument);
		} else if (argument == "--") {
			optionsEnded = true;
		} else if (argument == "--help" || argument == "-h") {
			*out += kUsage;
			*out += kHelp;
			return kCommandLineDone;
		} else if (argument == "--version") {
			*out += "ZQ Kambo-Lux " KAMBO_VERSION "\n";
			return kCommandLineDone;
		} else if (argument == "--tsv") {
			request->tsv = true;
		} else if (argument == "--runden" || argument.starts_with("--runden=")) {
			std::string_view value;
			if (argument.size() > strlen("--runden"))
				value = argument.substr(strlen("--runden="));
			else if (i + 1 < arguments.size())
				value = arguments[++i];
			else
				return UsageError("--runden ohne Stellenzahl (3 oder 4)", err);
			if (!ReadRounding(value, &request->rounding))
				return UsageError("--runden " + Shown(value) + ": nur 3 oder 4 Stellen", err);
		} else {
			return UsageError("Unbekannte Option: " + Shown(argument), err);
		}
	}

	if (request->operands.size() < 2)
		return UsageError("Betrag und Ausgangswährung fehlen", err);
	if (request->operands.size() > 3)
		return UsageError("zu viele Argumente: " + Shown(request->operands[3]), err);
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
ReadCommandLineAmount(std::string_view text, std::string* amount, std::string* error,
	int32_t source)
{
	StrictAmount read;
	const AmountRefusal refusal = ReadStrictAmount(text, &read);
	if (refusal != AmountRefusal::kNone) {
		*error = "Ungültiger Betrag: " + Shown(text) + " (" + RefusalReason(refusal) + ")";
		return false;
	}
	const int32_t named = CurrencyOfUnit(read.unit);
	if (source >= 0 && named >= 0 && named != source) {
		// "100 FRF" converted from DEM would be a plainly wrong figure.
		*error = "Ungültiger Betrag: " + Shown(text) + " (in " + ISOCode[named]
			+ ", umgerechnet wird aus " + ISOCode[source] + ")";
		return false;
	}
	if (read.number.size() > kAmountMaxTypedBytes) {
		*error = "Betrag zu lang: " + Shown(text) + " (höchstens "
			+ std::to_string(kAmountMaxTypedBytes) + " Zeichen, wie im Fenster)";
		return false;
	}
	*amount = read.number;
	return true;
}

int
RunCommandLine(const std::vector<std::string_view>& arguments, std::string* out, std::string* err)
{
	if (arguments.empty())
		return kCommandLineOpenWindow;
	Request request;
	const int status = ReadArguments(arguments, &request, out, err);
	if (status != kExitSuccess)
		return status == kCommandLineDone ? kExitSuccess : status;
	return Convert(request, out, err);
}

int
RunCommandLine(const std::vector<std::string_view>& arguments, const CommandLineStreams& streams)
{
	if (arguments.empty())
		return kCommandLineOpenWindow;
	std::string out;
	std::string err;
	Request request;
	int status = ReadArguments(arguments, &request, &out, &err);
	if (status == kCommandLineDone)
		status = kExitSuccess;
	else if (status == kExitSuccess && request.operands[0] == kListOperand) {
		int32_t source;
		int32_t target;
		if (!ReadCurrencies(request, &source, &target, &err)) {
			(void)WriteAll(streams.error, err);
			return kExitBadInput;
		}
		ConversionPrinter printer(source, target, request.rounding, request.tsv);
		return ConvertAmountList(&printer, streams);
	} else if (status == kExitSuccess)
		status = Convert(request, &out, &err);

	(void)WriteAll(streams.error, err);
	// A full disk or a closed pipe must not pass for a conversion that was printed.
	if (!WriteAll(streams.output, out)) {
		const std::string failed = std::string("kambolux: Ausgabe fehlgeschlagen: ")
			+ strerror(errno) + "\n";
		(void)WriteAll(streams.error, failed);
		return status == kExitSuccess ? kExitBadInput : status;
	}
	return status;
}

int
RunCommandLine(int argc, const char* const* argv)
{
	if (argc <= 1)
		return kCommandLineOpenWindow;
	// A closed pipe is a write error to report, not a silent death halfway through a list.
	signal(SIGPIPE, SIG_IGN);
	std::vector<std::string_view> arguments;
	for (int i = 1; i < argc; i++)
		arguments.emplace_back(argv[i]);
	return RunCommandLine(arguments,
		CommandLineStreams{STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO});
}
