// Helpers of the combo tests: a shown form, pictures of it, keys and mouse
// events sent the way the platform delivers them.
#pragma once

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

#include <memory>

#include "Forms.h"
#include "nvComboTestClasses.h"

namespace nvComboTest {

inline std::unique_ptr<TComboTestForm> NewForm(int W = 400, int H = 300)
{
    InitApplication();
    RegisterClasses<TComboTestForm, TTestCombo, TFrameController, TEdit>();
    // No cursor left over a control by an earlier test: hot looks and
    // mouse-leave checks start from a cursor outside every window.
    QCursor::setPos(-1000, -1000);
    auto F = std::make_unique<TComboTestForm>();
    F->SetBorderStyle(bsNone);
    F->SetLeft(100);
    F->SetTop(100);
    F->SetClientWidth(W);
    F->SetClientHeight(H);
    return F;
}

inline TTestCombo* NewCombo(TWinControl* Parent, int Left = 20, int Top = 20, int Width = 150)
{
    auto* C = new TTestCombo(Parent->GetParentForm() ? static_cast<TComponent*>(Parent->GetParentForm())
                                                     : static_cast<TComponent*>(Parent));
    C->SetParent(Parent);
    C->SetBounds(Left, Top, Width, 21);
    C->Items = {"Alpha", "Beta", "Gamma", "Delta"};
    return C;
}

// A plain edit to take the focus away from the combos.
inline TEdit* NewEdit(TCustomForm* Form, int Left = 250, int Top = 250)
{
    auto* E = new TEdit(Form);
    E->SetParent(Form);
    E->SetBounds(Left, Top, 100, 21);
    return E;
}

inline void Pump()
{
    for (int I = 0; I < 3; ++I)
        QApplication::processEvents();
}

inline void ShowForm(TCustomForm* Form)
{
    Form->Show();
    Form->activateWindow();
    Pump();
}

// A picture of a control as it shows on its form.
inline QImage Shot(QWidget* W)
{
    return W->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline TColor PixelColor(const QImage& Image, int X, int Y)
{
    const QRgb P = Image.pixel(X, Y);
    return MakeColor(static_cast<uint32_t>(qRed(P) | (qGreen(P) << 8) | (qBlue(P) << 16)));
}

// Sends a key press (and release) to the focused widget of the combo.
inline void SendKey(TTestCombo* Combo, int Key, Qt::KeyboardModifiers Mods = Qt::NoModifier,
                    const QString& Text = QString())
{
    QWidget* W = Combo->LineEdit();
    QKeyEvent Press(QEvent::KeyPress, Key, Mods, Text);
    QApplication::sendEvent(W, &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Mods, Text);
    QApplication::sendEvent(W, &Release);
}

// A mouse event to a widget at a screen point (the widget may have the
// mouse grabbed, so the point may lie outside it).
inline void SendMouse(QWidget* W, QEvent::Type Type, QPoint Global, Qt::MouseButton Button = Qt::LeftButton)
{
    QCursor::setPos(Global);
    // Moves are those of a drag with the left button held.
    Qt::MouseButtons Buttons = Qt::NoButton;
    if (Type == QEvent::MouseMove)
        Buttons = Qt::LeftButton;
    else if (Type != QEvent::MouseButtonRelease)
        Buttons = Button;
    QMouseEvent E(Type, QPointF(W->mapFromGlobal(Global)), QPointF(Global),
                  Type == QEvent::MouseMove ? Qt::NoButton : Button, Buttons, Qt::NoModifier);
    QApplication::sendEvent(W, &E);
}

inline QPoint Center(QWidget* W)
{
    return W->mapToGlobal(QPoint(W->width() / 2, W->height() / 2));
}

} // namespace nvComboTest
