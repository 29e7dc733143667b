#include "nvButton.h"

#include <QCursor>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <map>

#include "DBFields.h"
#include "FormStream.h"
#include "ImageList.h"
#include "Regions.h"
#include "Streams.h"

// ---------------------------------------------------------------- TnvOffsets

TnvOffsets::TnvOffsets(TnvCustomBitBtn* Button) : FButton(Button) {}

TnvOffsets::~TnvOffsets() = default;

void TnvOffsets::Changed()
{
    if (FButton)
        FButton->Invalidate();
}

void TnvOffsets::SetGlyphX(int Value)
{
    if (FGlyphX != Value) {
        FGlyphX = Value;
        Changed();
    }
}

void TnvOffsets::SetGlyphY(int Value)
{
    if (FGlyphY != Value) {
        FGlyphY = Value;
        Changed();
    }
}

void TnvOffsets::SetTextX(int Value)
{
    if (FTextX != Value) {
        FTextX = Value;
        Changed();
    }
}

void TnvOffsets::SetTextY(int Value)
{
    if (FTextY != Value) {
        FTextY = Value;
        Changed();
    }
}

void TnvOffsets::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvOffsets*>(Source)) {
        FGlyphX = S->FGlyphX;
        FGlyphY = S->FGlyphY;
        FTextX = S->FTextX;
        FTextY = S->FTextY;
        FTextDownX = S->FTextDownX;
        FTextDownY = S->FTextDownY;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvOffsets::GetOwner()
{
    return FButton;
}

// ---------------------------------------------------------------- TnvShadeColors

TnvShadeColors::TnvShadeColors(TnvCustomBitBtn* Button) : FButton(Button) {}

TnvShadeColors::~TnvShadeColors() = default;

void TnvShadeColors::Set(TColor& Field, TColor Value)
{
    if (Field == Value)
        return;
    Field = Value;
    if (FButton)
        FButton->Invalidate();
}

void TnvShadeColors::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvShadeColors*>(Source)) {
        FBtn3DLight = S->FBtn3DLight;
        FBtnHighlight = S->FBtnHighlight;
        FBtnShadow = S->FBtnShadow;
        FBtnBlack = S->FBtnBlack;
        FBtnFocus = S->FBtnFocus;
        FShadow = S->FShadow;
        if (FButton)
            FButton->Invalidate();
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvShadeColors::GetOwner()
{
    return FButton;
}

// ---------------------------------------------------------------- kinds

namespace {

struct TKindInfo {
    const char* Caption;
    TModalResult Result;
};

const TKindInfo& KindInfo(TBitBtnKind Kind)
{
    static const TKindInfo Table[] = {
        {"", mrNone},         // bkCustom
        {"OK", mrOk},         // bkOK
        {"Cancel", mrCancel}, // bkCancel
        {"&Help", mrNone},    // bkHelp
        {"&Yes", mrYes},      // bkYes
        {"&No", mrNo},        // bkNo
        {"&Close", mrNone},   // bkClose
        {"Abort", mrAbort},   // bkAbort
        {"&Retry", mrRetry},  // bkRetry
        {"&Ignore", mrIgnore}, // bkIgnore
        {"&All", mrAll},      // bkAll
    };
    const int I = static_cast<int>(Kind);
    return Table[(I >= 0 && I <= static_cast<int>(bkAll)) ? I : 0];
}

// The colour outside a kind glyph's picture (its bottom-left pixel).
constexpr QRgb KindGlyphKey = qRgb(0, 128, 128);

// A two-cell glyph: the kind's picture, then its disabled look (the
// picture's pixels in clBtnShadow over clBtnHighlight one pixel down and
// right). The bottom-left pixel of each cell stays the transparent colour.
std::unique_ptr<TBitmap> MakeKindBitmap(TBitBtnKind Kind)
{
    const QImage Picture = TBitBtn::KindGlyph(Kind);
    auto B = std::make_unique<TBitmap>();
    if (Picture.isNull())
        return B;
    const int W = Picture.width(), H = Picture.height();
    auto Opaque = [&](int X, int Y) { return qAlpha(Picture.pixel(X, Y)) >= 128 && !(X == 0 && Y == H - 1); };
    QImage Cells(2 * W, H, QImage::Format_RGB32);
    Cells.fill(KindGlyphKey);
    const QRgb Highlight = ColorToQRgb(clBtnHighlight), Shade = ColorToQRgb(clBtnShadow);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            if (Opaque(X, Y)) {
                const QRgb P = Picture.pixel(X, Y);
                Cells.setPixel(X, Y, qRgb(qRed(P), qGreen(P), qBlue(P)));
                if (X + 1 < W && Y + 1 < H)
                    Cells.setPixel(W + X + 1, Y + 1, Highlight);
            }
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            if (Opaque(X, Y))
                Cells.setPixel(W + X, Y, Shade);
    B->SetImage(Cells.convertToFormat(QImage::Format_BGR888));
    return B;
}

// The kind glyphs, made on first use and freed at program end.
std::map<TBitBtnKind, std::unique_ptr<TBitmap>>& KindGlyphCache()
{
    static std::map<TBitBtnKind, std::unique_ptr<TBitmap>> Cache;
    return Cache;
}

TColor PixelColor(const QImage& Image, int X, int Y)
{
    return QRgbToColor(Image.pixel(X, Y));
}

} // namespace

String TnvCustomBitBtn::KindCaption(TBitBtnKind Kind)
{
    return KindInfo(Kind).Caption;
}

TBitmap* TnvCustomBitBtn::KindGlyph(TBitBtnKind Kind)
{
    if (Kind == bkCustom)
        return nullptr;
    auto& Cache = KindGlyphCache();
    auto It = Cache.find(Kind);
    if (It == Cache.end())
        It = Cache.emplace(Kind, MakeKindBitmap(Kind)).first;
    return It->second.get();
}

// ---------------------------------------------------------------- TnvCustomBitBtn

TnvCustomBitBtn::TnvCustomBitBtn(TComponent* AOwner) : TWinControl(AOwner)
{
    // Releasing the mouse clicks through the press cycle, not the generic click.
    FControlStyle &= ~TControlStyle(csClickEvents);
    FControlStyle |= csOpaque;
    FColor = clBtnFace;
    FParentColor = false;
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);

    FGlyph = std::make_unique<TBitmap>();
    FGlyph->OnChange = [this](TObject*) {
        if (!FSettingKindGlyph)
            FModifiedGlyph = true;
        DropGlyphCache();
        GlyphChanged();
    };
    FShadeColors = std::make_unique<TnvShadeColors>(this);
    FOffsets = CreateOffsets();
    FTextOptions = std::make_unique<TnvCaptionText>(
        TnvTextCallbacks{[this] { Invalidate(); }, [this] { Invalidate(); }, [this] { return IsTextEnabled(); }},
        Font(), nullptr, this);
    FTextOptions->SetAlignment(taCenter);
    FTextOptions->SetVAlignment(vaVCenter);
    FDataLink = std::make_unique<TFieldDataLink>();
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FCanvas = std::make_unique<TCanvas>();
}

TnvCustomBitBtn::~TnvCustomBitBtn()
{
    Destroying();
    if (FDataLink) {
        FDataLink->OnDataChange = nullptr;
        FDataLink->SetDataSource(nullptr);
    }
    FChangeLinks.Clear();
    FreeRegionRecord(FRegionData);
    FreeRegionRecord(FDownRegionData);
    if (FGlyph)
        FGlyph->OnChange = nullptr;
}

// ---------------------------------------------------------------- offsets creation (virtual after construction)

std::unique_ptr<TnvOffsets> TnvCustomBitBtn::CreateOffsets()
{
    return std::make_unique<TnvOffsets>(this);
}

// ---------------------------------------------------------------- property setters

void TnvCustomBitBtn::SetAllowAllUp(bool Value)
{
    if (FAllowAllUp != Value) {
        FAllowAllUp = Value;
        UpdateExclusive();
    }
}

void TnvCustomBitBtn::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    FDefault = Value;
    // The default look may move between the buttons of the form.
    if (TCustomForm* F = GetParentForm()) {
        std::vector<TWinControl*> List;
        F->GetTabOrderList(List);
        for (TWinControl* W : List)
            if (dynamic_cast<TnvCustomBitBtn*>(W))
                W->Invalidate();
    }
    Invalidate();
}

void TnvCustomBitBtn::SetDown(bool Value)
{
    if (FGroupIndex == 0 && !IsLoading())
        Value = false;
    if (Value == FDown)
        return;
    SetDownState(Value, true, true);
    if (FDown == Value)
        SelChange();
}

void TnvCustomBitBtn::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    FModifiedGlyph = true;
}

void TnvCustomBitBtn::SetGroupIndex(int Value)
{
    if (FGroupIndex != Value) {
        FGroupIndex = Value;
        UpdateExclusive();
    }
}

TBitBtnKind TnvCustomBitBtn::Kind() const
{
    if (FKind != bkCustom) {
        const bool DefaultKind = FKind == bkOK || FKind == bkYes;
        const bool CancelKind = FKind == bkCancel || FKind == bkNo;
        if (DefaultKind != FDefault || CancelKind != FCancel || FModalResult != KindInfo(FKind).Result ||
            FModifiedGlyph)
            FKind = bkCustom;
    }
    return FKind;
}

void TnvCustomBitBtn::SetKind(TBitBtnKind Value)
{
    if (Value == Kind())
        return;
    if (Value != bkCustom) {
        SetDefault(Value == bkOK || Value == bkYes);
        FCancel = Value == bkCancel || Value == bkNo;
        if (!IsLoading() || Caption().empty())
            SetCaption(KindCaption(Value));
        FModalResult = KindInfo(Value).Result;
        FSettingKindGlyph = true;
        try {
            FGlyph->Assign(KindGlyph(Value));
        } catch (...) {
            FSettingKindGlyph = false;
            throw;
        }
        FSettingKindGlyph = false;
        FNumGlyphs = 2;
        FModifiedGlyph = false;
        DropGlyphCache();
    }
    FKind = Value;
    Invalidate();
}

void TnvCustomBitBtn::SetLayout(TButtonLayout Value)
{
    if (FLayout != Value) {
        FLayout = Value;
        Invalidate();
    }
}

void TnvCustomBitBtn::SetMargin(int Value)
{
    if (Value < -1 || Value == FMargin)
        return;
    FMargin = Value;
    Invalidate();
}

void TnvCustomBitBtn::SetNumGlyphs(int Value)
{
    Value = ClampInt(Value, 1, 4);
    if (Value != FNumGlyphs) {
        FNumGlyphs = Value;
        DropGlyphCache();
        Invalidate();
    }
}

void TnvCustomBitBtn::SetOptions(TnvButtonOptions Value)
{
    if (Value == FOptions)
        return;
    const bool BoldSwitched = Value.testFlag(boAutoBold) != FOptions.testFlag(boAutoBold);
    FOptions = Value;
    if (!FOptions.testFlag(boFocusable))
        SetTabStop(false);
    if (BoldSwitched)
        ApplyAutoBold();
    Invalidate();
}

void TnvCustomBitBtn::SetShadeStyle(TnvShadeStyle Value)
{
    if (FShadeStyle != Value) {
        FShadeStyle = Value;
        if (!IsLoading())
            RecreateWnd();
    }
}

void TnvCustomBitBtn::SetSmoothFont(bool Value)
{
    if (FSmoothFont != Value) {
        FSmoothFont = Value;
        Invalidate();
    }
}

void TnvCustomBitBtn::SetSpacing(int Value)
{
    if (FSpacing != Value) {
        FSpacing = Value;
        Invalidate();
    }
}

void TnvCustomBitBtn::SetStyle(TButtonStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Invalidate();
    }
}

TDataSource* TnvCustomBitBtn::DataSource() const
{
    return FDataLink->DataSource();
}

void TnvCustomBitBtn::SetDataSource(TDataSource* Value)
{
    if (Value == DataSource())
        return;
    FDataLink->SetDataSource(Value);
    if (Value)
        FreeNotification(Value);
}

String TnvCustomBitBtn::DataField() const
{
    return FDataLink->FieldName();
}

void TnvCustomBitBtn::SetDataField(const String& Value)
{
    FDataLink->SetFieldName(Value);
}

void TnvCustomBitBtn::SetStaticCaption(bool Value)
{
    if (FStaticCaption != Value) {
        FStaticCaption = Value;
        Invalidate();
    }
}

void TnvCustomBitBtn::SetDisableThemes(bool Value)
{
    if (FDisableThemes != Value) {
        FDisableThemes = Value;
        Invalidate();
    }
}

void TnvCustomBitBtn::SetShowDownAsUp(bool Value)
{
    if (FShowDownAsUp != Value) {
        FShowDownAsUp = Value;
        Invalidate();
    }
}

bool TnvCustomBitBtn::HasFocus() const
{
    if (Focused())
        return true;
    TCustomForm* F = GetParentForm();
    return F && F->ActiveControl() == this && F->QWidget::isVisible();
}

bool TnvCustomBitBtn::ActiveDefault() const
{
    // Follows the focus: a focused suite button answers Enter alone;
    // otherwise the default button does.
    TCustomForm* F = GetParentForm();
    TWinControl* A = F ? F->ActiveControl() : nullptr;
    if (A && dynamic_cast<TnvCustomBitBtn*>(A))
        return A == this;
    return FDefault;
}

// ---------------------------------------------------------------- pressed look and hit tests

bool TnvCustomBitBtn::PressedLook() const
{
    bool Look = FDown && !PaintingCopy();
    if (FShowDownAsUp) {
        if (FDown)
            Look = false;
        if (FTracking && !FLastSelDown && const_cast<TnvCustomBitBtn*>(this)->PointInButton(-1, -1, false))
            Look = true;
    }
    return Look;
}

bool TnvCustomBitBtn::PointInButton(int X, int Y, bool OnlyTracking)
{
    if (OnlyTracking && !FTracking)
        return false;
    // Inactive windows do not track the pointer.
    if (TCustomForm* F = GetParentForm(); F && !F->QWidget::isActiveWindow()) {
        const bool Ordinary = (F->FormStyle() == fsNormal || F->FormStyle() == fsStayOnTop) &&
                              !InheritsFromClassName(F, "TActiveForm");
        if (Ordinary) {
            QWidget* P = F->parentWidget();
            QWidget* PP = P ? P->parentWidget() : nullptr;
            if (!P || !PP || !PP->isActiveWindow())
                return false;
        }
    }
    const bool Shaped = IsShaped();
    TPoint P;
    if (X == -1 && Y == -1) {
        const QPoint G = QCursor::pos();
        const QWidget* Base = (Shaped || !Parent()) ? static_cast<const QWidget*>(this) : Parent();
        const QPoint L = Base->mapFromGlobal(G);
        P = TPoint(L.x(), L.y());
    } else if (Shaped || !Parent()) {
        P = TPoint(X, Y);
    } else {
        P = TPoint(X + Left(), Y + Top());
    }
    if (Shaped) {
        QRegion R = CreateRegion(true, !FDown);
        if (FHasAppliedRegion)
            R = R.united(FAppliedRegion);
        return R.contains(QPoint(P.X, P.Y));
    }
    if (!Parent())
        return HitTest(P);
    // The topmost visible child window of the parent under the point.
    TWinControl* Par = Parent();
    for (int I = Par->ControlCount() - 1; I >= 0; --I) {
        auto* W = dynamic_cast<TWinControl*>(Par->Controls(I));
        if (!W || !W->Visible())
            continue;
        if (!W->BoundsRect().Contains(P))
            continue;
        const TPoint L(P.X - W->Left(), P.Y - W->Top());
        if (W->HasWindowRegion() && !W->WindowRegion().contains(QPoint(L.X, L.Y)))
            continue;
        return W == this;
    }
    return false;
}

bool TnvCustomBitBtn::HitTest(TPoint P)
{
    if (!ClientRect().Contains(P))
        return false;
    return !HasWindowRegion() || WindowRegion().contains(QPoint(P.X, P.Y));
}

// ---------------------------------------------------------------- virtual operations

void TnvCustomBitBtn::GetCaption(String& Text)
{
    TField* F = FDataLink->Field();
    if (!FStaticCaption && !PaintingCopy() && F) {
        Text = F->IsBlob() ? F->AsString() : F->DisplayText();
        return;
    }
    Text = Caption();
}

QRegion TnvCustomBitBtn::DecodeRecord(const TnvRegionRecord& Record)
{
    if (!Record.HasBuffer())
        return QRegion();
    if (!Record.Decoded) {
        ++FRegionDecodeCount;
        // The size is that of the header plus the rectangles it announces.
        size_t Size = Record.Buffer.size();
        if (Size >= RegionDataHeaderSize) {
            uint32_t RectBytes = 0;
            std::memcpy(&RectBytes, Record.Buffer.data() + 12, 4);
            const uint64_t Announced = uint64_t(RegionDataHeaderSize) + RectBytes;
            if (Announced < Size)
                Size = static_cast<size_t>(Announced);
        }
        Record.Decoded = ExtCreateRegion(Record.Buffer.data(), Size).value_or(QRegion());
    }
    return *Record.Decoded;
}

QRegion TnvCustomBitBtn::CreateRegion(bool, bool Down)
{
    return DecodeRecord(Down ? FDownRegionData : FRegionData);
}

void TnvCustomBitBtn::CalcLayout(TCanvas*, const TRect& ClientRect, TRect& TextArea, TSize TextSize,
                                 TRect& GlyphRect, TRect& TextRect)
{
    TextArea = ClientRect;
    InflateRect(TextArea, -FMargin, -FMargin);
    const int M = FMargin == -1 ? 4 : FMargin;
    GlyphRect = TRect();
    const bool HasGlyph = !FGlyph->Empty();
    const TSize G = HasGlyph ? TSize(GlyphWidth(), FGlyph->Height()) : TSize(0, 0);
    String Cap;
    GetCaption(Cap);
    const int S = (!Cap.empty() && HasGlyph) ? FSpacing : 0;
    const int TW = TextSize.cx;
    TPoint C;
    switch (FTextOptions->Alignment()) {
    case taLeftJustify: C = TPoint((TW + G.cx + S) / 2 + M, Height() / 2); break;
    case taRightJustify: C = TPoint(Width() - M - (TW + G.cx + S) / 2, Height() / 2); break;
    default: C = TPoint(Width() / 2, Height() / 2); break;
    }
    CalcGlyphTextLayout(C, &TextRect, &GlyphRect, S, FLayout, G, TextSize);
    OffsetRect(TextRect, FOffsets->TextX(), FOffsets->TextY());
    OffsetRect(GlyphRect, FOffsets->GlyphX(), FOffsets->GlyphY());
    if (PressedLook()) {
        OffsetRect(TextRect, FOffsets->TextDownX(), FOffsets->TextDownY());
        OffsetRect(GlyphRect, FOffsets->TextDownX(), FOffsets->TextDownY());
    }
}

int TnvCustomBitBtn::GlyphWidth() const
{
    const int W = FGlyph->Width();
    return FNumGlyphs == 0 ? W : W / FNumGlyphs;
}

bool TnvCustomBitBtn::IsGlyphStored() const
{
    return Kind() == bkCustom;
}

bool TnvCustomBitBtn::IsCaptionStored() const
{
    return Caption() != KindCaption(Kind());
}

bool TnvCustomBitBtn::HasRegionData() const
{
    return false;
}

void TnvCustomBitBtn::DownChanged()
{
    if (IsShaped())
        ApplyRegion();
}

void TnvCustomBitBtn::ClearRegions()
{
    if (!FHasAppliedRegion)
        return;
    if (!IsDestroying() && HandleAllocated())
        SetWindowRegion(QRegion());
    FAppliedRegion = QRegion();
    FHasAppliedRegion = false;
    FPreviousRegion = QRegion();
    FHasPreviousRegion = false;
}

void TnvCustomBitBtn::FreeRegionRecord(TnvRegionRecord& Record)
{
    Record.Buffer.clear();
    Record.Buffer.shrink_to_fit();
    Record.Decoded.reset();
    Record.BuiltEmpty = false;
}

void TnvCustomBitBtn::DropGlyphCache()
{
    for (auto& L : FGlyphLists)
        L.reset();
    for (auto& L : FDisabledGlyphLists)
        L.reset();
}

TCustomImageList* TnvCustomBitBtn::GlyphList(int Cell, bool Odd, bool Disabled)
{
    auto& Slot = Disabled ? FDisabledGlyphLists[static_cast<size_t>(Cell)]
                          : FGlyphLists[static_cast<size_t>(Cell * 2 + (Odd ? 1 : 0))];
    if (Slot)
        return Slot.get();
    const int W = GlyphWidth(), H = FGlyph->Height();
    if (W <= 0 || H <= 0)
        return nullptr;
    const QImage Source = FGlyph->ToImage32();
    // The cell, transparent where it has the colour of its bottom-left pixel;
    // built one pixel wider for an odd position, so that drawing at the even
    // position below puts the glyph exactly where it belongs.
    const int X0 = Cell * W;
    const QRgb Key = Source.pixel(X0, H - 1) | 0xFF000000u;
    const int Extra = Odd ? 1 : 0;
    QImage CellImage(W + Extra, H, QImage::Format_RGB32);
    CellImage.fill(Key);
    {
        QPainter P(&CellImage);
        P.drawImage(Extra, 0, Source, X0, 0, W, H);
    }
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetImage(CellImage.convertToFormat(QImage::Format_BGR888));
    if (Disabled)
        MakeDisabledBitmap(Bitmap.get(), Bitmap.get());
    const QImage Cells = Bitmap->ToImage32();
    const TColor Transparent = PixelColor(Cells, 0, H - 1);
    Slot.reset(TCustomImageList::CreateSize(W + Extra, H));
    Slot->AddMasked(Bitmap.get(), Transparent);
    return Slot.get();
}

void TnvCustomBitBtn::DrawGlyph(TCanvas* Canvas, TPoint Position)
{
    if (FGlyph->Empty() || GlyphWidth() <= 0)
        return;
    int Cell = 0;
    if (!Enabled() && FNumGlyphs >= 2)
        Cell = 1;
    else if (PressedLook() && FNumGlyphs > 2)
        Cell = 2;
    else if (FNumGlyphs > 3 && PointInButton(-1, -1, false))
        Cell = 3;
    if (Cell * GlyphWidth() + GlyphWidth() > FGlyph->Width())
        Cell = 0;
    if (!Enabled() && FNumGlyphs <= 1) {
        TCustomImageList* L = GlyphList(Cell, false, true);
        DrawImageListImage(L, 0, Canvas, Position.X, Position.Y, true);
        return;
    }
    const bool Odd = (Position.X & 1) != 0;
    TCustomImageList* L = GlyphList(Cell, Odd, false);
    // An odd position: the widened cell starts one pixel left of the glyph,
    // at the even position the drawing rounds to.
    DrawImageListImageEven(L, 0, Canvas, Position.X, Position.Y, true);
}

void TnvCustomBitBtn::DrawCaption(TCanvas* Canvas, const TRect& TextRect)
{
    Canvas->Brush()->SetStyle(bsClear);
    FTextOptions->SetCanvas(Canvas);
    FTextOptions->SetRect(TextRect);
    FTextOptions->Draw();
}

void TnvCustomBitBtn::DrawItem()
{
    if (IsDestroying() || Width() <= 0 || Height() <= 0)
        return;
    PaintButton();
}

void TnvCustomBitBtn::DrawFace(TnvBitmap*, int, bool, TnvShadeStyle) {}

void TnvCustomBitBtn::GlyphChanged()
{
    Invalidate();
}

void TnvCustomBitBtn::NotifyChange()
{
    FChangeLinks.NotifyChange(this);
}

void TnvCustomBitBtn::NotifyChanging()
{
    FChangeLinks.NotifyChanging(this);
}

void TnvCustomBitBtn::NotifyLoaded()
{
    FChangeLinks.NotifyLoaded(this);
}

TnvBitmap* TnvCustomBitBtn::FaceBitmap()
{
    if (!FFaceBitmap)
        FFaceBitmap = std::make_unique<TnvBitmap>();
    return FFaceBitmap.get();
}

void TnvCustomBitBtn::PaintButton()
{
    TCanvas* C = FCanvas.get();
    if (!C->HandleAllocated())
        return;
    const bool Look = PressedLook();
    TnvBitmap* B = FaceBitmap();
    // A fresh picture for the face: white, the size of the button.
    if (B->Width() != Width() || B->Height() != Height())
        B->SetDimensions(Width(), Height());
    else if (!B->Empty()) {
        B->Canvas()->Brush()->SetStyle(bsSolid);
        B->Canvas()->Brush()->SetColor(clWhite);
        B->Canvas()->FillRect(TRect(0, 0, Width(), Height()));
    }
    const TnvShadeStyle Style = (FShadeStyle == fbsFlat && FInClick) ? fbsNormal : FShadeStyle;
    DrawFace(B, 0, Look, Style);
    if (B->Empty())
        return;
    B->Canvas()->Font()->Assign(Font());
    PaintContent(B->Canvas(), ClientRect());
    C->Draw(0, 0, B);
    if (FSmoothFont) {
        C->Font()->Assign(Font());
        DrawCaption(C, FCurrentTextRect);
    }
    FTextOptions->SetCanvas(nullptr);
}

void TnvCustomBitBtn::RepaintNow()
{
    QWidget::repaint();
}

namespace {

void ReadRecord(TStream& Stream, TnvRegionRecord& Record, const char* Name)
{
    const int64_t Available = Stream.Size() - Stream.Position();
    if (Available < 4)
        throw EReadError(Format("%s: the stored region record is %d bytes long; it needs at least 4 for its size",
                                {Name, static_cast<long long>(Available)}));
    const uint32_t N = Stream.ReadUInt32();
    if (N == 0)
        return;
    if (int64_t(N) > Available - 4)
        throw EReadError(Format("%s: the stored region size %d is larger than the %d bytes that follow it",
                                {Name, static_cast<long long>(N), static_cast<long long>(Available - 4)}));
    std::vector<uint8_t> Buffer(N);
    Stream.ReadBuffer(Buffer.data(), N);
    Record.Buffer = std::move(Buffer);
    Record.Decoded.reset();
}

void WriteRecord(TStream& Stream, const TnvRegionRecord& Record)
{
    if (Record.HasBuffer()) {
        Stream.WriteUInt32(static_cast<uint32_t>(Record.Buffer.size()));
        Stream.WriteBuffer(Record.Buffer.data(), static_cast<int64_t>(Record.Buffer.size()));
    } else {
        Stream.WriteUInt32(0);
    }
}

} // namespace

void TnvCustomBitBtn::ReadRegionData(TStream& Stream)
{
    ReadRecord(Stream, FRegionData, "RegionData");
}

void TnvCustomBitBtn::ReadDownRegionData(TStream& Stream)
{
    ReadRecord(Stream, FDownRegionData, "DownRegionData");
}

void TnvCustomBitBtn::SaveRegion(const QRegion& Region, bool Down)
{
    TnvRegionRecord& R = Down ? FDownRegionData : FRegionData;
    FreeRegionRecord(R);
    if (Region.isEmpty()) {
        R.BuiltEmpty = true;
        return;
    }
    R.Buffer = GetRegionData(Region);
    R.Decoded = Region;
}

void TnvCustomBitBtn::SelChange()
{
    FLastSelDown = FDown;
    QPointer<TnvCustomBitBtn> Self(this);
    if (OnSelChange)
        OnSelChange(this);
    if (!Self)
        return;
    if (OnInternalSelChange)
        OnInternalSelChange(this);
    if (!Self)
        return;
    NotifyChange();
}

void TnvCustomBitBtn::WriteRegionData(TStream& Stream)
{
    WriteRecord(Stream, FRegionData);
}

void TnvCustomBitBtn::WriteDownRegionData(TStream& Stream)
{
    WriteRecord(Stream, FDownRegionData);
}

void TnvCustomBitBtn::UpdateExclusive()
{
    if (FGroupIndex != 0 && Parent()) {
        TMessage M{CM_BUTTONPRESSED, static_cast<intptr_t>(FGroupIndex),
                   reinterpret_cast<intptr_t>(static_cast<TControl*>(this)), 0};
        Parent()->Broadcast(M);
    }
}

bool TnvCustomBitBtn::UseRegion() const
{
    return false;
}

void TnvCustomBitBtn::DataChange()
{
    if (FStaticCaption)
        return;
    if (TField* F = FDataLink->Field())
        SetText(F->IsBlob() ? F->AsString() : F->DisplayText());
}

void TnvCustomBitBtn::ApplyRegion()
{
    if (!HandleAllocated() || !UseRegion() || IsLoading())
        return;
    const bool Look = PressedLook();
    const bool Shaped = IsShaped();
    FAppliedRegion = QRegion();
    FHasAppliedRegion = false;
    const QRegion New = CreateRegion(true, Look);
    const bool HasNew = !New.isEmpty();
    if (Shaped && FHasPreviousRegion && HasNew) {
        // The pixels uncovered or newly covered repaint on the parents.
        QRegion Diff = FPreviousRegion.xored(New);
        TCustomForm* Form = GetParentForm();
        for (TControl* C = this; C && C != Form && C->Parent(); C = C->Parent()) {
            Diff.translate(C->Left(), C->Top());
            C->Parent()->update(Diff);
        }
    }
    if (Shaped && HasNew) {
        FPreviousRegion = New;
        FHasPreviousRegion = true;
    }
    if (HasNew) {
        FAppliedRegion = New;
        FHasAppliedRegion = true;
    }
    SetWindowRegion(New);
    if (Shaped && Parent())
        InvalidateChildrenInRect(Parent(), this);
}

void TnvCustomBitBtn::InvalidateOutside(bool Erase)
{
    if (!Parent())
        return;
    const QRegion Up = CreateRegion(false, false);
    if (Up.isEmpty())
        return;
    QRegion Outside = QRegion(0, 0, Width(), Height()).subtracted(Up);
    Outside.translate(Left(), Top());
    (void)Erase;
    Parent()->update(Outside);
}

void TnvCustomBitBtn::PaintContent(TCanvas* Canvas, const TRect&)
{
    TRect R = ClientRect();
    InflateRect(R, -2, -2);
    String Cap;
    GetCaption(Cap);
    FTextOptions->SetCanvas(Canvas);
    FTextOptions->SetText(Cap);
    FTextOptions->SetRect(R);
    TRect Extent;
    FTextOptions->CalcRect(false, Extent);
    const TSize TextSize(Extent.Width(), Extent.Height());
    TRect TextArea, GlyphRect, TextRect;
    CalcLayout(Canvas, ClientRect(), TextArea, TextSize, GlyphRect, TextRect);
    TextRect = TRect(std::max(0, TextRect.Left), std::max(0, TextRect.Top), std::min(ClientWidth(), TextRect.Right),
                     std::min(ClientHeight(), TextRect.Bottom));
    FCurrentTextRect = TextRect;
    if (!FGlyph->Empty())
        DrawGlyph(Canvas, TPoint(GlyphRect.Left, GlyphRect.Top));
    DrawCaption(Canvas, TextRect);
    if (FOptions.testFlag(boFocusRect) && FOptions.testFlag(boFocusable) && HasFocus()) {
        TRect F;
        UnionRect(F, TextRect, GlyphRect);
        InflateRect(F, 2, 2);
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(clWhite);
        Canvas->Font()->SetColor(clBlack);
        Canvas->SetTextColor(clBlack);
        Canvas->SetBkColor(clWhite);
        Canvas->DrawFocusRect(F);
    }
}

bool TnvCustomBitBtn::IsShaped()
{
    return false;
}

void TnvCustomBitBtn::UpdateShadeColors(TColor Color)
{
    FShadeColors->SetBtnShadow(AdjustColor(Color, -50, true));
    FShadeColors->SetBtnBlack(AdjustColor(FShadeColors->BtnShadow(), -50, true));
    FShadeColors->SetBtn3DLight(AdjustColor(Color, 50, true));
    FShadeColors->SetBtnHighlight(AdjustColor(FShadeColors->Btn3DLight(), 50, true));
}

void TnvCustomBitBtn::RegisterChanges(TnvChangeLink* Link)
{
    FChangeLinks.RegisterLink(Link);
}

void TnvCustomBitBtn::UnRegisterChanges(TnvChangeLink* Link)
{
    FChangeLinks.UnregisterLink(Link);
}

bool TnvCustomBitBtn::IsTextEnabled() const
{
    return Enabled();
}

// ---------------------------------------------------------------- the down state and the press cycle

void TnvCustomBitBtn::ApplyAutoBold()
{
    if (FGroupIndex > 0 && FOptions.testFlag(boAutoBold)) {
        TFontStyles S = Font()->Style();
        if (FDown)
            S |= fsBold;
        else
            S &= ~TFontStyles(fsBold);
        if (S != Font()->Style())
            Font()->SetStyle(S);
    }
}

void TnvCustomBitBtn::SetDownState(bool Value, bool Broadcast, bool DoInvalidate)
{
    if (Value != FDown) {
        FDown = Value;
        QPointer<TnvCustomBitBtn> Self(this);
        DownChanged();
        if (FDown)
            NotifyChanging();
        if (!Self)
            return;
        if (Broadcast)
            UpdateExclusive();
        if (DoInvalidate)
            Invalidate();
    }
    ApplyAutoBold();
}

void TnvCustomBitBtn::BeginPress()
{
    FWasDown = FDown;
    if (FOptions.testFlag(boToggleOnUp) && FGroupIndex != 0)
        return;
    if (FOptions.testFlag(boFocusable) && CanFocus() && !HasFocus())
        SetFocus();
    const bool Was = FDown;
    SetDownState(true, false, false);
    if (FDown != Was)
        RepaintNow();
}

void TnvCustomBitBtn::FinishPress(bool Over)
{
    const bool ToggleOnUp = FOptions.testFlag(boToggleOnUp);
    if (FGroupIndex != 0) {
        QPointer<TnvCustomBitBtn> Self(this);
        if (!Over && !ToggleOnUp && FDown != FWasDown) {
            // Released away from the button (without a move that took it up
            // first): the state from before the press, before the group hears
            // of it.
            SetDownState(FWasDown, false, false);
            if (!Self)
                return;
            RepaintNow();
        }
        UpdateExclusive();
        if (!Self)
            return;
        if ((Over || ToggleOnUp) && (!FWasDown || FAllowAllUp)) {
            SetDownState(!FWasDown, true, false);
            if (!Self)
                return;
            RepaintNow();
            SelChange();
        }
    } else {
        SetDownState(false, false, false);
        RepaintNow();
    }
}

void TnvCustomBitBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TnvCustomBitBtn> Self(this);
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (!Self || Button != mbLeft || FBusy || !Enabled())
        return;
    // Qt's implicit grab sends the moves and the release to this button.
    FTracking = true;
    BeginPress();
}

void TnvCustomBitBtn::MouseMove(TShiftState Shift, int X, int Y)
{
    QPointer<TnvCustomBitBtn> Self(this);
    TWinControl::MouseMove(Shift, X, Y);
    if (!Self || FBusy)
        return;
    if (!FTracking || !Shift.testFlag(ssLeft) || FOptions.testFlag(boToggleOnUp))
        return;
    const bool Over = PointInButton(X, Y, true);
    if ((Over && !FDown) || (!Over && FDown && !FWasDown)) {
        SetDownState(Over, false, false);
        RepaintNow();
    }
}

void TnvCustomBitBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TnvCustomBitBtn> Self(this);
    if (Button == mbLeft && FTracking && !FBusy) {
        bool Over;
        if (!FShowDownAsUp && Parent() && InheritsFromClassName(Parent(), "TnvCustomOutlookBar"))
            Over = true;
        else
            Over = PointInButton(X, Y, true);
        FinishPress(Over);
        if (!Self)
            return;
        if (PointInButton(X, Y, true) || FOptions.testFlag(boToggleOnUp)) {
            Click();
            if (!Self)
                return;
        }
        FTracking = false;
    } else if (Button == mbLeft) {
        FTracking = false;
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void TnvCustomBitBtn::Click()
{
    if (FBusy)
        return;
    QPointer<TnvCustomBitBtn> Self(this);
    FInClick = true;
    struct TInClickReset {
        QPointer<TnvCustomBitBtn> Button;
        ~TInClickReset()
        {
            if (Button) {
                Button->FInClick = false;
                Button->Invalidate();
            }
        }
    } Reset{Self};
    TCustomForm* Form = GetParentForm();
    switch (Kind()) {
    case bkHelp: {
        // The first control up the parents with a help context shows its topic;
        // the platform has no help viewer, so the ordinary click follows either way.
        TWinControl::Click();
        break;
    }
    case bkClose:
        if (Form)
            Form->Close();
        else
            TWinControl::Click();
        break;
    default:
        if (Form)
            Form->SetModalResult(FModalResult);
        if (Self)
            TWinControl::Click();
        break;
    }
}

void TnvCustomBitBtn::KeyDown(Word& Key, TShiftState Shift)
{
    QPointer<TnvCustomBitBtn> Self(this);
    TWinControl::KeyDown(Key, Shift);
    if (!Self || Key != VK_SPACE || FBusy || !Enabled())
        return;
    BeginPress();
    if (!Self)
        return;
    FinishPress(true);
    if (Self)
        Click();
}

// ---------------------------------------------------------------- messages

void TnvCustomBitBtn::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_BUTTONPRESSED: {
        if (Message.WParam != FGroupIndex || FGroupIndex == 0)
            break;
        auto* SenderControl = reinterpret_cast<TControl*>(Message.LParam);
        auto* Sender = dynamic_cast<TnvCustomBitBtn*>(SenderControl);
        if (!Sender || !Sender->Down())
            break;
        if (Sender == this) {
            FLastSelDown = FDown;
        } else {
            // Every other button of the group hears of the press, down or not.
            QPointer<TnvCustomBitBtn> Self(this);
            SetDownState(false, false, true);
            if (Self)
                SelChange();
        }
        return;
    }
    case CM_DIALOGKEY: {
        const Word Key = static_cast<Word>(Message.WParam);
        const TShiftState Shift = TShiftState::fromInt(static_cast<int>(Message.LParam));
        if (((Key == VK_RETURN && ActiveDefault()) || (Key == VK_ESCAPE && FCancel)) && Shift == TShiftState() &&
            CanFocus()) {
            Click();
            Message.Result = 1;
        }
        return;
    }
    case CM_DIALOGCHAR: {
        if (IsAccel(static_cast<unsigned>(Message.WParam), Caption()) && CanFocus()) {
            QPointer<TnvCustomBitBtn> Self(this);
            if (FGroupIndex > 0 && !FDown) {
                SetDownState(true, true, false);
                if (Self && FDown)
                    SelChange();
            }
            if (Self)
                Click();
            if (Self)
                Invalidate();
            Message.Result = 1;
        }
        return;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
        if (Message.LParam != 0 && Message.LParam != reinterpret_cast<intptr_t>(static_cast<TControl*>(this)))
            break;
        const bool Enter = Message.Msg == CM_MOUSEENTER;
        TWinControl::WndProc(Message);
        FHot = Enter;
        if (FShadeStyle == fbsFlat || FNumGlyphs == 4 || UseThemes(this))
            Invalidate();
        if (Enter && OnMouseEnter)
            OnMouseEnter(this);
        else if (!Enter && OnMouseLeave)
            OnMouseLeave(this);
        return;
    }
    case CM_GETDATALINK: Message.Result = reinterpret_cast<intptr_t>(FDataLink.get()); return;
    case WM_CANCELMODE:
        if (FTracking) {
            FTracking = false;
            if (FDown != FWasDown) {
                SetDownState(FWasDown, false, false);
                RepaintNow();
            }
        }
        break;
    default: break;
    }
    TWinControl::WndProc(Message);
}

void TnvCustomBitBtn::EnabledChanged()
{
    TWinControl::EnabledChanged();
    Invalidate();
}

void TnvCustomBitBtn::TextChanged()
{
    TWinControl::TextChanged();
    Invalidate();
}

void TnvCustomBitBtn::FontChanged()
{
    TWinControl::FontChanged();
    Invalidate();
}

void TnvCustomBitBtn::DoEnter()
{
    TWinControl::DoEnter();
    if (TCustomForm* F = GetParentForm()) {
        std::vector<TWinControl*> List;
        F->GetTabOrderList(List);
        for (TWinControl* W : List)
            if (dynamic_cast<TnvCustomBitBtn*>(W))
                W->Invalidate();
    }
    Invalidate();
}

void TnvCustomBitBtn::DoExit()
{
    TWinControl::DoExit();
    Invalidate();
}

void TnvCustomBitBtn::PaintControl(QImage& Image)
{
    FCanvas->SetTarget(&Image);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetColor(FColor);
    try {
        DrawItem();
    } catch (...) {
        FCanvas->SetTarget(nullptr);
        throw;
    }
    FCanvas->SetTarget(nullptr);
}

void TnvCustomBitBtn::BoundsChanged(int OldWidth, int OldHeight)
{
    TWinControl::BoundsChanged(OldWidth, OldHeight);
    // The outline must be rebuilt for the new size.
    if (OldWidth == Width() && OldHeight == Height())
        return;
    FreeRegionRecords();
    ApplyRegion();
    if (OnInternalResize && !IsLoading())
        OnInternalResize(this);
}

void TnvCustomBitBtn::CreateWnd()
{
    TWinControl::CreateWnd();
    // A new window gets a size notification, which drops the cached outline.
    FreeRegionRecords();
    ApplyRegion();
}

void TnvCustomBitBtn::DestroyWnd()
{
    ClearRegions();
    TWinControl::DestroyWnd();
}

void TnvCustomBitBtn::Loaded()
{
    TWinControl::Loaded();
    if (!FOptions.testFlag(boFocusable))
        SetTabStop(false);
    ApplyRegion();
    NotifyLoaded();
}

void TnvCustomBitBtn::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent &&
        static_cast<TComponent*>(FDataLink->DataSource()) == AComponent)
        FDataLink->SetDataSource(nullptr);
}

void TnvCustomBitBtn::SetName(const String& NewName)
{
    TWinControl::SetName(NewName);
    if (OnNameChanged)
        OnNameChanged(this);
}

void TnvCustomBitBtn::DefineProperties(TFiler* Filer)
{
    TWinControl::DefineProperties(Filer);
    if (!HasRegionData())
        return;
    Filer->DefineBinaryProperty(
        "RegionData", [this](TStream& S) { ReadRegionData(S); }, [this](TStream& S) { WriteRegionData(S); }, true);
    Filer->DefineBinaryProperty(
        "DownRegionData", [this](TStream& S) { ReadDownRegionData(S); },
        [this](TStream& S) { WriteDownRegionData(S); }, true);
}

bool TnvCustomBitBtn::IsPropertyStored(const char* Name) const
{
    if (SameText(Name, "Glyph"))
        return IsGlyphStored() && !FGlyph->Empty();
    if (SameText(Name, "Caption"))
        return IsCaptionStored();
    return TWinControl::IsPropertyStored(Name);
}

void TnvCustomBitBtn::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TnvCustomBitBtn*>(Dest);
    if (!D) {
        TWinControl::AssignTo(Dest);
        return;
    }
    D->SetColor(Color());
    D->FOffsets->Assign(FOffsets.get());
    D->SetLayout(FLayout);
    D->SetMargin(FMargin);
    D->SetNumGlyphs(FNumGlyphs);
    D->SetOptions(FOptions);
    D->FShadeColors->Assign(FShadeColors.get());
    D->SetSpacing(FSpacing);
    D->SetTabStop(TabStop());
    D->FTextOptions->Assign(FTextOptions.get());
}
