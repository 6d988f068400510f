#include "TAboutView.h"

#include <cstdio>
#include <memory>

#include "AppDefs.h"
#include "InterfaceDefs.h"
#include "Message.h"
#include "Roster.h"
#include "Window.h"

namespace {

// What the links open: constants, not read from the text, and the same addresses the long
// about text shows at the link offsets.
constexpr char kFirstAddress[] = "http://www.dorvanix.example/";
constexpr char kSecondAddress[] = "http://www.dorvanix.example/app/be";

constexpr rgb_color kLinkColor = {0, 0, 220, 255};
constexpr rgb_color kTitleColor = {0, 0, 0, 255};
constexpr int32 kTitleEnd = 12;
constexpr float kTitleSize = 16;

// Room for the longer address and its terminator.
constexpr size_t kAddressBufferSize = sizeof(kSecondAddress);
static_assert(sizeof(kFirstAddress) <= kAddressBufferSize);

} // namespace

TAboutView::TAboutView(BRect frame, const char* text) :
	BTextView(frame, "", BRect(0, 0, frame.right - frame.left, frame.bottom - frame.top),
		B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_PULSE_NEEDED | B_NAVIGABLE),
	fLink1Start(32),
	fLink1End(60),
	fLink2Start(61),
	fLink2End(95)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	MakeEditable(false);
	MakeSelectable(false);
	SetStylable(true);
	SetText(text);

	BFont font;
	uint32 sameProperties = 0;
	GetFontAndColor(&font, &sameProperties);

	std::unique_ptr<text_run_array, void (*)(text_run_array*)> runs(AllocRunArray(1),
		&BTextView::FreeRunArray);
	if (runs == nullptr)
		return;
	runs->runs[0].offset = 0;
	runs->runs[0].font = font;
	runs->runs[0].color = kLinkColor;
	SetRunArray(fLink1Start, fLink1End, runs.get());
	SetRunArray(fLink2Start, fLink2End, runs.get());

	runs->runs[0].font.SetSize(kTitleSize);
	runs->runs[0].font.SetFace(B_BOLD_FACE);
	runs->runs[0].color = kTitleColor;
	SetRunArray(0, kTitleEnd, runs.get());
}

TAboutView::~TAboutView() = default;

void
TAboutView::MouseDown(BPoint where)
{
	// No base handling: a click never selects, places a caret or takes the focus.
	int32 offset = OffsetAt(where);
	_OpenLink(offset, fLink1Start, fLink1End, kFirstAddress);
	_OpenLink(offset, fLink2Start, fLink2End, kSecondAddress);
}

void
TAboutView::Draw(BRect updateRect)
{
	BTextView::Draw(updateRect);
	int32 start = 0;
	int32 end = 0;
	std::string address;
	if (!IsFocus() || Window() == nullptr || !Window()->IsActive()
		|| !GetAccessibleLink(fKeyboardLink, &start, &end, &address))
		return;
	// Only the keyboard ever gives this view the focus, so this is the keyboard's mark: the
	// address underlined, as a push button underlines its label.
	float height = 0;
	BPoint from = PointAt(start, &height);
	BPoint to = PointAt(end);
	float y = from.y + height - 1;
	PushState();
	SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
	StrokeLine(BPoint(from.x, y), BPoint(to.x - 1, y));
	PopState();
}

void
TAboutView::KeyDown(const char* bytes, int32 numBytes)
{
	// Enter stays "OK" (the default button takes it before the focus view).
	if (numBytes == 1 && bytes[0] == B_SPACE) {
		ActivateAccessibleLink(fKeyboardLink);
		return;
	}
	if (numBytes == 1 && bytes[0] == B_TAB) {
		int32 modifiers = 0;
		if (BMessage* current = Window()->CurrentMessage())
			current->FindInt32("modifiers", &modifiers);
		int32 next = fKeyboardLink + ((modifiers & B_SHIFT_KEY) != 0 ? -1 : 1);
		if (next >= 0 && next < CountAccessibleLinks()) {
			_SetKeyboardLink(next);
			return;
		}
	}
	// Past the last address Tab goes on to "OK"; other keys are no business of the text.
	BTextView::KeyDown(bytes, numBytes);
}

void
TAboutView::MakeFocus(bool focus)
{
	BTextView::MakeFocus(focus);
	if (!IsFocus()) {
		fKeyboardLink = -1;
		return;
	}
	// Reached backwards with Shift+Tab, the keyboard lands on the last address.
	int32 modifiers = 0;
	BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
	if (current != nullptr && current->what == B_KEY_DOWN)
		current->FindInt32("modifiers", &modifiers);
	_SetKeyboardLink((modifiers & B_SHIFT_KEY) != 0 ? CountAccessibleLinks() - 1 : 0);
}

void
TAboutView::_SetKeyboardLink(int32 index)
{
	fKeyboardLink = index;
	// The caret, never drawn here, tells a screen reader which address the keyboard is on.
	int32 start = 0;
	int32 end = 0;
	std::string address;
	if (GetAccessibleLink(index, &start, &end, &address))
		Select(start, start);
	Invalidate();
}

void
TAboutView::_OpenLink(int32 offset, int32 start, int32 end, const char* address)
{
	if (offset < start || offset > end)
		return;

	// The address shows inverted for as long as the hand-over takes.
	Highlight(start, end);
	char buffer[kAddressBufferSize];
	snprintf(buffer, sizeof(buffer), "%s", address);
	const char* args[] = {buffer};
	// A failed launch is not reported; the window stays as it was.
	be_roster->Launch(B_URL_HTTP, 1, args);
	Highlight(start, end);
}

int32
TAboutView::CountAccessibleLinks() const
{
	return 2;
}

bool
TAboutView::GetAccessibleLink(int32 index, int32* outStart, int32* outEnd,
	std::string* outAddress) const
{
	if (index < 0 || index > 1)
		return false;
	*outStart = index == 0 ? fLink1Start : fLink2Start;
	*outEnd = index == 0 ? fLink1End : fLink2End;
	*outAddress = index == 0 ? kFirstAddress : kSecondAddress;
	return true;
}

void
TAboutView::ActivateAccessibleLink(int32 index)
{
	if (index == 0)
		_OpenLink(fLink1Start, fLink1Start, fLink1End, kFirstAddress);
	else if (index == 1)
		_OpenLink(fLink2Start, fLink2Start, fLink2End, kSecondAddress);
}
