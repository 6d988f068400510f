#include "Button.h"

#include <cmath>

#include "Window.h"

// The classic look: a dark outline, a white bevel on the top and left, a grey shadow on the
// bottom and right, a light face and the label centred in the plain font. A pressed button
// is darker with the bevel turned round; the default button has one more black outline, drawn
// inside the frame so that buttons sharing their borders (a keypad) still line up. The focus
// underlines the label; focus that came by Tab also rings the face.

namespace {

struct ButtonColors {
	rgb_color outline;
	rgb_color light;
	rgb_color shadow;
	rgb_color face;
	rgb_color label;
};

ButtonColors
ColorsFor(rgb_color panel, bool enabled, bool pressed)
{
	if (!enabled) {
		return {tint_color(panel, B_DARKEN_2_TINT), tint_color(panel, B_LIGHTEN_2_TINT),
			tint_color(panel, B_DARKEN_1_TINT), panel, tint_color(panel, B_DARKEN_3_TINT)};
	}
	if (pressed) {
		return {tint_color(panel, B_DARKEN_4_TINT), tint_color(panel, B_DARKEN_3_TINT),
			tint_color(panel, B_NO_TINT), tint_color(panel, B_DARKEN_2_TINT),
			ui_color(B_CONTROL_TEXT_COLOR)};
	}
	return {tint_color(panel, B_DARKEN_4_TINT), make_color(255, 255, 255),
		tint_color(panel, B_DARKEN_2_TINT), tint_color(panel, B_LIGHTEN_1_TINT),
		ui_color(B_CONTROL_TEXT_COLOR)};
}

} // namespace

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags) :
	BControl(frame, name, label, message, resizingMode, flags)
{
}

BButton::~BButton() = default;

void
BButton::Draw(BRect updateRect)
{
	(void)updateRect;
	ButtonColors colors = ColorsFor(ui_color(B_PANEL_BACKGROUND_COLOR), IsEnabled(), IsPressed());
	BRect r = Bounds();

	if (IsDefault()) {
		SetHighColor(IsEnabled() ? make_color(0, 0, 0) : colors.outline);
		StrokeRect(r);
		r.InsetBy(1, 1);
	}
	SetHighColor(colors.outline);
	StrokeRect(r);
	r.InsetBy(1, 1);
	if (r.IsValid()) {
		SetHighColor(colors.light);
		StrokeLine(r.LeftBottom(), r.LeftTop());
		StrokeLine(r.LeftTop(), r.RightTop());
		SetHighColor(colors.shadow);
		StrokeLine(BPoint(r.left + 1, r.bottom), r.RightBottom());
		StrokeLine(r.RightBottom(), BPoint(r.right, r.top + 1));
		BRect bevel = r;
		r.InsetBy(1, 1);
		if (r.IsValid()) {
			SetHighColor(colors.face);
			FillRect(r);
		}
		// Focus that came by Tab rings the face in the navigation colour, in place of the
		// bevel: an outline on the frame would be lost under a keypad neighbour's shared edge.
		if (_ShowsFocusMark()) {
			SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
			StrokeRect(bevel);
		}
	}

	const char* label = Label();
	if (label[0] == '\0')
		return;
	BRect bounds = Bounds();
	font_height height;
	GetFontHeight(&height);
	float width = StringWidth(label);
	float x = std::floor(bounds.left + (bounds.Width() + 1 - width) / 2);
	float baseline = std::floor(
		bounds.top + (bounds.Height() + height.ascent - height.descent) / 2 + 0.5f);
	SetHighColor(colors.label);
	SetLowColor(colors.face);
	DrawString(label, BPoint(x, baseline));

	if (IsFocus() && IsEnabled() && Window() != nullptr && Window()->IsActive()) {
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		StrokeLine(BPoint(x, baseline + 2), BPoint(x + std::ceil(width) - 1, baseline + 2));
	}
}

void
BButton::MouseDown(BPoint where)
{
	(void)where;
	_BeginPress();
}

void
BButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	(void)transit;
	(void)dragMessage;
	_FollowPress(where);
}

void
BButton::MouseUp(BPoint where)
{
	if (_EndPress(where))
		Invoke();
}

void
BButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
		if (IsEnabled())
			Invoke();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}

void
BButton::MakeDefault(bool flag)
{
	BWindow* window = Window();
	if (window == nullptr)
		return;
	if (flag)
		window->SetDefaultButton(this);
	else if (window->DefaultButton() == this)
		window->SetDefaultButton(nullptr);
}

bool
BButton::IsDefault() const
{
	return Window() != nullptr && Window()->DefaultButton() == this;
}

uint64
BButton::AccessibleStates() const
{
	uint64 states = BControl::AccessibleStates();
	if (IsDefault())
		states |= B_STATE_DEFAULT;
	return states;
}
