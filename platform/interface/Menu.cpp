#include "Menu.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

#include "AccessibleKit.h"
#include "Debug.h"
#include "MenuItem.h"

// Items stand in one column inside a two-pixel frame (a dark outline and a bevel). Each item
// keeps room at its left for the check mark and at its right for the shortcut or the
// submenu arrow. A shortcut is written as the keyboard labels its keys ("Strg+Q"): the
// command key is Ctrl here, and no font has the platform's command-key glyph.

namespace {

const float kFrame = 2;      // outline plus bevel
const float kPadding = 1;    // above the first and below the last item
const float kMarkSpace = 18; // check mark column left of the labels
const float kRightGap = 20;  // label to shortcut or arrow
const float kRightSpace = 8; // after the shortcut or arrow
const float kArrowWidth = 4;
const float kSeparatorHeight = 8;
const float kMinWidth = 40;

const BFont&
MenuFont()
{
	return *be_plain_font;
}

float
ItemHeight(const BMenuItem* item)
{
	if (item->IsSeparator())
		return kSeparatorHeight;
	font_height height;
	MenuFont().GetHeight(&height);
	return std::ceil(height.ascent + height.descent) + 5;
}

// The modifier keys as a German keyboard labels them, in the order they are written. The
// command key is what Ctrl (or the left Alt) gives, so a shortcut always names it.
const struct {
	uint32 modifier;
	const char* label;
} kModifierLabels[] = {
	{B_COMMAND_KEY | B_CONTROL_KEY, "Strg"},
	{B_OPTION_KEY, "Super"},
	{B_SHIFT_KEY, "Umschalt"},
};

float
RightPartWidth(const BMenuItem* item)
{
	if (item->Submenu() != nullptr)
		return kArrowWidth;
	std::string label = BPrivate::ShortcutLabel(item);
	if (label.empty())
		return 0;
	return std::ceil(MenuFont().StringWidth(label.c_str()));
}

rgb_color
Background()
{
	return ui_color(B_MENU_BACKGROUND_COLOR);
}

} // namespace

namespace BPrivate {

std::string
ShortcutLabel(const BMenuItem* item)
{
	uint32 modifiers = 0;
	unsigned char key = (unsigned char)item->Shortcut(&modifiers);
	// Only a key that prints as itself can be named; the space bar has no letter.
	if (key <= ' ' || key >= 0x7f)
		return std::string();
	modifiers |= B_COMMAND_KEY;
	std::string label;
	for (const auto& entry : kModifierLabels) {
		if ((modifiers & entry.modifier) != 0) {
			label += entry.label;
			label += '+';
		}
	}
	label += (char)toupper(key);
	return label;
}

} // namespace BPrivate

BMenu::BMenu(const char* name, menu_layout layout) :
	BView(BRect(0, 0, kMinWidth - 1, 2 * (kFrame + kPadding) - 1), name, B_FOLLOW_NONE, B_WILL_DRAW)
{
	// Rows and matrices are never laid out; asking for one is a mistake, not a request.
	if (layout != B_ITEMS_IN_COLUMN)
		BPrivate::ReportMisuse("BMenu: only B_ITEMS_IN_COLUMN is supported");
	SetViewColor(Background());
	SetLowColor(Background());
}

BMenu::~BMenu()
{
	if (fSuperitem != nullptr) {
		fSuperitem->fSubmenu = nullptr;
		fSuperitem = nullptr;
	}
	while (!fItems.empty()) {
		BMenuItem* item = fItems.back();
		fItems.pop_back();
		item->fMenu = nullptr;
		delete item;
	}
}

// #pragma mark - items

bool
BMenu::AddItem(BMenuItem* item)
{
	return AddItem(item, CountItems());
}

bool
BMenu::AddItem(BMenuItem* item, int32 index)
{
	if (item == nullptr || item->fMenu != nullptr || index < 0 || index > CountItems())
		return false;
	// A menu may not end up inside its own submenus.
	for (const BMenu* menu = this; menu != nullptr; menu = menu->Supermenu()) {
		if (item->fSubmenu == menu)
			return false;
	}
	fItems.insert(fItems.begin() + index, item);
	item->fMenu = this;
	if (fHighlighted >= index)
		fHighlighted++;
	Invalidate();
	return true;
}

bool
BMenu::AddItem(BMenu* submenu)
{
	if (submenu == nullptr || submenu->fSuperitem != nullptr)
		return false;
	BMenuItem* item = new BMenuItem(submenu);
	if (!AddItem(item)) {
		submenu->fSuperitem = nullptr;
		item->fSubmenu = nullptr;
		delete item;
		return false;
	}
	return true;
}

bool
BMenu::AddSeparatorItem()
{
	return AddItem(new BSeparatorItem());
}

void
BMenu::SetRadioMode(bool flag)
{
	fRadioMode = flag;
	if (!flag)
		fLabelFromMarked = false;
}

void
BMenu::SetLabelFromMarked(bool flag)
{
	fLabelFromMarked = flag;
	if (flag) {
		fRadioMode = true;
		_LabelFromMarked();
	}
}

void
BMenu::_LabelFromMarked()
{
	BMenuItem* marked = FindMarked();
	if (fLabelFromMarked && fSuperitem != nullptr && marked != nullptr)
		fSuperitem->SetLabel(marked->Label());
}

BMenuItem*
BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	return fItems[index];
}

int32
BMenu::IndexOf(const BMenuItem* item) const
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found == fItems.end() ? -1 : (int32)(found - fItems.begin());
}

BMenuItem*
BMenu::FindItem(const char* label) const
{
	if (label == nullptr)
		return nullptr;
	for (BMenuItem* item : fItems) {
		if (!item->IsSeparator() && strcmp(item->Label(), label) == 0)
			return item;
		if (item->Submenu() != nullptr) {
			if (BMenuItem* found = item->Submenu()->FindItem(label))
				return found;
		}
	}
	return nullptr;
}

BMenuItem*
BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : fItems) {
		if (item->Message() != nullptr && item->Command() == command)
			return item;
		if (item->Submenu() != nullptr) {
			if (BMenuItem* found = item->Submenu()->FindItem(command))
				return found;
		}
	}
	return nullptr;
}

BMenuItem*
BMenu::FindMarked() const
{
	for (BMenuItem* item : fItems) {
		if (item->IsMarked())
			return item;
	}
	return nullptr;
}

BMenu*
BMenu::Supermenu() const
{
	return fSuperitem != nullptr ? fSuperitem->Menu() : nullptr;
}

status_t
BMenu::SetTargetForItems(BHandler* handler)
{
	status_t result = B_OK;
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(handler);
		if (status != B_OK)
			result = status;
	}
	return result;
}

// #pragma mark - layout

BPoint
BMenu::PreferredSize() const
{
	float labelWidth = 0;
	float rightWidth = 0;
	float height = 2 * (kFrame + kPadding);
	for (const BMenuItem* item : fItems) {
		height += ItemHeight(item);
		if (item->IsSeparator())
			continue;
		labelWidth = std::max(labelWidth, std::ceil(MenuFont().StringWidth(item->Label())));
		rightWidth = std::max(rightWidth, RightPartWidth(item));
	}
	float width = 2 * kFrame + kMarkSpace + labelWidth + kRightSpace;
	if (rightWidth > 0)
		width += kRightGap + rightWidth;
	width = std::max(width, kMinWidth);
	// As rectangle extents: the frame (0, 0, x, y) holds the menu.
	return BPoint(width - 1, height - 1);
}

BRect
BMenu::ItemFrame(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return BRect();
	float top = kFrame + kPadding;
	for (int32 i = 0; i < index; i++)
		top += ItemHeight(fItems[i]);
	BRect bounds = Bounds();
	return BRect(kFrame, top, bounds.right - kFrame, top + ItemHeight(fItems[index]) - 1);
}

int32
BMenu::ItemIndexAt(BPoint where) const
{
	BRect bounds = Bounds();
	if (where.x < kFrame || where.x > bounds.right - kFrame)
		return -1;
	float top = kFrame + kPadding;
	for (int32 i = 0; i < CountItems(); i++) {
		float height = ItemHeight(fItems[i]);
		if (where.y >= top && where.y < top + height)
			return i;
		top += height;
	}
	return -1;
}

void
BMenu::SetHighlightedIndex(int32 index)
{
	if (index < -1 || index >= CountItems())
		index = -1;
	if (index == fHighlighted)
		return;
	Invalidate(ItemFrame(fHighlighted));
	int32 old = fHighlighted;
	fHighlighted = index;
	Invalidate(ItemFrame(fHighlighted));
	if (BPrivate::Listening())
		BPrivate::NotifyMenuHighlight(this, old, index);
}

// #pragma mark - drawing

void
BMenu::Draw(BRect updateRect)
{
	(void)updateRect;
	rgb_color background = Background();
	BRect bounds = Bounds();

	SetHighColor(tint_color(background, B_DARKEN_4_TINT));
	StrokeRect(bounds);
	BRect bevel = bounds.InsetByCopy(1, 1);
	SetHighColor(tint_color(background, B_LIGHTEN_2_TINT));
	StrokeLine(bevel.LeftBottom(), bevel.LeftTop());
	StrokeLine(bevel.LeftTop(), bevel.RightTop());
	SetHighColor(tint_color(background, B_DARKEN_2_TINT));
	StrokeLine(BPoint(bevel.left + 1, bevel.bottom), bevel.RightBottom());
	StrokeLine(bevel.RightBottom(), BPoint(bevel.right, bevel.top + 1));

	font_height height;
	MenuFont().GetHeight(&height);
	SetFont(&MenuFont());

	for (int32 i = 0; i < CountItems(); i++) {
		const BMenuItem* item = fItems[i];
		BRect frame = ItemFrame(i);
		if (item->IsSeparator()) {
			float y = frame.top + std::floor(frame.Height() / 2);
			SetHighColor(tint_color(background, B_DARKEN_2_TINT));
			StrokeLine(BPoint(frame.left + 1, y), BPoint(frame.right - 1, y));
			SetHighColor(tint_color(background, B_LIGHTEN_2_TINT));
			StrokeLine(BPoint(frame.left + 1, y + 1), BPoint(frame.right - 1, y + 1));
			continue;
		}

		bool enabled = item->IsEnabled();
		bool highlighted = i == fHighlighted && enabled;
		rgb_color face = background;
		rgb_color text = ui_color(B_MENU_ITEM_TEXT_COLOR);
		if (highlighted) {
			face = ui_color(B_MENU_SELECTION_BACKGROUND_COLOR);
			text = ui_color(B_MENU_SELECTED_ITEM_TEXT_COLOR);
			SetHighColor(face);
			FillRect(frame);
		}
		if (!enabled)
			text = tint_color(background, B_DARKEN_3_TINT);
		SetLowColor(face);
		SetHighColor(text);

		float baseline = std::floor(
			frame.top + (frame.Height() + height.ascent - height.descent) / 2 + 0.5f);
		if (item->IsMarked()) {
			// A check mark: a short stroke down, a long one up, two pixels thick.
			float x = frame.left + 5;
			float y = baseline - 4;
			for (float dy = 0; dy < 2; dy++) {
				StrokeLine(BPoint(x, y + dy), BPoint(x + 2, y + 2 + dy));
				StrokeLine(BPoint(x + 2, y + 2 + dy), BPoint(x + 7, y - 3 + dy));
			}
		}
		DrawString(item->Label(), BPoint(frame.left + kMarkSpace, baseline));

		float right = frame.right - kRightSpace;
		if (item->Submenu() != nullptr) {
			float middle = baseline - 4;
			FillTriangle(BPoint(right - kArrowWidth + 1, middle - 3),
				BPoint(right - kArrowWidth + 1, middle + 3), BPoint(right, middle));
		} else if (std::string shortcut = BPrivate::ShortcutLabel(item); !shortcut.empty()) {
			float width = std::ceil(MenuFont().StringWidth(shortcut.c_str()));
			DrawString(shortcut.c_str(), BPoint(right - width + 1, baseline));
		}
	}
}
