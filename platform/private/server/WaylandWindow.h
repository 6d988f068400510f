// WaylandWindow: one window of the Wayland backend. A wl_surface with the xdg_toplevel role
// (app_id "kambolux", fixed size, tied to its parent) or, for pop-up menus, the xdg_popup
// role placed by a positioner at the spot the kit chose in its parent and grabbing the input
// with the triggering event's serial. Frames go through WaylandBuffers, one per compositor
// frame callback, with damage for the rows that changed. Positions are the kit's own:
// Wayland tells a client nothing of where its windows are.
#pragma once

#include <memory>
#include <string>

#include "Backend.h"
#include "WaylandBuffers.h"
#include "WaylandConnection.h"
#include "WaylandDecoration.h"
#include "WaylandScaleSurface.h"

struct libdecor_frame;
struct wl_callback;
struct wl_surface;
struct xdg_popup;
struct xdg_surface;
struct xdg_toplevel;

namespace BPrivate {

class WaylandWindow : public BackendWindow {
public:
	typedef std::function<void(WaylandWindow*)> GoneHook;

	WaylandWindow(WaylandConnection* connection, uint32 id, const WindowSpec& spec, GoneHook gone);
	~WaylandWindow() override;

	bool IsValid() const { return fSurface != nullptr; }
	bool IsPopup() const { return fSpec.popupMenu; }
	uint32 Parent() const { return fSpec.parent; }
	bool HasShownFrame() const { return fShownFrame; }
	bool IsShown() const { return fShown; }
	// What the compositor said of this surface's scale (nullptr once forgotten).
	WaylandScaleSurface* ScaleSurface() const { return fScaleSurface.get(); }
	wl_surface* Surface() const { return fSurface; }
	xdg_surface* XdgSurface() const { return fXdgSurface; }
	xdg_toplevel* Toplevel() const { return fToplevel; }

	uint32 Id() const override { return fId; }
	void SetTitle(const char* title) override;
	void MoveTo(BPoint screenPoint) override;
	void ResizeTo(int32 width, int32 height) override;
	void SetDecorated(bool decorated) override;
	bool IsDecorated() const override;
	void SetTransientFor(uint32 parent) override;
	void SetAlwaysOnTop(bool onTop) override { fSpec.alwaysOnTop = onTop; }
	void SetModal(bool modal) override { fSpec.modal = modal; }
	void Show() override;
	void Hide() override;
	void Activate() override {}
	void Present(const uint8* pixels, int32 width, int32 height, int32 stride) override;
	BRect Frame() const override { return fFrame; }

	// The backend goes first: its objects go with the connection, and nothing more is sent.
	void Forgotten();
	// Hands a press to the compositor to move the window by (xdg_toplevel.move); false for
	// a window that is no toplevel.
	bool BeginMove(uint32 serial);
	// Where the content lies in the window geometry: inside libdecor's frame, else at 0,0.
	BPoint ContentOffset() const;

	// From the compositor (WaylandWindowEvents.cpp).
	void SurfaceConfigured(uint32 serial);
	void ToplevelConfigured(bool activated);
	void PopupConfigured(int32 x, int32 y);
	void PopupDone();
	void CloseRequested();
	void FrameDone();
	// From libdecor (WaylandLibdecor.cpp): a configure it has acknowledged, a commit it
	// needs for its frame, a click on its frame while a pop-up is open.
	void FrameConfigured(bool activated);
	void CommitRequested();
	void DismissPopups();

private:
	void _CreateRole();
	void _DestroyRole();
	void _CreateToplevel();
	bool _CreateLibdecorToplevel();
	void _Configured();
	bool _CreatePopup();
	void _SetSizeLimits();
	void _Commit();
	void _Post(BackendEvent::Type type);

	WaylandConnection* fConnection;
	uint32 fId;
	WindowSpec fSpec;
	BRect fFrame;
	GoneHook fGone;
	WaylandBuffers fBuffers;

	wl_surface* fSurface = nullptr;
	std::unique_ptr<WaylandScaleSurface> fScaleSurface;
	xdg_surface* fXdgSurface = nullptr;
	xdg_toplevel* fToplevel = nullptr;
	xdg_popup* fPopup = nullptr;
	// Set while libdecor owns the shell surface and the toplevel (and draws the title bar).
	libdecor_frame* fLibdecorFrame = nullptr;
	WaylandDecoration fDecoration;
	wl_callback* fFrameCallback = nullptr;

	bool fShown = false;
	bool fConfigured = false;
	bool fActivated = false;
	bool fShownFrame = false;
	// The frame waiting for the compositor's next frame callback, and the one it shows.
	WaylandBuffers::Buffer* fQueued = nullptr;
	WaylandBuffers::Buffer* fLast = nullptr;
	BRect fParentFrame;   // a pop-up's parent where the positioner saw it
	BPoint fParentOffset; // and its content in its window geometry
};

} // namespace BPrivate
