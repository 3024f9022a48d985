#pragma once

#include "platform/Dialogs.h"
#include "platform/QtPrinter.h"

#include <QFont>
#include <QQueue>
#include <QtTest>
#include <QStringList>
#include <functional>

// Dialogs answered from a script. Every question is recorded; an unexpected
// one (no answer queued) fails the test and is answered as if cancelled.
class ScriptedDialogs : public Dialogs
{
public:
    struct Asked {
        QString text;
        Buttons buttons;
        QString caption;
    };

    struct Prompted {
        QString prompt;
        QString title;
        QString defaultText;
    };

    QQueue<Answer> answers;
    QQueue<QString> inputs;     // input box answers; none left: Cancel
    QList<Prompted> prompted;
    QQueue<QString> fileNames;
    QList<Asked> asked;
    QStringList fileFilters;
    QStringList fileInitials;
    int beeps = 0;
    std::function<void()> beforeAnswer; // runs while a question is open

    Answer message(const QString &text, Buttons buttons, Icon, const QString &caption) override
    {
        asked.append({text, buttons, caption});
        if (beforeAnswer)
            beforeAnswer();
        if (answers.isEmpty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
            return buttons == Buttons::AbortRetryIgnore ? Answer::Abort : Answer::Cancel;
        }
        return answers.dequeue();
    }
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        prompted.append({prompt, title, defaultText});
        return inputs.isEmpty() ? QString() : inputs.dequeue();
    }
    QString openFileName(const QString &filter, const QString &initial) override
    {
        fileFilters << filter;
        fileInitials << initial;
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    QString saveFileName(const QString &filter, const QString &initial) override
    {
        fileFilters << filter;
        fileInitials << initial;
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    void beep() override { ++beeps; }
    QQueue<QFont> fonts; // font choices; none left: Cancel
    QList<QFont> fontsOffered;
    bool chooseFont(QFont &font) override
    {
        fontsOffered << font;
        if (fonts.isEmpty())
            return false;
        font = fonts.dequeue();
        return true;
    }

    QString lastText() const { return asked.isEmpty() ? QString() : asked.last().text; }
};

// Records what would be printed, or fails with a given error; previews
// (recorded too) and PDF files are Qt's own.
class ScriptedPrinter : public QtPrinter
{
public:
    QStringList printed;
    QString failWith;
    QList<PrintedText> looks; // of every job and preview, in turn

    bool printText(const PrintedText &text, QString *error) override
    {
        looks << text;
        if (!failWith.isEmpty()) {
            *error = failWith;
            return false;
        }
        printed << text.text;
        return true;
    }
    void preview(const PrintedText &text, QWidget *parent) override
    {
        looks << text;
        QtPrinter::preview(text, parent);
    }
};
