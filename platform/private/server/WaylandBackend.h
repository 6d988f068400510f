// The Wayland backend on libwayland-client: the kit's windows as xdg-shell surfaces. Its
// parts: WaylandWindow (one surface), WaylandBuffers (frames in shared memory), WaylandSeat
// (pointer and keyboard), WaylandKeyboard (xkbcommon), WaylandWait.cpp (the blocking wait).
// It lives in a module of its own (WaylandEntry.cpp); the checklist is at the top of
// WaylandBackend.cpp.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Backend.h"
#include "WaylandConnection.h"
#include "WaylandModule.h"

struct wl_surface;

namespace BPrivate {

class WaylandOutputs;
class WaylandSeat;
class WaylandWindow;

class WaylandBackend : public Backend {
public:
	WaylandBackend(wl_display* display, const WaylandHost* host);
	~WaylandBackend() override;

	// Whether the compositor offers what the backend cannot do without (after the first
	// round trip); says what is missing on standard error.
	bool IsUsable() const;

	bool IsHeadless() const override { return false; }
	std::unique_ptr<BackendWindow> CreateWindow(const WindowSpec& spec) override;
	bool WaitEvent(BackendEvent* event, int32 timeoutMs,
		std::vector<pollfd>* descriptors = nullptr) override;
	void Wake() override;
	BRect ScreenFrame() const override;
	bool FrameShown() const override { return fFrameShown; }
	void AfterFirstFrame() override;
	bool SupportsAlwaysOnTop() const override { return false; }
	bool SupportsWindowPosition() const override { return false; }
	bool KnowsScreenCoordinates() const override { return false; }
	DisplayScale Scale() const override { return fConnection.scale; }
	uint32 MouseButtons() const override;
	BPoint MouseLocation() const override;
	std::string ClipboardText() override { return fClipboard; }
	void SetClipboardText(const std::string& text) override { fClipboard = text; }
	status_t OpenURL(const char* url) override;

	// wl_registry's announcements (WaylandBackend.cpp).
	void GlobalAdded(uint32 name, const char* interface, uint32 version);
	void GlobalRemoved(uint32 name);

private:
	// WaylandWait.cpp
	void _InstallWakeUps();
	void _RemoveQuitSignals();
	bool _Sleep(int32 timeoutMs, std::vector<pollfd>* descriptors);
	void _Lost();

	// Chooses the kit's factor again from the windows' surfaces and the outputs.
	void _UpdateScale();
	void _WindowGone(WaylandWindow* window);
	WaylandWindow* _WindowOf(wl_surface* surface) const;
	void _ReapChildren();

	const WaylandHost* fHost;
	WaylandConnection fConnection;
	std::unique_ptr<WaylandSeat> fSeat;
	std::deque<BackendEvent> fPending;
	std::map<uint32, WaylandWindow*> fWindows;
	uint32 fNextId = 1;
	int fWakePipe[2] = {-1, -1};
	bool fLostReported = false;
	bool fFrameShown = false;
	std::string fClipboard; // the program's own; other programs' come in a later step
	std::vector<pid_t> fChildren;
	std::unique_ptr<WaylandOutputs> fOutputs;
	int32 fEnvironmentUnits = 0;
	bool fScaleKnown = false;
};

} // namespace BPrivate
