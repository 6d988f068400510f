#include "Invoker.h"

#include "Handler.h"
#include "Looper.h"
#include "Message.h"

// The target is kept as a handler token, never as a pointer: a control may outlive the view
// it sends to, and a deleted target must simply stop receiving. A target given only as a
// looper (its preferred handler receives) keeps the looper's token too, with the pointer as a
// marker that is compared, never followed, until the token proves the looper still exists.

BInvoker::BInvoker() = default;

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper) :
	fMessage(message)
{
	SetTarget(handler, looper);
}

BInvoker::~BInvoker() = default;

uint32
BInvoker::Command() const
{
	return fMessage ? fMessage->what : 0;
}

status_t
BInvoker::SetTarget(const BHandler* handler, const BLooper* looper)
{
	if (handler != nullptr) {
		if (looper != nullptr && handler->Looper() != nullptr && handler->Looper() != looper)
			return B_MISMATCHED_VALUES;
		fTargetToken = handler->Token();
		fTargetLooper = nullptr;
		return B_OK;
	}
	if (looper != nullptr) {
		fTargetToken = looper->Token();
		fTargetLooper = looper;
		return B_OK;
	}
	fTargetToken = -1;
	fTargetLooper = nullptr;
	return B_OK;
}

BHandler*
BInvoker::Target(BLooper** looper) const
{
	BLooper* targetLooper = nullptr;
	BHandler* handler = nullptr;
	if (fTargetToken < 0)
		targetLooper = _DefaultLooper();
	else {
		BHandler* found = BHandler::LookupToken(fTargetToken);
		if (fTargetLooper != nullptr) {
			if (found == static_cast<const BHandler*>(fTargetLooper))
				targetLooper = const_cast<BLooper*>(fTargetLooper);
		} else if (found != nullptr) {
			handler = found;
			targetLooper = found->Looper();
		}
	}
	if (looper != nullptr)
		*looper = targetLooper;
	return handler;
}

status_t
BInvoker::Invoke(BMessage* message)
{
	BMessage* toSend = message != nullptr ? message : fMessage.get();
	if (toSend == nullptr)
		return B_BAD_VALUE;

	BLooper* looper = nullptr;
	BHandler* handler = Target(&looper);
	if (fTargetToken >= 0 && fTargetLooper == nullptr && handler == nullptr)
		return B_BAD_HANDLER;
	if (looper == nullptr)
		return B_BAD_PORT_ID;
	return looper->PostMessage(toSend, handler);
}
