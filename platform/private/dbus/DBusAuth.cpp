// Reaching the bus: its addresses and the EXTERNAL authentication.
#include "DBusWire.h"

namespace BPrivate {
namespace DBus {

namespace {

int32
HexValue(char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

// Address values escape bytes as %XX.
bool
Unescape(const std::string& value, std::string* out)
{
	out->clear();
	for (size_t i = 0; i < value.size(); i++) {
		if (value[i] != '%') {
			out->push_back(value[i]);
			continue;
		}
		if (i + 2 >= value.size())
			return false;
		int32 high = HexValue(value[i + 1]);
		int32 low = HexValue(value[i + 2]);
		if (high < 0 || low < 0)
			return false;
		out->push_back((char)(high * 16 + low));
		i += 2;
	}
	return true;
}

bool
ParseOneAddress(const std::string& entry, SocketAddress* address)
{
	const std::string kUnix = "unix:";
	if (entry.compare(0, kUnix.size(), kUnix) != 0)
		return false;
	bool found = false;
	size_t start = kUnix.size();
	while (start <= entry.size()) {
		size_t end = entry.find(',', start);
		if (end == std::string::npos)
			end = entry.size();
		std::string pair = entry.substr(start, end - start);
		size_t equals = pair.find('=');
		if (equals != std::string::npos) {
			std::string key = pair.substr(0, equals);
			std::string value;
			if (!Unescape(pair.substr(equals + 1), &value))
				return false;
			if ((key == "path" || key == "abstract") && !found && !value.empty()
				&& value.find('\0') == std::string::npos) {
				address->abstract = key == "abstract";
				address->path = value;
				found = true;
			}
		}
		start = end + 1;
	}
	// sun_path holds 108 bytes, with the terminator or the abstract name's leading nul.
	return found && address->path.size() < 108;
}

} // namespace

std::vector<SocketAddress>
ParseAddresses(const char* addresses)
{
	std::vector<SocketAddress> result;
	if (addresses == nullptr)
		return result;
	std::string all(addresses);
	size_t start = 0;
	while (start <= all.size()) {
		size_t end = all.find(';', start);
		if (end == std::string::npos)
			end = all.size();
		SocketAddress address;
		if (ParseOneAddress(all.substr(start, end - start), &address))
			result.push_back(address);
		start = end + 1;
	}
	return result;
}

std::string
AuthExternal(uid_t uid)
{
	static const char kHex[] = "0123456789abcdef";
	std::string decimal = std::to_string((unsigned long)uid);
	std::string line("\0AUTH EXTERNAL ", 15);
	for (char digit : decimal) {
		line.push_back(kHex[(uint8)digit >> 4]);
		line.push_back(kHex[(uint8)digit & 0xf]);
	}
	line += "\r\n";
	return line;
}

AuthReply
ParseAuthReply(const std::string& input, size_t* consumed)
{
	size_t end = input.find("\r\n");
	if (end == std::string::npos)
		return input.size() > kMaxAuthLineSize ? AuthReply::kRejected : AuthReply::kIncomplete;
	*consumed = end + 2;
	if (end > kMaxAuthLineSize)
		return AuthReply::kRejected;
	std::string line = input.substr(0, end);
	if (line.compare(0, 3, "OK ") == 0 && line.size() > 3 && line.find('\0') == std::string::npos)
		return AuthReply::kOk;
	return AuthReply::kRejected;
}

} // namespace DBus
} // namespace BPrivate
