// AtkAction: the node's actions ("press", "click", ...). Doing one only queues it in the kit,
// so a menu or modal window it opens never runs inside the bridge's D-Bus call.
#include "AccessibleNode.h"
#include "AtkNodeObject.h"

using BPrivate::AccessibleNode;

namespace {

AccessibleNode*
NodeWithAction(AtkAction* action, gint index)
{
	AccessibleNode* node = KamboAtk::NodeOf(action);
	if (node == nullptr || index < 0 || index >= node->CountActions())
		return nullptr;
	return node;
}

gboolean
DoAction(AtkAction* action, gint index)
{
	AccessibleNode* node = NodeWithAction(action, index);
	return node != nullptr && node->DoAction(index);
}

gint
GetActionCount(AtkAction* action)
{
	AccessibleNode* node = KamboAtk::NodeOf(action);
	return node != nullptr ? node->CountActions() : 0;
}

const gchar*
GetName(AtkAction* action, gint index)
{
	AccessibleNode* node = NodeWithAction(action, index);
	if (node == nullptr)
		return nullptr;
	return KamboAtk::Keep(action, "kambo-action-name", node->ActionName(index).c_str());
}

const gchar*
GetDescription(AtkAction* action, gint index)
{
	AccessibleNode* node = NodeWithAction(action, index);
	if (node == nullptr)
		return nullptr;
	return KamboAtk::Keep(action, "kambo-action-description",
		node->ActionDescription(index).c_str());
}

} // namespace

namespace KamboAtk {

void
InitAction(AtkActionIface* iface)
{
	iface->do_action = DoAction;
	iface->get_n_actions = GetActionCount;
	iface->get_name = GetName;
	// The description is German already; a localized name is the plain one.
	iface->get_localized_name = GetName;
	iface->get_description = GetDescription;
}

} // namespace KamboAtk
