// What the display-scale tests (whole and fractional) draw with and click on.
#pragma once

#include <memory>
#include <vector>

#include "Application.h"
#include "DisplayScale.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "View.h"
#include "Window.h"

namespace ScaleTesting {

const rgb_color kBackground = {200, 200, 200, 255};
const rgb_color kInk = {10, 20, 30, 255};

// Draws its top line in kInk and notes where it was clicked.
class ClickView : public BView {
public:
	explicit ClickView(BRect frame) : BView(frame, "clicks", B_FOLLOW_NONE, B_WILL_DRAW) {}
	void Draw(BRect) override
	{
		SetHighColor(kInk);
		StrokeLine(BPoint(0, 0), BPoint(Bounds().right, 0));
	}
	void MouseDown(BPoint where) override { clicks.push_back(where); }
	std::vector<BPoint> clicks;
};

// A window at frame with a ClickView at (10, 5)-(29, 14), shown through the headless backend
// at a scale; what the window system got of it is in width, height and pixels.
struct ClickWindow {
	ClickWindow(BPrivate::DisplayScale scale, BRect frame) :
		backend(BPrivate::HeadlessBackend::Install())
	{
		backend->SetScale(scale);
		app = std::make_unique<BApplication>("application/x-vnd.test-scale");
		window = new BWindow(frame, "scaled", B_TITLED_WINDOW, 0);
		view = new ClickView(BRect(10, 5, 29, 14));
		window->AddChild(view);
		window->Show();
		BPrivate::EventLoop::Drain();
		id = BPrivate::HeadlessBackend::IdOf(window);
		shown = backend->Snapshot(id, &width, &height, &pixels);
	}

	~ClickWindow()
	{
		window->Quit();
		BPrivate::EventLoop::Drain();
	}

	// Where the view saw a click at a pixel of the window (nothing when it missed the view).
	const std::vector<BPoint>& Click(BPoint pixel)
	{
		view->clicks.clear();
		backend->InjectClick(id, pixel);
		BPrivate::EventLoop::Drain();
		return view->clicks;
	}

	BPrivate::HeadlessBackend* backend;
	std::unique_ptr<BApplication> app;
	BWindow* window = nullptr; // the application's
	ClickView* view = nullptr; // the window's
	uint32 id = 0;
	bool shown = false;
	int32 width = 0;
	int32 height = 0;
	std::vector<uint32> pixels;
};

} // namespace ScaleTesting
