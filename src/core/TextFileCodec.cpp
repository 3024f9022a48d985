#include "core/TextFileCodec.h"

#include <QByteArrayView>
#include <QString>
#include <QList>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

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

bool isWide(Encoding e)
{
    return e != Encoding::Utf8 && e != Encoding::Utf8Bom && e != Encoding::Windows1252;
}

QStringConverter::Encoding converterOf(Encoding e)
{
    switch (e) {
    case Encoding::Utf16Le:
    case Encoding::Utf16LeBom: return QStringConverter::Utf16LE;
    case Encoding::Utf16Be:
    case Encoding::Utf16BeBom: return QStringConverter::Utf16BE;
    case Encoding::Utf32LeBom: return QStringConverter::Utf32LE;
    default: return QStringConverter::Utf32BE;
    }
}

QByteArray bomOf(Encoding e)
{
    switch (e) {
    case Encoding::Utf16LeBom: return QByteArray("\xFF\xFE", 2);
    case Encoding::Utf16BeBom: return QByteArray("\xFE\xFF", 2);
    case Encoding::Utf32LeBom: return QByteArray("\xFF\xFE\0\0", 4);
    case Encoding::Utf32BeBom: return QByteArray("\0\0\xFE\xFF", 4);
    default: return QByteArray();
    }
}

// UTF-8 bytes in a wide encoding, with its BOM.
QByteArray toWide(QByteArrayView utf8, Encoding e)
{
    QStringEncoder encoder(converterOf(e), QStringConverter::Flag::Stateless);
    return bomOf(e) + QByteArray(encoder.encode(toQString(utf8)));
}

// A NUL in every second byte of the start, and none in the others: plain
// UTF-16 (of mostly Latin text). Anything less clear is not taken.
bool plainlyUtf16(const QByteArray &raw, int nulAt)
{
    const qsizetype n = qMin<qsizetype>(raw.size(), 4096) & ~qsizetype(1);
    if (n < 2 || raw.size() % 2)
        return false;
    for (qsizetype i = 0; i < n; i += 2) {
        if ((raw.at(i + nulAt) != 0) || raw.at(i + 1 - nulAt) == 0)
            return false;
    }
    return true;
}

// The wide encoding the bytes are in, and their text as UTF-8 when they
// come back exactly from it.
bool decodeWide(const QByteArray &raw, Encoding *encoding, QByteArray *utf8)
{
    QList<Encoding> candidates;
    if (raw.startsWith(bomOf(Encoding::Utf32LeBom)))
        candidates << Encoding::Utf32LeBom;
    if (raw.startsWith(bomOf(Encoding::Utf32BeBom)))
        candidates << Encoding::Utf32BeBom;
    if (raw.startsWith(bomOf(Encoding::Utf16LeBom)))
        candidates << Encoding::Utf16LeBom;
    if (raw.startsWith(bomOf(Encoding::Utf16BeBom)))
        candidates << Encoding::Utf16BeBom;
    if (candidates.isEmpty() && plainlyUtf16(raw, 1))
        candidates << Encoding::Utf16Le;
    if (candidates.isEmpty() && plainlyUtf16(raw, 0))
        candidates << Encoding::Utf16Be;
    for (Encoding e : candidates) {
        // The BOM is cut off already: a U+FEFF after it is text.
        QStringDecoder decoder(converterOf(e), QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        const QString text = decoder.decode(QByteArrayView(raw).sliced(bomOf(e).size()));
        if (decoder.hasError())
            continue;
        QByteArray bytes = text.toUtf8();
        if (toWide(bytes, e) == raw) {
            *encoding = e;
            *utf8 = std::move(bytes);
            return true;
        }
    }
    return false;
}

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
    Encoding wide;
    QByteArray utf8;
    if (decodeWide(raw, &wide, &utf8)) {
        // From here on the text is read as UTF-8 is; the encoding is remembered.
        raw = std::move(utf8);
        d.format.encoding = wide;
        breaks = countBreaks(raw.constData(), raw.size());
        d.format.lineEnd = lineEndOf(breaks);
    } else {
        d.format = detect(raw, &breaks);
    }
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
        if (isWide(format.encoding)) {
            FileFormat asUtf8 = format;
            asUtf8.encoding = Encoding::Utf8;
            QByteArray plain;
            encode(text, asUtf8, appendBreak, &plain, error);
            *out = toWide(plain, format.encoding);
            return true;
        }
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
        const QString s = toQString(text);
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

QString toQString(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(windows1252ToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

QString decodeText(QByteArrayView bytes)
{
    return bytes.isValidUtf8() ? toQString(bytes) : fromWindows1252(bytes);
}

namespace {

// Calls line(start, length, breakLength) for each line: its bytes, then
// those of its break (CR LF, LF, or none for the last line).
template <typename Line>
void forEachLine(QByteArrayView utf8, Line line)
{
    const char *p = utf8.data();
    qsizetype start = 0;
    while (start <= utf8.size()) {
        const void *lf = start < utf8.size() ? std::memchr(p + start, '\n', size_t(utf8.size() - start)) : nullptr;
        const qsizetype end = lf ? static_cast<const char *>(lf) - p : utf8.size();
        const qsizetype length = lf && end > start && p[end - 1] == '\r' ? end - start - 1 : end - start;
        line(start, length, (lf ? end + 1 : end) - start - length);
        start = end + 1;
    }
}

} // namespace

qsizetype longestLine(QByteArrayView utf8)
{
    qsizetype longest = 0;
    forEachLine(utf8, [&](qsizetype, qsizetype length, qsizetype) { longest = qMax(longest, length); });
    return longest;
}

QByteArray cutLongLines(QByteArrayView utf8, qsizetype limit, qsizetype shown)
{
    QByteArray out;
    const char *p = utf8.data();
    forEachLine(utf8, [&](qsizetype start, qsizetype length, qsizetype breakLength) {
        if (length <= limit) {
            out.append(p + start, length + breakLength);
            return;
        }
        qsizetype keep = shown;
        while (keep > 0 && (uchar(p[start + keep]) & 0xC0) == 0x80)
            --keep;
        out.append(p + start, keep);
        out.append(QStringLiteral(" [\u2026 %1 more bytes of this line are not shown]")
                       .arg(QLocale().toString(length - keep))
                       .toUtf8());
        out.append(p + start + length, breakLength);
    });
    return out;
}

QString describe(const FileFormat &format)
{
    static const char *const names[] = {"UTF-8", "UTF-8 with BOM", "Windows-1252", "UTF-16 LE", "UTF-16 BE",
                                        "UTF-16 LE with BOM", "UTF-16 BE with BOM", "UTF-32 LE with BOM",
                                        "UTF-32 BE with BOM"};
    const char *breaks = format.lineEnd == LineEnd::Lf ? "LF" : format.lineEnd == LineEnd::Cr ? "CR" : "CR LF";
    return QStringLiteral("%1, %2 line breaks").arg(QLatin1String(names[int(format.encoding)]), QLatin1String(breaks));
}

} // namespace TextFileCodec
