// The about window: icon band, styled about text with two links, and an "OK" button. Modal to
// the application; created at the screen's top-left, moved and shown by its creator, and
// closed by "OK", Enter or Escape.
#pragma once

#include "Window.h"

enum : uint32 {
	kAboutOK = 'AbOK',
};

class TAboutWindow : public BWindow {
public:
	// text is the long about text; the text view keeps its own copy.
	explicit TAboutWindow(const char* text);
	~TAboutWindow() override;

	void DispatchMessage(BMessage* message, BHandler* handler) override;
	void MessageReceived(BMessage* message) override;
};
