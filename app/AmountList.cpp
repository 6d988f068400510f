#include "AmountList.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "CommandLine.h"
#include "ConversionPrinter.h"

namespace {

constexpr size_t kReadBytes = 64 * 1024;
// Written in pieces of about this size while the input keeps coming; a row is far shorter.
constexpr size_t kWriteBytes = 64 * 1024;

// True when a read would not wait: more input, its end or an error.
bool
InputWaiting(int fd)
{
	pollfd request = {fd, POLLIN, 0};
	int ready;
	do
		ready = poll(&request, 1, 0);
	while (ready < 0 && errno == EINTR);
	return ready != 0;
}

// A stream that a parent left non-blocking answers EAGAIN instead of waiting.
bool
WaitFor(int fd, short events)
{
	if (errno != EAGAIN && errno != EWOULDBLOCK)
		return false;
	pollfd request = {fd, events, 0};
	while (poll(&request, 1, -1) < 0) {
		if (errno != EINTR)
			return false;
	}
	return true;
}

bool
IsBlank(std::string_view line)
{
	return line.find_first_not_of(" \t") == std::string_view::npos;
}

class ListRun {
public:
	ListRun(ConversionPrinter* printer, const CommandLineStreams& streams) :
		fPrinter(printer),
		fStreams(streams)
	{
		fOut.reserve(kWriteBytes + kListLineMaxBytes * 4);
		fPending.reserve(kListLineMaxBytes);
	}

	int Run()
	{
		if (fPrinter->Tsv())
			fPrinter->AppendHeader(&fOut);
		std::vector<char> buffer(kReadBytes);
		for (;;) {
			if (!InputWaiting(fStreams.input) && !_Flush())
				return kExitBadInput;
			const ssize_t got = read(fStreams.input, buffer.data(), buffer.size());
			if (got < 0 && (errno == EINTR || WaitFor(fStreams.input, POLLIN)))
				continue;
			if (got < 0) {
				_Say(std::string("Eingabe fehlgeschlagen: ") + strerror(errno));
				fFailed = true;
				break;
			}
			if (got == 0)
				break;
			_Take(std::string_view(buffer.data(), got));
			if (fWriteFailed)
				return kExitBadInput;
		}
		// A last line without its line break is a line all the same.
		if (!fPending.empty() || fOverLong)
			_EndLine(fPending);
		if (!_Flush())
			return kExitBadInput;
		return fFailed ? kExitBadInput : kExitSuccess;
	}

private:
	// Whole lines are converted where they lie; only a line cut by the read is copied.
	void _Take(std::string_view chunk)
	{
		while (!chunk.empty() && !fWriteFailed) {
			const size_t end = chunk.find('\n');
			const std::string_view piece = chunk.substr(0, end);
			if (end == std::string_view::npos) {
				_Keep(piece);
				return;
			}
			if (fPending.empty() && !fOverLong)
				_EndLine(piece);
			else {
				_Keep(piece);
				_EndLine(fPending);
			}
			chunk.remove_prefix(end + 1);
		}
	}

	void _Keep(std::string_view piece)
	{
		const size_t room = kListLineMaxBytes - fPending.size();
		if (piece.size() > room)
			fOverLong = true;
		fPending.append(piece.substr(0, room));
	}

	void _EndLine(std::string_view line)
	{
		fLineNumber++;
		// A Windows price list ends its lines with CR LF.
		if (line.ends_with('\r'))
			line.remove_suffix(1);
		if (fOverLong || line.size() > kListLineMaxBytes) {
			_Refuse(line.substr(0, kListLineMaxBytes),
				"Zeile zu lang (höchstens " + std::to_string(kListLineMaxBytes) + " Zeichen)");
		} else if (IsBlank(line))
			fOut.push_back('\n');
		else if (!ReadCommandLineAmount(line, &fAmount, &fError, fPrinter->Source()))
			_Refuse(line, fError);
		else
			fPrinter->AppendRow(fAmount, &fOut);
		fPending.clear();
		fOverLong = false;
		// A read of short lines can make many times its size in rows (every currency).
		if (fOut.size() >= kWriteBytes)
			(void)_Flush();
	}

	void _Refuse(std::string_view line, const std::string& why)
	{
		fPrinter->AppendUnreadRow(line, &fOut);
		_Say("Zeile " + std::to_string(fLineNumber) + ": " + why);
		fFailed = true;
	}

	// Standard error is not checked: the exit status says the same.
	void _Say(const std::string& message)
	{
		const std::string line = "kambolux: " + message + "\n";
		(void)WriteAll(fStreams.error, line);
	}

	bool _Flush()
	{
		if (WriteAll(fStreams.output, fOut)) {
			fOut.clear();
			return true;
		}
		_Say(std::string("Ausgabe fehlgeschlagen: ") + strerror(errno));
		fWriteFailed = true;
		return false;
	}

	ConversionPrinter* fPrinter;
	CommandLineStreams fStreams;
	std::string fOut;
	std::string fPending;
	std::string fAmount;
	std::string fError;
	size_t fLineNumber = 0;
	bool fOverLong = false;
	bool fFailed = false;
	bool fWriteFailed = false;
};

} // namespace

bool
WriteAll(int fd, std::string_view text)
{
	while (!text.empty()) {
		const ssize_t written = write(fd, text.data(), text.size());
		if (written < 0 && (errno == EINTR || WaitFor(fd, POLLOUT)))
			continue;
		if (written == 0)
			errno = EIO;
		if (written <= 0)
			return false;
		text.remove_prefix(written);
	}
	return true;
}

int
ConvertAmountList(ConversionPrinter* printer, const CommandLineStreams& streams)
{
	ListRun run(printer, streams);
	return run.Run();
}
