#include "Screen.h"

#include "Backend.h"

BScreen::BScreen(BWindow* window)
{
	(void)window;
}

BRect
BScreen::Frame() const
{
	return BPrivate::CurrentBackend()->ScreenFrame();
}

bool
BScreen::CanKeepWindowsOnTop() const
{
	return BPrivate::CurrentBackend()->SupportsAlwaysOnTop();
}

bool
BScreen::CanPlaceWindows() const
{
	return BPrivate::CurrentBackend()->SupportsWindowPosition();
}
