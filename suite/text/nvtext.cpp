// The text-effects renderer.
#include "nvtext.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "TypInfo.h"

// ---------------------------------------------------------------- geometry helpers

namespace {

constexpr TPoint OrientationVectors[] = {
    TPoint(1, 1),  // nvTopLeft
    TPoint(-1, 1), // nvTopRight
    TPoint(1, -1), // nvBottomLeft
    TPoint(-1, -1), // nvBottomRight
    TPoint(0, 1),  // nvTop
    TPoint(-1, 0), // nvRight
    TPoint(1, 0),  // nvLeft
    TPoint(0, -1), // nvBottom
};

int Sign(int V)
{
    return (V > 0) - (V < 0);
}

double RotationRadians(int Degrees)
{
    return Degrees * std::numbers::pi / 180.0;
}

// sin and cos of whole degrees, exact at the quarter turns so that the
// truncations of the geometry do not depend on 6.1E-17 residues.
void SinCos(int Degrees, double& S, double& C)
{
    switch (((Degrees % 360) + 360) % 360) {
    case 0:
        S = 0;
        C = 1;
        return;
    case 90:
        S = 1;
        C = 0;
        return;
    case 180:
        S = 0;
        C = -1;
        return;
    case 270:
        S = -1;
        C = 0;
        return;
    default:
        S = std::sin(RotationRadians(Degrees));
        C = std::cos(RotationRadians(Degrees));
    }
}

const TnvCharSet& WordDelimiters()
{
    static const TnvCharSet Set = CharSetOf(" \t");
    return Set;
}

int CountBlanks(const String& S)
{
    return static_cast<int>(std::count(S.begin(), S.end(), ' '));
}

} // namespace

TPoint OrientationVector(TnvOrientation Orientation)
{
    const int I = static_cast<int>(Orientation);
    if (I < 0 || I > 7)
        return TPoint(0, 0);
    return OrientationVectors[I];
}

int nvRoundDown(double X)
{
    return static_cast<int>(std::nearbyint(X - 0.4999));
}

int NormalizeRotation(int Degrees)
{
    if (Degrees < 0)
        return 360 - static_cast<int>(-static_cast<int64_t>(Degrees) % 360);
    return Degrees % 360;
}

TColor ExtrudeLayerColor(TColor NearColor, TColor FarColor, int Depth, int Layer, bool Striated)
{
    if (Depth <= 0)
        return ColorToRGB(NearColor);
    uint8_t B3, N[3], F[3];
    ColorToBytes(NearColor, B3, N[2], N[1], N[0]); // red, green, blue in N[0..2]
    ColorToBytes(FarColor, B3, F[2], F[1], F[0]);
    int Out[3];
    for (int K = 0; K < 3; ++K) {
        const int Near = N[K], Far = F[K];
        if (Striated) {
            const int Div = (Layer % 2 != 0) ? 1 : 4;
            Out[K] = ((Layer * ((Near - Far) / Depth + Far)) / Div) & 0xFF;
        } else {
            const double Ratio = static_cast<double>(Depth) / Layer;
            Out[K] = std::clamp(nvRoundDown(Far + (Near - Far) / Ratio), 0, 255);
        }
    }
    return RGB(Out[0], Out[1], Out[2]);
}

void LogFontToFont(const TnvLogFont& LogFont, TFont* Font)
{
    if (!Font)
        return;
    TFontStyles Style;
    if (LogFont.lfWeight >= 700)
        Style |= fsBold;
    if (LogFont.lfItalic)
        Style |= fsItalic;
    if (LogFont.lfUnderline)
        Style |= fsUnderline;
    if (LogFont.lfStrikeOut)
        Style |= fsStrikeOut;
    static constexpr TFontPitch Pitches[] = {fpDefault, fpFixed, fpVariable, fpDefault};
    Font->SetName(LogFont.lfFaceName);
    Font->SetHeight(LogFont.lfHeight);
    Font->SetStyle(Style);
    Font->SetCharset(LogFont.lfCharSet);
    Font->SetPitch(Pitches[LogFont.lfPitchAndFamily & 3]);
    Font->SetOrientation(std::clamp(LogFont.lfEscapement, -3600, 3600));
}

// ---------------------------------------------------------------- TnvShadowEffects

TnvShadowEffects::TnvShadowEffects(TnvText* Owner) : FOwner(Owner) {}

void TnvShadowEffects::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    if (FOwner)
        FOwner->Changed(false);
}

void TnvShadowEffects::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    if (FOwner)
        FOwner->Changed(true);
}

void TnvShadowEffects::SetXOffset(int Value)
{
    if (Value == FXOffset)
        return;
    FXOffset = Value;
    if (FOwner)
        FOwner->Changed(true);
}

void TnvShadowEffects::SetYOffset(int Value)
{
    if (Value == FYOffset)
        return;
    FYOffset = Value;
    if (FOwner)
        FOwner->Changed(true);
}

void TnvShadowEffects::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvShadowEffects*>(Source)) {
        SetColor(S->FColor);
        SetEnabled(S->FEnabled);
        SetXOffset(S->FXOffset);
        SetYOffset(S->FYOffset);
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvShadowEffects::GetOwner()
{
    return FOwner;
}

// ---------------------------------------------------------------- TnvExtrudeEffects

TnvExtrudeEffects::TnvExtrudeEffects(TnvText* Owner) : FOwner(Owner) {}

void TnvExtrudeEffects::SetDepth(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FDepth)
        return;
    FDepth = Value;
    if (FOwner)
        FOwner->Changed(true);
}

void TnvExtrudeEffects::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    if (FOwner)
        FOwner->Changed(true);
}

void TnvExtrudeEffects::SetFarColor(TColor Value)
{
    if (Value == FFarColor)
        return;
    FFarColor = Value;
    if (FOwner)
        FOwner->Changed(false);
}

void TnvExtrudeEffects::SetNearColor(TColor Value)
{
    if (Value == FNearColor)
        return;
    FNearColor = Value;
    if (FOwner)
        FOwner->Changed(false);
}

void TnvExtrudeEffects::SetOrientation(TnvOrientation Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    if (FOwner)
        FOwner->Changed(true);
}

void TnvExtrudeEffects::SetStriated(bool Value)
{
    if (Value == FStriated)
        return;
    FStriated = Value;
    if (FOwner)
        FOwner->Changed(false);
}

void TnvExtrudeEffects::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvExtrudeEffects*>(Source)) {
        SetDepth(S->FDepth);
        SetEnabled(S->FEnabled);
        SetFarColor(S->FFarColor);
        SetNearColor(S->FNearColor);
        SetOrientation(S->FOrientation);
        SetStriated(S->FStriated);
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvExtrudeEffects::GetOwner()
{
    return FOwner;
}

// ---------------------------------------------------------------- TnvDisabledColors

TnvDisabledColors::TnvDisabledColors(TnvText* Owner) : FOwner(Owner) {}

void TnvDisabledColors::SetHighlightColor(TColor Value)
{
    if (Value == FHighlightColor)
        return;
    FHighlightColor = Value;
    if (FOwner)
        FOwner->DoInvalidate();
}

void TnvDisabledColors::SetShadeColor(TColor Value)
{
    if (Value == FShadeColor)
        return;
    FShadeColor = Value;
    if (FOwner)
        FOwner->DoInvalidate();
}

void TnvDisabledColors::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvDisabledColors*>(Source)) {
        SetHighlightColor(S->FHighlightColor);
        SetShadeColor(S->FShadeColor);
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvDisabledColors::GetOwner()
{
    return FOwner;
}

// ---------------------------------------------------------------- TnvText

namespace {

// Pairs PrepareFont with ReleaseFont for one drawing style.
class TFontScope {
public:
    explicit TFontScope(TnvText* Text) : FText(Text) { FText->PrepareFont(); }
    ~TFontScope() { FText->ReleaseFont(); }
    TFontScope(const TFontScope&) = delete;
    TFontScope& operator=(const TFontScope&) = delete;

private:
    TnvText* FText;
};

class TLockScope {
public:
    explicit TLockScope(TCanvas* Canvas) : FCanvas(Canvas)
    {
        if (FCanvas)
            FCanvas->Lock();
    }
    ~TLockScope()
    {
        if (FCanvas)
            FCanvas->Unlock();
    }
    TLockScope(const TLockScope&) = delete;
    TLockScope& operator=(const TLockScope&) = delete;

private:
    TCanvas* FCanvas;
};

} // namespace

TnvText::TnvText(const TnvTextCallbacks& Callbacks, TFont* OwnerFont, TCanvas* OwnerCanvas, QObject* Parent)
    : QObject(Parent), FCallbacks(Callbacks), FFont(OwnerFont), FCanvas(OwnerCanvas),
      FDisabledColors(std::make_unique<TnvDisabledColors>(this)),
      FExtrudeEffects(std::make_unique<TnvExtrudeEffects>(this)), FShadow(std::make_unique<TnvShadowEffects>(this))
{
    UpdateDrawFlags();
}

TnvText::~TnvText() = default;

void TnvText::SetText(const String& Value)
{
    if (Value != FText)
        FText = Value;
}

bool TnvText::IsEnabled() const
{
    return FCallbacks.IsEnabled ? FCallbacks.IsEnabled() : true;
}

void TnvText::DoInvalidate()
{
    if (FCallbacks.Invalidate)
        FCallbacks.Invalidate();
}

void TnvText::DoSizeChanged()
{
    if (FCallbacks.SizeChanged)
        FCallbacks.SizeChanged();
}

void TnvText::Changed(bool SizeChange)
{
    if (SizeChange)
        DoSizeChanged();
    DoInvalidate();
}

void TnvText::UpdateDrawFlags()
{
    unsigned Flags = DT_NOCLIP | (FDrawFlags & (DT_CENTER | DT_RIGHT));
    if (!FOptions.testFlag(toShowAccel))
        Flags |= DT_NOPREFIX;
    if (FOptions.testFlag(toShowEllipsis))
        Flags |= DT_END_ELLIPSIS;
    if (FWordWrap)
        Flags |= DT_WORDBREAK;
    FDrawFlags = Flags;
}

void TnvText::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Changed(false);
}

void TnvText::SetVAlignment(TnvVAlignment Value)
{
    if (Value == FVAlignment)
        return;
    FVAlignment = Value;
    Changed(false);
}

void TnvText::SetHighlightColor(TColor Value)
{
    if (Value == FHighlightColor)
        return;
    FHighlightColor = Value;
    Changed(false);
}

void TnvText::SetShadeColor(TColor Value)
{
    if (Value == FShadeColor)
        return;
    FShadeColor = Value;
    Changed(false);
}

void TnvText::SetOutlineColor(TColor Value)
{
    if (Value == FOutlineColor)
        return;
    FOutlineColor = Value;
    Changed(false);
}

void TnvText::SetLineSpacing(int Value)
{
    if (Value == FLineSpacing)
        return;
    FLineSpacing = Value;
    Changed(true);
}

void TnvText::SetOptions(TnvTextOptions Value)
{
    if (Value == FOptions)
        return;
    FOptions = Value;
    UpdateDrawFlags();
    Changed(true);
}

void TnvText::SetRotation(int Value)
{
    Value = NormalizeRotation(Value);
    if (Value == FRotation)
        return;
    FRotation = Value;
    Changed(true);
}

void TnvText::SetStyle(TnvTextStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed(true);
}

void TnvText::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    UpdateDrawFlags();
    Changed(false);
}

TPoint TnvText::ExtrudeVector() const
{
    return OrientationVector(FExtrudeEffects->Orientation());
}

TPoint TnvText::ShadowOffset() const
{
    if (!FShadow->Enabled())
        return TPoint(0, 0);
    int SX = FShadow->XOffset(), SY = FShadow->YOffset();
    if (FExtrudeEffects->Enabled()) {
        const TPoint V = ExtrudeVector();
        if (SX == 0 || Sign(SX) != Sign(V.X))
            SX = 0;
        if (SY == 0 || Sign(SY) != Sign(V.Y))
            SY = 0;
    }
    return TPoint(SX, SY);
}

TPoint TnvText::ExtrudeExtent() const
{
    if (!FExtrudeEffects->Enabled())
        return TPoint(0, 0);
    return TPoint(FExtrudeEffects->Depth(), FExtrudeEffects->Depth());
}

TPoint TnvText::OrientedExtrudeExtent() const
{
    if (!FExtrudeEffects->Enabled())
        return TPoint(0, 0);
    const TPoint V = ExtrudeVector();
    return TPoint(FExtrudeEffects->Depth() * std::abs(V.X), FExtrudeEffects->Depth() * std::abs(V.Y));
}

TCanvas* TnvText::GetCanvas()
{
    return FScratchCanvas ? FScratchCanvas.get() : FCanvas;
}

TnvLogFont TnvText::GetLogFont()
{
    TnvLogFont LF;
    TFont* F = FFont;
    if (!F) {
        TCanvas* C = GetCanvas();
        F = C ? C->Font() : nullptr;
    }
    const int Tenths = FRotation * 10;
    LF.lfEscapement = Tenths;
    LF.lfOrientation = Tenths;
    LF.lfWidth = 0;
    LF.lfClipPrecision = 0;
    LF.lfQuality = 2;
    LF.lfPitchAndFamily = 2;
    LF.lfOutPrecision = FRotation == 0 ? OUT_TT_PRECIS : OUT_TT_ONLY_PRECIS;
    if (F) {
        LF.lfHeight = F->Height();
        const TFontStyles S = F->Style();
        LF.lfWeight = S.testFlag(fsBold) ? 700 : 400;
        LF.lfItalic = S.testFlag(fsItalic);
        LF.lfUnderline = S.testFlag(fsUnderline);
        LF.lfStrikeOut = S.testFlag(fsStrikeOut);
        LF.lfCharSet = F->Charset() == DEFAULT_CHARSET ? ANSI_CHARSET : F->Charset();
        LF.lfFaceName = F->Name();
    }
    return LF;
}

String TnvText::MeasuredText() const
{
    return FOptions.testFlag(toShowAccel) ? StripAccelerators(FText) : FText;
}

TSize TnvText::CalcTextSize()
{
    TCanvas* C = GetCanvas();
    if (!C)
        return TSize(1, 0);
    const TPoint S = ShadowOffset();
    const TPoint E = ExtrudeExtent();
    TRect R = FRect;
    R.Right -= std::max(S.X, E.X);
    R.Bottom -= std::max(S.Y, E.Y);
    // The measured text no longer has accelerator marks, so whatever '&' it
    // still holds is a literal character.
    const unsigned Flags = FDrawFlags | (FOptions.testFlag(toShowAccel) ? unsigned(DT_NOPREFIX) : 0u);
    const int Width = FWordWrap ? std::max(1, R.Width()) : 0;
    const TSize Size = MultiLineTextExtent(C, MeasuredText(), FLineSpacing, Flags, Width);
    return TSize(Size.cx + 1, Size.cy);
}

void TnvText::CalcExtent(bool Clip, TSize& Size)
{
    const TSize T = CalcTextSize();
    const TPoint E = ExtrudeExtent();
    const TPoint S = ShadowOffset();
    int W = T.cx + E.X + S.X;
    int H = T.cy + E.Y + S.Y;
    if (FStyle == nvlsOutline) {
        W += 2;
        H += 2;
    }
    double Sin, Cos;
    SinCos(FRotation, Sin, Cos);
    Size.cx = nvRoundDown(std::abs(Sin) * H + std::abs(Cos) * W);
    Size.cy = nvRoundDown(std::abs(Cos) * H + std::abs(Sin) * W);
    if (!Clip) {
        Size.cx = std::min(Size.cx, FRect.Width());
        Size.cy = std::min(Size.cy, FRect.Height());
    }
}

void TnvText::CalcTextRect(bool Clip, TRect& R)
{
    R.Left = FRect.Left + FRect.Width() / 2;
    R.Top = FRect.Top + FRect.Height() / 2;
    const TPoint S = ShadowOffset();
    const TPoint E = ExtrudeExtent();
    R.Left -= S.X / 2;
    R.Top -= S.Y / 2;
    R.Left -= E.X / 2;
    R.Top -= E.Y / 2;
    const TSize T = CalcTextSize();
    double Sin, Cos;
    SinCos(FRotation, Sin, Cos);
    R.Left -= nvRoundDown(Cos * T.cx) / 2;
    R.Top += nvRoundDown(Sin * T.cx) / 2;
    R.Top -= nvRoundDown(Cos * T.cy) / 2;
    R.Left -= nvRoundDown(Sin * T.cy) / 2;
    TSize Size;
    CalcExtent(Clip, Size);
    R.Right = R.Left + Size.cx;
    R.Bottom = R.Top + Size.cy;
    if (R.Left < FRect.Left)
        OffsetRect(R, FRect.Left - R.Left, 0);
    if (R.Top < FRect.Top)
        OffsetRect(R, 0, FRect.Top - R.Top);
}

void TnvText::CalcRect(bool Clip, TRect& R)
{
    TFontScope Scope(this);
    CalcTextRect(Clip, R);
}

void TnvText::PrepareFont()
{
    TCanvas* C = GetCanvas();
    if (!C)
        return;
    FLineCache.Valid = false;
    if (FPrepareLevel++ == 0) {
        FSavedFont = std::make_unique<TFont>();
        FSavedFont->Assign(C->Font());
        FSavedFontCanvas = C;
    }
    const TColor Color = FFont ? FFont->Color() : C->Font()->Color();
    LogFontToFont(GetLogFont(), C->Font());
    C->Font()->SetColor(Color);
    CalcTextRect(false, FTextRect);
}

void TnvText::ReleaseFont()
{
    if (FPrepareLevel == 0)
        return;
    FLineCache.Valid = false;
    if (--FPrepareLevel == 0) {
        if (FSavedFontCanvas && FSavedFont)
            FSavedFontCanvas->Font()->Assign(FSavedFont.get());
        FSavedFont.reset();
        FSavedFontCanvas = nullptr;
    }
}

void TnvText::AssignFont(TFont* AFont)
{
    if (!AFont || !FFont || AFont == FFont)
        return;
    FFont->SetStyle(AFont->Style());
    FFont->SetName(AFont->Name());
    FFont->SetColor(AFont->Color());
    FFont->SetHeight(AFont->Height());
    FFont->SetPitch(AFont->Pitch());
    FFont->SetCharset(AFont->Charset());
}

void TnvText::SetCanvasFontColor(TColor Color)
{
    if (TCanvas* C = GetCanvas())
        C->Font()->SetColor(Color);
}

TPoint TnvText::LineAdvance(int D) const
{
    double Sin, Cos;
    SinCos(FRotation, Sin, Cos);
    return TPoint(nvRoundDown(Sin * D), nvRoundDown(Cos * D));
}

void TnvText::DrawLinesAt(int DX, int DY, TColor Color)
{
    if (Color == clNone)
        return;
    TRect R = FTextRect;
    OffsetRect(R, DX, DY);
    SetCanvasFontColor(Color);
    DrawTextLines(R);
}

void TnvText::DrawTextLines(TRect R)
{
    TCanvas* C = GetCanvas();
    if (!C)
        return;
    const int OldMode = SetBkMode(C, TRANSPARENT);
    if (FWordWrap && FOptions.testFlag(toFullJustify)) {
        DrawJustifiedLines(C, R);
    } else {
        // The cache holds only within one drawing style: the font is fixed there.
        TLineCache& Cache = FLineCache;
        if (FPrepareLevel == 0 || !Cache.Valid || Cache.Text != FText || Cache.Flags != FDrawFlags ||
            Cache.Width != R.Width()) {
            static const String CRLF = "\r\n";
            Cache.Lines.clear();
            const int Lines = TokenCount(FText, CRLF);
            for (int I = 0; I < Lines; ++I) {
                String Line = GetToken(FText, CRLF, I);
                const int Advance = TextHeightInWidth(C, FDrawFlags, R.Width(), Line) + FLineSpacing;
                Cache.Lines.emplace_back(std::move(Line), Advance);
            }
            Cache.Text = FText;
            Cache.Flags = FDrawFlags;
            Cache.Width = R.Width();
            Cache.Valid = FPrepareLevel > 0;
        }
        for (const auto& [Line, Advance] : Cache.Lines) {
            TRect LR = R;
            DrawTextEx(C, Line, LR, FDrawFlags, nullptr);
            const TPoint A = LineAdvance(Advance);
            OffsetRect(R, A.X, A.Y);
        }
    }
    SetBkMode(C, OldMode);
}

// Full justification: the text's paragraphs, each laid out word by word in
// lines that fill R's width, every line but a paragraph's last one spread to
// the full width over its blanks.
void TnvText::DrawJustifiedLines(TCanvas* C, TRect R)
{
    const String Text = MeasuredText();
    const int Width = R.Width();
    const int LineHeight = std::max(1, TextHeightInWidth(C, FDrawFlags, std::max(5, Width), "AgTpjW"));
    const int Budget = R.Height() / LineHeight + 1;
    static const String LFLF = "\n\n";
    static const String CRLF = "\r\n";
    const String& Sep = TokenCount(Text, LFLF) >= 2 ? LFLF : CRLF;
    const int Paragraphs = TokenCount(Text, Sep);
    const TPoint LineStep = LineAdvance(LineHeight);
    const int BlankWidth = C->TextWidth(" ");
    for (int P = 0; P < Paragraphs; ++P) {
        const String Para = GetToken(Text, Sep, P);
        int Pos = 1;
        bool Ended = false;
        for (int LineNo = 0; LineNo < Budget + 2 && !Ended; ++LineNo) {
            String Line;
            int LineWidth = 0;
            for (;;) {
                const int Before = Pos;
                String Word;
                NextToken(Para, Pos, 0, Word, WordDelimiters());
                if (Word.empty()) {
                    Ended = true;
                    break;
                }
                const int WordWidth = C->TextWidth(Word);
                // A word wider than the whole line goes on a line of its own
                // rather than never fitting.
                if (LineWidth + WordWidth < Width || Line.empty()) {
                    // Widths add up: text is laid out without kerning.
                    Line += Word;
                    LineWidth += WordWidth;
                    if (Word.size() == 1 && Word[0] != ' ') {
                        Line += ' ';
                        LineWidth += BlankWidth;
                    }
                    if (LineWidth >= Width)
                        break;
                } else {
                    Pos = Before;
                    break;
                }
            }
            Line = TrimBlanks(Line);
            const int Blanks = CountBlanks(Line);
            const bool Justify = !Ended && Blanks > 0 && Pos <= static_cast<int>(Para.size());
            if (Justify)
                SetTextJustification(C, Width - C->TextWidth(Line), Blanks);
            if (!Line.empty())
                TextOut(C, R.Left, R.Top, Line);
            if (Justify)
                SetTextJustification(C, 0, 0);
            OffsetRect(R, LineStep.X, LineStep.Y);
        }
        const TPoint Gap = LineAdvance(FLineSpacing);
        OffsetRect(R, Gap.X, Gap.Y);
    }
}

void TnvText::DrawExtrusion()
{
    if (!FExtrudeEffects->Enabled())
        return;
    const TPoint OE = OrientedExtrudeExtent();
    const TPoint V = ExtrudeVector();
    const int D = FExtrudeEffects->Depth();
    OffsetRect(FTextRect, OE.X / 2, OE.Y / 2);
    OffsetRect(FTextRect, -V.X * (OE.X / 2), -V.Y * (OE.Y / 2));
    for (int I = 1; I <= D; ++I) {
        OffsetRect(FTextRect, V.X, V.Y);
        SetCanvasFontColor(ExtrudeLayerColor(FExtrudeEffects->NearColor(), FExtrudeEffects->FarColor(), D, I,
                                             FExtrudeEffects->Striated()));
        DrawTextLines(FTextRect);
    }
}

void TnvText::DrawShadow()
{
    if (!FShadow->Enabled())
        return;
    DrawLinesAt(FShadow->XOffset(), FShadow->YOffset(),
                IsEnabled() ? FShadow->Color() : FDisabledColors->ShadeColor());
}

void TnvText::DrawAlongExtrusion()
{
    const TPoint V = ExtrudeVector();
    DrawLinesAt(-V.X, -V.Y, FHighlightColor);
    DrawLinesAt(0, 0, FFont ? FFont->Color() : clWindowText);
}

void TnvText::DrawOutline(TColor Color)
{
    for (const TPoint& V : OrientationVectors)
        DrawLinesAt(V.X, V.Y, Color);
}

void TnvText::DrawDefault()
{
    if (!IsEnabled()) {
        DrawEmbossed(false);
        return;
    }
    TFontScope Scope(this);
    DrawExtrusion();
    DrawShadow();
    DrawLinesAt(0, 0, FFont ? FFont->Color() : clWindowText);
}

void TnvText::DrawEmbossed(bool Raised)
{
    TFontScope Scope(this);
    TLockScope Lock(GetCanvas());
    DrawExtrusion();
    DrawShadow();
    const bool Enabled = IsEnabled();
    if (Enabled) {
        DrawLinesAt(-1, -1, Raised ? FHighlightColor : FShadeColor);
        DrawLinesAt(1, 1, Raised ? FShadeColor : FHighlightColor);
        DrawLinesAt(0, 0, FFont ? FFont->Color() : clWindowText);
    } else {
        // The disabled look is the same for every embossing: a highlight
        // copy one pixel down and right under the text in the shade colour.
        DrawLinesAt(1, 1, FDisabledColors->HighlightColor());
        DrawLinesAt(0, 0, FDisabledColors->ShadeColor());
    }
}

void TnvText::DrawOutlined()
{
    TFontScope Scope(this);
    DrawExtrusion();
    DrawShadow();
    const bool Enabled = IsEnabled();
    DrawOutline(Enabled ? FOutlineColor : FDisabledColors->ShadeColor());
    DrawLinesAt(0, 0, Enabled ? (FFont ? FFont->Color() : clWindowText) : FDisabledColors->HighlightColor());
}

void TnvText::Draw()
{
    if (!FCanvas)
        return;
    const TRect SavedRect = FRect;
    struct TRestore {
        TnvText* Self;
        TRect Rect;
        ~TRestore()
        {
            Self->FRect = Rect;
            Self->FScratchCanvas.reset();
            Self->FScratchImage.reset();
        }
    } Restore{this, SavedRect};

    TRect Clip;
    if (FDoubleBuffered) {
        Clip = FCanvas->ClipRect();
        if (Clip.IsEmpty() || Clip.Right <= 0 || Clip.Bottom <= 0)
            return;
        const QImage* Target = FCanvas->Target();
        const QImage::Format Format = Target ? Target->format() : QImage::Format_ARGB32_Premultiplied;
        FScratchImage = std::make_unique<QImage>(Clip.Right, Clip.Bottom,
                                                 Format == QImage::Format_Mono || Format == QImage::Format_MonoLSB
                                                     ? QImage::Format_ARGB32_Premultiplied
                                                     : Format);
        FScratchImage->fill(Qt::transparent);
        FScratchCanvas = std::make_unique<TCanvas>(FScratchImage.get());
        FScratchCanvas->Font()->Assign(FCanvas->Font());
        FScratchCanvas->Brush()->SetStyle(bsClear);
        BitBlt(FScratchCanvas.get(), Clip.Left, Clip.Top, Clip.Width(), Clip.Height(), FCanvas, Clip.Left, Clip.Top,
               SRCCOPY);
    }

    FDrawFlags &= ~unsigned(DT_CENTER | DT_RIGHT);
    if (FRotation % 360 == 0) {
        if (FAlignment == taCenter)
            FDrawFlags |= DT_CENTER;
        else if (FAlignment == taRightJustify)
            FDrawFlags |= DT_RIGHT;
        // The text's whole extent (not limited to Rect), so that text larger
        // than Rect keeps the edge its alignment names: right-aligned text
        // its right edge, bottom-aligned text its bottom. An end ellipsis is
        // there to fit a line into Rect's width, so with it the width stays
        // within Rect (and a line too long ends in the ellipsis).
        TRect T;
        CalcRect(true, T);
        const int Width = FOptions.testFlag(toShowEllipsis) ? std::min(T.Width(), FRect.Width()) : T.Width();
        if (FAlignment == taLeftJustify)
            FRect.Right = FRect.Left + Width;
        else if (FAlignment == taRightJustify)
            FRect.Left = FRect.Right - Width;
        if (FVAlignment == vaTop)
            FRect.Bottom = FRect.Top + T.Height();
        else if (FVAlignment == vaBottom)
            FRect.Top = FRect.Bottom - T.Height();
    }

    switch (FStyle) {
    case nvlsDefault:
        DrawDefault();
        break;
    case nvlsLowered:
        DrawEmbossed(false);
        break;
    case nvlsRaised:
        DrawEmbossed(true);
        break;
    case nvlsOutline:
        DrawOutlined();
        break;
    }

    if (FScratchCanvas)
        BitBlt(FCanvas, Clip.Left, Clip.Top, Clip.Width(), Clip.Height(), FScratchCanvas.get(), Clip.Left, Clip.Top,
               SRCCOPY);
}

void TnvText::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvText*>(Source)) {
        SetAlignment(S->FAlignment);
        SetVAlignment(S->FVAlignment);
        FDisabledColors->Assign(S->FDisabledColors.get());
        FExtrudeEffects->Assign(S->FExtrudeEffects.get());
        FShadow->Assign(S->FShadow.get());
        SetHighlightColor(S->FHighlightColor);
        SetShadeColor(S->FShadeColor);
        SetOutlineColor(S->FOutlineColor);
        SetLineSpacing(S->FLineSpacing);
        SetOptions(S->FOptions);
        SetRotation(S->FRotation);
        SetStyle(S->FStyle);
        SetWordWrap(S->FWordWrap);
        SetDoubleBuffered(S->FDoubleBuffered);
        SetText(S->FText);
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvText::GetOwner()
{
    return dynamic_cast<TPersistent*>(parent());
}

// ---------------------------------------------------------------- TnvCaptionText

TnvCaptionText::TnvCaptionText(const TnvTextCallbacks& Callbacks, TFont* OwnerFont, TCanvas* OwnerCanvas,
                               QObject* Parent)
    : TnvText(Callbacks, OwnerFont, OwnerCanvas, Parent)
{
}
