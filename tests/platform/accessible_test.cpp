// The kit's accessible tree on the headless backend: what each widget class says about
// itself (role, name, states, bounds) at scale 1 and 2, the events of the kit's changes in
// order, queued actions, parts, the text interface in characters, menus, the end of a
// node, and that nothing is made or sent while nobody listens.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "AccessibilityRecorder.h"
#include "AccessibleKit.h"
#include "AppDefs.h"
#include "Application.h"
#include "Button.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Picture.h"
#include "PictureButton.h"
#include "PopUpMenu.h"
#include "TextView.h"
#include "View.h"
#include "Window.h"
#include "WindowPrivate.h"

using BPrivate::AccessibilityRecorder;
using BPrivate::AccessibleEvent;
using BPrivate::AccessibleNode;
using BPrivate::EventLoop;
using BPrivate::HeadlessBackend;
using Type = BPrivate::AccessibleEvent::Type;

namespace {

constexpr char kUmlautText[] = "Gr\xC3\xBC\xC3\x9F"
							   "e 5 \xE2\x82\xAC"; // "Grüße 5 €"

// A view drawing two buttons of its own, the second one renamed by the test.
class PartsView : public BView {
public:
	explicit PartsView(BRect frame) : BView(frame, "parts", B_FOLLOW_NONE, B_WILL_DRAW) {}

	int32 CountAccessibleParts() const override { return fCount; }
	bool GetAccessiblePart(int32 index, accessible_part* part) const override
	{
		if (index < 0 || index >= fCount)
			return false;
		part->name = index == 0 ? "links" : fSecondName;
		part->frame = BRect(index * 10, 0, index * 10 + 9, 9);
		part->action = "press";
		part->states = index == 1 ? B_STATE_ENABLED | B_STATE_HAS_POPUP : B_STATE_ENABLED;
		return true;
	}
	void DoAccessiblePartAction(int32 index) override { pressed.push_back(index); }

	int32 fCount = 2;
	std::string fSecondName = "rechts";
	std::vector<int32> pressed;
};

// Counts the edits that reach the view's hook, so that edits of the interface are seen to
// take the view's own path.
class CountingText : public BTextView {
public:
	CountingText(BRect frame) :
		BTextView(frame, "text", BRect(2, 2, 117, 17), B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE)
	{
		SetWordWrap(false);
	}

	int32 inserts = 0;

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		inserts++;
		BTextView::InsertText(text, length, offset, runs);
	}
};

class Target : public BHandler {
public:
	void MessageReceived(BMessage* message) override { received.push_back(message->what); }
	std::vector<uint32> received;
};

class AccessibleTest : public testing::TestWithParam<int32> {
protected:
	void SetUp() override
	{
		fBackend = HeadlessBackend::Install();
		fBackend->SetScale(GetParam());
		fApp = std::make_unique<BApplication>("application/x-vnd.accessible-test");
		fWindow = new BWindow(BRect(100, 50, 299, 149), "Fenster", B_TITLED_WINDOW,
			B_NOT_RESIZABLE);
		fButton = new BButton(BRect(10, 60, 69, 79), "ok", "OK", new BMessage('okay'));
		fText = new CountingText(BRect(10, 10, 129, 29));
		fReadOnly = new BTextView(BRect(10, 35, 129, 50), "result", BRect(2, 2, 117, 13),
			B_FOLLOW_NONE, B_WILL_DRAW);
		fReadOnly->MakeEditable(false);
		fParts = new PartsView(BRect(140, 10, 189, 29));
		fWindow->AddChild(fText);
		fWindow->AddChild(fReadOnly);
		fWindow->AddChild(fButton);
		fWindow->AddChild(fParts);
		fWindow->AddHandler(&fTarget);
		fButton->SetTarget(&fTarget);
		fButton->MakeDefault(true);
	}

	void TearDown() override
	{
		EventLoop::SetIdleHook(nullptr);
		if (fWindow != nullptr)
			fWindow->RemoveHandler(&fTarget);
		fApp.reset();
	}

	void Show()
	{
		fWindow->Show();
		EventLoop::Drain();
	}

	uint32 Id() const { return HeadlessBackend::IdOf(fWindow); }
	int32 Scale() const { return GetParam(); }
	AccessibleNode* Root() const { return BPrivate::AccessibleRoot(); }
	AccessibleNode* Node(BView* view) const { return BPrivate::NodeOf(view); }

	// A layout rect on the screen in window-system pixels at the test's scale.
	BRect Pixels(BRect screen) const
	{
		float s = (float)Scale();
		return BRect(screen.left * s, screen.top * s, (screen.right + 1) * s - 1,
			(screen.bottom + 1) * s - 1);
	}

	HeadlessBackend* fBackend = nullptr;
	std::unique_ptr<BApplication> fApp;
	BWindow* fWindow = nullptr;
	BButton* fButton = nullptr;
	CountingText* fText = nullptr;
	BTextView* fReadOnly = nullptr;
	PartsView* fParts = nullptr;
	Target fTarget;
};

// #pragma mark - the tree

TEST_P(AccessibleTest, EveryWidgetSaysWhatItIs)
{
	AccessibilityRecorder recorder;
	fText->SetAccessibleName("Betrag");
	Show();

	ASSERT_EQ(1, Root()->CountChildren());
	AccessibleNode* window = Root()->ChildAt(0);
	EXPECT_EQ(B_ROLE_FRAME, window->Role());
	EXPECT_EQ("Fenster", window->Name());
	EXPECT_EQ("Fenster", Root()->Name()); // the program is named by its first window
	EXPECT_EQ(Pixels(BRect(100, 50, 299, 149)), window->ScreenBounds());
	EXPECT_NE(0u, window->States() & B_STATE_ACTIVE);
	ASSERT_EQ(4, window->CountChildren());

	const uint64 kShown = B_STATE_VISIBLE | B_STATE_SHOWING;
	struct Case {
		BView* view;
		accessible_role role;
		const char* name;
		uint64 has;
		uint64 hasNot;
	} cases[] = {
		{fText, B_ROLE_TEXT, "Betrag",
			kShown | B_STATE_EDITABLE | B_STATE_SINGLE_LINE | B_STATE_FOCUSABLE, B_STATE_READ_ONLY},
		{fReadOnly, B_ROLE_TEXT, "", kShown | B_STATE_READ_ONLY | B_STATE_SELECTABLE_TEXT,
			B_STATE_EDITABLE | B_STATE_FOCUSED},
		{fButton, B_ROLE_PUSH_BUTTON, "OK",
			kShown | B_STATE_ENABLED | B_STATE_DEFAULT | B_STATE_FOCUSABLE, B_STATE_PRESSED},
		{fParts, B_ROLE_PANEL, "", kShown, B_STATE_FOCUSABLE},
	};
	for (size_t i = 0; i < std::size(cases); i++) {
		const Case& c = cases[i];
		AccessibleNode* node = window->ChildAt((int32)i);
		SCOPED_TRACE(c.view->Name());
		EXPECT_EQ(Node(c.view), node);
		EXPECT_EQ(window, node->Parent());
		EXPECT_EQ((int32)i, node->IndexInParent());
		EXPECT_EQ(c.role, node->Role());
		EXPECT_EQ(c.name, node->Name());
		EXPECT_EQ(c.has, node->States() & c.has);
		EXPECT_EQ(0u, node->States() & c.hasNot);
		EXPECT_EQ(Pixels(c.view->ConvertToScreen(c.view->Bounds())), node->ScreenBounds());
	}
	EXPECT_EQ(Pixels(BRect(110, 110, 169, 129)), Node(fButton)->ScreenBounds());

	// The parts follow the child views.
	AccessibleNode* parts = Node(fParts);
	ASSERT_EQ(2, parts->CountChildren());
	AccessibleNode* second = parts->ChildAt(1);
	EXPECT_EQ(B_ROLE_PUSH_BUTTON, second->Role());
	EXPECT_EQ("rechts", second->Name());
	EXPECT_EQ(1, second->IndexInParent());
	EXPECT_EQ(parts, second->Parent());
	EXPECT_NE(0u, second->States() & B_STATE_HAS_POPUP);
	EXPECT_EQ(Pixels(BRect(250, 60, 259, 69)), second->ScreenBounds());
}

// Where the window system tells no window's place (Wayland), extents in screen coordinates
// are relative to the window, as GTK reports them there, and a point is read back the same way.
TEST_P(AccessibleTest, WithoutScreenCoordinatesExtentsAreWindowRelative)
{
	fBackend->SetKnowsScreenCoordinates(false);
	Show();
	AccessibleNode* window = BPrivate::NodeOf(fWindow);
	EXPECT_EQ(Pixels(BRect(0, 0, 199, 99)), window->ScreenBounds());
	EXPECT_EQ(Pixels(BRect(10, 60, 69, 79)), Node(fButton)->ScreenBounds());
	EXPECT_EQ(Pixels(BRect(150, 10, 159, 19)), Node(fParts)->ChildAt(1)->ScreenBounds());

	fText->SetText("12,5");
	BPrivate::AccessibleText* text = Node(fText)->Text();
	ASSERT_NE(nullptr, text);
	for (int32 i = 0; i < 4; i++) {
		const BRect box = text->CharacterBounds(i);
		EXPECT_TRUE(Node(fText)->ScreenBounds().Contains(box)) << i;
		EXPECT_EQ(i,
			text->OffsetAtPoint(BPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2)))
			<< i;
	}
}

TEST_P(AccessibleTest, AMessageTextIsALabelThatSaysItself)
{
	// An alert's text: neither editable nor selectable, only there to be read. A screen reader
	// speaks a dialog's labels when it comes up, by their names.
	fReadOnly->MakeSelectable(false);
	fReadOnly->SetText("Umrechnungskurse, keine Gew\xC3\xA4hr!");
	Show();
	EXPECT_EQ(B_ROLE_LABEL, Node(fReadOnly)->Role());
	EXPECT_EQ("Umrechnungskurse, keine Gew\xC3\xA4hr!", Node(fReadOnly)->Name());
	fReadOnly->SetAccessibleName("Kurse");
	EXPECT_EQ("Kurse", Node(fReadOnly)->Name());
	// Text that can be selected (a result) stays text, named only when named.
	fReadOnly->MakeSelectable(true);
	fReadOnly->SetAccessibleName("");
	EXPECT_EQ(B_ROLE_TEXT, Node(fReadOnly)->Role());
	EXPECT_EQ("", Node(fReadOnly)->Name());
}

TEST_P(AccessibleTest, NothingIsMadeOrSentWithoutAListener)
{
	Show();
	fBackend->InjectText(Id(), "12");
	fBackend->InjectKey(Id(), "\t");
	EventLoop::Drain();
	fWindow->SetTitle("anders");
	fParts->AccessiblePartsChanged();
	EXPECT_EQ(nullptr, BPrivate::WindowAccess::Accessible(fWindow));
	for (BView* view : {(BView*)fText, (BView*)fReadOnly, (BView*)fButton, (BView*)fParts})
		EXPECT_EQ(nullptr, BPrivate::AccessibleData(view, false)) << view->Name();
}

// #pragma mark - events

TEST_P(AccessibleTest, WindowFocusAndTextEventsComeInOrder)
{
	AccessibilityRecorder recorder;
	fText->MakeFocus(true);
	Show();
	EXPECT_EQ((std::vector<std::string>{"window-shown Fenster", "child-added Fenster [0]",
				  "window-activated Fenster", "focused "}),
		recorder.Lines(
			{Type::kWindowShown, Type::kChildAdded, Type::kWindowActivated, Type::kFocused}));

	recorder.Clear();
	fBackend->InjectText(Id(), "a\xC3\xBC");
	fBackend->InjectKey(Id(), "\t");
	EventLoop::Drain();
	EXPECT_EQ((std::vector<std::string>{"text-inserted  @0+1 'a'", "caret-moved  @1",
				  "text-inserted  @1+1 '\xC3\xBC'", "caret-moved  @2", "focused ",
				  "caret-moved  @0"}),
		recorder.Lines({Type::kTextInserted, Type::kCaretMoved, Type::kFocused}));
	// The Tab went to the next view that takes the focus, the selectable result, whose
	// caret is told as it comes into view.
	EXPECT_EQ(Node(fReadOnly), recorder.events.back().node);

	recorder.Clear();
	fReadOnly->SetText("1,00 \xE2\x82\xAC");
	fReadOnly->SetText("2");
	EXPECT_EQ((std::vector<std::string>{"text-inserted  @0+6 '1,00 \xE2\x82\xAC'",
				  "text-removed  @0+6 '1,00 \xE2\x82\xAC'", "text-inserted  @0+1 '2'"}),
		recorder.Lines({Type::kTextInserted, Type::kTextRemoved}));

	recorder.Clear();
	fText->Select(0, 1);
	EXPECT_EQ((std::vector<std::string>{"selection-changed ", "caret-moved  @1"}),
		recorder.Lines({Type::kSelectionChanged, Type::kCaretMoved}));

	recorder.Clear();
	fButton->SetLabel("Weiter");
	fWindow->MoveTo(120, 60);
	fWindow->Hide();
	EXPECT_EQ((std::vector<std::string>{"name-changed Weiter", "bounds-changed Fenster",
				  "window-hidden Fenster", "child-removed Fenster [0]"}),
		recorder.Lines(
			{Type::kNameChanged, Type::kBoundsChanged, Type::kWindowHidden, Type::kChildRemoved}));
	EXPECT_EQ(0, Root()->CountChildren());
}

TEST_P(AccessibleTest, PartChangesAreReportedOnce)
{
	AccessibilityRecorder recorder;
	Show();
	AccessibleNode* parts = Node(fParts);
	ASSERT_EQ(2, parts->CountChildren());
	recorder.Clear();

	fParts->AccessiblePartsChanged(); // nothing changed
	EXPECT_TRUE(recorder.lines.empty());
	fParts->fSecondName = "unten";
	fParts->AccessiblePartsChanged();
	fParts->AccessiblePartsChanged();
	fParts->fCount = 1;
	fParts->AccessiblePartsChanged();
	EXPECT_EQ((std::vector<std::string>{"name-changed unten", "child-removed  [1]", "destroyed"}),
		recorder.lines);
	EXPECT_EQ(1, parts->CountChildren());
}

TEST_P(AccessibleTest, AViewThatGoesSaysSo)
{
	AccessibilityRecorder recorder;
	Show();
	AccessibleNode* window = Root()->ChildAt(0);
	AccessibleNode* parts = Node(fParts);
	ASSERT_EQ(2, parts->CountChildren());
	recorder.Clear();

	fParts->RemoveSelf();
	delete fParts;
	fParts = nullptr;
	ASSERT_EQ(4u, recorder.events.size());
	EXPECT_EQ(Type::kChildRemoved, recorder.events[0].type);
	EXPECT_EQ(window, recorder.events[0].node);
	EXPECT_EQ(3, recorder.events[0].index);
	EXPECT_EQ(parts, recorder.events[0].child);
	// Its parts first, then the view itself.
	EXPECT_EQ((std::vector<std::string>{"destroyed", "destroyed", "destroyed"}),
		std::vector<std::string>(recorder.lines.begin() + 1, recorder.lines.end()));
	EXPECT_EQ(parts, recorder.events[3].node);
	EXPECT_EQ(3, window->CountChildren());

	BView* added = new BView(BRect(0, 0, 9, 9), "neu", B_FOLLOW_NONE, 0);
	recorder.Clear();
	fWindow->AddChild(added);
	EXPECT_EQ((std::vector<std::string>{"child-added Fenster [3]"}), recorder.lines);
	EXPECT_EQ(Node(added), recorder.events[0].child);
}

TEST_P(AccessibleTest, AWindowThatQuitsLeavesTheTree)
{
	AccessibilityRecorder recorder;
	Show();
	AccessibleNode* window = Root()->ChildAt(0);
	AccessibleNode* button = Node(fButton);
	ASSERT_NE(nullptr, window);
	recorder.Clear();
	fWindow->RemoveHandler(&fTarget);
	fWindow->PostMessage(B_QUIT_REQUESTED);
	EventLoop::Drain();
	fWindow = nullptr;
	EXPECT_EQ(0, Root()->CountChildren());
	std::vector<AccessibleNode*> destroyed;
	for (const AccessibleEvent& event : recorder.events) {
		if (event.type == Type::kDestroyed)
			destroyed.push_back(event.node);
	}
	EXPECT_EQ("window-hidden Fenster", recorder.lines.front());
	EXPECT_EQ("child-removed Fenster [0]", recorder.lines[1]);
	// Every node of it goes, the window's last.
	ASSERT_FALSE(destroyed.empty());
	EXPECT_NE(destroyed.end(), std::find(destroyed.begin(), destroyed.end(), button));
	EXPECT_EQ(window, destroyed.back());
}

// #pragma mark - actions

TEST_P(AccessibleTest, ActionsRunFromTheLoopLikeAClick)
{
	AccessibilityRecorder recorder;
	Show();
	AccessibleNode* button = Node(fButton);
	ASSERT_EQ(1, button->CountActions());
	EXPECT_EQ("press", button->ActionName(0));
	EXPECT_FALSE(button->DoAction(1));
	ASSERT_TRUE(button->DoAction(0));
	EXPECT_TRUE(fTarget.received.empty()); // queued, not run inside the call
	EventLoop::Drain();
	EXPECT_EQ(std::vector<uint32>{'okay'}, fTarget.received);

	fButton->SetEnabled(false);
	ASSERT_TRUE(button->DoAction(0));
	EventLoop::Drain();
	EXPECT_EQ(1u, fTarget.received.size()); // a disabled button is not pressed
	EXPECT_EQ(0u, button->States() & B_STATE_ENABLED);

	AccessibleNode* second = Node(fParts)->ChildAt(1);
	ASSERT_TRUE(second->DoAction(0));
	EXPECT_TRUE(fParts->pressed.empty());
	EventLoop::Drain();
	EXPECT_EQ(std::vector<int32>{1}, fParts->pressed);

	// A view that went before its action ran is not reached.
	ASSERT_TRUE(Node(fParts)->ChildAt(0)->DoAction(0));
	fParts->RemoveSelf();
	delete fParts;
	fParts = nullptr;
	EventLoop::Drain();
}

TEST_P(AccessibleTest, TwoStatePictureButtonFlipsAndInvokes)
{
	AccessibilityRecorder recorder;
	BPictureButton* toggle = new BPictureButton(BRect(80, 60, 99, 79), "toggle", new BPicture,
		new BPicture, new BMessage('togl'), B_TWO_STATE_BUTTON);
	toggle->SetAccessibleName("immer sichtbar");
	fWindow->AddChild(toggle);
	toggle->SetTarget(&fTarget);
	Show();
	AccessibleNode* node = Node(toggle);
	EXPECT_EQ("immer sichtbar", node->Name());
	EXPECT_EQ(B_STATE_CHECKABLE, node->States() & (B_STATE_CHECKABLE | B_STATE_CHECKED));
	node->DoAction(0);
	EventLoop::Drain();
	EXPECT_EQ(B_CONTROL_ON, toggle->Value());
	EXPECT_NE(0u, node->States() & B_STATE_CHECKED);
	EXPECT_EQ(std::vector<uint32>{'togl'}, fTarget.received);
}

// #pragma mark - text

TEST_P(AccessibleTest, TextCountsCharactersNotBytes)
{
	AccessibilityRecorder recorder;
	Show();
	fText->SetText(kUmlautText);
	BPrivate::AccessibleText* text = Node(fText)->Text();
	ASSERT_NE(nullptr, text);
	EXPECT_EQ(nullptr, Node(fButton)->Text());
	EXPECT_EQ(kUmlautText, text->Contents());
	EXPECT_EQ(9, text->CountCharacters());

	struct {
		int32 start;
		int32 end;
		int32 byteStart;
		int32 byteEnd;
	} selections[] = {
		{2, 4, 2, 6},                // "üß"
		{8, 9, 10, 13},              // "€"
		{0, 9, 0, 13}, {5, 2, 2, 7}, // reversed
	};
	for (const auto& s : selections) {
		ASSERT_TRUE(text->SetSelection(s.start, s.end));
		int32 start = -1, end = -1;
		fText->GetSelection(&start, &end);
		EXPECT_EQ(s.byteStart, start);
		EXPECT_EQ(s.byteEnd, end);
		ASSERT_TRUE(text->GetSelection(&start, &end));
		EXPECT_EQ(std::min(s.start, s.end), start);
		EXPECT_EQ(std::max(s.start, s.end), end);
	}
	ASSERT_TRUE(text->SetCaretOffset(4));
	EXPECT_EQ(4, text->CaretOffset());
	int32 start, end;
	EXPECT_FALSE(text->GetSelection(&start, &end));

	// Character boxes lie side by side on the line, inside the view, and a point inside
	// one finds it again.
	BRect view = Node(fText)->ScreenBounds();
	BRect previous;
	for (int32 i = 0; i < 9; i++) {
		BRect box = text->CharacterBounds(i);
		ASSERT_TRUE(box.IsValid()) << i;
		EXPECT_TRUE(view.Contains(box)) << i;
		if (i > 0) {
			EXPECT_NEAR(previous.right + 1, box.left, 1.0f) << i;
		}
		BPoint middle((box.left + box.right) / 2, (box.top + box.bottom) / 2);
		if (box.Width() >= 2 * Scale()) {
			EXPECT_EQ(i, text->OffsetAtPoint(middle)) << i;
		}
		previous = box;
	}
	EXPECT_FALSE(text->CharacterBounds(9).IsValid());
	EXPECT_EQ(-1, text->OffsetAtPoint(BPoint(0, 0)));
}

TEST_P(AccessibleTest, EditingTakesTheViewsOwnPath)
{
	AccessibilityRecorder recorder;
	Show();
	fText->SetText("5 \xE2\x82\xAC");
	BPrivate::AccessibleText* text = Node(fText)->Text();
	int32 before = fText->inserts;
	ASSERT_TRUE(text->InsertText(2, "\xC3\xA4"));
	EXPECT_EQ("5 \xC3\xA4\xE2\x82\xAC", std::string(fText->Text()));
	EXPECT_EQ(before + 1, fText->inserts);
	EXPECT_TRUE(fText->CanUndo());
	fText->Undo();
	EXPECT_EQ("5 \xE2\x82\xAC", std::string(fText->Text()));

	ASSERT_TRUE(text->DeleteText(0, 2));
	EXPECT_EQ("\xE2\x82\xAC", std::string(fText->Text()));
	ASSERT_TRUE(text->SetContents("7,50"));
	EXPECT_EQ("7,50", std::string(fText->Text()));
	ASSERT_TRUE(text->CopyText(1, 4));
	EXPECT_EQ(",50", fBackend->ClipboardText());
	ASSERT_TRUE(text->CutText(0, 1));
	EXPECT_EQ(",50", std::string(fText->Text()));
	EXPECT_EQ("7", fBackend->ClipboardText());
	ASSERT_TRUE(text->PasteText(3));
	EventLoop::Drain();
	EXPECT_EQ(",507", std::string(fText->Text()));
	EXPECT_FALSE(text->InsertText(9, "x")); // beyond the end

	// A text to be read only is not edited.
	BPrivate::AccessibleText* result = Node(fReadOnly)->Text();
	fReadOnly->SetText("1");
	EXPECT_FALSE(result->IsEditable());
	EXPECT_FALSE(result->InsertText(0, "2"));
	EXPECT_FALSE(result->SetContents("2"));
	EXPECT_FALSE(result->DeleteText(0, 1));
	EXPECT_EQ("1", std::string(fReadOnly->Text()));
}

// #pragma mark - menus

TEST_P(AccessibleTest, MenuItemsFollowTheKeyboardAndChoose)
{
	AccessibilityRecorder recorder;
	Show();
	BPopUpMenu menu("menu", false, false);
	menu.AddItem(new BMenuItem("eins", new BMessage('one ')));
	BMenuItem* option = new BMenuItem("Option", new BMessage('opt '));
	option->SetCheckable(true);
	menu.AddItem(option);
	menu.AddSeparatorItem();
	BMenuItem* disabled = new BMenuItem("aus", new BMessage('off '));
	disabled->SetEnabled(false);
	menu.AddItem(disabled);
	menu.AddItem(new BMenuItem("drei", new BMessage('thre')));

	std::vector<std::string> seen;
	int32 step = 0;
	EventLoop::SetIdleHook([&] {
		BMenu* tracked = BPrivate::TrackedMenu();
		if (tracked == nullptr)
			return;
		AccessibleNode* node = BPrivate::NodeOf(tracked);
		uint32 id = HeadlessBackend::IdOf(tracked->Window());
		if (step == 0) {
			step++;
			EXPECT_EQ(B_ROLE_MENU, node->Role());
			EXPECT_EQ(B_ROLE_WINDOW, node->Parent()->Role());
			ASSERT_EQ(5, node->CountChildren());
			struct {
				accessible_role role;
				const char* name;
				uint64 states;
			} items[] = {
				{B_ROLE_MENU_ITEM, "eins", B_STATE_ENABLED | B_STATE_SELECTABLE},
				{B_ROLE_CHECK_MENU_ITEM, "Option",
					B_STATE_ENABLED | B_STATE_SELECTABLE | B_STATE_CHECKABLE},
				{B_ROLE_SEPARATOR, "", 0},
				{B_ROLE_MENU_ITEM, "aus", 0},
				{B_ROLE_MENU_ITEM, "drei", B_STATE_ENABLED | B_STATE_SELECTABLE},
			};
			const uint64 kMask = B_STATE_ENABLED | B_STATE_SELECTABLE | B_STATE_CHECKABLE
				| B_STATE_CHECKED | B_STATE_SELECTED;
			for (int32 i = 0; i < 5; i++) {
				AccessibleNode* item = node->ChildAt(i);
				EXPECT_EQ(items[i].role, item->Role()) << i;
				EXPECT_EQ(items[i].name, item->Name()) << i;
				EXPECT_EQ(items[i].states, item->States() & kMask) << i;
				EXPECT_EQ(i, item->IndexInParent());
				EXPECT_EQ(Pixels(tracked->ConvertToScreen(tracked->ItemFrame(i))),
					item->ScreenBounds())
					<< i;
			}
			recorder.Clear();
			// Down skips the separator and the disabled item.
			for (int32 i = 0; i < 3; i++)
				fBackend->InjectKey(id, "\x1f");
		} else if (step == 1) {
			step++;
			for (const std::string& line : recorder.Lines({Type::kFocused}))
				seen.push_back(line);
			EXPECT_NE(0u, node->ChildAt(4)->States() & B_STATE_SELECTED);
			EXPECT_TRUE(node->ChildAt(1)->DoAction(0));
		}
	});
	BMenuItem* chosen = menu.Go(BPoint(150, 100));
	AccessibleNode* optionNode = BPrivate::NodeOfItem(option);
	recorder.Clear();
	option->SetMarked(true);
	ASSERT_EQ(1u, recorder.events.size());
	EXPECT_EQ(Type::kStateChanged, recorder.events[0].type);
	EXPECT_EQ(optionNode, recorder.events[0].node);
	EXPECT_EQ(B_STATE_CHECKED, recorder.events[0].state);
	EXPECT_TRUE(recorder.events[0].on);
	EXPECT_NE(0u, optionNode->States() & B_STATE_CHECKED);
	EXPECT_EQ((std::vector<std::string>{"focused eins", "focused Option", "focused drei"}), seen);
	EXPECT_EQ(option, chosen);
}

TEST_P(AccessibleTest, TheFocusGoesBackToTheViewWhenAMenuCloses)
{
	fButton->MakeFocus(true);
	Show();
	AccessibilityRecorder recorder;
	for (const char* closeKey : {"\x1b", "\n"}) { // without a choice, and choosing
		SCOPED_TRACE(closeKey[0] == '\n' ? "chosen" : "cancelled");
		BPopUpMenu menu("menu", false, false);
		menu.AddItem(new BMenuItem("eins", new BMessage('one ')));
		menu.AddItem(new BMenuItem("zwei", new BMessage('two ')));
		int32 step = 0;
		EventLoop::SetIdleHook([&] {
			BMenu* tracked = BPrivate::TrackedMenu();
			if (tracked == nullptr || step++ > 0)
				return;
			uint32 id = HeadlessBackend::IdOf(tracked->Window());
			fBackend->InjectKey(id, "\x1f");
			fBackend->InjectKey(id, closeKey);
		});
		recorder.Clear();
		menu.Go(BPoint(150, 100));
		EventLoop::SetIdleHook(nullptr);
		EventLoop::Drain();
		// The reader was told the focus went to "eins"; it must hear that it came back.
		std::vector<std::string> focus = recorder.Lines({Type::kFocused});
		ASSERT_EQ(2u, focus.size());
		EXPECT_EQ("focused eins", focus[0]);
		AccessibleNode* last = nullptr;
		for (const auto& event : recorder.events) {
			if (event.type == Type::kFocused)
				last = event.node;
		}
		EXPECT_EQ(Node(fButton), last);
	}
}

TEST_P(AccessibleTest, AWindowsNameForAReaderIsItsOwnAndKeepsTheTitle)
{
	fWindow->SetAccessibleName("Rechner");
	Show();
	AccessibilityRecorder recorder;
	AccessibleNode* window = BPrivate::NodeOf(fWindow);
	EXPECT_EQ("Rechner", window->Name());
	EXPECT_STREQ("Fenster", fWindow->Title());
	EXPECT_EQ("Fenster", Root()->Name()) << "the program keeps its main window's title";
	fWindow->SetAccessibleName("Neu");
	EXPECT_EQ((std::vector<std::string>{"name-changed Neu"}), recorder.Lines({Type::kNameChanged}));
	fWindow->SetAccessibleName(nullptr);
	EXPECT_EQ("Fenster", window->Name()) << "unset, the title serves again";
}

// The window a menu opens in is named after the menu, and a radio-mode menu's items are one
// choice of several; other marked items stay check items.
TEST_P(AccessibleTest, MenuWindowsAndTheirItemsSayWhatTheyAre)
{
	Show();
	const uint64 kChecks = B_STATE_CHECKABLE | B_STATE_CHECKED;
	const struct {
		const char* what;
		bool radio;
		const char* readerName; // nullptr: none set
		bool optionFirst;       // the first item an option (SetCheckable)
		const char* windowName;
		accessible_role roles[2];
		uint64 states[2];
	} cases[] = {
		{"radio list", true, "Zielw\xC3\xA4hrung", false, "Zielw\xC3\xA4hrung",
			{B_ROLE_RADIO_MENU_ITEM, B_ROLE_RADIO_MENU_ITEM}, {kChecks, B_STATE_CHECKABLE}},
		{"marks without radio mode", false, nullptr, false, "Menu",
			{B_ROLE_CHECK_MENU_ITEM, B_ROLE_CHECK_MENU_ITEM}, {kChecks, B_STATE_CHECKABLE}},
		{"an option beside a command", false, "Kontext", true, "Kontext",
			{B_ROLE_CHECK_MENU_ITEM, B_ROLE_MENU_ITEM}, {kChecks, 0}},
		{"an option in a radio menu", true, "Liste", true, "Liste",
			{B_ROLE_CHECK_MENU_ITEM, B_ROLE_RADIO_MENU_ITEM}, {kChecks, B_STATE_CHECKABLE}},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.what);
		BPopUpMenu menu("Menu", c.radio, false);
		if (c.readerName != nullptr)
			menu.SetAccessibleName(c.readerName);
		BMenuItem* first = new BMenuItem("eins", new BMessage('one '));
		first->SetCheckable(c.optionFirst);
		first->SetMarked(true);
		menu.AddItem(first);
		menu.AddItem(new BMenuItem("zwei", new BMessage('two ')));
		std::string windowName;
		std::vector<accessible_role> roles;
		std::vector<uint64> states;
		EventLoop::SetIdleHook([&] {
			BMenu* tracked = BPrivate::TrackedMenu();
			if (tracked == nullptr || !windowName.empty())
				return;
			AccessibleNode* node = BPrivate::NodeOf(tracked);
			windowName = node->Parent()->Name();
			for (int32 i = 0; i < node->CountChildren(); i++) {
				roles.push_back(node->ChildAt(i)->Role());
				states.push_back(node->ChildAt(i)->States() & kChecks);
			}
			BPrivate::CloseTrackedMenu();
		});
		menu.Go(BPoint(150, 100));
		EventLoop::SetIdleHook(nullptr);
		EXPECT_EQ(c.windowName, windowName);
		EXPECT_EQ((std::vector<accessible_role>{c.roles[0], c.roles[1]}), roles);
		EXPECT_EQ((std::vector<uint64>{c.states[0], c.states[1]}), states);
	}
}

INSTANTIATE_TEST_SUITE_P(Scales, AccessibleTest, testing::Values(1, 2),
	[](const testing::TestParamInfo<int32>& info) { return "Scale" + std::to_string(info.param); });

} // namespace
