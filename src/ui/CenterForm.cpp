#include "ui/CenterForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

void CenterForm(QWidget *window)
{
    // The middle of what the desktop leaves free (panels and docks taken off).
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    window->move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->frameGeometry().size(),
                                     screen->availableGeometry())
                     .topLeft());
}
