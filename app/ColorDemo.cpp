#include "ColorDemo.h"

TColorDemoForm::TColorDemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TColorDemoForm::Loaded()
{
    TForm::Loaded();
    ColorList1 = CheckedCast<TnvColorList>(FindComponent("ColorList1"));
    ColorCombo1 = CheckedCast<TnvColorCombo>(FindComponent("ColorCombo1"));
    SortGroup = CheckedCast<TRadioGroup>(FindComponent("SortGroup"));
    EllipsisCheck = CheckedCast<TCheckBox>(FindComponent("EllipsisCheck"));
    DialogCheck = CheckedCast<TCheckBox>(FindComponent("DialogCheck"));
    Swatch = CheckedCast<TShape>(FindComponent("Swatch"));
    SwatchLabel = CheckedCast<TLabel>(FindComponent("SwatchLabel"));
    OptionChecks.clear();
    for (int I = 1; TComponent* C = FindComponent("OptionCheck" + IntToStr(I)); ++I)
        OptionChecks.push_back(CheckedCast<TCheckBox>(C));
}

TnvColorListBoxOptions TColorDemoForm::CheckedOptions() const
{
    TnvColorListBoxOptions Options;
    for (TCheckBox* Check : OptionChecks)
        if (Check->Checked())
            Options |= TnvColorListBoxOptions::fromInt(Check->Tag());
    return Options;
}

void TColorDemoForm::OptionCheckClick(TObject*)
{
    const TnvColorListBoxOptions Options = CheckedOptions();
    ColorList1->SetOptions(Options);
    ColorCombo1->ColorListOptions()->SetOptions(Options);
}

void TColorDemoForm::SortGroupClick(TObject*)
{
    static constexpr TnvSortByOption Orders[] = {csoNone, csoByRGB, csoByIntensity, csoByName};
    const int Index = SortGroup->ItemIndex();
    if (Index < 0 || Index > 3)
        return;
    ColorList1->SetSortBy(Orders[Index]);
    ColorCombo1->ColorListOptions()->SetSortBy(Orders[Index]);
}

void TColorDemoForm::EllipsisCheckClick(TObject*)
{
    ColorCombo1->SetButtonStyle(EllipsisCheck->Checked() ? cbsEllipsis : cbsDownArrow);
}

void TColorDemoForm::DialogCheckClick(TObject*)
{
    TnvColorDialogOptions Options = ColorCombo1->ColorDialogOptions();
    Options.setFlag(cdoEnabled, DialogCheck->Checked());
    ColorCombo1->SetColorDialogOptions(Options);
}

void TColorDemoForm::ShowColor(TColor Color, const String& Name)
{
    if (Color == clNoColorSelected || Color == clNone) {
        Swatch->Brush()->SetStyle(bsClear);
        SwatchLabel->SetCaption(Color == clNone ? String("None") : String("No colour"));
        return;
    }
    Swatch->Brush()->SetStyle(bsSolid);
    Swatch->Brush()->SetColor(Color);
    const TColor Rgb = ColorToRGB(Color);
    const int R = Rgb & 0xFF, G = (Rgb >> 8) & 0xFF, B = (Rgb >> 16) & 0xFF;
    SwatchLabel->SetCaption(Name + "\r\nRed " + IntToStr(R) + ", Green " + IntToStr(G) + ", Blue " + IntToStr(B));
}

void TColorDemoForm::ColorList1Click(TObject*)
{
    const int Index = ColorList1->ItemIndex();
    const TColor Color = ColorList1->SelectedColor();
    ShowColor(Color, Index >= 0 ? ColorList1->ItemName(Index) : String());
    if (Color != clNoColorSelected)
        ColorCombo1->SetSelectedColor(Color);
}

void TColorDemoForm::ColorCombo1Change(TObject*)
{
    ShowColor(ColorCombo1->SelectedColor(), ColorCombo1->Text());
}
