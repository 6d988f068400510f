// TMainView's mouse handling and menus. Menus are built afresh from the current state on
// every click, shown once and deleted; their items only send the view's commands.
#include "TMainView.h"

#include <memory>

#include "AccessibleNames.h"
#include "AppDefs.h"
#include "CurrencyTable.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Messages.h"
#include "PopUpMenu.h"
#include "Screen.h"

namespace {

const char* const kMenuTitle = "Menu";

// Why "immer sichtbar" cannot be chosen, for a screen reader: an X11 window manager without
// the state, or a desktop that keeps stacking to itself (Wayland, where windows cannot be
// placed either) and offers it in its own window menu.
const char* const kInFrontUnavailable = "Der Fenstermanager kann Fenster nicht "
										"\xC3\xBC"
										"ber anderen halten";
const char* const kInFrontByTheDesktop = "Das Fenstermen\xC3\xBC"
										 " des Desktops bietet es an";

// Bands of the view by a click's y: the source row lies above the euro line, the target
// row below it.
constexpr float kSourceBandEnd = 46;
constexpr float kTargetBandStart = 67;

enum EntryKind {
	kSourceList,
	kTargetList,
	kRoundingList,
	kCommand,
	kSeparator,
};

struct ContextEntry {
	EntryKind kind;
	const char* label;
	uint32 command;
	char shortcut;
};

// The context menu, top to bottom. The submenus take their titles from the captions.
const ContextEntry kContextMenu[] = {
	{kSourceList, nullptr, 0, 0},
	{kTargetList, nullptr, 0, 0},
	{kCommand, "W\xC3\xA4hrungen tauschen", kMsgSwap, 0},
	{kRoundingList, "Rundung", 0, 0},
	{kSeparator, nullptr, 0, 0},
	{kCommand, "immer sichtbar", kMsgToggleInFront, 0},
	{kCommand, "ohne Titel", kMsgToggleTabless, 0},
	{kSeparator, nullptr, 0, 0},
	{kCommand, "Information\xE2\x80\xA6", kMsgShowRates, 0},
	{kCommand,
		"\xC3\xBC"
		"ber\xE2\x80\xA6",
		B_ABOUT_REQUESTED, 0},
	{kCommand, "beenden", B_QUIT_REQUESTED, 'Q'},
};

const struct {
	const char* label;
	int32 rounding;
	// Rounding the euro only makes sense between two national currencies.
	bool needsNationalPair;
} kRoundingChoices[] = {
	{"3 Stellen runden", kRoundThree, true},
	{"4 Stellen runden", kRoundFour, true},
	{"nicht runden", kRoundNone, false},
};

BPopUpMenu*
NewPopUpMenu()
{
	return new BPopUpMenu(kMenuTitle, false, false, B_ITEMS_IN_COLUMN);
}

} // namespace

void
TMainView::MouseDown(BPoint where)
{
	// A click on the background takes the keyboard focus from the amount field.
	MakeFocus(true);

	BPoint ignored;
	uint32 buttons = 0;
	GetMouse(&ignored, &buttons, true);

	// Independent tests: with both buttons the context menu comes first, then the primary
	// action for the same point.
	if ((buttons & B_SECONDARY_MOUSE_BUTTON) != 0)
		_Show(_BuildContextMenu(), where);

	if ((buttons & B_PRIMARY_MOUSE_BUTTON) != 0) {
		if (fSwapArea.Contains(where))
			Tausch();
		else
			_Show(_BuildBandMenu(where), where);
	}
}

BPopUpMenu*
TMainView::_BuildBandMenu(BPoint where)
{
	BPopUpMenu* menu = NewPopUpMenu();
	// Each band's list is one choice of several, and a reader should say so.
	menu->SetRadioMode(true);
	if (where.y < kSourceBandEnd) {
		AddWhgMenu(menu, fSourceIndex, kMsgSourceCurrency);
		menu->SetAccessibleName(Whgtyp[0]);
	} else if (where.y > kTargetBandStart) {
		AddWhgMenu(menu, fTargetIndex, kMsgTargetCurrency);
		menu->SetAccessibleName(Whgtyp[1]);
	} else {
		AddEurMenu(menu);
		menu->SetAccessibleName(kRoundingMenuName);
	}
	return menu;
}

BRect
TMainView::_BandFrame(int32 band) const
{
	BRect bounds = Bounds();
	switch (band) {
		case 0:
			return BRect(bounds.left, bounds.top, bounds.right, kSourceBandEnd - 1);
		case 1:
			return BRect(bounds.left, kSourceBandEnd, bounds.right, kTargetBandStart);
		default:
			return BRect(bounds.left, kTargetBandStart + 1, bounds.right, bounds.bottom);
	}
}

const char*
TMainView::_RoundingLabel(int32 rounding)
{
	for (const auto& choice : kRoundingChoices) {
		if (choice.rounding == rounding)
			return choice.label;
	}
	return "";
}

BPopUpMenu*
TMainView::_BuildContextMenu()
{
	BPopUpMenu* menu = NewPopUpMenu();
	menu->SetAccessibleName(kContextMenuName);
	for (const ContextEntry& entry : kContextMenu) {
		switch (entry.kind) {
			case kSourceList:
			case kTargetList:
			{
				bool source = entry.kind == kSourceList;
				BMenu* list = new BMenu(Whgtyp[source ? 0 : 1], B_ITEMS_IN_COLUMN);
				list->SetRadioMode(true);
				AddWhgMenu(list, source ? fSourceIndex : fTargetIndex,
					source ? kMsgSourceCurrency : kMsgTargetCurrency);
				menu->AddItem(list);
				break;
			}
			case kRoundingList:
			{
				BMenu* list = new BMenu(entry.label, B_ITEMS_IN_COLUMN);
				list->SetRadioMode(true);
				AddEurMenu(list);
				menu->AddItem(list);
				break;
			}
			case kSeparator:
				menu->AddSeparatorItem();
				break;
			case kCommand:
			{
				BMenuItem* item = new BMenuItem(entry.label, new BMessage(entry.command),
					entry.shortcut, 0);
				// The tick says what the window does: only 1 turns an option on, and
				// a window manager that cannot keep windows above offers nothing.
				if (entry.command == kMsgToggleInFront) {
					const bool possible = BScreen(Window()).CanKeepWindowsOnTop();
					item->SetCheckable(true);
					item->SetMarked(possible && fInFront == 1);
					item->SetEnabled(possible);
					if (!possible) {
						item->SetAccessibleDescription(BScreen(Window()).CanPlaceWindows()
								? kInFrontUnavailable
								: kInFrontByTheDesktop);
					}
				} else if (entry.command == kMsgToggleTabless) {
					// A compositor may keep a title bar or give none.
					item->SetCheckable(true);
					item->SetMarked(_ShowsTabless());
				}
				item->SetTarget(this);
				menu->AddItem(item);
				break;
			}
		}
	}
	return menu;
}

void
TMainView::AddWhgMenu(BMenu* menu, int32 marked, uint32 command)
{
	for (int32 index = 0; index < kCurrencyCount; index++) {
		// The later currencies stand apart, so the long-known list reads as it always did.
		if (index == kFirstLaterCurrency)
			menu->AddSeparatorItem();
		BMessage* message = new BMessage(command);
		message->AddInt32("whg", index);
		BMenuItem* item = new BMenuItem(Land[index], message, 0, 0);
		if (index == marked)
			item->SetMarked(true);
		item->SetTarget(this);
		menu->AddItem(item);
	}
}

void
TMainView::AddEurMenu(BMenu* menu)
{
	bool nationalPair = fSourceIndex != kEuroIndex && fTargetIndex != kEuroIndex;
	for (const auto& choice : kRoundingChoices) {
		BMessage* message = new BMessage(kMsgRounding);
		message->AddInt32("runden", choice.rounding);
		BMenuItem* item = new BMenuItem(choice.label, message, 0, 0);
		item->SetMarked(fRounding == choice.rounding);
		item->SetEnabled(!choice.needsNationalPair || nationalPair);
		item->SetTarget(this);
		menu->AddItem(item);
	}
}

void
TMainView::_ContextMenuFromKeyboard(BMessage* message)
{
	BPoint where;
	if (message->FindPoint("screen_where", &where) != B_OK)
		where = ConvertToScreen(BPoint(Bounds().Width() / 2, Bounds().Height() / 2));
	// The focus stays where it is: unlike a click, the key does not land on the background.
	_Show(_BuildContextMenu(), ConvertFromScreen(where));
}

void
TMainView::_Show(BPopUpMenu* menu, BPoint where)
{
	std::unique_ptr<BPopUpMenu> owned(menu);
	owned->SetTargetForItems(this);
	BPoint screenWhere = where;
	ConvertToScreen(&screenWhere);
	// Synchronous: the chosen item's message is queued for this view and handled after
	// MouseDown has returned, so the state never changes while a menu is up.
	owned->Go(screenWhere, true);
}
