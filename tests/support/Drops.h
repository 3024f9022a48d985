#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>

// Drags data onto a widget as the platform does: DragEnter first, and the
// Drop only when the enter was accepted. Returns whether the drop was taken.
inline bool simulateDrop(QWidget *target, QMimeData *mime)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}
