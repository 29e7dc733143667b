#include "StdCtrls.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTextBlock>
#include <QTextCursor>
#include <QValidator>

#include <algorithm>

// ---------------------------------------------------------------- helpers

namespace {

char UpperChar(unsigned char C)
{
    const String U = AnsiUpperCase(String(1, static_cast<char>(C)));
    return U.empty() ? static_cast<char>(C) : U[0];
}

[[noreturn]] void IndexError(int Index)
{
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

bool IsDialogKey(Word Key)
{
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT || Key == VK_RIGHT ||
           Key == VK_UP || Key == VK_DOWN || Key == VK_CANCEL;
}

bool IsArrowKey(Word Key)
{
    return Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
}

// The Qt text of a string of the runtime with CR LF line breaks, and back.
QString ToEditorText(const String& S)
{
    String T;
    T.reserve(S.size());
    for (size_t I = 0; I < S.size(); ++I) {
        if (S[I] == '\r') {
            T += '\n';
            if (I + 1 < S.size() && S[I + 1] == '\n')
                ++I;
        } else {
            T += S[I];
        }
    }
    return ToQString(T);
}

String FromEditorText(const QString& Q)
{
    const String S = FromQString(Q);
    String T;
    T.reserve(S.size() + S.size() / 16);
    for (char C : S) {
        if (C == '\n')
            T += "\r\n";
        else
            T += C;
    }
    return T;
}

void SetPaletteColors(QWidget* W, TColor Back, TColor Text)
{
    QPalette P = W->palette();
    for (QPalette::ColorGroup G : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        P.setColor(G, QPalette::Base, ColorToQColor(Back));
        P.setColor(G, QPalette::Window, ColorToQColor(Back));
        P.setColor(G, QPalette::Text, ColorToQColor(G == QPalette::Disabled ? clGrayText : Text));
        P.setColor(G, QPalette::WindowText, ColorToQColor(G == QPalette::Disabled ? clGrayText : Text));
        P.setColor(G, QPalette::ButtonText, ColorToQColor(G == QPalette::Disabled ? clGrayText : clBtnText));
        P.setColor(G, QPalette::Button, ColorToQColor(clBtnFace));
        P.setColor(G, QPalette::Highlight, ColorToQColor(clHighlight));
        P.setColor(G, QPalette::HighlightedText, ColorToQColor(clHighlightText));
    }
    W->setPalette(P);
}

TOwnerDrawState StateFromQt(QStyle::State S)
{
    TOwnerDrawState R;
    if (S & QStyle::State_Selected)
        R |= odSelected;
    if (S & QStyle::State_HasFocus)
        R |= odFocused;
    if (!(S & QStyle::State_Enabled))
        R |= odDisabled;
    return R;
}

// Shows a chosen character for each character of a password.
class TPasswordStyle : public QProxyStyle {
public:
    explicit TPasswordStyle(char C) : FChar(C) {}
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* Return) const override
    {
        if (Hint == SH_LineEdit_PasswordCharacter)
            return static_cast<unsigned char>(FChar);
        if (Hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(Hint, Option, Widget, Return);
    }

private:
    char FChar;
};

// Turns what is typed into upper or lower case (Latin-1 rules of the runtime).
class TCaseValidator : public QValidator {
public:
    TCaseValidator(TEditCharCase Case, QObject* Parent) : QValidator(Parent), FCase(Case) {}
    State validate(QString& Input, int&) const override
    {
        const String S = FromQString(Input);
        Input = ToQString(FCase == ecUpperCase ? AnsiUpperCase(S) : AnsiLowerCase(S));
        return Acceptable;
    }

private:
    TEditCharCase FCase;
};

} // namespace

bool IsAccel(unsigned Key, const String& Caption)
{
    for (size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] != '&')
            continue;
        if (Caption[I + 1] == '&') {
            ++I;
            continue;
        }
        return UpperChar(static_cast<unsigned char>(Caption[I + 1])) == UpperChar(static_cast<unsigned char>(Key));
    }
    return false;
}

void DrawControlText(TCanvas* Canvas, const String& Text, TRect& Rect, unsigned Format, bool Enabled)
{
    Canvas->Brush()->SetStyle(bsClear);
    if (Enabled || (Format & DT_CALCRECT)) {
        DrawText(Canvas, Text, Rect, Format);
        return;
    }
    const TColor Old = Canvas->Font()->Color();
    TRect R = Rect;
    OffsetRect(R, 1, 1);
    Canvas->Font()->SetColor(clBtnHighlight);
    DrawText(Canvas, Text, R, Format);
    Canvas->Font()->SetColor(clBtnShadow);
    DrawText(Canvas, Text, Rect, Format);
    Canvas->Font()->SetColor(Old);
}

// ---------------------------------------------------------------- owner-drawn items

// Paints the items of a list view through the control: each item is drawn
// on the control's Canvas, aimed at an off-screen image of the view's size,
// and the item's rectangle of it is copied to the view.
class TOwnerDrawDelegate : public QAbstractItemDelegate {
public:
    using TDraw = std::function<void(int Row, TRect Rect, TOwnerDrawState State)>;
    using THeight = std::function<int(int Row)>;

    TOwnerDrawDelegate(TCanvas* Canvas, TDraw Draw, THeight Height, QObject* Parent)
        : QAbstractItemDelegate(Parent), FCanvas(Canvas), FDraw(std::move(Draw)), FHeight(std::move(Height))
    {
    }

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const QRect R = Option.rect;
        if (R.isEmpty())
            return;
        const int W = std::max(R.right() + 1, 1), H = std::max(R.bottom() + 1, 1);
        if (FImage.width() < W || FImage.height() < H)
            FImage = QImage(std::max(W, FImage.width()), std::max(H, FImage.height()),
                            QImage::Format_ARGB32_Premultiplied);
        QImage* OldTarget = FCanvas->Target();
        FCanvas->SetTarget(&FImage);
        const TRect TR = TRect::FromQRect(R);
        TOwnerDrawState State = StateFromQt(Option.state);
        try {
            FCanvas->IntersectClipRect(TR);
            FDraw(Index.row(), TR, State);
            if (State.testFlag(odFocused))
                FCanvas->DrawFocusRect(TR);
        } catch (...) {
            FCanvas->SetTarget(OldTarget);
            throw;
        }
        FCanvas->SetTarget(OldTarget);
        Painter->drawImage(R.topLeft(), FImage, R);
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        return QSize(std::max(0, Option.rect.width()), std::max(1, FHeight(Index.row())));
    }

    // Tells the view that the item heights may have changed.
    void HeightsChanged(QAbstractItemView* View)
    {
        if (View)
            View->doItemsLayout();
    }

private:
    TCanvas* FCanvas;
    TDraw FDraw;
    THeight FHeight;
    mutable QImage FImage;
};

// ---------------------------------------------------------------- TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle |= TControlStyle(csOpaque) | csReplicatable;
    FColor = clBtnFace;
    SetBounds(0, 0, 65, 17);
}

TCustomLabel::~TCustomLabel() = default;

void TCustomLabel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value)
{
    if (Transparent() == Value)
        return;
    if (Value)
        FControlStyle &= ~TControlStyle(csOpaque);
    else
        FControlStyle |= csOpaque;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value)
{
    if (FShowAccelChar == Value)
        return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value)
{
    if (FFocusControl == Value)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FFocusControl && static_cast<TComponent*>(FFocusControl.data()) == AComponent)
        FFocusControl = nullptr;
}

void TCustomLabel::DoDrawText(TRect& Rect, unsigned Flags)
{
    String Text = Caption();
    // An empty caption (or a lone '&') still measures one blank high.
    if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&")))
        Text += ' ';
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    DrawControlText(C, Text, Rect, Flags, Enabled());
}

void TCustomLabel::Paint()
{
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    if (!Transparent()) {
        C->Brush()->SetColor(FColor);
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(Client);
    }
    C->Brush()->SetStyle(bsClear);
    static constexpr unsigned Alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    const unsigned Style = DT_EXPANDTABS | (FWordWrap ? unsigned(DT_WORDBREAK) : 0u) | Alignments[FAlignment];
    TRect R = Client;
    if (FLayout != tlTop) {
        TRect Calc = R;
        DoDrawText(Calc, Style | DT_CALCRECT);
        if (FLayout == tlBottom)
            OffsetRect(R, 0, Height() - Calc.Bottom);
        else
            OffsetRect(R, 0, (Height() - Calc.Bottom) / 2);
    }
    DoDrawText(R, Style);
}

void TCustomLabel::AdjustBounds()
{
    if (ComponentState().testFlag(csReading) || IsLoading() || !FAutoSize)
        return;
    TRect R = ClientRect();
    DoDrawText(R, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? unsigned(DT_WORDBREAK) : 0u));
    int X = Left();
    if (FAlignment == taRightJustify)
        X += Width() - R.Right;
    SetBounds(X, Top(), R.Right, R.Bottom);
}

void TCustomLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TCustomLabel::TextChanged()
{
    TGraphicControl::TextChanged();
    AdjustBounds();
}

void TCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR) {
        TWinControl* F = FFocusControl;
        if (F && Enabled() && FShowAccelChar && IsAccel(static_cast<unsigned>(Message.WParam), Caption()) &&
            F->CanFocus()) {
            F->SetFocus();
            Message.Result = 1;
        }
        return;
    }
    TGraphicControl::WndProc(Message);
}

// ---------------------------------------------------------------- TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle |= TControlStyle(csAcceptsControls) | csSetCaption | csDoubleClicks;
    FColor = clBtnFace;
    SetBounds(0, 0, 185, 105);
}

TCustomGroupBox::~TCustomGroupBox() = default;

int TCustomGroupBox::CaptionHeight()
{
    return Font()->Metrics().tmHeight;
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect)
{
    TCustomControl::AdjustClientRect(Rect);
    Rect.Top += CaptionHeight();
    InflateRect(Rect, -2, -2);
}

void TCustomGroupBox::Paint()
{
    TCanvas* C = Canvas();
    const int H = CaptionHeight();
    TRect R(0, H / 2 - 1, Width(), Height());
    DrawEdge(C, R, EDGE_ETCHED, BF_RECT);
    const String Text = Caption();
    if (Text.empty())
        return;
    TRect T(8, 0, 8, H);
    DrawText(C, Text, T, DT_CALCRECT | DT_SINGLELINE);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FColor);
    C->FillRect(T);
    DrawControlText(C, Text, T, DT_LEFT | DT_SINGLELINE, Enabled());
}

void TCustomGroupBox::FontChanged()
{
    TCustomControl::FontChanged();
    Realign();
}

void TCustomGroupBox::TextChanged()
{
    TCustomControl::TextChanged();
    Invalidate();
}

void TCustomGroupBox::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR && IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && CanFocus()) {
        if (TWinControl* First = FindNextControl(nullptr, true, true, false))
            First->SetFocus();
        Message.Result = 1;
        return;
    }
    TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------- TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    // Releasing the button over it acts (Activate), not the generic click.
    FControlStyle &= ~TControlStyle(csClickEvents);
    FColor = clBtnFace;
    SetTabStop(true);
}

TButtonControl::~TButtonControl() = default;

bool TButtonControl::HasFocus() const
{
    if (Focused())
        return true;
    TCustomForm* F = GetParentForm();
    return F && F->ActiveControl() == this && F->QWidget::isVisible();
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled()) {
        if (!HasFocus() && CanFocus())
            SetFocus();
        FPressed = true;
        FMouseTracking = true;
        Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FMouseTracking) {
        const bool Inside = ClientRect().Contains(TPoint(X, Y));
        if (Inside != FPressed) {
            FPressed = Inside;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    bool Act = false;
    if (Button == mbLeft && FMouseTracking) {
        FMouseTracking = false;
        Act = FPressed && ClientRect().Contains(TPoint(X, Y));
        FPressed = false;
        Invalidate();
    }
    QPointer<TButtonControl> Self(this);
    if (Act)
        Activate();
    if (Self)
        TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButtonControl::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && !FSpaceDown && Enabled()) {
        FSpaceDown = true;
        FPressed = true;
        Invalidate();
    }
}

void TButtonControl::KeyUp(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        FPressed = false;
        Invalidate();
        Activate();
    }
}

void TButtonControl::DoExit()
{
    FSpaceDown = false;
    FPressed = false;
    TCustomControl::DoExit();
    Invalidate();
}

void TButtonControl::EnabledChanged()
{
    FSpaceDown = false;
    FPressed = false;
    FMouseTracking = false;
    TCustomControl::EnabledChanged();
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 75, 25);
}

TButton::~TButton() = default;

void TButton::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    FDefault = Value;
    InvalidateButtons();
}

bool TButton::IsActive() const
{
    if (HasFocus())
        return true;
    if (!FDefault)
        return false;
    TCustomForm* F = GetParentForm();
    TWinControl* A = F ? F->ActiveControl() : nullptr;
    return !(A && A != this && dynamic_cast<TButton*>(A));
}

void TButton::Click()
{
    if (TCustomForm* F = GetParentForm())
        F->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGKEY: {
        const Word Key = static_cast<Word>(Message.WParam);
        const TShiftState Shift = TShiftState::fromInt(static_cast<int>(Message.LParam));
        if (((Key == VK_RETURN && IsActive()) || (Key == VK_ESCAPE && FCancel)) && Shift == TShiftState() &&
            CanFocus()) {
            Click();
            Message.Result = 1;
        }
        return;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && CanFocus()) {
            Click();
            Message.Result = 1;
        }
        return;
    default: break;
    }
    TButtonControl::WndProc(Message);
}

void TButton::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    if (IsActive()) {
        C->Brush()->SetColor(clWindowFrame);
        C->FrameRect(R);
        InflateRect(R, -1, -1);
    }
    if (FPressed) {
        // A pressed button: a shadow frame around a flat face.
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(R);
        InflateRect(R, -1, -1);
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(R);
        InflateRect(R, -1, -1);
    } else {
        DrawFrameControl(C, R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    }
    C->Font()->Assign(Font());
    C->Font()->SetColor(clBtnText);
    DrawFace(C, R, FPressed ? TPoint(1, 1) : TPoint(0, 0));
    if (HasFocus()) {
        TRect F = ClientRect();
        InflateRect(F, -4, -4);
        C->DrawFocusRect(F);
    }
}

void TButton::DrawFace(TCanvas* Canvas, const TRect& Rect, TPoint Offset)
{
    TRect T = Rect;
    OffsetRect(T, Offset.X, Offset.Y);
    DrawControlText(Canvas, Caption(), T, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Enabled());
}

void TButton::InvalidateButtons()
{
    // The default look moves between the buttons with the focus.
    TCustomForm* F = GetParentForm();
    if (!F) {
        Invalidate();
        return;
    }
    std::vector<TWinControl*> List;
    F->GetTabOrderList(List);
    for (TWinControl* W : List)
        if (dynamic_cast<TButton*>(W))
            W->Invalidate();
}

void TButton::DoEnter()
{
    TButtonControl::DoEnter();
    InvalidateButtons();
}

void TButton::DoExit()
{
    TButtonControl::DoExit();
    InvalidateButtons();
}

// ---------------------------------------------------------------- check box and radio button

namespace {

void CheckAlignment(TAlignment Value)
{
    if (Value != taLeftJustify && Value != taRightJustify)
        throw EInvalidOperation("The caption of a check box or radio button goes left or right of it: "
                                "taLeftJustify or taRightJustify");
}

// Paints a check box or radio button: the mark at the left (caption right
// of it, taRightJustify) or at the right, the caption beside it, a focus
// rectangle around the caption when focused.
void PaintCheckControl(TButtonControl* Control, TCanvas* C, TAlignment Alignment, unsigned MarkState,
                       const String& Caption, bool Focused)
{
    constexpr int Size = 13;
    const int W = Control->Width(), H = Control->Height();
    TRect Box, Text;
    if (Alignment == taRightJustify) {
        Box = Bounds(0, (H - Size) / 2, Size, Size);
        Text = TRect(Size + 4, 0, W, H);
    } else {
        Box = Bounds(W - Size, (H - Size) / 2, Size, Size);
        Text = TRect(0, 0, W - Size - 4, H);
    }
    if (!Control->Enabled())
        MarkState |= DFCS_INACTIVE;
    if (Control->Pressed())
        MarkState |= DFCS_PUSHED;
    DrawFrameControl(C, Box, DFC_BUTTON, MarkState);
    C->Font()->Assign(Control->Font());
    TRect Calc = Text;
    DrawText(C, Caption.empty() ? String(" ") : Caption, Calc, DT_CALCRECT | DT_SINGLELINE);
    DrawControlText(C, Caption, Text, DT_LEFT | DT_VCENTER | DT_SINGLELINE, Control->Enabled());
    if (Focused) {
        const int TH = Calc.Height();
        TRect F(Text.Left - 1, (H - TH) / 2 - 1, std::min(Calc.Right + 1, W), (H - TH) / 2 + TH + 1);
        C->DrawFocusRect(F);
    }
}

} // namespace

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 97, 17);
}

TCustomCheckBox::~TCustomCheckBox() = default;

void TCustomCheckBox::SetAlignment(TAlignment Value)
{
    CheckAlignment(Value);
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
    if (FState == Value)
        return;
    if (Value < cbUnchecked || Value > cbGrayed)
        throw EInvalidOperation("Invalid check box state " + std::to_string(static_cast<int>(Value)));
    FState = Value;
    Invalidate();
    if (!IsLoading())
        Click();
}

void TCustomCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbGrayed: SetState(cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    }
}

void TCustomCheckBox::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            Toggle();
            Message.Result = 1;
        }
        return;
    }
    TButtonControl::WndProc(Message);
}

void TCustomCheckBox::Paint()
{
    unsigned St = DFCS_BUTTONCHECK;
    if (FState == cbChecked)
        St |= DFCS_CHECKED;
    else if (FState == cbGrayed)
        St = DFCS_BUTTON3STATE | DFCS_CHECKED;
    PaintCheckControl(this, Canvas(), FAlignment, St, Caption(), HasFocus());
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    SetBounds(0, 0, 113, 17);
    // Only the checked button of a group is a tab stop.
    SetTabStop(false);
}

TRadioButton::~TRadioButton() = default;

void TRadioButton::SetAlignment(TAlignment Value)
{
    CheckAlignment(Value);
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TRadioButton::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    SetTabStop(Value);
    Invalidate();
    if (!Value)
        return;
    if (TWinControl* P = Parent())
        for (int I = 0; I < P->ControlCount(); ++I)
            if (auto* R = dynamic_cast<TRadioButton*>(P->Controls(I)); R && R != this)
                R->SetChecked(false);
    if (!IsLoading())
        Click();
}

void TRadioButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            SetChecked(true);
            Message.Result = 1;
        }
        return;
    }
    TButtonControl::WndProc(Message);
}

void TRadioButton::Paint()
{
    PaintCheckControl(this, Canvas(), FAlignment, DFCS_BUTTONRADIO | (FChecked ? unsigned(DFCS_CHECKED) : 0u),
                      Caption(), HasFocus());
}

// ---------------------------------------------------------------- TWrapControl

TWrapControl::TWrapControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clWindow;
    FParentColor = false;
    SetTabStop(true);
}

TWrapControl::~TWrapControl()
{
    // The Qt widget goes while the control is still whole enough to ignore
    // what it reports on its way out.
    FClosing = true;
    delete FInner;
    FInner = nullptr;
}

void TWrapControl::SetBorderStyle(TFormBorderStyle Value)
{
    if (Value != bsNone && Value != bsSingle)
        throw EInvalidOperation("A control's border style is bsNone or bsSingle");
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    LayoutInner();
    Invalidate();
}

void TWrapControl::SetInnerWidget(QWidget* W)
{
    FInner = W;
    W->setParent(this);
    setFocusProxy(W);
    WatchWidget(W);
    W->setFont(Font()->QtFont());
    UpdatePalette();
    LayoutInner();
    W->show();
}

void TWrapControl::WatchWidget(QWidget* W)
{
    W->installEventFilter(this);
    W->setMouseTracking(true);
}

TRect TWrapControl::InnerRect() const
{
    TRect R = ClientRect();
    if (FBorderStyle == bsSingle)
        InflateRect(R, -2, -2);
    return R;
}

void TWrapControl::LayoutInner()
{
    if (!FInner)
        return;
    const TRect R = InnerRect();
    FInner->setGeometry(R.Left, R.Top, std::max(0, R.Width()), std::max(0, R.Height()));
}

void TWrapControl::UpdatePalette()
{
    if (FInner)
        SetPaletteColors(FInner, FColor, Font()->Color());
}

bool TWrapControl::SwallowDialogKey(Word Key, TShiftState)
{
    // Tab moves the focus or nothing; it never goes into the widget.
    return Key == VK_TAB;
}

void TWrapControl::Paint()
{
    if (FBorderStyle == bsSingle) {
        TRect R = ClientRect();
        DrawEdge(Canvas(), R, EDGE_SUNKEN, BF_RECT);
    }
}

void TWrapControl::ApplyQtFont()
{
    TCustomControl::ApplyQtFont();
    if (FInner) {
        FInner->setFont(Font()->QtFont());
        UpdatePalette();
    }
}

void TWrapControl::ColorChanged()
{
    UpdatePalette();
    TCustomControl::ColorChanged();
}

void TWrapControl::BoundsChanged(int OldWidth, int OldHeight)
{
    LayoutInner();
    TCustomControl::BoundsChanged(OldWidth, OldHeight);
}

void TWrapControl::keyPressEvent(QKeyEvent*)
{
    // Keys the Qt widget passed on: the filter has handled them already.
}

void TWrapControl::keyReleaseEvent(QKeyEvent*) {}

void TWrapControl::mousePressEvent(QMouseEvent* Event)
{
    if (!childAt(Event->position().toPoint()))
        TCustomControl::mousePressEvent(Event);
}

void TWrapControl::mouseReleaseEvent(QMouseEvent* Event)
{
    if (!childAt(Event->position().toPoint()))
        TCustomControl::mouseReleaseEvent(Event);
}

void TWrapControl::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (!childAt(Event->position().toPoint()))
        TCustomControl::mouseDoubleClickEvent(Event);
}

void TWrapControl::mouseMoveEvent(QMouseEvent* Event)
{
    if (!childAt(Event->position().toPoint()))
        TCustomControl::mouseMoveEvent(Event);
}

bool TWrapControl::eventFilter(QObject* Watched, QEvent* Event)
{
    if (FClosing || FForwarding || !FInner)
        return false;
    switch (Event->type()) {
    case QEvent::KeyPress:
        return Watched == FInner && FilterKeyPress(Watched, static_cast<QKeyEvent*>(Event));
    case QEvent::KeyRelease:
        return Watched == FInner && FilterKeyRelease(static_cast<QKeyEvent*>(Event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (auto* W = qobject_cast<QWidget*>(Watched); W && isAncestorOf(W))
            FilterMouse(W, static_cast<QMouseEvent*>(Event));
        return false;
    case QEvent::FocusIn:
        if (Watched == FInner) {
            if (TCustomForm* F = GetParentForm())
                F->FocusControlChanged(this);
            else
                Perform(CM_ENTER);
            Invalidate();
        }
        return false;
    case QEvent::FocusOut:
        if (Watched == FInner) {
            if (!GetParentForm())
                Perform(CM_EXIT);
            Invalidate();
        }
        return false;
    default: return false;
    }
}

bool TWrapControl::FilterKeyPress(QObject* Watched, QKeyEvent* Event)
{
    QPointer<TWrapControl> Self(this);
    TCustomForm* Form = GetParentForm();
    const TShiftState Shift = ShiftStateFromQt(Event->modifiers());
    Word Key = QtKeyToVirtualKey(Event->key(), Event->modifiers());
    if (Key != 0) {
        if (Form && Form->KeyPreview()) {
            TMessage M{WM_KEYDOWN, Key, Shift.toInt(), 0};
            Form->WndProc(M);
            Key = static_cast<Word>(M.WParam);
        }
        if (Key != 0 && Self) {
            TMessage M{WM_KEYDOWN, Key, Shift.toInt(), 0};
            WndProc(M);
            Key = static_cast<Word>(M.WParam);
        }
        if (Key == 0 || !Self)
            return true;
        if (IsDialogKey(Key) && !WantsKey(Key, Shift)) {
            if (Form && Form->Perform(CM_DIALOGKEY, Key, Shift.toInt()) != 0)
                return true;
            if (!Self || SwallowDialogKey(Key, Shift))
                return true;
        }
    }
    const QByteArray Text = Event->text().toLatin1();
    if (Text.isEmpty())
        return false;
    QByteArray Out;
    for (char Ch : Text) {
        if (Form && Form->KeyPreview()) {
            TMessage M{WM_CHAR, static_cast<unsigned char>(Ch), 0, 0};
            Form->WndProc(M);
            Ch = static_cast<char>(M.WParam);
        }
        if (Ch == 0 || !Self)
            continue;
        TMessage M{WM_CHAR, static_cast<unsigned char>(Ch), 0, 0};
        WndProc(M);
        Ch = static_cast<char>(M.WParam);
        if (Ch == 0 || !Self)
            continue;
        // Alt with a character is a mnemonic of the form.
        if (Form && static_cast<unsigned char>(Ch) >= ' ' && Shift.testFlag(ssAlt) &&
            Form->Perform(CM_DIALOGCHAR, static_cast<unsigned char>(Ch), Shift.toInt()) != 0)
            continue;
        Out += Ch;
    }
    if (!Self)
        return true;
    if (Out == Text)
        return false;
    if (Out.isEmpty())
        return true;
    // The handlers changed the characters: the widget gets those instead.
    QKeyEvent Changed(Event->type(), Event->key(), Event->modifiers(), QString::fromLatin1(Out),
                      Event->isAutoRepeat(), static_cast<quint16>(Event->count()));
    FForwarding = true;
    QCoreApplication::sendEvent(Watched, &Changed);
    if (Self)
        FForwarding = false;
    return true;
}

bool TWrapControl::FilterKeyRelease(QKeyEvent* Event)
{
    Word Key = QtKeyToVirtualKey(Event->key(), Event->modifiers());
    if (Key == 0)
        return false;
    QPointer<TWrapControl> Self(this);
    const TShiftState Shift = ShiftStateFromQt(Event->modifiers());
    TCustomForm* Form = GetParentForm();
    if (Form && Form->KeyPreview()) {
        TMessage M{WM_KEYUP, Key, Shift.toInt(), 0};
        Form->WndProc(M);
        Key = static_cast<Word>(M.WParam);
    }
    if (Key != 0 && Self) {
        TMessage M{WM_KEYUP, Key, Shift.toInt(), 0};
        WndProc(M);
        Key = static_cast<Word>(M.WParam);
    }
    return Key == 0 || !Self;
}

void TWrapControl::FilterMouse(QWidget* Watched, QMouseEvent* Event)
{
    const QPoint P = Watched->mapTo(this, Event->position().toPoint());
    const TShiftState Shift = ShiftStateFromQt(Event->modifiers(), Event->buttons());
    unsigned Msg;
    if (Event->type() == QEvent::MouseMove) {
        Msg = WM_MOUSEMOVE;
    } else {
        const bool Down = Event->type() != QEvent::MouseButtonRelease;
        const bool Double = Event->type() == QEvent::MouseButtonDblClick;
        switch (Event->button()) {
        case Qt::LeftButton: Msg = Down ? (Double ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP; break;
        case Qt::RightButton: Msg = Down ? (Double ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP; break;
        case Qt::MiddleButton: Msg = Down ? (Double ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN) : WM_MBUTTONUP; break;
        default: return;
        }
    }
    Perform(Msg, Shift.toInt(), PointToLParam(P.x(), P.y()));
}

// ---------------------------------------------------------------- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWrapControl(AOwner), FEdit(new QLineEdit())
{
    FEdit->setFrame(false);
    FEdit->setMaxLength(32767);
    SetInnerWidget(FEdit);
    SetBounds(0, 0, 121, 21);
    QObject::connect(FEdit, &QLineEdit::textChanged, this, [this] {
        if (!IsLoading() && !Closing())
            Change();
    });
}

TCustomEdit::~TCustomEdit()
{
    QObject::disconnect(FEdit, nullptr, this, nullptr);
}

String TCustomEdit::GetText() const
{
    return FromQString(FEdit->text());
}

void TCustomEdit::SetTextBuf(const String& Value)
{
    String V = Value;
    if (FCharCase == ecUpperCase)
        V = AnsiUpperCase(V);
    else if (FCharCase == ecLowerCase)
        V = AnsiLowerCase(V);
    FEdit->setText(ToQString(V));
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::SetMaxLength(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("MaxLength cannot be negative (" + std::to_string(Value) + ")");
    FMaxLength = Value;
    FEdit->setMaxLength(Value == 0 ? 32767 : Value);
}

bool TCustomEdit::ReadOnly() const
{
    return FEdit->isReadOnly();
}

void TCustomEdit::SetReadOnly(bool Value)
{
    FEdit->setReadOnly(Value);
}

void TCustomEdit::SetPasswordChar(char Value)
{
    if (FPasswordChar == Value)
        return;
    FPasswordChar = Value;
    auto* Old = dynamic_cast<TPasswordStyle*>(FEdit->style());
    if (Value == 0) {
        FEdit->setEchoMode(QLineEdit::Normal);
        FEdit->setStyle(nullptr);
    } else {
        auto* S = new TPasswordStyle(Value);
        S->setParent(FEdit);
        FEdit->setStyle(S);
        FEdit->setEchoMode(QLineEdit::Password);
    }
    delete Old;
}

void TCustomEdit::SetCharCase(TEditCharCase Value)
{
    if (Value < ecNormal || Value > ecLowerCase)
        throw EInvalidOperation("Invalid character case " + std::to_string(static_cast<int>(Value)));
    if (FCharCase == Value)
        return;
    FCharCase = Value;
    delete FEdit->validator();
    FEdit->setValidator(Value == ecNormal ? nullptr : new TCaseValidator(Value, FEdit));
    if (Value != ecNormal)
        SetTextBuf(GetText());
}

bool TCustomEdit::Modified() const
{
    return FEdit->isModified();
}

void TCustomEdit::SetModified(bool Value)
{
    FEdit->setModified(Value);
}

int TCustomEdit::SelStart() const
{
    return FEdit->hasSelectedText() ? FEdit->selectionStart() : FEdit->cursorPosition();
}

void TCustomEdit::SetSelStart(int Value)
{
    FEdit->setCursorPosition(std::clamp(Value, 0, static_cast<int>(FEdit->text().size())));
}

int TCustomEdit::SelLength() const
{
    return static_cast<int>(FEdit->selectedText().size());
}

void TCustomEdit::SetSelLength(int Value)
{
    const int Start = SelStart();
    const int Len = std::clamp(Value, 0, static_cast<int>(FEdit->text().size()) - Start);
    FEdit->setSelection(Start, Len);
}

String TCustomEdit::SelText() const
{
    return FromQString(FEdit->selectedText());
}

void TCustomEdit::SetSelText(const String& Value)
{
    FEdit->insert(ToQString(Value));
}

void TCustomEdit::SelectAll()
{
    FEdit->selectAll();
}

void TCustomEdit::Clear()
{
    SetText(String());
}

bool TCustomEdit::WantsKey(Word Key, TShiftState Shift)
{
    return IsArrowKey(Key) || TWrapControl::WantsKey(Key, Shift);
}

bool TCustomEdit::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FEdit && Event->type() == QEvent::FocusIn && !Closing()) {
        // The line edit takes the focus first, then the whole text is
        // selected or not as AutoSelect says.
        TWrapControl::eventFilter(Watched, Event);
        static_cast<QObject*>(FEdit)->event(Event);
        if (FAutoSelect)
            FEdit->selectAll();
        else if (static_cast<QFocusEvent*>(Event)->reason() != Qt::MouseFocusReason)
            FEdit->deselect();
        return true;
    }
    return TWrapControl::eventFilter(Watched, Event);
}

// ---------------------------------------------------------------- TCustomMemo

namespace {

// The lines of a memo, read from and written to its editor.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

    int Count() const override
    {
        const QTextDocument* D = Doc();
        const int N = D->blockCount();
        return D->lastBlock().length() <= 1 ? N - 1 : N;
    }

    String Get(int Index) const override
    {
        Check(Index, Count());
        return FromQString(Doc()->findBlockByNumber(Index).text());
    }

    void Put(int Index, const String& S) override
    {
        Check(Index, Count());
        const QTextBlock B = Doc()->findBlockByNumber(Index);
        QTextCursor C(B);
        C.setPosition(B.position() + B.length() - 1, QTextCursor::KeepAnchor);
        C.insertText(ToEditorText(S));
    }

    void Insert(int Index, const String& S) override
    {
        const int N = Count();
        Check(Index, N + 1);
        QTextDocument* D = Doc();
        if (Index < N || D->lastBlock().length() <= 1) {
            // A new line (followed by its break) where line Index begins.
            QTextCursor C(D->findBlockByNumber(Index));
            C.insertText(ToEditorText(S) + "\n");
        } else {
            // After a last line without a line break.
            QTextCursor C(D);
            C.movePosition(QTextCursor::End);
            C.insertText("\n" + ToEditorText(S));
        }
    }

    void Delete(int Index) override
    {
        Check(Index, Count());
        QTextDocument* D = Doc();
        const QTextBlock B = D->findBlockByNumber(Index);
        QTextCursor C(D);
        int Start = B.position();
        int End = B.position() + B.length();
        const int DocEnd = D->characterCount() - 1;
        if (End > DocEnd) {
            End = DocEnd;
            if (Index > 0)
                --Start; // the break before a last line without one of its own
        }
        C.setPosition(Start);
        C.setPosition(End, QTextCursor::KeepAnchor);
        C.removeSelectedText();
    }

    void Clear() override { FMemo->Editor()->clear(); }

    void SetText(const String& Value) override { FMemo->SetText(Value); }

protected:
    void SetUpdateState(bool Updating) override { FMemo->Editor()->setUpdatesEnabled(!Updating); }

private:
    QTextDocument* Doc() const { return FMemo->Editor()->document(); }
    static void Check(int Index, int Limit)
    {
        if (Index < 0 || Index >= Limit)
            IndexError(Index);
    }
    TCustomMemo* FMemo;
};

} // namespace

TCustomMemo::TCustomMemo(TComponent* AOwner) : TWrapControl(AOwner), FEditor(new QPlainTextEdit())
{
    FEditor->setFrameShape(QFrame::NoFrame);
    FEditor->document()->setDocumentMargin(1);
    FEditor->setTabChangesFocus(false);
    SetInnerWidget(FEditor);
    WatchWidget(FEditor->viewport());
    FLines = std::make_unique<TMemoStrings>(this);
    SetScrollBars(ssNone);
    SetWordWrap(true);
    SetBounds(0, 0, 185, 89);
    QObject::connect(FEditor, &QPlainTextEdit::textChanged, this, [this] {
        if (!IsLoading() && !Closing())
            Change();
    });
}

TCustomMemo::~TCustomMemo()
{
    QObject::disconnect(FEditor, nullptr, this, nullptr);
}

void TCustomMemo::SetLines(TStrings* Value)
{
    FLines->Assign(Value);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value)
{
    if (Value < ssNone || Value > ssBoth)
        throw EInvalidOperation("Invalid scroll bar style " + std::to_string(static_cast<int>(Value)));
    FScrollBars = Value;
    FEditor->setVerticalScrollBarPolicy(Value == ssVertical || Value == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                : Qt::ScrollBarAlwaysOff);
    FEditor->setHorizontalScrollBarPolicy(Value == ssHorizontal || Value == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                    : Qt::ScrollBarAlwaysOff);
}

void TCustomMemo::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    FEditor->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool TCustomMemo::ReadOnly() const
{
    return FEditor->isReadOnly();
}

void TCustomMemo::SetReadOnly(bool Value)
{
    FEditor->setReadOnly(Value);
}

bool TCustomMemo::Modified() const
{
    return FEditor->document()->isModified();
}

void TCustomMemo::SetModified(bool Value)
{
    FEditor->document()->setModified(Value);
}

void TCustomMemo::Clear()
{
    FEditor->clear();
}

String TCustomMemo::GetText() const
{
    return FromEditorText(FEditor->toPlainText());
}

void TCustomMemo::SetTextBuf(const String& Value)
{
    FEditor->setPlainText(ToEditorText(Value));
}

void TCustomMemo::Change()
{
    if (OnChange)
        OnChange(this);
}

bool TCustomMemo::WantsKey(Word Key, TShiftState Shift)
{
    if (IsArrowKey(Key))
        return true;
    if (Key == VK_RETURN)
        return FWantReturns || Shift.testFlag(ssCtrl);
    if (Key == VK_TAB)
        return FWantTabs && !Shift.testFlag(ssCtrl);
    return TWrapControl::WantsKey(Key, Shift);
}

bool TCustomMemo::SwallowDialogKey(Word Key, TShiftState Shift)
{
    return Key == VK_RETURN || TWrapControl::SwallowDialogKey(Key, Shift);
}

// ---------------------------------------------------------------- TCustomListBox

class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TCustomListBox* List) : FListBox(List) {}

    int Count() const override { return L()->count(); }
    String Get(int Index) const override { return FromQString(Item(Index)->text()); }
    void Put(int Index, const String& S) override { Item(Index)->setText(ToQString(S)); }
    TObject* GetObject(int Index) const override
    {
        return reinterpret_cast<TObject*>(Item(Index)->data(Qt::UserRole).value<quintptr>());
    }
    void PutObject(int Index, TObject* AObject) override
    {
        Item(Index)->setData(Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(AObject)));
    }
    void Insert(int Index, const String& S) override
    {
        if (Index < 0 || Index > Count())
            IndexError(Index);
        ++FListBox->FProgramChange;
        L()->insertItem(Index, ToQString(S));
        --FListBox->FProgramChange;
    }
    int Add(const String& S) override
    {
        const int Index = FListBox->Sorted() ? FListBox->SortedIndex(S) : Count();
        Insert(Index, S);
        return Index;
    }
    void Delete(int Index) override
    {
        Item(Index);
        ++FListBox->FProgramChange;
        delete L()->takeItem(Index);
        --FListBox->FProgramChange;
    }
    void Clear() override
    {
        ++FListBox->FProgramChange;
        L()->clear();
        --FListBox->FProgramChange;
    }

protected:
    void SetUpdateState(bool Updating) override { L()->setUpdatesEnabled(!Updating); }

private:
    QListWidget* L() const { return FListBox->ListWidget(); }
    QListWidgetItem* Item(int Index) const
    {
        if (Index < 0 || Index >= Count())
            IndexError(Index);
        return L()->item(Index);
    }
    TCustomListBox* FListBox;
};

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWrapControl(AOwner), FList(new QListWidget())
{
    // OnClick follows the selection, not every click.
    FControlStyle &= ~TControlStyle(csClickEvents);
    FList->setFrameShape(QFrame::NoFrame);
    FList->setUniformItemSizes(false);
    FList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FDelegate = new TOwnerDrawDelegate(
        FCanvas.get(), [this](int Row, TRect R, TOwnerDrawState S) { DrawItemOnCanvas(Row, R, S); },
        [this](int Row) {
            int H = ItemHeight();
            if (FStyle == lbOwnerDrawVariable)
                MeasureItem(Row, H);
            return H;
        },
        FList);
    FList->setItemDelegate(FDelegate);
    SetInnerWidget(FList);
    WatchWidget(FList->viewport());
    FItems = std::make_unique<TListBoxStrings>(this);
    ApplySelectionMode();
    SetBounds(0, 0, 121, 97);
    QObject::connect(FList, &QListWidget::itemSelectionChanged, this, [this] { SelectionByUser(); });
}

TCustomListBox::~TCustomListBox()
{
    QObject::disconnect(FList, nullptr, this, nullptr);
}

void TCustomListBox::SelectionByUser()
{
    if (FProgramChange == 0 && !IsLoading() && !Closing())
        Click();
}

void TCustomListBox::DrawItemOnCanvas(int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas* C = FCanvas.get();
    C->Font()->Assign(Font());
    C->Brush()->SetStyle(bsSolid);
    if (State.testFlag(odSelected)) {
        C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
    } else {
        C->Brush()->SetColor(FColor);
    }
    if (!Enabled())
        State |= odDisabled;
    DrawItem(Index, Rect, State);
}

void TCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (FStyle != lbStandard && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    TCanvas* C = FCanvas.get();
    C->FillRect(Rect);
    if (State.testFlag(odDisabled) && !State.testFlag(odSelected))
        C->Font()->SetColor(clGrayText);
    if (Index < Count())
        C->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TCustomListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TCustomListBox::SetItems(TStrings* Value)
{
    FItems->Assign(Value);
}

int TCustomListBox::Count() const
{
    return FList->count();
}

void TCustomListBox::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

int TCustomListBox::ItemIndex() const
{
    if (FMultiSelect)
        return FList->currentRow();
    const QList<QListWidgetItem*> Sel = FList->selectedItems();
    return Sel.isEmpty() ? -1 : FList->row(Sel.first());
}

void TCustomListBox::SetItemIndex(int Value)
{
    if (IsLoading()) {
        FPendingItemIndex = Value;
        return;
    }
    if (Value < -1 || Value >= Count())
        IndexError(Value);
    ++FProgramChange;
    if (Value < 0) {
        FList->clearSelection();
        FList->setCurrentRow(-1);
    } else if (FMultiSelect) {
        FList->setCurrentRow(Value, QItemSelectionModel::NoUpdate);
    } else {
        FList->setCurrentRow(Value, QItemSelectionModel::ClearAndSelect);
    }
    --FProgramChange;
}

void TCustomListBox::ApplySelectionMode()
{
    FList->setSelectionMode(!FMultiSelect       ? QAbstractItemView::SingleSelection
                            : FExtendedSelect ? QAbstractItemView::ExtendedSelection
                                              : QAbstractItemView::MultiSelection);
}

void TCustomListBox::SetMultiSelect(bool Value)
{
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    ++FProgramChange;
    ApplySelectionMode();
    --FProgramChange;
}

void TCustomListBox::SetExtendedSelect(bool Value)
{
    if (FExtendedSelect == Value)
        return;
    FExtendedSelect = Value;
    ++FProgramChange;
    ApplySelectionMode();
    --FProgramChange;
}

bool TCustomListBox::Selected(int Index) const
{
    CheckIndex(Index);
    return FList->item(Index)->isSelected();
}

void TCustomListBox::SetSelected(int Index, bool Value)
{
    CheckIndex(Index);
    ++FProgramChange;
    if (!FMultiSelect && Value)
        FList->setCurrentRow(Index, QItemSelectionModel::ClearAndSelect);
    else
        FList->item(Index)->setSelected(Value);
    --FProgramChange;
}

int TCustomListBox::SelCount() const
{
    return static_cast<int>(FList->selectedItems().size());
}

void TCustomListBox::ClearSelection()
{
    ++FProgramChange;
    FList->clearSelection();
    --FProgramChange;
}

int TCustomListBox::SortedIndex(const String& S) const
{
    // After the items that sort before or equal to S.
    int Lo = 0, Hi = Count();
    while (Lo < Hi) {
        const int Mid = (Lo + Hi) / 2;
        if (AnsiCompareText(FromQString(FList->item(Mid)->text()), S) <= 0)
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    return Lo;
}

void TCustomListBox::SortItems()
{
    struct TEntry {
        QListWidgetItem* Item;
        String Text;
    };
    std::vector<TEntry> Entries;
    QListWidgetItem* Current = FList->currentItem();
    ++FProgramChange;
    while (FList->count() > 0) {
        QListWidgetItem* It = FList->takeItem(0);
        Entries.push_back({It, FromQString(It->text())});
    }
    std::stable_sort(Entries.begin(), Entries.end(),
                     [](const TEntry& A, const TEntry& B) { return AnsiCompareText(A.Text, B.Text) < 0; });
    for (const TEntry& E : Entries)
        FList->addItem(E.Item);
    if (Current)
        FList->setCurrentItem(Current, QItemSelectionModel::NoUpdate);
    --FProgramChange;
}

void TCustomListBox::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    FSorted = Value;
    if (Value)
        SortItems();
}

void TCustomListBox::SetStyle(TListBoxStyle Value)
{
    if (Value < lbStandard || Value > lbOwnerDrawVariable)
        throw EInvalidOperation("Invalid list box style " + std::to_string(static_cast<int>(Value)));
    if (FStyle == Value)
        return;
    FStyle = Value;
    FDelegate->HeightsChanged(FList);
    FList->viewport()->update();
}

int TCustomListBox::ItemHeight() const
{
    return FStyle == lbStandard ? Font()->Metrics().tmHeight : FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("An item height must be at least 1 (" + std::to_string(Value) + ")");
    if (FItemHeight == Value)
        return;
    FItemHeight = Value;
    FDelegate->HeightsChanged(FList);
}

void TCustomListBox::SetIntegralHeight(bool Value)
{
    if (FIntegralHeight == Value)
        return;
    FIntegralHeight = Value;
    SetBounds(Left(), Top(), Width(), Height());
}

void TCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FIntegralHeight && FStyle != lbOwnerDrawVariable && !ComponentState().testFlag(csLoading)) {
        const int Border = BorderStyle() == bsSingle ? 4 : 0;
        const int H = ItemHeight();
        const int Rows = (AHeight - Border) / H;
        if (Rows >= 1)
            AHeight = Border + Rows * H;
    }
    TWrapControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

int TCustomListBox::TopIndex() const
{
    const QModelIndex I = FList->indexAt(QPoint(0, 0));
    return I.isValid() ? I.row() : 0;
}

void TCustomListBox::SetTopIndex(int Value)
{
    CheckIndex(Value);
    FList->doItemsLayout();
    FList->scrollToItem(FList->item(Value), QAbstractItemView::PositionAtTop);
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const
{
    const QModelIndex I = FList->indexAt(QPoint(Pos.X, Pos.Y));
    if (I.isValid())
        return I.row();
    return Existing ? -1 : Count();
}

TRect TCustomListBox::ItemRect(int Index) const
{
    CheckIndex(Index);
    return TRect::FromQRect(FList->visualItemRect(FList->item(Index)));
}

void TCustomListBox::Clear()
{
    FItems->Clear();
}

bool TCustomListBox::IsPropertyStored(const char* Name) const
{
    if (String(Name) == "ItemHeight")
        return FStyle != lbStandard;
    return TWrapControl::IsPropertyStored(Name);
}

bool TCustomListBox::WantsKey(Word Key, TShiftState Shift)
{
    return IsArrowKey(Key) || TWrapControl::WantsKey(Key, Shift);
}

void TCustomListBox::ApplyQtFont()
{
    TWrapControl::ApplyQtFont();
    if (FDelegate)
        FDelegate->HeightsChanged(FList);
}

void TCustomListBox::Loaded()
{
    TWrapControl::Loaded();
    if (FIntegralHeight)
        SetBounds(Left(), Top(), Width(), Height());
    if (FPendingItemIndex != -1) {
        const int I = FPendingItemIndex;
        FPendingItemIndex = -1;
        SetItemIndex(I);
    }
}

// ---------------------------------------------------------------- TCustomComboBox

class TComboEditor : public QComboBox {
public:
    explicit TComboEditor(TCustomComboBox* Owner) : FOwner(Owner) {}

    void showPopup() override
    {
        FOwner->DropDown();
        QComboBox::showPopup();
        update();
    }
    void hidePopup() override
    {
        const bool Was = view() && view()->isVisible();
        QComboBox::hidePopup();
        update();
        if (Was)
            FOwner->CloseUp();
    }
    // Where the line edit of an editable combo goes: inside the border, left
    // of the button.
    void PlaceLineEdit()
    {
        if (!lineEdit())
            return;
        const int B = FOwner->Style() == csSimple ? 0 : GetSystemMetrics(SM_CXVSCROLL);
        lineEdit()->setGeometry(3, 3, std::max(0, width() - 6 - B), std::max(0, height() - 6));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QImage Image(size(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        FOwner->PaintFace(Image, hasFocus());
        QPainter P(this);
        P.drawImage(0, 0, Image);
    }
    void resizeEvent(QResizeEvent* Event) override
    {
        QComboBox::resizeEvent(Event);
        PlaceLineEdit();
    }
    void showEvent(QShowEvent* Event) override
    {
        QComboBox::showEvent(Event);
        PlaceLineEdit();
    }
    void changeEvent(QEvent* Event) override
    {
        QComboBox::changeEvent(Event);
        PlaceLineEdit();
    }

private:
    TCustomComboBox* FOwner;
};

class TComboBoxStrings : public TStrings {
public:
    explicit TComboBoxStrings(TCustomComboBox* Combo) : FComboBox(Combo) {}

    int Count() const override { return C()->count(); }
    String Get(int Index) const override
    {
        Check(Index);
        return FromQString(C()->itemText(Index));
    }
    void Put(int Index, const String& S) override
    {
        Check(Index);
        C()->setItemText(Index, ToQString(S));
    }
    TObject* GetObject(int Index) const override
    {
        Check(Index);
        return reinterpret_cast<TObject*>(C()->itemData(Index).value<quintptr>());
    }
    void PutObject(int Index, TObject* AObject) override
    {
        Check(Index);
        C()->setItemData(Index, QVariant::fromValue(reinterpret_cast<quintptr>(AObject)));
    }
    void Insert(int Index, const String& S) override
    {
        if (Index < 0 || Index > Count())
            IndexError(Index);
        Guarded([&] { C()->insertItem(Index, ToQString(S)); });
    }
    int Add(const String& S) override
    {
        const int Index = FComboBox->Sorted() ? FComboBox->SortedIndex(S) : Count();
        Insert(Index, S);
        return Index;
    }
    void Delete(int Index) override
    {
        Check(Index);
        Guarded([&] { C()->removeItem(Index); });
    }
    void Clear() override
    {
        // The text of an editable combo stays.
        Guarded([&] {
            const QString Text = C()->currentText();
            C()->clear();
            if (C()->isEditable())
                C()->setEditText(Text);
        });
    }

private:
    template <class F>
    void Guarded(F&& Body)
    {
        ++FComboBox->FProgramChange;
        QString Text;
        const bool KeepText = C()->isEditable();
        if (KeepText)
            Text = C()->currentText();
        try {
            Body();
        } catch (...) {
            --FComboBox->FProgramChange;
            throw;
        }
        // Inserting into an empty editable combo must not change its text.
        if (KeepText && C()->currentText() != Text)
            C()->setEditText(Text);
        --FComboBox->FProgramChange;
    }
    QComboBox* C() const { return FComboBox->ComboBox(); }
    void Check(int Index) const
    {
        if (Index < 0 || Index >= Count())
            IndexError(Index);
    }
    TCustomComboBox* FComboBox;
};

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWrapControl(AOwner), FCombo(new TComboEditor(this))
{
    FControlStyle &= ~TControlStyle(csClickEvents);
    FDelegate = new TOwnerDrawDelegate(
        FCanvas.get(),
        [this](int Row, TRect R, TOwnerDrawState S) {
            TCanvas* C = FCanvas.get();
            C->Font()->Assign(Font());
            C->Brush()->SetStyle(bsSolid);
            if (S.testFlag(odSelected)) {
                C->Brush()->SetColor(clHighlight);
                C->Font()->SetColor(clHighlightText);
            } else {
                C->Brush()->SetColor(FColor);
            }
            DrawItem(Row, R, S);
        },
        [this](int Row) {
            int H = IsOwnerDraw() ? FItemHeight : Font()->Metrics().tmHeight + 2;
            if (FStyle == csOwnerDrawVariable)
                MeasureItem(Row, H);
            return H;
        },
        FCombo);
    FCombo->setItemDelegate(FDelegate);
    FCombo->setMaxVisibleItems(FDropDownCount);
    FCombo->setInsertPolicy(QComboBox::NoInsert);
    SetInnerWidget(FCombo);
    FItems = std::make_unique<TComboBoxStrings>(this);
    SetBounds(0, 0, 145, 21);
    ApplyStyle();
    QObject::connect(FCombo, &QComboBox::activated, this, [this](int) {
        if (FProgramChange || IsLoading() || Closing())
            return;
        QPointer<TCustomComboBox> Self(this);
        Click();
        if (Self)
            Change();
    });
}

TCustomComboBox::~TCustomComboBox()
{
    QObject::disconnect(FCombo, nullptr, this, nullptr);
    if (FCombo->lineEdit())
        QObject::disconnect(FCombo->lineEdit(), nullptr, this, nullptr);
}

QComboBox* TCustomComboBox::ComboBox() const
{
    return FCombo;
}

int TCustomComboBox::EditHeight() const
{
    return Font()->Metrics().tmHeight + 8;
}

TRect TCustomComboBox::InnerRect() const
{
    TRect R = ClientRect();
    if (FStyle == csSimple)
        R.Bottom = std::min(R.Bottom, R.Top + EditHeight());
    return R;
}

void TCustomComboBox::BoundsChanged(int OldWidth, int OldHeight)
{
    TWrapControl::BoundsChanged(OldWidth, OldHeight);
    if (FSimpleList) {
        TRect R = ClientRect();
        R.Top = InnerRect().Bottom;
        InflateRect(R, -2, -2);
        FSimpleList->setGeometry(R.Left, R.Top, std::max(0, R.Width()), std::max(0, R.Height()));
    }
}

void TCustomComboBox::Paint()
{
    // The list of a simple combo sits in a sunken border below the edit.
    if (FSimpleList) {
        TRect R = ClientRect();
        R.Top = InnerRect().Bottom;
        DrawEdge(Canvas(), R, EDGE_SUNKEN, BF_RECT);
    }
}

void TCustomComboBox::ApplyStyle()
{
    ++FProgramChange;
    const bool Editable = IsEditable();
    if (FCombo->isEditable() != Editable) {
        if (FCombo->lineEdit())
            QObject::disconnect(FCombo->lineEdit(), nullptr, this, nullptr);
        FCombo->setEditable(Editable);
        if (QLineEdit* E = FCombo->lineEdit()) {
            E->setFrame(false);
            E->setMaxLength(FMaxLength == 0 ? 32767 : FMaxLength);
            WatchWidget(E);
            QObject::connect(E, &QLineEdit::textEdited, this, [this] {
                if (!FProgramChange && !IsLoading() && !Closing())
                    Change();
            });
        }
        FCombo->PlaceLineEdit();
    }
    if (FStyle == csSimple && !FSimpleList) {
        FSimpleList = new QListView(this);
        FSimpleList->setFrameShape(QFrame::NoFrame);
        FSimpleList->setModel(FCombo->model());
        FSimpleList->setItemDelegate(FDelegate);
        FSimpleList->setFocusPolicy(Qt::NoFocus);
        WatchWidget(FSimpleList->viewport());
        QObject::connect(FSimpleList, &QListView::clicked, this, [this](const QModelIndex& I) {
            if (FProgramChange || IsLoading() || Closing())
                return;
            if (!Focused() && CanFocus())
                SetFocus();
            FCombo->setCurrentIndex(I.row());
            QPointer<TCustomComboBox> Self(this);
            Click();
            if (Self)
                Change();
        });
        QObject::connect(FCombo, &QComboBox::currentIndexChanged, FSimpleList, [this](int I) {
            FSimpleList->setCurrentIndex(FCombo->model()->index(I, 0));
        });
        SetPaletteColors(FSimpleList, FColor, Font()->Color());
        FSimpleList->show();
    } else if (FStyle != csSimple && FSimpleList) {
        delete FSimpleList;
        FSimpleList = nullptr;
    }
    LayoutInner();
    BoundsChanged(Width(), Height());
    FDelegate->HeightsChanged(FCombo->view());
    --FProgramChange;
    Invalidate();
    FCombo->update();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    if (Value < csDropDown || Value > csOwnerDrawVariable)
        throw EInvalidOperation("Invalid combo box style " + std::to_string(static_cast<int>(Value)));
    if (FStyle == Value)
        return;
    FStyle = Value;
    ApplyStyle();
}

void TCustomComboBox::SetItems(TStrings* Value)
{
    FItems->Assign(Value);
}

int TCustomComboBox::ItemIndex() const
{
    return FCombo->currentIndex();
}

void TCustomComboBox::SetItemIndex(int Value)
{
    if (IsLoading()) {
        FPendingItemIndex = Value;
        return;
    }
    if (Value < -1 || Value >= FCombo->count())
        IndexError(Value);
    ++FProgramChange;
    FCombo->setCurrentIndex(Value);
    if (Value < 0 && FCombo->isEditable())
        FCombo->setEditText(QString());
    --FProgramChange;
    FCombo->update();
}

String TCustomComboBox::GetText() const
{
    if (FCombo->isEditable())
        return FromQString(FCombo->lineEdit()->text());
    return FCombo->currentIndex() < 0 ? String() : FromQString(FCombo->currentText());
}

void TCustomComboBox::SetTextBuf(const String& Value)
{
    if (IsLoading()) {
        FPendingText = Value;
        FHavePendingText = true;
        return;
    }
    ++FProgramChange;
    if (FCombo->isEditable()) {
        FCombo->setEditText(ToQString(Value));
    } else {
        // Without an edit the text is always an item's (or empty).
        FCombo->setCurrentIndex(FItems->IndexOf(Value));
    }
    --FProgramChange;
    FCombo->update();
}

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (IsOwnerDraw() && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    TCanvas* C = FCanvas.get();
    C->FillRect(Rect);
    if (Index >= 0 && Index < FCombo->count()) {
        const int TH = Font()->Metrics().tmHeight;
        C->TextOut(Rect.Left + 2, Rect.Top + (Rect.Height() - TH) / 2, FItems->Get(Index));
    }
}

void TCustomComboBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::PaintFace(QImage& Image, bool HasFocus)
{
    TCanvas* C = FCanvas.get();
    QImage* Old = C->Target();
    C->SetTarget(&Image);
    try {
        const int W = Image.width(), H = Image.height();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FColor);
        C->FillRect(TRect(0, 0, W, H));
        TRect R(0, 0, W, H);
        DrawEdge(C, R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        if (FStyle != csSimple) {
            const int BW = GetSystemMetrics(SM_CXVSCROLL);
            TRect B(R.Right - BW, R.Top, R.Right, R.Bottom);
            unsigned St = DFCS_SCROLLCOMBOBOX;
            if (FCombo->view() && FCombo->view()->isVisible())
                St |= DFCS_PUSHED;
            if (!Enabled())
                St |= DFCS_INACTIVE;
            DrawFrameControl(C, B, DFC_SCROLL, St);
            R.Right -= BW;
        }
        if (!IsEditable()) {
            InflateRect(R, -1, -1);
            TOwnerDrawState State = odComboBoxEdit;
            const bool Dropped = FCombo->view() && FCombo->view()->isVisible();
            if (HasFocus && !Dropped)
                State |= TOwnerDrawState(odSelected) | odFocused;
            if (!Enabled())
                State |= odDisabled;
            C->Font()->Assign(Font());
            if (State.testFlag(odSelected)) {
                C->Brush()->SetColor(clHighlight);
                C->Font()->SetColor(clHighlightText);
            } else {
                C->Brush()->SetColor(FColor);
                if (!Enabled())
                    C->Font()->SetColor(clGrayText);
            }
            C->IntersectClipRect(R);
            DrawItem(FCombo->currentIndex(), R, State);
            if (State.testFlag(odFocused))
                C->DrawFocusRect(R);
        }
    } catch (...) {
        C->SetTarget(Old);
        throw;
    }
    C->SetTarget(Old);
}

void TCustomComboBox::SetDropDownCount(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("DropDownCount must be at least 1 (" + std::to_string(Value) + ")");
    FDropDownCount = Value;
    FCombo->setMaxVisibleItems(Value);
}

int TCustomComboBox::SortedIndex(const String& S) const
{
    int Lo = 0, Hi = FCombo->count();
    while (Lo < Hi) {
        const int Mid = (Lo + Hi) / 2;
        if (AnsiCompareText(FromQString(FCombo->itemText(Mid)), S) <= 0)
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    return Lo;
}

void TCustomComboBox::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    FSorted = Value;
    if (!Value || FCombo->count() < 2)
        return;
    struct TEntry {
        String Text;
        QVariant Data;
    };
    std::vector<TEntry> Entries;
    for (int I = 0; I < FCombo->count(); ++I)
        Entries.push_back({FromQString(FCombo->itemText(I)), FCombo->itemData(I)});
    const String Current = GetText();
    const int CurIndex = FCombo->currentIndex();
    const String CurItem = CurIndex >= 0 ? Entries[static_cast<size_t>(CurIndex)].Text : String();
    std::stable_sort(Entries.begin(), Entries.end(),
                     [](const TEntry& A, const TEntry& B) { return AnsiCompareText(A.Text, B.Text) < 0; });
    ++FProgramChange;
    FCombo->clear();
    for (const TEntry& E : Entries)
        FCombo->addItem(ToQString(E.Text), E.Data);
    FCombo->setCurrentIndex(CurIndex >= 0 ? FItems->IndexOf(CurItem) : -1);
    if (FCombo->isEditable())
        FCombo->setEditText(ToQString(Current));
    --FProgramChange;
}

void TCustomComboBox::SetItemHeight(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("An item height must be at least 1 (" + std::to_string(Value) + ")");
    FItemHeight = Value;
    FDelegate->HeightsChanged(FCombo->view());
}

void TCustomComboBox::SetMaxLength(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("MaxLength cannot be negative (" + std::to_string(Value) + ")");
    FMaxLength = Value;
    if (QLineEdit* E = FCombo->lineEdit())
        E->setMaxLength(Value == 0 ? 32767 : Value);
}

bool TCustomComboBox::DroppedDown() const
{
    return FCombo->view() && FCombo->view()->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool Value)
{
    if (Value == DroppedDown())
        return;
    if (Value)
        FCombo->showPopup();
    else
        FCombo->hidePopup();
}

void TCustomComboBox::Clear()
{
    FItems->Clear();
    SetText(String());
}

bool TCustomComboBox::WantsKey(Word Key, TShiftState Shift)
{
    // Up and down choose items; left and right move in the edit.
    if (Key == VK_UP || Key == VK_DOWN)
        return true;
    if ((Key == VK_LEFT || Key == VK_RIGHT) && IsEditable())
        return true;
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && DroppedDown())
        return true;
    return TWrapControl::WantsKey(Key, Shift);
}

void TCustomComboBox::UpdatePalette()
{
    TWrapControl::UpdatePalette();
    if (FSimpleList)
        SetPaletteColors(FSimpleList, FColor, Font()->Color());
}

void TCustomComboBox::ApplyQtFont()
{
    TWrapControl::ApplyQtFont();
    if (FSimpleList)
        FSimpleList->setFont(Font()->QtFont());
    if (FDelegate)
        FDelegate->HeightsChanged(FCombo->view());
}

void TCustomComboBox::Loaded()
{
    TWrapControl::Loaded();
    // Items come with the form; the index and the text follow them.
    if (FPendingItemIndex != -1) {
        const int I = FPendingItemIndex;
        FPendingItemIndex = -1;
        SetItemIndex(I);
    }
    if (FHavePendingText) {
        FHavePendingText = false;
        SetTextBuf(FPendingText);
        FPendingText.clear();
    }
}

// ---------------------------------------------------------------- TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TWrapControl(AOwner), FBar(new QScrollBar(Qt::Horizontal))
{
    FColor = clBtnFace;
    SetBorderStyle(bsNone);
    SetInnerWidget(FBar);
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
    SyncBar();
    QObject::connect(FBar, &QScrollBar::actionTriggered, this, [this](int Action) {
        if (FSyncing || Closing())
            return;
        TScrollCode Code;
        int Pos = FBar->sliderPosition();
        switch (Action) {
        case QAbstractSlider::SliderSingleStepAdd: Code = scLineDown; break;
        case QAbstractSlider::SliderSingleStepSub: Code = scLineUp; break;
        case QAbstractSlider::SliderPageStepAdd:
            Code = scPageDown;
            Pos = std::min(FPosition + FLargeChange, FBar->maximum());
            break;
        case QAbstractSlider::SliderPageStepSub:
            Code = scPageUp;
            Pos = std::max(FPosition - FLargeChange, FMin);
            break;
        case QAbstractSlider::SliderToMinimum: Code = scTop; break;
        case QAbstractSlider::SliderToMaximum: Code = scBottom; break;
        case QAbstractSlider::SliderMove: Code = scTrack; break;
        default: return;
        }
        Scroll(Code, Pos);
        ++FSyncing;
        FBar->setSliderPosition(Pos);
        --FSyncing;
        SetPosition(Pos);
    });
    QObject::connect(FBar, &QScrollBar::sliderReleased, this, [this] {
        if (FSyncing || Closing())
            return;
        int Pos = FPosition;
        Scroll(scPosition, Pos);
        SetPosition(Pos);
    });
}

TScrollBar::~TScrollBar()
{
    QObject::disconnect(FBar, nullptr, this, nullptr);
}

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (Value != sbHorizontal && Value != sbVertical)
        throw EInvalidOperation("Invalid scroll bar kind " + std::to_string(static_cast<int>(Value)));
    if (FKind == Value)
        return;
    FKind = Value;
    FBar->setOrientation(Value == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    if (!IsLoading())
        SetBounds(Left(), Top(), Height(), Width());
}

void TScrollBar::SetSmallChange(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("SmallChange must be at least 1 (" + std::to_string(Value) + ")");
    FSmallChange = Value;
    SyncBar();
}

void TScrollBar::SetLargeChange(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("LargeChange must be at least 1 (" + std::to_string(Value) + ")");
    FLargeChange = Value;
    SyncBar();
}

void TScrollBar::SetPageSize(int Value)
{
    if (Value < 0 || (!IsLoading() && Value > FMax - FMin + 1))
        throw EInvalidOperation("PageSize must lie between 0 and the range (" + std::to_string(Value) + ")");
    FPageSize = Value;
    SetParams(FPosition, FMin, FMax);
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    if (AMin > AMax && !IsLoading())
        throw EInvalidOperation("Scroll bar property out of range: Min " + std::to_string(AMin) + " > Max " +
                                std::to_string(AMax));
    FMin = AMin;
    FMax = AMax;
    const int Top = std::max(FMin, FMax - std::max(FPageSize - 1, 0));
    const int P = IsLoading() ? APosition : std::clamp(APosition, FMin, Top);
    const bool Changed = P != FPosition;
    FPosition = P;
    SyncBar();
    if (Changed && !IsLoading())
        Change();
}

void TScrollBar::SyncBar()
{
    ++FSyncing;
    FBar->setRange(FMin, std::max(FMin, FMax - std::max(FPageSize - 1, 0)));
    FBar->setSingleStep(FSmallChange);
    FBar->setPageStep(FPageSize > 0 ? FPageSize : FLargeChange);
    FBar->setValue(FPosition);
    --FSyncing;
}

void TScrollBar::Change()
{
    if (OnChange)
        OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos)
{
    if (OnScroll)
        OnScroll(this, ScrollCode, ScrollPos);
}

bool TScrollBar::WantsKey(Word Key, TShiftState Shift)
{
    return IsArrowKey(Key) || TWrapControl::WantsKey(Key, Shift);
}

void TScrollBar::Loaded()
{
    TWrapControl::Loaded();
    SetParams(FPosition, FMin, FMax);
}

// ---------------------------------------------------------------- registration

void RegisterStdCtrlsClasses()
{
    RegisterClasses<TLabel, TGroupBox, TButton, TCheckBox, TRadioButton, TEdit, TMemo, TListBox, TComboBox,
                    TScrollBar>();
}

namespace {
[[maybe_unused]] const bool StdCtrlsRegistered = (RegisterStdCtrlsClasses(), true);
}
