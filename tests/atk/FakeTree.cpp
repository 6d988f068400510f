#include "FakeTree.h"

#include <algorithm>
#include <cmath>

#include "TextSegments.h"

namespace KamboAtkTest {

namespace {

std::string
Utf8Slice(const std::string& text, int32 start, int32 end)
{
	return KamboAtk::TextSegments(text).Slice(start, end);
}

} // namespace

int32
FakeText::CountCharacters()
{
	return KamboAtk::TextSegments(fContents).CountCharacters();
}

bool
FakeText::SetCaretOffset(int32 offset)
{
	if (offset < 0 || offset > CountCharacters())
		return false;
	fCaret = fSelectionStart = fSelectionEnd = offset;
	return true;
}

bool
FakeText::GetSelection(int32* start, int32* end)
{
	*start = fSelectionStart;
	*end = fSelectionEnd;
	return fSelectionStart != fSelectionEnd;
}

bool
FakeText::SetSelection(int32 start, int32 end)
{
	int32 count = CountCharacters();
	if (start < 0 || end < start || end > count)
		return false;
	fSelectionStart = start;
	fSelectionEnd = fCaret = end;
	return true;
}

BRect
FakeText::CharacterBounds(int32 offset)
{
	if (offset < 0 || offset >= CountCharacters())
		return BRect();
	float left = fOrigin.x + offset * kCharWidth;
	return BRect(left, fOrigin.y, left + kCharWidth - 1, fOrigin.y + kCharHeight - 1);
}

int32
FakeText::OffsetAtPoint(BPoint point)
{
	if (point.y < fOrigin.y || point.y >= fOrigin.y + kCharHeight || point.x < fOrigin.x)
		return -1;
	int32 offset = int32(std::floor((point.x - fOrigin.x) / kCharWidth));
	return offset < CountCharacters() ? offset : -1;
}

bool
FakeText::SetContents(const std::string& text)
{
	if (!fEditable)
		return false;
	DeleteText(0, CountCharacters());
	return InsertText(0, text);
}

bool
FakeText::InsertText(int32 offset, const std::string& text)
{
	if (!fEditable || offset < 0 || offset > CountCharacters())
		return false;
	std::string accepted;
	for (char c : text) {
		if (!fDigitsOnly || (c >= '0' && c <= '9'))
			accepted += c;
	}
	fContents = Utf8Slice(fContents, 0, offset) + accepted + Utf8Slice(fContents, offset, -1);
	fCaret = fSelectionStart = fSelectionEnd = offset
		+ KamboAtk::TextSegments(accepted).CountCharacters();
	if (!accepted.empty())
		_Tell(BPrivate::AccessibleEvent::kTextInserted, offset, accepted);
	_Tell(BPrivate::AccessibleEvent::kCaretMoved, fCaret, "");
	if (fChanged)
		fChanged();
	return true;
}

void
FakeText::Replace(const std::string& contents)
{
	std::string old = fContents;
	fContents = contents;
	fCaret = fSelectionStart = fSelectionEnd = 0;
	if (!old.empty())
		_Tell(BPrivate::AccessibleEvent::kTextRemoved, 0, old);
	if (!contents.empty())
		_Tell(BPrivate::AccessibleEvent::kTextInserted, 0, contents);
}

void
FakeText::_Tell(BPrivate::AccessibleEvent::Type type, int32 offset, const std::string& text)
{
	if (fListener == nullptr || fNode == nullptr)
		return;
	BPrivate::AccessibleEvent event;
	event.type = type;
	event.node = fNode;
	event.offset = offset;
	event.text = text;
	event.length = KamboAtk::TextSegments(text).CountCharacters();
	fListener->Notify(event);
}

bool
FakeText::DeleteText(int32 start, int32 end)
{
	if (!fEditable || start < 0 || end < start || end > CountCharacters())
		return false;
	std::string removed = Utf8Slice(fContents, start, end);
	fContents = Utf8Slice(fContents, 0, start) + Utf8Slice(fContents, end, -1);
	fCaret = fSelectionStart = fSelectionEnd = start;
	if (!removed.empty())
		_Tell(BPrivate::AccessibleEvent::kTextRemoved, start, removed);
	_Tell(BPrivate::AccessibleEvent::kCaretMoved, fCaret, "");
	if (fChanged)
		fChanged();
	return true;
}

bool
FakeText::CopyText(int32 start, int32 end)
{
	if (start < 0 || end < start || end > CountCharacters())
		return false;
	fClipboard = Utf8Slice(fContents, start, end);
	return true;
}

bool
FakeText::CutText(int32 start, int32 end)
{
	return fEditable && CopyText(start, end) && DeleteText(start, end);
}

bool
FakeText::PasteText(int32 offset)
{
	return InsertText(offset, fClipboard);
}

bool
FakeText::GetLink(int32 index, int32* start, int32* end, std::string* address)
{
	if (index < 0 || index >= CountLinks())
		return false;
	*start = fLinks[index].start;
	*end = fLinks[index].end;
	*address = fLinks[index].address;
	return true;
}

bool
FakeText::ActivateLink(int32 index)
{
	if (index < 0 || index >= CountLinks())
		return false;
	fActivatedLinks.push_back(index);
	return true;
}

FakeNode::FakeNode(accessible_role role, std::string name, uint64 states) :
	fRole(role),
	fName(std::move(name)),
	fStates(states)
{
}

FakeNode*
FakeNode::Add(std::unique_ptr<FakeNode> child)
{
	child->fParent = this;
	fChildren.push_back(std::move(child));
	return fChildren.back().get();
}

std::unique_ptr<FakeNode>
FakeNode::Remove(int32 index)
{
	std::unique_ptr<FakeNode> child = std::move(fChildren.at(index));
	fChildren.erase(fChildren.begin() + index);
	child->fParent = nullptr;
	return child;
}

BPrivate::AccessibleNode*
FakeNode::ChildAt(int32 index)
{
	if (index < 0 || index >= CountChildren())
		return nullptr;
	return fChildren[index].get();
}

int32
FakeNode::IndexInParent()
{
	if (fParent == nullptr)
		return -1;
	for (int32 i = 0; i < fParent->CountChildren(); i++) {
		if (fParent->fChildren[i].get() == this)
			return i;
	}
	return -1;
}

bool
FakeNode::GrabFocus()
{
	if ((fStates & B_STATE_FOCUSABLE) == 0)
		return false;
	fFocusGrabs++;
	if (fOnFocus)
		fOnFocus();
	return true;
}

std::string
FakeNode::ActionName(int32 index)
{
	return index >= 0 && index < CountActions() ? fActions[index] : std::string();
}

std::string
FakeNode::ActionDescription(int32 index)
{
	return index >= 0 && index < CountActions() ? "Drückt " + fName : std::string();
}

bool
FakeNode::DoAction(int32 index)
{
	if (index < 0 || index >= CountActions())
		return false;
	fActionsDone.push_back(index);
	if (fOnAction)
		fOnAction(index);
	return true;
}

std::unique_ptr<FakeNode>
MakeNode(accessible_role role, const std::string& name, uint64 states)
{
	return std::make_unique<FakeNode>(role, name, states);
}

std::unique_ptr<FakeNode>
MakeTextNode(const std::string& name, const std::string& contents, bool editable)
{
	uint64 states = B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING | B_STATE_SELECTABLE_TEXT
		| B_STATE_SINGLE_LINE;
	states |= editable ? B_STATE_EDITABLE | B_STATE_FOCUSABLE : B_STATE_READ_ONLY;
	auto node = MakeNode(B_ROLE_TEXT, name, states);
	node->fText = std::make_unique<FakeText>();
	node->fText->fContents = contents;
	node->fText->fEditable = editable;
	return node;
}

ConverterTree::ConverterTree() :
	application(MakeNode(B_ROLE_APPLICATION, "ZQ Kambo-Lux", B_STATE_ENABLED))
{
	frame = application->Add(MakeNode(B_ROLE_FRAME, "ZQ Kambo-Lux",
		B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING | B_STATE_ACTIVE));
	frame->fBounds = BRect(100, 50, 513, 275);
	panel = frame->Add(MakeNode(B_ROLE_PANEL, ""));
	panel->fBounds = frame->fBounds;

	amount = panel->Add(MakeTextNode("Betrag in DEM", "0", true));
	amount->fBounds = BRect(134, 70, 272, 90);
	amount->fText->fOrigin = BPoint(140, 72);
	amount->fText->fDigitsOnly = true;

	euroLine = panel->Add(MakeTextNode("Euro-Betrag", "0.000000 . . .", false));
	euroLine->fStates |= B_STATE_LIVE;
	euroLine->fBounds = BRect(134, 98, 272, 114);
	result = panel->Add(MakeTextNode("Ergebnis in EUR", "0.00", false));
	result->fStates |= B_STATE_LIVE;
	result->fBounds = BRect(134, 120, 272, 140);

	calculatorButton = panel->Add(MakeNode(B_ROLE_PUSH_BUTTON, "Taschenrechner",
		B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING | B_STATE_FOCUSABLE));
	calculatorButton->fActions = {"press"};
	calculatorButton->fBounds = BRect(300, 70, 330, 100);
	aboutButton = panel->Add(MakeNode(B_ROLE_PUSH_BUTTON, "Über ZQ Kambo-Lux",
		B_STATE_ENABLED | B_STATE_VISIBLE | B_STATE_SHOWING | B_STATE_FOCUSABLE));
	aboutButton->fActions = {"press"};
	aboutButton->fBounds = BRect(340, 70, 370, 100);
}

} // namespace KamboAtkTest
