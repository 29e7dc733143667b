#include "ExtCtrls.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

// ---------------------------------------------------------------- helpers

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas->Pen()->SetWidth(1);
    --Rect.Bottom;
    --Rect.Right;
    while (Width > 0) {
        --Width;
        const TPoint TopRight(Rect.Right, Rect.Top);
        TPoint BottomLeft(Rect.Left, Rect.Bottom);
        Canvas->Pen()->SetColor(TopColor);
        const TPoint Upper[] = {BottomLeft, Rect.TopLeft(), TopRight};
        Canvas->Polyline(Upper);
        Canvas->Pen()->SetColor(BottomColor);
        --BottomLeft.X;
        const TPoint Lower[] = {TopRight, Rect.BottomRight(), BottomLeft};
        Canvas->Polyline(Lower);
        InflateRect(Rect, -1, -1);
    }
    ++Rect.Bottom;
    ++Rect.Right;
}

namespace {

unsigned AlignmentFlags(TAlignment A)
{
    switch (A) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

void CheckBorderStyle(TBorderStyle Value)
{
    if (Value != bsNone && Value != bsSingle)
        throw EInvalidOperation("Invalid border style for a control: only bsNone and bsSingle are allowed");
}

// Text of a disabled control: embossed in the button colours.
void DrawEnabledText(TCanvas* C, const String& Text, TRect R, unsigned Flags, bool Enabled)
{
    if (Enabled) {
        DrawText(C, Text, R, Flags);
        return;
    }
    const TColor Old = C->Font()->Color();
    TRect Shifted = R;
    OffsetRect(Shifted, 1, 1);
    C->Font()->SetColor(clBtnHighlight);
    DrawText(C, Text, Shifted, Flags);
    C->Font()->SetColor(clBtnShadow);
    DrawText(C, Text, R, Flags);
    C->Font()->SetColor(Old);
}

// A dashed outline that shows a control's place while it is designed.
void DrawDesignFrame(TCanvas* C, int W, int H)
{
    C->Pen()->SetStyle(psDash);
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(0, 0, W, H);
    C->Pen()->SetStyle(psSolid);
}

} // namespace

// ---------------------------------------------------------------- TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = TControlStyle(csAcceptsControls) | csCaptureMouse | csClickEvents | csSetCaption | csOpaque |
                    csDoubleClicks | csReplicatable;
    FColor = clBtnFace;
    FParentColor = false;
    SetBounds(0, 0, 185, 41);
}

TCustomPanel::~TCustomPanel() = default;

void TCustomPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    if (FBevelInner == Value)
        return;
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    if (FBevelOuter == Value)
        return;
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("BevelWidth must be at least 1 (got " + IntToStr(Value) + ")");
    if (FBevelWidth == Value)
        return;
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("BorderWidth must not be negative (got " + IntToStr(Value) + ")");
    if (FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value)
{
    CheckBorderStyle(Value);
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetFullRepaint(bool Value)
{
    FFullRepaint = Value;
    setAttribute(Qt::WA_StaticContents, !Value);
}

void TCustomPanel::SetParentBackground(bool Value)
{
    if (ParentBackground() == Value)
        return;
    if (Value)
        FControlStyle = (FControlStyle | csParentBackground) & ~TControlStyle(csOpaque);
    else
        FControlStyle = (FControlStyle | csOpaque) & ~TControlStyle(csParentBackground);
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect)
{
    TCustomControl::AdjustClientRect(Rect);
    int Size = FBorderWidth;
    if (FBorderStyle == bsSingle)
        Size += 2;
    if (FBevelOuter != bvNone)
        Size += FBevelWidth;
    if (FBevelInner != bvNone)
        Size += FBevelWidth;
    InflateRect(Rect, -Size, -Size);
}

void TCustomPanel::BevelColors(TBevelCut Bevel, TColor& TopColor, TColor& BottomColor)
{
    TopColor = Bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    BottomColor = Bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

void TCustomPanel::Paint()
{
    TCanvas* C = FCanvas.get();
    TRect R = ClientRect();
    if (FBorderStyle == bsSingle)
        DrawEdge(C, R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    TColor Top, Bottom;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, Top, Bottom);
        Frame3D(C, R, Top, Bottom, FBevelWidth);
    }
    Frame3D(C, R, FColor, FColor, FBorderWidth);
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, Top, Bottom);
        Frame3D(C, R, Top, Bottom, FBevelWidth);
    }
    // A panel that is not opaque (ParentBackground, or a class that took the
    // style away) lets its parent show inside the bevels.
    if (FControlStyle.testFlag(csOpaque)) {
        C->Brush()->SetColor(FColor);
        C->FillRect(R);
    }
    C->Brush()->SetStyle(bsClear);
    C->Font()->Assign(Font());
    const int FontHeight = C->TextHeight("W");
    R.Top = (R.Bottom + R.Top - FontHeight) / 2;
    R.Bottom = R.Top + FontHeight;
    DrawText(C, Caption(), R, DT_EXPANDTABS | DT_VCENTER | AlignmentFlags(FAlignment));
}

void TCustomPanel::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomControl::BoundsChanged(OldWidth, OldHeight);
    if (FFullRepaint)
        Invalidate();
}

// ---------------------------------------------------------------- TShape

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>())
{
    FControlStyle |= csReplicatable;
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 65, 65);
}

TShape::~TShape() = default;

void TShape::SetShape(TShapeType Value)
{
    if (FShape == Value)
        return;
    FShape = Value;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas* C = FCanvas.get();
    C->SetPen(FPen.get());
    C->SetBrush(FBrush.get());
    const int PenWidth = FPen->Width();
    int X = PenWidth / 2;
    int Y = X;
    int W = FWidth - PenWidth + 1;
    int H = FHeight - PenWidth + 1;
    if (PenWidth == 0) {
        --W;
        --H;
    }
    const int S = std::min(W, H);
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        X += (W - S) / 2;
        Y += (H - S) / 2;
        W = S;
        H = S;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare: C->Rectangle(X, Y, X + W, Y + H); break;
    case stRoundRect:
    case stRoundSquare: C->RoundRect(X, Y, X + W, Y + H, S / 4, S / 4); break;
    case stCircle:
    case stEllipse: C->Ellipse(X, Y, X + W, Y + H); break;
    }
}

// ---------------------------------------------------------------- TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    FControlStyle |= csReplicatable;
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage()
{
    FPicture->OnChange = nullptr;
}

void TImage::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    if (Value)
        PictureChanged();
}

void TImage::SetCenter(bool Value)
{
    if (FCenter == Value)
        return;
    FCenter = Value;
    PictureChanged();
}

void TImage::SetProportional(bool Value)
{
    if (FProportional == Value)
        return;
    FProportional = Value;
    PictureChanged();
}

void TImage::SetStretch(bool Value)
{
    if (FStretch == Value)
        return;
    FStretch = Value;
    PictureChanged();
}

void TImage::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    PictureChanged();
}

TCanvas* TImage::Canvas()
{
    return PictureBitmapCanvas(FPicture.get(), FWidth, FHeight);
}

TRect TImage::DestRect() const
{
    int W = FPicture->Width();
    int H = FPicture->Height();
    const int CW = ClientWidth();
    const int CH = ClientHeight();
    if (FStretch || (FProportional && (W > CW || H > CH))) {
        if (FProportional && W > 0 && H > 0) {
            const double Aspect = static_cast<double>(W) / H;
            if (W > H) {
                W = CW;
                H = static_cast<int>(CW / Aspect);
                if (H > CH) {
                    H = CH;
                    W = static_cast<int>(CH * Aspect);
                }
            } else {
                H = CH;
                W = static_cast<int>(CH * Aspect);
                if (W > CW) {
                    W = CW;
                    H = static_cast<int>(CW / Aspect);
                }
            }
        } else {
            W = CW;
            H = CH;
        }
    }
    TRect R(0, 0, W, H);
    if (FCenter)
        OffsetRect(R, (CW - W) / 2, (CH - H) / 2);
    return R;
}

void TImage::PictureChanged()
{
    if (FInPictureChanged)
        return;
    FInPictureChanged = true;
    try {
        TGraphic* G = FPicture->Graphic();
        if (G && !dynamic_cast<TIcon*>(G) && G->Transparent() != FTransparent)
            G->SetTransparent(FTransparent);
        if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
            SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
        // A picture that covers the whole control without holes makes it opaque.
        const TRect D = DestRect();
        if (G && !G->Empty() && !G->Transparent() && D.Left <= 0 && D.Top <= 0 && D.Right >= FWidth &&
            D.Bottom >= FHeight)
            FControlStyle |= csOpaque;
        else
            FControlStyle &= ~TControlStyle(csOpaque);
    } catch (...) {
        FInPictureChanged = false;
        throw;
    }
    FInPictureChanged = false;
    Invalidate();
}

void TImage::Paint()
{
    TGraphic* G = FPicture->Graphic();
    // A transparent picture is combined with what lies under the control,
    // as drawing on the parent's surface does.
    if (G && G->Transparent() && FCanvas->Target())
        PaintParentBackground(*FCanvas->Target());
    if (IsDesigning())
        DrawDesignFrame(FCanvas.get(), FWidth, FHeight);
    if (G && !G->Empty())
        FCanvas->StretchDraw(DestRect(), G);
}

// ---------------------------------------------------------------- TPaintBox

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle |= csReplicatable;
    SetBounds(0, 0, 105, 105);
}

TPaintBox::~TPaintBox() = default;

void TPaintBox::Paint()
{
    TCanvas* C = FCanvas.get();
    C->Font()->Assign(Font());
    C->Brush()->SetColor(FColor);
    if (IsDesigning()) {
        DrawDesignFrame(C, FWidth, FHeight);
        C->Brush()->SetColor(FColor);
    }
    if (OnPaint)
        OnPaint(this);
}

// ---------------------------------------------------------------- TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle |= csReplicatable;
    SetBounds(0, 0, 50, 50);
}

TBevel::~TBevel() = default;

void TBevel::SetShape(TBevelShape Value)
{
    if (FShape == Value)
        return;
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas* C = FCanvas.get();
    if (IsDesigning() && FShape == bsSpacer) {
        DrawDesignFrame(C, FWidth, FHeight);
        return;
    }
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetMode(pmCopy);
    TColor Color1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor Color2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    auto BevelRect = [&](const TRect& R) {
        C->Pen()->SetColor(Color1);
        const TPoint Upper[] = {TPoint(R.Left, R.Bottom), TPoint(R.Left, R.Top), TPoint(R.Right, R.Top)};
        C->Polyline(Upper);
        C->Pen()->SetColor(Color2);
        const TPoint Lower[] = {TPoint(R.Right, R.Top), TPoint(R.Right, R.Bottom), TPoint(R.Left, R.Bottom)};
        C->Polyline(Lower);
    };
    auto BevelLine = [&](TColor Color, int X1, int Y1, int X2, int Y2) {
        C->Pen()->SetColor(Color);
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    switch (FShape) {
    case bsBox: BevelRect(TRect(0, 0, FWidth - 1, FHeight - 1)); break;
    case bsFrame: {
        const TColor Temp = Color1;
        Color1 = Color2;
        BevelRect(TRect(1, 1, FWidth - 1, FHeight - 1));
        Color2 = Temp;
        Color1 = Temp;
        BevelRect(TRect(0, 0, FWidth - 2, FHeight - 2));
        break;
    }
    case bsTopLine:
        BevelLine(Color1, 0, 0, FWidth, 0);
        BevelLine(Color2, 0, 1, FWidth, 1);
        break;
    case bsBottomLine:
        BevelLine(Color1, 0, FHeight - 2, FWidth, FHeight - 2);
        BevelLine(Color2, 0, FHeight - 1, FWidth, FHeight - 1);
        break;
    case bsLeftLine:
        BevelLine(Color1, 0, 0, 0, FHeight);
        BevelLine(Color2, 1, 0, 1, FHeight);
        break;
    case bsRightLine:
        BevelLine(Color1, FWidth - 2, 0, FWidth - 2, FHeight);
        BevelLine(Color2, FWidth - 1, 0, FWidth - 1, FHeight);
        break;
    case bsSpacer: break;
    }
}

// ---------------------------------------------------------------- TTimer

TTimer::TTimer(TComponent* AOwner) : TNonVisualComponent(AOwner), FTimer(std::make_unique<QTimer>())
{
    QObject::connect(FTimer.get(), &QTimer::timeout, this, [this] { Timer(); });
    UpdateTimer();
}

TTimer::~TTimer()
{
    FTimer->stop();
}

void TTimer::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("Timer interval must not be negative (got " + IntToStr(Value) + ")");
    if (FInterval == Value)
        return;
    FInterval = Value;
    UpdateTimer();
}

bool TTimer::Running() const
{
    return FTimer->isActive();
}

void TTimer::UpdateTimer()
{
    FTimer->stop();
    if (FEnabled && FInterval > 0 && !IsLoading() && !IsDesigning())
        FTimer->start(FInterval);
}

void TTimer::Loaded()
{
    TNonVisualComponent::Loaded();
    UpdateTimer();
}

void TTimer::Timer()
{
    if (FEnabled && OnTimer)
        OnTimer(this);
}

// ---------------------------------------------------------------- TCustomRadioGroup

namespace {
constexpr int RadioSize = 13;  // the radio button glyph
constexpr int RadioTextGap = 4; // between the glyph and the text
} // namespace

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TStringList>())
{
    // OnClick follows ItemIndex, not every click on the control.
    FControlStyle = TControlStyle(csSetCaption) | csCaptureMouse | csDoubleClicks | csOpaque | csReplicatable;
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    SetTabStop(true);
    SetBounds(0, 0, 185, 105);
}

TCustomRadioGroup::~TCustomRadioGroup()
{
    FItems->OnChange = nullptr;
}

void TCustomRadioGroup::ItemsChanged()
{
    if (!IsLoading() && FItemIndex >= FItems->Count())
        FItemIndex = FItems->Count() - 1;
    Invalidate();
}

void TCustomRadioGroup::SetItemIndex(int Value)
{
    if (IsLoading()) {
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, FItems->Count() - 1);
    if (Value == FItemIndex)
        return;
    FItemIndex = Value;
    Invalidate();
    if (Value >= 0)
        Click();
}

void TCustomRadioGroup::SetColumns(int Value)
{
    if (Value < 1 || Value > 16)
        throw EInvalidOperation("Columns must be between 1 and 16 (got " + IntToStr(Value) + ")");
    if (FColumns == Value)
        return;
    FColumns = Value;
    Invalidate();
}

void TCustomRadioGroup::Loaded()
{
    TCustomControl::Loaded();
    FItemIndex = std::clamp(FItemIndex, -1, FItems->Count() - 1);
}

TRect TCustomRadioGroup::ButtonRect(int Index) const
{
    const int Count = FItems->Count();
    if (Index < 0 || Index >= Count)
        return TRect();
    const int PerColumn = (Count + FColumns - 1) / FColumns;
    const int ButtonWidth = (FWidth - 10) / FColumns;
    const int TextHeight = Font()->Metrics().tmHeight;
    const int Space = FHeight - TextHeight - 5;
    const int ButtonHeight = Space / PerColumn;
    const int TopMargin = TextHeight + 1 + (Space % PerColumn) / 2;
    return Bounds((Index / PerColumn) * ButtonWidth + 8, (Index % PerColumn) * ButtonHeight + TopMargin, ButtonWidth,
                  ButtonHeight);
}

int TCustomRadioGroup::ButtonAt(TPoint P) const
{
    for (int I = 0; I < FItems->Count(); ++I)
        if (ButtonRect(I).Contains(P))
            return I;
    return -1;
}

void TCustomRadioGroup::AdjustClientRect(TRect& Rect)
{
    TCustomControl::AdjustClientRect(Rect);
    const int H = Font()->Metrics().tmHeight;
    Rect.Top += H;
    InflateRect(Rect, -2, -2);
}

void TCustomRadioGroup::Paint()
{
    TCanvas* C = FCanvas.get();
    C->Font()->Assign(Font());
    // The group box: an etched frame from half the caption's height down.
    const int H = C->TextHeight("0");
    TRect R(0, H / 2 - 1, FWidth, FHeight);
    ++R.Left;
    ++R.Top;
    C->Brush()->SetColor(clBtnHighlight);
    C->FrameRect(R);
    OffsetRect(R, -1, -1);
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(R);
    if (!Caption().empty()) {
        R = TRect(8, 0, 0, H);
        DrawText(C, Caption(), R, DT_SINGLELINE | DT_CALCRECT);
        C->Brush()->SetColor(FColor);
        DrawText(C, Caption(), R, DT_SINGLELINE);
    }
    // The buttons.
    const int FocusIndex = FItemIndex >= 0 ? FItemIndex : 0;
    for (int I = 0; I < FItems->Count(); ++I) {
        const TRect B = ButtonRect(I);
        TRect Glyph = Bounds(B.Left, B.Top + (B.Height() - RadioSize) / 2, RadioSize, RadioSize);
        unsigned State = DFCS_BUTTONRADIO;
        if (I == FItemIndex)
            State |= DFCS_CHECKED;
        if (I == FPressed)
            State |= DFCS_PUSHED;
        if (!Enabled())
            State |= DFCS_INACTIVE;
        DrawFrameControl(C, Glyph, DFC_BUTTON, State);
        C->Brush()->SetStyle(bsClear);
        const TRect TextRect(B.Left + RadioSize + RadioTextGap, B.Top, B.Right, B.Bottom);
        const String Text = FItems->Get(I);
        DrawEnabledText(C, Text, TextRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT, Enabled());
        if (Focused() && I == FocusIndex) {
            TRect F = TextRect;
            DrawText(C, Text, F, DT_SINGLELINE | DT_CALCRECT);
            const int TextH = F.Height();
            F.Top = TextRect.Top + (TextRect.Height() - TextH) / 2;
            F.Bottom = F.Top + TextH;
            InflateRect(F, 1, 1);
            IntersectRect(F, F, TextRect);
            C->Brush()->SetColor(FColor);
            C->DrawFocusRect(F);
        }
    }
}

void TCustomRadioGroup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FPressed = ButtonAt(TPoint(X, Y));
    if (FPressed >= 0) {
        if (CanFocus() && !Focused())
            SetFocus();
        Invalidate();
    }
}

void TCustomRadioGroup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const int Pressed = FPressed;
    FPressed = -1;
    if (Button == mbLeft && Pressed >= 0) {
        Invalidate();
        if (ButtonAt(TPoint(X, Y)) == Pressed)
            ButtonClick(Pressed);
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomRadioGroup::ButtonClick(int Index)
{
    if (Index < 0 || Index >= FItems->Count() || Index == FItemIndex)
        return;
    FItemIndex = Index;
    Invalidate();
    Click();
}

bool TCustomRadioGroup::WantsKey(Word Key, TShiftState Shift)
{
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN)
        return FItems->Count() > 0;
    return TCustomControl::WantsKey(Key, Shift);
}

void TCustomRadioGroup::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    const int Count = FItems->Count();
    if (Count == 0)
        return;
    int Step = 0;
    if (Key == VK_UP || Key == VK_LEFT)
        Step = -1;
    else if (Key == VK_DOWN || Key == VK_RIGHT)
        Step = 1;
    if (Step == 0)
        return;
    const int From = FItemIndex < 0 ? (Step > 0 ? -1 : 0) : FItemIndex;
    ButtonClick((From + Step + Count) % Count);
    Key = 0;
}

void TCustomRadioGroup::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR && Enabled() && Visible()) {
        // Alt+letter (or the letter) of an item's '&' accelerator checks it.
        const char Key = static_cast<char>(Message.WParam);
        for (int I = 0; I < FItems->Count(); ++I) {
            const String Item = FItems->Get(I);
            for (size_t P = 0; P + 1 < Item.size(); ++P) {
                if (Item[P] != '&')
                    continue;
                if (Item[P + 1] == '&') {
                    ++P;
                    continue;
                }
                if (std::toupper(static_cast<unsigned char>(Item[P + 1])) ==
                    std::toupper(static_cast<unsigned char>(Key))) {
                    if (CanFocus())
                        SetFocus();
                    ButtonClick(I);
                    Message.Result = 1;
                    return;
                }
                break;
            }
        }
    }
    TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------- TSplitter

namespace {

// The bar that shows where a splitter will go while it is dragged.
class TSplitLine : public QWidget {
public:
    TSplitLine(QWidget* Parent, bool Pattern) : QWidget(Parent), FPattern(Pattern)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter P(this);
        P.fillRect(rect(), FPattern ? QBrush(Qt::black, Qt::Dense4Pattern) : QBrush(Qt::black));
    }

private:
    bool FPattern;
};

} // namespace

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle |= csOpaque;
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
}

TSplitter::~TSplitter()
{
    ShowLine(false);
}

void TSplitter::SetAlign(TAlign Value)
{
    TGraphicControl::SetAlign(Value);
    UpdateCursor();
}

void TSplitter::UpdateCursor()
{
    if (FAlign == alLeft || FAlign == alRight)
        SetCursor(crHSplit);
    else if (FAlign == alTop || FAlign == alBottom)
        SetCursor(crVSplit);
}

void TSplitter::Loaded()
{
    TGraphicControl::Loaded();
    UpdateCursor();
}

void TSplitter::SetBeveled(bool Value)
{
    if (FBeveled == Value)
        return;
    FBeveled = Value;
    Invalidate();
}

void TSplitter::SetMinSize(int Value)
{
    if (Value < 1)
        throw EInvalidOperation("MinSize must be at least 1 (got " + IntToStr(Value) + ")");
    FMinSize = Value;
}

void TSplitter::Paint()
{
    TCanvas* C = FCanvas.get();
    TRect R = ClientRect();
    C->Brush()->SetColor(FColor);
    C->FillRect(R);
    if (FBeveled) {
        if (FAlign == alLeft || FAlign == alRight)
            InflateRect(R, -1, 2);
        else
            InflateRect(R, 2, -1);
        OffsetRect(R, 1, 1);
        C->Brush()->SetColor(clBtnHighlight);
        C->FrameRect(R);
        OffsetRect(R, -2, -2);
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(R);
    }
}

TControl* TSplitter::FindControl() const
{
    if (!FParent)
        return nullptr;
    TPoint P(FLeft, FTop);
    switch (FAlign) {
    case alLeft: --P.X; break;
    case alRight: P.X += FWidth; break;
    case alTop: --P.Y; break;
    case alBottom: P.Y += FHeight; break;
    default: return nullptr;
    }
    for (int I = 0; I < FParent->ControlCount(); ++I) {
        TControl* C = FParent->Controls(I);
        if (C == this || !C->Visible() || !C->Enabled())
            continue;
        TRect R = C->BoundsRect();
        if (R.Width() == 0) {
            if (FAlign == alTop || FAlign == alLeft)
                --R.Left;
            else
                ++R.Right;
        }
        if (R.Height() == 0) {
            if (FAlign == alTop || FAlign == alLeft)
                --R.Top;
            else
                ++R.Bottom;
        }
        if (R.Contains(P))
            return C;
    }
    return nullptr;
}

void TSplitter::CalcSplitSize(int X, int Y, int& NewSize, int& Split) const
{
    Split = (FAlign == alLeft || FAlign == alRight) ? X - FDownPos.X : Y - FDownPos.Y;
    int S = 0;
    switch (FAlign) {
    case alLeft: S = FControl->Width() + Split; break;
    case alRight: S = FControl->Width() - Split; break;
    case alTop: S = FControl->Height() + Split; break;
    case alBottom: S = FControl->Height() - Split; break;
    default: break;
    }
    NewSize = S;
    if (S < FMinSize)
        NewSize = FMinSize;
    else if (S > FMaxSize)
        NewSize = FMaxSize;
    if (S != NewSize) {
        if (FAlign == alRight || FAlign == alBottom)
            S = S - NewSize;
        else
            S = NewSize - S;
        Split += S;
    }
}

bool TSplitter::CanResize(int& NewSize)
{
    bool Accept = true;
    if (OnCanResize)
        OnCanResize(this, NewSize, Accept);
    return Accept;
}

bool TSplitter::DoCanResize(int& NewSize)
{
    const bool Result = CanResize(NewSize);
    if (Result && NewSize <= FMinSize && FAutoSnap)
        NewSize = 0;
    return Result;
}

void TSplitter::ShowLine(bool Show)
{
    if (!Show || !FParent || !FControl) {
        if (FLine)
            delete FLine.data();
        return;
    }
    if (!FLine) {
        FLine = new TSplitLine(FParent, FResizeStyle == rsPattern);
        FLine->raise();
    }
    if (FAlign == alLeft || FAlign == alRight)
        FLine->setGeometry(FLeft + FSplit, FTop, FWidth, FHeight);
    else
        FLine->setGeometry(FLeft, FTop + FSplit, FWidth, FHeight);
    FLine->show();
    FLine->update();
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FControl = FindControl();
    FDownPos = TPoint(X, Y);
    if (!FControl)
        return;
    const bool Horizontal = FAlign == alLeft || FAlign == alRight;
    FMaxSize = (Horizontal ? FParent->ClientWidth() : FParent->ClientHeight()) - FMinSize;
    for (int I = 0; I < FParent->ControlCount(); ++I) {
        TControl* C = FParent->Controls(I);
        if (!C->Visible())
            continue;
        if (Horizontal && (C->Align() == alLeft || C->Align() == alRight))
            FMaxSize -= C->Width();
        else if (!Horizontal && (C->Align() == alTop || C->Align() == alBottom))
            FMaxSize -= C->Height();
    }
    FMaxSize += Horizontal ? FControl->Width() : FControl->Height();
    CalcSplitSize(X, Y, FNewSize, FSplit);
    if (FResizeStyle == rsLine || FResizeStyle == rsPattern)
        ShowLine(true);
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FControl)
        return;
    int NewSize, Split;
    CalcSplitSize(X, Y, NewSize, Split);
    if (!DoCanResize(NewSize))
        return;
    FNewSize = NewSize;
    FSplit = Split;
    if (FResizeStyle == rsUpdate)
        UpdateControlSize();
    else if (FResizeStyle == rsLine || FResizeStyle == rsPattern)
        ShowLine(true);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FControl)
        return;
    ShowLine(false);
    UpdateControlSize();
    StopSizing();
}

void TSplitter::UpdateControlSize()
{
    if (!FControl || FNewSize == FOldSize)
        return;
    switch (FAlign) {
    case alLeft: FControl->SetWidth(FNewSize); break;
    case alTop: FControl->SetHeight(FNewSize); break;
    case alRight:
        FParent->DisableAlign();
        FControl->SetBounds(FControl->Left() + (FControl->Width() - FNewSize), FControl->Top(), FNewSize,
                            FControl->Height());
        FParent->EnableAlign();
        break;
    case alBottom:
        FParent->DisableAlign();
        FControl->SetBounds(FControl->Left(), FControl->Top() + (FControl->Height() - FNewSize), FControl->Width(),
                            FNewSize);
        FParent->EnableAlign();
        break;
    default: break;
    }
    FOldSize = FNewSize;
    if (OnMoved)
        OnMoved(this);
}

void TSplitter::StopSizing()
{
    ShowLine(false);
    FControl = nullptr;
}

// ---------------------------------------------------------------- TControlScrollBar

TControlScrollBar::TControlScrollBar(TScrollBox* Control, bool Horizontal)
    : FControl(Control), FHorizontal(Horizontal)
{
}

TControlScrollBar::~TControlScrollBar() = default;

void TControlScrollBar::SetIncrement(int Value)
{
    if (Value < 1 || Value > 32767)
        throw EInvalidOperation("Scroll bar increment must be between 1 and 32767 (got " + IntToStr(Value) + ")");
    FIncrement = Value;
    FControl->PlaceBars();
}

void TControlScrollBar::SetMargin(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("Scroll bar margin must not be negative (got " + IntToStr(Value) + ")");
    FMargin = Value;
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetRange(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("Scroll bar range must not be negative (got " + IntToStr(Value) + ")");
    FRange = Value;
    if (!FControl->AutoScroll())
        FControl->UpdateScrollBars();
}

void TControlScrollBar::SetTracking(bool Value)
{
    FTracking = Value;
}

void TControlScrollBar::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    FControl->UpdateScrollBars();
}

bool TControlScrollBar::IsScrollBarVisible() const
{
    return FBar && !FBar->isHidden();
}

int TControlScrollBar::MaxPosition() const
{
    if (!IsScrollBarVisible())
        return 0;
    const int Client = FHorizontal ? FControl->ClientWidth() : FControl->ClientHeight();
    return std::max(0, FRange - Client);
}

void TControlScrollBar::SetPosition(int Value)
{
    if (FControl->IsLoading()) {
        // The children were stored where this position puts them.
        FPosition = std::max(0, Value);
        return;
    }
    Value = std::clamp(Value, 0, MaxPosition());
    if (Value == FPosition)
        return;
    const int Old = FPosition;
    FPosition = Value;
    FControl->PositionChanged(this, Old);
}

bool TControlScrollBar::IsPropertyStored(const char* Name) const
{
    if (String(Name) == "Range")
        return !FControl->AutoScroll();
    return true;
}

TPersistent* TControlScrollBar::GetOwner()
{
    return FControl;
}

void TControlScrollBar::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TControlScrollBar*>(Source)) {
        FIncrement = S->FIncrement;
        FMargin = S->FMargin;
        FRange = S->FRange;
        FTracking = S->FTracking;
        FVisible = S->FVisible;
        FControl->UpdateScrollBars();
        SetPosition(S->FPosition);
        return;
    }
    TPersistentObject::Assign(Source);
}

// ---------------------------------------------------------------- TScrollBox

namespace {
int ScrollBarSize(bool Horizontal)
{
    return GetSystemMetrics(Horizontal ? SM_CYHSCROLL : SM_CXVSCROLL);
}
} // namespace

TScrollBox::TScrollBox(TComponent* AOwner)
    : TCustomControl(AOwner), FHorzScrollBar(std::make_unique<TControlScrollBar>(this, true)),
      FVertScrollBar(std::make_unique<TControlScrollBar>(this, false))
{
    FControlStyle |= csAcceptsControls;
    for (TControlScrollBar* B : {FHorzScrollBar.get(), FVertScrollBar.get()}) {
        auto* Bar = new QScrollBar(B->FHorizontal ? Qt::Horizontal : Qt::Vertical, this);
        Bar->hide();
        B->FBar = Bar;
        QObject::connect(Bar, &QScrollBar::valueChanged, this, [B, Bar](int V) {
            if (!Bar->isSliderDown() || B->FTracking)
                B->SetPosition(V);
        });
        QObject::connect(Bar, &QScrollBar::sliderReleased, this, [B, Bar] { B->SetPosition(Bar->value()); });
    }
    SetBounds(0, 0, 185, 41);
}

TScrollBox::~TScrollBox()
{
    for (TControl* C : FControls)
        C->removeEventFilter(this);
}

void TScrollBox::SetAutoScroll(bool Value)
{
    if (FAutoScroll == Value)
        return;
    FAutoScroll = Value;
    UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TBorderStyle Value)
{
    CheckBorderStyle(Value);
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    UpdateScrollBars();
    Realign();
    Invalidate();
}

TRect TScrollBox::ClientRect() const
{
    const int B = BorderSize();
    int W = FWidth - 2 * B;
    int H = FHeight - 2 * B;
    if (FVertScrollBar->IsScrollBarVisible())
        W -= ScrollBarSize(false);
    if (FHorzScrollBar->IsScrollBarVisible())
        H -= ScrollBarSize(true);
    return TRect(0, 0, std::max(0, W), std::max(0, H));
}

void TScrollBox::AdjustClientRect(TRect& Rect)
{
    const int B = BorderSize();
    Rect = Bounds(B - FHorzScrollBar->FPosition, B - FVertScrollBar->FPosition,
                  std::max(FHorzScrollBar->FRange, Rect.Width()), std::max(FVertScrollBar->FRange, Rect.Height()));
}

void TScrollBox::CalcAutoRange()
{
    const int B = BorderSize();
    int HRange = 0, HMargin = 0, VRange = 0, VMargin = 0;
    for (TControl* C : FControls) {
        if (!C->Visible())
            continue;
        const TAnchors A = C->Anchors();
        if (C->Align() == alLeft || (C->Align() == alNone && !(A.testFlag(akLeft) && A.testFlag(akRight))))
            HRange = std::max(HRange, FHorzScrollBar->FPosition + C->Left() + C->Width() - B);
        else if (C->Align() == alRight)
            HMargin += C->Width();
        if (C->Align() == alTop || (C->Align() == alNone && !(A.testFlag(akTop) && A.testFlag(akBottom))))
            VRange = std::max(VRange, FVertScrollBar->FPosition + C->Top() + C->Height() - B);
        else if (C->Align() == alBottom)
            VMargin += C->Height();
    }
    FHorzScrollBar->FRange = HRange + HMargin + FHorzScrollBar->FMargin;
    FVertScrollBar->FRange = VRange + VMargin + FVertScrollBar->FMargin;
}

void TScrollBox::UpdateScrollBars()
{
    if (FUpdatingBars || IsLoading() || IsDestroying())
        return;
    FUpdatingBars = true;
    try {
        if (FAutoScroll)
            CalcAutoRange();
        const int B = BorderSize();
        const int W = FWidth - 2 * B;
        const int H = FHeight - 2 * B;
        bool HShow = false, VShow = false;
        for (int Pass = 0; Pass < 2; ++Pass) {
            const int CW = W - (VShow ? ScrollBarSize(false) : 0);
            const int CH = H - (HShow ? ScrollBarSize(true) : 0);
            HShow = FHorzScrollBar->FVisible && FHorzScrollBar->FRange > CW;
            VShow = FVertScrollBar->FVisible && FVertScrollBar->FRange > CH;
        }
        FHorzScrollBar->FBar->setVisible(HShow);
        FVertScrollBar->FBar->setVisible(VShow);
        // Positions beyond the new ranges come back.
        for (TControlScrollBar* Bar : {FHorzScrollBar.get(), FVertScrollBar.get()}) {
            const int Max = Bar->MaxPosition();
            if (Bar->FPosition > Max) {
                const int Old = Bar->FPosition;
                Bar->FPosition = Max;
                PositionChanged(Bar, Old);
            }
        }
        PlaceBars();
    } catch (...) {
        FUpdatingBars = false;
        throw;
    }
    FUpdatingBars = false;
}

void TScrollBox::PlaceBars()
{
    const int B = BorderSize();
    const TRect CR = ClientRect();
    for (TControlScrollBar* Bar : {FHorzScrollBar.get(), FVertScrollBar.get()}) {
        QScrollBar* Q = Bar->FBar;
        if (!Q)
            continue;
        const bool H = Bar->FHorizontal;
        if (H)
            Q->setGeometry(B, B + CR.Height(), CR.Width(), ScrollBarSize(true));
        else
            Q->setGeometry(B + CR.Width(), B, ScrollBarSize(false), CR.Height());
        const QSignalBlocker Block(Q);
        Q->setRange(0, Bar->MaxPosition());
        Q->setPageStep(std::max(1, H ? CR.Width() : CR.Height()));
        Q->setSingleStep(Bar->FIncrement);
        Q->setValue(Bar->FPosition);
        Q->raise();
    }
    Invalidate();
}

void TScrollBox::PositionChanged(TControlScrollBar* Bar, int OldPosition)
{
    const int Delta = OldPosition - Bar->FPosition;
    if (Bar->FHorizontal)
        ScrollBy(Delta, 0);
    else
        ScrollBy(0, Delta);
    if (Bar->FBar) {
        const QSignalBlocker Block(Bar->FBar);
        Bar->FBar->setValue(Bar->FPosition);
    }
}

void TScrollBox::ScrollBy(int DeltaX, int DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0)
        return;
    FScrolling = true;
    DisableAlign();
    try {
        for (TControl* C : std::vector<TControl*>(FControls))
            C->SetBounds(C->Left() + DeltaX, C->Top() + DeltaY, C->Width(), C->Height());
    } catch (...) {
        FScrolling = false;
        EnableAlign();
        throw;
    }
    FScrolling = false;
    EnableAlign();
}

void TScrollBox::ScrollInView(TControl* AControl)
{
    if (!AControl || !ContainsControl(AControl) || AControl == this)
        return;
    const QPoint TopLeft = AControl->mapTo(this, QPoint(0, 0));
    const int B = BorderSize();
    TRect R = Bounds(TopLeft.x() - B, TopLeft.y() - B, AControl->Width(), AControl->Height());
    R.Left -= FHorzScrollBar->FMargin;
    R.Right += FHorzScrollBar->FMargin;
    R.Top -= FVertScrollBar->FMargin;
    R.Bottom += FVertScrollBar->FMargin;
    const int CW = ClientWidth();
    const int CH = ClientHeight();
    if (R.Left < 0)
        FHorzScrollBar->SetPosition(FHorzScrollBar->FPosition + R.Left);
    else if (R.Right > CW) {
        if (R.Width() > CW)
            R.Right = R.Left + CW;
        FHorzScrollBar->SetPosition(FHorzScrollBar->FPosition + R.Right - CW);
    }
    if (R.Top < 0)
        FVertScrollBar->SetPosition(FVertScrollBar->FPosition + R.Top);
    else if (R.Bottom > CH) {
        if (R.Height() > CH)
            R.Bottom = R.Top + CH;
        FVertScrollBar->SetPosition(FVertScrollBar->FPosition + R.Bottom - CH);
    }
}

void TScrollBox::Loaded()
{
    TCustomControl::Loaded();
    UpdateScrollBars();
}

void TScrollBox::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomControl::BoundsChanged(OldWidth, OldHeight);
    UpdateScrollBars();
}

void TScrollBox::WndProc(TMessage& Message)
{
    TCustomControl::WndProc(Message);
    if (Message.Msg != CM_CONTROLCHANGE)
        return;
    auto* C = reinterpret_cast<TControl*>(Message.WParam);
    if (Message.LParam) {
        C->installEventFilter(this);
        UpdateScrollBars();
    } else {
        C->removeEventFilter(this);
        // The control is still in the list: count it out for a moment.
        auto It = std::find(FControls.begin(), FControls.end(), C);
        if (It != FControls.end() && !IsDestroying()) {
            const size_t Index = static_cast<size_t>(It - FControls.begin());
            FControls.erase(It);
            try {
                UpdateScrollBars();
            } catch (...) {
                FControls.insert(FControls.begin() + static_cast<std::ptrdiff_t>(Index), C);
                throw;
            }
            FControls.insert(FControls.begin() + static_cast<std::ptrdiff_t>(Index), C);
        }
    }
}

bool TScrollBox::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (!FScrolling && !FUpdatingBars && Watched->parent() == this)
            UpdateScrollBars();
        break;
    default: break;
    }
    return TCustomControl::eventFilter(Watched, Event);
}

bool TScrollBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    TControlScrollBar* Bar = Shift.testFlag(ssShift) ? FHorzScrollBar.get() : FVertScrollBar.get();
    if (!Bar->IsScrollBarVisible())
        return false;
    Bar->SetPosition(Bar->FPosition - WheelDelta / 120 * Bar->FIncrement * 3);
    return true;
}

void TScrollBox::Paint()
{
    TCanvas* C = FCanvas.get();
    TRect R(0, 0, FWidth, FHeight);
    if (FBorderStyle == bsSingle)
        DrawEdge(C, R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (FHorzScrollBar->IsScrollBarVisible() && FVertScrollBar->IsScrollBarVisible()) {
        const TRect CR = ClientRect();
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(TRect(R.Left + CR.Width(), R.Top + CR.Height(), R.Right, R.Bottom));
    }
}

void RegisterExtCtrlsClasses()
{
    RegisterClasses<TPanel, TShape, TImage, TPaintBox, TBevel, TTimer, TRadioGroup, TSplitter, TScrollBox>();
}

namespace {
[[maybe_unused]] const bool ExtCtrlsRegistered = (RegisterExtCtrlsClasses(), true);
}
