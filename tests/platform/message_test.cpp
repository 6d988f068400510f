#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <malloc.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DataIO.h"
#include "FlattenedExamples.h"
#include "MemoryStream.h"
#include "Message.h"
#include "MessageBytes.h"

using BPrivate::MemoryStream;

namespace {

Bytes
Flattened(const BMessage& message)
{
	Bytes bytes(static_cast<size_t>(message.FlattenedSize()));
	EXPECT_EQ(B_OK, message.Flatten(reinterpret_cast<char*>(bytes.data()), bytes.size()));
	return bytes;
}

status_t
Load(BMessage* message, const Bytes& bytes)
{
	return message->Unflatten(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

BMessage
SevenKeys()
{
	BMessage message('pref');
	message.AddFloat("wndleft", 100);
	message.AddFloat("wndtop", 100);
	message.AddInt32("idxoben", 2);
	message.AddInt32("idxunten", 2);
	message.AddInt32("infront", 0);
	message.AddInt32("tabless", 0);
	message.AddInt32("runden", 0);
	return message;
}

// A message with something of every kind the writer handles.
BMessage
Assorted()
{
	BMessage message('mixd');
	message.AddInt32("numbers", -1);
	message.AddInt32("numbers", 0x12345678);
	message.AddFloat("ratio", 1.95583f);
	double exact = 40.3399;
	message.AddData("exact", B_DOUBLE_TYPE, &exact, sizeof(exact));
	message.AddBool("flag", true);
	message.AddString("words", "Deutsche Mark");
	message.AddString("words", "");
	message.AddString("words", "sieben!");
	int16 shorts[] = {-2, 300};
	message.AddData("shorts", B_INT16_TYPE, &shorts[0], 2);
	message.AddData("shorts", B_INT16_TYPE, &shorts[1], 2);
	uint8 blob[300];
	for (size_t i = 0; i < sizeof(blob); i++)
		blob[i] = static_cast<uint8>(i * 7);
	message.AddData("blob", 'ZZZZ', blob, sizeof(blob), false);
	return message;
}

} // namespace

TEST(MessageFields, TypedValuesComeBackAsStored)
{
	BMessage message = Assorted();
	int32 number;
	float ratio;
	const void* exact;
	bool flag;
	const char* text;
	EXPECT_EQ(B_OK, message.FindInt32("numbers", 1, &number));
	EXPECT_EQ(0x12345678, number);
	EXPECT_EQ(B_OK, message.FindFloat("ratio", &ratio));
	EXPECT_EQ(1.95583f, ratio);
	EXPECT_EQ(B_OK, message.FindData("exact", B_DOUBLE_TYPE, 0, &exact, nullptr));
	EXPECT_EQ(40.3399, *static_cast<const double*>(exact));
	EXPECT_EQ(B_OK, message.FindBool("flag", &flag));
	EXPECT_TRUE(flag);
	EXPECT_EQ(B_OK, message.FindString("words", 2, &text));
	EXPECT_STREQ("sieben!", text);
	EXPECT_EQ(B_BAD_INDEX, message.FindString("words", 3, &text));

	EXPECT_EQ(7, CountFields(message));
	EXPECT_EQ(1, CountFields(message, B_INT32_TYPE));
}

TEST(MessageFields, LookupFailuresHaveTheirOwnStatus)
{
	BMessage message;
	message.AddInt32("wndleft", 5);
	float value = 42;
	int32 number;
	const void* data;

	struct Case {
		const char* what;
		status_t status;
		status_t expected;
	} cases[] = {
		{"missing", message.FindFloat("nothing", &value), B_NAME_NOT_FOUND},
		{"other type", message.FindFloat("wndleft", &value), B_BAD_TYPE},
		{"past the last", message.FindInt32("wndleft", 1, &number), B_BAD_INDEX},
		{"negative index", message.FindInt32("wndleft", -1, &number), B_BAD_INDEX},
		{"null name", message.FindData(nullptr, B_ANY_TYPE, 0, &data, nullptr), B_BAD_VALUE},
		{"replace missing", message.ReplaceInt32("nothing", 0, 1), B_NAME_NOT_FOUND},
		{"replace other type", message.ReplaceFloat("wndleft", 0, 1), B_BAD_TYPE},
		{"replace past the last", message.ReplaceInt32("wndleft", 1, 1), B_BAD_INDEX},
		{"remove missing", message.RemoveName("nothing"), B_NAME_NOT_FOUND},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.expected, c.status) << c.what;
	EXPECT_EQ(42, value) << "a failed find leaves the output alone";
	EXPECT_EQ(B_OK, message.FindData("wndleft", B_ANY_TYPE, 0, &data, nullptr));
}

TEST(MessageFields, AddOfAnotherTypeIsRefusedAndTheFieldSurvives)
{
	BMessage message;
	ASSERT_EQ(B_OK, message.AddInt32("wndleft", 7));
	EXPECT_EQ(B_BAD_TYPE, message.AddFloat("wndleft", 1.5f));
	EXPECT_FALSE(message.HasFloat("wndleft"));
	EXPECT_TRUE(message.HasInt32("wndleft"));
	EXPECT_FALSE(message.HasInt32("wndleft", 1));

	int32 value;
	EXPECT_EQ(B_OK, message.FindInt32("wndleft", &value));
	EXPECT_EQ(7, value);
	EXPECT_EQ(B_OK, message.ReplaceInt32("wndleft", 0, 9));
	EXPECT_EQ(B_OK, message.FindInt32("wndleft", &value));
	EXPECT_EQ(9, value);
}

// Has* answers for one type at one index; Replace* changes one value in place of its type.
TEST(MessageFields, HasAndReplaceHonourTypeAndIndex)
{
	BMessage message = Assorted();
	message.AddFloat("ratio", 0.5f);
	message.AddInt64("wide", int64(1) << 40);
	struct Case {
		const char* what;
		bool has;
		bool expected;
	} cases[] = {
		{"int32, second", message.HasInt32("numbers", 1), true},
		{"int32 past the last", message.HasInt32("numbers", 2), false},
		{"int32, negative index", message.HasInt32("numbers", -1), false},
		{"int32 of a float", message.HasInt32("ratio"), false},
		{"int32 of an int64", message.HasInt32("wide"), false},
		{"float, second", message.HasFloat("ratio", 1), true},
		{"float of a double", message.HasFloat("exact"), false},
		{"float of raw data", message.HasFloat("blob"), false},
		{"missing name", message.HasFloat("nothing"), false},
		{"null name", message.HasInt32(nullptr), false},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.expected, c.has) << c.what;

	EXPECT_EQ(B_OK, message.ReplaceFloat("ratio", 1, -0.5f));
	EXPECT_EQ(B_BAD_TYPE, message.ReplaceFloat("exact", 0, 2.0f));
	EXPECT_EQ(B_BAD_INDEX, message.ReplaceFloat("ratio", 2, 2.0f));
	float first = 0;
	float second = 0;
	EXPECT_EQ(B_OK, message.FindFloat("ratio", &first));
	EXPECT_EQ(1.95583f, first) << "only the named value changes";
	EXPECT_EQ(B_OK, message.FindFloat("ratio", 1, &second));
	EXPECT_EQ(-0.5f, second);
	const void* exact = nullptr;
	EXPECT_EQ(B_OK, message.FindData("exact", B_DOUBLE_TYPE, 0, &exact, nullptr));
	EXPECT_EQ(40.3399, *static_cast<const double*>(exact)) << "a refused replace leaves it alone";
	const void* wide = nullptr;
	ssize_t size = 0;
	EXPECT_EQ(B_OK, message.FindData("wide", B_INT64_TYPE, 0, &wide, &size));
	ASSERT_EQ(8, size);
	EXPECT_EQ(int64(1) << 40, *static_cast<const int64*>(wide));
}

TEST(MessageFields, AddRefusesItemsTheFinderCouldNotReadSafely)
{
	BMessage message;
	int64 wide = 0;
	const char unterminated[] = {'a', 'b'};
	std::string longName(256, 'n');
	EXPECT_EQ(B_BAD_VALUE, message.AddData("n", B_INT32_TYPE, &wide, 8));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("s", B_STRING_TYPE, unterminated, 2, false));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("z", 'ZZZZ', &wide, 0));
	EXPECT_EQ(B_BAD_VALUE, message.AddInt32("", 1));
	EXPECT_EQ(B_BAD_VALUE, message.AddInt32(longName.c_str(), 1));
	EXPECT_EQ(B_BAD_TYPE, message.AddData("a", B_ANY_TYPE, &wide, 8));
	ASSERT_EQ(B_OK, message.AddData("raw", 'ZZZZ', &wide, 4));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("raw", 'ZZZZ', &wide, 8))
		<< "a fixed-size field keeps one item size";
	EXPECT_EQ(1, CountFields(message));
}

// #pragma mark - Flattening

TEST(MessageFlatten, WritesTheDocumentedExamplesByteForByte)
{
	std::vector<Bytes> examples = FormatExamples();
	ASSERT_EQ(2u, examples.size());
	ASSERT_EQ(18u, examples[0].size());
	ASSERT_EQ(143u, examples[1].size());

	EXPECT_EQ(examples[0], Flattened(BMessage('pref')));
	EXPECT_EQ(examples[1], Flattened(SevenKeys()));
	EXPECT_EQ(examples[1], EncodeSevenKeys(false, true)) << "the test encoder agrees";
}

TEST(MessageFlatten, EveryFormOfTheSevenKeysLoadsTheSame)
{
	struct Form {
		const char* name;
		bool bigEndian;
		bool mini;
		size_t size;
	} forms[] = {
		{"little, mini", false, true, 143},
		{"little, full sizes", false, false, 164},
		{"big, mini", true, true, 143},
		{"big, full sizes", true, false, 164},
	};
	for (const Form& form : forms) {
		Bytes bytes = EncodeSevenKeys(form.bigEndian, form.mini);
		EXPECT_EQ(form.size, bytes.size()) << form.name;
		BMessage message;
		EXPECT_EQ(B_OK, Load(&message, bytes)) << form.name;
		EXPECT_TRUE(SameMessage(message, SevenKeys())) << form.name;
	}
}

TEST(MessageFlatten, BigEndianStringsAndCountsLoad)
{
	for (bool mini : {true, false}) {
		Bytes bytes = Encoder(true, 'strs')
						  .Strings("land", {"Luxemburg", "", "Deutschland und Oesterreich"}, mini)
						  .Words("pair", 'LONG', {1, 0xfffffffe}, mini)
						  .Finish();
		BMessage message;
		ASSERT_EQ(B_OK, Load(&message, bytes)) << mini;
		const char* text;
		int32 value;
		EXPECT_EQ(B_OK, message.FindString("land", 2, &text));
		EXPECT_STREQ("Deutschland und Oesterreich", text);
		EXPECT_EQ(B_OK, message.FindString("land", 1, &text));
		EXPECT_STREQ("", text);
		EXPECT_EQ(B_OK, message.FindInt32("pair", 1, &value));
		EXPECT_EQ(-2, value);
		EXPECT_EQ('strs', message.what);
	}
}

TEST(MessageFlatten, RoundTripKeepsEverythingButPointers)
{
	BMessage message = Assorted();
	int here = 0;
	const int* self = &here;
	ASSERT_EQ(B_OK, message.AddData("self", B_POINTER_TYPE, &self, sizeof(self)));

	BMessage loaded;
	ASSERT_EQ(B_OK, Load(&loaded, Flattened(message)));
	const void* data;
	EXPECT_EQ(B_NAME_NOT_FOUND, loaded.FindData("self", B_ANY_TYPE, 0, &data, nullptr));
	message.RemoveName("self");
	EXPECT_TRUE(SameMessage(loaded, message));

	// The 300-byte blob needs four-byte sizes, the rest keep the one-byte form.
	Bytes bytes = Flattened(message);
	EXPECT_EQ(static_cast<size_t>(message.FlattenedSize()), bytes.size());
}

TEST(MessageFlatten, SkipsTargetAndReplySections)
{
	Bytes bytes =
		Encoder(false, 'pref', 0x07).HeaderBytes(20).Words("runden", 'LONG', {2}).Finish();
	BMessage message;
	ASSERT_EQ(B_OK, Load(&message, bytes));
	int32 value;
	EXPECT_EQ(B_OK, message.FindInt32("runden", &value));
	EXPECT_EQ(2, value);
}

TEST(MessageFlatten, UnknownTypesAreKeptAsTheyCame)
{
	uint8 odd[] = {1, 2, 3};
	Bytes bytes = Encoder().Record(0x0F, 'QXTZ', 1, 3, "mystery", true).Raw(odd, 3).Finish();
	BMessage message;
	ASSERT_EQ(B_OK, Load(&message, bytes));
	EXPECT_EQ(bytes, Flattened(message));
}

TEST(MessageFlatten, BytesAfterTheTotalSizeAreIgnored)
{
	Bytes bytes = FormatExamples()[1];
	bytes.insert(bytes.end(), {0xde, 0xad, 0xbe, 0xef, 0x01});
	BMessage message;
	EXPECT_EQ(B_OK, Load(&message, bytes));
	EXPECT_TRUE(SameMessage(message, SevenKeys()));
}

// #pragma mark - Damage

TEST(MessageDamage, EveryTruncationFailsAndEmptiesTheMessage)
{
	Bytes valid = Flattened(Assorted());
	for (size_t length = 0; length < valid.size(); length++) {
		BMessage message = SevenKeys();
		Bytes cut(valid.begin(), valid.begin() + length);
		EXPECT_NE(B_OK, Load(&message, cut)) << length;
		EXPECT_EQ(0, CountFields(message)) << length;
		EXPECT_EQ(0u, message.what) << length;
	}
}

TEST(MessageDamage, MalformedRecordsAreRejectedInEitherByteOrder)
{
	const uint8 three[3] = {};
	const uint8 eight[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
	using Build = std::function<Bytes(bool)>;
	// The seven-key file (record one at 17: flags, type, size at 22, name length at 23) with
	// one value changed.
	auto patched = [](size_t offset, uint32 value, bool word) -> Build {
		return [=](bool big) {
			Bytes bytes = EncodeSevenKeys(big, true);
			if (!word) {
				bytes[offset] = static_cast<uint8>(value);
				return bytes;
			}
			for (int i = 0; i < 4; i++)
				bytes[offset + i] = static_cast<uint8>(value >> (big ? 24 - 8 * i : 8 * i));
			return bytes;
		};
	};

	struct Case {
		const char* what;
		Build build;
	} cases[] = {
		{"wrong magic", patched(0, 'FOB2', true)},
		{"total past the end", patched(8, 144, true)},
		{"total shorter than a header", patched(8, 17, true)},
		{"total huge", patched(8, 0xffffffff, true)},
		{"total cuts a record", patched(8, 100, true)},
		{"data size past the end", patched(22, 0xff, false)},
		{"zero data size", patched(22, 0, false)},
		{"zero-length name", patched(23, 0, false)},
		{"name past the end", patched(23, 0xff, false)},
		{"zero byte in a name", patched(24, 0, false)},
		{"no end marker",
			[](bool big) { return Encoder(big).Words("a", 'LONG', {1}).Finish(false); }},
		{"end marker before the total",
			[](bool big) {
				return Encoder(big).Words("a", 'LONG', {1}).U8(0).U8(0).Finish(false);
			}},
		{"zero count",
			[](bool big) {
				return Encoder(big).Record(0x07, 'LONG', 0, 4, "a", true).U32(1).Finish();
			}},
		{"huge count",
			[](bool big) {
				return Encoder(big).Record(0x05, 'LONG', 0xffffffff, 4, "a", false).U32(1).Finish();
			}},
		{"count above the data size",
			[](bool big) {
				return Encoder(big).Record(0x07, 'ZZZZ', 200, 4, "a", true).U32(1).Finish();
			}},
		{"count not dividing the size",
			[&](bool big) {
				return Encoder(big).Record(0x07, 'ZZZZ', 2, 3, "a", true).Raw(three, 3).Finish();
			}},
		{"int32 of three bytes",
			[&](bool big) {
				return Encoder(big).Record(0x0F, 'LONG', 1, 3, "a", true).Raw(three, 3).Finish();
			}},
		{"int32 of eight bytes",
			[&](bool big) {
				return Encoder(big).Record(0x0F, 'LONG', 1, 8, "a", true).Raw(eight, 8).Finish();
			}},
		{"huge data size",
			[](bool big) {
				return Encoder(big).Record(0x0D, 'LONG', 1, 0x7fffffff, "a", false).U32(1).Finish();
			}},
		{"data size above int32",
			[](bool big) {
				return Encoder(big).Record(0x0D, 'LONG', 1, 0x80000004, "a", false).U32(1).Finish();
			}},
		{"string without terminator",
			[&](bool big) {
				return Encoder(big)
					.Record(0x0B, 'CSTR', 1, 12, "s", true)
					.U32(8)
					.Raw(eight, 8)
					.Finish();
			}},
		{"string length past its data",
			[&](bool big) {
				return Encoder(big)
					.Record(0x0B, 'CSTR', 1, 12, "s", true)
					.U32(200)
					.Raw(eight, 8)
					.Finish();
			}},
		{"zero-length item",
			[](bool big) {
				return Encoder(big).Record(0x0B, 'ZZZZ', 1, 8, "s", true).U32(0).U32(0).Finish();
			}},
		{"bytes left over in variable data",
			[&](bool big) {
				return Encoder(big)
					.Record(0x0B, 'ZZZZ', 1, 16, "s", true)
					.U32(1)
					.Raw(eight, 8)
					.U32(0)
					.Finish();
			}},
		{"same name, other type",
			[](bool big) {
				return Encoder(big).Words("a", 'LONG', {1}).Words("a", 'FLOT', {0}).Finish();
			}},
		{"any-type field", [](bool big) { return Encoder(big).Words("a", 'ANYT', {1}).Finish(); }},
	};

	for (const Case& c : cases) {
		for (bool big : {false, true}) {
			BMessage message = SevenKeys();
			EXPECT_NE(B_OK, Load(&message, c.build(big))) << c.what << (big ? " (big)" : "");
			EXPECT_EQ(0, CountFields(message)) << c.what;
			EXPECT_EQ(0u, message.what) << c.what;
		}
	}
}

TEST(MessageDamage, RandomCorruptionNeverBreaksTheReader)
{
	// Whatever comes back must be a message that flattens and reads back to itself.
	std::mt19937 random(20020101);
	Bytes valid = Flattened(Assorted());
	for (int round = 0; round < 20000; round++) {
		Bytes bytes = valid;
		int flips = 1 + static_cast<int>(random() % 4);
		for (int i = 0; i < flips; i++)
			bytes[random() % bytes.size()] = static_cast<uint8>(random());
		BMessage message;
		if (Load(&message, bytes) != B_OK) {
			ASSERT_EQ(0, CountFields(message));
			continue;
		}
		BMessage again;
		ASSERT_EQ(B_OK, Load(&again, Flattened(message)));
		ASSERT_TRUE(SameMessage(again, message));
	}
}

// #pragma mark - Streams

TEST(MessageStream, ReadsOneMessageAndStopsBehindIt)
{
	MemoryStream stream;
	ASSERT_EQ(B_OK, SevenKeys().Flatten(&stream));
	ASSERT_EQ(B_OK, BMessage('pref').Flatten(&stream));
	stream.Write("tail", 4);
	stream.Seek(0, SEEK_SET);

	BMessage first, second, third;
	EXPECT_EQ(B_OK, first.Unflatten(&stream));
	EXPECT_EQ(143, stream.Position());
	EXPECT_EQ(B_OK, second.Unflatten(&stream));
	EXPECT_TRUE(SameMessage(first, SevenKeys()));
	EXPECT_TRUE(SameMessage(second, BMessage('pref')));
	EXPECT_NE(B_OK, third.Unflatten(&stream));
}

TEST(MessageStream, AHeaderClaimingMoreThanTheStreamHoldsFails)
{
	for (uint32 claimed : {200u, 1u << 20, 0x7fffffffu, 0xffffffffu}) {
		Bytes bytes = FormatExamples()[1];
		memcpy(bytes.data() + 8, &claimed, 4);
		MemoryStream stream(bytes.data(), bytes.size());
		BMessage message = SevenKeys();
		EXPECT_NE(B_OK, message.Unflatten(&stream)) << claimed;
		EXPECT_EQ(0, CountFields(message));
	}
}

TEST(MessageStream, WriteErrorsReachTheCaller)
{
	MemoryStream full = MemoryStream::WithCapacity(20);
	ssize_t written = -1;
	EXPECT_NE(B_OK, SevenKeys().Flatten(&full, &written));
	EXPECT_EQ(20, written);

	const uint8 constant[200] = {};
	MemoryStream readOnly(constant, sizeof(constant), true);
	EXPECT_EQ(B_NOT_ALLOWED, SevenKeys().Flatten(&readOnly));
}

// Fields of the platform's fixed-layout types in a big-endian file come out in host order, and a
// save (flatten in host order, read back) keeps their values; a type nobody here knows keeps
// its bytes as they were.
TEST(MessageFlatten, OtherByteOrderFieldsOfEveryNamedTypeSurviveASave)
{
	struct Case {
		const char* name;
		uint32_t type;
		Bytes big;  // the item as a big-endian writer stored it
		Bytes host; // the same item in this machine's order
	} cases[] = {
		{"time", 'TIME', {0, 0, 0x01, 0x1f, 0x71, 0xfb, 0x04, 0xcb},
			{0xcb, 0x04, 0xfb, 0x71, 0x1f, 0x01, 0, 0}},
		{"time32", 'TIME', {0x12, 0x34, 0x56, 0x78}, {0x78, 0x56, 0x34, 0x12}},
		{"offset", 'OFFT', {0, 0, 0, 0, 0, 0, 0x01, 0x02}, {0x02, 0x01, 0, 0, 0, 0, 0, 0}},
		{"size", 'SIZT', {0, 0, 0x01, 0x02}, {0x02, 0x01, 0, 0}},
		{"ssize", 'SSZT', {0xff, 0xff, 0xff, 0xfe}, {0xfe, 0xff, 0xff, 0xff}},
		{"int64", 'LLNG', {1, 2, 3, 4, 5, 6, 7, 8}, {8, 7, 6, 5, 4, 3, 2, 1}},
		{"int16", 'SHRT', {0x01, 0x02}, {0x02, 0x01}},
		{"messenger", 'MSNG', {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3},
			{1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}},
		{"transform", 'AMTX', Bytes(48, 0), Bytes(48, 0)},
		{"node", 'NREF', {0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 9},
			{7, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0}},
		{"colour", 'RGBC', {1, 2, 3, 4}, {1, 2, 3, 4}},
		{"unknown", 'zzzz', {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}},
	};
	cases[8].big[0] = 0x3f;
	cases[8].big[1] = 0xf0;
	cases[8].host[7] = 0x3f;
	cases[8].host[6] = 0xf0;
	if (std::endian::native == std::endian::big)
		GTEST_SKIP() << "written for a little-endian host";

	Encoder encoder(true);
	for (const Case& c : cases) {
		encoder.Record(0x0f, c.type, 1, c.big.size(), c.name, true);
		encoder.Raw(c.big.data(), c.big.size());
	}
	BMessage loaded;
	ASSERT_EQ(B_OK, Load(&loaded, encoder.Finish()));
	BMessage saved;
	ASSERT_EQ(B_OK, Load(&saved, Flattened(loaded)));
	for (const Case& c : cases) {
		for (const BMessage* message : {&loaded, &saved}) {
			const void* data = nullptr;
			ssize_t size = 0;
			ASSERT_EQ(B_OK, message->FindData(c.name, c.type, 0, &data, &size)) << c.name;
			const uint8_t* bytes = static_cast<const uint8_t*>(data);
			EXPECT_EQ(c.host, Bytes(bytes, bytes + size)) << c.name;
		}
	}
	int64 time = 0;
	memcpy(&time, cases[0].host.data(), 8);
	EXPECT_EQ(1234567890123, time);
}

namespace {

// A flattened message of about size bytes, of one of the shapes that cost most per byte.
Bytes
LargeMessage(char shape, size_t size)
{
	Encoder encoder;
	switch (shape) {
		case 'f':
		{
			// One field of one-byte items.
			Bytes items(size, 7);
			encoder.Record(0x05, 'BYTE', items.size(), items.size(), "bytes", false);
			encoder.Raw(items.data(), items.size());
			break;
		}
		case 'v':
		{
			// One field of empty strings: each a length word, a zero and padding.
			size_t count = size / 8;
			encoder.Record(0x01, 'CSTR', count, count * 8, "strings", false);
			for (size_t i = 0; i < count; i++)
				encoder.U32(1).U8(0).U8(0).U8(0).U8(0);
			break;
		}
		case 'r':
			// The same name again and again, one byte each time.
			for (size_t i = 0; i < size / 9; i++)
				encoder.Record(0x0f, 'BYTE', 1, 1, "r", true).U8(1);
			break;
		case 'n':
			// A new name for every one-byte record.
			for (size_t i = 0; i < size / 13; i++) {
				char name[8];
				snprintf(name, sizeof(name), "%05zx", i);
				encoder.Record(0x0f, 'BYTE', 1, 1, name, true).U8(1);
			}
			break;
	}
	return encoder.Finish();
}

#if defined(__SANITIZE_ADDRESS__)
const bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const bool kSanitized = true;
#else
const bool kSanitized = false;
#endif
#else
const bool kSanitized = false;
#endif

size_t
VirtualSize()
{
	FILE* status = fopen("/proc/self/statm", "r");
	unsigned long pages = 0;
	if (status != nullptr) {
		if (fscanf(status, "%lu", &pages) != 1)
			pages = 0;
		fclose(status);
	}
	return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// Blocks the allocator took from the heap and those it mapped on their own: glibc moves its
// mapping threshold as a process frees large blocks, so either may hold a big read.
size_t
HeapInUse()
{
	struct mallinfo2 info = mallinfo2();
	return info.uordblks + info.hblkhd;
}

} // namespace

// Reading a message holds it in a small multiple of its flattened size, whatever its shape:
// what stays after the read is measured on the heap, the peak under an address-space limit.
TEST(MessageFlatten, ReadingHoldsASmallMultipleOfTheBytes)
{
	if (kSanitized)
		GTEST_SKIP() << "the sanitizer's own allocator";
	const size_t kSize = 1000 * 1000;
	struct Case {
		char shape;
		const char* what;
		size_t retained; // at most this many times the bytes stay in use after the read
	} cases[] = {
		{'f', "one field of one-byte items", 2},
		{'v', "one field of empty strings", 2},
		{'r', "one name repeated in one-byte records", 2},
		{'n', "a new name for every one-byte record", 12},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		Bytes bytes = LargeMessage(c.shape, kSize);
		ASSERT_GT(bytes.size(), kSize * 9 / 10);

		size_t before = HeapInUse();
		{
			BMessage message;
			ASSERT_EQ(B_OK, Load(&message, bytes));
			size_t held = HeapInUse() - before;
			EXPECT_LE(held, c.retained * bytes.size()) << held << " bytes held";
		}

		// The peak: a child with room for the bytes and sixteen times as much again.
		pid_t child = fork();
		ASSERT_GE(child, 0);
		if (child == 0) {
			rlimit limit{};
			limit.rlim_cur = limit.rlim_max = VirtualSize() + 16 * bytes.size();
			setrlimit(RLIMIT_AS, &limit);
			BMessage message;
			MemoryStream stream(bytes.data(), bytes.size());
			_exit(message.Unflatten(&stream) == B_OK ? 0 : 1);
		}
		int status = 0;
		waitpid(child, &status, 0);
		EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "ran out of memory";
	}
}
