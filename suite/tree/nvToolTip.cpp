#include "nvToolTip.h"

#include <memory>

#include "Canvas.h"

TFont* ToolTipFont()
{
    static const std::unique_ptr<TFont> Font = std::make_unique<TFont>();
    return Font.get();
}

TnvToolTip::TnvToolTip(TComponent* AOwner) : THintWindow(AOwner) {}

TRect TnvToolTip::CalcHintRect(int MaxWidth, const String& AHint)
{
    Font()->Assign(ToolTipFont());
    return THintWindow::CalcHintRect(MaxWidth, AHint);
}

void TnvToolTip::Paint()
{
    Canvas()->Font()->Assign(ToolTipFont());
    THintWindow::Paint();
}

namespace {
[[maybe_unused]] const bool ToolTipRegistered = (RegisterClasses<TnvToolTip>(), true);
}
