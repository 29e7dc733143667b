// Combos: painting the unfocused combo with its frame (every focus change,
// mouse enter and leave, and data change repaints it), painting the drop-down
// button's face, and the edit frame alone.
#include <benchmark/benchmark.h>

#include <QImage>

#include "Canvas.h"
#include "Forms.h"
#include "nvCombo.h"
#include "nvframe.h"

namespace {

class TBenchCombo : public TnvCustomCombo {
public:
    explicit TBenchCombo(TComponent* AOwner) : TnvCustomCombo(AOwner) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }

protected:
    TWinControl* GetDropDownControl() override { return nullptr; }
    TWinControl* GetDropDownContainer() override { return nullptr; }
    int GetItemCount() override { return 0; }
    void GetDropDownSize(int& Width, int& ItemHeight) override
    {
        Width = 0;
        ItemHeight = 0;
    }
    void PaintText(TCanvas* Canvas, const TRect& Rect, const String& Text, bool, bool) override
    {
        int X = Rect.Left + 2, Y = Rect.Top + 2;
        if (Frame()->IsActive())
            Frame()->GetTextOffsets(X, Y, ComboFocused());
        Canvas->Brush()->SetStyle(bsClear);
        Canvas->TextOut(X, Y, Text);
    }
};

struct TBenchForm {
    TForm Form;
    TBenchCombo* Combo;
    TBenchForm()
    {
        InitApplication();
        Form.SetBounds(0, 0, 300, 100);
        Combo = new TBenchCombo(&Form);
        Combo->SetParent(&Form);
        Combo->SetBounds(10, 10, 180, 21);
        Combo->SetText("Combo text");
    }
};

// The unfocused combo: background, text and frame (state 0: no frame,
// 1: frame of all sides, 2: transparent frame).
void BM_ComboPaintUnfocused(benchmark::State& State)
{
    TBenchForm B;
    TnvEditFrame* F = B.Combo->Frame();
    if (State.range(0) >= 1) {
        F->SetEnabled(true);
        F->SetNonFocusBorders(TnvEditFrameEnabledSet(efLeftBorder) | efTopBorder | efRightBorder | efBottomBorder);
        F->SetNonFocusStyle(efsFrameSunken);
    }
    if (State.range(0) == 2)
        F->SetTransparent(true);
    QImage Image(B.Combo->Width(), B.Combo->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        Image.fill(Qt::transparent);
        B.Combo->PaintInto(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_ComboPaintUnfocused)->Arg(0)->Arg(1)->Arg(2);

// The drop-down button (through the widget's paint event): the arrow face,
// the flat glyph and the ellipsis.
void BM_ComboButtonPaint(benchmark::State& State)
{
    TBenchForm B;
    if (State.range(0) == 1)
        B.Combo->ButtonEffects()->SetFlat(true);
    if (State.range(0) == 2)
        B.Combo->SetButtonStyle(cbsEllipsis);
    TnvDropDownButton* Button = B.Combo->Button();
    QImage Image(Button->Width(), Button->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        Image.fill(Qt::transparent);
        Button->render(&Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_ComboButtonPaint)->Arg(0)->Arg(1)->Arg(2);

// The frame alone on a canvas, for each style.
void BM_DrawEditFrame(benchmark::State& State)
{
    TBenchForm B;
    TnvEditFrame Frame(B.Combo);
    Frame.SetNonFocusStyle(static_cast<TnvEditFocusStyle>(State.range(0)));
    Frame.SetNonFocusBorders(TnvEditFrameEnabledSet(efLeftBorder) | efTopBorder | efRightBorder | efBottomBorder);
    QImage Image(B.Combo->Width(), B.Combo->Height(), QImage::Format_ARGB32_Premultiplied);
    TCanvas Canvas(&Image);
    for (auto _ : State) {
        DrawEditFrame(B.Combo, &Frame, &Canvas, false);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_DrawEditFrame)->DenseRange(0, 5);

} // namespace
