// AtkHypertext: the web addresses inside a text (the about window's), as AtkLinks makes them.
#include <string>

#include "AccessibleNode.h"
#include "AtkLinks.h"
#include "AtkNodeObject.h"

namespace {

gint
GetLinkCount(AtkHypertext* hypertext)
{
	return KamboAtk::CountLinks(ATK_OBJECT(hypertext));
}

AtkHyperlink*
GetLink(AtkHypertext* hypertext, gint index)
{
	return KamboAtk::HyperlinkAt(ATK_OBJECT(hypertext), index);
}

gint
GetLinkIndex(AtkHypertext* hypertext, gint characterOffset)
{
	BPrivate::AccessibleText* text = KamboAtk::TextOf(hypertext);
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
	iface->get_link = GetLink;
	iface->get_n_links = GetLinkCount;
	iface->get_link_index = GetLinkIndex;
}

} // namespace KamboAtk
