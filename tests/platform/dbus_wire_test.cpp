// The session-bus wire pieces the accessibility check uses: addresses, authentication lines,
// method calls, and strict parsing of replies that come from another process.
#include <gtest/gtest.h>

#include <cstring>

#include "DBusWire.h"

using namespace BPrivate::DBus;

namespace {

// A little-endian message built by hand, so that tests can damage any part of it.
struct Built {
	std::string bytes;

	void Align(size_t n)
	{
		while (bytes.size() % n)
			bytes.push_back('\0');
	}
	void U32(uint32 v)
	{
		Align(4);
		for (int i = 0; i < 4; i++)
			bytes.push_back((char)(v >> (8 * i)));
	}
	void Str(const std::string& s)
	{
		U32((uint32)s.size());
		bytes += s;
		bytes.push_back('\0');
	}
	void Sig(const std::string& s)
	{
		bytes.push_back((char)s.size());
		bytes += s;
		bytes.push_back('\0');
	}
};

// A reply (or signal) with the given header fields and a body already marshalled.
std::string
Reply(uint8 type, uint32 replySerial, const std::string& signature, const std::string& body,
	const char* errorName = nullptr)
{
	Built header;
	header.bytes = std::string("l", 1);
	header.bytes.push_back((char)type);
	header.bytes.push_back('\0');
	header.bytes.push_back('\1');
	header.U32((uint32)body.size());
	header.U32(7);
	header.U32(0);
	const size_t start = header.bytes.size();
	if (replySerial != 0) {
		header.Align(8);
		header.bytes.push_back(5);
		header.Sig("u");
		header.U32(replySerial);
	}
	if (errorName != nullptr) {
		header.Align(8);
		header.bytes.push_back(4);
		header.Sig("s");
		header.Str(errorName);
	}
	if (type == kSignal) {
		header.Align(8);
		header.bytes.push_back(1);
		header.Sig("o");
		header.Str("/org/a11y/bus");
		header.Align(8);
		header.bytes.push_back(2);
		header.Sig("s");
		header.Str("org.freedesktop.DBus.Properties");
		header.Align(8);
		header.bytes.push_back(3);
		header.Sig("s");
		header.Str("PropertiesChanged");
	}
	if (!signature.empty()) {
		header.Align(8);
		header.bytes.push_back(8);
		header.Sig("g");
		header.Sig(signature);
	}
	uint32 length = (uint32)(header.bytes.size() - start);
	memcpy(&header.bytes[12], &length, 4);
	header.Align(8);
	return header.bytes + body;
}

std::string
VariantBoolean(uint32 raw, const char* type = "b")
{
	Built body;
	body.Sig(type);
	body.U32(raw);
	return body.bytes;
}

ParseResult
Parse(const std::string& bytes, Message* message, size_t* consumed = nullptr)
{
	size_t ignored = 0;
	return ParseMessage((const uint8*)bytes.data(), bytes.size(), message,
		consumed != nullptr ? consumed : &ignored);
}

} // namespace

TEST(DBusWire, AddressesKeepUnixSocketsInOrderAndSkipTheRest)
{
	struct Case {
		const char* input;
		std::vector<SocketAddress> expected;
	} cases[] = {
		{"unix:path=/run/user/1000/bus", {{false, "/run/user/1000/bus"}}},
		{"unix:abstract=/tmp/dbus-XYZ,guid=0123", {{true, "/tmp/dbus-XYZ"}}},
		{"unix:guid=1,path=/a%20b", {{false, "/a b"}}},
		{"tcp:host=localhost,port=1;unix:path=/x;unix:abstract=y", {{false, "/x"}, {true, "y"}}},
		{"unix:path=/bad%zz;unix:path=/good", {{false, "/good"}}},
		{"unix:path=/cut%2", {}},
		{"unix:path=", {}},
		{"unix:path=/x%00y", {}},
		{"unix:runtime=yes", {}},
		{"launchd:env=X;nonce-tcp:host=a", {}},
		{";;", {}},
		{"", {}},
		{nullptr, {}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.input != nullptr ? c.input : "(null)");
		EXPECT_EQ(ParseAddresses(c.input), c.expected);
	}
	// sun_path has room for 107 bytes and the terminator.
	EXPECT_EQ(ParseAddresses(("unix:path=/" + std::string(106, 'a')).c_str()).size(), 1u);
	EXPECT_TRUE(ParseAddresses(("unix:path=/" + std::string(107, 'a')).c_str()).empty());
}

TEST(DBusWire, AuthSendsTheUidsDigitsInHexAfterANulByte)
{
	EXPECT_EQ(AuthExternal(1000), std::string("\0AUTH EXTERNAL 31303030\r\n", 25));
	EXPECT_EQ(AuthExternal(0), std::string("\0AUTH EXTERNAL 30\r\n", 19));
}

TEST(DBusWire, AuthRepliesAreAcceptedOnlyAsOk)
{
	struct Case {
		std::string input;
		AuthReply expected;
		size_t consumed;
	} cases[] = {
		{"OK 1234deadbeef\r\n", AuthReply::kOk, 17},
		{"OK 1234\r\nextra", AuthReply::kOk, 9},
		{"OK 12", AuthReply::kIncomplete, 0},
		{"", AuthReply::kIncomplete, 0},
		{"REJECTED EXTERNAL\r\n", AuthReply::kRejected, 19},
		{"ERROR\r\n", AuthReply::kRejected, 7},
		{"OK \r\n", AuthReply::kRejected, 5},
		{"OK\r\n", AuthReply::kRejected, 4},
		{"DATA\r\n", AuthReply::kRejected, 6},
		{std::string(600, 'O'), AuthReply::kRejected, 0},
		{"OK " + std::string(600, 'a') + "\r\n", AuthReply::kRejected, 605},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.input.substr(0, 40));
		size_t consumed = 0;
		EXPECT_EQ(ParseAuthReply(c.input, &consumed), c.expected);
		EXPECT_EQ(consumed, c.consumed);
	}
}

TEST(DBusWire, AMethodCallParsesBackWithItsFieldsAndArguments)
{
	std::string call = MethodCall(3, "org.a11y.Bus", "/org/a11y/bus",
		"org.freedesktop.DBus.Properties", "Get", {"org.a11y.Status", "IsEnabled"});
	Message message;
	size_t consumed = 0;
	ASSERT_EQ(Parse(call, &message, &consumed), ParseResult::kComplete);
	EXPECT_EQ(consumed, call.size());
	EXPECT_EQ(message.type, kMethodCall);
	EXPECT_EQ(message.serial, 3u);
	EXPECT_EQ(message.path, "/org/a11y/bus");
	EXPECT_EQ(message.interface, "org.freedesktop.DBus.Properties");
	EXPECT_EQ(message.member, "Get");
	EXPECT_EQ(message.signature, "ss");
	// Two strings: length, text, nul, padding to four, length, text, nul.
	Built expected;
	expected.Str("org.a11y.Status");
	expected.Str("IsEnabled");
	EXPECT_EQ(message.body, expected.bytes);

	// Without arguments there is no body and no signature field.
	std::string hello = MethodCall(1, "org.freedesktop.DBus", "/org/freedesktop/DBus",
		"org.freedesktop.DBus", "Hello", {});
	ASSERT_EQ(Parse(hello, &message), ParseResult::kComplete);
	EXPECT_EQ(message.member, "Hello");
	EXPECT_TRUE(message.signature.empty());
	EXPECT_TRUE(message.body.empty());
}

TEST(DBusWire, TwoMessagesInOneBufferAreReadOneAtATime)
{
	std::string first = Reply(kMethodReturn, 3, "v", VariantBoolean(1));
	std::string both = first
		+ Reply(kError, 4, "", "", "org.freedesktop.DBus.Error.ServiceUnknown");
	Message message;
	size_t consumed = 0;
	ASSERT_EQ(Parse(both, &message, &consumed), ParseResult::kComplete);
	EXPECT_EQ(consumed, first.size());
	bool value = false;
	EXPECT_TRUE(ReadVariantBoolean(message, &value));
	EXPECT_TRUE(value);
	ASSERT_EQ(Parse(both.substr(consumed), &message), ParseResult::kComplete);
	EXPECT_EQ(message.type, kError);
	EXPECT_EQ(message.replySerial, 4u);
	EXPECT_EQ(message.errorName, "org.freedesktop.DBus.Error.ServiceUnknown");
}

TEST(DBusWire, EveryPrefixOfAMessageIsIncomplete)
{
	std::string reply = Reply(kMethodReturn, 3, "v", VariantBoolean(0));
	Message message;
	for (size_t length = 0; length < reply.size(); length++)
		EXPECT_EQ(Parse(reply.substr(0, length), &message), ParseResult::kIncomplete) << length;
}

TEST(DBusWire, DamagedMessagesAreRefused)
{
	const std::string good = Reply(kMethodReturn, 3, "v", VariantBoolean(1));
	auto patched = [&](size_t offset, char value) {
		std::string bytes = good;
		bytes[offset] = value;
		return bytes;
	};
	auto withU32 = [&](size_t offset, uint32 value) {
		std::string bytes = good;
		memcpy(&bytes[offset], &value, 4);
		return bytes;
	};
	struct Case {
		const char* what;
		std::string bytes;
	} cases[] = {
		{"endianness byte", patched(0, 'x')},
		{"garbage text", "HTTP/1.1 400 Bad Request\r\n\r\n"},
		{"protocol version", patched(3, 2)},
		{"serial zero", withU32(8, 0)},
		{"body longer than the bound", withU32(4, (uint32)kMaxMessageSize + 1)},
		{"fields longer than the bound", withU32(12, 0xffffffffu)},
		{"reply without reply serial", Reply(kMethodReturn, 0, "v", VariantBoolean(1))},
		{"error without a name", Reply(kError, 3, "", "")},
		{"body without signature", Reply(kMethodReturn, 3, "", VariantBoolean(1))},
		{"field of the wrong type",
			[&] {
				std::string bytes = good;
				size_t at = bytes.find(std::string("\x05\x01u", 3));
				bytes[at + 2] = 's';
				return bytes;
			}()},
		{"non-zero padding before the body",
			[&] {
				std::string bytes = good;
				size_t at = bytes.find(std::string("\x08\x01g\0\x01v\0", 7));
				bytes[at + 7] = 1;
				return bytes;
			}()},
		{"signal without member",
			[&] {
				std::string bytes = Reply(kSignal, 0, "", "");
				size_t at = bytes.find("PropertiesChanged");
				bytes.replace(at, 17, std::string(17, '\0'));
				return bytes;
			}()},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		Message message;
		EXPECT_EQ(Parse(c.bytes, &message), ParseResult::kBad);
	}
}

TEST(DBusWire, GetRepliesGiveABooleanOnlyWhenTheyHoldOne)
{
	struct Case {
		const char* what;
		std::string signature;
		std::string body;
		bool ok;
		bool value;
	} cases[] = {
		{"true", "v", VariantBoolean(1), true, true},
		{"false", "v", VariantBoolean(0), true, false},
		{"boolean out of range", "v", VariantBoolean(2), false, false},
		{"integer in the variant", "v", VariantBoolean(1, "u"), false, false},
		{"not a variant", "b",
			[] {
				Built b;
				b.U32(1);
				return b.bytes;
			}(),
			false, false},
		{"trailing bytes", "v", VariantBoolean(1) + "junk", false, false},
		{"truncated", "v", VariantBoolean(1).substr(0, 5), false, false},
		{"variant signature runs past the body", "v",
			std::string("\x40"
						"b",
				2),
			false, false},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		Message message;
		ASSERT_EQ(Parse(Reply(kMethodReturn, 3, c.signature, c.body), &message),
			ParseResult::kComplete);
		bool value = !c.value;
		EXPECT_EQ(ReadVariantBoolean(message, &value), c.ok);
		if (c.ok) {
			EXPECT_EQ(value, c.value);
		}
	}
}

namespace {

// PropertiesChanged("org.a11y.Status", {entries}, invalidated) marshalled by hand.
std::string
ChangedBody(const std::vector<std::pair<std::string, std::string>>& entries,
	const char* interface = "org.a11y.Status")
{
	Built body;
	body.Str(interface);
	body.U32(0);
	const size_t lengthAt = body.bytes.size() - 4;
	body.Align(8);
	const size_t start = body.bytes.size();
	for (const auto& [name, marshalledVariant] : entries) {
		body.Align(8);
		body.Str(name);
		body.bytes += marshalledVariant;
	}
	uint32 length = (uint32)(body.bytes.size() - start);
	memcpy(&body.bytes[lengthAt], &length, 4);
	body.U32(0); // no invalidated properties
	return body.bytes;
}

std::string
StringVariant(const std::string& text)
{
	Built variant;
	variant.Sig("s");
	variant.Str(text);
	return variant.bytes;
}

} // namespace

TEST(DBusWire, PropertiesChangedGivesItsBooleansAndSkipsOtherValues)
{
	// Offsets inside entries depend on where each entry starts; build them in place.
	Built body;
	body.Str("org.a11y.Status");
	body.U32(0);
	const size_t lengthAt = body.bytes.size() - 4;
	body.Align(8);
	const size_t start = body.bytes.size();
	body.Align(8);
	body.Str("Other");
	body.Sig("s");
	body.Str("text");
	body.Align(8);
	body.Str("IsEnabled");
	body.Sig("b");
	body.U32(1);
	body.Align(8);
	body.Str("List");
	body.Sig("au");
	body.U32(8);
	body.U32(1);
	body.U32(2);
	body.Align(8);
	body.Str("ScreenReaderEnabled");
	body.Sig("b");
	body.U32(0);
	uint32 length = (uint32)(body.bytes.size() - start);
	memcpy(&body.bytes[lengthAt], &length, 4);
	body.U32(0);

	Message message;
	ASSERT_EQ(Parse(Reply(kSignal, 0, "sa{sv}as", body.bytes), &message), ParseResult::kComplete);
	std::string interface;
	std::map<std::string, bool> booleans;
	ASSERT_TRUE(ReadChangedBooleans(message, &interface, &booleans));
	EXPECT_EQ(interface, "org.a11y.Status");
	EXPECT_EQ(booleans,
		(std::map<std::string, bool>{{"IsEnabled", true}, {"ScreenReaderEnabled", false}}));
}

TEST(DBusWire, MalformedPropertiesChangedIsRefused)
{
	std::string good = ChangedBody({{"IsEnabled", VariantBoolean(1)}});
	struct Case {
		const char* what;
		std::string signature;
		std::string body;
	} cases[] = {
		{"wrong signature", "sa{sv}", good},
		{"boolean out of range", "sa{sv}as", ChangedBody({{"IsEnabled", VariantBoolean(7)}})},
		{"array longer than the body", "sa{sv}as",
			[&] {
				std::string bytes = good;
				uint32 huge = 0x7fffffff;
				memcpy(&bytes[20], &huge, 4);
				return bytes;
			}()},
		{"variant type that is not one type", "sa{sv}as",
			ChangedBody({{"IsEnabled", std::string("\2bb\0\1\0\0\0", 8)}})},
		{"unterminated string in a variant", "sa{sv}as",
			[&] {
				std::string bytes = ChangedBody({{"Name", StringVariant("abc")}});
				bytes[bytes.size() - 5] = 'x';
				return bytes;
			}()},
		{"nothing after the dictionary", "sa{sv}as", good.substr(0, good.size() - 4)},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		Message message;
		ASSERT_EQ(Parse(Reply(kSignal, 0, c.signature, c.body), &message), ParseResult::kComplete);
		std::string interface;
		std::map<std::string, bool> booleans;
		EXPECT_FALSE(ReadChangedBooleans(message, &interface, &booleans));
	}
}

TEST(DBusWire, DeeplyNestedVariantsAreRefusedWithoutExhaustingTheStack)
{
	// Variant in variant ... in a PropertiesChanged value: each level adds a signature "v".
	std::string nested;
	for (int i = 0; i < 5000; i++)
		nested += std::string("\1v\0", 3);
	std::string body = ChangedBody({{"Deep", nested}});
	Message message;
	ASSERT_EQ(Parse(Reply(kSignal, 0, "sa{sv}as", body), &message), ParseResult::kComplete);
	std::string interface;
	std::map<std::string, bool> booleans;
	EXPECT_FALSE(ReadChangedBooleans(message, &interface, &booleans));
}
