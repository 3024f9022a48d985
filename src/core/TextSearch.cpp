#include "core/TextSearch.h"

#include <limits>
#include <utility>

namespace {

// Line breaks are CR, LF or CR LF; set first so that ^, $ and . agree.
const QString kPrefix = QStringLiteral("(*ANYCRLF)");

// Before a search, PCRE2 checks that the whole subject is valid UTF-16, a
// code unit at a time: over many small files that check cost more than
// the search. A text is checked here instead, and a valid one spares PCRE2
// the work; an invalid one (a lone surrogate) is left to PCRE2, which then
// finds nothing in it rather than reading it wrongly.
bool validUtf16(QStringView text)
{
    // Most texts have no surrogate at all: a loop the compiler vectorises
    // tells, a block at a time; the others get the full check.
    const char16_t *p = text.utf16();
    constexpr qsizetype kBlock = 4096;
    for (qsizetype at = 0; at < text.size(); at += kBlock) {
        const qsizetype end = qMin(text.size(), at + kBlock);
        unsigned surrogates = 0;
        for (qsizetype i = at; i < end; ++i)
            surrogates |= unsigned((p[i] & 0xF800) == 0xD800);
        if (surrogates)
            return text.isValidUtf16();
    }
    return true;
}

QRegularExpressionMatchIterator everyMatch(const QRegularExpression &re, const QString &text)
{
    return re.globalMatch(text, 0, QRegularExpression::NormalMatch,
                          validUtf16(text) ? QRegularExpression::DontCheckSubjectStringMatchOption
                                           : QRegularExpression::NoMatchOption);
}

TextSearch::Match toMatch(const QRegularExpressionMatch &m, bool wrapped = false)
{
    if (!m.hasMatch())
        return {};
    return {m.capturedStart(), m.capturedLength(), wrapped};
}

// What toUtf8() will make of s, in bytes.
qsizetype utf8Size(QStringView s)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c < 0x80)
            n += 1;
        else if (c < 0x800)
            n += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode()))
            n += 4, ++i;
        else
            n += 3;
    }
    return n;
}

} // namespace

TextSearch::TextSearch(const QString &pattern, Options options)
    : m_options(options), m_empty(pattern.isEmpty())
{
    if (m_empty)
        return;
    QString body = options.regex ? pattern : QRegularExpression::escape(pattern);
    // A whole word: no word character just before or just after the match.
    if (options.wholeWord)
        body = QStringLiteral("(?<!\\w)(?:") + body + QStringLiteral(")(?!\\w)");
    const qsizetype added = kPrefix.size() + (options.wholeWord ? 10 : 0);
    QRegularExpression::PatternOptions flags =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    m_re.setPattern(kPrefix + body);
    m_re.setPatternOptions(flags);
    if (!m_re.isValid()) {
        const qsizetype at = qBound<qsizetype>(0, m_re.patternErrorOffset() - added, pattern.size());
        m_error = QStringLiteral("Not a valid regular expression: %1 at character %2")
                      .arg(m_re.errorString())
                      .arg(at + 1);
        return;
    }
    m_re.optimize();
}

QRegularExpressionMatch TextSearch::matchAt(const QString &text, qsizetype from) const
{
    return m_re.match(text, from);
}

qsizetype TextSearch::lineGivenUp(const QString &text, qsizetype from) const
{
    // A match that is no match and no miss is PCRE2 giving up (invalid).
    qsizetype lo = from, hi = text.size();
    while (lo < hi) {
        const qsizetype mid = lo + (hi - lo) / 2;
        if (!m_re.match(QStringView(text).left(mid + 1), from).isValid())
            hi = mid;
        else
            lo = mid + 1;
    }
    qsizetype line = 1;
    for (qsizetype i = 0; i < lo && i < text.size(); ++i)
        if (text.at(i) == u'\n' || (text.at(i) == u'\r' && (i + 1 == text.size() || text.at(i + 1) != u'\n')))
            ++line;
    return line;
}

TextSearch::Match TextSearch::findNext(const QString &text, qsizetype selStart, qsizetype selEnd) const
{
    if (m_empty || !isValid())
        return {};
    const auto gaveUp = [&](const QRegularExpressionMatch &r, qsizetype from) {
        Match m;
        if (!r.isValid())
            m.gaveUpLine = lineGivenUp(text, from);
        return m;
    };
    const auto after = [&](qsizetype from) -> Match {
        while (from <= text.size()) {
            const QRegularExpressionMatch r = matchAt(text, from);
            const Match m = toMatch(r);
            if (!m.found())
                return gaveUp(r, from);
            if (m.length == 0 && m.start == selEnd && selStart == selEnd) {
                from = m.start + 1; // the caret sits on this empty match: move on
                continue;
            }
            return m;
        }
        return {};
    };
    Match m = after(selEnd);
    if (!m.found() && !m.gaveUpLine && m_options.wrap) {
        const QRegularExpressionMatch r = matchAt(text, 0);
        m = r.isValid() ? toMatch(r, true) : gaveUp(r, 0);
        // Only matches before the selection count as found by wrapping.
        if (m.found() && m.start >= selEnd)
            m = {};
    }
    return m;
}

TextSearch::Match TextSearch::findPrevious(const QString &text, qsizetype selStart) const
{
    if (m_empty || !isValid())
        return {};
    Match before;
    Match last;
    QRegularExpressionMatchIterator it = everyMatch(m_re, text);
    while (it.hasNext()) {
        const Match m = toMatch(it.next());
        if (m.start < selStart)
            before = m;
        else if (!m_options.wrap)
            break;
        last = m;
    }
    if (!it.isValid()) { // gave up
        Match stopped;
        stopped.gaveUpLine = lineGivenUp(text, last.found() ? last.end() : 0);
        return stopped;
    }
    if (before.found())
        return before;
    if (m_options.wrap && last.found()) {
        last.wrapped = true;
        return last;
    }
    return {};
}

TextSearch::Counted TextSearch::forEachMatch(const QString &text, qsizetype cap, qsizetype slice,
                                             const std::function<bool(QList<Match>)> &take) const
{
    Counted c;
    if (m_empty || !isValid())
        return c;
    QList<Match> part;
    qsizetype lastEnd = 0;
    QRegularExpressionMatchIterator it = everyMatch(m_re, text);
    while (it.hasNext()) {
        if (c.count == cap) {
            c.more = true;
            break;
        }
        part.append(toMatch(it.next()));
        lastEnd = part.constLast().end();
        ++c.count;
        if (part.size() >= slice && !take(std::exchange(part, {}))) {
            c.stopped = true;
            return c;
        }
    }
    if (!c.more && !it.isValid())
        c.gaveUpLine = lineGivenUp(text, lastEnd);
    if (!part.isEmpty() && !take(std::move(part)))
        c.stopped = true;
    return c;
}

QList<TextSearch::Match> TextSearch::findAll(const QString &text, qsizetype *gaveUpLine) const
{
    QList<Match> all;
    constexpr qsizetype kAll = std::numeric_limits<qsizetype>::max();
    const Counted c = forEachMatch(text, kAll, kAll, [&](QList<Match> part) {
        all += part;
        return true;
    });
    if (gaveUpLine)
        *gaveUpLine = c.gaveUpLine;
    return all;
}

QString TextSearch::expand(const QRegularExpressionMatch &m, const QString &replacement) const
{
    if (!m_options.regex)
        return replacement;
    QString out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement.at(i);
        if (c != u'\\' || i + 1 == replacement.size()) {
            out.append(c);
            continue;
        }
        const QChar next = replacement.at(++i);
        if (next.isDigit() && next.unicode() < 128)
            out.append(m.captured(next.unicode() - '0'));
        else if (next == u'n')
            out.append(QStringLiteral("\r\n"));
        else if (next == u't')
            out.append(u'\t');
        else if (next == u'\\')
            out.append(u'\\');
        else
            out.append(c).append(next);
    }
    return out;
}

bool TextSearch::isValidText(QStringView text)
{
    return validUtf16(text);
}

QString TextSearch::replacementFor(const QString &text, const Match &match, const QString &replacement, bool textChecked) const
{
    // Only an expression's replacement depends on what was matched.
    if (!match.found() || !isValid() || m_empty || !m_options.regex)
        return replacement;
    // Matched again at its own place so that the groups are known; lookbehind
    // sees the text before it. PCRE2 checks the text from the match on
    // unless the caller has checked it whole, once for many replacements.
    const QRegularExpressionMatch m =
        m_re.match(text, match.start, QRegularExpression::NormalMatch,
                   textChecked ? QRegularExpression::DontCheckSubjectStringMatchOption : QRegularExpression::NoMatchOption);
    if (m.capturedStart() != match.start)
        return replacement;
    return expand(m, replacement);
}

TextSearch::Replaced TextSearch::replaceAll(const QString &text, const QString &replacement,
                                            qsizetype maxUtf8Bytes) const
{
    Replaced r;
    if (m_empty || !isValid())
        return r;
    // A replacement without escapes is the same text at every match.
    const bool literal = !m_options.regex || !replacement.contains(u'\\');
    const qsizetype literalUtf8 = utf8Size(replacement);
    // Pass one: how many, and how big the new text is.
    qsizetype size = 0, length = 0, copied = 0;
    QRegularExpressionMatchIterator it = everyMatch(m_re, text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        size += utf8Size(QStringView(text).sliced(copied, m.capturedStart() - copied));
        const QString expanded = literal ? QString() : expand(m, replacement);
        size += literal ? literalUtf8 : utf8Size(expanded);
        length += m.capturedStart() - copied + (literal ? replacement : expanded).size();
        copied = m.capturedEnd();
        ++r.count;
        // Past the limit already: counting the rest would only take time.
        if (size > maxUtf8Bytes) {
            r.utf8Size = size;
            r.tooBig = true;
            return r;
        }
    }
    if (!it.isValid()) {
        r.gaveUpLine = lineGivenUp(text, copied);
        r.count = 0;
        return r;
    }
    r.utf8Size = size + utf8Size(QStringView(text).sliced(copied));
    if (r.count == 0 || (r.tooBig = r.utf8Size > maxUtf8Bytes))
        return r;
    // Pass two: the new text, in a block of its size.
    r.text.reserve(length + text.size() - copied);
    copied = 0;
    for (it = everyMatch(m_re, text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        r.text.append(QStringView(text).sliced(copied, m.capturedStart() - copied));
        r.text.append(literal ? replacement : expand(m, replacement));
        copied = m.capturedEnd();
    }
    r.text.append(QStringView(text).sliced(copied));
    return r;
}
