// TApp: the application object. Opens the main window when the loop is ready and answers
// the platform's about request with a short info alert. Everything else is the windows'.
#pragma once

#include "Application.h"

class TMainWindow;

extern const char* const app_sign;

class TApp : public BApplication {
public:
	TApp();

	void ReadyToRun() override;
	void AboutRequested() override;

	TMainWindow* MainWindow() const { return fMainWindow; }

private:
	// Not owned: windows delete themselves.
	TMainWindow* fMainWindow = nullptr;
};
