// Controls: the base classes of everything that shows on screen.
//
// A control is a QWidget and a TComponent at once. TControl carries the
// framework's properties (bounds, Align, Anchors, Visible, Enabled, Color and
// ParentColor, Font and ParentFont, Caption/Text, Hint and ShowHint, Cursor),
// turns Qt's events into the framework's messages and handlers, and carries
// the notifications controls send each other (Perform, Broadcast):
//
//   Qt event                      message                 handler
//   mouse press / double click    WM_xBUTTONDOWN/DBLCLK   MouseDown, DblClick
//   mouse release                 WM_xBUTTONUP            MouseUp, Click
//   mouse move                    WM_MOUSEMOVE            MouseMove
//   enter / leave                 CM_MOUSEENTER/LEAVE     (OnMouseEnter/Leave where published)
//   key press                     WM_KEYDOWN, WM_CHAR     KeyDown, KeyPress; CM_DIALOGKEY/CHAR
//   key release                   WM_KEYUP                KeyUp
//   focus in / out                CM_ENTER / CM_EXIT      DoEnter, DoExit
//   paint                         WM_PAINT                Paint (on Canvas, off-screen)
//   resize / move                 WM_SIZE / WM_MOVE       Resize, realigning children
//   timer                         WM_TIMER                (WndProc)
//
// Every message goes through the virtual WndProc, so a control handles a
// message by overriding WndProc, switching on Msg and passing the rest on.
//
// TWinControl is a windowed control: it can take the focus, holds child
// controls, aligns them, and paints its background with Color. TGraphicControl
// is window-less in the framework's sense: it never takes the focus, paints no
// background of its own (its parent shows through where it does not draw) and
// stays below its windowed siblings. TCustomControl is a windowed control with
// a Canvas and Paint. Painting goes into an off-screen image that is copied to
// the screen in one transfer.
//
// In C++ every property accessor is public; a class publishes a property (to
// form files and reflection) by declaring it with Q_PROPERTY.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

#include "Canvas.h"
#include "Classes.h"
#include "Colors.h"
#include "Graphics.h"
#include "Types.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;

namespace ControlsTypes {
Q_NAMESPACE

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
Q_ENUM_NS(TAlign)

enum TAnchorKind { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
Q_DECLARE_FLAGS(TAnchors, TAnchorKind)
Q_FLAG_NS(TAnchors)

enum TMouseButton { mbLeft, mbRight, mbMiddle };
Q_ENUM_NS(TMouseButton)

enum TShiftStateFlag { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_FLAG_NS(TShiftState)

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)

// Window borders: controls use bsNone and bsSingle, forms all of them.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
Q_ENUM_NS(TFormBorderStyle)

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
Q_ENUM_NS(TScrollStyle)

// Reading order and alignment of a control's text.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
Q_ENUM_NS(TBiDiMode)
} // namespace ControlsTypes
using namespace ControlsTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlsTypes::TAnchors)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlsTypes::TShiftState)

using TBorderStyle = TFormBorderStyle;

// ---------------------------------------------------------------- styles and state

enum TControlStyleFlag : unsigned {
    csAcceptsControls = 0x1,
    csCaptureMouse = 0x2,
    csDesignInteractive = 0x4,
    csClickEvents = 0x8,
    csFramed = 0x10,
    csSetCaption = 0x20,
    csOpaque = 0x40,
    csDoubleClicks = 0x80,
    csFixedWidth = 0x100,
    csFixedHeight = 0x200,
    csNoDesignVisible = 0x400,
    csReplicatable = 0x800,
    csNoStdEvents = 0x1000,
    csDisplayDragImage = 0x2000,
    csReflector = 0x4000,
    csActionClient = 0x8000,
    csMenuEvents = 0x10000,
    csParentBackground = 0x20000,
};
Q_DECLARE_FLAGS(TControlStyle, TControlStyleFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TControlStyle)

enum TControlStateFlag : unsigned {
    csLButtonDown = 0x1,
    csClicked = 0x2,
    csPalette = 0x4,
    csReadingState = 0x8,
    csAlignmentNeeded = 0x10,
    csFocusing = 0x20,
    csCreating = 0x40,
    csPaintCopy = 0x80,
    csCustomPaint = 0x100,
    csDestroyingHandle = 0x200,
};
Q_DECLARE_FLAGS(TControlState, TControlStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TControlState)

// ---------------------------------------------------------------- cursors

enum TCursor : int {};
constexpr TCursor crDefault = TCursor(0);
constexpr TCursor crNone = TCursor(-1);
constexpr TCursor crArrow = TCursor(-2);
constexpr TCursor crCross = TCursor(-3);
constexpr TCursor crIBeam = TCursor(-4);
constexpr TCursor crSizeNESW = TCursor(-6);
constexpr TCursor crSizeNS = TCursor(-7);
constexpr TCursor crSizeNWSE = TCursor(-8);
constexpr TCursor crSizeWE = TCursor(-9);
constexpr TCursor crUpArrow = TCursor(-10);
constexpr TCursor crHourGlass = TCursor(-11);
constexpr TCursor crDrag = TCursor(-12);
constexpr TCursor crNoDrop = TCursor(-13);
constexpr TCursor crHSplit = TCursor(-14);
constexpr TCursor crVSplit = TCursor(-15);
constexpr TCursor crMultiDrag = TCursor(-16);
constexpr TCursor crSQLWait = TCursor(-17);
constexpr TCursor crNo = TCursor(-18);
constexpr TCursor crAppStart = TCursor(-19);
constexpr TCursor crHelp = TCursor(-20);
constexpr TCursor crHandPoint = TCursor(-21);
constexpr TCursor crSizeAll = TCursor(-22);
// The Qt cursor shape of a cursor value.
Qt::CursorShape CursorToQt(TCursor Cursor);
bool CursorToIdent(int64_t Cursor, String& Ident);
bool IdentToCursor(const String& Ident, int64_t& Cursor);

// ---------------------------------------------------------------- messages

struct TMessage {
    unsigned Msg = 0;
    intptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

// Window messages (the platform's numbers).
enum : unsigned {
    WM_NULL = 0x0000,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETTEXT = 0x000C,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_ERASEBKGND = 0x0014,
    WM_SHOWWINDOW = 0x0018,
    WM_CANCELMODE = 0x001F,
    WM_SETCURSOR = 0x0020,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_TIMER = 0x0113,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,
    WM_CAPTURECHANGED = 0x0215,
    WM_USER = 0x0400,
};

// Notifications between controls.
enum : unsigned {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_DIALOGKEY = CM_BASE + 5,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_CTL3DCHANGED = CM_BASE + 2,
    CM_PARENTCTL3DCHANGED = CM_BASE + 3,
    CM_FOCUSCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_BUTTONPRESSED = CM_BASE + 24,
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_DESIGNHITTEST = CM_BASE + 28,
    CM_SHOWHINTCHANGED = CM_BASE + 31,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 32,
    CM_SYSCOLORCHANGE = CM_BASE + 33,
    CM_FONTCHANGE = CM_BASE + 35,
    CM_TABSTOPCHANGED = CM_BASE + 36,
    CM_CONTROLLISTCHANGE = CM_BASE + 40,
    CM_GETDATALINK = CM_BASE + 41,
    CM_CHILDKEY = CM_BASE + 42,
    CM_HINTSHOW = CM_BASE + 44,
    CM_RECREATEWND = CM_BASE + 48,
    CM_CONTROLCHANGE = CM_BASE + 54,
    CM_WANTSPECIALKEY = CM_BASE + 57,
    CM_BIDIMODECHANGED = CM_BASE + 60,
    CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
    CM_MOUSEWHEEL = CM_BASE + 67,
};

// A message number of its own for a name, the same for every caller that
// registers the same name (case-insensitive), from $C000 up.
unsigned RegisterWindowMessage(const String& Name);

// Virtual key codes.
enum : uint16_t {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F10 = 0x79,
    VK_F12 = 0x7B,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    // Punctuation keys of the main keyboard, by their place on a US keyboard.
    VK_OEM_1 = 0xBA,      // ;:
    VK_OEM_PLUS = 0xBB,   // =+
    VK_OEM_COMMA = 0xBC,  // ,<
    VK_OEM_MINUS = 0xBD,  // -_
    VK_OEM_PERIOD = 0xBE, // .>
    VK_OEM_2 = 0xBF,      // /?
    VK_OEM_3 = 0xC0,      // `~
    VK_OEM_4 = 0xDB,      // [{
    VK_OEM_5 = 0xDC,      // \|
    VK_OEM_6 = 0xDD,      // ]}
    VK_OEM_7 = 0xDE,      // '"
};
using Word = uint16_t;

// The virtual key of a Qt key (0 when there is none) and back. With the
// keypad modifier, digits, the decimal point and the operators are the
// keypad's keys (VK_NUMPAD0 .., VK_DECIMAL, VK_ADD, ...); without it the
// punctuation keys are those of the main keyboard (VK_OEM_MINUS, ...).
Word QtKeyToVirtualKey(int QtKey, Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
int VirtualKeyToQtKey(Word Key);
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons = Qt::NoButton);
// The shift state from the keyboard and mouse now.
TShiftState KeyboardShiftState();
// Whether a key is down now (the shift keys and mouse buttons are known).
bool GetKeyDown(Word Key);
// The state of a toggle key (caps, num and scroll lock, and insert for the
// overwrite mode) as the application last saw it.
bool GetKeyToggled(Word Key);

// Packs a point into an LParam as the platform does (low word X, high word Y).
constexpr intptr_t PointToLParam(int X, int Y)
{
    return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(X)) |
                                 (static_cast<uint32_t>(static_cast<uint16_t>(Y)) << 16));
}
constexpr TPoint LParamToPoint(intptr_t L)
{
    return TPoint(static_cast<int16_t>(L & 0xFFFF), static_cast<int16_t>((L >> 16) & 0xFFFF));
}

// ---------------------------------------------------------------- events

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
ZEN_EVENT_TYPE(TMouseEvent)
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
ZEN_EVENT_TYPE(TMouseMoveEvent)
using TKeyEvent = TEvent<TObject*, Word&, TShiftState>;
ZEN_EVENT_TYPE(TKeyEvent)
using TKeyPressEvent = TEvent<TObject*, char&>;
ZEN_EVENT_TYPE(TKeyPressEvent)
using TMouseWheelEvent = TEvent<TObject*, TShiftState, int, TPoint, bool&>;
ZEN_EVENT_TYPE(TMouseWheelEvent)
using TContextPopupEvent = TEvent<TObject*, TPoint, bool&>;
ZEN_EVENT_TYPE(TContextPopupEvent)

// ---------------------------------------------------------------- TControl

class TControl : public QWidget, public TComponent {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
public:
    explicit TControl(TComponent* AOwner = nullptr);
    ~TControl() override;

    // ---- parent and bounds
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual TRect ClientRect() const { return TRect(0, 0, FWidth, FHeight); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    virtual void SetClientWidth(int Value);
    virtual void SetClientHeight(int Value);
    TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    // The anchors an alignment gives (the sides it sticks to).
    static TAnchors DefaultAnchors(TAlign Align);

    // ---- look
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to the form visible and shown.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    // Caption and Text are the same string.
    String Caption() const { return GetText(); }
    void SetCaption(const String& Value) { SetText(Value); }
    String Text() const { return GetText(); }
    void SetText(const String& Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    // The three-dimensional look of borders (true) or flat window-frame lines.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value);
    // Right-to-left reading and alignment; ParentBiDiMode follows the parent.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* Value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // ---- painting
    virtual void Invalidate();
    // Paints what is invalid now.
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    // ---- messages
    intptr_t Perform(unsigned Msg, intptr_t WParam = 0, intptr_t LParam = 0);
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    // Whether the point (client coordinates) hits the control.
    virtual bool HitTest(TPoint P);

    // ---- mouse capture
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // ---- events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;

    // ---- stored-form hierarchy
    bool HasParent() const override { return true; }
    // Colour, font and hint state taken from the parent are not stored.
    bool IsPropertyStored(const char* Name) const override;
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void Loaded() override;

    // The form the control is on, or null.
    TCustomForm* GetParentForm() const;

    // Which control of a parent's children is hit at a client point.
    virtual void Click();
    virtual void DblClick();

protected:
    virtual String GetText() const { return FText; }
    // Stores the text; the default keeps it in the control.
    virtual void SetTextBuf(const String& Value) { FText = Value; }
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void Resize();
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // The framework's change notifications reach these through WndProc.
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void TextChanged();
    virtual void EnabledChanged();
    virtual void VisibleChanged();
    // Paints the control's picture on the off-screen image (see Paint in
    // TGraphicControl and TCustomControl). The default paints nothing.
    virtual void PaintControl(QImage& Image);
    // True when the off-screen image starts transparent, so the parent shows
    // where the control does not draw.
    virtual bool PaintsTransparent() const;
    // Copies what the parent shows under this control into the image.
    void PaintParentBackground(QImage& Image);
    // Applies the font to the Qt widget (wrapped Qt widgets use it).
    virtual void ApplyQtFont();
    // Adjusts the control to a change of its bounds before children realign.
    virtual void BoundsChanged(int OldWidth, int OldHeight);

    // Qt events.
    bool event(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void timerEvent(QTimerEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;

public:
    // Per-control timers by identifier: starting an identifier again
    // replaces its timer. Each tick arrives as WM_TIMER with WParam = Id.
    void SetTimer(int Id, int Interval);
    void KillTimer(int Id);
    bool TimerActive(int Id) const { return FTimers.count(Id) != 0; }

protected:
    friend class TWinControl;
    void DoMouseButton(QMouseEvent* Event, bool Down, bool Double);
    void SendParentChanged(unsigned Msg);

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors = TAnchors(akLeft) | akTop;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    String FText;
    String FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TCursor FCursor = crDefault;
    QPointer<QObject> FPopupMenu;
    TControlStyle FControlStyle = TControlStyle(csCaptureMouse) | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState FControlState;
    std::map<int, int> FTimers; // identifier -> Qt timer id
    QImage FPaintImage;
    bool FMouseInControl = false;
    // Anchors keep the distances to the parent's edges as it was sized.
    int FAnchorParentWidth = -1;
    int FAnchorParentHeight = -1;
    int FDestroyingGuard = 0;

private:
    void SyncGeometry();
    void ApplyCursor();
    void UpdateAnchorRules();
};

// ---------------------------------------------------------------- TWinControl

class TWinControl : public TControl {
    Q_OBJECT
public:
    explicit TWinControl(TComponent* AOwner = nullptr);
    ~TWinControl() override;

    // Child controls in z-order (first is at the back).
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const;
    // Child windowed controls only, in z-order.
    int WinControlCount() const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // Moves a child to position Order (clamped) among the children; a
    // windowed child's stacking follows.
    void SetChildOrder(TControl* Child, int Order);
    bool ContainsControl(TControl* Control) const;
    // The child at a client point (topmost visible one), or null.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled = false, bool AllowWinControls = true);

    // Sends a message to every child until one answers with a Result != 0.
    void Broadcast(TMessage& Message);
    void NotifyControls(unsigned Msg);

    // ---- focus
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // The next control in tab order after CurControl (wrapping), or null.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    void GetTabOrderList(std::vector<TWinControl*>& List);

    // ---- window region (shaped controls): empty removes it.
    void SetWindowRegion(const QRegion& Region);
    const QRegion& WindowRegion() const { return FWindowRegion; }
    bool HasWindowRegion() const { return !FWindowRegion.isEmpty(); }

    // ---- window lifetime: the framework may destroy and re-create a
    // control's window while the control lives on. Controls that keep state
    // in the window save it in DestroyWnd and restore it in CreateWnd.
    bool HandleAllocated() const { return FHandleAllocated; }
    void HandleNeeded();
    void RecreateWnd();

    void AlignControls(TControl* AControl, TRect& Rect);
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void WndProc(TMessage& Message) override;

    // The framework's handling of a key press (the form's key preview,
    // KeyDown, dialog keys for the form, KeyPress and mnemonics). Controls
    // that wrap a Qt widget call it from an event filter on that widget;
    // true means the key was used up and must not reach the widget.
    bool HandleKeyPress(QKeyEvent* Event);
    bool HandleKeyRelease(QKeyEvent* Event);

protected:
    virtual void CreateWnd();
    virtual void DestroyWnd();
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void DoEnter();
    virtual void DoExit();
    // The rectangle children align in (client coordinates).
    virtual void AdjustClientRect(TRect& Rect);
    // Whether the control handles a key itself instead of passing it to the
    // form as a dialog key (tab, arrows, return, escape).
    virtual bool WantsKey(Word Key, TShiftState Shift);
    // Whether typed characters are the control's own (edits) rather than
    // mnemonics for the form.
    virtual bool WantsChars() const { return false; }
    void PaintControl(QImage& Image) override;
    bool PaintsTransparent() const override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    void EnabledChanged() override;

    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    bool focusNextPrevChild(bool Next) override;

    friend class TControl;
    std::vector<TControl*> FControls;
    bool FTabStop = false;
    int FAlignLevel = 0;
    QRegion FWindowRegion;
    bool FHandleAllocated = true;

private:
    void DoAlign(TAlign AAlign, TRect& Rect);
};

// ---------------------------------------------------------------- TGraphicControl

class TGraphicControl : public TControl {
    Q_OBJECT
public:
    explicit TGraphicControl(TComponent* AOwner = nullptr);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintControl(QImage& Image) override;
    bool PaintsTransparent() const override;
    std::unique_ptr<TCanvas> FCanvas;
};

// ---------------------------------------------------------------- TCustomControl

class TCustomControl : public TWinControl {
    Q_OBJECT
public:
    explicit TCustomControl(TComponent* AOwner = nullptr);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintControl(QImage& Image) override;
    std::unique_ptr<TCanvas> FCanvas;
};

// ---------------------------------------------------------------- hooks

// Application-wide hooks: every mouse or keyboard event of the application
// passes the installed hooks (most recent first) before it reaches its
// control; a hook that returns true swallows the event. The owner installs a
// hook and removes it with the handle it got.
struct TMouseHookInfo {
    unsigned Msg = 0;       // WM_LBUTTONDOWN, WM_MOUSEMOVE, ...
    TPoint ScreenPos;
    TControl* Control = nullptr; // the control under the mouse (may be null)
    QWidget* Widget = nullptr;   // the widget Qt delivers to
};
struct TKeyHookInfo {
    unsigned Msg = 0; // WM_KEYDOWN or WM_KEYUP
    Word Key = 0;
    TShiftState Shift;
    bool AutoRepeat = false;
};
using THookHandle = int;
THookHandle InstallMouseHook(std::function<bool(const TMouseHookInfo&)> Hook);
THookHandle InstallKeyboardHook(std::function<bool(const TKeyHookInfo&)> Hook);
void RemoveHook(THookHandle Handle);

// The control a widget belongs to (the widget itself or its nearest parent
// that is a control).
TControl* FindControl(QWidget* Widget);
TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled);
// The control that has the mouse captured, or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

void RegisterControlsClasses();
