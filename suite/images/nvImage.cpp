#include "nvImage.h"

#include <QGuiApplication>
#include <QScreen>

#include "nvBitmap.h"

TnvCustomImage::TnvCustomImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    FControlStyle |= csReplicatable;
    FPicture->OnChange = [this](TObject* Sender) { HandlePictureChange(Sender); };
    SetBounds(0, 0, 105, 105);
}

TnvCustomImage::~TnvCustomImage()
{
    FPicture->OnChange = nullptr;
}

void TnvCustomImage::SetPicture(TPicture* Value)
{
    FPicture->Assign(Value);
}

void TnvCustomImage::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    if (Value)
        HandlePictureChange(FPicture.get());
}

void TnvCustomImage::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    HandlePictureChange(FPicture.get());
}

TCanvas* TnvCustomImage::Canvas()
{
    return PictureBitmapCanvas(FPicture.get(), FWidth, FHeight);
}

int TnvCustomImage::DisplayBitsPerPixel() const
{
    const QScreen* S = screen();
    if (!S)
        S = QGuiApplication::primaryScreen();
    return S ? S->depth() : 32;
}

void TnvCustomImage::Paint()
{
    TGraphic* G = FPicture->Graphic();
    if (FPicture->Width() == 0 || !G)
        return;
    TCanvas* C = TGraphicControl::Canvas();
    if (IsDesigning()) {
        C->Pen()->SetStyle(psDash);
        C->Brush()->SetStyle(bsClear);
        C->Rectangle(0, 0, FWidth, FHeight);
    }
    FDrawing = true;
    try {
        if (FNoDither || DisplayBitsPerPixel() > 8) {
            C->StretchDraw(TRect(0, 0, FPicture->Width(), FPicture->Height()), G);
        } else {
            // Only bitmaps take the palette path (any other graphic raises here).
            Canvas();
            TnvBitmap Bitmap;
            Bitmap.SetRespectPalette(true);
            Bitmap.Assign(G);
            C->Draw(0, 0, &Bitmap);
        }
    } catch (...) {
        FDrawing = false;
        throw;
    }
    FDrawing = false;
}

void TnvCustomImage::HandlePictureChange(TObject*)
{
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
    if (TGraphic* G = FPicture->Graphic()) {
        // Setting the flag announces a change only when it differs, and that
        // change comes back here once with the flag already equal.
        if (!dynamic_cast<TIcon*>(G) && G->Transparent() != FTransparent)
            G->SetTransparent(FTransparent);
        if (!G->Transparent() && G->Width() >= FWidth && G->Height() >= FHeight)
            FControlStyle |= csOpaque;
        else
            FControlStyle &= ~TControlStyle(csOpaque);
        // The platform's graphics carry no palettes (every display is true
        // colour to them), so there is no palette to realise here.
    } else {
        FControlStyle &= ~TControlStyle(csOpaque);
    }
    if (!FDrawing)
        Invalidate();
}
