// Pictures: recording a view's drawing and playing it back, elsewhere and later.
#include <gtest/gtest.h>

#include <memory>

#include "Application.h"
#include "Bitmap.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Picture.h"
#include "View.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;

namespace {

const rgb_color kPanel = {216, 216, 216, 255};
const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kBlue = {0, 0, 255, 255};

// Plays one picture at a point whenever it draws.
class PictureView : public BView {
public:
	PictureView(BRect frame) : BView(frame, "pictures", B_FOLLOW_NONE, B_WILL_DRAW)
	{
		SetViewColor(kPanel);
	}

	void Draw(BRect) override
	{
		if (picture != nullptr)
			DrawPicture(picture, where);
	}

	const BPicture* picture = nullptr;
	BPoint where;
};

std::unique_ptr<BBitmap>
Checkerboard()
{
	auto bitmap = std::make_unique<BBitmap>(BRect(0, 0, 3, 2), B_RGB32);
	for (int y = 0; y < 3; y++) {
		for (int x = 0; x < 4; x++) {
			uint32 value = (x + y) % 2 == 0 ? 0x00ff0000 : 0x000000ff;
			bitmap->SetBits(&value, 4, y * bitmap->BytesPerRow() + x * 4, B_RGB32);
		}
	}
	return bitmap;
}

class PictureTest : public testing::Test {
protected:
	void SetUp() override
	{
		fBackend = HeadlessBackend::Install();
		fApp = new BApplication("application/x-vnd.picture-test");
		fWindow = new BWindow(BRect(50, 50, 149, 109), "pictures", B_TITLED_WINDOW,
			B_NOT_RESIZABLE);
		fView = new PictureView(BRect(0, 0, 99, 59));
		fWindow->AddChild(fView);
	}

	void TearDown() override
	{
		fWindow->Quit();
		EventLoop::Drain();
		delete fApp;
	}

	void ShowPicture(const BPicture* picture, BPoint where)
	{
		fView->picture = picture;
		fView->where = where;
		if (fWindow->IsHidden())
			fWindow->Show();
		fView->Invalidate();
		EventLoop::Drain();
	}

	rgb_color Pixel(int32 x, int32 y) const { return fBackend->PixelAt(fWindow, x, y); }

	HeadlessBackend* fBackend;
	BApplication* fApp;
	BWindow* fWindow;
	PictureView* fView;
};

} // namespace

TEST_F(PictureTest, ABitmapRecordedAtThePenOutlivesItsSource)
{
	// What a picture button does: record the image at the untouched pen, drop the image.
	BView recorder(BRect(0, 0, 9, 9), "recorder", B_FOLLOW_NONE, 0);
	recorder.BeginPicture(new BPicture);
	std::unique_ptr<BBitmap> image = Checkerboard();
	recorder.DrawBitmap(image.get());
	std::unique_ptr<BPicture> picture(recorder.EndPicture());
	image.reset();

	ASSERT_NE(picture, nullptr);
	EXPECT_EQ(picture->CountOps(), 1);
	ShowPicture(picture.get(), BPoint(10, 20));
	EXPECT_EQ(Pixel(10, 20), kRed);
	EXPECT_EQ(Pixel(11, 20), kBlue);
	EXPECT_EQ(Pixel(13, 22), kBlue);
	EXPECT_EQ(Pixel(12, 22), kRed);
	EXPECT_EQ(Pixel(14, 20), kPanel);
	EXPECT_EQ(Pixel(9, 20), kPanel);
}

TEST_F(PictureTest, ReplayUsesTheRecordedStateAndLeavesTheViewsAlone)
{
	BPicture picture;
	fView->BeginPicture(&picture);
	fView->SetHighColor(kRed);
	fView->SetPenSize(3);
	fView->FillRect(BRect(0, 0, 4, 4));
	fView->MovePenTo(BPoint(10, 10));
	fView->StrokeLine(BPoint(30, 10));
	fView->SetHighColor(kBlue);
	fView->FillEllipse(BRect(40, 0, 44, 4));
	fView->EndPicture();
	EXPECT_EQ(picture.CountOps(), 3);

	// The view draws with other settings now; the picture keeps its own.
	fView->SetHighColor(0, 255, 0);
	fView->SetPenSize(1);
	fView->MovePenTo(BPoint(1, 1));
	ShowPicture(&picture, BPoint(5, 5));
	EXPECT_EQ(Pixel(5, 5), kRed);
	EXPECT_EQ(Pixel(9, 9), kRed);
	EXPECT_EQ(Pixel(14, 14), kRed) << "three-pixel pen";
	EXPECT_EQ(Pixel(35, 16), kRed);
	EXPECT_EQ(Pixel(35, 17), kPanel);
	EXPECT_EQ(Pixel(47, 7), kBlue);
	EXPECT_EQ(fView->HighColor(), make_color(0, 255, 0));
	EXPECT_EQ(fView->PenSize(), 1);
	EXPECT_EQ(fView->PenLocation(), BPoint(1, 1));
}

TEST_F(PictureTest, RecordingDrawsNothingAndRestartsThePicture)
{
	fWindow->Show();
	EventLoop::Drain();
	BPicture picture;
	fView->BeginPicture(&picture);
	fView->SetHighColor(kRed);
	fView->FillRect(fView->Bounds());
	fView->EndPicture();
	EventLoop::Drain();
	EXPECT_EQ(Pixel(5, 5), kPanel);

	fView->BeginPicture(&picture);
	fView->DrawString("EUR", BPoint(5, 20));
	fView->EndPicture();
	EXPECT_EQ(picture.CountOps(), 1);
}

TEST_F(PictureTest, PicturesDrawnWhileRecordingAreTakenOverShifted)
{
	BPicture inner;
	fView->BeginPicture(&inner);
	fView->SetHighColor(kBlue);
	fView->FillRect(BRect(0, 0, 1, 1));
	fView->EndPicture();

	BPicture outer;
	fView->BeginPicture(&outer);
	fView->DrawPicture(&inner, BPoint(5, 5));
	fView->EndPicture();

	// A copy plays the same, and the originals may go.
	auto copy = std::make_unique<BPicture>(outer);
	ShowPicture(copy.get(), BPoint(10, 10));
	EXPECT_EQ(Pixel(15, 15), kBlue);
	EXPECT_EQ(Pixel(16, 16), kBlue);
	EXPECT_EQ(Pixel(17, 17), kPanel);
	EXPECT_EQ(Pixel(14, 14), kPanel);
}
