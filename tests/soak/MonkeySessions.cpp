// The monkey's sessions in the windows an action opened (calculator pad, about window), the
// restart after the program ended, and its answers to menus and alerts in nested loops.
#include "LooperPrivate.h"
#include "Monkey.h"

#include "Alert.h"
#include "Application.h"
#include "Button.h"
#include "CalcButtons.h"
#include "CalcWnd.h"
#include "HeadlessBackend.h"
#include "InterfaceDefs.h"
#include "Looper.h"
#include "Menu.h"
#include "MenuItem.h"
#include "MonkeyInput.h"
#include "MonkeyWindows.h"
#include "PopUpMenu.h"
#include "TAboutWindow.h"
#include "TApp.h"

using BPrivate::HeadlessBackend;
using namespace monkey;

namespace {

// Idle calls within one step after which an open menu is closed and an alert answered.
constexpr int32 kPatience = 40;
// Session rounds after which a pad or about window is closed at once.
constexpr int32 kHurryRound = 6;
constexpr int32 kMaxRounds = 12;

} // namespace

// #pragma mark - sessions

void
Monkey::_Settle()
{
	for (int32 round = 0; fFailure.empty(); round++) {
		if (_ProgramEnded()) {
			_Restart();
			return;
		}
		if (!_Check("after the action"))
			return;
		TAboutWindow* about = FindWindow<TAboutWindow>();
		CalcWnd* pad = FindWindow<CalcWnd>();
		if (about == nullptr && pad == nullptr)
			break;
		if (round >= kMaxRounds) {
			_Fail("the pad or about window does not close");
			return;
		}
		if (about != nullptr)
			_AboutSession(about, round >= kHurryRound);
		else
			_PadSession(pad, round >= kHurryRound);
	}
	_CheckSettled();
}

void
Monkey::_PadSession(CalcWnd* pad, bool hurry)
{
	fStats.pads++;
	uint32 id = HeadlessBackend::IdOf(pad);
	int32 actions = hurry ? 0 : fDice.Between(0, 25);
	for (int32 i = 0; i < actions && fFailure.empty(); i++) {
		if (OpenId<CalcWnd>() != id || _ProgramEnded())
			return;
		if (fDice.Percent(70)) {
			const KeyPress& key = fDice.Weighted(kPadKeys);
			_Note(std::string("pad key ") + key.name);
			if (fDice.Percent(5)) {
				fBackend->InjectKeyDown(id, key.bytes);
				fBackend->InjectKeyDown(id, key.bytes, 0, true);
				fBackend->InjectKeyUp(id, key.bytes);
			} else
				fBackend->InjectKey(id, key.bytes);
		} else if (fDice.Percent(85)) {
			const CalcButton& button = fDice.Pick(kCalcButtons);
			BPoint where = RandomPoint(fDice,
				BRect(button.left, button.top, button.right, button.bottom));
			_Note(std::string("pad click on ") + button.label + " at " + PointText(where));
			fBackend->InjectClick(id, where);
		} else {
			BPoint where = RandomPoint(fDice, pad->Bounds());
			_Note("pad click at " + PointText(where));
			fBackend->InjectClick(id, where, fDice.Percent(80) ? kPrimary : kSecondary);
		}
		_Drain();
		if (!_ProgramEnded() && !_Check("in a pad session"))
			return;
	}
	if (OpenId<CalcWnd>() != id || _ProgramEnded())
		return;

	int32 roll = hurry ? 0 : fDice.Below(100);
	if (roll < 35) {
		_Note("pad key =");
		fBackend->InjectKey(id, "=");
	} else if (roll < 50) {
		const CalcButton& equals = kCalcButtons[kCalcEquals];
		BPoint where((equals.left + equals.right) / 2.0f, (equals.top + equals.bottom) / 2.0f);
		_Note("pad click on = at " + PointText(where));
		fBackend->InjectClick(id, where);
	} else if (roll < 70) {
		_Note("activate the main window");
		fBackend->ActivateWindow(_MainId());
	} else if (roll < 95) {
		const ClickRegion& region = fDice.Weighted(kMainRegions);
		BPoint where = RandomPoint(fDice, region.area);
		uint32 buttons = fDice.Percent(75) ? kPrimary : fDice.Percent(70) ? kSecondary : kBoth;
		_Note(std::string(ButtonName(buttons)) + " click on " + region.name + " at "
			+ PointText(where) + " closes the pad");
		_ClickMain(where, buttons);
	} else {
		_Note("ctrl+w on the pad");
		fBackend->InjectKey(id, "w", B_CONTROL_KEY);
	}
	_Drain();
	if (!_ProgramEnded() && OpenId<CalcWnd>() == id)
		_Fail("the pad stayed open after its session ended");
}

void
Monkey::_AboutSession(TAboutWindow* about, bool hurry)
{
	fStats.abouts++;
	uint32 id = HeadlessBackend::IdOf(about);
	// The about window is modal: nothing done to the main window meanwhile may reach it.
	ConverterState before = _Capture();
	int32 actions = hurry ? 0 : fDice.Between(0, 8);
	for (int32 i = 0; i < actions && fFailure.empty(); i++) {
		if (OpenId<TAboutWindow>() != id)
			break;
		int32 roll = fDice.Below(100);
		if (roll < 45) {
			BPoint where = RandomPoint(fDice, about->Bounds());
			_Note("about click at " + PointText(where));
			fBackend->InjectClick(id, where, fDice.Percent(80) ? kPrimary : kSecondary);
		} else if (roll < 60) {
			BPoint where = RandomPoint(fDice, kMainArea);
			uint32 buttons = fDice.Percent(50) ? kPrimary : kSecondary;
			_Note(std::string(ButtonName(buttons)) + " click on the main window at "
				+ PointText(where) + " while the about window is open");
			fBackend->InjectClick(_MainId(), where, buttons);
		} else if (roll < 70) {
			const KeyPress& key = fDice.Weighted(kMainKeys);
			_Note(std::string("key ") + key.name + " to the main window while about is open");
			fBackend->InjectKey(_MainId(), key.bytes);
		} else if (roll < 90) {
			static const char* const kKeys[] = {"\t", " ", "x", "\x1b", "\x1c", "\x1f", "c"};
			const char* key = fDice.Pick(kKeys);
			_Note("about key " + Printable(key));
			fBackend->InjectKey(id, key, fDice.Percent(20) ? B_CONTROL_KEY : 0);
		} else {
			_Note("about: click OK");
			fBackend->InjectClick(id, BPoint(155, 180));
		}
		_Drain();
		if (_ProgramEnded())
			return;
	}
	if (OpenId<TAboutWindow>() == id) {
		_Note("about key Enter");
		fBackend->InjectKey(id, "\n");
		_Drain();
		if (OpenId<TAboutWindow>() == id)
			_Fail("Enter did not close the about window");
	}
	if (_ProgramEnded() || !fFailure.empty())
		return;
	ConverterState after = _Capture();
	if (after.amount != before.amount || after.source != before.source
		|| after.target != before.target || after.rounding != before.rounding
		|| after.inFront != before.inFront || after.tabless != before.tabless)
		_Fail("the main window changed while the modal about window was open");
}

void
Monkey::_Restart()
{
	fStats.restarts++;
	// What the program saves when it is deleted: the state now, or, when the window already
	// went (it saves as it goes), the state of the last check.
	ConverterState saved = _MainAlive() ? _Capture() : fLast;
	_Note("the program ended; start it again");
	fApp.reset();
	fMain = nullptr;
	_Drain();
	if (!BPrivate::LooperAccess::All().empty()) {
		_Fail("loopers outlived the program");
		return;
	}
	Census census = fCensus.Take();
	if (!census.windows.empty() || !census.views.empty() || census.others != fOthersAlone) {
		_Fail("objects outlived the program: " + std::to_string(census.windows.size())
			+ " windows, " + std::to_string(census.views.size()) + " views, "
			+ std::to_string(census.others - fOthersAlone) + " other handlers");
		return;
	}
	if (Start())
		_CheckRestarted(saved);
}

// #pragma mark - nested loops

void
Monkey::_OnIdle()
{
	fIdleCalls++;
	if (BMenu* menu = BPrivate::TrackedMenu()) {
		_MenuAction(menu);
		return;
	}
	if (BAlert* alert = BPrivate::CurrentAlert()) {
		_AlertAction(alert);
		return;
	}
	_Fail("a nested loop waits with neither a menu nor an alert open");
}

void
Monkey::_MenuAction(BMenu* menu)
{
	BWindow* window = menu->Window();
	uint32 id = window != nullptr ? HeadlessBackend::IdOf(window) : 0;
	if (menu->Supermenu() == nullptr && id != fLastMenuId) {
		fStats.menus++;
		fLastMenuId = id;
	}
	int32 count = menu->CountItems();

	if (fWantedItem != nullptr) {
		for (int32 i = 0; i < count; i++) {
			BMenuItem* item = menu->ItemAt(i);
			if (std::string(item->Label()) == fWantedItem) {
				fWantedItem = nullptr;
				BPrivate::ChooseTrackedItem(item);
				fStats.menuChoices++;
				return;
			}
		}
		_Fail(std::string("the context menu has no item ") + fWantedItem);
		fWantedItem = nullptr;
		BPrivate::CloseTrackedMenu();
		return;
	}
	if (fIdleCalls > kPatience) {
		_Note("menu: close (impatient)");
		BPrivate::CloseTrackedMenu();
		return;
	}

	int32 roll = fDice.Below(100);
	if (roll < 60 || id == 0) {
		// Any item: disabled ones and separators choose nothing and leave the menu open.
		BMenuItem* item = count > 0 ? menu->ItemAt(fDice.Below(count)) : nullptr;
		// Quitting restarts the program; rarer, so that one run of it sees many events.
		if (item != nullptr && std::string(item->Label()) == "beenden" && fDice.Percent(75))
			item = menu->ItemAt(fDice.Below(count));
		if (item == nullptr) {
			BPrivate::CloseTrackedMenu();
			return;
		}
		_Note(std::string("menu: choose ")
			+ (item->IsSeparator() ? std::string("a separator") : Printable(item->Label())));
		if (BPrivate::ChooseTrackedItem(item))
			fStats.menuChoices++;
	} else if (roll < 70) {
		_Note("menu: close");
		BPrivate::CloseTrackedMenu();
	} else if (roll < 90) {
		const KeyPress& key = fDice.Pick(kMenuKeys);
		_Note(std::string("menu: key ") + key.name);
		fBackend->InjectKey(id, key.bytes);
	} else {
		BRect area = window->Bounds();
		area.InsetBy(-4, -4);
		BPoint where = RandomPoint(fDice, area);
		_Note("menu: click at " + PointText(where));
		fBackend->InjectClick(id, where);
	}
}

void
Monkey::_AlertAction(BAlert* alert)
{
	uint32 id = HeadlessBackend::IdOf(alert);
	int32 roll = fIdleCalls > kPatience ? 0 : fDice.Below(100);
	if (roll < 50) {
		_Note("alert: Enter");
		fBackend->InjectKey(id, "\n");
		fStats.alerts++;
	} else if (roll < 70 && alert->CountButtons() > 0) {
		_Note("alert: click OK");
		fBackend->InjectClick(id, Center(alert->ButtonAt(0)));
		fStats.alerts++;
	} else if (roll < 85) {
		BPoint where = RandomPoint(fDice, alert->Bounds());
		_Note("alert: click at " + PointText(where));
		fBackend->InjectClick(id, where);
	} else {
		static const char* const kKeys[] = {"\x1b", "\t", "x", "\x1e", "5"};
		const char* key = fDice.Pick(kKeys);
		_Note("alert: key " + Printable(key));
		fBackend->InjectKey(id, key);
	}
}
