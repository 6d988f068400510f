// Kit-internal access to a looper's queue and state, for the event loop's dispatcher and for
// tests. Not for applications.
#pragma once

#include <vector>

#include "SupportDefs.h"

class BLooper;

namespace BPrivate {

class LooperAccess {
public:
	// Every looper alive, in the order they were made.
	static std::vector<BLooper*>& All();
	// The posting sequence of the front message, UINT64_MAX for an empty queue.
	static uint64 FrontSequence(const BLooper* looper);
	// Handles the front message; returns false when the queue was empty.
	static bool DispatchOne(BLooper* looper);
	// A blocked looper (waiting in a synchronous call) keeps its messages queued.
	static void Block(BLooper* looper);
	static void Unblock(BLooper* looper);
	static bool IsBlocked(const BLooper* looper);
	static bool IsDeletePending(const BLooper* looper);
	static bool IsDispatching(const BLooper* looper);
};

} // namespace BPrivate
