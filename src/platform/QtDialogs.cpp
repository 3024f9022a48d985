#include "platform/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QString forDisplay(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

Dialogs::Answer QtDialogs::message(const QString &text, Buttons buttons, Icon icon, const QString &caption)
{
    QMessageBox::StandardButtons qtButtons = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok: qtButtons = QMessageBox::Ok; break;
    case Buttons::YesNo: qtButtons = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: qtButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    case Buttons::AbortRetryIgnore: qtButtons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore; break;
    case Buttons::OverwriteCancel: qtButtons = QMessageBox::Save | QMessageBox::Cancel; break;
    }
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::None: break;
    case Icon::Information: qtIcon = QMessageBox::Information; break;
    case Icon::Warning: qtIcon = QMessageBox::Warning; break;
    case Icon::Critical: qtIcon = QMessageBox::Critical; break;
    case Icon::Question: qtIcon = QMessageBox::Question; break;
    }
    QMessageBox box(qtIcon, caption, forDisplay(text), qtButtons, QApplication::activeWindow());
    if (buttons == Buttons::OverwriteCancel) {
        box.button(QMessageBox::Save)->setText(QStringLiteral("&Overwrite"));
        box.setDefaultButton(QMessageBox::Cancel);
    }
    switch (box.exec()) {
    case QMessageBox::Save: return Answer::Yes;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Ignore: return Answer::Ignore;
    case QMessageBox::Ok: return Answer::Ok;
    default:
        // Closing the box by its close button or Escape.
        if (buttons == Buttons::AbortRetryIgnore)
            return Answer::Abort;
        if (buttons == Buttons::YesNo)
            return Answer::No;
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

QString QtDialogs::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, forDisplay(prompt),
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtDialogs::openFileName(const QString &filter, const QString &initial)
{
    QString selected = m_lastOpenFilter.value(filter);
    const QString name = QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), initial, filter, &selected);
    if (!name.isEmpty())
        m_lastOpenFilter.insert(filter, selected);
    return name;
}

QString QtDialogs::saveFileName(const QString &filter, const QString &initial)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), initial, filter);
}

bool QtDialogs::chooseFont(QFont &font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, QApplication::activeWindow(), QStringLiteral("Code View Font"));
    if (ok)
        font = chosen;
    return ok;
}

void QtDialogs::beep()
{
    QApplication::beep();
}
