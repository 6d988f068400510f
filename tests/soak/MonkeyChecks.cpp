// What must hold after every drained queue, after every finished session and after every
// restart. The conversion is recomputed with the core, never taken from the view.
#include "LooperPrivate.h"
#include "Monkey.h"

#include <algorithm>

#include "Application.h"
#include "Conversion.h"
#include "CurrencyTable.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "InterfaceDefs.h"
#include "Looper.h"
#include "TEdit.h"
#include "TMainView.h"
#include "TMainWindow.h"

using BPrivate::HeadlessBackend;

namespace {

// The main window's content size, and the room a saved position must leave to the screen's
// edges for the next start to use it.
constexpr float kMainWidth = 206;
constexpr float kMainHeight = 112;
constexpr float kScreenMargin = 4;
const BPoint kDefaultPosition(100, 100);

std::string
Quoted(const std::string& text)
{
	return "\"" + text + "\"";
}

} // namespace

bool
Monkey::_Check(const char* when)
{
	TMainView* view = _View();
	if (view == nullptr) {
		_Fail(std::string(when) + ": no converter view");
		return false;
	}
	ConverterState state = _Capture();
	std::string where = std::string(when) + ": ";

	if (!IsValidCurrency(state.source) || !IsValidCurrency(state.target)
		|| !IsValidRounding(state.rounding)) {
		_Fail(where + "state out of range: source " + std::to_string(state.source) + ", target "
			+ std::to_string(state.target) + ", rounding " + std::to_string(state.rounding));
		return false;
	}

	bool euroRounding = state.rounding != kRoundNone
		&& (state.source == kEuroIndex || state.target == kEuroIndex);
	if (euroRounding && !fEuroRounding && !fBothButtonsClicked) {
		_Fail(where + "rounding " + std::to_string(state.rounding) + " next to the euro");
		return false;
	}
	if (euroRounding && !fEuroRounding)
		fStats.euroRoundings++;
	fEuroRounding = euroRounding;
	fBothButtonsClicked = false;

	if (state.amount.find_first_not_of("0123456789.-") != std::string::npos) {
		_Fail(where + "the amount field holds " + Quoted(state.amount));
		return false;
	}
	ConversionTexts expected;
	if (!ConvertAmount(state.amount, state.source, state.target, state.rounding, &expected)) {
		_Fail(where + "the core refuses the state");
		return false;
	}
	if (state.euroLine != expected.euroLine || state.targetText != expected.target) {
		_Fail(where + "amount " + Quoted(state.amount) + " from " + std::to_string(state.source)
			+ " to " + std::to_string(state.target) + " rounding " + std::to_string(state.rounding)
			+ " shows " + Quoted(state.euroLine) + " / " + Quoted(state.targetText) + ", expected "
			+ Quoted(expected.euroLine) + " / " + Quoted(expected.target)
			+ "; at the check before: amount " + Quoted(fLast.amount) + " showed "
			+ Quoted(fLast.euroLine) + " / " + Quoted(fLast.targetText));
		return false;
	}

	if ((state.inFront != 0 && state.inFront != 1) || (state.tabless != 0 && state.tabless != 1)) {
		_Fail(where + "window options " + std::to_string(state.inFront) + "/"
			+ std::to_string(state.tabless));
		return false;
	}
	window_feel feel = state.inFront == 1 ? B_FLOATING_ALL_WINDOW_FEEL : B_NORMAL_WINDOW_FEEL;
	window_look look = state.tabless == 1 ? B_MODAL_WINDOW_LOOK : B_TITLED_WINDOW_LOOK;
	if (fMain->Feel() != feel || fMain->Look() != look) {
		_Fail(where + "the window's feel or look does not follow its options");
		return false;
	}
	uint32 id = HeadlessBackend::IdOf(fMain);
	for (const HeadlessBackend::WindowInfo& info : fBackend->Windows()) {
		if (info.id == id
			&& (info.alwaysOnTop != (state.inFront == 1)
				|| info.decorated != (state.tabless != 1))) {
			_Fail(where + "the backend window does not follow the window options");
			return false;
		}
	}

	fStats.longestAmount = std::max(fStats.longestAmount, state.amount.size());
	fLast = state;
	return true;
}

bool
Monkey::_CheckSettled()
{
	if (!fFailure.empty())
		return false;
	if (BPrivate::EventLoop::NestingDepth() != 0) {
		_Fail("a nested loop is still running");
		return false;
	}
	if (be_app->CountWindows() != 1 || be_app->WindowAt(0) != fMain
		|| BPrivate::LooperAccess::All().size() != 2) {
		_Fail("after the sessions: " + std::to_string(be_app->CountWindows()) + " windows, "
			+ std::to_string(BPrivate::LooperAccess::All().size()) + " loopers");
		return false;
	}
	if (fBackend->CountVisibleWindows() != 1) {
		_Fail("the backend shows " + std::to_string(fBackend->CountVisibleWindows()) + " windows");
		return false;
	}

	// Every live view must hang in the main window: the top view and the converter's tree.
	Census census = fCensus.Take();
	int32 attached = 0;
	for (BView* view : census.views) {
		if (view->Window() == fMain)
			attached++;
	}
	int32 expected = CountViews(fMain) + 1;
	if (census.windows.size() != 1 || census.windows[0] != fMain
		|| (int32)census.views.size() != expected || attached != expected
		|| census.others != fOthersRunning) {
		_Fail("leak: " + std::to_string(census.windows.size()) + " windows, "
			+ std::to_string(census.views.size()) + " views (" + std::to_string(attached)
			+ " in the main window, " + std::to_string(expected) + " expected), "
			+ std::to_string(census.others - fOthersRunning) + " extra handlers");
		return false;
	}
	return true;
}

bool
Monkey::_CheckRestarted(const ConverterState& saved)
{
	ConverterState now = _Capture();
	BRect wanted(saved.position.x, saved.position.y, saved.position.x + kMainWidth,
		saved.position.y + kMainHeight);
	wanted.InsetBy(-kScreenMargin, -kScreenMargin);
	BPoint position = fBackend->ScreenFrame().Contains(wanted) ? saved.position : kDefaultPosition;

	if (now.source != saved.source || now.target != saved.target || now.rounding != saved.rounding
		|| now.inFront != saved.inFront || now.tabless != saved.tabless
		|| now.position != position) {
		_Fail("after a restart: source " + std::to_string(now.source) + "/"
			+ std::to_string(saved.source) + ", target " + std::to_string(now.target) + "/"
			+ std::to_string(saved.target) + ", rounding " + std::to_string(now.rounding) + "/"
			+ std::to_string(saved.rounding) + ", options " + std::to_string(now.inFront)
			+ std::to_string(now.tabless) + "/" + std::to_string(saved.inFront)
			+ std::to_string(saved.tabless) + ", position " + std::to_string(now.position.x) + ","
			+ std::to_string(now.position.y) + " (now/saved)");
		return false;
	}
	if (now.amount != "0") {
		_Fail("after a restart the amount field holds " + Quoted(now.amount));
		return false;
	}
	return true;
}
