// Canvas helpers: the suite's control canvas and the dotted-line and embossed
// text drawing of the tree view.
#pragma once

#include <QPointer>

#include "Canvas.h"
#include "Controls.h"
#include "Types.h"

// The canvas a control draws its items on. It is a plain canvas that knows
// the control it belongs to (the control sets the target image when it paints).
class TnvCanvas : public TCanvas {
    Q_OBJECT
public:
    explicit TnvCanvas(QImage* Target = nullptr) : TCanvas(Target) {}
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value) { FControl = Value; }

private:
    QPointer<TControl> FControl;
};

// Brings the canvas's current pen, font and brush into its device state.
void SelectCanvasHandles(TCanvas* Canvas);

// A dotted line in the pen (colour and mode) from From towards To: with
// n = max(|dx|, |dy|), the points i = 0, 2, 4, ... <= n, each one step of
// (dx div max(1, n div 2), dy div max(1, n div 2)) after the previous.
// Horizontal and vertical lines get a dot on every second pixel, the first
// and (for an even length) the last point included.
void DrawDottedLine(TCanvas* Canvas, TPoint From, TPoint To);

// The embossing bit of DrawTextEmbossed's format (shared with
// DT_NOFULLWIDTHCHARBREAK, which the text drawing does not use).
constexpr unsigned DT_EMBOSSED = 0x80000;

// Draws Text in Rect with DrawText and Format, in the font colour on the brush
// colour. With DT_EMBOSSED (and not DT_CALCRECT) it first draws the text one
// pixel right and down in clBtnHighlight, then switches to a transparent
// background and sets the font colour to clBtnShadow (which stays set), so
// the text looks engraved. OutRect receives the (possibly measured)
// rectangle. Returns what DrawText returns.
int DrawTextEmbossed(TCanvas* Canvas, const String& Text, const TRect& Rect, TRect& OutRect, unsigned Format);
