#include "nvClearPanel.h"

TnvCustomTransparentPanel::TnvCustomTransparentPanel(TComponent* AOwner) : TCustomPanel(AOwner)
{
    // No caption handling and not opaque; the parent shows through.
    FControlStyle &= ~TControlStyle(csSetCaption);
    SetParentBackground(true);
    FBevelOuter = bvRaised;
}

TnvCustomTransparentPanel::~TnvCustomTransparentPanel() = default;

void TnvCustomTransparentPanel::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    TransparencyChanged();
}

bool TnvCustomTransparentPanel::IsTransparent() const
{
    return FTransparent;
}

void TnvCustomTransparentPanel::TransparencyChanged()
{
    // The panel's painting leaves the background out when the panel is not
    // opaque: the bevels and the border frame are drawn over the parent.
    SetParentBackground(IsTransparent());
    Invalidate();
}

void TnvCustomTransparentPanel::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomPanel::BoundsChanged(OldWidth, OldHeight);
    if (IsTransparent())
        Invalidate();
}
