// Canvas helpers (see nvCanvas.h).
#include "nvCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Colors.h"
#include "Pictures.h"

void SelectCanvasHandles(TCanvas* Canvas)
{
    if (Canvas)
        Canvas->RequireAllState();
}

namespace {

// The pen mode's binary raster operation on 24-bit colour values: bit k of
// the truth table (ROP2 code - 1) gives the result for pen bit P and
// destination bit D with k = 2 * P + D.
uint32_t ApplyRop2(int Code, uint32_t P, uint32_t D)
{
    const unsigned T = static_cast<unsigned>(Code - 1);
    auto Bits = [](unsigned B) { return B ? 0xFFFFFFFFu : 0u; };
    return (Bits(T & 1) & ~P & ~D) | (Bits(T & 2) & ~P & D) | (Bits(T & 4) & P & ~D) | (Bits(T & 8) & P & D);
}

} // namespace

void DrawDottedLine(TCanvas* Canvas, TPoint From, TPoint To)
{
    if (!Canvas)
        return;
    SelectCanvasHandles(Canvas);
    const int DX = To.X - From.X, DY = To.Y - From.Y;
    const int N = std::max(std::abs(DY), std::abs(DX));
    const int Div = std::max(1, N / 2);
    const int SX = DX / Div, SY = DY / Div;

    std::vector<TPoint> Dots;
    Dots.reserve(size_t(N) / 2 + 1);
    int X = From.X, Y = From.Y;
    for (int I = 0; I <= N; I += 2) {
        Dots.emplace_back(X, Y);
        X += SX;
        Y += SY;
    }

    TPen* Pen = Canvas->Pen();
    if (Pen->Style() == psClear)
        return;
    // The bounding box of the dots (a horizontal or vertical line is one row or column).
    int L = Dots.front().X, T = Dots.front().Y, R = L, B = T;
    for (const TPoint& P : Dots) {
        L = std::min(L, P.X);
        R = std::max(R, P.X);
        T = std::min(T, P.Y);
        B = std::max(B, P.Y);
    }
    const int64_t Box = (int64_t(R) - L + 1) * (int64_t(B) - T + 1);
    const bool Simple = Pen->Width() <= 1 && (Pen->Style() == psSolid || Pen->Style() == psInsideFrame) &&
                        !Canvas->Monochrome() && Canvas->HandleAllocated() &&
                        Box <= 4 * int64_t(Dots.size()) + 64;
    if (!Simple) {
        // The general case: one one-pixel polyline a dot.
        for (const TPoint& P : Dots) {
            const TPoint Seg[2] = {P, TPoint(P.X + 1, P.Y)};
            Canvas->Polyline(Seg);
        }
        return;
    }
    // Solid one-pixel pen: set the dots in one pass over their bounding box,
    // combining with the pen mode as a polyline would.
    const uint32_t PenRgb = ColorToQRgb(Pen->Color()) & 0xFFFFFFu;
    const int Rop = PenModeToRop2(Pen->Mode());
    EditCanvasPixels(Canvas, TRect(L, T, R + 1, B + 1), [&](QImage& Pixels, TPoint Origin) {
        const int W = Pixels.width(), H = Pixels.height();
        for (const TPoint& P : Dots) {
            const int PX = P.X - L - Origin.X, PY = P.Y - T - Origin.Y;
            if (PX < 0 || PY < 0 || PX >= W || PY >= H)
                continue;
            auto* Px = reinterpret_cast<QRgb*>(Pixels.scanLine(PY)) + PX;
            *Px = 0xFF000000u | (ApplyRop2(Rop, PenRgb, *Px & 0xFFFFFFu) & 0xFFFFFFu);
        }
    });
}

int DrawTextEmbossed(TCanvas* Canvas, const String& Text, const TRect& Rect, TRect& OutRect, unsigned Format)
{
    OutRect = Rect;
    if (!Canvas)
        return 0;
    SelectCanvasHandles(Canvas);
    Canvas->SetBkColor(ColorToRGB(Canvas->Brush()->Color()));
    Canvas->SetTextColor(ColorToRGB(Canvas->Font()->Color()));
    if ((Format & DT_EMBOSSED) && !(Format & DT_CALCRECT)) {
        TRect Shifted = Rect;
        OffsetRect(Shifted, 1, 1);
        Canvas->SetTextColor(clBtnHighlight);
        DrawText(Canvas, Text, Shifted, Format);
        Canvas->SetBkMode(TRANSPARENT);
        Canvas->Font()->SetColor(clBtnShadow);
        // The font may have had that colour already (then nothing changed).
        SelectCanvasHandles(Canvas);
        Canvas->SetTextColor(clBtnShadow);
    }
    return DrawText(Canvas, Text, OutRect, Format);
}
