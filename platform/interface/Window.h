// BWindow: a looper with a tree of views, a backing store and a window of the backend.
// Frame() is the content area in screen coordinates, as on the platform. Windows delete
// themselves on Quit; Quit from inside the window's own handler takes effect when that
// handler returns.
#pragma once

#include <memory>
#include <string>

#include "InterfaceDefs.h"
#include "Looper.h"
#include "Rect.h"

class BButton;
class BView;

namespace BPrivate {
class BackendWindow;
struct BackingStore;
class WindowNode;
class WindowAccess;
struct WindowSpec;
enum class WindowKind;
} // namespace BPrivate

class BWindow : public BLooper {
public:
	BWindow(BRect frame, const char* title, window_type type, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	~BWindow() override;

	virtual void Show();
	virtual void Hide();
	bool IsHidden() const { return fShowLevel <= 0; }
	// B_OK, or B_ERROR once the window system refused to make the window at Show.
	status_t InitCheck() const { return fInitStatus; }
	void Quit() override;
	bool QuitRequested() override;

	void AddChild(BView* child, BView* before = nullptr);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* name) const;
	// The deepest visible view under a point in window coordinates.
	BView* FindView(BPoint point) const;

	BRect Frame() const { return fFrame; }
	// The frame with the window manager's border and title bar around it, as reported, or
	// as a typical window of this look gets it while the window is not shown yet.
	BRect DecoratorFrame() const;
	// Whether the window really has a title bar: what its look asks for, unless the window
	// system insists on otherwise (a Wayland compositor may). Hidden: what the look asks for.
	bool IsDecorated() const;
	BRect Bounds() const;
	void MoveTo(BPoint where);
	void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
	void MoveBy(float dx, float dy);
	void ResizeTo(float width, float height);
	void SetTitle(const char* title);
	const char* Title() const { return fTitle.c_str(); }
	// What a screen reader calls the window, where the title is no name for a user (a short
	// internal one, or none at all). Unset or empty: the title, for a pop-up its menu's name.
	void SetAccessibleName(const char* name);
	std::string AccessibleName() const;
	status_t SetLook(window_look look);
	window_look Look() const { return fLook; }
	status_t SetFeel(window_feel feel);
	window_feel Feel() const { return fFeel; }
	uint32 Flags() const { return fFlags; }
	window_type Type() const { return fType; }

	virtual void WindowActivated(bool active);
	virtual void FrameMoved(BPoint newPosition);
	bool IsActive() const { return fActive; }
	void Activate(bool active = true);

	BView* CurrentFocus() const { return fFocus; }
	void SetDefaultButton(BButton* button);
	BButton* DefaultButton() const { return fDefaultButton; }

	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;

	void DispatchMessage(BMessage* message, BHandler* handler) override;
	void MessageReceived(BMessage* message) override;
	BHandler* PreferredHandler() const override;

	// Redraws what is invalid and presents it now, instead of after the queue drains.
	void UpdateIfNeeded();
	void Flush() const;

	// How often the focus view gets Pulse while the window is active; 0 stops pulses.
	void SetPulseRate(bigtime_t rate) { fPulseRate = rate; }
	bigtime_t PulseRate() const { return fPulseRate; }

private:
	friend class BView;
	friend class BPrivate::WindowAccess;

	void _Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags);
	void _SetFocus(BView* view);
	void _ViewRemoved(BView* view);
	void _Invalidate(BRect rectInWindow);
	void _Redraw();
	void _Present();
	void _EnsureBackingStore();
	void _HandleKeyDown(BMessage* message);
	void _HandleKeyUp(BMessage* message);
	const char* _KeyBytes(BMessage* message);
	// Keys the window itself takes: focus moves and the context menu; true when taken.
	bool _HandleNavigationKey(const char* bytes, uint32 modifiers, int32 key);
	// Moves the focus to the next (or previous) view that takes it from the keyboard.
	void _KeyboardNavigation(bool forward);
	void _RequestContextMenu();
	void _HandleMouse(BMessage* message);
	// The modal window that keeps this one from acting now, or null.
	BWindow* _BlockingModal() const;
	// Kit to window manager: what the window is and whom it belongs to.
	BPrivate::WindowSpec _Spec();
	BWindow* _FindOwner() const;
	void _FitOnScreen();

	std::string fTitle;
	std::string fAccessibleName;
	BRect fFrame;
	window_type fType;
	window_look fLook;
	window_feel fFeel;
	uint32 fFlags;
	int32 fShowLevel = 0;
	status_t fInitStatus = B_OK;
	bool fActive = false;
	bool fQuitting = false;
	bool fPopup = false;
	BView* fTopView = nullptr;
	BView* fFocus = nullptr;
	bool fFocusFromKeyboard = false; // the focus came by Tab: controls show their mark
	BView* fMouseView = nullptr;     // receives moves and the release while a button is held
	BView* fLastMouseOver = nullptr;
	BButton* fDefaultButton = nullptr;
	BPoint fLastMouse;
	uint32 fLastButtons = 0;
	BRect fDirty;
	bool fNeedsPresent = false;
	std::unique_ptr<BPrivate::BackingStore> fBackingStore;
	int32 fBackingScaleUnits = 120; // 120ths, as the backend's display scale
	std::unique_ptr<BPrivate::BackendWindow> fServerWindow;
	bigtime_t fPulseRate = 500000;
	bigtime_t fNextPulse = 0;
	// Set by kit classes that know better than the feel (alerts are dialogs).
	BPrivate::WindowKind fKind;
	bool fKindFixed = false;
	// The backend window this one belongs to (0: none); found when it is first shown,
	// unless the kit named it before (a menu belongs to the window that opened it).
	uint32 fOwnerId = 0;
	bool fOwnerFixed = false;
	BPrivate::WindowNode* fAccessible = nullptr; // made when a screen reader asks
};
