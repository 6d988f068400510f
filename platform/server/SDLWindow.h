// SDLWindow: one window of the SDL backend. It keeps the content area where the kit put it,
// whatever frame the window manager draws around it, and copies the kit's backing store into
// SDL's software surface. It does not translate events; the backend does.
#pragma once

#include <functional>

#include "Backend.h"

struct SDL_Window;

namespace BPrivate {

class SDLWindow : public BackendWindow
{
public:
	typedef std::function<void(SDLWindow*)> GoneHook;

	// Takes the SDL window; gone is called when this window is deleted.
	SDLWindow(SDL_Window* window, const WindowSpec& spec, GoneHook gone);
	~SDLWindow() override;

	uint32 Id() const override { return fId; }
	void SetTitle(const char* title) override;
	void MoveTo(BPoint screenPoint) override;
	void ResizeTo(int32 width, int32 height) override;
	void SetDecorated(bool decorated) override;
	void SetAlwaysOnTop(bool onTop) override;
	void SetModal(bool modal) override;
	void Show() override;
	void Hide() override;
	void Activate() override;
	void Present(const uint8* pixels, int32 width, int32 height, int32 stride) override;
	BRect Frame() const override;
	void SetIcon(const uint8* argb, int32 width, int32 height) override;

	// The backend goes away before its windows (at exit, SDL_Quit destroys them): forget SDL.
	void Detach();

private:
	void _WaitForFrame(bool framed);
	void _PlaceContent(BPoint where);

	SDL_Window* fWindow;
	GoneHook fGone;
	uint32 fId;
	uint32 fParent;
	bool fDecorated;
	bool fMappedOnce = false;
	BPoint fWanted;
};

} // namespace BPrivate
