// Pop-up menus on a small screen: a list taller than the screen scrolls between arrow areas,
// and every item can be reached and chosen with the keyboard and with the mouse. Menu
// windows belong to the window that opened them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppDefs.h"
#include "Application.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Menu.h"
#include "MenuItem.h"
#include "MenuWindow.h"
#include "Message.h"
#include "PopUpMenu.h"
#include "View.h"
#include "Window.h"

using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;
using BPrivate::MenuWindow;

namespace {

const BRect kSmallScreen(0, 0, 319, 239);
const int32 kItems = 40;
const float kArrowArea = 12;

std::string gChosen;

// A submenu first, then kItems plain items: far taller than the screen.
BPopUpMenu*
LongMenu(int32 items)
{
	BPopUpMenu* menu = new BPopUpMenu("long", false, false);
	BMenu* more = new BMenu("More");
	more->AddItem(new BMenuItem("Inner", new BMessage('innr')));
	menu->AddItem(more);
	for (int32 i = 1; i <= items; i++)
		menu->AddItem(new BMenuItem(("Item " + std::to_string(i)).c_str(), new BMessage('item')));
	return menu;
}

class OpenerView : public BView {
public:
	OpenerView() : BView(BRect(0, 0, 99, 49), "opener", B_FOLLOW_ALL_SIDES, B_WILL_DRAW) {}

	void MouseDown(BPoint where) override
	{
		std::unique_ptr<BPopUpMenu> menu(LongMenu(items));
		BMenuItem* chosen = menu->Go(ConvertToScreen(where));
		gChosen = chosen != nullptr ? chosen->Label() : "-";
	}

	int32 items = kItems;
};

class MenuScrollTest : public testing::Test {
protected:
	void SetUp() override
	{
		gChosen.clear();
		fBackend = HeadlessBackend::Install(kSmallScreen);
		fApp = new BApplication("application/x-vnd.menu-scroll-test");
		fWindow = new BWindow(BRect(20, 40, 119, 89), "opener", B_TITLED_WINDOW, B_NOT_RESIZABLE);
		fOpener = new OpenerView();
		fWindow->AddChild(fOpener);
		fWindow->Show();
		EventLoop::Drain();
	}

	void TearDown() override
	{
		EventLoop::SetIdleHook(nullptr);
		delete fApp;
	}

	void Script(std::vector<std::function<void()>> steps)
	{
		auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
		auto next = std::make_shared<size_t>(0);
		EventLoop::SetIdleHook([shared, next] {
			if (*next < shared->size())
				(*shared)[(*next)++]();
		});
	}

	void Open()
	{
		fBackend->InjectMouseDown(HeadlessBackend::IdOf(fWindow), BPoint(10, 10));
		EventLoop::Drain();
	}

	static MenuWindow* Outer()
	{
		BPrivate::MenuTracker* tracker = BPrivate::MenuTracker::Current();
		BMenu* root = tracker != nullptr ? tracker->Root() : nullptr;
		return root != nullptr ? dynamic_cast<MenuWindow*>(root->Window()) : nullptr;
	}

	static uint32 OuterId() { return HeadlessBackend::IdOf(Outer()); }

	// An item's centre in its menu window's coordinates, wherever the list is scrolled to.
	static BPoint ItemPoint(int32 index)
	{
		BRect frame = Outer()->ItemScreenFrame(index);
		BPoint center((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
		return Outer()->ConvertFromScreen(center);
	}

	static BPoint LowerArrow()
	{
		BRect bounds = Outer()->Bounds();
		return BPoint(bounds.Width() / 2, bounds.bottom - kArrowArea / 2);
	}

	std::vector<HeadlessBackend::WindowInfo> MenuWindows() const
	{
		std::vector<HeadlessBackend::WindowInfo> menus;
		for (const auto& info : fBackend->Windows()) {
			if (info.popupMenu && info.visible)
				menus.push_back(info);
		}
		std::sort(menus.begin(), menus.end(),
			[](const auto& a, const auto& b) { return a.id < b.id; });
		return menus;
	}

	HeadlessBackend* fBackend;
	BApplication* fApp;
	BWindow* fWindow;
	OpenerView* fOpener;
};

} // namespace

TEST_F(MenuScrollTest, EveryItemOfAListTallerThanTheScreenCanBeChosen)
{
	struct Case {
		const char* name;
		std::vector<std::function<void(HeadlessBackend*)>> steps;
		std::string chosen;
	};
	auto keys = [](const std::vector<std::string>& sequence) {
		return [sequence](HeadlessBackend* backend) {
			for (const std::string& key : sequence)
				backend->InjectKey(OuterId(), key.c_str());
		};
	};
	// The first press of Down lights "More", the next ones the items after it.
	const std::vector<std::string> down(kItems + 1, "\x1f");
	auto arrowMoves = [](HeadlessBackend* backend) {
		// Each move over the lower arrow area moves the list by an item.
		for (int32 i = 0; i < kItems + 5; i++)
			backend->InjectMouseMoved(OuterId(), LowerArrow() - BPoint(0, i % 3), 1);
	};
	const Case cases[] = {
		{"up wraps round to the last item", {keys({"\x1e", "\n"})}, "Item 40"},
		{"down through every item", {keys(down), keys({"\n"})}, "Item 40"},
		{"down to the end and back up", {keys(down), keys({"\x1e", "\x1e", "\x1e", "\n"})},
			"Item 37"},
		{"the lower arrow, then a drag onto the last item",
			{arrowMoves,
				[](HeadlessBackend* backend) {
					backend->InjectMouseMoved(OuterId(), ItemPoint(kItems), 1);
				},
				[](HeadlessBackend* backend) {
					backend->InjectMouseUp(OuterId(), ItemPoint(kItems));
				}},
			"Item 40"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		gChosen.clear();
		BRect frame;
		bool scrolling = false;
		// Every step must act: a nested loop left with nothing to do gives up.
		std::vector<std::function<void()>> steps;
		for (const auto& step : c.steps) {
			steps.push_back([this, step, &frame, &scrolling] {
				if (!frame.IsValid()) {
					frame = Outer()->Frame();
					scrolling = Outer()->IsScrolling();
				}
				step(fBackend);
			});
		}
		// Keys end with Enter; the drag has released already. Anything left open closes.
		steps.push_back([] { BPrivate::CloseTrackedMenu(); });
		Script(steps);
		Open();
		fBackend->InjectMouseUp(HeadlessBackend::IdOf(fWindow), BPoint(10, 10));
		EventLoop::Drain();
		EXPECT_TRUE(scrolling);
		EXPECT_TRUE(kSmallScreen.Contains(frame));
		EXPECT_EQ(c.chosen, gChosen);
	}
}

TEST_F(MenuScrollTest, TheArrowsShowWhichWayTheListCanMove)
{
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	rgb_color more = tint_color(background, B_DARKEN_4_TINT);
	rgb_color end = tint_color(background, B_DARKEN_1_TINT);
	rgb_color upTip[2];
	rgb_color downTip[2];
	BPoint shownFirst[2];
	auto look = [&](int32 at) {
		MenuWindow* window = Outer();
		BRect bounds = window->Bounds();
		int32 center = (int32)std::floor(bounds.Width() / 2);
		upTip[at] = fBackend->PixelAt(window, center, 3);
		downTip[at] = fBackend->PixelAt(window, center, (int32)bounds.bottom - 3);
		shownFirst[at] = window->ConvertFromScreen(window->ItemScreenFrame(0).LeftTop());
	};
	Script({[&] {
				look(0);
				fBackend->InjectKey(OuterId(), "\x1e");
			},
		[&] {
			look(1);
			BPrivate::CloseTrackedMenu();
		}});
	Open();
	EventLoop::Drain();

	EXPECT_EQ(end, upTip[0]) << "nothing above the first item";
	EXPECT_EQ(more, downTip[0]);
	EXPECT_EQ(more, upTip[1]);
	EXPECT_EQ(end, downTip[1]) << "nothing below the last item";
	// The first item starts right under the upper arrow area, then is scrolled away.
	EXPECT_GE(shownFirst[0].y, kArrowArea);
	EXPECT_LT(shownFirst[1].y, 0);
}

TEST_F(MenuScrollTest, AListThatFitsHasNoArrows)
{
	fOpener->items = 3;
	bool scrolling = true;
	BRect frame;
	float preferred = 0;
	Script({[&] {
		scrolling = Outer()->IsScrolling();
		frame = Outer()->Frame();
		preferred = Outer()->Menu()->PreferredSize().y;
		BPrivate::CloseTrackedMenu();
	}});
	Open();
	EXPECT_FALSE(scrolling);
	EXPECT_EQ(preferred, frame.Height());
	EXPECT_EQ(BPoint(30, 50), frame.LeftTop()) << "at the pointer";
}

TEST_F(MenuScrollTest, MenuWindowsBelongToTheirOpenerAndScrollingClosesASubmenu)
{
	std::vector<HeadlessBackend::WindowInfo> withSubmenu;
	std::vector<HeadlessBackend::WindowInfo> afterScroll;
	Script({[&] {
				// Down onto "More", right into its submenu.
				fBackend->InjectKey(OuterId(), "\x1f");
				fBackend->InjectKey(OuterId(), "\x1d");
			},
		[&] {
			withSubmenu = MenuWindows();
			fBackend->InjectMouseMoved(OuterId(), LowerArrow(), 1);
		},
		[&] {
			afterScroll = MenuWindows();
			BPrivate::CloseTrackedMenu();
		}});
	Open();

	ASSERT_EQ(2u, withSubmenu.size());
	EXPECT_EQ(HeadlessBackend::IdOf(fWindow), withSubmenu[0].parent);
	EXPECT_EQ(withSubmenu[0].id, withSubmenu[1].parent);
	for (const auto& info : withSubmenu) {
		EXPECT_TRUE(info.skipTaskbar);
		EXPECT_TRUE(kSmallScreen.Contains(info.frame));
	}
	ASSERT_EQ(1u, afterScroll.size());
	EXPECT_EQ(withSubmenu[0].id, afterScroll[0].id);
}
