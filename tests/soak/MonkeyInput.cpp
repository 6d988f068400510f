#include "MonkeyInput.h"

#include <cstdio>

namespace {

const char* const kAmounts[] = {"12,5", "-3.14", "1e5", "0x1F", " 42 ", "1.234.567,89",
	"\xE2\x82\xAC 100", "100 DM", "--1", "..", "9999999999999999999999", "", "\t7\n",
	"\xD9\xA3\xD9\xA3", "\xEF\xBC\x91\xEF\xBC\x92", "NaN", "inf", "-0", "0,001", "1-2.3.4",
	"123456789012345678901234567890"};

const char* const kPieces[] = {"0", "1", "2", "5", "7", "9", ",", ".", "-", "+", " ", "e", "\t",
	"\n", "a", "Z", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x92\xB6", "\x7f", "\x08"};

} // namespace

std::string
ClipboardText(Dice& dice)
{
	int32 roll = dice.Below(100);
	if (roll < 35)
		return dice.Pick(kAmounts);

	std::string text;
	if (roll < 70) {
		int32 pieces = dice.Between(0, 40);
		for (int32 i = 0; i < pieces; i++)
			text += dice.Pick(kPieces);
	} else if (roll < 80) {
		// Far more than the field takes; what fits is cut at a character boundary.
		int32 length = dice.Between(1000, 20000);
		while ((int32)text.size() < length)
			text += dice.Pick(kPieces);
	} else if (roll < 90) {
		text = dice.Pick(kAmounts);
		text.insert(text.size() / 2, 1, '\0');
		text += "99";
	} else {
		static const char* const kBroken[] = {"\xff", "\xfe", "\xc3", "\xe2\x82", "\x80",
			"\xf0\x9f", "1", "2", ","};
		int32 pieces = dice.Between(1, 20);
		for (int32 i = 0; i < pieces; i++)
			text += dice.Pick(kBroken);
	}
	return text;
}

std::string
Printable(const std::string& bytes)
{
	std::string out = "\"";
	for (unsigned char c : bytes) {
		if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\')
			out += (char)c;
		else {
			char escaped[8];
			snprintf(escaped, sizeof(escaped), "\\x%02x", c);
			out += escaped;
		}
	}
	return out + "\"";
}
