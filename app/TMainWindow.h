// TMainWindow: the converter's window. Restores and saves its position, carries the
// converter view as its only child and opens the calculator pad and the about window (also
// with F1). Closing it ends the program.
#pragma once

#include "Window.h"

class TMainView;

class TMainWindow : public BWindow {
public:
	explicit TMainWindow(BRect frame);
	~TMainWindow() override;

	void MessageReceived(BMessage* message) override;
	void DispatchMessage(BMessage* message, BHandler* handler) override;
	bool QuitRequested() override;

	TMainView* MainView() const { return fMainView; }

private:
	// Hooks for the calculator pad and the about window.
	void OpenCalculator();
	void OpenAbout();

	TMainView* fMainView = nullptr;
};
