#include "X11SharedImage.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

#include "X11Connection.h"

namespace BPrivate {

namespace {

bool sAttachFailed = false;

int
OnAttachError(Display*, XErrorEvent*)
{
	sAttachFailed = true;
	return 0;
}

bool
HostIsLittleEndian()
{
	const uint16 probe = 1;
	return *reinterpret_cast<const uint8*>(&probe) == 1;
}

} // namespace

int
X11SharedImage::CompletionEvent(Display* display)
{
	if (!XShmQueryExtension(display))
		return -1;
	return XShmGetEventBase(display) + ShmCompletion;
}

X11SharedImage::X11SharedImage(X11Connection* connection, int32 width, int32 height) :
	fConnection(connection)
{
	Display* display = fConnection->display;
	XImage* image = XShmCreateImage(display, fConnection->visual, fConnection->depth, ZPixmap,
		nullptr, &fSegment, width, height);
	if (image == nullptr)
		return;
	if (image->bits_per_pixel != 32
		|| image->byte_order != (HostIsLittleEndian() ? LSBFirst : MSBFirst)) {
		XDestroyImage(image);
		return;
	}
	fSegment.shmid = shmget(IPC_PRIVATE, (size_t)image->bytes_per_line * height, IPC_CREAT | 0600);
	if (fSegment.shmid < 0) {
		XDestroyImage(image);
		return;
	}
	fSegment.shmaddr = static_cast<char*>(shmat(fSegment.shmid, nullptr, 0));
	if (fSegment.shmaddr == reinterpret_cast<char*>(-1)) {
		shmctl(fSegment.shmid, IPC_RMID, nullptr);
		XDestroyImage(image);
		return;
	}
	image->data = fSegment.shmaddr;
	fSegment.readOnly = True;

	// A server that cannot reach the segment (another machine, another user) refuses the
	// attach with an error: waited for here, and kept from the kit's error log.
	XSync(display, False);
	sAttachFailed = false;
	XErrorHandler previous = XSetErrorHandler(OnAttachError);
	const bool attached = XShmAttach(display, &fSegment) != 0;
	XSync(display, False);
	XSetErrorHandler(previous);
	// Gone once both sides have let go of it, even if this program is killed.
	shmctl(fSegment.shmid, IPC_RMID, nullptr);
	if (!attached || sAttachFailed) {
		shmdt(fSegment.shmaddr);
		image->data = nullptr;
		XDestroyImage(image);
		return;
	}
	fImage = image;
}

X11SharedImage::~X11SharedImage()
{
	if (fImage == nullptr)
		return;
	if (!fConnection->lost) {
		XShmDetach(fConnection->display, &fSegment);
		XSync(fConnection->display, False);
	}
	shmdt(fSegment.shmaddr);
	fImage->data = nullptr;
	XDestroyImage(fImage);
}

bool
X11SharedImage::Fits(int32 width, int32 height) const
{
	return fImage != nullptr && width <= fImage->width && height <= fImage->height;
}

bool
X11SharedImage::Put(Drawable drawable, GC gc, const uint8* pixels, int32 width, int32 height,
	int32 stride)
{
	if (fBusy || !Fits(width, height) || fConnection->lost)
		return false;
	for (int32 y = 0; y < height; y++) {
		memcpy(fImage->data + (size_t)y * fImage->bytes_per_line, pixels + (size_t)y * stride,
			(size_t)width * 4);
	}
	if (!XShmPutImage(fConnection->display, drawable, gc, fImage, 0, 0, 0, 0, width, height, True))
		return false;
	fBusy = true;
	return true;
}

} // namespace BPrivate
