#include "core/TextFileCodec.h"

#include <QByteArrayView>
#include <QString>

#include <cstring>

namespace TextFileCodec {

namespace {

// 0x80..0x9F of Windows-1252; the five bytes the code page leaves unassigned
// map to the C1 control of the same value so that they survive a round trip.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const char kBom[] = "\xEF\xBB\xBF";

struct BreakCounts {
    qsizetype crlf = 0;
    qsizetype loneCr = 0;
    qsizetype loneLf = 0;
};

BreakCounts countBreaks(const char *p, qsizetype n)
{
    BreakCounts c;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == '\r') {
            if (i + 1 < n && p[i + 1] == '\n') {
                ++c.crlf;
                ++i;
            } else {
                ++c.loneCr;
            }
        } else if (p[i] == '\n') {
            ++c.loneLf;
        }
    }
    return c;
}

LineEnd lineEndOf(const BreakCounts &c)
{
    if (c.crlf == 0 && c.loneCr == 0 && c.loneLf > 0)
        return LineEnd::Lf;
    if (c.crlf == 0 && c.loneLf == 0 && c.loneCr > 0)
        return LineEnd::Cr;
    return LineEnd::CrLf;
}

bool hasBom(const QByteArray &raw)
{
    return raw.startsWith(kBom);
}

} // namespace

char16_t windows1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighTable[byte - 0x80];
    return byte;
}

int unicodeToWindows1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return int(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == cp)
            return 0x80 + i;
    }
    return -1;
}

QString withCrLfBreaks(QString text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

namespace {

FileFormat detect(const QByteArray &raw, BreakCounts *counts)
{
    FileFormat f;
    if (hasBom(raw) && QByteArrayView(raw).sliced(3).isValidUtf8())
        f.encoding = Encoding::Utf8Bom;
    else if (QByteArrayView(raw).isValidUtf8())
        f.encoding = Encoding::Utf8;
    else
        f.encoding = Encoding::Windows1252;
    *counts = countBreaks(raw.constData(), raw.size());
    f.lineEnd = lineEndOf(*counts);
    return f;
}

// Copies src to dst, writing CR LF for every `single` break byte; returns
// the end of what was written. dst has room for the extra bytes.
char *widenBreaks(const char *src, qsizetype n, char single, char *dst)
{
    const char *end = src + n;
    while (src < end) {
        const void *hit = std::memchr(src, single, size_t(end - src));
        const char *stop = hit ? static_cast<const char *>(hit) : end;
        std::memcpy(dst, src, size_t(stop - src));
        dst += stop - src;
        if (!hit)
            break;
        *dst++ = '\r';
        *dst++ = '\n';
        src = stop + 1;
    }
    return dst;
}

char *putUtf8(char *dst, char16_t cp)
{
    if (cp < 0x80) {
        *dst++ = char(cp);
    } else if (cp < 0x800) {
        *dst++ = char(0xC0 | (cp >> 6));
        *dst++ = char(0x80 | (cp & 0x3F));
    } else {
        *dst++ = char(0xE0 | (cp >> 12));
        *dst++ = char(0x80 | ((cp >> 6) & 0x3F));
        *dst++ = char(0x80 | (cp & 0x3F));
    }
    return dst;
}

} // namespace

Decoded decode(QByteArray raw, bool dropFinalBreak)
{
    Decoded d;
    BreakCounts breaks;
    d.format = detect(raw, &breaks);
    if (d.format.encoding == Encoding::Utf8Bom)
        raw.remove(0, 3);

    const bool cr = d.format.lineEnd == LineEnd::Cr;
    const bool lf = d.format.lineEnd == LineEnd::Lf;
    const char *p = raw.constData();
    const qsizetype n = raw.size();

    if (d.format.encoding != Encoding::Windows1252) {
        if (!cr && !lf) {
            // Already in the program's form: keep the buffer.
            d.text = std::move(raw);
        } else {
            QByteArray out(n + (cr ? breaks.loneCr : breaks.loneLf), Qt::Uninitialized);
            char *end = widenBreaks(p, n, cr ? '\r' : '\n', out.data());
            out.truncate(end - out.constData());
            d.text = std::move(out);
        }
    } else {
        // Up to three UTF-8 bytes a byte; breaks at most double.
        QByteArray out(n * 3, Qt::Uninitialized);
        char *dst = out.data();
        for (qsizetype i = 0; i < n; ++i) {
            const unsigned char c = static_cast<unsigned char>(p[i]);
            if ((c == '\r' && cr) || (c == '\n' && lf)) {
                *dst++ = '\r';
                *dst++ = '\n';
            } else if (c < 0x80) {
                *dst++ = char(c);
            } else {
                dst = putUtf8(dst, windows1252ToUnicode(c));
            }
        }
        out.truncate(dst - out.constData());
        d.text = std::move(out);
    }
    d.format.finalBreak = d.format.lineEnd;
    if (!dropFinalBreak)
        return d;
    if (d.text.endsWith("\r\n")) {
        d.text.chop(2);
    } else if (d.text.endsWith('\n') || d.text.endsWith('\r')) {
        // Only a file that mixes breaks keeps lone ones in its text.
        d.format.finalBreak = d.text.endsWith('\n') ? LineEnd::Lf : LineEnd::Cr;
        d.text.chop(1);
    }
    return d;
}

bool encode(QByteArrayView text, FileFormat format, bool appendBreak, QByteArray *out, QString *error)
{
    const auto bytesOf = [](LineEnd e) { return e == LineEnd::Lf ? "\n" : e == LineEnd::Cr ? "\r" : "\r\n"; };
    const char *breakBytes = bytesOf(format.lineEnd);
    const qsizetype breakLen = format.lineEnd == LineEnd::CrLf ? 2 : 1;
    QByteArray result;

    if (format.encoding != Encoding::Windows1252) {
        if (format.encoding == Encoding::Utf8Bom)
            result.append(kBom, 3);
        if (format.lineEnd == LineEnd::CrLf) {
            result.append(text);
        } else {
            result.reserve(result.size() + text.size() + 1);
            const char *p = text.constData();
            const qsizetype n = text.size();
            for (qsizetype i = 0; i < n; ++i) {
                if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') {
                    result.append(breakBytes, breakLen);
                    ++i;
                } else {
                    result.append(p[i]);
                }
            }
        }
    } else {
        result.reserve(text.size() + 2);
        const QString s = QString::fromUtf8(text);
        const qsizetype n = s.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QChar ch = s.at(i);
            if (ch == u'\r' && i + 1 < n && s.at(i + 1) == u'\n') {
                result.append(breakBytes, breakLen);
                ++i;
                continue;
            }
            char32_t cp = ch.unicode();
            if (ch.isHighSurrogate() && i + 1 < n && s.at(i + 1).isLowSurrogate()) {
                cp = QChar::surrogateToUcs4(ch, s.at(i + 1));
                ++i;
            }
            const int b = unicodeToWindows1252(cp);
            if (b < 0) {
                if (error) {
                    *error = QStringLiteral("The character U+%1 cannot be stored in this file's encoding (Windows-1252)")
                                 .arg(QString::number(uint(cp), 16).toUpper().rightJustified(4, QLatin1Char('0')));
                }
                return false;
            }
            result.append(char(b));
        }
    }
    if (appendBreak)
        result.append(bytesOf(format.finalBreak));
    *out = std::move(result);
    return true;
}

} // namespace TextFileCodec
