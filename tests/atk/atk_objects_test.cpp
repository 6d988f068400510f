// The module's objects through ATK's own calls, without a bus: the tree's shape, roles,
// states, attributes, which interfaces each object has, and where things are.
#include <gtest/gtest.h>

#include "AtkNodeObject.h"
#include "AtkRoleMap.h"
#include "AtkRoot.h"
#include "FakeTree.h"

using namespace KamboAtkTest;

namespace {

class AtkObjectsTest : public testing::Test {
protected:
	void TearDown() override { KamboAtk::ForgetAll(); }

	AtkObject* Object(FakeNode* node) { return KamboAtk::ObjectFor(node); }

	ConverterTree fTree;
};

TEST(AtkRoleMap, EveryRoleHasItsAtkRole)
{
	const struct {
		accessible_role role;
		uint64 states;
		AtkRole expected;
	} kCases[] = {
		{B_ROLE_UNKNOWN, 0, ATK_ROLE_UNKNOWN},
		{B_ROLE_APPLICATION, 0, ATK_ROLE_APPLICATION},
		{B_ROLE_FRAME, 0, ATK_ROLE_FRAME},
		{B_ROLE_DIALOG, 0, ATK_ROLE_DIALOG},
		{B_ROLE_WINDOW, 0, ATK_ROLE_WINDOW},
		{B_ROLE_PANEL, 0, ATK_ROLE_PANEL},
		{B_ROLE_PUSH_BUTTON, B_STATE_HAS_POPUP, ATK_ROLE_PUSH_BUTTON},
		{B_ROLE_TEXT, B_STATE_EDITABLE | B_STATE_SINGLE_LINE, ATK_ROLE_ENTRY},
		{B_ROLE_TEXT, B_STATE_EDITABLE | B_STATE_MULTI_LINE, ATK_ROLE_TEXT},
		{B_ROLE_TEXT, B_STATE_READ_ONLY | B_STATE_SINGLE_LINE, ATK_ROLE_TEXT},
		{B_ROLE_LABEL, 0, ATK_ROLE_LABEL},
		{B_ROLE_IMAGE, 0, ATK_ROLE_IMAGE},
		{B_ROLE_MENU, 0, ATK_ROLE_MENU},
		{B_ROLE_MENU_ITEM, 0, ATK_ROLE_MENU_ITEM},
		{B_ROLE_CHECK_MENU_ITEM, B_STATE_CHECKABLE, ATK_ROLE_CHECK_MENU_ITEM},
		{B_ROLE_RADIO_MENU_ITEM, B_STATE_CHECKED, ATK_ROLE_RADIO_MENU_ITEM},
		{B_ROLE_SEPARATOR, 0, ATK_ROLE_SEPARATOR},
		{B_ROLE_LINK, 0, ATK_ROLE_LINK},
	};
	for (const auto& c : kCases) {
		EXPECT_EQ(KamboAtk::RoleFor(c.role, c.states), c.expected)
			<< "role " << c.role << " states " << c.states;
	}
}

TEST(AtkRoleMap, EachStateBitGivesItsAtkStatesAndNoOthers)
{
	const struct {
		uint64 bit;
		std::vector<AtkStateType> expected;
	} kCases[] = {
		{B_STATE_ENABLED, {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE}},
		{B_STATE_FOCUSABLE, {ATK_STATE_FOCUSABLE}},
		{B_STATE_FOCUSED, {ATK_STATE_FOCUSED}},
		{B_STATE_VISIBLE, {ATK_STATE_VISIBLE}},
		{B_STATE_SHOWING, {ATK_STATE_SHOWING}},
		{B_STATE_ACTIVE, {ATK_STATE_ACTIVE}},
		{B_STATE_MODAL, {ATK_STATE_MODAL}},
		{B_STATE_EDITABLE, {ATK_STATE_EDITABLE}},
		{B_STATE_READ_ONLY, {ATK_STATE_READ_ONLY}},
		{B_STATE_SELECTABLE_TEXT, {ATK_STATE_SELECTABLE_TEXT}},
		{B_STATE_SINGLE_LINE, {ATK_STATE_SINGLE_LINE}},
		{B_STATE_MULTI_LINE, {ATK_STATE_MULTI_LINE}},
		{B_STATE_CHECKABLE, {ATK_STATE_CHECKABLE}},
		{B_STATE_CHECKED, {ATK_STATE_CHECKED}},
		{B_STATE_SELECTABLE, {ATK_STATE_SELECTABLE}},
		{B_STATE_SELECTED, {ATK_STATE_SELECTED}},
		{B_STATE_DEFAULT, {ATK_STATE_DEFAULT}},
		{B_STATE_HAS_POPUP, {ATK_STATE_HAS_POPUP}},
		{B_STATE_PRESSED, {ATK_STATE_PRESSED}},
		// A live region is told through attributes, not states.
		{B_STATE_LIVE, {}},
	};
	for (const auto& c : kCases) {
		AtkStateSet* set = atk_state_set_new();
		KamboAtk::AddStates(c.bit, set);
		for (int state = ATK_STATE_INVALID + 1; state < ATK_STATE_LAST_DEFINED; state++) {
			bool wanted = std::find(c.expected.begin(), c.expected.end(), state)
				!= c.expected.end();
			EXPECT_EQ(bool(atk_state_set_contains_state(set, AtkStateType(state))), wanted)
				<< "bit " << c.bit << ": " << atk_state_type_get_name(AtkStateType(state));
		}
		g_object_unref(set);

		AtkStateType single[2];
		KamboAtk::StatesForBit(c.bit, single);
		EXPECT_EQ(single[0], c.expected.empty() ? ATK_STATE_INVALID : c.expected[0]);
	}
}

std::string
Attribute(AtkAttributeSet* set, const char* name)
{
	for (GSList* item = set; item != nullptr; item = item->next) {
		auto* attribute = static_cast<AtkAttribute*>(item->data);
		if (strcmp(attribute->name, name) == 0)
			return attribute->value;
	}
	return "<none>";
}

TEST_F(AtkObjectsTest, LiveTextsCarryTheAttributesScreenReadersRead)
{
	AtkAttributeSet* live = atk_object_get_attributes(Object(fTree.euroLine));
	EXPECT_EQ(Attribute(live, "live"), "polite");
	EXPECT_EQ(Attribute(live, "container-live"), "polite");
	EXPECT_EQ(Attribute(live, "atomic"), "true");
	EXPECT_EQ(Attribute(live, "container-atomic"), "true");
	atk_attribute_set_free(live);

	AtkAttributeSet* plain = atk_object_get_attributes(Object(fTree.amount));
	EXPECT_EQ(Attribute(plain, "live"), "<none>");
	atk_attribute_set_free(plain);
}

TEST_F(AtkObjectsTest, TheTreeReadsAsTheNodesAre)
{
	AtkObject* app = Object(fTree.application.get());
	EXPECT_STREQ(atk_object_get_name(app), "ZQ Kambo-Lux");
	EXPECT_EQ(atk_object_get_role(app), ATK_ROLE_APPLICATION);
	EXPECT_EQ(atk_object_get_parent(app), nullptr);
	ASSERT_EQ(atk_object_get_n_accessible_children(app), 1);

	AtkObject* frame = atk_object_ref_accessible_child(app, 0);
	EXPECT_EQ(frame, Object(fTree.frame));
	EXPECT_EQ(atk_object_get_role(frame), ATK_ROLE_FRAME);
	EXPECT_EQ(atk_object_get_parent(frame), app);
	EXPECT_EQ(atk_object_get_index_in_parent(frame), 0);
	EXPECT_EQ(atk_object_ref_accessible_child(frame, 5), nullptr);
	EXPECT_EQ(atk_object_ref_accessible_child(frame, -1), nullptr);
	g_object_unref(frame);

	AtkObject* panel = Object(fTree.panel);
	const struct {
		int index;
		const char* name;
		AtkRole role;
	} kChildren[] = {
		{0, "Betrag in DEM", ATK_ROLE_ENTRY},
		{1, "Euro-Betrag", ATK_ROLE_TEXT},
		{2, "Ergebnis in EUR", ATK_ROLE_TEXT},
		{3, "Taschenrechner", ATK_ROLE_PUSH_BUTTON},
		{4, "Über ZQ Kambo-Lux", ATK_ROLE_PUSH_BUTTON},
	};
	ASSERT_EQ(atk_object_get_n_accessible_children(panel), 5);
	for (const auto& c : kChildren) {
		AtkObject* child = atk_object_ref_accessible_child(panel, c.index);
		EXPECT_STREQ(atk_object_get_name(child), c.name);
		EXPECT_EQ(atk_object_get_role(child), c.role) << c.name;
		EXPECT_EQ(atk_object_get_index_in_parent(child), c.index) << c.name;
		EXPECT_EQ(atk_object_get_parent(child), panel) << c.name;
		g_object_unref(child);
	}
	// The same node always has the same object.
	EXPECT_EQ(Object(fTree.amount), Object(fTree.amount));
}

TEST_F(AtkObjectsTest, NamesAndStatesFollowTheNodeWithoutCaching)
{
	AtkObject* button = Object(fTree.calculatorButton);
	fTree.calculatorButton->fName = "Rechner";
	EXPECT_STREQ(atk_object_get_name(button), "Rechner");
	fTree.calculatorButton->fDescription = "Öffnet den Rechner";
	EXPECT_STREQ(atk_object_get_description(button), "Öffnet den Rechner");

	fTree.calculatorButton->fStates = B_STATE_VISIBLE;
	AtkStateSet* set = atk_object_ref_state_set(button);
	EXPECT_FALSE(atk_state_set_contains_state(set, ATK_STATE_SENSITIVE));
	EXPECT_TRUE(atk_state_set_contains_state(set, ATK_STATE_VISIBLE));
	g_object_unref(set);
}

TEST_F(AtkObjectsTest, OnlyTheInterfacesTheNodeHas)
{
	fTree.result->fText->fLinks = {{0, 2, "https://example.org/"}};
	const struct {
		FakeNode* node;
		bool action;
		bool text;
		bool hypertext;
		bool window;
	} kCases[] = {
		{fTree.application.get(), false, false, false, false},
		{fTree.frame, false, false, false, true},
		{fTree.panel, false, false, false, false},
		{fTree.amount, false, true, false, false},
		{fTree.result, false, true, true, false},
		{fTree.calculatorButton, true, false, false, false},
	};
	for (const auto& c : kCases) {
		AtkObject* object = Object(c.node);
		const char* name = c.node->fName.c_str();
		EXPECT_TRUE(ATK_IS_COMPONENT(object)) << name;
		EXPECT_EQ(bool(ATK_IS_ACTION(object)), c.action) << name;
		EXPECT_EQ(bool(ATK_IS_TEXT(object)), c.text) << name;
		EXPECT_EQ(bool(ATK_IS_EDITABLE_TEXT(object)), c.text) << name;
		EXPECT_EQ(bool(ATK_IS_HYPERTEXT(object)), c.hypertext) << name;
		EXPECT_EQ(bool(ATK_IS_WINDOW(object)), c.window) << name;
	}
}

TEST_F(AtkObjectsTest, ExtentsInScreenWindowAndParentCoordinates)
{
	AtkComponent* amount = ATK_COMPONENT(Object(fTree.amount));
	const struct {
		AtkCoordType type;
		gint x, y;
	} kCases[] = {
		{ATK_XY_SCREEN, 134, 70},
		// The frame starts at (100, 50); so does the panel, the field's parent.
		{ATK_XY_WINDOW, 34, 20},
		{ATK_XY_PARENT, 34, 20},
	};
	for (const auto& c : kCases) {
		gint x, y, width, height;
		atk_component_get_extents(amount, &x, &y, &width, &height, c.type);
		EXPECT_EQ(x, c.x) << c.type;
		EXPECT_EQ(y, c.y) << c.type;
		// BRects are inclusive: 134 to 272 is 139 pixels.
		EXPECT_EQ(width, 139);
		EXPECT_EQ(height, 21);
	}
	EXPECT_TRUE(atk_component_contains(amount, 134, 70, ATK_XY_SCREEN));
	EXPECT_TRUE(atk_component_contains(amount, 172, 40, ATK_XY_WINDOW));
	EXPECT_FALSE(atk_component_contains(amount, 273, 70, ATK_XY_SCREEN));

	// A node off the screen is nowhere.
	fTree.aboutButton->fBounds = BRect();
	gint x, y, width, height;
	atk_component_get_extents(ATK_COMPONENT(Object(fTree.aboutButton)), &x, &y, &width, &height,
		ATK_XY_SCREEN);
	EXPECT_EQ(x, -1);
	EXPECT_EQ(width, 0);
}

TEST_F(AtkObjectsTest, TheDeepestShowingNodeUnderAPoint)
{
	AtkComponent* frame = ATK_COMPONENT(Object(fTree.frame));
	AtkObject* hit = atk_component_ref_accessible_at_point(frame, 310, 80, ATK_XY_SCREEN);
	EXPECT_EQ(hit, Object(fTree.calculatorButton));
	g_object_unref(hit);

	hit = atk_component_ref_accessible_at_point(frame, 205, 30, ATK_XY_WINDOW);
	EXPECT_EQ(hit, Object(fTree.calculatorButton));
	g_object_unref(hit);

	// A hidden button lets the point through to the panel under it.
	fTree.calculatorButton->fStates &= ~B_STATE_SHOWING;
	hit = atk_component_ref_accessible_at_point(frame, 310, 80, ATK_XY_SCREEN);
	EXPECT_EQ(hit, Object(fTree.panel));
	g_object_unref(hit);

	EXPECT_EQ(atk_component_ref_accessible_at_point(frame, 5, 5, ATK_XY_SCREEN), nullptr);
}

TEST_F(AtkObjectsTest, GrabFocusAsksTheNode)
{
	EXPECT_TRUE(atk_component_grab_focus(ATK_COMPONENT(Object(fTree.amount))));
	EXPECT_EQ(fTree.amount->fFocusGrabs, 1);
	EXPECT_FALSE(atk_component_grab_focus(ATK_COMPONENT(Object(fTree.euroLine))));
}

TEST_F(AtkObjectsTest, ActionsAreQueuedInTheNode)
{
	AtkAction* action = ATK_ACTION(Object(fTree.calculatorButton));
	ASSERT_EQ(atk_action_get_n_actions(action), 1);
	EXPECT_STREQ(atk_action_get_name(action, 0), "press");
	EXPECT_STREQ(atk_action_get_description(action, 0), "Drückt Taschenrechner");
	EXPECT_TRUE(atk_action_do_action(action, 0));
	EXPECT_FALSE(atk_action_do_action(action, 1));
	EXPECT_EQ(atk_action_get_name(action, 1), nullptr);
	EXPECT_EQ(fTree.calculatorButton->fActionsDone, std::vector<int32>{0});
}

TEST_F(AtkObjectsTest, TheUtilOverridesAnswerForTheProcess)
{
	KamboAtk::SetRoot(fTree.application.get(), "1.1.0");
	EXPECT_EQ(atk_get_root(), Object(fTree.application.get()));
	EXPECT_STREQ(atk_get_toolkit_name(), "Kambo-Lux kit");
	EXPECT_STREQ(atk_get_toolkit_version(), "1.1.0");
	KamboAtk::SetRoot(nullptr, nullptr);
	EXPECT_EQ(atk_get_root(), nullptr);
}

} // namespace
