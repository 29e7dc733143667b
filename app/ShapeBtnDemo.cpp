#include "ShapeBtnDemo.h"

namespace {
// The L buttons' stack: a column of wide boxes, or a row of tall ones.
constexpr int StackLeft = 200;
constexpr int StackTop = 12;
constexpr int LongSide = 160;
constexpr int ShortSide = 96;
constexpr int Gap = 6;
} // namespace

TShapeBtnDemoForm::TShapeBtnDemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TShapeBtnDemoForm::Loaded()
{
    TForm::Loaded();
    PageControl1 = CheckedCast<TPageControl>(FindComponent("PageControl1"));
    OrientationRadioGroup = CheckedCast<TRadioGroup>(FindComponent("OrientationRadioGroup"));
    OrientedArrow = CheckedCast<TnvShapeBtn>(FindComponent("OrientedArrow"));
    for (int I = 0; I < 3; ++I)
        LButtons[I] = CheckedCast<TnvShapeBtn>(FindComponent("LButton" + std::to_string(I + 1)));
    HotButton = CheckedCast<TnvShapeBtn>(FindComponent("HotButton"));
    ColourCombo = CheckedCast<TnvColorCombo>(FindComponent("ColourCombo"));
    ColourSample = CheckedCast<TnvShapeBtn>(FindComponent("ColourSample"));
}

TRect TShapeBtnDemoForm::LButtonBounds(int Index, TnvShapeOrientation Orientation)
{
    if (Orientation == soUp || Orientation == soDown)
        return TRect(StackLeft, StackTop + Index * (ShortSide + Gap), StackLeft + LongSide,
                     StackTop + Index * (ShortSide + Gap) + ShortSide);
    return TRect(StackLeft + Index * (ShortSide + Gap), StackTop, StackLeft + Index * (ShortSide + Gap) + ShortSide,
                 StackTop + LongSide);
}

void TShapeBtnDemoForm::PrevButtonClick(TObject*)
{
    PageControl1->SelectNextPage(false);
}

void TShapeBtnDemoForm::NextButtonClick(TObject*)
{
    PageControl1->SelectNextPage(true);
}

void TShapeBtnDemoForm::OrientationRadioGroupClick(TObject*)
{
    const int Index = OrientationRadioGroup->ItemIndex();
    if (Index < 0 || Index > 3)
        return;
    const TnvShapeOrientation Orientation = Orientations[Index];
    OrientedArrow->SetOrientation(Orientation);
    for (int I = 0; I < 3; ++I) {
        LButtons[I]->SetOrientation(Orientation);
        const TRect R = LButtonBounds(I, Orientation);
        LButtons[I]->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    }
}

void TShapeBtnDemoForm::HotButtonMouseEnter(TObject*)
{
    constexpr TColor Red = MakeColor(0x0000FF);
    HotButton->SetColor(Red);
    HotButton->UpdateShadeColors(Red);
    HotButton->Font()->SetColor(clWhite);
    HotButton->TextOptions()->SetHighlightColor(MakeColor(0xA0A0FF));
    HotButton->TextOptions()->SetShadeColor(MakeColor(0x000080));
}

void TShapeBtnDemoForm::HotButtonMouseLeave(TObject*)
{
    HotButton->SetColor(clBtnFace);
    HotButton->UpdateShadeColors(clBtnFace);
    HotButton->Font()->SetColor(clBlack);
    HotButton->TextOptions()->SetShadeColor(clBtnShadow);
    HotButton->TextOptions()->SetHighlightColor(clBtnHighlight);
    HotButton->ShadeColors()->SetBtn3DLight(cl3DLight);
}

void TShapeBtnDemoForm::FontButtonMouseEnter(TObject* Sender)
{
    CheckedCast<TControl>(Sender)->Font()->SetColor(clRed);
}

void TShapeBtnDemoForm::FontButtonMouseLeave(TObject* Sender)
{
    CheckedCast<TControl>(Sender)->Font()->SetColor(clBlack);
}

void TShapeBtnDemoForm::ColourComboChange(TObject*)
{
    const TColor Colour = ColourCombo->SelectedColor();
    if (Colour == clNoColorSelected || Colour == clNone)
        return;
    ColourSample->SetColor(Colour);
    ColourSample->UpdateShadeColors(Colour);
}
