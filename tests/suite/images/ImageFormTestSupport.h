// Pictures, shaped forms and mouse events for the image form's tests.
#pragma once

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRegion>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "Pictures.h"
#include "Regions.h"
#include "nvimageform.h"

namespace ImageFormTest {

// A bitmap drawn from rows of characters, each mapped to a colour, then
// converted to the pixel format.
inline std::unique_ptr<TBitmap> BitmapFromRows(const std::vector<std::string>& Rows, TPixelFormat Format,
                                               const std::function<TColor(char)>& ColorOf)
{
    const int H = static_cast<int>(Rows.size()), W = static_cast<int>(Rows[0].size());
    QImage I(W, H, QImage::Format_RGB32);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            I.setPixel(X, Y, ColorToQRgb(ColorOf(Rows[size_t(Y)][size_t(X)])));
    auto B = std::make_unique<TBitmap>();
    B->SetImage(I);
    B->SetPixelFormat(Format);
    return B;
}

// The union of the runs of characters other than Key, added one by one.
inline QRegion RunsOf(const std::vector<std::string>& Rows, char Key)
{
    QRegion R;
    for (int Y = 0; Y < static_cast<int>(Rows.size()); ++Y) {
        const std::string& Row = Rows[size_t(Y)];
        for (int X = 0; X < static_cast<int>(Row.size());) {
            if (Row[size_t(X)] == Key) {
                ++X;
                continue;
            }
            const int X1 = X;
            while (X < static_cast<int>(Row.size()) && Row[size_t(X)] != Key)
                ++X;
            R += CreateRectRgn(X1, Y, X, Y + 1);
        }
    }
    return R;
}

// A W x H picture: Inside on the pixels of Shape, white elsewhere.
inline QImage PictureOf(const QRegion& Shape, int W, int H, QRgb Inside)
{
    QImage I(W, H, QImage::Format_RGB32);
    I.fill(qRgb(255, 255, 255));
    for (const QRect& R : Shape)
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            for (int X = R.left(); X <= R.right(); ++X)
                I.setPixel(X, Y, Inside);
    return I;
}

// '.' white, '#' navy, 'r' red, 'y' yellow, 'g' green.
inline TColor Ink(char C)
{
    switch (C) {
    case '#': return clNavy;
    case 'r': return clRed;
    case 'y': return clYellow;
    case 'g': return clGreen;
    default: return clWhite;
    }
}

// A frameless form holding an image form aligned to its client area.
struct TShapedForm {
    std::unique_ptr<TForm> Form;
    TnvImageForm* Image = nullptr;

    explicit TShapedForm(int W = 40, int H = 30)
    {
        Form = std::make_unique<TForm>();
        Form->SetName("ShapedForm");
        Form->SetBounds(100, 80, W, H);
        Image = new TnvImageForm(Form.get());
        Image->SetName("nvImageForm1");
        Image->SetParent(Form.get());
    }
    void SetPicture(TGraphic* G)
    {
        TPicture P;
        P.SetGraphic(G);
        Image->SetPicture(&P);
    }
};

// Sends a mouse event to a widget as Qt delivers input: through the
// application (and so its event filters). Pos is in the widget's coordinates.
inline bool SendMouse(QWidget* W, QEvent::Type Type, QPoint Pos, Qt::MouseButton Button = Qt::LeftButton)
{
    const QPointF Local(Pos);
    const QPointF Global(W->mapToGlobal(Pos));
    const Qt::MouseButtons Buttons =
        Type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(Type == QEvent::MouseMove ? Qt::LeftButton : Button);
    QMouseEvent E(Type, Local, Global, Type == QEvent::MouseMove ? Qt::NoButton : Button, Buttons, Qt::NoModifier);
    return QApplication::sendEvent(W, &E);
}

// Bytes as upper-case hexadecimal digits.
inline std::string Hex(const std::vector<uint8_t>& Bytes)
{
    static const char* Digits = "0123456789ABCDEF";
    std::string S;
    for (uint8_t B : Bytes) {
        S += Digits[B >> 4];
        S += Digits[B & 15];
    }
    return S;
}

inline uint32_t UInt32At(const std::vector<uint8_t>& B, size_t Offset)
{
    return uint32_t(B[Offset]) | uint32_t(B[Offset + 1]) << 8 | uint32_t(B[Offset + 2]) << 16 |
           uint32_t(B[Offset + 3]) << 24;
}

} // namespace ImageFormTest
