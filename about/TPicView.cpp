#include "TPicView.h"

#include <algorithm>

#include "Application.h"
#include "Bitmap.h"
#include "Resources.h"

namespace {

constexpr rgb_color kBandColor = {184, 184, 184, 255};
constexpr float kBandRight = 32;
constexpr BPoint kIconWhere(15, 6);
constexpr int32 kIconId = 101;
constexpr int32 kIconBytes = 32 * 32;

} // namespace

TPicView::TPicView(BRect frame) : BView(frame, "", B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
{
}

TPicView::~TPicView() = default;

void
TPicView::Draw(BRect)
{
	// Always the whole view: it is small, and the icon straddles the band's edge.
	BRect bounds = Bounds();
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetDrawingMode(B_OP_COPY);
	SetLowColor(panel);
	SetHighColor(panel);
	FillRect(bounds, B_SOLID_HIGH);

	bounds.right = kBandRight;
	SetHighColor(kBandColor);
	FillRect(bounds, B_SOLID_HIGH);

	BResources* resources = BApplication::AppResources();
	if (resources == nullptr || !resources->HasResource('ICON', kIconId))
		return;
	size_t size = 0;
	const void* data = resources->LoadResource('ICON', kIconId, &size);
	if (data == nullptr)
		return;

	// Built afresh on every call; a short resource leaves the rest of the bitmap as it was
	// created.
	BBitmap icon(BRect(0, 0, 31, 31), B_CMAP8);
	icon.SetBits(data, (int32)std::min<size_t>(size, kIconBytes), 0, B_CMAP8);
	// Index 255 would let band and panel show through.
	SetDrawingMode(B_OP_OVER);
	DrawBitmap(&icon, kIconWhere);
	SetDrawingMode(B_OP_COPY);
}
