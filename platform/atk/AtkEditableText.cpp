// AtkEditableText: editing through the widget's own way (its filter and undo). A read-only
// text refuses every call; the kit answers false then.
#include "AccessibleNode.h"
#include "AtkNodeObject.h"

#include <string>

using BPrivate::AccessibleText;

namespace {

void
SetTextContents(AtkEditableText* editable, const gchar* contents)
{
	if (AccessibleText* text = KamboAtk::TextOf(editable))
		text->SetContents(contents != nullptr ? contents : "");
}

void
InsertText(AtkEditableText* editable, const gchar* string, gint length, gint* position)
{
	AccessibleText* text = KamboAtk::TextOf(editable);
	if (text == nullptr || string == nullptr || position == nullptr)
		return;
	// length counts bytes; -1 means up to the terminating zero.
	std::string inserted = length < 0 ? std::string(string) : std::string(string, length);
	int32 before = text->CountCharacters();
	if (text->InsertText(*position, inserted))
		*position += text->CountCharacters() - before;
}

void
CopyText(AtkEditableText* editable, gint start, gint end)
{
	if (AccessibleText* text = KamboAtk::TextOf(editable))
		text->CopyText(start, end);
}

void
CutText(AtkEditableText* editable, gint start, gint end)
{
	if (AccessibleText* text = KamboAtk::TextOf(editable))
		text->CutText(start, end);
}

void
DeleteText(AtkEditableText* editable, gint start, gint end)
{
	if (AccessibleText* text = KamboAtk::TextOf(editable))
		text->DeleteText(start, end);
}

void
PasteText(AtkEditableText* editable, gint position)
{
	if (AccessibleText* text = KamboAtk::TextOf(editable))
		text->PasteText(position);
}

} // namespace

namespace KamboAtk {

void
InitEditableText(AtkEditableTextIface* iface)
{
	iface->set_text_contents = SetTextContents;
	iface->insert_text = InsertText;
	iface->copy_text = CopyText;
	iface->cut_text = CutText;
	iface->delete_text = DeleteText;
	iface->paste_text = PasteText;
}

} // namespace KamboAtk
