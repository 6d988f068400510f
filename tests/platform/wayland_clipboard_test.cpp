// The Wayland selections without a compositor: the text type a paste asks for and the bytes
// each type carries, the pipes both ways (pieces, a stalled peer, a reader that went away, a
// text too large), one selection's requests and offers over a stand-in protocol, and the
// launcher's activation token taken out of the environment.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "SelectionLimits.h"
#include "WaylandActivation.h"
#include "WaylandClipboardMimes.h"
#include "WaylandClipboardReader.h"
#include "WaylandClipboardSelection.h"
#include "WaylandClipboardWriter.h"

using namespace BPrivate;

namespace {

struct Pipe {
	int read = -1;
	int write = -1;
	Pipe()
	{
		int ends[2];
		if (pipe2(ends, O_CLOEXEC) == 0) {
			read = ends[0];
			write = ends[1];
		}
	}
	~Pipe()
	{
		for (int fd : {read, write}) {
			if (fd >= 0)
				close(fd);
		}
	}
	// Hands one end to an owner that closes it.
	int TakeRead() { return std::exchange(read, -1); }
	int TakeWrite() { return std::exchange(write, -1); }
};

std::string
Drain(int fd)
{
	fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
	std::string bytes;
	char buffer[65536];
	ssize_t count;
	while ((count = read(fd, buffer, sizeof(buffer))) > 0)
		bytes.append(buffer, (size_t)count);
	return bytes;
}

} // namespace

TEST(WaylandClipboardMimes, PasteAsksForTheBestTextType)
{
	const struct {
		std::vector<std::string> offered;
		const char* chosen;
	} cases[] = {
		{{"text/plain", "text/plain;charset=utf-8", "TEXT", "STRING", "UTF8_STRING"},
			"text/plain;charset=utf-8"},
		{{"text/html", "text/plain;charset=UTF-8"}, "text/plain;charset=UTF-8"},
		{{"STRING", "UTF8_STRING"}, "UTF8_STRING"},
		{{"TEXT", "STRING", "text/plain"}, "text/plain"},
		{{"TEXT", "STRING"}, "STRING"},
		{{"TEXT"}, "TEXT"},
		{{"image/png", "text/html", "text/uri-list"}, ""},
		{{}, ""},
	};
	for (const auto& test : cases)
		EXPECT_EQ(ChooseTextMime(test.offered), test.chosen) << test.chosen;
}

TEST(WaylandClipboardMimes, EachTypeCarriesItsEncoding)
{
	const std::string text = "12,50 \xe2\x82\xac f\xc3\xbcr";
	std::string bytes;
	for (const char* mime : kOfferedTextMimes) {
		ASSERT_TRUE(EncodeSelectionText(mime, text, &bytes)) << mime;
		EXPECT_EQ(DecodeSelectionText(mime, bytes),
			std::string(mime) == "STRING" ? "12,50 ? f\xc3\xbcr" // Latin-1 has no euro sign
										  : text)
			<< mime;
	}
	EXPECT_FALSE(EncodeSelectionText("image/png", text, &bytes));
	// Plain text without a charset that is no UTF-8 is taken for Latin-1.
	EXPECT_EQ(DecodeSelectionText("text/plain", "f\xfcr"), "f\xc3\xbcr");
	EXPECT_EQ(DecodeSelectionText("STRING", "f\xfcr"), "f\xc3\xbcr");
	EXPECT_EQ(DecodeSelectionText("image/png", "x"), "");
}

TEST(WaylandClipboardPipes, TextGoesThroughInPiecesWithoutWaiting)
{
	Pipe pipe;
	fcntl(pipe.read, F_SETFL, O_NONBLOCK);
	const std::string large(1024 * 1024, '7');
	WaylandClipboardWriter writer(pipe.TakeWrite(), large, 0);
	WaylandClipboardReader reader(pipe.TakeRead(), 0);
	// Neither side blocks on a full or an empty pipe: each round moves what fits.
	int rounds = 0;
	while (reader.State() == WaylandClipboardReader::kReading && rounds++ < 1000) {
		writer.Write(rounds);
		reader.Read(rounds);
	}
	EXPECT_GT(rounds, 2);
	EXPECT_EQ(writer.State(), WaylandClipboardWriter::kDone);
	ASSERT_EQ(reader.State(), WaylandClipboardReader::kDone);
	EXPECT_EQ(reader.Take(), large);
}

TEST(WaylandClipboardPipes, StalledPeersAreGivenUp)
{
	Pipe toReader;
	fcntl(toReader.read, F_SETFL, O_NONBLOCK);
	WaylandClipboardReader reader(toReader.TakeRead(), 0);
	// Each piece gives the writer the time-out again.
	ASSERT_EQ(write(toReader.write, "12", 2), 2);
	EXPECT_EQ(reader.Read(kSelectionTimeout - 1), WaylandClipboardReader::kReading);
	EXPECT_EQ(reader.Expire(2 * kSelectionTimeout - 2), WaylandClipboardReader::kReading);
	EXPECT_EQ(reader.Expire(2 * kSelectionTimeout - 1), WaylandClipboardReader::kTimedOut);
	EXPECT_EQ(reader.Descriptor(), -1);

	Pipe toWriter;
	WaylandClipboardWriter writer(toWriter.TakeWrite(), std::string(1024 * 1024, 'x'), 0);
	EXPECT_EQ(writer.Write(0), WaylandClipboardWriter::kWriting);
	EXPECT_FALSE(writer.Expired(kSelectionTimeout - 1));
	EXPECT_TRUE(writer.Expired(kSelectionTimeout));
}

TEST(WaylandClipboardPipes, ReaderThatWentAwayEndsTheWriteNotTheProgram)
{
	Pipe pipe;
	close(pipe.TakeRead());
	WaylandClipboardWriter writer(pipe.TakeWrite(), "12,50", 0);
	// Without SIGPIPE held back, this write would end the test program.
	EXPECT_EQ(writer.Write(0), WaylandClipboardWriter::kFailed);
	EXPECT_EQ(writer.Descriptor(), -1);
}

TEST(WaylandClipboardPipes, TextLargerThanAnyFieldIsDropped)
{
	Pipe pipe;
	fcntl(pipe.read, F_SETFL, O_NONBLOCK);
	WaylandClipboardWriter writer(pipe.TakeWrite(),
		std::string(kLargestSelectionText + 1024 * 1024, '1'), 0);
	WaylandClipboardReader reader(pipe.TakeRead(), 0);
	while (reader.State() == WaylandClipboardReader::kReading) {
		writer.Write(0);
		reader.Read(0);
	}
	EXPECT_EQ(reader.State(), WaylandClipboardReader::kTooLarge);
	EXPECT_EQ(reader.Take(), "");
	// The writer learns its reader has gone and stops.
	EXPECT_EQ(writer.Write(0), WaylandClipboardWriter::kFailed);
}

namespace {

// A selection over a stand-in protocol: what it publishes and asks for is recorded, and the
// test plays the other program's part on the pipe.
class FakeSelection : public WaylandClipboardSelection {
public:
	bool available = true;
	std::vector<uint32> published;
	std::string askedMime;
	int ownerEnd = -1; // the other program's copy of the pipe's write end

	~FakeSelection() override
	{
		if (ownerEnd >= 0)
			close(ownerEnd);
	}
	bool IsAvailable() const override { return available; }
	using WaylandClipboardSelection::_Cancelled;
	using WaylandClipboardSelection::_OfferChanged;
	using WaylandClipboardSelection::_Send;

private:
	void _Publish(uint32 serial) override { published.push_back(serial); }
	void _Receive(const std::string& mime, int fd) override
	{
		askedMime = mime;
		ownerEnd = dup(fd);
	}
};

} // namespace

TEST(WaylandClipboardSelection, PasteReadsTheOffersBestTypeWhenItArrives)
{
	FakeSelection selection;
	selection._OfferChanged(true, {"STRING", "text/plain;charset=utf-8"});
	std::vector<std::string> answers;
	auto answer = [&](const std::string& text) { answers.push_back(text); };
	selection.Request(answer, 0);
	selection.Request(answer, 0); // a second paste waits for the same answer
	EXPECT_EQ(selection.askedMime, "text/plain;charset=utf-8");
	std::vector<pollfd> descriptors;
	selection.AddDescriptors(&descriptors);
	ASSERT_EQ(descriptors.size(), 1u);
	EXPECT_EQ(descriptors[0].events, POLLIN);

	EXPECT_FALSE(selection.Serve(1));
	ASSERT_EQ(write(selection.ownerEnd, "12,5 \xe2\x82\xac", 8), 8);
	EXPECT_FALSE(selection.Serve(2));
	EXPECT_EQ(selection.UntilTimeout(2), kSelectionTimeout);
	close(std::exchange(selection.ownerEnd, -1));
	EXPECT_TRUE(selection.Serve(3));
	EXPECT_EQ(answers, std::vector<std::string>({"12,5 \xe2\x82\xac", "12,5 \xe2\x82\xac"}));
	EXPECT_EQ(selection.UntilTimeout(3), -1);
}

TEST(WaylandClipboardSelection, NothingToPasteIsAnsweredAtOnce)
{
	const struct {
		bool available;
		bool offer;
		std::vector<std::string> mimes;
	} cases[] = {
		{true, false, {}}, {true, true, {"image/png"}},
		{false, true, {"UTF8_STRING"}}, // the connection is lost
	};
	for (const auto& test : cases) {
		FakeSelection selection;
		selection.available = test.available;
		selection._OfferChanged(test.offer, test.mimes);
		int answered = 0;
		selection.Request(
			[&](const std::string& text) {
				EXPECT_EQ(text, "");
				answered++;
			},
			0);
		EXPECT_EQ(answered, 1);
		EXPECT_EQ(selection.askedMime, "");
	}
}

TEST(WaylandClipboardSelection, OwnerThatNeverAnswersCostsTheTimeOut)
{
	FakeSelection selection;
	selection._OfferChanged(true, {"UTF8_STRING"});
	std::vector<std::string> answers;
	selection.Request([&](const std::string& text) { answers.push_back(text); }, 0);
	EXPECT_FALSE(selection.Serve(kSelectionTimeout - 1));
	EXPECT_TRUE(answers.empty());
	EXPECT_TRUE(selection.Serve(kSelectionTimeout));
	EXPECT_EQ(answers, std::vector<std::string>({""}));
}

TEST(WaylandClipboardSelection, OwnTextIsOfferedUntilAnotherProgramTakesOver)
{
	FakeSelection selection;
	selection.SetText("f\xc3\xbcr 12,50", 42);
	EXPECT_EQ(selection.published, std::vector<uint32>({42}));
	std::string own;
	ASSERT_TRUE(selection.OwnText(&own));
	EXPECT_EQ(own, "f\xc3\xbcr 12,50");

	// Another program asks in two types; a type not offered gets an empty pipe.
	for (const auto& [mime, expected] :
		std::vector<std::pair<std::string, std::string>>{{"UTF8_STRING", "f\xc3\xbcr 12,50"},
			{"STRING", "f\xfcr 12,50"}, {"image/png", ""}}) {
		Pipe pipe;
		selection._Send(mime, pipe.TakeWrite(), 0);
		selection.Serve(0);
		EXPECT_EQ(Drain(pipe.read), expected) << mime;
	}

	selection._Cancelled();
	EXPECT_FALSE(selection.OwnText(&own));

	// Without the protocol the text stays within the program.
	FakeSelection alone;
	alone.available = false;
	alone.SetText("7", 1);
	EXPECT_TRUE(alone.published.empty());
	EXPECT_TRUE(alone.OwnText(&own));
	EXPECT_EQ(own, "7");
}

TEST(WaylandActivation, LauncherTokenLeavesTheEnvironmentAtOnce)
{
	const struct {
		const char* value; // nullptr: not set
		const char* token;
	} cases[] = {
		{"kwin-1234_TIME5678", "kwin-1234_TIME5678"},
		{"", ""},
		{nullptr, ""},
	};
	for (const auto& test : cases) {
		if (test.value != nullptr)
			setenv("XDG_ACTIVATION_TOKEN", test.value, 1);
		else
			unsetenv("XDG_ACTIVATION_TOKEN");
		EXPECT_EQ(WaylandActivation::TakeStartupToken(), test.token);
		EXPECT_EQ(getenv("XDG_ACTIVATION_TOKEN"), nullptr) << test.token;
	}
}

TEST(WaylandClipboardSelection, PasteAfterTheSelectionChangedReadsTheNewOne)
{
	FakeSelection selection;
	selection._OfferChanged(true, {"UTF8_STRING"});
	std::vector<std::string> answers;
	auto answer = [&](const std::string& text) { answers.push_back(text); };
	selection.Request(answer, 0);
	const int first = std::exchange(selection.ownerEnd, -1);
	// Another program takes the clipboard while the first answer is still coming.
	selection._OfferChanged(true, {"STRING"});
	selection.Request(answer, 0);
	EXPECT_EQ(selection.askedMime, "STRING");
	ASSERT_GE(selection.ownerEnd, 0);
	ASSERT_EQ(write(selection.ownerEnd, "f\xfcr", 3), 3);
	close(std::exchange(selection.ownerEnd, -1));
	// The later paste's text is there first, but waits: pastes land in the order asked for.
	EXPECT_FALSE(selection.Serve(1));
	EXPECT_TRUE(answers.empty());
	ASSERT_EQ(write(first, "12,5", 4), 4);
	close(first);
	EXPECT_TRUE(selection.Serve(2));
	EXPECT_EQ(answers, std::vector<std::string>({"12,5", "f\xc3\xbcr"}));
}
