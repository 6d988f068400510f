#include "WaylandWindow.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "WaylandLibdecor.h"
#include "xdg-shell-client-protocol.h"

namespace BPrivate {

namespace {

const char* const kAppId = "kambolux";

WaylandWindow*
Of(void* data)
{
	return static_cast<WaylandWindow*>(data);
}

void
OnSurfaceConfigure(void* data, xdg_surface*, uint32_t serial)
{
	Of(data)->SurfaceConfigured(serial);
}

const xdg_surface_listener kSurfaceListener = {OnSurfaceConfigure};

void
OnToplevelConfigure(void* data, xdg_toplevel*, int32_t, int32_t, wl_array* states)
{
	bool activated = false;
	const uint32_t* state = static_cast<const uint32_t*>(states->data);
	for (size_t i = 0; i < states->size / sizeof(uint32_t); i++)
		activated = activated || state[i] == XDG_TOPLEVEL_STATE_ACTIVATED;
	Of(data)->ToplevelConfigured(activated);
}

void
OnToplevelClose(void* data, xdg_toplevel*)
{
	Of(data)->CloseRequested();
}

void
OnToplevelBounds(void*, xdg_toplevel*, int32_t, int32_t)
{
}

void
OnToplevelCapabilities(void*, xdg_toplevel*, wl_array*)
{
}

const xdg_toplevel_listener kToplevelListener = {OnToplevelConfigure, OnToplevelClose,
	OnToplevelBounds, OnToplevelCapabilities};

void
OnPopupConfigure(void* data, xdg_popup*, int32_t x, int32_t y, int32_t, int32_t)
{
	Of(data)->PopupConfigured(x, y);
}

void
OnPopupDone(void* data, xdg_popup*)
{
	Of(data)->PopupDone();
}

void
OnPopupRepositioned(void*, xdg_popup*, uint32_t)
{
}

const xdg_popup_listener kPopupListener = {OnPopupConfigure, OnPopupDone, OnPopupRepositioned};

void
OnFrameDone(void* data, wl_callback*, uint32_t)
{
	Of(data)->FrameDone();
}

const wl_callback_listener kFrameListener = {OnFrameDone};

int32
Extent(float length)
{
	return std::max((int32)length + 1, (int32)1);
}

} // namespace

WaylandWindow::WaylandWindow(WaylandConnection* connection, uint32 id, const WindowSpec& spec,
	GoneHook gone) :
	fConnection(connection),
	fId(id),
	fSpec(spec),
	fFrame(spec.frame),
	fGone(std::move(gone)),
	fBuffers(connection->shm),
	fDecoration(connection->decorationPath, spec.decorated)
{
	fSurface = wl_compositor_create_surface(connection->compositor);
	if (fSurface != nullptr)
		fScaleSurface = std::make_unique<WaylandScaleSurface>(connection, fSurface);
}

WaylandWindow::~WaylandWindow()
{
	if (fGone)
		fGone(this);
	_DestroyRole();
	fScaleSurface.reset();
	if (fSurface != nullptr)
		wl_surface_destroy(fSurface);
}

void
WaylandWindow::Forgotten()
{
	fGone = nullptr;
	fConnection->pending = nullptr;
	_DestroyRole();
	fBuffers.Clear();
	fQueued = nullptr;
	fScaleSurface.reset();
	if (fSurface != nullptr)
		wl_surface_destroy(fSurface);
	fSurface = nullptr;
	fShown = false;
}

void
WaylandWindow::SetTitle(const char* title)
{
	fSpec.title = title != nullptr ? title : "";
	if (fLibdecorFrame != nullptr)
		fConnection->libdecor->SetTitle(fLibdecorFrame, fSpec.title.c_str());
	else if (fToplevel != nullptr)
		xdg_toplevel_set_title(fToplevel, fSpec.title.c_str());
}

void
WaylandWindow::SetDecorated(bool decorated)
{
	fSpec.decorated = decorated;
	if (fSpec.popupMenu)
		return;
	// Live on a mapped window: the compositor's configure or libdecor's frame follows.
	fDecoration.SetWanted(decorated);
	if (fLibdecorFrame != nullptr)
		fConnection->libdecor->SetVisible(fLibdecorFrame, decorated);
}

bool
WaylandWindow::IsDecorated() const
{
	// A toplevel libdecor refused to frame has no title bar either.
	if (fDecoration.Path() == DecorationPath::kLibdecor && fToplevel != nullptr
		&& fLibdecorFrame == nullptr)
		return false;
	return !fSpec.popupMenu && fDecoration.Titled();
}

BPoint
WaylandWindow::ContentOffset() const
{
	if (fLibdecorFrame == nullptr)
		return BPoint(0, 0);
	return fConnection->libdecor->ContentOffset(fLibdecorFrame);
}

bool
WaylandWindow::BeginMove(uint32 serial)
{
	if (fToplevel == nullptr || fConnection->seat == nullptr)
		return false;
	xdg_toplevel_move(fToplevel, fConnection->seat, serial);
	return true;
}

void
WaylandWindow::MoveTo(BPoint screenPoint)
{
	// Not settable under Wayland; kept so that the kit's positions stay consistent.
	fFrame.OffsetTo(screenPoint);
}

void
WaylandWindow::ResizeTo(int32 width, int32 height)
{
	fFrame.right = fFrame.left + std::max(width, (int32)1) - 1;
	fFrame.bottom = fFrame.top + std::max(height, (int32)1) - 1;
	_SetSizeLimits();
}

void
WaylandWindow::SetTransientFor(uint32 parent)
{
	fSpec.parent = parent;
	if (fToplevel == nullptr)
		return;
	WaylandWindow* window = parent != 0 ? fConnection->findWindow(parent) : nullptr;
	xdg_toplevel_set_parent(fToplevel, window != nullptr ? window->Toplevel() : nullptr);
}

void
WaylandWindow::Show()
{
	if (fShown || fSurface == nullptr)
		return;
	fShown = true;
	_CreateRole();
}

void
WaylandWindow::Hide()
{
	if (!fShown || fSurface == nullptr)
		return;
	fShown = false;
	_DestroyRole();
	// Unmapped: the next Show starts again with an empty surface.
	wl_surface_attach(fSurface, nullptr, 0, 0);
	wl_surface_commit(fSurface);
}

void
WaylandWindow::_CreateRole()
{
	fConfigured = false;
	if (!fSpec.popupMenu && fConnection->libdecor != nullptr && _CreateLibdecorToplevel())
		return;
	fXdgSurface = xdg_wm_base_get_xdg_surface(fConnection->wmBase, fSurface);
	xdg_surface_add_listener(fXdgSurface, &kSurfaceListener, this);
	if (!fSpec.popupMenu || !_CreatePopup())
		_CreateToplevel();
	fConfigured = false;
	// The first commit, without a buffer, asks the compositor for the first configure.
	wl_surface_commit(fSurface);
}

void
WaylandWindow::_CreateToplevel()
{
	fToplevel = xdg_surface_get_toplevel(fXdgSurface);
	xdg_toplevel_add_listener(fToplevel, &kToplevelListener, this);
	xdg_toplevel_set_app_id(fToplevel, kAppId);
	xdg_toplevel_set_title(fToplevel, fSpec.title.c_str());
	_SetSizeLimits();
	if (fSpec.parent != 0)
		SetTransientFor(fSpec.parent);
	// Before the first commit, as xdg-decoration demands.
	fDecoration.Attach(fConnection->decorationManager, fToplevel);
}

// libdecor makes the shell surface and the toplevel itself and frames the content with its
// title bar; "without title bar" hides the frame.
bool
WaylandWindow::_CreateLibdecorToplevel()
{
	WaylandLibdecor* libdecor = fConnection->libdecor;
	fLibdecorFrame = libdecor->Decorate(this);
	if (fLibdecorFrame == nullptr)
		return false;
	fXdgSurface = libdecor->XdgSurface(fLibdecorFrame);
	fToplevel = libdecor->Toplevel(fLibdecorFrame);
	libdecor->SetAppId(fLibdecorFrame, kAppId);
	libdecor->SetTitle(fLibdecorFrame, fSpec.title.c_str());
	libdecor->SetVisible(fLibdecorFrame, fSpec.decorated);
	_SetSizeLimits();
	if (fSpec.parent != 0)
		SetTransientFor(fSpec.parent);
	libdecor->Map(fLibdecorFrame);
	return true;
}

bool
WaylandWindow::_CreatePopup()
{
	WaylandWindow* parent = fSpec.parent != 0 ? fConnection->findWindow(fSpec.parent) : nullptr;
	if (parent == nullptr || parent->XdgSurface() == nullptr)
		return false;
	fParentFrame = parent->Frame();
	// The positioner counts from the parent's window geometry, which includes a frame
	// libdecor draws around the content.
	fParentOffset = parent->ContentOffset();
	xdg_positioner* positioner = xdg_wm_base_create_positioner(fConnection->wmBase);
	xdg_positioner_set_size(positioner, Extent(fFrame.Width()), Extent(fFrame.Height()));
	// Anchored at the spot the kit chose (the click); the compositor slides or flips it to
	// keep it on the output.
	xdg_positioner_set_anchor_rect(positioner,
		(int32)(fFrame.left - fParentFrame.left + fParentOffset.x),
		(int32)(fFrame.top - fParentFrame.top + fParentOffset.y), 1, 1);
	xdg_positioner_set_anchor(positioner, XDG_POSITIONER_ANCHOR_TOP_LEFT);
	xdg_positioner_set_gravity(positioner, XDG_POSITIONER_GRAVITY_BOTTOM_RIGHT);
	xdg_positioner_set_constraint_adjustment(positioner,
		XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_X | XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_Y
			| XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_FLIP_X
			| XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_FLIP_Y);
	fPopup = xdg_surface_get_popup(fXdgSurface, parent->XdgSurface(), positioner);
	xdg_positioner_destroy(positioner);
	xdg_popup_add_listener(fPopup, &kPopupListener, this);
	// The menu takes every click and key while open; the compositor dismisses it on a click
	// elsewhere (popup_done).
	if (fConnection->seat != nullptr)
		xdg_popup_grab(fPopup, fConnection->seat, fConnection->inputSerial);
	return true;
}

void
WaylandWindow::_DestroyRole()
{
	if (fXdgSurface != nullptr && fConnection->hidePopupsOf)
		fConnection->hidePopupsOf(this);
	if (fFrameCallback != nullptr) {
		wl_callback_destroy(fFrameCallback);
		fFrameCallback = nullptr;
	}
	if (fPopup != nullptr) {
		xdg_popup_destroy(fPopup);
		fPopup = nullptr;
	}
	fDecoration.Detach();
	if (fLibdecorFrame != nullptr) {
		// libdecor's own shell surface and toplevel go with its frame.
		fConnection->libdecor->Release(fLibdecorFrame);
		fLibdecorFrame = nullptr;
		fToplevel = nullptr;
		fXdgSurface = nullptr;
	}
	if (fToplevel != nullptr) {
		xdg_toplevel_destroy(fToplevel);
		fToplevel = nullptr;
	}
	if (fXdgSurface != nullptr) {
		xdg_surface_destroy(fXdgSurface);
		fXdgSurface = nullptr;
	}
	fConfigured = false;
	fLast = nullptr;
	if (fActivated) {
		fActivated = false;
		_Post(BackendEvent::kDeactivated);
	}
}

void
WaylandWindow::_SetSizeLimits()
{
	if (fToplevel == nullptr || fSpec.resizable)
		return;
	// A fixed size: equal minimum and maximum, which also keeps tiling compositors from
	// stretching it.
	const int32 width = Extent(fFrame.Width());
	const int32 height = Extent(fFrame.Height());
	if (fLibdecorFrame != nullptr) {
		fConnection->libdecor->SetFixedSize(fLibdecorFrame, width, height);
		return;
	}
	xdg_toplevel_set_min_size(fToplevel, width, height);
	xdg_toplevel_set_max_size(fToplevel, width, height);
}

void
WaylandWindow::Present(const uint8* pixels, int32 width, int32 height, int32 stride)
{
	if (fSurface == nullptr || fConnection->lost || pixels == nullptr)
		return;
	// Buffers of another size are dropped by Acquire; forget them first.
	if (fLast != nullptr && (fLast->width != width || fLast->height != height))
		fLast = nullptr;
	if (fQueued != nullptr && (fQueued->width != width || fQueued->height != height))
		fQueued = nullptr;
	WaylandBuffers::Buffer* buffer = fQueued != nullptr ? fQueued : fBuffers.Acquire(width, height);
	if (buffer == nullptr)
		return;
	const size_t rowBytes = (size_t)width * 4;
	for (int32 y = 0; y < height; y++)
		memcpy(buffer->pixels + (size_t)y * buffer->stride, pixels + (size_t)y * stride, rowBytes);
	fQueued = buffer;
	_Commit();
}

void
WaylandWindow::_Commit()
{
	if (!fConfigured || fFrameCallback != nullptr || fQueued == nullptr || fConnection->lost)
		return;
	WaylandBuffers::Buffer* buffer = fQueued;
	fQueued = nullptr;
	int32 first = 0;
	int32 last = buffer->height - 1;
	// A buffer at another scale covers the window anew: all of it is damage.
	const bool placed = fScaleSurface->Place(buffer->width, buffer->height, Extent(fFrame.Width()),
		Extent(fFrame.Height()));
	if (!placed && fLast != nullptr && fLast != buffer
		&& !ChangedRows(fLast->pixels, buffer->pixels, buffer->height, buffer->width * 4,
			buffer->stride, &first, &last))
		return; // what the compositor shows already
	wl_surface_attach(fSurface, buffer->buffer, 0, 0);
	wl_surface_damage_buffer(fSurface, 0, first, buffer->width, last - first + 1);
	fFrameCallback = wl_surface_frame(fSurface);
	wl_callback_add_listener(fFrameCallback, &kFrameListener, this);
	wl_surface_commit(fSurface);
	buffer->busy = true;
	fLast = buffer;
	if (!fShownFrame) {
		fShownFrame = true;
		if (fConnection->frameShown)
			fConnection->frameShown();
	}
}

void
WaylandWindow::_Post(BackendEvent::Type type)
{
	if (fConnection->pending == nullptr)
		return;
	BackendEvent event;
	event.type = type;
	event.window = fId;
	event.where = fFrame.LeftTop();
	fConnection->pending->push_back(event);
}

void
WaylandWindow::SurfaceConfigured(uint32 serial)
{
	xdg_surface_ack_configure(fXdgSurface, serial);
	_Configured();
}

void
WaylandWindow::_Configured()
{
	const bool first = !fConfigured;
	fConfigured = true;
	if (first && fQueued == nullptr)
		_Post(BackendEvent::kExposed); // nothing to show yet: the kit draws again
	_Commit();
}

void
WaylandWindow::ToplevelConfigured(bool activated)
{
	if (activated == fActivated)
		return;
	fActivated = activated;
	_Post(activated ? BackendEvent::kActivated : BackendEvent::kDeactivated);
}

void
WaylandWindow::PopupConfigured(int32 x, int32 y)
{
	// Where the compositor put the menu in its parent, in the kit's positions.
	const BPoint where(fParentFrame.left + (float)x - fParentOffset.x,
		fParentFrame.top + (float)y - fParentOffset.y);
	if (where == fFrame.LeftTop())
		return;
	fFrame.OffsetTo(where);
	_Post(BackendEvent::kWindowMoved);
}

void
WaylandWindow::PopupDone()
{
	_Post(BackendEvent::kCloseRequested);
}

void
WaylandWindow::CloseRequested()
{
	_Post(BackendEvent::kCloseRequested);
}

void
WaylandWindow::FrameConfigured(bool activated)
{
	ToplevelConfigured(activated);
	_Configured();
}

void
WaylandWindow::CommitRequested()
{
	if (fSurface != nullptr && !fConnection->lost)
		wl_surface_commit(fSurface);
}

void
WaylandWindow::DismissPopups()
{
	if (fConnection->dismissPopupsOf)
		fConnection->dismissPopupsOf(this);
}

void
WaylandWindow::FrameDone()
{
	if (fFrameCallback != nullptr) {
		wl_callback_destroy(fFrameCallback);
		fFrameCallback = nullptr;
	}
	_Commit();
}

} // namespace BPrivate
