// What the button tests share: a form that records what its buttons tell it,
// buttons that expose their painting, mouse and key helpers, test pictures.
#pragma once

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

#include <memory>
#include <vector>

#include "Forms.h"
#include "FormStream.h"
#include "nvButton.h"
#include "nvImgBtn.h"

// A form whose handlers and watchers write what happens into Log.
class TButtonTestForm : public TForm {
    Q_OBJECT
public:
    explicit TButtonTestForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Log;
    Q_INVOKABLE void BtnClick(TObject* Sender) { Log.push_back("click:" + NameOf(Sender)); }
    Q_INVOKABLE void BtnSelChange(TObject* Sender) { Log.push_back("sel:" + NameOf(Sender)); }
    static String NameOf(TObject* Sender)
    {
        auto* C = dynamic_cast<TComponent*>(Sender);
        return C ? C->Name() : String("?");
    }
};

// An image button whose painting and window steps the tests can call.
class TTestImageBtn : public TnvImageBtn {
public:
    explicit TTestImageBtn(TComponent* AOwner = nullptr) : TnvImageBtn(AOwner) {}
    int WindowCount = 0;
    void CreateWnd() override
    {
        ++WindowCount;
        TnvImageBtn::CreateWnd();
    }
    using TnvCustomBitBtn::DestroyWnd;
    using TnvCustomBitBtn::FaceBitmap;
    QImage Render()
    {
        QImage Image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        PaintControl(Image);
        return Image;
    }
};

// A button of the base class whose face is one colour per shade style, so a
// rendered pixel tells which style and pressed look the base asked for.
class TStyleProbeBtn : public TnvCustomBitBtn {
public:
    explicit TStyleProbeBtn(TComponent* AOwner = nullptr) : TnvCustomBitBtn(AOwner) {}
    std::vector<TnvShadeStyle> Styles;
    std::vector<bool> Looks;
    static QRgb StyleColor(TnvShadeStyle S)
    {
        switch (S) {
        case fbsNormal: return qRgb(200, 0, 0);
        case fbsRaised: return qRgb(0, 200, 0);
        case fbsHighlight: return qRgb(0, 0, 200);
        case fbsFlat: return qRgb(200, 200, 0);
        }
        return 0;
    }
    void DrawFace(TnvBitmap* Bitmap, int, bool Pressed, TnvShadeStyle Style) override
    {
        Styles.push_back(Style);
        Looks.push_back(Pressed);
        Bitmap->SetDimensions(Width(), Height());
        Bitmap->Canvas()->Brush()->SetStyle(bsSolid);
        Bitmap->Canvas()->Brush()->SetColor(QRgbToColor(StyleColor(Style)));
        Bitmap->Canvas()->FillRect(TRect(0, 0, Width(), Height()));
    }
    QImage Render()
    {
        QImage Image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        Image.fill(Qt::transparent);
        PaintControl(Image);
        return Image;
    }
};

inline QRgb Rgb(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) & 0xFFFFFFu;
}

inline QRgb Sys(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

// Mouse input as the window system delivers it.
inline void MouseEvent(QWidget* W, QEvent::Type Type, QPoint P, Qt::MouseButton Button, Qt::MouseButtons Buttons)
{
    QMouseEvent E(Type, P, W->mapToGlobal(P), Button, Buttons, Qt::NoModifier);
    QApplication::sendEvent(W, &E);
}
inline void Press(QWidget* W, QPoint P)
{
    MouseEvent(W, QEvent::MouseButtonPress, P, Qt::LeftButton, Qt::LeftButton);
}
inline void MoveHeld(QWidget* W, QPoint P)
{
    MouseEvent(W, QEvent::MouseMove, P, Qt::NoButton, Qt::LeftButton);
}
inline void Release(QWidget* W, QPoint P)
{
    MouseEvent(W, QEvent::MouseButtonRelease, P, Qt::LeftButton, Qt::NoButton);
}
inline void ClickAt(QWidget* W, QPoint P)
{
    Press(W, P);
    Release(W, P);
}

// Moves the pointer far away from every test window.
inline void ParkPointer()
{
    QCursor::setPos(QPoint(5000, 5000));
}

// Makes the form the active window (inactive windows do not track the pointer).
inline void Activate(TCustomForm* Form)
{
    Form->Show();
    Form->QWidget::activateWindow();
    QApplication::setActiveWindow(Form);
    QApplication::processEvents();
}

// A picture of W x H: magenta around a red square from (L, T) to (R, B), exclusive.
inline std::unique_ptr<TnvBitmap> SquarePicture(int W, int H, int L, int T, int R, int B,
                                                QRgb Inside = qRgb(255, 0, 0))
{
    QImage I(W, H, QImage::Format_RGB32);
    I.fill(qRgb(255, 0, 255));
    for (int Y = T; Y < B; ++Y)
        for (int X = L; X < R; ++X)
            I.setPixel(X, Y, Inside);
    TBitmap Bmp;
    Bmp.SetImage(I);
    auto P = std::make_unique<TnvBitmap>();
    P->Assign(&Bmp);
    return P;
}

template <class T>
T* Get(TComponent* Form, const String& Name)
{
    auto* C = dynamic_cast<T*>(Form->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
}
