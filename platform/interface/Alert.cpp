#include "Alert.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "Application.h"
#include "Button.h"
#include "EventLoop.h"
#include "MenuWindow.h"
#include "Message.h"
#include "Screen.h"
#include "TextView.h"
#include "WindowPrivate.h"

// Layout, in the alert's content coordinates: a darker band at the left with the icon over
// its edge, the text right of it, the buttons in a row along the bottom, right-aligned.
// The window is as tall as the text needs.

namespace {

const uint32 kButtonPressed = '_ALB';
const float kWindowWidth = 310; // pixels
const float kBandWidth = 30;    // pixels
const BRect kIconFrame(18, 6, 49, 37);
const float kTextLeft = 55;
const float kTextTop = 6;
const float kMargin = 10;
const float kButtonSpacing = 9;
const float kUsualButtonWidth = 75; // pixels
const float kLabelPadding = 20;

// Results of a synchronous Go while it waits, and when the alert closed without a button.
const int32 kWaiting = -2;
const int32 kClosed = -1;

std::vector<BAlert*>&
ShownAlerts()
{
	static std::vector<BAlert*> alerts;
	return alerts;
}

void
Forget(BAlert* alert)
{
	auto& alerts = ShownAlerts();
	alerts.erase(std::remove(alerts.begin(), alerts.end(), alert), alerts.end());
}

float
ButtonHeight()
{
	font_height height;
	be_plain_font->GetHeight(&height);
	return std::ceil(height.ascent + height.descent) + 11;
}

struct IconLook {
	rgb_color fill;
	rgb_color mark;
	char glyph;
};

IconLook
IconFor(alert_type type)
{
	switch (type) {
		case B_IDEA_ALERT:
			return {make_color(255, 216, 0), make_color(0, 0, 0), '?'};
		case B_WARNING_ALERT:
			return {make_color(255, 203, 0), make_color(0, 0, 0), '!'};
		case B_STOP_ALERT:
			return {make_color(204, 0, 0), make_color(255, 255, 255), '!'};
		case B_INFO_ALERT:
		case B_EMPTY_ALERT:
		default:
			return {make_color(0, 51, 204), make_color(255, 255, 255), 'i'};
	}
}

// The alert's background: band and icon. It holds the keyboard focus, so that Escape and the
// button shortcuts reach it; Enter goes to the default button through the window.
class AlertView : public BView {
public:
	AlertView(BRect frame, BAlert* alert) :
		BView(frame, "alert view", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
		fAlert(alert)
	{
		SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	}

	void Draw(BRect) override
	{
		BRect bounds = Bounds();
		SetHighColor(tint_color(ViewColor(), B_DARKEN_1_TINT));
		FillRect(BRect(0, 0, kBandWidth - 1, bounds.bottom));
		if (fAlert->Type() != B_EMPTY_ALERT)
			_DrawIcon(IconFor(fAlert->Type()));
	}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		if (numBytes != 1)
			return;
		int32 count = fAlert->CountButtons();
		int32 which = -1;
		if (bytes[0] == B_ESCAPE && count > 1)
			which = 0;
		else if (bytes[0] == B_ENTER)
			which = count - 1;
		for (int32 i = 0; i < count && which < 0; i++) {
			if (fShortcuts[i] != 0
				&& tolower((unsigned char)fShortcuts[i]) == tolower((unsigned char)bytes[0]))
				which = i;
		}
		if (BButton* button = fAlert->ButtonAt(which))
			button->Invoke();
	}

	void SetShortcut(int32 index, char key)
	{
		if (index >= 0 && index < 3)
			fShortcuts[index] = key;
	}

private:
	void _DrawIcon(const IconLook& look)
	{
		BRect icon = kIconFrame;
		SetHighColor(tint_color(look.fill, B_DARKEN_2_TINT));
		FillEllipse(icon);
		SetHighColor(look.fill);
		FillEllipse(icon.InsetByCopy(1, 1));
		SetHighColor(look.mark);
		float center = std::floor((icon.left + icon.right) / 2);
		if (look.glyph == 'i') {
			// A dot and a stem with a foot, drawn as shapes so every pixel is exact.
			FillRect(BRect(center - 1, icon.top + 6, center + 2, icon.top + 9));
			FillRect(BRect(center - 1, icon.top + 12, center + 2, icon.top + 24));
			FillRect(BRect(center - 3, icon.top + 23, center + 4, icon.top + 24));
			return;
		}
		BFont font(be_bold_font);
		font.SetSize(22);
		SetFont(&font);
		char glyph[2] = {look.glyph, 0};
		float width = StringWidth(glyph);
		DrawString(glyph, BPoint(std::floor(center + 1 - width / 2), icon.top + 24));
	}

	BAlert* fAlert;
	char fShortcuts[3] = {};
};

AlertView*
ViewOf(const BAlert* alert)
{
	return dynamic_cast<AlertView*>(alert->ChildAt(0));
}

// Centred over the application's active window, or on the screen. Showing the alert for
// the first time then moves it, title bar included, onto the screen.
BPoint
Placement(const BWindow* alert)
{
	BRect over = BScreen().Frame();
	for (int32 i = 0; be_app != nullptr && i < be_app->CountWindows(); i++) {
		BWindow* window = be_app->WindowAt(i);
		if (window != alert && window->IsActive() && !window->IsHidden())
			over = window->Frame();
	}
	BRect frame = alert->Frame();
	return BPoint(std::floor((over.left + over.right - frame.Width()) / 2),
		std::floor((over.top + over.bottom - frame.Height()) / 2));
}

} // namespace

BAlert::BAlert(const char* title, const char* text, const char* button1, const char* button2,
	const char* button3, button_width width, button_spacing spacing, alert_type type) :
	BWindow(BRect(0, 0, kWindowWidth - 1, 99), title, B_TITLED_WINDOW_LOOK, B_MODAL_APP_WINDOW_FEEL,
		B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_NOT_CLOSABLE
			| B_ASYNCHRONOUS_CONTROLS),
	fType(type),
	fButtonWidth(width),
	fSpacing(spacing)
{
	// Whatever feel the caller gives it, an alert is a dialog of its application.
	BPrivate::WindowAccess::SetKind(this, BPrivate::WindowKind::kDialog);
	AlertView* view = new AlertView(Bounds(), this);
	AddChild(view);

	float textWidth = kWindowWidth - kMargin - kTextLeft;
	fTextView = new BTextView(BRect(kTextLeft, kTextTop, kTextLeft + textWidth - 1, kTextTop + 20),
		"text", BRect(0, 0, textWidth - 1, 20), B_FOLLOW_NONE, B_WILL_DRAW);
	fTextView->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fTextView->SetWordWrap(true);
	fTextView->SetText(text != nullptr ? text : "");
	fTextView->MakeEditable(false);
	fTextView->MakeSelectable(false);
	view->AddChild(fTextView);

	const char* labels[3] = {button1, button2, button3};
	for (const char* label : labels) {
		if (label == nullptr)
			break;
		BMessage* message = new BMessage(kButtonPressed);
		message->AddInt32("which", fButtonCount);
		BButton* button = new BButton(BRect(0, 0, kUsualButtonWidth - 1, ButtonHeight() - 1),
			"button", label, message, B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
		button->SetTarget(this);
		view->AddChild(button);
		fButtons[fButtonCount++] = button;
	}
	if (fButtonCount > 0)
		fButtons[fButtonCount - 1]->MakeDefault(true);
	view->MakeFocus(true);
	_Layout();
}

BAlert::~BAlert()
{
	if (fResultSlot != nullptr)
		*fResultSlot = kClosed;
	Forget(this);
}

BButton*
BAlert::ButtonAt(int32 index) const
{
	if (index < 0 || index >= fButtonCount)
		return nullptr;
	return fButtons[index];
}

void
BAlert::SetShortcut(int32 index, char key)
{
	if (AlertView* view = ViewOf(this))
		view->SetShortcut(index, key);
}

void
BAlert::_Layout()
{
	// Break the text in a rectangle tall enough for any text, then fit to what it took.
	BRect text = fTextView->Frame();
	fTextView->SetTextRect(BRect(0, 0, text.Width(), 100000));
	float lines = 0;
	int32 count = fTextView->CountLines();
	for (int32 line = 0; line < count; line++)
		lines += fTextView->LineHeight(line);
	float textHeight = std::ceil(std::max(lines, fTextView->LineHeight(0)));
	if (count > 1)
		textHeight = std::max(textHeight, 2 * fTextView->LineHeight(0));
	// A text taller than the screen is cut off: the buttons, and the title bar above them,
	// must stay reachable.
	float decoration = DecoratorFrame().Height() - Frame().Height();
	float room = BScreen().Frame().Height() + 1 - decoration - kTextTop - 2 * kMargin
		- ButtonHeight();
	textHeight = std::max(1.0f, std::min(textHeight, room));
	fTextView->ResizeTo(text.Width(), textHeight - 1);
	fTextView->SetTextRect(BRect(0, 0, text.Width(), textHeight - 1));

	float contentBottom = std::max(kTextTop + textHeight - 1, kIconFrame.bottom);
	float buttonHeight = ButtonHeight();
	float buttonTop = contentBottom + kMargin + 1;
	ResizeTo(kWindowWidth - 1, buttonTop + buttonHeight + kMargin - 1);
	if (AlertView* view = ViewOf(this))
		view->ResizeTo(Bounds().Width(), Bounds().Height());

	float widths[3] = {};
	float widest = 0;
	for (int32 i = 0; i < fButtonCount; i++) {
		float label = std::ceil(fButtons[i]->StringWidth(fButtons[i]->Label())) + kLabelPadding;
		widths[i] = fButtonWidth == B_WIDTH_AS_USUAL ? std::max(label, kUsualButtonWidth) : label;
		widths[i] = std::min(widths[i], kWindowWidth - kTextLeft - kMargin);
		widest = std::max(widest, widths[i]);
	}
	float right = kWindowWidth - kMargin;
	for (int32 i = fButtonCount - 1; i >= 0; i--) {
		float width = fButtonWidth == B_WIDTH_FROM_WIDEST ? widest : widths[i];
		float left = right - width;
		// Offset spacing sets the first of several buttons apart, at the left of the text.
		if (i == 0 && fButtonCount > 1 && fSpacing == B_OFFSET_SPACING
			&& kTextLeft + width <= right)
			left = kTextLeft;
		fButtons[i]->MoveTo(left, buttonTop);
		fButtons[i]->ResizeTo(width - 1, buttonHeight - 1);
		right = left - kButtonSpacing;
	}
}

void
BAlert::Show()
{
	// Callers may change the text's font between construction and showing.
	_Layout();
	BWindow::Show();
}

int32
BAlert::Go()
{
	int32 result = kWaiting;
	fResultSlot = &result;
	_Layout();
	MoveTo(Placement(this));

	BLooper* caller = BPrivate::CallingLooper();
	ShownAlerts().push_back(this);
	Show();
	BPrivate::EventLoop::RunNested(caller, [&result] { return result != kWaiting; });

	if (result == kWaiting) {
		// Abandoned while still open: the alert is alive and goes now.
		fResultSlot = nullptr;
		Forget(this);
		Quit();
		return kClosed;
	}
	return result;
}

void
BAlert::MessageReceived(BMessage* message)
{
	if (message->what != kButtonPressed) {
		BWindow::MessageReceived(message);
		return;
	}
	int32 which = -1;
	if (message->FindInt32("which", &which) != B_OK || which < 0 || which >= fButtonCount)
		return;
	if (fResultSlot != nullptr) {
		// Go's frame may be gone before this window is deleted: let go of it first.
		int32* slot = fResultSlot;
		fResultSlot = nullptr;
		*slot = which;
	}
	Forget(this);
	Quit();
}

namespace BPrivate {

BAlert*
CurrentAlert()
{
	auto& alerts = ShownAlerts();
	return alerts.empty() ? nullptr : alerts.back();
}

} // namespace BPrivate
