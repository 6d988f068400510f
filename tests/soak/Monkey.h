// A random but valid user of the converter program on the headless backend. One Step is one
// user action on the main window (a key, a typed text, a paste, a click, a window move, a
// quit) followed by whatever it opened: pop-up menus and the rates alert are answered from
// the nested loop's idle hook, a calculator pad or about window gets a session of its own
// that ends by closing it. A program that ends is started again and must come back as it
// was saved. After every drained queue the program is checked; the first fault stops the
// monkey and is kept, with the actions that led to it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "Census.h"
#include "Dice.h"
#include "Rect.h"

class BAlert;
class BMenu;
class BWindow;
class CalcWnd;
class TAboutWindow;
class TApp;
class TMainView;
class TMainWindow;

namespace BPrivate {
class HeadlessBackend;
}

// What a user sees of the converter and what the settings keep.
struct ConverterState {
	int32 source = -1;
	int32 target = -1;
	int32 rounding = -1;
	int32 inFront = -1;
	int32 tabless = -1;
	BPoint position;
	std::string amount;
	std::string euroLine;
	std::string targetText;
};

struct MonkeyStats {
	int64_t steps = 0;
	int64_t drains = 0;
	int64_t menus = 0;
	int64_t menuChoices = 0;
	int64_t alerts = 0;
	int64_t pads = 0;
	int64_t abouts = 0;
	int64_t restarts = 0;
	int64_t pastes = 0;
	int64_t euroRoundings = 0; // rounding switched on next to the euro by a both-button click
	size_t longestAmount = 0;
};

class Monkey {
public:
	Monkey(uint64_t seed, BPrivate::HeadlessBackend* backend);
	~Monkey();

	// Starts the program; false (and Failure set) when it did not come up.
	bool Start();
	// One user action and the sessions it opened; false once a check has failed.
	bool Step();
	// Ends the program as a user would and checks that nothing of it is left.
	bool Finish();

	const std::string& Failure() const { return fFailure; }
	// The latest actions, oldest first, one a line.
	std::string Trace() const;
	const MonkeyStats& Stats() const { return fStats; }

private:
	enum Buttons : uint32 { kPrimary = 1, kSecondary = 2, kBoth = 3 };

	// Actions on the main window.
	void _Key();
	void _TypeText();
	void _Paste();
	void _Shortcut();
	void _Click();
	void _DragInField();
	void _MoveWindow();
	void _Quit();
	void _ChooseFromContextMenu(const char* label);

	// After an action: sessions for what it opened, restart when the program ended, checks.
	void _Settle();
	void _PadSession(CalcWnd* pad, bool hurry);
	void _AboutSession(TAboutWindow* about, bool hurry);
	void _Restart();

	// The idle hook of nested loops: answers the open menu or alert.
	void _OnIdle();
	void _MenuAction(BMenu* menu);
	void _AlertAction(BAlert* alert);

	void _Drain();
	void _ClickMain(BPoint where, uint32 buttons, int32 clicks = 1);
	bool _MainAlive() const;
	bool _ProgramEnded() const;
	TMainView* _View() const;
	uint32 _MainId() const;
	ConverterState _Capture() const;

	// Checks; each records the first fault and returns whether all is well.
	bool _Check(const char* when);
	bool _CheckSettled();
	bool _CheckRestarted(const ConverterState& saved);
	void _Fail(const std::string& what);
	void _Note(const std::string& action);

	Dice fDice;
	BPrivate::HeadlessBackend* fBackend;
	std::unique_ptr<TApp> fApp;
	TMainWindow* fMain = nullptr;
	HandlerCensus fCensus;
	int32 fOthersAlone = 0;   // plain handlers alive without the program
	int32 fOthersRunning = 0; // and while it runs

	ConverterState fLast; // at the last check
	// Both-button clicks show the band menu built before the context menu's choice is handled,
	// so they can switch rounding on next to a newly chosen euro. Such a state then lasts.
	bool fBothButtonsClicked = false;
	bool fEuroRounding = false;

	const char* fWantedItem = nullptr; // a menu label the idle hook chooses when it sees it
	uint32 fLastMenuId = 0;            // the window of the last menu counted
	int32 fIdleCalls = 0;              // in the current step, to bound an unlucky menu or alert

	std::deque<std::string> fTrace;
	std::string fFailure;
	MonkeyStats fStats;
};
