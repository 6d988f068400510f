// A window's pixels: the dirty region, the backing store its views draw into (at the display
// scale) and the copy to the screen. The window's life, views and geometry are in Window.cpp.
#include "Window.h"

#include <cairo.h>

#include <algorithm>

#include "Backend.h"
#include "Painter.h"
#include "View.h"
#include "WindowPrivate.h"

namespace BPrivate {

BackingStore::~BackingStore()
{
	cairo_surface_destroy(surface);
}

} // namespace BPrivate

void
BWindow::_Invalidate(BRect rect)
{
	rect = rect & Bounds();
	if (!rect.IsValid())
		return;
	fDirty = fDirty | rect;
}

void
BWindow::_EnsureBackingStore()
{
	if (fBackingStore != nullptr)
		return;
	const BPrivate::DisplayScale scale = BPrivate::CurrentBackend()->Scale();
	fBackingScaleUnits = scale.Units();
	int32 width = (int32)scale.ToDevice(std::max((int32)fFrame.Width() + 1, 1));
	int32 height = (int32)scale.ToDevice(std::max((int32)fFrame.Height() + 1, 1));
	fBackingStore = std::make_unique<BPrivate::BackingStore>(
		cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
	fDirty = Bounds();
}

void
BWindow::_Redraw()
{
	if (!fDirty.IsValid() || fQuitting)
		return;
	_EnsureBackingStore();
	BRect dirty = fDirty & Bounds();
	fDirty = BRect();
	if (!dirty.IsValid())
		return;
	{
		BPrivate::Painter painter(fBackingStore->surface, B_ORIGIN, dirty,
			BPrivate::DisplayScale::FromUnits(fBackingScaleUnits));
		fTopView->_DrawTree(painter, dirty);
	}
	cairo_surface_flush(fBackingStore->surface);
	fNeedsPresent = true;
}

void
BWindow::_Present()
{
	if (!fNeedsPresent || !fServerWindow || fShowLevel <= 0 || fBackingStore == nullptr)
		return;
	fNeedsPresent = false;
	cairo_surface_t* surface = fBackingStore->surface;
	cairo_surface_flush(surface);
	fServerWindow->Present(cairo_image_surface_get_data(surface),
		cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
		cairo_image_surface_get_stride(surface));
}

void
BWindow::UpdateIfNeeded()
{
	_Redraw();
	_Present();
}

void
BWindow::Flush() const
{
	const_cast<BWindow*>(this)->_Present();
}
