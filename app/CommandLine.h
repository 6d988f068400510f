// The program's command line: --help, --version and the conversion mode, which prints
// the euro line and target amounts the window would show, for scripts and terminals,
// for one amount or for a list of them on standard input.
// Built on core/ alone: it neither loads the kit nor opens the display, so it works
// where no X server is. The window is the caller's business.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "AmountList.h"

// RunCommandLine's answer when the arguments ask for the window.
constexpr int kCommandLineOpenWindow = -1;

// Exit statuses: success, a bad amount or currency (or output that could not be
// written), a command line that makes no sense.
enum { kExitSuccess = 0, kExitBadInput = 1, kExitUsage = 2 };

// Handles the arguments that follow the program's name. What a terminal should see
// goes to *out and *err. Returns kCommandLineOpenWindow for no arguments at all,
// else the exit status. The single form only: "-" is read here as an amount, and refused.
int RunCommandLine(const std::vector<std::string_view>& arguments, std::string* out,
	std::string* err);

// The same on file descriptors, the list form included: checks that the output could be
// written.
int RunCommandLine(const std::vector<std::string_view>& arguments,
	const CommandLineStreams& streams);

// The same for main, on the standard streams.
int RunCommandLine(int argc, const char* const* argv);

// The row of a currency named by its ISO code or vehicle-plate code, in any case; -1
// for no currency.
int32_t FindCurrency(std::string_view code);

// Reads an amount that is one number in a form a paste reads, optionally with a currency
// beside it ("1.234,50 DM"), as [-]digits[.digits]. Refuses, with a German message, all
// else: no number, an exponent, hex, a letter at the number, a second number, a line
// break, more than the field holds, and a currency code other than source's (when
// source is a currency).
bool ReadCommandLineAmount(std::string_view text, std::string* amount, std::string* error,
	int32_t source = -1);
