#include "ImageBtnDemo.h"

const char* const TImageBtnDemoForm::ContinentNames[6] = {"North America", "South America", "Europe",
                                                          "Africa",        "Asia",          "Australia"};

TImageBtnDemoForm::TImageBtnDemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TImageBtnDemoForm::Loaded()
{
    TForm::Loaded();
    TabGroup = Find<TnvButtonGroup>("TabGroup");
    PageControl1 = Find<TPageControl>("PageControl1");
    for (int I = 0; I < 3; ++I) {
        const String N = std::to_string(I + 1);
        Switches[I] = Find<TnvImageBtn>("Switch" + N);
        Lights[I] = Find<TnvImageBtn>("Light" + N);
        Tacks[I] = Find<TnvImageBtn>("Tack" + N);
        TackLabels[I] = Find<TLabel>("TackLabel" + N);
    }
    WallSwitch = Find<TnvImageBtn>("WallSwitch");
    Led = Find<TnvImageBtn>("Led");
    for (int I = 0; I < 4; ++I)
        Puzzles[I] = Find<TnvImageBtn>("Puzzle" + std::to_string(I + 1));
    for (int I = 0; I < 2; ++I)
        Butterflies[I] = Find<TnvImageBtn>("Butterfly" + std::to_string(I + 1));
    DitherColorCombo = Find<TnvColorCombo>("DitherColorCombo");
    DitherStyleCombo = Find<TComboBoxEx>("DitherStyleCombo");
    ContinentLabel = Find<TnvLabel>("ContinentLabel");
    BallButton = Find<TnvImageBtn>("BallButton");
    HeartButton = Find<TnvImageBtn>("HeartButton");
    PictureColorCombo = Find<TnvColorCombo>("PictureColorCombo");
}

TnvImageBtn* TImageBtnDemoForm::ByTag(TnvImageBtn* const* Buttons, int Count, int Tag)
{
    for (int I = 0; I < Count; ++I)
        if (Buttons[I] && Buttons[I]->Tag() == Tag)
            return Buttons[I];
    return nullptr;
}

void TImageBtnDemoForm::TabGroupChange(TnvCustomButtonGroup*, TnvButtonGroupItem* OldSelected,
                                       TnvButtonGroupItem* Selected)
{
    if (OldSelected && OldSelected->Button())
        OldSelected->Button()->Font()->SetColor(clWhite);
    if (!Selected || !Selected->Button())
        return;
    Selected->Button()->Font()->SetColor(clYellow);
    const int Tag = Selected->Button()->Tag();
    if (Tag >= 1 && Tag <= 4)
        PageControl1->SetActivePage(Find<TTabSheet>("TabSheet" + std::to_string(Tag)));
}

void TImageBtnDemoForm::SwitchClick(TObject* Sender)
{
    auto* Switch = CheckedCast<TnvImageBtn>(Sender);
    if (TnvImageBtn* Light = ByTag(Lights, 3, Switch->Tag()))
        Light->SetDown(Switch->Down());
}

void TImageBtnDemoForm::LightClick(TObject* Sender)
{
    auto* Light = CheckedCast<TnvImageBtn>(Sender);
    if (TnvImageBtn* Switch = ByTag(Switches, 3, Light->Tag()))
        Switch->SetDown(Light->Down());
}

void TImageBtnDemoForm::WallSwitchClick(TObject*)
{
    Led->SetDown(WallSwitch->Down());
}

void TImageBtnDemoForm::LedClick(TObject*)
{
    WallSwitch->SetDown(Led->Down());
}

void TImageBtnDemoForm::TackClick(TObject* Sender)
{
    auto* Tack = CheckedCast<TnvImageBtn>(Sender);
    for (int I = 0; I < 3; ++I)
        if (Tacks[I] == Tack)
            TackLabels[I]->SetCaption(Tack->Down() ? "Tack\r\n(In)" : "Tack\r\n(Out)");
}

void TImageBtnDemoForm::ContinentClick(TObject* Sender)
{
    const int Tag = CheckedCast<TnvImageBtn>(Sender)->Tag();
    if (Tag >= 1 && Tag <= 6)
        ContinentLabel->SetCaption(ContinentNames[Tag - 1]);
}

void TImageBtnDemoForm::DitherColorComboChange(TObject*)
{
    const TColor Colour = DitherColorCombo->SelectedColor();
    if (Colour == clNoColorSelected)
        return;
    for (TnvImageBtn* B : Puzzles)
        B->SetDitherColor(Colour);
    for (TnvImageBtn* B : Butterflies)
        B->SetDitherColor(Colour);
}

void TImageBtnDemoForm::DitherStyleComboChange(TObject*)
{
    static constexpr TnvDitherStyle Styles[] = {dsDither, dsBlendDither, dsFill};
    const int Index = DitherStyleCombo->ItemIndex();
    if (Index < 0 || Index > 2)
        return;
    for (TnvImageBtn* B : Puzzles)
        B->SetDitherStyle(Styles[Index]);
}

void TImageBtnDemoForm::PictureColorComboChange(TObject*)
{
    const TColor Colour = PictureColorCombo->SelectedColor();
    if (Colour == clNoColorSelected)
        return;
    BallButton->SetColor(Colour);
    HeartButton->SetColor(Colour);
}

void TImageBtnDemoForm::FormShow(TObject*)
{
    if (TabGroup->ButtonItems()->Count() > 0)
        TabGroup->ButtonItems()->Item(0)->SetDown(true);
    PageControl1->SetActivePage(Find<TTabSheet>("TabSheet1"));
}
