// The suite's tool tip: a hint window that draws its text in one shared,
// changeable font. Whoever shows a tool tip sets that font's name and size
// beforehand (the font combo previews a font this way, with the tool tip as
// the application's hint window class).
#pragma once

#include <QObject>

#include "Forms.h"
#include "Graphics.h"

// The font every tool tip draws with; it lives as long as the program.
TFont* ToolTipFont();

class TnvToolTip : public THintWindow {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TnvToolTip(TComponent* AOwner = nullptr);
    // Measured in the tool tip font.
    TRect CalcHintRect(int MaxWidth, const String& AHint) override;

protected:
    void Paint() override;
};
