// BView: a rectangle of a window that draws itself and handles input. Views form a tree;
// a parent owns and deletes its children. Drawing calls go to the window's backing store
// (clipped to the view) or, between BeginPicture and EndPicture, into a picture.
#pragma once

#include <memory>
#include <vector>

#include "AccessibleDefs.h"
#include "Font.h"
#include "GraphicsDefs.h"
#include "Handler.h"
#include "InterfaceDefs.h"
#include "Rect.h"

class BBitmap;
class BMessage;
class BPicture;
class BView;
class BWindow;

namespace BPrivate {
class Painter;
struct ViewAccessible;
// The view's accessibility data; made on demand only with create.
ViewAccessible* AccessibleData(BView* view, bool create);
} // namespace BPrivate

enum {
	B_ENTERED_VIEW = 0,
	B_INSIDE_VIEW,
	B_EXITED_VIEW,
	B_OUTSIDE_VIEW,
};

constexpr BPoint B_ORIGIN(0, 0);

class BView : public BHandler {
public:
	BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	~BView() override;

	// Tree.
	void AddChild(BView* child, BView* before = nullptr);
	bool RemoveChild(BView* child);
	bool RemoveSelf();
	int32 CountChildren() const { return (int32)fChildren.size(); }
	BView* ChildAt(int32 index) const;
	BView* Parent() const;
	BWindow* Window() const { return fWindow; }
	BView* FindView(const char* name) const;

	// Geometry, in the parent's coordinates (Frame) or the view's own (Bounds).
	BRect Frame() const { return fFrame; }
	BRect Bounds() const;
	void MoveTo(BPoint where);
	void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
	void MoveBy(float dx, float dy);
	void ResizeTo(float width, float height);
	uint32 Flags() const { return fFlags; }
	bool IsHidden() const { return fHidden; }
	void Hide();
	void Show();

	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertToScreen(BRect* rect) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	BPoint ConvertFromParent(BPoint point) const;
	// To and from the window's content coordinates.
	BPoint ConvertToWindow(BPoint point) const;
	BRect ConvertToWindow(BRect rect) const;
	BPoint ConvertFromWindow(BPoint point) const;

	// Hooks.
	virtual void AttachedToWindow();
	virtual void AllAttached();
	virtual void DetachedFromWindow();
	virtual void AllDetached();
	virtual void Draw(BRect updateRect);
	virtual void DrawAfterChildren(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void Pulse();
	virtual void MakeFocus(bool focus = true);
	virtual void WindowActivated(bool active);
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	void MessageReceived(BMessage* message) override;

	bool IsFocus() const;
	// The buttons held for the event being handled (or now) and the pointer in view coords.
	void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);
	// Keeps mouse-moved and mouse-up events coming to this view while the button is held.
	void SetMouseEventMask(uint32 mask);

	void Invalidate();
	void Invalidate(BRect rect);

	// Colours and state.
	void SetViewColor(rgb_color color);
	void SetViewColor(uint8 r, uint8 g, uint8 b, uint8 a = 255)
	{
		SetViewColor(make_color(r, g, b, a));
	}
	rgb_color ViewColor() const { return fViewColor; }
	void SetHighColor(rgb_color color) { fState.high = color; }
	void SetHighColor(uint8 r, uint8 g, uint8 b, uint8 a = 255)
	{
		fState.high = make_color(r, g, b, a);
	}
	rgb_color HighColor() const { return fState.high; }
	void SetLowColor(rgb_color color) { fState.low = color; }
	void SetLowColor(uint8 r, uint8 g, uint8 b, uint8 a = 255)
	{
		fState.low = make_color(r, g, b, a);
	}
	rgb_color LowColor() const { return fState.low; }
	void SetPenSize(float size) { fState.penSize = size; }
	float PenSize() const { return fState.penSize; }
	void MovePenTo(BPoint point) { fState.pen = point; }
	void MovePenTo(float x, float y) { fState.pen = BPoint(x, y); }
	BPoint PenLocation() const { return fState.pen; }
	void SetDrawingMode(drawing_mode mode) { fState.mode = mode; }
	drawing_mode DrawingMode() const { return fState.mode; }
	void PushState();
	void PopState();

	void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	void GetFont(BFont* font) const { *font = fState.font; }
	void SetFontSize(float size) { fState.font.SetSize(size); }
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetFontHeight(font_height* height) const;

	// Drawing. Rectangles include both edges; a line lights the pixels of both ends.
	void FillRect(BRect rect, const pattern& p = B_SOLID_HIGH);
	void StrokeRect(BRect rect, const pattern& p = B_SOLID_HIGH);
	void InvertRect(BRect rect);
	void FillEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
	void StrokeEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
	void FillRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p = B_SOLID_HIGH);
	void StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p = B_SOLID_HIGH);
	void FillTriangle(BPoint a, BPoint b, BPoint c, const pattern& p = B_SOLID_HIGH);
	void StrokeLine(BPoint to, const pattern& p = B_SOLID_HIGH);
	void StrokeLine(BPoint from, BPoint to, const pattern& p = B_SOLID_HIGH);
	void DrawBitmap(const BBitmap* bitmap);
	void DrawBitmap(const BBitmap* bitmap, BPoint where);
	void DrawBitmap(const BBitmap* bitmap, BRect destination);
	void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);
	// Draws at the pen position and moves the pen by the string's width.
	void DrawString(const char* string, const struct escapement_delta* = nullptr);
	void DrawString(const char* string, BPoint baseline, const struct escapement_delta* = nullptr);
	void DrawString(const char* string, int32 length, BPoint baseline,
		const struct escapement_delta* = nullptr);

	void BeginPicture(BPicture* picture);
	BPicture* EndPicture();
	void DrawPicture(const BPicture* picture, BPoint where = B_ORIGIN);

	// Presents what was drawn outside Draw at once.
	void Flush() const;

	// Accessibility: what a screen reader says about the view. Name and description are the
	// program's (a control's label stands in for a name it did not set); the hooks say what
	// the widget is. Actions and part actions run from the event loop, never inside the
	// screen reader's call.
	void SetAccessibleName(const char* name);
	virtual std::string AccessibleName() const;
	void SetAccessibleDescription(const char* description);
	std::string AccessibleDescription() const;
	// A live view's changes are announced even while it has no focus (a result line).
	void SetAccessibleLive(bool live);
	virtual accessible_role AccessibleRole() const;
	// The view's own state bits; the kit adds focus, visibility and activation.
	virtual uint64 AccessibleStates() const;
	virtual int32 CountAccessibleActions() const;
	// The AT-SPI name ("press") and a German description of the action.
	virtual const char* AccessibleActionName(int32 index) const;
	virtual const char* AccessibleActionDescription(int32 index) const;
	virtual void DoAccessibleAction(int32 index);
	// Areas the view draws that work like buttons (children after the child views).
	virtual int32 CountAccessibleParts() const;
	virtual bool GetAccessiblePart(int32 index, accessible_part* part) const;
	virtual void DoAccessiblePartAction(int32 index);
	// Call when a part's name or states changed, or parts came or went.
	void AccessiblePartsChanged();

	// Kit internal.
	struct State {
		rgb_color high = {0, 0, 0, 255};
		rgb_color low = {255, 255, 255, 255};
		float penSize = 1.0f;
		BPoint pen = B_ORIGIN;
		drawing_mode mode = B_OP_COPY;
		BFont font;
	};
	void _SetWindow(BWindow* window);
	void _DrawTree(BPrivate::Painter& painter, BRect updateInWindow);
	BView* _ViewAt(BPoint pointInView);
	// The part of the view that is visible in its window, in window coordinates.
	BRect _VisibleInWindow() const;
	BView* _RawParent() const { return fParent; }
	void _MarkTopView() { fIsTopView = true; }

private:
	void _Attach(BWindow* window);
	void _CallAttached(BWindow* window);
	void _CallAllAttached();
	void _Detach();
	void _CallDetached();
	void _CallAllDetached();
	void _ForgetWindow();
	void _DetachTopView();
	// While a picture is being recorded, appends the call to it instead of drawing.
	template <typename F>
	bool _Recorded(F&& replay);
	template <typename F>
	void _Draw(F&& f);

	BRect fFrame;
	uint32 fResizingMode;
	uint32 fFlags;
	bool fHidden = false;
	bool fIsTopView = false;
	BView* fParent = nullptr;
	BWindow* fWindow = nullptr;
	std::vector<BView*> fChildren;
	rgb_color fViewColor;
	State fState;
	std::vector<State> fStateStack;
	BPicture* fRecording = nullptr;
	BPrivate::Painter* fPainter = nullptr;
	BPrivate::ViewAccessible* fAccessible = nullptr; // made when a name is set or a node asked for

	friend BPrivate::ViewAccessible* BPrivate::AccessibleData(BView* view, bool create);
};
