// Kit-internal access to a window's backend window and backing store. Not for applications.
#pragma once

#include "Backend.h"
#include "InterfaceDefs.h"
#include "Rect.h"
#include "SupportDefs.h"

typedef struct _cairo_surface cairo_surface_t;

class BView;
class BWindow;

namespace BPrivate {

class WindowNode;

// What a window draws into: a cairo image surface, backing-scale times the content size.
// Owns the surface; the window drops it when its size or scale changes.
struct BackingStore {
	explicit BackingStore(cairo_surface_t* surface) : surface(surface) {}
	~BackingStore();
	BackingStore(const BackingStore&) = delete;
	BackingStore& operator=(const BackingStore&) = delete;

	cairo_surface_t* const surface;
};

inline bool
IsModalFeel(window_feel feel)
{
	return feel == B_MODAL_APP_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL
		|| feel == B_MODAL_SUBSET_WINDOW_FEEL;
}

// Looks that get a title bar and border from the window manager.
inline bool
IsDecoratedLook(window_look look)
{
	return look == B_TITLED_WINDOW_LOOK || look == B_DOCUMENT_WINDOW_LOOK
		|| look == B_FLOATING_WINDOW_LOOK;
}

// Looks the window manager frames with a border but no title bar.
inline bool
IsBorderedLook(window_look look)
{
	return look == B_MODAL_WINDOW_LOOK || look == B_BORDERED_WINDOW_LOOK;
}

inline bool
IsFloatingFeel(window_feel feel)
{
	return feel == B_FLOATING_ALL_WINDOW_FEEL || feel == B_FLOATING_APP_WINDOW_FEEL
		|| feel == B_FLOATING_SUBSET_WINDOW_FEEL;
}

// Feels above every window of the desktop. The application's own modal and floating feels
// keep a window above its application's windows only, which the window manager does for a
// window that belongs to another (transient for it).
inline bool
IsOnTopFeel(window_feel feel)
{
	return feel == B_FLOATING_ALL_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL;
}

// Where a new window goes so that it lies on the screen with the window manager's frame
// around it: moved by as little as it takes, and with its title bar and left edge on the
// screen when it is larger than that. A frame that fits stays where it is.
BRect FitOnScreen(BRect frame, const FrameExtents& extents, BRect screen);

// Whether keyboard navigation stops at a view: shown, and navigable (an enabled control with
// B_NAVIGABLE or B_NAVIGABLE_JUMP) or a text view that can be edited or selected.
bool TakesKeyboardFocus(const BView* view);
// The view that Tab (forward) or Shift+Tab moves the focus to from current (null: from the
// start or the end), in the order of the tree: parents before children, children in order.
// Wraps round; null when no view of the tree takes the focus.
BView* NextKeyboardFocus(BView* top, BView* current, bool forward);

class WindowAccess {
public:
	static uint32 BackendId(const BWindow* window);
	// The backing store, created on demand (content size times BackingScale, halves up).
	static cairo_surface_t* BackingStore(BWindow* window);
	// Backing-store pixels per layout unit: the backend's scale when the store was made.
	static DisplayScale BackingScale(BWindow* window);
	// Something was drawn outside Draw: present it after the current message.
	static void MarkNeedsPresent(BWindow* window);
	// Makes the window a pop-up menu window of the backend; call before the first Show.
	static void SetPopup(BWindow* window, bool popup);
	static bool IsPopup(const BWindow* window);
	static BView* TopView(BWindow* window);
	static bool IsQuitting(const BWindow* window);
	// When the window's next pulse is due (0: it wants none now); kept by the event loop.
	static bigtime_t& NextPulse(BWindow* window);
	// Redraws what is invalid and presents it (the loop does this after the queue drains).
	static void Update(BWindow* window);
	// Backend event handling.
	static void SetFrameFromBackend(BWindow* window, BRect frame);
	static void Exposed(BWindow* window);
	static BWindow* FindByBackendId(uint32 id);

	// What the window manager is told; both only before the window is first shown.
	static void SetKind(BWindow* window, WindowKind kind);
	// The window this one belongs to, instead of the application's main window.
	static void SetOwner(BWindow* window, const BWindow* owner);
	static WindowKind Kind(const BWindow* window);
	// The window's accessible node, made by the accessible tree on first use.
	static WindowNode*& Accessible(BWindow* window);

	// The close button: a window kept waiting by a modal one brings that forward instead.
	static void CloseRequested(BWindow* window);

	// Whether the focus view got the focus by keyboard navigation, not a click or the program.
	static bool FocusFromKeyboard(const BWindow* window);
};

} // namespace BPrivate
