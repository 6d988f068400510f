#include "Looper.h"

#include <algorithm>
#include <thread>

#include "AppDefs.h"
#include "Backend.h"
#include "Debug.h"
#include "LooperPrivate.h"
#include "Message.h"

namespace {

uint64 sNextSequence = 1;

} // namespace

using BPrivate::LooperAccess;

std::vector<BLooper*>&
LooperAccess::All()
{
	static std::vector<BLooper*> loopers;
	return loopers;
}

uint64
LooperAccess::FrontSequence(const BLooper* looper)
{
	return looper->fQueue.empty() ? UINT64_MAX : looper->fQueue.front().sequence;
}

bool
LooperAccess::DispatchOne(BLooper* looper)
{
	if (looper->fQueue.empty())
		return false;

	BLooper::Queued queued = std::move(looper->fQueue.front());
	looper->fQueue.pop_front();

	BHandler* handler = nullptr;
	if (queued.target >= 0) {
		handler = BHandler::LookupToken(queued.target);
		// The target went away while the message waited: drop it.
		if (handler == nullptr)
			return true;
	} else
		handler = looper->PreferredHandler();
	if (handler == nullptr)
		handler = looper;

	BMessage* previous = looper->fCurrentMessage;
	looper->fCurrentMessage = queued.message.get();
	looper->fDispatchDepth++;
	looper->Lock();
	looper->DispatchMessage(queued.message.get(), handler);
	looper->Unlock();
	looper->fDispatchDepth--;
	looper->fCurrentMessage = previous;
	return true;
}

void
LooperAccess::Block(BLooper* looper)
{
	looper->fBlockedDepth++;
}

void
LooperAccess::Unblock(BLooper* looper)
{
	looper->fBlockedDepth--;
}

bool
LooperAccess::IsBlocked(const BLooper* looper)
{
	return looper->fBlockedDepth > 0;
}

bool
LooperAccess::IsDeletePending(const BLooper* looper)
{
	return looper->fDeletePending;
}

bool
LooperAccess::IsDispatching(const BLooper* looper)
{
	return looper->fDispatchDepth > 0;
}

BLooper::BLooper(const char* name) : BHandler(name), fThread(std::this_thread::get_id())
{
	fLooper = this;
	LooperAccess::All().push_back(this);
}

BLooper::~BLooper()
{
	auto& all = LooperAccess::All();
	all.erase(std::remove(all.begin(), all.end(), this), all.end());
	fLooper = nullptr;
}

status_t
BLooper::PostMessage(uint32 command)
{
	BMessage message(command);
	return PostMessage(&message, nullptr, nullptr);
}

status_t
BLooper::PostMessage(BMessage* message)
{
	return PostMessage(message, nullptr, nullptr);
}

status_t
BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return PostMessage(&message, handler, replyTo);
}

status_t
BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	(void)replyTo;
	if (message == nullptr)
		return B_BAD_VALUE;
	if (fDeletePending)
		return B_BAD_PORT_ID;
	// A handler that belongs to another looper cannot receive this looper's messages.
	if (handler != nullptr && handler->Looper() != this)
		return B_BAD_HANDLER;

	Queued queued;
	queued.sequence = sNextSequence++;
	queued.message = std::make_unique<BMessage>(*message);
	queued.target = handler != nullptr ? handler->Token() : -1;
	fQueue.push_back(std::move(queued));
	if (BPrivate::HasBackend())
		BPrivate::CurrentBackend()->Wake();
	return B_OK;
}

void
BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message->what == B_QUIT_REQUESTED && handler == this) {
		if (QuitRequested())
			Quit();
		return;
	}
	handler->MessageReceived(message);
}

void
BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

bool
BLooper::QuitRequested()
{
	return true;
}

void
BLooper::Quit()
{
	_ScheduleDelete();
}

void
BLooper::_ScheduleDelete()
{
	fDeletePending = true;
	fQueue.clear();
}

bool
BLooper::Lock()
{
	// Every looper runs on the thread that made it; the counter is not shared with others.
	if (std::this_thread::get_id() != fThread) {
		BPrivate::ReportMisuse("Lock failed - called from another thread");
		return false;
	}
	fLockCount++;
	return true;
}

void
BLooper::Unlock()
{
	if (std::this_thread::get_id() != fThread) {
		BPrivate::ReportMisuse("Unlock failed - called from another thread");
		return;
	}
	if (fLockCount > 0)
		fLockCount--;
}

void
BLooper::AddHandler(BHandler* handler)
{
	if (handler != nullptr && handler != this)
		handler->fLooper = this;
}

bool
BLooper::RemoveHandler(BHandler* handler)
{
	if (handler == nullptr || handler->fLooper != this || handler == this)
		return false;
	handler->fLooper = nullptr;
	return true;
}

BHandler*
BLooper::PreferredHandler() const
{
	return nullptr;
}
