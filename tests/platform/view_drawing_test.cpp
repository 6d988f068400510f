// BView drawing through a shown headless window: coordinates, clipping, the pen, state,
// drawing modes and drawing outside Draw.
#include <gtest/gtest.h>

#include <functional>

#include "Application.h"
#include "Bitmap.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "View.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

namespace {

const rgb_color kPanel = {216, 216, 216, 255};
const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kBlue = {0, 0, 255, 255};
const rgb_color kBlack = {0, 0, 0, 255};

class DrawingView : public BView {
public:
	DrawingView(BRect frame, std::function<void(BView*)> draw) :
		BView(frame, "drawing", B_FOLLOW_NONE, B_WILL_DRAW),
		fDraw(std::move(draw))
	{
		SetViewColor(kPanel);
	}

	void Draw(BRect) override
	{
		if (fDraw)
			fDraw(this);
	}

private:
	std::function<void(BView*)> fDraw;
};

class ViewDrawingTest : public testing::Test {
protected:
	void SetUp() override
	{
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.view-drawing-test");
		fWindow = new BWindow(BRect(50, 50, 149, 109), "drawing", B_TITLED_WINDOW, B_NOT_RESIZABLE);
	}

	void TearDown() override
	{
		fWindow->Quit();
		EventLoop::Drain();
		delete fApp;
	}

	DrawingView* AddView(BRect frame, std::function<void(BView*)> draw)
	{
		auto* view = new DrawingView(frame, std::move(draw));
		fWindow->AddChild(view);
		return view;
	}

	void Show()
	{
		fWindow->Show();
		EventLoop::Drain();
	}

	rgb_color Pixel(int32 x, int32 y) const { return fBackend->PixelAt(fWindow, x, y); }

	HeadlessBackend* fBackend;
	BApplication* fApp;
	BWindow* fWindow;
};

} // namespace

TEST_F(ViewDrawingTest, DrawingIsInViewCoordinatesAndClippedToTheView)
{
	AddView(BRect(10, 20, 29, 39), [](BView* view) {
		view->SetHighColor(kRed);
		view->FillRect(BRect(0, 0, 1, 1));
		// Reaches far past the view's frame on every side.
		view->SetHighColor(kBlue);
		view->StrokeLine(BPoint(-50, 19), BPoint(200, 19));
	});
	Show();
	EXPECT_EQ(Pixel(10, 20), kRed);
	EXPECT_EQ(Pixel(11, 21), kRed);
	EXPECT_NE(Pixel(12, 22), kRed);
	EXPECT_EQ(Pixel(10, 39), kBlue);
	EXPECT_EQ(Pixel(29, 39), kBlue);
	EXPECT_NE(Pixel(9, 39), kBlue);
	EXPECT_NE(Pixel(30, 39), kBlue);
}

TEST_F(ViewDrawingTest, ThePenFollowsLinesAndStrings)
{
	BPoint penAfterLines;
	BPoint penAfterString;
	float width = 0;
	AddView(BRect(0, 0, 99, 59), [&](BView* view) {
		view->SetHighColor(kBlack);
		view->MovePenTo(BPoint(5, 5));
		view->StrokeLine(BPoint(20, 5));
		view->StrokeLine(BPoint(20, 15));
		penAfterLines = view->PenLocation();
		view->SetFont(be_bold_font);
		width = view->StringWidth("EUR");
		view->DrawString("EUR", BPoint(30, 40));
		penAfterString = view->PenLocation();
	});
	Show();
	for (int x = 5; x <= 20; x++)
		EXPECT_EQ(Pixel(x, 5), kBlack) << x;
	for (int y = 5; y <= 15; y++)
		EXPECT_EQ(Pixel(20, y), kBlack) << y;
	EXPECT_EQ(Pixel(21, 5), kPanel);
	EXPECT_EQ(penAfterLines, BPoint(20, 15));
	EXPECT_GT(width, 0);
	EXPECT_EQ(penAfterString, BPoint(30 + width, 40));
}

TEST_F(ViewDrawingTest, StateStacksAndFontMasks)
{
	BView* view = AddView(BRect(0, 0, 9, 9), nullptr);
	view->SetHighColor(kRed);
	view->SetPenSize(2);
	view->SetFont(be_bold_font);
	view->PushState();
	view->SetHighColor(kBlue);
	view->SetPenSize(5);
	BFont large;
	large.SetSize(15);
	view->SetFont(&large, B_FONT_SIZE);

	BFont font;
	view->GetFont(&font);
	EXPECT_TRUE(font.IsBold()) << "a size change keeps the face";
	EXPECT_EQ(font.Size(), 15);

	view->PopState();
	view->PopState();
	EXPECT_EQ(view->HighColor(), kRed);
	EXPECT_EQ(view->PenSize(), 2);
	view->GetFont(&font);
	EXPECT_EQ(font, *be_bold_font);
}

TEST_F(ViewDrawingTest, PatternsAndModesChooseTheInk)
{
	BBitmap icon(BRect(0, 0, 1, 0), B_CMAP8);
	const uint8 indices[] = {B_TRANSPARENT_MAGIC_CMAP8, 254};
	icon.SetBits(indices, 2, 0, B_CMAP8);
	AddView(BRect(0, 0, 99, 59), [&](BView* view) {
		view->SetHighColor(kRed);
		view->SetLowColor(kBlue);
		view->FillRect(BRect(0, 0, 3, 3), B_SOLID_LOW);
		view->FillRect(BRect(4, 0, 7, 3));
		// Alpha counts only in the alpha mode.
		view->SetHighColor(make_color(0, 0, 0, 0));
		view->FillRect(BRect(8, 0, 9, 3));
		view->SetDrawingMode(B_OP_ALPHA);
		view->FillRect(BRect(10, 0, 11, 3));
		view->SetDrawingMode(B_OP_OVER);
		view->DrawBitmap(&icon, BPoint(20, 0));
		view->SetDrawingMode(B_OP_COPY);
	});
	Show();
	EXPECT_EQ(Pixel(0, 0), kBlue);
	EXPECT_EQ(Pixel(4, 0), kRed);
	EXPECT_EQ(Pixel(8, 0), kBlack);
	EXPECT_EQ(Pixel(10, 0), kPanel);
	EXPECT_EQ(Pixel(20, 0), kPanel);
	EXPECT_EQ(Pixel(21, 0), make_color(0, 0, 220));
}

TEST_F(ViewDrawingTest, DrawingOutsideDrawReachesTheScreen)
{
	BView* view = AddView(BRect(10, 10, 29, 29), nullptr);
	BView* hidden = AddView(BRect(40, 10, 59, 29), nullptr);
	hidden->Hide();
	Show();

	view->SetHighColor(kRed);
	view->FillRect(BRect(-5, -5, 100, 2));
	hidden->SetHighColor(kRed);
	hidden->FillRect(hidden->Bounds());
	EventLoop::Drain();
	EXPECT_EQ(Pixel(10, 10), kRed);
	EXPECT_EQ(Pixel(29, 12), kRed);
	EXPECT_NE(Pixel(30, 12), kRed);
	EXPECT_NE(Pixel(10, 13), kRed);
	EXPECT_NE(Pixel(45, 15), kRed);

	// Without a window there is nowhere to draw, and nothing happens.
	BView orphan(BRect(0, 0, 9, 9), "orphan", B_FOLLOW_NONE, B_WILL_DRAW);
	orphan.FillRect(BRect(0, 0, 9, 9));
	orphan.DrawString("x");
	EXPECT_EQ(orphan.PenLocation(), BPoint(orphan.StringWidth("x"), 0));
}
