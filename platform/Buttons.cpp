#include "Buttons.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

// ---------------------------------------------------------------- TButtonGlyph

namespace {

// The pixels of a picture cell that are not the transparent colour, in one
// colour, as a 32-bit image with alpha.
QImage MaskImage(const QImage& Cell, QRgb Transparent, bool UseAlpha, TColor Color, bool SkipWhite)
{
    QImage Out(Cell.size(), QImage::Format_ARGB32);
    Out.fill(Qt::transparent);
    const QRgb C = ColorToQRgb(Color) | 0xFF000000u;
    for (int Y = 0; Y < Cell.height(); ++Y) {
        const QRgb* Src = reinterpret_cast<const QRgb*>(Cell.constScanLine(Y));
        QRgb* Dst = reinterpret_cast<QRgb*>(Out.scanLine(Y));
        for (int X = 0; X < Cell.width(); ++X) {
            const QRgb P = Src[X];
            const bool Clear = UseAlpha ? qAlpha(P) < 128 : (P & 0xFFFFFFu) == (Transparent & 0xFFFFFFu);
            if (Clear || (SkipWhite && (P & 0xFFFFFFu) == 0xFFFFFFu))
                continue;
            Dst[X] = C;
        }
    }
    return Out;
}

} // namespace

TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>())
{
    FGlyph->OnChange = [this](TObject*) {
        if (OnChange)
            OnChange();
    };
}

TButtonGlyph::~TButtonGlyph() = default;

void TButtonGlyph::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    if (Value && !Value->Empty() && Value->Height() > 0 && Value->Width() % Value->Height() == 0) {
        // A strip of square pictures tells how many it holds.
        const int N = Value->Width() / Value->Height();
        FNumGlyphs = N >= 1 && N <= 4 ? N : 1;
    }
    if (OnChange)
        OnChange();
}

void TButtonGlyph::SetNumGlyphs(int Value)
{
    Value = std::clamp(Value, 1, 4);
    if (FNumGlyphs == Value)
        return;
    FNumGlyphs = Value;
    if (OnChange)
        OnChange();
}

TSize TButtonGlyph::GlyphSize() const
{
    if (!FGlyph->Empty())
        return TSize(FGlyph->Width() / FNumGlyphs, FGlyph->Height());
    if (!FBuiltIn.isNull())
        return TSize(FBuiltIn.width(), FBuiltIn.height());
    return TSize();
}

TButtonLayoutResult TButtonGlyph::CalcLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                                             const String& Caption, TButtonLayout Layout, int Margin,
                                             int Spacing) const
{
    const TPoint ClientSize(Client.Width(), Client.Height());
    const TSize GS = GlyphSize();
    const TPoint GlyphSz(GS.cx, GS.cy);
    TRect TextBounds;
    TPoint TextSize;
    if (!Caption.empty()) {
        TextBounds = TRect(0, 0, ClientSize.X, 0);
        DrawText(Canvas, Caption, TextBounds, DT_CALCRECT | DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        TextSize = TPoint(TextBounds.Width(), TextBounds.Height());
    }
    TPoint GlyphPos, TextPos;
    // The other direction: centred.
    if (Layout == blGlyphLeft || Layout == blGlyphRight) {
        GlyphPos.Y = (ClientSize.Y - GlyphSz.Y + 1) / 2;
        TextPos.Y = (ClientSize.Y - TextSize.Y + 1) / 2;
    } else {
        GlyphPos.X = (ClientSize.X - GlyphSz.X + 1) / 2;
        TextPos.X = (ClientSize.X - TextSize.X + 1) / 2;
    }
    const bool Across = Layout == blGlyphLeft || Layout == blGlyphRight;
    if (TextSize.X == 0 || GlyphSz.X == 0)
        Spacing = 0;
    if (Margin == -1) {
        if (Spacing == -1) {
            const TPoint Total(GlyphSz.X + TextSize.X, GlyphSz.Y + TextSize.Y);
            Margin = Across ? (ClientSize.X - Total.X) / 3 : (ClientSize.Y - Total.Y) / 3;
            Spacing = Margin;
        } else {
            const TPoint Total(GlyphSz.X + Spacing + TextSize.X, GlyphSz.Y + Spacing + TextSize.Y);
            Margin = Across ? (ClientSize.X - Total.X + 1) / 2 : (ClientSize.Y - Total.Y + 1) / 2;
        }
    } else if (Spacing == -1) {
        const TPoint Total(ClientSize.X - (Margin + GlyphSz.X), ClientSize.Y - (Margin + GlyphSz.Y));
        Spacing = Across ? (Total.X - TextSize.X) / 2 : (Total.Y - TextSize.Y) / 2;
    }
    switch (Layout) {
    case blGlyphLeft:
        GlyphPos.X = Margin;
        TextPos.X = GlyphPos.X + GlyphSz.X + Spacing;
        break;
    case blGlyphRight:
        GlyphPos.X = ClientSize.X - Margin - GlyphSz.X;
        TextPos.X = GlyphPos.X - Spacing - TextSize.X;
        break;
    case blGlyphTop:
        GlyphPos.Y = Margin;
        TextPos.Y = GlyphPos.Y + GlyphSz.Y + Spacing;
        break;
    case blGlyphBottom:
        GlyphPos.Y = ClientSize.Y - Margin - GlyphSz.Y;
        TextPos.Y = GlyphPos.Y - Spacing - TextSize.Y;
        break;
    }
    TButtonLayoutResult R;
    R.GlyphPos = TPoint(GlyphPos.X + Client.Left + Offset.X, GlyphPos.Y + Client.Top + Offset.Y);
    R.TextBounds = TRect(0, 0, TextSize.X, TextSize.Y);
    OffsetRect(R.TextBounds, TextPos.X + Client.Left + Offset.X, TextPos.Y + Client.Top + Offset.Y);
    return R;
}

void TButtonGlyph::DrawGlyph(TCanvas* Canvas, TPoint Pos, TButtonState State)
{
    const TSize S = GlyphSize();
    if (S.cx <= 0 || S.cy <= 0)
        return;
    QImage Cell;
    QRgb Transparent = 0;
    bool UseAlpha = false;
    if (!FGlyph->Empty()) {
        int Index = static_cast<int>(State);
        if (Index >= FNumGlyphs)
            Index = 0;
        // A disabled state without a picture of its own is embossed.
        const bool Emboss = State == bsDisabled && FNumGlyphs < 2;
        const QImage All = FGlyph->ToImage32();
        Cell = All.copy(Emboss ? 0 : Index * S.cx, 0, S.cx, S.cy).convertToFormat(QImage::Format_ARGB32);
        Transparent = ColorToQRgb(FGlyph->TransparentColor());
        if (!Emboss) {
            QImage Shown = Cell;
            for (int Y = 0; Y < Shown.height(); ++Y) {
                QRgb* L = reinterpret_cast<QRgb*>(Shown.scanLine(Y));
                for (int X = 0; X < Shown.width(); ++X)
                    L[X] = (L[X] & 0xFFFFFFu) == (Transparent & 0xFFFFFFu) ? 0u : (L[X] | 0xFF000000u);
            }
            DrawImage32(Canvas, Bounds(Pos.X, Pos.Y, S.cx, S.cy), Shown);
            return;
        }
    } else {
        Cell = FBuiltIn.convertToFormat(QImage::Format_ARGB32);
        UseAlpha = true;
        if (State != bsDisabled) {
            DrawImage32(Canvas, Bounds(Pos.X, Pos.Y, S.cx, S.cy), Cell);
            return;
        }
    }
    DrawImage32(Canvas, Bounds(Pos.X + 1, Pos.Y + 1, S.cx, S.cy),
                MaskImage(Cell, Transparent, UseAlpha, clBtnHighlight, true));
    DrawImage32(Canvas, Bounds(Pos.X, Pos.Y, S.cx, S.cy), MaskImage(Cell, Transparent, UseAlpha, clBtnShadow, true));
}

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption,
                         TButtonLayout Layout, int Margin, int Spacing, TButtonState State)
{
    const TButtonLayoutResult L = CalcLayout(Canvas, Client, Offset, Caption, Layout, Margin, Spacing);
    DrawGlyph(Canvas, L.GlyphPos, State);
    TRect T = L.TextBounds;
    DrawControlText(Canvas, Caption, T, DT_CENTER | DT_VCENTER | DT_SINGLELINE, State != bsDisabled);
    return L.TextBounds;
}

// ---------------------------------------------------------------- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle = TControlStyle(csCaptureMouse) | csDoubleClicks;
    FColor = clBtnFace;
    FGlyph.OnChange = [this] { Invalidate(); };
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !Parent())
        return;
    TMessage M{CM_BUTTONPRESSED, FGroupIndex, reinterpret_cast<intptr_t>(this), 0};
    Parent()->Broadcast(M);
}

void TSpeedButton::SetAllowAllUp(bool Value)
{
    if (FAllowAllUp == Value)
        return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    // The down button of a group without AllowAllUp stays down.
    if (FDown && !FAllowAllUp)
        return;
    FDown = Value;
    FState = Value ? bsExclusive : bsUp;
    Invalidate();
    if (Value)
        UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value)
{
    if (FFlat == Value)
        return;
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value)
{
    if (Value < blGlyphLeft || Value > blGlyphBottom)
        throw EInvalidOperation("Invalid button layout " + std::to_string(static_cast<int>(Value)));
    if (FLayout == Value)
        return;
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value)
{
    if (Value < -1)
        throw EInvalidOperation("Margin must be -1 or more (" + std::to_string(Value) + ")");
    if (FMargin == Value)
        return;
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value)
{
    if (Value < -1)
        throw EInvalidOperation("Spacing must be -1 or more (" + std::to_string(Value) + ")");
    if (FSpacing == Value)
        return;
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    Invalidate();
}

void TSpeedButton::EnabledChanged()
{
    FDragging = false;
    if (!Enabled())
        FState = bsDisabled;
    else
        FState = FDown ? bsExclusive : bsUp;
    TGraphicControl::EnabledChanged();
}

void TSpeedButton::Loaded()
{
    TGraphicControl::Loaded();
    FState = !Enabled() ? bsDisabled : FDown ? bsExclusive : bsUp;
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled()) {
        if (!FDown) {
            FState = bsDown;
            Invalidate();
        }
        FDragging = true;
    }
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    TButtonState New = FDown ? bsExclusive : bsUp;
    if (ClientRect().Contains(TPoint(X, Y)))
        New = FDown ? bsExclusive : bsDown;
    if (New != FState) {
        FState = New;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TSpeedButton> Self(this);
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!Self || !FDragging || Button != mbLeft)
        return;
    FDragging = false;
    const bool DoClick = ClientRect().Contains(TPoint(X, Y));
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (DoClick) {
        SetDown(!FDown);
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    } else {
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    }
    if (DoClick)
        Click();
}

void TSpeedButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        if (Message.WParam == FGroupIndex && FGroupIndex != 0) {
            auto* Sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
            if (Sender != this && Sender) {
                if (Sender->Down() && FDown) {
                    FDown = false;
                    FState = bsUp;
                    Invalidate();
                }
                FAllowAllUp = Sender->AllowAllUp();
            }
        }
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && Enabled() && Visible() && Parent() &&
            Parent()->Showing()) {
            Click();
            Message.Result = 1;
        }
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        TGraphicControl::WndProc(Message);
        if (FFlat && Enabled())
            Invalidate();
        return;
    default: break;
    }
    TGraphicControl::WndProc(Message);
}

void TSpeedButton::Paint()
{
    TCanvas* C = Canvas();
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    C->Font()->Assign(Font());
    C->Font()->SetColor(clBtnText);
    TRect R = ClientRect();
    const bool Sunken = FState == bsDown || FState == bsExclusive;
    if (!FFlat) {
        DrawFrameControl(C, R, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Sunken ? unsigned(DFCS_PUSHED) : 0u));
    } else {
        if (Sunken || (FMouseInControl && FState != bsDisabled)) {
            DrawEdge(C, R, Sunken ? unsigned(BDR_SUNKENOUTER) : unsigned(BDR_RAISEDINNER),
                     BF_RECT | (FTransparent ? 0u : unsigned(BF_MIDDLE)));
        } else if (!FTransparent) {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(FColor);
            C->FillRect(R);
        }
        InflateRect(R, -1, -1);
    }
    TPoint Offset;
    if (Sunken) {
        if (FState == bsExclusive && (!FFlat || !FMouseInControl)) {
            // The face of a button held down: a checkerboard of face and highlight.
            QImage Pattern(8, 8, QImage::Format_RGB32);
            for (int Y = 0; Y < 8; ++Y)
                for (int X = 0; X < 8; ++X)
                    Pattern.setPixel(X, Y, ColorToQRgb((X + Y) % 2 ? clBtnFace : clBtnHighlight));
            C->Brush()->SetBitmap(Pattern);
            C->FillRect(R);
            C->Brush()->SetBitmap(QImage());
        }
        Offset = TPoint(1, 1);
    }
    C->Brush()->SetStyle(bsClear);
    FGlyph.Draw(C, R, Offset, Caption(), FLayout, FMargin, FSpacing, FState);
}

// ---------------------------------------------------------------- TBitBtn

namespace {

struct TKindInfo {
    const char* Caption;
    TModalResult Result;
};

const TKindInfo KindInfos[] = {
    {"", mrNone},        {"OK", mrOk},        {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},     {"&No", mrNo},       {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
};

const TKindInfo& InfoOf(TBitBtnKind Kind)
{
    if (Kind < bkCustom || Kind > bkAll)
        throw EInvalidOperation("Invalid button kind " + std::to_string(static_cast<int>(Kind)));
    return KindInfos[Kind];
}

QImage MakeKindGlyph(TBitBtnKind Kind)
{
    QImage I(18, 18, QImage::Format_ARGB32);
    I.fill(Qt::transparent);
    QPainter P(&I);
    P.setRenderHint(QPainter::Antialiasing, false);
    auto PenOf = [](QColor C, int W) {
        QPen Pen(C, W);
        Pen.setCapStyle(Qt::SquareCap);
        Pen.setJoinStyle(Qt::MiterJoin);
        return Pen;
    };
    const QColor Green(0, 128, 0), Red(192, 0, 0), Navy(0, 0, 128), Brown(128, 64, 0), Yellow(255, 255, 0);
    auto Check = [&](int DX, int DY, QColor C) {
        P.setPen(PenOf(C, 2));
        P.drawPolyline(QPolygon({QPoint(3 + DX, 9 + DY), QPoint(6 + DX, 12 + DY), QPoint(13 + DX, 5 + DY)}));
    };
    switch (Kind) {
    case bkOK:
    case bkYes: Check(0, 0, Green); break;
    case bkAll:
        Check(-2, -2, Green);
        Check(2, 2, Green);
        break;
    case bkCancel:
        P.setPen(PenOf(Red, 2));
        P.drawLine(4, 4, 13, 13);
        P.drawLine(13, 4, 4, 13);
        break;
    case bkNo:
        P.setPen(PenOf(Red, 2));
        P.drawEllipse(2, 2, 13, 13);
        P.drawLine(5, 5, 13, 13);
        break;
    case bkAbort:
        P.setPen(Qt::NoPen);
        P.setBrush(Red);
        P.drawEllipse(1, 1, 15, 15);
        P.setPen(PenOf(Qt::white, 2));
        P.drawLine(6, 6, 11, 11);
        P.drawLine(11, 6, 6, 11);
        break;
    case bkHelp: {
        P.setPen(PenOf(Navy, 2));
        P.drawArc(5, 2, 8, 7, 180 * 16, -270 * 16);
        P.drawLine(9, 9, 9, 11);
        P.drawPoint(9, 14);
        P.drawPoint(9, 15);
        break;
    }
    case bkClose:
        P.setPen(PenOf(Brown, 1));
        P.setBrush(Qt::NoBrush);
        P.drawRect(3, 1, 11, 15);
        P.setPen(Qt::NoPen);
        P.setBrush(Yellow);
        P.drawPolygon(QPolygon({QPoint(4, 2), QPoint(10, 4), QPoint(10, 17), QPoint(4, 16)}));
        P.setBrush(Brown);
        P.drawRect(8, 9, 1, 2);
        break;
    case bkRetry: {
        P.setPen(PenOf(Green, 2));
        P.drawArc(3, 3, 11, 11, 90 * 16, 270 * 16);
        P.setPen(Qt::NoPen);
        P.setBrush(Green);
        P.drawPolygon(QPolygon({QPoint(8, 0), QPoint(12, 3), QPoint(8, 6)}));
        break;
    }
    case bkIgnore:
        P.setPen(PenOf(Navy, 2));
        P.drawLine(2, 12, 12, 12);
        P.setPen(Qt::NoPen);
        P.setBrush(Navy);
        P.drawPolygon(QPolygon({QPoint(12, 8), QPoint(16, 12), QPoint(12, 16)}));
        P.setPen(PenOf(Qt::black, 1));
        P.drawLine(6, 3, 6, 9);
        break;
    case bkCustom: return QImage();
    }
    P.end();
    return I;
}

} // namespace

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner)
{
    FGlyph.OnChange = [this] { Invalidate(); };
}

TBitBtn::~TBitBtn() = default;

String TBitBtn::KindCaption(TBitBtnKind Kind)
{
    return InfoOf(Kind).Caption;
}

TModalResult TBitBtn::KindModalResult(TBitBtnKind Kind)
{
    return InfoOf(Kind).Result;
}

QImage TBitBtn::KindGlyph(TBitBtnKind Kind)
{
    InfoOf(Kind);
    return MakeKindGlyph(Kind);
}

TBitBtnKind TBitBtn::Kind() const
{
    // A button changed away from its kind's values is a custom one.
    if (FKind != bkCustom) {
        const bool DefaultKind = FKind == bkOK || FKind == bkYes;
        const bool CancelKind = FKind == bkCancel || FKind == bkNo;
        if (DefaultKind != Default() || CancelKind != Cancel() || ModalResult() != KindModalResult(FKind) ||
            FModifiedGlyph)
            FKind = bkCustom;
    }
    return FKind;
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
    InfoOf(Value);
    if (Value == FKind)
        return;
    if (Value != bkCustom) {
        SetDefault(Value == bkOK || Value == bkYes);
        SetCancel(Value == bkCancel || Value == bkNo);
        // While loading, a caption read before the kind stays.
        if (!IsLoading() || Caption().empty())
            SetCaption(KindCaption(Value));
        SetModalResult(KindModalResult(Value));
        FGlyph.SetGlyph(nullptr);
        FGlyph.SetBuiltIn(MakeKindGlyph(Value));
        FModifiedGlyph = false;
    } else {
        FGlyph.SetBuiltIn(QImage());
    }
    FKind = Value;
    Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* Value)
{
    FGlyph.SetGlyph(Value);
    FGlyph.SetBuiltIn(QImage());
    FModifiedGlyph = Value && !Value->Empty();
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value)
{
    if (Value < blGlyphLeft || Value > blGlyphBottom)
        throw EInvalidOperation("Invalid button layout " + std::to_string(static_cast<int>(Value)));
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value)
{
    if (Value < -1)
        throw EInvalidOperation("Margin must be -1 or more (" + std::to_string(Value) + ")");
    FMargin = Value;
    Invalidate();
}

void TBitBtn::SetSpacing(int Value)
{
    if (Value < -1)
        throw EInvalidOperation("Spacing must be -1 or more (" + std::to_string(Value) + ")");
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::Click()
{
    if (Kind() == bkClose) {
        if (TCustomForm* F = GetParentForm()) {
            F->Close();
            return;
        }
    }
    TButton::Click();
}

void TBitBtn::DrawFace(TCanvas* Canvas, const TRect& Rect, TPoint Offset)
{
    const TButtonState State = !Enabled() ? bsDisabled : Pressed() ? bsDown : bsUp;
    FGlyph.Draw(Canvas, Rect, Offset, Caption(), FLayout, FMargin, FSpacing, State);
}

// ---------------------------------------------------------------- registration

void RegisterButtonsClasses()
{
    RegisterClasses<TSpeedButton, TBitBtn>();
}

namespace {
[[maybe_unused]] const bool ButtonsRegistered = (RegisterButtonsClasses(), true);
}
