// X11Window's frames on the screen: the kit's backing store put into the window, through
// shared memory where the server offers it, converted for visuals other than 24-bit XRGB.

#include "X11Window.h"

#include <algorithm>

#include "X11Connection.h"
#include "X11Scale.h"

namespace BPrivate {

namespace {

// What shows where a window is larger than the frame it was given, for a moment while it
// is being resized: the platform's panel grey.
const uint32 kUncoveredGrey = 0xffd8d8d8;

bool
HostIsLittleEndian()
{
	const uint16 probe = 1;
	return *reinterpret_cast<const uint8*>(&probe) == 1;
}

} // namespace

void
X11Window::Present(const uint8* pixels, int32 width, int32 height, int32 stride)
{
	if (!_Live() || pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4)
		return;
	Display* display = fConnection->display;
	// The backing store comes at the scale already: copied pixel for pixel.
	const int32 windowWidth = DeviceLengthFromLayout((int32)fFrame.Width() + 1, fConnection->scale);
	const int32 windowHeight = DeviceLengthFromLayout((int32)fFrame.Height() + 1,
		fConnection->scale);
	const int32 w = std::min(width, windowWidth);
	const int32 h = std::min(height, windowHeight);

	if (_PresentShared(pixels, w, h, stride)) {
		fShownFrame = fShownFrame || fMapped;
		_FillUncovered(w, h);
		XFlush(display);
		return;
	}

	XImage* image = XCreateImage(display, fConnection->visual, fConnection->depth, ZPixmap, 0,
		nullptr, w, h, 32, 0);
	if (image == nullptr)
		return;
	if (fLayout.IsXRGB() && image->bits_per_pixel == 32) {
		// The kit's pixels as they are; Xlib swaps the bytes for a server of the other order.
		image->data = const_cast<char*>(reinterpret_cast<const char*>(pixels));
		image->bytes_per_line = stride;
		image->byte_order = HostIsLittleEndian() ? LSBFirst : MSBFirst;
	} else {
		fConverted.resize((size_t)image->bytes_per_line * h);
		image->data = fConverted.data();
		for (int32 y = 0; y < h; y++) {
			const uint32* row = reinterpret_cast<const uint32*>(pixels + (size_t)y * stride);
			for (int32 x = 0; x < w; x++)
				XPutPixel(image, x, y, fLayout.Pixel(row[x]));
		}
	}
	XPutImage(display, fWindow, fGC, image, 0, 0, 0, 0, w, h);
	fShownFrame = fShownFrame || fMapped;
	image->data = nullptr;
	XDestroyImage(image);
	_FillUncovered(w, h);
	XFlush(display);
}

// Through shared memory where the server offers it: the frame is copied into a segment
// instead of being written down the connection. A frame that comes while the server still
// reads the last one goes the ordinary way.
bool
X11Window::_PresentShared(const uint8* pixels, int32 width, int32 height, int32 stride)
{
	if (fConnection->shmCompletion < 0 || fSharedRefused || !fLayout.IsXRGB())
		return false;
	const int32 windowWidth = DeviceLengthFromLayout((int32)fFrame.Width() + 1, fConnection->scale);
	const int32 windowHeight = DeviceLengthFromLayout((int32)fFrame.Height() + 1,
		fConnection->scale);
	if (fShared == nullptr || (!fShared->IsBusy() && !fShared->Fits(width, height))) {
		fShared.reset();
		fShared = std::make_unique<X11SharedImage>(fConnection, std::max(width, windowWidth),
			std::max(height, windowHeight));
		if (!fShared->IsValid()) {
			fShared.reset();
			fSharedRefused = true;
			return false;
		}
	}
	return fShared->Put(fWindow, fGC, pixels, width, height, stride);
}

void
X11Window::SharedFrameCompleted()
{
	if (fShared != nullptr)
		fShared->Completed();
}

void
X11Window::_FillUncovered(int32 width, int32 height)
{
	const int32 windowWidth = DeviceLengthFromLayout((int32)fFrame.Width() + 1, fConnection->scale);
	const int32 windowHeight = DeviceLengthFromLayout((int32)fFrame.Height() + 1,
		fConnection->scale);
	if (width >= windowWidth && height >= windowHeight)
		return;
	Display* display = fConnection->display;
	XSetForeground(display, fGC, fLayout.Pixel(kUncoveredGrey));
	if (width < windowWidth)
		XFillRectangle(display, fWindow, fGC, width, 0, windowWidth - width, windowHeight);
	if (height < windowHeight)
		XFillRectangle(display, fWindow, fGC, 0, height, width, windowHeight - height);
}

} // namespace BPrivate
