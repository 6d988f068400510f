#include "AtkEventBridge.h"

#include <algorithm>
#include <cmath>

#include "AtkCoordinates.h"
#include "AtkLinks.h"
#include "AtkNodeObject.h"
#include "AtkRoleMap.h"

using BPrivate::AccessibleEvent;
using BPrivate::AccessibleNode;

namespace KamboAtk {

namespace {

void
EmitWindowSignal(AtkObject* object, const char* signal)
{
	if (object != nullptr && ATK_IS_WINDOW(object))
		g_signal_emit_by_name(object, signal);
}

} // namespace

void
AtkEventBridge::Notify(const AccessibleEvent& event)
{
	AccessibleNode* node = event.node;
	if (node == nullptr)
		return;
	if (event.type == AccessibleEvent::kDestroyed) {
		if (fFocus == node)
			fFocus = nullptr;
		fAnnounced.erase(node);
		fPendingAnnouncements.erase(std::remove(fPendingAnnouncements.begin(),
										fPendingAnnouncements.end(), node),
			fPendingAnnouncements.end());
		Forget(node);
		return;
	}

	AtkObject* object = ObjectFor(node);
	switch (event.type) {
		case AccessibleEvent::kFocused:
			_Focus(node);
			break;
		case AccessibleEvent::kNameChanged:
			g_object_notify(G_OBJECT(object), "accessible-name");
			break;
		case AccessibleEvent::kDescriptionChanged:
			g_object_notify(G_OBJECT(object), "accessible-description");
			break;
		case AccessibleEvent::kStateChanged:
			_StateChanged(node, event.state, event.on);
			break;
		case AccessibleEvent::kChildAdded:
			g_signal_emit_by_name(object, "children-changed::add", guint(event.index),
				ObjectFor(event.child));
			break;
		case AccessibleEvent::kChildRemoved:
			// The child may be gone already; the bridge copes with no object.
			g_signal_emit_by_name(object, "children-changed::remove", guint(event.index),
				event.child != nullptr ? ExistingObjectFor(event.child) : nullptr);
			break;
		case AccessibleEvent::kTextInserted:
			_TextInserted(node, event);
			break;
		case AccessibleEvent::kTextRemoved:
			// "text-remove" only: the bridge turns the old "text-changed" into the same
			// AT-SPI event, and a reader would hear each change twice.
			if (ATK_IS_TEXT(object)) {
				g_signal_emit_by_name(object, "text-remove", gint(event.offset), gint(event.length),
					event.text.c_str());
			}
			break;
		case AccessibleEvent::kCaretMoved:
			if (ATK_IS_TEXT(object)) {
				g_signal_emit_by_name(object, "text-caret-moved", gint(event.offset));
				_FocusLinkAt(node, object, event.offset);
			}
			break;
		case AccessibleEvent::kSelectionChanged:
			if (ATK_IS_TEXT(object))
				g_signal_emit_by_name(object, "text-selection-changed");
			break;
		case AccessibleEvent::kBoundsChanged:
		{
			Extents extents = ExtentsIn(node, node->ScreenBounds(), ATK_XY_SCREEN);
			AtkRectangle rect = {extents.x, extents.y, extents.width, extents.height};
			g_signal_emit_by_name(object, "bounds-changed", &rect);
			break;
		}
		case AccessibleEvent::kWindowActivated:
			atk_object_notify_state_change(object, ATK_STATE_ACTIVE, TRUE);
			EmitWindowSignal(object, "activate");
			break;
		case AccessibleEvent::kWindowDeactivated:
			atk_object_notify_state_change(object, ATK_STATE_ACTIVE, FALSE);
			EmitWindowSignal(object, "deactivate");
			break;
		case AccessibleEvent::kWindowShown:
			EmitWindowSignal(object, "create");
			break;
		case AccessibleEvent::kWindowHidden:
			EmitWindowSignal(object, "destroy");
			break;
		case AccessibleEvent::kDestroyed:
			break;
	}
}

namespace {

AccessibleNode*
FocusedIn(AccessibleNode* node)
{
	if ((node->States() & B_STATE_FOCUSED) != 0)
		return node;
	for (int32 i = 0; i < node->CountChildren(); i++) {
		AccessibleNode* child = node->ChildAt(i);
		if (AccessibleNode* focused = child != nullptr ? FocusedIn(child) : nullptr)
			return focused;
	}
	return nullptr;
}

} // namespace

void
AtkEventBridge::AnnounceCurrent(AccessibleNode* root)
{
	if (root == nullptr)
		return;
	for (int32 i = 0; i < root->CountChildren(); i++) {
		AccessibleNode* window = root->ChildAt(i);
		if (window == nullptr || (window->States() & B_STATE_ACTIVE) == 0)
			continue;
		AccessibleEvent event;
		event.type = AccessibleEvent::kWindowActivated;
		event.node = window;
		Notify(event);
		if (AccessibleNode* focused = FocusedIn(window)) {
			fFocus = nullptr;
			_Focus(focused);
		}
		return;
	}
}

void
AtkEventBridge::_Focus(AccessibleNode* node)
{
	if (fFocus == node)
		return;
	if (AtkObject* old = fFocus != nullptr ? ExistingObjectFor(fFocus) : nullptr)
		atk_object_notify_state_change(old, ATK_STATE_FOCUSED, FALSE);
	fFocus = node;
	AtkObject* object = ObjectFor(node);
	atk_object_notify_state_change(object, ATK_STATE_FOCUSED, TRUE);
	// Older clients listen for the focus signal and ATK's focus tracker instead.
	G_GNUC_BEGIN_IGNORE_DEPRECATIONS
	g_signal_emit_by_name(object, "focus-event", TRUE);
	atk_focus_tracker_notify(object);
	G_GNUC_END_IGNORE_DEPRECATIONS
}

void
AtkEventBridge::_FocusLinkAt(AccessibleNode* node, AtkObject* object, int32 offset)
{
	// In a text that cannot be edited the keyboard goes from link to link by the caret
	// (the about text's addresses); the reader hears the link it lands on as the focus.
	if (fFocus != node || (node->States() & B_STATE_EDITABLE) != 0)
		return;
	for (int i = 0; i < CountLinks(object); i++) {
		AtkHyperlink* link = HyperlinkAt(object, i);
		if (link == nullptr || atk_hyperlink_get_start_index(link) != offset)
			continue;
		AtkObject* linkObject = LinkObjectAt(object, i);
		atk_object_notify_state_change(linkObject, ATK_STATE_FOCUSED, TRUE);
		G_GNUC_BEGIN_IGNORE_DEPRECATIONS
		g_signal_emit_by_name(linkObject, "focus-event", TRUE);
		atk_focus_tracker_notify(linkObject);
		G_GNUC_END_IGNORE_DEPRECATIONS
		return;
	}
}

void
AtkEventBridge::_StateChanged(AccessibleNode* node, uint64 states, bool on)
{
	AtkObject* object = ObjectFor(node);
	for (int bit = 0; bit < 64; bit++) {
		uint64 mask = uint64(1) << bit;
		if ((states & mask) == 0)
			continue;
		// Focus goes through _Focus, so that the old focus is dropped first.
		if (mask == B_STATE_FOCUSED) {
			if (on)
				_Focus(node);
			else if (fFocus == node) {
				fFocus = nullptr;
				atk_object_notify_state_change(object, ATK_STATE_FOCUSED, FALSE);
			}
			continue;
		}
		AtkStateType atkStates[2];
		StatesForBit(mask, atkStates);
		for (AtkStateType state : atkStates) {
			if (state != ATK_STATE_INVALID)
				atk_object_notify_state_change(object, state, on);
		}
	}
}

void
AtkEventBridge::_TextInserted(AccessibleNode* node, const AccessibleEvent& event)
{
	AtkObject* object = ObjectFor(node);
	if (!ATK_IS_TEXT(object))
		return;
	g_signal_emit_by_name(object, "text-insert", gint(event.offset), gint(event.length),
		event.text.c_str());
	// A live result is announced whole where ATK has the signal for it (2.50 and later).
	if ((node->States() & B_STATE_LIVE) != 0
		&& g_signal_lookup("announcement", ATK_TYPE_OBJECT) != 0)
		_AnnounceLater(node);
}

void
AtkEventBridge::_AnnounceLater(AccessibleNode* node)
{
	if (std::find(fPendingAnnouncements.begin(), fPendingAnnouncements.end(), node)
		== fPendingAnnouncements.end())
		fPendingAnnouncements.push_back(node);
	if (fAnnounceSource != 0)
		return;
	// The kit handles all its queued messages before the GLib context runs again, so the
	// idle callback sees the results as the whole batch left them.
	fAnnounceSource = g_idle_add(
		[](gpointer data) -> gboolean {
			auto* bridge = static_cast<AtkEventBridge*>(data);
			bridge->fAnnounceSource = 0;
			bridge->_AnnouncePending();
			return G_SOURCE_REMOVE;
		},
		this);
}

void
AtkEventBridge::_AnnouncePending()
{
	std::vector<AccessibleNode*> pending;
	pending.swap(fPendingAnnouncements);
	for (AccessibleNode* node : pending) {
		BPrivate::AccessibleText* text = node->Text();
		if (text == nullptr)
			continue;
		std::string contents = text->Contents();
		std::string& said = fAnnounced[node];
		if (contents == said)
			continue;
		said = contents;
		g_signal_emit_by_name(ObjectFor(node), "announcement", contents.c_str());
	}
}

AtkEventBridge::~AtkEventBridge()
{
	if (fAnnounceSource != 0)
		g_source_remove(fAnnounceSource);
}

} // namespace KamboAtk
