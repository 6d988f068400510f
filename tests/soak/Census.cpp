#include "Census.h"

#include <malloc.h>

#include "Handler.h"
#include "View.h"
#include "Window.h"

namespace {

int32
CountTree(const BView* view)
{
	int32 count = 1;
	for (int32 i = 0; i < view->CountChildren(); i++)
		count += CountTree(view->ChildAt(i));
	return count;
}

} // namespace

Census
HandlerCensus::Take()
{
	// A fresh handler shows how far the tokens have got; its own token dies with it.
	int32 end = 0;
	{
		BHandler probe;
		end = probe.Token();
	}

	std::vector<int32> alive;
	auto visit = [&alive](int32 token) {
		if (BHandler::LookupToken(token) != nullptr)
			alive.push_back(token);
	};
	for (int32 token : fAlive)
		visit(token);
	for (int32 token = fNextToken; token < end; token++)
		visit(token);
	fAlive = std::move(alive);
	fNextToken = end + 1;

	Census census;
	for (int32 token : fAlive) {
		BHandler* handler = BHandler::LookupToken(token);
		if (auto* window = dynamic_cast<BWindow*>(handler))
			census.windows.push_back(window);
		else if (auto* view = dynamic_cast<BView*>(handler))
			census.views.push_back(view);
		else
			census.others++;
	}
	return census;
}

int32
CountViews(const BWindow* window)
{
	int32 count = 0;
	for (int32 i = 0; i < window->CountChildren(); i++)
		count += CountTree(window->ChildAt(i));
	return count;
}

size_t
HeapInUse()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
	return mallinfo2().uordblks;
#else
	return 0;
#endif
}
