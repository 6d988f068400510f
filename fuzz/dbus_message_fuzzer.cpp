// Any bytes as what a session bus sends the accessibility check: the authentication answer,
// then messages. Nothing may read outside the buffer; a complete message lies inside it,
// every shorter prefix of it is incomplete, and reading a message twice gives the same.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "DBusWire.h"
#include "FuzzCheck.h"

using namespace BPrivate::DBus;

namespace {

void
CheckBody(const Message& message)
{
	bool value = false;
	if (ReadVariantBoolean(message, &value))
		FUZZ_CHECK(message.signature == "v", "a boolean only from a variant reply");
	std::string interface;
	std::map<std::string, bool> booleans;
	if (ReadChangedBooleans(message, &interface, &booleans))
		FUZZ_CHECK(message.signature == "sa{sv}as", "changes only from PropertiesChanged");
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::string text((const char*)data, size);
	size_t consumed = 0;
	AuthReply reply = ParseAuthReply(text, &consumed);
	if (reply != AuthReply::kIncomplete)
		FUZZ_CHECK(consumed <= size, "an authentication line inside the input");

	// An exact heap copy: one byte too far is an ASan report.
	size_t offset = 0;
	for (int32_t count = 0; count < 64 && offset < size; count++) {
		const size_t left = size - offset;
		std::unique_ptr<uint8_t[]> copy(new uint8_t[left]);
		memcpy(copy.get(), data + offset, left);
		Message message;
		consumed = 0;
		ParseResult result = ParseMessage(copy.get(), left, &message, &consumed);
		if (result != ParseResult::kComplete)
			break;
		FUZZ_CHECK(consumed >= 16 && consumed <= left, "a message inside the input");
		FUZZ_CHECK(consumed <= kMaxMessageSize, "no message past the bound");
		Message again;
		size_t consumedAgain = 0;
		FUZZ_CHECK(ParseMessage(copy.get(), consumed, &again, &consumedAgain)
					== ParseResult::kComplete
				&& consumedAgain == consumed && again.body == message.body
				&& again.signature == message.signature,
			"the same message read alone");
		Message shorter;
		size_t ignored = 0;
		FUZZ_CHECK(ParseMessage(copy.get(), consumed - 1, &shorter, &ignored)
				== ParseResult::kIncomplete,
			"a cut message is incomplete");
		CheckBody(message);
		offset += consumed;
	}
	return 0;
}
