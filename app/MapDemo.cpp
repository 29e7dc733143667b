#include "MapDemo.h"

#include <QGuiApplication>
#include <QScreen>

std::function<int()> TMapForm::DisplayBitsPerPixel = [] {
    const QScreen* S = QGuiApplication::primaryScreen();
    return S ? S->depth() : 32;
};

TMapForm::TMapForm(TComponent* AOwner) : TForm(AOwner) {}

void TMapForm::Loaded()
{
    TForm::Loaded();
    CountyTable = CheckedCast<TClientDataSet>(FindComponent("CountyTable"));
    CountyLabel = CheckedCast<TnvLabel>(FindComponent("CountyLabel"));
    Compass = CheckedCast<TImage>(FindComponent("Compass"));
    // The picture's colours would be dithered to pieces on a palette display.
    if (DisplayBitsPerPixel && DisplayBitsPerPixel() <= 8)
        Compass->SetVisible(false);
}

void TMapForm::CountyClick(TObject* Sender)
{
    const String Name = CheckedCast<TnvImageBtn>(Sender)->Caption();
    CountyLabel->SetCaption(Name);
    CountyTable->Locate("CountyName", TVariant(Name));
}

void TMapForm::CloseButtonClick(TObject*)
{
    Close();
}
