// Interface constants: keys, mouse buttons, alignment, window types, looks, feels and flags,
// view flags and resizing modes, and the user-interface colours.
#pragma once

#include "GraphicsDefs.h"
#include "SupportDefs.h"

// Key bytes as views receive them.
enum {
	B_BACKSPACE = 0x08,
	B_RETURN = 0x0a,
	B_ENTER = 0x0a,
	B_SPACE = 0x20,
	B_TAB = 0x09,
	B_ESCAPE = 0x1b,
	B_LEFT_ARROW = 0x1c,
	B_RIGHT_ARROW = 0x1d,
	B_UP_ARROW = 0x1e,
	B_DOWN_ARROW = 0x1f,
	B_INSERT = 0x05,
	B_DELETE = 0x7f,
	B_HOME = 0x01,
	B_END = 0x04,
	B_PAGE_UP = 0x0b,
	B_PAGE_DOWN = 0x0c,
	B_FUNCTION_KEY = 0x10,
};

// With B_FUNCTION_KEY as the byte, the message's "key" names the key: the platform's codes
// for F1 to F12, and ours for the Menu key (the platform's keyboards had none).
enum {
	B_F1_KEY = 0x02,
	B_F2_KEY = 0x03,
	B_F3_KEY = 0x04,
	B_F4_KEY = 0x05,
	B_F5_KEY = 0x06,
	B_F6_KEY = 0x07,
	B_F7_KEY = 0x08,
	B_F8_KEY = 0x09,
	B_F9_KEY = 0x0a,
	B_F10_KEY = 0x0b,
	B_F11_KEY = 0x0c,
	B_F12_KEY = 0x0d,
	B_PRINT_KEY = 0x0e,
	B_SCROLL_KEY = 0x0f,
	B_PAUSE_KEY = 0x10,
	B_MENU_KEY = 0x68,
};

// Modifier mask.
enum {
	B_SHIFT_KEY = 0x00000001,
	B_COMMAND_KEY = 0x00000002,
	B_CONTROL_KEY = 0x00000004,
	B_CAPS_LOCK = 0x00000008,
	B_OPTION_KEY = 0x00000040,
};

enum {
	B_PRIMARY_MOUSE_BUTTON = 0x01,
	B_SECONDARY_MOUSE_BUTTON = 0x02,
	B_TERTIARY_MOUSE_BUTTON = 0x04,
};

enum alignment {
	B_ALIGN_LEFT,
	B_ALIGN_RIGHT,
	B_ALIGN_CENTER,
};

enum color_which {
	B_PANEL_BACKGROUND_COLOR = 1,
	B_MENU_BACKGROUND_COLOR = 2,
	B_WINDOW_TAB_COLOR = 3,
	B_KEYBOARD_NAVIGATION_COLOR = 4,
	B_DESKTOP_COLOR = 5,
	B_MENU_SELECTION_BACKGROUND_COLOR = 6,
	B_MENU_ITEM_TEXT_COLOR = 7,
	B_MENU_SELECTED_ITEM_TEXT_COLOR = 8,
	B_PANEL_TEXT_COLOR = 10,
	B_DOCUMENT_BACKGROUND_COLOR = 11,
	B_DOCUMENT_TEXT_COLOR = 12,
	B_CONTROL_BACKGROUND_COLOR = 13,
	B_CONTROL_TEXT_COLOR = 14,
	B_CONTROL_BORDER_COLOR = 15,
	B_CONTROL_HIGHLIGHT_COLOR = 16,
	B_SHINE_COLOR = 18,
	B_SHADOW_COLOR = 19,
};

// The platform's classic panel grey and friends.
rgb_color ui_color(color_which which);
rgb_color tint_color(rgb_color color, float tint);

constexpr float B_LIGHTEN_MAX_TINT = 0.0f;
constexpr float B_LIGHTEN_2_TINT = 0.385f;
constexpr float B_LIGHTEN_1_TINT = 0.590f;
constexpr float B_NO_TINT = 1.0f;
constexpr float B_DARKEN_1_TINT = 1.147f;
constexpr float B_DARKEN_2_TINT = 1.295f;
constexpr float B_DARKEN_3_TINT = 1.407f;
constexpr float B_DARKEN_4_TINT = 1.555f;
constexpr float B_DARKEN_MAX_TINT = 2.0f;

// Window types, looks, feels and flags (raw values as on the platform).
enum window_type {
	B_UNTYPED_WINDOW = 0,
	B_TITLED_WINDOW = 1,
	B_MODAL_WINDOW = 3,
	B_DOCUMENT_WINDOW = 11,
	B_BORDERED_WINDOW = 20,
	B_FLOATING_WINDOW = 21,
};

enum window_look {
	B_BORDERED_WINDOW_LOOK = 20,
	B_NO_BORDER_WINDOW_LOOK = 19,
	B_TITLED_WINDOW_LOOK = 1,
	B_DOCUMENT_WINDOW_LOOK = 11,
	B_MODAL_WINDOW_LOOK = 3,
	B_FLOATING_WINDOW_LOOK = 7,
};

enum window_feel {
	B_NORMAL_WINDOW_FEEL = 0,
	B_MODAL_SUBSET_WINDOW_FEEL = 2,
	B_MODAL_APP_WINDOW_FEEL = 1,
	B_MODAL_ALL_WINDOW_FEEL = 3,
	B_FLOATING_SUBSET_WINDOW_FEEL = 5,
	B_FLOATING_APP_WINDOW_FEEL = 4,
	B_FLOATING_ALL_WINDOW_FEEL = 6,
};

enum {
	B_NOT_MOVABLE = 0x00000001,
	B_NOT_CLOSABLE = 0x00000020,
	B_NOT_ZOOMABLE = 0x00000040,
	B_NOT_MINIMIZABLE = 0x00004000,
	B_NOT_RESIZABLE = 0x00000002,
	B_NOT_H_RESIZABLE = 0x00000004,
	B_NOT_V_RESIZABLE = 0x00000008,
	B_AVOID_FRONT = 0x00000080,
	B_AVOID_FOCUS = 0x00002000,
	B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
	B_OUTLINE_RESIZE = 0x00001000,
	B_NO_WORKSPACE_ACTIVATION = 0x00000100,
	B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
	B_ASYNCHRONOUS_CONTROLS = 0x00080000,
	B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
};

constexpr uint32 B_CURRENT_WORKSPACE = 0;
constexpr uint32 B_ALL_WORKSPACES = 0xffffffff;

// View flags.
enum : uint32 {
	B_FULL_UPDATE_ON_RESIZE = 0x80000000UL,
	_B_RESERVED1_ = 0x40000000UL,
	B_WILL_DRAW = 0x20000000UL,
	B_PULSE_NEEDED = 0x10000000UL,
	B_NAVIGABLE_JUMP = 0x08000000UL,
	B_FRAME_EVENTS = 0x04000000UL,
	B_NAVIGABLE = 0x02000000UL,
	B_SUBPIXEL_PRECISE = 0x01000000UL,
	B_DRAW_ON_CHILDREN = 0x00800000UL,
};

// Resizing modes: 4 bits per edge, as the platform packs them.
enum : uint32 {
	_VIEW_TOP_ = 1UL,
	_VIEW_LEFT_ = 2UL,
	_VIEW_BOTTOM_ = 3UL,
	_VIEW_RIGHT_ = 4UL,
	_VIEW_CENTER_ = 5UL,
};
#define _rule_(l, t, r, b) (((t) << 12) | ((l) << 8) | ((b) << 4) | (r))
enum : uint32 {
	B_FOLLOW_NONE = 0,
	B_FOLLOW_ALL_SIDES = _rule_(_VIEW_LEFT_, _VIEW_TOP_, _VIEW_RIGHT_, _VIEW_BOTTOM_),
	B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES,
	B_FOLLOW_LEFT = _rule_(_VIEW_LEFT_, 0, _VIEW_LEFT_, 0),
	B_FOLLOW_RIGHT = _rule_(_VIEW_RIGHT_, 0, _VIEW_RIGHT_, 0),
	B_FOLLOW_LEFT_RIGHT = _rule_(_VIEW_LEFT_, 0, _VIEW_RIGHT_, 0),
	B_FOLLOW_H_CENTER = _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0),
	B_FOLLOW_TOP = _rule_(0, _VIEW_TOP_, 0, _VIEW_TOP_),
	B_FOLLOW_BOTTOM = _rule_(0, _VIEW_BOTTOM_, 0, _VIEW_BOTTOM_),
	B_FOLLOW_TOP_BOTTOM = _rule_(0, _VIEW_TOP_, 0, _VIEW_BOTTOM_),
	B_FOLLOW_V_CENTER = _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_),
};
#undef _rule_

enum button_width {
	B_WIDTH_AS_USUAL,
	B_WIDTH_FROM_WIDEST,
	B_WIDTH_FROM_LABEL,
};
