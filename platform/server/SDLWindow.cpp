#include "SDLWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>

namespace BPrivate {

namespace {

// What shows where a window is larger than the frame it was given, for a moment while it
// is being resized: the platform's panel grey.
const uint8 kUncoveredGrey = 216;

} // namespace

SDLWindow::SDLWindow(SDL_Window* window, const WindowSpec& spec, GoneHook gone)
    : fWindow(window), fGone(std::move(gone)), fId(SDL_GetWindowID(window)), fParent(spec.parent),
      fDecorated(spec.decorated && !spec.popupMenu), fWanted(spec.frame.LeftTop())
{
}

SDLWindow::~SDLWindow()
{
	if (fWindow != nullptr)
		SDL_DestroyWindow(fWindow);
	if (fGone)
		fGone(this);
}

void
SDLWindow::Detach()
{
	fWindow = nullptr;
	fGone = nullptr;
}

void
SDLWindow::SetTitle(const char* title)
{
	if (fWindow != nullptr)
		SDL_SetWindowTitle(fWindow, title != nullptr ? title : "");
}

void
SDLWindow::MoveTo(BPoint screenPoint)
{
	fWanted = screenPoint;
	if (fWindow != nullptr)
		SDL_SetWindowPosition(fWindow, (int)screenPoint.x, (int)screenPoint.y);
}

void
SDLWindow::ResizeTo(int32 width, int32 height)
{
	if (fWindow != nullptr)
		SDL_SetWindowSize(fWindow, std::max(width, (int32)1), std::max(height, (int32)1));
}

void
SDLWindow::SetDecorated(bool decorated)
{
	if (fWindow == nullptr || decorated == fDecorated)
		return;
	fDecorated = decorated;
	// The content stays where it is; the window manager grows or drops the frame around it.
	BRect frame = Frame();
	SDL_SetWindowBordered(fWindow, decorated ? SDL_TRUE : SDL_FALSE);
	if (fMappedOnce) {
		_WaitForFrame(decorated);
		_PlaceContent(frame.LeftTop());
	}
}

void
SDLWindow::SetAlwaysOnTop(bool onTop)
{
	if (fWindow != nullptr)
		SDL_SetWindowAlwaysOnTop(fWindow, onTop ? SDL_TRUE : SDL_FALSE);
}

void
SDLWindow::SetModal(bool modal)
{
	if (fWindow == nullptr || !modal || fParent == 0)
		return;
	if (SDL_Window* parent = SDL_GetWindowFromID(fParent))
		SDL_SetWindowModalFor(fWindow, parent);
}

void
SDLWindow::Show()
{
	if (fWindow == nullptr)
		return;
	SDL_ShowWindow(fWindow);
	if (!fMappedOnce) {
		fMappedOnce = true;
		// A window manager places a new window's frame, not its content, at the position it
		// was created with; once the frame is known the content goes where it was asked to.
		if (fDecorated) {
			_WaitForFrame(true);
			_PlaceContent(fWanted);
		}
	}
}

void
SDLWindow::Hide()
{
	if (fWindow != nullptr)
		SDL_HideWindow(fWindow);
}

void
SDLWindow::Activate()
{
	if (fWindow == nullptr)
		return;
	SDL_RaiseWindow(fWindow);
	SDL_SetWindowInputFocus(fWindow);
}

void
SDLWindow::Present(const uint8* pixels, int32 width, int32 height, int32 stride)
{
	if (fWindow == nullptr || pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4)
		return;
	// The surface is made anew after a size change; SDL hands out the current one.
	SDL_Surface* surface = SDL_GetWindowSurface(fWindow);
	if (surface == nullptr)
		return;

	int32 w = std::min(width, (int32)surface->w);
	int32 h = std::min(height, (int32)surface->h);
	if (w < surface->w || h < surface->h) {
		SDL_FillRect(surface, nullptr,
		             SDL_MapRGB(surface->format, kUncoveredGrey, kUncoveredGrey, kUncoveredGrey));
	}
	if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
		return;
	SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, pixels, stride, surface->format->format,
	                  surface->pixels, surface->pitch);
	if (SDL_MUSTLOCK(surface))
		SDL_UnlockSurface(surface);
	SDL_UpdateWindowSurface(fWindow);
}

BRect
SDLWindow::Frame() const
{
	if (fWindow == nullptr)
		return BRect();
	int x = 0, y = 0, width = 0, height = 0;
	SDL_GetWindowPosition(fWindow, &x, &y);
	SDL_GetWindowSize(fWindow, &width, &height);
	return BRect(x, y, x + width - 1, y + height - 1);
}

void
SDLWindow::SetIcon(const uint8* argb, int32 width, int32 height)
{
	if (fWindow == nullptr || argb == nullptr || width <= 0 || height <= 0 || width > 1024 ||
	    height > 1024)
		return;
	// SDL copies the pixels into the window's icon property; it never writes to them.
	SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8*>(argb), width, height,
	                                                       32, width * 4, SDL_PIXELFORMAT_ARGB8888);
	if (icon == nullptr)
		return;
	SDL_SetWindowIcon(fWindow, icon);
	SDL_FreeSurface(icon);
}

// Puts the content area at where, the frame the window manager drew around it known. On X11
// this asks the window manager directly: SDL_SetWindowPosition would then wait, 10 ms at a
// time, until it sees the window move, and hold back the first frame by that much.
void
SDLWindow::_PlaceContent(BPoint where)
{
	SDL_SysWMinfo info;
	SDL_VERSION(&info.version);
	int top = 0, left = 0, bottom = 0, right = 0;
	if (SDL_GetWindowWMInfo(fWindow, &info) && info.subsystem == SDL_SYSWM_X11
		&& SDL_GetWindowBordersSize(fWindow, &top, &left, &bottom, &right) == 0) {
		// With the default (north-west) gravity the window manager puts its frame's corner at
		// the requested point.
		XMoveWindow(info.info.x11.display, info.info.x11.window, (int)where.x - left,
			(int)where.y - top);
		XFlush(info.info.x11.display);
		return;
	}
	SDL_SetWindowPosition(fWindow, (int)where.x, (int)where.y);
}

// Waits a little for the window manager to report the frame it put around the window (or
// took away), so that a position set afterwards is taken for the content area.
void
SDLWindow::_WaitForFrame(bool framed)
{
	const Uint64 deadline = SDL_GetTicks64() + 250;
	int top = 0, left = 0, bottom = 0, right = 0;
	while (SDL_GetTicks64() < deadline) {
		SDL_PumpEvents();
		if (SDL_GetWindowBordersSize(fWindow, &top, &left, &bottom, &right) != 0)
			return; // no window manager that tells
		if (((top | left | bottom | right) != 0) == framed)
			return;
		SDL_Delay(5);
	}
}

} // namespace BPrivate
