// What a screen reader calls the parts of the main window. The fields' and bands' names end
// in the current choice, which TMainView appends.
#pragma once

inline constexpr char kAmountFieldName[] = "Betrag in ";
inline constexpr char kEuroLineName[] = "Euro-Betrag";
inline constexpr char kTargetFieldName[] = "Ergebnis in ";
inline constexpr char kCalculatorButtonName[] = "Taschenrechner";
inline constexpr char kAboutButtonName[] = "\xC3\x9C"
										   "ber ZQ Kambo-Lux";
inline constexpr char kSourceBandName[] = "Ausgangsw\xC3\xA4hrung: ";
inline constexpr char kRoundingBandName[] = "Rundung: ";
inline constexpr char kTargetBandName[] = "Zielw\xC3\xA4hrung: ";
inline constexpr char kSwapName[] = "W\xC3\xA4hrungen tauschen";
// The pop-up lists: the bands' lists take the band's name; the right-click menu this one.
inline constexpr char kRoundingMenuName[] = "Rundung";
inline constexpr char kContextMenuName[] = "Kontextmen\xC3\xBC";
// The bands' and the arrow's actions, as the reader describes them.
inline constexpr char kCurrencyListAction[] = "Liste der W\xC3\xA4hrungen \xC3\xB6"
											  "ffnen";
inline constexpr char kRoundingListAction[] = "Liste der Rundungen \xC3\xB6"
											  "ffnen";
inline constexpr char kSwapAction[] = "Ausgangs- und Zielw\xC3\xA4hrung tauschen";
