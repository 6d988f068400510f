#include "AtkRoleMap.h"

#include <iterator>

namespace KamboAtk {

namespace {

struct RoleEntry {
	accessible_role role;
	AtkRole atkRole;
};

const RoleEntry kRoles[] = {
	{B_ROLE_UNKNOWN, ATK_ROLE_UNKNOWN},
	{B_ROLE_APPLICATION, ATK_ROLE_APPLICATION},
	{B_ROLE_FRAME, ATK_ROLE_FRAME},
	{B_ROLE_DIALOG, ATK_ROLE_DIALOG},
	{B_ROLE_WINDOW, ATK_ROLE_WINDOW},
	{B_ROLE_PANEL, ATK_ROLE_PANEL},
	{B_ROLE_PUSH_BUTTON, ATK_ROLE_PUSH_BUTTON},
	{B_ROLE_TEXT, ATK_ROLE_TEXT},
	{B_ROLE_LABEL, ATK_ROLE_LABEL},
	{B_ROLE_IMAGE, ATK_ROLE_IMAGE},
	// Screen readers treat a pop-up's menu as ATK_ROLE_MENU inside a window, as GTK shows it.
	{B_ROLE_MENU, ATK_ROLE_MENU},
	{B_ROLE_MENU_ITEM, ATK_ROLE_MENU_ITEM},
	{B_ROLE_CHECK_MENU_ITEM, ATK_ROLE_CHECK_MENU_ITEM},
	{B_ROLE_RADIO_MENU_ITEM, ATK_ROLE_RADIO_MENU_ITEM},
	{B_ROLE_SEPARATOR, ATK_ROLE_SEPARATOR},
	{B_ROLE_LINK, ATK_ROLE_LINK},
};

struct StateEntry {
	uint64 bit;
	AtkStateType first;
	AtkStateType second;
};

// ATK splits "enabled" in two: clients check SENSITIVE for greyed-out controls.
const StateEntry kStates[] = {
	{B_STATE_ENABLED, ATK_STATE_ENABLED, ATK_STATE_SENSITIVE},
	{B_STATE_FOCUSABLE, ATK_STATE_FOCUSABLE, ATK_STATE_INVALID},
	{B_STATE_FOCUSED, ATK_STATE_FOCUSED, ATK_STATE_INVALID},
	{B_STATE_VISIBLE, ATK_STATE_VISIBLE, ATK_STATE_INVALID},
	{B_STATE_SHOWING, ATK_STATE_SHOWING, ATK_STATE_INVALID},
	{B_STATE_ACTIVE, ATK_STATE_ACTIVE, ATK_STATE_INVALID},
	{B_STATE_MODAL, ATK_STATE_MODAL, ATK_STATE_INVALID},
	{B_STATE_EDITABLE, ATK_STATE_EDITABLE, ATK_STATE_INVALID},
	{B_STATE_READ_ONLY, ATK_STATE_READ_ONLY, ATK_STATE_INVALID},
	{B_STATE_SELECTABLE_TEXT, ATK_STATE_SELECTABLE_TEXT, ATK_STATE_INVALID},
	{B_STATE_SINGLE_LINE, ATK_STATE_SINGLE_LINE, ATK_STATE_INVALID},
	{B_STATE_MULTI_LINE, ATK_STATE_MULTI_LINE, ATK_STATE_INVALID},
	{B_STATE_CHECKABLE, ATK_STATE_CHECKABLE, ATK_STATE_INVALID},
	{B_STATE_CHECKED, ATK_STATE_CHECKED, ATK_STATE_INVALID},
	{B_STATE_SELECTABLE, ATK_STATE_SELECTABLE, ATK_STATE_INVALID},
	{B_STATE_SELECTED, ATK_STATE_SELECTED, ATK_STATE_INVALID},
	{B_STATE_DEFAULT, ATK_STATE_DEFAULT, ATK_STATE_INVALID},
	{B_STATE_HAS_POPUP, ATK_STATE_HAS_POPUP, ATK_STATE_INVALID},
	{B_STATE_PRESSED, ATK_STATE_PRESSED, ATK_STATE_INVALID},
};

// A live region as screen readers read it from web content: the politeness on the object and
// on its container (the object is its own container), and the whole text spoken on a change,
// since a result that changed in one digit means nothing read alone.
const struct {
	const char* name;
	const char* value;
} kLiveAttributes[] = {
	{"live", "polite"},
	{"container-live", "polite"},
	{"atomic", "true"},
	{"container-atomic", "true"},
	{"relevant", "additions text"},
	{"container-relevant", "additions text"},
};

AtkAttributeSet*
AddAttribute(AtkAttributeSet* set, const char* name, const char* value)
{
	AtkAttribute* attribute = g_new(AtkAttribute, 1);
	attribute->name = g_strdup(name);
	attribute->value = g_strdup(value);
	return g_slist_append(set, attribute);
}

} // namespace

AtkRole
RoleFor(accessible_role role, uint64 states)
{
	if (role == B_ROLE_TEXT && (states & B_STATE_EDITABLE) != 0
		&& (states & B_STATE_MULTI_LINE) == 0)
		return ATK_ROLE_ENTRY;
	for (const RoleEntry& entry : kRoles) {
		if (entry.role == role)
			return entry.atkRole;
	}
	return ATK_ROLE_UNKNOWN;
}

void
AddStates(uint64 states, AtkStateSet* set)
{
	for (const StateEntry& entry : kStates) {
		if ((states & entry.bit) == 0)
			continue;
		atk_state_set_add_state(set, entry.first);
		if (entry.second != ATK_STATE_INVALID)
			atk_state_set_add_state(set, entry.second);
	}
}

void
StatesForBit(uint64 bit, AtkStateType out[2])
{
	out[0] = out[1] = ATK_STATE_INVALID;
	for (const StateEntry& entry : kStates) {
		if (entry.bit == bit) {
			out[0] = entry.first;
			out[1] = entry.second;
			return;
		}
	}
}

AtkAttributeSet*
AttributesFor(uint64 states)
{
	AtkAttributeSet* set = nullptr;
	if ((states & B_STATE_LIVE) != 0) {
		for (const auto& attribute : kLiveAttributes)
			set = AddAttribute(set, attribute.name, attribute.value);
	}
	return set;
}

} // namespace KamboAtk
