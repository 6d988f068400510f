// X11SharedImage: a window's frames through shared memory (MIT-SHM): the pixels are copied
// into a segment the server reads, instead of going through the connection. Made only when
// the server offers the extension and the attach succeeds (a remote display or another user's
// server refuses it: the window then goes on with XPutImage). One frame in flight at a time;
// 32-bit XRGB pixels only.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "SupportDefs.h"

namespace BPrivate {

struct X11Connection;

class X11SharedImage {
public:
	// The event type of MIT-SHM's completion events, or -1 when the server has no MIT-SHM
	// (one round trip: asked once the first frame is on the screen).
	static int CompletionEvent(Display* display);

	X11SharedImage(X11Connection* connection, int32 width, int32 height);
	~X11SharedImage();

	bool IsValid() const { return fImage != nullptr; }
	bool Fits(int32 width, int32 height) const;
	// Until the server has read the last frame, the segment is not to be written.
	bool IsBusy() const { return fBusy; }
	// Copies the pixels in and asks the server to draw them; false when it cannot now.
	bool Put(Drawable drawable, GC gc, const uint8* pixels, int32 width, int32 height,
		int32 stride);
	// The server's completion event for the last frame arrived.
	void Completed() { fBusy = false; }

private:
	X11Connection* fConnection;
	XShmSegmentInfo fSegment{};
	XImage* fImage = nullptr;
	bool fBusy = false;
};

} // namespace BPrivate
