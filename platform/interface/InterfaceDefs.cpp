#include "InterfaceDefs.h"

#include <algorithm>

rgb_color
ui_color(color_which which)
{
	switch (which) {
		case B_PANEL_BACKGROUND_COLOR:
		case B_MENU_BACKGROUND_COLOR:
		case B_CONTROL_BACKGROUND_COLOR:
			return make_color(216, 216, 216);
		case B_WINDOW_TAB_COLOR:
			return make_color(255, 203, 0);
		case B_KEYBOARD_NAVIGATION_COLOR:
			return make_color(0, 0, 229);
		case B_DESKTOP_COLOR:
			return make_color(51, 102, 152);
		case B_MENU_SELECTION_BACKGROUND_COLOR:
			return make_color(168, 168, 168);
		case B_DOCUMENT_BACKGROUND_COLOR:
		case B_SHINE_COLOR:
			return make_color(255, 255, 255);
		case B_CONTROL_BORDER_COLOR:
		case B_SHADOW_COLOR:
		case B_MENU_ITEM_TEXT_COLOR:
		case B_MENU_SELECTED_ITEM_TEXT_COLOR:
		case B_PANEL_TEXT_COLOR:
		case B_DOCUMENT_TEXT_COLOR:
		case B_CONTROL_TEXT_COLOR:
			return make_color(0, 0, 0);
		case B_CONTROL_HIGHLIGHT_COLOR:
			return make_color(102, 152, 203);
	}
	return make_color(216, 216, 216);
}

rgb_color
tint_color(rgb_color color, float tint)
{
	auto channel = [tint](uint8 value) -> uint8 {
		float result;
		if (tint < 1.0f)
			result = value + (255 - value) * (1.0f - tint) / (1.0f - B_LIGHTEN_MAX_TINT);
		else
			result = value * (2.0f - tint);
		return (uint8)std::clamp(result + 0.5f, 0.0f, 255.0f);
	};
	return make_color(channel(color.red), channel(color.green), channel(color.blue), color.alpha);
}
