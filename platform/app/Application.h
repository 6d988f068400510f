// BApplication: the application looper and the owner of the event loop. Run() starts the
// loop: backend events become messages for the windows, messages are dispatched in posting
// order, dirty windows are redrawn and presented, and the loop sleeps until the next event
// or pulse. Quit ends it.
#pragma once

#include <functional>
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

namespace BPrivate {

// The loop's steps, for the kit and for tests driving the headless backend.
class EventLoop {
public:
	// Translates pending backend events, dispatches every ready message, deletes windows
	// that quit and redraws; waits up to timeoutMs for the first event.
	static void RunOnce(int32 timeoutMs);
	// Processes until nothing is left to do without waiting (tests).
	static void Drain();
	// Runs a nested loop until done() is true while blocked's own messages wait. Returns
	// false when it was abandoned (the application quit, or a headless test gave no input).
	static bool RunNested(BLooper* blocked, const std::function<bool()>& done);
	// Abandons the innermost nested loop.
	static void AbandonNested();
	static int32 NestingDepth();
	// Called when a headless nested loop runs out of input: a test's chance to act.
	static void SetIdleHook(std::function<void()> hook);
};

bigtime_t system_time_us();

} // namespace BPrivate
