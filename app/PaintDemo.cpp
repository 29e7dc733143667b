#include "PaintDemo.h"

#include <algorithm>
#include <cstdlib>

#include "Canvas.h"

// ---------------------------------------------------------------- TInfoForm

TInfoForm::TInfoForm(TComponent* AOwner) : TForm(AOwner) {}

void TInfoForm::OkButtonClick(TObject*)
{
    Close();
}

// ---------------------------------------------------------------- TPaintForm

TPaintForm::TPaintForm(TComponent* AOwner) : TForm(AOwner), FPicture(std::make_unique<TBitmap>()) {}

TPaintForm::~TPaintForm() = default;

void TPaintForm::Loaded()
{
    TForm::Loaded();
    PaletteBar = CheckedCast<TnvOutlookBar>(FindComponent("PaletteBar"));
    ToolList = CheckedCast<TnvOutlookList>(FindComponent("ToolList"));
    PenList = CheckedCast<TnvOutlookList>(FindComponent("PenList"));
    BrushList = CheckedCast<TnvOutlookList>(FindComponent("BrushList"));
    PenColorCombo = CheckedCast<TnvColorCombo>(FindComponent("PenColorCombo"));
    BrushColorCombo = CheckedCast<TnvColorCombo>(FindComponent("BrushColorCombo"));
    PaintBox = CheckedCast<TPaintBox>(FindComponent("PaintBox"));
}

void TPaintForm::FitPicture(bool White)
{
    const int W = std::max(1, PaintBox->Width());
    const int H = std::max(1, PaintBox->Height());
    const int OldW = FPicture->Width();
    const int OldH = FPicture->Height();
    if (W == OldW && H == OldH && !White)
        return;
    if (W > OldW || H > OldH || White)
        FPicture->SetSize(std::max(W, White ? 0 : OldW), std::max(H, White ? 0 : OldH));
    TCanvas* C = FPicture->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clWhite);
    if (White) {
        C->FillRect(TRect(0, 0, FPicture->Width(), FPicture->Height()));
    } else {
        // Only the new part of a grown paper is white.
        if (FPicture->Width() > OldW)
            C->FillRect(TRect(OldW, 0, FPicture->Width(), FPicture->Height()));
        if (FPicture->Height() > OldH)
            C->FillRect(TRect(0, OldH, FPicture->Width(), FPicture->Height()));
    }
}

void TPaintForm::FormShow(TObject*)
{
    FDrawing = false;
    FitPicture(true);
    PaintBox->Invalidate();
}

void TPaintForm::FormActivate(TObject*)
{
    if (InfoForm)
        return;
    InfoForm = CheckedCast<TInfoForm>(CreateFormInstance(ClassOf<TInfoForm>(), this));
    // A window of the paint window's own: it stays in front of it and takes
    // input while the paint window is shown modally, and it holds up
    // nothing (the paint window goes on being activated).
    InfoForm->setParent(this, InfoForm->windowFlags() | Qt::Dialog);
    InfoForm->Show();
}

void TPaintForm::ClearButtonClick(TObject*)
{
    FitPicture(true);
    PaintBox->Invalidate();
}

int TPaintForm::SelectedTag(TnvOutlookList* List, int Default)
{
    for (int I = 0; I < List->Items()->Count(); ++I)
        if (TnvOutlookListItem* Item = List->Items()->Items(I); Item->Selected())
            return Item->Tag();
    return Default;
}

void TPaintForm::PrepareCanvas()
{
    TCanvas* C = FPicture->Canvas();
    const TColor PenColour = PenColorCombo->SelectedColor();
    const TColor BrushColour = BrushColorCombo->SelectedColor();
    C->Pen()->SetColor(PenColour == clNoColorSelected ? clBlack : PenColour);
    C->Pen()->SetStyle(static_cast<TPenStyle>(std::clamp(SelectedTag(PenList, psSolid), int(psSolid), int(psDashDotDot))));
    C->Pen()->SetWidth(1);
    C->Brush()->SetColor(BrushColour == clNoColorSelected ? clWhite : BrushColour);
    C->Brush()->SetStyle(
        static_cast<TBrushStyle>(std::clamp(SelectedTag(BrushList, bsSolid), int(bsSolid), int(bsDiagCross))));
}

void TPaintForm::DrawShape(TPoint From, TPoint To, TPenMode Mode)
{
    TCanvas* C = FPicture->Canvas();
    C->Pen()->SetMode(Mode);
    switch (SelectedTag(ToolList, ptLine)) {
    case ptRectangle: C->Rectangle(From.X, From.Y, To.X, To.Y); break;
    case ptEllipse: C->Ellipse(From.X, From.Y, To.X, To.Y); break;
    case ptRoundRect:
        C->RoundRect(From.X, From.Y, To.X, To.Y, std::abs(From.X - To.X) / 2, std::abs(From.Y - To.Y) / 2);
        break;
    default:
        C->MoveTo(From.X, From.Y);
        C->LineTo(To.X, To.Y);
        break;
    }
    C->Pen()->SetMode(pmCopy);
    PaintBox->Invalidate();
}

void TPaintForm::PaintBoxMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (Button != mbLeft)
        return;
    FitPicture(false);
    PrepareCanvas();
    FDrawing = true;
    FOrigin = TPoint(X, Y);
    FMovePt = FOrigin;
}

void TPaintForm::PaintBoxMouseMove(TObject*, TShiftState, int X, int Y)
{
    if (!FDrawing)
        return;
    // The rubber band: drawn again where it was, which takes it away, then
    // at the new point.
    DrawShape(FOrigin, FMovePt, pmNotXor);
    FMovePt = TPoint(X, Y);
    DrawShape(FOrigin, FMovePt, pmNotXor);
}

void TPaintForm::PaintBoxMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (!FDrawing || Button != mbLeft)
        return;
    FDrawing = false;
    DrawShape(FOrigin, FMovePt, pmNotXor);
    DrawShape(FOrigin, TPoint(X, Y), pmCopy);
}

void TPaintForm::PaintBoxPaint(TObject*)
{
    FitPicture(false);
    PaintBox->Canvas()->Draw(0, 0, FPicture.get());
}
