// The list form on real file descriptors: rows in the input's order, bad lines in their
// place, their numbers on standard error, and output that cannot be written.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

#include "CurrencyTable.h"

namespace {

// An in-memory file holding text, positioned at its start.
int
MemoryFile(const std::string& text)
{
	const int fd = memfd_create("list", 0);
	EXPECT_EQ(write(fd, text.data(), text.size()), (ssize_t)text.size());
	lseek(fd, 0, SEEK_SET);
	return fd;
}

std::string
Contents(int fd)
{
	std::string text(lseek(fd, 0, SEEK_END), '\0');
	EXPECT_EQ(pread(fd, text.data(), text.size(), 0), (ssize_t)text.size());
	return text;
}

struct ListRun {
	int status;
	std::string out;
	std::string err;
};

ListRun
RunList(const std::vector<std::string_view>& arguments, const std::string& input)
{
	const CommandLineStreams streams = {MemoryFile(input), MemoryFile(""), MemoryFile("")};
	ListRun run;
	run.status = RunCommandLine(arguments, streams);
	run.out = Contents(streams.output);
	run.err = Contents(streams.error);
	for (int fd : {streams.input, streams.output, streams.error})
		close(fd);
	return run;
}

const std::string kMixed = "100\n"
						   "\n"
						   "1e5\r\n"
						   "1.234,50 DM\r\n"
						   "abc\tdef\n"
	+ std::string(3000, '7') + "\n" + "-5"; // no line break at the end

} // namespace

TEST(AmountList, KeepsEveryLineInItsPlace)
{
	const struct {
		std::vector<std::string_view> arguments;
		const char* out;
	} kCases[] = {
		{{"-", "DEM", "FRF"},
			"EUR  51.129188 . . .  FRF  335.39\n"
			"\n"
			"1e5\n"
			"EUR  631.189827 . . .  FRF  4140.33\n"
			"abc\tdef\n"
			"7777777777\n" // the first part of the over-long line, checked below
			"EUR  -2.556459 . . .  FRF  -16.77\n"},
		{{"--tsv", "-", "d", "f", "--runden", "3"},
			"Betrag\tEUR\tFRF\n"
			"100\t51.129\t335.38\n"
			"\n"
			"1e5\t\t\n"
			"1234.50\t631.190\t4140.33\n"
			"abc def\t\t\n"
			"7777777777\t\t\n"
			"-5\t-2.556\t-16.77\n"},
	};
	for (const auto& c : kCases) {
		ListRun run = RunList(c.arguments, kMixed);
		EXPECT_EQ(run.status, kExitBadInput);
		// The over-long line is echoed cut to the limit; compare its first digits only.
		const std::string longLine(kListLineMaxBytes, '7');
		const size_t at = run.out.find(longLine);
		ASSERT_NE(at, std::string::npos) << run.out;
		EXPECT_EQ(run.out.find(longLine + "7"), std::string::npos);
		run.out.erase(at + 10, kListLineMaxBytes - 10);
		EXPECT_EQ(run.out, c.out);
		EXPECT_EQ(run.err,
			"kambolux: Zeile 3: Ungültiger Betrag: 1e5 (Exponentschreibweise wie 1e5 wird nicht "
			"gelesen)\n"
			"kambolux: Zeile 5: Ungültiger Betrag: abc?def (keine Zahl)\n"
			"kambolux: Zeile 6: Zeile zu lang (höchstens 1024 Zeichen)\n");
	}
}

TEST(AmountList, EveryCurrencyWithoutTarget)
{
	ListRun run = RunList({"-", "EUR", "--tsv"}, "1\n2,5\n");
	EXPECT_EQ(run.status, kExitSuccess) << run.err;
	EXPECT_EQ(run.err, "");
	std::string header = "Betrag\tEUR";
	for (int32_t i = 1; i < kCurrencyCount; i++)
		header += std::string("\t") + ISOCode[i];
	ASSERT_TRUE(run.out.starts_with(header + "\n" + "1\t1.000000\t40.34\t1.96\t")) << run.out;
	EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3);
	EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\t'), 3 * kCurrencyCount);
}

// Nothing is read when the currencies are wrong; an empty input gives the header alone.
TEST(AmountList, ChecksTheCurrenciesFirst)
{
	ListRun run = RunList({"-", "XYZ"}, "100\n");
	EXPECT_EQ(run.status, kExitBadInput);
	EXPECT_EQ(run.out, "");
	EXPECT_NE(run.err.find("Unbekannte Währung: XYZ"), std::string::npos) << run.err;

	run = RunList({"-", "DEM", "EUR", "--tsv"}, "");
	EXPECT_EQ(run.status, kExitSuccess);
	EXPECT_EQ(run.out, "Betrag\tEUR\tEUR\n");
}

// A full disk or a closed pipe ends the list at once, with a message and status 1.
TEST(AmountList, StopsAtAWriteError)
{
	signal(SIGPIPE, SIG_IGN);
	std::string input;
	for (int i = 0; i < 100000; i++)
		input += "1234,56\n";
	int closedPipe[2];
	ASSERT_EQ(pipe(closedPipe), 0);
	close(closedPipe[0]);
	for (const int output : {open("/dev/full", O_WRONLY), closedPipe[1]}) {
		ASSERT_GE(output, 0);
		const CommandLineStreams streams = {MemoryFile(input), output, MemoryFile("")};
		EXPECT_EQ(RunCommandLine({"-", "DEM", "FRF"}, streams), kExitBadInput);
		EXPECT_NE(Contents(streams.error).find("Ausgabe fehlgeschlagen"), std::string::npos);
		// It stopped at the first failed write instead of converting the rest for nothing.
		EXPECT_LT(lseek(streams.input, 0, SEEK_CUR), (off_t)input.size());
		close(streams.input);
		close(streams.error);
		close(output);
	}
}

// In a pipe each row comes out while the input still waits for its next line, also when the
// pipe was left non-blocking.
TEST(AmountList, WritesWhenTheInputPauses)
{
	int input[2];
	int output[2];
	ASSERT_EQ(pipe2(input, O_NONBLOCK), 0);
	ASSERT_EQ(pipe(output), 0);
	const CommandLineStreams streams = {input[0], output[1], MemoryFile("")};
	std::thread list([&] { EXPECT_EQ(RunCommandLine({"-", "DEM", "FRF"}, streams), 0); });

	EXPECT_EQ(write(input[1], "100\n", 4), 4);
	// A guard against a hang, not a measurement: the row is due long before it.
	pollfd ready = {output[0], POLLIN, 0};
	char row[64] = {};
	if (poll(&ready, 1, 30000) == 1) {
		EXPECT_GT(read(output[0], row, sizeof(row) - 1), 0);
	}
	EXPECT_STREQ(row, "EUR  51.129188 . . .  FRF  335.39\n") << "no row while the input was open";

	close(input[1]);
	list.join();
	for (int fd : {input[0], output[0], output[1], streams.error})
		close(fd);
}
