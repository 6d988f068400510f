// AtkComponent: where a node lies on the screen and in its window, what lies under a point,
// and the keyboard focus. Every node has it.
#include <cmath>

#include "AccessibleNode.h"
#include "AtkCoordinates.h"
#include "AtkNodeObject.h"

using BPrivate::AccessibleNode;

namespace {

void
GetExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height,
	AtkCoordType coordType)
{
	KamboAtk::Extents extents;
	if (AccessibleNode* node = KamboAtk::NodeOf(component))
		extents = KamboAtk::ExtentsIn(node, node->ScreenBounds(), coordType);
	*x = extents.x;
	*y = extents.y;
	*width = extents.width;
	*height = extents.height;
}

gboolean
Contains(AtkComponent* component, gint x, gint y, AtkCoordType coordType)
{
	AccessibleNode* node = KamboAtk::NodeOf(component);
	if (node == nullptr)
		return FALSE;
	BPoint point;
	if (!KamboAtk::ToScreen(node, x, y, coordType, &point))
		return FALSE;
	BRect bounds = node->ScreenBounds();
	return bounds.IsValid() && bounds.Contains(point);
}

// The deepest showing descendant under the point; later children lie above earlier ones.
AccessibleNode*
NodeAt(AccessibleNode* node, BPoint point)
{
	for (int32 i = node->CountChildren() - 1; i >= 0; i--) {
		AccessibleNode* child = node->ChildAt(i);
		if (child == nullptr || (child->States() & B_STATE_SHOWING) == 0)
			continue;
		BRect bounds = child->ScreenBounds();
		if (bounds.IsValid() && bounds.Contains(point))
			return NodeAt(child, point);
	}
	return node;
}

AtkObject*
RefAccessibleAtPoint(AtkComponent* component, gint x, gint y, AtkCoordType coordType)
{
	AccessibleNode* node = KamboAtk::NodeOf(component);
	BPoint point;
	if (node == nullptr || !KamboAtk::ToScreen(node, x, y, coordType, &point))
		return nullptr;
	BRect bounds = node->ScreenBounds();
	if (node->Parent() != nullptr && !(bounds.IsValid() && bounds.Contains(point)))
		return nullptr;
	AccessibleNode* hit = NodeAt(node, point);
	// ATK wants a child, not the object itself.
	if (hit == node)
		return nullptr;
	return ATK_OBJECT(g_object_ref(KamboAtk::ObjectFor(hit)));
}

gboolean
GrabFocus(AtkComponent* component)
{
	AccessibleNode* node = KamboAtk::NodeOf(component);
	return node != nullptr && node->GrabFocus();
}

AtkLayer
GetLayer(AtkComponent* component)
{
	AccessibleNode* node = KamboAtk::NodeOf(component);
	if (node == nullptr)
		return ATK_LAYER_INVALID;
	switch (node->Role()) {
		case B_ROLE_FRAME:
		case B_ROLE_DIALOG:
			return ATK_LAYER_WINDOW;
		case B_ROLE_WINDOW:
		case B_ROLE_MENU:
			return ATK_LAYER_POPUP;
		default:
			return ATK_LAYER_WIDGET;
	}
}

} // namespace

namespace KamboAtk {

void
InitComponent(AtkComponentIface* iface)
{
	iface->get_extents = GetExtents;
	iface->contains = Contains;
	iface->ref_accessible_at_point = RefAccessibleAtPoint;
	iface->grab_focus = GrabFocus;
	iface->get_layer = GetLayer;
}

} // namespace KamboAtk
