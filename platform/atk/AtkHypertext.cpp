// AtkHypertext and its links: the web addresses inside a text (the about window's). Each link
// is an AtkHyperlink whose URI is the address and whose one action opens it, queued in the kit
// like every other action.
#include <string>

#include "AccessibleNode.h"
#include "AtkNodeObject.h"
#include "TextSegments.h"

using BPrivate::AccessibleText;

namespace {

struct KamboAtkHyperlink {
	AtkHyperlink parent;
	// The text object, held weakly: it owns its links, not the other way round.
	AtkObject* owner;
	gint index;
};

struct KamboAtkHyperlinkClass {
	AtkHyperlinkClass parentClass;
};

GType kambo_atk_hyperlink_get_type();
void InitLinkAction(AtkActionIface* iface);

G_DEFINE_TYPE_WITH_CODE(KamboAtkHyperlink, kambo_atk_hyperlink, ATK_TYPE_HYPERLINK,
	G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, InitLinkAction))

KamboAtkHyperlink*
Link(gpointer link)
{
	return reinterpret_cast<KamboAtkHyperlink*>(link);
}

// The link's range and address; false when its text or the link is gone.
bool
GetLink(gpointer link, int32* start, int32* end, std::string* address)
{
	KamboAtkHyperlink* self = Link(link);
	AccessibleText* text = KamboAtk::TextOf(self->owner);
	int32 startOffset = 0;
	int32 endOffset = 0;
	std::string uri;
	if (text == nullptr || !text->GetLink(self->index, &startOffset, &endOffset, &uri))
		return false;
	if (start != nullptr)
		*start = startOffset;
	if (end != nullptr)
		*end = endOffset;
	if (address != nullptr)
		*address = uri;
	return true;
}

gchar*
GetUri(AtkHyperlink* link, gint anchor)
{
	std::string address;
	if (anchor != 0 || !GetLink(link, nullptr, nullptr, &address))
		return nullptr;
	return g_strdup(address.c_str());
}

AtkObject*
GetObject(AtkHyperlink* link, gint anchor)
{
	return anchor == 0 ? Link(link)->owner : nullptr;
}

gint
GetStartIndex(AtkHyperlink* link)
{
	int32 start = -1;
	GetLink(link, &start, nullptr, nullptr);
	return start;
}

gint
GetEndIndex(AtkHyperlink* link)
{
	int32 end = -1;
	GetLink(link, nullptr, &end, nullptr);
	return end;
}

gboolean
IsValid(AtkHyperlink* link)
{
	return GetLink(link, nullptr, nullptr, nullptr);
}

gint
GetAnchorCount(AtkHyperlink* link)
{
	return IsValid(link) ? 1 : 0;
}

void
Dispose(GObject* object)
{
	KamboAtkHyperlink* self = Link(object);
	if (self->owner != nullptr) {
		g_object_remove_weak_pointer(G_OBJECT(self->owner),
			reinterpret_cast<gpointer*>(&self->owner));
		self->owner = nullptr;
	}
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
	G_OBJECT_CLASS(klass)->dispose = Dispose;
}

void
kambo_atk_hyperlink_init(KamboAtkHyperlink* self)
{
	self->owner = nullptr;
	self->index = -1;
}

gboolean
DoLinkAction(AtkAction* action, gint index)
{
	AccessibleText* text = KamboAtk::TextOf(Link(action)->owner);
	return index == 0 && text != nullptr && text->ActivateLink(Link(action)->index);
}

gint
GetLinkActionCount(AtkAction* action)
{
	return IsValid(ATK_HYPERLINK(action)) ? 1 : 0;
}

const gchar*
GetLinkActionName(AtkAction* /*action*/, gint index)
{
	return index == 0 ? "activate" : nullptr;
}

const gchar*
GetLinkActionDescription(AtkAction* /*action*/, gint index)
{
	return index == 0 ? "Öffnet die Adresse im Browser" : nullptr;
}

void
InitLinkAction(AtkActionIface* iface)
{
	iface->do_action = DoLinkAction;
	iface->get_n_actions = GetLinkActionCount;
	iface->get_name = GetLinkActionName;
	iface->get_localized_name = GetLinkActionName;
	iface->get_description = GetLinkActionDescription;
}

gint
GetLinkCount(AtkHypertext* hypertext)
{
	AccessibleText* text = KamboAtk::TextOf(hypertext);
	return text != nullptr ? text->CountLinks() : 0;
}

AtkHyperlink*
GetLinkAt(AtkHypertext* hypertext, gint index)
{
	if (index < 0 || index >= GetLinkCount(hypertext))
		return nullptr;
	// The text object keeps its links, so that a client asking twice gets the same one.
	gchar* key = g_strdup_printf("kambo-link-%d", index);
	auto* link = static_cast<KamboAtkHyperlink*>(g_object_get_data(G_OBJECT(hypertext), key));
	if (link == nullptr) {
		link = static_cast<KamboAtkHyperlink*>(g_object_new(kambo_atk_hyperlink_get_type(),
			nullptr));
		link->owner = ATK_OBJECT(hypertext);
		link->index = index;
		g_object_add_weak_pointer(G_OBJECT(hypertext),
			reinterpret_cast<gpointer*>(&link->owner));
		g_object_set_data_full(G_OBJECT(hypertext), key, link, g_object_unref);
	}
	g_free(key);
	return ATK_HYPERLINK(link);
}

gint
GetLinkIndex(AtkHypertext* hypertext, gint characterOffset)
{
	AccessibleText* text = KamboAtk::TextOf(hypertext);
	int32 count = text != nullptr ? text->CountLinks() : 0;
	for (int32 i = 0; i < count; i++) {
		int32 start;
		int32 end;
		std::string address;
		if (text->GetLink(i, &start, &end, &address) && characterOffset >= start
			&& characterOffset < end)
			return i;
	}
	return -1;
}

} // namespace

namespace KamboAtk {

void
InitHypertext(AtkHypertextIface* iface)
{
	iface->get_link = GetLinkAt;
	iface->get_n_links = GetLinkCount;
	iface->get_link_index = GetLinkIndex;
}

} // namespace KamboAtk
