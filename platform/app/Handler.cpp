#include "Handler.h"

#include <unordered_map>

#include "Looper.h"
#include "Message.h"

namespace {

struct TokenRegistry {
	std::unordered_map<int32, BHandler*> handlers;
	int32 next = 1;
};

TokenRegistry&
Registry()
{
	static TokenRegistry registry;
	return registry;
}

} // namespace

BHandler::BHandler(const char* name) : fName(name ? name : "")
{
	TokenRegistry& registry = Registry();
	fToken = registry.next++;
	registry.handlers[fToken] = this;
}

BHandler::~BHandler()
{
	Registry().handlers.erase(fToken);
	if (fLooper != nullptr && fLooper != this)
		fLooper->RemoveHandler(this);
}

void
BHandler::MessageReceived(BMessage* message)
{
	if (fNextHandler != nullptr && fNextHandler != this)
		fNextHandler->MessageReceived(message);
}

BHandler*
BHandler::LookupToken(int32 token)
{
	TokenRegistry& registry = Registry();
	auto found = registry.handlers.find(token);
	return found == registry.handlers.end() ? nullptr : found->second;
}
