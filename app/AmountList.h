// The command line's list form: amounts from a stream, one per line, each converted onto
// one output line in the same order. Streams: memory stays the same whatever the input's
// length, and what is converted is written as soon as the input pauses, so the program
// serves in a pipe. A line that cannot be read keeps its place in the output.
#pragma once

#include <cstddef>
#include <string_view>

class ConversionPrinter;

// Longer lines are no amount: they are refused, and read on to their end without being kept.
constexpr size_t kListLineMaxBytes = 1024;

struct CommandLineStreams {
	int input;
	int output;
	int error;
};

// Converts every line of streams.input. Returns 0, or 1 when a line could not be read (its
// number said on streams.error) or the output could not be written (then at once).
int ConvertAmountList(ConversionPrinter* printer, const CommandLineStreams& streams);

// Writes all of text, through interruptions; false, with errno set, when it cannot.
bool WriteAll(int fd, std::string_view text);
