// The links inside a text: for each one an AtkHyperlink (the address, the range) and an
// AtkObject of role link (a child of the text after its nodes, with the one action that opens
// it) as clients reach a link's action through the hyperlink's object. Both belong to the text's
// object and hold it weakly; once it is gone they answer nothing.
#pragma once

#include <atk/atk.h>

namespace KamboAtk {

// The text object's link at index (kept by the text's object: do not unref); nullptr when
// there is no such link.
AtkHyperlink* HyperlinkAt(AtkObject* text, int index);
AtkObject* LinkObjectAt(AtkObject* text, int index);
int CountLinks(AtkObject* text);

} // namespace KamboAtk
