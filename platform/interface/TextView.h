// BTextView: editable, selectable, optionally styled text on one line or many. Every change
// of the text, typed, pasted or set, passes through the virtual InsertText and DeleteText, so
// subclasses can filter and observe it. Word wrap off keeps each paragraph on one line and
// scrolls it sideways to keep the caret in the text rectangle. Keeps one undo step (typing
// in a row is one step; undoing again redoes) and takes part in the X primary selection.
// Not provided: drag and drop, input methods, vertical scrolling.
#pragma once

#include <string>
#include <vector>

#include "Font.h"
#include "View.h"

namespace BPrivate {
class TextAccess;
class TextViewAccess;
} // namespace BPrivate

struct text_run {
	int32 offset;
	BFont font;
	rgb_color color;
};

struct text_run_array {
	int32 count;
	text_run runs[1];
};

class BTextView : public BView {
public:
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
		const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
	~BTextView() override;

	// Text. SetText removes the old text through DeleteText and inserts the new through
	// InsertText; Insert and Delete work on the selection or the given range.
	void SetText(const char* text, const text_run_array* runs = nullptr);
	void SetText(const char* text, int32 length, const text_run_array* runs = nullptr);
	void Insert(const char* text, const text_run_array* runs = nullptr);
	void Insert(const char* text, int32 length, const text_run_array* runs = nullptr);
	void Insert(int32 offset, const char* text, int32 length, const text_run_array* runs = nullptr);
	void Delete();
	void Delete(int32 startOffset, int32 endOffset);
	const char* Text() const { return fText.c_str(); }
	int32 TextLength() const { return (int32)fText.size(); }

	// Selection; offsets are pinned to 0..TextLength().
	void Select(int32 startOffset, int32 endOffset);
	void SelectAll();
	void GetSelection(int32* outStart, int32* outEnd) const;
	// Inverts the display of start..end-1; the same call again restores it.
	void Highlight(int32 startOffset, int32 endOffset);

	// Styles.
	void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL,
		const rgb_color* color = nullptr);
	void SetFontAndColor(int32 startOffset, int32 endOffset, const BFont* font,
		uint32 mode = B_FONT_ALL, const rgb_color* color = nullptr);
	// The font and colour at the selection (at its start).
	void GetFontAndColor(BFont* font, uint32* sameProperties, rgb_color* color = nullptr,
		bool* sameColor = nullptr) const;
	void GetFontAndColor(int32 offset, BFont* font, rgb_color* color = nullptr) const;
	void SetRunArray(int32 startOffset, int32 endOffset, const text_run_array* runs);
	static text_run_array* AllocRunArray(int32 entryCount);
	static void FreeRunArray(text_run_array* array);
	void SetStylable(bool stylable) { fStylable = stylable; }

	void SetAlignment(alignment flag);
	alignment Alignment() const { return fAlignment; }
	void SetWordWrap(bool wrap);
	bool DoesWordWrap() const { return fWordWrap; }
	// Limits what typing and pasting may add; SetText and Insert are not limited.
	void SetMaxBytes(int32 max) { fMaxBytes = max; }
	int32 MaxBytes() const { return fMaxBytes; }
	void MakeEditable(bool editable = true);
	bool IsEditable() const { return fEditable; }
	void MakeSelectable(bool selectable = true);
	bool IsSelectable() const { return fSelectable; }
	void SetTextRect(BRect rect);
	BRect TextRect() const { return fTextRect; }
	// Without word wrap, a line wider than the text rectangle is drawn in smaller type, a
	// pixel at a time down to minimumSize; what still does not fit is cut at whole
	// characters behind a mark ("\u2026") on each side where the text goes on, and the text
	// stays against its alignment edge while no caret shows. Text that fits is drawn as
	// without it. 0, the default, lets a long line scroll unmarked.
	void SetFitToWidth(float minimumSize);

	int32 OffsetAt(BPoint point) const;
	BPoint PointAt(int32 offset, float* outHeight = nullptr) const;
	int32 CountLines() const;
	float LineHeight(int32 line = 0) const;

	void Cut();
	void Copy();
	void Paste();
	// Takes back the user's last edit (typing in a row counts as one) through DeleteText and
	// InsertText; the next call redoes it. Nothing when the program changed the text since.
	void Undo();
	bool CanUndo() const;

	// Hooks and overrides.
	void Draw(BRect updateRect) override;
	void MouseDown(BPoint where) override;
	void MouseUp(BPoint where) override;
	void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void Pulse() override;
	void MakeFocus(bool focus = true) override;
	void WindowActivated(bool active) override;
	void AttachedToWindow() override;
	void MessageReceived(BMessage* message) override;

	// Accessibility: text that can be edited, or only read (and maybe selected). Links are
	// web addresses inside the text, in byte offsets; the kit serves them as hyperlinks.
	accessible_role AccessibleRole() const override;
	// Text that can be neither edited nor selected and has no links (an alert's message) is a
	// label, named by its text unless the program names it.
	std::string AccessibleName() const override;
	uint64 AccessibleStates() const override;
	virtual int32 CountAccessibleLinks() const;
	virtual bool GetAccessibleLink(int32 index, int32* outStart, int32* outEnd,
		std::string* outAddress) const;
	virtual void ActivateAccessibleLink(int32 index);

protected:
	virtual void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs);
	virtual void DeleteText(int32 fromOffset, int32 toOffset);
	// True while InsertText takes in text the user typed or pasted: the base InsertText
	// then cuts whatever an override hands it to the room MaxBytes leaves, so that a
	// filtering override is limited by what it lets in. False for SetText and Insert.
	bool InsertsTypedText() const { return fTypedRoom >= 0; }

private:
	// Edits on behalf of a screen reader take the user's path (filter, limit, undo).
	friend class BPrivate::TextAccess;
	friend class BPrivate::TextViewAccess;

	struct StyleRun {
		int32 offset;
		BFont font;
		rgb_color color;
	};
	// One displayed line: bytes start..end-1, without the line break that may follow.
	struct Line {
		int32 start;
		int32 end;
		float top;
		float height;
		float ascent;
		float width;
	};

	void _Init(const BFont* font, const rgb_color* color);
	bool _ShowsCaret() const;
	bool _CaretVisible() const { return fCaretOn && fSelStart == fSelEnd && _ShowsCaret(); }
	bool _ShowsSelection() const;
	void _ReplaceSelection(const char* text, int32 length, bool typing = false);
	void _DeleteByUser(int32 start, int32 end);
	void _RecordEdit(int32 offset, const std::string& removed, int32 inserted, bool typing);
	void _OfferPrimary() const;
	void _PastePrimary(BMessage* message);
	void _SetSelection(int32 anchor, int32 caret);
	void _MoveCaret(int32 offset, bool extend);
	int32 _CaretOffset() const;
	void _HandleNavigation(char key, bool extend);
	void _SelectUnitAt(int32 offset, int32 clicks, int32* outStart, int32* outEnd) const;
	int32 _CharStart(int32 offset) const;
	int32 _CharEnd(int32 offset) const;
	int32 _PreviousCharOffset(int32 offset) const;
	int32 _NextCharOffset(int32 offset) const;
	bool _IsMultiLine() const;

	size_t _RunIndexAt(int32 offset) const;
	const StyleRun& _RunAt(int32 offset) const { return fRuns[_RunIndexAt(offset)]; }
	void _SplitRunAt(int32 offset);
	void _SetStyle(int32 start, int32 end, const BFont* font, uint32 mode, const rgb_color* color);
	void _NormalizeRuns();

	void _InvalidateLayout() { fLayoutValid = false; }
	void _Layout() const;
	void _MeasureAdvances() const;
	void _BreakLines() const;
	bool _FitsWidth() const;
	BFont _DrawnFont(const StyleRun& run) const;
	float _MarkWidth(int32 offset) const;
	void _VisibleColumns(const Line& line, float* outLeft, float* outRight, bool* outLeftMark,
		bool* outRightMark) const;
	bool _IsFitting() const { return fFitMinimum > 0 && !fWordWrap; }
	void _DrawCutMarks(const Line& line, float baseline);
	void _BreakParagraph(int32 start, int32 end) const;
	void _AddLine(int32 start, int32 end, bool softBreak) const;
	int32 _LineIndexAt(int32 offset) const;
	float _LineLeft(const Line& line) const;
	float _XAt(const Line& line, int32 offset) const;
	BRect _CaretRect() const;
	void _InvertRange(int32 start, int32 end);
	void _DrawLine(const Line& line, float left, float right);
	void _ScrollToCaret();
	void _ResetCaretBlink();

	// The user's last edit: at offset, removed was replaced by inserted. Valid while the
	// text is still as that edit left it (fEdits counts every change of the text).
	struct UndoStep {
		int32 offset = 0;
		std::string removed;
		std::string inserted;
		bool typing = false;
		uint64 edits = 0;
	};

	std::string fText;
	uint64 fEdits = 0;
	UndoStep fUndo;
	bool fHasUndo = false;
	int32 fPrimaryOffset = -1;   // where a middle click asked for the primary selection
	std::vector<StyleRun> fRuns; // sorted by offset, the first at 0; never empty
	std::vector<std::pair<int32, int32>> fHighlights;
	BRect fTextRect;
	int32 fSelStart = 0;
	int32 fSelEnd = 0;
	int32 fAnchor = 0; // the end of the selection that shift-moves keep in place
	int32 fMaxBytes = INT32_MAX;
	int32 fTypedRoom = -1; // while typed text is inserted: the bytes it may still add
	alignment fAlignment = B_ALIGN_LEFT;
	bool fWordWrap = true;
	bool fEditable = true;
	bool fSelectable = true;
	bool fStylable = false;
	bool fCaretOn = false;
	bool fCaretHold = false; // skip one pulse after an edit so the caret stays on a while
	bool fTracking = false;
	int32 fTrackClicks = 1;
	int32 fTrackStart = 0; // the word or line a multi-click drag started on
	int32 fTrackEnd = 0;
	float fScrollX = 0;    // horizontal scroll of a view without word wrap
	float fFitMinimum = 0; // smallest font size a fitted line may shrink to; 0: no fitting
	bigtime_t fLastClickTime = 0;
	int32 fLastClickOffset = -1;
	int32 fLastClickCount = 0;

	// Layout cache, rebuilt on demand after text, style or geometry changes.
	mutable std::vector<Line> fLines;
	mutable std::vector<float> fAdvances; // per byte: the advance of the character it starts
	mutable bool fLayoutValid = false;
	mutable float fFitShrink = 0; // pixels the fitted text is drawn smaller than its styles
};
