// Method calls written and messages read, strictly: the bytes come from another process.
#include "DBusWire.h"

#include <cstring>

namespace BPrivate {
namespace DBus {

namespace {

// Nesting deeper than the protocol's own limits is hostile.
const int32 kMaxDepth = 64;

size_t
AlignmentOf(char type)
{
	switch (type) {
		case 'y':
		case 'g':
		case 'v':
			return 1;
		case 'n':
		case 'q':
			return 2;
		case 'x':
		case 't':
		case 'd':
		case '(':
		case '{':
			return 8;
		default:
			return 4;
	}
}

// The index just past the single complete type starting at position, or npos.
size_t
TypeEnd(const std::string& signature, size_t position, int32 depth = 0)
{
	if (position >= signature.size() || depth > kMaxDepth)
		return std::string::npos;
	char c = signature[position];
	if (strchr("ybnqiuxtdhsogv", c) != nullptr)
		return position + 1;
	if (c == 'a')
		return TypeEnd(signature, position + 1, depth + 1);
	if (c == '(') {
		size_t next = position + 1;
		if (next < signature.size() && signature[next] == ')')
			return std::string::npos;
		while (next < signature.size() && signature[next] != ')') {
			next = TypeEnd(signature, next, depth + 1);
			if (next == std::string::npos)
				return next;
		}
		return next < signature.size() ? next + 1 : std::string::npos;
	}
	if (c == '{') {
		// A dict entry: a basic key and one value, only as an array's element.
		if (position == 0 || signature[position - 1] != 'a' || position + 1 >= signature.size()
			|| strchr("ybnqiuxtdhsog", signature[position + 1]) == nullptr)
			return std::string::npos;
		size_t next = TypeEnd(signature, position + 2, depth + 1);
		if (next == std::string::npos || next >= signature.size() || signature[next] != '}')
			return std::string::npos;
		return next + 1;
	}
	return std::string::npos;
}

bool
IsSingleType(const std::string& signature)
{
	return !signature.empty() && TypeEnd(signature, 0) == signature.size();
}

// Reads a marshalled buffer with bounds, alignment and padding checks.
class Reader {
public:
	Reader(const uint8* data, size_t size, bool bigEndian) :
		fData(data),
		fSize(size),
		fBig(bigEndian)
	{
	}

	size_t Position() const { return fPosition; }

	bool Align(size_t alignment)
	{
		while (fPosition % alignment != 0) {
			if (fPosition >= fSize || fData[fPosition] != 0)
				return false;
			fPosition++;
		}
		return true;
	}

	bool Byte(uint8* value)
	{
		if (fPosition + 1 > fSize)
			return false;
		*value = fData[fPosition++];
		return true;
	}

	bool UInt32(uint32* value)
	{
		if (!Align(4) || fPosition + 4 > fSize)
			return false;
		const uint8* p = fData + fPosition;
		*value = fBig ? (uint32)p[0] << 24 | (uint32)p[1] << 16 | (uint32)p[2] << 8 | p[3]
					  : (uint32)p[3] << 24 | (uint32)p[2] << 16 | (uint32)p[1] << 8 | p[0];
		fPosition += 4;
		return true;
	}

	bool Boolean(bool* value)
	{
		uint32 raw;
		if (!UInt32(&raw) || raw > 1)
			return false;
		*value = raw == 1;
		return true;
	}

	bool String(std::string* value)
	{
		uint32 length;
		if (!UInt32(&length) || length >= fSize - fPosition)
			return false;
		return _Text(length, value);
	}

	bool Signature(std::string* value)
	{
		uint8 length;
		if (!Byte(&length))
			return false;
		return _Text(length, value);
	}

	bool Skip(size_t count)
	{
		if (count > fSize - fPosition)
			return false;
		fPosition += count;
		return true;
	}

	// Skips one value of the single complete type at signature[position].
	bool SkipValue(const std::string& signature, size_t position, int32 depth)
	{
		if (depth > kMaxDepth || position >= signature.size())
			return false;
		const char type = signature[position];
		std::string text;
		switch (type) {
			case 'y':
				return Skip(1);
			case 'n':
			case 'q':
				return Align(2) && Skip(2);
			case 'b':
			{
				bool value;
				return Boolean(&value);
			}
			case 'i':
			case 'u':
			case 'h':
				return Align(4) && Skip(4);
			case 'x':
			case 't':
			case 'd':
				return Align(8) && Skip(8);
			case 's':
			case 'o':
				return String(&text);
			case 'g':
				return Signature(&text);
			case 'v':
				return Signature(&text) && IsSingleType(text) && SkipValue(text, 0, depth + 1);
			case 'a':
			{
				uint32 length;
				if (!UInt32(&length) || position + 1 >= signature.size()
					|| !Align(AlignmentOf(signature[position + 1])) || length > fSize - fPosition)
					return false;
				const size_t end = fPosition + length;
				while (fPosition < end) {
					if (!SkipValue(signature, position + 1, depth + 1))
						return false;
				}
				return fPosition == end;
			}
			case '(':
			case '{':
			{
				if (!Align(8))
					return false;
				size_t member = position + 1;
				const char close = type == '(' ? ')' : '}';
				while (member < signature.size() && signature[member] != close) {
					if (!SkipValue(signature, member, depth + 1))
						return false;
					member = TypeEnd(signature, member, depth + 1);
					if (member == std::string::npos)
						return false;
				}
				return member < signature.size();
			}
			default:
				return false;
		}
	}

private:
	bool _Text(size_t length, std::string* value)
	{
		if (fPosition + length + 1 > fSize || fData[fPosition + length] != 0)
			return false;
		value->assign((const char*)fData + fPosition, length);
		if (value->find('\0') != std::string::npos)
			return false;
		fPosition += length + 1;
		return true;
	}

	const uint8* fData;
	size_t fSize;
	bool fBig;
	size_t fPosition = 0;
};

// Appends little-endian values with the protocol's alignment (relative to the buffer's start).
class Writer {
public:
	std::string& Data() { return fData; }

	void Align(size_t alignment)
	{
		while (fData.size() % alignment != 0)
			fData.push_back('\0');
	}

	void Byte(uint8 value) { fData.push_back((char)value); }

	void UInt32(uint32 value)
	{
		Align(4);
		for (int32 shift = 0; shift < 32; shift += 8)
			fData.push_back((char)((value >> shift) & 0xff));
	}

	void PutUInt32At(size_t offset, uint32 value)
	{
		for (int32 i = 0; i < 4; i++)
			fData[offset + i] = (char)((value >> (8 * i)) & 0xff);
	}

	void String(const std::string& value)
	{
		UInt32((uint32)value.size());
		fData.append(value);
		fData.push_back('\0');
	}

	void Signature(const std::string& value)
	{
		Byte((uint8)value.size());
		fData.append(value);
		fData.push_back('\0');
	}

	void Field(uint8 code, char type, const std::string& value)
	{
		Align(8);
		Byte(code);
		Signature(std::string(1, type));
		if (type == 'g')
			Signature(value);
		else
			String(value);
	}

private:
	std::string fData;
};

// Reads the header fields array (already bounded to its length) into message.
bool
ReadFields(Reader& reader, size_t end, Message* message)
{
	while (reader.Position() < end) {
		uint8 code;
		std::string type;
		if (!reader.Align(8) || !reader.Byte(&code) || !reader.Signature(&type)
			|| !IsSingleType(type))
			return false;
		std::string* text = nullptr;
		char expected = 's';
		switch (code) {
			case 1:
				text = &message->path;
				expected = 'o';
				break;
			case 2:
				text = &message->interface;
				break;
			case 3:
				text = &message->member;
				break;
			case 4:
				text = &message->errorName;
				break;
			case 8:
				text = &message->signature;
				expected = 'g';
				break;
			case 5:
				expected = 'u';
				break;
			default:
				expected = 0;
				break;
		}
		if (expected == 0) {
			// Destination, sender, unix fds and fields to come: checked, not kept.
			if (!reader.SkipValue(type, 0, 0))
				return false;
			continue;
		}
		if (type.size() != 1 || type[0] != expected)
			return false;
		bool ok = code == 5 ? reader.UInt32(&message->replySerial)
			: code == 8     ? reader.Signature(text)
							: reader.String(text);
		if (!ok)
			return false;
	}
	return reader.Position() == end;
}

} // namespace

std::string
MethodCall(uint32 serial, const char* destination, const char* path, const char* interface,
	const char* member, const std::vector<std::string>& arguments)
{
	Writer body;
	std::string signature;
	for (const std::string& argument : arguments) {
		body.String(argument);
		signature += 's';
	}

	Writer message;
	message.Byte('l');
	message.Byte(kMethodCall);
	message.Byte(0);
	message.Byte(1);
	message.UInt32((uint32)body.Data().size());
	message.UInt32(serial);
	const size_t fieldsLength = message.Data().size();
	message.UInt32(0);
	const size_t fieldsStart = message.Data().size();
	message.Field(1, 'o', path);
	if (interface != nullptr)
		message.Field(2, 's', interface);
	message.Field(3, 's', member);
	if (destination != nullptr)
		message.Field(6, 's', destination);
	if (!signature.empty())
		message.Field(8, 'g', signature);
	message.PutUInt32At(fieldsLength, (uint32)(message.Data().size() - fieldsStart));
	message.Align(8);
	message.Data() += body.Data();
	return message.Data();
}

ParseResult
ParseMessage(const uint8* data, size_t size, Message* message, size_t* consumed)
{
	if (size < 16)
		return size > 0 && data[0] != 'l' && data[0] != 'B' ? ParseResult::kBad
															: ParseResult::kIncomplete;
	if ((data[0] != 'l' && data[0] != 'B') || data[3] != 1)
		return ParseResult::kBad;
	const bool big = data[0] == 'B';
	Reader fixed(data, 16, big);
	uint32 bodyLength, serial, fieldsLength;
	fixed.Skip(4);
	fixed.UInt32(&bodyLength);
	fixed.UInt32(&serial);
	fixed.UInt32(&fieldsLength);
	if (serial == 0 || bodyLength > kMaxMessageSize || fieldsLength > kMaxMessageSize)
		return ParseResult::kBad;
	const size_t fieldsEnd = 16 + (size_t)fieldsLength;
	const size_t bodyStart = (fieldsEnd + 7) / 8 * 8;
	const size_t total = bodyStart + bodyLength;
	if (total > kMaxMessageSize)
		return ParseResult::kBad;
	if (size < total)
		return ParseResult::kIncomplete;

	*message = Message();
	message->type = data[1];
	message->bigEndian = big;
	message->serial = serial;
	Reader header(data, fieldsEnd, big);
	header.Skip(16);
	if (!ReadFields(header, fieldsEnd, message))
		return ParseResult::kBad;
	Reader padding(data, bodyStart, big);
	if (!padding.Skip(fieldsEnd) || !padding.Align(8))
		return ParseResult::kBad;
	if (bodyLength > 0 && message->signature.empty())
		return ParseResult::kBad;

	switch (message->type) {
		case kMethodReturn:
			if (message->replySerial == 0)
				return ParseResult::kBad;
			break;
		case kError:
			if (message->replySerial == 0 || message->errorName.empty())
				return ParseResult::kBad;
			break;
		case kSignal:
			if (message->path.empty() || message->interface.empty() || message->member.empty())
				return ParseResult::kBad;
			break;
		case kMethodCall:
			if (message->path.empty() || message->member.empty())
				return ParseResult::kBad;
			break;
		default:
			// Types to come are to be ignored, not refused.
			break;
	}
	message->body.assign((const char*)data + bodyStart, bodyLength);
	*consumed = total;
	return ParseResult::kComplete;
}

bool
ReadVariantBoolean(const Message& message, bool* value)
{
	if (message.signature != "v")
		return false;
	Reader reader((const uint8*)message.body.data(), message.body.size(), message.bigEndian);
	std::string type;
	return reader.Signature(&type) && type == "b" && reader.Boolean(value)
		&& reader.Position() == message.body.size();
}

bool
ReadChangedBooleans(const Message& message, std::string* interface,
	std::map<std::string, bool>* booleans)
{
	if (message.signature != "sa{sv}as")
		return false;
	Reader reader((const uint8*)message.body.data(), message.body.size(), message.bigEndian);
	uint32 length;
	if (!reader.String(interface) || !reader.UInt32(&length) || !reader.Align(8)
		|| length > message.body.size() - reader.Position())
		return false;
	const size_t end = reader.Position() + length;
	while (reader.Position() < end) {
		std::string name, type;
		if (!reader.Align(8) || !reader.String(&name) || !reader.Signature(&type)
			|| !IsSingleType(type))
			return false;
		if (type == "b") {
			bool value;
			if (!reader.Boolean(&value))
				return false;
			(*booleans)[name] = value;
		} else if (!reader.SkipValue(type, 0, 1))
			return false;
	}
	return reader.Position() == end && reader.SkipValue("as", 0, 0)
		&& reader.Position() == message.body.size();
}

} // namespace DBus
} // namespace BPrivate
