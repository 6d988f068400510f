// BInvoker: a message and where it goes. Without a target the message goes to the window of
// the control or menu that invokes it.
#pragma once

#include <memory>

#include "SupportDefs.h"

class BHandler;
class BLooper;
class BMessage;

class BInvoker {
public:
	BInvoker();
	explicit BInvoker(BMessage* message, const BHandler* handler = nullptr,
		const BLooper* looper = nullptr);
	virtual ~BInvoker();

	BMessage* Message() const { return fMessage.get(); }
	uint32 Command() const;

	virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
	BHandler* Target(BLooper** looper = nullptr) const;

	// Posts a copy of the message (or of the given one) to the target.
	virtual status_t Invoke(BMessage* message = nullptr);

protected:
	// Where a message goes when no target was set.
	virtual BLooper* _DefaultLooper() const { return nullptr; }

private:
	std::unique_ptr<BMessage> fMessage;
	int32 fTargetToken = -1;
	const BLooper* fTargetLooper = nullptr;
};
