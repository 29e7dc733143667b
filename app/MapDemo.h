// The clickable map: the counties of a state are image buttons cut to their
// outlines; clicking one names it and finds its record, whose data-aware
// labels show the county and its customer. A compass rose decorates the map
// on displays of more than 256 colours.
#pragma once

#include <functional>

#include "DBClient.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "nvImgBtn.h"
#include "nvLabel.h"
#include "nvShapeBtn.h"

class TMapForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TMapForm(TComponent* AOwner = nullptr);

    TClientDataSet* CountyTable = nullptr;
    TnvLabel* CountyLabel = nullptr;
    TImage* Compass = nullptr;

    // The colour depth of the display in bits a pixel (tests put a stand-in
    // in its place).
    static std::function<int()> DisplayBitsPerPixel;

    // The county's name goes to the label and its record becomes current.
    Q_INVOKABLE void CountyClick(TObject* Sender);
    Q_INVOKABLE void CloseButtonClick(TObject* Sender);

    void Loaded() override;
};
