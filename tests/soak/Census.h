// Which kit objects are alive. Every BHandler (application, window, view) takes a token when
// it is made and gives it back when it is deleted; tokens are handed out in increasing order
// and never reused. A census therefore re-checks the tokens alive at the previous one and
// scans only those handed out since, which keeps it cheap enough to run after every event.
#pragma once

#include <cstddef>
#include <vector>

#include "SupportDefs.h"

class BView;
class BWindow;

struct Census {
	std::vector<BWindow*> windows;
	std::vector<BView*> views;
	int32 others = 0; // the application and any other plain handler
};

class HandlerCensus {
public:
	Census Take();

private:
	std::vector<int32> fAlive;
	int32 fNextToken = 1;
};

// The views of a window's tree below its top view, the views themselves counted.
int32 CountViews(const BWindow* window);

// Bytes the program has taken from malloc and not given back; 0 where this cannot be read.
size_t HeapInUse();
