// TMainView::Draw: flags, swap arrows, plate ovals, sunken frames, captions and ISO codes.
// The amount fields, the euro line and the picture buttons draw themselves on top.
#include "TMainView.h"

#include "Bitmap.h"
#include "CurrencyTable.h"

namespace {

const rgb_color kWhite = {255, 255, 255, 255};
const rgb_color kDarkGrey = {99, 97, 99, 255};
const rgb_color kLightGrey = {189, 186, 189, 255};
const rgb_color kBlack = {0, 0, 0, 255};

// Each flag of the strip is this many pixel rows high, in currency index order from 1.
constexpr float kFlagRows = 12;
// Wider than the strip; only the strip's own columns are drawn.
constexpr float kFlagSourceRight = 27;

const BRect kUpperOval(1, 1, 44, 25);
const BRect kLowerOval(1, 86, 44, 111);
const BRect kUpperOvalInside(2, 2, 43, 24);
const BRect kLowerOvalInside(2, 88, 43, 110);

constexpr float kCaptionCentre = 105;
constexpr float kSourceCaptionBaseline = 16;
constexpr float kTargetCaptionBaseline = 105;
constexpr float kCodeLeft = 177;
constexpr float kSourceCodeBaseline = 37;
constexpr float kEuroCodeBaseline = 61;
constexpr float kTargetCodeBaseline = 86;
constexpr float kPlateCentre = 23;
constexpr float kUpperPlateBaseline = 19;
constexpr float kLowerPlateBaseline = 105;
constexpr float kPlateFontSize = 15;

// The sunken look: light grey outside and dark grey inside on the left and top edges, white
// on the bottom and right. Each frame is two strokes of two lines each per colour.
struct FrameLine {
	BPoint from;
	BPoint via;
	BPoint to;
};

const struct {
	rgb_color color;
	FrameLine upper;
	FrameLine lower;
} kFrames[] = {
	{kWhite, {{44, 45}, {172, 45}, {172, 20}}, {{44, 93}, {172, 93}, {172, 68}}},
	{kDarkGrey, {{44, 44}, {44, 20}, {171, 20}}, {{44, 92}, {44, 68}, {171, 68}}},
	{kLightGrey, {{43, 45}, {43, 19}, {172, 19}}, {{43, 93}, {43, 67}, {172, 67}}},
};

} // namespace

void
TMainView::Draw(BRect updateRect)
{
	// Everything is painted on every call; the layout is too small to be worth clipping.
	(void)updateRect;

	_DrawFlag(fSourceIndex, BRect(15, 29, 29, 43), BRect(10, 30, 37, 41));
	_DrawFlag(fTargetIndex, BRect(15, 68, 29, 82), BRect(10, 70, 37, 81));
	if (fSwapArrows != nullptr)
		DrawBitmap(fSwapArrows.get(), fSwapArea);

	SetHighColor(kWhite);
	FillEllipse(kUpperOvalInside);
	FillEllipse(kLowerOvalInside);

	_DrawFrames();

	SetHighColor(kBlack);
	SetPenSize(2);
	StrokeEllipse(kUpperOval);
	StrokeEllipse(kLowerOval);

	_DrawTexts();
}

void
TMainView::_DrawFlag(int32 index, BRect euroFlagFrame, BRect flagFrame)
{
	if (index == kEuroIndex) {
		if (fEuroFlag != nullptr)
			DrawBitmap(fEuroFlag.get(), euroFlagFrame);
		return;
	}
	if (fFlagStrip == nullptr)
		return;

	BRect source(0, kFlagRows * index - kFlagRows, kFlagSourceRight, kFlagRows * index - 1);
	// Draw 1:1 and only what the strip holds; the destination's extra columns keep the
	// background.
	BRect drawn = source & fFlagStrip->Bounds();
	if (!drawn.IsValid())
		return;
	BRect destination(flagFrame.left, flagFrame.top, flagFrame.left + drawn.Width(),
		flagFrame.top + drawn.Height());
	DrawBitmap(fFlagStrip.get(), drawn, destination);
}

void
TMainView::_DrawFrames()
{
	SetPenSize(1);
	for (const auto& frame : kFrames) {
		SetHighColor(frame.color);
		for (const FrameLine& line : {frame.upper, frame.lower}) {
			StrokeLine(line.from, line.via);
			StrokeLine(line.to);
		}
	}
}

void
TMainView::_DrawTexts()
{
	SetFont(be_bold_font, B_FONT_ALL);

	const char* sourceCaption = Whgtyp[0];
	const char* targetCaption = Whgtyp[1];
	DrawString(sourceCaption,
		BPoint(kCaptionCentre - StringWidth(sourceCaption) / 2, kSourceCaptionBaseline));
	DrawString(targetCaption,
		BPoint(kCaptionCentre - StringWidth(targetCaption) / 2, kTargetCaptionBaseline));

	DrawString(ISOCode[fSourceIndex], BPoint(kCodeLeft, kSourceCodeBaseline));
	DrawString(ISOCode[kEuroIndex], BPoint(kCodeLeft, kEuroCodeBaseline));
	DrawString(ISOCode[fTargetIndex], BPoint(kCodeLeft, kTargetCodeBaseline));

	// The bold face stays; only the size changes.
	SetFontSize(kPlateFontSize);
	const char* sourcePlate = Oval[fSourceIndex];
	const char* targetPlate = Oval[fTargetIndex];
	DrawString(sourcePlate,
		BPoint(kPlateCentre - StringWidth(sourcePlate) / 2, kUpperPlateBaseline));
	DrawString(targetPlate,
		BPoint(kPlateCentre - StringWidth(targetPlate) / 2, kLowerPlateBaseline));
}
