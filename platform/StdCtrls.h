// StdCtrls: the framework's standard controls.
//
// Controls painted by us (labels, group boxes, push buttons, check boxes and
// radio buttons) draw on their Canvas with the classic desktop look: edges
// from DrawEdge, buttons and check marks from DrawFrameControl, text from
// DrawText with its '&' prefixes.
//
// Controls that hold a Qt widget (TEdit: QLineEdit, TMemo: QPlainTextEdit,
// TListBox: QListWidget, TComboBox: QComboBox) are TWrapControls: the Qt
// widget is a child filling the client area inside the control's sunken
// border, takes the control's font, colour and enabled state, and gets the
// focus when the control is focused (it is the control's focus proxy). An
// event filter on the Qt widget turns its key and mouse events into the
// control's messages first: WM_KEYDOWN, WM_CHAR and WM_KEYUP reach KeyDown,
// KeyPress and KeyUp (OnKeyDown, OnKeyPress, OnKeyUp), a handler that sets
// the key to 0 keeps it from the Qt widget, dialog keys the control does not
// want (tab, return, escape) go to the form as CM_DIALOGKEY, and mouse
// events reach MouseDown/MouseMove/MouseUp, Click and DblClick.
//
// Item lists (TListBox.Items, TComboBox.Items, TMemo.Lines) are TStrings
// bound to the Qt widget: reading and changing them reads and changes what
// the widget shows. They store themselves as "Items.Strings = (...)".
#pragma once

#include <QPointer>

#include <memory>

#include "Controls.h"
#include "DB.h"
#include "Forms.h"
#include "StringList.h"

class QLineEdit;
class QPlainTextEdit;
class QListWidget;
class QListView;
class QComboBox;
class QScrollBar;
class QStyleOptionViewItem;
class QModelIndex;
class QPainter;

namespace StdCtrlsTypes {
Q_NAMESPACE

// The vertical place of a label's text.
enum TTextLayout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(TTextLayout)

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
Q_ENUM_NS(TCheckBoxState)

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
Q_ENUM_NS(TEditCharCase)

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
Q_ENUM_NS(TListBoxStyle)

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
Q_ENUM_NS(TComboBoxStyle)

enum TOwnerDrawStateFlag {
    odSelected = 0x1,
    odGrayed = 0x2,
    odDisabled = 0x4,
    odChecked = 0x8,
    odFocused = 0x10,
    odDefault = 0x20,
    odComboBoxEdit = 0x40,
};
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_FLAG_NS(TOwnerDrawState)

enum TScrollBarKind { sbHorizontal, sbVertical };
Q_ENUM_NS(TScrollBarKind)

enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
Q_ENUM_NS(TScrollCode)

} // namespace StdCtrlsTypes
using namespace StdCtrlsTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(StdCtrlsTypes::TOwnerDrawState)

// Draws one item of an owner-drawn list on the list's Canvas: Rect is the
// item's rectangle in the list's client coordinates.
using TDrawItemEvent = TEvent<TWinControl*, int, TRect, TOwnerDrawState>;
ZEN_EVENT_TYPE(TDrawItemEvent)
// Asks for the height of an item of a variable-height owner-drawn list.
using TMeasureItemEvent = TEvent<TWinControl*, int, int&>;
ZEN_EVENT_TYPE(TMeasureItemEvent)
using TScrollEvent = TEvent<TObject*, TScrollCode, int&>;
ZEN_EVENT_TYPE(TScrollEvent)

// True when Caption marks Key (a character, compared without case) as its
// accelerator with '&' ("&&" is a literal ampersand).
bool IsAccel(unsigned Key, const String& Caption);

// Draws text in Rect with DrawText; a disabled text is embossed: first in
// clBtnHighlight one pixel down and right, then in clBtnShadow in place. The
// canvas's font colour is restored.
void DrawControlText(TCanvas* Canvas, const String& Text, TRect& Rect, unsigned Format, bool Enabled);

// ---------------------------------------------------------------- labels

class TCustomLabel : public TGraphicControl {
    Q_OBJECT
public:
    explicit TCustomLabel(TComponent* AOwner = nullptr);
    ~TCustomLabel() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return !FControlStyle.testFlag(csOpaque); }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // The control the label's accelerator focuses.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    void WndProc(TMessage& Message) override;
    void Loaded() override;

protected:
    void Paint() override;
    // Draws (or with DT_CALCRECT measures) the caption with the label's rules.
    virtual void DoDrawText(TRect& Rect, unsigned Flags);
    // Sizes the label to its text when AutoSize is on.
    virtual void AdjustBounds();
    void FontChanged() override;
    void TextChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    QPointer<TWinControl> FFocusControl;
};

class TLabel : public TCustomLabel {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TWinControl* FocusControl READ FocusControl WRITE SetFocusControl)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(StdCtrlsTypes::TTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TLabel(TComponent* AOwner = nullptr) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------- group box

// A frame with the caption at its top-left: an etched edge and the caption
// on the control's colour. Children lie inside the frame.
class TCustomGroupBox : public TCustomControl {
    Q_OBJECT
public:
    explicit TCustomGroupBox(TComponent* AOwner = nullptr);
    ~TCustomGroupBox() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void FontChanged() override;
    void TextChanged() override;
    int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TGroupBox(TComponent* AOwner = nullptr) : TCustomGroupBox(AOwner) {}
};

// ---------------------------------------------------------------- buttons

// A windowed control that we paint and that acts on the mouse and the space
// bar as buttons do: pressing shows it pressed, releasing over it acts.
class TButtonControl : public TCustomControl {
    Q_OBJECT
public:
    explicit TButtonControl(TComponent* AOwner = nullptr);
    ~TButtonControl() override;

    // True while the left button or the space bar holds it down.
    bool Pressed() const { return FPressed; }
    // Whether the control has the focus: Qt's focus, or the form's active
    // control (which follows the focus even where the window system does
    // not deliver it, as on the offscreen platform).
    bool HasFocus() const;

protected:
    // What releasing the button over it does (click, toggle, check).
    virtual void Activate() = 0;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DoExit() override;
    void EnabledChanged() override;

    bool FPressed = false;
    bool FMouseTracking = false;
    bool FSpaceDown = false;
};

// A push button. Default answers Enter (unless another button has the focus,
// which then answers it), Cancel answers Esc, both through CM_DIALOGKEY; the
// caption's accelerator clicks it. Clicking sets the form's ModalResult to
// the button's.
class TButton : public TButtonControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TButton(TComponent* AOwner = nullptr);
    ~TButton() override;

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    // Whether the button answers Enter now: it has the focus, or it is the
    // default button and no other button has the focus.
    bool IsActive() const;
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void Activate() override { Click(); }
    void Paint() override;
    // Draws the caption (and, in descendants, the glyph) inside the face.
    // Offset is (1, 1) while the button is pressed.
    virtual void DrawFace(TCanvas* Canvas, const TRect& Rect, TPoint Offset);
    void DoEnter() override;
    void DoExit() override;

private:
    void InvalidateButtons();
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

// A check box: the box and the caption beside it. Every change of State, by
// the user or by the program, calls Click (OnClick).
class TCustomCheckBox : public TButtonControl {
    Q_OBJECT
public:
    explicit TCustomCheckBox(TComponent* AOwner = nullptr);
    ~TCustomCheckBox() override;

    // taRightJustify puts the caption right of the box, taLeftJustify left of it.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    // The next state as a click gives it: unchecked, (grayed,) checked.
    void Toggle();
    void WndProc(TMessage& Message) override;

protected:
    void Activate() override { Toggle(); }
    void Paint() override;

private:
    TAlignment FAlignment = taRightJustify;
    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
    Q_OBJECT
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE SetAllowGrayed)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked STORED false)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(StdCtrlsTypes::TCheckBoxState State READ State WRITE SetState)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TCheckBox(TComponent* AOwner = nullptr) : TCustomCheckBox(AOwner) {}
};

// A radio button: checking it unchecks the radio buttons of the same parent.
// Becoming checked calls Click (OnClick).
class TRadioButton : public TButtonControl {
    Q_OBJECT
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TRadioButton(TComponent* AOwner = nullptr);
    ~TRadioButton() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    void WndProc(TMessage& Message) override;

protected:
    void Activate() override { SetChecked(true); }
    void Paint() override;

private:
    TAlignment FAlignment = taRightJustify;
    bool FChecked = false;
};

// ---------------------------------------------------------------- wrapped Qt widgets

// A windowed control that shows a Qt widget inside its border (see the top
// of this file).
class TWrapControl : public TCustomControl {
    Q_OBJECT
public:
    explicit TWrapControl(TComponent* AOwner = nullptr);
    ~TWrapControl() override;

    // bsSingle draws the sunken border, bsNone none; other styles raise
    // EInvalidOperation.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    // The Qt widget the control shows.
    QWidget* InnerWidget() const { return FInner; }

protected:
    // Makes W the shown widget (a child of the control from then on) and
    // watches its events.
    void SetInnerWidget(QWidget* W);
    // Watches the events of another widget inside the control (a viewport,
    // the line edit of a combo box).
    void WatchWidget(QWidget* W);
    // Whether the control is being destroyed (its Qt widget's events are no
    // longer its own then).
    bool Closing() const { return FClosing; }
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    // Mouse events the Qt widget passed on reached the control through the
    // filter already; only those on the border are the control's own.
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    // Where the Qt widget lies: the client area inside the border.
    virtual TRect InnerRect() const;
    void LayoutInner();
    // Gives the Qt widget the colours: the control's Color as the base, the
    // font's colour as the text, the system highlight colours.
    virtual void UpdatePalette();
    // Keys the control swallows when the form did not take them as dialog
    // keys (a memo without WantReturns keeps returns out of its text).
    virtual bool SwallowDialogKey(Word Key, TShiftState Shift);
    void Paint() override;
    void ApplyQtFont() override;
    void ColorChanged() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    bool WantsChars() const override { return true; }
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool FilterKeyPress(QObject* Watched, QKeyEvent* Event);
    bool FilterKeyRelease(QKeyEvent* Event);
    void FilterMouse(QWidget* Watched, QMouseEvent* Event);
    QWidget* FInner = nullptr;
    TFormBorderStyle FBorderStyle = bsSingle;
    bool FForwarding = false;
    bool FClosing = false;
};

// ---------------------------------------------------------------- edit

class TCustomEdit : public TWrapControl {
    Q_OBJECT
public:
    explicit TCustomEdit(TComponent* AOwner = nullptr);
    ~TCustomEdit() override;

    // 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    // #0: the text shows as it is; any other character hides each character.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // Selects the whole text when the edit gets the focus.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool Modified() const;
    void SetModified(bool Value);

    // Selection: 0-based start, length, and the selected text (setting it
    // replaces the selection).
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    String SelText() const;
    void SetSelText(const String& Value);
    void SelectAll();
    void Clear();

    QLineEdit* LineEdit() const { return FEdit; }
    TNotifyEvent OnChange;

protected:
    String GetText() const override;
    void SetTextBuf(const String& Value) override;
    virtual void Change();
    bool WantsKey(Word Key, TShiftState Shift) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QLineEdit* FEdit;
    int FMaxLength = 0;
    char FPasswordChar = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FAutoSelect = true;
};

class TEdit : public TCustomEdit {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(StdCtrlsTypes::TEditCharCase CharCase READ CharCase WRITE SetCharCase)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(char PasswordChar READ PasswordChar WRITE SetPasswordChar)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(String Text READ Text WRITE SetText)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TEdit(TComponent* AOwner = nullptr) : TCustomEdit(AOwner) {}
};

// ---------------------------------------------------------------- memo

class TCustomMemo : public TWrapControl {
    Q_OBJECT
public:
    explicit TCustomMemo(TComponent* AOwner = nullptr);
    ~TCustomMemo() override;

    // The lines of the text. The text is the lines, each followed by a line
    // break; an empty last line is not a line.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    // Return adds a line (false: Return is the form's, Ctrl+Return adds one).
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Tab goes into the text (false: Tab moves the focus).
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool Modified() const;
    void SetModified(bool Value);
    void Clear();

    QPlainTextEdit* Editor() const { return FEditor; }
    TNotifyEvent OnChange;

protected:
    String GetText() const override;
    void SetTextBuf(const String& Value) override;
    virtual void Change();
    bool WantsKey(Word Key, TShiftState Shift) override;
    bool SwallowDialogKey(Word Key, TShiftState Shift) override;

private:
    QPlainTextEdit* FEditor;
    std::unique_ptr<TStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(TStrings* Lines READ Lines WRITE SetLines)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(ControlsTypes::TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool WantReturns READ WantReturns WRITE SetWantReturns)
    Q_PROPERTY(bool WantTabs READ WantTabs WRITE SetWantTabs)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TMemo(TComponent* AOwner = nullptr) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------- list box

class TOwnerDrawDelegate;

// A list of strings to choose from. Every item is drawn by the control on
// its Canvas (the list's client area): by OnDrawItem when the style is
// owner-drawn, else as the text on the item's colours. OnClick follows a
// change of the selection by the user.
class TCustomListBox : public TWrapControl {
    Q_OBJECT
public:
    explicit TCustomListBox(TComponent* AOwner = nullptr);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value);
    int Count() const;
    // -1 for none; EListError for an index outside -1 .. Count - 1.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    void ClearSelection();
    // Items are kept in the order of AnsiCompareText; setting it sorts them.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // Height of an item of an owner-drawn list (the font's line height for
    // lbStandard); EInvalidOperation for a height below 1.
    int ItemHeight() const;
    void SetItemHeight(int Value);
    // With IntegralHeight a list of items of one height shows whole items
    // only: setting its bounds cuts the height to the border and a whole
    // number of items (never below one item).
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The first item shown.
    int TopIndex() const;
    void SetTopIndex(int Value);
    // The item at a client point: -1 when there is none (with Existing) or
    // else the count (past the last item).
    int ItemAtPos(TPoint Pos, bool Existing) const;
    // The item's rectangle in client coordinates.
    TRect ItemRect(int Index) const;
    void Clear();
    // The item height of a standard list follows the font and is not stored.
    bool IsPropertyStored(const char* Name) const override;

    QListWidget* ListWidget() const { return FList; }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void Loaded() override;

protected:
    friend class TOwnerDrawDelegate;
    friend class TListBoxStrings;
    // Draws one item (Rect in the list's client coordinates) on Canvas: with
    // OnDrawItem when owner-drawn, else the text on the item's colours.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    // Sets the canvas up with the item's font and colours and calls DrawItem.
    void DrawItemOnCanvas(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    bool WantsKey(Word Key, TShiftState Shift) override;
    void ApplyQtFont() override;
    void CheckIndex(int Index) const;
    // Where an item goes in a sorted list.
    int SortedIndex(const String& S) const;
    void SortItems();
    void SelectionByUser();

    QListWidget* FList;
    TOwnerDrawDelegate* FDelegate;
    std::unique_ptr<TStrings> FItems;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    bool FSorted = false;
    bool FIntegralHeight = false;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 13;
    int FPendingItemIndex = -1;
    int FProgramChange = 0;

private:
    void ApplySelectionMode();
};

class TListBox : public TCustomListBox {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool ExtendedSelect READ ExtendedSelect WRITE SetExtendedSelect)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool IntegralHeight READ IntegralHeight WRITE SetIntegralHeight)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
    Q_PROPERTY(StdCtrlsTypes::TListBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TDrawItemEvent OnDrawItem MEMBER OnDrawItem)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMeasureItemEvent OnMeasureItem MEMBER OnMeasureItem)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TListBox(TComponent* AOwner = nullptr) : TCustomListBox(AOwner) {}
};

// ---------------------------------------------------------------- combo box

class TComboEditor;

// An edit with a list to choose from: csDropDown (edit and drop-down list),
// csSimple (edit with the list always shown below it), csDropDownList (no
// edit: the text is always an item), csOwnerDrawFixed/Variable (as
// csDropDownList with items drawn by OnDrawItem; the closed combo's face is
// the item drawn with odComboBoxEdit).
class TCustomComboBox : public TWrapControl {
    Q_OBJECT
public:
    explicit TCustomComboBox(TComponent* AOwner = nullptr);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value);
    int ItemIndex() const;
    // -1 for none; EListError for an index outside -1 .. Count - 1.
    void SetItemIndex(int Value);
    // Items shown in the drop-down list without scrolling (at least 1).
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    // 0: no limit (the edit's text).
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    void Clear();

    QComboBox* ComboBox() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void Loaded() override;

protected:
    friend class TComboEditor;
    friend class TComboBoxStrings;
    String GetText() const override;
    void SetTextBuf(const String& Value) override;
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    bool WantsKey(Word Key, TShiftState Shift) override;
    TRect InnerRect() const override;
    void UpdatePalette() override;
    void ApplyQtFont() override;
    void Paint() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    bool IsEditable() const { return FStyle == csDropDown || FStyle == csSimple; }
    bool IsOwnerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    int SortedIndex(const String& S) const;
    // Paints the face of the closed combo on an image of its size.
    void PaintFace(QImage& Image, bool HasFocus);
    int EditHeight() const;

private:
    void ApplyStyle();
    TComboEditor* FCombo;
    TOwnerDrawDelegate* FDelegate;
    QListView* FSimpleList = nullptr;
    std::unique_ptr<TStrings> FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    bool FSorted = false;
    int FItemHeight = 13;
    int FMaxLength = 0;
    int FPendingItemIndex = -1;
    String FPendingText;
    bool FHavePendingText = false;
    int FProgramChange = 0;
};

class TComboBox : public TCustomComboBox {
    Q_OBJECT
    Q_PROPERTY(StdCtrlsTypes::TComboBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(String Text READ Text WRITE SetText)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnCloseUp MEMBER OnCloseUp)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TDrawItemEvent OnDrawItem MEMBER OnDrawItem)
    Q_PROPERTY(TNotifyEvent OnDropDown MEMBER OnDropDown)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMeasureItemEvent OnMeasureItem MEMBER OnMeasureItem)
public:
    explicit TComboBox(TComponent* AOwner = nullptr) : TCustomComboBox(AOwner) {}
};

// ---------------------------------------------------------------- scroll bar

// A scroll bar control (a QScrollBar inside): Position moves between Min
// and Max; OnScroll reports each move by the user with its scroll code and
// may change the new position; OnChange follows every change of Position.
class TScrollBar : public TWrapControl {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(StdCtrlsTypes::TScrollBarKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(int LargeChange READ LargeChange WRITE SetLargeChange)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int SmallChange READ SmallChange WRITE SetSmallChange)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TScrollEvent OnScroll MEMBER OnScroll)
public:
    explicit TScrollBar(TComponent* AOwner = nullptr);
    ~TScrollBar() override;

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    // Raises EInvalidOperation when Min > Max (outside loading); the
    // position is kept inside the range.
    void SetParams(int APosition, int AMin, int AMax);

    QScrollBar* Bar() const { return FBar; }
    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    void Loaded() override;

protected:
    virtual void Change();
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
    bool WantsKey(Word Key, TShiftState Shift) override;

private:
    void SyncBar();
    QScrollBar* FBar;
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FSmallChange = 1;
    int FLargeChange = 1;
    int FPageSize = 0;
    int FSyncing = 0;
};

void RegisterStdCtrlsClasses();
