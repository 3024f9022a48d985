#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>

// Find and replace over a document's text. Offsets and lengths count UTF-16
// units, as the text control's do. The text's line breaks are CR LF, so a
// regular expression's ^, $ and . treat CR, LF and CR LF alike.
class TextSearch
{
public:
    struct Options {
        bool matchCase = false;
        bool wholeWord = false;
        bool regex = false;
        bool wrap = true;
    };
    struct Match {
        qsizetype start = -1;
        qsizetype length = 0;
        bool wrapped = false; // found only by going round the end (or the start)
        bool found() const { return start >= 0; }
        qsizetype end() const { return start + length; }
    };

    TextSearch(const QString &pattern, Options options);

    // An empty pattern is valid and matches nothing.
    bool isValid() const { return m_error.isEmpty(); }
    // Why the pattern is not a valid regular expression, in words.
    QString errorString() const { return m_error; }

    // The first match after the selection [selStart, selEnd); an empty
    // match right at an empty selection is passed over so that repeating
    // the search moves on.
    Match findNext(const QString &text, qsizetype selStart, qsizetype selEnd) const;
    // The last match that starts before selStart.
    Match findPrevious(const QString &text, qsizetype selStart) const;
    // Every match, in order.
    QList<Match> findAll(const QString &text) const;
    // What one match is replaced with: for a regular expression \0 to \9
    // stand for the captured groups, \n for a line break (CR LF), \t for a
    // tab and \\ for a backslash; otherwise the replacement as typed.
    QString replacementFor(const QString &text, const Match &match, const QString &replacement) const;
    // The text with every match replaced; count receives how many.
    QString replaceAll(const QString &text, const QString &replacement, qsizetype *count) const;

private:
    QRegularExpressionMatch matchAt(const QString &text, qsizetype from) const;
    QString expand(const QRegularExpressionMatch &m, const QString &replacement) const;

    QRegularExpression m_re;
    Options m_options;
    QString m_error;
    bool m_empty = true;
};
