// BLooper: a handler with its own FIFO message queue. There is one UI thread: the dispatcher
// of the application takes messages of all loopers in global posting order, one at a time.
// A looper blocked in a synchronous call (an alert, a pop-up menu) keeps its messages queued
// until the call returns; every other looper keeps running.
#pragma once

#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include "Handler.h"
#include "SupportDefs.h"

class BMessage;

namespace BPrivate {
class LooperAccess;
} // namespace BPrivate

class BLooper : public BHandler {
public:
	explicit BLooper(const char* name = nullptr);
	~BLooper() override;

	// Queues a copy of the message (or a message holding only the code) and returns at once.
	// Without a handler the message goes to the preferred handler at the time it is handled.
	status_t PostMessage(uint32 command);
	status_t PostMessage(BMessage* message);
	status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = nullptr);
	status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = nullptr);

	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	void MessageReceived(BMessage* message) override;
	virtual bool QuitRequested();
	virtual void Quit();

	// Recursive and always successful on the UI thread; from any other thread a misuse.
	bool Lock();
	void Unlock();
	bool IsLocked() const { return fLockCount > 0; }
	int32 CountLocks() const { return fLockCount; }

	void AddHandler(BHandler* handler);
	bool RemoveHandler(BHandler* handler);
	virtual BHandler* PreferredHandler() const;
	BMessage* CurrentMessage() const { return fCurrentMessage; }

	int32 CountQueuedMessages() const { return (int32)fQueue.size(); }

protected:
	// Deletes the looper at the next safe point (after the handler that asked returns).
	void _ScheduleDelete();

private:
	friend class BPrivate::LooperAccess;

	struct Queued {
		uint64 sequence;
		std::unique_ptr<BMessage> message;
		int32 target; // handler token, or -1 for the preferred handler
	};

	std::deque<Queued> fQueue;
	int32 fLockCount = 0;
	std::thread::id fThread;
	int32 fDispatchDepth = 0;
	int32 fBlockedDepth = 0;
	bool fDeletePending = false;
	BMessage* fCurrentMessage = nullptr;
};
