#include "DemoShot.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <memory>

#include "DemoForms.h"
#include "ExtCtrls.h"
#include "mainu.h"

namespace {

// Lets queued layout and paint work happen before a window is grabbed.
void Settle()
{
    for (int I = 0; I < 3; ++I)
        QApplication::processEvents();
}

// The window's picture; outside its window region (when it has one) the
// pixels are transparent.
QImage GrabWindow(TCustomForm* Form)
{
    QImage Image = Form->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (Form->HasWindowRegion()) {
        const QRegion& Region = Form->WindowRegion();
        for (int Y = 0; Y < Image.height(); ++Y) {
            auto* Row = reinterpret_cast<QRgb*>(Image.scanLine(Y));
            for (int X = 0; X < Image.width(); ++X)
                if (!Region.contains(QPoint(X, Y)))
                    Row[X] = qRgba(0, 0, 0, 0);
        }
    }
    return Image;
}

// A window with a plain frame and its caption in a title bar, as the
// desktop would show it (the offscreen platform draws no frames).
QImage FramedWindow(const QImage& Client, const String& Caption)
{
    constexpr int Border = 3;
    constexpr int TitleHeight = 18;
    QImage Framed(Client.width() + 2 * Border, Client.height() + 2 * Border + TitleHeight, QImage::Format_ARGB32);
    Framed.fill(ColorToQRgb(clBtnFace));
    QPainter P(&Framed);
    P.setPen(ColorToQRgb(clBtnShadow));
    P.drawRect(0, 0, Framed.width() - 1, Framed.height() - 1);
    P.fillRect(Border, Border, Client.width(), TitleHeight - 1, ColorToQRgb(clActiveCaption));
    TFont Font;
    Font.SetHeight(-11);
    Font.SetStyle(TFontStyles(fsBold));
    P.setFont(Font.QtFont());
    P.setPen(ColorToQRgb(clCaptionText));
    P.drawText(QRect(Border + 4, Border, Client.width() - 8, TitleHeight - 1), Qt::AlignVCenter | Qt::AlignLeft,
               ToQString(Caption));
    P.drawImage(Border, Border + TitleHeight, Client);
    return Framed;
}

TControl* CategoryButton(TMainForm* Form, int Category)
{
    for (int I = 0; I < Form->nvButtonGroup1->ControlCount(); ++I) {
        TControl* C = Form->nvButtonGroup1->Controls(I);
        if (C->Tag() == Category)
            return C;
    }
    return nullptr;
}

} // namespace

void ClickLikeAUser(TControl* Control)
{
    // The window system activates a window with the press that lands in it.
    QWidget* Window = Control->window();
    if (!Window->isActiveWindow()) {
        Window->activateWindow();
        QApplication::setActiveWindow(Window);
    }
    const QPointF Local(Control->Width() / 2, Control->Height() / 2);
    const QPointF Global = Control->mapToGlobal(Local);
    QCursor::setPos(Global.toPoint());
    QMouseEvent Press(QEvent::MouseButtonPress, Local, Global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Control, &Press);
    QMouseEvent Release(QEvent::MouseButtonRelease, Local, Global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Control, &Release);
}

QImage RenderDemoShot(const TShotOptions& Options)
{
    if (Options.Category != 0 && (Options.Category < 1 || Options.Category > 11))
        throw EInvalidOperation("Category " + std::to_string(Options.Category) + " does not exist (1 to 11)");
    const TMetaClass* OpenClass = nullptr;
    if (!Options.OpenClass.empty()) {
        OpenClass = FindClass(Options.OpenClass);
        if (!OpenClass || !OpenClass->Meta()->inherits(&TCustomForm::staticMetaObject) ||
            OpenClass->Meta() == &TMainForm::staticMetaObject)
            throw EClassNotFound("No demonstration window class " + Options.OpenClass);
    }

    std::unique_ptr<TMainForm> Main(
        CheckedCast<TMainForm>(CreateFormInstance(ClassOf<TMainForm>(), Application)));
    Main->Show();
    Settle();
    if (Options.Category != 0) {
        TControl* Button = CategoryButton(Main.get(), Options.Category);
        if (!Button)
            throw EInvalidOperation("The main window has no category button " + std::to_string(Options.Category));
        ClickLikeAUser(Button);
        Settle();
    }
    const QImage MainImage = GrabWindow(Main.get());
    if (!OpenClass)
        return MainImage;

    std::unique_ptr<TCustomForm> Demo(CheckedCast<TCustomForm>(CreateFormInstance(OpenClass, Application)));
    Demo->Show();
    Settle();
    // A borderless window (a shaped one) shows without a frame.
    const QImage DemoImage = Demo->BorderStyle() == bsNone ? GrabWindow(Demo.get())
                                                           : FramedWindow(GrabWindow(Demo.get()), Demo->Caption());
    // Both windows centred on one point, as a centred window opens over the
    // main window.
    const int W = std::max(MainImage.width(), DemoImage.width());
    const int H = std::max(MainImage.height(), DemoImage.height());
    QImage Shot(W, H, QImage::Format_ARGB32);
    Shot.fill(Qt::transparent);
    QPainter P(&Shot);
    P.drawImage((W - MainImage.width()) / 2, (H - MainImage.height()) / 2, MainImage);
    P.drawImage((W - DemoImage.width()) / 2, (H - DemoImage.height()) / 2, DemoImage);
    P.end();
    return Shot;
}

void WriteDemoShot(const TShotOptions& Options)
{
    const QImage Shot = RenderDemoShot(Options);
    if (!Shot.save(ToQString(Options.FileName), "PNG"))
        throw EFCreateError("Cannot write the picture " + Options.FileName);
}
