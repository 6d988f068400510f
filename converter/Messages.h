// The converter's message codes. The view's commands come from its menus and its amount
// field; 'BtnC' goes to the main window, which opens the calculator pad.
#pragma once

#include "SupportDefs.h"

enum : uint32 {
	// An editable amount field changed its text.
	kMsgAmountChanged = 'EoCh',
	// Menu commands; the two currency lists carry int32 "whg", the rounding list "runden".
	kMsgSourceCurrency = 'MpIO',
	kMsgTargetCurrency = 'MpIU',
	kMsgRounding = 'MpRu',
	kMsgSwap = 'MpTs',
	kMsgToggleInFront = 'MpFr',
	kMsgToggleTabless = 'MpTb',
	kMsgShowRates = 'MpIf',
	// The calculator picture button.
	kMsgOpenCalculator = 'BtnC',
};
