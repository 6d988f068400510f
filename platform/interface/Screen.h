// BScreen: the screen a window is on; its frame in screen coordinates, and what the window
// system lets a program do with the windows on it.
#pragma once

#include "Rect.h"

class BWindow;

class BScreen {
public:
	explicit BScreen(BWindow* window = nullptr);
	bool IsValid() const { return true; }
	BRect Frame() const;
	// Whether a window with B_FLOATING_ALL_WINDOW_FEEL is really kept above the others.
	bool CanKeepWindowsOnTop() const;
	// Whether a window goes where MoveTo puts it (not where the window system likes).
	bool CanPlaceWindows() const;
};
