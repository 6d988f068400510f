#include "X11Input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include "InterfaceDefs.h"

namespace BPrivate {

namespace {

struct KeyByte {
	uint32 keysym;
	uint8 byte;
};

// Keys that edit or move rather than type. The keypad types digits with Num Lock on (X then
// reports KP_0..KP_9 and the text follows); off, it reports these cursor symbols.
const KeyByte kKeyBytes[] = {
	{XK_BackSpace, B_BACKSPACE},
	{XK_Tab, B_TAB},
	{XK_ISO_Left_Tab, B_TAB},
	{XK_Return, B_ENTER},
	{XK_KP_Enter, B_ENTER},
	{XK_Escape, B_ESCAPE},
	{XK_Delete, B_DELETE},
	{XK_KP_Delete, B_DELETE},
	{XK_Insert, B_INSERT},
	{XK_KP_Insert, B_INSERT},
	{XK_Left, B_LEFT_ARROW},
	{XK_KP_Left, B_LEFT_ARROW},
	{XK_Right, B_RIGHT_ARROW},
	{XK_KP_Right, B_RIGHT_ARROW},
	{XK_Up, B_UP_ARROW},
	{XK_KP_Up, B_UP_ARROW},
	{XK_Down, B_DOWN_ARROW},
	{XK_KP_Down, B_DOWN_ARROW},
	{XK_Home, B_HOME},
	{XK_KP_Home, B_HOME},
	{XK_End, B_END},
	{XK_KP_End, B_END},
	{XK_Page_Up, B_PAGE_UP},
	{XK_KP_Page_Up, B_PAGE_UP},
	{XK_Page_Down, B_PAGE_DOWN},
	{XK_KP_Page_Down, B_PAGE_DOWN},
};

struct FunctionKey {
	uint32 keysym;
	int32 key;
};

// Keys that reach the kit as B_FUNCTION_KEY with their code in "key". The Menu key opens the
// focused view's context menu, as Shift+F10 does.
const FunctionKey kFunctionKeys[] = {
	{XK_F1, B_F1_KEY},
	{XK_F2, B_F2_KEY},
	{XK_F3, B_F3_KEY},
	{XK_F4, B_F4_KEY},
	{XK_F5, B_F5_KEY},
	{XK_F6, B_F6_KEY},
	{XK_F7, B_F7_KEY},
	{XK_F8, B_F8_KEY},
	{XK_F9, B_F9_KEY},
	{XK_F10, B_F10_KEY},
	{XK_F11, B_F11_KEY},
	{XK_F12, B_F12_KEY},
	{XK_Print, B_PRINT_KEY},
	{XK_Scroll_Lock, B_SCROLL_KEY},
	{XK_Pause, B_PAUSE_KEY},
	{XK_Menu, B_MENU_KEY},
};

} // namespace

int32
X11FunctionKey(uint32 keysym)
{
	for (const FunctionKey& entry : kFunctionKeys) {
		if (entry.keysym == keysym)
			return entry.key;
	}
	return 0;
}

uint8
X11KeyByte(uint32 keysym)
{
	for (const KeyByte& entry : kKeyBytes) {
		if (entry.keysym == keysym)
			return entry.byte;
	}
	return 0;
}

uint32
X11KeysymCharacter(uint32 keysym)
{
	// Latin-1 symbols are their own code points; 0x01000000 + U is Unicode character U.
	if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
		return keysym;
	if (keysym >= 0x01000100 && keysym <= 0x0110ffff)
		return keysym - 0x01000000;
	if (keysym == XK_EuroSign)
		return 0x20ac;
	return 0;
}

uint32
X11Modifiers(uint32 state)
{
	uint32 modifiers = 0;
	if (state & ShiftMask)
		modifiers |= B_SHIFT_KEY;
	// The platform's shortcuts use the command key; Ctrl is where a Linux user looks for it.
	if (state & ControlMask)
		modifiers |= B_CONTROL_KEY | B_COMMAND_KEY;
	// Alt. AltGr, which types characters ('@' on a German keyboard), is Mod5 and stays out.
	if (state & Mod1Mask)
		modifiers |= B_COMMAND_KEY;
	if (state & Mod4Mask)
		modifiers |= B_OPTION_KEY;
	if (state & LockMask)
		modifiers |= B_CAPS_LOCK;
	return modifiers;
}

int32
EncodeUTF8(uint32 c, char* buffer)
{
	// Control characters, surrogates and values past Unicode are no text.
	if (c < 0x20 || c == 0x7f || (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff) {
		buffer[0] = '\0';
		return 0;
	}
	int32 length;
	if (c < 0x80) {
		buffer[0] = (char)c;
		length = 1;
	} else if (c < 0x800) {
		buffer[0] = (char)(0xc0 | (c >> 6));
		buffer[1] = (char)(0x80 | (c & 0x3f));
		length = 2;
	} else if (c < 0x10000) {
		buffer[0] = (char)(0xe0 | (c >> 12));
		buffer[1] = (char)(0x80 | ((c >> 6) & 0x3f));
		buffer[2] = (char)(0x80 | (c & 0x3f));
		length = 3;
	} else {
		buffer[0] = (char)(0xf0 | (c >> 18));
		buffer[1] = (char)(0x80 | ((c >> 12) & 0x3f));
		buffer[2] = (char)(0x80 | ((c >> 6) & 0x3f));
		buffer[3] = (char)(0x80 | (c & 0x3f));
		length = 4;
	}
	buffer[length] = '\0';
	return length;
}

int32
UTF8CharLength(const char* text, int32 available)
{
	if (text == nullptr || available <= 0)
		return 0;
	const uint8* s = reinterpret_cast<const uint8*>(text);
	int32 length;
	uint32 c;
	if (s[0] < 0x80)
		return s[0] == 0 ? 0 : 1;
	if ((s[0] & 0xe0) == 0xc0) {
		length = 2;
		c = s[0] & 0x1f;
	} else if ((s[0] & 0xf0) == 0xe0) {
		length = 3;
		c = s[0] & 0x0f;
	} else if ((s[0] & 0xf8) == 0xf0) {
		length = 4;
		c = s[0] & 0x07;
	} else
		return 0;
	if (length > available)
		return 0;
	for (int32 i = 1; i < length; i++) {
		if ((s[i] & 0xc0) != 0x80)
			return 0;
		c = (c << 6) | (s[i] & 0x3f);
	}
	// Overlong forms, surrogates and values past Unicode.
	static const uint32 kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
	if (c < kMinimum[length] || (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff)
		return 0;
	return length;
}

std::string
UTF8FromLatin1(const std::string& latin1)
{
	std::string result;
	result.reserve(latin1.size());
	char buffer[8];
	for (unsigned char c : latin1) {
		// Control characters other than line ends and tabs are no text to paste.
		if (c == '\n' || c == '\t')
			result += (char)c;
		else if (int32 length = EncodeUTF8(c, buffer))
			result.append(buffer, length);
	}
	return result;
}

std::string
Latin1FromUTF8(const std::string& utf8)
{
	std::string result;
	result.reserve(utf8.size());
	const char* text = utf8.data();
	const int32 total = (int32)utf8.size();
	for (int32 offset = 0; offset < total;) {
		int32 length = UTF8CharLength(text + offset, total - offset);
		if (length == 0) {
			offset++;
			continue;
		}
		const uint8* s = reinterpret_cast<const uint8*>(text + offset);
		uint32 c = length == 1 ? s[0] : length == 2 ? ((s[0] & 0x1f) << 6) | (s[1] & 0x3f) : 0x100;
		result += c <= 0xff ? (char)c : '?';
		offset += length;
	}
	return result;
}

uint32
X11Button(uint32 button)
{
	switch (button) {
		case Button1:
			return B_PRIMARY_MOUSE_BUTTON;
		case Button2:
			return B_TERTIARY_MOUSE_BUTTON;
		case Button3:
			return B_SECONDARY_MOUSE_BUTTON;
		default:
			return 0;
	}
}

uint32
X11Buttons(uint32 state)
{
	uint32 buttons = 0;
	if (state & Button1Mask)
		buttons |= B_PRIMARY_MOUSE_BUTTON;
	if (state & Button3Mask)
		buttons |= B_SECONDARY_MOUSE_BUTTON;
	if (state & Button2Mask)
		buttons |= B_TERTIARY_MOUSE_BUTTON;
	return buttons;
}

} // namespace BPrivate
