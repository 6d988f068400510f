#include "WaylandClipboardMimes.h"

#include <algorithm>
#include <cctype>

#include "X11Input.h"

namespace BPrivate {

const char* const kOfferedTextMimes[5] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain",
	"TEXT", "STRING"};

namespace {

enum class Encoding { kNone, kUTF8, kUTF8OrLatin1, kLatin1 };

// Case and spaces do not matter in a MIME type's name and parameters ("charset=UTF-8").
std::string
Normalized(const std::string& mime)
{
	std::string result;
	for (char c : mime) {
		if (c != ' ' && c != '\t')
			result += (char)std::tolower((unsigned char)c);
	}
	return result;
}

Encoding
EncodingOf(const std::string& mime)
{
	if (mime == "UTF8_STRING")
		return Encoding::kUTF8;
	if (mime == "STRING")
		return Encoding::kLatin1;
	if (mime == "TEXT")
		return Encoding::kUTF8OrLatin1;
	const std::string normalized = Normalized(mime);
	if (normalized == "text/plain;charset=utf-8")
		return Encoding::kUTF8;
	if (normalized == "text/plain")
		return Encoding::kUTF8OrLatin1;
	return Encoding::kNone;
}

// The order a paste prefers: a declared UTF-8 first, a declared Latin-1 before a guess.
int
Rank(Encoding encoding, const std::string& mime)
{
	switch (encoding) {
		case Encoding::kUTF8:
			return mime == "UTF8_STRING" ? 1 : 0;
		case Encoding::kLatin1:
			return 3;
		case Encoding::kUTF8OrLatin1:
			return mime == "TEXT" ? 4 : 2;
		case Encoding::kNone:
			break;
	}
	return -1;
}

bool
IsUTF8(const std::string& bytes)
{
	size_t offset = 0;
	while (offset < bytes.size()) {
		const int32 length = UTF8CharLength(bytes.data() + offset,
			(int32)std::min(bytes.size() - offset, (size_t)4));
		if (length == 0)
			return false;
		offset += (size_t)length;
	}
	return true;
}

} // namespace

std::string
ChooseTextMime(const std::vector<std::string>& offered)
{
	std::string best;
	int bestRank = -1;
	for (const std::string& mime : offered) {
		const int rank = Rank(EncodingOf(mime), mime);
		if (rank >= 0 && (bestRank < 0 || rank < bestRank)) {
			best = mime;
			bestRank = rank;
		}
	}
	return best;
}

bool
EncodeSelectionText(const std::string& mime, const std::string& text, std::string* bytes)
{
	switch (EncodingOf(mime)) {
		case Encoding::kNone:
			return false;
		case Encoding::kLatin1:
			*bytes = Latin1FromUTF8(text);
			return true;
		default:
			*bytes = text;
			return true;
	}
}

std::string
DecodeSelectionText(const std::string& mime, std::string bytes)
{
	switch (EncodingOf(mime)) {
		case Encoding::kNone:
			return std::string();
		case Encoding::kLatin1:
			return UTF8FromLatin1(bytes);
		case Encoding::kUTF8OrLatin1:
			return IsUTF8(bytes) ? bytes : UTF8FromLatin1(bytes);
		case Encoding::kUTF8:
			break;
	}
	return bytes;
}

} // namespace BPrivate
