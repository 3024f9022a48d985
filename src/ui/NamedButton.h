#pragma once

#include <QPushButton>

// A push button that tests and accessibility tools find by its name.
inline QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}
