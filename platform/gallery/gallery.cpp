// The kit gallery: one window with every widget of the kit, to check the kit's look by eye
// and to drive from the end-to-end tests. It knows nothing of the converter.
//
//   kit_gallery                  opens the window on the display
//   kit_gallery --report         also prints every action, and the texts when it quits
//   kit_gallery --screenshot F   draws the window off screen into the PNG file F and exits

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "Alert.h"
#include "AppDefs.h"
#include "Application.h"
#include "Bitmap.h"
#include "Button.h"
#include "EventLoop.h"
#include "HeadlessBackend.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Picture.h"
#include "PictureButton.h"
#include "PopUpMenu.h"
#include "TextView.h"
#include "TranslationUtils.h"
#include "View.h"
#include "Window.h"

namespace {

enum {
	kMsgAlert = 'Galt',
	kMsgClear = 'Gclr',
	kMsgPicture = 'Gpic',
	kMsgMarked = 'Gmrk',
	kMsgDisabled = 'Gdis',
	kMsgFirst = 'Gsb1',
	kMsgSecond = 'Gsb2',
};

const rgb_color kBlue = {0, 0, 200, 255};
const rgb_color kDark = {96, 96, 96, 255};
const rgb_color kLight = {255, 255, 255, 255};

bool gReport = false;

// A sunken frame with a text view inside, as the converter's fields are framed.
class FramedText : public BView {
public:
	FramedText(BRect frame, const char* name, bool singleLine) :
		BView(frame, name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW)
	{
		BRect inner = Bounds().InsetByCopy(2, 2);
		BRect textRect = inner.OffsetToCopy(0, 0).InsetByCopy(2, singleLine ? 1 : 2);
		fText = new BTextView(inner, "text", textRect, B_FOLLOW_ALL,
			B_WILL_DRAW | B_NAVIGABLE | B_PULSE_NEEDED);
		if (singleLine) {
			fText->SetWordWrap(false);
			fText->SetAlignment(B_ALIGN_RIGHT);
			fText->SetMaxBytes(24);
		}
		AddChild(fText);
	}

	BTextView* Text() const { return fText; }

	void Draw(BRect) override
	{
		BRect r = Bounds();
		SetHighColor(kDark);
		StrokeLine(r.LeftBottom(), r.LeftTop());
		StrokeLine(r.RightTop());
		SetHighColor(kLight);
		StrokeLine(r.LeftBottom() + BPoint(1, 0), r.RightBottom());
		StrokeLine(r.RightTop() + BPoint(0, 1));
		SetHighColor(0, 0, 0);
		StrokeRect(r.InsetByCopy(1, 1));
	}

private:
	BTextView* fText;
};

// Lines, shapes, bitmaps and the three fonts.
class Canvas : public BView {
public:
	explicit Canvas(BRect frame) :
		BView(frame, "canvas", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
		fGradient(BRect(0, 0, 31, 31), B_RGB32),
		fIndexed(BRect(0, 0, 15, 15), B_CMAP8)
	{
		SetViewColor(255, 255, 255);
		for (int32 y = 0; y < 32; y++) {
			uint32 row[32];
			for (int32 x = 0; x < 32; x++)
				row[x] = 0xff000000u | (uint32)(x * 8) << 16 | (uint32)(y * 8) << 8 | 0x80;
			fGradient.SetBits(row, sizeof(row), y * fGradient.BytesPerRow(), B_RGB32);
		}
		// A checker of palette entries with a transparent hole in the middle.
		for (int32 y = 0; y < 16; y++) {
			uint8 row[16];
			for (int32 x = 0; x < 16; x++) {
				bool hole = x >= 5 && x <= 10 && y >= 5 && y <= 10;
				row[x] = hole ? B_TRANSPARENT_MAGIC_CMAP8 : ((x + y) / 4 % 2 ? 35 : 63);
			}
			fIndexed.SetBits(row, sizeof(row), y * fIndexed.BytesPerRow(), B_CMAP8);
		}
#ifdef GALLERY_HAS_RESOURCES
		// Decoded PNG resources: a strip of flags and a single flag.
		fStrip.reset(BTranslationUtils::GetBitmap('PNG ', 46));
		fFlag.reset(BTranslationUtils::GetBitmap('PNG ', 47));
#endif
	}

	void Draw(BRect) override
	{
		BRect r = Bounds();
		SetHighColor(0, 0, 0);
		StrokeRect(r);

		// A fan of one-pixel lines: every end pixel lit.
		const rgb_color fan[] = {{200, 0, 0, 255}, {0, 150, 0, 255}, kBlue, {0, 0, 0, 255}};
		for (int32 i = 0; i < 4; i++) {
			SetHighColor(fan[i]);
			StrokeLine(BPoint(5, 5), BPoint(60, 5 + i * 12));
		}
		SetHighColor(200, 0, 0);
		FillEllipse(BRect(70, 5, 105, 35));
		SetHighColor(kBlue);
		StrokeEllipse(BRect(108, 5, 143, 35));
		SetHighColor(255, 203, 0);
		FillRoundRect(BRect(5, 45, 45, 70), 5, 5);
		SetHighColor(0, 0, 0);
		StrokeRoundRect(BRect(5, 45, 45, 70), 5, 5);
		SetHighColor(0, 150, 0);
		FillTriangle(BPoint(55, 70), BPoint(75, 45), BPoint(95, 70));

		DrawBitmap(&fGradient, BPoint(5, 80));
		SetDrawingMode(B_OP_OVER);
		DrawBitmap(&fIndexed, BPoint(45, 88));
		if (fStrip) {
			// The top of the strip only, scaled to twice its size.
			DrawBitmap(fStrip.get(), BRect(0, 0, 23, 15), BRect(70, 80, 117, 111));
		}
		if (fFlag)
			DrawBitmap(fFlag.get(), BPoint(125, 80));
		SetDrawingMode(B_OP_COPY);

		SetHighColor(0, 0, 0);
		SetFont(be_plain_font);
		DrawString("Plain DejaVu Sans", BPoint(5, 135));
		SetFont(be_bold_font);
		DrawString("Bold ÄÖÜ €", BPoint(5, 152));
		SetFont(be_fixed_font);
		DrawString("Fixed 0123 EUR", BPoint(5, 169));
		SetFont(be_plain_font);
		SetHighColor(kBlue);
		MovePenTo(5, 186);
		DrawString("pen ");
		DrawString("moves on");
	}

private:
	BBitmap fGradient;
	BBitmap fIndexed;
	std::unique_ptr<BBitmap> fStrip;
	std::unique_ptr<BBitmap> fFlag;
};

// The panel behind everything: the secondary button opens the pop-up menu, and the last
// action is shown along the bottom.
class Panel : public BView {
public:
	explicit Panel(BRect frame) : BView(frame, "panel", B_FOLLOW_ALL, B_WILL_DRAW)
	{
		SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	}

	void SetStatus(const std::string& status)
	{
		fStatus = status;
		if (gReport) {
			printf("status: %s\n", status.c_str());
			fflush(stdout);
		}
		Invalidate(BRect(0, Bounds().bottom - 20, Bounds().right, Bounds().bottom));
	}

	void Draw(BRect) override
	{
		SetHighColor(0, 0, 0);
		SetFont(be_plain_font);
		DrawString(fStatus.c_str(), BPoint(10, Bounds().bottom - 8));
	}

	void MouseDown(BPoint where) override
	{
		int32 buttons = 0;
		if (BMessage* message = Window()->CurrentMessage())
			message->FindInt32("buttons", &buttons);
		if ((buttons & B_SECONDARY_MOUSE_BUTTON) == 0)
			return;

		auto menu = std::make_unique<BPopUpMenu>("gallery", false, false);
		auto* marked = new BMenuItem("Marked item", new BMessage(kMsgMarked));
		marked->SetMarked(true);
		menu->AddItem(marked);
		auto* disabled = new BMenuItem("Disabled item", new BMessage(kMsgDisabled));
		disabled->SetEnabled(false);
		menu->AddItem(disabled);
		menu->AddSeparatorItem();
		auto* submenu = new BMenu("Submenu");
		submenu->AddItem(new BMenuItem("First", new BMessage(kMsgFirst)));
		submenu->AddItem(new BMenuItem("Second", new BMessage(kMsgSecond)));
		menu->AddItem(submenu);
		menu->AddItem(new BMenuItem("Alert…", new BMessage(kMsgAlert)));
		menu->AddSeparatorItem();
		menu->AddItem(new BMenuItem("Quit", new BMessage(B_QUIT_REQUESTED), 'Q'));
		menu->SetTargetForItems(Window());
		submenu->SetTargetForItems(Window());

		BMenuItem* chosen = menu->Go(ConvertToScreen(where), true);
		SetStatus(chosen != nullptr ? std::string("Menu: ") + chosen->Label() : "Menu closed");
	}

private:
	std::string fStatus = "Right-click for the menu";
};

BPicture*
RecordGlyph(BView* view, bool pressed)
{
	view->BeginPicture(new BPicture);
	BRect r(0, 0, 23, 23);
	view->SetHighColor(pressed ? make_color(120, 120, 120) : make_color(235, 235, 235));
	view->FillRect(r);
	view->SetHighColor(0, 0, 0);
	view->StrokeRect(r);
	view->SetHighColor(pressed ? kLight : kBlue);
	view->FillEllipse(BRect(6, 6, 17, 17));
	return view->EndPicture();
}

class GalleryWindow : public BWindow {
public:
	GalleryWindow() :
		BWindow(BRect(100, 100, 519, 399), "Kit Gallery", B_TITLED_WINDOW,
			B_NOT_RESIZABLE | B_NOT_ZOOMABLE)
	{
		fPanel = new Panel(Bounds());
		AddChild(fPanel);

		fNotes = new FramedText(BRect(10, 10, 250, 130), "notes", false);
		fPanel->AddChild(fNotes);
		fAmount = new FramedText(BRect(10, 140, 250, 162), "amount", true);
		fPanel->AddChild(fAmount);

		BButton* alert = new BButton(BRect(10, 174, 95, 198), "alert", "Alert…",
			new BMessage(kMsgAlert));
		fPanel->AddChild(alert);
		alert->MakeDefault(true);
		fPanel->AddChild(
			new BButton(BRect(105, 174, 175, 198), "clear", "Clear", new BMessage(kMsgClear)));
		fPanel->AddChild(new BPictureButton(BRect(185, 174, 208, 197), "picture",
			RecordGlyph(fPanel, false), RecordGlyph(fPanel, true), new BMessage(kMsgPicture)));

		fPanel->AddChild(new Canvas(BRect(260, 10, 409, 210)));

		_FillTexts();
		fNotes->Text()->MakeFocus(true);
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kMsgAlert:
			{
				BAlert* alert = new BAlert("Gallery",
					"An alert with two buttons.\n"
					"Enter picks the right one.",
					"Cancel", "OK");
				int32 choice = alert->Go();
				fPanel->SetStatus(choice == 1 ? "Alert: OK" : "Alert: Cancel");
				break;
			}
			case kMsgClear:
				fNotes->Text()->SetText("");
				fAmount->Text()->SetText("");
				fPanel->SetStatus("Cleared");
				break;
			case kMsgPicture:
				fPanel->SetStatus("Picture button");
				break;
			case kMsgMarked:
			case kMsgFirst:
			case kMsgSecond:
				fPanel->SetStatus(message->what == kMsgMarked ? "Chose: Marked item"
						: message->what == kMsgFirst          ? "Chose: First"
															  : "Chose: Second");
				break;
			default:
				BWindow::MessageReceived(message);
		}
	}

	~GalleryWindow() override
	{
		if (gReport) {
			printf("notes: %s\n", _OneLine(fNotes->Text()->Text()).c_str());
			printf("amount: %s\n", _OneLine(fAmount->Text()->Text()).c_str());
			fflush(stdout);
		}
	}

	bool QuitRequested() override
	{
		// Closing the only window ends the application (unless it is what asked).
		if (be_app != nullptr && !be_app->IsQuitting())
			be_app->PostMessage(B_QUIT_REQUESTED);
		return true;
	}

private:
	static std::string _OneLine(const char* text)
	{
		std::string line;
		for (; *text != '\0'; text++)
			line += *text == '\n' ? std::string("\\n") : std::string(1, *text);
		return line;
	}

	void _FillTexts()
	{
		static const char kNotes[] = "Kit gallery. Bold run, blue run, plain again.\n";
		BTextView* notes = fNotes->Text();
		notes->SetStylable(true);
		notes->SetText(kNotes);
		const char* bold = strstr(kNotes, "Bold run");
		const char* blue = strstr(kNotes, "blue run");
		notes->SetFontAndColor(bold - kNotes, bold - kNotes + 8, be_bold_font);
		notes->SetFontAndColor(blue - kNotes, blue - kNotes + 8, be_plain_font, B_FONT_ALL, &kBlue);
		notes->Select(notes->TextLength(), notes->TextLength());

		fAmount->Text()->SetText("1234.56");
	}

	Panel* fPanel;
	FramedText* fNotes;
	FramedText* fAmount;
};

class GalleryApp : public BApplication {
public:
	GalleryApp() : BApplication("application/x-vnd.kambolux-KitGallery") {}

	void ReadyToRun() override { (new GalleryWindow)->Show(); }
};

int
Screenshot(const char* path)
{
	BPrivate::HeadlessBackend* backend = BPrivate::HeadlessBackend::Install();
	GalleryApp app;
	GalleryWindow* window = new GalleryWindow;
	window->Show();
	BPrivate::EventLoop::Drain();
	bool written = backend->WritePNG(BPrivate::HeadlessBackend::IdOf(window), path);
	if (!written)
		fprintf(stderr, "kit_gallery: cannot write %s\n", path);
	window->Lock();
	window->Quit();
	BPrivate::EventLoop::Drain();
	return written ? 0 : 1;
}

} // namespace

int
main(int argc, char** argv)
{
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--report") == 0)
			gReport = true;
		else if (strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
			return Screenshot(argv[++i]);
		else {
			fprintf(stderr, "usage: %s [--report] [--screenshot file.png]\n", argv[0]);
			return 2;
		}
	}
	// Real windows or nothing: without a display the gallery has nothing to show.
	std::unique_ptr<BPrivate::Backend> backend = BPrivate::CreateX11Backend();
	if (!backend)
		return 1;
	BPrivate::SetBackend(std::move(backend));

	GalleryApp app;
	app.Run();
	return 0;
}
