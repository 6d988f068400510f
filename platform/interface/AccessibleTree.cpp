// The accessible tree's entry points. The nodes of windows, views and parts follow.
#include "AccessibleTree.h"

namespace BPrivate {

namespace {
AccessibilityListener* sListener = nullptr;
}

AccessibleNode*
AccessibleRoot()
{
	return nullptr;
}

void
SetAccessibilityListener(AccessibilityListener* listener)
{
	sListener = listener;
}

AccessibilityListener*
CurrentAccessibilityListener()
{
	return sListener;
}

} // namespace BPrivate
