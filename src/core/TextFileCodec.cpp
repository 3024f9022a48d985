#include "core/TextFileCodec.h"

#include <QByteArrayView>
#include <QString>
#include <QList>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <uchardet.h>

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
    return e != Encoding::Utf8 && e != Encoding::Utf8Bom && e != Encoding::Windows1252 && e != Encoding::Legacy;
}

QStringConverter::Encoding converterOf(Encoding e)
{
    switch (e) {
    case Encoding::Utf16Le:
    case Encoding::Utf16LeBom: return QStringConverter::Utf16LE;
    case Encoding::Utf16Be:
    case Encoding::Utf16BeBom: return QStringConverter::Utf16BE;
    case Encoding::Utf32Le:
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

// Plain UTF-16 of mostly Latin text: in the start, no code unit that is
// all NUL, and in most of them (a euro sign or a dash has none) a NUL high
// byte beside a character. Whether the whole file then reads and writes
// back exactly is checked after.
bool plainlyUtf16(const QByteArray &raw, int nulAt)
{
    const qsizetype n = qMin<qsizetype>(raw.size(), 4096) & ~qsizetype(1);
    if (n < 2 || raw.size() % 2)
        return false;
    qsizetype latin = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        const bool highNul = raw.at(i + nulAt) == 0;
        const bool lowNul = raw.at(i + 1 - nulAt) == 0;
        if (highNul && lowNul)
            return false;
        latin += highNul;
    }
    return latin * 4 >= (n / 2) * 3;
}

// A code unit of 32 bits in every four bytes of the start, none of them NUL:
// plain UTF-32 (NULs in its two high bytes).
bool plainlyUtf32(const QByteArray &raw, bool bigEndian)
{
    const qsizetype n = qMin<qsizetype>(raw.size(), 4096) & ~qsizetype(3);
    if (n < 4 || raw.size() % 4)
        return false;
    for (qsizetype i = 0; i < n; i += 4) {
        const auto at = [&](int k) { return uchar(raw.at(i + (bigEndian ? k : 3 - k))); };
        if (at(0) != 0 || at(1) > 0x10 || (at(1) == 0 && at(2) == 0 && at(3) == 0))
            return false;
    }
    return true;
}

// The text of raw as UTF-8 when raw is in the wide encoding e and comes
// back exactly from it.
bool decodeWideAs(const QByteArray &raw, Encoding e, QByteArray *utf8)
{
    if (!raw.startsWith(bomOf(e)))
        return false;
    // The BOM is cut off already: a U+FEFF after it is text.
    QStringDecoder decoder(converterOf(e), QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder.decode(QByteArrayView(raw).sliced(bomOf(e).size()));
    if (decoder.hasError())
        return false;
    QByteArray bytes = text.toUtf8();
    if (toWide(bytes, e) != raw)
        return false;
    *utf8 = std::move(bytes);
    return true;
}

// The wide encodings the start of the bytes points at, likeliest first.
QList<Encoding> wideCandidates(const QByteArray &raw)
{
    QList<Encoding> candidates;
    for (Encoding e : {Encoding::Utf32LeBom, Encoding::Utf32BeBom, Encoding::Utf16LeBom, Encoding::Utf16BeBom}) {
        if (raw.startsWith(bomOf(e)))
            candidates << e;
    }
    if (candidates.isEmpty() && plainlyUtf16(raw, 1))
        candidates << Encoding::Utf16Le;
    if (candidates.isEmpty() && plainlyUtf16(raw, 0))
        candidates << Encoding::Utf16Be;
    if (candidates.isEmpty() && plainlyUtf32(raw, false))
        candidates << Encoding::Utf32Le;
    if (candidates.isEmpty() && plainlyUtf32(raw, true))
        candidates << Encoding::Utf32Be;
    return candidates;
}

// The wide encoding the bytes are in, and their text as UTF-8 when they
// come back exactly from it.
bool decodeWide(const QByteArray &raw, Encoding *encoding, QByteArray *utf8)
{
    for (Encoding e : wideCandidates(raw)) {
        if (decodeWideAs(raw, e, utf8)) {
            *encoding = e;
            return true;
        }
    }
    return false;
}

// Legacy conversion: Qt (ICU underneath) when it knows the name, else iconv.
bool iconvConvert(const char *to, const char *from, QByteArrayView in, QByteArray *out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return false;
    QByteArray result(in.size() * 4 + 16, Qt::Uninitialized);
    char *src = const_cast<char *>(in.data());
    size_t srcLeft = size_t(in.size());
    char *dst = result.data();
    size_t dstLeft = size_t(result.size());
    bool ok = true;
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1))
            continue;
        if (errno != E2BIG) {
            ok = false;
            break;
        }
        const qsizetype used = dst - result.data();
        result.resize(result.size() * 2);
        dst = result.data() + used;
        dstLeft = size_t(result.size() - used);
    }
    // Ends a stateful encoding's last shift sequence.
    if (ok && iconv(cd, nullptr, nullptr, &dst, &dstLeft) == size_t(-1))
        ok = false;
    iconv_close(cd);
    if (ok) {
        result.truncate(dst - result.data());
        *out = std::move(result);
    }
    return ok;
}

// uchardet's names for encodings decode already reads better, or that it
// only offers for files the steps before it have taken.
bool notLegacy(const QByteArray &name)
{
    return name.isEmpty() || name == "ASCII" || name == "UTF-8" || name == "WINDOWS-1252" || name == "ISO-8859-1"
        || name.startsWith("UTF-") || name.startsWith("X-ISO-10646");
}

// Encodings that hold more than their namesake, tried when a file does not
// come back exactly from the name uchardet gave (a Shift_JIS page that uses
// Windows' extra characters, say).
QList<QByteArray> namesFor(const QByteArray &name, QByteArrayView raw)
{
    // uchardet does not tell KOI8-U from KOI8-R: Ukrainian letters sit where
    // KOI8-R has box-drawing pieces that Russian prose hardly uses.
    if (name == "KOI8-R") {
        for (char c : {'\xA4', '\xA6', '\xA7', '\xAD', '\xB4', '\xB6', '\xB7', '\xBD'}) {
            if (raw.contains(c))
                return {"KOI8-U", name};
        }
    }
    static const QHash<QByteArray, QList<QByteArray>> wider = {
        {"SHIFT_JIS", {"windows-31j"}}, {"EUC-KR", {"windows-949"}},    {"BIG5", {"windows-950", "Big5-HKSCS"}},
        {"GB2312", {"GB18030"}},        {"TIS-620", {"windows-874"}},   {"ISO-8859-8", {"windows-1255"}},
        {"ISO-8859-9", {"windows-1254"}}, {"ISO-8859-7", {"windows-1253"}}, {"EUC-JP", {"EUC-JP-MS"}},
    };
    // uchardet names Korean files by Windows' superset: the usual name first.
    if (name == "UHC")
        return {"EUC-KR", name};
    return QList<QByteArray>{name} + wider.value(name.toUpper());
}

// uchardet's guess from the start, the middle and the end of a big file.
QByteArray guess(QByteArrayView raw)
{
    constexpr qsizetype kPart = 64 * 1024;
    uchardet_t detector = uchardet_new();
    if (raw.size() <= 3 * kPart) {
        uchardet_handle_data(detector, raw.data(), size_t(raw.size()));
    } else {
        for (qsizetype at : {qsizetype(0), (raw.size() - kPart) / 2, raw.size() - kPart})
            uchardet_handle_data(detector, raw.data() + at, size_t(kPart));
    }
    uchardet_data_end(detector);
    const QByteArray name(uchardet_get_charset(detector));
    uchardet_delete(detector);
    return name.toUpper();
}

// True when the text is what Windows-1252 makes of the bytes.
bool sameAsWindows1252(QByteArrayView raw, const QString &text)
{
    if (raw.size() != text.size())
        return false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (text.at(i).unicode() != windows1252ToUnicode(uchar(raw.at(i))))
            return false;
    }
    return true;
}

// The Legacy encoding raw is in, as uchardet sees it, and its text as
// UTF-8, when it comes back exactly from that encoding and reads otherwise
// than Windows-1252 (a short text's guess may be another code page that
// agrees on every byte it has: the file stays what it always was here).
bool decodeLegacy(const QByteArray &raw, QByteArray *codec, QByteArray *utf8)
{
    const QByteArray name = guess(raw);
    if (notLegacy(name))
        return false;
    for (const QByteArray &candidate : namesFor(name, raw)) {
        QString text;
        QByteArray back;
        if (legacyToText(candidate, raw, &text) && textToLegacy(candidate, text, &back) && back == raw) {
            if (sameAsWindows1252(raw, text))
                return false;
            *codec = candidate;
            *utf8 = text.toUtf8();
            return true;
        }
    }
    return false;
}

// 7-bit text with the escape sequences of an ISO-2022 encoding.
bool mayBeIso2022(const QByteArray &raw)
{
    // One pass for the escape byte, which plain text hardly holds.
    const char *p = raw.constData();
    const char *end = p + raw.size();
    while (const void *hit = std::memchr(p, 0x1B, size_t(end - p))) {
        p = static_cast<const char *>(hit) + 1;
        if (p < end && (*p == '$' || *p == '('))
            return true;
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

namespace {

// The document's text from raw: UTF-8 text without a BOM, or Windows-1252
// bytes, of the given format, with its breaks counted.
Decoded finish(QByteArray raw, FileFormat format, const BreakCounts &breaks, bool dropFinalBreak)
{
    Decoded d;
    d.format = format;
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

// Text that was converted to UTF-8 from the given encoding.
Decoded finishConverted(QByteArray utf8, Encoding encoding, const QByteArray &codec, bool dropFinalBreak)
{
    FileFormat format;
    format.encoding = encoding;
    format.codec = codec;
    const BreakCounts breaks = countBreaks(utf8.constData(), utf8.size());
    format.lineEnd = lineEndOf(breaks);
    return finish(std::move(utf8), format, breaks, dropFinalBreak);
}

} // namespace

Decoded decode(QByteArray raw, bool dropFinalBreak)
{
    Encoding wide;
    QByteArray utf8;
    if (decodeWide(raw, &wide, &utf8)) // read from here on as UTF-8 is; the encoding is remembered
        return finishConverted(std::move(utf8), wide, QByteArray(), dropFinalBreak);
    BreakCounts breaks;
    FileFormat format = detect(raw, &breaks);
    QByteArray codec;
    if ((format.encoding == Encoding::Windows1252 || (format.encoding == Encoding::Utf8 && mayBeIso2022(raw)))
        && decodeLegacy(raw, &codec, &utf8))
        return finishConverted(std::move(utf8), Encoding::Legacy, codec, dropFinalBreak);
    if (format.encoding == Encoding::Utf8Bom)
        raw.remove(0, 3);
    return finish(std::move(raw), format, breaks, dropFinalBreak);
}

QString decodeToString(QByteArray raw)
{
    // A CR may end a line alone, so such a file takes the long way and
    // gets its breaks as CR LF: a line is then always found by its LF.
    if (!raw.contains('\r') && wideCandidates(raw).isEmpty() && QByteArrayView(raw).isValidUtf8() && !mayBeIso2022(raw))
        return toQString(hasBom(raw) ? QByteArrayView(raw).sliced(3) : QByteArrayView(raw));
    return toQString(decode(std::move(raw), false).text);
}

bool decodeAs(QByteArray raw, Encoding encoding, const QByteArray &codec, Decoded *out, bool dropFinalBreak)
{
    QByteArray utf8;
    if (encoding == Encoding::Legacy) {
        QString text;
        QByteArray back;
        if (!legacyToText(codec, raw, &text) || !textToLegacy(codec, text, &back) || back != raw)
            return false;
        *out = finishConverted(text.toUtf8(), encoding, codec, dropFinalBreak);
        return true;
    }
    if (isWide(encoding)) {
        if (!decodeWideAs(raw, encoding, &utf8))
            return false;
        *out = finishConverted(std::move(utf8), encoding, QByteArray(), dropFinalBreak);
        return true;
    }
    BreakCounts breaks;
    FileFormat format = detect(raw, &breaks);
    if (encoding == Encoding::Windows1252) {
        format.encoding = encoding;
    } else if (format.encoding != encoding) {
        // UTF-8 with or without a BOM: only when the bytes are that.
        return false;
    }
    if (encoding == Encoding::Utf8Bom)
        raw.remove(0, 3);
    *out = finish(std::move(raw), format, breaks, dropFinalBreak);
    return true;
}

namespace {

QString cannotHold(char32_t cp, const QString &encoding)
{
    return QStringLiteral("The character U+%1 cannot be stored in this file's encoding (%2)")
        .arg(QString::number(uint(cp), 16).toUpper().rightJustified(4, QLatin1Char('0')), encoding);
}

} // namespace

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
        if (format.encoding == Encoding::Legacy) {
            FileFormat asUtf8 = format;
            asUtf8.encoding = Encoding::Utf8;
            QByteArray plain;
            encode(text, asUtf8, appendBreak, &plain, error);
            const QString unicode = toQString(plain);
            if (textToLegacy(format.codec, unicode, &result)) {
                *out = std::move(result);
                return true;
            }
            if (error) {
                // The first character that has no bytes in the encoding.
                char32_t bad = 0;
                for (qsizetype i = 0; i < unicode.size() && !bad; ++i) {
                    const qsizetype len = unicode.at(i).isHighSurrogate() && i + 1 < unicode.size() ? 2 : 1;
                    QByteArray ignored;
                    if (unicode.at(i).unicode() >= 0x80 && !textToLegacy(format.codec, QStringView(unicode).mid(i, len), &ignored))
                        bad = len == 2 ? QChar::surrogateToUcs4(unicode.at(i), unicode.at(i + 1)) : unicode.at(i).unicode();
                    i += len - 1;
                }
                *error = bad ? cannotHold(bad, encodingName(format))
                             : QStringLiteral("The text cannot be stored in this file's encoding (%1)").arg(encodingName(format));
            }
            return false;
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
                if (error)
                    *error = cannotHold(cp, QStringLiteral("Windows-1252"));
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

qsizetype wholePiece(QByteArrayView bytes)
{
    qsizetype n = bytes.size();
    for (qsizetype k = 1; k <= qMin<qsizetype>(3, bytes.size()); ++k) {
        const uchar c = uchar(bytes[bytes.size() - k]);
        if ((c & 0xC0) == 0x80)
            continue;
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length > k)
            n -= k; // a character begun, not ended
        break;
    }
    return n > 0 && bytes[n - 1] == '\r' ? n - 1 : n;
}

bool isAscii(QByteArrayView bytes)
{
    // Eight bytes at a time, four words a step, which the compiler turns
    // into vector instructions.
    const char *p = bytes.data();
    const qsizetype n = bytes.size();
    constexpr quint64 kHigh = 0x8080808080808080ULL;
    qsizetype i = 0;
    for (; i + 32 <= n; i += 32) {
        quint64 w[4];
        std::memcpy(w, p + i, sizeof w);
        if ((w[0] | w[1] | w[2] | w[3]) & kHigh)
            return false;
    }
    for (; i < n; ++i) {
        if (uchar(p[i]) & 0x80)
            return false;
    }
    return true;
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

QString encodingName(const FileFormat &format)
{
    static const char *const names[] = {"UTF-8", "UTF-8 with BOM", "Windows-1252", "UTF-16 LE", "UTF-16 BE",
                                        "UTF-16 LE with BOM", "UTF-16 BE with BOM", "UTF-32 LE with BOM",
                                        "UTF-32 BE with BOM", "UTF-32 LE", "UTF-32 BE"};
    if (format.encoding == Encoding::Legacy)
        return QString::fromLatin1(format.codec);
    return QLatin1String(names[int(format.encoding)]);
}

QString describe(const FileFormat &format)
{
    const char *breaks = format.lineEnd == LineEnd::Lf ? "LF" : format.lineEnd == LineEnd::Cr ? "CR" : "CR LF";
    return QStringLiteral("%1, %2 line breaks").arg(encodingName(format), QLatin1String(breaks));
}

bool legacyToText(const QByteArray &codec, QByteArrayView bytes, QString *text)
{
    QStringDecoder decoder(codec.constData());
    if (decoder.isValid()) {
        *text = decoder.decode(bytes);
        return !decoder.hasError();
    }
    QByteArray utf8;
    if (!iconvConvert("UTF-8", codec.constData(), bytes, &utf8))
        return false;
    *text = toQString(utf8);
    return true;
}

bool textToLegacy(const QByteArray &codec, QStringView text, QByteArray *bytes)
{
    QStringEncoder encoder(codec.constData());
    if (encoder.isValid()) {
        QByteArray out = encoder.encode(text);
        if (encoder.hasError())
            return false;
        *bytes = std::move(out);
        return true;
    }
    return iconvConvert(codec.constData(), "UTF-8", text.toUtf8(), bytes);
}

bool canConvert(const QByteArray &codec)
{
    if (QStringDecoder(codec.constData()).isValid())
        return true;
    iconv_t cd = iconv_open("UTF-8", codec.constData());
    if (cd == iconv_t(-1))
        return false;
    iconv_close(cd);
    return true;
}

QList<QByteArray> legacyEncodings()
{
    // The ones most files in these scripts are written in, then the rest.
    static const char *const common[] = {
        "windows-1251", "KOI8-R", "KOI8-U", "IBM866", "ISO-8859-5", "x-mac-cyrillic",
        "windows-1250", "ISO-8859-2", "windows-1253", "ISO-8859-7", "windows-1254", "ISO-8859-9",
        "windows-1255", "ISO-8859-8", "windows-1256", "ISO-8859-6", "windows-1257", "ISO-8859-13",
        "windows-1258", "ISO-8859-15", "ISO-8859-1", "macintosh",
        "Shift_JIS", "windows-31j", "EUC-JP", "ISO-2022-JP",
        "GB18030", "GBK", "GB2312", "Big5", "Big5-HKSCS", "EUC-TW",
        "EUC-KR", "windows-949", "ISO-2022-KR",
        "TIS-620", "windows-874", "VISCII",
        "ISO-8859-3", "ISO-8859-4", "ISO-8859-10", "ISO-8859-14", "ISO-8859-16", "IBM437", "IBM850", "IBM855",
    };
    static const QList<QByteArray> available = [] {
        QList<QByteArray> names;
        for (const char *name : common) {
            if (canConvert(name))
                names << QByteArray(name);
        }
        return names;
    }();
    return available;
}

FileFormat sniff(QByteArrayView sample)
{
    const QByteArray raw = sample.toByteArray();
    FileFormat format;
    const QList<Encoding> wide = wideCandidates(raw);
    if (!wide.isEmpty()) {
        format.encoding = wide.first();
        return format;
    }
    // A character cut by the sample's end does not count against UTF-8.
    qsizetype whole = raw.size();
    for (int back = 1; back <= 3 && back <= raw.size(); ++back) {
        if (uchar(raw.at(raw.size() - back)) >= 0xC0) {
            whole = raw.size() - back;
            break;
        }
        if (uchar(raw.at(raw.size() - back)) < 0x80)
            break;
    }
    const QByteArrayView valid = QByteArrayView(raw).first(whole);
    if (raw.startsWith(kBom) && valid.sliced(3).isValidUtf8()) {
        format.encoding = Encoding::Utf8Bom;
        return format;
    }
    if (valid.isValidUtf8() && !mayBeIso2022(raw))
        return format;
    const QByteArray name = guess(raw);
    if (notLegacy(name)) {
        format.encoding = valid.isValidUtf8() ? Encoding::Utf8 : Encoding::Windows1252;
    } else if (canConvert(name)) {
        format.encoding = Encoding::Legacy;
        format.codec = name;
    } else {
        format.encoding = Encoding::Windows1252;
    }
    return format;
}

} // namespace TextFileCodec
