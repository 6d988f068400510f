// What the kit's roles, states and live regions are in ATK's terms. Pure tables: no objects,
// no signals, so the tests can check every entry.
#pragma once

#include <atk/atk.h>

#include "AccessibleDefs.h"

namespace KamboAtk {

// An editable single-line text is an entry; other texts are plain text.
AtkRole RoleFor(accessible_role role, uint64 states);
// Adds the ATK states of the kit's B_STATE_* bits to the set.
void AddStates(uint64 states, AtkStateSet* set);
// The ATK states one B_STATE_* bit stands for (up to two; ATK_STATE_INVALID ends the list),
// for state-change events.
void StatesForBit(uint64 bit, AtkStateType out[2]);
// The object attributes of a node with these states (the live-region ones); the caller frees
// the list with atk_attribute_set_free.
AtkAttributeSet* AttributesFor(uint64 states);

} // namespace KamboAtk
