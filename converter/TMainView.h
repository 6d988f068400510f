// TMainView: the converter window's only top view and the holder of all converter state
// (source and target currency, rounding, the two window options). It builds the amount
// fields, the euro line and the picture buttons, converts on every change of the amount and
// carries out every menu command. Calculator pad and about window belong to the main window.
#pragma once

#include <memory>

#include "View.h"

class BBitmap;
class BMenu;
class BPicture;
class BPopUpMenu;
class BTextView;
class TEdit;

class TMainView : public BView {
public:
	explicit TMainView(BRect frame);
	~TMainView() override;

	void MessageReceived(BMessage* message) override;
	void AttachedToWindow() override;
	void Draw(BRect updateRect) override;
	void MouseDown(BPoint where) override;

	// Converts the source amount into the euro line and the target field.
	void Calculate();
	// Swaps source and target currency; the shown target amount becomes the new source.
	void Tausch();

	// Appends every currency, each sending command with its index in "whg"; a separator
	// sets the later ones apart.
	void AddWhgMenu(BMenu* menu, int32 marked, uint32 command);
	// Appends the three rounding choices.
	void AddEurMenu(BMenu* menu);

	// Apply the window options to the window.
	void SetWindowLook();
	void SetWindowFeel();

	// The editable amount field; the calculator pad edits it in place.
	TEdit* SourceField() const { return fSourceField; }
	TEdit* TargetField() const { return fTargetField; }
	BTextView* EuroLine() const { return fEuroLine; }

	int32 SourceIndex() const { return fSourceIndex; }
	int32 TargetIndex() const { return fTargetIndex; }
	int32 Rounding() const { return fRounding; }
	int32 InFront() const { return fInFront; }
	int32 Tabless() const { return fTabless; }
	BRect SwapArea() const { return fSwapArea; }

	// For a screen reader the three bands and the swap arrow are buttons of this view:
	// a band's action opens its list where a click would, the arrow's swaps.
	int32 CountAccessibleParts() const override;
	bool GetAccessiblePart(int32 index, accessible_part* part) const override;
	void DoAccessiblePartAction(int32 index) override;

private:
	void _CreateFields();
	void _CreateButtons();
	// Names that follow the state: the amount field's currency, the bands' choices.
	void _UpdateAccessibleNames();
	// The area of a band (0 source, 1 rounding, 2 target) where a click opens its list.
	BRect _BandFrame(int32 band) const;
	static const char* _RoundingLabel(int32 rounding);
	BPicture* _RecordPicture(const BBitmap* image);
	void _ChooseCurrency(BMessage* message, int32* index);
	void _ChooseRounding(BMessage* message);
	void _KeepRoundingLegal();
	void _ShowRates();
	// Whether the window is without its title bar as the window system has it.
	bool _ShowsTabless() const;

	void _DrawFlag(int32 index, BRect euroFlagFrame, BRect flagFrame);
	void _DrawFrames();
	void _DrawTexts();

	BPopUpMenu* _BuildContextMenu();
	BPopUpMenu* _BuildBandMenu(BPoint where);
	void _Show(BPopUpMenu* menu, BPoint where);
	// Shift+F10 or the Menu key: the right click's menu, where the window asks for it.
	void _ContextMenuFromKeyboard(BMessage* message);

	TEdit* fSourceField = nullptr;
	TEdit* fTargetField = nullptr;
	std::unique_ptr<BBitmap> fFlagStrip;
	std::unique_ptr<BBitmap> fEuroFlag;
	std::unique_ptr<BBitmap> fSwapArrows;
	BTextView* fEuroLine = nullptr;
	BRect fSwapArea;
	int32 fSourceIndex;
	int32 fTargetIndex;
	int32 fRounding;
	int32 fInFront;
	int32 fTabless;
};
