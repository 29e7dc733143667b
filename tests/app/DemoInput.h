// Mouse input for the demonstration windows' tests, delivered as the events
// a user's pointer produces (see also ClickLikeAUser in DemoShot.h).
#pragma once

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "Controls.h"

inline void ActivateWindowOf(QWidget* Widget)
{
    QWidget* Window = Widget->window();
    if (!Window->isActiveWindow()) {
        Window->activateWindow();
        QApplication::setActiveWindow(Window);
    }
}

// A press of Button at a client point of the widget.
inline void MousePress(QWidget* Widget, QPoint Local, Qt::MouseButton Button = Qt::LeftButton)
{
    ActivateWindowOf(Widget);
    const QPointF Global = Widget->mapToGlobal(QPointF(Local));
    QCursor::setPos(Global.toPoint());
    QMouseEvent Press(QEvent::MouseButtonPress, QPointF(Local), Global, Button, Button, Qt::NoModifier);
    QCoreApplication::sendEvent(Widget, &Press);
}

// A move to a client point of the widget with Buttons held.
inline void MouseMove(QWidget* Widget, QPoint Local, Qt::MouseButtons Buttons = Qt::NoButton)
{
    const QPointF Global = Widget->mapToGlobal(QPointF(Local));
    QCursor::setPos(Global.toPoint());
    QMouseEvent Move(QEvent::MouseMove, QPointF(Local), Global, Qt::NoButton, Buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(Widget, &Move);
}

inline void MouseRelease(QWidget* Widget, QPoint Local, Qt::MouseButton Button = Qt::LeftButton)
{
    const QPointF Global = Widget->mapToGlobal(QPointF(Local));
    QCursor::setPos(Global.toPoint());
    QMouseEvent Release(QEvent::MouseButtonRelease, QPointF(Local), Global, Button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Widget, &Release);
}

// A left click at a client point of the widget.
inline void ClickAt(QWidget* Widget, QPoint Local)
{
    MousePress(Widget, Local);
    MouseRelease(Widget, Local);
}

// The pointer enters the widget at a client point, or leaves it.
inline void MouseEnter(QWidget* Widget, QPoint Local = QPoint(1, 1))
{
    const QPointF Global = Widget->mapToGlobal(QPointF(Local));
    QCursor::setPos(Global.toPoint());
    const QPointF At(Local);
    QEnterEvent Enter{At, At, Global};
    QCoreApplication::sendEvent(Widget, &Enter);
}

inline void MouseLeave(QWidget* Widget)
{
    QEvent Leave(QEvent::Leave);
    QCoreApplication::sendEvent(Widget, &Leave);
}

// The centre of a rectangle in client coordinates.
inline QPoint CentreOf(const TRect& R)
{
    return QPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
}

// A key press and release in the line edit of an edit control.
inline void TypeKey(QWidget* Target, int Key, Qt::KeyboardModifiers Mods = Qt::NoModifier,
                    const QString& Text = QString())
{
    QKeyEvent Press(QEvent::KeyPress, Key, Mods, Text);
    QApplication::sendEvent(Target, &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Mods, Text);
    QApplication::sendEvent(Target, &Release);
}
