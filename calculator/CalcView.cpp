#include "CalcView.h"

#include <cstdio>

#include "AmountInput.h"
#include "Button.h"
#include "Message.h"
#include "TEdit.h"
#include "TextView.h"
#include "Window.h"

namespace {

// The raw rule in which only the right edge follows the parent's left edge. Nothing resizes
// the pad, so it never takes effect.
constexpr uint32 kPadResizingMode = 2;

} // namespace

CalcView::CalcView(BRect frame) : BView(frame, "", kPadResizingMode, B_WILL_DRAW)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	// The pad shows no number: what it computes appears in the amount field.
	SetAccessibleName("Taschenrechner");
	SetAccessibleDescription("Die Tasten bearbeiten den Betrag im Hauptfenster");

	for (const CalcButton& key : kCalcButtons) {
		BMessage* message = new BMessage(kCalcPressed);
		message->AddInt32("ix", key.index);
		char label[3];
		BButton* button = new BButton(BRect(key.left, key.top, key.right, key.bottom), "",
			BtnText(label, key.index), message, B_FOLLOW_LEFT | B_FOLLOW_TOP,
			B_WILL_DRAW | B_NAVIGABLE);
		if (key.description != nullptr)
			button->SetAccessibleDescription(key.description);
		fButtons[key.index] = button;
		AddChild(button);
	}
}

void
CalcView::MessageReceived(BMessage* message)
{
	if (message->what != kCalcPressed) {
		BView::MessageReceived(message);
		return;
	}
	int32 index = 0;
	if (message->FindInt32("ix", &index) == B_OK)
		Aktion(index);
}

void
CalcView::AllAttached()
{
	for (BButton* button : fButtons)
		button->SetTarget(this);
}

void
CalcView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && bytes[0] == B_ESCAPE) {
		Dismiss();
		return;
	}
	// Unmapped keys are dropped, never passed on: the pad has nothing else to do with them.
	int32 index = CalcButtonForKey(bytes, numBytes);
	if (index >= 0)
		Aktion(index);
}

void
CalcView::SetTarget(BTextView* target)
{
	fTargetToken = target != nullptr ? target->Token() : -1;
}

BTextView*
CalcView::Target() const
{
	if (fTargetToken < 0)
		return nullptr;
	return dynamic_cast<BTextView*>(BHandler::LookupToken(fTargetToken));
}

char*
CalcView::BtnText(char* out, int32 index) const
{
	if (const CalcButton* button = CalcButtonAt(index))
		snprintf(out, 3, "%s", button->label);
	return out;
}

BButton*
CalcView::ButtonAt(int32 index) const
{
	return CalcButtonAt(index) != nullptr ? fButtons[index] : nullptr;
}

void
CalcView::Aktion(int32 index)
{
	BTextView* target = Target();
	if (target == nullptr || CalcButtonAt(index) == nullptr)
		return;

	// The field belongs to the main window: hold it for the whole edit.
	BWindow* fieldWindow = target->Window();
	if (fieldWindow != nullptr)
		fieldWindow->Lock();

	// The pad takes the focus from the field for every key and gives it back only at "=".
	target->MakeFocus(false);

	CalcEdit edit = fEngine.Press(index, target->Text(), _FieldValue(target));
	if (edit.kind == CalcEdit::kSetText)
		target->SetText(edit.text.c_str(), (int32)edit.text.size());
	else if (edit.kind == CalcEdit::kDeleteLastByte) {
		int32 length = target->TextLength();
		if (length > 0)
			target->Delete(length - 1, length);
	}
	target->Invalidate();

	bool equals = index == kCalcEquals;
	if (equals) {
		// Typing in the main window then replaces the result.
		target->MakeFocus(true);
		target->SelectAll();
	}

	if (fieldWindow != nullptr)
		fieldWindow->Unlock();

	// Only after the main window is free again; nothing of the pad may run after this.
	if (equals && Window() != nullptr)
		Window()->Quit();
}

void
CalcView::Dismiss()
{
	// Like every other pop-up, Escape leaves without a result: the field keeps its text
	// (no "=" rounding) and gets the focus back, the caret at its end, for typing on.
	if (BTextView* target = Target()) {
		BWindow* fieldWindow = target->Window();
		if (fieldWindow != nullptr && fieldWindow->Lock()) {
			target->MakeFocus(true);
			target->Select(target->TextLength(), target->TextLength());
			fieldWindow->Unlock();
		}
	}
	if (Window() != nullptr)
		Window()->Quit();
}

double
CalcView::_FieldValue(BTextView* target) const
{
	if (TEdit* field = dynamic_cast<TEdit*>(target))
		return field->GetDouble();
	return ParseAmount(target->Text());
}
