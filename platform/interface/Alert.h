// BAlert: a small window with an icon, a text and one to three buttons. Go shows it and
// waits (a nested loop; the caller's own messages wait, other windows keep running), returns
// the index of the chosen button and deletes the alert. The rightmost button is the default,
// triggered by Enter; Escape chooses the leftmost when there is more than one.
#pragma once

#include "InterfaceDefs.h"
#include "Window.h"

class BButton;
class BTextView;

enum alert_type {
	B_EMPTY_ALERT = 0,
	B_INFO_ALERT,
	B_IDEA_ALERT,
	B_WARNING_ALERT,
	B_STOP_ALERT,
};

enum button_spacing {
	B_EVEN_SPACING = 0,
	B_OFFSET_SPACING,
};

class BAlert : public BWindow {
public:
	BAlert(const char* title, const char* text, const char* button1, const char* button2 = nullptr,
		const char* button3 = nullptr, button_width width = B_WIDTH_AS_USUAL,
		button_spacing spacing = B_EVEN_SPACING, alert_type type = B_INFO_ALERT);
	~BAlert() override;

	int32 Go();

	BTextView* TextView() const { return fTextView; }
	BButton* ButtonAt(int32 index) const;
	int32 CountButtons() const { return fButtonCount; }
	alert_type Type() const { return fType; }
	void SetShortcut(int32 index, char key);

	void MessageReceived(BMessage* message) override;
	void Show() override;

private:
	void _Layout();

	BTextView* fTextView = nullptr;
	BButton* fButtons[3] = {};
	int32 fButtonCount = 0;
	alert_type fType;
	button_width fButtonWidth;
	button_spacing fSpacing;
	int32* fResultSlot = nullptr;
};

namespace BPrivate {
// The alert being shown by the innermost Go, or null (headless tests).
BAlert* CurrentAlert();
} // namespace BPrivate
