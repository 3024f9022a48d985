#include "document/EditCommands.h"

#include "ui/RichTextBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QMimeData>

namespace EditCommands {

namespace {

// A selection made only of spaces counts as empty for the case commands;
// tabs and line breaks do not.
bool hasNonSpace(const QString &text)
{
    for (const QChar c : text) {
        if (c != u' ')
            return true;
    }
    return false;
}

template <typename Convert>
void convertSelection(RichTextBox &box, Convert convert)
{
    const QString selected = box.SelText();
    if (!hasNonSpace(selected))
        return;
    box.SetSelText(convert(selected));
}

} // namespace

bool clipboardHasText()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    return mime && mime->hasText();
}

void copy(RichTextBox &box)
{
    const QString selected = box.SelText();
    if (!selected.isEmpty())
        QGuiApplication::clipboard()->setText(selected);
}

void cut(RichTextBox &box)
{
    const QString selected = box.SelText();
    if (selected.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(selected);
    box.SetSelText(QString());
}

void deleteSelection(RichTextBox &box)
{
    if (box.SelLength() > 0)
        box.SetSelText(QString());
}

void selectAll(RichTextBox &box)
{
    box.SetSelStart(0);
    box.SetSelLength(box.TextLength());
}

void upperCase(RichTextBox &box)
{
    convertSelection(box, [](const QString &s) { return QLocale().toUpper(s); });
}

void lowerCase(RichTextBox &box)
{
    convertSelection(box, [](const QString &s) { return QLocale().toLower(s); });
}

QString properCase(const QString &text)
{
    const QLocale locale;
    QString out;
    out.reserve(text.size());
    bool wordStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString ch(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            ch += text.at(i + 1);
            ++i;
        }
        const bool separator = ch.at(0).isSpace() || ch.at(0) == QChar(0);
        out += separator ? ch : wordStart ? locale.toUpper(ch) : locale.toLower(ch);
        wordStart = separator;
    }
    return out;
}

void firstLetters(RichTextBox &box)
{
    convertSelection(box, properCase);
}

void clearSelection(RichTextBox &box)
{
    box.SetSelStart(box.SelStart());
}

} // namespace EditCommands
