// What the monkey types, pastes and clicks: keys as the platform's byte codes, weighted
// toward what a user types into an amount field, clipboard texts from the plausible to the
// absurd, and the places of the main window in its own coordinates.
#pragma once

#include <string>

#include "Dice.h"
#include "Rect.h"
#include "SupportDefs.h"

struct KeyPress {
	int32 weight;
	const char* bytes;
	const char* name;
	bool shiftable = false; // arrows and the like, which shift extends into a selection
};

// Rows group the keys by kind.
// clang-format off
inline const KeyPress kMainKeys[] = {
	{6, "0", "0"}, {6, "1", "1"}, {6, "2", "2"}, {5, "3", "3"}, {5, "4", "4"},
	{5, "5", "5"}, {5, "6", "6"}, {5, "7", "7"}, {5, "8", "8"}, {5, "9", "9"},
	{5, ",", ","}, {5, ".", "."}, {4, "-", "-"}, {1, "+", "+"}, {1, " ", "space"},
	{1, "e", "e"}, {1, "E", "E"}, {1, "x", "x"}, {1, "a", "a"}, {1, "Q", "Q"},
	{5, "\x08", "Backspace"}, {3, "\x7f", "Delete"},
	{2, "\x1c", "Left", true}, {2, "\x1d", "Right", true}, {1, "\x1e", "Up", true},
	{1, "\x1f", "Down", true}, {1, "\x01", "Home", true}, {1, "\x04", "End", true},
	{1, "\x0b", "PageUp", true}, {1, "\x0c", "PageDown", true},
	{3, "\t", "Tab"}, {3, "\n", "Enter"}, {1, "\x1b", "Escape"},
	{1, "\xC3\xA9", "e-acute"}, {1, "\xC3\xB6", "o-umlaut"}, {1, "\xE2\x82\xAC", "euro sign"},
	{1, "\xC2\xBD", "one-half"}, {1, "\xEF\xBC\x91", "fullwidth 1"},
	{1, "\xD9\xA3", "arabic-indic 3"}, {1, "\xF0\x9F\x98\x80", "emoji"},
	{1, "\xE2\x80\x8B", "zero-width space"},
};

// The pad's keys, mapped and unmapped; "=" is rare so that sessions last.
inline const KeyPress kPadKeys[] = {
	{5, "0", "0"}, {5, "1", "1"}, {5, "2", "2"}, {5, "3", "3"}, {5, "4", "4"},
	{5, "5", "5"}, {5, "6", "6"}, {5, "7", "7"}, {5, "8", "8"}, {5, "9", "9"},
	{6, ".", "."}, {5, "+", "+"}, {5, "-", "-"}, {5, "*", "*"}, {5, "/", "/"},
	{2, "=", "="}, {3, "V", "V"}, {2, "v", "v"}, {3, "C", "C"}, {1, "c", "c"},
	{4, "\x08", "Backspace"},
	{1, "\n", "Enter"}, {1, ",", ","}, {1, "\t", "Tab"}, {1, "\x1b", "Escape"},
	{1, "\x7f", "Delete"}, {1, "x", "x"}, {1, "\xC3\xA9", "e-acute"},
	{1, "\xE2\x82\xAC", "euro sign"}, {1, "\x1c", "Left"},
};

inline const KeyPress kMenuKeys[] = {
	{1, "\x1e", "Up"}, {1, "\x1f", "Down"}, {1, "\x1c", "Left"}, {1, "\x1d", "Right"},
	{1, "\n", "Enter"}, {1, "\x1b", "Escape"}, {1, "\x01", "Home"}, {1, "d", "d"},
};
// clang-format on

struct ClickRegion {
	int32 weight;
	const char* name;
	BRect area;
};

inline const BRect kMainArea(0, 0, 206, 112);
inline const BRect kSourceFieldArea(45, 21, 153, 43);
inline const BRect kCalculatorButton(154, 21, 171, 44);
inline const BRect kAboutButton(196, 102, 206, 112);
// Background only: a secondary click here always opens the context menu.
inline const BRect kBackgroundStrip(0, 0, 206, 19);

inline const ClickRegion kMainRegions[] = {
	{20, "the source band", BRect(0, 0, 206, 45)},
	{15, "the rounding band", BRect(0, 46, 206, 67)},
	{20, "the target band", BRect(0, 68, 206, 112)},
	{10, "the swap area", BRect(12, 45, 32, 66)},
	{10, "the source field", kSourceFieldArea},
	{5, "the target field", BRect(45, 69, 170, 91)},
	{5, "the euro line", BRect(34, 48, 172, 64)},
	{15, "anywhere", kMainArea},
};

// A clipboard text: amounts as people write them, random mixes, huge texts, texts with a
// zero byte inside and broken UTF-8.
std::string ClipboardText(Dice& dice);

// Bytes in quotes, control characters and non-ASCII bytes escaped, for the trace.
std::string Printable(const std::string& bytes);
