// The AtkObject subclass over AccessibleNode, its per-interface subtypes and the table of
// live objects.
#include "AtkNodeObject.h"

#include <string>
#include <unordered_map>

#include "AccessibleNode.h"
#include "AtkLinks.h"
#include "AtkRoleMap.h"

using BPrivate::AccessibleNode;

namespace {

struct KamboAtkObject {
	AtkObject parent;
	AccessibleNode* node;
	// ATK hands out names as borrowed strings; they live here until the next call.
	gchar* name;
	gchar* description;
};

struct KamboAtkObjectClass {
	AtkObjectClass parentClass;
};

GType kambo_atk_object_get_type();

void
InitComponentInterface(AtkComponentIface* iface)
{
	KamboAtk::InitComponent(iface);
}

G_DEFINE_TYPE_WITH_CODE(KamboAtkObject, kambo_atk_object, ATK_TYPE_OBJECT,
	G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, InitComponentInterface))

std::unordered_map<AccessibleNode*, KamboAtkObject*> sObjects;

KamboAtkObject*
Self(gpointer object)
{
	if (object == nullptr || !G_TYPE_CHECK_INSTANCE_TYPE(object, kambo_atk_object_get_type()))
		return nullptr;
	return reinterpret_cast<KamboAtkObject*>(object);
}

const gchar*
Remember(gchar** slot, const std::string& text)
{
	g_free(*slot);
	*slot = g_strdup(text.c_str());
	return *slot;
}

const gchar*
GetName(AtkObject* object)
{
	KamboAtkObject* self = Self(object);
	if (self->node == nullptr)
		return ATK_OBJECT_CLASS(kambo_atk_object_parent_class)->get_name(object);
	return Remember(&self->name, self->node->Name());
}

const gchar*
GetDescription(AtkObject* object)
{
	KamboAtkObject* self = Self(object);
	if (self->node == nullptr)
		return ATK_OBJECT_CLASS(kambo_atk_object_parent_class)->get_description(object);
	return Remember(&self->description, self->node->Description());
}

AtkObject*
GetParent(AtkObject* object)
{
	AccessibleNode* node = Self(object)->node;
	if (node == nullptr)
		return nullptr;
	return KamboAtk::ObjectFor(node->Parent());
}

// A text's links follow the node's own children.
gint
GetChildCount(AtkObject* object)
{
	AccessibleNode* node = Self(object)->node;
	if (node == nullptr)
		return 0;
	return node->CountChildren() + KamboAtk::CountLinks(object);
}

AtkObject*
RefChild(AtkObject* object, gint index)
{
	AccessibleNode* node = Self(object)->node;
	if (node == nullptr || index < 0)
		return nullptr;
	int32 nodeChildren = node->CountChildren();
	AtkObject* child = index < nodeChildren ? KamboAtk::ObjectFor(node->ChildAt(index))
											: KamboAtk::LinkObjectAt(object, index - nodeChildren);
	return child != nullptr ? ATK_OBJECT(g_object_ref(child)) : nullptr;
}

gint
GetIndexInParent(AtkObject* object)
{
	AccessibleNode* node = Self(object)->node;
	return node != nullptr ? node->IndexInParent() : -1;
}

AtkRole
GetRole(AtkObject* object)
{
	AccessibleNode* node = Self(object)->node;
	if (node == nullptr)
		return object->role;
	return KamboAtk::RoleFor(node->Role(), node->States());
}

AtkStateSet*
RefStateSet(AtkObject* object)
{
	AtkStateSet* set = atk_state_set_new();
	AccessibleNode* node = Self(object)->node;
	if (node == nullptr)
		atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
	else
		KamboAtk::AddStates(node->States(), set);
	return set;
}

AtkAttributeSet*
GetAttributes(AtkObject* object)
{
	AccessibleNode* node = Self(object)->node;
	return node != nullptr ? KamboAtk::AttributesFor(node->States()) : nullptr;
}

void
Finalize(GObject* object)
{
	KamboAtkObject* self = Self(object);
	g_free(self->name);
	g_free(self->description);
	G_OBJECT_CLASS(kambo_atk_object_parent_class)->finalize(object);
}

void
kambo_atk_object_class_init(KamboAtkObjectClass* klass)
{
	AtkObjectClass* atkClass = ATK_OBJECT_CLASS(klass);
	atkClass->get_name = GetName;
	atkClass->get_description = GetDescription;
	atkClass->get_parent = GetParent;
	atkClass->get_n_children = GetChildCount;
	atkClass->ref_child = RefChild;
	atkClass->get_index_in_parent = GetIndexInParent;
	atkClass->get_role = GetRole;
	atkClass->ref_state_set = RefStateSet;
	atkClass->get_attributes = GetAttributes;
	G_OBJECT_CLASS(klass)->finalize = Finalize;
}

void
kambo_atk_object_init(KamboAtkObject* self)
{
	self->node = nullptr;
	self->name = nullptr;
	self->description = nullptr;
}

} // namespace

namespace KamboAtk {

GType
TypeFor(int interfaces)
{
	static GType sTypes[16] = {};
	g_assert(interfaces >= 0 && interfaces < 16);
	if (interfaces == 0)
		return kambo_atk_object_get_type();
	if (sTypes[interfaces] != 0)
		return sTypes[interfaces];

	GTypeInfo info = {};
	info.class_size = sizeof(KamboAtkObjectClass);
	info.instance_size = sizeof(KamboAtkObject);
	gchar* name = g_strdup_printf("KamboAtkObject%d", interfaces);
	GType type = g_type_register_static(kambo_atk_object_get_type(), name, &info, GTypeFlags(0));
	g_free(name);

	if ((interfaces & kInterfaceAction) != 0) {
		GInterfaceInfo action = {[](gpointer iface, gpointer) {
									 InitAction(static_cast<AtkActionIface*>(iface));
								 },
			nullptr, nullptr};
		g_type_add_interface_static(type, ATK_TYPE_ACTION, &action);
	}
	if ((interfaces & kInterfaceText) != 0) {
		GInterfaceInfo text = {[](gpointer iface, gpointer) {
								   InitText(static_cast<AtkTextIface*>(iface));
							   },
			nullptr, nullptr};
		g_type_add_interface_static(type, ATK_TYPE_TEXT, &text);
		GInterfaceInfo editable = {[](gpointer iface, gpointer) {
									   InitEditableText(static_cast<AtkEditableTextIface*>(iface));
								   },
			nullptr, nullptr};
		g_type_add_interface_static(type, ATK_TYPE_EDITABLE_TEXT, &editable);
	}
	if ((interfaces & kInterfaceHypertext) != 0) {
		GInterfaceInfo hypertext = {[](gpointer iface, gpointer) {
										InitHypertext(static_cast<AtkHypertextIface*>(iface));
									},
			nullptr, nullptr};
		g_type_add_interface_static(type, ATK_TYPE_HYPERTEXT, &hypertext);
	}
	if ((interfaces & kInterfaceWindow) != 0) {
		// AtkWindow has only signals.
		GInterfaceInfo window = {nullptr, nullptr, nullptr};
		g_type_add_interface_static(type, ATK_TYPE_WINDOW, &window);
	}
	sTypes[interfaces] = type;
	return type;
}

int
InterfacesOf(AccessibleNode* node)
{
	int interfaces = 0;
	if (node->CountActions() > 0)
		interfaces |= kInterfaceAction;
	if (BPrivate::AccessibleText* text = node->Text()) {
		interfaces |= kInterfaceText;
		if (text->CountLinks() > 0)
			interfaces |= kInterfaceHypertext;
	}
	switch (node->Role()) {
		case B_ROLE_FRAME:
		case B_ROLE_DIALOG:
		case B_ROLE_WINDOW:
			interfaces |= kInterfaceWindow;
			break;
		default:
			break;
	}
	return interfaces;
}

AtkObject*
ExistingObjectFor(AccessibleNode* node)
{
	auto found = sObjects.find(node);
	return found != sObjects.end() ? ATK_OBJECT(found->second) : nullptr;
}

AtkObject*
ObjectFor(AccessibleNode* node)
{
	if (node == nullptr)
		return nullptr;
	if (AtkObject* existing = ExistingObjectFor(node))
		return existing;

	auto* self = static_cast<KamboAtkObject*>(g_object_new(TypeFor(InterfacesOf(node)), nullptr));
	self->node = node;
	AtkObject* object = ATK_OBJECT(self);
	atk_object_initialize(object, nullptr);
	// Kept for defunct objects, whose class methods fall back to the plain fields.
	object->role = RoleFor(node->Role(), node->States());
	// Set without a notification: a new object is no renamed one.
	object->name = g_strdup(node->Name().c_str());
	sObjects.emplace(node, self);
	return object;
}

AccessibleNode*
NodeOf(gpointer object)
{
	KamboAtkObject* self = Self(object);
	return self != nullptr ? self->node : nullptr;
}

BPrivate::AccessibleText*
TextOf(gpointer object)
{
	AccessibleNode* node = NodeOf(object);
	return node != nullptr ? node->Text() : nullptr;
}

void
Forget(AccessibleNode* node)
{
	auto found = sObjects.find(node);
	if (found == sObjects.end())
		return;
	KamboAtkObject* self = found->second;
	sObjects.erase(found);
	self->node = nullptr;
	atk_object_notify_state_change(ATK_OBJECT(self), ATK_STATE_DEFUNCT, TRUE);
	g_object_unref(self);
}

void
ForgetAll()
{
	while (!sObjects.empty())
		Forget(sObjects.begin()->first);
}

int
CountObjects()
{
	return int(sObjects.size());
}

const gchar*
Keep(gpointer object, const char* key, const char* text)
{
	gchar* copy = g_strdup(text);
	g_object_set_data_full(G_OBJECT(object), key, copy, g_free);
	return copy;
}

AccessibleNode*
WindowOf(AccessibleNode* node)
{
	if (node == nullptr || node->Parent() == nullptr)
		return nullptr;
	while (node->Parent()->Parent() != nullptr)
		node = node->Parent();
	return node;
}

} // namespace KamboAtk
