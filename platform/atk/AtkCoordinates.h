// ATK's three coordinate systems over the kit's screen rectangles: the screen, the node's
// top-level window, and its parent. BRects are inclusive, so a rect from 10 to 19 is 10 wide.
#pragma once

#include <atk/atk.h>

#include "Rect.h"

namespace BPrivate {
class AccessibleNode;
}

namespace KamboAtk {

struct Extents {
	gint x = -1;
	gint y = -1;
	gint width = 0;
	gint height = 0;
};

// Screen bounds of something inside node (the node itself, a character) in coordType; an
// invalid rect gives ATK's "nowhere" (-1, -1, 0, 0).
Extents ExtentsIn(BPrivate::AccessibleNode* node, BRect screenBounds, AtkCoordType coordType);
// A point given in coordType relative to node, in screen coordinates; false for an unknown
// coordinate type.
bool ToScreen(BPrivate::AccessibleNode* node, gint x, gint y, AtkCoordType coordType,
	BPoint* screenPoint);

} // namespace KamboAtk
