// The Wayland backend on libwayland-client: the kit's windows as xdg-shell surfaces. Its
// parts: WaylandWindow (one surface), WaylandBuffers (frames in shared memory), WaylandSeat
// (pointer and keyboard), WaylandKeyboard (xkbcommon), WaylandWait.cpp (the blocking wait),
// WaylandClipboard and WaylandPrimary (the selections, WaylandClipboardBackend.cpp),
// WaylandDecoration and WaylandLibdecor (title bars).
// It lives in a module of its own (WaylandEntry.cpp); the checklist is at the top of
// WaylandBackend.cpp.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Backend.h"
#include "WaitSupport.h"
#include "WaylandConnection.h"
#include "WaylandModule.h"

struct wl_surface;

namespace BPrivate {

class WaylandActivation;
class WaylandClipboard;
class WaylandLibdecor;
class WaylandOutputs;
class WaylandPrimary;
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
	// WaylandClipboardBackend.cpp
	std::string ClipboardText() override;
	bool RequestClipboardText(std::string* text, const ClipboardAnswer& later) override;
	void SetClipboardText(const std::string& text) override;
	void SetPrimaryText(const std::string& text) override;
	void RequestPrimaryText(uint32 window, int32 handler) override;
	status_t OpenURL(const char* url) override;

	// wl_registry's announcements (WaylandBackend.cpp).
	void GlobalAdded(uint32 name, const char* interface, uint32 version);
	void GlobalRemoved(uint32 name);

private:
	// WaylandWait.cpp
	bool _Sleep(int32 timeoutMs, std::vector<pollfd>* descriptors);
	void _Lost();

	// Chooses the kit's factor again from the windows' surfaces and the outputs.
	void _UpdateScale();

	// WaylandClipboardBackend.cpp: the selections' pipes in the wait.
	bool _ServeSelections();
	void _AddSelectionDescriptors(std::vector<pollfd>* descriptors) const;
	int64 _UntilSelectionTimeout() const;

	void _WindowGone(WaylandWindow* window);
	WaylandWindow* _WindowOf(wl_surface* surface) const;
	void _ReapChildren();

	const WaylandHost* fHost;
	WaylandConnection fConnection;
	std::unique_ptr<WaylandSeat> fSeat;
	std::unique_ptr<WaylandLibdecor> fLibdecor; // only where the compositor draws no title bars
	std::deque<BackendEvent> fPending;
	std::map<uint32, WaylandWindow*> fWindows;
	uint32 fNextId = 1;
	WakeUpPipe fWakeUps;
	bool fLostReported = false;
	bool fFrameShown = false;
	std::unique_ptr<WaylandClipboard> fClipboard;
	std::unique_ptr<WaylandPrimary> fPrimary;
	std::unique_ptr<WaylandActivation> fActivation;
	std::vector<pid_t> fChildren;
	std::unique_ptr<WaylandOutputs> fOutputs;
	int32 fEnvironmentUnits = 0;
	bool fScaleKnown = false;
};

} // namespace BPrivate
