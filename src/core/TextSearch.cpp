#include "core/TextSearch.h"

namespace {

// Line breaks are CR, LF or CR LF; set first so that ^, $ and . agree.
const QString kPrefix = QStringLiteral("(*ANYCRLF)");

TextSearch::Match toMatch(const QRegularExpressionMatch &m, bool wrapped = false)
{
    if (!m.hasMatch())
        return {};
    return {m.capturedStart(), m.capturedLength(), wrapped};
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

TextSearch::Match TextSearch::findNext(const QString &text, qsizetype selStart, qsizetype selEnd) const
{
    if (m_empty || !isValid())
        return {};
    const auto after = [&](qsizetype from) -> Match {
        while (from <= text.size()) {
            const Match m = toMatch(matchAt(text, from));
            if (!m.found())
                return {};
            if (m.length == 0 && m.start == selEnd && selStart == selEnd) {
                from = m.start + 1; // the caret sits on this empty match: move on
                continue;
            }
            return m;
        }
        return {};
    };
    Match m = after(selEnd);
    if (!m.found() && m_options.wrap) {
        m = toMatch(matchAt(text, 0), true);
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
    QRegularExpressionMatchIterator it = m_re.globalMatch(text);
    while (it.hasNext()) {
        const Match m = toMatch(it.next());
        if (m.start < selStart)
            before = m;
        else if (!m_options.wrap)
            break;
        last = m;
    }
    if (before.found())
        return before;
    if (m_options.wrap && last.found()) {
        last.wrapped = true;
        return last;
    }
    return {};
}

QList<TextSearch::Match> TextSearch::findAll(const QString &text) const
{
    QList<Match> all;
    if (m_empty || !isValid())
        return all;
    QRegularExpressionMatchIterator it = m_re.globalMatch(text);
    while (it.hasNext())
        all.append(toMatch(it.next()));
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

QString TextSearch::replacementFor(const QString &text, const Match &match, const QString &replacement) const
{
    if (!match.found() || !isValid() || m_empty)
        return replacement;
    // Matched again at its own place so that the groups are known; lookbehind
    // sees the text before it.
    const QRegularExpressionMatch m = m_re.match(text, match.start);
    if (m.capturedStart() != match.start)
        return replacement;
    return expand(m, replacement);
}

QString TextSearch::replaceAll(const QString &text, const QString &replacement, qsizetype *count) const
{
    qsizetype n = 0;
    QString out;
    if (!m_empty && isValid()) {
        qsizetype copied = 0;
        const bool literal = !m_options.regex;
        QRegularExpressionMatchIterator it = m_re.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            if (n == 0)
                out.reserve(text.size() + text.size() / 8);
            out.append(QStringView(text).sliced(copied, m.capturedStart() - copied));
            out.append(literal ? replacement : expand(m, replacement));
            copied = m.capturedEnd();
            ++n;
        }
        if (n)
            out.append(QStringView(text).sliced(copied));
    }
    if (count)
        *count = n;
    return n ? out : text;
}
