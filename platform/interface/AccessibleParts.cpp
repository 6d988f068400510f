// The parts of a view: areas it draws that work like buttons. Their nodes follow what the
// view's hooks say, and report only what changed since they last told the listener.
#include <algorithm>

#include "AccessibleNodes.h"
#include "View.h"

namespace BPrivate {

PartNode*
ViewNode::PartAt(int32 index)
{
	SyncParts(false);
	if (index < 0 || index >= (int32)fParts.size())
		return nullptr;
	return fParts[(size_t)index].get();
}

void
ViewNode::SyncParts(bool notify)
{
	int32 count = std::max(fView->CountAccessibleParts(), (int32)0);
	int32 own = CountOwnChildren();
	while ((int32)fParts.size() > count) {
		std::unique_ptr<PartNode> gone = std::move(fParts.back());
		fParts.pop_back();
		if (notify) {
			AccessibleEvent removed;
			removed.type = AccessibleEvent::kChildRemoved;
			removed.node = this;
			removed.index = own + (int32)fParts.size();
			removed.child = gone.get();
			Notify(removed);
		}
		Notify(AccessibleEvent::kDestroyed, gone.get());
	}
	for (size_t i = 0; i < fParts.size() && notify; i++) {
		PartNode* part = fParts[i].get();
		std::string name = part->Name();
		if (name != part->reportedName) {
			part->reportedName = name;
			Notify(AccessibleEvent::kNameChanged, part);
		}
		std::string description = part->Description();
		if (description != part->reportedDescription) {
			part->reportedDescription = description;
			Notify(AccessibleEvent::kDescriptionChanged, part);
		}
		uint64 states = part->States();
		uint64 changed = states ^ part->reportedStates;
		part->reportedStates = states;
		for (uint64 bit = 1; changed != 0; bit <<= 1) {
			if ((changed & bit) == 0)
				continue;
			changed &= ~bit;
			AccessibleEvent event;
			event.type = AccessibleEvent::kStateChanged;
			event.node = part;
			event.state = bit;
			event.on = (states & bit) != 0;
			Notify(event);
		}
	}
	while ((int32)fParts.size() < count) {
		auto part = std::make_unique<PartNode>(this, (int32)fParts.size());
		part->reportedName = part->Name();
		part->reportedDescription = part->Description();
		part->reportedStates = part->States();
		fParts.push_back(std::move(part));
		if (notify) {
			AccessibleEvent added;
			added.type = AccessibleEvent::kChildAdded;
			added.node = this;
			added.index = own + (int32)fParts.size() - 1;
			added.child = fParts.back().get();
			Notify(added);
		}
	}
}

void
ViewNode::DestroyParts()
{
	for (auto& part : fParts)
		Notify(AccessibleEvent::kDestroyed, part.get());
	fParts.clear();
}

// #pragma mark - part nodes

PartNode::PartNode(ViewNode* owner, int32 index) : fOwner(owner), fIndex(index)
{
}

bool
PartNode::_Get(accessible_part* part)
{
	return fOwner->View()->GetAccessiblePart(fIndex, part);
}

int32
PartNode::IndexInParent()
{
	return fOwner->CountOwnChildren() + fIndex;
}

accessible_role
PartNode::Role()
{
	accessible_part part;
	return _Get(&part) ? part.role : B_ROLE_UNKNOWN;
}

std::string
PartNode::Name()
{
	accessible_part part;
	return _Get(&part) ? part.name : std::string();
}

std::string
PartNode::Description()
{
	accessible_part part;
	return _Get(&part) ? part.description : std::string();
}

uint64
PartNode::States()
{
	accessible_part part;
	if (!_Get(&part))
		return 0;
	uint64 viewStates = fOwner->States();
	return part.states | (viewStates & (B_STATE_VISIBLE | B_STATE_SHOWING));
}

BRect
PartNode::ScreenBounds()
{
	accessible_part part;
	BView* view = fOwner->View();
	if (!_Get(&part) || !ViewIsShowing(view))
		return BRect();
	return ScreenPixels(view->ConvertToScreen(part.frame), view->Window());
}

int32
PartNode::CountActions()
{
	accessible_part part;
	return _Get(&part) && !part.action.empty() ? 1 : 0;
}

std::string
PartNode::ActionName(int32 index)
{
	accessible_part part;
	return index == 0 && _Get(&part) ? part.action : std::string();
}

std::string
PartNode::ActionDescription(int32 index)
{
	// The part's description says what pressing it does.
	accessible_part part;
	return index == 0 && _Get(&part) ? part.description : std::string();
}

bool
PartNode::DoAction(int32 index)
{
	if (index != 0 || CountActions() != 1)
		return false;
	return QueueAction(fOwner->View(), kActionPart, fIndex);
}

void
NotifyPartsChanged(BView* view)
{
	ViewNode* node = ExistingNode(view);
	if (Listening() && node != nullptr)
		node->SyncParts(true);
}

} // namespace BPrivate
