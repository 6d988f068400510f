// The process-wide ATK answers a toolkit gives through AtkUtil: the application's root object
// and the toolkit's name and version. ATK keeps one AtkUtil class per process, so these
// overrides stay in place until the process ends; without a root they answer nothing.
#pragma once

#include <atk/atk.h>

namespace BPrivate {
class AccessibleNode;
}

namespace KamboAtk {

// The toolkit's name on the bus, as AT-SPI clients see it.
extern const char* const kToolkitName;

// Points ATK at the tree (nullptr: no tree) and installs the overrides on first use.
void SetRoot(BPrivate::AccessibleNode* root, const char* version);

} // namespace KamboAtk
