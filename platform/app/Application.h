// BApplication: the application looper. Run() runs the kit's event loop (EventLoop.cpp)
// until Quit; the application's own messages are dispatched in it like every window's.
#pragma once

#include <string>

#include "Looper.h"

class BResources;
class BWindow;

class BApplication : public BLooper {
public:
	explicit BApplication(const char* signature);
	~BApplication() override;

	// Runs the loop until Quit; returns 0.
	virtual int32 Run();
	void Quit() override;
	bool QuitRequested() override;
	virtual void ReadyToRun();
	virtual void AboutRequested();
	virtual void Pulse();
	void MessageReceived(BMessage* message) override;
	void DispatchMessage(BMessage* message, BHandler* handler) override;

	const char* Signature() const { return fSignature.c_str(); }
	int32 CountWindows() const;
	BWindow* WindowAt(int32 index) const;
	bool IsQuitting() const { return fQuitting; }

	static BResources* AppResources();

private:
	std::string fSignature;
	bool fQuitting = false;
	bool fReadyToRunSent = false;
};

extern BApplication* be_app;
