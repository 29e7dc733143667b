#include "nvImgBtn.h"

#include "Regions.h"
#include "nvImager.h"

// ---------------------------------------------------------------- TnvImgDownOffsets

TnvImgDownOffsets::TnvImgDownOffsets(TnvCustomBitBtn* Button) : TnvOffsets(Button) {}

void TnvImgDownOffsets::SetImageDownX(int Value)
{
    if (FImageDownX != Value) {
        FImageDownX = Value;
        Changed();
    }
}

void TnvImgDownOffsets::SetImageDownY(int Value)
{
    if (FImageDownY != Value) {
        FImageDownY = Value;
        Changed();
    }
}

void TnvImgDownOffsets::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvImgDownOffsets*>(Source)) {
        FImageDownX = S->FImageDownX;
        FImageDownY = S->FImageDownY;
    }
    TnvOffsets::Assign(Source);
}

// ---------------------------------------------------------------- TnvCustomImageBtn

TnvCustomImageBtn::TnvCustomImageBtn(TComponent* AOwner) : TnvCustomBitBtn(AOwner)
{
    FOffsets = CreateOffsets();
    FImage = std::make_unique<TnvBitmap>();
    FImageDown = std::make_unique<TnvBitmap>();
    FImage->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
    FImageDown->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
    FLink = std::make_unique<TnvChangeLink>();
    FLink->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
    FDownLink = std::make_unique<TnvChangeLink>();
    FDownLink->OnChange = [this](TObject* Sender) { ImageChanged(Sender); };
    FScratch = std::make_unique<TnvBitmap>();
    FColor = clNone;
    FaceBitmap()->SetUseHalftonePalette(true);
}

TnvCustomImageBtn::~TnvCustomImageBtn()
{
    Destroying();
    LinkSource(FExtImage, FLink.get(), false);
    LinkSource(FExtImageDown, FDownLink.get(), false);
    FImage->OnChange = nullptr;
    FImageDown->OnChange = nullptr;
}

std::unique_ptr<TnvOffsets> TnvCustomImageBtn::CreateOffsets()
{
    return std::make_unique<TnvImgDownOffsets>(this);
}

// ---------------------------------------------------------------- pictures and sources

TnvBitmap* TnvCustomImageBtn::GetImage(bool Down) const
{
    TComponent* Ext = Down ? FExtImageDown : FExtImage;
    if (Ext && !Ext->IsDestroying()) {
        if (auto* Im = dynamic_cast<TnvCustomImager*>(Ext)) {
            if (Im->WorkBitmap()->Empty() && !Im->IsPictureEmpty())
                Im->ResizeWorkBitmap();
            return Im->WorkBitmap();
        }
        if (auto* Im = dynamic_cast<TnvDBCustomImager*>(Ext)) {
            if (Im->WorkBitmap()->Empty() && !Im->IsPictureEmpty())
                Im->ResizeWorkBitmap();
            return Im->WorkBitmap();
        }
        if (auto* B = dynamic_cast<TnvCustomImageBtn*>(Ext))
            return Down ? B->FImageDown.get() : B->FImage.get();
    }
    return Down ? FImageDown.get() : FImage.get();
}

TColor TnvCustomImageBtn::ImageKeyColor(bool Down) const
{
    if (FTransparentColor == nvNoTransparency)
        return nvNoTransparency;
    if (FTransparentColor != clNone)
        return FTransparentColor;
    TnvBitmap* P = (Down && !GetImage(true)->Empty()) ? GetImage(true) : GetImage(false);
    if (P->Empty())
        return clNone;
    return MakeColor(static_cast<uint32_t>(ColorToRGB(TripleToColor(P->Row(0)[0]))) & 0xFFFFFF);
}

bool TnvCustomImageBtn::IsShaped()
{
    if (FTransparentColor == nvNoTransparency)
        return false;
    return (!GetImage(false)->Empty() && !GetImage(true)->Empty()) || FShadeStyle == fbsRaised;
}

void TnvCustomImageBtn::SetDitherColor(TColor Value)
{
    if (FDitherColor != Value) {
        FDitherColor = Value;
        Invalidate();
    }
}

void TnvCustomImageBtn::SetDitherStyle(TnvDitherStyle Value)
{
    if (FDitherStyle != Value) {
        FDitherStyle = Value;
        Invalidate();
    }
}

void TnvCustomImageBtn::SetImage(TnvBitmap* Value)
{
    if (Value)
        SetExtImage(nullptr);
    FImage->Assign(Value);
    if (IsLoading())
        return;
    // The up picture is not on show while down with a picture of its own.
    if (!(FDown && !GetImage(true)->Empty()))
        RecreateWnd();
}

void TnvCustomImageBtn::SetImageDown(TnvBitmap* Value)
{
    if (Value)
        SetExtImageDown(nullptr);
    FImageDown->Assign(Value);
    if (!IsLoading() && FDown)
        RecreateWnd();
}

void TnvCustomImageBtn::LinkSource(TComponent* Source, TnvChangeLink* Link, bool Register)
{
    if (!Source || Source->IsDestroying())
        return;
    auto Do = [&](auto* Notifier) {
        if (Register)
            Notifier->RegisterChanges(Link);
        else
            Notifier->UnregisterChanges(Link);
    };
    if (auto* Im = dynamic_cast<TnvCustomImager*>(Source))
        Do(Im);
    else if (auto* Im = dynamic_cast<TnvDBCustomImager*>(Source))
        Do(Im);
    else if (auto* B = dynamic_cast<TnvCustomImageBtn*>(Source))
        Do(B->FImage.get());
}

void TnvCustomImageBtn::SetExt(TComponent*& Field, TComponent* Value, TnvBitmap* Own, TnvChangeLink* Link)
{
    if (Value == static_cast<TComponent*>(this))
        throw EInvalidOperation("An image button cannot take its pictures from itself");
    if (Value)
        Own->Clear();
    if (Value == Field)
        return;
    LinkSource(Field, Link, false);
    Field = Value;
    if (Value) {
        LinkSource(Value, Link, true);
        Value->FreeNotification(this);
    }
    if (!IsLoading())
        RecreateWnd();
}

void TnvCustomImageBtn::SetExtImage(TComponent* Value)
{
    SetExt(FExtImage, Value, FImage.get(), FLink.get());
}

void TnvCustomImageBtn::SetExtImageDown(TComponent* Value)
{
    SetExt(FExtImageDown, Value, FImageDown.get(), FDownLink.get());
}

void TnvCustomImageBtn::SetTransparentColor(TColor Value)
{
    if (FTransparentColor == Value)
        return;
    FTransparentColor = Value;
    if (IsLoading())
        return;
    RecreateWnd();
    InvalidateControlArea(this, true);
}

bool TnvCustomImageBtn::RespectPalette() const
{
    return GetImage(false)->RespectPalette();
}

void TnvCustomImageBtn::SetRespectPalette(bool Value)
{
    GetImage(false)->SetRespectPalette(Value);
    GetImage(true)->SetRespectPalette(Value);
    Invalidate();
}

bool TnvCustomImageBtn::ParentClipping() const
{
    return Parent() && HasClipChildren(Parent());
}

void TnvCustomImageBtn::SetParentClipping(bool)
{
    // The parent paints under the shaped button at run time.
    if (Parent() && !IsDesigning())
        RemoveClipChildren(Parent());
}

// ---------------------------------------------------------------- rendering

void TnvCustomImageBtn::RenderImage(TnvBitmap* Picture, TnvBitmap* Dest, bool Down, bool Plain, TnvShadeStyle Style)
{
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0)
        return;
    const int DW = Style == fbsRaised ? W - 2 : W;
    const int DH = Style == fbsRaised ? H - 2 : H;
    Dest->SetTransparent(false);
    Dest->SetDimensions(DW, DH);
    if (Dest->Empty())
        return;
    const bool Dithered = FGroupIndex > 0 && Down && FDitherColor != clNone && GetImage(true)->Empty();
    QRegion Clip;
    bool HasClip = false;
    if (!Plain && (FColor != clNone || Dithered)) {
        Clip = CreateRegion(true, Down);
        HasClip = !Clip.isEmpty();
    }
    TCanvas* C = Dest->Canvas();
    if (Picture && !Picture->Empty())
        Picture->Draw(C, TRect(0, 0, DW, DH));
    if (!Plain && FColor != clNone) {
        const TColor Key = ImageKeyColor(Down);
        Dest->SetTransparentColor(Key == nvNoTransparency ? clNone : Key);
        uint8_t B3, Blue, Green, Red;
        ColorToBytes(FColor, B3, Blue, Green, Red);
        Dest->Colorize(Red, Green, Blue);
    }
    if (!Plain && Dithered) {
        if (HasClip) {
            if (Style == fbsRaised)
                Clip.translate(-2, -2);
            C->SetClipRegion(&Clip);
        }
        const TRect R(0, 0, W, H);
        switch (FDitherStyle) {
        case dsFill:
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(FDitherColor);
            C->FillRect(R);
            break;
        case dsDither: DitherFill(C, R, clSilver, FDitherColor); break;
        case dsBlendDither: DitherFill(C, R, clNone, FDitherColor); break;
        }
    }
    if (HasClip)
        C->SetClipRegion(nullptr);
}

QRegion TnvCustomImageBtn::CreateRegion(bool Build, bool Down)
{
    if (FTransparentColor == nvNoTransparency)
        return QRegion();
    QRegion R = TnvCustomBitBtn::CreateRegion(false, Down);
    const TnvRegionRecord& Record = Down ? FDownRegionData : FRegionData;
    if (!R.isEmpty() || !Build || Record.BuiltEmpty)
        return R;
    if (GetImage(false)->Empty())
        return QRegion();
    TnvBitmap Scratch;
    Scratch.SetRespectPalette(RespectPalette());
    TnvBitmap* P = (Down && !GetImage(true)->Empty()) ? GetImage(true) : GetImage(false);
    RenderImage(P, &Scratch, Down, true, FShadeStyle);
    ++FRegionDecodeCount;
    R = RegionFromBitmap(&Scratch, ImageKeyColor(Down));
    if (FShadeStyle == fbsRaised) {
        const QRegion Copy = R.translated(2, 2);
        R = Down ? Copy : R.united(Copy);
    }
    SaveRegion(R, Down);
    return R;
}

void TnvCustomImageBtn::DrawFace(TnvBitmap* Bitmap, int Plain, bool Down, TnvShadeStyle Style)
{
    const int W = Width(), H = Height();
    Bitmap->SetDimensions(W, H);
    if (RespectPalette())
        Bitmap->SetRespectPalette(true);
    if (Bitmap->Empty())
        return;
    TCanvas* C = Bitmap->Canvas();
    if (GetImage(false)->Empty()) {
        // No picture: a placeholder face.
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clBtnFace);
        C->Pen()->SetColor(clBlack);
        C->Pen()->SetStyle(psDashDot);
        C->Rectangle(0, 0, W, H);
        C->Pen()->SetStyle(psSolid);
        return;
    }
    const bool OwnDown = Down && !GetImage(true)->Empty();
    TnvBitmap* P = OwnDown ? GetImage(true) : GetImage(false);
    TnvBitmap* S = FScratch.get();
    RenderImage(P, S, Down, Plain != 0, Style);
    if (S->Empty())
        return;
    const auto* Offs = ImgOffsets();
    const TPoint Pos = (Down && GetImage(true)->Empty()) ? TPoint(Offs->ImageDownX(), Offs->ImageDownY()) : TPoint(0, 0);
    const TColor Key = ImageKeyColor(Down);
    if (Style == fbsHighlight || (Style == fbsFlat && PointInButton(-1, -1, false))) {
        C->Draw(Pos.X, Pos.Y, S);
        DrawContourBevel(S, Bitmap, Down, Key);
        return;
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FShadeColors->Shadow());
    C->FillRect(TRect(0, 0, W, H));
    if (FTransparentColor != nvNoTransparency) {
        if (Down && FDitherStyle == dsBlendDither) {
            S->SetTransparentColor(Key);
            S->SetTransparent(true);
        } else {
            const uint32_t K = static_cast<uint32_t>(Key) & 0xFFFFFF;
            S->ReplaceColor(MakeTriple(K & 0xFF, (K >> 8) & 0xFF, (K >> 16) & 0xFF),
                            ColorToTriple(FShadeColors->Shadow()));
        }
    }
    C->Draw(Pos.X, Pos.Y, S);
    S->SetTransparent(false);
}

void TnvCustomImageBtn::DrawContourBevel(TnvBitmap* Source, TnvBitmap* Dest, bool Down, TColor Key)
{
    if (!Source || !Dest || Source->Empty() || Dest->Empty() || Source->Width() != Dest->Width() ||
        Source->Height() != Dest->Height())
        return;
    const TRGBTriple H = ColorToTriple(FShadeColors->BtnHighlight());
    const TRGBTriple L = ColorToTriple(FShadeColors->Btn3DLight());
    const TRGBTriple Sh = ColorToTriple(FShadeColors->BtnShadow());
    const TRGBTriple B = ColorToTriple(FShadeColors->BtnBlack());
    const TRGBTriple First = Down ? B : H, Second = Down ? Sh : L, Third = Down ? L : Sh, Fourth = Down ? H : B;
    const TRGBTriple Black = MakeTriple(0, 0, 0);
    const int W = Source->Width(), Ht = Source->Height();
    // Scan a copy when drawing onto the source itself.
    std::unique_ptr<TnvBitmap> Copy;
    TnvBitmap* Scan = Source;
    if (Source == Dest) {
        Copy = std::make_unique<TnvBitmap>();
        Copy->Assign(Source);
        Scan = Copy.get();
    }
    const uint32_t KeyValue = Key == TColor(-1) ? static_cast<uint32_t>(TripleToColor(Scan->Row(0)[0]))
                                                : static_cast<uint32_t>(Key);
    auto IsKey = [&](int X, int Y) { return static_cast<uint32_t>(TripleToColor(Scan->Row(Y)[X])) == KeyValue; };
    auto Put = [&](int X, int Y, const TRGBTriple& C) {
        if (X >= 0 && Y >= 0 && X < W && Y < Ht)
            Dest->Row(Y)[X] = C;
    };
    const bool Focused = HasFocus() && !PaintingCopy();
    const bool Marked = Focused || FDefault;
    const bool FocusMark = FOptions.testFlag(boFocusable) && Focused;
    auto Diagonal = [&](int X0, int Y0) {
        int X = X0, Y = Y0;
        while (X < W && Y < Ht) {
            while (X < W && Y < Ht && IsKey(X, Y)) {
                ++X;
                ++Y;
            }
            if (X >= W || Y >= Ht)
                return;
            const int BX0 = X, BY0 = Y;
            while (X + 1 < W && Y + 1 < Ht && !IsKey(X + 1, Y + 1)) {
                ++X;
                ++Y;
            }
            const int AX0 = X, AY0 = Y;
            int BX = BX0, BY = BY0, AX = AX0, AY = AY0;
            if (Marked) {
                ++BX, ++BY;
                --AX, --AY;
            }
            if (FocusMark)
                ++BX, ++BY;
            Put(AX - 1, AY - 1, Third);
            Put(BX + 1, BY + 1, Second);
            Put(AX, AY, Fourth);
            Put(BX, BY, First);
            if (FocusMark && Down)
                Put(BX - 1, BY - 1, Black);
            if (Marked) {
                Put(BX0, BY0, B);
                Put(AX0, AY0, B);
            }
            ++X;
            ++Y;
        }
    };
    for (int X = W - 1; X >= 0; --X)
        Diagonal(X, 0);
    for (int Y = 1; Y < Ht; ++Y)
        Diagonal(0, Y);
}

void TnvCustomImageBtn::ImageChanged(TObject* Picture)
{
    if (IsDestroying())
        return;
    auto* Pic = dynamic_cast<TnvBitmap*>(Picture);
    if (Pic && Pic == GetImage(false))
        FreeRegionRecord(FRegionData);
    if (Pic && Pic == GetImage(true))
        FreeRegionRecord(FDownRegionData);
    if (IsLoading())
        return;
    const bool Ignored = Pic ? Pic->IgnoreChange() : false;
    if (Pic)
        Pic->SetIgnoreChange(true);
    try {
        ApplyRegion();
    } catch (...) {
        if (Pic)
            Pic->SetIgnoreChange(Ignored);
        throw;
    }
    if (Pic)
        Pic->SetIgnoreChange(Ignored);
    InvalidateControlArea(this, true);
    Invalidate();
}

// ---------------------------------------------------------------- framework overrides

void TnvCustomImageBtn::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TnvCustomImageBtn*>(Dest);
    if (!D) {
        TnvCustomBitBtn::AssignTo(Dest);
        return;
    }
    D->SetDitherColor(FDitherColor);
    D->SetDitherStyle(FDitherStyle);
    D->SetExtImage(this);
    D->SetExtImageDown(this);
    D->FOffsets->Assign(FOffsets.get());
    D->SetRespectPalette(RespectPalette());
    D->SetTransparentColor(FTransparentColor);
    TnvCustomBitBtn::AssignTo(Dest);
}

void TnvCustomImageBtn::Notification(TComponent* AComponent, TOperation Operation)
{
    TnvCustomBitBtn::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent)
        return;
    const bool Up = AComponent == FExtImage, Dn = AComponent == FExtImageDown;
    if (Up)
        FExtImage = nullptr;
    if (Dn)
        FExtImageDown = nullptr;
    if ((Up || Dn) && !IsDestroying()) {
        FreeRegionRecord(Up ? FRegionData : FDownRegionData);
        if (Up && Dn)
            FreeRegionRecord(FDownRegionData);
        ClearRegions();
        ApplyRegion();
        Invalidate();
    }
}

void TnvCustomImageBtn::CreateWnd()
{
    if (FImage->HasMemoryImage())
        FImage->RestoreFromMemory();
    TnvCustomBitBtn::CreateWnd();
}

void TnvCustomImageBtn::DestroyWnd()
{
    TnvCustomBitBtn::DestroyWnd();
    FImage->SaveToMemory();
}

void RegisterImgBtnClasses()
{
    RegisterClasses<TnvImageBtn>();
}

namespace {
[[maybe_unused]] const bool ImgBtnRegistered = (RegisterImgBtnClasses(), true);
}
