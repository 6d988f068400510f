// Small helpers shared by the monkey's source files: finding the program's open windows and
// placing and describing clicks.
#pragma once

#include <string>

#include "Application.h"
#include "Dice.h"
#include "HeadlessBackend.h"
#include "Rect.h"
#include "View.h"
#include "Window.h"

namespace monkey {

// The open window of type T, or null; quitting windows do not count.
template <typename T>
T*
FindWindow()
{
	if (be_app == nullptr)
		return nullptr;
	for (int32 i = 0; i < be_app->CountWindows(); i++) {
		if (T* window = dynamic_cast<T*>(be_app->WindowAt(i)))
			return window;
	}
	return nullptr;
}

// The backend id of the open window of type T, or 0. Ids are never reused, unlike addresses.
template <typename T>
uint32
OpenId()
{
	T* window = FindWindow<T>();
	return window != nullptr ? BPrivate::HeadlessBackend::IdOf(window) : 0;
}

inline BPoint
RandomPoint(Dice& dice, BRect area)
{
	return BPoint((float)dice.Between((int32)area.left, (int32)area.right),
		(float)dice.Between((int32)area.top, (int32)area.bottom));
}

// The middle of a view, in its window's coordinates.
inline BPoint
Center(const BView* view)
{
	BRect bounds = view->Bounds();
	return view->ConvertToWindow(
		BPoint((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2));
}

inline const char*
ButtonName(uint32 buttons)
{
	switch (buttons) {
		case 1:
			return "primary";
		case 2:
			return "secondary";
		default:
			return "both-button";
	}
}

inline std::string
PointText(BPoint where)
{
	return "(" + std::to_string((int)where.x) + "," + std::to_string((int)where.y) + ")";
}

} // namespace monkey
