// TMainView for a screen reader: the names that follow the converter's state, and the
// three bands and the swap arrow, which the view draws, as buttons.
#include <string>

#include "AccessibleNames.h"
#include "CurrencyTable.h"
#include "TEdit.h"
#include "TMainView.h"
#include "TextView.h"

namespace {

enum {
	kSourceBandPart = 0,
	kRoundingBandPart,
	kTargetBandPart,
	kSwapPart,
	kPartCount,
};

} // namespace

void
TMainView::_UpdateAccessibleNames()
{
	if (fSourceField == nullptr || fTargetField == nullptr)
		return;
	fSourceField->SetAccessibleName(
		(std::string(kAmountFieldName) + ISOCode[fSourceIndex]).c_str());
	fTargetField->SetAccessibleName(
		(std::string(kTargetFieldName) + ISOCode[fTargetIndex]).c_str());
	AccessiblePartsChanged();
}

int32
TMainView::CountAccessibleParts() const
{
	// Before the fields exist there is nothing to choose.
	return fSourceField != nullptr ? kPartCount : 0;
}

bool
TMainView::GetAccessiblePart(int32 index, accessible_part* part) const
{
	if (index < 0 || index >= CountAccessibleParts())
		return false;
	part->role = B_ROLE_PUSH_BUTTON;
	part->states = B_STATE_ENABLED | B_STATE_HAS_POPUP;
	part->action = "press";
	switch (index) {
		case kSourceBandPart:
			part->name = std::string(kSourceBandName) + Land[fSourceIndex];
			part->description = kCurrencyListAction;
			break;
		case kRoundingBandPart:
			part->name = std::string(kRoundingBandName) + _RoundingLabel(fRounding);
			part->description = kRoundingListAction;
			break;
		case kTargetBandPart:
			part->name = std::string(kTargetBandName) + Land[fTargetIndex];
			part->description = kCurrencyListAction;
			break;
		case kSwapPart:
			part->name = kSwapName;
			part->description = kSwapAction;
			part->states = B_STATE_ENABLED;
			part->frame = fSwapArea;
			return true;
	}
	part->frame = _BandFrame(index);
	return true;
}

void
TMainView::DoAccessiblePartAction(int32 index)
{
	if (index == kSwapPart) {
		Tausch();
		return;
	}
	if (index < 0 || index >= kSwapPart || Window() == nullptr)
		return;
	// Where a click at the band's left end, beside the flag, would open it.
	BRect band = _BandFrame(index);
	BPoint where(band.left + 4, (band.top + band.bottom) / 2);
	_Show(_BuildBandMenu(where), where);
}
