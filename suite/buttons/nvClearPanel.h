// A panel that can be transparent: when it is, it paints no background and
// its parent's picture shows through; only its bevels and border frame are
// drawn. The button group and the outlook bar build on it.
#pragma once

#include <QObject>

#include "ExtCtrls.h"

class TnvCustomTransparentPanel : public TCustomPanel {
    Q_OBJECT
public:
    explicit TnvCustomTransparentPanel(TComponent* AOwner = nullptr);
    ~TnvCustomTransparentPanel() override;

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // Whether the panel paints as transparent now.
    virtual bool IsTransparent() const;

protected:
    void BoundsChanged(int OldWidth, int OldHeight) override;
    // Takes the transparent look (background style and repaint) from
    // IsTransparent; descendants call it when what IsTransparent depends on changes.
    void TransparencyChanged();

    bool FTransparent = true;
};
