// The few pieces of the D-Bus wire protocol the kit needs to ask the session bus whether the
// desktop's accessibility is on: bus addresses, the EXTERNAL authentication lines, method
// calls with string arguments, and strict parsing of what comes back. Everything read here
// comes from another process and is treated as hostile: sizes are bounded, every read is
// checked. Not a general D-Bus library: no unix fds, no other authentication, no writing of
// anything but method calls with strings.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "SupportDefs.h"

namespace BPrivate {
namespace DBus {

// A message longer than this is refused (the connection is dropped): the kit's questions
// are answered in a few hundred bytes.
const size_t kMaxMessageSize = 64 * 1024;
// An authentication line longer than this is refused.
const size_t kMaxAuthLineSize = 512;

struct SocketAddress {
	bool abstract = false;
	std::string path;

	bool operator==(const SocketAddress& other) const
	{
		return abstract == other.abstract && path == other.path;
	}
};

// The unix-socket addresses of a ';'-separated bus address list, in order; other transports
// and malformed entries are skipped.
std::vector<SocketAddress> ParseAddresses(const char* addresses);

// "\0AUTH EXTERNAL <uid as hex of its decimal digits>\r\n" (the leading nul byte included).
std::string AuthExternal(uid_t uid);

enum class AuthReply {
	kIncomplete, // no whole line yet
	kOk,
	kRejected, // anything else the server may say, or a line too long
};

// Reads the server's answer to AUTH from the start of input; consumed is set past the line.
AuthReply ParseAuthReply(const std::string& input, size_t* consumed);

enum MessageType : uint8 {
	kMethodCall = 1,
	kMethodReturn = 2,
	kError = 3,
	kSignal = 4,
};

// A method call in little-endian order whose arguments are all strings ("s" per argument).
std::string MethodCall(uint32 serial, const char* destination, const char* path,
	const char* interface, const char* member, const std::vector<std::string>& arguments);

struct Message {
	uint8 type = 0;
	bool bigEndian = false;
	uint32 serial = 0;
	uint32 replySerial = 0; // 0: none
	std::string path;
	std::string interface;
	std::string member;
	std::string errorName;
	std::string signature;
	std::string body;
};

enum class ParseResult {
	kIncomplete, // more bytes are needed
	kComplete,   // message filled, consumed set past it
	kBad,        // not a message the kit accepts: drop the connection
};

ParseResult ParseMessage(const uint8* data, size_t size, Message* message, size_t* consumed);

// The boolean in a Properties.Get reply ("v" holding "b").
bool ReadVariantBoolean(const Message& message, bool* value);

// The boolean properties changed by a PropertiesChanged signal ("sa{sv}as") of the interface
// named; other properties are skipped. False when the body is malformed.
bool ReadChangedBooleans(const Message& message, std::string* interface,
	std::map<std::string, bool>* booleans);

} // namespace DBus
} // namespace BPrivate
