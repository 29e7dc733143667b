#include "nvOutlookBar.h"

TnvOutlookPanel::TnvOutlookPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle |= csAcceptsControls;
}

TnvOutlookPanel::~TnvOutlookPanel() = default;

void TnvOutlookPanel::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    if (Parent())
        Parent()->Invalidate();
    Invalidate();
}
