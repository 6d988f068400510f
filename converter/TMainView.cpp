// TMainView: construction from the settings, children, destruction, commands, conversion.
// Drawing is in TMainViewDrawing.cpp, mouse and menus in TMainViewMenus.cpp.
#include "TMainView.h"

#include <string>
#include <utility>

#include "AccessibleNames.h"
#include "Alert.h"
#include "AppDefs.h"
#include "Application.h"
#include "Bitmap.h"
#include "Conversion.h"
#include "CurrencyTable.h"
#include "Message.h"
#include "Messages.h"
#include "Picture.h"
#include "PictureButton.h"
#include "Preferences.h"
#include "SettingsKeys.h"
#include "TEdit.h"
#include "TranslationUtils.h"
#include "Window.h"

namespace {

constexpr int32 kDefaultCurrency = 2; // Deutsche Mark
constexpr int32 kDefaultRounding = kRoundNone;

constexpr uint32 kImageType = 'PNG ';
enum : int32 {
	kFlagStripImage = 46,
	kEuroFlagImage = 47,
	kSwapArrowsImage = 48,
	kCalculatorUpImage = 49,
	kCalculatorDownImage = 50,
	kAboutUpImage = 51,
	kAboutDownImage = 52,
};

// A resizing mode given as the raw value; the window never resizes, so it never matters.
constexpr uint32 kViewResizingMode = 2;

const BRect kSwapArea(12, 45, 32, 66);
const BRect kSourceFieldFrame(45, 21, 153, 43);
const BRect kTargetFieldFrame(45, 69, 170, 91);
const BRect kFieldTextRect(2, 3, 104, 20);
const BRect kEuroLineFrame(34, 48, 172, 64);
const BRect kEuroLineTextRect(3, 3, 125, 20);
const BRect kCalculatorButtonFrame(154, 21, 171, 44);

// Amounts wider than their field are drawn smaller down to this size, which DejaVu Sans
// still shows legibly; a longer amount is then cut behind a mark (BTextView::SetFitToWidth).
constexpr float kSmallestAmountSize = 8;

const rgb_color kSourceFieldColor = {127, 255, 127, 255};
const rgb_color kTargetFieldColor = {255, 199, 192, 255};
const rgb_color kEuroLineColor = {255, 255, 223, 255};

// Fixed text, not generated from the currency table: the rates of 1999 alphabetical by code,
// then every later rate under the date it was fixed, German decimal commas and each rate's
// written digits.
const char* const kRatesTitle = "Umrechnungskurse";
const char* const kRatesText = "Umrechnungskurse, keine Gew\xC3\xA4hr!\n"
							   "\n"
							   "Fix 1.1.1999\n"
							   " ATS - 13,7603\n"
							   " BEF - 40,3399\n"
							   " DEM - 1,95583\n"
							   " ESP - 166,386\n"
							   " FIM - 5,94573\n"
							   " FRF - 6,55957\n"
							   " IEP - 0,787564\n"
							   " ITL - 1936,27\n"
							   " LUF - 40,3399\n"
							   " NLG - 2,20371\n"
							   " PTE - 200,482\n"
							   "Fix 1.1.2001\n"
							   " GRD - 340,75\n"
							   "Fix 1.1.2007\n"
							   " SIT - 239,640\n"
							   "Fix 1.1.2008\n"
							   " CYP - 0,585274\n"
							   " MTL - 0,429300\n"
							   "Fix 1.1.2009\n"
							   " SKK - 30,1260\n"
							   "Fix 1.1.2011\n"
							   " EEK - 15,6466\n"
							   "Fix 1.1.2014\n"
							   " LVL - 0,702804\n"
							   "Fix 1.1.2015\n"
							   " LTL - 3,45280\n"
							   "Fix 1.1.2023\n"
							   " HRK - 7,53450\n"
							   "Fix 1.1.2026\n"
							   " BGN - 1,95583\n"
							   "\n"
							   "\n";

std::unique_ptr<BBitmap>
LoadImage(int32 id)
{
	return std::unique_ptr<BBitmap>(BTranslationUtils::GetBitmap(kImageType, id));
}

} // namespace

TMainView::TMainView(BRect frame) :
	BView(frame, "", kViewResizingMode, B_WILL_DRAW),
	fSwapArea(0, 0, -1, -1)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	TPreferences prefs(kSettingsFile);
	fSourceIndex = prefs.GetInt32(kKeySource, kDefaultCurrency);
	fTargetIndex = prefs.GetInt32(kKeyTarget, kDefaultCurrency);
	fInFront = prefs.GetInt32(kKeyInFront, 0);
	fTabless = prefs.GetInt32(kKeyTabless, 0);
	fRounding = prefs.GetInt32(kKeyRounding, kDefaultRounding);

	// Only a damaged file holds anything else, and every table lookup trusts these.
	if (!IsValidCurrency(fSourceIndex))
		fSourceIndex = kDefaultCurrency;
	if (!IsValidCurrency(fTargetIndex))
		fTargetIndex = kDefaultCurrency;
	if (!IsValidRounding(fRounding))
		fRounding = kDefaultRounding;
	// A file may pair the euro with a rounding (the program wrote such files once); the window
	// must show what the command line and the law give.
	_KeepRoundingLegal();
}

TMainView::~TMainView()
{
	TPreferences prefs(kSettingsFile);
	prefs.SetInt32(kKeySource, fSourceIndex);
	prefs.SetInt32(kKeyTarget, fTargetIndex);
	prefs.SetInt32(kKeyInFront, fInFront);
	prefs.SetInt32(kKeyTabless, fTabless);
	prefs.SetInt32(kKeyRounding, fRounding);
	// prefs writes the file as it goes out of scope; the base class then deletes the children.
}

void
TMainView::AttachedToWindow()
{
	// Attached again after a RemoveSelf, the view still has its images and children.
	bool first = fSourceField == nullptr;
	if (first) {
		fFlagStrip = LoadImage(kFlagStripImage);
		fEuroFlag = LoadImage(kEuroFlagImage);
		fSwapArrows = LoadImage(kSwapArrowsImage);
		fSwapArea = kSwapArea;
		_CreateFields();
	}
	// Applied before the window is first shown.
	SetWindowFeel();
	SetWindowLook();
	if (first)
		_CreateButtons();

	Calculate();
}

void
TMainView::_CreateFields()
{
	// Every edit of the amount, typed or from the calculator pad, is sent to this view,
	// wherever the window's focus happens to be.
	fSourceField = new TEdit(kSourceFieldFrame, this, kFieldTextRect, 0);
	fSourceField->SetViewColor(kSourceFieldColor);
	// Set while the field is in no window, so this first text reports nothing.
	fSourceField->SetText("0");
	AddChild(fSourceField);
	fSourceField->MakeFocus(true);
	// The first key typed replaces the 0.
	fSourceField->SelectAll();

	fTargetField = new TEdit(kTargetFieldFrame, nullptr, kFieldTextRect, 0);
	fTargetField->MakeEditable(false);
	fTargetField->SetViewColor(kTargetFieldColor);
	AddChild(fTargetField);

	fEuroLine = new BTextView(kEuroLineFrame, nullptr, kEuroLineTextRect, 0, B_WILL_DRAW);
	fEuroLine->MakeEditable(false);
	fEuroLine->SetViewColor(kEuroLineColor);
	fEuroLine->SetAlignment(B_ALIGN_RIGHT);
	// One line: wrapped, a long amount would break at its " . . ." below the field's edge.
	fEuroLine->SetWordWrap(false);
	AddChild(fEuroLine);

	// No amount may show cut as if it were whole.
	for (BTextView* field :
		{static_cast<BTextView*>(fSourceField), static_cast<BTextView*>(fTargetField), fEuroLine})
		field->SetFitToWidth(kSmallestAmountSize);
	// The results change with every key; a screen reader announces them as they do.
	fEuroLine->SetAccessibleName(kEuroLineName);
	fEuroLine->SetAccessibleLive(true);
	fTargetField->SetAccessibleLive(true);
	_UpdateAccessibleNames();
}

void
TMainView::_CreateButtons()
{
	struct ButtonSpec {
		BRect frame;
		int32 offImage;
		int32 onImage;
		uint32 command;
		const char* accessibleName;
	};
	BRect bounds = Bounds();
	const ButtonSpec buttons[] = {
		{kCalculatorButtonFrame, kCalculatorUpImage, kCalculatorDownImage, kMsgOpenCalculator,
			kCalculatorButtonName},
		{BRect(bounds.right - 10, bounds.bottom - 10, bounds.right, bounds.bottom), kAboutUpImage,
			kAboutDownImage, B_ABOUT_REQUESTED, kAboutButtonName},
	};

	for (const ButtonSpec& spec : buttons) {
		// The pictures keep copies of the images.
		BPicture* off = _RecordPicture(LoadImage(spec.offImage).get());
		BPicture* on = _RecordPicture(LoadImage(spec.onImage).get());

		// No target: the messages go to the window, which opens the pad or the about box.
		BPictureButton* button = new BPictureButton(spec.frame, "", off, on,
			new BMessage(spec.command), B_ONE_STATE_BUTTON, B_FOLLOW_LEFT | B_FOLLOW_TOP,
			B_WILL_DRAW | B_NAVIGABLE);
		button->SetAccessibleName(spec.accessibleName);
		AddChild(button);
	}
}

BPicture*
TMainView::_RecordPicture(const BBitmap* image)
{
	BeginPicture(new BPicture);
	// At the pen position, which nothing has moved from the origin. A missing image leaves
	// the picture empty.
	if (image != nullptr)
		DrawBitmap(image);
	return EndPicture();
}

// #pragma mark - commands

void
TMainView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgAmountChanged:
			Calculate();
			break;
		case kMsgSourceCurrency:
			_ChooseCurrency(message, &fSourceIndex);
			break;
		case kMsgTargetCurrency:
			_ChooseCurrency(message, &fTargetIndex);
			break;
		case kMsgRounding:
			_ChooseRounding(message);
			break;
		case kMsgSwap:
			Tausch();
			break;
		// Another value read from the file is off, as the unticked entry shows: a click
		// turns it on.
		case kMsgToggleInFront:
			fInFront = fInFront == 1 ? 0 : 1;
			SetWindowFeel();
			break;
		case kMsgToggleTabless:
			// From what the tick showed, which is the window's, not the setting's.
			fTabless = _ShowsTabless() ? 0 : 1;
			SetWindowLook();
			break;
		case kMsgShowRates:
			_ShowRates();
			break;
		case B_CONTEXT_MENU_REQUESTED:
			_ContextMenuFromKeyboard(message);
			break;
		case B_QUIT_REQUESTED:
			// The application ends the program; the view does not quit its window itself.
			if (be_app != nullptr)
				be_app->PostMessage(B_QUIT_REQUESTED);
			break;
		default:
			// B_ABOUT_REQUESTED from the menu travels on to the main window.
			BView::MessageReceived(message);
			break;
	}
}

void
TMainView::_ChooseCurrency(BMessage* message, int32* index)
{
	int32 chosen = 0;
	if (message->FindInt32("whg", &chosen) != B_OK || !IsValidCurrency(chosen))
		return;
	*index = chosen;
	_KeepRoundingLegal();
	Calculate();
	Invalidate();
}

void
TMainView::_ChooseRounding(BMessage* message)
{
	int32 rounding = 0;
	if (message->FindInt32("runden", &rounding) != B_OK || !IsValidRounding(rounding))
		return;
	fRounding = rounding;
	_KeepRoundingLegal();
	// Flags and codes are unchanged: only the two texts need redrawing.
	Calculate();
}

// The euro amount is rounded only on its way between two national currencies: with the euro on
// a side, rounding it would round the euro twice and could end a cent off.
void
TMainView::_KeepRoundingLegal()
{
	if (fSourceIndex == kEuroIndex || fTargetIndex == kEuroIndex)
		fRounding = kRoundNone;
}

void
TMainView::SetWindowLook()
{
	if (BWindow* window = Window())
		window->SetLook(fTabless == 1 ? B_MODAL_WINDOW_LOOK : B_TITLED_WINDOW_LOOK);
}

bool
TMainView::_ShowsTabless() const
{
	const BWindow* window = Window();
	return window != nullptr ? !window->IsDecorated() : fTabless == 1;
}

void
TMainView::SetWindowFeel()
{
	if (BWindow* window = Window())
		window->SetFeel(fInFront == 1 ? B_FLOATING_ALL_WINDOW_FEEL : B_NORMAL_WINDOW_FEEL);
}

void
TMainView::_ShowRates()
{
	BAlert* alert = new BAlert(kRatesTitle, kRatesText, "OK", nullptr, nullptr, B_WIDTH_AS_USUAL,
		B_OFFSET_SPACING, B_INFO_ALERT);
	// Monospaced, so that codes and rates line up in columns.
	alert->TextView()->SetFontAndColor(be_fixed_font, B_FONT_ALL);
	alert->SetFeel(B_FLOATING_ALL_WINDOW_FEEL);
	// Only a message with nothing to decide: Escape closes it as OK does.
	alert->SetShortcut(0, B_ESCAPE);
	// Deletes itself when dismissed.
	alert->Go();
}

// #pragma mark - conversion

void
TMainView::Calculate()
{
	if (fSourceField == nullptr || fTargetField == nullptr || fEuroLine == nullptr)
		return;
	ConversionTexts texts;
	if (!ConvertAmount(fSourceField->Text(), fSourceIndex, fTargetIndex, fRounding, &texts))
		return;
	fEuroLine->SetText(texts.euroLine.c_str());
	fEuroLine->Invalidate();
	fTargetField->SetText(texts.target.c_str());
	fTargetField->Invalidate();
	_UpdateAccessibleNames();
}

void
TMainView::Tausch()
{
	std::swap(fSourceIndex, fTargetIndex);
	_KeepRoundingLegal();
	if (fSourceField != nullptr && fTargetField != nullptr) {
		// The shown two-decimal amount is carried over, not the unrounded value.
		std::string amount = fTargetField->Text();
		fSourceField->SetText(amount.c_str());
		fSourceField->Invalidate();
	}
	Calculate();
	Invalidate();
}
