#include "AtkCoordinates.h"

#include <cmath>

#include "AccessibleNode.h"
#include "AtkNodeObject.h"

using BPrivate::AccessibleNode;

namespace KamboAtk {

namespace {

// The origin of coordType's system in screen coordinates.
bool
OriginOf(AccessibleNode* node, AtkCoordType coordType, BPoint* origin)
{
	AccessibleNode* reference = nullptr;
	switch (coordType) {
		case ATK_XY_SCREEN:
			*origin = BPoint(0, 0);
			return true;
		case ATK_XY_WINDOW:
			reference = WindowOf(node);
			break;
		case ATK_XY_PARENT:
			reference = node->Parent();
			break;
		default:
			return false;
	}
	BRect bounds = reference != nullptr ? reference->ScreenBounds() : BRect();
	*origin = bounds.IsValid() ? bounds.LeftTop() : BPoint(0, 0);
	return true;
}

} // namespace

Extents
ExtentsIn(AccessibleNode* node, BRect screenBounds, AtkCoordType coordType)
{
	Extents extents;
	BPoint origin;
	if (!screenBounds.IsValid() || !OriginOf(node, coordType, &origin))
		return extents;
	extents.x = gint(std::floor(screenBounds.left - origin.x));
	extents.y = gint(std::floor(screenBounds.top - origin.y));
	extents.width = gint(std::floor(screenBounds.right - screenBounds.left)) + 1;
	extents.height = gint(std::floor(screenBounds.bottom - screenBounds.top)) + 1;
	return extents;
}

bool
ToScreen(AccessibleNode* node, gint x, gint y, AtkCoordType coordType, BPoint* screenPoint)
{
	BPoint origin;
	if (!OriginOf(node, coordType, &origin))
		return false;
	*screenPoint = BPoint(origin.x + x, origin.y + y);
	return true;
}

} // namespace KamboAtk
