// The outlook bar's page panel: the area of an outlook bar page that holds
// the page's controls. Panels are transparent (the bar's picture shows
// behind them); the bar moves them with the positioning flag set while it
// slides the pages.
#pragma once

#include <QObject>

#include "Controls.h"

class TnvOutlookPage;

class TnvOutlookPanel : public TCustomControl {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TnvOutlookPanel(TComponent* AOwner = nullptr);
    ~TnvOutlookPanel() override;

    bool Transparent() const { return FTransparent; }
    // Changing it invalidates the parent (the panel shows what lies behind it).
    void SetTransparent(bool Value);
    // The page the panel belongs to (set by the outlook bar).
    TnvOutlookPage* Page() const { return FPage; }
    void SetPage(TnvOutlookPage* Value) { FPage = Value; }
    // Set while the bar positions the panel during a slide.
    bool Positioning() const { return FPositioning; }
    void SetPositioning(bool Value) { FPositioning = Value; }

protected:
    bool FTransparent = true;
    TnvOutlookPage* FPage = nullptr;
    bool FPositioning = false;
};
