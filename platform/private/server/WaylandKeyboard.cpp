#include "WaylandKeyboard.h"

#include <X11/X.h>

#include <algorithm>
#include <cstring>

#include "InterfaceDefs.h"
#include "X11Input.h"

namespace BPrivate {

namespace {

// Wayland sends evdev codes; xkb's are 8 higher, as X's.
const uint32 kEvdevOffset = 8;
// A loop that slept through many repeats delivers this many at most.
const int32 kMaxRepeatsAtOnce = 3;

void
SetBytes(BackendEvent* event, const char* bytes, int32 length)
{
	length = std::min(length, (int32)sizeof(event->bytes) - 1);
	memcpy(event->bytes, bytes, (size_t)length);
	event->bytes[length] = '\0';
	event->numBytes = length;
}

} // namespace

WaylandKeyboard::WaylandKeyboard() : fContext(xkb_context_new(XKB_CONTEXT_NO_FLAGS))
{
}

WaylandKeyboard::~WaylandKeyboard()
{
	xkb_compose_state_unref(fCompose);
	xkb_compose_table_unref(fComposeTable);
	xkb_state_unref(fState);
	xkb_keymap_unref(fKeymap);
	xkb_context_unref(fContext);
}

bool
WaylandKeyboard::SetKeymap(const char* text)
{
	if (fContext == nullptr || text == nullptr)
		return false;
	xkb_keymap* keymap = xkb_keymap_new_from_string(fContext, text, XKB_KEYMAP_FORMAT_TEXT_V1,
		XKB_KEYMAP_COMPILE_NO_FLAGS);
	if (keymap == nullptr)
		return false;
	xkb_state* state = xkb_state_new(keymap);
	if (state == nullptr) {
		xkb_keymap_unref(keymap);
		return false;
	}
	xkb_state_unref(fState);
	xkb_keymap_unref(fKeymap);
	fKeymap = keymap;
	fState = state;
	fRepeatKey = 0;
	return true;
}

void
WaylandKeyboard::OpenCompose(const char* locale)
{
	if (fContext == nullptr || fComposeTable != nullptr)
		return;
	fComposeTable = xkb_compose_table_new_from_locale(fContext,
		locale != nullptr && locale[0] != '\0' ? locale : "C", XKB_COMPOSE_COMPILE_NO_FLAGS);
	if (fComposeTable != nullptr)
		fCompose = xkb_compose_state_new(fComposeTable, XKB_COMPOSE_STATE_NO_FLAGS);
}

void
WaylandKeyboard::SetModifiers(uint32 depressed, uint32 latched, uint32 locked, uint32 group)
{
	if (fState != nullptr)
		xkb_state_update_mask(fState, depressed, latched, locked, 0, 0, group);
}

void
WaylandKeyboard::Enter(const std::vector<uint32>& held)
{
	for (DownKey& key : fKeys) {
		key.down = false;
		key.heldBefore = false;
		key.bytes[0] = '\0';
	}
	for (uint32 key : held) {
		if (key + kEvdevOffset < fKeys.size())
			fKeys[key + kEvdevOffset].heldBefore = true;
	}
	fRepeatKey = 0;
}

void
WaylandKeyboard::Leave()
{
	fRepeatKey = 0;
	if (fCompose != nullptr)
		xkb_compose_state_reset(fCompose);
}

void
WaylandKeyboard::SetRepeat(int32 rate, int32 delayMs)
{
	fRepeatRate = std::max(rate, (int32)0);
	fRepeatDelayUs = (int64)std::max(delayMs, (int32)0) * 1000;
	if (fRepeatRate == 0)
		fRepeatKey = 0;
}

uint32
WaylandKeyboard::_XState() const
{
	// The X state bits X11Modifiers reads, from xkb's named modifiers.
	struct Named {
		const char* name;
		uint32 mask;
	};
	static const Named kNamed[] = {
		{XKB_MOD_NAME_SHIFT, ShiftMask},
		{XKB_MOD_NAME_CAPS, LockMask},
		{XKB_MOD_NAME_CTRL, ControlMask},
		{XKB_MOD_NAME_ALT, Mod1Mask},
		{XKB_MOD_NAME_LOGO, Mod4Mask},
	};
	uint32 state = 0;
	if (fState == nullptr)
		return state;
	for (const Named& named : kNamed) {
		if (xkb_state_mod_name_is_active(fState, named.name, XKB_STATE_MODS_EFFECTIVE) > 0)
			state |= named.mask;
	}
	return state;
}

uint32
WaylandKeyboard::Modifiers() const
{
	return X11Modifiers(_XState());
}

void
WaylandKeyboard::Key(uint32 key, bool pressed, uint32 window, int64 nowUs,
	std::deque<BackendEvent>* events)
{
	if (fState == nullptr)
		return;
	const uint32 code = key + kEvdevOffset;
	DownKey* down = code < fKeys.size() ? &fKeys[code] : nullptr;
	if (!pressed) {
		if (code == fRepeatKey)
			fRepeatKey = 0;
		if (down == nullptr)
			return;
		const bool sent = down->down && !down->heldBefore && down->bytes[0] != '\0';
		down->down = false;
		down->heldBefore = false;
		if (!sent)
			return;
		BackendEvent up;
		up.type = BackendEvent::kKeyUp;
		up.window = window;
		up.modifiers = Modifiers();
		up.rawChar = down->rawChar;
		SetBytes(&up, down->bytes, (int32)strnlen(down->bytes, sizeof(down->bytes)));
		down->bytes[0] = '\0';
		events->push_back(up);
		return;
	}
	// Down before the window had the focus (a Ctrl+Q that closed another program, say).
	if (down != nullptr && down->heldBefore)
		return;
	if (down != nullptr)
		down->down = true;
	_Press(code, false, window, events);
	if (fRepeatRate > 0 && xkb_keymap_key_repeats(fKeymap, code)) {
		fRepeatKey = code;
		fRepeatWindow = window;
		fRepeatAt = nowUs + fRepeatDelayUs;
	} else
		fRepeatKey = 0;
}

void
WaylandKeyboard::Repeat(int64 nowUs, std::deque<BackendEvent>* events)
{
	const int64 interval = fRepeatRate > 0 ? 1000000 / fRepeatRate : 0;
	for (int32 i = 0; fRepeatKey != 0 && fRepeatAt <= nowUs; i++) {
		if (i < kMaxRepeatsAtOnce)
			_Press(fRepeatKey, true, fRepeatWindow, events);
		fRepeatAt += interval;
		if (i >= kMaxRepeatsAtOnce && fRepeatAt <= nowUs)
			fRepeatAt = nowUs + interval;
	}
}

int32
WaylandKeyboard::_Text(uint32 code, xkb_keysym_t keysym, std::string* text)
{
	text->clear();
	if (fCompose != nullptr
		&& xkb_compose_state_feed(fCompose, keysym) == XKB_COMPOSE_FEED_ACCEPTED) {
		switch (xkb_compose_state_get_status(fCompose)) {
			case XKB_COMPOSE_COMPOSING:
				return -1; // part of a sequence: nothing yet
			case XKB_COMPOSE_CANCELLED:
				xkb_compose_state_reset(fCompose);
				return -1;
			case XKB_COMPOSE_COMPOSED:
			{
				char buffer[64];
				const int size = xkb_compose_state_get_utf8(fCompose, buffer, sizeof(buffer));
				xkb_compose_state_reset(fCompose);
				text->assign(buffer, (size_t)std::clamp(size, 0, (int)sizeof(buffer) - 1));
				return (int32)text->size();
			}
			case XKB_COMPOSE_NOTHING:
				break;
		}
	}
	const int size = xkb_state_key_get_utf8(fState, code, nullptr, 0);
	if (size > 0) {
		text->resize((size_t)size + 1);
		xkb_state_key_get_utf8(fState, code, text->data(), text->size());
		text->resize((size_t)size);
	}
	return (int32)text->size();
}

void
WaylandKeyboard::_Press(uint32 code, bool repeat, uint32 window, std::deque<BackendEvent>* events)
{
	const xkb_keysym_t keysym = xkb_state_key_get_one_sym(fState, code);
	const uint32 xState = _XState();

	BackendEvent down;
	down.type = BackendEvent::kKeyDown;
	down.window = window;
	down.modifiers = X11Modifiers(xState);
	down.repeat = repeat;
	// The unshifted character of the key, for shortcuts.
	const xkb_keysym_t* levelZero = nullptr;
	const xkb_layout_index_t layout = xkb_state_key_get_layout(fState, code);
	if (xkb_keymap_key_get_syms_by_level(fKeymap, code, layout, 0, &levelZero) > 0)
		down.rawChar = (int32)X11KeysymCharacter(levelZero[0]);

	char bytes[8];
	if (int32 function = X11FunctionKey(keysym)) {
		bytes[0] = (char)B_FUNCTION_KEY;
		SetBytes(&down, bytes, 1);
		down.rawChar = function;
		_Remember(code, down);
		events->push_back(down);
		return;
	}
	if (uint8 byte = X11KeyByte(keysym)) {
		bytes[0] = (char)byte;
		SetBytes(&down, bytes, 1);
		down.rawChar = byte;
		_Remember(code, down);
		events->push_back(down);
		return;
	}
	if ((xState & (ControlMask | Mod1Mask)) != 0 && down.rawChar != 0) {
		uint32 c = (uint32)down.rawChar;
		if ((down.modifiers & B_SHIFT_KEY) != 0 && c >= 'a' && c <= 'z')
			c -= 'a' - 'A';
		const int32 encoded = EncodeUTF8(c, bytes);
		if (encoded == 0)
			return;
		SetBytes(&down, bytes, encoded);
		_Remember(code, down);
		events->push_back(down);
		return;
	}

	std::string text;
	const int32 length = _Text(code, keysym, &text);
	// Text, one character per event; what is no text (control characters) is dropped.
	for (int32 offset = 0; offset < length;) {
		const int32 size = UTF8CharLength(text.data() + offset, length - offset);
		if (size == 0) {
			offset++;
			continue;
		}
		const uint8 first = (uint8)text[(size_t)offset];
		if (size > 1 || (first >= 0x20 && first != 0x7f)) {
			BackendEvent character = down;
			SetBytes(&character, text.data() + offset, size);
			_Remember(code, character);
			events->push_back(character);
		}
		offset += size;
	}
}

void
WaylandKeyboard::_Remember(uint32 code, const BackendEvent& event)
{
	if (code >= fKeys.size())
		return;
	static_assert(sizeof(DownKey::bytes) == sizeof(event.bytes));
	memcpy(fKeys[code].bytes, event.bytes, sizeof(event.bytes));
	fKeys[code].rawChar = event.rawChar;
}

} // namespace BPrivate
