#include "TilerDemo.h"

#include "Pictures.h"

TTilerForm::TTilerForm(TComponent* AOwner) : TForm(AOwner) {}

void TTilerForm::Loaded()
{
    TForm::Loaded();
    Background = CheckedCast<TnvImager>(FindComponent("Background"));
    TileList = CheckedCast<TnvOutlookList>(FindComponent("TileList"));
    TileImages = CheckedCast<TCustomImageList>(FindComponent("TileImages"));
}

void TTilerForm::TileListItemClick(TnvCustomOutlookList*, TnvOutlookListItem* Item)
{
    if (!Item || !TileImages || !Background)
        return;
    TBitmap Tile;
    if (TileImages->GetBitmap(Item->ImageIndex(), &Tile))
        Background->Picture()->Assign(&Tile);
}
