// For tests of the accessible tree: a listener that keeps every event as a line of text
// ("text-inserted Betrag in DEM @0+1 '1'") and sets itself as the kit's listener for its
// lifetime, and lookups of nodes by role and name.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "AccessibleTree.h"

namespace BPrivate {

class AccessibilityRecorder : public AccessibilityListener {
public:
	AccessibilityRecorder() { SetAccessibilityListener(this); }
	~AccessibilityRecorder() override { SetAccessibilityListener(nullptr); }

	void Notify(const AccessibleEvent& event) override
	{
		events.push_back(event);
		// Nodes are described now: after kDestroyed they must not be asked anything.
		lines.push_back(Describe(event));
	}

	static const char* TypeName(AccessibleEvent::Type type)
	{
		static const char* const kNames[] = {"focused", "name-changed", "description-changed",
			"state-changed", "child-added", "child-removed", "text-inserted", "text-removed",
			"caret-moved", "selection-changed", "bounds-changed", "window-activated",
			"window-deactivated", "window-shown", "window-hidden", "destroyed"};
		return kNames[type];
	}

	static std::string Describe(const AccessibleEvent& event)
	{
		std::string line = TypeName(event.type);
		if (event.type == AccessibleEvent::kDestroyed)
			return line;
		line += " " + event.node->Name();
		switch (event.type) {
			case AccessibleEvent::kTextInserted:
			case AccessibleEvent::kTextRemoved:
				line += " @" + std::to_string(event.offset) + "+" + std::to_string(event.length)
					+ " '" + event.text + "'";
				break;
			case AccessibleEvent::kCaretMoved:
				line += " @" + std::to_string(event.offset);
				break;
			case AccessibleEvent::kChildAdded:
			case AccessibleEvent::kChildRemoved:
				line += " [" + std::to_string(event.index) + "]";
				break;
			default:
				break;
		}
		return line;
	}

	// The lines of the events of the given types, in order.
	std::vector<std::string> Lines(const std::vector<AccessibleEvent::Type>& types) const
	{
		std::vector<std::string> result;
		for (size_t i = 0; i < events.size(); i++) {
			for (AccessibleEvent::Type type : types) {
				if (events[i].type == type)
					result.push_back(lines[i]);
			}
		}
		return result;
	}

	void Clear()
	{
		events.clear();
		lines.clear();
	}

	std::vector<AccessibleEvent> events;
	std::vector<std::string> lines;
};

// The first node under start (depth first, start included) that matches.
inline AccessibleNode*
FindNode(AccessibleNode* start, const std::function<bool(AccessibleNode*)>& match)
{
	if (start == nullptr)
		return nullptr;
	if (match(start))
		return start;
	for (int32 i = 0; i < start->CountChildren(); i++) {
		if (AccessibleNode* found = FindNode(start->ChildAt(i), match))
			return found;
	}
	return nullptr;
}

inline AccessibleNode*
FindNode(AccessibleNode* start, accessible_role role, const std::string& name)
{
	return FindNode(start,
		[&](AccessibleNode* node) { return node->Role() == role && node->Name() == name; });
}

} // namespace BPrivate
