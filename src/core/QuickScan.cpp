#include "core/QuickScan.h"

#include "core/TextFileCodec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <optional>
#include <cstring>
#include <string.h>
#include <string_view>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace QuickScan {

namespace {

bool isBreak(char c)
{
    return c == '\n' || c == '\r';
}

QString trimBlanks(const QString &s)
{
    qsizetype from = 0, to = s.size();
    while (from < to && s.at(from) == u' ')
        ++from;
    while (to > from && s.at(to - 1) == u' ')
        --to;
    return s.mid(from, to - from);
}

bool hasHighByte(const char *p, qsizetype n)
{
    quint64 any = 0;
    qsizetype i = 0;
    for (; i + 32 <= n; i += 32) { // eight bytes at a time, four words a round
        quint64 w[4];
        std::memcpy(w, p + i, sizeof w);
        any |= w[0] | w[1] | w[2] | w[3];
        if (any & 0x8080808080808080ULL)
            return true;
    }
    for (; i < n; ++i)
        any |= static_cast<unsigned char>(p[i]);
    return any & 0x80;
}

// The first bytes of a line as listed: at most shown characters, then "…".
QString shownText(QByteArrayView head, bool cut, qsizetype shown)
{
    if (cut) { // no half character at the end
        qsizetype n = head.size(), i = n;
        while (i > 0 && (static_cast<unsigned char>(head[i - 1]) & 0xC0) == 0x80 && n - i < 3)
            --i;
        const unsigned char lead = i > 0 ? static_cast<unsigned char>(head[i - 1]) : 0;
        const qsizetype need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (lead >= 0xC0 && i - 1 + need > n)
            head = head.first(i - 1);
    }
    const QString line = TextFileCodec::decodeText(head);
    if (!cut && line.size() <= shown)
        return listed(line);
    qsizetype from = 0;
    while (from < line.size() && line.at(from) == u' ')
        ++from;
    return listed(line.mid(from, shown)) + QChar(0x2026);
}

// Feeds the bytes of a file a buffer at a time and finds the lines that
// match. A buffer starts at a line start, or inside a line begun in an
// earlier buffer (open): then only that line's first bytes (head) and last
// few bytes (carried into the next buffer, for a phrase across the seam)
// are kept.
class LineScanner
{
public:
    LineScanner(const QString &phrase, const Limits &limits, Outcome &outcome)
        : m_phrase(phrase), m_limits(limits), m_outcome(outcome)
    {
        const QByteArray utf8 = phrase.toUtf8();
        m_needle = utf8.toStdString();
        m_byteSearch = !m_needle.empty();
        m_headBytes = limits.shown * 4 + 4;
        m_overlap = qsizetype(utf8.size()) * 4 + 8;
        m_carryMax = std::max(m_headBytes, m_overlap);
        const qsizetype n = qsizetype(m_needle.size());
        std::fill(std::begin(m_skip), std::end(m_skip), std::max<qsizetype>(1, n));
        for (qsizetype i = 0; i + 1 < n; ++i) {
            const unsigned char c = static_cast<unsigned char>(m_needle[size_t(i)]);
            m_skip[c] = n - 1 - i;
            if (c >= 'a' && c <= 'z')
                m_skip[c - 32] = n - 1 - i;
        }
    }

    // Searches p[0, m); last: the file ends there. Afterwards the bytes from
    // carryFrom() on go before the next buffer. lineStart(): where in this
    // buffer the line that goes on began (-1: in an earlier one).
    void feed(const char *p, qsizetype m, bool last, QStringList &out)
    {
        m_p = p;
        m_m = m;
        m_out = &out;
        m_carryFrom = m;
        m_lineStart = m_open ? -1 : m;
        // All ASCII: a skipping search in the bytes as they are; else the
        // bytes lower-cased, line by line.
        const bool fast = m_fast = m_byteSearch && !hasHighByte(p, m);
        if (!fast) {
            m_lower.resize(size_t(m));
            for (qsizetype i = 0; i < m; ++i)
                m_lower[size_t(i)] = lower(p[i]);
        }
        qsizetype s = 0;
        if (m_open) {
            const qsizetype e = nextBreak(0);
            const bool matched = m_matched || matches(0, e);
            if (e == m && !last) {
                m_matched = matched;
                m_carryFrom = std::max<qsizetype>(0, m - m_overlap);
                return;
            }
            if (matched)
                emitLine(m_head, true);
            m_open = false;
            s = e + 1;
        }
        while (s < m) {
            if (fast) {
                const qsizetype hit = find(s, m);
                if (hit < 0) { // only the last line may go on
                    qsizetype t = m;
                    while (t > s && !isBreak(p[t - 1]))
                        --t;
                    if (t < m && !last)
                        goesOn(t, false);
                    return;
                }
                s = hit;
                while (s > 0 && !isBreak(p[s - 1]))
                    --s;
            }
            const qsizetype e = nextBreak(s);
            const bool matched = fast || matches(s, e);
            if (e == m && !last) {
                goesOn(s, matched);
                return;
            }
            if (matched)
                emitLine(QByteArrayView(p + s, std::min(e - s, m_headBytes)), e - s > m_headBytes);
            s = e + 1;
        }
    }
    qsizetype carryFrom() const { return m_carryFrom; }
    qsizetype lineStart() const { return m_lineStart; }

private:
    qsizetype nextBreak(qsizetype s) const
    {
        while (s < m_m && !isBreak(m_p[s]))
            ++s;
        return s;
    }
    static char lower(char c) { return char(unsigned(static_cast<unsigned char>(c) - 'A') < 26u ? c + 32 : c); }
    // Either case of an ASCII letter alike.
    bool matchesAt(qsizetype pos) const
    {
        for (size_t j = 0; j < m_needle.size(); ++j)
            if (lower(m_p[pos + qsizetype(j)]) != m_needle[j])
                return false;
        return true;
    }
    qsizetype find(qsizetype from, qsizetype to) const
    {
        const qsizetype n = qsizetype(m_needle.size());
        const char *needle = m_needle.data();
        const char last = needle[n - 1];
        qsizetype pos = from;
#ifdef __SSE2__
        // Sixteen places at a time whose first and last bytes can be the
        // needle's (a byte with 0x20 added equal to the needle's), then
        // each of those compared.
        const __m128i bit = _mm_set1_epi8(0x20);
        const __m128i first = _mm_set1_epi8(char(needle[0] | 0x20)), end = _mm_set1_epi8(char(last | 0x20));
        for (; pos + n - 1 + 16 <= to; pos += 16) {
            const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(m_p + pos)), bit);
            const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(m_p + pos + n - 1)), bit);
            for (unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, end))));
                 mask; mask &= mask - 1) {
                const qsizetype at = pos + __builtin_ctz(mask);
                if (matchesAt(at))
                    return at;
            }
        }
#endif
        while (pos + n <= to) {
            const char c = m_p[pos + n - 1];
            if (lower(c) == last && matchesAt(pos))
                return pos;
            pos += m_skip[static_cast<unsigned char>(c)];
        }
        return -1;
    }
    // The rule for the part [s, e) of a line.
    bool matches(qsizetype s, qsizetype e) const
    {
        if (e == s)
            return false;
        if (!m_byteSearch)
            return true;
        if (m_fast)
            return find(s, e) >= 0;
        const void *hit = ::memmem(m_lower.data() + s, size_t(e - s), m_needle.data(), m_needle.size());
        if (hit)
            return true;
        return hasHighByte(m_p + s, e - s) && lineMatches(TextFileCodec::decodeText(QByteArrayView(m_p + s, e - s)), m_phrase);
    }
    // The line from s goes on in the next buffer: short, it goes there whole.
    void goesOn(qsizetype s, bool matched)
    {
        m_lineStart = s;
        if (m_m - s <= m_carryMax) {
            m_carryFrom = s;
            return;
        }
        m_head = QByteArray(m_p + s, m_headBytes);
        m_open = true;
        m_matched = matched;
        m_carryFrom = m_m - m_overlap;
    }
    void emitLine(QByteArrayView head, bool cut)
    {
        if (m_outcome.listed + m_out->size() < m_limits.rows)
            *m_out << shownText(head, cut, m_limits.shown);
        else
            ++m_outcome.more;
    }

    QString m_phrase;
    const Limits &m_limits;
    Outcome &m_outcome;
    std::string m_needle;
    bool m_byteSearch = true, m_fast = false;
    qsizetype m_headBytes = 0, m_overlap = 0, m_carryMax = 0;
    qsizetype m_skip[256];
    std::string m_lower;
    const char *m_p = nullptr;
    qsizetype m_m = 0;
    QStringList *m_out = nullptr;
    qsizetype m_carryFrom = 0, m_lineStart = 0;
    bool m_open = false, m_matched = false;
    QByteArray m_head;
};

} // namespace

QString normalizedPhrase(const QString &typed)
{
    return trimBlanks(typed).toLower();
}

bool lineMatches(const QString &line, const QString &phrase)
{
    return !line.isEmpty() && line.toLower().contains(phrase);
}

QString listed(const QString &line)
{
    return trimBlanks(line);
}

Outcome scan(const QString &path, const QString &phrase, qint64 from, const std::function<void(QStringList)> &found,
             const std::function<bool(qint64, qint64)> &keepGoing, qint64 end, const Limits &limits)
{
    Outcome outcome;
    outcome.offset = from;
    int fd = -1;
    qint64 size = 0;
    if ((outcome.failure = FileIO::openRegular(path, false, &fd, &size)))
        return outcome;
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        outcome.failure = FileIO::makeFailure(FileIO::PathFileAccessError);
        return outcome;
    }
    const qint64 total = outcome.end = end >= 0 ? end : f.size();
    // The file's encoding, from its start as File > Open finds it: UTF-16,
    // UTF-32 and legacy text is read through its decoder as UTF-8; a BOM is
    // no part of the first line.
    constexpr qint64 kSample = 256 * 1024;
    const TextFileCodec::FileFormat format = TextFileCodec::sniff(f.read(std::min(kSample, total)));
    if (format.encoding == TextFileCodec::Encoding::Utf8Bom && from == 0)
        outcome.offset = from = 3;
    if (!f.seek(from)) {
        outcome.failure = FileIO::makeFailure(FileIO::PathFileAccessError);
        return outcome;
    }
    std::optional<QStringDecoder> decoder;
    if (format.encoding == TextFileCodec::Encoding::Legacy)
        decoder.emplace(format.codec.constData());
    else if (format.encoding != TextFileCodec::Encoding::Utf8 && format.encoding != TextFileCodec::Encoding::Utf8Bom
             && format.encoding != TextFileCodec::Encoding::Windows1252)
        decoder.emplace(format.encoding == TextFileCodec::Encoding::Utf16Le || format.encoding == TextFileCodec::Encoding::Utf16LeBom
                            ? QStringConverter::Utf16LE
                        : format.encoding == TextFileCodec::Encoding::Utf16Be || format.encoding == TextFileCodec::Encoding::Utf16BeBom
                            ? QStringConverter::Utf16BE
                        : format.encoding == TextFileCodec::Encoding::Utf32Le || format.encoding == TextFileCodec::Encoding::Utf32LeBom
                            ? QStringConverter::Utf32LE
                            : QStringConverter::Utf32BE);
    if (decoder && !decoder->isValid())
        decoder.reset();
    const QByteArray encoderName = decoder ? QByteArray(decoder->name()) : QByteArray();
    const qint64 slice = std::max<qint64>(1, limits.slice);
    qint64 rawRead = from;
    QByteArray raw;
    LineScanner scanner(phrase, limits, outcome);
    QByteArray buffer;
    qsizetype carried = 0; // bytes at the buffer's start kept from the last one
    for (;;) {
        const qint64 want = std::min(slice, total - rawRead);
        qint64 got = 0;
        if (want > 0 && decoder) {
            raw.resize(want);
            got = f.read(raw.data(), want);
            if (got > 0) {
                rawRead += got;
                const QByteArray utf8 = QString(decoder->decode(QByteArrayView(raw).first(got))).toUtf8();
                buffer.resize(carried + utf8.size());
                std::memcpy(buffer.data() + carried, utf8.constData(), size_t(utf8.size()));
            }
        } else if (want > 0) {
            buffer.resize(carried + want);
            got = f.read(buffer.data() + carried, want);
            if (got > 0) {
                rawRead += got;
                buffer.resize(carried + got);
            }
        }
        if (got < 0) {
            outcome.failure = FileIO::makeFailure(FileIO::DeviceIOError);
            return outcome;
        }
        if (got == 0)
            buffer.resize(carried);
        const bool atEnd = got == 0 || rawRead >= total;
        QStringList lines;
        scanner.feed(buffer.constData(), buffer.size(), atEnd, lines);
        outcome.listed += lines.size();
        if (!lines.isEmpty())
            found(std::move(lines));
        if (atEnd) {
            outcome.offset = rawRead;
            return outcome;
        }
        const qsizetype start = scanner.lineStart(); // of the line that goes on
        if (start >= 0) {
            const QByteArrayView rest = QByteArrayView(buffer).sliced(start);
            outcome.offset = rawRead - (decoder ? QByteArray(QStringEncoder(encoderName.constData()).encode(TextFileCodec::toQString(rest))).size()
                                                : rest.size());
        }
        carried = buffer.size() - scanner.carryFrom();
        std::memmove(buffer.data(), buffer.constData() + scanner.carryFrom(), size_t(carried));
        if (!keepGoing(rawRead, total)) {
            outcome.stopped = true;
            return outcome;
        }
    }
}

} // namespace QuickScan
