// BScreen: the screen a window is on; its frame in screen coordinates.
#pragma once

#include "Rect.h"

class BWindow;

class BScreen {
public:
	explicit BScreen(BWindow* window = nullptr);
	bool IsValid() const { return true; }
	BRect Frame() const;
};
