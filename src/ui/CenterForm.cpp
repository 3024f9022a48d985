#include "ui/CenterForm.h"

#include "core/WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CenterForm(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const QPoint topLeft = WindowGeometry::centeredTopLeft(area.size(), window->frameGeometry().size());
    window->move(area.topLeft() + topLeft);
}
