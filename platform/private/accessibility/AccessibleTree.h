// The kit's accessible tree, as the screen-reader module's host hands it out: the root node
// (the application) and the one listener that hears about changes. Without a listener the kit
// builds no nodes and sends no events.
#pragma once

#include "AccessibleNode.h"

namespace BPrivate {

AccessibleNode* AccessibleRoot();
// nullptr stops the events (the module left).
void SetAccessibilityListener(AccessibilityListener* listener);
AccessibilityListener* CurrentAccessibilityListener();

} // namespace BPrivate
