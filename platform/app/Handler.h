// BHandler: something that receives messages. A handler that does not handle a message hands
// it to its next handler; views chain to their parent and a top view to its window.
#pragma once

#include <string>

#include "SupportDefs.h"

class BLooper;
class BMessage;

class BHandler {
public:
	explicit BHandler(const char* name = nullptr);
	virtual ~BHandler();
	// Handlers are known by address to their looper and by token to queued messages.
	BHandler(const BHandler&) = delete;
	BHandler& operator=(const BHandler&) = delete;

	virtual void MessageReceived(BMessage* message);

	BLooper* Looper() const { return fLooper; }
	const char* Name() const { return fName.c_str(); }
	void SetName(const char* name) { fName = name ? name : ""; }
	BHandler* NextHandler() const { return fNextHandler; }
	void SetNextHandler(BHandler* handler) { fNextHandler = handler; }

	// A process-unique token; a queued message names its target by token, so a handler
	// deleted while messages for it wait is never touched.
	int32 Token() const { return fToken; }
	static BHandler* LookupToken(int32 token);

private:
	friend class BLooper;
	std::string fName;
	BLooper* fLooper = nullptr;
	BHandler* fNextHandler = nullptr;
	int32 fToken;
};
