// Helpers of the text-effects and label tests: a surface to draw on, a text
// object bound to it, and the bounding boxes of coloured pixels.
#pragma once

#include <QDir>
#include <QImage>

#include <functional>
#include <memory>

#include "Canvas.h"
#include "Colors.h"
#include "Graphics.h"
#include "nvtext.h"

namespace nvTextTest {

// A 32-bit image filled with one colour and a canvas on it.
struct TSurface {
    QImage Image;
    TCanvas Canvas;
    explicit TSurface(int W, int H, TColor Fill = clWhite) : Image(W, H, QImage::Format_RGB32), Canvas(&Image)
    {
        Image.fill(ColorToQRgb(Fill));
    }
    TColor At(int X, int Y) const { return QRgbToColor(Image.pixel(X, Y)) ; }
};

// The bounding box (right and bottom exclusive) of the pixels that satisfy
// Pred; the empty rectangle when there are none.
inline TRect BoxOf(const QImage& Image, const std::function<bool(TColor)>& Pred)
{
    int L = Image.width(), T = Image.height(), R = -1, B = -1;
    for (int Y = 0; Y < Image.height(); ++Y) {
        const QRgb* Line = reinterpret_cast<const QRgb*>(Image.constScanLine(Y));
        for (int X = 0; X < Image.width(); ++X)
            if (Pred(QRgbToColor(Line[X] | 0xFF000000u))) {
                L = std::min(L, X);
                T = std::min(T, Y);
                R = std::max(R, X);
                B = std::max(B, Y);
            }
    }
    if (R < 0)
        return TRect();
    return TRect(L, T, R + 1, B + 1);
}

inline TRect BoxOfColor(const QImage& Image, TColor Color)
{
    const TColor C = ColorToRGB(Color);
    return BoxOf(Image, [C](TColor P) { return P == C; });
}

inline TRect BoxNotColor(const QImage& Image, TColor Background)
{
    const TColor C = ColorToRGB(Background);
    return BoxOf(Image, [C](TColor P) { return P != C; });
}

inline int CountColor(const QImage& Image, TColor Color)
{
    const TColor C = ColorToRGB(Color);
    int N = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            N += QRgbToColor(Image.pixel(X, Y)) == C;
    return N;
}

// A text object that draws on a surface with a font of its own and counts
// the callbacks it makes.
struct TTextRig {
    TFont Font;
    TSurface Surface;
    int Invalidates = 0;
    int SizeChanges = 0;
    bool Enabled = true;
    std::unique_ptr<TnvCaptionText> Text;

    explicit TTextRig(int W = 300, int H = 200, int FontHeight = -40, bool Bold = true) : Surface(W, H)
    {
        Font.SetName("Arial");
        Font.SetHeight(FontHeight);
        if (Bold)
            Font.SetStyle(TFontStyles(fsBold));
        Font.SetColor(clBlack);
        TnvTextCallbacks C;
        C.Invalidate = [this] { ++Invalidates; };
        C.SizeChanged = [this] { ++SizeChanges; };
        C.IsEnabled = [this] { return Enabled; };
        Text = std::make_unique<TnvCaptionText>(C, &Font, &Surface.Canvas);
        Text->SetRect(TRect(0, 0, W, H));
        Surface.Canvas.Font()->Assign(&Font);
        Surface.Canvas.Brush()->SetStyle(bsClear);
    }
    void Draw(const String& S)
    {
        Text->SetText(S);
        Text->Draw();
    }
    void Clear(TColor Fill = clWhite) { Surface.Image.fill(ColorToQRgb(Fill)); }
};

// Where test pictures go: $ZEN_SHOT_DIR, else the temporary directory.
inline QString ShotPath(const QString& Name)
{
    const QString Dir = qEnvironmentVariableIsEmpty("ZEN_SHOT_DIR") ? QDir::tempPath()
                                                                    : qEnvironmentVariable("ZEN_SHOT_DIR");
    return Dir + "/" + Name;
}

} // namespace nvTextTest
