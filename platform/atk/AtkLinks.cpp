#include "AtkLinks.h"

#include <string>

#include "AccessibleNode.h"
#include "AtkCoordinates.h"
#include "AtkNodeObject.h"
#include "TextSegments.h"

using BPrivate::AccessibleText;

namespace {

// What both kinds of link object share: the text's object (weak) and the link's index.
struct LinkRef {
	AtkObject* owner;
	gint index;
};

void
Attach(LinkRef* ref, AtkObject* owner, gint index)
{
	ref->owner = owner;
	ref->index = index;
	g_object_add_weak_pointer(G_OBJECT(owner), reinterpret_cast<gpointer*>(&ref->owner));
}

void
Detach(LinkRef* ref)
{
	if (ref->owner != nullptr) {
		g_object_remove_weak_pointer(G_OBJECT(ref->owner),
			reinterpret_cast<gpointer*>(&ref->owner));
		ref->owner = nullptr;
	}
}

// The link's range and address; false when its text or the link is gone.
bool
Resolve(const LinkRef& ref, int32* start, int32* end, std::string* address)
{
	AccessibleText* text = KamboAtk::TextOf(ref.owner);
	int32 startOffset = 0;
	int32 endOffset = 0;
	std::string uri;
	if (text == nullptr || !text->GetLink(ref.index, &startOffset, &endOffset, &uri))
		return false;
	if (start != nullptr)
		*start = startOffset;
	if (end != nullptr)
		*end = endOffset;
	if (address != nullptr)
		*address = uri;
	return true;
}

bool
Activate(const LinkRef& ref)
{
	AccessibleText* text = KamboAtk::TextOf(ref.owner);
	return text != nullptr && Resolve(ref, nullptr, nullptr, nullptr)
		&& text->ActivateLink(ref.index);
}

const char* const kActionName = "activate";
const char* const kActionDescription = "Öffnet die Adresse im Browser";

// #pragma mark - the hyperlink

struct KamboAtkHyperlink {
	AtkHyperlink parent;
	LinkRef ref;
};

struct KamboAtkHyperlinkClass {
	AtkHyperlinkClass parentClass;
};

GType kambo_atk_hyperlink_get_type();
void InitHyperlinkAction(AtkActionIface* iface);

G_DEFINE_TYPE_WITH_CODE(KamboAtkHyperlink, kambo_atk_hyperlink, ATK_TYPE_HYPERLINK,
	G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, InitHyperlinkAction))

LinkRef&
RefOf(AtkHyperlink* link)
{
	return reinterpret_cast<KamboAtkHyperlink*>(link)->ref;
}

gchar*
GetUri(AtkHyperlink* link, gint anchor)
{
	std::string address;
	if (anchor != 0 || !Resolve(RefOf(link), nullptr, nullptr, &address))
		return nullptr;
	return g_strdup(address.c_str());
}

AtkObject*
GetObject(AtkHyperlink* link, gint anchor)
{
	const LinkRef& ref = RefOf(link);
	if (anchor != 0 || ref.owner == nullptr)
		return nullptr;
	return KamboAtk::LinkObjectAt(ref.owner, ref.index);
}

gint
GetStartIndex(AtkHyperlink* link)
{
	int32 start = -1;
	Resolve(RefOf(link), &start, nullptr, nullptr);
	return start;
}

gint
GetEndIndex(AtkHyperlink* link)
{
	int32 end = -1;
	Resolve(RefOf(link), nullptr, &end, nullptr);
	return end;
}

gboolean
IsValid(AtkHyperlink* link)
{
	return Resolve(RefOf(link), nullptr, nullptr, nullptr);
}

gint
GetAnchorCount(AtkHyperlink* link)
{
	return IsValid(link) ? 1 : 0;
}

void
DisposeHyperlink(GObject* object)
{
	Detach(&RefOf(ATK_HYPERLINK(object)));
	G_OBJECT_CLASS(kambo_atk_hyperlink_parent_class)->dispose(object);
}

void
kambo_atk_hyperlink_class_init(KamboAtkHyperlinkClass* klass)
{
	AtkHyperlinkClass* linkClass = ATK_HYPERLINK_CLASS(klass);
	linkClass->get_uri = GetUri;
	linkClass->get_object = GetObject;
	linkClass->get_start_index = GetStartIndex;
	linkClass->get_end_index = GetEndIndex;
	linkClass->is_valid = IsValid;
	linkClass->get_n_anchors = GetAnchorCount;
	G_OBJECT_CLASS(klass)->dispose = DisposeHyperlink;
}

void
kambo_atk_hyperlink_init(KamboAtkHyperlink* self)
{
	self->ref = LinkRef{nullptr, -1};
}

gboolean
DoHyperlinkAction(AtkAction* action, gint index)
{
	return index == 0 && Activate(RefOf(ATK_HYPERLINK(action)));
}

gint
GetHyperlinkActionCount(AtkAction* action)
{
	return IsValid(ATK_HYPERLINK(action)) ? 1 : 0;
}

const gchar*
GetActionName(AtkAction* /*action*/, gint index)
{
	return index == 0 ? kActionName : nullptr;
}

const gchar*
GetActionDescription(AtkAction* /*action*/, gint index)
{
	return index == 0 ? kActionDescription : nullptr;
}

void
InitHyperlinkAction(AtkActionIface* iface)
{
	iface->do_action = DoHyperlinkAction;
	iface->get_n_actions = GetHyperlinkActionCount;
	iface->get_name = GetActionName;
	iface->get_localized_name = GetActionName;
	iface->get_description = GetActionDescription;
}

// #pragma mark - the link's object

struct KamboAtkLink {
	AtkObject parent;
	LinkRef ref;
};

struct KamboAtkLinkClass {
	AtkObjectClass parentClass;
};

GType kambo_atk_link_get_type();
void InitLinkAction(AtkActionIface* iface);
void InitLinkComponent(AtkComponentIface* iface);
void InitLinkImpl(AtkHyperlinkImplIface* iface);

G_DEFINE_TYPE_WITH_CODE(KamboAtkLink, kambo_atk_link, ATK_TYPE_OBJECT,
	G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, InitLinkAction) G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT,
		InitLinkComponent) G_IMPLEMENT_INTERFACE(ATK_TYPE_HYPERLINK_IMPL, InitLinkImpl))

LinkRef&
LinkRefOf(gpointer object)
{
	return reinterpret_cast<KamboAtkLink*>(object)->ref;
}

const gchar*
GetLinkName(AtkObject* object)
{
	const LinkRef& ref = LinkRefOf(object);
	int32 start;
	int32 end;
	AccessibleText* text = KamboAtk::TextOf(ref.owner);
	if (text == nullptr || !Resolve(ref, &start, &end, nullptr))
		return "";
	return KamboAtk::Keep(object, "kambo-link-name",
		KamboAtk::TextSegments(text->Contents()).Slice(start, end).c_str());
}

AtkObject*
GetLinkParent(AtkObject* object)
{
	return LinkRefOf(object).owner;
}

gint
GetLinkIndexInParent(AtkObject* object)
{
	const LinkRef& ref = LinkRefOf(object);
	BPrivate::AccessibleNode* node = KamboAtk::NodeOf(ref.owner);
	return node != nullptr ? node->CountChildren() + ref.index : -1;
}

AtkStateSet*
RefLinkStateSet(AtkObject* object)
{
	AtkStateSet* set = atk_state_set_new();
	const LinkRef& ref = LinkRefOf(object);
	BPrivate::AccessibleNode* node = KamboAtk::NodeOf(ref.owner);
	if (node == nullptr || !Resolve(ref, nullptr, nullptr, nullptr)) {
		atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
		return set;
	}
	atk_state_set_add_state(set, ATK_STATE_FOCUSABLE);
	const AtkStateType kInherited[] = {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_VISIBLE,
		ATK_STATE_SHOWING};
	AtkStateSet* ownerStates = atk_object_ref_state_set(ref.owner);
	for (AtkStateType state : kInherited) {
		if (atk_state_set_contains_state(ownerStates, state))
			atk_state_set_add_state(set, state);
	}
	// The keyboard is on the link: its text has the focus and the caret at the link's start.
	int32 start = 0;
	if (atk_state_set_contains_state(ownerStates, ATK_STATE_FOCUSED) && ATK_IS_TEXT(ref.owner)
		&& Resolve(ref, &start, nullptr, nullptr)
		&& atk_text_get_caret_offset(ATK_TEXT(ref.owner)) == start)
		atk_state_set_add_state(set, ATK_STATE_FOCUSED);
	g_object_unref(ownerStates);
	return set;
}

void
DisposeLink(GObject* object)
{
	Detach(&LinkRefOf(object));
	G_OBJECT_CLASS(kambo_atk_link_parent_class)->dispose(object);
}

void
kambo_atk_link_class_init(KamboAtkLinkClass* klass)
{
	AtkObjectClass* atkClass = ATK_OBJECT_CLASS(klass);
	atkClass->get_name = GetLinkName;
	atkClass->get_parent = GetLinkParent;
	atkClass->get_index_in_parent = GetLinkIndexInParent;
	atkClass->ref_state_set = RefLinkStateSet;
	G_OBJECT_CLASS(klass)->dispose = DisposeLink;
}

void
kambo_atk_link_init(KamboAtkLink* self)
{
	self->ref = LinkRef{nullptr, -1};
	ATK_OBJECT(self)->role = ATK_ROLE_LINK;
}

gboolean
DoLinkAction(AtkAction* action, gint index)
{
	return index == 0 && Activate(LinkRefOf(action));
}

gint
GetLinkActionCount(AtkAction* action)
{
	return Resolve(LinkRefOf(action), nullptr, nullptr, nullptr) ? 1 : 0;
}

void
InitLinkAction(AtkActionIface* iface)
{
	iface->do_action = DoLinkAction;
	iface->get_n_actions = GetLinkActionCount;
	iface->get_name = GetActionName;
	iface->get_localized_name = GetActionName;
	iface->get_description = GetActionDescription;
}

// The link's box: from its first character's to its last's (one line in the kit's texts).
void
GetLinkExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height,
	AtkCoordType coordType)
{
	const LinkRef& ref = LinkRefOf(component);
	AccessibleText* text = KamboAtk::TextOf(ref.owner);
	int32 start;
	int32 end;
	KamboAtk::Extents extents;
	if (text != nullptr && Resolve(ref, &start, &end, nullptr) && end > start) {
		BRect bounds = text->CharacterBounds(start) | text->CharacterBounds(end - 1);
		extents = KamboAtk::ExtentsIn(KamboAtk::NodeOf(ref.owner), bounds, coordType);
	}
	*x = extents.x;
	*y = extents.y;
	*width = extents.width;
	*height = extents.height;
}

void
InitLinkComponent(AtkComponentIface* iface)
{
	iface->get_extents = GetLinkExtents;
}

AtkHyperlink*
GetHyperlink(AtkHyperlinkImpl* impl)
{
	const LinkRef& ref = LinkRefOf(impl);
	AtkHyperlink* link = ref.owner != nullptr ? KamboAtk::HyperlinkAt(ref.owner, ref.index)
											  : nullptr;
	return link != nullptr ? ATK_HYPERLINK(g_object_ref(link)) : nullptr;
}

void
InitLinkImpl(AtkHyperlinkImplIface* iface)
{
	iface->get_hyperlink = GetHyperlink;
}

// Both kinds are made on first use and kept by the text's object under key.
template <typename Make>
gpointer
Kept(AtkObject* text, const char* kind, int index, Make make)
{
	if (index < 0 || index >= KamboAtk::CountLinks(text))
		return nullptr;
	gchar* key = g_strdup_printf("kambo-%s-%d", kind, index);
	gpointer object = g_object_get_data(G_OBJECT(text), key);
	if (object == nullptr) {
		object = make();
		g_object_set_data_full(G_OBJECT(text), key, object, g_object_unref);
	}
	g_free(key);
	return object;
}

} // namespace

namespace KamboAtk {

int
CountLinks(AtkObject* text)
{
	AccessibleText* accessibleText = TextOf(text);
	return accessibleText != nullptr ? accessibleText->CountLinks() : 0;
}

AtkHyperlink*
HyperlinkAt(AtkObject* text, int index)
{
	return ATK_HYPERLINK(Kept(text, "hyperlink", index, [&] {
		auto* link = static_cast<KamboAtkHyperlink*>(
			g_object_new(kambo_atk_hyperlink_get_type(), nullptr));
		Attach(&link->ref, text, index);
		return gpointer(link);
	}));
}

AtkObject*
LinkObjectAt(AtkObject* text, int index)
{
	return ATK_OBJECT(Kept(text, "link", index, [&] {
		auto* link = static_cast<KamboAtkLink*>(g_object_new(kambo_atk_link_get_type(), nullptr));
		Attach(&link->ref, text, index);
		return gpointer(link);
	}));
}

} // namespace KamboAtk
