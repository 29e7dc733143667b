#include "nvImager.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>

#include <algorithm>

#include "Forms.h"
#include "Streams.h"

namespace {

// Sets a flag for the lifetime of the guard and restores its old value.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = FOld; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

QClipboard* Clipboard()
{
    return QGuiApplication::clipboard();
}

bool ClipboardHasBitmap()
{
    const QMimeData* Data = Clipboard() ? Clipboard()->mimeData() : nullptr;
    return Data && Data->hasImage();
}

// The clipboard's bitmap as a framework bitmap (empty when there is none).
void ClipboardBitmap(TBitmap& Bitmap)
{
    const QImage Image = Clipboard()->image();
    if (Image.isNull())
        return;
    Bitmap.SetImage(Image.hasAlphaChannel() ? Image.convertToFormat(QImage::Format_RGB32) : Image);
}

void PutBitmapOnClipboard(TBitmap& Bitmap)
{
    if (Bitmap.Empty() || !Clipboard())
        return;
    Clipboard()->setImage(Bitmap.ToImage32());
}

// Stores a changed value of an effect setting and applies the options.
template <class T>
void StoreAndApply(T& Field, T Value, TnvBitmapOptions* Options)
{
    if (Field == Value)
        return;
    Field = Value;
    Options->Changed();
}

} // namespace

// ---------------------------------------------------------------- TnvRotate

TnvRotate::TnvRotate(TnvBitmapOptions* Options) : FOptions(Options) {}

void TnvRotate::SetAngle(int Value)
{
    StoreAndApply(FAngle, Value, FOptions);
}

void TnvRotate::SetCenterX(int Value)
{
    StoreAndApply(FCenterX, Value, FOptions);
}

void TnvRotate::SetCenterY(int Value)
{
    StoreAndApply(FCenterY, Value, FOptions);
}

void TnvRotate::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvRotate*>(Source)) {
        FOptions->BeginUpdate();
        SetAngle(S->FAngle);
        SetCenterX(S->FCenterX);
        SetCenterY(S->FCenterY);
        FOptions->EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvRotate::GetOwner()
{
    return FOptions;
}

// ---------------------------------------------------------------- TnvAlphaBlend

TnvAlphaBlend::TnvAlphaBlend(TnvBitmapOptions* Options) : FOptions(Options), FBitmap(std::make_unique<TnvBitmap>())
{
}

TnvAlphaBlend::~TnvAlphaBlend() = default;

void TnvAlphaBlend::SetAmount(int Value)
{
    if (Value < 0 || Value > 255)
        throw EInvalidOperation("AlphaBlend.Amount must lie in 0 .. 255, not " + IntToStr(Value));
    if (FAmount == Value)
        return;
    FAmount = static_cast<uint8_t>(Value);
    Changed();
}

void TnvAlphaBlend::SetBitmap(TnvBitmap* Value)
{
    FBitmap->Assign(Value);
}

bool TnvAlphaBlend::Transparent() const
{
    return FBitmap->Transparent();
}

void TnvAlphaBlend::SetTransparent(bool Value)
{
    if (FBitmap->Transparent() == Value)
        return;
    FBitmap->SetTransparent(Value);
    Changed();
}

void TnvAlphaBlend::Changed()
{
    if (FChanging)
        return;
    TFlagGuard Guard(FChanging);
    FOptions->Changed();
}

void TnvAlphaBlend::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvAlphaBlend*>(Source)) {
        FOptions->BeginUpdate();
        FBitmap->Assign(S->FBitmap.get());
        SetTransparent(S->Transparent());
        SetAmount(S->FAmount);
        FOptions->EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvAlphaBlend::GetOwner()
{
    return FOptions;
}

// ---------------------------------------------------------------- TnvWave

TnvWave::TnvWave(TnvBitmapOptions* Options) : FOptions(Options) {}

void TnvWave::SetXDiv(int Value)
{
    StoreAndApply(FXDiv, Value, FOptions);
}

void TnvWave::SetYDiv(int Value)
{
    StoreAndApply(FYDiv, Value, FOptions);
}

void TnvWave::SetRatio(int Value)
{
    StoreAndApply(FRatio, Value, FOptions);
}

void TnvWave::SetWrap(bool Value)
{
    StoreAndApply(FWrap, Value, FOptions);
}

void TnvWave::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvWave*>(Source)) {
        FOptions->BeginUpdate();
        SetXDiv(S->FXDiv);
        SetYDiv(S->FYDiv);
        SetRatio(S->FRatio);
        SetWrap(S->FWrap);
        FOptions->EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

TPersistent* TnvWave::GetOwner()
{
    return FOptions;
}

// ---------------------------------------------------------------- TnvBitmapOptions

TnvBitmapOptions::TnvBitmapOptions(TComponent* Owner, TnvBitmap* Dest, TPicture* Source)
    : FOwner(Owner), FDest(Dest), FSource(Source), FAlphaBlend(std::make_unique<TnvAlphaBlend>(this)),
      FRotation(std::make_unique<TnvRotate>(this)), FWave(std::make_unique<TnvWave>(this))
{
}

TnvBitmapOptions::~TnvBitmapOptions() = default;

void TnvBitmapOptions::SetColor(TColor Value)
{
    StoreAndApply(FColor, Value, this);
}

void TnvBitmapOptions::SetTintColor(TColor Value)
{
    StoreAndApply(FTintColor, Value, this);
}

void TnvBitmapOptions::SetIntValue(int Index, int Value)
{
    StoreAndApply(FInts[Index], Value, this);
}

void TnvBitmapOptions::SetBoolValue(int Index, bool Value)
{
    StoreAndApply(FBools[Index], Value, this);
}

void TnvBitmapOptions::BeginUpdate()
{
    ++FLock;
}

void TnvBitmapOptions::EndUpdate()
{
    if (FLock > 0)
        --FLock;
    Changed();
}

void TnvBitmapOptions::CopySource()
{
    TGraphic* G = FSource->Graphic();
    const int W = FDest->Width(), H = FDest->Height();
    const bool Same = G->Width() == W && G->Height() == H;
    const bool Smooth = FDest->SmoothStretching();
    const bool Usable = FBase && FBaseGraphic == G && FBaseStamp == FSourceStamp && FBase->Width() == W &&
                        FBase->Height() == H && (Same || (FBaseTile == FTile && FBaseSmooth == Smooth));
    if (!Usable) {
        FBase.reset();
        auto Base = std::make_unique<TnvBitmap>();
        if (Same) {
            Base->Assign(G);
        } else {
            // The picture is copied opaque: pixels of its transparent colour
            // keep their colour, so the working bitmap can leave them out
            // again when it is drawn.
            TnvBitmap Copy;
            Copy.Assign(G);
            Copy.SetTransparent(false);
            Copy.SetSmoothStretching(Smooth);
            Base->SetSize(W, H);
            if (FTile)
                TileGraphic(&Copy, Base->Canvas(), TRect(0, 0, W, H));
            else
                Base->Canvas()->StretchDraw(TRect(0, 0, W, H), &Copy);
        }
        Base->SetTransparent(G->Transparent());
        FBase = std::move(Base);
        FBaseGraphic = G;
        FBaseStamp = FSourceStamp;
        FBaseTile = FTile;
        FBaseSmooth = Smooth;
    }
    // The destination keeps its own settings (they are the imager's); only
    // the pixels and the transparency come from the picture.
    FBase->SetTransparentColor(FDest->TransparentColor());
    FBase->SetSmoothStretching(FDest->SmoothStretching());
    FBase->SetRespectPalette(FDest->RespectPalette());
    FBase->SetUseHalftonePalette(FDest->UseHalftonePalette());
    FBase->AssignTo(FDest);
}

void TnvBitmapOptions::Changed()
{
    if (FOwner && FOwner->IsLoading())
        return;
    if (!FDest || FDest->Empty())
        return;
    TGraphic* G = FSource ? FSource->Graphic() : nullptr;
    if (!G || G->Empty())
        return;
    if (FLock > 0)
        return;

    CopySource();

    TnvBitmap* D = FDest;
    if (GrayScale())
        D->GrayScale();
    if (Lightness() != 0)
        D->Lightness(Lightness());
    if (FAlphaBlend->Amount() != 0 && !FAlphaBlend->Bitmap()->Empty())
        D->AlphaBlend(FAlphaBlend->Bitmap(), static_cast<uint8_t>(FAlphaBlend->Amount()), true);
    if (FColor != clNone) {
        const TRGBTriple C = ColorToTriple(FColor);
        D->Colorize(C.rgbtRed, C.rgbtGreen, C.rgbtBlue);
    }
    if (FTintColor != clNone) {
        const TRGBTriple C = ColorToTriple(FTintColor);
        D->AddRGB(C.rgbtRed >> 1, C.rgbtGreen >> 1, C.rgbtBlue >> 1);
    }
    if (Sponge() != 0)
        D->Sponge(Sponge());
    if (Saturation() != -1)
        D->Saturation(Saturation());
    if (GaussianBlur() != 0)
        D->GaussianBlur(GaussianBlur());
    if (Embossed())
        D->Emboss();
    if (Inverted())
        D->Invert();
    if (Contrast() != 0)
        D->Contrast(Contrast());
    if (Sharpen() != 0)
        D->Sharpen(Sharpen());
    if (HorizontallyFlipped())
        D->Flip(true);
    if (VerticallyFlipped())
        D->Flip(false);
    if (FWave->Ratio() != 0 && FWave->XDiv() != 0 && FWave->YDiv() != 0)
        D->Wave(FWave->XDiv(), FWave->YDiv(), FWave->Ratio(), FWave->Wrap());
    if (FRotation->Angle() != 0)
        D->Rotate(TPoint(FRotation->CenterX(), FRotation->CenterY()), FRotation->Angle());

    ++FApplyCount;
    if (OnChange)
        OnChange(this);
}

void TnvBitmapOptions::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TnvBitmapOptions*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        FAlphaBlend->Assign(S->FAlphaBlend.get());
        FRotation->Assign(S->FRotation.get());
        FWave->Assign(S->FWave.get());
        SetColor(S->FColor);
        SetTintColor(S->FTintColor);
        for (int I = 0; I < 6; ++I)
            SetIntValue(I, S->FInts[I]);
        for (int I = 0; I < 5; ++I)
            SetBoolValue(I, S->FBools[I]);
    } catch (...) {
        --FLock;
        throw;
    }
    EndUpdate();
}

TPersistent* TnvBitmapOptions::GetOwner()
{
    return FOwner;
}

// ---------------------------------------------------------------- TnvImagerCore

TnvImagerCore::TnvImagerCore(TControl* Control, THooks Hooks)
    : FControl(Control), FHooks(std::move(Hooks)), FPicture(std::make_unique<TPicture>()),
      FWork(std::make_unique<TnvBitmap>())
{
    FPicture->SetOwner(Control);
    FWork->SetRespectPalette(true);
    FWork->SetUseHalftonePalette(true);
    FOptions = std::make_unique<TnvBitmapOptions>(Control, FWork.get(), FPicture.get());
}

TnvImagerCore::~TnvImagerCore()
{
    FPicture->OnChange = nullptr;
    FOptions->OnChange = nullptr;
}

bool TnvImagerCore::IsPictureEmpty() const
{
    return !FPicture || !FPicture->Graphic() || FPicture->Graphic()->Empty();
}

TSize TnvImagerCore::WorkSize(int W, int H) const
{
    // Without a picture there is nothing to work on (a white working bitmap
    // of the control's size would be painted).
    if (IsPictureEmpty())
        return TSize(0, 0);
    if (!PreProcess && DrawStyle >= dsStretch)
        return TSize(std::max(W, 0), std::max(H, 0));
    const int PW = FPicture->Width(), PH = FPicture->Height();
    if (FOptions->Rotation()->Angle() != 0) {
        const int Side = std::max(PW, PH);
        return TSize(Side, Side);
    }
    return TSize(PW, PH);
}

void TnvImagerCore::ResizeWorkBitmap(int W, int H)
{
    const TSize S = WorkSize(W, H);
    FWork->SetDimensions(S.cx, S.cy);
    WorkChanged();
    if (ApplyPass) {
        FOptions->Changed();
    } else {
        TFlagGuard Guard(ApplyPass);
        FHooks.ApplyBitmapOptions();
    }
    FHooks.UpdateAutoSize();
}

void TnvImagerCore::ApplyBitmapOptions()
{
    if (IsPictureEmpty() || Loading())
        return;
    if (FWork->Empty())
        FHooks.ResizeWorkBitmap();
    FOptions->Changed();
}

TRect TnvImagerCore::DrawRect(int W, int H) const
{
    const int WW = FWork->Width(), WH = FWork->Height();
    switch (DrawStyle) {
    case dsCenter: {
        const int X = W / 2 - WW / 2, Y = H / 2 - WH / 2;
        return TRect(X, Y, W - X, H - Y);
    }
    case dsStretch:
    case dsTile: return TRect(0, 0, W, H);
    case dsProportional: return FitRectProportional(TRect(0, 0, W, H), WW, WH);
    case dsProportionalCenter: return FitRectProportionalCentered(TRect(0, 0, W, H), WW, WH);
    case TnvImagerDrawStyle::dsNormal:
    default: return TRect(0, 0, FPicture->Width(), FPicture->Height());
    }
}

TnvBitmap* TnvImagerCore::ScaledWork(int W, int H)
{
    const bool Smooth = FWork->SmoothStretching();
    const bool Transparent = FWork->Transparent();
    if (FScaled && FScaledCurrent && FScaled->Width() == W && FScaled->Height() == H && FScaledSmooth == Smooth &&
        FScaledTransparent == Transparent)
        return FScaled.get();
    // Remade in the same store after every change of the working bitmap.
    if (!FScaled)
        FScaled = std::make_unique<TnvBitmap>();
    TnvBitmap* S = FScaled.get();
    S->StretchFrom(*FWork, W, H);
    // A scaled copy leaves out the colour of its own top-left pixel.
    S->SetTransparentColor(clNone);
    S->SetTransparent(Transparent);
    FScaledCurrent = true;
    FAlphaScaled = QImage();
    FScaledSmooth = Smooth;
    FScaledTransparent = Transparent;
    return FScaled.get();
}

void TnvImagerCore::PaintWork(TCanvas* Canvas, int W, int H, bool Designing)
{
    if (FWork->Empty() && !IsPictureEmpty()) {
        // Prepares the working bitmap; its change notification repaints,
        // but what is ready now is drawn at once.
        FHooks.ApplyBitmapOptions();
    }
    if (FWork->Empty()) {
        if (Designing) {
            Canvas->Pen()->SetStyle(psDash);
            Canvas->Pen()->SetColor(clBlack);
            Canvas->Brush()->SetStyle(bsSolid);
            Canvas->Brush()->SetColor(clWhite);
            Canvas->Rectangle(0, 0, W, H);
        }
        return;
    }
    const TRect R = DrawRect(W, H);
    const int WW = FWork->Width(), WH = FWork->Height();
    if (!PreProcess) {
        DrawBitmap(Canvas, FWork.get(), R.Left, R.Top);
        return;
    }
    switch (DrawStyle) {
    case TnvImagerDrawStyle::dsNormal:
    case dsCenter: DrawBitmap(Canvas, FWork.get(), R.Left, R.Top); break;
    case dsTile:
        if (!FWork->Transparent()) {
            FWork->TileDraw(Canvas, R);
            break;
        }
        // As TileDraw places the tiles.
        for (int Y = 0; Y < R.Bottom; Y += WH)
            for (int X = 0; X < R.Right; X += WW)
                DrawBitmap(Canvas, FWork.get(), X - R.Left, Y - R.Top);
        break;
    default:
        if (R.Width() <= 0 || R.Height() <= 0)
            break;
        if (R.Width() == WW && R.Height() == WH)
            DrawBitmap(Canvas, FWork.get(), R.Left, R.Top);
        else
            DrawBitmap(Canvas, ScaledWork(R.Width(), R.Height()), R.Left, R.Top);
        break;
    }
}

QImage TnvImagerCore::MakeAlphaImage(const TnvBitmap& Bitmap)
{
    const int W = Bitmap.Width(), H = Bitmap.Height();
    QImage Image(W, H, QImage::Format_ARGB32);
    if (W <= 0 || H <= 0)
        return Image;
    const TRGBTriple Key =
        Bitmap.TransparentColor() == clNone ? Bitmap.Row(0)[0] : ColorToTriple(Bitmap.TransparentColor());
    for (int Y = 0; Y < H; ++Y) {
        const TRGBTriple* S = Bitmap.Row(Y);
        auto* D = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < W; ++X)
            D[X] = S[X] == Key ? 0u : qRgb(S[X].rgbtRed, S[X].rgbtGreen, S[X].rgbtBlue);
    }
    return Image;
}

void TnvImagerCore::DrawBitmap(TCanvas* Canvas, TnvBitmap* Bitmap, int X, int Y)
{
    const TRect R(X, Y, X + Bitmap->Width(), Y + Bitmap->Height());
    if (!Bitmap->Transparent()) {
        Bitmap->Draw(Canvas, R);
        return;
    }
    QImage& Cache = Bitmap == FWork.get() ? FAlphaWork : FAlphaScaled;
    if (Cache.isNull())
        Cache = MakeAlphaImage(*Bitmap);
    QImage* Target = Canvas->Target();
    if (!Target || Target->format() == QImage::Format_Mono || !Target->hasAlphaChannel()) {
        DrawImage32(Canvas, R, Cache);
        return;
    }
    // Composed straight onto the target, so pixels left out keep their
    // alpha (the canvas's pixel editing works on opaque copies).
    QPainter Painter(Target);
    if (Canvas->HasClipRegion())
        Painter.setClipRegion(Canvas->ClipRegion());
    const TPoint Org = Canvas->ViewportOrg();
    Painter.drawImage(R.Left + Org.X, R.Top + Org.Y, Cache);
}

void TnvImagerCore::SetDrawStyle(TnvImagerDrawStyle Value)
{
    if (DrawStyle == Value)
        return;
    DrawStyle = Value;
    FOptions->SetTile(Value == dsTile);
    FHooks.ResizeWorkBitmap();
    FHooks.Invalidate();
}

void TnvImagerCore::SetPreProcess(bool Value)
{
    if (PreProcess == Value)
        return;
    PreProcess = Value;
    FHooks.ResizeWorkBitmap();
    FHooks.Invalidate();
}

void TnvImagerCore::SetAutoSize(bool Value)
{
    AutoSize = Value;
    FHooks.UpdateAutoSize();
}

void TnvImagerCore::SetRespectPalette(bool Value)
{
    RespectPalette = Value;
    const bool Colouring = FOptions->Color() != clNone || FOptions->TintColor() != clNone;
    FWork->SetRespectPalette(Value && !Colouring);
    FHooks.Invalidate();
}

void TnvImagerCore::SetSmoothStretching(bool Value)
{
    if (FWork->SmoothStretching() == Value)
        return;
    FWork->SetSmoothStretching(Value);
    WorkChanged();
    FHooks.ApplyBitmapOptions();
    FHooks.Invalidate();
}

void TnvImagerCore::SetTransparent(bool Value)
{
    // Given to the picture on show at every assignment, the same value
    // included: a picture assigned later keeps its own transparency until
    // then (the data-aware imager's field pictures and pasted pictures take
    // the imager's setting as they come).
    Transparent = Value;
    if (!IsPictureEmpty() && FPicture->Graphic()->Transparent() != Value)
        FPicture->Graphic()->SetTransparent(Value);
    FHooks.Invalidate();
}

void TnvImagerCore::SetTransparentColor(TColor Value)
{
    if (FWork->TransparentColor() == Value)
        return;
    FWork->SetTransparentColor(Value);
    WorkChanged();
    FHooks.ApplyBitmapOptions();
    FHooks.Invalidate();
}

void TnvImagerCore::SetBounds(int AWidth, int AHeight, const std::function<void()>& FrameworkSetBounds)
{
    if ((AWidth == FControl->Width() && AHeight == FControl->Height()) || AutoSizing) {
        FrameworkSetBounds();
        return;
    }
    TFlagGuard Guard(Resizing);
    // The parent is opaque while the control resizes, and the control paints
    // at once, so the parent's background does not flash through.
    TWinControl* P = FControl->Parent();
    const TControlStyle Saved = P ? P->ControlStyle() : TControlStyle();
    if (P)
        P->SetControlStyle(Saved | csOpaque);
    try {
        FrameworkSetBounds();
    } catch (...) {
        if (P)
            P->SetControlStyle(Saved);
        throw;
    }
    if (P)
        P->SetControlStyle(Saved);
    if (FControl->Visible())
        FControl->Update();
    FHooks.ResizeWorkBitmap();
}

bool TnvImagerCore::WorkSizeDiffers(int W, int H) const
{
    const TSize S = WorkSize(W, H);
    return S.cx != FWork->Width() || S.cy != FWork->Height();
}

void TnvImagerCore::NotifyWatchers()
{
    Links.NotifyChange(FWork.get());
}

// ---------------------------------------------------------------- TnvIcon

void TnvIcon::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    StretchDrawIcon(ACanvas, Rect);
}

// ---------------------------------------------------------------- TnvCustomImager

TnvCustomImager::TnvCustomImager(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FCore = std::make_unique<TnvImagerCore>(
        this, TnvImagerCore::THooks{[this] { ResizeWorkBitmap(); }, [this] { ApplyBitmapOptions(); },
                                    [this] { UpdateAutoSize(); }, [this] { Invalidate(); }});
    FCore->Picture()->OnChange = [this](TObject*) { PictureChanged(); };
    FCore->Options()->OnChange = [this](TObject*) { BitmapOptionsChanged(); };
    SetControlStyle(ControlStyle() | csOpaque);
    SetBounds(Left(), Top(), 100, 100);
}

TnvCustomImager::~TnvCustomImager()
{
    FreeFocusControl();
    FCore.reset();
}

bool TnvCustomImager::PaintsTransparent() const
{
    // Where the picture does not reach, the parent shows.
    return true;
}

void TnvCustomImager::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (!FCore) {
        TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    FCore->SetBounds(AWidth, AHeight, [&] { TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight); });
}

void TnvCustomImager::Invalidate()
{
    if (FCore && FCore->Resizing)
        return;
    if (Parent())
        InvalidateControlArea(this, true);
    else
        TGraphicControl::Invalidate();
}

void TnvCustomImager::Loaded()
{
    TGraphicControl::Loaded();
    if (FCore->Transparent && !IsPictureEmpty() && !Picture()->Graphic()->Transparent())
        Picture()->Graphic()->SetTransparent(true);
    UpdateAutoSize();
    ResizeWorkBitmap();
}

void TnvCustomImager::CreateFocusControl()
{
    if (FFocusControl)
        return;
    FFocusControl = new TnvImagerWinControl(this);
    FFocusControl->SetBounds(0, 0, 0, 0);
    FFocusControl->SetTabStop(FTabStop);
    if (Parent())
        FFocusControl->SetParent(Parent());
    if (FTabOrder >= 0 && Parent())
        FFocusControl->SetTabOrder(FTabOrder);
}

void TnvCustomImager::FreeFocusControl()
{
    if (FFocusControl) {
        TnvImagerWinControl* C = FFocusControl;
        FFocusControl = nullptr;
        delete C;
    }
}

void TnvCustomImager::SetParent(TWinControl* AParent)
{
    TGraphicControl::SetParent(AParent);
    if (FFocusControl) {
        FFocusControl->SetParent(AParent);
        if (AParent && FTabOrder >= 0)
            FFocusControl->SetTabOrder(FTabOrder);
    }
}

void TnvCustomImager::SetFocusable(bool Value)
{
    FFocusable = Value;
    if (Value) {
        CreateFocusControl();
        FFocusControl->SetTabStop(FTabStop);
    } else {
        FreeFocusControl();
    }
}

void TnvCustomImager::SetTabStop(bool Value)
{
    FTabStop = Value;
    if (Value || FFocusable) {
        CreateFocusControl();
        FFocusControl->SetTabStop(Value);
    } else {
        FreeFocusControl();
    }
}

void TnvCustomImager::SetTabOrder(int Value)
{
    FTabOrder = Value;
    if (FFocusable) {
        CreateFocusControl();
        if (FFocusControl->Parent())
            FFocusControl->SetTabOrder(Value);
    } else {
        FreeFocusControl();
    }
}

void TnvCustomImager::BitmapOptionsChanged()
{
    // The options changed the rotation, so the working bitmap needs the
    // size that goes with it; resizing applies the options again.
    if (!FCore->ApplyPass && !IsLoading() && FCore->WorkSizeDiffers(Width(), Height())) {
        ResizeWorkBitmap();
        return;
    }
    FCore->WorkChanged();
    if (Parent())
        InvalidateControlArea(this, FCore->Transparent);
    FCore->NotifyWatchers();
}

void TnvCustomImager::PictureChanged()
{
    BitmapOptions()->SourceChanged();
    ResizeWorkBitmap();
    if (Parent())
        InvalidateControlArea(this, true);
    FCore->NotifyWatchers();
}

void TnvCustomImager::UpdateAutoSize()
{
    if (!FCore->AutoSize || IsPictureEmpty() || IsLoading() || Align() != alNone)
        return;
    const int PW = Picture()->Width(), PH = Picture()->Height();
    if (Width() == PW && Height() == PH)
        return;
    {
        TFlagGuard Guard(FCore->AutoSizing);
        SetBounds(Left(), Top(), PW, PH);
    }
    // Working at control size, the working bitmap follows the new size.
    if (FCore->WorkSizeDiffers(Width(), Height()))
        ResizeWorkBitmap();
}

void TnvCustomImager::HandleKeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TnvCustomImager::HandleKeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    if (Key == VK_INSERT) {
        if (Shift.testFlag(ssShift))
            PasteFromClipboard();
        else if (Shift.testFlag(ssCtrl))
            CopyToClipboard();
    } else if (Key == VK_DELETE && Shift.testFlag(ssShift)) {
        CutToClipboard();
    }
}

void TnvCustomImager::HandleKeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
    switch (Key) {
    case 3: CopyToClipboard(); break;
    case 22: PasteFromClipboard(); break;
    case 24: CutToClipboard(); break;
    default: break;
    }
}

void TnvCustomImager::HandleEnter()
{
    try {
        if (OnEnter)
            OnEnter(this);
    } catch (...) {
    }
    FFocused = true;
    Invalidate();
}

void TnvCustomImager::HandleExit()
{
    try {
        if (OnExit)
            OnExit(this);
    } catch (...) {
    }
    FFocused = false;
    Invalidate();
}

bool TnvCustomImager::IsPictureEmpty() const
{
    return FCore->IsPictureEmpty();
}

void TnvCustomImager::RegisterChanges(TnvChangeLink* Link)
{
    FCore->Links.RegisterLink(Link);
}

void TnvCustomImager::UnregisterChanges(TnvChangeLink* Link)
{
    FCore->Links.UnregisterLink(Link);
}

void TnvCustomImager::ResizeWorkBitmap()
{
    if (IsLoading())
        return;
    FCore->ResizeWorkBitmap(Width(), Height());
}

void TnvCustomImager::ApplyBitmapOptions()
{
    FCore->ApplyBitmapOptions();
}

void TnvCustomImager::CopyToClipboard()
{
    if (WorkBitmap()->Empty())
        ApplyBitmapOptions();
    if (WorkBitmap()->Empty())
        return;
    TBitmap B;
    WorkBitmap()->AssignTo(&B);
    PutBitmapOnClipboard(B);
}

void TnvCustomImager::PasteFromClipboard()
{
    if (!ClipboardHasBitmap())
        return;
    TBitmap B;
    ClipboardBitmap(B);
    if (B.Empty())
        return;
    B.SetTransparent(FCore->Transparent);
    Picture()->SetGraphic(&B);
}

void TnvCustomImager::CutToClipboard()
{
    if (!Picture()->Graphic())
        return;
    CopyToClipboard();
    Picture()->SetGraphic(nullptr);
}

void TnvCustomImager::FocusImager()
{
    if (FFocusControl && FFocusControl->CanFocus())
        FFocusControl->SetFocus();
}

void TnvCustomImager::Paint()
{
    if (IsDestroying())
        return;
    FCore->PaintWork(Canvas(), Width(), Height(), ::IsDesigning(this));
}

void TnvCustomImager::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    FocusImager();
}

// ---------------------------------------------------------------- TnvImagerWinControl

TnvImagerWinControl::TnvImagerWinControl(TnvCustomImager* Imager) : TWinControl(nullptr), FImager(Imager)
{
    SetControlStyle(ControlStyle() | csReplicatable);
}

void TnvImagerWinControl::DoEnter()
{
    TWinControl::DoEnter();
    if (FImager)
        FImager->HandleEnter();
}

void TnvImagerWinControl::DoExit()
{
    TWinControl::DoExit();
    if (FImager)
        FImager->HandleExit();
}

void TnvImagerWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    if (FImager)
        FImager->HandleKeyDown(Key, Shift);
}

void TnvImagerWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    TWinControl::KeyUp(Key, Shift);
    if (FImager)
        FImager->HandleKeyUp(Key, Shift);
}

void TnvImagerWinControl::KeyPress(char& Key)
{
    TWinControl::KeyPress(Key);
    if (FImager)
        FImager->HandleKeyPress(Key);
}

// ---------------------------------------------------------------- TnvDBCustomImager

TnvDBCustomImager::TnvDBCustomImager(TComponent* AOwner) : TCustomControl(AOwner)
{
    FCore = std::make_unique<TnvImagerCore>(
        this, TnvImagerCore::THooks{[this] { ResizeWorkBitmap(); }, [this] { ApplyBitmapOptions(); },
                                    [this] { UpdateAutoSize(); }, [this] { Invalidate(); }});
    FCore->Picture()->OnChange = [this](TObject*) { PictureChanged(); };
    FCore->Options()->OnChange = [this](TObject*) { BitmapOptionsChanged(); };
    SetControlStyle(ControlStyle() | csOpaque);
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(Left(), Top(), 105, 105);
}

TnvDBCustomImager::~TnvDBCustomImager()
{
    FCore.reset();
}

bool TnvDBCustomImager::PaintsTransparent() const
{
    return FCore && FCore->Transparent;
}

TRect TnvDBCustomImager::ClientRect() const
{
    const int B = FBorderStyle == bsSingle ? 2 : 0;
    return TRect(B, B, std::max(B, Width() - B), std::max(B, Height() - B));
}

void TnvDBCustomImager::SetTransparent(bool Value)
{
    if (Value && !FCore->Transparent && Parent())
        RemoveClipChildren(Parent());
    FCore->SetTransparent(Value);
}

void TnvDBCustomImager::SetBorderStyle(TBorderStyle Value)
{
    if (Value != bsNone && Value != bsSingle)
        throw EInvalidOperation("Invalid border style for " + ClassName() + ": only bsNone and bsSingle are allowed");
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    ResizeWorkBitmap();
    Invalidate();
}

void TnvDBCustomImager::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (!FCore) {
        TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    const bool Resized = AWidth != Width() || AHeight != Height();
    FCore->SetBounds(AWidth, AHeight, [&] { TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight); });
    if (Resized)
        TCustomControl::Invalidate();
}

void TnvDBCustomImager::Invalidate()
{
    if (FCore && FCore->Resizing)
        return;
    TCustomControl::Invalidate();
    if (FCore && FCore->Transparent && Parent())
        InvalidateControlArea(this, true);
}

void TnvDBCustomImager::Loaded()
{
    TCustomControl::Loaded();
    UpdateAutoSize();
    ResizeWorkBitmap();
}

void TnvDBCustomImager::BitmapOptionsChanged()
{
    if (!FCore->ApplyPass && !IsLoading() && !IsPictureEmpty() &&
        FCore->WorkSizeDiffers(ClientWidth(), ClientHeight())) {
        ResizeWorkBitmap();
        return;
    }
    FCore->WorkChanged();
    TCustomControl::Invalidate();
    if (FCore->Transparent && Parent())
        InvalidateControlArea(this, true);
    FCore->NotifyWatchers();
}

void TnvDBCustomImager::PictureChanged()
{
    BitmapOptions()->SourceChanged();
    ResizeWorkBitmap();
    TCustomControl::Invalidate();
    if (Parent())
        InvalidateControlArea(this, true);
    FCore->NotifyWatchers();
}

void TnvDBCustomImager::UpdateAutoSize()
{
    if (!FCore->AutoSize || IsPictureEmpty() || IsLoading() || Align() != alNone)
        return;
    // The client area takes the picture's size.
    const TRect C = ClientRect();
    const int PW = Picture()->Width() + (Width() - C.Width()), PH = Picture()->Height() + (Height() - C.Height());
    if (Width() == PW && Height() == PH)
        return;
    {
        TFlagGuard Guard(FCore->AutoSizing);
        SetBounds(Left(), Top(), PW, PH);
    }
    if (FCore->WorkSizeDiffers(ClientWidth(), ClientHeight()))
        ResizeWorkBitmap();
}

bool TnvDBCustomImager::IsPictureEmpty() const
{
    return FCore->IsPictureEmpty();
}

void TnvDBCustomImager::RegisterChanges(TnvChangeLink* Link)
{
    FCore->Links.RegisterLink(Link);
}

void TnvDBCustomImager::UnregisterChanges(TnvChangeLink* Link)
{
    FCore->Links.UnregisterLink(Link);
}

void TnvDBCustomImager::ResizeWorkBitmap()
{
    if (IsLoading())
        return;
    if (IsPictureEmpty()) {
        // Nothing to show: a working bitmap left from the previous picture
        // would still be painted.
        if (!WorkBitmap()->Empty()) {
            WorkBitmap()->Clear();
            FCore->WorkChanged();
        }
        return;
    }
    const TRect C = ClientRect();
    FCore->ResizeWorkBitmap(C.Width(), C.Height());
}

void TnvDBCustomImager::ApplyBitmapOptions()
{
    FCore->ApplyBitmapOptions();
}

void TnvDBCustomImager::Paint()
{
    if (IsDestroying())
        return;
    TCanvas* C = Canvas();
    if (FBorderStyle == bsSingle) {
        TRect R(0, 0, Width(), Height());
        DrawEdge(C, R, EDGE_SUNKEN, BF_RECT);
    }
    PaintPicture();
}

void TnvDBCustomImager::PaintPicture()
{
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    const TPoint OldOrg = C->ViewportOrg();
    C->SetViewportOrg(TPoint(OldOrg.X + Client.Left, OldOrg.Y + Client.Top));
    const bool HadClip = C->HasClipRegion();
    const QRegion OldClip = C->ClipRegion();
    C->IntersectClipRect(TRect(0, 0, Client.Width(), Client.Height()));
    try {
        FCore->PaintWork(C, Client.Width(), Client.Height(), ::IsDesigning(this));
    } catch (...) {
        C->SetClipRegion(HadClip ? &OldClip : nullptr);
        C->SetViewportOrg(OldOrg);
        throw;
    }
    C->SetClipRegion(HadClip ? &OldClip : nullptr);
    C->SetViewportOrg(OldOrg);
}

// ---------------------------------------------------------------- TnvDBImager

TnvDBImager::TnvDBImager(TComponent* AOwner) : TnvDBCustomImager(AOwner), FDataLink(std::make_unique<TFieldDataLink>())
{
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject* Sender) { DataChange(Sender); };
    FDataLink->OnUpdateData = [this](TObject* Sender) { UpdateData(Sender); };
    SetTabStop(true);
}

TnvDBImager::~TnvDBImager()
{
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink->SetDataSource(nullptr);
}

void TnvDBImager::SetDataSource(TDataSource* Value)
{
    if (Value == DataSource())
        return;
    FDataLink->SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
}

void TnvDBImager::Notification(TComponent* AComponent, TOperation Operation)
{
    TnvDBCustomImager::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == DataSource())
        SetDataSource(nullptr);
}

void TnvDBImager::SetAutoDisplay(bool Value)
{
    if (FAutoDisplay == Value)
        return;
    FAutoDisplay = Value;
    if (Value)
        LoadPicture();
}

void TnvDBImager::SetPictureType(TnvImagerPictureType Value)
{
    if (FPictureType == Value)
        return;
    FPictureType = Value;
    {
        TFlagGuard Guard(FLoadingField);
        Picture()->SetGraphic(nullptr);
    }
    FPictureLoaded = false;
    ResizeWorkBitmap();
    Invalidate();
    if (FAutoDisplay && !IsLoading())
        LoadPicture();
}

void TnvDBImager::PictureChanged()
{
    TnvDBCustomImager::PictureChanged();
    // Pictures read from the field leave the record as it is; any other
    // change of the picture is an edit of the record.
    if (!FLoadingField) {
        FDataLink->Modified();
        FPictureLoaded = true;
    }
}

void TnvDBImager::SetTransparent(bool Value)
{
    TFlagGuard Guard(FLoadingField);
    TnvDBCustomImager::SetTransparent(Value);
}

bool TnvDBImager::ReadFieldPicture(TPicture* Target, TnvImagerPictureType Type, const String& ClassName)
{
    auto* Blob = static_cast<TBlobField*>(Field());
    std::vector<uint8_t> Bytes = Blob->AsBytes();
    if (Bytes.empty()) {
        Target->SetGraphic(nullptr);
        return true;
    }
    TMemoryStream Stream(std::move(Bytes));
    Stream.SetPosition(0);
    switch (Type) {
    case nvptBitmap: {
        TBitmap B;
        B.LoadFromStream(Stream);
        Target->SetGraphic(&B);
        return true;
    }
    case nvptJpg:
    case nvptMetafile: {
        String Name = ClassName;
        if (Name.empty())
            Name = Type == nvptJpg ? "TJPEGImage" : "TMetafile";
        const TMetaClass* Class = FindGraphicClass(Name);
        if (!Class) {
            if (Type == nvptJpg)
                return false;
            throw EInvalidGraphic("No graphic class " + Name + " is registered to read metafile pictures");
        }
        std::unique_ptr<TGraphic> G = NewGraphic(Class);
        G->LoadFromStream(Stream);
        Target->SetGraphic(G.get());
        return true;
    }
    case nvptIcon: {
        TnvIcon Icon;
        Icon.LoadFromStream(Stream);
        Target->SetGraphic(&Icon);
        return true;
    }
    }
    return false;
}

void TnvDBImager::LoadPicture()
{
    LoadFieldPicture(false);
}

void TnvDBImager::LoadFieldPicture(bool Quiet)
{
    TField* F = Field();
    if (!F) {
        {
            TFlagGuard Guard(FLoadingField);
            Picture()->SetGraphic(nullptr);
        }
        WorkBitmap()->Clear();
        FCore->WorkChanged();
        Invalidate();
        return;
    }
    if (FPictureLoaded || !F->IsBlob())
        return;
    TnvImagerPictureType Type = FPictureType;
    String Name;
    CalcPictureType(Type, Name);
    {
        TFlagGuard Guard(FLoadingField);
        bool Read = false;
        try {
            Read = ReadFieldPicture(Picture(), Type, Name);
        } catch (const Exception& E) {
            // The picture stays as it was (empty after a record move). A
            // bitmap that cannot be read is ignored; so is any bad picture
            // met on a record move, so that moving through the records never
            // stops at an error. Asked for directly, other kinds report it.
            if (Quiet || Type == nvptBitmap) {
                Invalidate();
                return;
            }
            throw EInvalidGraphic("Field '" + F->FieldName() + "' does not hold a valid picture: " + E.Message());
        }
        if (!Read)
            return;
        FPictureLoaded = true;
        if (Picture()->Graphic() && Picture()->Graphic()->Transparent() != Transparent())
            Picture()->Graphic()->SetTransparent(Transparent());
    }
    Invalidate();
}

void TnvDBImager::CalcPictureType(TnvImagerPictureType& Type, String& GraphicClassName)
{
    if (OnCalcPictureType)
        OnCalcPictureType(this, Type, GraphicClassName);
}

void TnvDBImager::DataChange(TObject*)
{
    {
        TFlagGuard Guard(FLoadingField);
        Picture()->SetGraphic(nullptr);
    }
    WorkBitmap()->Clear();
    FCore->WorkChanged();
    FPictureLoaded = false;
    if (!FAutoDisplay) {
        Invalidate();
        return;
    }
    LoadFieldPicture(true);
}

void TnvDBImager::UpdateData(TObject*)
{
    TField* F = Field();
    if (!F || !F->IsBlob())
        return;
    auto* Blob = static_cast<TBlobField*>(F);
    TGraphic* G = Picture()->Graphic();
    if (!G || G->Empty()) {
        F->Clear();
        return;
    }
    // The picture is written in its own format: a bitmap as a BMP file, a
    // JPEG picture as its JPEG data, an icon as an icon file.
    TMemoryStream Stream;
    G->SaveToStream(Stream);
    Blob->SetAsBytes(Stream.Bytes());
}

void TnvDBImager::CopyToClipboard()
{
    TGraphic* G = Picture()->Graphic();
    if (!G || G->Empty())
        return;
    TBitmap B;
    B.Assign(G);
    PutBitmapOnClipboard(B);
}

void TnvDBImager::PasteFromClipboard()
{
    if (!ClipboardHasBitmap() || !FDataLink->Edit())
        return;
    TBitmap B;
    ClipboardBitmap(B);
    if (B.Empty())
        return;
    B.SetTransparent(Transparent());
    Picture()->SetGraphic(&B);
}

void TnvDBImager::CutToClipboard()
{
    if (!Picture()->Graphic() || !FDataLink->Edit())
        return;
    CopyToClipboard();
    Picture()->SetGraphic(nullptr);
}

void TnvDBImager::Paint()
{
    if (IsDestroying())
        return;
    if (ControlState().testFlag(csPaintCopy) && Field() && Field()->IsBlob()) {
        PaintCopy();
        return;
    }
    TCanvas* C = Canvas();
    if (!Transparent() && DrawStyle() != dsTile && DrawStyle() != dsStretch) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(ClientRect());
    }
    TnvDBCustomImager::Paint();
    TCustomForm* Form = GetParentForm();
    if (Form && Form->ActiveControl() == this && !::IsDesigning(this) && !ParentIsGrid(this)) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWindowFrame);
        C->FrameRect(ClientRect());
    }
}

void TnvDBImager::PaintCopy()
{
    TCanvas* C = Canvas();
    TPicture Temp;
    TnvImagerPictureType Type = FPictureType;
    String Name;
    CalcPictureType(Type, Name);
    try {
        ReadFieldPicture(&Temp, Type, Name);
    } catch (const Exception&) {
        // A copy for a replicating container shows nothing for bad data.
        return;
    }
    const TRect Client = ClientRect();
    const int W = Client.Width(), H = Client.Height();
    const int PW = Temp.Width(), PH = Temp.Height();
    if (PW == 0)
        return;
    C->SetCopyMode(Transparent() ? cmSrcAnd : cmSrcCopy);
    if (!Transparent() && DrawStyle() != dsTile && DrawStyle() != dsStretch) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(Client);
    }
    TGraphic* G = Temp.Graphic();
    if (!G || G->Empty() || PH == 0) {
        C->SetCopyMode(cmSrcCopy);
        return;
    }
    const int L = Client.Left, T = Client.Top;
    const int CX = (W - PW) / 2, CY = (H - PH) / 2;
    const int WH = static_cast<int>(double(H) / PH * PW); // the width that fits the height
    const int HW = static_cast<int>(double(W) / PW * PH); // the height that fits the width
    TRect R;
    switch (DrawStyle()) {
    case TnvImagerDrawStyle::dsNormal: C->Draw(L, T, G); break;
    case dsCenter: C->Draw(L + CX, T + CY - 1, G); break;
    case dsProportional:
        if (PH < PW)
            R = HW < H ? TRect(0, 0, W, HW) : TRect(0, 0, WH, H);
        else
            R = WH < W ? TRect(0, 0, WH, H) : TRect(0, 0, W, HW);
        C->StretchDraw(TRect(R.Left + L, R.Top + T, R.Right + L, R.Bottom + T), G);
        break;
    case dsProportionalCenter:
        if (H < W) {
            if (WH < W) {
                const int K = static_cast<int>((W - WH) / 2.0);
                R = TRect(L + K - 1, T, L + K - 1 + WH, T + H);
            } else {
                const int K = static_cast<int>((H - HW) / 2.0);
                R = TRect(L, T + K, L + W, T + K + HW);
            }
        } else if (HW < H) {
            const int K = static_cast<int>((H - HW) / 2.0);
            R = TRect(L, T + K - 1, L + W, T + K - 1 + HW);
        } else {
            const int K = static_cast<int>((W - WH) / 2.0);
            R = TRect(L + K, T, L + K + WH, T + H);
        }
        C->StretchDraw(R, G);
        break;
    case dsStretch:
    case dsTile: C->StretchDraw(Client, G); break;
    }
    C->SetCopyMode(cmSrcCopy);
}

void TnvDBImager::KeyDown(Word& Key, TShiftState Shift)
{
    TnvDBCustomImager::KeyDown(Key, Shift);
    if (Key == VK_INSERT) {
        if (Shift.testFlag(ssShift))
            PasteFromClipboard();
        else if (Shift.testFlag(ssCtrl))
            CopyToClipboard();
    } else if (Key == VK_DELETE && Shift.testFlag(ssShift)) {
        CutToClipboard();
    }
}

void TnvDBImager::KeyPress(char& Key)
{
    TnvDBCustomImager::KeyPress(Key);
    switch (Key) {
    case 3: CopyToClipboard(); break;
    case 13: LoadPicture(); break;
    case 22: PasteFromClipboard(); break;
    case 24: CutToClipboard(); break;
    case 27: FDataLink->Reset(); break;
    default: break;
    }
}

bool TnvDBImager::WantsKey(Word Key, TShiftState Shift)
{
    // Return loads the picture and escape shows the field's value again.
    if (Key == VK_RETURN || Key == VK_ESCAPE)
        return true;
    return TnvDBCustomImager::WantsKey(Key, Shift);
}

void TnvDBImager::DblClick()
{
    LoadPicture();
    TnvDBCustomImager::DblClick();
}

void TnvDBImager::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && TabStop() && CanFocus() && !Focused())
        SetFocus();
    TnvDBCustomImager::MouseDown(Button, Shift, X, Y);
}

void TnvDBImager::DoExit()
{
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    TnvDBCustomImager::DoExit();
}

void TnvDBImager::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_GETDATALINK) {
        Message.Result = reinterpret_cast<intptr_t>(FDataLink.get());
        return;
    }
    TnvDBCustomImager::WndProc(Message);
}

// ---------------------------------------------------------------- registration

namespace {
[[maybe_unused]] const bool ImagerClassesRegistered = (RegisterClasses<TnvImager, TnvDBImager, TnvIcon>(), true);
} // namespace
