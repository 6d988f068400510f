/*
 * The program's command line: --help, --version and the conversion mode, which prints
 * the euro line and target amounts the window would show, for scripts and terminals.
 * Built on core/ alone: it neither loads the kit nor opens the display, so it works
 * where no X server is. The window is the caller's business.
 */
#ifndef COMMAND_LINE_H
#define COMMAND_LINE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// RunCommandLine's answer when the arguments ask for the window.
constexpr int kCommandLineOpenWindow = -1;

// Exit statuses: success, a bad amount or currency (or output that could not be
// written), a command line that makes no sense.
enum { kExitSuccess = 0, kExitBadInput = 1, kExitUsage = 2 };

// Handles the arguments that follow the program's name. What a terminal should see
// goes to *out and *err. Returns kCommandLineOpenWindow for no arguments at all,
// else the exit status.
int RunCommandLine(const std::vector<std::string_view>& arguments, std::string* out,
	std::string* err);

// The same for main: writes to standard output and error and checks that it could.
int RunCommandLine(int argc, const char* const* argv);

// The row of a currency named by its ISO code or vehicle-plate code, in any case; -1
// for no currency.
int32_t FindCurrency(std::string_view code);

// Reads an amount the way the amount field reads a pasted text. Refuses, with a German
// message, what the field would not read whole: no number at all, a text whose number
// ends before the text does ("1-2"), and more than the field holds.
bool ReadCommandLineAmount(std::string_view text, std::string* amount, std::string* error);

#endif // COMMAND_LINE_H
