#pragma once

#include "platform/Dialogs.h"

#include <QHash>

// Dialogs shown with Qt's message box, input dialog and file dialogs, over
// the active window.
class QtDialogs : public Dialogs
{
public:
    Answer message(const QString &text, Buttons buttons, Icon icon, const QString &caption) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFileName(const QString &filter, const QString &initial) override;
    QString saveFileName(const QString &filter, const QString &initial) override;
    void beep() override;
    bool chooseFont(QFont &font) override;

private:
    // The filter last chosen in an open dialog, per list of filters: the
    // next open dialog with the same list starts with it.
    QHash<QString, QString> m_lastOpenFilter;
};
