// The tiler demonstration: an imager tiles the window's background with a
// picture that an outlook list of tiles picks.
#pragma once

#include "Forms.h"
#include "ImageList.h"
#include "nvImager.h"
#include "nvOutlookList.h"

class TTilerForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TTilerForm(TComponent* AOwner = nullptr);

    TnvImager* Background = nullptr;
    TnvOutlookList* TileList = nullptr;
    TCustomImageList* TileImages = nullptr;

    // The clicked tile becomes the background picture.
    Q_INVOKABLE void TileListItemClick(TnvCustomOutlookList* Sender, TnvOutlookListItem* Item);

    void Loaded() override;
};
