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

// Each part of the drawing state is saved by PushState and comes back with PopState, alone.
TEST_F(ViewDrawingTest, EveryPartOfTheStateComesBackFromTheStack)
{
	BView* view = AddView(BRect(0, 0, 9, 9), nullptr);
	view->SetHighColor(kRed);
	view->SetLowColor(kBlue);
	view->SetDrawingMode(B_OP_OVER);
	view->MovePenTo(3, 4);
	view->SetPenSize(2);
	struct Part {
		const char* name;
		std::function<void(BView*)> change;
		std::function<bool(const BView*)> isSaved;
	};
	const Part parts[] = {
		{"high colour", [](BView* v) { v->SetHighColor(kBlack); },
			[](const BView* v) { return v->HighColor() == kRed; }},
		{"low colour", [](BView* v) { v->SetLowColor(kBlack); },
			[](const BView* v) { return v->LowColor() == kBlue; }},
		{"low colour by parts", [](BView* v) { v->SetLowColor(1, 2, 3); },
			[](const BView* v) { return v->LowColor() == kBlue; }},
		{"drawing mode", [](BView* v) { v->SetDrawingMode(B_OP_ALPHA); },
			[](const BView* v) { return v->DrawingMode() == B_OP_OVER; }},
		{"pen moved by", [](BView* v) { v->MovePenTo(v->PenLocation() + BPoint(-5, 2.5f)); },
			[](const BView* v) { return v->PenLocation() == BPoint(3, 4); }},
		{"pen size", [](BView* v) { v->SetPenSize(7); },
			[](const BView* v) { return v->PenSize() == 2; }},
	};
	for (const Part& part : parts) {
		view->PushState();
		part.change(view);
		EXPECT_FALSE(part.isSaved(view)) << part.name << " changed";
		view->PopState();
		for (const Part& each : parts)
			EXPECT_TRUE(each.isSaved(view)) << each.name << " after popping " << part.name;
	}

	EXPECT_EQ(view->LowColor(), kBlue);
	EXPECT_EQ(view->DrawingMode(), B_OP_OVER);
}

TEST_F(ViewDrawingTest, PoppedStateIsWhatTheNextDrawingUses)
{
	AddView(BRect(0, 0, 99, 59), [](BView* view) {
		view->SetLowColor(kBlue);
		view->SetHighColor(kRed);
		view->MovePenTo(10, 10);
		view->PushState();
		view->SetLowColor(kBlack);
		view->SetDrawingMode(B_OP_ALPHA);
		view->SetHighColor(make_color(0, 0, 0, 0));
		view->MovePenTo(40, 40);
		view->PopState();
		view->FillRect(BRect(0, 0, 3, 3), B_SOLID_LOW);
		view->MovePenTo(10, 15);
		view->StrokeLine(BPoint(20, 15));
	});
	Show();
	EXPECT_EQ(Pixel(0, 0), kBlue);
	EXPECT_EQ(Pixel(10, 15), kRed) << "the line starts at the pen moved from the popped place";
	EXPECT_EQ(Pixel(20, 15), kRed);
	EXPECT_EQ(Pixel(10, 10), kPanel);
	EXPECT_EQ(Pixel(40, 40), kPanel);
}

// #pragma mark - Geometry

TEST_F(ViewDrawingTest, ConvertingToTheWindowAddsEveryFrameOrigin)
{
	BView* outer = AddView(BRect(10, 20, 79, 59), nullptr);
	BView* inner = new BView(BRect(5, 7, 24, 16), "inner", B_FOLLOW_NONE, 0);
	outer->AddChild(inner);
	const BPoint points[] = {BPoint(0, 0), BPoint(19, 9), BPoint(-3.5f, 100)};
	for (BPoint p : points) {
		SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
		EXPECT_EQ(inner->ConvertToWindow(p), p + BPoint(15, 27));
		EXPECT_EQ(inner->ConvertFromWindow(inner->ConvertToWindow(p)), p);
	}
	EXPECT_EQ(inner->ConvertToWindow(inner->Bounds()), outer->ConvertToWindow(inner->Frame()));
	inner->MoveTo(0, 0);
	EXPECT_EQ(inner->ConvertToWindow(BPoint(1, 2)), BPoint(11, 22));
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

// Rectangles include their right and bottom edges, so ones that share an edge or a corner
// intersect; an invalid rectangle intersects nothing, itself included.
TEST(Rect, IntersectsCountsSharedEdgesAndRefusesInvalidRects)
{
	const BRect box(10, 10, 19, 19);
	struct Case {
		const char* what;
		BRect other;
		bool intersects;
	} cases[] = {
		{"itself", box, true},
		{"inside", BRect(12, 12, 13, 13), true},
		{"around", BRect(0, 0, 30, 30), true},
		{"overlapping the right", BRect(15, 12, 25, 13), true},
		{"sharing the right edge", BRect(19, 0, 29, 30), true},
		{"sharing the left edge", BRect(0, 10, 10, 19), true},
		{"sharing the bottom edge", BRect(10, 19, 19, 29), true},
		{"sharing the top edge", BRect(10, 0, 19, 10), true},
		{"sharing the bottom-right corner", BRect(19, 19, 29, 29), true},
		{"a single pixel on the corner", BRect(10, 10, 10, 10), true},
		{"a pixel to the right", BRect(20, 10, 29, 19), false},
		{"a pixel below", BRect(10, 20, 19, 29), false},
		{"a pixel to the left", BRect(0, 10, 9, 19), false},
		{"a pixel above", BRect(10, 0, 19, 9), false},
		{"diagonal, apart", BRect(20, 20, 29, 29), false},
		{"half a pixel right", BRect(19.5f, 10, 29, 19), false},
		{"invalid inside", BRect(15, 15, 14, 16), false},
		{"invalid, wrong way up", BRect(12, 18, 18, 12), false},
		{"the default rect", BRect(), false},
	};
	for (const Case& c : cases) {
		EXPECT_EQ(box.Intersects(c.other), c.intersects) << c.what;
		EXPECT_EQ(c.other.Intersects(box), c.intersects) << c.what << ", the other way";
		if (c.intersects) {
			EXPECT_TRUE((box & c.other).IsValid()) << c.what;
		}
	}
	EXPECT_FALSE(BRect(5, 5, 4, 4).Intersects(BRect(5, 5, 4, 4)));
}

TEST(Rect, SetReplacesEveryCoordinate)
{
	BRect rect(1, 2, 3, 4);
	rect.Set(-1.5f, 0, 10, 20);
	EXPECT_EQ(rect, BRect(BPoint(-1.5f, 0), BPoint(10, 20)));
	EXPECT_EQ(rect.Width(), 11.5f);
	BPoint point(7, 8);
	point.Set(0.5f, -2);
	EXPECT_EQ(point, BPoint(0.5f, -2));
}
