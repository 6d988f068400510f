// Test helpers for the flattened-message layout: the worked examples as the format document
// prints them, and an encoder that writes the layout by hand in either byte order and either
// size form, so tests can build files our own writer never produces.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The hex blocks of the format document, in document order. Read from the document itself so
// that the tests check against what it says rather than against a copy.
inline std::vector<Bytes>
FormatExamples()
{
	std::ifstream in(std::string(KAMBO_TEST_DATA) + "/settings-format.md");
	std::vector<Bytes> blocks;
	bool inBlock = false;
	std::string line;
	while (std::getline(in, line)) {
		if (line.rfind("```", 0) == 0) {
			if (!inBlock)
				blocks.emplace_back();
			else if (blocks.back().empty())
				blocks.pop_back();
			inBlock = !inBlock;
			continue;
		}
		if (!inBlock)
			continue;
		size_t pos = 0;
		while (pos < line.size()) {
			size_t end = line.find(' ', pos);
			if (end == std::string::npos)
				end = line.size();
			std::string token = line.substr(pos, end - pos);
			if (token.size() == 2 && isxdigit(token[0]) && isxdigit(token[1]))
				blocks.back().push_back(static_cast<uint8_t>(std::stoul(token, nullptr, 16)));
			pos = end + 1;
		}
	}
	return blocks;
}

class Encoder {
public:
	explicit Encoder(bool bigEndian = false, uint32_t what = 'pref', uint8_t flags = 0x01) :
		fBig(bigEndian)
	{
		U32('FOB1').U32(0).U32(0).U32(what).U8(flags);
		fHeaderEnd = fBytes.size();
	}

	Encoder& U8(uint8_t value)
	{
		fBytes.push_back(value);
		return *this;
	}

	Encoder& U32(uint32_t value)
	{
		for (int i = 0; i < 4; i++) {
			int shift = fBig ? 24 - 8 * i : 8 * i;
			fBytes.push_back(static_cast<uint8_t>(value >> shift));
		}
		return *this;
	}

	Encoder& Raw(const void* data, size_t size)
	{
		auto bytes = static_cast<const uint8_t*>(data);
		fBytes.insert(fBytes.end(), bytes, bytes + size);
		return *this;
	}

	// Extends the header part (target or reply sections), before any field.
	Encoder& HeaderBytes(size_t count)
	{
		fBytes.insert(fBytes.end(), count, 0);
		fHeaderEnd = fBytes.size();
		return *this;
	}

	// One fixed-size record of 32-bit words (int32, float bits, or any 4-byte type).
	Encoder& Words(const char* name, uint32_t type, const std::vector<uint32_t>& words,
		bool mini = true)
	{
		bool single = words.size() == 1;
		Record(0x05 | (mini ? 0x02 : 0) | (single ? 0x08 : 0), type, words.size(), 4 * words.size(),
			name, mini);
		for (uint32_t word : words)
			U32(word);
		return *this;
	}

	// One variable-size record of strings, each with its terminator, length word and padding.
	Encoder& Strings(const char* name, const std::vector<std::string>& values, bool mini = true)
	{
		size_t dataSize = 0;
		for (const std::string& value : values)
			dataSize += 4 + value.size() + 1 + Padding(value.size() + 1);
		Record(0x01 | (mini ? 0x02 : 0) | (values.size() == 1 ? 0x08 : 0), 'CSTR', values.size(),
			dataSize, name, mini);
		for (const std::string& value : values) {
			U32(static_cast<uint32_t>(value.size() + 1));
			Raw(value.c_str(), value.size() + 1);
			fBytes.insert(fBytes.end(), Padding(value.size() + 1), 0);
		}
		return *this;
	}

	// A record head with whatever counts and sizes a test wants; the data follows by hand.
	Encoder& Record(uint8_t flags, uint32_t type, size_t count, size_t dataSize, const char* name,
		bool mini)
	{
		U8(flags).U32(type);
		if ((flags & 0x08) == 0)
			mini ? U8(static_cast<uint8_t>(count)) : U32(static_cast<uint32_t>(count));
		mini ? U8(static_cast<uint8_t>(dataSize)) : U32(static_cast<uint32_t>(dataSize));
		U8(static_cast<uint8_t>(strlen(name)));
		return Raw(name, strlen(name));
	}

	// Appends the end marker and fills in the total size and the checksum.
	Bytes Finish(bool endMarker = true)
	{
		if (endMarker)
			U8(0);
		Put(8, static_cast<uint32_t>(fBytes.size()));
		uint32_t sum = 0;
		size_t i = 8;
		for (; i + 4 <= fHeaderEnd; i += 4)
			sum += uint32_t(fBytes[i]) << 24 | uint32_t(fBytes[i + 1]) << 16
				| uint32_t(fBytes[i + 2]) << 8 | fBytes[i + 3];
		uint32_t tail = 0;
		for (; i < fHeaderEnd; i++)
			tail = (tail << 8) + fBytes[i];
		Put(4, sum + tail);
		return fBytes;
	}

private:
	static size_t Padding(size_t length) { return (8 - (4 + length) % 8) % 8; }

	void Put(size_t offset, uint32_t value)
	{
		for (int i = 0; i < 4; i++) {
			int shift = fBig ? 24 - 8 * i : 8 * i;
			fBytes[offset + i] = static_cast<uint8_t>(value >> shift);
		}
	}

	bool fBig;
	size_t fHeaderEnd = 0;
	Bytes fBytes;
};

inline uint32_t
FloatBits(float value)
{
	uint32_t bits;
	memcpy(&bits, &value, 4);
	return bits;
}

// The seven settings keys with the values of the document's second example.
inline Bytes
EncodeSevenKeys(bool bigEndian, bool mini)
{
	Encoder encoder(bigEndian);
	encoder.Words("wndleft", 'FLOT', {FloatBits(100)}, mini)
		.Words("wndtop", 'FLOT', {FloatBits(100)}, mini)
		.Words("idxoben", 'LONG', {2}, mini)
		.Words("idxunten", 'LONG', {2}, mini)
		.Words("infront", 'LONG', {0}, mini)
		.Words("tabless", 'LONG', {0}, mini)
		.Words("runden", 'LONG', {0}, mini);
	return encoder.Finish();
}
