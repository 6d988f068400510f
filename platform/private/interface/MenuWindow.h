// Kit-internal menu tracking. A MenuWindow is a borderless pop-up window of the backend that
// shows one menu level, scrolled when the level is taller than the screen; it does not own
// its menu and hands the menu back before it quits.
// A MenuTracker follows the pointer and keys across all open levels of one pop-up menu and
// decides what was chosen; it draws nothing itself and sends no messages.
#pragma once

#include <vector>

#include "Rect.h"
#include "SupportDefs.h"
#include "Window.h"

class BLooper;
class BMenu;
class BMenuItem;
class BMessage;

namespace BPrivate {

class MenuTracker;
class ScrollArrow;

// Posted to each new menu window. Opening a level is a change a nested loop must see: a
// headless loop that finds nothing left to do gives up.
const uint32 kMenuLevelOpened = '_MLO';

class MenuWindow : public BWindow {
public:
	// A menu taller than the frame scrolls, with arrow areas at both ends of the window.
	MenuWindow(BMenu* menu, BRect frame, MenuTracker* tracker);
	~MenuWindow() override;

	BMenu* Menu() const { return fMenu; }
	// Gives the menu back (detached) and quits; nothing may use the window afterwards.
	void Close();

	void DispatchMessage(BMessage* message, BHandler* handler) override;

	// Screen coordinates. The item under a point, -1 over the arrow areas or outside.
	int32 ItemIndexAt(BPoint screen) const;
	BRect ItemScreenFrame(int32 index) const;
	// -1 over the upper arrow area, 1 over the lower one, 0 elsewhere or without scrolling.
	int32 ScrollerAt(BPoint screen) const;
	bool IsScrolling() const { return fUp != nullptr; }
	bool CanScrollUp() const { return fScroll > 0; }
	bool CanScrollDown() const;
	// Moves the list by whole items (positive: towards its end); false at the end.
	bool ScrollBy(int32 steps);
	// Scrolls as little as it takes to show the item whole.
	void ScrollToItem(int32 index);

private:
	void _PlaceMenu();

	BMenu* fMenu;
	MenuTracker* fTracker;
	ScrollArrow* fUp = nullptr;
	ScrollArrow* fDown = nullptr;
	float fScroll = 0; // pixels of the list above the upper arrow area
	float fMaxScroll = 0;
	float fStep = 1; // the height of an item
};

class MenuTracker {
public:
	explicit MenuTracker(BMenu* root);
	~MenuTracker();

	void Open(BPoint screenWhere);
	bool IsDone() const { return fDone; }
	BMenuItem* Chosen() const { return fChosen; }
	BMenu* Root() const { return fRoot; }
	BMenu* Innermost() const;

	// Pointer input in screen coordinates; buttons are those held after the event.
	void MouseDown(BPoint screen);
	void MouseMoved(BPoint screen);
	void MouseUp(BPoint screen);
	void KeyDown(const char* bytes);
	// Where the backend says the pointer is, for backends that send a release elsewhere.
	// Only between events of a synchronous Go.
	void Poll();
	// A menu window went away without being closed by the tracker (the application ended).
	void WindowDeleted(MenuWindow* window);

	// As a release over the item would, after opening the submenus that lead to it;
	// returns whether it chose the item.
	bool Choose(BMenuItem* item);
	void Cancel();

	// The tracker of the innermost Go, or null.
	static MenuTracker* Current();
	// The tracker showing this menu, or null.
	static MenuTracker* ForRoot(const BMenu* root);

private:
	struct Level {
		BMenu* menu;
		MenuWindow* window;
	};

	void _OpenLevel(BMenu* menu, BRect frame);
	void _OpenSubmenu(int32 level, int32 index, bool selectFirst);
	void _CloseLevelsAfter(int32 level);
	void _CloseAll();
	// The level showing the menu, or -1.
	int32 _LevelOf(const BMenu* menu) const;
	// The deepest level whose window holds the point, or -1; the item index there, or -1.
	int32 _LevelAt(BPoint screen, int32* index) const;
	void _Hover(BPoint screen, bool scroll);
	// Over an arrow area of a scrolling level: scrolls it and returns true.
	bool _Scroll(int32 level, BPoint screen);
	void _Release(int32 level, int32 index);
	void _MoveHighlight(int32 direction);
	void _Finish(BMenuItem* chosen);

	BMenu* fRoot;
	std::vector<Level> fLevels;
	bool fDone = false;
	BMenuItem* fChosen = nullptr;
	bool fPressed = false;
	bool fFirstRelease = true;
	bool fMovedOverItem = false;
	bigtime_t fOpenTime = 0;
	BPoint fLastPolled;
	uint32 fLastPolledButtons = 0;
};

// Frames that keep a menu of the given size on the screen: a top level at a point, flipped
// to the other side of it when it would leave the screen; a submenu beside its item.
BRect PlaceMenu(BPoint where, BPoint size, BRect screen);
BRect PlaceSubmenu(BRect parentFrame, float top, BPoint size, BRect screen);

// The looper that called Go for a pop-up menu (its items' default target), or null.
BLooper* PopUpCaller(const BMenu* root);
// The looper whose message is being handled now and that is not itself waiting in a nested
// loop: the caller of a synchronous Go. The application when there is none.
BLooper* CallingLooper();

} // namespace BPrivate
