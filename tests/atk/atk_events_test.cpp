// The kit's events as ATK signals: which signal, with which details, in which order, and
// what is left of an object whose node went away.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AtkEventBridge.h"
#include "AtkLinks.h"
#include "AtkNodeObject.h"
#include "FakeTree.h"

using namespace KamboAtkTest;
using BPrivate::AccessibleEvent;

namespace {

// Records every signal the bridge would forward, as "object-name signal[:detail] details".
class SignalLog {
public:
	void Watch(AtkObject* object)
	{
		const char* kSignals[] = {"state-change", "children-changed", "property-change",
			"focus-event", "bounds-changed"};
		for (const char* name : kSignals)
			_Hook(object, name);
		if (ATK_IS_TEXT(object)) {
			for (const char* name : {"text-insert", "text-remove", "text-caret-moved",
					 "text-selection-changed", "text-changed"})
				_Hook(object, name);
		}
		if (ATK_IS_WINDOW(object)) {
			for (const char* name : {"create", "destroy", "activate", "deactivate"})
				_Hook(object, name);
		}
	}

	~SignalLog() { RemoveHooks(); }

	void RemoveHooks()
	{
		for (auto& hook : fHookIds)
			g_signal_remove_emission_hook(hook.first, hook.second);
		fHookIds.clear();
	}

	std::vector<std::string> fEntries;

private:
	struct Hook {
		SignalLog* log;
		AtkObject* object;
	};

	void _Hook(AtkObject* object, const char* name)
	{
		guint signal = g_signal_lookup(name, G_OBJECT_TYPE(object));
		ASSERT_NE(signal, 0u) << name;
		// One emission hook per signal for all objects; the log filters by object.
		for (auto& watched : fWatched) {
			if (watched.first == signal) {
				watched.second.push_back(object);
				return;
			}
		}
		fWatched.push_back({signal, {object}});
		gulong id = g_signal_add_emission_hook(signal, 0, Record, this, nullptr);
		fHookIds.push_back({signal, id});
	}

	static gboolean Record(GSignalInvocationHint* hint, guint count, const GValue* values,
		gpointer data)
	{
		auto* self = static_cast<SignalLog*>(data);
		auto* object = static_cast<AtkObject*>(g_value_get_object(&values[0]));
		bool watched = false;
		for (auto& entry : self->fWatched) {
			if (entry.first == hint->signal_id)
				watched = std::find(entry.second.begin(), entry.second.end(), object)
					!= entry.second.end();
		}
		if (!watched)
			return TRUE;
		GSignalQuery query;
		g_signal_query(hint->signal_id, &query);
		std::string entry = std::string(atk_object_get_name(object)) + " " + query.signal_name;
		if (hint->detail != 0)
			entry += std::string(":") + g_quark_to_string(hint->detail);
		for (guint i = 1; i < count; i++) {
			const GValue* value = &values[i];
			if (G_VALUE_HOLDS_INT(value))
				entry += " " + std::to_string(g_value_get_int(value));
			else if (G_VALUE_HOLDS_UINT(value))
				entry += " " + std::to_string(g_value_get_uint(value));
			else if (G_VALUE_HOLDS_BOOLEAN(value))
				entry += g_value_get_boolean(value) ? " true" : " false";
			else if (G_VALUE_HOLDS_STRING(value) && hint->detail != 0
				&& g_strcmp0(g_value_get_string(value), g_quark_to_string(hint->detail)) == 0)
				continue; // state-change repeats its detail as its first argument
			else if (G_VALUE_HOLDS_STRING(value))
				entry += " \"" + std::string(g_value_get_string(value)) + "\"";
			else if (G_VALUE_HOLDS_POINTER(value)
				&& query.signal_name == std::string("children-changed")) {
				auto* child = static_cast<AtkObject*>(g_value_get_pointer(value));
				entry += child != nullptr ? std::string(" ") + atk_object_get_name(child)
										  : " <gone>";
			} else if (G_VALUE_HOLDS_POINTER(value)
				&& query.signal_name == std::string("property-change")) {
				auto* property = static_cast<AtkPropertyValues*>(g_value_get_pointer(value));
				entry += std::string(" ") + property->property_name;
			} else if (G_VALUE_HOLDS_BOXED(value)) {
				auto* rect = static_cast<AtkRectangle*>(g_value_get_boxed(value));
				entry += " " + std::to_string(rect->x) + "," + std::to_string(rect->y) + ","
					+ std::to_string(rect->width) + "," + std::to_string(rect->height);
			}
		}
		self->fEntries.push_back(entry);
		return TRUE;
	}

	std::vector<std::pair<guint, std::vector<AtkObject*>>> fWatched;
	std::vector<std::pair<guint, gulong>> fHookIds;
};

class AtkEventsTest : public testing::Test {
protected:
	void SetUp() override
	{
		for (FakeNode* node : {fTree.application.get(), fTree.frame, fTree.panel, fTree.amount,
				 fTree.euroLine, fTree.calculatorButton})
			fLog.Watch(KamboAtk::ObjectFor(node));
	}

	void TearDown() override
	{
		fLog.RemoveHooks();
		KamboAtk::ForgetAll();
	}

	void Send(AccessibleEvent::Type type, FakeNode* node)
	{
		AccessibleEvent event;
		event.type = type;
		event.node = node;
		fBridge.Notify(event);
	}

	ConverterTree fTree;
	KamboAtk::AtkEventBridge fBridge;
	SignalLog fLog;
};

TEST_F(AtkEventsTest, FocusMovesTheOldOneLosesItFirst)
{
	Send(AccessibleEvent::kFocused, fTree.amount);
	Send(AccessibleEvent::kFocused, fTree.amount);
	Send(AccessibleEvent::kFocused, fTree.calculatorButton);
	EXPECT_EQ(fLog.fEntries,
		(std::vector<std::string>{
			"Betrag in DEM state-change:focused true",
			"Betrag in DEM focus-event true",
			"Betrag in DEM state-change:focused false",
			"Taschenrechner state-change:focused true",
			"Taschenrechner focus-event true",
		}));
	EXPECT_EQ(fBridge.Focus(), fTree.calculatorButton);
}

TEST_F(AtkEventsTest, TheCaretOnALinkOfAFocusedReadOnlyTextFocusesTheLink)
{
	auto about = MakeTextNode("", "Kurse: www.euro.example, Quelle: www.kambo.example", false);
	about->fText->fLinks = {{7, 23, "https://www.euro.example/"},
		{33, 50, "https://www.kambo.example/"}};
	FakeNode* text = fTree.frame->Add(std::move(about));
	AtkObject* object = KamboAtk::ObjectFor(text);
	AtkObject* second = KamboAtk::LinkObjectAt(object, 1);
	fLog.Watch(second);
	auto caret = [&](int32 offset) {
		text->fText->fCaret = offset;
		AccessibleEvent event;
		event.node = text;
		event.type = AccessibleEvent::kCaretMoved;
		event.offset = offset;
		fBridge.Notify(event);
	};
	// Without the focus the caret is only the caret; inside a link it is no link's focus.
	caret(33);
	caret(40);
	EXPECT_TRUE(fLog.fEntries.empty());
	text->fStates |= B_STATE_FOCUSED;
	Send(AccessibleEvent::kFocused, text);
	fLog.fEntries.clear();
	caret(40);
	caret(33);
	EXPECT_EQ(fLog.fEntries,
		(std::vector<std::string>{
			"www.kambo.example state-change:focused true",
			"www.kambo.example focus-event true",
		}));
	AtkStateSet* states = atk_object_ref_state_set(second);
	EXPECT_TRUE(atk_state_set_contains_state(states, ATK_STATE_FOCUSED));
	g_object_unref(states);
	states = atk_object_ref_state_set(KamboAtk::LinkObjectAt(object, 0));
	EXPECT_FALSE(atk_state_set_contains_state(states, ATK_STATE_FOCUSED));
	g_object_unref(states);
}

TEST_F(AtkEventsTest, StateChangesNameEveryAtkState)
{
	AccessibleEvent event;
	event.type = AccessibleEvent::kStateChanged;
	event.node = fTree.calculatorButton;
	event.state = B_STATE_ENABLED | B_STATE_PRESSED;
	event.on = false;
	fBridge.Notify(event);
	event.state = B_STATE_FOCUSED;
	event.on = true;
	fBridge.Notify(event);
	EXPECT_EQ(fLog.fEntries,
		(std::vector<std::string>{
			"Taschenrechner state-change:enabled false",
			"Taschenrechner state-change:sensitive false",
			"Taschenrechner state-change:pressed false",
			"Taschenrechner state-change:focused true",
			"Taschenrechner focus-event true",
		}));
}

TEST_F(AtkEventsTest, TypingIsTextRemovedThenInsertedAndTheCaret)
{
	// The kit's order when "0" is replaced by a typed "1": remove, insert, caret.
	AccessibleEvent event;
	event.node = fTree.amount;
	event.type = AccessibleEvent::kTextRemoved;
	event.offset = 0;
	event.length = 1;
	event.text = "0";
	fBridge.Notify(event);
	event.type = AccessibleEvent::kTextInserted;
	event.text = "1";
	fBridge.Notify(event);
	event.type = AccessibleEvent::kCaretMoved;
	event.offset = 1;
	fBridge.Notify(event);
	Send(AccessibleEvent::kSelectionChanged, fTree.amount);
	// A node without text gets no text signal.
	event.node = fTree.calculatorButton;
	event.type = AccessibleEvent::kTextInserted;
	fBridge.Notify(event);

	EXPECT_EQ(fLog.fEntries,
		(std::vector<std::string>{
			"Betrag in DEM text-remove 0 1 \"0\"",
			"Betrag in DEM text-insert 0 1 \"1\"",
			"Betrag in DEM text-caret-moved 1",
			"Betrag in DEM text-selection-changed",
		}));
}

TEST_F(AtkEventsTest, ALiveResultIsAnnouncedOnceWhenTheBatchOfChangesIsDone)
{
	if (g_signal_lookup("announcement", ATK_TYPE_OBJECT) == 0)
		GTEST_SKIP() << "this ATK has no announcement signal";
	std::vector<std::string> spoken;
	AtkObject* line = KamboAtk::ObjectFor(fTree.euroLine);
	gulong handler = g_signal_connect(line, "announcement",
		G_CALLBACK(+[](AtkObject*, const gchar* text, gpointer data) {
			static_cast<std::vector<std::string>*>(data)->push_back(text);
		}),
		&spoken);
	// Typing over a selection: the converter recomputes for the removal and again for the
	// insertion, each time the line's whole text replaced.
	auto rewrite = [&](const char* text) {
		AccessibleEvent event;
		event.node = fTree.euroLine;
		event.type = AccessibleEvent::kTextRemoved;
		event.length = (int32)fTree.euroLine->fText->fContents.size();
		event.text = fTree.euroLine->fText->fContents;
		fBridge.Notify(event);
		fTree.euroLine->fText->fContents = text;
		event.type = AccessibleEvent::kTextInserted;
		event.length = (int32)strlen(text);
		event.text = text;
		fBridge.Notify(event);
	};
	auto idle = [] {
		while (g_main_context_iteration(nullptr, FALSE)) {
		}
	};
	rewrite("0.000000 . . .");
	rewrite("9.146941 . . .");
	idle();
	EXPECT_EQ((std::vector<std::string>{"9.146941 . . ."}), spoken);
	// The same result again (the pad's "=" only adds decimals to the amount) says nothing.
	rewrite("9.146941 . . .");
	idle();
	EXPECT_EQ(1u, spoken.size());
	g_signal_handler_disconnect(line, handler);
}

TEST_F(AtkEventsTest, ChildrenNamesBoundsAndWindows)
{
	auto dialog = MakeNode(B_ROLE_DIALOG, "Über ZQ Kambo-Lux");
	FakeNode* about = fTree.application->Add(std::move(dialog));
	AccessibleEvent event;
	event.type = AccessibleEvent::kChildAdded;
	event.node = fTree.application.get();
	event.index = 1;
	event.child = about;
	fBridge.Notify(event);
	fLog.Watch(KamboAtk::ObjectFor(about));
	Send(AccessibleEvent::kWindowShown, about);
	Send(AccessibleEvent::kWindowDeactivated, fTree.frame);
	Send(AccessibleEvent::kWindowActivated, about);

	fTree.panel->fName = "Umrechner";
	Send(AccessibleEvent::kNameChanged, fTree.panel);
	fTree.panel->fBounds = BRect(10, 20, 29, 59);
	Send(AccessibleEvent::kBoundsChanged, fTree.panel);

	Send(AccessibleEvent::kWindowHidden, about);
	std::unique_ptr<FakeNode> gone = fTree.application->Remove(1);
	Send(AccessibleEvent::kDestroyed, gone.get());
	event.type = AccessibleEvent::kChildRemoved;
	event.child = nullptr;
	fBridge.Notify(event);

	EXPECT_EQ(fLog.fEntries,
		(std::vector<std::string>{
			"ZQ Kambo-Lux children-changed:add 1 Über ZQ Kambo-Lux",
			"Über ZQ Kambo-Lux create",
			"ZQ Kambo-Lux state-change:active false",
			"ZQ Kambo-Lux deactivate",
			"Über ZQ Kambo-Lux state-change:active true",
			"Über ZQ Kambo-Lux activate",
			"Umrechner property-change:accessible-name accessible-name",
			"Umrechner bounds-changed 10,20,20,40",
			"Über ZQ Kambo-Lux destroy",
			"Über ZQ Kambo-Lux state-change:defunct true",
			"ZQ Kambo-Lux children-changed:remove 1 <gone>",
		}));
}

TEST_F(AtkEventsTest, AModuleStartedLateTellsTheActiveWindowAndItsFocus)
{
	fTree.amount->fStates |= B_STATE_FOCUSED;
	auto inactive = MakeNode(B_ROLE_FRAME, "Taschenrechner");
	inactive->Add(MakeNode(B_ROLE_PUSH_BUTTON, "7", B_STATE_ENABLED | B_STATE_FOCUSED));
	fTree.application->Add(std::move(inactive));
	fBridge.AnnounceCurrent(fTree.application.get());
	EXPECT_EQ(fLog.fEntries,
		(std::vector<std::string>{
			"ZQ Kambo-Lux state-change:active true",
			"ZQ Kambo-Lux activate",
			"Betrag in DEM state-change:focused true",
			"Betrag in DEM focus-event true",
		}));
	EXPECT_EQ(fBridge.Focus(), fTree.amount);
}

TEST_F(AtkEventsTest, ADestroyedNodeLeavesADefunctObjectThatAsksNothing)
{
	AtkObject* object = ATK_OBJECT(g_object_ref(KamboAtk::ObjectFor(fTree.amount)));
	AtkObject* text = object;
	Send(AccessibleEvent::kFocused, fTree.amount);
	std::unique_ptr<FakeNode> gone = fTree.panel->Remove(0);
	Send(AccessibleEvent::kDestroyed, gone.get());
	gone.reset();

	EXPECT_EQ(KamboAtk::ExistingObjectFor(fTree.amount), nullptr);
	EXPECT_EQ(fBridge.Focus(), nullptr);
	AtkStateSet* set = atk_object_ref_state_set(object);
	EXPECT_TRUE(atk_state_set_contains_state(set, ATK_STATE_DEFUNCT));
	EXPECT_FALSE(atk_state_set_contains_state(set, ATK_STATE_FOCUSED));
	g_object_unref(set);
	// Each call answers from nothing (the sanitizer build catches a stale node).
	EXPECT_STREQ(atk_object_get_name(object), "Betrag in DEM");
	EXPECT_EQ(atk_object_get_role(object), ATK_ROLE_ENTRY);
	EXPECT_EQ(atk_object_get_parent(object), nullptr);
	EXPECT_EQ(atk_object_get_n_accessible_children(object), 0);
	EXPECT_EQ(atk_object_get_index_in_parent(object), -1);
	EXPECT_EQ(atk_text_get_character_count(ATK_TEXT(text)), 0);
	EXPECT_EQ(atk_text_get_text(ATK_TEXT(text), 0, -1), nullptr);
	EXPECT_EQ(atk_text_get_caret_offset(ATK_TEXT(text)), -1);
	EXPECT_FALSE(atk_component_grab_focus(ATK_COMPONENT(object)));
	gint x, y, width, height;
	atk_component_get_extents(ATK_COMPONENT(object), &x, &y, &width, &height, ATK_XY_SCREEN);
	EXPECT_EQ(width, 0);
	gint position = 0;
	atk_editable_text_insert_text(ATK_EDITABLE_TEXT(text), "1", -1, &position);
	EXPECT_EQ(position, 0);
	g_object_unref(object);

	// The others stay.
	EXPECT_EQ(KamboAtk::CountObjects(), 5);
}

} // namespace
