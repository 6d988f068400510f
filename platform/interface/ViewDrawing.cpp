// BView's drawing calls. Each goes, in this order of preference, into the picture being
// recorded, to the painter the window lends while the view draws its part of the tree, or
// straight into the window's backing store (drawing outside Draw, presented after the current
// message). A view outside a window draws nothing.
#include "View.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "Bitmap.h"
#include "Painter.h"
#include "Picture.h"
#include "Window.h"
#include "WindowPrivate.h"

using BPrivate::Painter;

namespace {

// Where the picture being played lies in the view; recorded coordinates are shifted by it.
thread_local BPoint sPictureOrigin;

BRect
Shifted(BRect rect)
{
	return rect.OffsetByCopy(sPictureOrigin.x, sPictureOrigin.y);
}

BPoint
Shifted(BPoint point)
{
	return point + sPictureOrigin;
}

// Solid patterns only: the low pattern (or the erase mode) draws in the low colour, every
// other pattern in the high colour. Alpha counts only in B_OP_ALPHA, as on the platform.
rgb_color
ShapeColor(const BView::State& state, const pattern& p)
{
	bool low = memcmp(p.data, B_SOLID_LOW.data, sizeof(p.data)) == 0 || state.mode == B_OP_ERASE;
	rgb_color color = low ? state.low : state.high;
	if (state.mode != B_OP_ALPHA)
		color.alpha = 255;
	return color;
}

rgb_color
TextColor(const BView::State& state)
{
	rgb_color color = state.high;
	if (state.mode != B_OP_ALPHA)
		color.alpha = 255;
	return color;
}

// Appends an op that draws again with the state the view had when it was recorded; the
// view's own state is back as it was after the op.
template <typename F>
void
Record(BPicture* picture, const BView::State& state, F draw)
{
	picture->_Append([state, draw](BView* view) {
		view->PushState();
		view->SetHighColor(state.high);
		view->SetLowColor(state.low);
		view->SetPenSize(state.penSize);
		view->SetDrawingMode(state.mode);
		view->SetFont(&state.font, B_FONT_ALL);
		draw(view);
		view->PopState();
	});
}

int32
BoundedLength(const char* string, int32 length)
{
	if (string == nullptr || length <= 0)
		return 0;
	return (int32)strnlen(string, (size_t)length);
}

} // namespace

template <typename F>
bool
BView::_Recorded(F&& replay)
{
	if (fRecording == nullptr)
		return false;
	Record(fRecording, fState, std::forward<F>(replay));
	return true;
}

template <typename F>
void
BView::_Draw(F&& draw)
{
	if (fPainter != nullptr) {
		draw(*fPainter);
		return;
	}
	if (fWindow == nullptr)
		return;
	BRect visible = _VisibleInWindow();
	if (!visible.IsValid())
		return;
	cairo_surface_t* store = BPrivate::WindowAccess::BackingStore(fWindow);
	if (store == nullptr)
		return;
	{
		Painter painter(store, ConvertToWindow(B_ORIGIN), visible,
			BPrivate::WindowAccess::BackingScale(fWindow));
		draw(painter);
	}
	BPrivate::WindowAccess::MarkNeedsPresent(fWindow);
}

// #pragma mark - State

void
BView::PushState()
{
	fStateStack.push_back(fState);
}

void
BView::PopState()
{
	if (fStateStack.empty())
		return;
	fState = fStateStack.back();
	fStateStack.pop_back();
}

void
BView::SetFont(const BFont* font, uint32 mask)
{
	if (font != nullptr)
		fState.font.CopyFrom(*font, mask);
}

float
BView::StringWidth(const char* string) const
{
	return fState.font.StringWidth(string);
}

float
BView::StringWidth(const char* string, int32 length) const
{
	return fState.font.StringWidth(string, BoundedLength(string, length));
}

void
BView::GetFontHeight(font_height* height) const
{
	fState.font.GetHeight(height);
}

// #pragma mark - Shapes

void
BView::FillRect(BRect rect, const pattern& p)
{
	if (_Recorded([=](BView* view) { view->FillRect(Shifted(rect), p); }))
		return;
	if (fState.mode == B_OP_INVERT) {
		InvertRect(rect);
		return;
	}
	rgb_color color = ShapeColor(fState, p);
	_Draw([&](Painter& painter) { painter.FillRect(rect, color); });
}

void
BView::StrokeRect(BRect rect, const pattern& p)
{
	if (_Recorded([=](BView* view) { view->StrokeRect(Shifted(rect), p); }))
		return;
	rgb_color color = ShapeColor(fState, p);
	float pen = fState.penSize;
	_Draw([&](Painter& painter) {
		painter.StrokeLine(rect.LeftTop(), rect.RightTop(), color, pen);
		painter.StrokeLine(rect.RightTop(), rect.RightBottom(), color, pen);
		painter.StrokeLine(rect.RightBottom(), rect.LeftBottom(), color, pen);
		painter.StrokeLine(rect.LeftBottom(), rect.LeftTop(), color, pen);
	});
}

void
BView::InvertRect(BRect rect)
{
	if (_Recorded([=](BView* view) { view->InvertRect(Shifted(rect)); }))
		return;
	_Draw([&](Painter& painter) { painter.InvertRect(rect); });
}

void
BView::FillEllipse(BRect rect, const pattern& p)
{
	if (_Recorded([=](BView* view) { view->FillEllipse(Shifted(rect), p); }))
		return;
	rgb_color color = ShapeColor(fState, p);
	_Draw([&](Painter& painter) { painter.FillEllipse(rect, color); });
}

void
BView::StrokeEllipse(BRect rect, const pattern& p)
{
	if (_Recorded([=](BView* view) { view->StrokeEllipse(Shifted(rect), p); }))
		return;
	rgb_color color = ShapeColor(fState, p);
	float pen = fState.penSize;
	_Draw([&](Painter& painter) { painter.StrokeEllipse(rect, color, pen); });
}

void
BView::FillRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p)
{
	if (_Recorded([=](BView* view) { view->FillRoundRect(Shifted(rect), xRadius, yRadius, p); }))
		return;
	rgb_color color = ShapeColor(fState, p);
	_Draw([&](Painter& painter) { painter.FillRoundRect(rect, xRadius, yRadius, color); });
}

void
BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p)
{
	if (_Recorded([=](BView* view) { view->StrokeRoundRect(Shifted(rect), xRadius, yRadius, p); }))
		return;
	rgb_color color = ShapeColor(fState, p);
	float pen = fState.penSize;
	_Draw([&](Painter& painter) { painter.StrokeRoundRect(rect, xRadius, yRadius, color, pen); });
}

void
BView::FillTriangle(BPoint a, BPoint b, BPoint c, const pattern& p)
{
	if (_Recorded([=](BView* view) { view->FillTriangle(Shifted(a), Shifted(b), Shifted(c), p); }))
		return;
	rgb_color color = ShapeColor(fState, p);
	_Draw([&](Painter& painter) { painter.FillTriangle(a, b, c, color); });
}

void
BView::StrokeLine(BPoint to, const pattern& p)
{
	StrokeLine(fState.pen, to, p);
}

void
BView::StrokeLine(BPoint from, BPoint to, const pattern& p)
{
	if (fRecording != nullptr) {
		Record(fRecording, fState,
			[=](BView* view) { view->StrokeLine(Shifted(from), Shifted(to), p); });
	} else {
		rgb_color color = ShapeColor(fState, p);
		float pen = fState.penSize;
		_Draw([&](Painter& painter) { painter.StrokeLine(from, to, color, pen); });
	}
	fState.pen = to;
}

// #pragma mark - Bitmaps and text

void
BView::DrawBitmap(const BBitmap* bitmap)
{
	DrawBitmap(bitmap, fState.pen);
}

void
BView::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
	if (bitmap == nullptr)
		return;
	BRect bounds = bitmap->Bounds();
	DrawBitmap(bitmap, bounds, bounds.OffsetToCopy(where.x, where.y));
}

void
BView::DrawBitmap(const BBitmap* bitmap, BRect destination)
{
	if (bitmap == nullptr)
		return;
	DrawBitmap(bitmap, bitmap->Bounds(), destination);
}

void
BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination)
{
	if (bitmap == nullptr || bitmap->InitCheck() != B_OK)
		return;
	if (fRecording != nullptr) {
		// The picture keeps its own copy: the caller may delete the bitmap right after.
		std::shared_ptr<const BBitmap> copy = std::make_shared<const BBitmap>(bitmap);
		Record(fRecording, fState,
			[=](BView* view) { view->DrawBitmap(copy.get(), source, Shifted(destination)); });
		return;
	}
	drawing_mode mode = fState.mode;
	_Draw([&](Painter& painter) { painter.DrawBitmap(bitmap, source, destination, mode); });
}

void
BView::DrawString(const char* string, const escapement_delta* delta)
{
	DrawString(string, fState.pen, delta);
}

void
BView::DrawString(const char* string, BPoint baseline, const escapement_delta* delta)
{
	if (string == nullptr)
		return;
	DrawString(string, (int32)std::min(strlen(string), (size_t)INT32_MAX), baseline, delta);
}

void
BView::DrawString(const char* string, int32 length, BPoint baseline, const escapement_delta*)
{
	length = BoundedLength(string, length);
	if (length == 0)
		return;
	float width = fState.font.StringWidth(string, length);
	if (fRecording != nullptr) {
		std::string text(string, (size_t)length);
		Record(fRecording, fState, [=](BView* view) {
			view->DrawString(text.c_str(), (int32)text.size(), Shifted(baseline));
		});
	} else {
		rgb_color color = TextColor(fState);
		const BFont& font = fState.font;
		_Draw([&](Painter& painter) { painter.DrawString(string, length, baseline, font, color); });
	}
	fState.pen = BPoint(baseline.x + width, baseline.y);
}

// #pragma mark - Pictures

void
BView::BeginPicture(BPicture* picture)
{
	if (picture != nullptr)
		picture->_Clear();
	fRecording = picture;
}

BPicture*
BView::EndPicture()
{
	BPicture* picture = fRecording;
	fRecording = nullptr;
	return picture;
}

void
BView::DrawPicture(const BPicture* picture, BPoint where)
{
	if (picture == nullptr)
		return;
	// While recording, the replayed ops record themselves, already shifted.
	BPoint saved = sPictureOrigin;
	sPictureOrigin = saved + where;
	picture->_Play(this);
	sPictureOrigin = saved;
}

void
BView::Flush() const
{
	if (fWindow != nullptr)
		fWindow->Flush();
}
