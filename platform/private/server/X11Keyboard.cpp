#include "X11Keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "InterfaceDefs.h"
#include "X11Input.h"

namespace BPrivate {

namespace {

void
SetBytes(BackendEvent* event, const char* bytes, int32 length)
{
	length = std::clamp(length, (int32)0, (int32)sizeof(event->bytes) - 1);
	memcpy(event->bytes, bytes, length);
	event->bytes[length] = '\0';
	event->numBytes = length;
}

// The input method follows the user's locale (its Compose table and its text encoding), but
// the rest of the program keeps the C locale it started with: numbers are formatted by the
// program, not by the locale.
XIM
OpenMethod(Display* display)
{
	const char* current = setlocale(LC_CTYPE, nullptr);
	std::string previous = current != nullptr ? current : "C";
	// The plain C locale has no Compose table; its UTF-8 sibling has the common one.
	const char* user = setlocale(LC_CTYPE, "");
	if (user == nullptr || strcmp(user, "C") == 0 || strcmp(user, "POSIX") == 0
		|| !XSupportsLocale())
		setlocale(LC_CTYPE, "C.UTF-8");
	XIM method = nullptr;
	if (XSupportsLocale() && XSetLocaleModifiers("") != nullptr)
		method = XOpenIM(display, nullptr, const_cast<char*>("kambolux"),
			const_cast<char*>("kambolux"));
	setlocale(LC_CTYPE, previous.c_str());
	return method;
}

} // namespace

X11Keyboard::X11Keyboard(Display* display) : fDisplay(display)
{
}

void
X11Keyboard::OpenInputMethod()
{
	if (fInputMethod != nullptr)
		return;
	// Held keys repeat as presses alone, without a release between them. A round trip, so
	// not before the first frame; a key held that early repeats with releases.
	Bool supported = False;
	XkbSetDetectableAutoRepeat(fDisplay, True, &supported);
	fInputMethod = OpenMethod(fDisplay);
}

X11Keyboard::~X11Keyboard()
{
	if (fInputMethod != nullptr)
		XCloseIM(fInputMethod);
}

XIC
X11Keyboard::CreateContext(Window window)
{
	if (fInputMethod == nullptr)
		return nullptr;
	return XCreateIC(fInputMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
		XNClientWindow, window, XNFocusWindow, window, nullptr);
}

void
X11Keyboard::DestroyContext(XIC context)
{
	if (context != nullptr)
		XDestroyIC(context);
}

void
X11Keyboard::GainedFocus(XIC context)
{
	if (context != nullptr)
		XSetICFocus(context);
}

void
X11Keyboard::LostFocus(XIC context)
{
	if (context != nullptr)
		XUnsetICFocus(context);
}

void
X11Keyboard::KeymapState(const char keys[32])
{
	for (uint32 keycode = 8; keycode < fKeys.size(); keycode++) {
		const bool held = (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
		DownKey& key = fKeys[keycode];
		if (held && !key.down)
			key.heldBefore = true;
		else if (!held) {
			// Released while another window had the focus: its release went there.
			key.heldBefore = false;
			key.down = false;
			key.bytes[0] = '\0';
		}
	}
}

int32
X11Keyboard::_LookUp(XKeyEvent& event, XIC context, char* buffer, int32 size, KeySym* keysym)
{
	*keysym = NoSymbol;
	if (context == nullptr) {
		// Without an input method: the key's own character, Latin-1 or Unicode.
		XLookupString(&event, nullptr, 0, keysym, nullptr);
		return EncodeUTF8(X11KeysymCharacter(*keysym), buffer);
	}
	Status status = XLookupNone;
	int32 length = Xutf8LookupString(context, &event, buffer, size - 1, keysym, &status);
	if (status == XBufferOverflow)
		return -length; // the caller asks again with room enough
	if (status != XLookupChars && status != XLookupBoth)
		length = 0;
	if (status != XLookupKeySym && status != XLookupBoth)
		*keysym = NoSymbol;
	buffer[std::max(length, (int32)0)] = '\0';
	return length;
}

void
X11Keyboard::Translate(XKeyEvent& event, XIC context, uint32 window,
	std::deque<BackendEvent>* events)
{
	DownKey* key = event.keycode > 0 && event.keycode < fKeys.size() ? &fKeys[event.keycode]
																	 : nullptr;
	const uint32 modifiers = X11Modifiers(event.state);

	if (event.type == KeyRelease) {
		if (key == nullptr)
			return;
		const bool sent = key->down && !key->heldBefore && key->bytes[0] != '\0';
		key->down = false;
		key->heldBefore = false;
		if (!sent)
			return;
		BackendEvent up;
		up.type = BackendEvent::kKeyUp;
		up.window = window;
		up.modifiers = modifiers;
		up.rawChar = key->rawChar;
		SetBytes(&up, key->bytes, (int32)strnlen(key->bytes, sizeof(key->bytes)));
		key->bytes[0] = '\0';
		events->push_back(up);
		return;
	}

	// Down before the window had the focus (a Ctrl+Q that closed another program, say):
	// neither it nor its repeats are presses here.
	if (key != nullptr && key->heldBefore)
		return;

	std::vector<char> buffer(64);
	KeySym keysym = NoSymbol;
	int32 length = _LookUp(event, context, buffer.data(), (int32)buffer.size(), &keysym);
	if (length < 0) {
		buffer.resize((size_t)-length + 1);
		length = _LookUp(event, context, buffer.data(), (int32)buffer.size(), &keysym);
	}
	const bool repeat = key != nullptr && key->down;
	if (key != nullptr)
		key->down = true;

	BackendEvent down;
	down.type = BackendEvent::kKeyDown;
	down.window = window;
	down.modifiers = modifiers;
	down.repeat = repeat;
	// The unshifted character of the key, for shortcuts.
	down.rawChar = event.keycode != 0 ? (int32)X11KeysymCharacter(XLookupKeysym(&event, 0)) : 0;

	char bytes[8];
	if (int32 code = X11FunctionKey((uint32)keysym)) {
		bytes[0] = (char)B_FUNCTION_KEY;
		SetBytes(&down, bytes, 1);
		down.rawChar = code;
		_Remember(event.keycode, down);
		events->push_back(down);
		return;
	}
	if (uint8 byte = X11KeyByte((uint32)keysym)) {
		bytes[0] = (char)byte;
		SetBytes(&down, bytes, 1);
		down.rawChar = byte;
		_Remember(event.keycode, down);
		events->push_back(down);
		return;
	}
	if ((event.state & (ControlMask | Mod1Mask)) != 0 && down.rawChar != 0) {
		uint32 c = (uint32)down.rawChar;
		if ((modifiers & B_SHIFT_KEY) != 0 && c >= 'a' && c <= 'z')
			c -= 'a' - 'A';
		int32 encoded = EncodeUTF8(c, bytes);
		if (encoded == 0)
			return;
		SetBytes(&down, bytes, encoded);
		_Remember(event.keycode, down);
		events->push_back(down);
		return;
	}

	// Text, one character per event; what is no text (control characters) is dropped.
	for (int32 offset = 0; offset < length;) {
		int32 size = UTF8CharLength(buffer.data() + offset, length - offset);
		if (size == 0) {
			offset++;
			continue;
		}
		const uint8 first = (uint8)buffer[offset];
		if (size > 1 || (first >= 0x20 && first != 0x7f)) {
			BackendEvent text = down;
			SetBytes(&text, buffer.data() + offset, size);
			_Remember(event.keycode, text);
			events->push_back(text);
		}
		offset += size;
	}
}

void
X11Keyboard::_Remember(uint32 keycode, const BackendEvent& event)
{
	if (keycode == 0 || keycode >= fKeys.size())
		return;
	static_assert(sizeof(DownKey::bytes) == sizeof(event.bytes));
	memcpy(fKeys[keycode].bytes, event.bytes, sizeof(event.bytes));
	fKeys[keycode].rawChar = event.rawChar;
}

} // namespace BPrivate
