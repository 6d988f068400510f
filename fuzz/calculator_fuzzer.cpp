// Arbitrary key sequences into the calculator pad, which edits a real amount field. Whatever
// the keys, the field holds only the bytes of a decimal number, grows by at most one byte per
// key (a result, at most a double's full "%.2f" length), and an operator leaves exactly the
// running result in it, or nothing at all for an infinity or not-a-number.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "AmountInput.h"
#include "CalcButtons.h"
#include "CalcEngine.h"
#include "CalcView.h"
#include "FuzzCheck.h"
#include "Message.h"
#include "TEdit.h"

namespace {

// "-" + 309 digits + ".00": the longest "%.2f" of a finite double.
const size_t kLongestResult = 313;
const int32 kMaxKeys = 160;

bool
OnlyAmountBytes(std::string_view text)
{
	return text.find_first_not_of("0123456789.-") == std::string_view::npos;
}

// Input layout, so that seeds read as key sequences: an optional "#text#" first sets the
// field's starting text; then every byte is a typed key, except these escapes.
enum : uint8_t {
	kEscapeButton = 0xf0,    // the next byte, as a signed index, in a 'PRES' message
	kEscapeNoIndex = 0xf1,   // a 'PRES' message without its index
	kEscapeMultiByte = 0xf2, // the next two bytes as one two-byte key
};

// Presses what the input holds at *position and moves past it. Returns the button that was
// pressed, or -1 when none was.
int32
PressNext(const uint8_t* data, size_t size, size_t* position, CalcView& pad)
{
	uint8_t byte = data[(*position)++];
	if (byte == kEscapeButton && *position < size) {
		int32 index = static_cast<int8_t>(data[(*position)++]);
		BMessage message(kCalcPressed);
		message.AddInt32("ix", index);
		pad.MessageReceived(&message);
		return CalcButtonAt(index) != nullptr ? index : -1;
	}
	if (byte == kEscapeNoIndex) {
		BMessage message(kCalcPressed);
		pad.MessageReceived(&message);
		return -1;
	}
	char key[3] = {static_cast<char>(byte), 0, 0};
	int32 length = 1;
	if (byte == kEscapeMultiByte && *position + 2 <= size) {
		key[0] = static_cast<char>(data[(*position)++]);
		key[1] = static_cast<char>(data[(*position)++]);
		length = 2;
	}
	pad.KeyDown(key, length);
	return CalcButtonForKey(key, length);
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	TEdit field(BRect(0, 0, 120, 20), nullptr, BRect(2, 2, 118, 18), 0);
	size_t position = 0;
	if (size > 0 && data[0] == '#') {
		const void* end = memchr(data + 1, '#', size - 1);
		size_t length = end != nullptr ? static_cast<const uint8_t*>(end) - (data + 1) : size - 1;
		field.SetText(reinterpret_cast<const char*>(data + 1), static_cast<int32>(length));
		position = std::min(size, length + 2);
	}

	CalcView pad(BRect(0, 0, 103, 129));
	pad.SetTarget(&field);

	for (int32 step = 0; step < kMaxKeys && position < size; step++) {
		std::string before = field.Text();
		int32 index = PressNext(data, size, &position, pad);

		std::string_view text(field.Text(), strlen(field.Text()));
		FUZZ_CHECK(static_cast<int32>(text.size()) == field.TextLength(),
			"the field's text has no zero byte inside");
		FUZZ_CHECK(OnlyAmountBytes(text), "the field holds only amount bytes");
		FUZZ_CHECK(text.size() <= std::max(before.size() + 1, kLongestResult),
			"a key adds at most one byte, a result at most a double's length");

		const CalcButton* button = CalcButtonAt(index);
		if (button == nullptr) {
			FUZZ_CHECK(text == before, "a key that is no button changes nothing");
			continue;
		}
		const CalcEngine& engine = pad.Engine();
		if (button->kind == CalcKeyKind::kOperator || button->kind == CalcKeyKind::kEquals) {
			std::string shown = CalcEngine::FormatResult(engine.Accumulator());
			FUZZ_CHECK(text == FilterAmountInput(shown.data(), shown.size()),
				"an operator shows the running result");
			FUZZ_CHECK(!engine.Typing() && engine.PendingOperator() == index,
				"an operator waits for the next number");
			if (!std::isfinite(engine.Accumulator()))
				FUZZ_CHECK(text.empty(), "a non-finite result leaves no sign behind");
		}
	}
	return 0;
}
