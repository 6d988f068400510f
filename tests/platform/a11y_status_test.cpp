// The accessibility question on the session bus, served by the event loop: against a fake
// bus in this process that answers well, badly or not at all, and against a real
// dbus-daemon started for the test.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "A11yStatusClient.h"
#include "DBusWire.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "ScratchFolder.h"

using namespace BPrivate;

namespace {

std::string
Marshal(std::initializer_list<uint32> words)
{
	std::string bytes;
	for (uint32 word : words)
		bytes.append((const char*)&word, 4);
	return bytes;
}

// A reply to serial with a variant body holding the value of the given type.
std::string
VariantReply(uint32 replySerial, const char* type, uint32 value)
{
	std::string header("l\2\0\1", 4);
	std::string fields;
	fields += std::string("\5\1u\0", 4) + Marshal({replySerial});
	fields += std::string("\10\1g\0\1v\0", 7);
	std::string body = std::string(1, (char)strlen(type)) + type + std::string("\0", 1);
	while (body.size() % 4)
		body.push_back('\0');
	body += Marshal({value});
	header += Marshal({(uint32)body.size(), 900 + replySerial, (uint32)fields.size()});
	header += fields;
	while (header.size() % 8)
		header.push_back('\0');
	return header + body;
}

std::string
ErrorReply(uint32 replySerial)
{
	const std::string name = "org.freedesktop.DBus.Error.ServiceUnknown";
	std::string fields = std::string("\5\1u\0", 4) + Marshal({replySerial});
	fields += std::string("\4\1s\0", 4) + Marshal({(uint32)name.size()}) + name;
	fields.push_back('\0');
	std::string header = std::string("l\3\0\1", 4)
		+ Marshal({0, 800 + replySerial, (uint32)fields.size()}) + fields;
	while (header.size() % 8)
		header.push_back('\0');
	return header;
}

// PropertiesChanged on /org/a11y/bus for org.a11y.Status with IsEnabled.
std::string
EnabledChanged(bool enabled)
{
	std::string fields;
	auto field = [&fields](char code, char type, const std::string& text) {
		while (fields.size() % 8)
			fields.push_back('\0');
		fields += std::string(1, code) + std::string("\1", 1) + type + std::string("\0", 1);
		if (type == 'g')
			fields += std::string(1, (char)text.size()) + text + std::string("\0", 1);
		else
			fields += Marshal({(uint32)text.size()}) + text + std::string("\0", 1);
	};
	field(1, 'o', "/org/a11y/bus");
	field(2, 's', "org.freedesktop.DBus.Properties");
	field(3, 's', "PropertiesChanged");
	field(8, 'g', "sa{sv}as");
	std::string body = Marshal({15}) + "org.a11y.Status" + std::string("\0", 1);
	const size_t lengthAt = body.size();
	body += Marshal({0});
	while (body.size() % 8)
		body.push_back('\0');
	const size_t start = body.size();
	body += Marshal({9}) + "IsEnabled" + std::string("\0", 1);
	body += std::string("\1b\0", 3);
	while (body.size() % 4)
		body.push_back('\0');
	body += Marshal({enabled ? 1u : 0u});
	uint32 length = (uint32)(body.size() - start);
	memcpy(&body[lengthAt], &length, 4);
	body += Marshal({0});
	std::string header = std::string("l\4\0\1", 4)
		+ Marshal({(uint32)body.size(), 77, (uint32)fields.size()}) + fields;
	while (header.size() % 8)
		header.push_back('\0');
	return header + body;
}

// One end of a bus: listens on a socket in a fresh directory and speaks from a script.
class FakeBus {
public:
	FakeBus()
	{
		fAddress.path = fDirectory.Sub("bus");
		EXPECT_LT(fAddress.path.size(), sizeof(sockaddr_un::sun_path));
		fListener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
		sockaddr_un address = {};
		address.sun_family = AF_UNIX;
		strcpy(address.sun_path, fAddress.path.c_str());
		EXPECT_EQ(bind(fListener, (sockaddr*)&address, sizeof(address)), 0);
		EXPECT_EQ(listen(fListener, 4), 0);
	}

	~FakeBus()
	{
		Hangup();
		close(fListener);
	}

	const DBus::SocketAddress& Address() const { return fAddress; }

	void Accept() { fPeer = accept(fListener, nullptr, nullptr); }
	void Send(const std::string& bytes)
	{
		ASSERT_EQ(write(fPeer, bytes.data(), bytes.size()), (ssize_t)bytes.size());
	}
	void Hangup()
	{
		if (fPeer >= 0)
			close(fPeer);
		fPeer = -1;
	}

	// Reads what the client sent within a short while.
	std::string Read()
	{
		std::string all;
		pollfd descriptor = {fPeer, POLLIN, 0};
		while (poll(&descriptor, 1, 200) > 0) {
			char buffer[4096];
			ssize_t got = read(fPeer, buffer, sizeof(buffer));
			if (got <= 0)
				break;
			all.append(buffer, (size_t)got);
			if (all.find("BEGIN\r\n") != std::string::npos && _Calls(all).size() >= 4)
				break;
			if (all.find("BEGIN") == std::string::npos && all.find("\r\n") != std::string::npos)
				break;
		}
		return all;
	}

	// The serials of the client's Get calls for IsEnabled and ScreenReaderEnabled.
	std::pair<uint32, uint32> GetSerials(const std::string& sent)
	{
		std::pair<uint32, uint32> serials{0, 0};
		for (const DBus::Message& message : _Calls(sent)) {
			if (message.member != "Get")
				continue;
			if (message.body.find("ScreenReaderEnabled") != std::string::npos)
				serials.second = message.serial;
			else if (message.body.find("IsEnabled") != std::string::npos)
				serials.first = message.serial;
		}
		return serials;
	}

private:
	std::vector<DBus::Message> _Calls(const std::string& sent)
	{
		std::vector<DBus::Message> calls;
		size_t begin = sent.find("BEGIN\r\n");
		if (begin == std::string::npos)
			return calls;
		size_t offset = begin + 7;
		while (offset < sent.size()) {
			DBus::Message message;
			size_t consumed = 0;
			if (DBus::ParseMessage((const uint8*)sent.data() + offset, sent.size() - offset,
					&message, &consumed)
				!= DBus::ParseResult::kComplete)
				break;
			calls.push_back(message);
			offset += consumed;
		}
		return calls;
	}

	ScratchFolder fDirectory{"kit-a11y"};
	DBus::SocketAddress fAddress;
	int fListener = -1;
	int fPeer = -1;
};

class A11yStatusTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		signal(SIGPIPE, SIG_IGN);
		HeadlessBackend::Install();
	}
	void TearDown() override
	{
		if (fClient != nullptr)
			EventLoop::RemoveWatcher(fClient.get());
	}

	A11yStatusClient& Start(int32 timeoutMs = 2000)
	{
		fClient =
			std::make_unique<A11yStatusClient>([this](
												   bool enabled) { fAnswers.push_back(enabled); },
				timeoutMs);
		EXPECT_EQ(fClient->Connect({{false, "/nonexistent/bus"}, fBus.Address()}), B_OK);
		EventLoop::AddWatcher(fClient.get());
		fBus.Accept();
		return *fClient;
	}

	// Runs the loop until the client has answered count times or a few seconds passed.
	void Pump(size_t count = 1)
	{
		for (int32 round = 0; round < 300 && fAnswers.size() < count; round++)
			EventLoop::RunOnce(10);
	}

	FakeBus fBus;
	std::unique_ptr<A11yStatusClient> fClient;
	std::vector<bool> fAnswers;
};

} // namespace

TEST_F(A11yStatusTest, AnswersFromTheBusDecide)
{
	struct Case {
		const char* what;
		std::function<std::string(uint32 enabled, uint32 reader)> replies;
		bool expected;
	} cases[] = {
		{"both on",
			[](uint32 e, uint32 r) { return VariantReply(e, "b", 1) + VariantReply(r, "b", 1); },
			true},
		{"screen reader only",
			[](uint32 e, uint32 r) { return VariantReply(r, "b", 1) + VariantReply(e, "b", 0); },
			true},
		{"enabled, reader unknown",
			[](uint32 e, uint32 r) { return VariantReply(e, "b", 1) + ErrorReply(r); }, true},
		{"both off",
			[](uint32 e, uint32 r) { return VariantReply(e, "b", 0) + VariantReply(r, "b", 0); },
			false},
		{"no accessibility bus", [](uint32 e, uint32 r) { return ErrorReply(e) + ErrorReply(r); },
			false},
		{"integers, not booleans",
			[](uint32 e, uint32 r) { return VariantReply(e, "u", 1) + VariantReply(r, "i", 1); },
			false},
		{"boolean out of range",
			[](uint32 e, uint32 r) { return VariantReply(e, "b", 5) + VariantReply(r, "b", 0); },
			false},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		fAnswers.clear();
		A11yStatusClient& client = Start();
		std::string sent = fBus.Read();
		ASSERT_EQ(sent.compare(0, 15, std::string("\0AUTH EXTERNAL ", 15)), 0);
		fBus.Send("OK 0123456789abcdef0123456789abcdef\r\n");
		Pump(0);
		EventLoop::RunOnce(10);
		auto [enabled, reader] = fBus.GetSerials(fBus.Read());
		ASSERT_NE(enabled, 0u);
		ASSERT_NE(reader, 0u);
		fBus.Send(c.replies(enabled, reader));
		Pump();
		EXPECT_EQ(fAnswers, std::vector<bool>{c.expected});
		EXPECT_TRUE(client.IsOpen());
		// Idle once answered: the client asks for no time-out of its own.
		std::vector<pollfd> descriptors;
		EXPECT_EQ(client.Prepare(&descriptors), -1);
		EventLoop::RemoveWatcher(fClient.get());
		fBus.Hangup();
	}
}

TEST_F(A11yStatusTest, ABadOrSilentBusMeansOffAndClosesTheConnection)
{
	const std::string ok = "OK 0123456789abcdef0123456789abcdef\r\n";
	struct Case {
		const char* what;
		std::string afterAuth; // what the bus sends after reading AUTH
		bool hangUp;
	} cases[] = {
		{"authentication rejected", "REJECTED EXTERNAL\r\n", false},
		{"endless authentication line", std::string(4000, 'x'), false},
		{"closed before answering", "", true},
		{"closed after OK", ok, true},
		{"garbage instead of messages", ok + "garbage garbage garbage garbage", false},
		{"a message far too large", ok + std::string("l\2\0\1", 4) + Marshal({0x40000000u, 5, 8}),
			false},
		{"a flood of bytes without a message end",
			ok + std::string("l\2\0\1", 4) + Marshal({60000, 5, 8}) + std::string(70000, '\0'),
			false},
		{"bytes before BEGIN", ok + "DATA\r\n", false},
		{"nothing at all", "", false},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		fAnswers.clear();
		A11yStatusClient& client = Start(300);
		fBus.Read();
		if (!c.afterAuth.empty())
			fBus.Send(c.afterAuth);
		if (c.hangUp)
			fBus.Hangup();
		Pump();
		EXPECT_EQ(fAnswers, std::vector<bool>{false});
		EXPECT_FALSE(client.IsOpen());
		std::vector<pollfd> descriptors;
		EXPECT_EQ(client.Prepare(&descriptors), -1);
		EXPECT_TRUE(descriptors.empty());
		EventLoop::RemoveWatcher(fClient.get());
		fBus.Hangup();
	}
}

TEST_F(A11yStatusTest, TurningAccessibilityOnLaterIsHeardAndGarbageThenIsIgnored)
{
	A11yStatusClient& client = Start();
	fBus.Read();
	fBus.Send("OK 0123456789abcdef0123456789abcdef\r\n");
	EventLoop::RunOnce(10);
	auto [enabled, reader] = fBus.GetSerials(fBus.Read());
	fBus.Send(VariantReply(enabled, "b", 0) + VariantReply(reader, "b", 0));
	Pump(1);
	ASSERT_EQ(fAnswers, std::vector<bool>{false});

	fBus.Send(EnabledChanged(true));
	Pump(2);
	EXPECT_EQ(fAnswers, (std::vector<bool>{false, true}));
	// The same value again is no change.
	fBus.Send(EnabledChanged(true));
	for (int32 i = 0; i < 5; i++)
		EventLoop::RunOnce(10);
	EXPECT_EQ(fAnswers.size(), 2u);

	// After the answer a broken bus closes the connection but takes nothing back.
	fBus.Send("junk junk junk junk");
	for (int32 i = 0; i < 20 && client.IsOpen(); i++)
		EventLoop::RunOnce(10);
	EXPECT_FALSE(client.IsOpen());
	EXPECT_EQ(fAnswers, (std::vector<bool>{false, true}));
	EXPECT_TRUE(client.Enabled());
}

TEST_F(A11yStatusTest, NoReachableAddressIsAnErrorWithoutAnAnswer)
{
	A11yStatusClient client([this](bool enabled) { fAnswers.push_back(enabled); });
	EXPECT_EQ(client.Connect({}), B_ERROR);
	EXPECT_EQ(client.Connect({{false, "/nonexistent/bus"}, {true, "kit-test-no-such-name"}}),
		B_ERROR);
	EXPECT_FALSE(client.IsOpen());
	EXPECT_TRUE(fAnswers.empty());
}

// The real thing: a private dbus-daemon accepts the authentication and the calls, and
// answers the question (off here: no desktop turned accessibility on).
TEST(A11yStatusRealBus, APrivateSessionBusAnswers)
{
	if (access("/usr/bin/dbus-daemon", X_OK) != 0)
		GTEST_SKIP() << "dbus-daemon is not installed";
	HeadlessBackend::Install();
	// Services the bus starts (at-spi-bus-launcher) keep any settings in memory.
	FILE* daemon = popen("GSETTINGS_BACKEND=memory /usr/bin/dbus-daemon --session --fork "
						 "--print-address=1 "
						 "--print-pid=1 2>/dev/null",
		"r");
	ASSERT_NE(daemon, nullptr);
	char address[512] = {}, pidText[32] = {};
	ASSERT_NE(fgets(address, sizeof(address), daemon), nullptr);
	ASSERT_NE(fgets(pidText, sizeof(pidText), daemon), nullptr);
	pclose(daemon);
	address[strcspn(address, "\n")] = '\0';
	const pid_t pid = (pid_t)atoi(pidText);
	ASSERT_GT(pid, 0);

	std::vector<bool> answers;
	A11yStatusClient client([&](bool enabled) { answers.push_back(enabled); });
	std::vector<DBus::SocketAddress> addresses = DBus::ParseAddresses(address);
	ASSERT_FALSE(addresses.empty()) << address;
	ASSERT_EQ(client.Connect(addresses), B_OK);
	EventLoop::AddWatcher(&client);
	for (int32 round = 0; round < 500 && answers.empty(); round++)
		EventLoop::RunOnce(10);
	EventLoop::RemoveWatcher(&client);
	const bool open = client.IsOpen();
	kill(pid, SIGTERM);

	ASSERT_EQ(answers.size(), 1u);
	// Still connected: the daemon took every message the client sent.
	EXPECT_TRUE(open);
}
