#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <functional>

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
        // The expression was too complex (PCRE2's match limit) for this line,
        // counted from 1, and the search stopped there: not found, not a miss.
        qsizetype gaveUpLine = 0;
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
    // Every match, in order; where the expression gave up, the matches
    // before it and the line in gaveUpLine.
    QList<Match> findAll(const QString &text, qsizetype *gaveUpLine = nullptr) const;
    // The matches in order, handed to take a slice (at most slice of them)
    // at a time, up to cap of them; take returns false to stop.
    struct Counted {
        qsizetype count = 0;      // matches handed on
        bool more = false;        // there are more than cap
        bool stopped = false;     // take said no
        qsizetype gaveUpLine = 0; // see Match
    };
    Counted forEachMatch(const QString &text, qsizetype cap, qsizetype slice,
                         const std::function<bool(QList<Match>)> &take) const;
    // What one match is replaced with: for a regular expression \0 to \9
    // stand for the captured groups, \n for a line break (CR LF), \t for a
    // tab and \\ for a backslash; otherwise the replacement as typed.
    // textChecked: isValidText(text) is known to be true (a caller making
    // many replacements in one text checks it once).
    QString replacementFor(const QString &text, const Match &match, const QString &replacement, bool textChecked = false) const;
    // True when text is valid UTF-16 (no lone surrogate).
    static bool isValidText(QStringView text);
    struct Replaced {
        QString text;             // the new text; null when nothing was replaced
        qsizetype count = 0;      // matches
        qsizetype utf8Size = 0;   // of the new text in UTF-8
        qsizetype gaveUpLine = 0; // see Match: nothing replaced
        bool tooBig = false;      // over maxUtf8Bytes: nothing built
    };
    // Every match replaced. The matches are counted and the new text's size
    // found first; only a text within maxUtf8Bytes is built, in one block of
    // its exact size, so memory stays the text and its replacement.
    Replaced replaceAll(const QString &text, const QString &replacement, qsizetype maxUtf8Bytes) const;

private:
    QRegularExpressionMatch matchAt(const QString &text, qsizetype from) const;
    // The line where a search from from gave up: that of the shortest part
    // of the text over which it already gives up.
    qsizetype lineGivenUp(const QString &text, qsizetype from) const;
    QString expand(const QRegularExpressionMatch &m, const QString &replacement) const;

    QRegularExpression m_re;
    Options m_options;

    QString m_error;
    bool m_empty = true;
};
