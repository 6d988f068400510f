// The monkey's life cycle and its actions on the main window. The sessions of the windows it
// opens and the answers to menus and alerts are in MonkeySessions.cpp, the checks in
// MonkeyChecks.cpp, the tables of keys, texts and places in MonkeyInput.h.
#include "Monkey.h"

#include "AppDefs.h"
#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "InterfaceDefs.h"
#include "Looper.h"
#include "MonkeyInput.h"
#include "MonkeyWindows.h"
#include "TApp.h"
#include "TEdit.h"
#include "TMainView.h"
#include "TMainWindow.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;
using namespace monkey;

namespace {

constexpr size_t kTraceLength = 40;

} // namespace

Monkey::Monkey(uint64_t seed, HeadlessBackend* backend) : fDice(seed), fBackend(backend)
{
	fOthersAlone = fCensus.Take().others;
	EventLoop::SetIdleHook([this] { _OnIdle(); });
}

Monkey::~Monkey()
{
	EventLoop::SetIdleHook(nullptr);
	fApp.reset();
}

bool
Monkey::Start()
{
	fApp = std::make_unique<TApp>();
	fApp->PostMessage(B_READY_TO_RUN, fApp.get());
	_Drain();
	fMain = fApp->MainWindow();
	if (fMain == nullptr) {
		_Fail("the program opened no main window");
		return false;
	}
	Census census = fCensus.Take();
	if (fStats.restarts == 0)
		fOthersRunning = census.others;
	return _Check("at start") && _CheckSettled();
}

bool
Monkey::Step()
{
	if (!fFailure.empty())
		return false;
	fStats.steps++;
	fIdleCalls = 0;

	enum Action {
		kKey,
		kText,
		kPaste,
		kShortcut,
		kClick,
		kDrag,
		kCalculator,
		kAbout,
		kRates,
		kPulse,
		kMove,
		kActivation,
		kQuit
	};
	static const struct {
		int32 weight;
		Action action;
	} kActions[] = {
		{300, kKey},
		{60, kText},
		{60, kPaste},
		{30, kShortcut},
		{330, kClick},
		{15, kDrag},
		{40, kCalculator},
		{20, kAbout},
		{8, kRates},
		{15, kPulse},
		{8, kMove},
		{10, kActivation},
		{4, kQuit},
	};

	switch (fDice.Weighted(kActions).action) {
		case kKey:
			_Key();
			break;
		case kText:
			_TypeText();
			break;
		case kPaste:
			_Paste();
			break;
		case kShortcut:
			_Shortcut();
			break;
		case kClick:
			_Click();
			break;
		case kDrag:
			_DragInField();
			break;
		case kCalculator:
		{
			BPoint where = RandomPoint(fDice, kCalculatorButton);
			_Note("click the calculator button at " + PointText(where));
			_ClickMain(where, kPrimary);
			break;
		}
		case kAbout:
			if (fDice.Percent(50)) {
				BPoint where = RandomPoint(fDice, kAboutButton);
				_Note("click the about button at " + PointText(where));
				_ClickMain(where, kPrimary);
			} else
				_ChooseFromContextMenu("\xC3\xBC"
									   "ber\xE2\x80\xA6");
			break;
		case kRates:
			_ChooseFromContextMenu("Information\xE2\x80\xA6");
			break;
		case kPulse:
			_Note("pulse");
			fMain->PostMessage(B_PULSE, fMain);
			break;
		case kMove:
			_MoveWindow();
			break;
		case kActivation:
			_Note("the main window loses and regains activation");
			fBackend->InjectActivation(_MainId(), false);
			_Drain();
			fBackend->InjectActivation(_MainId(), true);
			break;
		case kQuit:
			_Quit();
			break;
	}
	_Drain();
	_Settle();
	return fFailure.empty();
}

bool
Monkey::Finish()
{
	if (!fFailure.empty() || fApp == nullptr)
		return fFailure.empty();
	_Note("quit at the end");
	fApp->PostMessage(B_QUIT_REQUESTED);
	_Drain();
	if (!fApp->IsQuitting())
		_Fail("the program did not quit when asked");
	fApp.reset();
	fMain = nullptr;
	_Drain();
	Census census = fCensus.Take();
	if (!census.windows.empty() || !census.views.empty() || census.others != fOthersAlone)
		_Fail("objects outlived the program: " + std::to_string(census.windows.size())
			+ " windows, " + std::to_string(census.views.size()) + " views");
	return fFailure.empty();
}

// #pragma mark - actions on the main window

void
Monkey::_Key()
{
	const KeyPress& key = fDice.Weighted(kMainKeys);
	uint32 modifiers = 0;
	if (key.shiftable && fDice.Percent(30))
		modifiers = B_SHIFT_KEY;
	uint32 id = _MainId();
	if (fDice.Percent(8)) {
		// Held down: the platform repeats the key until it is released.
		int32 repeats = fDice.Between(2, 6);
		_Note(std::string("hold key ") + key.name + " for " + std::to_string(repeats));
		fBackend->InjectKeyDown(id, key.bytes, modifiers);
		for (int32 i = 1; i < repeats; i++)
			fBackend->InjectKeyDown(id, key.bytes, modifiers, true);
		fBackend->InjectKeyUp(id, key.bytes, modifiers);
		return;
	}
	_Note(std::string("key ") + key.name + (modifiers != 0 ? " with shift" : ""));
	fBackend->InjectKey(id, key.bytes, modifiers);
}

void
Monkey::_TypeText()
{
	std::string text;
	int32 length = fDice.Between(1, 20);
	for (int32 i = 0; i < length; i++)
		text += fDice.Weighted(kMainKeys).bytes;
	_Note("type " + Printable(text));
	fBackend->InjectText(_MainId(), text.c_str());
}

void
Monkey::_Paste()
{
	fStats.pastes++;
	std::string text = ClipboardText(fDice);
	_Note("paste " + std::to_string(text.size()) + " bytes " + Printable(text.substr(0, 40)));
	fBackend->SetClipboardText(text);
	fBackend->InjectKey(_MainId(), "v", fDice.Percent(80) ? B_CONTROL_KEY : B_COMMAND_KEY);
}

void
Monkey::_Shortcut()
{
	// Quitting shortcuts are left to _Quit.
	static const char* const kLetters[] = {"a", "c", "x", "v", "z", "b", "s", "A", "V"};
	const char* letter = fDice.Pick(kLetters);
	_Note(std::string("ctrl+") + letter);
	fBackend->InjectKey(_MainId(), letter, B_CONTROL_KEY);
}

void
Monkey::_Click()
{
	const ClickRegion& region = fDice.Weighted(kMainRegions);
	BPoint where = RandomPoint(fDice, region.area);
	int32 roll = fDice.Below(100);
	uint32 buttons = roll < 60 ? kPrimary : roll < 88 ? kSecondary : kBoth;
	int32 clicks = fDice.Percent(10) ? 2 : 1;
	_Note(std::string(ButtonName(buttons)) + (clicks == 2 ? " double-click on " : " click on ")
		+ region.name + " at " + PointText(where));
	_ClickMain(where, buttons, clicks);
}

void
Monkey::_DragInField()
{
	BPoint from = RandomPoint(fDice, kSourceFieldArea);
	BPoint to = RandomPoint(fDice, fDice.Percent(70) ? kSourceFieldArea : kMainArea);
	_Note("drag from " + PointText(from) + " to " + PointText(to));
	uint32 id = _MainId();
	fBackend->InjectMouseDown(id, from, kPrimary);
	fBackend->InjectMouseMoved(id, BPoint((from.x + to.x) / 2, (from.y + to.y) / 2), kPrimary);
	fBackend->InjectMouseMoved(id, to, kPrimary);
	fBackend->InjectMouseUp(id, to);
}

void
Monkey::_MoveWindow()
{
	// Mostly where the window fits on the screen; now and then partly off it, where the next
	// start must ignore the saved position.
	BPoint where = fDice.Percent(80)
		? BPoint((float)fDice.Between(4, 813), (float)fDice.Between(4, 651))
		: BPoint((float)fDice.Between(-60, 980), (float)fDice.Between(-60, 740));
	_Note("move the window to " + PointText(where));
	fMain->MoveTo(where);
}

void
Monkey::_Quit()
{
	switch (fDice.Below(4)) {
		case 0:
			_Note("ctrl+q");
			fBackend->InjectKey(_MainId(), "q", B_CONTROL_KEY);
			break;
		case 1:
			_Note("ctrl+w");
			fBackend->InjectKey(_MainId(), "w", B_CONTROL_KEY);
			break;
		case 2:
			_Note("close the main window");
			fBackend->InjectClose(_MainId());
			break;
		default:
			_ChooseFromContextMenu("beenden");
			break;
	}
}

void
Monkey::_ChooseFromContextMenu(const char* label)
{
	BPoint where = RandomPoint(fDice, kBackgroundStrip);
	_Note(std::string("choose ") + label + " from the context menu at " + PointText(where));
	fWantedItem = label;
	_ClickMain(where, kSecondary);
	_Drain();
	fWantedItem = nullptr;
}

// #pragma mark - helpers

void
Monkey::_Drain()
{
	EventLoop::Drain();
	fStats.drains++;
}

void
Monkey::_ClickMain(BPoint where, uint32 buttons, int32 clicks)
{
	if (buttons == kBoth)
		fBothButtonsClicked = true;
	fBackend->InjectClick(_MainId(), where, buttons, clicks);
}

bool
Monkey::_MainAlive() const
{
	// Looked up rather than trusted: a window that quit is deleted with its views.
	if (fMain == nullptr || be_app == nullptr)
		return false;
	for (int32 i = 0; i < be_app->CountWindows(); i++) {
		if (be_app->WindowAt(i) == fMain)
			return true;
	}
	return false;
}

bool
Monkey::_ProgramEnded() const
{
	return fApp == nullptr || fApp->IsQuitting() || !_MainAlive();
}

TMainView*
Monkey::_View() const
{
	return _MainAlive() ? fMain->MainView() : nullptr;
}

uint32
Monkey::_MainId() const
{
	return _MainAlive() ? HeadlessBackend::IdOf(fMain) : 0;
}

ConverterState
Monkey::_Capture() const
{
	ConverterState state;
	TMainView* view = _View();
	if (view == nullptr)
		return state;
	state.source = view->SourceIndex();
	state.target = view->TargetIndex();
	state.rounding = view->Rounding();
	state.inFront = view->InFront();
	state.tabless = view->Tabless();
	state.position = fMain->Frame().LeftTop();
	state.amount = view->SourceField()->Text();
	state.euroLine = view->EuroLine()->Text();
	state.targetText = view->TargetField()->Text();
	return state;
}

void
Monkey::_Note(const std::string& action)
{
	fTrace.push_back("#" + std::to_string(fStats.steps) + " " + action);
	if (fTrace.size() > kTraceLength)
		fTrace.pop_front();
}

std::string
Monkey::Trace() const
{
	std::string trace;
	for (const std::string& line : fTrace)
		trace += "  " + line + "\n";
	return trace;
}

void
Monkey::_Fail(const std::string& what)
{
	if (fFailure.empty())
		fFailure = what;
}
