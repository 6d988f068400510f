// Kit-internal access to a window's backend window and backing store. Not for applications.
#pragma once

#include "Rect.h"
#include "InterfaceDefs.h"
#include "SupportDefs.h"

typedef struct _cairo_surface cairo_surface_t;

class BView;
class BWindow;

namespace BPrivate {

inline bool
IsModalFeel(window_feel feel)
{
	return feel == B_MODAL_APP_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL
		|| feel == B_MODAL_SUBSET_WINDOW_FEEL;
}

class WindowAccess {
public:
	static uint32 BackendId(const BWindow* window);
	// The backing store, created on demand (content size).
	static cairo_surface_t* BackingStore(BWindow* window);
	// Something was drawn outside Draw: present it after the current message.
	static void MarkNeedsPresent(BWindow* window);
	// Makes the window a pop-up menu window of the backend; call before the first Show.
	static void SetPopup(BWindow* window, bool popup);
	static bool IsPopup(const BWindow* window);
	static BView* TopView(BWindow* window);
	static bool IsQuitting(const BWindow* window);
	// Redraws what is invalid and presents it (the loop does this after the queue drains).
	static void Update(BWindow* window);
	// Backend event handling.
	static void SetFrameFromBackend(BWindow* window, BRect frame);
	static void Exposed(BWindow* window);
	static BWindow* FindByBackendId(uint32 id);
};

} // namespace BPrivate
