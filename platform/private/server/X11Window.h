// X11Window: one top-level window of the X11 backend. It tells the window manager what the
// window is (ICCCM and EWMH properties, Motif decoration hints), keeps its content area where
// the kit put it, and puts the kit's backing store on the screen. The backend hands it the
// events that concern it; it translates no input itself.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>
#include <memory>
#include <vector>

#include "Backend.h"
#include "X11Pixels.h"
#include "X11SharedImage.h"

namespace BPrivate {

struct X11Connection;

class X11Window : public BackendWindow {
public:
	typedef std::function<void(X11Window*)> GoneHook;

	// Creates the X window for spec (not yet mapped). parentWindow is the X window of
	// spec.parent, or 0. gone is called when this object is deleted.
	X11Window(X11Connection* connection, uint32 id, const WindowSpec& spec, Window parentWindow,
		GoneHook gone);
	~X11Window() override;

	bool IsValid() const { return fWindow != 0; }
	Window XWindow() const { return fWindow; }
	bool IsPopup() const { return fPopup; }
	bool IsMapped() const { return fMapped; }
	// Whether a frame was put on the screen while the window was mapped.
	bool HasShownFrame() const { return fShownFrame; }
	bool IsDecorated() const override { return fSpec.decorated; }
	bool IsBordered() const { return fSpec.bordered; }

	// What to draw around a window and which functions to offer (_MOTIF_WM_HINTS).
	static void SetMotifHints(const X11Connection* connection, Window window, bool decorated,
		bool bordered, bool resizable);
	// The window manager's frame around a window (_NET_FRAME_EXTENTS); false when none is set.
	static bool ReadExtents(const X11Connection* connection, Window window, FrameExtents* extents);

	// BackendWindow.
	uint32 Id() const override { return fId; }
	void SetTitle(const char* title) override;
	void MoveTo(BPoint screenPoint) override;
	void ResizeTo(int32 width, int32 height) override;
	void SetDecorated(bool decorated) override;
	void SetBordered(bool bordered) override;
	void SetTransientFor(uint32 parent) override;
	void SetAlwaysOnTop(bool onTop) override;
	void SetModal(bool modal) override;
	void Show() override;
	void Hide() override;
	void Activate() override;
	void Present(const uint8* pixels, int32 width, int32 height, int32 stride) override;
	BRect Frame() const override { return fFrame; }
	FrameExtents Extents() const override { return fExtents; }
	void SetIcon(const uint8* argb, int32 width, int32 height) override;

	// Events from the backend.
	void Mapped();
	void Unmapped();
	// A ConfigureNotify; moved is set when the content area's position changed.
	void Configured(const XConfigureEvent& event, bool* moved, bool* resized);
	void Reparented(Window parent);
	// WM_STATE changed: a window being mapped again waits for the window manager to let go.
	void StateChanged();
	// Microseconds until a window being mapped again stops waiting for the window manager;
	// -1 when none waits.
	bigtime_t UntilRemap(bigtime_t now) const;
	// Maps the window again when the window manager has not answered in time.
	void RemapIfOverdue(bigtime_t now);
	// _NET_FRAME_EXTENTS changed; returns the new extents.
	FrameExtents ExtentsChanged();
	// Another client destroyed the window: no requests about it may be sent any more.
	void DestroyedElsewhere();
	// The server has read the last frame put through shared memory.
	void SharedFrameCompleted();
	// The backend goes away before the window: it forgets the connection.
	void Detach();

	// The X window the kit's parent id stands for is resolved by the backend.
	typedef std::function<Window(uint32)> ParentLookup;
	void SetParentLookup(ParentLookup lookup) { fParentLookup = std::move(lookup); }

private:
	bool _Live() const;
	void _SetSizeHints();
	void _SetWindowType();
	void _SetStateProperty();
	void _ChangeState(Atom state, bool on);
	void _SetTransient(Window parent);
	void _ApplyDecoration();
	void _Remap();
	void _MapAgainWhenLetGo();
	void _MapAgain();
	void _Activate();
	void _ReturnFocus();
	void _KeepTitleBarOnScreen();
	void _FillUncovered(int32 width, int32 height);
	bool _PresentShared(const uint8* pixels, int32 width, int32 height, int32 stride);

	X11Connection* fConnection;
	Window fWindow = 0;
	GC fGC = nullptr;
	uint32 fId;
	GoneHook fGone;
	ParentLookup fParentLookup;
	PixelLayout fLayout;

	WindowSpec fSpec;
	bool fPopup;
	bool fMapped = false;
	bool fDead = false;
	bool fShownFrame = false;
	bool fActivateOnMap = false;
	bool fParentIsRoot = true;
	// While the window is withdrawn to be mapped again: when to stop waiting for the window
	// manager (0: not), where it stood, and whether it had the focus.
	bigtime_t fRemapDeadline = 0;
	BPoint fRemapWhere;
	bool fRemapActivate = false;
	BRect fFrame;
	FrameExtents fExtents;
	// Converted pixels for visuals other than 24-bit XRGB.
	std::vector<char> fConverted;
	// Frames through shared memory, made at the window's size once MIT-SHM is known; not
	// tried again once the server refused it.
	std::unique_ptr<X11SharedImage> fShared;
	bool fSharedRefused = false;
};

} // namespace BPrivate
