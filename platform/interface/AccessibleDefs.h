// What a view tells assistive technology (screen readers) about itself: roles, states and the
// parts of a view that are no views of their own (an area drawn by the view that works like a
// button). The application sets names and descriptions; the kit fills in the rest. Nothing
// here costs anything until a screen reader asks.
#pragma once

#include <string>

#include "Rect.h"
#include "SupportDefs.h"

enum accessible_role {
	B_ROLE_UNKNOWN = 0,
	B_ROLE_APPLICATION,
	B_ROLE_FRAME,  // a titled top-level window
	B_ROLE_DIALOG, // an alert, the about window
	B_ROLE_WINDOW, // a window without a title bar: a pop-up menu's window
	B_ROLE_PANEL,  // a view that holds or draws others
	B_ROLE_PUSH_BUTTON,
	B_ROLE_TEXT,  // text that can be edited or selected
	B_ROLE_LABEL, // text only to be read
	B_ROLE_IMAGE,
	B_ROLE_MENU, // a pop-up menu
	B_ROLE_MENU_ITEM,
	B_ROLE_CHECK_MENU_ITEM, // an option that is on or off
	B_ROLE_RADIO_MENU_ITEM, // one choice of several
	B_ROLE_SEPARATOR,
	B_ROLE_LINK,
};

// States, as bits. The kit works out visibility, focus and activation itself; a view adds what
// only it knows (checked, editable, ...).
enum : uint64 {
	B_STATE_ENABLED = 1ULL << 0,
	B_STATE_FOCUSABLE = 1ULL << 1,
	B_STATE_FOCUSED = 1ULL << 2,
	B_STATE_VISIBLE = 1ULL << 3, // not hidden
	B_STATE_SHOWING = 1ULL << 4, // visible and its window on the screen
	B_STATE_ACTIVE = 1ULL << 5,  // the active window
	B_STATE_MODAL = 1ULL << 6,
	B_STATE_EDITABLE = 1ULL << 7,
	B_STATE_READ_ONLY = 1ULL << 8,
	B_STATE_SELECTABLE_TEXT = 1ULL << 9,
	B_STATE_SINGLE_LINE = 1ULL << 10,
	B_STATE_MULTI_LINE = 1ULL << 11,
	B_STATE_CHECKABLE = 1ULL << 12,
	B_STATE_CHECKED = 1ULL << 13,
	B_STATE_SELECTABLE = 1ULL << 14, // a menu item the keyboard can move to
	B_STATE_SELECTED = 1ULL << 15,   // the menu item the keyboard is on
	B_STATE_DEFAULT = 1ULL << 16,    // the button Enter presses
	B_STATE_HAS_POPUP = 1ULL << 17,  // pressing it opens a menu
	B_STATE_PRESSED = 1ULL << 18,
	B_STATE_LIVE = 1ULL << 19, // its changes are announced even without the focus
};

// A part of a view: drawn by the view, no view of its own, yet a child of it for a screen
// reader (after the view's child views).
struct accessible_part {
	accessible_role role = B_ROLE_PUSH_BUTTON;
	uint64 states = B_STATE_ENABLED;
	std::string name;
	std::string description;
	BRect frame;        // in the view's coordinates
	std::string action; // the one action's name ("press"); empty: none
};
