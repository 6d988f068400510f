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
