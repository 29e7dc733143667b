// ExtCtrls: panels, shapes, images, paint boxes, bevels, timers, radio
// groups, splitters and scroll boxes.
//
// Every control here paints itself on its Canvas with the framework's rules:
//   - a panel draws its outer bevel (BevelOuter, BevelWidth lines), a band of
//     BorderWidth in its Color, its inner bevel (BevelInner), fills the rest
//     with Color and draws its caption centred on one line (Frame3D below);
//     a raised bevel is clBtnHighlight at the top and left, clBtnShadow at
//     the bottom and right, a lowered one the other way round;
//   - a shape outlines with its Pen and fills with its Brush, inset by half
//     the pen width;
//   - a bevel draws one-pixel lines in clBtnShadow and clBtnHighlight;
//   - a radio group draws the group box frame and a radio button for every
//     item (DrawFrameControl), in Columns columns.
//
// A control's non-client border (BorderStyle bsSingle of panels and scroll
// boxes) is painted as a 2-pixel sunken edge inside the control, and aligned
// children fit inside it; the window origin of children stays the control's
// top-left corner, so unaligned children placed at 0 cover the edge.
#pragma once

#include <QPointer>

#include <memory>

#include "Controls.h"
#include "DB.h"
#include "Menus.h"
#include "Pictures.h"
#include "StringList.h"

class QScrollBar;
class QTimer;

namespace ExtCtrlsTypes {
Q_NAMESPACE

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
Q_ENUM_NS(TShapeType)

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
Q_ENUM_NS(TBevelShape)

enum TBevelStyle { bsLowered, bsRaised };
Q_ENUM_NS(TBevelStyle)

// How a splitter shows a drag: not at all, with a line, by resizing at once,
// or with a dotted bar.
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
Q_ENUM_NS(TResizeStyle)

} // namespace ExtCtrlsTypes
using namespace ExtCtrlsTypes;

using TCanResizeEvent = TEvent<TObject*, int&, bool&>;
ZEN_EVENT_TYPE(TCanResizeEvent)

// Draws Width nested one-pixel frames inside Rect, TopColor on the left and
// top, BottomColor on the right and bottom (the top-right and bottom-left
// pixels take BottomColor), and shrinks Rect by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---------------------------------------------------------------- panels

class TCustomPanel : public TCustomControl {
    Q_OBJECT
public:
    explicit TCustomPanel(TComponent* AOwner = nullptr);
    ~TCustomPanel() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    // At least 1 (EInvalidOperation otherwise).
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    // 0 or more (EInvalidOperation otherwise).
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    // bsNone or bsSingle (a sunken 2-pixel edge); others raise EInvalidOperation.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // True: every resize repaints the whole panel; false: only what a resize
    // uncovers is painted.
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value);
    // Whether an embedded document server may replace the panel by a tool bar
    // of its own. No such servers run on this platform, so it is kept only.
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value) { FLocked = Value; }
    // True: the panel is not opaque and paints no background, its parent's
    // picture shows through (bevels and caption are still drawn). A class
    // that takes csOpaque away gets the same.
    bool ParentBackground() const { return FControlStyle.testFlag(csParentBackground); }
    void SetParentBackground(bool Value);

    // The client rectangle less border, bevels and border width: where
    // aligned children go.
    void AdjustClientRect(TRect& Rect) override;

protected:
    void Paint() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    // The bevel colours of a cut.
    static void BevelColors(TBevelCut Bevel, TColor& TopColor, TColor& BottomColor);

    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    bool FFullRepaint = true;
    bool FLocked = false;
};

class TPanel : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(ControlsTypes::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool FullRepaint READ FullRepaint WRITE SetFullRepaint)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool Locked READ Locked WRITE SetLocked)
    Q_PROPERTY(bool ParentBackground READ ParentBackground WRITE SetParentBackground)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TContextPopupEvent OnContextPopup MEMBER OnContextPopup)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
public:
    explicit TPanel(TComponent* AOwner = nullptr) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------- shapes

class TShape : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(TBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(ExtCtrlsTypes::TShapeType Shape READ Shape WRITE SetShape)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TShape(TComponent* AOwner = nullptr);
    ~TShape() override;

    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value);

protected:
    void Paint() override;

private:
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    TShapeType FShape = stRectangle;
};

// ---------------------------------------------------------------- images

class TImage : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool IncrementalDisplay READ IncrementalDisplay WRITE SetIncrementalDisplay)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPicture* Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TImage(TComponent* AOwner = nullptr);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    // True: the control takes the picture's size whenever the picture changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // Pictures are decoded whole before they show, so there is nothing to
    // display while loading; the value is kept.
    bool IncrementalDisplay() const { return FIncrementalDisplay; }
    void SetIncrementalDisplay(bool Value) { FIncrementalDisplay = Value; }
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    // Passed on to the picture's graphic (icons are always transparent).
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // The canvas of the picture's bitmap: an empty picture first gets a
    // bitmap of the control's size. EInvalidOperation "Can only modify an
    // image if it contains a bitmap" for another kind of graphic.
    TCanvas* Canvas();
    // Where the picture is drawn in the client area.
    TRect DestRect() const;

protected:
    void Paint() override;
    virtual void PictureChanged();

private:
    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
    bool FCenter = false;
    bool FIncrementalDisplay = false;
    bool FProportional = false;
    bool FStretch = false;
    bool FTransparent = false;
    bool FInPictureChanged = false;
};

// ---------------------------------------------------------------- paint boxes

// A rectangle the program paints in OnPaint, on Canvas (font and brush
// colour are the control's).
class TPaintBox : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnPaint MEMBER OnPaint)
public:
    explicit TPaintBox(TComponent* AOwner = nullptr);
    ~TPaintBox() override;

    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// ---------------------------------------------------------------- bevels

class TBevel : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(ExtCtrlsTypes::TBevelShape Shape READ Shape WRITE SetShape)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(ExtCtrlsTypes::TBevelStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
public:
    explicit TBevel(TComponent* AOwner = nullptr);
    ~TBevel() override;

    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// ---------------------------------------------------------------- timers

// Calls OnTimer every Interval milliseconds while Enabled and Interval > 0.
// A timer does not run while its form is being read (it starts in Loaded)
// nor while it is being designed.
class TTimer : public TNonVisualComponent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(TNotifyEvent OnTimer MEMBER OnTimer)
public:
    explicit TTimer(TComponent* AOwner = nullptr);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Milliseconds; EInvalidOperation for a negative value.
    int Interval() const { return FInterval; }
    void SetInterval(int Value);
    // Whether the timer is counting now.
    bool Running() const;

    void Loaded() override;

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    bool FEnabled = true;
    int FInterval = 1000;
    std::unique_ptr<QTimer> FTimer;
};

// ---------------------------------------------------------------- radio groups

// A group box of radio buttons, one for each line of Items, laid out from
// top to bottom in Columns columns. ItemIndex is the checked button (-1:
// none). OnClick fires whenever ItemIndex changes, by a click, the arrow keys
// or the program (not while the form is read).
class TCustomRadioGroup : public TCustomControl {
    Q_OBJECT
public:
    explicit TCustomRadioGroup(TComponent* AOwner = nullptr);
    ~TCustomRadioGroup() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    // Values outside -1 .. Items.Count - 1 are clamped into that range.
    void SetItemIndex(int Value);
    // 1 .. 16 (EInvalidOperation otherwise).
    int Columns() const { return FColumns; }
    void SetColumns(int Value);

    // The rectangle of button Index (client coordinates).
    TRect ButtonRect(int Index) const;
    // The button at a client point, or -1.
    int ButtonAt(TPoint P) const;

    void Loaded() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool WantsKey(Word Key, TShiftState Shift) override;
    // A button was chosen: ItemIndex moves there and OnClick fires.
    virtual void ButtonClick(int Index);

private:
    void ItemsChanged();
    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
    int FColumns = 1;
    int FPressed = -1;
};

class TRadioGroup : public TCustomRadioGroup {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
public:
    explicit TRadioGroup(TComponent* AOwner = nullptr) : TCustomRadioGroup(AOwner) {}
};

// ---------------------------------------------------------------- splitters

// A bar between aligned controls: dragging it resizes the control aligned to
// the same side just before it (the one it touches), keeping MinSize pixels
// for that control and for the rest of the parent. With AutoSnap a drag
// below MinSize collapses the control to 0. OnCanResize may change or refuse
// each new size; OnMoved follows a completed resize.
class TSplitter : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(bool AutoSnap READ AutoSnap WRITE SetAutoSnap)
    Q_PROPERTY(bool Beveled READ Beveled WRITE SetBeveled)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int MinSize READ MinSize WRITE SetMinSize)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(ExtCtrlsTypes::TResizeStyle ResizeStyle READ ResizeStyle WRITE SetResizeStyle)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TCanResizeEvent OnCanResize MEMBER OnCanResize)
    Q_PROPERTY(TNotifyEvent OnMoved MEMBER OnMoved)
public:
    explicit TSplitter(TComponent* AOwner = nullptr);
    ~TSplitter() override;

    // Sets the alignment and the sizing cursor that goes with it.
    void SetAlign(TAlign Value);
    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool Value);
    // At least 1 (EInvalidOperation otherwise).
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value);
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }

    // The control the splitter resizes, or null.
    TControl* FindControl() const;

    void Loaded() override;

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual bool CanResize(int& NewSize);
    void StopSizing();

private:
    void UpdateCursor();
    void CalcSplitSize(int X, int Y, int& NewSize, int& Split) const;
    bool DoCanResize(int& NewSize);
    void UpdateControlSize();
    void ShowLine(bool Show);

    bool FAutoSnap = true;
    bool FBeveled = false;
    int FMinSize = 30;
    TResizeStyle FResizeStyle = rsPattern;
    QPointer<TControl> FControl;
    TPoint FDownPos;
    int FMaxSize = 0;
    int FNewSize = 0;
    int FOldSize = -1;
    int FSplit = 0;
    QPointer<QWidget> FLine;
};

// ---------------------------------------------------------------- scroll boxes

class TScrollBox;

// A scroll bar of a scroll box: Range is the size of what there is to see
// (computed from the children while the box has AutoScroll), Position how
// far it is scrolled. The bar shows while Visible and Range exceeds the
// box's client size.
class TControlScrollBar : public TPersistentObject {
    Q_OBJECT
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Range READ Range WRITE SetRange)
    Q_PROPERTY(bool Tracking READ Tracking WRITE SetTracking)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
public:
    TControlScrollBar(TScrollBox* Control, bool Horizontal);
    ~TControlScrollBar() override;

    bool Horizontal() const { return FHorizontal; }
    // Pixels a click on an arrow scrolls (1 .. 32767).
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    // Space kept after the farthest child when the range is computed.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // Clamped to 0 .. Range - client size.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Range() const { return FRange; }
    // Negative ranges raise EInvalidOperation.
    void SetRange(int Value);
    // True: the contents follow the thumb while it is dragged; false: they
    // move when the thumb is released.
    bool Tracking() const { return FTracking; }
    void SetTracking(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Whether the bar shows now.
    bool IsScrollBarVisible() const;
    // The largest position.
    int MaxPosition() const;

    bool IsPropertyStored(const char* Name) const override;
    TPersistent* GetOwner() override;
    void Assign(TPersistent* Source) override;

private:
    friend class TScrollBox;
    TScrollBox* FControl;
    bool FHorizontal;
    int FIncrement = 8;
    int FMargin = 0;
    int FPosition = 0;
    int FRange = 0;
    bool FTracking = false;
    bool FVisible = true;
    QPointer<QScrollBar> FBar;
};

// A container whose children can lie beyond its client area: scroll bars
// appear when they do, and scrolling moves the children.
class TScrollBox : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoScroll READ AutoScroll WRITE SetAutoScroll)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(TControlScrollBar* HorzScrollBar READ HorzScrollBar WRITE SetHorzScrollBar)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(TControlScrollBar* VertScrollBar READ VertScrollBar WRITE SetVertScrollBar)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
    Q_PROPERTY(TNotifyEvent OnResize MEMBER OnResize)
public:
    explicit TScrollBox(TComponent* AOwner = nullptr);
    ~TScrollBox() override;

    // True: the ranges follow the children.
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    // bsNone or bsSingle; others raise EInvalidOperation.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    void SetHorzScrollBar(TControlScrollBar* Value) { FHorzScrollBar->Assign(Value); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    void SetVertScrollBar(TControlScrollBar* Value) { FVertScrollBar->Assign(Value); }

    // Moves every child by (DeltaX, DeltaY).
    void ScrollBy(int DeltaX, int DeltaY);
    // Scrolls so that the child is inside the client area.
    void ScrollInView(TControl* AControl);

    // Without border and shown scroll bars.
    TRect ClientRect() const override;
    void AdjustClientRect(TRect& Rect) override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    // Recomputes the ranges (AutoScroll) and shows, hides and places the bars.
    void UpdateScrollBars();

protected:
    void Paint() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    friend class TControlScrollBar;
    int BorderSize() const { return FBorderStyle == bsSingle ? 2 : 0; }
    void CalcAutoRange();
    void PositionChanged(TControlScrollBar* Bar, int OldPosition);
    void PlaceBars();

    bool FAutoScroll = true;
    TBorderStyle FBorderStyle = bsSingle;
    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
    bool FUpdatingBars = false;
    bool FScrolling = false;
};

void RegisterExtCtrlsClasses();
