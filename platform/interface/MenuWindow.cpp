#include "MenuWindow.h"

#include <algorithm>
#include <cmath>

#include "AppDefs.h"
#include "Menu.h"
#include "Message.h"
#include "View.h"
#include "WindowPrivate.h"

namespace BPrivate {

namespace {

// The arrow areas at both ends of a menu taller than the screen.
const float kScrollerHeight = 12;

} // namespace

// An arrow area of a scrolling menu window: a triangle pointing the way the menu moves,
// greyed out at the end of the list. The pointer and the keys are the tracker's.
class ScrollArrow : public BView {
public:
	ScrollArrow(BRect frame, int32 direction, const MenuWindow* window) :
		BView(frame, "scroll arrow", B_FOLLOW_NONE, B_WILL_DRAW),
		fDirection(direction),
		fWindow(window)
	{
		SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	}

	void Draw(BRect) override
	{
		rgb_color background = ViewColor();
		BRect bounds = Bounds();
		// The menu's outline continues along the sides and closes at the window's end.
		SetHighColor(tint_color(background, B_DARKEN_4_TINT));
		StrokeLine(bounds.LeftTop(), bounds.LeftBottom());
		StrokeLine(bounds.RightTop(), bounds.RightBottom());
		float end = fDirection < 0 ? bounds.top : bounds.bottom;
		StrokeLine(BPoint(bounds.left, end), BPoint(bounds.right, end));

		bool more = fDirection < 0 ? fWindow->CanScrollUp() : fWindow->CanScrollDown();
		SetHighColor(tint_color(background, more ? B_DARKEN_4_TINT : B_DARKEN_1_TINT));
		float center = std::floor((bounds.left + bounds.right) / 2);
		float tip = fDirection < 0 ? bounds.top + 3 : bounds.bottom - 3;
		for (int32 row = 0; row < 4; row++) {
			float y = tip - fDirection * row;
			StrokeLine(BPoint(center - row, y), BPoint(center + row, y));
		}
	}

private:
	int32 fDirection;
	const MenuWindow* fWindow;
};

MenuWindow::MenuWindow(BMenu* menu, BRect frame, MenuTracker* tracker) :
	BWindow(frame, menu->Name(), B_NO_BORDER_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL,
		B_NOT_MOVABLE | B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_NOT_CLOSABLE
			| B_WILL_ACCEPT_FIRST_CLICK | B_AVOID_FOCUS),
	fMenu(menu),
	fTracker(tracker)
{
	WindowAccess::SetPopup(this, true);
	// The menu keeps its whole height; a window cut to the screen shows part of it.
	float height = std::max(frame.Height(), menu->PreferredSize().y);
	menu->MoveTo(B_ORIGIN);
	menu->ResizeTo(frame.Width(), height);
	AddChild(menu);
	if (height > frame.Height() && frame.Height() + 1 > 3 * kScrollerHeight) {
		float step = 0;
		for (int32 i = 0; i < menu->CountItems(); i++)
			step = std::max(step, menu->ItemFrame(i).Height() + 1);
		fStep = std::max(step, 1.0f);
		fMaxScroll = height - (frame.Height() - 2 * kScrollerHeight);
		fUp = new ScrollArrow(BRect(0, 0, frame.Width(), kScrollerHeight - 1), -1, this);
		fDown = new ScrollArrow(BRect(0, frame.Height() - kScrollerHeight + 1, frame.Width(),
									frame.Height()),
			1, this);
		AddChild(fUp);
		AddChild(fDown);
		_PlaceMenu();
	}
}

MenuWindow::~MenuWindow()
{
	// The menu belongs to its BPopUpMenu (or its item), never to the window.
	if (fMenu != nullptr)
		RemoveChild(fMenu);
	if (fTracker != nullptr)
		fTracker->WindowDeleted(this);
}

void
MenuWindow::Close()
{
	fTracker = nullptr;
	if (fMenu != nullptr) {
		fMenu->MoveTo(B_ORIGIN);
		fMenu->SetHighlightedIndex(-1);
		RemoveChild(fMenu);
		fMenu = nullptr;
	}
	Quit();
}

void
MenuWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	// Input is the tracker's: it spans every open level, whichever window the event hit.
	MenuTracker* tracker = fTracker;
	if (tracker == nullptr || handler != this) {
		BWindow::DispatchMessage(message, handler);
		return;
	}
	switch (message->what) {
		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED:
		{
			BPoint screen;
			if (message->FindPoint("screen_where", &screen) != B_OK) {
				BPoint where;
				if (message->FindPoint("where", &where) != B_OK)
					return;
				screen = ConvertToScreen(where);
			}
			int32 buttons = 0;
			message->FindInt32("buttons", &buttons);
			if (message->what == B_MOUSE_DOWN)
				tracker->MouseDown(screen);
			else if (message->what == B_MOUSE_MOVED)
				tracker->MouseMoved(screen);
			else if (buttons == 0)
				tracker->MouseUp(screen);
			return;
		}
		case B_KEY_DOWN:
		{
			const char* bytes = nullptr;
			if (message->FindString("bytes", &bytes) == B_OK && bytes != nullptr)
				tracker->KeyDown(bytes);
			return;
		}
		case B_QUIT_REQUESTED:
			tracker->Cancel();
			return;
		case kMenuLevelOpened:
			return;
		default:
			BWindow::DispatchMessage(message, handler);
			return;
	}
}

// #pragma mark - scrolling

bool
MenuWindow::CanScrollDown() const
{
	return fScroll < fMaxScroll;
}

int32
MenuWindow::ScrollerAt(BPoint screen) const
{
	if (fUp == nullptr || !Frame().Contains(screen))
		return 0;
	BPoint where = ConvertFromScreen(screen);
	if (fUp->Frame().Contains(where))
		return -1;
	if (fDown->Frame().Contains(where))
		return 1;
	return 0;
}

int32
MenuWindow::ItemIndexAt(BPoint screen) const
{
	if (fMenu == nullptr || !Frame().Contains(screen) || ScrollerAt(screen) != 0)
		return -1;
	return fMenu->ItemIndexAt(fMenu->ConvertFromScreen(screen));
}

BRect
MenuWindow::ItemScreenFrame(int32 index) const
{
	if (fMenu == nullptr)
		return BRect();
	return fMenu->ConvertToScreen(fMenu->ItemFrame(index));
}

bool
MenuWindow::ScrollBy(int32 steps)
{
	float scroll = std::clamp(fScroll + steps * fStep, 0.0f, fMaxScroll);
	if (scroll == fScroll)
		return false;
	fScroll = scroll;
	_PlaceMenu();
	return true;
}

void
MenuWindow::ScrollToItem(int32 index)
{
	if (fUp == nullptr || fMenu == nullptr || index < 0 || index >= fMenu->CountItems())
		return;
	BRect item = fMenu->ItemFrame(index);
	float visible = Bounds().Height() + 1 - 2 * kScrollerHeight;
	float scroll = fScroll;
	if (item.top < scroll)
		scroll = item.top;
	else if (item.bottom >= scroll + visible)
		scroll = item.bottom + 1 - visible;
	// The first and the last item bring the menu's own edge into view as well.
	if (index == 0)
		scroll = 0;
	else if (index == fMenu->CountItems() - 1)
		scroll = fMaxScroll;
	scroll = std::clamp(scroll, 0.0f, fMaxScroll);
	if (scroll == fScroll)
		return;
	fScroll = scroll;
	_PlaceMenu();
}

void
MenuWindow::_PlaceMenu()
{
	if (fMenu != nullptr)
		fMenu->MoveTo(0, kScrollerHeight - fScroll);
	fUp->Invalidate();
	fDown->Invalidate();
}

} // namespace BPrivate
