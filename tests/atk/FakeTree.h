// A small accessible tree in memory, standing in for the kit's while the module is tested on
// its own: nodes with fixed roles, names, states and bounds, a text with caret, selection,
// character boxes of a fixed width and links, and counters of what the module asked for.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AccessibleNode.h"

namespace KamboAtkTest {

class FakeText : public BPrivate::AccessibleText {
public:
	struct Link {
		int32 start;
		int32 end;
		std::string address;
	};

	// Characters are boxes of kCharWidth × the origin's height, from origin on.
	static constexpr float kCharWidth = 8;
	static constexpr float kCharHeight = 16;

	std::string Contents() override { return fContents; }
	int32 CountCharacters() override;
	int32 CaretOffset() override { return fCaret; }
	bool SetCaretOffset(int32 offset) override;
	bool GetSelection(int32* start, int32* end) override;
	bool SetSelection(int32 start, int32 end) override;
	BRect CharacterBounds(int32 offset) override;
	int32 OffsetAtPoint(BPoint screenPoint) override;
	bool IsEditable() override { return fEditable; }
	bool SetContents(const std::string& text) override;
	bool InsertText(int32 offset, const std::string& text) override;
	bool DeleteText(int32 start, int32 end) override;
	bool CopyText(int32 start, int32 end) override;
	bool CutText(int32 start, int32 end) override;
	bool PasteText(int32 offset) override;
	int32 CountLinks() override { return int32(fLinks.size()); }
	bool GetLink(int32 index, int32* start, int32* end, std::string* address) override;
	bool ActivateLink(int32 index) override;

	std::string fContents;
	int32 fCaret = 0;
	int32 fSelectionStart = 0;
	int32 fSelectionEnd = 0;
	bool fEditable = true;
	// Only digits get in, as through the amount field's filter.
	bool fDigitsOnly = false;
	BPoint fOrigin;
	std::vector<Link> fLinks;
	std::string fClipboard;
	std::vector<int32> fActivatedLinks;

	// The program changes the text (a result line): removed, then inserted, as the kit tells.
	void Replace(const std::string& contents);

	// With a listener the text tells its changes like the kit's text views; fChanged runs
	// after each edit.
	BPrivate::AccessibilityListener* fListener = nullptr;
	BPrivate::AccessibleNode* fNode = nullptr;
	std::function<void()> fChanged;

private:
	void _Tell(BPrivate::AccessibleEvent::Type type, int32 offset, const std::string& text);
};

class FakeNode : public BPrivate::AccessibleNode {
public:
	FakeNode(accessible_role role, std::string name,
		uint64 states = B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING);
	~FakeNode() override = default;

	FakeNode* Add(std::unique_ptr<FakeNode> child);
	// Takes the child out of the tree and hands it back (still alive).
	std::unique_ptr<FakeNode> Remove(int32 index);

	AccessibleNode* Parent() override { return fParent; }
	int32 CountChildren() override { return int32(fChildren.size()); }
	AccessibleNode* ChildAt(int32 index) override;
	int32 IndexInParent() override;
	accessible_role Role() override { return fRole; }
	std::string Name() override { return fName; }
	std::string Description() override { return fDescription; }
	uint64 States() override { return fStates; }
	BRect ScreenBounds() override { return fBounds; }
	bool GrabFocus() override;
	int32 CountActions() override { return int32(fActions.size()); }
	std::string ActionName(int32 index) override;
	std::string ActionDescription(int32 index) override;
	bool DoAction(int32 index) override;
	BPrivate::AccessibleText* Text() override { return fText.get(); }

	accessible_role fRole;
	std::string fName;
	std::string fDescription;
	uint64 fStates;
	BRect fBounds;
	std::vector<std::string> fActions;
	std::vector<int32> fActionsDone;
	// Run for each action done and focus grabbed (the host queues them to its loop).
	std::function<void(int32)> fOnAction;
	std::function<void()> fOnFocus;
	int32 fFocusGrabs = 0;
	std::unique_ptr<FakeText> fText;
	FakeNode* fParent = nullptr;
	std::vector<std::unique_ptr<FakeNode>> fChildren;
};

std::unique_ptr<FakeNode> MakeNode(accessible_role role, const std::string& name,
	uint64 states = B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING);
// A text node; editable ones are focusable single-line entries.
std::unique_ptr<FakeNode> MakeTextNode(const std::string& name, const std::string& contents,
	bool editable);

// The converter's shape: an application with a frame holding an amount field, a live euro
// line, a live result, two buttons (press); and a dialog with a text with two links and "OK".
struct ConverterTree {
	ConverterTree();

	std::unique_ptr<FakeNode> application;
	FakeNode* frame;
	FakeNode* amount;
	FakeNode* euroLine;
	FakeNode* result;
	FakeNode* calculatorButton;
	FakeNode* aboutButton;
	FakeNode* panel;
};

} // namespace KamboAtkTest
